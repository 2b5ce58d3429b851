// Tab and Shift+Tab: the grid's own tab stops (editable cells with goEditing,
// cells that are not fixed without it), wrapping to the next or previous row,
// appending a row at the end, and leaving the grid at its end.
#include "grid/ProGrid.h"

int TProStringGrid::FirstDataCol()
{
    return FixedCols() == 0 && HasNodes() ? 1 : FixedCols();
}

int TProStringGrid::VisibleFixedRightCols()
{
    if (NumHiddenColumns() == 0)
        return FixedRightCols();
    int n = 0;
    for (int c = ColCount() - FixedRightCols(); c < ColCount(); ++c)
        if (c >= 0 && !IsHiddenColumn(RealColIndex(c)))
            ++n;
    return n;
}

bool TProStringGrid::IsCellTabStop(int ACol, int ARow)
{
    if (Options() & goEditing)
        return IsEditable(RealColIndex(ACol), ARow);
    return !IsFixed(ACol, ARow);
}

int TProStringGrid::FirstTabStopCol(int ARow)
{
    for (int c = FirstDataCol(); c < ColCount() - VisibleFixedRightCols(); ++c)
        if (IsCellTabStop(c, ARow))
            return c;
    return -1;
}

int TProStringGrid::LastTabStopCol(int ARow)
{
    for (int c = ColCount() - VisibleFixedRightCols() - 1; c >= FirstDataCol(); --c)
        if (IsCellTabStop(c, ARow))
            return c;
    return -1;
}

void TProStringGrid::TabToNextCell(bool Backwards)
{
    if (OnKeyDown) {
        Word key = VK_TAB;
        OnKeyDown(this, key, Backwards ? TShiftState(ssShift) : TShiftState(0));
        if (key != VK_TAB)
            return;
    }
    if (FKeys.TabGuard == TPoint(Col(), Row()))
        return;
    FKeys.TabGuard = TPoint(Col(), Row());
    struct Reset {
        TProStringGrid* G;
        ~Reset() { G->FKeys.TabGuard = TPoint(-1, -1); }
    } reset{this};
    if (RowCount() - FixedFooters() - 1 < FixedRows() || ColCount() - VisibleFixedRightCols() <= FirstDataCol())
        return;
    // With editing on, the Tab passes cells that are not editable (and rows without a tab stop); a
    // read-only cell switches goEditing off while it is current, so editing is taken as it was at the
    // start. The walk ends after as many moves as the grid has cells.
    const bool editing = (Options() & goEditing) || FEdit.SwitchedOff;
    auto editable = [this] { return !GetCellReadOnly(RealColIndex(Col()), Row()) && !IsFixed(Col(), Row()); };
    TTabStep step = TabStep(Backwards);
    for (int left = ColCount() * RowCount(); left > 0 && step != TTabStep::Left; --left) {
        if (step != TTabStep::Again && !(editing && !editable()))
            break;
        step = TabStep(Backwards);
    }
    if (FNavigation->AlwaysEdit() && CanFocus())
        SetFocus();
}

TProStringGrid::TTabStep TProStringGrid::TabStep(bool Backwards)
{
    const int firstRow = FixedRows();
    const int lastRow = RowCount() - FixedFooters() - 1;
    const int endCol = ColCount() - VisibleFixedRightCols();   // first column past the tab stops
    const int firstCol = FirstDataCol();
    TTabStep result = TTabStep::Done;
    auto postTabToParent = [this, &result] {
        if (FNavigation->TabToNextAtEnd() && Parent() && Parent()->HandleAllocated()) {
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_TAB, 0);
            result = TTabStep::Left;
        }
    };
    auto moveTo = [this](int ACol, int ARow) {
        const TGridCoord base = ShownBaseCell(ACol, ARow);
        FocusCell(base.X, base.Y, true);
    };
    // The current cell's merged region as shown: a step leaves it from its far side.
    const TGridRect region = ShownMergedRegion(Col(), Row());
    auto quietMoveTo = [this, &moveTo](int ACol, int ARow) {
        FEdit.PassThrough = true;
        moveTo(ACol, ARow);
        FEdit.PassThrough = false;
    };

    if (Backwards && FNavigation->TabAdvanceDirection() == adTopBottom) {
        if (Row() <= firstRow)
            moveTo(Col() <= firstCol ? endCol - 1 : Col() - 1, lastRow);
        else
            moveTo(Col(), Row() - 1);
    } else if (Backwards) {
        int c = Col() - 1;
        while (c >= firstCol && !IsCellTabStop(c, Row()))
            --c;
        if (c >= firstCol) {
            moveTo(c, Row());
        } else {
            const int row = Row() <= firstRow ? lastRow : Row() - 1;
            const int last = LastTabStopCol(row);
            moveTo(last >= 0 ? last : endCol - 1, row);
        }
    } else if (FNavigation->TabAdvanceDirection() == adTopBottom) {
        const int next = region.Bottom + 1;
        if (next >= RowCount() - FixedFooters()) {
            const bool lastCol = Col() >= endCol - 1;
            MoveToFirstRow();
            SetCol(lastCol ? firstCol : Col() + 1);
            if (lastCol)
                postTabToParent();
        } else {
            moveTo(Col(), next);
        }
    } else if (region.Right + 1 >= endCol) {
        // Past the last column: the next row, or at the end the first row or a new one.
        if (Row() >= lastRow) {
            bool appended = false;
            if (FNavigation->AdvanceInsert() && !FNavigation->TabToNextAtEnd() && CanAddRow()) {
                int newRow;
                if (FFloatingFooter->Visible()) {
                    InsertRows(RowCount() - 1, 1);
                    newRow = RowCount() - 2;
                } else {
                    SetRowCount(RowCount() + 1);
                    newRow = RowCount() - 1;
                }
                SetRow(newRow);
                appended = true;
                if (OnAutoAddRow)
                    OnAutoAddRow(this, RowCount() - 1 - FixedFooters());
            }
            if (!appended)
                MoveToFirstRow();
            SetCol(FixedCols());
            postTabToParent();
        } else {
            const int first = FirstTabStopCol(Row() + 1);
            moveTo(first >= 0 ? first : FixedCols(), Row() + 1);
            if (first < 0)
                result = TTabStep::Again;
        }
    } else {
        int c = region.Right + 1;
        while (c < endCol && !IsCellTabStop(c, Row()))
            ++c;
        if (c < endCol) {
            moveTo(c, Row());
        } else if (Row() >= lastRow) {
            // The walk reached the end of the last row: the first tab stop of the first row.
            const int first = FirstTabStopCol(firstRow);
            quietMoveTo(first >= 0 ? first : FixedCols(), firstRow);
            postTabToParent();
        } else {
            const int newRow = Row() + 1;
            const int first = FirstTabStopCol(newRow);
            const int newCol = first >= 0 ? first : FixedCols();
            bool allow = true;
            if (OnRowChanging)
                OnRowChanging(this, Row(), newRow, allow);
            if (allow && OnCellChanging)
                OnCellChanging(this, Row(), Col(), newRow, newCol, allow);
            if (allow && OnColChanging)
                OnColChanging(this, Col(), newCol, allow);
            if (allow)
                quietMoveTo(newCol, newRow);
        }
    }
    return result;
}
