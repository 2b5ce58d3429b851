// The custom editor link: shown in place or on its popup form, the keys that
// leave it, the popup's deactivation and the commit on exit.
#include "grid/editing/EditLink.h"

#include "grid/ProGrid.h"
#include "platform/gui/Messages.h"

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) {}

TEditLink::~TEditLink()
{
    if (FGrid && FGrid->EditLink() == this)
        FGrid->SetEditLink(nullptr);
}

void TEditLink::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid)
        FGrid = nullptr;
}

void TEditLink::Show(TProStringGrid* AGrid, int RealCol, int ARow, const TRect& R, TColor CellColor, TFont* CellFont,
                     const AnsiString& Text)
{
    if (FGrid != AGrid) {
        if (FGrid)
            FGrid->RemoveFreeNotification(this);
        FGrid = AGrid;
        AGrid->FreeNotification(this);
    }
    FEditCell = TPoint(RealCol, ARow);
    if (FEditStyle == esPopup) {
        if (FAutoPopupWidth)
            FPopupWidth = R.Right - R.Left;
        // The link owns its popup form: no form is looked up or freed by name.
        if (!FPopupForm) {
            FPopupForm = new TForm(this);
            FPopupForm->SetName("gridform");
        }
        const TPoint at = FPopupLeft != -1 && FPopupTop != -1 ? TPoint(FPopupLeft, FPopupTop)
                                                              : FGrid->ClientToScreen(TPoint(R.Left, R.Top));
        FPopupForm->SetBounds(at.X, at.Y, 0, 0);
        FPopupForm->OnDeactivate = [this](TObject* Sender) { PopupDeactivate(Sender); };
        FPopupForm->SetFormStyle(fsStayOnTop);
        FPopupForm->SetBorderStyle(bsNone);
        FPopupForm->Show();
        FPopupForm->SetBounds(at.X, at.Y, FPopupWidth, FPopupHeight);
        CreateEditor(FPopupForm);
        SetRect(TRect(0, 0, FPopupWidth, FPopupHeight));
    } else {
        CreateEditor(FGrid);
        SetRect(R);
    }
    SetVisible(true);
    SetCellProps(CellColor, CellFont);
    SetProperties();
    if (FGrid->OnGetEditorProp)
        FGrid->OnGetEditorProp(FGrid, RealCol, ARow, this);
    SetEditorValue(Text);
    SetFocus(true);
}

void TEditLink::SetFocus(bool Value)
{
    TWinControl* c = GetEditControl();
    if (Value && c) {
        if (!c->Visible())
            c->SetVisible(true);
        if (!c->Enabled())
            c->SetEnabled(true);
    }
    if (c && FEditStyle == esInplace && FGrid)
        FGrid->HookEditLinkControl(c);
    if (Value) {
        if (c && c->CanFocus())
            c->SetFocus();
    } else if (FGrid && FGrid->CanFocus()) {
        FGrid->SetFocus();
    }
}

void TEditLink::SetRect(TRect R)
{
    if (TWinControl* c = GetEditControl()) {
        const int line = FGrid ? FGrid->GridLineWidth() : 1;
        c->SetBounds(R.Left, R.Top, R.Right - R.Left - line, R.Bottom - R.Top - line);
    }
}

void TEditLink::SetVisible(bool Value)
{
    if (TWinControl* c = GetEditControl())
        c->SetVisible(Value);
}

void TEditLink::HideEditor()
{
    TWinControl* c = GetEditControl();
    if (!c || FEditStyle != esInplace)
        return;
    if (FGrid)
        FGrid->UnhookEditLinkControl(c);
    if (c->Visible())
        c->SetVisible(false);
}

void TEditLink::StoreValue(const AnsiString& s)
{
    if (FGrid)
        FGrid->StoreEditText(FGrid->RealColIndex(FGrid->Col()), FGrid->Row(), s);
}

void TEditLink::EditDone()
{
    StoreValue(GetEditorValue());
    if (FGrid)
        FGrid->EndCellEdit();
    HideEditor();
}

void TEditLink::EditExit()
{
    // The focus going back to the grid from EditKeyDown is no exit of the edit.
    if (FLeaving)
        return;
    EditDone();
    if (FEditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->Hide();
    }
}

void TEditLink::PopupDeactivate(TObject*)
{
    if (!FGrid)
        return;
    if (TInplaceEdit* e = FGrid->GetInplaceEditor())
        e->SetText(GetEditorValue());
    if (FLeaving) {
        StoreValue(GetEditorValue());
    } else {
        EditExit();
        FGrid->SetFocusIgnore(true);
    }
}

void TEditLink::ReturnFocusToGrid()
{
    FLeaving = true;
    if (FGrid && FGrid->CanFocus())
        FGrid->SetFocus();
    FLeaving = false;
}

void TEditLink::EditKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    if (!g)
        return;
    bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT ||
                 Key == VK_END || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN;
    if ((FWantKeyUpDown && (Key == VK_UP || Key == VK_DOWN)) ||
        (FWantKeyLeftRight && (Key == VK_LEFT || Key == VK_RIGHT)) || (FWantKeyHomeEnd && Key == VK_END) ||
        (FWantKeyPriorNext && (Key == VK_PRIOR || Key == VK_NEXT)) || (FWantKeyReturn && Key == VK_RETURN) ||
        (FWantKeyEscape && Key == VK_ESCAPE))
        leave = false;
    if (!leave)
        return;
    if (Key == VK_ESCAPE)
        SetEditorValue(g->KeptEditText());
    ReturnFocusToGrid();
    g->HideInplaceEditor(g->Col(), g->Row());
    // A popup closes with its edit (it opens again where the edit goes on).
    if (FEditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->Hide();
    }
    g->SetEditorChosen(false);
    g->SelectCell(g->Col(), g->Row());
    if (Key == VK_RETURN && g->ValueAccepted()) {
        g->AdvanceToNextCell(g->Col(), g->Row(), false, true, !(Shift & ssShift), false, true);
        Key = 0;
        return;
    }
    const bool accepted = g->ValueAccepted();
    g->SetValueAccepted(true);
    if (!accepted) {
        // The value was refused: the link opens again on the same cell.
        g->ShowInplaceEditor(g->Col(), g->Row());
        return;
    }
    if (Key == VK_ESCAPE) {
        Key = 0;
        return;
    }
    if (Key == VK_TAB || (Key >= VK_LEFT && Key <= VK_DOWN))
        g->GridKeyDown(Key, Shift);
    // The key is done with: left set, the control's own handling would hand it to the grid again.
    Key = 0;
    if (TWinControl* c = GetEditControl())
        c->SetEnabled(false);
    ReturnFocusToGrid();
}
