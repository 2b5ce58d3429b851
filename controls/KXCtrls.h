#pragma once
// Tool button with glyph strip, groups, drop-down menu and auto-repeat
// (TKxSpeedButton), and the check list box (TKxCheckListBox).
#include <array>
#include <memory>
#include <vector>

#include "platform/gui/Buttons.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TPopupMenu;
class TIniLink;
class TFormPlacement;

// ---------------------------------------------------------------- speed button
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
// The paint state of a flat button not under the mouse; its glyph is the strip's fifth cell.
constexpr TButtonState bsInactive = static_cast<TButtonState>(4);
enum TKxDropDownMenuPos { dmpBottom, dmpRight };
using TKxNumGlyphs = int;   // 1 .. 5

// State images of one size, shared by the glyphs of all buttons; a freed slot is used again.
class TGlyphList {
public:
    TGlyphList(int AWidth, int AHeight) : FWidth(AWidth), FHeight(AHeight) {}
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The slot the image takes.
    int Add(std::unique_ptr<TBitmap> Image);
    void Delete(int Index);
    TBitmap* Image(int Index) const;
    // Images held.
    int Count() const;

private:
    int FWidth, FHeight;
    std::vector<std::unique_ptr<TBitmap>> FImages;
};

// The shared lists, one per image size; it lives while a button glyph does.
class TGlyphCache {
public:
    TGlyphList* GetList(int AWidth, int AHeight);
    // A list that holds no image any more goes.
    void ReturnList(TGlyphList* List);
    int ListCount() const { return int(FLists.size()); }
    // The cache of the living glyphs (nullptr when there is none).
    static TGlyphCache* Shared();

private:
    std::vector<std::unique_ptr<TGlyphList>> FLists;
};

// The glyph strip of a button and the images of its states.
class TKxButtonGlyph {
public:
    TKxButtonGlyph();
    ~TKxButtonGlyph();
    TBitmap* Glyph() const { return FGlyph.get(); }
    // A width that is an exact multiple of the height sets NumGlyphs (1 when above 5).
    void SetGlyph(TBitmap* Value);
    TKxNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TKxNumGlyphs Value);
    // The picture shown in a state (made on first use and kept); nullptr without a glyph.
    TBitmap* StateImage(TButtonState State);
    void Invalidate();
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TBitmap> FGlyph;
    TKxNumGlyphs FNumGlyphs = 1;
    // Slots of the state images in the shared list of their size (-1: not made).
    std::array<int, 5> FIndexs{-1, -1, -1, -1, -1};
    TGlyphList* FList = nullptr;
};

class TKxSpeedButton : public TGraphicControl {
public:
    explicit TKxSpeedButton(TComponent* AOwner);
    ~TKxSpeedButton() override;

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool MarkDropDown() const { return FMarkDropDown; }
    void SetMarkDropDown(bool Value);
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    TKxDropDownMenuPos MenuPosition() const { return FMenuPosition; }
    void SetMenuPosition(TKxDropDownMenuPos Value) { FMenuPosition = Value; }
    bool GrayedInactive() const { return FGrayedInactive; }
    void SetGrayedInactive(bool Value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool Value);
    Word InitPause() const { return FInitPause; }
    void SetInitPause(Word Value) { FInitPause = Value; }
    Word RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(Word Value) { FRepeatInterval = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph->SetGlyph(Value); }
    TKxNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TKxNumGlyphs Value) { FGlyph->SetNumGlyphs(Value); }
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // The repeat timer (nullptr until the first repeating press).
    TTimer* RepeatTimer() const { return FRepeatTimer; }

    void Click() override;
    void SetEnabled(bool Value) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Releases every other button of the group that is down.
    void ButtonPressed(int Group, TKxSpeedButton* Button);

protected:
    // A grouped button is down while its action is checked; a button without a glyph shows
    // the action's picture from its action list's images.
    TControlActionLink* CreateActionLink() override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The drawing of glyph and caption inside Client.
    void DrawGlyphAndCaption(TCanvas* Canvas, TRect Client, TButtonState GlyphState);

private:
    void DoMouseUp(bool Inside);
    // Takes a left-button press waiting in the queue on the button out of it.
    void RemovePressOnButton();
    // Cleared when the button goes (a menu's command may free it).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    void TimerExpired(TObject* Sender);
    void UpdateTracking();
    void SetMouseInControl(bool Value);
    int FGroupIndex = 0;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TKxButtonGlyph> FGlyph;
    std::unique_ptr<TBitmap> FDrawImage;
    bool FDown = false;
    bool FDragging = false;
    bool FFlat = false;
    bool FMouseInControl = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphTop;
    int FSpacing = 1;
    int FMargin = -1;
    TModalResult FModalResult = mrNone;
    bool FTransparent = false;
    bool FMarkDropDown = true;
    TPopupMenu* FDropDownMenu = nullptr;
    TKxDropDownMenuPos FMenuPosition = dmpBottom;
    bool FGrayedInactive = true;
    bool FMenuTracking = false;
    TTimer* FRepeatTimer = nullptr;
    bool FAllowTimer = false;
    Word FInitPause = 500;
    Word FRepeatInterval = 100;
    TAlignment FAlignment = taCenter;
    bool FWordWrap = false;
    TButtonState FState = bsUp;
};

// ---------------------------------------------------------------- check list box
enum TCheckKind { ckCheckBoxes, ckRadioButtons, ckCheckMarks };
using TChangeStateEvent = std::function<void(TObject* Sender, int Index)>;
using TGetItemWidthEvent = std::function<void(TWinControl* Control, int Index, int& Width)>;

// What each item of the check list box carries besides its text.
class TCheckListBoxItem : public TObject {
public:
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
    std::intptr_t Data = 0;
};

// The owner-drawn list box the check list box builds on: columns, whole rows,
// tab stops, the row height of its font and the widest item as the scroll extent.
class TKxCustomListBox : public TCustomListBox {
public:
    explicit TKxCustomListBox(TComponent* AOwner);
    ~TKxCustomListBox() override;

    // The list's height is cut to whole rows (inside the border).
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // Horizontal extent kept at the widest item (never with columns).
    bool AutoScroll() const { return FAutoScroll && Columns() == 0; }
    void SetAutoScroll(bool Value);
    int MaxItemWidth() const { return FMaxItemWidth; }
    bool GraySelection() const { return FGraySelection; }
    void SetGraySelection(bool Value);
    // Pixels between tab stops (0 without TabWidth).
    int TabStopPixels(TCanvas* Canvas) const;

    // The recomputed widest item (after the items changed in code).
    void ResetItemWidths();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TWatchedEvent<TGetItemWidthEvent> OnGetItemWidth;

protected:
    // The larger of the font's row height ("Wg") and MinRowHeight, and for an
    // owner-drawn fixed list at least ItemHeight.
    int RowHeight() const override;
    virtual int MinRowHeight() const { return 0; }
    // Pixels in front of the text of each item (the check area of the check list box).
    virtual int TextIndent() const { return 0; }
    // The focus frame goes round the item's text, beside what lies in front of it.
    TRect ItemFocusRect(int Index, const TRect& Rect) const override;
    // The item's text at 2 pixels from Rect's left, centred on the height of "Wy", with tab stops.
    void DrawItemText(int Index, const TRect& Rect);
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void CMFontChanged(TMessage& Message) override;
    // A window made again shows the items from the top item it showed before.
    void CreateWnd() override;
    void DestroyWnd() override;
    // The widest width follows each step: raised by an added item, looked for again when the
    // widest one goes; all items measured again only when the list changed as a whole.
    void ItemsChanged(int Index, int Delta) override;
    // With automatic dragging a press on an item that is chosen already in a multi-select list
    // drags it at once; any other press is the list's own first, then it may drag.
    void WndProc(TMessage& Message) override;
    // Cleared when the list goes (a mouse handler may free it).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

private:
    // Items are measured by OnGetItemWidth (an owner-drawn list with both events).
    bool OwnerWidths() const;
    int ItemWidth(int Index);
    void SetMaxItemWidth(int Value);
    bool FIntegralHeight = false;
    int FTabWidth = 0;
    bool FAutoScroll = false;
    bool FOwnerWidths = false;   // OwnerWidths when the items were last measured
    int FMaxItemWidth = 0;
    // Each item's width while auto-scrolling, in the items' order.
    std::vector<int> FItemWidths;
    // The canvas items are measured on (in the list's font).
    std::unique_ptr<TBitmap> FProbe;
    // Text height of "Wg" in the list's font (0: measure again).
    mutable int FTextRowHeight = 0;
    bool FGraySelection = false;
    int FSavedTopIndex = -1;
};

class TKxCheckListBox : public TKxCustomListBox {
public:
    explicit TKxCheckListBox(TComponent* AOwner);
    ~TKxCheckListBox() override;

    TCheckBoxState State(int Index) const;
    void SetState(int Index, TCheckBoxState Value);
    bool Checked(int Index) const { return State(Index) == cbChecked; }
    void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
    bool ItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool Value);
    // The caller's datum of an item (Items.Objects), kept in the item's record; 0 while unset.
    std::intptr_t ItemData(int Index) const { return GetItemData(Index); }
    void SetItemData(int Index, std::intptr_t Value) override;
    int CheckedIndex() const;
    void SetCheckedIndex(int Value);
    TCheckKind CheckKind() const { return FCheckKind; }
    void SetCheckKind(TCheckKind Value);
    bool AllowGrayed() const { return FAllowGrayed && FCheckKind != ckRadioButtons; }
    void SetAllowGrayed(bool Value);
    // Assigns the strings; from another check list box also states and enabled flags.
    void SetItems(TStrings* Value);
    TIniLink* IniStorageLink() const { return FIniLink.get(); }
    TFormPlacement* IniStorage() const;
    void SetIniStorage(TFormPlacement* Value);
    // Writes the states into / reads them from the placement's storage.
    void SaveStates();
    void RestoreStates();
    // Toggles an enabled item as a click does, then fires OnClickCheck.
    void ToggleItem(int Index);
    // Width of the check area in front of each item.
    int CheckAreaWidth() const;
    // Size of one cell of the shared check picture strip.
    static int CheckCellWidth();
    static int CheckCellHeight();

    void Loaded() override;

    TNotifyEvent OnClickCheck;
    TChangeStateEvent OnStateChange;

protected:
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    // A left-button press toggles the item under it in the check area (the
    // press that completes a double click is WM_LBUTTONDBLCLK and does not).
    void WMLButtonDown(TWMMouse& Message) override;
    void KeyPress(char& Key) override;
    int MinRowHeight() const override { return CheckCellHeight(); }
    int TextIndent() const override { return CheckAreaWidth(); }
    // Always: the check area goes in front of the text, whatever the style.
    bool OwnerDrawn() const override { return true; }
    virtual void ClickCheck();
    virtual void ChangeItemState(int Index);
    std::intptr_t GetItemData(int Index) const override;

private:
    // The item's record (nullptr while it has none); each item has its own, kept as the
    // list's datum of the item, so that it moves, sorts and goes with its item.
    TCheckListBoxItem* FindRecord(int Index) const;
    TCheckListBoxItem* Record(int Index);
    void ApplyRadioRule();
    void InvalidateItem(int Index);
    bool FAllowGrayed = false;
    TCheckKind FCheckKind = ckCheckBoxes;
    bool FForcing = false;
    std::unique_ptr<TIniLink> FIniLink;
};

// The shared strip of check pictures (6 x 3 cells of 16 x 13 pixels).
TBitmap* CheckImages();
// Strip cell of a state, kind and enabled flag.
int CheckImageIndex(TCheckBoxState State, TCheckKind Kind, bool Enabled);
