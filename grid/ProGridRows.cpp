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
}

namespace {
// The stored indices of ACount display rows from ARow.
std::vector<int> RemovedRealRows(const TProStringGrid& G, int ARow, int ACount)
{
    std::vector<int> rows;
    for (int i = 0; i < ACount; ++i)
        rows.push_back(G.RealRowIndex(ARow + i));
    return rows;
}
}

// Removes the modified marks of the removed display rows and, when the rows
// themselves are gone (not only hidden), their selection flags (by stored row
// with RowSelectPersistent, else by shown row).
void TProStringGrid::DropRowFlags(int ARow, const std::vector<int>& ARemoved, bool ASelectFlags)
{
    for (std::size_t i = 0; i < ARemoved.size(); ++i)
        if (ARow < FRowModified->Count())
            FRowModified->Delete(ARow);
    if (!ASelectFlags)
        return;
    std::vector<int> flags = ARemoved;
    if (!FMouseActions->RowSelectPersistent())
        for (std::size_t i = 0; i < flags.size(); ++i)
            flags[i] = ARow + int(i);
    for (auto it = flags.rbegin(); it != flags.rend(); ++it)
        if (std::size_t(*it) < FRowSelectFlags.size())
            FRowSelectFlags.erase(FRowSelectFlags.begin() + *it);
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

void TProStringGrid::InsertRowsBefore(const std::vector<int>& ARows)
{
    if (ARows.empty())
        return;
    EndCellEdit();
    const int first = ARows.front(), oldRows = RowCount(), added = int(ARows.size());
    // The new rows before a row that was R.
    auto shift = [&](int R) { return int(std::upper_bound(ARows.begin(), ARows.end(), R) - ARows.begin()); };
    // A list of one entry per row gets a 0 before each of ARows it reaches.
    auto widen = [&](const std::vector<int>& Old) {
        std::vector<int> wide;
        wide.reserve(Old.size() + ARows.size());
        for (std::size_t k = 0, r = 0; r < Old.size(); ++r) {
            for (; k < ARows.size() && ARows[k] == int(r); ++k)
                wide.push_back(0);
            wide.push_back(Old[r]);
        }
        return wide;
    };
    std::vector<int> source;
    source.reserve(std::size_t(oldRows + added - first));
    for (std::size_t k = 0, r = std::size_t(first); r < std::size_t(oldRows); ++r) {
        for (; k < ARows.size() && ARows[k] == int(r); ++k)
            source.push_back(-1);
        source.push_back(int(r));
    }
    source.resize(std::size_t(oldRows + added - first), -1);
    SetRowCountPlain(oldRows + added);
    PermuteRows(first, source);
    if (first < FRowModified->Count()) {
        std::vector<int> marks;
        for (int i = 0; i < FRowModified->Count(); ++i)
            marks.push_back(FRowModified->GetItem(i));
        FRowModified->Clear();
        for (int m : widen(marks))
            FRowModified->Insert(FRowModified->Count(), m);
    }
    if (std::size_t(first) < FRowSelectFlags.size()) {
        const int last = int(FRowSelectFlags.size()) - 1;
        FRowSelectFlags = widen(FRowSelectFlags);
        for (int& r : FRowSelectOrder)
            r += shift(std::min(r, last));
    }
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
    ACount = std::min(ACount, RowCount() - ARow);

    if (DropControls) {
        for (int i = FCellControls->Count() - 1; i >= 0; --i) {
            TControlListItem* item = FCellControls->GetItem(i);
            if (item->Y >= ARow && item->Y < ARow + ACount) {
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
    int oldRows = RowCount();
    std::vector<int> removed = RemovedRealRows(*this, ARow, ACount);
    if (DropControls && FHiddenRowList->Count() > 0)
        LowerHiddenRowIndexes(removed);
    DropRowFlags(ARow, removed, DropControls);
    for (int i = 0; i < ACount; ++i)
        DeleteRow(ARow);
    // The deleted rows wait beyond RowCount; their cells have been freed or
    // handed to a hidden-row record, so they must not come back.
    ResetStoredRows(RowCount(), oldRows - 1);
    // The current row landing on a footer row shows no selection.
    if (Row() > RowCount() - 1 - FixedFooters())
        HideSelection();
    else if (top < RowCount())
        SetTopRow(top);
    EndUpdate();
    CellsChanged(TRect(0, ARow, ColCount() - 1, ARow + ACount));
    if (TopRow() > RowCount() - 1)
        SetTopRow(RowCount() - 1);
    if (Row() >= RowCount()) {
        FocusCell(FixedCols(), FixedRows(), true);
        HideSelection();
    }
}

bool TProStringGrid::BeginRowRemoval(int ARow, int& ACount, std::vector<int>& ARemoved)
{
    if (ARow < 0 || ARow >= RowCount() || ACount < 1)
        return false;
    ACount = std::min(ACount, RowCount() - ARow);
    EndCellEdit();
    ARemoved = RemovedRealRows(*this, ARow, ACount);
    return true;
}

void TProStringGrid::DeleteRows(int ARow, int ACount)
{
    std::vector<int> removed;
    if (!BeginRowRemoval(ARow, ACount, removed))
        return;
    int lastWidth = ColWidths(ColCount() - 1);
    int row = Row();
    BeginUpdate();
    ReleaseCellRecords(0, ARow, AllColCount() - 1, ARow + ACount - 1);
    ShiftRowsUp(ARow, ACount);
    DropRowFlags(ARow, removed, true);
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
    std::vector<int> removed;
    if (!BeginRowRemoval(ARow, ACount, removed))
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
    DropRowFlags(ARow, removed, true);
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

void TProStringGrid::RemoveSelectedRows()
{
    if (FMouseActions->DisjunctRowSelect()) {
        BeginUpdate();
        for (int r = RowCount() - 1 - FixedFooters(); r >= TBaseGrid::FixedRows(); --r)
            if (DisjunctRowFlagged(r))
                RemoveRows(r, 1);
        ClearRowSelect();
        EndUpdate();
        return;
    }
    TGridRect s = Selection();
    BeginUpdate();
    for (int r = std::min(s.Bottom, RowCount() - 1); r >= s.Top && r >= 0; --r)
        RemoveRows(r, 1);
    EndUpdate();
}

// ---------------------------------------------------------------- columns
void TProStringGrid::InsertColumns(int ACol, int ACount)
{
    int oldAll = AllColCount();
    if (ACount < 1 || ACol < 0 || ACol > oldAll)
        return;
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
    // Row by row, so that each row is read from memory once: the cells
    // move left and the columns left over at the end are emptied.
    const int vacated = std::max(ACol, all - ACount);
    for (int r = 0; r < rows; ++r) {
        PrefetchCell(ACol, r + 8);
        for (int c = ACol; c + ACount < all; ++c) {
            AssignCellText(c, r, CellText(c + ACount, r));
            SetGridObject(c, r, GetGridObject(c + ACount, r));
        }
        for (int c = vacated; c < all; ++c)
            ResetCell(c, r);
    }
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
    ClearCellRect(0, ARow, AllColCount() - 1, ARow + ACount - 1);
}

void TProStringGrid::ClearColumnRange(int ACol, int ACount)
{
    if (RowCount() < 1 || ColCount() < 1 || ACount < 1)
        return;
    ClearCellRect(ACol, 0, ACol + ACount - 1, RowCount() - 1);
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
    BeginUpdate();
    int r = TBaseGrid::FixedRows();
    while (r < RowCount() - FixedFooters()) {
        AnsiString s = Cells(col, r);
        if (seen.count(s)) {
            RemoveRows(r, 1);
            continue;
        }
        seen.insert(CaseSensitive ? s : AnsiUpperCase(s));
        ++r;
    }
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
