#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/TestSupport.h"

namespace {
TMenuItem* Item(TComponent* owner, TMenuItem* parent, const AnsiString& caption)
{
    auto* it = new TMenuItem(owner);
    it->SetCaption(caption);
    parent->Add(it);
    return it;
}
}  // namespace

TEST(MainMenu, BarShowsTheItemsInStepAndClicksReachOnlyEnabledOnes)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetAlign(alClient);
    auto* menu = new TMainMenu(&form);
    TMenuItem* file = Item(&form, menu->Items(), "&Plik");
    TMenuItem* save = Item(&form, file, "&Zapisz");
    Item(&form, file, "-");
    TMenuItem* off = Item(&form, file, "Wyłączony");
    off->SetEnabled(false);
    TMenuItem* view = Item(&form, menu->Items(), "&Widok");
    std::vector<AnsiString> clicked;
    save->OnClick = [&](TObject*) { clicked.push_back("save"); };
    off->OnClick = [&](TObject*) { clicked.push_back("off"); };
    view->OnClick = [&](TObject*) { clicked.push_back("view"); };
    view->SetAutoCheck(true);
    int fullHeight = form.ClientHeight();
    form.SetMenu(menu);
    form.Show();
    EXPECT_EQ(form.Menu(), menu);
    EXPECT_EQ(MenuBarText(&form), "&Plik[&Zapisz|-|Wyłączony(off)]|&Widok");
    // The client area is below the bar; aligned controls fill what is left.
    EXPECT_LT(form.ClientHeight(), fullHeight);
    EXPECT_EQ(panel->Height(), form.ClientHeight());
    TPoint down(-1, -1);
    panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) { down = TPoint(X, Y); };
    Click(panel, 5, 6);
    EXPECT_EQ(down, TPoint(5, 6));
    TPoint formDown(-1, -1);
    panel->SetAlign(alNone);
    panel->SetBounds(0, 50, 300, 50);
    form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) { formDown = TPoint(X, Y); };
    Click(&form, 7, 8);
    EXPECT_EQ(formDown, TPoint(7, 8)) << "client coordinates of the form, below the bar";
    EXPECT_EQ(form.ClientToScreen(TPoint(0, 0)).Y - form.ClientOrigin().Y, 0);
    panel->SetAlign(alClient);

    EXPECT_TRUE(ClickMenuBar(&form, {"&Plik", "&Zapisz"}));
    EXPECT_FALSE(ClickMenuBar(&form, {"&Plik", "Wyłączony"}));
    EXPECT_TRUE(ClickMenuBar(&form, {"&Widok"}));
    EXPECT_EQ(clicked, (std::vector<AnsiString>{"save", "view"}));
    EXPECT_EQ(MenuBarText(&form), "&Plik[&Zapisz|-|Wyłączony(off)]|&Widok(on)");

    // States and the tree changed from code show at once.
    off->SetEnabled(true);
    save->SetVisible(false);
    file->SetCaption("P&lik");
    Item(&form, menu->Items(), "Pomoc");
    EXPECT_EQ(MenuBarText(&form), "P&lik[-|Wyłączony]|&Widok(on)|Pomoc");
    EXPECT_TRUE(ClickMenuBar(&form, {"P&lik", "Wyłączony"}));
    EXPECT_EQ(clicked.back(), "off");

    // A handler that changes the menu it was chosen from.
    save->SetVisible(true);
    save->OnClick = [&](TObject*) { file->Delete(file->IndexOf(off)); };
    EXPECT_TRUE(ClickMenuBar(&form, {"P&lik", "&Zapisz"}));
    EXPECT_EQ(MenuBarText(&form), "P&lik[&Zapisz|-]|&Widok(on)|Pomoc");

    // Freeing the menu takes the bar away.
    delete menu;
    EXPECT_EQ(form.Menu(), nullptr);
    EXPECT_EQ(MenuBarText(&form), "");
    EXPECT_EQ(form.ClientHeight(), fullHeight);
    EXPECT_EQ(panel->Height(), fullHeight);
}
