#pragma once
// Standard controls: label, edits, memo, buttons, check and radio boxes,
// combo and list boxes, scroll bar and group box. Each windowed one wraps a
// toolkit widget; what is set before the window exists is kept and applied
// when it is made.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/MaskUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight { lrLeft, lrRight };

// States of an owner-drawn item.
enum TOwnerDrawStateFlag : unsigned {
    odSelected = 0x0001, odGrayed = 0x0002, odDisabled = 0x0004, odChecked = 0x0008, odFocused = 0x0010,
    odDefault = 0x0020, odHotLight = 0x0040, odInactive = 0x0080, odNoAccel = 0x0100, odNoFocusRect = 0x0200,
    odComboBoxEdit = 0x1000,
};
using TOwnerDrawState = unsigned;

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// An event its control hears being assigned (a property with a setter in the framework): a
// std::function type Event in every other way. Assigned runs after each assignment with whether
// the event was assigned before.
template <class Event>
class TWatchedEvent : public Event {
public:
    TWatchedEvent() = default;
    TWatchedEvent(const TWatchedEvent&) = delete;
    template <class F>
    TWatchedEvent& operator=(F&& Handler)
    {
        const bool was = bool(*this);
        Event::operator=(std::forward<F>(Handler));
        if (Assigned)
            Assigned(was);
        return *this;
    }
    std::function<void(bool WasAssigned)> Assigned;
};

// ---------------------------------------------------------------- TLabel
class TItemsSink;

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // The size follows the caption (only the height with WordWrap).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    // Alt with the caption's "&" letter focuses this control.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    // DrawText flags of the caption as the properties ask.
    unsigned TextFlags() const;
    virtual void AdjustBounds();
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FAutoSize = true;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------- edits
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // 0: no limit. Typing beyond it is refused; text set from code is kept whole.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    // Not 0: the text shows as that character repeated.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v);
    // The whole text is selected when the edit gets the focus.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    // True: the selection shows only while the edit has the focus (it is kept when the focus goes).
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    // Set by the user's typing; cleared or set from code.
    bool Modified() const;
    void SetModified(bool v);

    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    AnsiString SelText() const;
    // Replaces the selection (fires OnChange).
    void SetSelText(const AnsiString& v);
    void SelectAll();
    void ClearSelection() { SetSelText(AnsiString()); }
    void Clear() { SetText(AnsiString()); }
    // The caret: X the character index in its line, Y the line (always 0 in a one-line edit).
    TPoint CaretPos() const;
    // Made with ES_MULTILINE (CreateParams): the text may hold line breaks (CR LF, two characters of
    // Text and of the selection) and, without ES_AUTOHSCROLL, wraps at the edit's width.
    bool IsMultiLine() const;

    // The text as Unicode: what the user typed (beyond Windows-1250 too, in a
    // Unicode window) and what SetWideText gave; Text is its 8-bit form.
    WideString WideText() const;
    void SetWideText(const WideString& v);

    // Blank space inside the frame before and after the text (EM_SETMARGINS).
    void SetMargins(int Left, int Right);
    // The formatting rectangle: where the text shows, in client coordinates
    // (EM_SETRECT; an empty rectangle puts back the whole client area).
    TRect EditRect() const;
    void SetEditRect(const TRect& r);

    // Besides the messages of every window: EM_GETSEL, EM_SETSEL, EM_REPLACESEL,
    // EM_GETRECT, EM_SETRECT, EM_SETRECTNP, EM_SETMARGINS, EM_GETMARGINS,
    // EM_POSFROMCHAR, EM_CHARFROMPOS, EM_LINEFROMCHAR, EM_GETLINECOUNT, EM_LINEINDEX,
    // EM_GETMODIFY, EM_SETMODIFY, EM_LIMITTEXT, EM_SETPASSWORDCHAR, EM_SETREADONLY,
    // EM_SCROLLCARET. The lines of a multi-line edit are the lines it shows (wrapped ones too).
    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Every change of the text, typed or set from code.
    TNotifyEvent OnChange;

protected:
    TNativeWidget* CreateNativeWidget() override;
    AnsiString GetText() const override;
    virtual void Change();
    void CMTextChanged(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    // The clipboard's keys send WM_CUT, WM_COPY and WM_PASTE: Ctrl+X, Ctrl+C and Ctrl+V by their
    // characters, Shift+Delete, Ctrl+Insert and Shift+Insert by their keys.
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    // The widget took a new text (typing, paste, selection replaced).
    virtual void TextEdited(const AnsiString& Value);
    // Painted over what the widget painted (client coordinates); nothing by default.
    virtual void PaintOver(TCanvas* Canvas) {}
    // True: the widget leaves its background clear and the parent's painting shows through it.
    virtual bool PaintsParentBackground() const { return false; }
    // A change the user made: the new text with the caret at Caret (Modified, OnChange).
    void UserEdit(const AnsiString& Value, int Caret);
    // Adds ES_AUTOHSCROLL, ES_PASSWORD, ES_READONLY, ES_UPPERCASE or ES_LOWERCASE and the
    // border from the properties; the widget follows the styles (ES_RIGHT, ES_CENTER too).
    void CreateParams(TCreateParams& Params) override;
    // The widget takes what was set before the window was made.
    void CreateWnd() override;
    // The text with CharCase applied.
    AnsiString CasedText(const AnsiString& s) const;
    void ApplyToWidget();
    // Changed creation parameters reach the window: it is made anew when the edit changes between
    // one line and several, otherwise the widget takes them.
    void StylesChanged();

    int FMaxLength = 0;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    TEditCharCase FCharCase = ecNormal;
    bool FAutoSelect = true;
    bool FHideSelection = true;
    TBorderStyle FBorderStyle = bsSingle;
    bool FModified = false;
    int FSelStart = 0;
    int FSelLength = 0;
    bool FSettingText = false;
    WideString FWideText;
    int FMarginLeft = 0, FMarginRight = 0;
    TRect FEditRect;   // empty: the client area

private:
    void ApplyMargins();
    // The widget shows Value (not reported as typed) or takes the selection kept here.
    void WidgetText(const AnsiString& Value);
    void WidgetSelection();
    // Set while the widget drops its selection as the focus goes: the edit keeps it.
    bool FKeepSelection = false;
    friend class TEditWidget;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------- masked edit
// What a masked edit raises when it is left with a required position empty.
VELMAROK_EXCEPTION(EDBEditError, Exception)

// An edit with an input mask (the mask language of MaskUtils.h). The edit
// shows EditText: the literals, the characters typed and the blank character
// where nothing is yet; Text is what the mask saves (blanks as spaces, the
// literals only when the mask says so). Typing goes position by position,
// over the literals; a character that does not fit its position is refused.
class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    ~TCustomMaskEdit() override;

    const AnsiString& EditMask() const { return FEditMask; }
    // The present text is laid into the new mask; MaxLength becomes the mask's length.
    void SetEditMask(const AnsiString& v);
    bool IsMasked() const;
    AnsiString EditText() const { return FText; }
    // Made valid position by position (a wrong character becomes a blank).
    void SetEditText(const AnsiString& v);
    // EDBEditError "Invalid input value.  Use escape key to abandon changes" when
    // a required position of a changed text is empty (the caret goes there).
    virtual void ValidateEdit();
    // The text the edit had when it got the focus (Escape does it).
    void Reset();

protected:
    AnsiString GetText() const override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // Pasted or cut text is laid into the mask again.
    void TextEdited(const AnsiString& Value) override;

private:
    // Positions From..To-1 blanked (the literals stay); the caret to Caret.
    void BlankRange(int From, int To, int Caret);
    AnsiString FEditMask;
    TEditMask FMask;
    AnsiString FOldValue;
    bool FReEnter = false;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};

// ---------------------------------------------------------------- memo
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    // The lines of the text; changes show at once and typing shows in them.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* v) { FLines->Assign(v); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; ApplyToWidget(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    // True: the selection shows only while the memo has the focus (it is kept when the focus goes).
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v) { FMaxLength = v; }
    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }
    void Clear() { SetText(AnsiString()); }
    void SelectAll();

    // The selection in characters of Text (a line break counts two).
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    AnsiString SelText() const;
    // Replaces the selection (fires OnChange); the caret goes after the new text.
    void SetSelText(const AnsiString& v);
    // X the caret's character in its line, Y the line.
    TPoint CaretPos() const;
    void SetCaretPos(const TPoint& v);
    // The text as Unicode (see TCustomEdit::WideText), lines joined by CR LF.
    WideString WideText() const;
    void SetWideText(const WideString& v);

    // Besides the messages of every window: EM_GETSEL, EM_SETSEL, EM_REPLACESEL,
    // EM_LINEFROMCHAR, EM_LINEINDEX, EM_GETLINECOUNT, EM_POSFROMCHAR,
    // EM_CHARFROMPOS, EM_GETMODIFY, EM_SETMODIFY, EM_SCROLLCARET.
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    TNativeWidget* CreateNativeWidget() override;
    // The widget takes what was set before the window was made.
    void CreateWnd() override;
    // Lines joined by CR LF.
    AnsiString GetText() const override;
    void CMTextChanged(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    virtual void Change();

private:
    friend class TMemoLines;
    void ApplyToWidget();
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    TAlignment FAlignment = taLeftJustify;
    TBorderStyle FBorderStyle = bsSingle;
    bool FReadOnly = false;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FModified = false;
    bool FSettingText = false;
    int FSelStart = 0;
    int FSelLength = 0;
    WideString FWideText;
};

// ---------------------------------------------------------------- buttons
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    // Not mrNone: a click sets the form's ModalResult (which closes a modal form).
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    // Enter on the form clicks the default button; Escape the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    // Clicks the button as the user does.
    void Click() override;

protected:
    TNativeWidget* CreateNativeWidget() override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;

private:
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    // Setting from code fires OnClick when the state changes.
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    // The user's clicks pass through cbGrayed too.
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v);
    // taRightJustify: the caption right of the box.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);

protected:
    TNativeWidget* CreateNativeWidget() override;
    void CMTextChanged(TMessage& Message) override;

private:
    void ApplyToWidget();
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    // Checking one turns off the radio buttons of the same parent and fires OnClick.
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);

protected:
    TNativeWidget* CreateNativeWidget() override;
    void CMTextChanged(TMessage& Message) override;

private:
    void ApplyToWidget();
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// ---------------------------------------------------------------- combo box
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// The framework's combo box with its styles: csDropDown (an edit and a list),
// csSimple (the list always shown), csDropDownList (choice from the list only),
// csOwnerDrawFixed and csOwnerDrawVariable (a list the program paints in OnDrawItem).
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    // Setting from code does not fire OnChange.
    int ItemIndex() const;
    void SetItemIndex(int v);
    bool Sorted() const;
    void SetSorted(bool v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) { FItemHeight = v; }
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    TCanvas* Canvas() const { return FCanvas.get(); }
    void Clear();
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    AnsiString SelText() const;
    void SetSelText(const AnsiString& v);
    void SelectAll();
    // The width of the dropped list (0: the combo's width).
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int v);
    // The text as Unicode (see TCustomEdit::WideText).
    WideString WideText() const;
    void SetWideText(const WideString& v);
    // An item as the list shows it: Unicode text given to the window (kept while
    // the window lives), else the item widened.
    virtual WideString ItemWideText(int Index) const;
    void SetItemWideText(int Index, const WideString& v);

    // Besides the messages of every window: CB_GETEDITSEL, CB_SETEDITSEL,
    // CB_SETITEMHEIGHT, CB_GETITEMHEIGHT, CB_SETDROPPEDWIDTH, CB_GETDROPPEDWIDTH,
    // CB_SHOWDROPDOWN, CB_GETDROPPEDSTATE, CB_GETCOUNT, CB_GETCURSEL, CB_SETCURSEL, and
    // EM_CHARFROMPOS of its edit field (a point of the combo's client area; 0 without a field).
    void WndProc(TMessage& Message) override;

    // The text changed by the user (typing or choosing an item).
    TNotifyEvent OnChange;
    // The user chose an item from the list (OnClick fires too).
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    TNativeWidget* CreateNativeWidget() override;
    // The widget takes what was set before the window was made.
    void CreateWnd() override;
    AnsiString GetText() const override;
    void CMTextChanged(TMessage& Message) override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    void WMGetDlgCode(TMessage& Message) override;
    // Painted over what the widget painted (client coordinates); nothing by default.
    virtual void PaintOver(TCanvas* Canvas) {}

private:
    friend class TItemsDelegate;
    friend class TComboItems;
    friend class TQtCombo;
    void ApplyToWidget();
    // WM_COMMAND with the notification (CBN_SELCHANGE ...) to the parent.
    void Notify(Word Code);
    void UserChoseItem(int Index);
    std::unique_ptr<TItemsSink> FSink;
    std::unique_ptr<TStrings> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TComboBoxStyle FStyle = csDropDown;
    int FItemIndex = -1;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    int FItemHeight = 16;
    bool FSettingText = false;
    int FDropDownWidth = 0;
    WideString FWideText;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---------------------------------------------------------------- list box
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    bool Sorted() const;
    void SetSorted(bool v);
    // The focused item; setting it from code selects it without OnClick.
    int ItemIndex() const;
    void SetItemIndex(int v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool v);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v);
    int TopIndex() const;
    void SetTopIndex(int v);
    // The item at a client point; -1 (or Count with Existing false) below the last item.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;
    // The item's rectangle in client coordinates (empty when the window is not made).
    TRect ItemRect(int Index) const;
    int Count() const { return FItems->Count(); }
    void Clear() { FItems->Clear(); }
    // The canvas OnDrawItem paints on (only while an item is drawn).
    TCanvas* Canvas() const { return FCanvas.get(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    // The width in pixels the list scrolls horizontally over (0: no horizontal scrolling).
    int HorizontalExtent() const { return FHorizontalExtent; }
    void SetHorizontalExtent(int v);
    // ---- columns
    // Above 0 the items run down one column and on into the next, Columns columns of
    // ColumnWidth pixels across the list, scrolled sideways.
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    // (Width + Columns - 3) div Columns, 0 for a one-column list.
    int ColumnWidth() const;

    TWatchedEvent<TDrawItemEvent> OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    TNativeWidget* CreateNativeWidget() override;
    // Paints one item on Canvas (brush and font already set for the state):
    // OnDrawItem when assigned, else the item's text.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    // The height of every row of a list whose rows are all alike (ItemHeight here).
    virtual int RowHeight() const { return FItemHeight; }
    // Rows are painted by DrawItem (every style but lbStandard here).
    virtual bool OwnerDrawn() const { return FStyle != lbStandard; }
    // Where the focus frame of an owner-drawn row goes: the row's rectangle here.
    virtual TRect ItemFocusRect(int Index, const TRect& Rect) const { return Rect; }
    // Rows are measured again (after the row height changed).
    void RowsChanged() { ApplyToWidget(); }
    // The items changed by one step: Delta 1 an item inserted at Index, -1 the item at Index
    // deleted, 0 the item at Index given a new text or object; Index -1 the list emptied or
    // changed as a whole (sorted, moved, assigned, the end of an update).
    virtual void ItemsChanged(int Index, int Delta) {}
    // Items.Objects of an item: the datum the list keeps for it. A descendant that keeps a record
    // of its own per item stores the record as that datum and the caller's datum in the record.
    virtual std::intptr_t GetItemData(int Index) const { return InternalGetItemData(Index); }
    virtual void SetItemData(int Index, std::intptr_t Data) { InternalSetItemData(Index, Data); }
    std::intptr_t InternalGetItemData(int Index) const;
    void InternalSetItemData(int Index, std::intptr_t Data);
    // The kept data are objects of the list, freed with their items.
    void SetItemDataOwned(bool Value);
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void Resize() override;

private:
    friend class TItemsDelegate;
    friend class TListItems;
    void ApplyToWidget();
    void UserSelectionChanged();
    std::unique_ptr<TItemsSink> FSink;
    std::unique_ptr<TStrings> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    std::vector<bool> FPendingSel;   // multi-selection kept before the window exists
    int FItemIndex = -1;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    TBorderStyle FBorderStyle = bsSingle;
    int FHorizontalExtent = 0;
    bool FSyncing = false;
    int FColumns = 0;
    // The chosen item that the left button was pressed on (-1: none).
    int FPressedChosen = -1;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------- scroll bar
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind v);
    int Min() const { return FMin; }
    void SetMin(int v) { SetParams(FPosition, v, FMax); }
    int Max() const { return FMax; }
    void SetMax(int v) { SetParams(FPosition, FMin, v); }
    int Position() const { return FPosition; }
    void SetPosition(int v) { SetParams(v, FMin, FMax); }
    // Position is kept inside Min..Max; OnChange fires when it moves.
    void SetParams(int APosition, int AMin, int AMax);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int v);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int v);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    TNativeWidget* CreateNativeWidget() override;
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    void WMGetDlgCode(TMessage& Message) override;

private:
    void ApplyToWidget();
    void UserAction(int action);
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0;
    int FLargeChange = 1, FSmallChange = 1, FPageSize = 0;
    bool FSyncing = false;
};

// ---------------------------------------------------------------- group box
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    TNativeWidget* CreateNativeWidget() override;
    void CMTextChanged(TMessage& Message) override;
};
