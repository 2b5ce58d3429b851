// TProStringGrid: cut, copy and paste through the system clipboard. Text goes
// as tab-separated columns and CR LF-separated rows (the layer converts it
// between Windows-1250 and the system's Unicode); with options also the rich
// text of the first cell and the grid's own format (the cell stream). Pasting
// prefers the grid's own format, then rich text, then text; it can grow the
// grid and, with the smart clipboard, fill a range or continue a series.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"

namespace {
UINT RichTextFormat()
{
    static const UINT format = RegisterClipboardFormat("Rich Text Format");
    return format;
}

// What is put on the clipboard inside it goes there together.
class TClipboardBracket {
public:
    TClipboardBracket() { Clipboard()->Open(); }
    ~TClipboardBracket() { Clipboard()->Close(); }
    TClipboardBracket(const TClipboardBracket&) = delete;
    TClipboardBracket& operator=(const TClipboardBracket&) = delete;
};

// One undo group of the grid's clipboard operations while it lives.
class TUndoGroup {
public:
    TUndoGroup(std::function<void()> End) : FEnd(std::move(End)) {}
    ~TUndoGroup() { FEnd(); }
    TUndoGroup(const TUndoGroup&) = delete;
    TUndoGroup& operator=(const TUndoGroup&) = delete;

private:
    std::function<void()> FEnd;
};

// One line of pasted text: [Start, End) and whether more text follows it.
struct TTextLine {
    std::size_t Start, End;
    bool MoreFollows;
};

// The lines of a pasted text. Lines end at CR (an LF right after it belongs to
// the break). Text without any CR (as other programs of this system write it)
// ends its lines at LF, except inside a field that starts with a double quote
// and has not closed yet. An empty last line does not count.
std::vector<TTextLine> TextLinesOf(const AnsiString& Text)
{
    std::vector<TTextLine> lines;
    const std::size_t n = Text.size();
    const bool crBreaks = Text.find('\r') != AnsiString::npos;
    std::size_t pos = 0;
    while (pos < n) {
        std::size_t end = pos;
        if (crBreaks) {
            end = Text.find('\r', pos);
            if (end == AnsiString::npos)
                end = n;
        } else {
            bool quoted = false, fieldStart = true;
            for (; end < n; ++end) {
                char ch = Text[end];
                if (quoted) {
                    if (ch == '"' && (end + 1 == n || Text[end + 1] == '\t' || Text[end + 1] == '\n'))
                        quoted = false;
                    continue;
                }
                if (ch == '\n')
                    break;
                if (fieldStart && ch == '"')
                    quoted = true;
                fieldStart = ch == '\t';
            }
        }
        std::size_t next = end < n ? end + 1 : n;
        if (crBreaks && end < n && next < n && Text[next] == '\n')
            ++next;
        lines.push_back({pos, end, next < n});
        pos = next;
    }
    return lines;
}

// A pasted field: a matching pair of surrounding double quotes goes, and each
// vertical tab becomes CR LF (the form of a line break inside a quoted field).
AnsiString PastedFieldValue(AnsiString S)
{
    if (S.find('"') == AnsiString::npos)
        return S;
    if (S.size() >= 2 && S.front() == '"' && S.back() == '"')
        S = S.substr(1, S.size() - 2);
    VTabToCRLF(S);
    return S;
}

bool HoldsChar(const AnsiString& S, char C)
{
    return S.find(C) != AnsiString::npos;
}

// One step of a date series by the parts' differences (Delta when not exactly one part differs).
TDateTime NextSeriesDate(int Years, int Months, int Days, TDateTime Date, TDateTime Delta)
{
    const int parts = (Years != 0) + (Months != 0) + (Days != 0);
    if (parts == 1 && Years >= 0 && Months >= 0 && Days >= 0)
        return IncDateParts(Word(Years), Word(Months), Word(Days), Date, Delta);
    // A series running backwards: the same steps, down.
    if (parts == 1 && Days == 0)
        return IncMonth(Date, Years * 12 + Months);
    return Date + (parts == 1 ? Days : Delta);
}
}  // namespace

// ---------------------------------------------------------------- helpers
TGridRect TProStringGrid::WidenToMergedRegions(TGridRect R)
{
    if (R.Left < 0 || R.Top < 0 || R.Left >= ColCount() || R.Top >= RowCount())
        return R;
    R.Right = std::min(R.Right, ColCount() - 1);
    R.Bottom = std::min(R.Bottom, RowCount() - 1);
    if (R.Right < R.Left || R.Bottom < R.Top)
        return R;
    // Every merged region a side of the rectangle cuts is taken in whole; the grown sides may
    // cut further regions, so the sides are walked again until nothing grows.
    for (bool grown = true; grown;) {
        const TGridRect was = R;
        auto takeIn = [&](int AStoredCol, int ARow) {
            if (!IsMergedCell(AStoredCol, ARow))
                return;
            // The region in shown columns: a hidden column inside it widens nothing.
            const TGridRect m = ShownMergedRegion(DisplayColumn(AStoredCol), ARow);
            R.Left = std::min(R.Left, m.Left);
            R.Top = std::min(R.Top, m.Top);
            R.Right = std::max(R.Right, std::min(ColCount() - 1, m.Right));
            R.Bottom = std::max(R.Bottom, std::min(RowCount() - 1, m.Bottom));
        };
        const int leftStored = RealColIndex(was.Left), rightStored = RealColIndex(was.Right);
        for (auto [from, to] : StoredColumnRuns(was.Left, was.Right))
            for (int c = from; c <= to; ++c) {
                takeIn(c, was.Top);
                takeIn(c, was.Bottom);
            }
        for (int r = was.Top + 1; r < was.Bottom; ++r) {
            takeIn(leftStored, r);
            takeIn(rightStored, r);
        }
        grown = !(R == was);
    }
    return R;
}

bool TProStringGrid::DisjunctRowFlagged(int ARow) const
{
    const int flag = RowSelectFlagIndex(ARow);
    return flag >= 0 && std::size_t(flag) < FRowSelectFlags.size() && FRowSelectFlags[std::size_t(flag)] != 0;
}

bool TProStringGrid::DisjunctColFlagged(int ACol)
{
    return ACol >= 0 && std::size_t(ACol) < FColSelectFlags.size() && FColSelectFlags[std::size_t(ACol)] != 0;
}

bool TProStringGrid::CanPasteInto(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return false;
    return FNavigation->AllowClipboardAlways() || IsEditable(RealColIndex(ACol), ARow);
}

bool TProStringGrid::PasteCellValue(int ACol, int ARow, AnsiString Value)
{
    if (!CanPasteInto(ACol, ARow))
        return false;
    bool allow = true;
    if (Value.size() >= 2 && Value[0] == '|' && Value[1] == '\\') {
        if (OnClipboardBeforePasteWideCell) {
            WideString wide = DecodeUnicodeCell(Value);
            OnClipboardBeforePasteWideCell(this, ACol, ARow, wide, allow);
            Value = EncodeUnicodeCell(wide);
        }
    } else if (OnClipboardBeforePasteCell) {
        OnClipboardBeforePasteCell(this, ACol, ARow, Value, allow);
    }
    if (allow)
        SetCellTextWithUndo(ACol, ARow, Value);
    return allow;
}

void TProStringGrid::BeginUndoGroup()
{
    ++FUndoGroupDepth;
}

void TProStringGrid::EndUndoGroup()
{
    if (FUndoGroupDepth > 0 && --FUndoGroupDepth == 0 && FUndoGroupOpen) {
        FUndoGroupOpen = false;
        if (UndoRedo())
            UndoRedo()->EndGroup();
    }
}

void TProStringGrid::SetCellTextWithUndo(int ACol, int ARow, const AnsiString& Value)
{
    const int real = RealColIndex(ACol);
    const bool checkBox = HasCheckBox(real, ARow);
    if (UndoRedo()) {
        if (FUndoGroupDepth > 0 && !FUndoGroupOpen) {
            FUndoGroupOpen = true;
            UndoRedo()->BeginGroup();
        }
        AnsiString old = Cells(real, ARow);
        bool state = false;
        if (checkBox && GetCheckBoxState(real, ARow, state) && GetCellType(real, ARow) == ctCheckBox)
            old = state ? GetCheckTrue(real, ARow) : GetCheckFalse(real, ARow);
        UndoRedo()->AddCellChange(real, ARow, old, Value);
    }
    if (checkBox)
        SetCheckBoxState(real, RealRowIndex(ARow), Value == GetCheckTrue(real, ARow));
    else
        SetCells(real, ARow, Value);
    if (real != ACol)
        RepaintCell(ACol, ARow);
}

// ---------------------------------------------------------------- copy
void TProStringGrid::CopySelection()
{
    const TGridRect sel = WidenToMergedRegions(Selection());
    if ((!FMouseActions->DisjunctRowSelect() && !FMouseActions->DisjunctColSelect()) ||
        FNavigation->AllowFmtClipboard())
        CopyRectToClipboard(sel, false);
    else
        CopyRectToClipboard(TGridRect(SaveColStart(), SaveRowStart(), SaveColEnd(), SaveRowEnd()), true);
    FCopyFlag = true;
}

void TProStringGrid::CopyRectToClipboard(const TGridRect& R, bool SelectedOnly)
{
    FCopyOrigin = TPoint(R.Left, R.Top);
    DoProgress(0, -1);
    const bool rowsOnly = SelectedOnly && FMouseActions->DisjunctRowSelect();
    const bool colsOnly = SelectedOnly && FMouseActions->DisjunctColSelect();
    const bool multiRow = R.Bottom > R.Top;
    std::vector<int> cols;
    for (int c = std::max(R.Left, 0); c <= std::min(R.Right, ColCount() - 1); ++c)
        if (!colsOnly || DisjunctColFlagged(c))
            cols.push_back(RealColIndex(c));
    AnsiString text;
    AnsiString s;
    for (int r = std::max(R.Top, 0); r <= std::min(R.Bottom, RowCount() - 1); ++r) {
        DoProgress(1, r);
        if (rowsOnly && !DisjunctRowFlagged(r))
            continue;
        for (int c : cols) {
            SaveCell(c, r, s);
            if (HoldsChar(s, '{') && s.find("{\\") != AnsiString::npos) {
                // Rich text goes as its plain text.
                CellToRich(c, r, FRichEdit);
                s = FRichEdit->Text();
            }
            if (s.size() >= 2 && s[0] == '|' && s[1] == '\\')
                s = CellTextAsAnsi(s);
            if (!FNavigation->CopyHTMLTagsToClipboard() && s.find("</") != AnsiString::npos)
                s = HtmlStripTags(s);
            if (HoldsChar(s, '\r') || (!s.empty() && (s.front() == '"' || s.back() == '"'))) {
                // A line break inside a cell: its CR goes and the text is quoted. A text that
                // begins or ends with a double quote is quoted too, so that the pair a paste
                // takes off is this one (inner quotes stay as they are).
                text += '"';
                text += RemoveCRChars(s);
                text += '"';
            } else {
                text += s;
            }
            text += '\t';
        }
        if (!cols.empty()) {
            if (multiRow) {
                text.back() = '\r';
                text += '\n';
            } else {
                text.pop_back();
            }
        }
    }
    TClipboardBracket bracket;
    Clipboard()->SetAsText(text);
    if (FNavigation->AllowRTFClipboard())
        CopyCellRTF(R.Left, R.Top);
    if (FNavigation->AllowFmtClipboard())
        CopyRectAsCells(R);
    DoProgress(2, -1);
}

void TProStringGrid::CopyCellRTF(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return;
    AnsiString s = Cells(RealColIndex(ACol), ARow);
    if (s.find("{\\") != AnsiString::npos)
        Clipboard()->SetFormatData(RichTextFormat(), s);
}

// ---------------------------------------------------------------- cut
void TProStringGrid::CutSelection()
{
    CopySelection();
    EndCellEdit();
    TGridUpdate update(this);
    if (FMouseActions->DisjunctRowSelect()) {
        std::vector<int> rows;
        for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
            if (DisjunctRowFlagged(r))
                rows.push_back(r);
        for (int r : rows) {
            ClearRowRange(r, 1);
            MarkRangeModified(TPoint(-1, -1), TRect(0, r, ColCount() - 1, r), false);
        }
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = TBaseGrid::FixedCols(); c < ColCount(); ++c)
            if (DisjunctColFlagged(c))
                ClearColumnRange(RealColIndex(c), 1);
    } else {
        const TGridRect sel = WidenToMergedRegions(Selection());
        if (sel.Left < 0 || sel.Top < 0 || sel.Left > sel.Right || sel.Top > sel.Bottom)
            return;
        BeginUndoGroup();
        TUndoGroup group([this] { EndUndoGroup(); });
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            for (int c = sel.Left; c <= sel.Right; ++c) {
                const int real = RealColIndex(c);
                if (IsMergedNonBaseCell(real, r))
                    continue;
                if (FNavigation->AllowClipboardAlways() || IsEditable(real, r))
                    SetCellTextWithUndo(c, r, AnsiString());
            }
        MarkRangeModified(TPoint(-1, -1), TRect(sel.Left, sel.Top, sel.Right, sel.Bottom), false);
        if (FNavigation->AllowFmtClipboard())
            for (int c = sel.Left; c <= sel.Right; ++c) {
                const int real = RealColIndex(c);
                FreeCellProperties(real, sel.Top, real, sel.Bottom);
            }
        CellsChanged(TRect(RealColIndex(sel.Left), sel.Top, RealColIndex(sel.Right), sel.Bottom));
    }
    FCopyFlag = false;
    if (NumHiddenColumns() > 0)
        Invalidate();
}

// ---------------------------------------------------------------- paste
void TProStringGrid::PasteSelection()
{
    DoPasteProgress(0, -1);
    EndCellEdit();
    const TGridRect sel = WidenToMergedRegions(Selection());
    const int col = (Options() & goRowSelect) ? FixedCols() : sel.Left;
    const int row = sel.Top;
    {
        // The paste and the fill each take the rows they change.
        TGridRestorePoint restore(this, 0, -1);
        BeginUndoGroup();
        TUndoGroup group([this] { EndUndoGroup(); });
        const int pasted = PasteGridCells(col, row);
        const Int64 cells = (Int64(sel.Right) - sel.Left + 1) * (Int64(sel.Bottom) - sel.Top + 1);
        if (FNavigation->AllowSmartClipboard() && pasted > 0 && cells != Int64(pasted) - 1) {
            TGridRestorePoint fill(this, sel.Top, sel.Bottom);
            SmartPaste(sel, col, row, pasted);
            fill.Keep();
        }
        restore.Keep();
    }
    DoPasteProgress(2, -1);
}

int TProStringGrid::PasteGridCells(int ACol, int ARow)
{
    TClipboard* cb = Clipboard();
    FPasteExtent = TPoint(0, 0);
    TGridRestorePoint restore(this, ARow, ARow);
    auto kept = [&restore](int Pasted) {
        restore.Keep();
        return Pasted;
    };
    if (GetAllowFmtClipboard() && cb->HasFormat(GridClipboardFormat())) {
        const int pasted = PasteCellStream(ACol, ARow, cb->GetFormatData(GridClipboardFormat()));
        // A stream this grid cannot take: what was copied with it is pasted instead.
        if (pasted >= 0)
            return kept(pasted);
    }
    if (FNavigation->AllowRTFClipboard() && cb->HasFormat(RichTextFormat())) {
        AnsiString rtf = cb->GetFormatData(RichTextFormat());
        while (!rtf.empty() && rtf.back() == '\0')
            rtf.pop_back();
        if (!rtf.empty() && CanPasteInto(ACol, ARow)) {
            EndCellEdit();
            SetCellTextWithUndo(ACol, ARow, rtf);
            CellsChanged(TRect(RealColIndex(ACol), ARow, RealColIndex(ACol), ARow));
        }
        return kept(0);
    }
    if (cb->HasFormat(CF_TEXT))
        return kept(PasteText(ACol, ARow, cb->AsText()));
    return kept(0);
}

int TProStringGrid::PasteText(int ACol, int ARow, const AnsiString& Text)
try {
    const bool editing = (Options() & goEditing) || FNavigation->AllowClipboardAlways() ||
                         FMouseActions->RangeSelectAndEdit() || FNavigation->AlwaysEdit();
    FPastedCells = 0;
    if (ACol < 0 || ARow < 0 || !editing)
        return 0;
    const std::vector<TTextLine> lines = TextLinesOf(Text);
    if (lines.empty())
        return 0;
    // A block that would grow the grid too large is refused before anything changes.
    Int64 widest = 0;
    for (const TTextLine& line : lines)
        widest = std::max<Int64>(widest, 1 + std::count(Text.begin() + Int64(line.Start), Text.begin() + Int64(line.End), '\t'));
    CheckGrowth(FNavigation->AllowClipboardColGrow() ? ACol + widest : 0,
                FNavigation->AllowClipboardRowGrow() ? ARow + Int64(lines.size()) : 0);
    EndCellEdit();
    TGridRestorePoint restore(this, ARow, int(std::min<Int64>(Int64(ARow) + Int64(lines.size()) - 1, INT32_MAX)));
    TGridUpdate update(this);
    BeginUndoGroup();
    TUndoGroup group([this] { EndUndoGroup(); });
    // The rows the lines need, added at once (with a fixed footer row the last row stays the footer's).
    if (FNavigation->AllowClipboardRowGrow()) {
        const bool footerRow = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;
        const Int64 limit = footerRow ? RowCount() - 1 : RowCount();
        const Int64 last = Int64(ARow) + Int64(lines.size()) - 1;
        if (ARow < limit && last >= limit)
            SetRowCount(int(std::min<Int64>(RowCount() + (last - limit + 1), INT32_MAX)));
    }
    int count = 0;
    int maxCol = ACol;
    int row = ARow;
    auto field = [&](int ACol2, std::size_t From, std::size_t To) {
        ++count;
        if (ACol2 >= ColCount() && FNavigation->AllowClipboardColGrow())
            SetColCount(ACol2 + 1);
        if (ACol2 < ColCount() && row < RowCount() &&
            PasteCellValue(ACol2, row, PastedFieldValue(Text.substr(From, To - From))))
            ++FPastedCells;
        maxCol = std::max(maxCol, ACol2);
    };
    for (const TTextLine& line : lines) {
        DoPasteProgress(1, row);
        int col = ACol;
        std::size_t from = line.Start;
        for (;;) {
            const char* p = static_cast<const char*>(std::memchr(Text.data() + from, '\t', line.End - from));
            if (p) {
                const std::size_t tab = std::size_t(p - Text.data());
                field(col++, from, tab);
                from = tab + 1;
                continue;
            }
            if (line.End > line.Start || line.MoreFollows)
                field(col, from, line.End);
            break;
        }
        if (line.MoreFollows)
            ++row;
    }
    const int lastRow = std::min(row, RowCount() - 1);
    const int lastCol = std::min(maxCol, ColCount() - 1);
    if (lastRow >= ARow && lastCol >= ACol) {
        MarkRangeModified(TPoint(-1, -1), TRect(ACol, ARow, lastCol, lastRow), FCopyFlag);
        CellsChanged(TRect(RealColIndex(ACol), ARow, RealColIndex(lastCol), lastRow));
    }
    FPasteExtent = TPoint(maxCol - ACol + 1, row - ARow + 1);
    restore.Keep();
    return count;
} catch (const std::bad_alloc&) {
    RefuseGrowth();
}

void TProStringGrid::TextBlockSize(const AnsiString& Text, TPoint& Size)
{
    Size = TPoint(0, 0);
    for (const TTextLine& line : TextLinesOf(Text)) {
        int fields = 1;
        for (std::size_t i = line.Start; i < line.End; ++i)
            if (Text[i] == '\t')
                ++fields;
        Size.X = std::max(Size.X, fields);
        ++Size.Y;
    }
}

// ---------------------------------------------------------------- smart paste
void TProStringGrid::SmartPaste(const TGridRect& Sel, int ACol, int ARow, int Pasted)
{
    if (Sel.Left < 0 || Sel.Top < 0 || Sel.Left > Sel.Right || Sel.Top > Sel.Bottom)
        return;
    BeginSmartPaste();
    TUndoGroup bracket([this] { EndSmartPaste(); });
    const TRect range(Sel.Left, Sel.Top, std::min(Sel.Right, ColCount() - 1), std::min(Sel.Bottom, RowCount() - 1));
    if (Pasted == 1) {
        // One value: every other cell of the selection gets it.
        const AnsiString value = Cells(RealColIndex(ACol), ARow);
        for (int r = range.Top; r <= range.Bottom; ++r)
            for (int c = range.Left; c <= range.Right; ++c)
                if (c != ACol || r != ARow)
                    PasteCellValue(c, r, value);
        MarkRangeModified(TPoint(-1, -1), range, FCopyFlag);
        return;
    }
    const bool vertical = range.Left == range.Right;
    if (!vertical && range.Top != range.Bottom)
        return;
    // The cells of the selection in order and the values pasted at its start.
    std::vector<TPoint> cells;
    for (int r = range.Top; r <= range.Bottom; ++r)
        for (int c = range.Left; c <= range.Right; ++c)
            cells.push_back(TPoint(c, r));
    if (cells.size() < 2)
        return;
    auto pastedAt = [&](int Index) {
        return vertical ? Cells(RealColIndex(ACol), ARow + Index) : Cells(RealColIndex(ACol + Index), ARow);
    };
    const AnsiString v1 = pastedAt(0), v2 = pastedAt(1);
    const char decimal = FormatSettings.DecimalSeparator;
    std::function<AnsiString(int)> valueAt;
    TDateTime d1 = 0, d2 = 0;
    int i1 = 0, i2 = 0;
    double f1 = 0, f2 = 0;
    // A date series needs two dates (or times); a date beside a word is a block to repeat.
    auto dateOrTime = [](const AnsiString& V) { return IsDateLikeText(V) || HoldsChar(V, FormatSettings.TimeSeparator); };
    const bool dateLike = dateOrTime(v1) && dateOrTime(v2);
    if (dateLike) {
        if (!TryStrToDateTime(v1, d1) || !TryStrToDateTime(v2, d2))
            return;
        Word y1, m1, dd1, y2, m2, dd2;
        DecodeDate(d1, y1, m1, dd1);
        DecodeDate(d2, y2, m2, dd2);
        const int dy = y2 - y1, dm = m2 - m1, dd = dd2 - dd1;
        const TDateTime delta = d2 - d1;
        const bool asTime = !HoldsChar(v1, FormatSettings.DateSeparator);
        std::vector<AnsiString> series;
        TDateTime d = d1;
        try {
            for (std::size_t i = 0; i < cells.size(); ++i) {
                series.push_back(asTime ? TimeToStr(d) : DateToStr(d));
                d = NextSeriesDate(dy, dm, dd, d, delta);
            }
        } catch (const Exception&) {
            // The series ran out of the calendar: it ends there.
        }
        valueAt = [series](int I) { return std::size_t(I) < series.size() ? series[std::size_t(I)] : AnsiString(); };
    } else if (!HoldsChar(v1, decimal) && !HoldsChar(v2, decimal) && TryStrToInt(v1, i1) && TryStrToInt(v2, i2)) {
        const Int64 step = Int64(i2) - i1;
        valueAt = [i1, step](int I) { return AnsiString(std::to_string(i1 + step * I)); };
    } else if (!HoldsChar(v1, decimal) && !HoldsChar(v2, decimal)) {
        valueAt = nullptr;
    } else if (TryStrToFloat(v1, f1) && TryStrToFloat(v2, f2)) {
        const double step = f2 - f1;
        valueAt = [f1, step](int I) { return FloatToStr(f1 + step * I); };
    }
    if (!valueAt) {
        // The pasted block is repeated from the first cell after it.
        const int block = std::max(1, vertical ? FPasteExtent.Y : FPasteExtent.X);
        std::vector<AnsiString> values;
        for (int i = 0; i < block && i < int(cells.size()); ++i)
            values.push_back(pastedAt(i));
        valueAt = [values](int I) { return values[std::size_t(I) % values.size()]; };
        for (std::size_t i = values.size(); i < cells.size(); ++i)
            PasteCellValue(cells[i].X, cells[i].Y, valueAt(int(i)));
    } else {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            AnsiString v = valueAt(int(i));
            if (v.empty())
                break;
            if (Cells(RealColIndex(cells[i].X), cells[i].Y) != v)
                PasteCellValue(cells[i].X, cells[i].Y, v);
        }
    }
    MarkRangeModified(TPoint(-1, -1), range, FCopyFlag);
}
