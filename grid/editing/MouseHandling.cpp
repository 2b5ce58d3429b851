// The grid's own answer to the mouse before the standard grid's selection and
// sizing: presses and releases of the left and right buttons, double clicks,
// moves (hover states, sizing of fixed columns and rows, the sizing hint) and
// sorting by a header click.
#include "grid/ProGrid.h"
#include "grid/ProHint.h"
#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"

namespace {
constexpr int BorderMargin = 4;
}  // namespace

// ---------------------------------------------------------------- helpers
Byte TProStringGrid::HoverStateAt(int X, int Y)
{
    const TGridCoord c = MouseCoord(X, Y);
    if (c.X < 0 || c.Y < 0)
        return 0;
    const bool fixedRow = c.Y < FixedRows(), fixedCol = c.X < FixedCols();
    if (fixedRow && fixedCol)
        return FMouseActions->AllSelect() ? 3 : 0;
    if (fixedRow && FMouseActions->ColSelect() && !IsFixedSizingPos(X, Y))
        return 1;
    if (fixedCol && FMouseActions->RowSelect() && !IsFixedSizingPos(X, Y))
        return 2;
    return 0;
}

void TProStringGrid::ShowSizingHint(const AnsiString& Text, int X, int Y)
{
    FMouse.SizingHint = Text;
    if (!FHintWindow)
        return;
    const TPoint p = ClientToScreen(TPoint(X, Y));
    const TRect r = FHintWindow->CalcHintRect(100, Text);
    FHintWindow->SetColor(FP.HintColor);
    FHintWindow->ActivateHint(TRect(p.X + 10, p.Y, p.X + 10 + r.Width(), p.Y + r.Height()), Text);
}

void TProStringGrid::HideSizingHint()
{
    if (FMouse.SizingHint.empty())
        return;
    FMouse.SizingHint.clear();
    if (FHintWindow)
        FHintWindow->ReleaseHint();
}

bool TProStringGrid::IsHoverFixedCell(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return false;
    const bool fixedRow = ARow < FixedRows(), fixedCol = ACol < FixedCols();
    switch (FP.HoverFixedCells) {
    case hfAll: return fixedRow || fixedCol;
    case hfFixedRows: return fixedRow;
    case hfFixedColumns: return fixedCol;
    default: return false;
    }
}

bool TProStringGrid::FixedButtonLook()
{
    const TGridOptions lines = goFixedVertLine | goFixedHorzLine;
    return FP.FixedAsButtons && (Options() & lines) == lines && Ctl3D();
}

void TProStringGrid::FixedDropDown(int ACol, int ARow)
{
    TPopupMenu* menu = FFixedDropDownMenu;
    if (menu)
        menu->SetTag(ACol);
    if (OnFixedDropDownClick)
        OnFixedDropDownClick(this, ACol, ARow, menu);
    // The press was the button's: no sizing or moving follows it.
    SetGridState(gsNormal);
    FMouse.MenuActive = true;
    SetHoverFixedCell(ACol, ARow, true);
    if (menu) {
        const TRect r = CellRect(ACol, ARow);
        const TPoint p = ClientToScreen(TPoint(r.Right - 16, r.Bottom));
        menu->Popup(p.X, p.Y);
    }
    FMouse.MenuActive = false;
    SetHoverFixedCell(ACol, ARow, false);
}

// ---------------------------------------------------------------- moving columns and rows
namespace {
constexpr UINT_PTR MoveScrollTimer = 1;
constexpr UINT MoveScrollInterval = 60;
}  // namespace

void TProStringGrid::MoveScrollCheck(int X, int Y)
{
    const TRect client = ClientRect();
    const bool outside = GridState() == gsColMoving ? X < FixedWidth() || X >= client.Right
                                                    : Y < FixedHeight() || Y >= client.Bottom;
    if (outside == FMouse.MoveScrolling)
        return;
    FMouse.MoveScrolling = outside;
    if (outside)
        SetTimer(this, MoveScrollTimer, MoveScrollInterval);
    else
        KillTimer(this, MoveScrollTimer);
}

void TProStringGrid::MoveScrollTick()
{
    if (GridState() != gsColMoving && GridState() != gsRowMoving) {
        EndRowColMove();
        return;
    }
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    const TRect client = ClientRect();
    if (GridState() == gsColMoving) {
        if (p.X >= client.Right && LeftCol() + VisibleColCount() < ColCount())
            SetLeftCol(LeftCol() + 1);
        else if (p.X < FixedWidth() && LeftCol() > FixedCols())
            SetLeftCol(LeftCol() - 1);
    } else {
        if (p.Y >= client.Bottom && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
        else if (p.Y < FixedHeight() && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
    }
}

void TProStringGrid::EndRowColMove()
{
    if (FMouse.MoveScrolling) {
        FMouse.MoveScrolling = false;
        KillTimer(this, MoveScrollTimer);
    }
    if (FMouse.MoveCursorSet) {
        FMouse.MoveCursorSet = false;
        SetCursor(FMouse.CursorBeforeMove);
    }
}

// ---------------------------------------------------------------- selection resizer
bool TProStringGrid::OnResizerHandle(int X, int Y)
{
    if (!FP.SelectionResizer || !FP.SelectionRectangle)
        return false;
    const TGridRect sel = Selection();
    const TRect r = CellRect(sel.Right, sel.Bottom);
    return !IsRectEmpty(r) && X >= r.Right - 6 && X <= r.Right && Y >= r.Bottom - 6 && Y <= r.Bottom;
}

bool TProStringGrid::StartSelectionResize(TWMMouse& Message)
{
    if (!OnResizerHandle(Message.XPos(), Message.YPos()) && !(FMouse.Hover == 5 && FP.SelectionResizer))
        return false;
    const TGridRect sel = Selection();
    const int col = Col(), row = Row();
    FMouse.ResizeFrom = sel;
    CopySelection();
    FMouse.Resizing = true;
    if (!(Options() & goEditing))
        TBaseGrid::WMLButtonDown(Message);
    SetGridState(gsSelecting);
    FocusCell(sel.Left, sel.Top, true);
    FocusCell(col, row, false);
    SetSelection(sel);
    Message.SetResult(1);
    return true;
}

void TProStringGrid::EndSelectionResize()
{
    FMouse.Resizing = false;
    const TGridRect from = FMouse.ResizeFrom, to = Selection();
    if (OnSelectionResize)
        OnSelectionResize(this, from, to);
    // The paste writes every cell of the new selection, editing on or not.
    const bool always = FNavigation->AllowClipboardAlways();
    FNavigation->SetAllowClipboardAlways(true);
    PasteSelection();
    FNavigation->SetAllowClipboardAlways(always);
    if (OnSelectionResized)
        OnSelectionResized(this, from, to);
}

// ---------------------------------------------------------------- left button down
void TProStringGrid::NoteSpinArrowPress(int ACol, int ARow, int X, int Y)
{
    bool up = false, down = false;
    if (ACol >= FixedCols() && ARow >= FixedRows() && FControlLook->SpinButtonsAlwaysVisible() &&
        HasSpinEdit(RealColIndex(ACol), ARow)) {
        // The arrows as painted: the cell's right 16 pixels, up above the middle, down below.
        const TRect r = CellRect(ACol, ARow);
        if (X >= r.Right - 16 && X < r.Right) {
            up = Y < (r.Top + r.Bottom) / 2 - 1;
            down = !up;
        }
    }
    SetSpinRequest(up, down);
}

// A press on a border started sizing: the column (row) and the press's distance to its border.
void TProStringGrid::NoteSizingStart(int X, int Y)
{
    if (GridState() != gsColSizing && GridState() != gsRowSizing)
        return;
    TGridState state;
    int index = -1, pos = 0, ofs = 0;
    // The standard grid's answer: the press already asked OnColumnSize (OnRowSize).
    TBaseGrid::CalcSizingState(X, Y, state, index, pos, ofs);
    FMouse.FixedSizeIndex = index;
    FMouse.SizingOfs = GridState() == gsColSizing ? pos - X : pos - Y;
}

bool TProStringGrid::NodeClick(int ACol, int ARow, int X)
{
    if (ACol != 0 || !HasNodes())
        return false;
    const int realRow = RealRowIndex(ARow);
    if (!IsNodeRow(ARow) || !IsNodeGlyphHit(ARow, X))
        return false;
    if (ARow < FixedRows()) {
        // The header's node opens every node when it shows them closed, and closes them all otherwise.
        if (!FMouseActions->NodeAllExpandContract())
            return false;
        TCellGraphic* header = GetCellGraphic(0, ARow);
        const bool contracted = header->CellBoolean;
        if (contracted)
            ExpandAll();
        else
            ContractAll();
        header->CellBoolean = !contracted;
        RepaintCell(0, ARow);
        return true;
    }
    bool allow = true;
    if (!GetNodeState(realRow)) {
        if (OnBeforeContractNode)
            OnBeforeContractNode(this, ARow, allow);
        if (allow) {
            ContractNode(realRow);
            if (OnContractNode)
                OnContractNode(this, ARow);
        }
    } else {
        if (OnBeforeExpandNode)
            OnBeforeExpandNode(this, ARow, allow);
        if (allow) {
            ExpandNode(realRow);
            if (OnExpandNode)
                OnExpandNode(this, ARow);
        }
    }
    if (FMouseActions->MoveRowOnNodeClick())
        SetRow(ARow);
    return true;
}

bool TProStringGrid::FixedSelectClick(int ACol, int ARow, TShiftState Shift)
{
    TGridRect sel;
    switch (FMouse.Hover) {
    case 3:
        if (CanFocus())
            SetFocus();
        sel.Left = FixedCols();
        sel.Top = FixedRows();
        sel.Right = ColCount() - 1;
        sel.Bottom = RowCount() - 1;
        SetSelection(sel);
        RangeSelected(sel);
        return true;
    case 2:
    case 1: {
        EndCellEdit();
        if (CanFocus())
            SetFocus();
        if (FMouseActions->DisjunctCellSelect())
            FSelectedCells.clear();
        const TGridRect old = Selection();
        // The row (column) where a drag along the fixed cells selects from.
        FMouse.SelectDrag = FMouse.Hover;
        if (FMouse.Hover == 2)
            FMouse.SelectDragStart = (Shift & ssShift) ? old.Top : ARow;
        else
            FMouse.SelectDragStart = (Shift & ssShift) ? old.Left : ACol;
        DragFixedSelection(FMouse.Hover == 2 ? ARow : ACol);
        if (FP.ActiveCellShow)
            RepaintActiveCellHeaders(old.Left, old.Top, Col(), Row());
        return true;
    }
    default: return false;
    }
}

void TProStringGrid::DragFixedSelection(int AIndex)
{
    const bool rows = FMouse.SelectDrag == 2;
    const int start = FMouse.SelectDragStart;
    TGridRect sel;
    if (rows) {
        AIndex = std::clamp(AIndex, FixedRows(), RowCount() - 1);
        sel = TGridRect(FixedCols(), std::min(start, AIndex), ColCount() - 1, std::max(start, AIndex));
    } else {
        AIndex = std::clamp(AIndex, FixedCols(), ColCount() - 1);
        sel = TGridRect(std::min(start, AIndex), FixedRows(), std::max(start, AIndex), RowCount() - 1);
    }
    if (Selection() == sel)
        return;
    SetSelection(sel);
    Invalidate();
}

bool TProStringGrid::CheckBoxClick(int ACol, int ARow, int X, int Y, TShiftState Shift)
{
    const int realCol = RealColIndex(ACol);
    if (!HasCheckBox(realCol, ARow))
        return false;
    if (FMouseActions->PreciseCheckBoxCheck() && !IsCheckBoxHit(realCol, ARow, X, Y))
        return false;
    const bool fixedRow = ARow < FixedRows();
    if (!IsEditable(realCol, ARow) && !FControlLook->CheckAlwaysActive() &&
        !(fixedRow && FMouseActions->CheckAllCheck()))
        return false;
    EndCellEdit();
    ToggleCheckBox(realCol, ARow, false);
    bool state = false;
    GetCheckBoxState(realCol, ARow, state);
    if (FShowModified->Enabled()) {
        SetRowModified(ARow, true);
        RepaintCell(0, ARow);
    }
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, realCol, ARow, state);
    if (FMouseActions->HotmailRowSelect() && ACol == 0 && !fixedRow) {
        TGridRect sel;
        sel.Left = FixedCols();
        sel.Right = ColCount() - 1;
        sel.Top = sel.Bottom = ARow;
        SetSelection(sel);
        SetShownRowSelect(ARow, !GetShownRowSelect(ARow));
        if (ARow == Row() && !GetShownRowSelect(ARow))
            HideSelection();
    }
    if (fixedRow && FMouseActions->CheckAllCheck()) {
        if (state)
            CheckAll(realCol);
        else
            UnCheckAll(realCol);
    }
    if (OnMouseDown)
        OnMouseDown(this, mbLeft, Shift, X, Y);
    return false;
}

// A press on a selected cell (or, with column drags, on a header) arms a drag to other programs;
// it starts at the next move of more than 3 pixels.
bool TProStringGrid::ArmOleDrag(int ACol, int ARow, int X)
{
    FMouse.OleArmed = FMouse.OleColumn = false;
    const int realCol = RealColIndex(ACol);
    // The enhanced moving of columns and rows keeps the press for itself.
    if (!FDragDropSettings->OleDropSource() || FP.EnhRowColMove || (Options() & goEditing) ||
        HasButton(realCol, ARow) || HasCheckBox(realCol, ARow))
        return false;
    const bool column = ARow < FixedRows() && ACol >= FixedCols() && FDragDropSettings->OleColumnDragDrop();
    if (!column && !IsSelected(ACol, ARow))
        return false;
    const TRect r = CellRect(ACol, ARow);
    if ((Options() & goColSizing) && (X - r.Left <= BorderMargin || r.Right - X <= BorderMargin))
        return false;
    FMouse.OleArmed = true;
    FMouse.OleColumn = column;
    return true;
}

void TProStringGrid::WMLButtonDown(TWMMouse& Message)
{
    const int X = Message.XPos(), Y = Message.YPos();
    const TShiftState shift = KeysToShiftState(Message.Keys());
    FMouse.Pressed = true;
    FMouse.Moved = false;
    FMouse.MoveAsked = false;
    FMouse.Down = TPoint(X, Y);
    TGridCoord c = MouseCoord(X, Y);
    FMouse.DownCell = TPoint(c.X, c.Y);
    FMouse.DownLeftCol = LeftCol();
    FMouse.DownTopRow = TopRow();
    FMouse.Hover = HoverStateAt(X, Y);
    if (StartSelectionResize(Message))
        return;

    if (c.X >= 0 && c.Y >= 0 && OnCanClickCell) {
        bool allow = true;
        OnCanClickCell(this, c.Y, c.X, allow);
        if (!allow)
            return;
    }
    if (FMouseActions->DisjunctCellSelect() && !(shift & ssCtrl) && !FSelectedCells.empty()) {
        FSelectedCells.clear();
        Invalidate();
    }
    FEdit.SearchText.clear();
    if (FP.HoverFixedCells != hfNone && FHoverCol >= 0 && FHoverRow >= 0)
        RepaintCell(FHoverCol, FHoverRow);
    // The cell whose border a press beside it sizes: left of and above the pointer, along the header
    // row only leftwards and along the first column only upwards.
    const TGridCoord sizing = MouseCoord(c.Y != 0 && c.X == 0 ? X : X - 5, c.Y == 0 ? Y : Y - 4);
    FSizingCol = sizing.X;
    FSizingRow = sizing.Y;
    FSizingColWidth = sizing.X >= 0 ? ColWidths(sizing.X) : -1;
    FSizingRowHeight = sizing.Y >= 0 ? RowHeights(sizing.Y) : -1;

    if (c.X < 0 || c.Y < 0) {
        EndCellEdit();
        if (!FP.FixedRowAlways)
            TBaseGrid::WMLButtonDown(Message);
        return;
    }
    const TGridCoord base = ShownBaseCell(c.X, c.Y);
    c.X = base.X;
    c.Y = base.Y;
    const int realCol = RealColIndex(c.X);
    if (FMouseActions->CaretPositioning())
        SetCaretRequest(true);
    NoteSpinArrowPress(c.X, c.Y, X, Y);
    if (FMouse.FixedColHover) {
        FMouse.FixedColSizing = true;
        DrawColSizingLine(X);
        return;
    }
    if (FMouse.FixedRowHover) {
        FMouse.FixedRowSizing = true;
        DrawRowSizingLine(Y);
        return;
    }
    if (IsFixed(c.X, c.Y)) {
        EndCellEdit();
        // A fixed cell that looks like a button is drawn pressed until the release.
        const bool nodeGlyph = c.X == 0 && HasNodes() && IsNodeRow(c.Y) && IsNodeGlyphHit(c.Y, X);
        if (FixedButtonLook() && !nodeGlyph) {
            FMouse.PressedFixed = TPoint(c.X, c.Y);
            RepaintCell(c.X, c.Y);
        }
    }
    if (NodeClick(c.X, c.Y, X))
        return;
    if (HasRadio(realCol, c.Y) && (IsEditable(realCol, c.Y) || FControlLook->RadioAlwaysActive())) {
        EndCellEdit();
        SelectRadioAt(realCol, c.Y, X, Y);
        return;
    }
    if ((Options() & goRangeSelect) && FixedSelectClick(c.X, c.Y, shift))
        return;
    if (ArmOleDrag(c.X, c.Y, X)) {
        if (OnMouseDown)
            OnMouseDown(this, mbLeft, shift, X, Y);
        if (OnClickCell)
            OnClickCell(this, c.Y, c.X);
        return;
    }
    if (HasButton(realCol, c.Y)) {
        EndCellEdit();
        TRect r;
        GetCellButtonRect(c.X, c.Y, r);
        if (PtInRect(r, TPoint(X, Y))) {
            SetCellButtonDown(c.X, c.Y, true);
            FMouse.ButtonCell = TPoint(c.X, c.Y);
            if (OnClickCell)
                OnClickCell(this, c.Y, c.X);
            return;
        }
    }
    if (c.Y >= FixedRows() && (FMouseActions->DisjunctRowSelect() || FMouseActions->DisjunctColSelect())) {
        // A plain press paints what it drags over selected until its release (GetCellStyle).
        if (FMouseActions->DisjunctRowSelect() && !FMouseActions->HotmailRowSelect() && !(shift & ssCtrl))
            FPlainClick = true;
        auto disjunct = [&](bool Rows, int Index, int Current) {
            auto get = [&](int i) { return Rows ? GetShownRowSelect(i) : GetColSelect(i); };
            auto set = [&](int i, bool v) { Rows ? SetShownRowSelect(i, v) : SetColSelect(i, v); };
            if (shift & ssCtrl) {
                set(Index, !get(Index));
            } else if (shift & ssShift) {
                for (int i = std::min(Index, Current); i <= std::max(Index, Current); ++i)
                    set(i, true);
            } else {
                // With Alt the row marks stay until the release.
                if (!Rows || !(shift & ssAlt))
                    Rows ? ClearRowSelect() : ClearColSelect();
                set(Index, true);
            }
        };
        if (FMouseActions->DisjunctRowSelect() && c.X >= 0)
            disjunct(true, c.Y, Row());
        if (FMouseActions->DisjunctColSelect() && c.X >= FixedCols())
            disjunct(false, c.X, Col());
    }
    if (CellAnchorClick(c.X, c.Y, X, Y))
        return;
    if (CellFormControlClick(c.X, c.Y, X, Y))
        return;
    CheckBoxClick(c.X, c.Y, X, Y, shift);
    if (IsFixed(c.X, c.Y)) {
        // The standard press on a fixed cell only starts sizing or moving a column or row.
        TBaseGrid::WMLButtonDown(Message);
        NoteSizingStart(X, Y);
        if (OnClickCell)
            OnClickCell(this, c.Y, c.X);
        return;
    }
    // The floating footer's row takes no press.
    if (FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow && c.Y == RowCount() - 1)
        return;
    // A special editor loses its focus to the press and would end its edit as though the user had
    // gone elsewhere: the press on another cell concludes it as the user's own way out, and a refused
    // value keeps the user in the reopened editor (the press goes no further).
    if ((c.X != Col() || c.Y != Row()) && FEdit.Active && FEdit.Flag && FEdit.ShownByGrid &&
        !IsTextEditor(FEdit.Type) && !LeaveCellEdit())
        return;
    const bool keepScroll = (Options() & goRowSelect) && FNavigation->KeepHorizScroll();
    const int oldLeft = LeftCol(), oldTop = TopRow();
    // A row only partly in view: the press would scroll it in.
    const bool partialRow = c.Y >= TopRow() + VisibleRowCount();
    if (keepScroll)
        BeginUpdate();
    TBaseGrid::WMLButtonDown(Message);
    if (keepScroll) {
        SetLeftCol(oldLeft);
        EndUpdate();
    }
    if (FMouseActions->NoScrollOnPartialRow() && partialRow && TopRow() != oldTop)
        SetTopRow(oldTop);
    NoteSizingStart(X, Y);
    if (OnClickCell)
        OnClickCell(this, c.Y, c.X);

    const bool dataCell = c.X >= FixedCols() && c.Y >= FixedRows();
    if (dataCell && !HasCellControl(realCol, c.Y) && FMouseActions->DirectEdit() && IsEditable(realCol, c.Y) &&
        !(shift & (ssShift | ssCtrl))) {
        SetOptions(Options() | goEditing);
        // An editor the press opened on the cell keeps the focus (taking it would close the editor).
        const bool editorFocused = (InplaceEditor() && InplaceEditor()->Focused()) ||
                                   (FEdit.ActiveEditor && FEdit.ActiveEditor->Focused());
        if (!editorFocused && CanFocus())
            SetFocus();
        // The standard press asked already for the move it made; only a cell it left elsewhere is asked for.
        bool allow = true;
        const int curRow = Row(), curCol = Col();
        if (curRow != c.Y && OnRowChanging)
            OnRowChanging(this, curRow, c.Y, allow);
        if (allow && curCol != c.X && OnColChanging)
            OnColChanging(this, curCol, c.X, allow);
        if (allow && (curRow != c.Y || curCol != c.X) && OnCellChanging)
            OnCellChanging(this, curRow, curCol, c.Y, c.X, allow);
        if (allow) {
            // Made current again, the cell would end the edit the press opened on it.
            if (c.X != Col() || c.Y != Row())
                FocusCell(c.X, c.Y, true);
            if (!FEdit.Flag)
                RememberEditCell(c.X, c.Y);
            ShowEditor();
        }
    }
}

// ---------------------------------------------------------------- left button up
void TProStringGrid::HeaderClickSort(int ACol, int ARow, int X, TShiftState Shift)
{
    if (FMouse.DblClickSized) {
        FMouse.DblClickSized = false;
        return;
    }
    const TPoint down = FMouse.DownCell;
    if (ACol < 0 || ARow < 0 || down != TPoint(ACol, ARow) || FixedRows() <= 0 || ARow >= FixedRows() ||
        FMouse.Moved || !FSortSettings->Show() || RowCount() <= 2)
        return;
    if ((Options() & goColSizing) && IsFixedSizingPos(X, CellRect(ACol, ARow).Top + 1))
        return;
    const int col = RealColIndex(ACol);
    if (HasCheckBox(col, ARow) || IsIgnoredColumn(col))
        return;
    bool doSort = true;
    if (OnCanSort)
        OnCanSort(this, col, doSort);
    if (!doSort)
        return;
    EndCellEdit();
    if (FRowOrder.Count() != RowCount())
        ResetRowOrder();
    const bool grouped = FGroupColumn >= 0;
    const bool keepScroll = (Options() & goRowSelect) && FNavigation->KeepHorizScroll();
    const int oldLeft = LeftCol();
    if (keepScroll)
        BeginUpdate();
    if (FSortSettings->IndexShow()) {
        TSortIndexList* indexes = SortIndexes();
        const bool ascending = FSortSettings->InitSortDirection() == sdAscending;
        if (Shift & ssCtrl) {
            if (indexes->FindIndex(col) >= 0)
                indexes->ToggleIndex(col);
            else
                indexes->AddIndex(col, ascending);
        } else {
            const int at = indexes->FindIndex(col);
            const bool wasAscending = at >= 0 && indexes->IsAscending(at);
            indexes->Clear();
            indexes->AddIndex(col, at >= 0 ? !wasAscending : ascending);
        }
        if (grouped)
            SortGroupsIndexed();
        else
            SortRowsIndexed();
    } else {
        if (FSortSettings->Column() == col) {
            if (FSortSettings->UndoSort() && FSortSettings->Direction() == sdDescending) {
                UnSort();
                FSortSettings->SetColumn(-1);
            } else {
                FSortSettings->SetDirection(FSortSettings->Direction() == sdAscending ? sdDescending : sdAscending);
            }
        } else {
            FSortSettings->SetColumn(col);
            FSortSettings->SetDirection(FSortSettings->InitSortDirection());
        }
        if (FSortSettings->Column() >= 0) {
            if (grouped)
                SortGroups();
            else
                SortRows();
        }
    }
    if (keepScroll) {
        SetLeftCol(oldLeft);
        EndUpdate();
    }
    Invalidate();
    if (OnClickSort)
        OnClickSort(this, col);
}

void TProStringGrid::WMLButtonUp(TWMMouse& Message)
{
    const int X = Message.XPos(), Y = Message.YPos();
    const TShiftState shift = KeysToShiftState(Message.Keys());
    // OnClick is for a release on the cell of the press (the standard release below clicks).
    const TGridCoord releaseCell = MouseCoord(X, Y);
    FMouse.ClickOnPressCell = releaseCell.X >= 0 && releaseCell.Y >= 0 &&
                              TPoint(releaseCell.X, releaseCell.Y) == FMouse.DownCell;
    struct ClickAgain {
        TMouseState& M;
        ~ClickAgain() { M.ClickOnPressCell = true; }
    } clickAgain{FMouse};
    FMouse.Hover = 0;
    FMouse.OleArmed = false;
    FPlainClick = false;
    if (FEdit.ButtonDown) {   // a form-control button of a cell comes up
        FEdit.ButtonDown = false;
        RepaintCell(FEdit.ButtonCol, FEdit.ButtonRow);
    }
    delete FMouse.MoveImage;
    FMouse.MoveImage = nullptr;
    HideSizingHint();
    EndRowColMove();
    if (FMouse.PressedFixed.X >= 0) {
        const TPoint pressed = FMouse.PressedFixed;
        FMouse.PressedFixed = TPoint(-1, -1);
        RepaintCell(pressed.X, pressed.Y);
    }
    if (FMouse.FixedColSizing || FMouse.FixedRowSizing) {
        const bool cols = FMouse.FixedColSizing;
        const int index = FMouse.FixedSizeIndex;
        FMouse.FixedColSizing = FMouse.FixedRowSizing = false;
        Invalidate();
        int before = 0;
        for (int i = 0; i < index; ++i)
            before += cols ? ColWidths(i) : RowHeights(i);
        // Dragged left of (above) its own start the column (row) keeps no negative size. The end of
        // the sizing is told here, once: not again by the change of the width.
        int size = std::max(0, (cols ? X : Y) - before);
        FSizingCol = FSizingRow = -1;
        if (cols) {
            SetColWidths(index, size);
            if (OnEndColumnSize)
                OnEndColumnSize(this, index);
            if (OnUpdateColumnSize) {
                int width = size;
                OnUpdateColumnSize(this, index, width);
                if (width != size)
                    SetColWidths(index, std::max(0, width));
            }
        } else {
            SetRowHeights(index, size);
            if (OnEndRowSize)
                OnEndRowSize(this, index);
        }
        FMouse.Pressed = false;
        TBaseGrid::WMLButtonUp(Message);
        return;
    }
    TGridCoord c = MouseCoord(X, Y);
    FMouse.SelectDrag = 0;
    if (FMouse.ButtonCell.X >= 0) {
        const TPoint cell = FMouse.ButtonCell;
        FMouse.ButtonCell = TPoint(-1, -1);
        SetCellButtonDown(cell.X, cell.Y, false);
        TRect r;
        GetCellButtonRect(cell.X, cell.Y, r);
        const bool onCell = c.X >= 0 && c.Y >= 0 && ShownBaseCell(c.X, c.Y) == TGridCoord{cell.X, cell.Y};
        if (onCell && PtInRect(r, TPoint(X, Y)) && OnButtonClick)
            OnButtonClick(this, RealColIndex(cell.X), cell.Y);
    }
    TBaseGrid::WMLButtonUp(Message);
    FMouse.Pressed = false;
    // The press's arrow is used by the editor it opened, or by none.
    SetSpinRequest(false, false);
    if (FMouse.Resizing) {
        EndSelectionResize();
        return;
    }
    if (c.X < 0 || c.Y < 0)
        return;
    DisjunctRowColRelease(c.X, c.Y, shift);
    const int realCol = RealColIndex(c.X);
    if (HasCheckBox(realCol, c.Y) && OnCheckBoxMouseUp) {
        bool state = false;
        GetCheckBoxState(realCol, c.Y, state);
        OnCheckBoxMouseUp(this, realCol, c.Y, state);
    }
    if (HasRadio(realCol, c.Y) && OnRadioMouseUp) {
        int index = -1;
        GetRadioIndex(realCol, c.Y, index);
        OnRadioMouseUp(this, realCol, c.Y, index);
    }
    HeaderClickSort(c.X, c.Y, X, shift);
}

void TProStringGrid::DisjunctRowColRelease(int ACol, int ARow, TShiftState Shift)
{
    if (Shift & (ssCtrl | ssShift))
        return;
    if (FMouseActions->DisjunctRowSelect() && ARow >= FixedRows()) {
        ClearRowSelect();
        SetShownRowSelect(ARow, true);
        // A node row takes the rows it spans along.
        const int realRow = RealRowIndex(ARow);
        if (HasNodes() && IsNodeRow(ARow) && !GetNodeState(realRow))
            for (int r = ARow + 1; r < ARow + GetNodeSpan(realRow) && r < RowCount(); ++r)
                SetShownRowSelect(r, true);
    }
    if (FMouseActions->DisjunctColSelect() && ACol >= FixedCols()) {
        ClearColSelect();
        SetColSelect(ACol, true);
    }
}

void TProStringGrid::Click()
{
    if (FMouse.ClickOnPressCell)
        TBaseGrid::Click();
    // The clicked cell is the next edit cell; an edit under way keeps its own.
    if (!FEdit.Active)
        RememberEditCell(Col(), Row());
}

// ---------------------------------------------------------------- double click
void TProStringGrid::WMLButtonDblClk(TWMMouse& Message)
{
    const int X = Message.XPos(), Y = Message.YPos();
    const bool quiet = FMouseActions->RangeSelectAndEdit();
    if (quiet)
        FEdit.PassThrough = true;
    struct Quiet {
        TProStringGrid* G;
        bool On;
        ~Quiet() { if (On) G->FEdit.PassThrough = false; }
    } q{this, quiet};
    TGridCoord c = MouseCoord(X, Y);
    // The press that began this double click may have scrolled a partly shown row or column into
    // view: the pointer, where it was pressed, then lies over a neighbour of the cell the user
    // double-clicked, which is the cell pressed.
    if ((TopRow() != FMouse.DownTopRow || LeftCol() != FMouse.DownLeftCol) && FMouse.DownCell.X >= 0 &&
        FMouse.DownCell.Y >= 0)
        c = TGridCoord{FMouse.DownCell.X, FMouse.DownCell.Y};
    if (c.X < 0 && Y >= 0 && Y < FixedHeight() && FixedRows() > 0) {
        if (FP.FixedRowAlways) {
            TBaseGrid::WMLButtonDblClk(Message);
            return;
        }
        c.X = ColCount() - 1;
        c.Y = 0;
    }
    if (c.Y >= 0 && c.Y < FixedRows() && c.X >= 0 && (Options() & goColSizing) &&
        FMouseActions->AutoSizeColOnDblClick()) {
        const TRect r = CellRect(c.X, c.Y);
        int col = -1;
        if (X - r.Left <= BorderMargin)
            col = c.X - 1;
        else if (r.Right - X <= BorderMargin || X >= r.Right)
            col = c.X;
        if (col >= FixedCols()) {
            bool allow = true;
            if (OnColumnSize)
                OnColumnSize(this, col, allow);
            if (allow) {
                FSizingCol = FSizingRow = -1;   // the end is told below, once
                AutoSizeCol(col);
                if (OnEndColumnSize)
                    OnEndColumnSize(this, col);
            }
            FMouse.DblClickSized = true;
            return;
        }
    }
    if (c.X >= 0 && c.Y >= 0 && HasButton(RealColIndex(c.X), c.Y)) {
        TRect r;
        GetCellButtonRect(c.X, c.Y, r);
        if (PtInRect(r, TPoint(X, Y)))
            return;
    }
    TBaseGrid::WMLButtonDblClk(Message);
    if (c.X < 0 || c.Y < 0)
        return;
    if (OnDblClickCell)
        OnDblClickCell(this, c.Y, c.X);
    const int realCol = RealColIndex(c.X);
    const bool dataCell = c.X >= FixedCols() && c.Y >= FixedRows();
    if (dataCell && FMouseActions->EditOnDblClickOnly() && IsEditableOnRequest(realCol, c.Y)) {
        SetOptions(Options() | goEditing);
        BeginCellEdit();
    } else if (dataCell && FMouseActions->RangeSelectAndEdit() && IsEditable(realCol, c.Y)) {
        SetOptions(Options() | goEditing);
        BeginCellEdit();
    }
    const bool fixedRow = c.Y < FixedRows(), fixedCol = c.X < FixedCols();
    if ((fixedRow && FMouseActions->FixedRowsEdit() == fceDblClick) ||
        (fixedCol && !fixedRow && FMouseActions->FixedColsEdit() == fceDblClick))
        EditFixedCell(c.X, c.Y);
}

// ---------------------------------------------------------------- right button
void TProStringGrid::WMRButtonDown(TWMMouse& Message)
{
    TBaseGrid::WMRButtonDown(Message);
    const int X = Message.XPos(), Y = Message.YPos();
    const TShiftState shift = KeysToShiftState(Message.Keys());
    const TGridCoord c = MouseCoord(X, Y);
    if (c.X < 0 || c.Y < 0)
        return;
    const bool fixed = c.X < FixedCols() || c.Y < FixedRows() || IsFixed(c.X, c.Y);
    if (FMouseActions->SelectOnRightClick() && !fixed) {
        const TGridRect sel = Selection();
        const bool inside = c.X >= sel.Left && c.X <= sel.Right && c.Y >= sel.Top && c.Y <= sel.Bottom;
        if (inside) {
            bool canSelect = true;
            if (OnSelectCell)
                OnSelectCell(this, c.X, c.Y, canSelect);
        } else {
            const int oldLeft = LeftCol();
            const TGridCoord base = ShownBaseCell(c.X, c.Y);
            FocusCell(base.X, base.Y, true);
            if (FNavigation->KeepHorizScroll() && (Options() & goRowSelect))
                SetLeftCol(oldLeft);
        }
        if (FMouseActions->DisjunctRowSelect()) {
            if (shift & ssCtrl) {
                SetShownRowSelect(c.Y, !GetShownRowSelect(c.Y));
            } else if (!(SelectedRowCount() > 1 && PopupMenu() && GetShownRowSelect(c.Y))) {
                ClearRowSelect();
                SetShownRowSelect(c.Y, true);
            }
        }
    }
    if (OnRightClickCell)
        OnRightClickCell(this, c.Y, c.X);
    // A link is edited by a right click: a left click follows it.
    if (FP.URLShow && FP.URLEdit && !fixed && IsURL(GetGridCell(RealColIndex(c.X), c.Y))) {
        const TGridCoord base = ShownBaseCell(c.X, c.Y);
        FocusCell(base.X, base.Y, true);
        BeginCellEdit();
    }
}

void TProStringGrid::WMRButtonUp(TWMMouse& Message)
{
    const TGridState state = GridState();
    if ((state == gsRowMoving || state == gsColMoving) && FP.EnhRowColMove &&
        (Cursor() == crDrag || Cursor() == crNoDrop)) {
        Message.SetResult(0);
        return;
    }
    TBaseGrid::WMRButtonUp(Message);
}

// ---------------------------------------------------------------- the wheel
bool TProStringGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    return WheelMovesRow(true, Shift, MousePos);
}

bool TProStringGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    // A current cell outside the grid (a hidden selection) stays there.
    if (Col() >= ColCount() || Row() >= RowCount())
        return true;
    return WheelMovesRow(false, Shift, MousePos);
}

bool TProStringGrid::WheelMovesRow(bool Down, TShiftState Shift, TPoint MousePos)
{
    // OnMouseWheelDown and OnMouseWheelUp first.
    if (Down ? TControl::DoMouseWheelDown(Shift, MousePos) : TControl::DoMouseWheelUp(Shift, MousePos))
        return true;
    // Scrolling, and zooming with Ctrl, are the window procedure's.
    if (FMouseActions->WheelAction() == waScroll || ((Shift & ssCtrl) && FP.IntelliZoom))
        return false;
    const int step = WheelStep();
    if (step == 0)
        return true;
    const bool editorOpen = EditorMode() || FEdit.Flag;
    const bool keepScroll = (Options() & goRowSelect) && FNavigation->KeepHorizScroll();
    const int oldLeft = LeftCol(), oldRow = Row();
    BeginUpdate();
    const int target = std::clamp(oldRow + (Down ? step : -step), FixedRows(), RowCount() - FixedFooters() - 1);
    const int col = std::clamp(Col(), FixedCols(), ColCount() - 1);
    if (target != oldRow || col != Col())
        FocusCell(col, target, true);
    // Above a footer kept as the last row the current row stays in view.
    if (Down && LastRowIsFooter() && Row() >= TopRow() + VisibleRowCount() && Row() < RowCount() - 1)
        SetTopRow(TopRow() + 1);
    FocusBaseCell();
    if (keepScroll)
        SetLeftCol(oldLeft);
    EndUpdate();
    WheelRowChanged(Row() - oldRow);
    // The grid takes the focus from an editor the move closed; a refused value reopened the editor
    // in its cell, and the user stays in it.
    if (editorOpen && !FEdit.Active && CanFocus())
        SetFocus();
    return true;
}

// ---------------------------------------------------------------- the control's mouse operations
void TProStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TGridCoord c = MouseCoord(X, Y);
    if (FMouseActions->RangeSelectAndEdit() && Button == mbLeft && !FMouseActions->EditOnDblClickOnly() &&
        c.X >= 0 && c.Y >= 0) {
        if (c.X == Col() && c.Y == Row() && !(Options() & goEditing) && IsEditable(RealColIndex(c.X), c.Y)) {
            SetOptions(Options() | goEditing);
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            BeginCellEdit();
            return;
        }
        if ((Shift & ssShift) && (Options() & goEditing) && !(c.X == Col() && c.Y == Row()))
            SetOptions(Options() & ~goEditing);
    }
    TBaseGrid::MouseDown(Button, Shift, X, Y);
    if ((Button != mbLeft && Button != mbRight) || c.X < 0 || c.Y < 0)
        return;
    if (c.X == FHoverCol && c.Y == FHoverRow) {
        // The drop-down part at the right of a hovered fixed cell, and the pressed look of a header.
        const TRect r = CellRect(c.X, c.Y);
        if (Button == mbLeft && FControlLook->FixedDropDownButton() && X >= r.Right - 16 &&
            (FFixedDropDownMenu || OnFixedDropDownClick)) {
            FixedDropDown(c.X, c.Y);
            return;
        }
        // Pressed while a button is down over it: the down colours, or the header's pressed state.
        SetHoverFixedCell(c.X, c.Y, true);
    }
    // A left press edits the fixed cells set to fceLeftClick, a right press those set to fceRightClick.
    const TGridFixedCellEdit byPress = Button == mbLeft ? fceLeftClick : fceRightClick;
    const bool fixedRow = c.Y < FixedRows(), fixedCol = c.X < FixedCols();
    if ((fixedRow && FMouseActions->FixedRowsEdit() == byPress) ||
        (fixedCol && !fixedRow && FMouseActions->FixedColsEdit() == byPress)) {
        const TRect r = CellRect(c.X, c.Y);
        const bool sizing = fixedRow ? (Options() & goColSizing) : (Options() & goRowSizing);
        const bool inside = fixedRow ? X - r.Left >= BorderMargin && r.Right - X >= BorderMargin
                                     : Y - r.Top >= BorderMargin && r.Bottom - Y >= BorderMargin;
        if (!sizing || inside)
            EditFixedCell(c.X, c.Y);
    }
}

void TProStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft || (Button == mbRight && FMouseActions->SelectOnRightClick())) {
        const TGridRect sel = Selection();
        SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
    }
    if (FHoverDown)
        SetHoverFixedCell(FHoverCol, FHoverRow, false);
    if ((GridState() == gsColSizing && X > Width()) || (GridState() == gsRowSizing && Y > Height())) {
        SetGridState(gsNormal);
        return;
    }
    const TGridCoord c = MouseCoord(X, Y);
    if (FMouseActions->DisjunctCellSelect() && Button == mbLeft && c.X >= 0 && c.Y >= 0 && !(Shift & ssShift))
        DisjunctCellRelease(c.X, c.Y, Shift);
    if (Button == mbRight && GridState() == gsColMoving)
        return;
    TBaseGrid::MouseUp(Button, Shift, X, Y);
}

void TProStringGrid::DisjunctCellRelease(int ACol, int ARow, TShiftState Shift)
{
    const TGridCoord base = ShownBaseCell(ACol, ARow);
    if (ACol < FixedCols() || ARow < FixedRows() || IsFixed(base.X, base.Y)) {
        if (!(Shift & ssCtrl)) {
            FSelectedCells.clear();
            Invalidate();
        }
        return;
    }
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, base.X, base.Y, canSelect);
    if (canSelect)
        ToggleDisjunctCell(base.X, base.Y, Shift & ssCtrl);
}

// The moved column (row) with its header, as far as it is in view, follows the pointer.
void TProStringGrid::ShowMoveImage(bool Column, int X, int Y)
{
    if (!FMouse.MoveImage) {
        const TPoint d = FMouse.DownCell;
        const TGridRect range =
            Column ? TGridRect(d.X, 0, d.X, std::min(RowCount() - 1, TopRow() + VisibleRowCount() - 1))
                   : TGridRect(0, d.Y, std::min(ColCount() - 1, LeftCol() + VisibleColCount() - 1), d.Y);
        FMouse.MoveImage = CreateDragImageForm(range);
    }
    const TPoint p = ClientToScreen(TPoint(X, Y));
    FMouse.MoveImage->SetBounds(p.X + 4, p.Y + 4, FMouse.MoveImage->Width(), FMouse.MoveImage->Height());
    FMouse.MoveImage->Show();
}

void TProStringGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    const bool buttonDown = Shift & (ssLeft | ssRight | ssMiddle);
    if (FMouseActions->RangeSelectAndEdit() && FMouse.Pressed && !EditorMode())
        SetOptions(Options() & ~goEditing);
    if (!FMouse.MenuActive) {
        // The fixed cell under the pointer shows the hover look; the one it leaves loses it.
        const TGridCoord h = MouseCoord(X, Y);
        const TPoint hover = IsHoverFixedCell(h.X, h.Y) ? TPoint(h.X, h.Y) : TPoint(-1, -1);
        if (hover != TPoint(FHoverCol, FHoverRow))
            SetHoverFixedCell(hover.X, hover.Y, false);
    }
    if (FMouse.Pressed && (std::abs(X - FMouse.Down.X) > 2 || std::abs(Y - FMouse.Down.Y) > 2))
        FMouse.Moved = true;
    if (FMouse.OleArmed && buttonDown && !FMouse.Resizing && GridState() != gsColSizing &&
        (std::abs(X - FMouse.Down.X) > 3 || std::abs(Y - FMouse.Down.Y) > 3)) {
        FMouse.OleArmed = false;
        FMouse.Pressed = false;
        StartOleDrag(FMouse.DownCell.X, FMouse.DownCell.Y, FMouse.OleColumn);
        return;
    }
    if (FMouse.SelectDrag && (Shift & ssLeft)) {
        const TGridCoord c = MouseCoord(X, Y);
        if (c.X >= 0 && c.Y >= 0)
            DragFixedSelection(FMouse.SelectDrag == 2 ? c.Y : c.X);
        TBaseGrid::MouseMove(Shift, X, Y);
        return;
    }
    if (FMouse.Resizing && buttonDown) {
        // The selection grows or shrinks from its top-left cell to the cell under the pointer.
        const TGridCoord c = MouseCoord(X, Y);
        const TGridRect from = FMouse.ResizeFrom;
        if (c.X >= from.Left && c.Y >= from.Top) {
            TGridRect sel = from;
            sel.Right = c.X;
            sel.Bottom = c.Y;
            if (!(Selection() == sel)) {
                SetSelection(sel);
                Invalidate();
            }
        }
        return;
    }
    if (!buttonDown) {
        FMouse.Hover = OnResizerHandle(X, Y) ? 5 : HoverStateAt(X, Y);
        FMouse.FixedColHover = FMouse.FixedRowHover = false;
        const TGridCoord c = MouseCoord(X, Y);
        if (c.X >= 0 && c.Y >= 0 && !(ComponentState() & csDesigning)) {
            int edge = 0;
            if (FMouseActions->SizeFixedCol())
                for (int i = 0; i < FixedCols() && !FMouse.FixedColHover; ++i) {
                    edge += ColWidths(i);
                    if (std::abs(X - edge) <= 3) {
                        FMouse.FixedColHover = true;
                        FMouse.FixedSizeIndex = i;
                    }
                }
            edge = 0;
            if (FMouseActions->SizeFixedRow() && !FMouse.FixedColHover)
                for (int i = 0; i < FixedRows() && !FMouse.FixedRowHover; ++i) {
                    edge += RowHeights(i);
                    if (std::abs(Y - edge) <= 3) {
                        FMouse.FixedRowHover = true;
                        FMouse.FixedSizeIndex = i;
                    }
                }
        }
        TrackHoverAnchor(X, Y);
        // A plain cell holding a link shows the hand.
        FMouse.UrlCursor = c.X >= 0 && c.Y >= 0 && IsPlainUrlCell(RealColIndex(c.X), c.Y);
        if (FMouse.Hover != HoverCursorMode())
            SetHoverCursorMode(FMouse.Hover);
        SetSplitDragMarks(FMouse.FixedColHover, FMouse.FixedRowHover);
    }
    // A column (row) move asks once whether it may start, then at each drop position.
    if (GridState() == gsColMoving || GridState() == gsRowMoving) {
        const bool colMove = GridState() == gsColMoving;
        const TGridCoord c = MouseCoord(X, Y);
        bool allow = true;
        if (!FMouse.MoveAsked) {
            FMouse.MoveAsked = true;
            const TIndexAllowEvent& ask = colMove ? OnColumnMove : OnRowMove;
            if (ask)
                ask(this, colMove ? FMouse.DownCell.X : FMouse.DownCell.Y, allow);
            if (!allow) {
                SetGridState(gsNormal);
                return;
            }
        }
        int drop = colMove ? c.X : c.Y;
        // The floating footer's row is no place to drop a row on.
        if (!colMove && drop >= 0 && FooterRowMove(FMouse.DownCell.Y, drop)) {
            drop = -1;
            allow = false;
        }
        const TIndexAllowEvent& moving = colMove ? OnColumnMoving : OnRowMoving;
        if (drop >= 0 && moving)
            moving(this, drop, allow);
        if (FP.EnhRowColMove) {
            if (!FMouse.MoveCursorSet) {
                FMouse.CursorBeforeMove = Cursor();
                FMouse.MoveCursorSet = true;
            }
            SetCursor(allow ? crDrag : crNoDrop);
            MoveScrollCheck(X, Y);
        }
        if (FP.EnhRowColMove && FMouse.Moved && FDragDropSettings->ShowCells())
            ShowMoveImage(colMove, X, Y);
    }
    // The new size of the column (row) being sized, reported and shown as a hint.
    int size = -1;
    bool cols = true;
    int index = FMouse.FixedSizeIndex;
    if (FMouse.FixedColSizing || FMouse.FixedRowSizing) {
        cols = FMouse.FixedColSizing;
        if (cols)
            DrawColSizingLine(X);
        else
            DrawRowSizingLine(Y);
        int before = 0;
        for (int i = 0; i < index; ++i)
            before += cols ? ColWidths(i) : RowHeights(i);
        size = std::max(0, (cols ? X : Y) - before);
    } else if (GridState() == gsColSizing && index >= 0) {
        size = std::max(0, X + FMouse.SizingOfs - CellRect(index, 0).Left);
    } else if (GridState() == gsRowSizing && index >= 0) {
        cols = false;
        size = std::max(0, Y + FMouse.SizingOfs - CellRect(0, index).Top);
    }
    if (size >= 0) {
        if (cols && OnColumnSizing)
            OnColumnSizing(this, index, size);
        else if (!cols && OnRowSizing)
            OnRowSizing(this, index, size);
        if (FP.HintShowSizing || (ComponentState() & csDesigning))
            ShowSizingHint(AnsiString(cols ? "cw=<b>" : "rh=<b>") + IntToStr(size) + "</b>", X, Y);
    }
    TBaseGrid::MouseMove(Shift, X, Y);
    // Selecting whole rows does not scroll sideways with KeepHorizScroll.
    if (GridState() == gsSelecting && (Options() & goRowSelect) && FNavigation->KeepHorizScroll() &&
        LeftCol() != FMouse.DownLeftCol)
        SetLeftCol(FMouse.DownLeftCol);
}
