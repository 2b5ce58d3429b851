// The grid's own answer to the keyboard, before the standard grid moves the
// current cell: scroll-only moves, editing by key, cell controls, Home and
// End, skipping fixed cells, appending, inserting and deleting rows, the
// clipboard keys, selecting everything and disjunct rows, columns and cells.
#include "grid/ProGrid.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

namespace {
bool IsNavigationKey(Word Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }
bool IsEditKey(Word Key) { return Key == VK_RETURN || Key == VK_F2; }
}  // namespace

void TProStringGrid::FireKeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

// ---------------------------------------------------------------- key down
bool TProStringGrid::ScrollOnlyKey(Word Key, TMessage& Message)
{
    const int visible = VisibleRowCount();
    // The lowest TopRow that still shows rows: never above the fixed rows.
    const int lastTop = std::max(FixedRows(), RowCount() - visible);
    switch (Key) {
    case VK_UP:
        if (TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        break;
    case VK_DOWN:
        if (TopRow() + visible < RowCount())
            SetTopRow(TopRow() + 1);
        break;
    case VK_PRIOR:
        SetTopRow(visible + FixedRows() < TopRow() ? TopRow() - visible : FixedRows());
        break;
    case VK_NEXT:
        if (TopRow() + visible < RowCount())
            SetTopRow(std::min(lastTop, TopRow() + visible));
        break;
    case VK_HOME: SetTopRow(FixedRows()); break;
    case VK_END: SetTopRow(lastTop); break;
    default: return false;
    }
    Message.Result = 1;
    return true;
}

bool TProStringGrid::HomeEndKey(Word& Key, TShiftState Shift, TMessage& Message)
{
    const bool rowSelect = Options() & goRowSelect;
    const bool byRow = FNavigation->HomeEndKey() == heFirstLastRow;
    if ((Key != VK_HOME && Key != VK_END) || (!byRow && !rowSelect) || (Shift & ssCtrl))
        return false;
    if (FP.FixedRowAlways && RowCount() == 1)
        return false;   // the default handling runs
    const int oldLeft = LeftCol();
    const int startRow = Row();
    if (byRow) {
        int target = FixedRows();
        if (Key == VK_END)
            target = FFloatingFooter->Visible() && RowCount() > 2 ? RowCount() - 2 : RowCount() - 1 - FixedFooters();
        target = std::max(FixedRows(), target);
        const TGridCoord base = ShownBaseCell(Col(), target);
        FocusCell(base.X, base.Y, !(Shift & ssShift));
        if (Key == VK_END && (FixedFooters() > 0 || FFloatingFooter->Visible()))
            SetTopRow(std::max(FixedRows(), RowCount() - VisibleRowCount()));
        if (Shift & ssShift) {
            // Every column, from the row the key was pressed on (the anchor) to the new row.
            PlaceSelection(TGridRect(0, startRow, ColCount() - 1, target));
            if (FMouseActions->DisjunctRowSelect())
                SelectionToRowSelect(true);
        } else if (FMouseActions->DisjunctRowSelect()) {
            ClearRowSelect();
            SelectionToRowSelect(true);
        }
    } else if (Key == VK_HOME) {
        SetCol(FirstDataCol());
        SetLeftCol(FirstDataCol());
    } else {
        SetCol(ColCount() - 1);
        SetLeftCol(std::max(FixedCols(), ColCount() - VisibleColCount()));
    }
    FireKeyDown(Key, Shift);
    Message.Result = 0;
    if (rowSelect && FNavigation->KeepHorizScroll() && LeftCol() != oldLeft) {
        RaiseUpdateCount();
        SetLeftCol(oldLeft);
        ResetUpdateCount();
        Invalidate();
    }
    return true;
}

bool TProStringGrid::CellControlKey(Word Key)
{
    const int realCol = RealColIndex(Col());
    if ((Key != VK_RETURN && Key != VK_SPACE) || !HasCellControl(realCol, Row()))
        return false;
    bool mayEdit = (Options() & goEditing) || FMouseActions->RangeSelectAndEdit();
    mayEdit = !GetCellReadOnly(realCol, Row()) && mayEdit;
    if (HasCheckBox(realCol, Row()) && Key == VK_SPACE && (mayEdit || FControlLook->CheckAlwaysActive())) {
        ToggleCheckBox(realCol, Row(), false);
        if (FShowModified->Enabled()) {
            SetRowModified(Row(), true);
            RepaintCell(0, Row());
        }
        bool state = false;
        GetCheckBoxState(realCol, Row(), state);
        if (OnCheckBoxClick)
            OnCheckBoxClick(this, realCol, Row(), state);
    } else if (HasRadio(realCol, Row()) && Key == VK_SPACE && (mayEdit || FControlLook->RadioAlwaysActive())) {
        SelectNextRadioItem(realCol, Row(), true);
        int index = -1;
        GetRadioIndex(realCol, Row(), index);
        if (OnRadioClick)
            OnRadioClick(this, realCol, Row(), index);
    } else if (HasButton(realCol, Row()) && mayEdit) {
        if (OnButtonClick)
            OnButtonClick(this, realCol, Row());
    }
    RepaintCell(Col(), Row());
    return false;
}

bool TProStringGrid::SkipFixedCellsKey(Word& Key, TShiftState Shift)
{
    if (!FNavigation->SkipFixedCells() || (Key != VK_LEFT && Key != VK_RIGHT && Key != VK_UP && Key != VK_DOWN))
        return false;
    int dx = 0, dy = 0;
    // The layer reads left to right only.
    switch (Key) {
    case VK_LEFT: dx = -1; break;
    case VK_RIGHT: dx = 1; break;
    case VK_UP: dy = -1; break;
    default: dy = 1; break;
    }
    const int minCol = FixedCols(), maxCol = ColCount() - FixedRightCols() - 1;
    const int minRow = FixedRows(), maxRow = RowCount() - FixedFooters() - 1;
    int c = Col() + dx, r = Row() + dy;
    auto inside = [&] { return c >= minCol && c <= maxCol && r >= minRow && r <= maxRow; };
    if (!inside() || !IsFixed(c, r))
        return false;
    while (inside() && IsFixed(c, r)) {
        c += dx;
        r += dy;
    }
    if (inside()) {
        if (dx)
            SetCol(c);
        else
            SetRow(r);
    }
    FireKeyDown(Key, Shift);
    Key = 0;
    return true;
}

void TProStringGrid::AppendOnDownKey()
{
    const bool footer = FFloatingFooter->Visible();
    const int lastData = footer ? RowCount() - 2 : RowCount() - 1 - FixedFooters();
    if (Row() != lastData || !FNavigation->AppendOnArrowDown())
        return;
    bool canAdd = true;
    if (OnCanAddRow)
        OnCanAddRow(this, canAdd);
    if (!canAdd)
        return;
    AddRow();
    const int added = RowCount() - 1;
    for (int c = 0; c < AllColCount(); ++c) {
        SetGridCell(c, added, AnsiString());
        SetObjects(c, added, nullptr);
    }
    if (footer) {
        // The footer stays the last row; the new empty row sits above it.
        for (int c = 0; c < AllColCount(); ++c) {
            SetGridCell(c, added, GetGridCell(c, added - 1));
            SetGridCell(c, added - 1, AnsiString());
        }
    }
    if (footer || FixedFooters() > 0)
        SetRow(Row() + 1);
    if (footer)
        CalcFooter(-1);
    if (OnAutoAddRow)
        OnAutoAddRow(this, Row());
}

bool TProStringGrid::ClipboardShortCut(Word Key, TShiftState Shift)
{
    if (!FNavigation->AllowClipboardShortCuts())
        return false;
    const bool ctrl = (Shift & ssCtrl) && !(Shift & (ssShift | ssAlt));
    const bool shift = (Shift & ssShift) && !(Shift & (ssCtrl | ssAlt));
    enum { None, Cut, Paste, Copy } action = None;
    if ((ctrl && Key == 'X') || (shift && Key == VK_DELETE))
        action = Cut;
    else if ((ctrl && Key == 'V') || (shift && Key == VK_INSERT))
        action = Paste;
    else if ((ctrl && Key == 'C') || (ctrl && Key == VK_INSERT))
        action = Copy;
    if (action == None)
        return false;
    bool allow = true;
    const TAllowEvent& event = action == Cut ? OnClipboardCut : action == Paste ? OnClipboardPaste : OnClipboardCopy;
    if (event)
        event(this, allow);
    if (!allow)
        return true;
    if (action == Cut)
        CutSelection();
    else if (action == Paste)
        PasteSelection();
    else
        CopySelection();
    return true;
}

bool TProStringGrid::InsertDeleteKey(Word Key, TShiftState Shift)
{
    if (Key == VK_INSERT && !(Shift & (ssCtrl | ssShift | ssAlt)) && FNavigation->AllowInsertRow()) {
        bool canInsert = true;
        CanInsertRow(Row(), canInsert);
        if (canInsert) {
            // AutoInsertRow takes the row as shown (hidden rows and nodes are its own business).
            if (FNavigation->InsertPosition() == pInsertAfter) {
                if (FP.FixedRowAlways && TBaseGrid::FixedRows() == RowCount()) {
                    AutoInsertRow(Row());
                    SetRow(1);
                } else {
                    AutoInsertRow(Row() + 1);
                    if (Row() + 1 < RowCount())
                        SetRow(Row() + 1);
                }
            } else {
                AutoInsertRow(Row());
            }
            CalcFooter(-1);
        }
        return true;
    }
    if (Key == VK_DELETE && !(Shift & ssAlt) && FNavigation->AllowDeleteRow() &&
        RowCount() - FixedRows() - FixedFooters() - (FFloatingFooter->Visible() ? 1 : 0) > 0) {
        bool canDelete = true;
        if (OnCanDeleteRow)
            OnCanDeleteRow(this, Row(), canDelete);
        if (canDelete) {
            AutoRemoveRow(Row());
            if (FFloatingFooter->Visible() && Row() == RowCount() - 1 && RowCount() > 2)
                SetRow(RowCount() - 2);
            RememberEditCell(Col(), Row());
            CalcFooter(-1);
        }
        return true;
    }
    return false;
}

void TProStringGrid::SelectAllCells()
{
    TGridRect all;
    all.Left = FirstDataCol();
    all.Right = ColCount() - FixedRightCols() - 1;
    all.Top = FixedRows();
    all.Bottom = RowCount() - FixedFooters() - 1;
    if (all.Right < all.Left || all.Bottom < all.Top)
        return;
    if (FMouseActions->DisjunctRowSelect())
        for (int r = all.Top; r <= all.Bottom; ++r)
            SetShownRowSelect(r, true);
    RangeSelected(all);
    // The last cell is current with the anchor at the first, as a drag over all cells leaves it.
    FocusCell(all.Left, all.Top, true);
    FocusCell(all.Right, all.Bottom, false);
    SetSelection(all);
}

void TProStringGrid::DisjunctSelectKey(Word Key, TShiftState Shift)
{
    const bool rows = FMouseActions->DisjunctRowSelect(), cols = FMouseActions->DisjunctColSelect();
    if (IsNavigationKey(Key)) {
        if (rows) {
            if (!(Shift & (ssShift | ssCtrl)))
                ClearRowSelect();
            else if (Shift & ssShift)
                SelectionToRowSelect(true);
            else
                SetShownRowSelect(Row(), true);
        }
        if (cols) {
            if (!(Shift & (ssShift | ssCtrl)))
                ClearColSelect();
            else if (Shift & ssShift)
                SelectionToColSelect(true);
            else
                SetColSelect(Col(), true);
        }
    } else if (Key == VK_SPACE) {
        if (rows)
            SetShownRowSelect(Row(), !GetShownRowSelect(Row()));
        if (cols)
            SetColSelect(Col(), !GetColSelect(Col()));
    }
}

void TProStringGrid::WMKeyDown(TWMKey& Message)
{
    TMessage& m = Message.M;
    Word key = Message.CharCode();
    FKeys.Selection = Selection();
    const TGridRect before = Selection();
    const int oldLeft = LeftCol(), oldTop = TopRow();
    TShiftState shift = KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt);
    if (Message.KeyData() & (1 << 29))
        shift |= ssAlt;
    const int realCol = RealColIndex(Col());
    const bool rowSelect = Options() & goRowSelect;
    const bool keepScroll = (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN) && rowSelect &&
                            FNavigation->KeepHorizScroll();

    if (FNavigation->MoveScrollOnly() && ScrollOnlyKey(key, m))
        return;
    if (keepScroll)
        BeginUpdate();
    struct KeepScroll {
        TProStringGrid* G;
        bool On;
        int Left;
        ~KeepScroll()
        {
            if (!On)
                return;
            G->RaiseUpdateCount();
            G->SetLeftCol(Left);
            G->ResetUpdateCount();
            G->Invalidate();
        }
    } keep{this, keepScroll, oldLeft};

    if (FMouseActions->EditOnDblClickOnly() && IsEditKey(key) && IsEditableOnRequest(realCol, Row())) {
        SetOptions(Options() | goEditing);
        BeginCellEdit();
    }
    if (FMouseActions->RangeSelectAndEdit() && !(Options() & goEditing) && IsEditKey(key)) {
        if (IsEditable(realCol, Row())) {
            SetOptions(Options() | goEditing);
            BeginCellEdit();
        } else {
            FireKeyDown(key, shift);
            m.Result = 1;
            return;
        }
    }
    if (key == 'F' && (shift & ssCtrl) && FSearchFooter->Visible())
        FocusSearchEdit();
    const AnsiString cellText = GetGridCell(realCol, Row());
    if (IsEditKey(key) && (Options() & goEditing) && !IsEditable(realCol, Row())) {
        FireKeyDown(key, shift);
        Message.SetCharCode(0);
        m.Result = 1;
        return;
    }
    if (IsEditKey(key) && HasHtmlControl(cellText)) {
        m.Result = 1;
        RememberEditCell(Col(), Row());
        ShowNextCellFormControl(realCol, Row(), 0);
        return;
    }
    if (key == VK_RETURN && !IsEditable(realCol, Row()) && !HasCellControl(realCol, Row())) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->KeyPreview()) {
            TBaseGrid::WMKeyDown(Message);
            return;
        }
        FireKeyDown(key, shift);
        Message.SetCharCode(0);
        m.Result = 1;
        return;
    }
    CellControlKey(key);
    if (HomeEndKey(key, shift, m))
        return;
    if ((key == VK_RIGHT || key == VK_LEFT) && HasNodes() && IsNodeRow(Row()) &&
        CellSpan(realCol, Row()).X > 0) {
        if (key == VK_RIGHT)
            ExpandNode(RealRowIndex(Row()));
        else
            ContractNode(RealRowIndex(Row()));
    }
    if (rowSelect && (key == VK_LEFT || key == VK_RIGHT) && ColCount() > VisibleColCount() &&
        !(HasNodes() && IsNodeRow(Row()))) {
        const bool scroll = !FNavigation->LeftRightRowSelect() || (shift & ssCtrl);
        if (scroll) {
            if (key == VK_LEFT && LeftCol() > FixedCols())
                SetLeftCol(LeftCol() - 1);
            else if (key == VK_RIGHT && LeftCol() + VisibleColCount() < ColCount())
                SetLeftCol(LeftCol() + 1);
        }
        if (!FNavigation->LeftRightRowSelect()) {
            FireKeyDown(key, shift);
            m.Result = 0;
            return;
        }
    }
    if (key == VK_TAB && (Options() & goTabs)) {
        TabToNextCell(shift & ssShift);
        m.Result = 1;
        return;
    }
    if (SkipFixedCellsKey(key, shift)) {
        Message.SetCharCode(key);
        return;
    }
    if (key == VK_DOWN)
        AppendOnDownKey();
    if (FP.SelectionRectangle && !(Selection() == FKeys.Selection)) {
        InvalidateRectOfCells(FKeys.Selection);
        FKeys.Selection = Selection();
    }

    // Scrolled to its end, the grid keeps its last row clear of the search panel.
    const bool searchFooter = FSearchFooter->Visible();
    const int lastRow = RowCount() - 1;
    const bool passive = key == VK_SHIFT || key == VK_MENU || IsNavigationKey(key);
    const bool downwards = key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT || key == VK_DOWN;
    bool searchUpdate = false;
    if (searchFooter && TopRow() >= RowCount() - VisibleRowCount()) {
        if (Row() == lastRow && (key == VK_DOWN || (key == VK_RIGHT && Col() == ColCount() - 1) ||
                                 (key == VK_LEFT && Col() == FixedCols()))) {
            if (key == VK_DOWN)
                ScrollAboveSearchFooter();
            m.Result = 1;
            FireKeyDown(key, shift);
            return;
        }
        if ((downwards && Row() == lastRow) || !passive) {
            BeginUpdate();
            searchUpdate = true;
        }
    }

    // The standard handling: OnKeyDown, then the standard grid moves the current cell.
    if (ClipboardShortCut(key, shift) || InsertDeleteKey(key, shift)) {
        m.Result = 1;
    } else if (key == 'A' && (shift & ssCtrl) && (rowSelect || (Options() & goRangeSelect))) {
        SelectAllCells();
        m.Result = 1;
    } else {
        Message.SetCharCode(key);
        TBaseGrid::WMKeyDown(Message);
        key = Message.CharCode();
        DisjunctSelectKey(key, shift);
        // The cell is the next edit cell; an edit under way (its editor shown while the grid holds
        // the focus) keeps its own, and its text from before the edit.
        if (IsEditKey(key) && !FEdit.Active)
            RememberEditCell(Col(), Row());
        if (searchFooter && !passive && TopRow() >= RowCount() - VisibleRowCount())
            SetTopRow(oldTop);
    }
    if (searchUpdate)
        EndUpdate();
    if (searchFooter && downwards && Row() == lastRow)
        ScrollAboveSearchFooter();
    if (!(Selection() == before)) {
        const TGridRect now = Selection();
        SelectionChanged(now.Left, now.Top, now.Right, now.Bottom);
    }
}

void TProStringGrid::WMKeyUp(TWMKey& Message)
{
    TBaseGrid::WMKeyUp(Message);
}

// ---------------------------------------------------------------- characters
void TProStringGrid::WMChar(TWMKey& Message)
{
    char ch = char(Message.CharCode());
    const int realCol = RealColIndex(Col());
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (FMouseActions->EditOnDblClickOnly() && IsEditableOnRequest(realCol, Row()))
        SetOptions(Options() | goEditing);
    if (FNavigation->AllowClipboardShortCuts() && ctrl && (ch == 3 || ch == 22 || ch == 24)) {
        Message.SetCharCode(0);
        return;
    }
    const bool control = HasCellControl(realCol, Row());
    if (FMouseActions->RangeSelectAndEdit() && IsEditable(realCol, Row()) && !control && ch != '\t' &&
        ch != 27 && !ctrl) {
        if (OnKeyPress)
            OnKeyPress(this, ch);
        if (ch == 0)
            return;
        FEdit.StartChar = ch;
        SetOptions(Options() | goEditing);
        ScrollInView(Col(), Row());
        const TRect r = CellRect(Col(), Row());
        Message.SetCharCode(Byte(ch));
        TBaseGrid::WMChar(Message);
        (void)r;
        return;
    }
    if (FP.ExcelStyleDecimalSeparator && ch == '.' && (Message.KeyData() & (1 << 22)))
        ch = FormatSettings.DecimalSeparator;
    if (ch == '\r' && control && FNavigation->AdvanceOnEnter()) {
        Message.SetCharCode(Byte(ch));
        TBaseGrid::WMChar(Message);
        return;
    }
    if ((Options() & goEditing) && (ch == '\b' || Byte(ch) >= 32) && ch != '\t' && ch != 127) {
        if (OnKeyPress)
            OnKeyPress(this, ch);
        if (ch == 0)
            return;
        FEdit.StartChar = ch;
        if (!control)
            ShowEditorChar(ch);
        return;
    }
    Message.SetCharCode(Byte(ch));
    TBaseGrid::WMChar(Message);
}

// ---------------------------------------------------------------- key up
void TProStringGrid::KeyUp(Word& Key, TShiftState Shift)
{
    if ((IsNavigationKey(Key) && Key != VK_HOME) || Key == VK_INSERT || Key == VK_DELETE)
        FEdit.SearchText.clear();
    const Word key = Key;
    TBaseGrid::KeyUp(Key, Shift);
    const int realCol = RealColIndex(Col());
    if (FNavigation->AlwaysEdit() && !HasCellControl(realCol, Row()) &&
        (key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN ||
         (key == VK_TAB && (Options() & goTabs))))
        BeginCellEdit();
    if (!FMouseActions->DisjunctCellSelect() || key != VK_SPACE || (Options() & goEditing))
        return;
    const TGridCoord base = ShownBaseCell(Col(), Row());
    if (IsFixed(base.X, base.Y))
        return;
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, base.X, base.Y, canSelect);
    if (!canSelect)
        return;
    ToggleDisjunctCell(base.X, base.Y, Shift & ssCtrl);
}

// ---------------------------------------------------------------- leaving an editor by key
void TProStringGrid::EditorExitKey(Word Key, TShiftState Shift)
{
    FKeys.EditorExit = true;
    // A refused value keeps the user in the reopened editor; the key goes no further.
    if (!LeaveCellEdit()) {
        FKeys.EditorExit = false;
        return;
    }
    if (Key == VK_TAB || (Key >= VK_LEFT && Key <= VK_DOWN)) {
        Word k = Key;
        TBaseGrid::KeyDown(k, Shift);
    }
    const bool alwaysEdit = FNavigation->AlwaysEdit();
    FNavigation->SetAlwaysEdit(false);
    if (CanFocus())
        SetFocus();
    if (Key == VK_RETURN)
        AdvanceToNextCell(Col(), Row(), false, false, true, false, true);
    FNavigation->SetAlwaysEdit(alwaysEdit);
    FKeys.EditorExit = false;
}

// ---------------------------------------------------------------- disjunct cells
void TProStringGrid::ToggleDisjunctCell(int ACol, int ARow, bool Ctrl)
{
    const TPoint cell(RealColIndex(ACol), ARow);
    auto& cells = FSelectedCells;
    auto listed = [&cells](const TPoint& p) { return std::find(cells.begin(), cells.end(), p); };
    auto repaintListed = [this] {
        for (const TPoint& p : FSelectedCells)
            RepaintCell(DisplayColumn(p.X), p.Y);
    };
    if (Ctrl) {
        auto it = listed(cell);
        if (it == cells.end())
            cells.push_back(cell);
        else
            cells.erase(it);
    } else {
        repaintListed();
        cells.assign(1, cell);
    }
    const TGridRect sel = Selection();
    if (sel.Right > sel.Left || sel.Bottom > sel.Top) {
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            for (int c = sel.Left; c <= sel.Right; ++c) {
                const TPoint p(RealColIndex(c), r);
                if (listed(p) == cells.end())
                    cells.push_back(p);
            }
        repaintListed();
    }
    RepaintCell(ACol, ARow);
}
