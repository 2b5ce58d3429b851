// TProStringGrid: the small hooks of the grid's services and the
// notifications they fire.
#include "grid/ProGrid.h"

#include "grid/ProUtil.h"

void TProStringGrid::MoveToFirstRow()
{
    SetRow(FixedRows());
}

void TProStringGrid::MarkRangeModified(TPoint AOrigin, const TRect& ARect, bool AWasCopy)
{
    if (!FShowModified->Enabled())
        return;
    for (int r = ARect.Top; r <= ARect.Bottom; ++r)
        SetRowModified(r, true);
}

void TProStringGrid::SearchFooterAction(const AnsiString& Value, int ACol, int ARow, TSearchAction Action)
{
    if (OnSearchFooterAction)
        OnSearchFooterAction(this, Value, ACol, ARow, Action);
}

bool TProStringGrid::GetAllowFmtClipboard()
{
    return FNavigation->AllowFmtClipboard();
}

void TProStringGrid::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom)
{
    if (OnSelectionChanged)
        OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

void TProStringGrid::Invalidate()
{
    if (FSkipInvalidate) {
        FSkipInvalidate = false;
        return;
    }
    TBaseGrid::Invalidate();
    if (FFloatingFooter && FFooterPanel && FFloatingFooter->Visible())
        FFooterPanel->Invalidate();
}

// The columns of the list are merged again: the first by equal texts, each
// further one only within the runs of the columns before it. A column taken
// off the list is split.
void TProStringGrid::MergedColumnsChanged(TObject*)
{
    BeginUpdate();
    for (int c : FMergedBefore)
        if (c < AllColCount())
            SplitColumnCells(c);
    FMergedBefore.clear();
    for (int i = 0; i < FMergedColumns->Count(); ++i) {
        int c = FMergedColumns->GetItem(i);
        if (c >= 0 && c < AllColCount()) {
            SplitColumnCells(c);
            FMergedBefore.push_back(c);
        }
    }
    for (std::size_t i = 0; i < FMergedBefore.size(); ++i)
        MergeColumnCells(FMergedBefore[i], i == 0);
    EndUpdate();
    Invalidate();
}

WideString TProStringGrid::GetWideCell(int ACol, int ARow)
{
    return DecodeUnicodeCell(Cells(ACol, ARow));
}

void TProStringGrid::SetWideCell(int ACol, int ARow, const WideString& Value)
{
    SetCells(ACol, ARow, EncodeUnicodeCell(Value));
}

int TProStringGrid::GetRowIndent(int ARow)
{
    if (!HasNodes() || !HasCellProperties(0, ARow))
        return 0;
    return CellProperties(0, ARow)->NodeLevel() * FCellNode->NodeIndent();
}
