#pragma once
// Menus: menu items in a tree, the main menu of a form and popup menus.
// Shortcut keys of the items work while their form is active: the popup
// menus of the focused control and its parents first, then the form's main menu.
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Controls.h"

// A key with the shift bits: key | scShift | scCtrl | scAlt.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+Shift+S", "F5", "Del"; empty for none.
AnsiString ShortCutToText(TShortCut ShortCut);
// The menu caption's line: "-" makes a separator.
constexpr const char* cLineCaption = "-";

class TMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& v);
    bool IsLine() const { return FCaption == cLineCaption; }
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& v) { FHint = v; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    // Checking a RadioItem unchecks the radio items of its GroupIndex among its siblings.
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v) { FRadioItem = v; }
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte v) { FGroupIndex = v; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    TBitmap* Bitmap() const;
    void SetBitmap(TBitmap* v);

    // Sub-items; the item owns what is added to it.
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const;
    void Add(TMenuItem* Item);
    // EMenuError "Menu index out of range" outside 0..Count.
    void Insert(int Index, TMenuItem* Item);
    // Deletes the sub-item (frees it).
    void Delete(int Index);
    // Takes the sub-item out without freeing it.
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The sub-item with that caption ("&" ignored, case-insensitive), nullptr when none.
    TMenuItem* Find(const AnsiString& ACaption) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    // The menu the item belongs to (through its parents), nullptr when none.
    TMenu* GetParentMenu() const;

    // The user chose the item: AutoCheck toggles, then OnClick.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    // A form's menu bar shows the change.
    void MenuChanged();
    AnsiString FCaption;
    AnsiString FHint;
    TShortCut FShortCut = 0;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    bool FRadioItem = false;
    Byte FGroupIndex = 0;
    bool FDefault = false;
    bool FAutoCheck = false;
    int FImageIndex = -1;
    mutable std::unique_ptr<TBitmap> FBitmap;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;   // set on the root item of a menu
};

VELMAROK_EXCEPTION(EMenuError, Exception)

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The root item: its sub-items are the menu's items.
    TMenuItem* Items() const { return FItems.get(); }
    // The enabled, visible item with that shortcut (searched through sub-menus), nullptr when none.
    TMenuItem* FindItemByShortCut(TShortCut ShortCut) const;
    // Clicks the item of the shortcut; true when one was found.
    bool IsShortCut(TShortCut ShortCut);

private:
    std::unique_ptr<TMenuItem> FItems;
};

// The main menu of the form that owns it.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // The control's right click pops the menu up by itself.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment v) { FAlignment = v; }
    // The control whose menu popped up last.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* v) { FPopupComponent = v; }
    // Shows the menu at a screen point and waits for the choice; the chosen item's
    // Click runs after the menu has closed. Tests answer through SetPopupMenuHook.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup(TObject* Sender);

private:
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
    TComponent* FPopupComponent = nullptr;
};

// Replaces what Popup shows (a test picks an item by clicking it); returns the old hook.
// An empty hook shows the real menu.
using TPopupMenuHook = std::function<void(TPopupMenu* Menu, int X, int Y)>;
TPopupMenuHook SetPopupMenuHook(TPopupMenuHook Hook);
