// The special editors of the grid: their wrappers made with the grid, each
// type shown over its cell and filled from it, its value taken back into the
// cell, the cell checker, the date picker's notifications, the custom editor
// link's window hook and the editors' cursor walk.
#include <cmath>
#include <memory>

#include "grid/ProGrid.h"
#include "grid/PictureContainer.h"
#include "grid/ProUtil.h"
#include "grid/editing/EditLink.h"
#include "grid/editing/GridEditors.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Messages.h"

namespace {
bool IsSpinEditor(TEditorType AType)
{
    return AType == edSpinEdit || AType == edFloatSpinEdit || AType == edTimeSpinEdit || AType == edDateSpinEdit;
}

void RecreateIfMade(TWinControl* C)
{
    if (C->HandleAllocated() && !C->Focused())
        C->RecreateWnd();
}

}  // namespace

void TProStringGrid::CreateCellEditors()
{
    FGridCombo = new TGridCombo(this);
    FGridSpin = new TGridSpin(this);
    FGridTransEdit = new TGridTransEdit(this);
    FGridUniEdit = new TGridUniEdit(this);
    FGridUniMemo = new TGridUniMemo(this);
    FGridUniEditBtn = new TGridUniEditBtn(this);
    FGridUniEditBtn->SetButtonCaption("...");
    FGridUniCombo = new TGridUniCombo(this);
    if (GridComCtrlOk()) {
        FGridDatePicker = new TGridDatePicker(this);
        FDateTimePicker = new TProDateTimePicker(this);
        FDateTimePicker->SetVisible(false);
        FDateTimePicker->SetEnabled(false);
        FDateTimePicker->OnChange = [this](TObject*) { DatePickerChanged(FDateTimePicker); };
        FDateTimePicker->OnCloseUp = [this](TObject*) { DatePickerClosedUp(); };
        FDateTimePicker->OnExit = [this](TObject*) {
            if (!TakingBack())
                EndCellEdit();
        };
    }
    FGridCheckBox = new TGridCheckBox(this);
    FGridEditBtn = new TGridEditBtn(this);
    FGridEditBtn->SetButtonCaption("...");
    FGridUnitEditBtn = new TGridUnitEditBtn(this);
    FGridUnitEditBtn->SetButtonCaption("...");
    FGridButton = new TGridButton(this);
    // The buttons of the edit-button editors and the combo's drop-down button take the grid's look.
    for (TPsgEditBtn* e : {static_cast<TPsgEditBtn*>(FGridEditBtn), static_cast<TPsgEditBtn*>(FGridUnitEditBtn),
                           static_cast<TPsgEditBtn*>(FGridUniEditBtn)})
        e->SetIsWinXP(FIsWinXP);
    FGridCombo->SetThemed(FIsWinXP);
    FGridUniCombo->SetThemed(FIsWinXP);
    // The edits lie in their cells without a border of their own.
    for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{FGridSpin, FGridTransEdit, FGridUniEdit, FGridUniEditBtn,
                                                              FGridEditBtn, FGridUnitEditBtn})
        e->SetBorderStyle(bsNone);
    FGridUniMemo->SetBorderStyle(bsNone);
}

TWinControl* TProStringGrid::SpecialEditor(TEditorType AType) const
{
    switch (AType) {
    case edComboEdit: case edComboList: return FGridCombo;
    case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit: return FGridSpin;
    case edUniEdit: return FGridUniEdit;
    case edUniMemo: return FGridUniMemo;
    case edUniEditBtn: return FGridUniEditBtn;
    case edUniComboEdit: case edUniComboList: return FGridUniCombo;
    case edDateEdit: case edDateEditUpDown: case edTimeEdit: return GridComCtrlOk() ? FGridDatePicker : nullptr;
    case edDateTimeEdit: return GridComCtrlOk() ? FDateTimePicker : nullptr;
    case edCheckBox: return FGridCheckBox;
    case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: return FGridEditBtn;
    case edUnitEditBtn: return FGridUnitEditBtn;
    case edButton: return FGridButton;
    case edRichEdit: return FRichEditSel;
    case edCustom: return FEditLink ? FEditLink->GetEditControl() : nullptr;
    default: return nullptr;
    }
}

TComponent* TProStringGrid::FEditLinkComponent() const { return FEditLink; }

void TProStringGrid::SetEditLink(TEditLink* Value)
{
    SetReference(FEditLink, Value);
}

TProStringGridCheck* TProStringGrid::CellChecker() const { return dynamic_cast<TProStringGridCheck*>(FCellChecker); }

void TProStringGrid::SetCellChecker(TProStringGridCheck* v)
{
    SetReference<TComponent>(FCellChecker, v);
}

// Told when the container or the menu goes, also while the window that owns it and the grid goes.
void TProStringGrid::SetPictureContainer(TPictureContainer* v)
{
    SetReference(FPictureContainer, v);
    Invalidate();
}

void TProStringGrid::SetFixedDropDownMenu(TPopupMenu* v)
{
    SetReference(FFixedDropDownMenu, v);
}

// ---------------------------------------------------------------- showing a special editor
bool TProStringGrid::FlatEditorLook() const
{
    return FP.Look == glSoft || FP.Look == glHalvik || FP.Look == glXP || FP.Look == glListView ||
           FP.Look == glVista;
}

void TProStringGrid::ShowInplaceEditor(int ACol, int ARow)
{
    // An editor opened by a call rather than by the user's key or click concludes on the current
    // cell as well, against its text of now.
    if (!FEdit.Active)
        RememberEditCell(Col(), Row());
    FEdit.Active = FEdit.ShownByGrid = FEdit.DonePending = true;
    FEdit.Flag = true;
    FEdit.Cancelled = false;
    const TRect r = MergedCellRect(ACol, ARow);
    // The editor takes the colour the cell is painted with.
    TBrush brush;
    TFont font;
    font.Assign(Font());
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection direction = GradientVertical;
    bool selected = false;
    GetCellStyle(RealColIndex(ACol), Row(), 0, &brush, &font, colorTo, mirror, mirrorTo, direction, selected);
    Canvas()->Brush()->Assign(&brush);
    Canvas()->Font()->Assign(&font);
    SetGridState(gsNormal);
    FEdit.ActiveEditor = nullptr;
    if (FEdit.Type != edCustom)
        FEdit.Accepted = true;
    FShownEditorCell = TPoint(ACol, ARow);
    FShownEditorRect = r;
    ShowSpecialEditor(ACol, ARow, r, brush.Color());
    FEdit.StartChar = 0;
}

void TProStringGrid::MoveSpecialEditorWithCell()
{
    TWinControl* e = FEdit.ShownByGrid ? SpecialEditor(FEdit.Type) : nullptr;
    // A cell sized out of view leaves the editor where it is.
    if (!e || !e->Visible() || e->Parent() != this || IsRectEmpty(CellRect(FShownEditorCell.X, FShownEditorCell.Y)))
        return;
    const TRect now = MergedCellRect(FShownEditorCell.X, FShownEditorCell.Y);
    const TRect was = FShownEditorRect;
    if (now == was)
        return;
    // Each type lies on its cell in its own way: the editor keeps its place and size relative to the cell.
    e->SetBounds(e->Left() + now.Left - was.Left, e->Top() + now.Top - was.Top, e->Width() + now.Width() - was.Width(),
                 e->Height() + now.Height() - was.Height());
    FShownEditorRect = now;
}

void TProStringGrid::ShowSpecialEditor(int ACol, int ARow, const TRect& R, TColor CellColor)
{
    const int w = R.Right - R.Left - 1, h = R.Bottom - R.Top - 1;
    const int realCol = RealColIndex(ACol);
    const AnsiString text = GetEditText(ACol, ARow);
    NoteShownText(ACol, ARow, text);
    const TEditorType type = FEdit.Type;
    const bool flat = FlatEditorLook();
    const bool dropDown = FMouseActions->DirectComboDrop() || FControlLook->DropDownAlwaysVisible();
    auto own = [this](TWinControl* e) {
        if (e->Parent() != this)
            e->SetParent(this);
    };
    auto postChar = [this](TWinControl* e) {
        if (FEdit.StartChar && e)
            PostMessage(e->Handle(), WM_CHAR, WPARAM(Byte(FEdit.StartChar)), 0);
    };
    auto focus = [](TWinControl* e) {
        if (e->CanFocus())
            e->SetFocus();
    };
    auto now = [] { return Now(); };

    if (type == edComboEdit || type == edComboList) {
        TGridCombo* c = FGridCombo;
        own(c);
        FEdit.Chosen = true;
        if (OnGetEditorProp)
            OnGetEditorProp(this, realCol, ARow, FEditLink);
        c->SetBounds(R.Left, R.Top, w, h);
        c->SetEnabled(true);
        c->SetDroppedDown(false);
        bool autoSelected = false;
        if (type == edComboEdit) {
            c->SetStyle(csDropDown);
            c->SetText(text);
            c->SetMaxLength(FP.MaxComboLength);
        } else {
            c->SetStyle(csDropDownList);
            const int i = c->Items()->IndexOf(Cells(realCol, ARow));
            if (i >= 0) {
                c->SetItemIndex(i);
            } else if (FEdit.DefaultListIndex == -1) {
                c->SetItemIndex(0);
                c->AutoSelected();
                autoSelected = true;
            } else {
                c->SetItemIndex(FEdit.DefaultListIndex);
            }
        }
        c->SetColor(CellColor);
        c->SetVisible(true);
        c->SetFlat(flat);
        c->SetEtched(flat);
        if (FNavigation->AutoComboDropSize())
            c->SizeDropDownToItems();
        else if (c->DropWidth() > 0)
            c->SetDropWidth(c->DropWidth());
        c->Shown();
        focus(c);
        c->SetDroppedDown(dropDown);
        if (autoSelected && c->Items()->Count() > 0) {
            const AnsiString first = c->Items()->Strings(0);
            if (OnComboChange)
                OnComboChange(this, realCol, ARow, 0, first);
            if (OnComboObjectChange)
                OnComboObjectChange(this, realCol, ARow, 0, first, c->Items()->Objects(0));
        }
        postChar(c);
        FEdit.ActiveEditor = c;
    } else if (type == edUniEdit || type == edUniMemo || type == edUniEditBtn) {
        TWinControl* e = type == edUniEdit ? static_cast<TWinControl*>(FGridUniEdit)
                         : type == edUniMemo ? static_cast<TWinControl*>(FGridUniMemo)
                                             : static_cast<TWinControl*>(FGridUniEditBtn);
        own(e);
        FEdit.Chosen = true;
        RecreateIfMade(e);
        const TPoint off = FCellTextOffset;
        // The grid's font first: the edit with a button sizes itself to a new font, the cell's size wins.
        e->SetFont(Font());
        if (type == edUniEditBtn)
            e->SetBounds(R.Left, R.Top, w, h);
        else
            e->SetBounds(R.Left + 1 + off.X, R.Top + 1 + off.Y, w - 2 - 2 * off.X, h - 2 - 2 * off.Y);
        e->SetVisible(true);
        e->SetEnabled(true);
        e->SetColor(CellColor);
        WideString value = GetWideCell(realCol, ARow);
        if (OnGetEditWideText)
            OnGetEditWideText(this, realCol, ARow, value);
        SetWideText(e, value);
        focus(e);
        if (type == edUniMemo && !value.empty())
            FGridUniMemo->SelectAll();
        postChar(e);
        FEdit.ActiveEditor = e;
    } else if (type == edUniComboEdit || type == edUniComboList) {
        TGridUniCombo* c = FGridUniCombo;
        own(c);
        FEdit.Chosen = true;
        TComboBoxStrings* items = c->WideItems();
        std::vector<std::pair<WideString, TObject*>> kept;
        for (int i = 0; i < items->Count(); ++i)
            kept.emplace_back(items->Get(i), items->GetObject(i));
        c->SetBounds(R.Left, R.Top, w, h);
        c->SetDroppedDown(false);
        c->SetEnabled(true);
        c->SetStyle(type == edUniComboEdit ? csDropDown : csDropDownList);
        // The style change makes a new window: the items are given again.
        items->Clear();
        for (auto& k : kept)
            items->AddObject(k.first, k.second);
        WideString value = GetWideCell(realCol, ARow);
        if (OnGetEditWideText)
            OnGetEditWideText(this, realCol, ARow, value);
        if (type == edUniComboList) {
            const int i = items->IndexOf(value);
            c->SetItemIndex(i >= 0 ? i : FEdit.DefaultListIndex == -1 ? 0 : FEdit.DefaultListIndex);
        } else {
            c->SetWideText(value);
        }
        c->SetColor(CellColor);
        c->SetVisible(true);
        c->SetFont(Font());
        c->SetFlat(flat);
        c->SetEtched(flat);
        if (FNavigation->AutoComboDropSize())
            c->SizeDropDownToItems();
        c->Shown();
        focus(c);
        c->SetDroppedDown(dropDown);
        if (c->DropWidth() > 0)
            c->SetDropWidth(c->DropWidth());
        FEdit.ActiveEditor = c;
    } else if (IsSpinEditor(type)) {
        TGridSpin* s = FGridSpin;
        own(s);
        FEdit.Chosen = true;
        RecreateIfMade(s);
        s->SetBounds(R.Left, R.Top, w, h);
        s->SetVisible(true);
        s->SetEnabled(true);
        s->SetColor(CellColor);
        s->SetExcelStyleDecimalSeparator(FP.ExcelStyleDecimalSeparator);
        s->SetSpinType(type == edSpinEdit ? sptNormal : type == edFloatSpinEdit ? sptFloat
                                                     : type == edTimeSpinEdit ? sptTime : sptDate);
        FEdit.LiveEdit = true;
        s->Fill(text);
        s->MarkFilled();
        focus(s);
        postChar(s);
        if (FEdit.UpRequest)
            s->StepUp(false);
        if (FEdit.DownRequest)
            s->StepDown(false);
        FEdit.UpRequest = FEdit.DownRequest = false;
        FEdit.ActiveEditor = s;
    } else if (type == edDateEdit || type == edDateEditUpDown || type == edTimeEdit) {
        TGridDatePicker* p = FGridDatePicker;
        if (!p)
            return;
        own(p);
        FEdit.Chosen = true;
        RecreateIfMade(p);
        if (type == edTimeEdit) {
            TDateTime t = now();
            if (!text.empty() && !TryStrToTime(text, t))
                t = now();
            p->SetKind(dtkTime);
            p->SetTime(t);
        } else {
            TDateTime d = now();
            if (!text.empty()) {
                if (OnCustomStrToDate)
                    OnCustomStrToDate(this, text, d);
                else if (!TryStrToDateTime(text, d))
                    d = now();
            }
            p->SetKind(dtkDate);
            p->SetDate(d);
            p->SetDateMode(type == edDateEditUpDown ? dmUpDown : dmComboBox);
        }
        p->SetBounds(R.Left, R.Top, w, h);
        p->SetEnabled(true);
        p->SetVisible(true);
        p->SetColor(CellColor);
        p->MarkFilled();
        focus(p);
        if (type == edDateEdit && FMouseActions->DirectDateDrop())
            p->Perform(WM_KEYDOWN, VK_F4, 0);
        FEdit.ActiveEditor = p;
    } else if (type == edDateTimeEdit) {
        TProDateTimePicker* p = FDateTimePicker;
        if (!p)
            return;
        own(p);
        FEdit.Chosen = true;
        TDateTime v = now();
        if (!text.empty() && !TryStrToDateTime(text, v))
            v = now();
        p->SetDateTime(v);
        FShownPickerValue = p->DateTime();
        p->SetKind(dkDateTime);
        p->SetBorderStyle(bsNone);
        p->SetBounds(R.Left, R.Top, w, std::max(p->Height(), h));
        p->SetEnabled(true);
        p->SetVisible(true);
        p->SetColor(CellColor);
        focus(p);
    } else if (type == edCheckBox) {
        TGridCheckBox* b = FGridCheckBox;
        own(b);
        FEdit.Chosen = true;
        RecreateIfMade(b);
        b->SetBounds(R.Left, R.Top, w, h);
        b->SetCaption(text);
        b->SetEnabled(true);
        b->SetState(cbUnchecked);
        b->SetVisible(true);
        focus(b);
    } else if (type == edEditBtn || type == edNumericEditBtn || type == edFloatEditBtn || type == edUnitEditBtn) {
        TPsgEditBtn* e = type == edUnitEditBtn ? static_cast<TPsgEditBtn*>(FGridUnitEditBtn)
                                               : static_cast<TPsgEditBtn*>(FGridEditBtn);
        own(e);
        FEdit.Chosen = true;
        RecreateIfMade(e);
        e->SetBounds(R.Left, R.Top, w, e->Height());
        e->SetMaxLength(GetEditLimit());
        if (type == edUnitEditBtn) {
            FGridUnitEditBtn->ShowCellText(text);
        } else {
            e->SetText(text);
        }
        if (type != edUnitEditBtn)
            FEdit.LiveEdit = true;
        e->SetVisible(true);
        e->SetEnabled(true);
        e->SetColor(CellColor);
        focus(e);
        e->SetHeight(h);
        postChar(e);
        FEdit.ActiveEditor = e;
    } else if (type == edButton) {
        TGridButton* b = FGridButton;
        own(b);
        FEdit.Chosen = true;
        RecreateIfMade(b);
        b->SetBounds(R.Left - 1, R.Top - 1, w + 2, h + 2);
        b->SetCaption(text);
        b->SetVisible(true);
        b->SetEnabled(true);
        focus(b);
        FEdit.ActiveEditor = b;
    } else if (type == edRichEdit) {
        TProRichEdit* e = FRichEditSel;
        FEdit.Chosen = true;
        RecreateIfMade(e);
        own(e);
        e->SetBorderStyle(bsNone);
        e->SetBounds(R.Left, R.Top, w, h);
        e->LockSizing();
        CellToRich(realCol, ARow, e);
        if (FNavigation->EditSelectAll())
            e->SelectAll();
        e->SetVisible(true);
        e->SetEnabled(true);
        TRect fmt(2, 2, R.Right - R.Left - 2, R.Bottom - R.Top - 2);
        e->Perform(EM_SETRECT, 0, LPARAM(&fmt));
        e->SetColor(CellColor);
        focus(e);
        postChar(e);
        e->UnlockSizing();
        FEdit.ActiveEditor = e;
    } else if (type == edCustom && FEditLink) {
        FEdit.Chosen = true;
        FEditLink->Show(this, realCol, ARow, R, CellColor, Canvas()->Font(), text);
        TWinControl* control = FEditLink->GetEditControl();
        postChar(control);
        FEdit.ActiveEditor = control;
    }
}

// ---------------------------------------------------------------- taking the value back
void TProStringGrid::HideInplaceEditor(int ACol, int ARow)
{
    FEdit.TakingBack = true;
    const int realCol = RealColIndex(ACol);
    FEdit.StartChar = 0;
    TakeSpecialEditorValue(realCol, ARow);
    if (FEdit.Type != edNormal && FEdit.DonePending)
        PostEditDone(realCol, ARow);
    FEdit.TakingBack = false;
    FEdit.Cancelled = false;
    FEdit.DonePending = false;
    FEdit.ShownByGrid = false;
    FEdit.ActiveEditor = nullptr;
}

void TProStringGrid::TakeSpecialEditorValue(int RealCol, int ARow)
{
    const TEditorType type = FEdit.Type;
    TWinControl* editor = SpecialEditor(type);
    auto putAway = [this, editor] {
        if (!editor)
            return;
        // The grid takes the focus before its editor goes, so it passes nowhere else.
        if (editor->Focused() && CanFocus())
            SetFocus();
        editor->SetEnabled(false);
        editor->SetVisible(false);
    };
    auto store = [this, RealCol, ARow](const AnsiString& s) { StoreEditText(RealCol, ARow, s); };
    // A combo left by Escape keeps the cell: a list combo cannot show a text that is not among its items.
    const bool comboCancelled = FEdit.Cancelled && (type == edComboEdit || type == edComboList ||
                                                    type == edUniComboEdit || type == edUniComboList);
    switch (type) {
    case edComboEdit: case edComboList: case edEditBtn: case edNumericEditBtn: case edFloatEditBtn:
        // Taken back once: a second call for the same edit finds the editor put away.
        if (FEdit.Chosen && editor) {
            FEdit.Chosen = false;
            if (!comboCancelled)
                store(editor->Text());
            putAway();
        }
        break;
    case edUniEdit: case edUniMemo: case edUniEditBtn: case edUniComboEdit: case edUniComboList: {
        FEdit.Chosen = false;
        if (!comboCancelled) {
            WideString value = GetWideText(editor);
            if (OnSetEditWideText)
                OnSetEditWideText(this, RealCol, ARow, value);
            SetWideCell(RealCol, ARow, value);
        }
        putAway();
        break;
    }
    case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit: {
        FEdit.Chosen = false;
        TGridSpin* s = FGridSpin;
        // Entered and left without a change: the cell keeps its text (empty stays empty).
        if (s->ChangedSinceFilled()) {
            if (type == edSpinEdit)
                SetCellIntegerValue(RealCol, ARow, s->Value());
            else if (type == edFloatSpinEdit)
                SetCellFloatValue(RealCol, ARow, s->FloatValue());
            else
                store(s->Text());
        }
        putAway();
        break;
    }
    case edDateTimeEdit:
        if (FDateTimePicker) {
            TProDateTimePicker* p = FDateTimePicker;
            const TDateTime v = p->DateTime();
            if (v != FShownPickerValue || !p->Checked()) {
                const TFormatSettings& fs = FormatSettings;
                store(p->Checked() ? FormatDateTime(fs.ShortDateFormat + " " + fs.ShortTimeFormat, v) : AnsiString());
            }
            FEdit.Chosen = false;
            putAway();
        }
        break;
    case edDateEdit: case edDateEditUpDown: case edTimeEdit:
        if (FGridDatePicker) {
            TGridDatePicker* p = FGridDatePicker;
            // The picker's own display format gives the text; unchanged, the cell keeps its text.
            if (p->ChangedSinceFilled())
                store(p->Checked() ? p->Text() : AnsiString());
            FEdit.Chosen = false;
            putAway();
            p->SetDroppedDown(false);
        }
        break;
    case edCheckBox: case edButton:
        putAway();
        FEdit.Chosen = false;
        break;
    case edUnitEditBtn:
        store(FGridUnitEditBtn->Text() + FGridUnitEditBtn->UnitID());
        putAway();
        FEdit.Chosen = false;
        break;
    case edRichEdit: {
        auto stream = std::make_unique<TMemoryStream>();
        FRichEditSel->Lines()->SaveToStream(stream.get());
        AnsiString text(static_cast<const char*>(stream->Memory()), std::size_t(stream->Size()));
        store(text);
        putAway();
        FEdit.Chosen = false;
        break;
    }
    case edCustom:
        if (FEditLink) {
            store(FEditLink->GetEditorValue());
            if (FEditLink->EditStyle() != esPopup) {
                // As from the grid's own editors, the focus comes back to the grid before the control goes.
                if (TWinControl* c = FEditLink->GetEditControl(); c && c->Focused())
                    FEditLink->ReturnFocusToGrid();
                FEditLink->SetVisible(false);
            }
            FEditLink->HideEditor();
        }
        FEdit.Chosen = false;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- notifications and hooks
void TProStringGrid::DatePickerChanged(TDateTimePicker* Picker)
{
    // A cleared check box leaves the picker without a valid date.
    if (OnDateTimeChange)
        OnDateTimeChange(this, Col(), Row(), Picker->ShowCheckbox() && !Picker->Checked() ? 0 : Picker->DateTime());
}

void TProStringGrid::DatePickerClosedUp()
{
    if (OnDatePickerCloseUp)
        OnDatePickerCloseUp(this, Row(), Col());
    if (FMouseActions->DirectDateClose())
        LeaveCellEdit();
}

void TProStringGrid::HookEditLinkControl(TWinControl* Control)
{
    if (FEditLinkControl == Control)
        return;
    UnhookEditLinkControl(FEditLinkControl);
    FEditLinkControl = Control;
    Control->FreeNotification(this);
    // With goTabs the link's control wants all keys (Return and Escape end its edit, not the form's
    // buttons), Tab and the arrows; all else is its own.
    FEditLinkHook = Control->AddMessageHook([this](TMessage& Message, const TMessageNext&) {
        if (Message.Msg != WM_GETDLGCODE || !(Options() & goTabs))
            return false;
        Message.Result |= DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS;
        return true;
    });
}

void TProStringGrid::UnhookEditLinkControl(TWinControl* Control)
{
    if (!Control || Control != FEditLinkControl)
        return;
    Control->RemoveMessageHook(FEditLinkHook);
    Control->RemoveFreeNotification(this);
    FEditLinkControl = nullptr;
    FEditLinkHook = 0;
}

void TProStringGrid::EditorCursorWalk(const AnsiString& Text, bool Forward)
{
    // The cell beside, past the merged span and before the right fixed columns; at the row's end
    // the walk goes on to the next (previous) row.
    const int next = Forward ? ShownMergedRegion(Col(), Row()).Right + 1 : Col() - 1;
    const bool beside = Forward ? next < ColCount() - FixedRightCols() : next >= FixedCols();
    if (beside && HasCellControl(RealColIndex(next), Row())) {
        if (FinishCellEdit(Text)) {
            EndCellEdit();
            SetCol(next);
        }
        return;
    }
    if (CanFocus())
        SetFocus();
    const TAdvanceDirection saved = FNavigation->AdvanceDirection();
    FNavigation->SetAdvanceDirection(adLeftRight);
    AdvanceToNextCell(Col(), Row(), true, true, Forward, false, true);
    FNavigation->SetAdvanceDirection(saved);
    if (FNavigation->CursorWalkAlwaysEdit())
        ShowEditor();
}
