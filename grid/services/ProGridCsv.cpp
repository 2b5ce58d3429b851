// TProStringGrid: CSV files. Writing quotes what needs quoting (the
// separator, double quotes, line breaks); reading takes the separator from the
// file's first two lines when none is set, and reads a quoted field whole,
// line breaks and all.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/SysUtils.h"

namespace {
constexpr char VTab = '\x0B';

using TBytes16 = char __attribute__((vector_size(16)));

// Whether Text holds any of A, B, C and D (none of them NUL), sixteen bytes at a time.
bool HoldsAnyOf(std::string_view Text, char A, char B, char C, char D)
{
    const TBytes16 a = TBytes16{} + A, b = TBytes16{} + B, c = TBytes16{} + C, d = TBytes16{} + D;
    auto any = [&](const char* At) {
        TBytes16 v;
        std::memcpy(&v, At, 16);
        const TBytes16 hit = (v == a) | (v == b) | (v == c) | (v == d);
        std::uint64_t halves[2];
        std::memcpy(halves, &hit, 16);
        return (halves[0] | halves[1]) != 0;
    };
    const std::size_t n = Text.size();
    if (n < 16) {
        // Read in place: eight bytes at a time where there are eight, one by one below.
        if (n < 8) {
            for (const char ch : Text)
                if (ch == A || ch == B || ch == C || ch == D)
                    return true;
            return false;
        }
        auto any8 = [&](const char* At) {
            std::uint64_t v;
            std::memcpy(&v, At, 8);
            auto zeroByte = [&](char X) {
                const std::uint64_t x = v ^ (0x0101010101010101ull * static_cast<unsigned char>(X));
                return (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
            };
            return (zeroByte(A) | zeroByte(B) | zeroByte(C) | zeroByte(D)) != 0;
        };
        return any8(Text.data()) || any8(Text.data() + n - 8);
    }
    for (std::size_t i = 0; i + 16 <= n; i += 16)
        if (any(Text.data() + i))
            return true;
    return any(Text.data() + n - 16);
}

bool HasLineBreak(const AnsiString& S)
{
    return S.find_first_of("\r\n") != AnsiString::npos;
}

// An unquoted field: each doubled double quote becomes one; a lone one stays.
AnsiString UndoubleQuotes(const AnsiString& S)
{
    if (S.find('"') == AnsiString::npos)
        return S;
    AnsiString r;
    r.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        r += S[i];
        if (S[i] == '"' && i + 1 < S.size() && S[i + 1] == '"')
            ++i;
    }
    return r;
}

// Any line break (CR LF, LF or CR) as CR LF.
AnsiString LineBreaksToCRLF(const AnsiString& S)
{
    if (!HasLineBreak(S))
        return S;
    AnsiString r;
    r.reserve(S.size() + 8);
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\r' || S[i] == '\n') {
            r += "\r\n";
            if (S[i] == '\r' && i + 1 < S.size() && S[i + 1] == '\n')
                ++i;
        } else {
            r += S[i];
        }
    }
    return r;
}

// One field of a record as it stood in the file.
struct TCsvField {
    AnsiString Text;
    bool Quoted = false;
};

// Splits the text into records of fields. A field that starts with a double
// quote runs to the next lone double quote (doubled ones stand for one), over
// separators and line breaks; what follows it up to the separator belongs to
// it too. Elsewhere a line break ends the record.
class TCsvReader {
public:
    TCsvReader(const AnsiString& Text, char Sep) : FText(Text), FSep(Sep) {}
    bool AtEnd() const { return FPos >= FText.size(); }

    void Next(std::vector<TCsvField>& Fields)
    {
        Fields.clear();
        for (;;) {
            TCsvField f;
            if (FPos < FText.size() && FText[FPos] == '"') {
                ++FPos;
                if (Closes(FPos)) {
                    f.Quoted = true;
                    for (;;) {
                        std::size_t q = FText.find('"', FPos);
                        f.Text.append(FText, FPos, q - FPos);
                        FPos = q + 1;
                        if (FPos < FText.size() && FText[FPos] == '"') {
                            f.Text += '"';
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                }
                // A quote that never closes is dropped: the field is read plain, to the separator.
            }
            std::size_t end = FPos;
            while (end < FText.size() && FText[end] != FSep && FText[end] != '\r' && FText[end] != '\n')
                ++end;
            f.Text.append(FText, FPos, end - FPos);
            FPos = end;
            Fields.push_back(std::move(f));
            if (FPos < FText.size() && FText[FPos] == FSep) {
                ++FPos;
                continue;
            }
            if (FPos < FText.size() && FText[FPos] == '\r')
                ++FPos;
            if (FPos < FText.size() && FText[FPos] == '\n')
                ++FPos;
            break;
        }
        // A line ending in the separator has no field after it.
        if (Fields.size() > 1 && Fields.back().Text.empty() && !Fields.back().Quoted)
            Fields.pop_back();
    }

private:
    // Whether the quoted field whose text starts at From is closed: by a lone double quote on
    // its own line, or by one on a later line that ends the field there (the separator, a
    // line break or the end follows it).
    bool Closes(std::size_t From) const
    {
        std::size_t q = From;
        for (;; q += 2) {
            q = FText.find('"', q);
            if (q == AnsiString::npos)
                return false;
            if (q + 1 >= FText.size() || FText[q + 1] != '"')
                break;
        }
        const std::size_t lineEnd = FText.find_first_of("\r\n", From);
        if (lineEnd == AnsiString::npos || q < lineEnd)
            return true;
        return q + 1 == FText.size() || FText[q + 1] == FSep || FText[q + 1] == '\r' || FText[q + 1] == '\n';
    }

    const AnsiString& FText;
    char FSep;
    std::size_t FPos = 0;
};

// The physical line at Pos (without its break); Pos moves past the break.
AnsiString PhysicalLine(const AnsiString& Text, std::size_t& Pos)
{
    std::size_t end = Text.find_first_of("\r\n", Pos);
    if (end == AnsiString::npos)
        end = Text.size();
    AnsiString line = Text.substr(Pos, end - Pos);
    Pos = end;
    if (Pos < Text.size() && Text[Pos] == '\r')
        ++Pos;
    if (Pos < Text.size() && Text[Pos] == '\n')
        ++Pos;
    return line;
}
}

// ---------------------------------------------------------------- separator detection
char TProStringGrid::DetectCsvSeparator(const AnsiString& Line1, const AnsiString& Line2)
{
    static const char candidates[] = {',', ';', '#', '\t', '|', '@', '*', '-', '+', '&'};
    for (int pass = 1; pass <= 2; ++pass) {
        char sep = 0;
        int best = 0;
        for (char c : candidates) {
            int n1 = pass == 1 ? CountOddCharRuns(c, Line1) : CountChar(c, Line1);
            int n2 = pass == 1 ? CountOddCharRuns(c, Line2) : CountChar(c, Line2);
            if (n1 == n2 && n1 > best) {
                best = n1;
                sep = c;
            }
        }
        if (sep)
            return sep;
    }
    char sep = 0;
    int best = 0;
    for (char c : candidates) {
        int n = std::max(CountChar(c, Line1), CountChar(c, Line2));
        if (n > best) {
            best = n;
            sep = c;
        }
    }
    return sep ? sep : ',';
}

// ---------------------------------------------------------------- writing
void TProStringGrid::SaveToCsvFile(const AnsiString& FileName)
{
    WriteCsvFile(FileName, false);
}

void TProStringGrid::WriteCsvFile(const AnsiString& FileName, bool Append)
{
    THourGlass hourGlass;
    const char sep = FFieldSeparator ? FFieldSeparator : ',';
    AnsiString head;
    if (Append && FileExists(FileName)) {
        head = LoadBytesFromFile(FileName);
        if (!head.empty() && head.back() != '\n')
            head += "\r\n";
    }
    // Without options that change every field, a field is written straight into the line:
    // as it stands, or in double quotes with its double quotes doubled and each CR LF made a
    // vertical tab (a LF when the quotes are there for a double quote).
    const bool straight = !PlainWays && !FP.OemConvert && !FQuoteAllFields && !FTildeLineBreaks && sep != '"' && sep != 0;
    auto field = [&](AnsiString& s, std::string& out) {
        if (straight && !(s.size() >= 2 && s[0] == '|' && s[1] == '\\')) {
            if (s.empty()) {
                if (FQuoteEmptyFields)
                    out += "\"\"";
                return;
            }
            if (!HoldsAnyOf(s, '"', '\r', '\n', sep)) {
                out += s;
                return;
            }
            auto holds = [&](char c) { return std::memchr(s.data(), c, s.size()) != nullptr; };
            const bool quote = holds('"'), hasSep = holds(sep), lineBreak = holds('\r') || holds('\n');
            out += '"';
            if (!quote && !lineBreak) {
                out += s;
                out += '"';
                return;
            }
            const bool wrapped = quote && !hasSep;
            std::size_t from = 0;
            for (std::size_t i = 0; i < s.size(); ++i)
                if (s[i] == '"') {
                    out.append(s, from, i + 1 - from);
                    out += '"';
                    from = i + 1;
                } else if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
                    out.append(s, from, i - from);
                    if (!wrapped) {
                        out += VTab;
                        ++i;
                    }
                    from = i + 1;
                }
            out.append(s, from, AnsiString::npos);
            out += '"';
            return;
        }
        s = DoubleQuoteChars(CellTextAsAnsi(s));
        if (FP.OemConvert)
            AnsiToOemString(s);
        bool wrapped = false;
        if (FQuoteAllFields || (s.find('"') != AnsiString::npos && s.find(sep) == AnsiString::npos)) {
            s = "\"" + s + "\"";
            wrapped = true;
        }
        if (s.empty()) {
            if (FTildeLineBreaks)
                s = "^";
            else if (FQuoteEmptyFields)
                s = "\"\"";
        }
        if (s.find(sep) != AnsiString::npos || HasLineBreak(s)) {
            if (FTildeLineBreaks) {
                // Line breaks become tildes; a separator inside needs the quotes all the same.
                LineBreaksToTilde(s);
                if (!wrapped && s.find(sep) != AnsiString::npos)
                    s = "\"" + s + "\"";
            } else if (wrapped)
                StripCRFromCRLF(s);
            else
                QuoteCSVCell(s);
        }
        out += s;
    };
    const std::vector<int> cols = ExportColumns(SaveColStart(), SaveColEnd());
    int lastPercent = -1;
    DoProgress(0, -1);
    TReplacingFile file(FileName);
    file.Write(head);
    FormExportRows(
        SaveRowStart(), SaveRowEnd() + 1,
        [&](int r, bool OwnThread, std::string& out) {
            const std::size_t mark = out.size();
            thread_local AnsiString s;
            for (std::size_t i = 0; i < cols.size(); ++i) {
                if (!SaveCellText(cols[i], r, s, OwnThread)) {
                    out.resize(mark);
                    return false;
                }
                if (i > 0)
                    out += sep;
                field(s, out);
            }
            out += "\r\n";
            if (OwnThread) {
                DoProgress(1, r);
                if (OnFileProgress) {
                    int percent = int(std::lround(r * 100.0 / std::max(1, RowCount() - 1)));
                    if (percent != lastPercent) {
                        lastPercent = percent;
                        OnFileProgress(this, percent);
                    }
                }
            }
            return true;
        },
        [&](std::string& Piece) { file.Write(Piece); });
    DoProgress(2, -1);
    file.Commit();
}

// ---------------------------------------------------------------- reading
void TProStringGrid::LoadFromCsvFile(const AnsiString& FileName, int MaxRows)
{
    ReadCsvFile(FileName, false, MaxRows);
}

void TProStringGrid::ReadCsvFile(const AnsiString& FileName, bool Append, int MaxRows)
try {
    THourGlass hourGlass;
    // A file of another program: UTF-8 or Windows-1250, and nothing loaded when it holds
    // characters the grid's text cannot.
    AnsiString text = FP.OemConvert ? LoadBytesFromFile(FileName) : LoadForeignTextFile(FileName);
    if (FP.OemConvert)
        OemToAnsiString(text);
    char sep = FFieldSeparator;
    if (!sep) {
        std::size_t pos = 0;
        AnsiString line1 = PhysicalLine(text, pos);
        AnsiString line2 = PhysicalLine(text, pos);
        sep = DetectCsvSeparator(line1, line2);
    }
    const int startCol = FExportFixedCells ? 0 : FixedCols();
    int row = Append ? RowCount() : (FExportFixedCells ? 0 : FixedRows());

    // The records to read and the most fields of one: a file that would grow the grid too
    // large is refused before anything changes.
    std::vector<TCsvField> fields;
    int total = 0;
    std::size_t widest = 0;
    {
        TCsvReader counter(text, sep);
        for (int skip = FReadFirstLine ? 0 : 1; !counter.AtEnd() && (MaxRows <= 0 || total < MaxRows);) {
            counter.Next(fields);
            if (skip > 0) {
                --skip;
                continue;
            }
            widest = std::max(widest, fields.size());
            ++total;
        }
    }
    CheckGrowth(startCol + Int64(widest), Int64(row) + total + FixedFooters());
    EndCellEdit();
    TGridRestorePoint restore(this);

    // The floating footer's row stays the last row while rows are appended.
    std::vector<AnsiString> footerRow;
    bool keepFooter = Append && FFloatingFooter->Visible() && RowCount() > FixedRows() + 1;
    if (keepFooter) {
        for (int c = 0; c < AllColCount(); ++c)
            footerRow.push_back(GetGridCell(c, RowCount() - 1));
        SetRowCountPlain(RowCount() - 1);
        row = RowCount();
    }

    TGridUpdate update(this);
    TCsvReader reader(text, sep);
    if (OnFileProgress)
        SetRowCountPlain(std::max(RowCount(), total + row + FixedFooters()));
    if (!FReadFirstLine && !reader.AtEnd())
        reader.Next(fields);
    // The fields fill the columns a save of this grid writes, in its order. A row holds exactly
    // its fields: the columns after them are emptied, but for those after the save range (the
    // fixed right columns a save leaves out), which keep their cells where a row is shorter.
    const std::size_t saved = ExportColumns(startCol, SaveColEnd()).size();
    const std::size_t kept = ExportColumns(startCol, ColCount() - 1).size();
    const std::vector<int> cols = ImportColumns(startCol, int(widest));
    // Stored cells beyond the grid's columns are emptied too: they would come back when it grows.
    auto emptyFrom = [this, &cols, saved, kept](std::size_t AField, int ARow) {
        auto empty = [&](int c) {
            if (c < StoredColCount(ARow) && !CellText(c, ARow).empty())
                AssignCellText(c, ARow, {});
        };
        for (std::size_t i = AField; i < cols.size(); ++i)
            if (i < saved || i >= kept)
                empty(cols[i]);
        for (int c = AllColCount(); c < StoredColCount(ARow); ++c)
            empty(c);
    };
    int done = 0, lastPercent = -1;
    while (!reader.AtEnd() && (MaxRows <= 0 || done < MaxRows)) {
        reader.Next(fields);
        if (row >= RowCount() - FixedFooters())
            SetRowCountPlain(row + 1000);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            AnsiString s = fields[i].Quoted ? LineBreaksToCRLF(fields[i].Text) : UndoubleQuotes(fields[i].Text);
            if (FTildeLineBreaks)
                TildeToLineBreaks(s);
            else
                VTabToCRLF(s);
            LoadCell(cols[i], row, s);
        }
        emptyFrom(fields.size(), row);
        ++row;
        ++done;
        if (OnFileProgress) {
            int percent = total > 0 ? int(std::lround(done * 100.0 / total)) : 100;
            if (percent != lastPercent) {
                lastPercent = percent;
                OnFileProgress(this, percent);
            }
        }
    }
    // The rows read and the fixed footers (the floating footer's row among them).
    SetRowCountPlain(row + FixedFooters());
    // The one row a grid keeps of an empty file is empty too.
    for (int r = row; r < RowCount() - FixedFooters(); ++r)
        emptyFrom(0, r);
    if (keepFooter) {
        if (RowCount() == row)
            SetRowCountPlain(RowCount() + 1);
        for (int c = 0; c < int(footerRow.size()); ++c)
            SetGridCell(c, RowCount() - 1, footerRow[std::size_t(c)]);
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    restore.Keep();
} catch (const std::bad_alloc&) {
    RefuseGrowth();
}
