// TProStringGrid: the save range, the cell conversion hooks and the grid
// text stream ("cols,rows", "cw c,width", "c,r,text" lines ended by CR LF).
//
// A cell text is written as the stream has always written it when that form
// reads back to the same text: as it stands, or, when it holds a CR, with CR
// as TAB, LF as #8 and NUL as #1. A text that this form would change (one
// that already holds TAB, #8 or #1, a CR without LF, or that starts with
// #2) is written escaped instead: #2 first, then every CR, LF, NUL, TAB, #8,
// #1 and #2 as #2 followed by "r", "n", "0", "t", "b", "a" or "s".
#include <algorithm>
#include <atomic>
#include <mutex>
#include <typeinfo>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "grid/services/GridFiles_p.h"
#include "platform/gui/RichEdit.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"

namespace {
constexpr char EscapeMark = '\x02';

AnsiString EscapeStreamText(const AnsiString& S)
{
    AnsiString r(1, EscapeMark);
    for (char c : S) {
        char code = 0;
        switch (c) {
        case '\r': code = 'r'; break;
        case '\n': code = 'n'; break;
        case '\0': code = '0'; break;
        case '\t': code = 't'; break;
        case '\x08': code = 'b'; break;
        case '\x01': code = 'a'; break;
        case EscapeMark: code = 's'; break;
        default: break;
        }
        if (code) {
            r += EscapeMark;
            r += code;
        } else {
            r += c;
        }
    }
    return r;
}

// False when S is not a well-formed escaped text (then it is an old-form text).
bool UnescapeStreamText(const AnsiString& S, AnsiString& Out)
{
    if (S.empty() || S[0] != EscapeMark)
        return false;
    AnsiString r;
    for (std::size_t i = 1; i < S.size(); ++i) {
        char c = S[i];
        if (c != EscapeMark) {
            if (c == '\t' || c == '\x08' || c == '\x01' || c == '\n' || c == '\0')
                return false;
            r += c;
            continue;
        }
        if (++i >= S.size())
            return false;
        switch (S[i]) {
        case 'r': r += '\r'; break;
        case 'n': r += '\n'; break;
        case '0': r += '\0'; break;
        case 't': r += '\t'; break;
        case 'b': r += '\x08'; break;
        case 'a': r += '\x01'; break;
        case 's': r += EscapeMark; break;
        default: return false;
        }
    }
    Out = r;
    return true;
}

AnsiString EncodeStreamText(const AnsiString& S)
{
    AnsiString plain = EncodeLineBreaksForStream(S);
    bool safe = plain.find('\r') == AnsiString::npos && (plain.empty() || plain[0] != EscapeMark) &&
                DecodeLineBreaksFromStream(plain, true) == S;
    return safe ? plain : EscapeStreamText(S);
}

AnsiString DecodeStreamText(const AnsiString& S, bool MultiLine)
{
    AnsiString text;
    if (!UnescapeStreamText(S, text))
        return DecodeLineBreaksFromStream(S, MultiLine);
    if (MultiLine)
        return text;
    AnsiString line;
    ExtractFirstLine(text, false, line);
    return line;
}

void WriteLine(TStream* Stream, const AnsiString& S)
{
    AnsiString line = S + "\r\n";
    Stream->WriteBuffer(line.data(), Int64(line.size()));
}

// The next line up to CR (the byte after the CR is skipped); false at the end.
bool ReadLine(TStream* Stream, AnsiString& Line)
{
    Line.clear();
    char c = 0;
    bool any = false;
    while (Stream->Read(&c, 1) == 1) {
        any = true;
        if (c == '\r') {
            char lf = 0;
            Stream->Read(&lf, 1);
            return true;
        }
        Line += c;
    }
    return any;
}

// "a,b" -> A and B as integers (EConvertError for text that is not a number).
void SplitPair(const AnsiString& S, int& A, int& B)
{
    auto comma = S.find(',');
    A = StrToInt(S.substr(0, comma));
    B = StrToInt(comma == AnsiString::npos ? AnsiString() : S.substr(comma + 1));
}

const char* const GridTooLarge = "Grid too large for operation";

// The largest grid a stream may declare. Larger sizes come from damaged or
// hostile streams: their widths, heights and cell rows would exhaust memory.
constexpr Int64 MaxStreamCols = Int64(1) << 16;
constexpr Int64 MaxStreamRows = Int64(1) << 24;

// A count or index of the stream plus the save range's start, in 64 bits
// (EConvertError for text that is not a number).
Int64 StreamIndex(const AnsiString& Text, int Start)
{
    Int64 v = StrToInt64(Text);
    return v > MaxStreamRows ? v : v + Start;   // far outside any grid: left as it is
}

// The size line "cols,rows" as counts that include the save range's start;
// EProGridError for a size the grid cannot hold.
void ReadStreamSize(const AnsiString& Line, int ColStart, int RowStart, int& Cols, int& Rows)
{
    auto comma = Line.find(',');
    Int64 cols = StreamIndex(Line.substr(0, comma), ColStart);
    Int64 rows = StreamIndex(comma == AnsiString::npos ? AnsiString() : Line.substr(comma + 1), RowStart);
    if (cols > MaxStreamCols || rows > MaxStreamRows)
        throw EProGridError(GridTooLarge);
    Cols = int(std::max<Int64>(cols, 0));
    Rows = int(std::max<Int64>(rows, 0));
}
}

void TProStringGrid::CheckGrowth(Int64 Cols, Int64 Rows) const
{
    Cols = std::max<Int64>(Cols, ColCount());
    Rows = std::max<Int64>(Rows, RowCount());
    if ((Cols > ColCount() || Rows > RowCount()) && (Cols > MaxGrownCells || Rows > MaxGrownCells ||
                                                     Cols * Rows > MaxGrownCells))
        RefuseGrowth();
}

void TProStringGrid::RefuseGrowth()
{
    throw EProGridError(GridTooLarge);
}

// ---------------------------------------------------------------- save range
int TProStringGrid::SaveColStart()
{
    return FExportFixedCells ? 0 : FixedCols();
}

int TProStringGrid::SaveRowStart()
{
    return FExportFixedCells ? 0 : FixedRows();
}

int TProStringGrid::SaveColEnd()
{
    return FExportFixedCells ? ColCount() - 1 : ColCount() - 1 - FixedRightCols();
}

int TProStringGrid::SaveRowEnd()
{
    return FExportFixedCells ? RowCount() - 1 : RowCount() - 1 - FixedFooters();
}

int TProStringGrid::SaveColCount()
{
    return FExportFixedCells ? ColCount() : ColCount() - FixedCols() - FixedRightCols();
}

int TProStringGrid::SaveRowCount()
{
    return FExportFixedCells ? RowCount() : RowCount() - FixedRows() - FixedFooters();
}

void TProStringGrid::SaveCell(int ACol, int ARow, AnsiString& Value)
{
    SaveCellText(ACol, ARow, Value, true);
}

bool TProStringGrid::SaveCellText(int ACol, int ARow, AnsiString& Value, bool OwnThread)
{
    TCellProperties* props = FindProps(ACol, ARow);
    if (FSaveFormattedText) {
        FormatNumericCell(ACol, ARow, Value);
    } else if (OwnThread) {
        Value = Cells(ACol, ARow);
    } else {
        // Cells without its events (there are none: the displayed text differs only by a
        // group's count) and without a new string per cell.
        const TBaseCell b = props ? FindBaseCell(ACol, ARow) : TBaseCell{ACol, ARow};
        AnsiString hidden;
        Value.assign(BaseCellText(b, hidden));
        if (FGrouping->ShowGroupCount() && FGroupColumn >= 0 && FNodeCount > 0 && b.Row < DisplayRowCount())
            GetDisplText(b.Col, b.Row, Value);
    }
    auto* g = props ? dynamic_cast<TCellGraphic*>(props->GraphicObject()) : nullptr;
    if (Value.empty() && g && g->CellType == ctCheckBox) {
        if (!OwnThread)
            return false;
        Value = g->CellBoolean ? GetCheckTrue(ACol, ARow) : GetCheckFalse(ACol, ARow);
    }
    if (!FSaveKeepsRichText || !FSaveKeepsHTML) {
        Byte kind = ClassifyCellText(Value, FP.EnableHTML);
        if (kind == 2 && !FSaveKeepsRichText) {
            if (!OwnThread)
                return false;
            CellToRich(ACol, ARow, FRichEdit);
            Value = FRichEdit->Text();
        } else if (kind == 1 && !FSaveKeepsHTML) {
            Value = HtmlStripTags(Value);
        }
    }
    if (OnSaveCell)
        OnSaveCell(this, ACol, ARow, Value);
    return true;
}

bool PlainWays = false;

bool TProStringGrid::CellsAsStored() const
{
    return typeid(*this) == typeid(TProStringGrid) && !OnGetDisplText && !OnGetDisplWideText &&
           !(FGrouping->ShowGroupCount() && FGroupColumn >= 0 && FNodeCount > 0);
}

std::string_view TProStringGrid::ShownCellText(int ACol, int ARow, bool AAsStored, AnsiString& ACopy)
{
    // A cell holding an object may be merged: Cells gives its base cell's text.
    if (AAsStored && !Objects(ACol, ARow))
        return CellText(ACol, ARow);
    ACopy = Cells(ACol, ARow);
    return ACopy;
}

bool TProStringGrid::SaveCellsOffThread() const
{
    return !PlainWays && typeid(*this) == typeid(TProStringGrid) && !OnGetDisplText && !OnGetDisplWideText &&
           !(FSaveFormattedText && OnGetFloatFormat) && (!OnSaveCell || FSaveCellConcurrent) && !OnGridProgress &&
           !OnFileProgress;
}

void TProStringGrid::FormExportRows(int AFrom, int ATo,
                                    const std::function<bool(int ARow, bool OwnThread, std::string& Out)>& AForm,
                                    const std::function<void(std::string& Piece)>& AUse)
{
    // Runs of rows small enough to be used while the next ones are formed.
    constexpr int RowsPerPiece = 2048;
    const int count = std::max(0, ATo - AFrom);
    const std::size_t pieces = std::size_t((count + RowsPerPiece - 1) / RowsPerPiece);
    auto first = [&](std::size_t Piece) { return AFrom + int(Piece) * RowsPerPiece; };
    auto last = [&](std::size_t Piece) { return std::min(ATo, first(Piece) + RowsPerPiece); };
    if (pieces < 2 || !SaveCellsOffThread()) {
        std::string out;
        for (std::size_t p = 0; p < pieces; ++p) {
            for (int r = first(p); r < last(p); ++r)
                AForm(r, true, out);
            AUse(out);
            out.clear();
        }
        return;
    }
    std::vector<std::string> text(pieces);
    std::vector<int> refused(pieces);
    // Strings of runs already used, kept for the next runs: their memory is ready.
    std::vector<std::string> spare;
    std::mutex spareLock;
    // Room for as much as the run formed last.
    std::atomic<std::size_t> room{0};
    TOrderedParts parts(pieces, PartsFor(std::size_t(count), RowsPerPiece), [&](std::size_t p) {
        std::string out;
        {
            std::lock_guard<std::mutex> guard(spareLock);
            if (!spare.empty()) {
                out = std::move(spare.back());
                spare.pop_back();
            }
        }
        out.clear();
        out.reserve(room.load(std::memory_order_relaxed));
        int r = first(p);
        while (r < last(p) && AForm(r, false, out))
            ++r;
        refused[p] = r;
        room.store(out.size() + out.size() / 8, std::memory_order_relaxed);
        text[p] = std::move(out);
    });
    for (std::size_t p = 0; p < pieces; ++p) {
        parts.Take(p);
        for (int r = refused[p]; r < last(p); ++r)
            AForm(r, true, text[p]);
        AUse(text[p]);
        std::lock_guard<std::mutex> guard(spareLock);
        spare.push_back(std::move(text[p]));
    }
}

void TProStringGrid::LoadCell(int ACol, int ARow, const AnsiString& Value)
{
    AnsiString s = Value;
    if (OnLoadCell)
        OnLoadCell(this, ACol, ARow, s);
    SetCells(ACol, ARow, s);
}

void TProStringGrid::CellsChanged(const TRect& R)
{
    if (OnCellsChanged)
        OnCellsChanged(this, R);
    CalcFooterAll();
}

// ---------------------------------------------------------------- the grid text stream
void TProStringGrid::WriteTextStream(TStream* Stream)
{
    WriteLine(Stream, IntToStr(SaveColCount()) + "," + IntToStr(SaveRowCount()));
    for (int c = 0; c < ColCount(); ++c)
        WriteLine(Stream, "cw " + IntToStr(c) + "," + IntToStr(ColWidths(c)));
    int rowStart = SaveRowStart(), rowEnd = SaveRowEnd();
    // A cell's column is its place among the columns a save writes (the shown ones of the save
    // range, and the hidden ones with ExportHiddenColumns): ReadTextStream takes it back by
    // the same list.
    const std::vector<int> cols = ExportColumns(SaveColStart(), SaveColEnd());
    // A cell that is not stored is empty unless a hook gives it a text: without
    // such hooks only the stored cells are visited, however large the grid (each row
    // still reports its step).
    const bool hooked = OnGetDisplText || OnGetDisplWideText || OnSaveCell;
    DoProgress(0, -1);
    for (int r = rowStart; r <= rowEnd; ++r) {
        const int stored = StoredColCount(r);
        for (std::size_t i = 0; i < cols.size() && (hooked || cols[i] < stored); ++i) {
            AnsiString s;
            SaveCell(cols[i], r, s);
            if (s.empty())
                continue;
            WriteLine(Stream, IntToStr(int(i)) + "," + IntToStr(r - rowStart) + "," + EncodeStreamText(s));
        }
        DoProgress(1, r);
    }
    DoProgress(2, -1);
}

// The fixed right columns a save leaves out keep their cells: the columns added or taken away are
// the last ones of the save range (a hidden column goes with the shown one after it).
void TProStringGrid::SizeSavedColumns(int ASaved)
{
    const int right = FExportFixedCells ? 0 : FixedRightCols();
    const int last = SaveColEnd(), change = ASaved - (last - SaveColStart() + 1);
    if (right == 0 || change == 0 || last < SaveColStart() - 1) {
        SetColCount(SaveColStart() + ASaved + right);
        return;
    }
    const int after = last >= 0 ? RealColIndex(last) + 1 : 0;
    if (change > 0) {
        InsertColumns(after, change);
        return;
    }
    const int from = last + change + 1;   // the first shown column taken away
    const int first = from > 0 ? RealColIndex(from - 1) + 1 : 0;
    RemoveColumns(first, after - first);
}

// The fixed footers a save leaves out keep their cells: the rows added or taken away are the last
// ones of the save range.
void TProStringGrid::SizeSavedRows(int ASaved)
{
    const int footers = FExportFixedCells ? 0 : FixedFooters();
    const int last = SaveRowEnd(), change = ASaved - (last - SaveRowStart() + 1);
    if (footers == 0 || change == 0 || last < SaveRowStart() - 1)
        SetRowCountPlain(SaveRowStart() + ASaved + footers);
    else if (change > 0)
        InsertRows(last + 1, change);
    else
        RemoveRows(last + change + 1, -change);
}

void TProStringGrid::ReadTextStream(TStream* Stream)
try {
    int colStart = SaveColStart(), rowStart = SaveRowStart();
    AnsiString line;
    bool sized = false;
    int cols = 0, rows = 0;
    if (Stream->Position() < Stream->Size() && ReadLine(Stream, line) && !line.empty()) {
        ReadStreamSize(line, colStart, rowStart, cols, rows);
        // Each row that gets a cell keeps a place for every column: the size is bounded as a paste's.
        CheckGrowth(cols, rows);
        sized = true;
    }
    EndCellEdit();
    TGridRestorePoint restore(this);
    if (sized) {
        SizeSavedColumns(cols - colStart);
        SizeSavedRows(rows - rowStart);
    }
    const std::vector<int> stored = ExportColumns(colStart, ColCount() - 1);
    for (;;) {
        Int64 lineStart = Stream->Position();
        if (!ReadLine(Stream, line))
            break;
        if (line.compare(0, 2, "cw") == 0) {
            int col = 0, width = 0;
            SplitPair(line.substr(std::min<std::size_t>(3, line.size())), col, width);
            if (col >= 0 && col < ColCount())
                SetColWidths(col, width);
            continue;
        }
        auto c1 = line.find(',');
        auto c2 = c1 == AnsiString::npos ? AnsiString::npos : line.find(',', c1 + 1);
        AnsiString colText = line.substr(0, c1);
        AnsiString rowText = c1 == AnsiString::npos ? AnsiString() : line.substr(c1 + 1, c2 - c1 - 1);
        if (colText.empty() || rowText.empty()) {
            Stream->SetPosition(lineStart);
            break;
        }
        Int64 col = StreamIndex(colText, colStart);
        Int64 row = StreamIndex(rowText, rowStart);
        AnsiString text = c2 == AnsiString::npos ? AnsiString() : line.substr(c2 + 1);
        // Cells outside the grid are left out rather than stored out of sight.
        col -= colStart;
        if (col < 0 || row < 0 || col >= Int64(stored.size()) || row >= RowCount())
            continue;
        LoadCell(stored[std::size_t(col)], int(row), DecodeStreamText(text, Multilinecells()));
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    restore.Keep();
} catch (const std::bad_alloc&) {
    RefuseGrowth();
}
