// The grid's window procedure: the edit-done message, the editors' change
// notifications, the wheel, the housekeeping timer, painting while the
// update count is raised, scrolling away from an editor, and the edit
// bracket the rest of the grid calls around every change of cells.
#include "grid/ProGrid.h"
#include "grid/editing/GridEditors.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/SysUtils.h"

namespace {
constexpr UINT_PTR HousekeepingTimer = 111;
constexpr UINT_PTR RowColMoveTimer = 1;
}  // namespace

// ---------------------------------------------------------------- the edit bracket
void TProStringGrid::BeginCellEdit()
{
    if (HasCellControl(RealColIndex(Col()), Row()))
        return;
    if (Row() < TopRow())
        SetTopRow(Row());
    if (Col() < LeftCol())
        SetLeftCol(Col());
    FEdit.BeginText = GetGridCell(RealColIndex(Col()), Row());
    ShowEditor();
}

void TProStringGrid::EndCellEdit()
{
    // The operations that change cells end the edit here and rely on no editor staying open.
    CloseCellEdit(false);
}

bool TProStringGrid::LeaveCellEdit()
{
    return CloseCellEdit(true);
}

bool TProStringGrid::CloseCellEdit(bool AReopenRefused)
{
    // An open form control of a cell ends with the edit.
    if (!FFormCtrl.Type.empty())
        HideCellFormControl();
    if (!FEdit.Flag && !FEdit.Active)
        return true;
    // An editor hidden by the standard grid alone left its edit to be concluded here.
    if (FEdit.Flag) {
        HideEditor();
        HideInplaceEditor(Col(), Row());
        FEdit.Flag = false;
        FEdit.Chosen = false;
        SetEditorVisibleFlag(false);
    }
    // The editor's value is in the cell now: the edit concludes on it.
    const bool accepted = !FEdit.Active || ConcludeCellEdit(AReopenRefused);
    if (!accepted && AReopenRefused)
        return false;
    SelectCell(Col(), Row());
    return accepted;
}

void TProStringGrid::EllipsClick(const AnsiString& Text, AnsiString& NewText)
{
    NewText = Text;
    if (OnEllipsClick)
        OnEllipsClick(this, Col(), Row(), NewText);
}

// ---------------------------------------------------------------- window procedure
void TProStringGrid::WndProc(TMessage& Message)
{
    HintMessage(Message);
    if (!(ComponentState() & csDestroying) && EditWndProc(Message))
        return;
    const TGridRect before = Selection();
    TBaseGrid::WndProc(Message);
    if (ComponentState() & csDestroying)
        return;
    const TGridRect after = Selection();
    if (!(after == before))
        SelectionChanged(after.Left, after.Top, after.Right, after.Bottom);
}

bool TProStringGrid::EditWndProc(TMessage& Message)
{
    const bool runTime = !(ComponentState() & csDesigning);
    if (Message.Msg == GridEditDoneMessage()) {
        EditDoneMessage(Message);
        return true;
    }
    if (PanMessage(Message))
        return true;
    switch (Message.Msg) {
    case WM_DESTROY:
        if (runTime && HandleAllocated()) {
            if (FGridUniCombo)
                FGridUniCombo->Items()->Clear();
            // The window goes with its drop target; a new window registers one again.
            DoneDragDrop();
            KillTimer(this, HousekeepingTimer);
        }
        return false;
    case WM_CANCELMODE:
        if ((GridState() == gsRowMoving || GridState() == gsColMoving) && Cursor() == crDrag && FP.EnhRowColMove) {
            EndRowColMove();
            SetCursor(crDefault);
            delete FMouse.MoveImage;
            FMouse.MoveImage = nullptr;
            SetGridState(gsNormal);
        }
        return false;
    case WM_SIZE:
    case WM_LBUTTONUP:
    case CM_UIACTIVATE:
        if (runTime) {
            UpdateVertScrollRange();
            UpdateHorzScrollRange();
        }
        return false;
    case WM_THEMECHANGED:
        if (FP.AutoThemeAdapt)
            ThemeAdapt();
        return false;
    case WM_COMMAND: {
        TWinControl* from = FindControl(HWND(Message.LParam));
        if (from && from == InplaceEditor() && HIWORD(Message.WParam) == TInplaceEdit::EditChangeCode) {
            EditChangeCommand(Message);
            return true;
        }
        if (from && from != this && from->Parent() == this && from != InplaceEditor()) {
            Message.Result = SendMessage(from->Handle(), WM_COMMAND, Message.WParam, Message.LParam);
            if (from == FGridCombo)
                FGridCombo->Notified(HIWORD(Message.WParam));
            else if (from == FGridUniCombo)
                FGridUniCombo->Notified(HIWORD(Message.WParam));
            return true;
        }
        return false;
    }
    case WM_MOUSEWHEEL:
        if (FEdit.Panning)
            return false;
        WheelTurned(Message);
        return true;
    case CM_CURSORCHANGED:
        TBaseGrid::WndProc(Message);
        // A cursor set from outside ends the hover mode and is the one to come back to.
        if (!FEdit.HoverJustSet)
            FEdit.HoverMode = 0, FEdit.HoverOwn = false;
        FEdit.HoverJustSet = false;
        return true;
    case CM_COLORCHANGED:
        TBaseGrid::WndProc(Message);
        if (FFloatingFooter->Visible())
            FFooterPanel->Invalidate();
        return true;
    default: return false;
    }
}

void TProStringGrid::EditDoneMessage(TMessage& Message)
{
    if (OnEditCellDone)
        OnEditCellDone(this, int(Message.WParam), int(Message.LParam));
    if (FMouseActions->EditOnDblClickOnly()) {
        EndCellEdit();
        FEdit.Flag = false;
        SetOptions(Options() & ~goEditing);
    }
}

void TProStringGrid::EditChangeCommand(TMessage&)
{
    FollowEditorText(InplaceEditor());
}

void TProStringGrid::FollowEditorText(TWinControl* Editor)
{
    if (!FEdit.LiveEdit || !Editor || !Editor->HandleAllocated() || (ControlState() & csLButtonDown) ||
        !(Options() & goEditing))
        return;
    SendMessage(Editor->Handle(), WM_SETREDRAW, 0, 0);
    SetEditText(Col(), Row(), Editor->Text());
    SendMessage(Editor->Handle(), WM_SETREDRAW, 1, 0);
}

void TProStringGrid::WheelTurned(TMessage& Message)
{
    const TShiftState shift = KeysToShiftState(LOWORD(Message.WParam));
    const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    Message.Result = 1;
    // The control's own wheel handling comes first: OnMouseWheel and the wheel overrides (which move
    // the current row unless the wheel scrolls or zooms).
    if (delta == 0 || Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0)
        return;
    const bool towardsUser = delta < 0;
    if ((shift & ssCtrl) && FP.IntelliZoom) {
        Zoom(towardsUser ? FWheelScrollLines : -FWheelScrollLines);
        return;
    }
    const int step = WheelStep();
    const int firstRow = FixedRows();
    if (step == 0 || FMouseActions->WheelAction() != waScroll)
        return;
    BeginUpdate();
    const int maxTop = std::max(firstRow, RowCount() - VisibleRowCount());
    const int top = std::clamp(TopRow() + (towardsUser ? step : -step), firstRow, maxTop);
    if (top != TopRow())
        SetTopRow(top);
    EndUpdate();
}

int TProStringGrid::WheelStep()
{
    if (!FP.EnableWheel || (FP.FixedRowAlways && RowCount() <= TBaseGrid::FixedRows()) ||
        RowCount() - FixedFooters() - 1 < FixedRows())
        return 0;
    return FMouseActions->WheelIncrement() > 0 ? FMouseActions->WheelIncrement() : FWheelScrollLines;
}

// ---------------------------------------------------------------- timer, painting, scrolling
void TProStringGrid::WMTimer(TWMTimer& Message)
{
    if (Message.TimerID() == 999 && FEdit.Panning) {
        PanTick();
        return;
    }
    if (Message.TimerID() == RowColMoveTimer) {
        MoveScrollTick();
        return;
    }
    if (Message.TimerID() != HousekeepingTimer) {
        TBaseGrid::WMTimer(Message);
        return;
    }
    ++FEdit.Ticks;
    if (FNavigation->AutoGotoIncremental() && ++FEdit.SearchTicks >= 4) {
        FEdit.SearchText.clear();
        FEdit.SearchTicks = 0;
    }
    if (FP.Hovering && !(ComponentState() & csDesigning) && Visible()) {
        TPoint screen;
        GetCursorPos(screen);
        TPoint p = ScreenToClient(screen);
        if (PtInRect(ClientRect(), p)) {
            TGridCoord cell = MouseCoord(p.X, p.Y);
            if (cell.X >= FixedCols() && cell.Y >= FixedRows() && cell.X < ColCount() && cell.Y < RowCount()) {
                if (!Focused() && CanFocus())
                    SetFocus();
                if (cell.X != Col() || cell.Y != Row())
                    FocusCell(cell.X, cell.Y, true);
            }
        }
    }
    if (FP.EnableBlink) {
        FEdit.BlinkPhase = !FEdit.BlinkPhase;
        const int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
        const int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
        auto blink = [this](int c, int r) {
            if (UpperCase(GetGridCell(RealColIndex(c), r)).find("<BLI") != AnsiString::npos)
                RepaintCell(c, r);
        };
        for (int r = TopRow(); r <= lastRow; ++r)
            for (int c = LeftCol(); c <= lastCol; ++c)
                blink(c, r);
        for (int r = 0; r < FixedRows(); ++r)
            for (int c = LeftCol(); c <= lastCol; ++c)
                blink(c, r);
        for (int c = 0; c < FixedCols(); ++c)
            for (int r = TopRow(); r <= lastRow; ++r)
                blink(c, r);
    }
}

void TProStringGrid::WMPaint(TMessage& Message)
{
    if (FUpdateCount > 0) {
        Message.Result = 0;
        return;
    }
    if (!FEdit.Painted) {
        FEdit.Painted = true;
        if (!TabStop())
            UpdateVertScrollRange();
    }
    TBaseGrid::WMPaint(Message);
}

void TProStringGrid::MouseLeft()
{
    FEdit.HSplit = FEdit.VSplit = false;
    FMouse.UrlCursor = false;
    RestoreGridCursor();
    if (FHoverCol < 0 || FHoverRow < 0)
        return;
    const bool fixed = FHoverRow < FixedRows() || FHoverCol < FixedCols();
    if (fixed && FP.HoverFixedCells != hfNone && !FMouse.MenuActive)
        SetHoverFixedCell(-1, -1, false);
    else if (!fixed && FP.Look == glListView)
        RepaintCell(FHoverCol, FHoverRow);
}

void TProStringGrid::WMEraseBkgnd(TMessage& Message)
{
    // The grid paints every pixel itself.
    Message.Result = 0;
}

void TProStringGrid::TopLeftChanged()
{
    // Scrolled down with the search footer shown, the current cell does not stay under its panel.
    if (FSearchFooter->Visible() && FSearchPanel && TopRow() > FEdit.LastTopRow && !FEdit.InTopLeft) {
        const TRect cell = CellRect(Col(), Row());
        if (!IsRectEmpty(cell) && cell.Bottom > SearchPanelTop() && TopRow() + 1 < RowCount()) {
            FEdit.InTopLeft = true;
            SetTopRow(TopRow() + 1);
            FEdit.InTopLeft = false;
        }
    }
    TBaseGrid::TopLeftChanged();
    if (FP.SelectionRectangle && Selection().Bottom > Selection().Top)
        Invalidate();
    // A special editor does not travel with the cells.
    if (FEdit.Flag && FEdit.ShownByGrid && !IsTextEditor(FEdit.Type))
        EndCellEdit();
    SyncFlatBar(SB_HORZ);
    SyncFlatBar(SB_VERT);
    PositionCellControls();
    FEdit.LastLeftCol = LeftCol();
    FEdit.LastTopRow = TopRow();
}
