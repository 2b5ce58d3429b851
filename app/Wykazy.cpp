#include "app/Wykazy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/Katalog.h"
#include "grid/ProGrid.h"
#include "grid/ProGridSettings.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/Classes.h"
#include "platform/core/FileBytes.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"

const std::array<AnsiString, ListColCount> ListHeaders = {
    "",           "Norma w dokumentacji", "Norma w wykazie", "Stan normy", "Norma aktualna", "Stan posiadania",
    "Materiał", "Część",                "Nr rysunku"};
const std::array<int, ListFieldCount> ListFieldViewCols = {1, 2, 6, 7, 8};
const AnsiString NotInCatalogue = "Brak w spisie";
const AnsiString NormsDifferComment = "Normy się różnią !!!";

TListRecord SplitListLine(const AnsiString& Line)
{
    TListRecord rec;
    SplitRecordFields(Line, rec.data(), ListFieldCount);
    return rec;
}

AnsiString ListLine(const TListRecord& Record)
{
    return JoinRecordFields(Record.data(), ListFieldCount);
}

namespace {
// Catalogues of fewer rows are walked by one thread.
constexpr size_t RowsPerPart = 16384;

size_t HashOf(std::string_view Text)
{
    return std::hash<std::string_view>()(Text);
}
}  // namespace

TNormIndex::TNormIndex(TProStringGrid* Catalogue, const std::vector<AnsiString>& Numbers)
{
    size_t size = 16;
    while (size < 2 * Numbers.size())
        size *= 2;
    FSlots.resize(size);
    FMask = size - 1;
    for (const AnsiString& n : Numbers) {
        const size_t h = HashOf(n);
        TSlot& slot = FSlots[SlotOf(n, h)];
        if (slot.Number < 0) {
            slot = {h, int(FNumbers.size())};
            FNumbers.push_back(n);
        }
    }
    FRows.assign(FNumbers.size(), -1);
    if (Catalogue->ColCount() < 2 || FNumbers.empty())
        return;
    // A large catalogue is walked in parts, on several threads: each part
    // keeps the first row of every number within it, and the earliest part
    // that holds a number gives its row.
    const size_t rows = size_t(std::max(0, Catalogue->RowCount() - 1));
    std::vector<std::vector<int>> found(size_t(PartsFor(rows, RowsPerPart)));
    RunInParts(rows, int(found.size()), [&](int Part, size_t From, size_t To) {
        std::vector<int>& first = found[size_t(Part)];
        first.assign(FNumbers.size(), -1);
        size_t missing = FNumbers.size();
        for (size_t i = From; i < To && missing > 0; ++i) {
            const int r = int(i) + 1;
            // The stored text: a display hook (a group count) is no part of the number.
            const std::string_view number = Catalogue->CellText(1, r);
            const TSlot& slot = FSlots[SlotOf(number, HashOf(number))];
            if (slot.Number >= 0 && first[size_t(slot.Number)] < 0) {
                first[size_t(slot.Number)] = r;
                --missing;
            }
        }
    });
    for (size_t n = 0; n < FNumbers.size(); ++n)
        for (const std::vector<int>& first : found)
            if (first[n] >= 0) {
                FRows[n] = first[n];
                break;
            }
}

size_t TNormIndex::SlotOf(std::string_view Number, size_t Hash) const
{
    size_t i = Hash & FMask;
    while (FSlots[i].Number >= 0 && (FSlots[i].Hash != Hash || FNumbers[size_t(FSlots[i].Number)] != Number))
        i = (i + 1) & FMask;
    return i;
}

int TNormIndex::Find(const AnsiString& Number) const
{
    const TSlot& slot = FSlots[SlotOf(Number, HashOf(Number))];
    return slot.Number < 0 ? -1 : FRows[size_t(slot.Number)];
}

int ListColumnOf(TProStringGrid* Grid, const AnsiString& Header)
{
    const int cols = Grid->AllColCount();
    for (int c = 0; c < cols; ++c)
        if (Grid->Cells(c, 0) == Header)
            return c;
    return -1;
}

void WriteListFile(const AnsiString& FileName, const AnsiString& Text)
{
    AnsiString dir = ExtractFileDir(FileName);
    if (!dir.empty() && !DirectoryExists(dir))
        ForceDirectories(dir);
    SaveBytesToFile(FileName, Text);
}

bool IsPlainListName(const AnsiString& Name)
{
    return !Name.empty() && Name.find_first_of("\\/") == AnsiString::npos && Name.find("..") == AnsiString::npos;
}

AnsiString ListFileBase(const AnsiString& Name)
{
    AnsiString base = Name;
    for (char& c : base)
        if (AnsiString(" .;\\/<>|*?\"").find(c) != AnsiString::npos)
            c = '_';
    return base;
}

AnsiString FreeListFileName(const AnsiString& Base, const std::function<bool(const AnsiString&)>& Taken)
{
    AnsiString candidate = Base + ".txt";
    for (int n = 1; Taken(candidate); ++n)
        candidate = Base + "_" + (n < 10 ? "0" : "") + IntToStr(n) + ".txt";
    return candidate;
}

AnsiString CreateListFile(const AnsiString& Folder, const AnsiString& Base,
                          const std::function<bool(const AnsiString&)>& Taken)
{
    return FreeListFileName(Base, [&](const AnsiString& Name) {
        if (Taken(Name))
            return true;
        errno = 0;
        const int fd = CreateFileOs(ToOsPath(Folder + Name), O_WRONLY);
        if (fd >= 0) {
            ::close(fd);
            return false;
        }
        if (errno == EEXIST)
            return true;
        throw EFCreateError("Cannot create file \"" + Folder + Name + "\"");
    });
}

// ---------------------------------------------------------------- import
namespace {

// The logical lines of the source. Its lines end as a text file read line by
// line ends them (at LF, a CR before it belonging to the line end; no empty
// line after the last LF), except inside a quoted cell, whose line ends
// become blanks. A cell is quoted when a double quote opens it (at the line's
// start or right after a TAB) and a later quote, not doubled, closes it. Any
// other quote is text (an inch mark in "rura 3/4\" ocynk"), and so is one that
// opens a cell but is never closed: that cell ends at its TAB or line end. A
// logical line that holds a quote starts with a blank.
std::vector<AnsiString> LogicalLines(const AnsiString& Source)
{
    constexpr size_t none = AnsiString::npos;
    std::vector<size_t> quotes;
    for (size_t i = Source.find('"'); i != none; i = Source.find('"', i + 1))
        quotes.push_back(i);
    // Closer[k]: the quote that closes a cell whose search starts at quote k
    // (doubled quotes skipped); none when no quote up to the end does.
    const size_t m = quotes.size();
    std::vector<size_t> closer(m + 2, none);
    for (size_t k = m; k-- > 0;)
        closer[k] = k + 1 < m && quotes[k + 1] == quotes[k] + 1 ? closer[k + 2] : quotes[k];

    std::vector<AnsiString> out;
    AnsiString line;
    bool holdsQuote = false;
    auto dropLineEndCR = [&] {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    };
    auto endLine = [&] {
        dropLineEndCR();
        out.push_back(holdsQuote ? " " + line : line);
        line.clear();
        holdsQuote = false;
    };
    bool cellStart = true;
    size_t q = 0;   // the first quote at or after pos
    for (size_t pos = 0; pos < Source.size();) {
        const char c = Source[pos];
        if (c == '\n') {
            endLine();
            cellStart = true;
            ++pos;
            continue;
        }
        if (c == '"') {
            holdsQuote = true;
            while (quotes[q] < pos)
                ++q;
            const size_t close = cellStart ? closer[q + 1] : none;
            if (close != none) {
                for (; pos <= close; ++pos)
                    if (Source[pos] == '\n') {
                        dropLineEndCR();
                        line += ' ';
                    } else {
                        line += Source[pos];
                    }
                cellStart = false;
                continue;
            }
        }
        line += c;
        cellStart = c == '\t';
        ++pos;
    }
    if (!line.empty())
        endLine();
    return out;
}

// A line whose characters, apart from the last one, are all "|" or blanks.
bool IsEmptyRecordLine(const AnsiString& Line)
{
    for (size_t i = 0; i + 1 < Line.size(); ++i)
        if (Line[i] != '|' && Line[i] != ' ')
            return false;
    return true;
}

}  // namespace

TListImport ImportListText(const AnsiString& Source, const std::function<void(int Lines)>& Step)
{
    std::vector<AnsiString> lines = LogicalLines(Source);
    TListImport result;
    result.Lines = int(lines.size());
    auto step = [&] {
        if (Step)
            Step(result.Lines);
    };

    // Pass 1 and 2: no "|" or quotes; carriage returns become blanks.
    for (AnsiString& l : lines) {
        AnsiString clean;
        for (char c : l)
            if (c != '|' && c != '"')
                clean += c;
        l = clean;
        step();
    }
    for (AnsiString& l : lines) {
        for (char& c : l)
            if (c == '\r')
                c = ' ';
        step();
    }
    // Pass 3: the first four cells, each followed by "|"; lines with fewer
    // than three tabs are dropped.
    std::vector<AnsiString> cells;
    for (const AnsiString& l : lines) {
        step();
        AnsiString out;
        int tabs = 0;
        for (char c : l) {
            if (c == '\t') {
                if (++tabs == 4)
                    break;
                out += '|';
            } else
                out += c;
        }
        if (tabs < 3) {
            ++result.Dropped;
            continue;
        }
        cells.push_back(out + "|");
    }
    // Pass 4 and 5: no empty lines, no lines of bars and blanks alone.
    std::vector<AnsiString> kept;
    for (const AnsiString& l : cells) {
        step();
        if (!l.empty())
            kept.push_back(l);
    }
    std::vector<AnsiString> records;
    for (const AnsiString& l : kept) {
        step();
        if (!IsEmptyRecordLine(l))
            records.push_back(l);
    }
    // Pass 6: part, drawing, material, standard -> the register's five fields.
    for (const AnsiString& l : records) {
        step();
        AnsiString source[4];
        SplitRecordFields(l, source, 4);
        TListRecord rec = {AnsiString(), source[3], source[2], source[0], source[1]};
        result.Text += ListLine(rec) + "\r\n";
    }
    return result;
}

AnsiString DroppedLinesText(int N)
{
    const char* form = N == 1                ? " LINIA MIAŁA NIEPRAWIDŁOWY FORMAT, ZOSTAŁA USUNIĘTA"
                       : (N >= 2 && N <= 4) ? " LINIE MIAŁY NIEPRAWIDŁOWY FORMAT, ZOSTAŁY USUNIĘTE"
                                            : " LINII MIAŁO NIEPRAWIDŁOWY FORMAT, ZOSTAŁY USUNIĘTE";
    return AnsiString(16, ' ') + IntToStr(N) + form;
}

// ---------------------------------------------------------------- numbers
namespace {
bool Has(const AnsiString& s, char c)
{
    return s.find(c) != AnsiString::npos;
}

// The text between the first From and the first To ("" when To comes first).
AnsiString Between(const AnsiString& s, char From, char To)
{
    size_t a = s.find(From), b = s.find(To);
    return b > a ? s.substr(a + 1, b - a - 1) : AnsiString();
}
}  // namespace

AnsiString NormCore(const AnsiString& Entry)
{
    if (Has(Entry, ':') && Has(Entry, '/') && Has(Entry, '-'))
        return Between(Entry, '-', ':');
    if (Has(Entry, ' ') && Has(Entry, ':') && Has(Entry, '-'))
        return Between(Entry, ' ', ':');
    if (Has(Entry, '-') && Has(Entry, '/') && Has(Entry, '.')) {
        size_t dot = Entry.find('.');
        size_t from = dot > 5 ? dot - 5 : 0;
        return Entry.substr(from, dot - from) + "-" + Entry.substr(dot + 1);
    }
    if (Has(Entry, ':') && Has(Entry, ' '))
        return Between(Entry, ' ', ':');
    return Entry.size() > 5 ? Entry.substr(Entry.size() - 5) : Entry;
}

AnsiString ProposeNorm(const AnsiString& Entry, TProStringGrid* Catalogue)
{
    if (Entry.empty())
        return Entry;
    if (AnsiLowerCase(Entry).find("pn") == AnsiString::npos)
        return Entry;
    const AnsiString core = NormCore(Entry);
    // An empty core would be found in every number.
    if (core.empty() || Catalogue->ColCount() <= nfReplacedBy + 1)
        return Entry;
    AnsiString result;
    for (int r = 1; r <= Catalogue->RowCount() - 2; ++r) {
        const AnsiString& number = Catalogue->Cells(1 + nfNumber, r);
        if (number.find(core) == AnsiString::npos)
            continue;
        result = Catalogue->Cells(1 + nfState, r).find("Aktualna") != AnsiString::npos
                     ? number
                     : Catalogue->Cells(1 + nfReplacedBy, r);
    }
    return result.empty() ? Entry : result;
}

// ---------------------------------------------------------------- list grids
void NormListCellColor(TProStringGrid* Grid, int ARow, int ACol, unsigned AState, TBrush* ABrush, TFont* AFont,
                       std::int32_t NumberColor)
{
    if (ARow == 0)
        AFont->SetStyle(AFont->Style() | fsBold);
    const bool unfocusedSelection = (AState & gdSelected) && !(AState & gdFocused);
    if (ACol == 1 && ARow >= 1 && ARow < Grid->RowCount() - Grid->FixedFooters() && !unfocusedSelection) {
        ABrush->SetColor(TColor(NumberColor));
        AFont->SetColor(clBlack);
    }
}

void SortNormListRows(TProStringGrid* Grid)
{
    // The empty last row is set aside, so that sorting cannot bring it up.
    const bool spare = Grid->RowCount() > Grid->FixedRows() + 1;
    if (spare)
        Grid->SetRowCount(Grid->RowCount() - 1);
    // Letter case aside, a number repeats an earlier row; an empty cell is
    // never a repeat (an imported register leaves column 1 empty on every line).
    std::unordered_set<std::string> seen;
    std::vector<int> repeats;
    for (int r = Grid->FixedRows(); r < Grid->RowCount(); ++r) {
        const AnsiString number = Grid->Cells(1, r);
        if (!number.empty() && !seen.insert(AnsiUpperCase(number)).second)
            repeats.push_back(r);
    }
    Grid->RemoveRowList(repeats);
    Grid->SortByColumn(1, sdAscending);
    if (spare)
        Grid->SetRowCount(Grid->RowCount() + 1);
    Grid->NumberColumn(0);
    Grid->AutoSizeColumns(false, 10);
}

TStateWordExport::TStateWordExport(TProStringGrid* Grid, int StateCol, bool Html)
    : FGrid(Grid), FOwn(Grid->OnSaveCell), FOwnConcurrent(Grid->SaveCellConcurrent())
{
    // The texts depend on the arguments alone: they may be formed on several threads.
    Grid->SetSaveCellConcurrent(true);
    Grid->OnSaveCell = [StateCol, Html](TObject*, int ACol, int, AnsiString& Value) {
        if (ACol == StateCol) {
            if (!Html)
                StripHtmlTags(Value);
        } else if (Html)
            Value = HtmlEncodeEntities(Value);
    };
}

TStateWordExport::~TStateWordExport()
{
    FGrid->OnSaveCell = FOwn;
    FGrid->SetSaveCellConcurrent(FOwnConcurrent);
}
