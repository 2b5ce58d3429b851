// TProStringGrid: column stretching, proportional column and row sizing, the
// fixed footer rows and right columns, and small cell questions.
#include <algorithm>
#include <cmath>

#include "grid/PictureContainer.h"
#include "grid/ProGrid.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"
#include "platform/core/SysUtils.h"

// ---------------------------------------------------------------- stretching
void TProStringGrid::StretchColumn(int ACol)
{
    if (ComponentState() & (csLoading | csDestroying))
        return;
    if (ACol == -1)
        ACol = ColCount() - 1;
    if (ACol >= ColCount() || ACol < 0)
        throw Exception("Stretch column index out of range");
    if (ColCount() == 0 || !FColumnSize->Stretch())
        return;
    if (FStretching) {
        FStretchPending = true;
        return;
    }
    FStretching = true;
    try {
        int client = ClientRect().Width();
        FStretchedWidth = client;
        if (ColCount() == 1) {
            SetColWidths(0, client);
        } else {
            int sum = 0;
            for (int c = 0; c < ColCount(); ++c)
                if (c != ACol)
                    sum += ColWidths(c);
            if (client > sum)
                SetColWidths(ACol, client - sum - 1);
            else if (LeftCol() == FixedCols())
                SetColWidths(ACol, DefaultColWidth());
        }
    } catch (...) {
        FStretching = false;
        throw;
    }
    FStretching = false;
    if (FFloatingFooter->Visible() && FFooterPanel)
        FFooterPanel->SetAlign(alBottom);
}

// ---------------------------------------------------------------- size notifications
void TProStringGrid::SizeChanged(int OldColCount, int OldRowCount)
{
    if (!Parent() || (ComponentState() & (csLoading | csReading))) {
        TBaseGrid::SizeChanged(OldColCount, OldRowCount);
        return;
    }
    if (FColumnSize->Stretch())
        StretchColumn(FColumnSize->StretchColumn());
    TBaseGrid::SizeChanged(OldColCount, OldRowCount);
    UpdateFlatScrollBars();
}

void TProStringGrid::SnapshotColumnWidths()
{
    FRefColWidths.clear();
    for (int c = 0; c < ColCount(); ++c)
        FRefColWidths.push_back(ColWidths(c));
    FRefGridWidth = Width();
}

// Every column takes its reference width scaled by the grid's width against the reference width,
// always from the reference, so that sizing back and forth leaves no rounding behind. The grid's
// width is measured as the reference was. Columns added after the snapshot keep their widths.
void TProStringGrid::SynchColumnsWithGrid()
{
    if (FRefGridWidth <= 0 || !FColumnSize->SynchWithGrid() || (ComponentState() & (csLoading | csDestroying)))
        return;
    EndCellEdit();
    const int count = std::min(ColCount(), int(FRefColWidths.size()));
    for (int c = 0; c < count; ++c) {
        if (FRefColWidths[c] < 0)
            continue;
        int w = int(std::lround(double(FRefColWidths[c]) * Width() / FRefGridWidth));
        if (w != ColWidths(c))
            SetColWidths(c, w);
    }
}

void TProStringGrid::WMSize(TWMSize& Message)
{
    SynchColumnsWithGrid();
    TBaseGrid::WMSize(Message);
    if (Parent() && !(ComponentState() & (csLoading | csReading)) && FColumnSize->Stretch())
        StretchColumn(FColumnSize->StretchColumn());
}

// Every other scrolling column (row) takes the factor by which the sized one changed.
void TProStringGrid::ScaleOtherColumns(int ACol, int OldWidth, int NewWidth)
{
    for (int c = FixedCols(); c < ColCount(); ++c)
        if (c != ACol)
            SetColWidths(c, int(std::lround(double(ColWidths(c)) * NewWidth / OldWidth)));
}

void TProStringGrid::ScaleOtherRows(int ARow, int OldHeight, int NewHeight)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (r != ARow)
            SetRowHeights(r, int(std::lround(double(RowHeights(r)) * NewHeight / OldHeight)));
}

void TProStringGrid::ColWidthsChanged()
{
    if (FStretchPending && !FStretching) {
        FStretchPending = false;
        StretchColumn(FColumnSize->StretchColumn());
    }
    if (ComponentState() & csDesigning)
        HideScrollHint();
    TBaseGrid::ColWidthsChanged();
    if (FSizingCol >= 0 && FSizingCol < ColCount()) {
        int col = FSizingCol, oldWidth = FSizingColWidth;
        FSizingCol = -1;
        FSizingRow = -1;
        if (FMouseActions->AllColumnSize() && oldWidth >= 1) {
            FStretching = true;   // the stretch column takes what rounding leaves, once, below
            try {
                ScaleOtherColumns(col, oldWidth, ColWidths(col));
            } catch (...) {
                FStretching = false;
                throw;
            }
            FStretching = false;
            FStretchPending = false;
            if (FColumnSize->Stretch())
                StretchColumn(FColumnSize->StretchColumn());
        }
        if (OnEndColumnSize)
            OnEndColumnSize(this, col);
        int w = ColWidths(col);
        UpdateColumnSize(col, w);
        if (w != ColWidths(col))
            SetColWidths(col, w);
    }
    SizingChangeDone();
}

void TProStringGrid::SizingChangeDone()
{
    FSizingCol = -1;
    FSizingRow = -1;
    MoveSpecialEditorWithCell();
    // Controls placed in cells stay on their cells when columns or rows change size.
    if (!(ComponentState() & csDestroying))
        PositionCellControls();
    auto* g = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(RealColIndex(Col()), Row()));
    if (g && IsCheckBoxType(g->CellType))
        HideEditor();
    if (FFooterPanel)
        FFooterPanel->Invalidate();
    if (FColumnSize->Stretch() && FP.ScrollProportional)
        UpdateVertScrollRange();
}

void TProStringGrid::RowHeightsChanged()
{
    TBaseGrid::RowHeightsChanged();
    if (FSizingRow >= 0 && FSizingRow < RowCount()) {
        int row = FSizingRow, oldHeight = FSizingRowHeight;
        FSizingRow = -1;
        FSizingCol = -1;
        if (FMouseActions->AllRowSize() && oldHeight >= 1)
            ScaleOtherRows(row, oldHeight, RowHeights(row));
        if (OnEndRowSize)
            OnEndRowSize(this, row);
    }
    SizingChangeDone();
}

void TProStringGrid::UpdateColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

void TProStringGrid::UpdateColumnSizeAlt(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

// ---------------------------------------------------------------- fixed cells
bool TProStringGrid::IsFixed(int ACol, int ARow)
{
    const TGridCoord base = ShownBaseCell(ACol, ARow);
    return InFixedFootersOrRightCols(base.X, base.Y) || IsFixedCell(RealColIndex(base.X), base.Y);
}

bool TProStringGrid::InFixedFootersOrRightCols(int ADisplayCol, int ARow) const
{
    return (FP.FixedFooters > 0 && ARow >= RowCount() - FP.FixedFooters) ||
           (FP.FixedRightCols > 0 && ADisplayCol >= ColCount() - FP.FixedRightCols && ADisplayCol <= ColCount() - 1);
}

bool TProStringGrid::IsFixedSizingPos(int X, int Y)
{
    TGridCoord c = MouseCoord(X, Y);
    if (c.X < 0 || c.Y < 0)
        return false;
    TRect r = CellRect(c.X, c.Y);
    if ((Options() & goColSizing) && c.Y <= FixedRows())
        if (std::abs(X - r.Left) <= 4 || std::abs(X - r.Right) <= 4)
            return true;
    if ((Options() & goRowSizing) && c.X <= FixedCols())
        if (std::abs(Y - r.Top) <= 4 || std::abs(Y - r.Bottom) <= 4)
            return true;
    return false;
}

// ---------------------------------------------------------------- cell questions
bool TProStringGrid::IsEditable(int ACol, int ARow)
{
    bool editing = (Options() & goEditing) || FMouseActions->RangeSelectAndEdit() || FNavigation->AlwaysEdit();
    if (!editing)
        return false;
    // Editing is on by one of the three; the cell's read-only mark and OnCanEditCell decide the rest.
    // Fixed footer rows and fixed right columns are never edited (nor pasted into).
    TPoint base = GetBaseCell(ACol, ARow);
    const bool readOnly = HasCellProperties(base.X, base.Y) && CellProperties(base.X, base.Y)->ReadOnly();
    return !readOnly && CanEditCell(base.X, base.Y) && !IsFixedCell(base.X, base.Y) &&
           !InFixedFootersOrRightCols(DisplayColIndex(base.X), base.Y);
}

bool TProStringGrid::IsEditableOnRequest(int ACol, int ARow)
{
    struct Restore {
        TMouseActions* Actions;
        bool Old;
        ~Restore() { Actions->SetRangeSelectAndEdit(Old); }
    } restore{FMouseActions.get(), FMouseActions->RangeSelectAndEdit()};
    FMouseActions->SetRangeSelectAndEdit(true);
    return IsEditable(ACol, ARow);
}

void TProStringGrid::ScreenToCell(TPoint ScreenPoint, int& ACol, int& ARow)
{
    TPoint p = ScreenToClient(ScreenPoint);
    MouseToCell(p.X, p.Y, ACol, ARow);
}

void TProStringGrid::SetSelection(const TGridRect& R)
{
    TBaseGrid::SetSelection(R);
    if (FP.ActiveCellShow) {
        RepaintRow(0);
        RepaintCol(0);
    }
}

// Told when the image list goes, also while the window that owns it and the grid goes.
void TProStringGrid::SetGridImages(TImageList* v)
{
    SetReference(FGridImages, v);
    Invalidate();
}

void TProStringGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        if (AComponent == static_cast<TComponent*>(FGridImages))
            FGridImages = nullptr;
        if (AComponent == static_cast<TComponent*>(FPictureContainer))
            FPictureContainer = nullptr;
        if (AComponent == FCellChecker)
            FCellChecker = nullptr;
        if (FEditLink && AComponent == FEditLinkComponent())
            FEditLink = nullptr;
        if (AComponent == static_cast<TComponent*>(FEditLinkControl))
            FEditLinkControl = nullptr;
        if (AComponent == static_cast<TComponent*>(FFixedDropDownMenu))
            FFixedDropDownMenu = nullptr;
    }
    TBaseGrid::Notification(AComponent, Operation);
}
