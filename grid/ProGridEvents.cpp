// TProStringGrid: the small hooks of the grid's services and the
// notifications they fire.
#include "grid/ProGrid.h"

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
