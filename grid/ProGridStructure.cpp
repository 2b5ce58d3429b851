// TProStringGrid: the row and column structure over the plain table of
// cells: hidden columns (their cells stay at their stored index), hidden
// rows (taken out of the table into TGridItem records), nodes with their
// expanding and contracting, grouping on a column, moving rows and columns,
// scrolling a cell into view and hiding the selection.
#include <algorithm>
#include <climits>
#include <optional>

#include "grid/ProGrid.h"

namespace {
constexpr int MaxFlaggedColumns = 512;

TGridItem* HiddenItem(TCollection* List, int Index)
{
    return static_cast<TGridItem*>(List->Items(Index));
}

// The node graphic of a display row, nullptr for other rows.
TCellGraphic* NodeGraphicAt(TProStringGrid* Grid, int ADisplayRow)
{
    if (ADisplayRow < 0 || ADisplayRow >= Grid->RowCount())
        return nullptr;
    auto* g = dynamic_cast<TCellGraphic*>(Grid->GetCellGraphicObject(0, ADisplayRow));
    return g && g->CellType == ctNode ? g : nullptr;
}
}

TGridItem::~TGridItem()
{
    // Cells that never went back into the table belong to the record.
    TStringList* items = FItems.get();
    for (int i = 0; i < items->Count(); ++i)
        delete dynamic_cast<TCellProperties*>(items->Objects(i));
}

// ---------------------------------------------------------------- helpers
void TProStringGrid::MoveStoredRow(int AFrom, int ATo, int ACols)
{
    if (AFrom == ATo)
        return;
    for (int c = 0; c < ACols; ++c) {
        SetGridCell(c, ATo, GetGridCell(c, AFrom));
        SetGridObject(c, ATo, GetGridObject(c, AFrom));
    }
    if (ATo < RowCount() && AFrom < RowCount() && RowHeights(ATo) != RowHeights(AFrom))
        SetRowHeights(ATo, RowHeights(AFrom));
    UndoRowsMoved([=](int R) { return R == AFrom ? ATo : R == ATo ? -1 : R; });
}

// Empties rows whose cells have moved elsewhere; nothing is freed.
void TProStringGrid::EmptyStoredRows(int FromRow, int ToRow, int ACols)
{
    for (int r = std::max(FromRow, 0); r <= ToRow && r < StoredRowCount(); ++r)
        for (int c = 0; c < std::min(ACols, StoredColCount(r)); ++c)
            if (GetGridObject(c, r) || !CellText(c, r).empty())
                ResetCell(c, r);
}

// The record's cells and height go back into a row; the record keeps nothing.
void TProStringGrid::FillRowFromItem(int ARow, TGridItem* AItem, int ACols)
{
    TStringList* items = AItem->Items();
    for (int c = 0; c < ACols; ++c) {
        if (c < items->Count()) {
            SetGridCell(c, ARow, items->Strings(c));
            SetGridObject(c, ARow, items->Objects(c));
            items->SetObjects(c, nullptr);
        } else {
            ResetCell(c, ARow);
        }
    }
    if (ARow < RowCount() && AItem->Height > 0)
        SetRowHeights(ARow, AItem->Height);
    UndoRowsMoved([=](int R) { return R == ARow ? -1 : R; });
}

void TProStringGrid::RecalcFooters()
{
    for (int c = 0; c < ColCount(); ++c)
        CalcFooter(c);
}

// ---------------------------------------------------------------- columns
bool TProStringGrid::IsHiddenColumn(int ACol) const
{
    return ACol >= 0 && ACol < MaxFlaggedColumns && !ColumnVisible(ACol);
}

bool TProStringGrid::IsIgnoredColumn(int ACol) const
{
    return FIgnoredColumns->HasValue(ACol);
}

void TProStringGrid::HideColumns(int FromCol, int ToCol)
{
    EndCellEdit();
    for (int c = std::max(FromCol, 0); c <= ToCol && c < MaxFlaggedColumns; ++c) {
        if (!ColumnVisible(c) || c >= AllColCount() || ColCount() < 2)
            continue;
        int d = DisplayColumn(c);
        if (std::size_t(c) >= FHiddenColWidths.size())
            FHiddenColWidths.resize(std::size_t(c) + 1, DefaultColWidth());
        FHiddenColWidths[std::size_t(c)] = ColWidths(d);
        for (int i = d; i < ColCount() - 1; ++i)
            SetColWidths(i, ColWidths(i + 1));
        SetColumnVisibleFlag(c, false);
        SetColCount(ColCount() - 1);
    }
    Invalidate();
}

void TProStringGrid::UnHideColumns(int FromCol, int ToCol)
{
    EndCellEdit();
    for (int c = std::max(FromCol, 0); c <= ToCol && c < MaxFlaggedColumns; ++c) {
        if (!IsHiddenColumn(c))
            continue;
        SetColumnVisibleFlag(c, true);
        SetColCount(ColCount() + 1);
        int d = DisplayColumn(c);
        for (int i = ColCount() - 1; i > d; --i)
            SetColWidths(i, ColWidths(i - 1));
        int width = std::size_t(c) < FHiddenColWidths.size() ? FHiddenColWidths[std::size_t(c)] : DefaultColWidth();
        SetColWidths(d, width);
    }
    Invalidate();
}

void TProStringGrid::UnHideColumnsAll()
{
    UnHideColumns(0, MaxFlaggedColumns - 1);
}

// Cell controls follow a moved column or row: moving left (up) the ones
// between shift one right (down), moving right (down) one left (up).
namespace {
int FollowMove(int Index, int FromIndex, int ToIndex)
{
    if (Index == FromIndex)
        return ToIndex;
    if (FromIndex > ToIndex && Index >= ToIndex && Index < FromIndex)
        return Index + 1;
    if (FromIndex < ToIndex && Index > FromIndex && Index <= ToIndex)
        return Index - 1;
    return Index;
}
}

void TProStringGrid::MoveColumn(int FromIndex, int ToIndex)
{
    // A move from or to a column the grid does not have is ignored.
    if (std::min(FromIndex, ToIndex) < 0 || std::max(FromIndex, ToIndex) >= ColCount())
        return;
    if (FSortIndexes->Count() == 0)
        ResetColumnOrder();
    // Cell controls keep stored columns: they follow the stored columns the move takes.
    const int from = RealColIndex(FromIndex), to = RealColIndex(ToIndex);
    TBaseGrid::MoveColumn(FromIndex, ToIndex);
    for (int i = 0; i < FCellControls->Count(); ++i) {
        TControlListItem* item = FCellControls->GetItem(i);
        item->X = FollowMove(item->X, from, to);
    }
    PositionCellControls();
}

// A moved column: its stored column moves (with hidden columns, from the one shown at FromIndex to
// where the one shown at ToIndex is kept), and with it everything kept by stored column.
void TProStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    const bool hidden = NumHiddenColumns() > 0;
    const int from = hidden ? RealColIndex(FromIndex) : FromIndex;
    const int to = hidden ? RealColIndex(ToIndex) : ToIndex;
    if (!FP.EnhRowColMove) {
        // The widths stay where they were: the standard move took them along.
        std::vector<int> widths = ShownColWidths();
        const int w = widths[std::size_t(ToIndex)];
        widths.erase(widths.begin() + ToIndex);
        widths.insert(widths.begin() + FromIndex, w);
        SetShownColWidths(widths);
    }
    auto moveEntry = [from, to](auto& List, auto Fill) {
        if (List.size() <= std::size_t(std::max(from, to)))
            List.resize(std::size_t(std::max(from, to)) + 1, Fill);
        auto entry = List[std::size_t(from)];
        List.erase(List.begin() + from);
        List.insert(List.begin() + to, entry);
    };
    if (hidden) {
        moveEntry(FColumnVisible, char(1));
        if (!FHiddenColWidths.empty())
            moveEntry(FHiddenColWidths, DefaultColWidth());
    }
    if (FColumnOrder.Count() <= std::max(from, to)) {
        FColumnOrder.Clear();
        for (int c = 0; c < AllColCount(); ++c)
            FColumnOrder.Add(c);
    }
    const int order = FColumnOrder.GetItem(from);
    FColumnOrder.Delete(from);
    FColumnOrder.Insert(to, order);
    // The cells, and OnColumnMoved.
    TBaseGrid::ColumnMoved(from, to);
    for (int i = 0; i < FHiddenRowList->Count(); ++i) {
        TStringList* cells = HiddenItem(FHiddenRowList.get(), i)->Items();
        while (cells->Count() <= std::max(from, to))
            cells->Add(AnsiString());
        cells->Move(from, to);
    }
    if (FSortSettings->Column() >= 0)
        FSortSettings->SetColumn(FollowMove(FSortSettings->Column(), from, to));
    if (FSortSettings->IndexShow())
        for (int i = 0; i < FSortIndexes->Count(); ++i) {
            const unsigned entry = unsigned(FSortIndexes->GetItem(i));
            const int column = FollowMove(int(entry & 0xFFFF), from, to);
            FSortIndexes->SetItem(i, int((entry & 0xFFFF0000u) | unsigned(column)));
        }
    if (FFloatingFooter->Visible())
        FFooterPanel->Invalidate();
}

bool TProStringGrid::FooterRowMove(int FromIndex, int ToIndex)
{
    const int last = RowCount() - 1;
    return FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow &&
           (ToIndex == last || FromIndex == last);
}

void TProStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    if (!FP.EnhRowColMove) {
        // The heights stay where they were: the standard move took them along.
        std::vector<int> heights;
        for (int r = 0; r < RowCount(); ++r)
            heights.push_back(RowHeights(r));
        const int h = heights[std::size_t(ToIndex)];
        heights.erase(heights.begin() + ToIndex);
        heights.insert(heights.begin() + FromIndex, h);
        for (int r = std::min(FromIndex, ToIndex); r <= std::max(FromIndex, ToIndex); ++r)
            SetRowHeights(r, heights[std::size_t(r)]);
    }
    TBaseGrid::RowMoved(FromIndex, ToIndex);
}

void TProStringGrid::MoveRow(int FromIndex, int ToIndex)
{
    if (std::min(FromIndex, ToIndex) < 0 || std::max(FromIndex, ToIndex) >= RowCount())
        return;
    // The floating footer's row stays the last row.
    if (FooterRowMove(FromIndex, ToIndex))
        return;
    TBaseGrid::MoveRow(FromIndex, ToIndex);
    for (int i = 0; i < FCellControls->Count(); ++i) {
        TControlListItem* item = FCellControls->GetItem(i);
        item->Y = FollowMove(item->Y, FromIndex, ToIndex);
    }
    PositionCellControls();
}

// ---------------------------------------------------------------- hidden rows
TGridItem* TProStringGrid::HiddenRowItem(int ARealRow) const
{
    const int i = HiddenRowsBelow(ARealRow);
    TGridItem* item = i < NumHiddenRows() ? HiddenItem(FHiddenRowList.get(), i) : nullptr;
    return item && item->Idx == ARealRow ? item : nullptr;
}

void TProStringGrid::HideRow(int ARow)
{
    HideRows(ARow, ARow);
}

void TProStringGrid::AddHiddenRecords(const std::vector<int>& ARows, const std::vector<int>& AReal)
{
    const int cols = AllColCount();
    std::vector<TGridItem*> items;
    for (std::size_t k = 0; k < ARows.size(); ++k) {
        auto* item = static_cast<TGridItem*>(FHiddenRowList->Add());
        item->Idx = AReal[k];
        item->Height = RowHeights(ARows[k]);
        for (int c = 0; c < cols; ++c)
            item->Items()->AddObject(GetGridCell(c, ARows[k]), GetGridObject(c, ARows[k]));
        items.push_back(item);
    }
    // The controls of the rows go into their records, hidden, and come back with the rows.
    for (int i = FCellControls->Count() - 1; i >= 0; --i) {
        TControlListItem* control = FCellControls->GetItem(i);
        const auto at = std::lower_bound(ARows.begin(), ARows.end(), control->Y);
        if (at == ARows.end() || *at != control->Y)
            continue;
        TGridItem* item = items[std::size_t(at - ARows.begin())];
        item->Controls.insert(item->Controls.begin(), {control->X, control->Control});
        if (control->Control)
            control->Control->SetVisible(false);
        FCellControls->Delete(i);
    }
    FHiddenRowList->SortItems([](const TCollectionItem* A, const TCollectionItem* B) {
        return static_cast<const TGridItem*>(A)->Idx < static_cast<const TGridItem*>(B)->Idx;
    });
}

// Each row of the range that is shown goes into a record of its own stored
// index, also when the range holds rows hidden already.
void TProStringGrid::HideRows(int FromRow, int ToRow)
{
    int lastReal = RowCount() + NumHiddenRows() - 1;
    FromRow = std::max(FromRow, 0);
    ToRow = std::min(ToRow, lastReal);
    // The shown rows of the range, as shown and as stored, in one walk along the records.
    std::vector<int> shown, real;
    for (int r = FromRow, i = HiddenRowsBelow(FromRow); r <= ToRow; ++r) {
        if (i < NumHiddenRows() && HiddenItem(FHiddenRowList.get(), i)->Idx == r) {
            ++i;
            continue;
        }
        shown.push_back(r - i);
        real.push_back(r);
    }
    if (shown.empty())
        return;

    BeginUpdate();
    AddHiddenRecords(shown, real);
    // The rows go a run of adjacent display rows at a time, from the bottom up, so that the
    // display rows above stay where they are.
    std::vector<TRowRun> runs;
    for (int d : shown)
        if (!runs.empty() && runs.back().Row + runs.back().Count == d)
            ++runs.back().Count;
        else
            runs.push_back({d, 1});
    RemoveRowRuns(runs, true, false);
    EndUpdate();
    PositionCellControls();
}

void TProStringGrid::HideRowList(const std::vector<int>& AList)
{
    if (AList.empty())
        return;
    int cols = AllColCount();
    int oldRows = RowCount();
    std::vector<char> listed(std::size_t(oldRows), 0);
    for (int d : AList)
        if (d >= 0 && d < oldRows)
            listed[std::size_t(d)] = 1;
    std::vector<int> rows;
    for (int d = 0; d < oldRows; ++d)
        if (listed[std::size_t(d)])
            rows.push_back(d);

    BeginUpdate();
    AddHiddenRecords(rows, RealRowIndexes(rows));
    int w = 0;
    for (int d = 0; d < oldRows; ++d)
        if (!listed[std::size_t(d)])
            MoveStoredRow(d, w++, cols);
    EmptyStoredRows(w, oldRows - 1, cols);
    for (int i = 0; i < FCellControls->Count(); ++i) {
        TControlListItem* item = FCellControls->GetItem(i);
        item->Y -= int(std::lower_bound(rows.begin(), rows.end(), item->Y) - rows.begin());
    }
    SetRowCountPlain(std::max(w, 1));
    EndUpdate();
}

void TProStringGrid::RestoreRowControls(TGridItem* AItem, int ARow)
{
    for (const auto& [col, control] : AItem->Controls)
        FCellControls->Add(col, ARow, control);
    AItem->Controls.clear();
}

void TProStringGrid::UnHideRows(int FromRow, int ToRow)
{
    if (!IsHiddenRow(FromRow))
        return;
    EndCellEdit();
    const int cols = AllColCount(), hidden = NumHiddenRows();
    const auto idx = [&](int i) { return HiddenItem(FHiddenRowList.get(), i)->Idx; };
    // The records of the range, from FromRow's on, in runs of adjacent stored indices. One
    // run after the other comes back where the rows shown before it end; the records before
    // the range stay hidden, so a run's display row is its stored index less their number.
    struct Run {
        int Item, Count, Display;
    };
    const int first = HiddenRowsBelow(FromRow);
    std::vector<Run> runs;
    int end = first;
    for (; end < hidden && idx(end) <= ToRow; ++end)
        if (!runs.empty() && idx(end) == idx(end - 1) + 1)
            ++runs.back().Count;
        else
            runs.push_back({end, 1, idx(end) - first});

    BeginUpdate();
    // The rows open before the rows shown then, all at once.
    std::vector<int> before;
    int opened = 0;
    for (const Run& run : runs) {
        before.insert(before.end(), std::size_t(run.Count), run.Display - opened);
        opened += run.Count;
    }
    OpenRowsBefore(before, false);
    for (const Run& run : runs)
        for (int k = 0; k < run.Count; ++k)
            FillRowFromItem(run.Display + k, HiddenItem(FHiddenRowList.get(), run.Item + k), cols);
    // A cell control at or after the row shown where a run comes back moves down by the run,
    // run after run: the rows a control moves by are those of the runs up to the first whose
    // row lies beyond it (AfterRun: the display row of the stored row after the run, before any
    // run comes back, kept rising).
    if (FCellControls->Count() > 0) {
        std::vector<int> afterRun, opening;
        int sum = 0;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            int shownAt = idx(runs[k].Item) + runs[k].Count;
            // Only the last run can end at ToRow with hidden rows right after it.
            if (k + 1 == runs.size())
                for (int i = end; i < hidden && idx(i) == shownAt; ++i)
                    ++shownAt;
            afterRun.push_back(
                std::max(afterRun.empty() ? INT_MIN : afterRun.back(), shownAt - HiddenRowsBelow(shownAt)));
            sum += runs[k].Count;
            opening.push_back(sum);
        }
        for (int i = 0; i < FCellControls->Count(); ++i) {
            TControlListItem* item = FCellControls->GetItem(i);
            const auto runsBefore = std::upper_bound(afterRun.begin(), afterRun.end(), item->Y) - afterRun.begin();
            if (runsBefore > 0)
                item->Y += opening[std::size_t(runsBefore) - 1];
        }
    }
    for (const Run& run : runs)
        for (int k = 0; k < run.Count; ++k)
            RestoreRowControls(HiddenItem(FHiddenRowList.get(), run.Item + k), run.Display + k);
    FHiddenRowList->DeleteItems(first, end - first);
    EndUpdate();
    if (!(ComponentState() & csDestroying))
        for (const Run& run : runs)
            CellsChanged(TRect(0, run.Display, ColCount() - 1, run.Display + run.Count));
    int ctl = FCellControls->FindControl(1, runs.front().Display);
    if (ctl >= 0 && FCellControls->GetItem(ctl)->Control)
        FCellControls->GetItem(ctl)->Control->SetVisible(true);
    PositionCellControls();
}

void TProStringGrid::UnHideRowsAll()
{
    int n = NumHiddenRows();
    if (n == 0)
        return;
    int cols = AllColCount();
    int oldRows = RowCount();
    int newRows = oldRows + n;
    bool footer = FFloatingFooter->Visible() && oldRows > 0;
    int shown = oldRows - (footer ? 1 : 0);
    int merged = newRows - (footer ? 1 : 0);

    // Where each final row comes from: a shown row (>= 0) or a record (-1 - index).
    std::vector<int> source(static_cast<std::size_t>(merged));
    int p = 0, s = 0;
    for (int k = 0; k < merged; ++k) {
        bool takeItem = p < n && (s >= shown || HiddenItem(FHiddenRowList.get(), p)->Idx <= k);
        source[std::size_t(k)] = takeItem ? -1 - p++ : s++;
    }

    // The controls of the shown rows move with them; those of the records come back on theirs.
    if (FCellControls->Count() > 0) {
        std::vector<int> dest(static_cast<std::size_t>(shown));
        for (int k = 0; k < merged; ++k)
            if (source[std::size_t(k)] >= 0)
                dest[std::size_t(source[std::size_t(k)])] = k;
        for (int i = 0; i < FCellControls->Count(); ++i) {
            TControlListItem* item = FCellControls->GetItem(i);
            item->Y = item->Y >= shown ? item->Y + n : item->Y >= 0 ? dest[std::size_t(item->Y)] : item->Y;
        }
    }
    for (int k = 0; k < merged; ++k)
        if (source[std::size_t(k)] < 0)
            RestoreRowControls(HiddenItem(FHiddenRowList.get(), -1 - source[std::size_t(k)]), k);

    BeginUpdate();
    TBaseGrid::SetRowCount(newRows);
    if (footer)
        MoveStoredRow(oldRows - 1, newRows - 1, cols);
    // From the bottom up every row moves down or stays, so nothing is
    // overwritten before it has moved.
    for (int k = merged - 1; k >= 0; --k) {
        int src = source[std::size_t(k)];
        if (src >= 0)
            MoveStoredRow(src, k, cols);
        else
            FillRowFromItem(k, HiddenItem(FHiddenRowList.get(), -1 - src), cols);
    }
    FHiddenRowList->Clear();
    SetRowCountPlain(newRows);
    EndUpdate();
    PositionCellControls();
}

void TProStringGrid::InsertRowKeepHidden(int ARealRow)
{
    InsertShownRows(DisplayRowIndex(ARealRow), 1, true, ARealRow);
}

void TProStringGrid::RemoveRowKeepMax(int ARow)
{
    RemoveRows(ARow, 1);
    if (FHighestRowCount > 0)
        --FHighestRowCount;
}

// ---------------------------------------------------------------- nodes
namespace {
// Whether a new record of column 0 gets the same formatting on every row:
// the column is fixed (the fixed font and colour, no bands, no selection),
// the active-cell colours are off and no handler would be asked for it.
bool NewNodeRecordsAlike(TProStringGrid* Grid)
{
    return Grid->DisplayColumn(0) < Grid->TBaseGrid::FixedCols() && !Grid->ActiveCellShow() &&
           !Grid->AutoNumAlign() && !Grid->OnGetCellColor && !Grid->OnGetWordWrap && !Grid->OnGetAlignment;
}
}

void TProStringGrid::AddNode(int ARow, int ASpan)
{
    int d = DisplayRowIndex(ARow);
    if (d < 0 || d >= RowCount())
        return;
    TCellGraphic* g = CreateCellGraphic(0, d);
    if (!g)
        return;
    g->CellType = ctNode;
    g->CellIndex = ASpan;
    g->CellBoolean = false;
    g->CellAngle = ARow;
    g->CellErrFrom = 0;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaCenter;
    g->CellVar = -1;
    // Where a new record of column 0 comes out the same on every row, the
    // first one made through the hooks serves as the model of the others.
    bool alike = NewNodeRecordsAlike(this);
    const TCellProperties* model = nullptr;
    for (int r = d; r < d + ASpan && r < RowCount(); ++r) {
        PrefetchCell(0, r + 8);
        TCellProperties* p = nullptr;
        if (model) {
            p = CellPropertiesLike(0, r, *model);
        } else {
            bool fresh = alike && !HasCellProperties(0, r);
            p = CellProperties(0, r);
            if (fresh)
                model = p;
        }
        if (p)
            p->SetNodeLevel(p->NodeLevel() + 1);
    }
    if (FNodeCount == 0)
        RepaintCol(0);
    ++FNodeCount;
    if (Col() == 0 && ColCount() > 1)
        SetCol(1);
}

void TProStringGrid::AddSummaryRow(int ARow)
{
    int d = DisplayRowIndex(ARow);
    if (d < 0 || d >= RowCount())
        return;
    if (TCellGraphic* g = CreateCellGraphic(0, d))
        g->CellType = ctSummary;
}

void TProStringGrid::RemoveNode(int ARow)
{
    int d = DisplayRowIndex(ARow);
    if (!NodeGraphicAt(this, d))
        return;
    ExpandNode(ARow);
    d = DisplayRowIndex(ARow);
    TCellGraphic* g = NodeGraphicAt(this, d);
    int span = g->CellIndex;
    for (int r = d; r < d + span && r < RowCount(); ++r)
        if (HasCellProperties(0, r)) {
            TCellProperties* p = CellProperties(0, r);
            p->SetNodeLevel(std::max(0, p->NodeLevel() - 1));
        }
    RemoveCellGraphic(0, d);
    FNodeCount = std::max(0, FNodeCount - 1);
}

void TProStringGrid::RemoveAllNodes()
{
    int r = 0;
    while (r < RowCount()) {
        if (!NodeGraphicAt(this, r)) {
            ++r;
            continue;
        }
        ExpandNode(RealRowIndex(r));
        int span = NodeGraphicAt(this, r)->CellIndex;
        for (int k = r; k < r + span && k < RowCount(); ++k)
            if (HasCellProperties(0, k))
                CellProperties(0, k)->SetNodeLevel(0);
        RemoveCellGraphic(0, r);
        FNodeCount = std::max(0, FNodeCount - 1);
        // Nested nodes inside the span go as well.
        ++r;
    }
}

bool TProStringGrid::IsNodeRow(int ARow)
{
    return ARow >= 0 && GetCellType(0, ARow) == ctNode;
}

bool TProStringGrid::IsSummaryRow(int ARow)
{
    return ARow >= 0 && GetCellType(0, ARow) == ctSummary;
}

// The node graphic of a stored row, also of one hidden inside a contracted node.
static TCellGraphic* NodeGraphicOfReal(TProStringGrid* Grid, int ARow)
{
    if (ARow < 0)
        return nullptr;
    TGridItem* item = Grid->HiddenRowItem(ARow);
    if (!item)
        return NodeGraphicAt(Grid, Grid->DisplayRowIndex(ARow));
    if (item->Items()->Count() == 0)
        return nullptr;
    auto* p = dynamic_cast<TCellProperties*>(item->Items()->Objects(0));
    auto* g = p ? dynamic_cast<TCellGraphic*>(p->GraphicObject()) : nullptr;
    return g && g->CellType == ctNode ? g : nullptr;
}

bool TProStringGrid::GetNodeState(int ARow)
{
    TCellGraphic* g = NodeGraphicOfReal(this, ARow);
    return g && g->CellBoolean;
}

int TProStringGrid::GetNodeLevel(int ARow)
{
    if (!NodeGraphicOfReal(this, ARow))
        return -1;
    if (TGridItem* item = HiddenRowItem(ARow))
        return static_cast<TCellProperties*>(item->Items()->Objects(0))->NodeLevel();
    return CellProperties(0, DisplayRowIndex(ARow))->NodeLevel();
}

int TProStringGrid::GetNodeSpan(int ARow)
{
    TCellGraphic* g = NodeGraphicOfReal(this, ARow);
    return g ? g->CellIndex : -1;
}

int TProStringGrid::GetParentNodeRow(int ARow)
{
    if (!HasNodes())
        return -1;
    for (int r = std::min(ARow, RowCount() - 1); r >= 0; --r) {
        TCellGraphic* g = NodeGraphicAt(this, r);
        if (!g)
            continue;
        int span = g->CellIndex;
        if (span == 0 || r == ARow)
            return r;
        // Rows hidden inside the node (by nested contracted nodes) are not shown.
        int real = RealRowIndex(r);
        int hiddenInside = 0;
        for (int i = 0; i < FHiddenRowList->Count(); ++i) {
            int idx = HiddenItem(FHiddenRowList.get(), i)->Idx;
            if (idx > real && idx < real + span)
                ++hiddenInside;
        }
        if (r + span - hiddenInside > ARow)
            return r;
    }
    return -1;
}

int TProStringGrid::GetNodeLineKind(int ARow)
{
    if (IsNodeRow(ARow))
        return 0;
    if (ARow >= RowCount() - FixedFooters() - 1 || !HasCellProperties(0, ARow + 1))
        return 1;
    int level = HasCellProperties(0, ARow) ? CellProperties(0, ARow)->NodeLevel() : 0;
    return CellProperties(0, ARow + 1)->NodeLevel() < level ? 1 : 2;
}

bool TProStringGrid::IsNodeGlyphHit(int ARow, int X)
{
    int width = 4;
    switch (FCellNode->NodeType()) {
    case cnFlat: width = 4; break;
    case cn3D: width = 6; break;
    case cnGlyph: width = FCellNode->ExpandGlyph()->Empty() ? 0 : FCellNode->ExpandGlyph()->Width() / 2; break;
    case cnLeaf: width = 8; break;
    case cnXP: width = 4; break;
    }
    int level = HasCellProperties(0, ARow) ? CellProperties(0, ARow)->NodeLevel() : 0;
    int indent = FCellNode->NodeIndent();
    return (level - 1) * indent < X && X < width + indent * level;
}

// The display row where a node's rows end (exclusive): its span, or for
// span 0 the next node row (the end of the data rows when there is none).
int TProStringGrid::NodeEnd(int ADisplayRow)
{
    TCellGraphic* g = NodeGraphicAt(this, ADisplayRow);
    int lastData = RowCount() - 1 - FixedFooters();
    if (g && g->CellIndex > 0)
        return ADisplayRow + g->CellIndex;
    int r = ADisplayRow + 1;
    while (r <= lastData && !NodeGraphicAt(this, r))
        ++r;
    return r;
}

void TProStringGrid::ExpandNode(int ARow)
{
    int d = DisplayRowIndex(ARow);
    if (!NodeGraphicAt(this, d))
        return;
    // The nodes around the node stay open: closing them would hide it.
    if (FCellNode->ExpandOne())
        for (int r = RowCount() - 1; r >= 0; --r) {
            TCellGraphic* other = NodeGraphicAt(this, r);
            if (other && r != d && !other->CellBoolean &&
                !(r < d && other->CellIndex > 0 && ARow < RealRowIndex(r) + other->CellIndex))
                ContractNode(RealRowIndex(r));
        }
    d = DisplayRowIndex(ARow);
    TCellGraphic* g = NodeGraphicAt(this, d);
    if (!g || !g->CellBoolean)
        return;
    g->CellBoolean = false;

    bool disjunct = FMouseActions->DisjunctRowSelect();
    TGridOptions options = Options();
    int row = Row(), top = TopRow();
    FMouseActions->SetDisjunctRowSelect(false);
    SetOptions(options & ~TGridOptions(goRowSelect));
    bool bracket = FCellControls->Count() == 0;
    if (bracket)
        BeginUpdate();
    // The rows hidden between the node row and the next shown row.
    int upper = d + 1 < RowCount() ? RealRowIndex(d + 1) - 1 : RowCount() + NumHiddenRows() - 1;
    if (upper > ARow)
        UnHideRows(ARow + 1, upper);
    SetOptions(options);
    FMouseActions->SetDisjunctRowSelect(disjunct);
    if (row < RowCount())
        TBaseGrid::SetRow(row);
    if (top < RowCount())
        SetTopRow(top);
    if (bracket)
        EndUpdate();
    RecalcFooters();
}

void TProStringGrid::ContractNode(int ARow)
{
    EndCellEdit();
    int d = DisplayRowIndex(ARow);
    TCellGraphic* g = NodeGraphicAt(this, d);
    if (!g || g->CellBoolean)
        return;
    g->CellBoolean = true;
    int end = NodeEnd(d);
    if (end <= d + 1) {
        RecalcFooters();
        return;
    }
    int realLast = end < RowCount() ? RealRowIndex(end) - 1 : RowCount() + NumHiddenRows() - 1;
    if (g->CellIndex > 0)
        realLast = std::min(realLast, ARow + g->CellIndex - 1);
    // A contracted node inside keeps its rows hidden; it is shown expanded
    // when this node opens again.
    // Only the shown rows up to the node's last stored row: with a nested
    // node contracted, display rows past d + span belong to the next nodes.
    for (int r = d + 1; r < end && r < RowCount() && RealRowIndex(r) <= realLast; ++r)
        if (TCellGraphic* inner = NodeGraphicAt(this, r); inner && inner->CellBoolean) {
            inner->CellBoolean = false;
            int ctl = FCellControls->FindControl(1, r + 1);
            if (ctl >= 0 && FCellControls->GetItem(ctl)->Control)
                FCellControls->GetItem(ctl)->Control->SetVisible(false);
        }
    HideRows(ARow + 1, realLast);
    RecalcFooters();
}

void TProStringGrid::MarkNodes(bool AContracted)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (TCellGraphic* g = NodeGraphicAt(this, r))
            g->CellBoolean = AContracted;
}

void TProStringGrid::ExpandAll()
{
    if (NumHiddenRows() > 0)
        UnHideRowsAll();
    MarkNodes(false);
    RecalcFooters();
}

void TProStringGrid::ContractAll()
{
    BeginUpdate();
    ExpandAll();
    std::vector<char> hide(std::size_t(RowCount()), 0);
    for (int r = FixedRows(); r < RowCount(); ++r) {
        TCellGraphic* g = NodeGraphicAt(this, r);
        if (!g)
            continue;
        g->CellBoolean = true;
        int end = std::min(NodeEnd(r), RowCount());
        for (int k = r + 1; k < end; ++k)
            hide[std::size_t(k)] = 1;
    }
    std::vector<int> list;
    for (int r = 0; r < int(hide.size()); ++r)
        if (hide[std::size_t(r)])
            list.push_back(r);
    HideRowList(list);
    PositionCellControls();
    RecalcFooters();
    EndUpdate();
}

void TProStringGrid::InsertChildRow(int ARow, bool AAfter)
{
    int at = AAfter ? ARow + 1 : ARow;
    // The nodes around the row grow by one; inserting at a node row moves
    // the node down and the new row stays outside it.
    std::vector<TCellGraphic*> enclosing;
    for (int r = 0; r < RowCount(); ++r) {
        TCellGraphic* g = NodeGraphicAt(this, r);
        if (!g || g->CellIndex <= 0)
            continue;
        int real = RealRowIndex(r);
        if (real <= ARow && ARow < real + g->CellIndex && !(real == ARow && !AAfter))
            enclosing.push_back(g);
    }
    InsertRowKeepHidden(at);
    for (TCellGraphic* g : enclosing) {
        ++g->CellIndex;
        ++g->CellErrFrom;
    }
    if (!enclosing.empty())
        if (TCellProperties* p = CellProperties(0, DisplayRowIndex(at)))
            p->SetNodeLevel(int(enclosing.size()));
}

void TProStringGrid::RemoveChildRow(int ARow)
{
    for (int r = 0; r < RowCount(); ++r) {
        TCellGraphic* g = NodeGraphicAt(this, r);
        if (!g || g->CellIndex <= 0)
            continue;
        int real = RealRowIndex(r);
        if (real < ARow && ARow < real + g->CellIndex) {
            --g->CellIndex;
            --g->CellErrFrom;
        }
    }
    if (TGridItem* item = HiddenRowItem(ARow)) {
        FHiddenRowList->Delete(item->Index());
        for (int i = 0; i < FHiddenRowList->Count(); ++i)
            if (HiddenItem(FHiddenRowList.get(), i)->Idx > ARow)
                --HiddenItem(FHiddenRowList.get(), i)->Idx;
        return;
    }
    RemoveRows(DisplayRowIndex(ARow), 1);
}

// ---------------------------------------------------------------- grouping
namespace {
void ColourGroupRow(TProStringGrid* Grid, int ARow, int AValueCol, bool AMerge, TColor AColor, TColor AColorTo,
                    TColor ATextColor)
{
    int from = 0, to = Grid->AllColCount() - 1;
    if (AMerge) {
        int span = Grid->ColCount() - Grid->DisplayColumn(AValueCol);
        if (span > 1)
            Grid->MergeCells(AValueCol, ARow, span, 1);
        from = to = AValueCol;
    }
    for (int c = from; c <= to; ++c) {
        if (AColor == clNone && AColorTo == clNone && ATextColor == clNone)
            break;
        TCellProperties* p = Grid->CellProperties(c, ARow);
        if (!p)
            continue;
        if (AColor != clNone)
            p->SetBrushColor(AColor);
        if (AColorTo != clNone)
            p->SetBrushColorTo(AColorTo);
        if (ATextColor != clNone)
            p->SetFontColor(ATextColor);
    }
}

// Every node spanning rows of Rows (ascending, none hidden) below its own row grows by Delta for
// each: rows added to a node or taken from it, which its count of added rows follows (the
// group's count leaves them out). Around, when given, gets +1 after each node's row and -1
// after its last: summed from the top, the nodes around each row.
void GrowNodesAround(TProStringGrid* Grid, const std::vector<int>& Rows, int Delta, std::vector<int>* Around = nullptr)
{
    if (Around)
        Around->assign(std::size_t(Grid->RowCount()) + 1, 0);
    for (int r = 0; r < Grid->RowCount(); ++r) {
        TCellGraphic* g = NodeGraphicAt(Grid, r);
        if (!g || g->CellIndex <= 0)
            continue;
        const int to = int(std::min<long long>(Grid->RowCount(), (long long)r + g->CellIndex));
        const int inside =
            int(std::lower_bound(Rows.begin(), Rows.end(), to) - std::upper_bound(Rows.begin(), Rows.end(), r));
        g->CellIndex += Delta * inside;
        g->CellErrFrom += Delta * inside;
        if (Around) {
            ++(*Around)[std::size_t(r) + 1];
            --(*Around)[std::size_t(to)];
        }
    }
}
}

void TProStringGrid::GroupByColumn(int ACol)
{
    // Column 0 carries the node glyphs and cannot be grouped away.
    if (ACol < FixedCols() || ACol < 1)
        return;
    if (RowCount() - FixedFooters() <= FixedRows())
        return;
    // The column is one of the table as it is without the grouping.
    if (FGroupColumn >= 0)
        UnGroup();
    if (ACol >= AllColCount())
        return;
    BeginUpdate();
    if (NumHiddenRows() > 0)
        ExpandAll();
    FGroupColumn = ACol;
    FGroupColWidth = ColumnVisible(ACol) ? ColWidths(DisplayColumn(ACol)) : DefaultColWidth();
    FGroupHeader = FixedRows() > 0 ? GetGridCell(ACol, 0) : AnsiString();
    FGroupFooter = FixedFooters() > 0 ? GetGridCell(ACol, RowCount() - 1) : AnsiString();
    int valueCol = ACol == 1 ? 2 : 1;
    if (FSortSettings->AutoSortForGrouping()) {
        FSortSettings->SetColumn(ACol);
        SortRows();
    }

    int first = FixedRows(), last = RowCount() - 1 - FixedFooters();
    std::vector<int> starts;
    std::string_view current;
    for (int r = first; r <= last; ++r) {
        PrefetchCell(ACol, r + 8);   // the sorted rows lie apart in memory
        const std::string_view s = CellText(ACol, r);
        if (r == first || s != current) {
            starts.push_back(r);
            current = s;
        }
    }
    bool summary = FGrouping->Summary();
    int extra = summary ? 2 : 1;
    int groups = int(starts.size());
    int oldRows = RowCount();
    int newRows = oldRows + groups * extra;
    SetRowCountPlain(newRows);
    // Every row goes to its place at once: each group behind a new empty
    // header row (and followed by an empty summary row), the rows after the
    // data (footers) at the end.
    std::vector<int> source;
    source.reserve(std::size_t(newRows - first));
    std::vector<int> headers(static_cast<std::size_t>(groups)), sizes(static_cast<std::size_t>(groups));
    std::vector<AnsiString> values(static_cast<std::size_t>(groups));
    for (int g = 0; g < groups; ++g) {
        int gFirst = starts[std::size_t(g)];
        int gLast = g + 1 < groups ? starts[std::size_t(g) + 1] - 1 : last;
        values[std::size_t(g)] = GetGridCell(ACol, gFirst);
        headers[std::size_t(g)] = first + int(source.size());
        sizes[std::size_t(g)] = gLast - gFirst + 1;
        source.push_back(-1);
        for (int r = gFirst; r <= gLast; ++r)
            source.push_back(r);
        if (summary)
            source.push_back(-1);
    }
    for (int r = last + 1; r < oldRows; ++r)
        source.push_back(r);
    PermuteRows(first, source);
    for (int g = 0; g < groups; ++g)
        SetGridCell(valueCol, headers[std::size_t(g)], values[std::size_t(g)]);
    for (int g = 0; g < groups; ++g) {
        int header = headers[std::size_t(g)];
        AddNode(header, 1 + sizes[std::size_t(g)]);
        NodeGraphicAt(this, header)->CellVar = ACol;
        if (summary)
            AddSummaryRow(header + 1 + sizes[std::size_t(g)]);
    }
    RemoveColumns(ACol, 1);
    int finalValueCol = valueCol > ACol ? valueCol - 1 : valueCol;
    for (int g = 0; g < groups; ++g) {
        int header = headers[std::size_t(g)];
        ColourGroupRow(this, header, finalValueCol, FGrouping->MergeHeader(), FGrouping->HeaderColor(),
                       FGrouping->HeaderColorTo(), FGrouping->HeaderTextColor());
        if (summary)
            ColourGroupRow(this, header + 1 + sizes[std::size_t(g)], finalValueCol, FGrouping->MergeSummary(),
                           FGrouping->SummaryColor(), FGrouping->SummaryColorTo(), FGrouping->SummaryTextColor());
    }
    SetRow(FixedRows());
    EndUpdate();
}

void TProStringGrid::SubGroup(int ACol)
{
    if (ACol < FixedCols() || ACol < 1 || ACol + 1 >= AllColCount())
        return;
    BeginUpdate();
    ExpandAll();
    // Equal keys are brought together first, each group's rows among themselves (a sort of all
    // rows would part the groups' rows from their header rows).
    if (FSortSettings->AutoSortForGrouping()) {
        FSortSettings->SetColumn(ACol);
        if (HasNodes())
            SortGroups();
        else
            SortRows();
    }
    // One walk finds where each sub-group starts: at each change of the column's text and after
    // each node or summary row; node and summary rows belong to no sub-group.
    const int first = FixedRows(), last = RowCount() - 1 - FixedFooters();
    std::vector<int> starts, ends;   // the first member of each sub-group, and the row after its last
    std::vector<AnsiString> values;
    bool open = false;
    std::string_view current;
    for (int r = first; r <= last; ++r) {
        if (IsNodeRow(r) || IsSummaryRow(r)) {
            if (open)
                ends.push_back(r);
            open = false;
            continue;
        }
        const std::string_view s = CellText(ACol, r);
        if (!open || s != current) {
            if (open)
                ends.push_back(r);
            starts.push_back(r);
            values.push_back(GetGridCell(ACol, r));
            current = CellText(ACol, r);
            open = true;
        }
    }
    if (open)
        ends.push_back(last + 1);
    // The nodes a header goes into (those around its first member) take it in.
    std::vector<int> around;
    GrowNodesAround(this, starts, 1, &around);
    std::vector<int> levels(starts.size());
    for (int g = 0, r = 0, depth = 0; g < int(starts.size()); ++g) {
        for (; r <= starts[std::size_t(g)]; ++r)
            depth += around[std::size_t(r)];
        levels[std::size_t(g)] = depth;
    }
    for (int r = first; r <= last; ++r)
        if (!IsNodeRow(r) && !IsSummaryRow(r))
            SetGridCell(ACol, r, AnsiString());
    InsertRowsBefore(starts);
    // Header g stands before its first member, g headers further down than that row was.
    for (std::size_t g = 0; g < starts.size(); ++g) {
        const int header = starts[g] + int(g);
        SetGridCell(ACol + 1, header, values[g]);
        if (levels[g] > 0)
            if (TCellProperties* p = CellProperties(0, header))
                p->SetNodeLevel(levels[g]);
        AddNode(header, ends[g] - starts[g] + 1);
        NodeGraphicAt(this, header)->CellVar = ACol;
        ColourGroupRow(this, header, ACol + 1, FGrouping->MergeHeader(), FGrouping->HeaderColor(),
                       FGrouping->HeaderColorTo(), FGrouping->HeaderTextColor());
    }
    SetRow(FixedRows());
    EndUpdate();
}

void TProStringGrid::RemoveNodeLevel(int ACol)
{
    BeginUpdate();
    ExpandAll();
    // One walk takes the level's header rows out of their nodes and gives their values to the
    // rows below them.
    const int first = FixedRows(), last = RowCount() - 1 - FixedFooters();
    std::vector<int> headers;
    // Rows above the level's first header (all rows, when the grid has no such level) keep their text.
    std::optional<AnsiString> value;
    for (int r = first; r <= last; ++r) {
        TCellGraphic* g = NodeGraphicAt(this, r);
        if (g && std::holds_alternative<int>(g->CellVar) && std::get<int>(g->CellVar) == ACol) {
            value = GetGridCell(ACol + 1, r);
            RemoveNode(RealRowIndex(r));
            if (FGrouping->MergeHeader())
                SplitCells(ACol + 1, r);
            FreeCellProperties(1, r, AllColCount() - 1, r);
            headers.push_back(r);
            continue;
        }
        if (!g && !IsSummaryRow(r) && value)
            SetGridCell(ACol, r, *value);
    }
    if (!headers.empty()) {
        // The nodes around the headers lose them.
        GrowNodesAround(this, headers, -1);
        // The headers gather after the other rows of the data, and go at once.
        std::vector<int> order;
        order.reserve(std::size_t(RowCount() - first));
        for (int r = first, h = 0; r <= last; ++r)
            if (h < int(headers.size()) && headers[std::size_t(h)] == r)
                ++h;
            else
                order.push_back(r);
        order.insert(order.end(), headers.begin(), headers.end());
        for (int r = last + 1; r < RowCount(); ++r)
            order.push_back(r);
        MoveRowsOnce(first, order);
        RemoveRows(last + 1 - int(headers.size()), int(headers.size()));
    }
    EndUpdate();
}

void TProStringGrid::UnGroup()
{
    if (FGroupColumn < 0)
        return;
    int col = FGroupColumn;
    ExpandAll();
    BeginUpdate();
    InsertColumns(col, 1);
    if (ColumnVisible(col) && FGroupColWidth > 0)
        SetColWidths(DisplayColumn(col), FGroupColWidth);
    if (FixedRows() > 0)
        SetGridCell(col, 0, FGroupHeader);
    if (FixedFooters() > 0)
        SetGridCell(col, RowCount() - 1, FGroupFooter);
    int valueCol = col == 1 ? 2 : 1;
    int first = FixedRows(), last = RowCount() - 1 - FixedFooters();
    int oldRows = RowCount(), cols = AllColCount();
    AnsiString value;
    int w = first;
    for (int r = first; r <= last; ++r) {
        bool node = NodeGraphicAt(this, r) != nullptr;
        if (node || IsSummaryRow(r)) {
            if (node) {
                value = GetGridCell(valueCol, r);
                FNodeCount = std::max(0, FNodeCount - 1);
            }
            // The row's records go with it: node graphic, colours, merged header.
            FreeCellProperties(0, r, cols - 1, r);
            continue;
        }
        if (HasCellProperties(0, r))
            CellProperties(0, r)->SetNodeLevel(0);
        SetGridCell(col, r, value);
        MoveStoredRow(r, w++, cols);
    }
    for (int r = last + 1; r < oldRows; ++r)
        MoveStoredRow(r, w++, cols);
    EmptyStoredRows(w, oldRows - 1, cols);
    SetRowCountPlain(std::max(w, 1));
    FGroupColumn = -1;
    EndUpdate();
    Invalidate();
}

void TProStringGrid::GetDisplText(int ACol, int ARow, AnsiString& Value)
{
    TBaseGrid::GetDisplText(ACol, ARow, Value);
    if (!FGrouping->ShowGroupCount() || FGroupColumn < 0 || FNodeCount == 0)
        return;
    // The group values stand in column 1 once the grouped column is gone.
    const int valueCol = 1;
    if (ACol != valueCol)
        return;
    TCellGraphic* g = NodeGraphicAt(this, ARow);
    if (!g)
        return;
    int count = g->CellIndex - 1 - g->CellErrFrom;
    if (FGrouping->GroupCountFormat().empty())
        Value += " (" + IntToStr(count) + ")";
    else
        Value += Format(FGrouping->GroupCountFormat(), {count});
}

// ---------------------------------------------------------------- other structure operations
void TProStringGrid::ScrollInView(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return;
    int visCols = VisibleColCount(), visRows = VisibleRowCount();
    if (ACol < LeftCol() || ACol >= LeftCol() + visCols) {
        SetCol(ACol);
        SetLeftCol(std::max(FixedCols(), ACol - visCols / 2));
    }
    if (ARow < TopRow() || ARow >= TopRow() + visRows) {
        SetRow(ARow);
        SetTopRow(std::max(FixedRows(), ARow - visRows / 2));
    }
    if (LeftCol() > ColCount() - (visCols - 1))
        SetLeftCol(std::max(FixedCols(), ColCount() - (visCols - 1)));
    if (TopRow() > RowCount() - (visRows - 1))
        SetTopRow(std::max(FixedRows(), RowCount() - (visRows - 1)));
}

void TProStringGrid::HideSelection()
{
    // Hiding twice keeps the rectangle of the first time.
    if (!FSelectionHidden)
        FHiddenSelection = Selection();
    FSelectionHidden = true;
    PlaceSelection(TGridRect(ColCount(), RowCount(), ColCount(), RowCount()));
}

void TProStringGrid::UnHideSelection()
{
    if (!FSelectionHidden)
        return;
    FSelectionHidden = false;
    TGridRect r = FHiddenSelection;
    if (r.Left < ColCount() && r.Top < RowCount() && r.Left >= 0 && r.Top >= 0) {
        SetSelection(r);
    } else {
        int col = FixedCols() < ColCount() ? FixedCols() : (FP.FixedColAlways ? 0 : ColCount() - 1);
        int row = FixedRows() < RowCount() ? FixedRows() : (FP.FixedRowAlways ? 0 : RowCount() - 1);
        SetSelection(TGridRect(col, row, col, row));
    }
    Invalidate();
}

bool TProStringGrid::CanAddRow()
{
    bool can = true;
    if (OnCanAddRow)
        OnCanAddRow(this, can);
    return can;
}

void TProStringGrid::CanInsertRow(int ARow, bool& CanInsert)
{
    CanInsert = true;
    if (OnCanInsertRow)
        OnCanInsertRow(this, ARow, CanInsert);
}
