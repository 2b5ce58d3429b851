// TProStringGrid: inserting, removing and clearing rows and columns,
// duplicate rows, splitting and merging the cells of a column, scaling.
//
// Everything indexed by row moves with the rows: row heights, the hidden-row
// records, the disjunct selection flags, the modified marks and the cell
// controls. Cells of hidden columns are stored after the shown ones and move
// with their rows.
#include <algorithm>
#include <climits>
#include <cmath>
#include <set>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"

namespace {
bool GridDestroying(const TComponent* C)
{
    return (C->ComponentState() & csDestroying) != 0;
}
}

// ---------------------------------------------------------------- helpers
// Frees the cell records (and their graphics) of a rectangle. The one row
// check-box graphic the grid shares between cells is never freed here.
void TProStringGrid::ReleaseCellRecords(int FromCol, int FromRow, int ToCol, int ToRow)
{
    if (!PropertiesCreated())
        return;
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c) {
            auto* p = dynamic_cast<TCellProperties*>(GetGridObject(c, r));
            if (!p)
                continue;
            if (p->GraphicObject() == FRowCheckGraphic.get())
                p->SetGraphicObject(nullptr);
            SetGridObject(c, r, nullptr);
            delete p;
        }
}

// Empties stored rows without freeing anything: their texts and objects have
// moved elsewhere, and stale copies must not come back when RowCount grows.
void TProStringGrid::ResetStoredRows(int FromRow, int ToRow)
{
    int cols = AllColCount();
    for (int r = FromRow; r <= ToRow; ++r) {
        if (r >= StoredRowCount())
            break;
        int stored = std::min(cols, StoredColCount(r));
        for (int c = 0; c < stored; ++c)
            if (!CellText(c, r).empty() || GetGridObject(c, r))
                ResetCell(c, r);
    }
}

// Every row from ARow on takes the cells and height of the row ACount below
// it; the rows that fall off the end are emptied (their cells have moved).
void TProStringGrid::ShiftRowsUp(int ARow, int ACount)
{
    int rows = RowCount(), cols = AllColCount();
    for (int r = ARow; r + ACount < rows; ++r) {
        int from = r + ACount;
        for (int c = 0; c < cols; ++c) {
            SetGridCell(c, r, GetGridCell(c, from));
            SetGridObject(c, r, GetGridObject(c, from));
        }
        if (RowHeights(r) != RowHeights(from))
            SetRowHeights(r, RowHeights(from));
    }
    ResetStoredRows(std::max(ARow, rows - ACount), rows - 1);
    UndoRowsMoved([=](int R) { return R < ARow ? R : R < ARow + ACount ? -1 : R - ACount; });
}

namespace {
std::vector<int> ListItems(const TIntList& AList)
{
    std::vector<int> items;
    items.reserve(std::size_t(AList.Count()));
    for (int i = 0; i < AList.Count(); ++i)
        items.push_back(AList.GetItem(i));
    return items;
}

void SetListItems(TIntList& AList, const std::vector<int>& AItems)
{
    AList.Clear();
    for (int v : AItems)
        AList.Insert(AList.Count(), v);
}

// The entries of a list of one entry per row but those of the rows AGone (ascending).
std::vector<int> WithoutRows(const std::vector<int>& AList, const std::vector<int>& AGone)
{
    std::vector<int> kept;
    kept.reserve(AList.size());
    for (std::size_t r = 0, g = 0; r < AList.size(); ++r) {
        for (; g < AGone.size() && AGone[g] < int(r); ++g)
            ;
        if (g == AGone.size() || AGone[g] != int(r))
            kept.push_back(AList[r]);
    }
    return kept;
}

// The display rows ARow .. ARow + ACount - 1.
std::vector<int> RowRange(int ARow, int ACount)
{
    std::vector<int> rows(std::size_t(std::max(ACount, 0)));
    for (int i = 0; i < ACount; ++i)
        rows[std::size_t(i)] = ARow + i;
    return rows;
}
}

// Removes the modified marks of the removed display rows and, when the rows
// themselves are gone (not only hidden), their selection flags (by stored row
// with RowSelectPersistent, else by shown row).
void TProStringGrid::DropRowFlags(const std::vector<int>& AShown, const std::vector<int>& ARemoved, bool ASelectFlags)
{
    if (!AShown.empty() && AShown.front() < FRowModified->Count())
        SetListItems(*FRowModified, WithoutRows(ListItems(*FRowModified), AShown));
    if (!ASelectFlags)
        return;
    const std::vector<int>& flags = FMouseActions->RowSelectPersistent() ? ARemoved : AShown;
    FRowSelectFlags = WithoutRows(FRowSelectFlags, flags);
    std::vector<int> order;
    for (int r : FRowSelectOrder) {
        if (std::binary_search(flags.begin(), flags.end(), r))
            continue;
        int below = int(std::lower_bound(flags.begin(), flags.end(), r) - flags.begin());
        order.push_back(r - below);
    }
    FRowSelectOrder = std::move(order);
}

// A hidden row's stored index drops by the number of removed rows before it.
void TProStringGrid::LowerHiddenRowIndexes(const std::vector<int>& ARemoved)
{
    for (int i = 0; i < FHiddenRowList->Count(); ++i) {
        auto* item = static_cast<TGridItem*>(FHiddenRowList->Items(i));
        item->Idx -= int(std::lower_bound(ARemoved.begin(), ARemoved.end(), item->Idx) - ARemoved.begin());
    }
}

// ---------------------------------------------------------------- inserting
void TProStringGrid::InsertRows(int ARow, int ACount)
{
    InsertRowsEx(ARow, ACount, true);
}

// The new rows take the stored place of the row shown at ARow: hidden rows
// above it stay, those after it move down with the rows they were among.
void TProStringGrid::InsertRowsEx(int ARow, int ACount, bool UpdateControls)
{
    InsertShownRows(ARow, ACount, UpdateControls, RealRowIndex(ARow));
}

void TProStringGrid::InsertShownRows(int ARow, int ACount, bool UpdateControls, int AHiddenFrom)
{
    if (ACount < 1 || ARow < 0 || ARow > RowCount())
        return;
    // Rows past the grid's counting are refused before anything changes.
    if (Int64(RowCount()) + ACount > INT_MAX)
        RefuseGrowth();
    EndCellEdit();
    int cols = AllColCount();
    int realRow = RealRowIndex(ARow);
    // New rows move the selection flags after them down; rows that come back from hiding
    // (AHiddenFrom INT_MAX) take no flag's place, as hiding them took none.
    const int flagAt = AHiddenFrom == INT_MAX ? -1 : RowSelectFlagIndex(ARow);
    for (int i = 0; i < FHiddenRowList->Count(); ++i) {
        auto* item = static_cast<TGridItem*>(FHiddenRowList->Items(i));
        if (item->Idx >= AHiddenFrom)
            item->Idx += ACount;
    }
    SetRowCountPlain(RowCount() + ACount);
    int rows = RowCount();
    // The last row (a floating footer row too) stays last.
    for (int r = rows - 1; r >= ARow + ACount; --r) {
        int from = r - ACount;
        for (int c = 0; c < cols; ++c) {
            SetGridCell(c, r, GetGridCell(c, from));
            SetGridObject(c, r, GetGridObject(c, from));
        }
        if (RowHeights(r) != RowHeights(from))
            SetRowHeights(r, RowHeights(from));
    }
    for (int r = ARow; r < ARow + ACount; ++r) {
        for (int c = 0; c < cols; ++c)
            ResetCell(c, r);
        SetRowHeights(r, DefaultRowHeight());
    }
    UndoRowsMoved([=](int R) { return R < ARow ? R : R + ACount; });
    if (ARow < FRowModified->Count())
        for (int i = 0; i < ACount; ++i)
            FRowModified->Insert(ARow, 0);
    if (flagAt >= 0 && std::size_t(flagAt) < FRowSelectFlags.size()) {
        FRowSelectFlags.insert(FRowSelectFlags.begin() + flagAt, std::size_t(ACount), 0);
        for (int& r : FRowSelectOrder)
            if (r >= flagAt)
                r += ACount;
    }
    if (UpdateControls && FCellControls->Count() > 0) {
        for (int i = 0; i < FCellControls->Count(); ++i) {
            TControlListItem* item = FCellControls->GetItem(i);
            if (item->Y >= realRow)
                item->Y += ACount;
        }
        PositionCellControls();
    }
    if (!GridDestroying(this))
        CellsChanged(TRect(0, ARow, ColCount() - 1, ARow + ACount));
}

void TProStringGrid::OpenRowsBefore(const std::vector<int>& ABefore, bool AFlags)
{
    const int first = ABefore.front(), oldRows = RowCount(), added = int(ABefore.size());
    // A list of one entry per row gets a 0 before each of ABefore it reaches.
    auto widen = [&](const std::vector<int>& Old) {
        std::vector<int> wide;
        wide.reserve(Old.size() + ABefore.size());
        for (std::size_t k = 0, r = 0; r < Old.size(); ++r) {
            for (; k < ABefore.size() && ABefore[k] == int(r); ++k)
                wide.push_back(0);
            wide.push_back(Old[r]);
        }
        return wide;
    };
    std::vector<int> source;
    source.reserve(std::size_t(oldRows + added - first));
    for (std::size_t k = 0, r = std::size_t(first); r < std::size_t(oldRows); ++r) {
        for (; k < ABefore.size() && ABefore[k] == int(r); ++k)
            source.push_back(-1);
        source.push_back(int(r));
    }
    source.resize(std::size_t(oldRows + added - first), -1);
    SetRowCountPlain(oldRows + added);
    PermuteRows(first, source);
    if (first < FRowModified->Count())
        SetListItems(*FRowModified, widen(ListItems(*FRowModified)));
    if (AFlags && std::size_t(first) < FRowSelectFlags.size()) {
        const int last = int(FRowSelectFlags.size()) - 1;
        FRowSelectFlags = widen(FRowSelectFlags);
        for (int& r : FRowSelectOrder)
            r += int(std::upper_bound(ABefore.begin(), ABefore.end(), std::min(r, last)) - ABefore.begin());
    }
}

void TProStringGrid::InsertRowsBefore(const std::vector<int>& ARows)
{
    if (ARows.empty())
        return;
    EndCellEdit();
    const int first = ARows.front();
    // The new rows before a row that was R.
    auto shift = [&](int R) { return int(std::upper_bound(ARows.begin(), ARows.end(), R) - ARows.begin()); };
    OpenRowsBefore(ARows, true);
    if (FCellControls->Count() > 0) {
        for (int i = 0; i < FCellControls->Count(); ++i) {
            TControlListItem* item = FCellControls->GetItem(i);
            item->Y += shift(item->Y);
        }
        PositionCellControls();
    }
    if (!GridDestroying(this))
        CellsChanged(TRect(0, first, ColCount() - 1, RowCount() - 1));
}

void TProStringGrid::AddRow()
{
    if (FFloatingFooter->Visible()) {
        InsertRowsEx(RowCount() - 1, 1, true);
        if (FFloatingFooter->FooterStyle() == fsFixedLastRow)
            ClearRowRange(RowCount() - 2, 1);
    } else {
        InsertRowsEx(RowCount(), 1, true);
        ClearRowRange(RowCount() - 1, 1);
    }
}

// ---------------------------------------------------------------- removing
void TProStringGrid::RemoveRows(int ARow, int ACount)
{
    if (ARow < 0 || ARow >= RowCount() || ACount < 1)
        return;
    ACount = std::min(ACount, RowCount() - ARow);
    EndCellEdit();
    ReleaseCellRecords(0, ARow, AllColCount() - 1, ARow + ACount - 1);
    RemoveRowsInternal(ARow, ACount, true);
}

void TProStringGrid::RemoveRowsInternal(int ARow, int ACount, bool DropControls)
{
    if (ARow < 0 || ARow >= RowCount() || ACount < 1)
        return;
    RemoveRowRuns({{ARow, std::min(ACount, RowCount() - ARow)}}, false, DropControls);
}

void TProStringGrid::RemoveRowRuns(const std::vector<TRowRun>& ARuns, bool ABottomUp, bool DropControls)
{
    std::vector<int> gone;   // the display rows that go, ascending
    for (const TRowRun& run : ARuns)
        for (int i = 0; i < run.Count; ++i)
            gone.push_back(run.Row + i);
    if (gone.empty())
        return;
    const auto goneBelow = [&](int Y) { return int(std::lower_bound(gone.begin(), gone.end(), Y) - gone.begin()); };
    const auto goes = [&](int Y) { return std::binary_search(gone.begin(), gone.end(), Y); };
    const int oldRows = RowCount();

    if (DropControls) {
        for (int i = FCellControls->Count() - 1; i >= 0; --i) {
            TControlListItem* item = FCellControls->GetItem(i);
            if (goes(item->Y)) {
                if (item->Control)
                    item->Control->SetVisible(false);
                FCellControls->Delete(i);
            }
        }
    }

    // While the rows go, the footer rows, the floating footer, the disjunct
    // row selection and whole-row selection are set aside; they come back
    // at the end, whatever happens.
    struct SetAside {
        TProStringGrid& G;
        int Footers;
        bool Floating, Disjunct, RowSelect;
        explicit SetAside(TProStringGrid& AGrid)
            : G(AGrid), Footers(AGrid.FixedFooters()), Floating(AGrid.FloatingFooter()->Visible()),
              Disjunct(AGrid.MouseActions()->DisjunctRowSelect()),
              RowSelect((AGrid.Options() & goRowSelect) && AGrid.RowCount() - AGrid.TBaseGrid::FixedRows() > 1)
        {
            G.SetFixedFooters(0);
            ShowFloatingFooter(false);
            G.MouseActions()->SetDisjunctRowSelect(false);
            if (RowSelect)
                G.SetOptions(G.Options() & ~TGridOptions(goRowSelect));
        }
        ~SetAside()
        {
            G.SetFixedFooters(Footers);
            ShowFloatingFooter(Floating);
            G.MouseActions()->SetDisjunctRowSelect(Disjunct);
            if (RowSelect)
                G.SetOptions(G.Options() | goRowSelect);
        }
        void ShowFloatingFooter(bool AShow)
        {
            if (!Floating)
                return;
            G.BeginUpdate();
            G.FloatingFooter()->SetVisible(AShow);
            G.EndUpdate();
        }
    } setAside(*this);

    BeginUpdate();
    int top = TopRow();
    // Rows going into hidden-row records keep the stored indices around them.
    const std::vector<int> removed = DropControls ? RealRowIndexes(gone) : std::vector<int>();
    if (DropControls && FHiddenRowList->Count() > 0)
        LowerHiddenRowIndexes(removed);
    DropRowFlags(gone, removed, DropControls);
    // The removals in their order, each at its row as the ones before leave the rows, and each
    // its rows' deletions one after another, the row at its start each time.
    std::vector<TRowRun> calls;
    std::vector<int> steps;
    steps.reserve(gone.size());
    for (std::size_t k = 0; k < ARuns.size(); ++k) {
        const TRowRun& run = ARuns[ABottomUp ? ARuns.size() - 1 - k : k];
        calls.push_back({ABottomUp ? run.Row : run.Row - int(steps.size()), run.Count});
        steps.insert(steps.end(), std::size_t(run.Count), calls.back().Row);
    }
    ExtractRows(steps);
    // The rows taken out wait beyond RowCount (in the one row a grid keeps when all go, too);
    // their cells have been freed or handed to a hidden-row record, so they must not come back.
    ResetStoredRows(std::max(0, oldRows - int(gone.size())), oldRows - 1);
    // Cell controls follow their rows; one kept on a row that goes moves to where its row
    // went, the end of the rows, the row taken out first the last.
    if (FCellControls->Count() > 0) {
        std::vector<int> order(gone.size());
        int taken = 0;
        for (std::size_t k = 0; k < ARuns.size(); ++k) {
            const TRowRun& run = ARuns[ABottomUp ? ARuns.size() - 1 - k : k];
            for (int i = 0; i < run.Count; ++i)
                order[std::size_t(goneBelow(run.Row + i))] = taken++;
        }
        for (int i = 0; i < FCellControls->Count(); ++i) {
            TControlListItem* item = FCellControls->GetItem(i);
            if (item->Y >= oldRows)
                continue;
            const int below = goneBelow(item->Y);
            item->Y = goes(item->Y) ? oldRows - 1 - order[std::size_t(below)] : item->Y - below;
        }
    }
    PositionCellControls();
    // The current row landing on a footer row shows no selection.
    if (Row() > RowCount() - 1 - FixedFooters())
        HideSelection();
    else if (top < RowCount())
        SetTopRow(top);
    EndUpdate();
    // What each removal told, in its order: each row it deleted moved to the last row, then
    // the changed cells.
    for (std::size_t k = 0, step = 0; k < calls.size(); ++k) {
        for (int i = 0; i < calls[k].Count; ++i, ++step)
            if (OnRowMoved && steps[step] != oldRows - 1 - int(step))
                OnRowMoved(this, steps[step], oldRows - 1 - int(step));
        CellsChanged(TRect(0, calls[k].Row, ColCount() - 1, calls[k].Row + calls[k].Count));
    }
    if (TopRow() > RowCount() - 1)
        SetTopRow(RowCount() - 1);
    if (Row() >= RowCount()) {
        FocusCell(FixedCols(), FixedRows(), true);
        HideSelection();
    }
}

bool TProStringGrid::BeginRowRemoval(int ARow, int& ACount, std::vector<int>& AShown, std::vector<int>& ARemoved)
{
    if (ARow < 0 || ARow >= RowCount() || ACount < 1)
        return false;
    ACount = std::min(ACount, RowCount() - ARow);
    EndCellEdit();
    AShown = RowRange(ARow, ACount);
    ARemoved = RealRowIndexes(AShown);
    return true;
}

void TProStringGrid::DeleteRows(int ARow, int ACount)
{
    std::vector<int> shown, removed;
    if (!BeginRowRemoval(ARow, ACount, shown, removed))
        return;
    int lastWidth = ColWidths(ColCount() - 1);
    int row = Row();
    BeginUpdate();
    ReleaseCellRecords(0, ARow, AllColCount() - 1, ARow + ACount - 1);
    ShiftRowsUp(ARow, ACount);
    DropRowFlags(shown, removed, true);
    SetRowCountPlain(RowCount() - ACount);
    SetColWidths(ColCount() - 1, lastWidth);
    if (row >= RowCount()) {
        TBaseGrid::SetRow(TBaseGrid::FixedRows());
        SetTopRow(TBaseGrid::FixedRows());
    }
    EndUpdate();
    LowerHiddenRowIndexes(removed);
    CellsChanged(TRect(0, ARow, ColCount() - 1, ARow + ACount));
}

void TProStringGrid::RemoveRowsEx(int ARow, int ACount)
{
    std::vector<int> shown, removed;
    if (!BeginRowRemoval(ARow, ACount, shown, removed))
        return;

    // Controls of the removed rows go; those below move up with their rows.
    for (int i = FCellControls->Count() - 1; i >= 0; --i) {
        TControlListItem* item = FCellControls->GetItem(i);
        if (item->Y >= ARow && item->Y < ARow + ACount) {
            if (item->Control)
                item->Control->SetVisible(false);
            FCellControls->Delete(i);
        } else if (item->Y >= ARow + ACount) {
            item->Y -= ACount;
        }
    }
    ReleaseCellRecords(0, ARow, AllColCount() - 1, ARow + ACount - 1);

    BeginUpdate();
    LowerHiddenRowIndexes(removed);
    DropRowFlags(shown, removed, true);
    int row = Row();
    ShiftRowsUp(ARow, ACount);
    SetRowCountPlain(RowCount() - ACount);
    int lastData = RowCount() - 1 - FixedFooters();
    // No scrollable row left (a row shown as fixed by FixedRowAlways counts as fixed).
    if (lastData < FixedRows())
        HideSelection();
    else if (row > lastData)
        TBaseGrid::SetRow(lastData);
    EndUpdate();

    CellsChanged(TRect(0, ARow, ColCount() - 1, ARow + ACount));
    SetTopRow(std::min(TopRow(), MaxTopRow()));
    PositionCellControls();
    if (FSearchFooter->Visible() && FSearchPanel)
        FSearchPanel->Invalidate();
}

void TProStringGrid::RemoveRowList(std::vector<int> ARows)
{
    std::sort(ARows.begin(), ARows.end());
    ARows.erase(std::unique(ARows.begin(), ARows.end()), ARows.end());
    ARows.erase(std::remove_if(ARows.begin(), ARows.end(), [&](int r) { return r < 0 || r >= RowCount(); }),
                ARows.end());
    if (ARows.empty())
        return;
    EndCellEdit();
    std::vector<TRowRun> runs;
    for (int r : ARows) {
        ReleaseCellRecords(0, r, AllColCount() - 1, r);
        runs.push_back({r, 1});
    }
    RemoveRowRuns(runs, true, true);
}

void TProStringGrid::RemoveSelectedRows()
{
    std::vector<int> rows;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = TBaseGrid::FixedRows(); r <= RowCount() - 1 - FixedFooters(); ++r)
            if (DisjunctRowFlagged(r))
                rows.push_back(r);
        BeginUpdate();
        RemoveRowList(rows);
        ClearRowSelect();
        EndUpdate();
        return;
    }
    BeginUpdate();
    RemoveRowList(SelectedTextRows(Selection()));
    EndUpdate();
}

// ---------------------------------------------------------------- columns
void TProStringGrid::InsertColumns(int ACol, int ACount)
{
    int oldAll = AllColCount();
    if (ACount < 1 || ACol < 0 || ACol > oldAll)
        return;
    if (Int64(oldAll) + ACount > INT_MAX)
        RefuseGrowth();
    EndCellEdit();
    int rows = RowCount();
    // Widths belong to the shown columns: the new ones take the default width where they are
    // shown, and a hidden column's saved width moves with it.
    std::vector<int> widths = ShownColWidths();
    widths.insert(widths.begin() + DisplayColumn(ACol), std::size_t(ACount), DefaultColWidth());
    if (std::size_t(ACol) < FHiddenColWidths.size())
        FHiddenColWidths.insert(FHiddenColWidths.begin() + ACol, std::size_t(ACount), DefaultColWidth());
    SetColCount(ColCount() + ACount);
    int all = oldAll + ACount;
    for (int c = all - 1; c >= ACol + ACount; --c) {
        int from = c - ACount;
        for (int r = 0; r < rows; ++r) {
            SetGridCell(c, r, GetGridCell(from, r));
            SetGridObject(c, r, GetGridObject(from, r));
        }
        SetColumnVisibleFlag(c, ColumnVisible(from));
    }
    for (int c = ACol; c < ACol + ACount; ++c) {
        for (int r = 0; r < rows; ++r)
            ResetCell(c, r);
        SetColumnVisibleFlag(c, true);
    }
    UndoColumnsMoved([=](int C) { return C < ACol ? C : C + ACount; });
    SetShownColWidths(widths);
    // A hidden row's cells move with their columns too.
    for (int i = 0; i < FHiddenRowList->Count(); ++i) {
        TStringList* items = static_cast<TGridItem*>(FHiddenRowList->Items(i))->Items();
        for (int k = 0; k < ACount && ACol < items->Count(); ++k)
            items->InsertObject(ACol, AnsiString(), nullptr);
    }
}

void TProStringGrid::RemoveColumns(int ACol, int ACount)
{
    int all = AllColCount();
    if (ACol < 0 || ACol >= all || ACount < 1)
        return;
    ACount = std::min(ACount, all - ACol);
    EndCellEdit();
    int rows = RowCount();
    int shownRemoved = 0;
    std::vector<int> widths = ShownColWidths();
    for (int c = ACol + ACount - 1; c >= ACol; --c)
        if (ColumnVisible(c)) {
            ++shownRemoved;
            widths.erase(widths.begin() + DisplayColumn(c));
        }
    if (std::size_t(ACol) < FHiddenColWidths.size())
        FHiddenColWidths.erase(FHiddenColWidths.begin() + ACol,
                               FHiddenColWidths.begin() + std::min(FHiddenColWidths.size(), std::size_t(ACol + ACount)));
    BeginUpdate();
    ClearColumnRange(ACol, ACount);
    // The cells move left and the columns left over at the end are emptied.
    const int vacated = std::max(ACol, all - ACount);
    RemoveStoredColumns(ACol, ACount, all, rows);
    UndoColumnsMoved([=](int C) { return C < ACol ? C : C < ACol + ACount ? -1 : C - ACount; });
    for (int c = ACol; c + ACount < all; ++c)
        SetColumnVisibleFlag(c, ColumnVisible(c + ACount));
    for (int c = vacated; c < all; ++c)
        SetColumnVisibleFlag(c, true);
    // A hidden row loses the cells of the removed columns (their records with them), and its
    // other cells move with their columns.
    for (int i = 0; i < FHiddenRowList->Count(); ++i) {
        TStringList* items = static_cast<TGridItem*>(FHiddenRowList->Items(i))->Items();
        for (int k = 0; k < ACount && ACol < items->Count(); ++k) {
            delete dynamic_cast<TCellProperties*>(items->Objects(ACol));
            items->Delete(ACol);
        }
    }
    SetColCount(ColCount() - shownRemoved);
    SetShownColWidths(widths);
    EndUpdate();
    CellsChanged(TRect(ACol, 0, ACol + ACount, RowCount() - 1));
}

// ---------------------------------------------------------------- clearing
void TProStringGrid::ClearCellRect(int FromCol, int FromRow, int ToCol, int ToRow)
{
    bool destroying = GridDestroying(this);
    FromCol = std::max(FromCol, 0);
    FromRow = std::max(FromRow, 0);
    // Only a row with objects can hold records.
    for (int r = FromRow; r <= ToRow && r < StoredRowCount(); ++r)
        if (RowHasObjects(r))
            for (int c = FromCol; c <= ToCol; ++c)
                if (HasCellProperties(c, r))
                    ReleaseCellRecords(c, r, c, r);
    if (destroying)
        return;
    EmptyCellTexts(FromCol, FromRow, ToCol, ToRow);
    Invalidate();
    CellsChanged(TRect(FromCol, FromRow, ToCol, ToRow));
}

void TProStringGrid::ClearRowRange(int ARow, int ACount)
{
    if (RowCount() < 1 || ColCount() < 1 || ACount < 1)
        return;
    // A count past the last row clears to the last row.
    ClearCellRect(0, ARow, AllColCount() - 1, int(std::min<Int64>(Int64(ARow) + ACount - 1, RowCount() - 1)));
}

void TProStringGrid::ClearColumnRange(int ACol, int ACount)
{
    if (RowCount() < 1 || ColCount() < 1 || ACount < 1)
        return;
    ClearCellRect(ACol, 0, int(std::min<Int64>(Int64(ACol) + ACount - 1, AllColCount() - 1)), RowCount() - 1);
}

std::vector<std::pair<int, int>> TProStringGrid::StoredColumnRuns(int FromCol, int ToCol) const
{
    std::vector<std::pair<int, int>> runs;
    FromCol = std::max(FromCol, 0);
    if (ToCol < FromCol)
        return runs;
    int stored = RealColIndex(FromCol);
    runs.emplace_back(stored, stored);
    for (int c = FromCol + 1; c <= ToCol; ++c) {
        // The next shown column after the last one.
        while (!ColumnVisible(++stored))
            ;
        if (runs.back().second + 1 == stored)
            runs.back().second = stored;
        else
            runs.emplace_back(stored, stored);
    }
    return runs;
}

// The selection holds columns as shown: each is cleared in its stored column.
void TProStringGrid::ClearSelection()
{
    EndCellEdit();
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
            if (DisjunctRowFlagged(r))
                ClearRowRange(r, 1);
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = TBaseGrid::FixedCols(); c < ColCount(); ++c)
            if (DisjunctColFlagged(c))
                ClearColumnRange(RealColIndex(c), 1);
    } else {
        TGridRect s = Selection();
        if (s.Left < 0 || s.Top < 0 || s.Left >= ColCount() || s.Top >= RowCount())
            return;
        for (auto [from, to] : StoredColumnRuns(s.Left, std::min(s.Right, ColCount() - 1)))
            ClearCellRect(from, s.Top, to, std::min(s.Bottom, RowCount() - 1));
    }
}

void TProStringGrid::ClearAll()
{
    if (GridDestroying(this))
        return;
    EndCellEdit();
    if (HasNodes())
        RemoveAllNodes();
    // The texts kept from before the last edit belong to cells that are gone.
    FEdit.OldText.clear();
    FEdit.OldWideText.clear();
    if (RowCount() < 1 || ColCount() < 1)
        return;
    ClearCellRect(0, 0, AllColCount() - 1, RowCount() - 1);
}

// ---------------------------------------------------------------- duplicates
void TProStringGrid::RemoveDuplicateRows(int ACol, bool CaseSensitive)
{
    // The texts seen are kept upper-cased unless CaseSensitive, but the lookup
    // compares without case either way: "Abc" repeats "ABC".
    auto less = [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; };
    std::set<AnsiString, decltype(less)> seen(less);
    int col = RealColIndex(ACol);
    EndCellEdit();
    // Each repeat went by RemoveRows(r, 1) as the walk met it, the rows below moving up.
    std::vector<TRowRun> repeats;
    for (int r = TBaseGrid::FixedRows(); r < RowCount() - FixedFooters(); ++r) {
        AnsiString s = Cells(col, r);
        if (seen.count(s))
            repeats.push_back({r, 1});
        else
            seen.insert(CaseSensitive ? s : AnsiUpperCase(s));
    }
    if (repeats.empty())
        return;
    BeginUpdate();
    for (const TRowRun& run : repeats)
        ReleaseCellRecords(0, run.Row, AllColCount() - 1, run.Row);
    RemoveRowRuns(repeats, false, true);
    EndUpdate();
}

// ---------------------------------------------------------------- merged columns
void TProStringGrid::SplitColumnCells(int ACol)
{
    int r = 0;
    while (r <= RowCount() - 2 - FixedFooters()) {
        if (IsBaseCell(ACol, r) && IsMergedAcrossRows(ACol, r)) {
            int span = CellSpan(ACol, r).Y;
            SplitCells(ACol, r);
            r += span + 1;
        } else {
            ++r;
        }
    }
}

void TProStringGrid::MergeColumnCells(int ACol, bool MainMerge)
{
    int last = RowCount() - 1 - FixedFooters();
    int start = TBaseGrid::FixedRows();
    for (int r = start + 1; r <= last + 1; ++r) {
        bool extend = r <= last && GetGridCell(ACol, r) == GetGridCell(ACol, r - 1) &&
                      (MainMerge || RowsShareMergedCells(r - 1, r));
        if (extend)
            continue;
        if (r - start > 1)
            MergeCells(ACol, start, 1, r - start);
        start = r;
    }
}

bool TProStringGrid::IsUnicodeCell(int ACol, int ARow)
{
    AnsiString s = GetGridCell(ACol, ARow);
    return s.size() >= 2 && s[0] == '|' && s[1] == '\\';
}

std::vector<int> TProStringGrid::ShownColWidths() const
{
    std::vector<int> widths;
    for (int c = 0; c < ColCount(); ++c)
        widths.push_back(ColWidths(c));
    return widths;
}

void TProStringGrid::SetShownColWidths(const std::vector<int>& AWidths)
{
    for (int c = 0; c < ColCount() && std::size_t(c) < AWidths.size(); ++c)
        if (ColWidths(c) != AWidths[std::size_t(c)])
            SetColWidths(c, AWidths[std::size_t(c)]);
}

// An entry for every stored column: a column move is made between stored columns.
void TProStringGrid::ResetColumnOrder()
{
    FColumnOrder.Clear();
    for (int c = 0; c < AllColCount(); ++c)
        FColumnOrder.Add(c);
}

// The fixed-cell font and the active-cell font follow the control's scaling.
void TProStringGrid::ChangeScale(int M, int D)
{
    TBaseGrid::ChangeScale(M, D);
    if (M == D || D == 0)
        return;
    FFixedFont->SetSize(MulDiv(FFixedFont->Size(), M, D));
    FActiveCellFont->SetSize(MulDiv(FActiveCellFont->Size(), M, D));
}
