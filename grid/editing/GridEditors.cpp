// The grid's editor wrappers: which keys leave each editor and how they
// conclude the edit, Escape, the Return advance, Tab navigation, focus loss,
// the character filters of the edit with a button, the combo lookup and the
// events the editors fire on the grid.
#include "grid/editing/GridEditors.h"

#include <cstdlib>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Sound.h"

namespace {
constexpr char kBackspace = 8, kTab = 9, kReturn = 13, kEscape = 27;

TProStringGrid* GridOf(TComponent* AOwner)
{
    // Only the grid makes its editors.
    return &dynamic_cast<TProStringGrid&>(*AOwner);
}

void FocusGrid(TProStringGrid* g)
{
    if (g->CanFocus())
        g->SetFocus();
}

bool GridTabs(TProStringGrid* g) { return g->Options() & goTabs; }

// Return and Escape are wanted, and Tab while the grid moves by Tab.
void WantLeaveKeys(TProStringGrid* g, TMessage& Message)
{
    const Word key = Word(Message.WParam);
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && GridTabs(g)))
        Message.Result = 1;
}

void FireGridKeyDown(TProStringGrid* g, Word& Key, TShiftState Shift)
{
    if (g->OnKeyDown)
        g->OnKeyDown(g, Key, Shift);
}

void FireGridKeyPress(TProStringGrid* g, char& Key)
{
    if (g->OnKeyPress)
        g->OnKeyPress(g, Key);
}

void FireEditChange(TProStringGrid* g, const AnsiString& Text)
{
    if (g->OnEditChange)
        g->OnEditChange(g, g->Col(), g->Row(), Text);
}

void FireOwnKeyDown(TWinControl* Editor, Word& Key, TShiftState Shift)
{
    if (Editor->OnKeyDown)
        Editor->OnKeyDown(Editor, Key, Shift);
}

bool Concludes(Word Key) { return Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN; }

// Return with AdvanceOnEnter and Tab with goTabs leave the editor for the next cell; true when done.
bool LeaveForNextCell(TProStringGrid* g, Word& Key, TShiftState Shift)
{
    const bool next = (Key == VK_RETURN && g->Navigation()->AdvanceOnEnter()) || (Key == VK_TAB && GridTabs(g));
    if (!next)
        return false;
    // A refused value keeps the user in the reopened editor.
    if (!g->LeaveCellEdit()) {
        Key = 0;
        return true;
    }
    FocusGrid(g);
    if (Key == VK_RETURN) {
        Key = 0;
        g->AdvanceToNextCell(g->Col(), g->Row(), false, true, true, false, true);
        return true;
    }
    g->TabToNextCell(Shift & ssShift);
    return true;
}

// The rest of the leave-key protocol of the edits: after the text was concluded,
// Return and Tab to the next cell, Escape's own step, then the grid takes the key.
void LeaveEditor(TProStringGrid* g, Word& Key, TShiftState Shift, const std::function<void()>& Escape)
{
    if (LeaveForNextCell(g, Key, Shift))
        return;
    if (Key == VK_ESCAPE && Escape)
        Escape();
    g->EditorExitKey(Key, Shift);
}

// The 8-bit text protocol: the editor's text into the current cell and concluded;
// false (the cell's text back in the editor) when it was refused.
bool ConcludeText(TProStringGrid* g, TCustomEdit* Editor, const AnsiString& Text)
{
    g->SetCurrentCell(Text);
    const bool accepted = g->FinishCellEdit(Text);
    Editor->SetText(g->GetCurrentGridCell());
    if (!accepted) {
        // The user stays in the editor.
        if (Editor->CanFocus() && !Editor->Focused())
            Editor->SetFocus();
        Editor->SetSelStart(int(Editor->Text().size()));
        Editor->Invalidate();
    }
    return accepted;
}

WideString CurrentWideCell(TProStringGrid* g) { return g->GetWideCell(g->RealColIndex(g->Col()), g->Row()); }

void EndEditOnExit(TProStringGrid* g)
{
    // While the grid takes a value back, or puts a refused one back, it moves the focus itself.
    if (!g->TakingBack() && !g->FinishingEdit())
        g->EndCellEdit();
}
}  // namespace

// ---------------------------------------------------------------- the combos' shared keys
// Lookup, leave keys, the wheel, item events and the drop-down width of the
// two combo wrappers; the Unicode combo works on wide text and its own items.
class TGridComboKeys {
public:
    TGridComboKeys(TProStringGrid* AGrid, TPSGCustomCombo* ACombo, TCustomUNIComboBox* AWide)
        : G(AGrid), C(ACombo), W(AWide)
    {
    }
    WideString Text() const { return W ? W->WideText() : AnsiToWide(C->Text()); }
    void SetText(const WideString& S) const
    {
        if (W)
            W->SetWideText(S);
        else
            C->SetText(WideToAnsi(S));
    }
    int ItemCount() const { return W ? W->WideItems()->Count() : C->Items()->Count(); }
    WideString Item(int i) const { return W ? W->WideItems()->Get(i) : AnsiToWide(C->Items()->Strings(i)); }
    int IndexOf(const WideString& S) const
    {
        for (int i = 0; i < ItemCount(); ++i)
            if (Item(i) == S)
                return i;
        return -1;
    }
    bool ListMode() const { return C->Style() == csDropDownList || C->DroppedDown(); }
    WideString CellText() const { return W ? CurrentWideCell(G) : AnsiToWide(G->GetCurrentGridCell()); }

    bool KeyDown(Word& Key, TShiftState Shift)
    {
        if (Key == VK_BACK || Key == VK_DELETE)
            LookupEnabled = false;
        bool leave;
        if (ListMode())
            leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT;
        else
            leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT ||
                    Key == VK_END || Key == VK_UP || Key == VK_DOWN;
        if (Key == VK_DOWN && (Shift & ssAlt))
            leave = false;
        if (!leave) {
            FireGridKeyDown(G, Key, Shift);
            return false;
        }
        if (Shift & ssCtrl)
            return false;
        FireOwnKeyDown(C, Key, Shift);
        if (Concludes(Key)) {
            bool accepted;
            if (W) {
                const WideString t = Text();
                G->SetWideCell(G->RealColIndex(G->Col()), G->Row(), t);
                accepted = G->FinishCellEditWide(t);
            } else {
                const AnsiString t = C->Text();
                G->SetCurrentCell(t);
                accepted = G->FinishCellEdit(t);
            }
            if (!accepted) {
                SetText(CellText());
                Key = 0;
                return true;
            }
            if (C->Style() == csDropDownList)
                C->SetItemIndex(IndexOf(CellText()));
            else
                SetText(CellText());
        }
        LeaveEditor(G, Key, Shift, [this] {
            G->CancelEditorValue();
            SetText(CellText());
            const int i = IndexOf(CellText());
            if (i >= 0)
                C->SetItemIndex(i);
        });
        Key = 0;
        return true;
    }

    void KeyUp(Word& Key)
    {
        if (Key != VK_RETURN && LookupEnabled)
            Lookup();
        LookupEnabled = true;
    }

    // Escape, Return and Tab type nothing; the grid's OnKeyPress sees every key.
    void KeyPress(char& Key)
    {
        FireGridKeyPress(G, Key);
        if (Key == kEscape || Key == kReturn || Key == kTab)
            Key = 0;
    }

    void Lookup()
    {
        if (!G->Lookup())
            return;
        const int caret = C->SelStart();
        const WideString text = Text();
        if (caret <= 0 || caret > int(text.size()))
            return;
        const bool cs = G->LookupCaseSensitive();
        const WideString typed = text.substr(0, std::size_t(caret));
        const WideString probe = cs ? typed : WideLowerCase(typed);
        auto begins = [&](const WideString& item) {
            const WideString head = item.substr(0, probe.size());
            return (cs ? head : WideLowerCase(head)) == probe;
        };
        for (int i = 0; i < ItemCount(); ++i) {
            const WideString item = Item(i);
            if (item.size() >= typed.size() && begins(item)) {
                C->SetItemIndex(i);
                Complete(typed, item);
                CompletedIndex = i;
                Completed = true;
                return;
            }
        }
        if (W)
            return;
        TStringList* items = G->LookupItems();
        for (int i = 0; i < items->Count(); ++i) {
            const WideString item = AnsiToWide(items->Strings(i));
            if (item.size() >= typed.size() && begins(item)) {
                Complete(typed, item);
                Completed = true;
                return;
            }
        }
    }

    void Complete(const WideString& Typed, const WideString& Item)
    {
        const WideString rest = Item.substr(Typed.size(), 255);
        SetText(Typed + rest);
        C->Perform(CB_SETEDITSEL, 0, MAKELPARAM(Word(Typed.size()), Word(Typed.size() + rest.size())));
    }

    // The wheel moves the item index by one.
    void Wheel(TMessage& Message)
    {
        const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
        int i = C->ItemIndex();
        i = delta < 0 ? std::min(i + 1, ItemCount() - 1) : std::max(i - 1, 0);
        if (i >= 0 && i < ItemCount()) {
            C->SetItemIndex(i);
            SetText(Item(i));
        }
        const AnsiString text = WideToAnsi(Text());
        FireEditChange(G, text);
        FireComboChange(text, true);
        Message.Result = 1;
    }

    // OnComboChange with the item index and Text, and OnComboObjectChange when asked for.
    void FireComboChange(const AnsiString& Text, bool WithObject)
    {
        LastIndex = C->ItemIndex();
        const int realCol = G->RealColIndex(G->Col());
        if (G->OnComboChange)
            G->OnComboChange(G, realCol, G->Row(), LastIndex, Text);
        if (WithObject && G->OnComboObjectChange)
            G->OnComboObjectChange(G, realCol, G->Row(), LastIndex, Text,
                                   LastIndex >= 0 && !W ? C->Items()->Objects(LastIndex) : nullptr);
    }

    void ReportIndex()
    {
        if (C->ItemIndex() != LastIndex)
            FireComboChange(WideToAnsi(Text()), false);
    }

    // The combo's notifications to the grid: a chosen item or typed text is reported;
    // the close of a list the combo dropped puts the chosen item into the editor and ends
    // the edit (a close without an open list, as when the editor is set up, is no choice).
    void Notified(Word Code)
    {
        if (!C->Visible())
            return;
        switch (Code) {
        case CBN_DROPDOWN: ListOpen = true; break;
        case CBN_SELCHANGE:
            if (!W) {
                const int i = C->ItemIndex();
                FireComboChange(i >= 0 ? C->Items()->Strings(i) : C->Text(), i >= 0 && C->Items()->Objects(i));
            }
            break;
        case CBN_EDITCHANGE: FireComboChange(WideToAnsi(Text()), false); break;
        case CBN_CLOSEUP: {
            if (!ListOpen || W)
                break;
            ListOpen = false;
            if (C->ItemIndex() >= 0)
                SetText(Item(C->ItemIndex()));
            // The user's choice: a refused item opens the editor again.
            G->LeaveCellEdit();
            if (G->OnComboCloseUp)
                G->OnComboCloseUp(G, G->Row(), G->Col());
            break;
        }
        default: break;
        }
    }

    // Focused by the click that opened the editor: the caret goes to the clicked character.
    void PlaceCaretAtClick()
    {
        if (!G->CaretRequest())
            return;
        G->SetCaretRequest(false);
        TPoint screen;
        GetCursorPos(screen);
        const TPoint p = C->ScreenToClient(screen);
        if (!PtInRect(C->ClientRect(), p))
            return;
        C->SetSelStart(LOWORD(C->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(p.X, p.Y))));
        C->SetSelLength(0);
    }

    // Shown anew: no list is open, and the index shown is the one reported last.
    void Shown()
    {
        ListOpen = false;
        LastIndex = C->ItemIndex();
    }

    void Exit()
    {
        if (G->LookupHistory()) {
            const WideString t = Text();
            if (!t.empty() && IndexOf(t) < 0) {
                if (W)
                    W->WideItems()->Add(t);
                else
                    C->Items()->Add(C->Text());
            }
        }
    }

    void SizeDropDown()
    {
        TCanvas* canvas = G->Canvas();
        canvas->Font()->Assign(G->Font());
        int width = C->Width();
        const bool scrolls = ItemCount() > C->DropDownCount();
        // The Unicode combo's items are measured as they show, letters beyond Windows-1250 too.
        auto textWidth = [&](int i) {
            if (!W)
                return canvas->TextWidth(C->Items()->Strings(i));
            TRect r(0, 0, 0, 0);
            DrawTextW(canvas, Item(i), r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            return r.Width();
        };
        for (int i = 0; i < ItemCount(); ++i) {
            const int tw = textWidth(i);
            if (scrolls && tw > width - 25)
                width = tw + 25;
            else if (!scrolls && tw > width - 5)
                width = tw + 8;
        }
        C->Perform(CB_SETDROPPEDWIDTH, WPARAM(width), 0);
    }

    TProStringGrid* G;
    TPSGCustomCombo* C;
    TCustomUNIComboBox* W;
    bool LookupEnabled = true;
    int CompletedIndex = -1;
    bool Completed = false;
    int LastIndex = -1;
    bool ListOpen = false;
};

// ---------------------------------------------------------------- TGridCheckBox
TGridCheckBox::TGridCheckBox(TComponent* AOwner) : TCheckBox(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
}

void TGridCheckBox::DoExit()
{
    EndEditOnExit(FGrid);
    TCheckBox::DoExit();
}

void TGridCheckBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

void TGridCheckBox::WMLButtonDown(TWMMouse& Message)
{
    // The press toggles the box; the button's own click on release does not toggle it again.
    SetChecked(!Checked());
    if (CanFocus() && !Focused())
        SetFocus();
    Message.M.Result = 0;
}

void TGridCheckBox::KeyDown(Word& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_SPACE:
        SetChecked(!Checked());
        Key = 0;
        return;
    case VK_RETURN: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: {
        FGrid->EndCellEdit();
        FocusGrid(FGrid);
        if (Key == VK_RETURN && FGrid->Navigation()->AdvanceOnEnter())
            FGrid->AdvanceToNextCell(FGrid->Col(), FGrid->Row(), false, true, true, false, true);
        else if (Key == VK_UP || Key == VK_DOWN)
            FGrid->GridKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    default: TCheckBox::KeyDown(Key, Shift);
    }
}

// ---------------------------------------------------------------- TGridSpin
TGridSpin::TGridSpin(TComponent* AOwner) : TPsgSpinEdit(AOwner), FGrid(GridOf(AOwner))
{
    SetMinValue(0);
    SetMaxValue(100);
    SetIncrement(1);
    SetVisible(false);
    SetEnabled(false);
}

void TGridSpin::DoExit()
{
    EndEditOnExit(FGrid);
    TPsgSpinEdit::DoExit();
}

void TGridSpin::CMWantSpecialKey(TMessage& Message)
{
    TPsgSpinEdit::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridSpin::WMKeyDown(TWMKey& Message)
{
    // Up and Down leave the grid's spin, and the page keys of numbers step within the limits:
    // those skip the edit's own steps; dates and times page as the edit does.
    const Word key = Message.CharCode();
    const bool number = SpinType() == sptNormal || SpinType() == sptFloat;
    if (key == VK_UP || key == VK_DOWN || (number && (key == VK_PRIOR || key == VK_NEXT)))
        TCustomMaskEdit::WMKeyDown(Message);
    else
        TPsgSpinEdit::WMKeyDown(Message);
}

void TGridSpin::FireSpinClick(bool Up)
{
    TProStringGrid* g = FGrid;
    const int c = g->Col(), r = g->Row();
    switch (SpinType()) {
    case sptFloat:
        if (g->OnFloatSpinClick)
            g->OnFloatSpinClick(g, c, r, FloatValue(), Up);
        break;
    case sptDate:
        if (g->OnDateSpinClick)
            g->OnDateSpinClick(g, c, r, DateValue(), Up);
        break;
    case sptTime:
        if (g->OnTimeSpinClick)
            g->OnTimeSpinClick(g, c, r, TimeValue(), Up);
        break;
    default:
        if (g->OnSpinClick)
            g->OnSpinClick(g, c, r, Value(), Up);
        break;
    }
}

void TGridSpin::UpClick(TObject* Sender)
{
    TPsgSpinEdit::UpClick(Sender);
    FireSpinClick(true);
}

void TGridSpin::DownClick(TObject* Sender)
{
    TPsgSpinEdit::DownClick(Sender);
    FireSpinClick(false);
}

void TGridSpin::PageKey(Word Key)
{
    if (SpinType() == sptFloat) {
        const double v = FloatValue();
        double n = v;
        if (Key == VK_PRIOR) n = v + IncrementFloat();
        else if (Key == VK_NEXT) n = v - IncrementFloat();
        else if (Key == VK_END) n = MinFloatValue();
        else n = MaxFloatValue();
        if (n >= MinFloatValue() && n <= MaxFloatValue())
            SetFloatValue(n);
    } else {
        const int v = Value();
        int n = v;
        if (Key == VK_PRIOR) n = StepInteger(v, Increment());
        else if (Key == VK_NEXT) n = StepInteger(v, -(long long)Increment());
        else if (Key == VK_END) n = MinValue();
        else n = MaxValue();
        if (n >= MinValue() && n <= MaxValue())
            SetValue(n);
    }
    if (FGrid->OnSpinClick)
        FGrid->OnSpinClick(FGrid, FGrid->Col(), FGrid->Row(), Value(), false);
}

void TGridSpin::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    const bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN;
    if (!leave)
        FireGridKeyDown(g, Key, Shift);
    if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME) {
        if (SpinType() == sptNormal || SpinType() == sptFloat) {
            PageKey(Key);
            Key = 0;
            return;
        }
    }
    if (!leave || (Shift & ssCtrl)) {
        TPsgSpinEdit::KeyDown(Key, Shift);
        return;
    }
    FireOwnKeyDown(this, Key, Shift);
    // A value the user did not change concludes as the cell holds it, and so does Escape:
    // the editor shows the cell's text again as filled, and taking it back stores nothing.
    auto refill = [this](const AnsiString& CellText) {
        Fill(CellText);
        MarkFilled();
    };
    if (Concludes(Key)) {
        const bool changed = ChangedSinceFilled();
        const bool accepted = ConcludeText(g, this, changed ? Text() : g->GetCurrentGridCell());
        if (!accepted || !changed)
            refill(g->GetCurrentGridCell());
        if (!accepted) {
            SetSelStart(int(Text().size()));
            Key = 0;
            return;
        }
    }
    LeaveEditor(g, Key, Shift, [this, refill] {
        refill(FGrid->KeptEditText());
        FGrid->RestoreEditText();
    });
    Key = 0;
}

void TGridSpin::Fill(const AnsiString& CellText)
{
    FFilling = true;
    struct Done {
        bool& Flag;
        ~Done() { Flag = false; }
    } done{FFilling};
    switch (SpinType()) {
    case sptNormal: {
        int v = 0;
        SetText(TryStrToInt(Trim(CellText), v) ? IntToStr(v) : CellText);
        break;
    }
    case sptFloat: {
        // The cell's number in CleanNumberText's form ("." decimal); 0 when it is none.
        const AnsiString clean = CleanNumberText(CellText);
        char* end = nullptr;
        const double v = std::strtod(clean.c_str(), &end);
        SetText(FloatText(end && end != clean.c_str() ? v : 0.0));
        break;
    }
    case sptDate: {
        TDateTime d = Now();
        if (!CellText.empty() && !TryStrToDate(CellText, d))
            d = Now();
        SetText(FormatDateTime(FormatSettings.ShortDateFormat, d));
        break;
    }
    default: SetText(CellText); break;
    }
}

void TGridSpin::WMChar(TWMKey& Message)
{
    if (Message.CharCode() == kTab || Message.CharCode() == kReturn)
        return;
    TPsgSpinEdit::WMChar(Message);
}

void TGridSpin::KeyPress(char& Key)
{
    FireGridKeyPress(FGrid, Key);
    if (Key == kReturn) {
        Key = 0;
        return;
    }
    TPsgSpinEdit::KeyPress(Key);
}

void TGridSpin::Change()
{
    TPsgSpinEdit::Change();
    FireEditChange(FGrid, Text());
    // The user's typing: not the editor being filled from the cell, nor its value held within
    // the limits as the focus leaves it.
    if (!FFilling && Focused() && FGrid->ActiveEditor() == this)
        FGrid->FollowEditorText(this);
}

// ---------------------------------------------------------------- Unicode edits
namespace {
// The wide leave-key protocol: Tab, Return, Up and Down conclude the wide text
// (StoreFirst: into the cell first); a refusal reloads the cell's text.
void UniLeaveKey(TProStringGrid* g, TWinControl* Editor, Word& Key, TShiftState Shift, bool StoreFirst,
                 bool Concluding)
{
    FireOwnKeyDown(Editor, Key, Shift);
    auto reload = [g, Editor] {
        SetWideText(Editor, CurrentWideCell(g));
        if (auto* e = dynamic_cast<TCustomEdit*>(Editor))
            e->SetSelStart(int(e->WideText().size()));
    };
    if (Concluding) {
        const WideString text = GetWideText(Editor);
        if (StoreFirst)
            g->SetWideCell(g->RealColIndex(g->Col()), g->Row(), text);
        if (!g->FinishCellEditWide(text)) {
            reload();
            Key = 0;
            return;
        }
        // The editor shows what the cell keeps (a value the validation amended).
        SetWideText(Editor, CurrentWideCell(g));
    }
    LeaveEditor(g, Key, Shift, reload);
    Key = 0;
}

void UniFocus(TProStringGrid* g, TCustomEdit* Editor)
{
    if (g->Navigation()->EditSelectAll())
        Editor->SelectAll();
    else
        Editor->SetSelStart(int(Editor->WideText().size()));
}
}  // namespace

TGridUniEdit::TGridUniEdit(TComponent* AOwner) : TPsgUniEdit(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
    // Taking the focus, the editor selects as the grid's EditSelectAll says (UniFocus), not all.
    SetAutoSelect(false);
}

void TGridUniEdit::DoExit()
{
    EndEditOnExit(FGrid);
    SetWideText(WideString());
    TPsgUniEdit::DoExit();
}

void TGridUniEdit::CMWantSpecialKey(TMessage& Message)
{
    TPsgUniEdit::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridUniEdit::KeyDown(Word& Key, TShiftState Shift)
{
    const bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN;
    if (!leave)
        FireGridKeyDown(FGrid, Key, Shift);
    if (!leave || (Shift & ssCtrl)) {
        TPsgUniEdit::KeyDown(Key, Shift);
        return;
    }
    UniLeaveKey(FGrid, this, Key, Shift, false, Concludes(Key));
}

void TGridUniEdit::WMChar(TWMKey& Message)
{
    if (Message.CharCode() == kTab || Message.CharCode() == kReturn)
        return;
    TPsgUniEdit::WMChar(Message);
}

void TGridUniEdit::KeyPress(char& Key)
{
    FireGridKeyPress(FGrid, Key);
    if (Key == kReturn)
        Key = 0;
    else
        TPsgUniEdit::KeyPress(Key);
}

void TGridUniEdit::WMSetFocus(TWMFocus& Message)
{
    TPsgUniEdit::WMSetFocus(Message);
    UniFocus(FGrid, this);
}

TGridUniEditBtn::TGridUniEditBtn(TComponent* AOwner) : TPsgUniEditBtn(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
    SetAutoSelect(false);
    OnClickBtn = [this](TObject*) {
        if (FGrid->OnWideEllipsClick) {
            WideString v = WideText();
            FGrid->OnWideEllipsClick(FGrid, FGrid->Col(), FGrid->Row(), v);
            SetWideText(v);
        } else {
            AnsiString v;
            FGrid->EllipsClick(Text(), v);
            SetWideText(AnsiToWide(v));
        }
        SelectAll();
    };
}

void TGridUniEditBtn::DoExit()
{
    EndEditOnExit(FGrid);
    SetWideText(WideString());
    TPsgUniEditBtn::DoExit();
}

void TGridUniEditBtn::CMWantSpecialKey(TMessage& Message)
{
    TPsgUniEditBtn::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridUniEditBtn::KeyDown(Word& Key, TShiftState Shift)
{
    const bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN;
    if (!leave)
        FireGridKeyDown(FGrid, Key, Shift);
    if (!leave || (Shift & ssCtrl)) {
        TPsgUniEditBtn::KeyDown(Key, Shift);
        return;
    }
    UniLeaveKey(FGrid, this, Key, Shift, true, Concludes(Key));
}

void TGridUniEditBtn::WMChar(TWMKey& Message)
{
    if (Message.CharCode() == kTab || Message.CharCode() == kReturn)
        return;
    TPsgUniEditBtn::WMChar(Message);
}

void TGridUniEditBtn::KeyPress(char& Key)
{
    FireGridKeyPress(FGrid, Key);
    if (Key == kReturn)
        Key = 0;
    else
        TPsgUniEditBtn::KeyPress(Key);
}

void TGridUniEditBtn::WMSetFocus(TWMFocus& Message)
{
    TPsgUniEditBtn::WMSetFocus(Message);
    UniFocus(FGrid, this);
}

TGridUniMemo::TGridUniMemo(TComponent* AOwner) : TPsgUniMemo(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
}

void TGridUniMemo::DoExit()
{
    EndEditOnExit(FGrid);
    TPsgUniMemo::DoExit();
}

void TGridUniMemo::WMGetDlgCode(TMessage& Message)
{
    TPsgUniMemo::WMGetDlgCode(Message);
    // Return makes a new line.
    Message.Result |= DLGC_WANTALLKEYS;
}

void TGridUniMemo::CMWantSpecialKey(TMessage& Message)
{
    TPsgUniMemo::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridUniMemo::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    const bool leave = Key == VK_TAB || Key == VK_ESCAPE;
    if (!leave)
        FireGridKeyDown(g, Key, Shift);
    if (!leave || (Shift & ssCtrl)) {
        TPsgUniMemo::KeyDown(Key, Shift);
        return;
    }
    FireOwnKeyDown(this, Key, Shift);
    if (Key == VK_TAB) {
        const WideString text = WideText();
        g->SetWideCell(g->RealColIndex(g->Col()), g->Row(), text);
        if (!g->FinishCellEditWide(text)) {
            SetWideText(CurrentWideCell(g));
            Key = 0;
            return;
        }
        SetWideText(CurrentWideCell(g));
        if (GridTabs(g)) {
            g->SetEditorChosen(true);
            g->EndCellEdit();
            FocusGrid(g);
            g->TabToNextCell(Shift & ssShift);
            Key = 0;
            return;
        }
    } else {
        SetWideText(CurrentWideCell(g));
    }
    g->EditorExitKey(Key, Shift);
    Key = 0;
}

void TGridUniMemo::WMChar(TWMKey& Message)
{
    if (Message.CharCode() == kTab)
        return;
    TPsgUniMemo::WMChar(Message);
}

// ---------------------------------------------------------------- combos
TGridCombo::TGridCombo(TComponent* AOwner)
    : TPSGComboBox(AOwner), FGrid(GridOf(AOwner)), FKeys(std::make_unique<TGridComboKeys>(FGrid, this, nullptr))
{
    SetButtonWidth(16);
    SetVisible(false);
    SetEnabled(false);
}

TGridCombo::~TGridCombo() = default;

void TGridCombo::SizeDropDownToItems() { FKeys->SizeDropDown(); }

void TGridCombo::Notified(Word Code) { FKeys->Notified(Code); }

void TGridCombo::Shown() { FKeys->Shown(); }

void TGridCombo::AutoSelected()
{
    FKeys->Shown();
    Change();
}

void TGridCombo::DoExit()
{
    FKeys->Exit();
    EndEditOnExit(FGrid);
    TPSGComboBox::DoExit();
}

void TGridCombo::CMWantSpecialKey(TMessage& Message)
{
    TPSGComboBox::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridCombo::KeyDown(Word& Key, TShiftState Shift)
{
    if (!FKeys->KeyDown(Key, Shift))
        TPSGComboBox::KeyDown(Key, Shift);
}

void TGridCombo::KeyUp(Word& Key, TShiftState Shift)
{
    TPSGComboBox::KeyUp(Key, Shift);
    FKeys->KeyUp(Key);
}

void TGridCombo::KeyPress(char& Key)
{
    FKeys->KeyPress(Key);
    if (Key)
        TPSGComboBox::KeyPress(Key);
}

void TGridCombo::Change()
{
    TPSGComboBox::Change();
    FKeys->ReportIndex();
    FireEditChange(FGrid, Text());
}

void TGridCombo::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEWHEEL && Visible()) {
        FKeys->Wheel(Message);
        return;
    }
    TPSGComboBox::WndProc(Message);
    if (Message.Msg == WM_SETFOCUS)
        FKeys->PlaceCaretAtClick();
}

TGridUniCombo::TGridUniCombo(TComponent* AOwner)
    : TPSGUniComboBox(AOwner), FGrid(GridOf(AOwner)), FKeys(std::make_unique<TGridComboKeys>(FGrid, this, this))
{
    SetButtonWidth(16);
    SetVisible(false);
    SetEnabled(false);
}

TGridUniCombo::~TGridUniCombo() = default;

void TGridUniCombo::SizeDropDownToItems() { FKeys->SizeDropDown(); }

void TGridUniCombo::Notified(Word Code) { FKeys->Notified(Code); }

void TGridUniCombo::Shown() { FKeys->Shown(); }

void TGridUniCombo::DoExit()
{
    FKeys->Exit();
    EndEditOnExit(FGrid);
    if (Style() != csDropDownList)
        SetWideText(WideString());
    TPSGUniComboBox::DoExit();
}

void TGridUniCombo::CMWantSpecialKey(TMessage& Message)
{
    TPSGUniComboBox::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridUniCombo::KeyDown(Word& Key, TShiftState Shift)
{
    if (!FKeys->KeyDown(Key, Shift))
        TPSGUniComboBox::KeyDown(Key, Shift);
}

void TGridUniCombo::KeyUp(Word& Key, TShiftState Shift)
{
    TPSGUniComboBox::KeyUp(Key, Shift);
    FKeys->KeyUp(Key);
}

void TGridUniCombo::KeyPress(char& Key)
{
    FKeys->KeyPress(Key);
    if (Key)
        TPSGUniComboBox::KeyPress(Key);
}

void TGridUniCombo::Change()
{
    TPSGUniComboBox::Change();
    FKeys->ReportIndex();
    FireEditChange(FGrid, Text());
}

void TGridUniCombo::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEWHEEL && Visible()) {
        FKeys->Wheel(Message);
        return;
    }
    TPSGUniComboBox::WndProc(Message);
    if (Message.Msg == WM_SETFOCUS)
        FKeys->PlaceCaretAtClick();
}

// ---------------------------------------------------------------- TGridDatePicker
TGridDatePicker::TGridDatePicker(TComponent* AOwner) : TDateTimePicker(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
    OnDropDown = [this](TObject*) { FDropped = true; };
    OnCloseUp = [this](TObject*) {
        FDropped = false;
        FGrid->DatePickerClosedUp();
    };
}

void TGridDatePicker::Change()
{
    FUserChanged = true;
    // The grid hears of the change before the picker's own OnChange.
    FGrid->DatePickerChanged(this);
    TDateTimePicker::Change();
}

void TGridDatePicker::PaintOver(TCanvas* Canvas)
{
    Canvas->Brush()->SetColor(clWindow);
    TRect r(0, 0, Width(), Height());
    Canvas->FrameRect(r);
    InflateRect(r, -1, -1);
    Canvas->FrameRect(r);
}

void TGridDatePicker::DoExit()
{
    EndEditOnExit(FGrid);
    TDateTimePicker::DoExit();
}

void TGridDatePicker::CMWantSpecialKey(TMessage& Message)
{
    TDateTimePicker::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridDatePicker::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    const bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
                       Key == VK_NEXT || Key == VK_END;
    // While the calendar is down the keys stay with it.
    if (!leave || FDropped) {
        TDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        TDateTime d = 0;
        const AnsiString text = g->GetCurrentCell();
        if (Kind() == dtkTime ? TryStrToTime(text, d) : TryStrToDate(text, d)) {
            if (Kind() == dtkTime)
                SetTime(d);
            else
                SetDate(d);
        }
        FUserChanged = false;
    }
    // Taking the picker back stores its text when the user changed it; the edit concludes on that.
    if (!LeaveForNextCell(g, Key, Shift))
        g->EditorExitKey(Key, Shift);
    Key = 0;
}

// ---------------------------------------------------------------- TGridEditBtn
TGridEditBtn::TGridEditBtn(TComponent* AOwner) : TPsgEditBtn(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
    // The button and F4 run the grid's ellipsis event.
    OnClickBtn = [this](TObject*) {
        AnsiString value;
        FGrid->EllipsClick(Text(), value);
        SetText(value);
        SelectAll();
    };
}

void TGridEditBtn::DoExit()
{
    EndEditOnExit(FGrid);
    TPsgEditBtn::DoExit();
}

void TGridEditBtn::CMWantSpecialKey(TMessage& Message)
{
    TPsgEditBtn::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridEditBtn::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    const bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
                       Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    if (!leave)
        FireGridKeyDown(g, Key, Shift);
    FKeyDownCaret = SelStart();
    if (!leave || (Shift & ssCtrl)) {
        TPsgEditBtn::KeyDown(Key, Shift);
        return;
    }
    FireOwnKeyDown(this, Key, Shift);
    if (Concludes(Key) && !ConcludeText(g, this, Text())) {
        Key = 0;
        return;
    }
    LeaveEditor(g, Key, Shift, [this] { SetText(FGrid->KeptEditText()); });
    Key = 0;
}

void TGridEditBtn::KeyUp(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    if (g->OnKeyUp)
        g->OnKeyUp(g, Key, Shift);
    const int caret = SelStart(), length = int(Text().size());
    const bool walkRight = Key == VK_RIGHT && SelLength() == 0 && caret >= length;
    const bool walkLeft = Key == VK_LEFT && SelLength() == 0 && FKeyDownCaret == 0 && caret == 0;
    if ((walkLeft || walkRight) && Shift == 0 && g->Navigation()->CursorWalkEditor()) {
        Key = 0;
        g->EditorCursorWalk(Text(), walkRight);
        return;
    }
    if (Key != VK_RETURN)
        TPsgEditBtn::KeyUp(Key, Shift);
}

bool TGridEditBtn::AcceptChar(char Key)
{
    const TEditorType type = FGrid->EditorType();
    if (type == edEditBtn)
        return true;
    const AnsiString t = Text();
    const bool hasMinus = t.find('-') != AnsiString::npos;
    if (Key == kBackspace || Key == kTab || Key == kReturn || Key == kEscape || (Key >= '0' && Key <= '9'))
        return true;
    if (Key == '-') {
        const bool ok = type == edNumericEditBtn ? !hasMinus && SelStart() == 0
                                                 : (SelStart() == 0 && !hasMinus) || SelText().find('-') != AnsiString::npos;
        if (!ok)
            MessageBeep(0);
        return ok;
    }
    if (type == edNumericEditBtn) {
        MessageBeep(0);
        return false;
    }
    // edFloatEditBtn: one decimal separator, never the thousand separator; others are dropped silently.
    const TFormatSettings& fs = FormatSettings;
    if (Key == fs.ThousandSeparator && Key != fs.DecimalSeparator)
        return false;
    if (Key == fs.DecimalSeparator)
        return t.find(fs.DecimalSeparator) == AnsiString::npos || SelText().find(fs.DecimalSeparator) != AnsiString::npos;
    if (Key == ',' || Key == '.')
        return true;
    return (GetKeyState(VK_CONTROL) < 0);
}

void TGridEditBtn::WMChar(TWMKey& Message)
{
    const char key = char(Message.CharCode());
    if (key == kReturn || !AcceptChar(key))
        return;
    TPsgEditBtn::WMChar(Message);
}

void TGridEditBtn::KeyPress(char& Key)
{
    FireGridKeyPress(FGrid, Key);
    TPsgEditBtn::KeyPress(Key);
}

void TGridEditBtn::Change()
{
    TPsgEditBtn::Change();
    FireEditChange(FGrid, Text());
    if (Focused() && FGrid->ActiveEditor() == this)
        FGrid->FollowEditorText(this);
}

void TGridEditBtn::Paste()
{
    TProStringGrid* g = FGrid;
    if (!Clipboard()->HasFormat(CF_TEXT))
        return;
    bool allow = true;
    if (g->OnClipboardPaste)
        g->OnClipboardPaste(this, allow);
    if (!allow)
        return;
    AnsiString value = Clipboard()->AsText();
    if (g->OnClipboardBeforePasteCell)
        g->OnClipboardBeforePasteCell(this, g->Col(), g->Row(), value, allow);
    // What the handler gives back is what is pasted.
    if (allow)
        SetSelText(value);
}

void TGridEditBtn::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PASTE) {
        if (EditorEnabled() && !ReadOnly())
            Paste();
        return;
    }
    TPsgEditBtn::WndProc(Message);
}

// ---------------------------------------------------------------- TGridUnitEditBtn
TGridUnitEditBtn::TGridUnitEditBtn(TComponent* AOwner) : TPsgUnitEditBtn(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
}

void TGridUnitEditBtn::DoExit()
{
    EndEditOnExit(FGrid);
    TPsgUnitEditBtn::DoExit();
}

void TGridUnitEditBtn::CMWantSpecialKey(TMessage& Message)
{
    TPsgUnitEditBtn::CMWantSpecialKey(Message);
    WantLeaveKeys(FGrid, Message);
}

void TGridUnitEditBtn::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    const bool leave = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
                       Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    if (!leave || (Shift & ssCtrl)) {
        TPsgUnitEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (Concludes(Key)) {
        // The cell is the number with its unit.
        const AnsiString value = Text() + UnitID();
        g->SetCurrentCell(value);
        if (!g->FinishCellEdit(value)) {
            SetUnitID(AnsiString());
            SetText(g->GetCurrentGridCell());
            Key = 0;
            return;
        }
        ShowCellText(g->GetCurrentGridCell());
    }
    LeaveEditor(g, Key, Shift, [this] {
        SetUnitID(AnsiString());
        SetText(FGrid->GetCurrentGridCell());
    });
    Key = 0;
}

void TGridUnitEditBtn::ShowCellText(const AnsiString& CellText)
{
    // Digits, "-" and the separators make the number; every other character the unit.
    AnsiString number, unit;
    for (char ch : CellText) {
        if ((ch >= '0' && ch <= '9') || ch == '-' || ch == FormatSettings.ThousandSeparator ||
            ch == FormatSettings.DecimalSeparator)
            number += ch;
        else
            unit += ch;
    }
    SetUnitID(unit);
    SetText(number);
}

void TGridUnitEditBtn::WMChar(TWMKey& Message)
{
    if (Message.CharCode() == kReturn)
        return;
    TPsgUnitEditBtn::WMChar(Message);
}

// ---------------------------------------------------------------- TGridButton
TGridButton::TGridButton(TComponent* AOwner) : TButton(AOwner), FGrid(GridOf(AOwner))
{
    SetVisible(false);
    SetEnabled(false);
}

void TGridButton::DoExit()
{
    EndEditOnExit(FGrid);
    TButton::DoExit();
}

void TGridButton::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

void TGridButton::Ellipsis()
{
    AnsiString caption;
    FGrid->EllipsClick(Caption(), caption);
    SetCaption(caption);
    FGrid->SetCurrentCell(caption);
}

void TGridButton::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGrid;
    auto putAway = [this, g] {
        SetVisible(false);
        SetEnabled(false);
        g->SetEditorChosen(false);
        FocusGrid(g);
    };
    if (Key == VK_ESCAPE) {
        putAway();
        g->RestoreEditText();
        g->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
        Key = 0;
    } else if (Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN) {
        const Word k = Key;
        g->Perform(WM_KEYDOWN, k, 0);
        putAway();
        g->Perform(WM_KEYUP, k, 0);
        Key = 0;
    } else {
        TButton::KeyDown(Key, Shift);
    }
}

void TGridButton::KeyUp(Word& Key, TShiftState Shift)
{
    if (Key == VK_SPACE)
        Ellipsis();
    TButton::KeyUp(Key, Shift);
}

void TGridButton::WMLButtonUp(TWMMouse& Message)
{
    TButton::WMLButtonUp(Message);
    if (Visible())
        Ellipsis();
}
