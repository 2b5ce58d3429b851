#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/Menus.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/TestSupport.h"

namespace {
TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const AnsiString& caption, TShortCut sc = 0)
{
    auto* it = new TMenuItem(owner);
    it->SetCaption(caption);
    it->SetShortCut(sc);
    parent->Add(it);
    return it;
}
}  // namespace

TEST(Menus, ShortCutsReachTheActiveFormsMenusAndNotDisabledItems)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* main = new TMainMenu(&form);
    TMenuItem* file = NewItem(&form, main->Items(), "&Plik");
    std::vector<AnsiString> clicked;
    TMenuItem* save = NewItem(&form, file, "&Zapisz", ShortCut('S', ssCtrl));
    save->OnClick = [&](TObject*) { clicked.push_back("save"); };
    NewItem(&form, file, "-");
    TMenuItem* off = NewItem(&form, file, "Wyłączony", ShortCut(VK_F5, 0));
    off->SetEnabled(false);
    off->OnClick = [&](TObject*) { clicked.push_back("off"); };
    auto* popup = new TPopupMenu(&form);
    TMenuItem* copy = NewItem(&form, popup->Items(), "Kopiuj", ShortCut('C', ssCtrl | ssShift));
    copy->OnClick = [&](TObject*) { clicked.push_back("copy"); };
    edit->SetPopupMenu(popup);
    form.Show();
    edit->SetFocus();

    TypeKey(edit, 'S', ssCtrl);
    TypeKey(edit, VK_F5);
    TypeKey(edit, 'C', ssCtrl | ssShift);
    TypeText(edit, "s");
    EXPECT_EQ(clicked, (std::vector<AnsiString>{"save", "copy"}));
    EXPECT_EQ(edit->Text(), "s") << "a plain key still types";

    EXPECT_EQ(ShortCutToText(ShortCut('S', ssCtrl | ssShift)), "Shift+Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, ssAlt)), "Alt+Del");
    EXPECT_EQ(file->Find("zapisz"), save);
    EXPECT_EQ(save->GetParentMenu(), main);
}

TEST(Menus, ShiftedKeysAsTheKeyboardDeliversThemMatchTheirShortCuts)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* popup = new TPopupMenu(&form);
    edit->SetPopupMenu(popup);
    AnsiString clicked;
    struct Case {
        char Typed;   // what the key gives with the modifiers
        TShiftState Shift;
        TShortCut Matched;
    } cases[] = {
        {'P', ssShift | ssCtrl, ShortCut('P', ssShift | ssCtrl)},
        {'P', ssShift | ssAlt, ShortCut('P', ssShift | ssAlt)},
        {'!', ssShift | ssCtrl, ShortCut('1', ssShift | ssCtrl)},
        {'@', ssShift | ssAlt, ShortCut('2', ssShift | ssAlt)},
        {'^', ssShift | ssCtrl, ShortCut('6', ssShift | ssCtrl)},
        {'(', ssShift | ssCtrl, ShortCut('9', ssShift | ssCtrl)},
        {')', ssShift | ssCtrl | ssAlt, ShortCut('0', ssShift | ssCtrl | ssAlt)},
    };
    for (const Case& c : cases) {
        TMenuItem* it = NewItem(&form, popup->Items(), ShortCutToText(c.Matched), c.Matched);
        it->OnClick = [&clicked, it](TObject*) { clicked = it->Caption(); };
    }
    form.Show();
    edit->SetFocus();
    for (const Case& c : cases) {
        clicked = "";
        KeyDownAsTyped(edit, c.Typed, c.Shift);
        EXPECT_EQ(clicked, ShortCutToText(c.Matched)) << c.Typed;
    }
    EXPECT_EQ(edit->Text(), "") << "every key went to its item";
}

TEST(Menus, ItemTreeKeepsOrderAndRadioGroups)
{
    TPopupMenu menu(nullptr);
    TMenuItem* a = NewItem(nullptr, menu.Items(), "A");
    TMenuItem* b = NewItem(nullptr, menu.Items(), "B");
    auto* c = new TMenuItem(nullptr);
    c->SetCaption("C");
    menu.Items()->Insert(1, c);
    EXPECT_EQ(menu.Items()->IndexOf(c), 1);
    EXPECT_EQ(b->MenuIndex(), 2);
    auto stray = std::make_unique<TMenuItem>(nullptr);   // a refused item stays the caller's
    EXPECT_THROW(menu.Items()->Insert(9, stray.get()), EMenuError);
    EXPECT_THROW(menu.Items()->Add(a), EMenuError);
    for (TMenuItem* it : {a, b, c}) {
        it->SetRadioItem(true);
        it->SetAutoCheck(true);
    }
    c->SetGroupIndex(1);
    a->Click();
    c->Click();
    b->Click();
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked()) << "another group index";
    menu.Items()->Delete(0);
    EXPECT_EQ(menu.Items()->Count(), 2);
    delete b;   // a freed item leaves its parent
    EXPECT_EQ(menu.Items()->Count(), 1);
}

TEST(Menus, ContextMenuMessagePopsTheControlsMenuThroughTheHook)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* list = new TPanel(&form);
    list->SetParent(&form);
    list->SetBounds(10, 10, 100, 100);
    auto* popup = new TPopupMenu(&form);
    TMenuItem* del = NewItem(&form, popup->Items(), "Usuń");
    int popups = 0, deleted = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    del->OnClick = [&](TObject*) { ++deleted; };
    list->SetPopupMenu(popup);
    form.Show();
    TPoint at;
    auto old = SetPopupMenuHook([&](TPopupMenu* m, int x, int y) {
        at = TPoint(x, y);
        m->Items()->Find("Usuń")->Click();
    });
    TPoint screen = list->ClientToScreen(TPoint(20, 30));
    list->Perform(WM_CONTEXTMENU, 0, MAKELPARAM(screen.X, screen.Y));
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(popup->PopupComponent(), list);
    EXPECT_EQ(at, screen);
    // Without AutoPopup the control's menu stays closed.
    popup->SetAutoPopup(false);
    list->Perform(WM_CONTEXTMENU, 0, MAKELPARAM(screen.X, screen.Y));
    EXPECT_EQ(popups, 1);
    SetPopupMenuHook(old);
}
