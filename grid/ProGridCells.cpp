// TProStringGrid: dimensions, typed cell values, colours, disjunct
// selections, modified marks, repainting, the update bracket, the filter,
// zoom and cell controls.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"

// ---------------------------------------------------------------- dimensions
void TProStringGrid::SetRowCountPlain(int Value)
{
    // Only the fixed rows left (one of them shown as fixed by FixedRowAlways).
    if (FP.FixedRowAlways && RowCount() <= FixedRows())
        UnHideSelection();
    TBaseGrid::SetRowCount(Value);
    if (FP.FixedRowAlways && RowCount() > FLoadedFixedRows && TBaseGrid::FixedRows() != FLoadedFixedRows)
        TBaseGrid::SetFixedRows(FLoadedFixedRows);
    FHighestRowCount = std::max(FHighestRowCount, RowCount());
    SetDisplayRowCount(RowCount());
}

void TProStringGrid::SetColCount(int Value)
{
    TBaseGrid::SetColCount(Value);
    // The table is ColCount shown columns and the hidden ones among them: a hidden column left
    // beyond it went with the columns cut off.
    for (int c = int(FColumnVisible.size()) - 1, all = AllColCount(); c >= all; --c)
        if (!FColumnVisible[std::size_t(c)]) {
            FColumnVisible[std::size_t(c)] = 1;
            --all;
        }
    if (FP.FixedColAlways && ColCount() > FLoadedFixedCols && TBaseGrid::FixedCols() != FLoadedFixedCols)
        TBaseGrid::SetFixedCols(FLoadedFixedCols);
    FHighestColCount = std::max(FHighestColCount, ColCount());
    SetBounds(Left(), Top(), Width(), Height());
}

int TProStringGrid::FixedRows() const
{
    int v = TBaseGrid::FixedRows();
    return v == 0 && FP.FixedRowAlways ? 1 : v;
}

void TProStringGrid::SetFixedRows(int Value)
{
    if (FP.FixedRowAlways && Value >= RowCount())
        TBaseGrid::SetFixedRows(std::max(0, RowCount() - 1));
    else
        TBaseGrid::SetFixedRows(Value);
    if (!(ComponentState() & csLoading))
        FLoadedFixedRows = Value;
}

int TProStringGrid::FixedCols() const
{
    int v = TBaseGrid::FixedCols();
    return v == 0 && FP.FixedColAlways ? 1 : v;
}

void TProStringGrid::SetFixedCols(int Value)
{
    TBaseGrid::SetFixedCols(Value);
    if (!(ComponentState() & csLoading))
        FLoadedFixedCols = Value;
}

void TProStringGrid::SetDefaultRowHeight(int Value)
{
    TBaseGrid::SetDefaultRowHeight(Value);
    if (ComponentState() & csDesigning)
        FP.FixedRowHeight = Value;
    FFloatingFooter->SetHeight(Value);
    if (FFooterPanel && FFooterPanel->Visible())
        FFooterPanel->SetHeight(Value);
}

void TProStringGrid::SetFixedRowHeight(int Value)
{
    FP.FixedRowHeight = Value;
    if (ComponentState() & csLoading)
        return;
    if (Value == DefaultRowHeight()) {
        SetDefaultRowHeight(Value);
        return;
    }
    for (int r = 0; r < TBaseGrid::FixedRows(); ++r)
        SetRowHeights(r, Value);
}

void TProStringGrid::SetFixedColWidth(int Value)
{
    if ((ComponentState() & csLoading) || Value == DefaultColWidth())
        return;
    for (int c = 0; c < TBaseGrid::FixedCols(); ++c)
        SetColWidths(c, Value);
}

void TProStringGrid::SetFixedRightCols(int Value)
{
    FP.FixedRightCols = Value;
    Invalidate();
}

void TProStringGrid::SetFixedFooters(int Value)
{
    FP.FixedFooters = Value;
    Invalidate();
}

// ---------------------------------------------------------------- hidden columns and rows
bool TProStringGrid::ColumnVisible(int ACol) const
{
    return ACol < 0 || std::size_t(ACol) >= FColumnVisible.size() || FColumnVisible[std::size_t(ACol)] != 0;
}

void TProStringGrid::SetColumnVisibleFlag(int ACol, bool Visible)
{
    if (ACol < 0)
        return;
    if (std::size_t(ACol) >= FColumnVisible.size()) {
        if (Visible)
            return;
        FColumnVisible.resize(std::size_t(ACol) + 1, 1);
    }
    FColumnVisible[std::size_t(ACol)] = Visible ? 1 : 0;
}

int TProStringGrid::NumHiddenColumns() const
{
    return int(std::count(FColumnVisible.begin(), FColumnVisible.end(), 0));
}

int TProStringGrid::DisplayColumn(int ACol) const
{
    int hidden = 0;
    for (int c = 0; c < ACol && std::size_t(c) < FColumnVisible.size(); ++c)
        if (!FColumnVisible[std::size_t(c)])
            ++hidden;
    return ACol - hidden;
}

int TProStringGrid::RealColIndex(int ADisplayCol) const
{
    int real = 0, shown = -1;
    for (;; ++real) {
        if (ColumnVisible(real) && ++shown == ADisplayCol)
            return real;
        if (std::size_t(real) >= FColumnVisible.size())
            return real + (ADisplayCol - shown);
    }
}

// The records of the hidden rows stay in the order of their stored rows, so a row's place
// among them is found by halving.
namespace {
int HiddenIdx(const TCollection* AList, int AIndex)
{
    return static_cast<const TGridItem*>(AList->Items(AIndex))->Idx;
}

// The first record of 0 .. ACount - 1 for which ABeyond holds (false for all before it).
template <typename F>
int FirstRecord(int ACount, F ABeyond)
{
    int lo = 0, hi = ACount;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (ABeyond(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}
}  // namespace

int TProStringGrid::HiddenRowsBelow(int ARealRow) const
{
    const TCollection* list = FHiddenRowList.get();
    return FirstRecord(list->Count(), [&](int i) { return HiddenIdx(list, i) >= ARealRow; });
}

int TProStringGrid::RealRowIndex(int ARow) const
{
    if (ARow < 0)
        return -1;
    // Hidden row i lies before the row shown at ARow when its index less i is at most ARow.
    const TCollection* list = FHiddenRowList.get();
    return ARow + FirstRecord(list->Count(), [&](int i) { return HiddenIdx(list, i) - i > ARow; });
}

int TProStringGrid::DisplayRowIndex(int ARealRow) const
{
    return ARealRow - HiddenRowsBelow(ARealRow);
}

TStringList* TProStringGrid::HiddenRowCells(int ARealRow) const
{
    TGridItem* item = HiddenRowItem(ARealRow);
    return item ? item->Items() : nullptr;
}

// ---------------------------------------------------------------- typed values
namespace {
bool ParseDecimalInteger(const AnsiString& S, int& Value)
{
    const char* first = S.data();
    const char* last = S.data() + S.size();
    if (first != last && *first == '+')
        ++first;
    if (first == last)
        return false;
    auto [p, ec] = std::from_chars(first, last, Value);
    return ec == std::errc() && p == last;
}

// Text cleaned by CleanNumberText: "." is the decimal point.
bool ParseCleanFloat(const AnsiString& S, double& Value)
{
    const char* first = S.data();
    const char* last = S.data() + S.size();
    if (first != last && *first == '+')
        ++first;
    if (first == last)
        return false;
    auto [p, ec] = std::from_chars(first, last, Value);
    return ec == std::errc() && p == last;
}
}

bool TProStringGrid::CellTextNumber(const AnsiString& Text, double& Value)
{
    AnsiString s = CleanNumberText(Text);
    if (s.empty() || s == "-")
        return false;
    if (!ParseCleanFloat(s, Value))
        throw EProGridError("Cell does not contain a float value");
    return true;
}

int TProStringGrid::CellIntegerValue(int ACol, int ARow)
{
    const AnsiString s = Cells(ACol, ARow);
    if (s.empty() || s == "-")
        return 0;
    int v = 0;
    // A whole decimal number; blanks around it do not count.
    if (!ParseDecimalInteger(Trim(s), v))
        throw EProGridError("Cell does not contain integer value");
    return v;
}

void TProStringGrid::SetCellIntegerValue(int ACol, int ARow, int AValue)
{
    SetCells(ACol, ARow, IntToStr(AValue));
}

double TProStringGrid::CellFloatValue(int ACol, int ARow)
{
    double v = 0;
    CellTextNumber(Cells(ACol, ARow), v);
    return v;
}

void TProStringGrid::SetCellFloatValue(int ACol, int ARow, double AValue)
{
    SetCells(ACol, ARow, Format(FP.FloatFormat, {AValue}));
}

double TProStringGrid::AllCellFloatValue(int ACol, int ARealRow)
{
    double v = 0;
    CellTextNumber(GetCellByRealRow(ACol, ARealRow), v);
    return v;
}

void TProStringGrid::StoreFloatEditValue(int ACol, int ARow, double Value)
{
    if (!FShowZero && Value <= 0)
        SetCells(ACol, ARow, AnsiString());
    else
        SetCells(ACol, ARow, FloatToStr(Value));
}

AnsiString TProStringGrid::GetStrippedCell(int ACol, int ARow)
{
    return HtmlStripTags(Cells(ACol, ARow));
}

AnsiString TProStringGrid::GetCellByRealRow(int ACol, int ARealRow)
{
    if (TGridItem* item = HiddenRowItem(ARealRow)) {
        // Outside the stored columns as for a row in view.
        if (ACol < 0 || ACol >= AllColCount())
            throw EProGridError("Invalid column accessed");
        AnsiString s = ACol < item->Items()->Count() ? item->Items()->Strings(ACol) : AnsiString();
        GetDisplText(ACol, ARealRow, s);
        return s;
    }
    return Cells(ACol, DisplayRowIndex(ARealRow));
}

void TProStringGrid::CellToRich(int ACol, int ARow, TRichEdit* ARichEdit)
{
    AnsiString s = Cells(ACol, ARow);
    if (s.empty()) {
        ARichEdit->Clear();
        return;
    }
    TStringStream stream(s);
    ARichEdit->Lines()->LoadFromStream(&stream);
}

void TProStringGrid::HighlightInGrid(bool ADoFixed, bool ADoCase, const AnsiString& AText)
{
    int c0 = ADoFixed ? 0 : TBaseGrid::FixedCols();
    int c1 = ADoFixed ? ColCount() + NumHiddenColumns() - 1
                      : ColCount() - 1 - FP.FixedRightCols + NumHiddenColumns();
    int r0 = ADoFixed ? 0 : TBaseGrid::FixedRows();
    int r1 = ADoFixed ? RowCount() - 1 : RowCount() - 1 - FP.FixedFooters;
    for (int c = c0; c <= c1; ++c)
        for (int r = r0; r <= r1; ++r)
            SetGridCell(c, r, HtmlHighlight(GetGridCell(c, r), AText, "hi", ADoCase));
    Invalidate();
}

void TProStringGrid::UnHighlightInGrid(bool ADoFixed)
{
    int c0 = ADoFixed ? 0 : TBaseGrid::FixedCols();
    int c1 = ADoFixed ? ColCount() + NumHiddenColumns() - 1
                      : ColCount() - 1 - FP.FixedRightCols + NumHiddenColumns();
    int r0 = ADoFixed ? 0 : TBaseGrid::FixedRows();
    int r1 = ADoFixed ? RowCount() - 1 : RowCount() - 1 - FP.FixedFooters;
    for (int c = c0; c <= c1; ++c)
        for (int r = r0; r <= r1; ++r)
            SetGridCell(c, r, HtmlUnhighlight(GetGridCell(c, r), "hi"));
    Invalidate();
}

// ---------------------------------------------------------------- colours
TColor TProStringGrid::GetCellBrushColor(int ACol, int ARow)
{
    return HasCellProperties(ACol, ARow) ? CellProperties(ACol, ARow)->BrushColor() : clNone;
}

void TProStringGrid::SetCellBrushColor(int ACol, int ARow, TColor AColor)
{
    TCellProperties* p = CellProperties(ACol, ARow);
    if (!p)
        return;
    p->SetBrushColor(AColor);
    if (FUpdateCount == 0)
        RepaintCell(DisplayColumn(ACol), ARow);
}

void TProStringGrid::SetCellBrushColorTo(int ACol, int ARow, TColor AColor)
{
    TCellProperties* p = CellProperties(ACol, ARow);
    if (!p)
        return;
    p->SetBrushColorTo(AColor);
    RepaintCell(DisplayColumn(ACol), ARow);
}

void TProStringGrid::SetCellFontColor(int ACol, int ARow, TColor AColor)
{
    TCellProperties* p = CellProperties(ACol, ARow);
    if (!p)
        return;
    p->SetFontColor(AColor);
    RepaintCell(DisplayColumn(ACol), ARow);
}

bool TProStringGrid::IsCellReadOnly(int ACol, int ARow)
{
    // A cell whose object slot holds an object of the program has no record.
    TCellProperties* p = CellProperties(ACol, ARow);
    return p && p->ReadOnly();
}

void TProStringGrid::SetRowCellColors(int ARow, TColor AColor, void (TCellProperties::*ASet)(TColor))
{
    int last = ColCount() + NumHiddenColumns() - 1;
    if (AColor == clNone)
        FreeCellProperties(TBaseGrid::FixedCols(), ARow, last, ARow);
    else
        for (int c = TBaseGrid::FixedCols(); c <= last; ++c)
            if (TCellProperties* p = CellProperties(c, ARow))
                (p->*ASet)(AColor);
    RepaintRow(ARow);
}

void TProStringGrid::SetRowColor(int ARow, TColor AColor)
{
    SetRowCellColors(ARow, AColor, &TCellProperties::SetBrushColor);
}

void TProStringGrid::SetRowColorTo(int ARow, TColor AColor)
{
    SetRowCellColors(ARow, AColor, &TCellProperties::SetBrushColorTo);
}

void TProStringGrid::SetRowFontColor(int ARow, TColor AColor)
{
    SetRowCellColors(ARow, AColor, &TCellProperties::SetFontColor);
}

TControl* TProStringGrid::GetCellControl(int ACol, int ARow)
{
    return HasCellProperties(ACol, ARow) ? CellProperties(ACol, ARow)->Control() : nullptr;
}

// ---------------------------------------------------------------- current cell
AnsiString TProStringGrid::GetCurrentGridCell()
{
    TPoint b = GetBaseCell(RealColIndex(Col()), Row());
    return GetGridCell(b.X, b.Y);
}

AnsiString TProStringGrid::GetCurrentCell()
{
    return Cells(RealColIndex(Col()), Row());
}

void TProStringGrid::SetCurrentCell(const AnsiString& Value)
{
    TPoint b = GetBaseCell(RealColIndex(Col()), Row());
    SetCells(b.X, b.Y, Value);
}

void TProStringGrid::SetCurrentEditText(const AnsiString& Value)
{
    TPoint b = GetBaseCell(RealColIndex(Col()), Row());
    SetEditText(b.X, b.Y, Value);
}

void TProStringGrid::SetRow(int Value)
{
    TBaseGrid::SetRow(Value);
    if (Value != FLastReportedRow && OnRowUpdate) {
        OnRowUpdate(this, FLastReportedRow, Value);
        FLastReportedRow = Value;
    }
    if (FMouseActions->DisjunctRowSelect())
        SelectionToRowSelect(false);
}

void TProStringGrid::MoveToCell(int ACol, int ARow)
{
    FocusCell(ACol, ARow, true);
}

// ---------------------------------------------------------------- selection
void TProStringGrid::EnsureRowFlags(int Count)
{
    if (int(FRowSelectFlags.size()) < Count)
        FRowSelectFlags.resize(std::size_t(Count), 0);
}

void TProStringGrid::EnsureColFlags(int Count)
{
    if (int(FColSelectFlags.size()) < Count)
        FColSelectFlags.resize(std::size_t(Count), 0);
}

int TProStringGrid::RowSelectFlagIndex(int ADisplayRow) const
{
    return FMouseActions->RowSelectPersistent() ? RealRowIndex(ADisplayRow) : ADisplayRow;
}

int TProStringGrid::ShownRowOfFlag(int AFlag) const
{
    return FMouseActions->RowSelectPersistent() ? DisplayRowIndex(AFlag) : AFlag;
}

bool TProStringGrid::GetShownRowSelect(int ADisplayRow)
{
    return FMouseActions->DisjunctRowSelect() ? DisjunctRowFlagged(ADisplayRow) : GetRowSelect(ADisplayRow);
}

bool TProStringGrid::GetRowSelect(int ARow)
{
    if (ARow < 0 || ARow >= RowCount() + NumHiddenRows())
        throw EProGridError("Invalid row accessed");
    if (FMouseActions->DisjunctRowSelect())
        return std::size_t(ARow) < FRowSelectFlags.size() && FRowSelectFlags[std::size_t(ARow)] != 0;
    TGridRect s = Selection();
    return ARow >= s.Top && ARow <= s.Bottom;
}

void TProStringGrid::SetRowSelect(int ARow, bool ASelect)
{
    if (ARow < 0 || ARow >= RowCount() + NumHiddenRows())
        throw EProGridError("Invalid row accessed");
    bool allow = true;
    if (OnRowDisjunctSelect)
        OnRowDisjunctSelect(this, ARow, allow, ASelect);
    if (!allow)
        return;
    EnsureRowFlags(ARow + 1);
    int& flag = FRowSelectFlags[std::size_t(ARow)];
    auto pos = std::find(FRowSelectOrder.begin(), FRowSelectOrder.end(), ARow);
    const int shown = ShownRowOfFlag(ARow);
    if (ASelect) {
        if (!flag)
            RepaintRow(shown);
        flag = 1;
        if (pos == FRowSelectOrder.end())
            FRowSelectOrder.push_back(ARow);
    } else {
        if (flag)
            RepaintRow(shown);
        flag = 0;
        if (pos != FRowSelectOrder.end())
            FRowSelectOrder.erase(pos);
    }
    if (OnRowDisjunctSelected)
        OnRowDisjunctSelected(this, ARow);
}

bool TProStringGrid::GetColSelect(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        throw EProGridError("Invalid column accessed");
    return std::size_t(ACol) < FColSelectFlags.size() && FColSelectFlags[std::size_t(ACol)] != 0;
}

void TProStringGrid::SetColSelect(int ACol, bool ASelect)
{
    if (ACol < 0 || ACol >= ColCount())
        throw EProGridError("Invalid column accessed");
    EnsureColFlags(ACol + 1);
    int& flag = FColSelectFlags[std::size_t(ACol)];
    if ((flag != 0) != ASelect)
        RepaintCol(ACol);
    flag = ASelect ? 1 : 0;
}

bool TProStringGrid::IsSelected(int ACol, int ARow)
{
    if (ACol < TBaseGrid::FixedCols() || ARow < TBaseGrid::FixedRows())
        return false;
    if (FMouseActions->DisjunctRowSelect())
        return DisjunctRowFlagged(ARow);
    if (!FMouseActions->DisjunctColSelect()) {
        TGridRect s = Selection();
        return ACol >= s.Left && ACol <= s.Right && ARow >= s.Top && ARow <= s.Bottom;
    }
    return std::size_t(ACol) < FColSelectFlags.size() && FColSelectFlags[std::size_t(ACol)] != 0;
}

namespace {
// The last of ACount indices from AFirst; a count beyond the integers ends at the largest one.
int LastOfRange(int AFirst, int ACount)
{
    return int(std::clamp<long long>((long long)AFirst + ACount - 1, INT_MIN, INT_MAX));
}
}

void TProStringGrid::SelectRows(int ARow, int ACount)
{
    const int last = LastOfRange(ARow, ACount);
    if (!FMouseActions->DisjunctRowSelect()) {
        SetSelection(TGridRect(TBaseGrid::FixedCols(), ARow, ColCount() - 1, last));
        return;
    }
    for (int r = ARow; r <= last && r < RowCount(); ++r)
        SetShownRowSelect(r, true);
}

void TProStringGrid::SelectCols(int ACol, int ACount)
{
    const int last = LastOfRange(ACol, ACount);
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ACol; c <= last && c < ColCount(); ++c)
            SetColSelect(c, true);
        return;
    }
    SetSelection(TGridRect(ACol, TBaseGrid::FixedRows(), last, RowCount() - 1));
}

void TProStringGrid::SelectRange(int FromCol, int ToCol, int FromRow, int ToRow)
{
    SetRow(ToRow);
    SetCol(ToCol);
    SetSelection(TGridRect(FromCol, FromRow, ToCol, ToRow));
}

void TProStringGrid::ClearRowSelect()
{
    for (std::size_t r = 0; r < FRowSelectFlags.size(); ++r)
        if (FRowSelectFlags[r]) {
            FRowSelectFlags[r] = 0;
            RepaintRow(ShownRowOfFlag(int(r)));
        }
    FRowSelectOrder.clear();
}

void TProStringGrid::ClearColSelect()
{
    for (std::size_t c = 0; c < FColSelectFlags.size(); ++c)
        if (FColSelectFlags[c]) {
            FColSelectFlags[c] = 0;
            RepaintCol(int(c));
        }
}

void TProStringGrid::SelectionToRowSelect(bool AAll)
{
    TGridRect s = Selection();
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r) {
        bool inside = r >= s.Top && r <= s.Bottom;
        if (!AAll && !inside)
            continue;
        if (DisjunctRowFlagged(r) != inside)
            SetShownRowSelect(r, inside);
    }
}

void TProStringGrid::SelectionToColSelect(bool AAll)
{
    TGridRect s = Selection();
    for (int c = TBaseGrid::FixedCols(); c < ColCount(); ++c) {
        bool inside = c >= s.Left && c <= s.Right;
        if (!AAll && !inside)
            continue;
        SetColSelect(c, inside);
    }
}

int TProStringGrid::SelectedRowCount()
{
    if (FMouseActions->DisjunctRowSelect())
        return int(std::count_if(FRowSelectFlags.begin(), FRowSelectFlags.end(), [](int f) { return f != 0; }));
    TGridRect s = Selection();
    return std::abs(s.Bottom - s.Top) + 1;
}

// ---------------------------------------------------------------- modified marks
bool TProStringGrid::GetRowModified(int ARow) const
{
    return ARow >= 0 && ARow < FRowModified->Count() && FRowModified->GetItem(ARow) == 1;
}

void TProStringGrid::SetRowModified(int ARow, bool AValue)
{
    if (ARow < 0)
        return;
    while (FRowModified->Count() <= ARow)
        FRowModified->Add(0);
    FRowModified->SetItem(ARow, AValue ? 1 : 0);
    RepaintCell(0, ARow);
}

void TProStringGrid::ClearRowModified()
{
    FRowModified->Clear();
    Invalidate();
}

// ---------------------------------------------------------------- repainting
void TProStringGrid::RepaintCell(int ACol, int ARow)
{
    if (!HandleAllocated())
        return;
    int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    if (ARow >= fixedRows && (ARow < TopRow() || ARow > TopRow() + VisibleRowCount()))
        return;
    if (ACol >= fixedCols && (ACol < LeftCol() || ACol > LeftCol() + VisibleColCount()))
        return;
    RepaintMergedRegion(RealColIndex(ACol), ARow);
}

void TProStringGrid::RepaintRow(int ARow)
{
    if (HandleAllocated() && ARow >= 0 && ARow < RowCount())
        InvalidateRow(ARow);
}

void TProStringGrid::RepaintCol(int ACol)
{
    if (HandleAllocated() && ACol >= 0 && ACol < ColCount())
        InvalidateCol(ACol);
}

void TProStringGrid::RepaintRect(const TRect& R)
{
    if (!HandleAllocated() || R.Left < 0 || R.Top < 0 || R.Right < 0 || R.Bottom < 0)
        return;
    TRect a = MergedCellRect(R.Left, R.Top), b = MergedCellRect(R.Right, R.Bottom);
    if (!IsRectEmpty(a) && !IsRectEmpty(b)) {
        TRect u;
        UnionRect(u, a, b);
        InvalidateRect(u);
    } else {
        Invalidate();
    }
}

// ---------------------------------------------------------------- update bracket
// Only a shown grid counts a BeginUpdate; the matching EndUpdate lowers the
// count exactly when its BeginUpdate raised it, whether the grid was hidden or
// shown in between. Redraw is switched off while the count is above 0 and back
// on (with a full repaint) when it returns to 0.
void TProStringGrid::BeginUpdate()
{
    const bool counts = Visible();
    FUpdateBrackets.push_back(counts);
    if (counts && FUpdateCount++ == 0 && HandleAllocated())
        SendMessage(Handle(), WM_SETREDRAW, 0, 0);
}

void TProStringGrid::EndUpdate()
{
    if (FUpdateBrackets.empty())
        return;
    const bool counted = FUpdateBrackets.back();
    FUpdateBrackets.pop_back();
    if (!counted || FUpdateCount == 0)
        return;
    if (--FUpdateCount > 0)
        return;
    if (HandleAllocated()) {
        SendMessage(Handle(), WM_SETREDRAW, 1, 0);
        ::InvalidateRect(Handle(), nullptr, false);
        SendMessage(Handle(), WM_NCPAINT, 1, 0);
    }
    PositionCellControls();
}

// ---------------------------------------------------------------- filter
void TProStringGrid::SetFilterActive(bool Value)
{
    // Switching on again applies the filter as it now stands to the rows still shown; the fixed rows
    // to restore are those of the first switch.
    if (!Value && !FP.FilterActive)
        return;
    if (Value && !FP.FilterActive)
        FFilterFixedRows = TBaseGrid::FixedRows();
    FP.FilterActive = Value;
    if (Value) {
        BeginUpdate();
        // A grid filtered down to its header has dropped its fixed rows: the header stays out.
        int first = std::max(TBaseGrid::FixedRows(), FFilterFixedRows), last = RowCount() - 1 - FP.FixedFooters;
        int total = last - first + 1;
        std::vector<int> failing;
        for (int r = first; r <= last; ++r) {
            if (!MatchFilter(r))
                failing.push_back(r);
            if (OnFilterProgress && total > 0)
                OnFilterProgress(this, int(std::lround(double(r - first + 1) * 100.0 / total)));
        }
        // Hidden from the bottom up, so that the rows above keep their indices.
        for (auto it = failing.rbegin(); it != failing.rend(); ++it)
            HideRow(RealRowIndex(*it));
        EndUpdate();
    } else {
        BeginUpdate();
        UnHideRowsAll();
        if (FFilterFixedRows < RowCount())
            TBaseGrid::SetFixedRows(FFilterFixedRows);
        UnHideSelection();
        EndUpdate();
    }
    for (int c = 0; c < ColCount(); ++c)
        CalcFooter(c);
}

AnsiString TProStringGrid::FilterText(const TFilterData* F, int ARow)
{
    int col = F->Column();
    switch (F->Data()) {
    case fcNormal: return GetGridCell(col, ARow);
    case fcStripHTML: return GetStrippedCell(col, ARow);
    case fcCalculated: return CalcFormula(col, ARow, GetGridCell(col, ARow));
    default: return Cells(col, ARow);
    }
}

bool TProStringGrid::MatchFilter(int ARow)
{
    bool result = true;
    for (int i = 0; i < FFilter->Count(); ++i) {
        TFilterData* f = FFilter->Items(i);
        AnsiString s = FilterText(f, ARow);
        if (s.size() >= 2 && s[0] == '|' && s[1] == '\\')
            s = WideToAnsi(DecodeUnicodeCell(s));
        const AnsiString& prefix = f->Prefix();
        if (!prefix.empty() && s.compare(0, prefix.size(), prefix) == 0)
            s.erase(0, prefix.size());
        const AnsiString& suffix = f->Suffix();
        if (!suffix.empty() && s.size() >= suffix.size() &&
            s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0)
            s.erase(s.size() - suffix.size());
        bool match = MatchFilterCondition(f->Condition(), s, f->CaseSensitive());
        switch (f->Operation()) {
        case foSHORT:
            result = match;
            if (!result)
                i = FFilter->Count();
            break;
        case foNONE: result = match; break;
        case foAND: result = result && match; break;
        case foXOR: result = result != match; break;
        case foOR: result = result || match; break;
        }
    }
    if (OnCustomFilter)
        OnCustomFilter(this, ARow, result);
    return result;
}

// ---------------------------------------------------------------- zoom and cell controls
void TProStringGrid::Zoom(int Delta)
{
    if (FZoomLevel + Delta < -10 || FZoomLevel + Delta > 10)
        return;
    FZoomLevel += Delta;
    for (int c = 0; c < ColCount(); ++c)
        if (ColWidths(c) > 0 && ColWidths(c) + Delta > 0)
            SetColWidths(c, ColWidths(c) + Delta);
    for (int r = 0; r < RowCount(); ++r)
        if (RowHeights(r) > 0 && RowHeights(r) + Delta > 0)
            SetRowHeights(r, RowHeights(r) + Delta);
    UpdateVertScrollRange();
    UpdateHorzScrollRange();
}

void TProStringGrid::PositionCellControls()
{
    if (!FCellControls)
        return;
    int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    for (int i = 0; i < FCellControls->Count(); ++i) {
        TControlListItem* item = FCellControls->GetItem(i);
        if (!item->Control)
            continue;
        int col = DisplayColumn(item->X), row = item->Y;
        bool hidden = !ColumnVisible(item->X) || row >= RowCount();
        bool inView = !hidden && (col < fixedCols || (col >= LeftCol() && col <= LeftCol() + VisibleColCount())) &&
                      (row < fixedRows || (row >= TopRow() && row <= TopRow() + VisibleRowCount()));
        if (!inView) {
            item->Control->SetVisible(false);
            continue;
        }
        TRect r = MergedCellRect(col, row);
        item->Control->SetBounds(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
        item->Control->SetVisible(true);
        item->Control->Invalidate();
    }
}

bool TProStringGrid::CellsStored(int ACol, int ARow, std::string_view& AText)
{
    if (OnGetDisplText || OnGetDisplWideText || (FGrouping->ShowGroupCount() && FGroupColumn >= 0))
        return false;
    if (TObject* o = GetGridObject(ACol, ARow); o && !IsBaseCell(ACol, ARow))
        return false;
    AText = CellText(ACol, ARow);
    return true;
}
