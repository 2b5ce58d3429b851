#include <gtest/gtest.h>

#include "controls/ColorPicker.h"
#include "controls/KXCtrls.h"
#include "controls/ToolEdit.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Menus.h"
#include "platform/gui/TestSupport.h"

namespace {

struct FormFixture : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override { delete form; }
};

std::unique_ptr<TKxCheckListBox> MakeList(TForm* form, std::initializer_list<const char*> items)
{
    auto list = std::make_unique<TKxCheckListBox>(nullptr);
    list->SetParent(form);
    for (const char* s : items)
        list->Items()->Add(s);
    return list;
}

}  // namespace

using CheckListBox = FormFixture;

TEST_F(CheckListBox, ToggleCyclesThroughGrayedWhenAllowed)
{
    auto list = MakeList(form, {"a", "b"});
    EXPECT_EQ(list->State(0), cbUnchecked);
    EXPECT_TRUE(list->ItemEnabled(0));
    int clicks = 0;
    list->OnClickCheck = [&](TObject*) { ++clicks; };
    list->SetAllowGrayed(true);
    const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
    for (TCheckBoxState expected : cycle) {
        list->ToggleItem(0);
        EXPECT_EQ(list->State(0), expected);
    }
    EXPECT_EQ(clicks, 4);
    list->SetAllowGrayed(false);
    list->SetState(1, cbUnchecked);
    list->ToggleItem(1);
    EXPECT_EQ(list->State(1), cbChecked);
    // A disabled item does not toggle; nor does an index outside the list.
    list->SetItemEnabled(1, false);
    list->ToggleItem(1);
    list->ToggleItem(-1);
    EXPECT_EQ(list->State(1), cbChecked);
    EXPECT_EQ(clicks, 5);
}

TEST_F(CheckListBox, RadioModeKeepsExactlyOneChecked)
{
    auto list = MakeList(form, {"a", "b", "c"});
    list->SetAllowGrayed(true);
    list->SetCheckKind(ckRadioButtons);
    EXPECT_FALSE(list->AllowGrayed());
    EXPECT_EQ(list->CheckedIndex(), 0);   // the first is checked when none is
    list->SetChecked(2, true);
    EXPECT_EQ(list->CheckedIndex(), 2);
    EXPECT_FALSE(list->Checked(0));
    list->SetChecked(2, false);           // the only checked item stays checked
    EXPECT_TRUE(list->Checked(2));
    list->ToggleItem(1);
    EXPECT_EQ(list->CheckedIndex(), 1);
    std::vector<int> changes;
    list->OnStateChange = [&](TObject*, int i) { changes.push_back(i); };
    list->SetCheckedIndex(-5);
    EXPECT_EQ(list->CheckedIndex(), 0);
    EXPECT_EQ(changes, (std::vector<int>{0}));

    auto empty = MakeList(form, {});
    empty->SetCheckKind(ckRadioButtons);
    EXPECT_EQ(empty->CheckedIndex(), -1);
}

TEST_F(CheckListBox, ExchangeAndMoveKeepStatesWithTheirItems)
{
    auto list = MakeList(form, {"a", "b", "c"});
    list->SetState(0, cbChecked);
    list->SetItemEnabled(1, false);
    list->SetState(2, cbGrayed);
    list->Items()->Exchange(0, 2);
    EXPECT_EQ(list->Items()->Strings(0), "c");
    EXPECT_EQ(list->State(0), cbGrayed);
    EXPECT_EQ(list->State(2), cbChecked);
    list->Items()->Move(1, 0);
    EXPECT_EQ(list->Items()->Strings(0), "b");
    EXPECT_FALSE(list->ItemEnabled(0));
    EXPECT_TRUE(list->ItemEnabled(1));
    EXPECT_EQ(list->State(1), cbGrayed);
    EXPECT_THROW(list->State(3), EStringListError);

    // "+" checks every enabled item, "-" unchecks them.
    char key = '+';
    list->SetItemEnabled(0, true);
    list->SetState(0, cbUnchecked);
    list->SetItemEnabled(0, false);
    list->Perform(WM_CHAR, WPARAM('+'), 0);
    (void)key;
    EXPECT_EQ(list->State(0), cbUnchecked);
    EXPECT_EQ(list->State(1), cbChecked);
    EXPECT_EQ(list->State(2), cbChecked);
}

TEST_F(CheckListBox, ClickInTheCheckAreaToggles)
{
    auto list = MakeList(form, {"a", "b"});
    list->SetBounds(10, 10, 150, 100);
    form->Show();
    TRect r = list->ItemRect(1);
    ASSERT_GT(r.Height(), 0);
    Click(list.get(), r.Left + 5, r.Top + r.Height() / 2);
    EXPECT_TRUE(list->Checked(1));
    Click(list.get(), r.Left + 60, r.Top + r.Height() / 2);   // on the text: selects only
    EXPECT_TRUE(list->Checked(1));
    form->Hide();
}

using FilenameEdit = FormFixture;

TEST_F(FilenameEdit, QuotesNamesWithBlanksAndChecksThem)
{
    TFilenameEdit edit(nullptr);
    edit.SetParent(form);
    edit.SetFileName("C:\\Katalog Norm\\normy wszystkie.txt");
    EXPECT_EQ(edit.Text(), "\"C:\\Katalog Norm\\normy wszystkie.txt\"");
    EXPECT_EQ(edit.FileName(), "C:\\Katalog Norm\\normy wszystkie.txt");
    // A typed path with a blank, not yet on disk, is taken whole.
    edit.SetText("  /tmp/nowy katalog/plik nowy.txt ");
    EXPECT_EQ(edit.FileName(), "/tmp/nowy katalog/plik nowy.txt");
    edit.SetText("plain.txt");
    try {
        edit.SetFileName("a<b");
        FAIL() << "no exception";
    } catch (const EComboEditError& e) {
        EXPECT_EQ(e.Message(), "Invalid file name - a<b");
    }
    EXPECT_EQ(edit.Text(), "plain.txt");
    edit.SetFileName("");
    EXPECT_EQ(edit.Text(), "");
}

TEST_F(FilenameEdit, DialogAndDroppedFiles)
{
    TFilenameEdit edit(nullptr);
    edit.SetParent(form);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK, [](TDialogRequest& r) {
        r.Values = {"/tmp/wybrany plik.txt"};
    });
    int after = 0;
    edit.OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) {
        ++after;
        EXPECT_TRUE(action);
    };
    edit.DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(after, 1);
    EXPECT_EQ(edit.FileName(), "/tmp/wybrany plik.txt");

    edit.DropFiles({"/tmp/a.txt", "/tmp/b.txt", "/tmp/c.txt"});
    EXPECT_EQ(edit.FileName(), "/tmp/a.txt");
    edit.DropFiles({AnsiString(600, 'x')});   // no length limit on a dropped path
    EXPECT_EQ(edit.FileName().size(), 600u);
}

TEST_F(FilenameEdit, DirectoryEditAppendsWithMultipleDirs)
{
    TDirectoryEdit edit(nullptr);
    edit.SetParent(form);
    edit.SetMultipleDirs(true);
    edit.SetText("/tmp");
    ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDOK, [](TDialogRequest& r) {
        r.Values = {"/var"};
    });
    edit.DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(edit.Text(), "/tmp;/var");
}

using ColorBtn = FormFixture;

TEST_F(ColorBtn, WidthFollowsHeightAndRegKeyDefaults)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    EXPECT_EQ(btn.Height(), 22);
    EXPECT_EQ(btn.Width(), 37);
    btn.SetBounds(0, 0, 100, 30);
    EXPECT_EQ(btn.Width(), 30 + 15 + 4);
    btn.SetRegKey("");
    EXPECT_EQ(btn.RegKey(), "Palette0");
}

TEST_F(ColorBtn, EscapeChangesNothingAndAChoiceFiresOnClick)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    btn.SetActiveColor(0x123456);
    btn.SetTargetColor(0x123456);
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    // A colour outside the palette shows in the custom cell, pressed.
    EXPECT_TRUE(btn.Popup()->ColPick->CustomCell()->Down());
    EXPECT_EQ(btn.Popup()->ColPick->CustomCell()->Color(), 0x123456);
    Word key = VK_ESCAPE;
    btn.Popup()->PickKeyDown(nullptr, key, 0);
    EXPECT_EQ(btn.Popup(), nullptr);
    ProcessPendingMessages();
    EXPECT_EQ(btn.ActiveColor(), 0x123456);
    EXPECT_EQ(clicks, 0);

    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    TColBtn* cell = btn.Popup()->ColPick->Cell(27);   // row 4, column 3
    cell->Click();
    ProcessPendingMessages();
    EXPECT_EQ(btn.ActiveColor(), 0x0000FF);
    EXPECT_EQ(btn.TargetColor(), 0x0000FF);
    EXPECT_EQ(btn.ColorHalf()->Color(), 0x0000FF);
    EXPECT_FALSE(btn.LastChoiceAutomatic());
    EXPECT_EQ(clicks, 1);
}

TEST_F(ColorBtn, AutomaticButtonAndPaletteHeight)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    btn.SetAutomaticColor(0x00FF00);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    EXPECT_EQ(btn.Popup()->ColPick->Height(), 200);
    btn.Popup()->ColPick->AutoButton()->Click();
    ProcessPendingMessages();
    EXPECT_EQ(btn.ActiveColor(), 0x00FF00);
    EXPECT_TRUE(btn.LastChoiceAutomatic());

    btn.SetIsAutomatic(false);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    EXPECT_EQ(btn.Popup()->ColPick->Height(), 178);
    EXPECT_EQ(btn.Popup()->ColPick->Cell(1)->Top(), 8);
    Word key = VK_ESCAPE;
    btn.Popup()->PickKeyDown(nullptr, key, 0);
    ProcessPendingMessages();
}

TEST_F(ColorBtn, OtherColoursAreKeptInTheRegistry)
{
    AnsiString store = GetTempDir() + "velmarok_i12_registry.ini";
    DeleteFile(store);
    SetRegistryStoreFile(store);
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    TColorPicker* pick = btn.Popup()->ColPick;
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TColorDialog", IDOK, [](TDialogRequest& r) {
        r.Values = {"$00336699"};
    });
    pick->OtherButton()->Click();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(pick->CustomCell()->Color(), 0x336699);
    EXPECT_NE(btn.Popup(), nullptr);   // the popup stays open
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey("SoftWare\\Brenvik\\Palette0", false));
    Word key = VK_ESCAPE;
    btn.Popup()->PickKeyDown(nullptr, key, 0);
    ProcessPendingMessages();
    SetRegistryStoreFile("");
    DeleteFile(store);
}

TEST_F(ColorBtn, TheOtherColoursCaptionUnderlinesItsAcceleratorLetter)
{
    // The dark ink on the popup's other-colours button: its first and last column, its lowest row.
    struct TInk {
        int Left = 1 << 20, Right = -1, Bottom = -1;
    };
    form->Show();
    auto ink = [&](const AnsiString& Caption) {
        TColorBtn btn(nullptr);
        btn.SetParent(form);
        btn.SetOtherBtnCaption(Caption);
        btn.DropDown();
        std::unique_ptr<TBitmap> shot = GrabControl(btn.Popup()->ColPick->OtherButton());
        TInk r;
        for (int y = 2; y < shot->Height() - 2; ++y)
            for (int x = 2; x < shot->Width() - 2; ++x)
                if (GetRValue(shot->Canvas()->Pixels(x, y)) < 0x60) {
                    r.Left = std::min(r.Left, x);
                    r.Right = std::max(r.Right, x);
                    r.Bottom = std::max(r.Bottom, y);
                }
        Word key = VK_ESCAPE;
        btn.Popup()->PickKeyDown(nullptr, key, 0);
        ProcessPendingMessages();
        return r;
    };
    const TInk plain = ink("Pozostałe ...");
    const TInk marked = ink("&Pozostałe ...");
    const TInk doubled = ink("&&Pozostałe ...");
    // The "&" takes no room (the underline may start a pixel before its letter's ink); the letter
    // after it is underlined below the text.
    EXPECT_NEAR(marked.Left, plain.Left, 1);
    EXPECT_EQ(marked.Right, plain.Right);
    EXPECT_GT(marked.Bottom, plain.Bottom);
    // "&&" shows one "&".
    EXPECT_LT(doubled.Left, plain.Left - 2);
    EXPECT_EQ(doubled.Bottom, plain.Bottom);
}

TEST(KxSpeedButton, GlyphCellsAndRepeat)
{
    TForm form(nullptr);
    TKxSpeedButton btn(nullptr);
    btn.SetParent(&form);
    TBitmap strip;
    strip.SetSize(80, 16);
    btn.SetGlyph(&strip);
    EXPECT_EQ(btn.NumGlyphs(), 5);
    strip.SetSize(96, 16);
    btn.SetGlyph(&strip);
    EXPECT_EQ(btn.NumGlyphs(), 1);

    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    btn.SetAllowTimer(true);
    form.Show();
    MouseDown(&btn, 5, 5);
    ASSERT_NE(btn.RepeatTimer(), nullptr);
    EXPECT_EQ(btn.RepeatTimer()->Interval(), 500u);
    FireTimer(btn.RepeatTimer());
    EXPECT_EQ(btn.RepeatTimer()->Interval(), 100u);
    FireTimer(btn.RepeatTimer());
    EXPECT_EQ(clicks, 2);
    MouseUp(&btn, 5, 5);
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(btn.RepeatTimer()->Enabled());
    form.Hide();
}

TEST(KxSpeedButton, FreedWhileRepeatingTakesItsTimerAlong)
{
    TForm form(nullptr);
    auto* btn = new TKxSpeedButton(nullptr);
    btn->SetParent(&form);
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->SetAllowTimer(true);
    form.Show();
    MouseDown(btn, 5, 5);
    ASSERT_NE(btn->RepeatTimer(), nullptr);
    delete btn;   // the mouse never comes up
    EXPECT_EQ(FireAllTimers(), 0);
    EXPECT_EQ(clicks, 0);
    form.Hide();
}

TEST(KxSpeedButton, StateImagesLiveInListsSharedBySize)
{
    auto glyph = [](int w, int h) {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(w, h);
        return b;
    };
    auto a = std::make_unique<TKxSpeedButton>(nullptr);
    auto b = std::make_unique<TKxSpeedButton>(nullptr);
    auto c = std::make_unique<TKxSpeedButton>(nullptr);
    TGlyphCache* cache = TGlyphCache::Shared();
    ASSERT_NE(cache, nullptr);
    const int lists = cache->ListCount();
    a->SetGlyph(glyph(32, 16).get());   // two cells of 16 x 16
    b->SetGlyph(glyph(16, 16).get());
    c->SetGlyph(glyph(24, 24).get());
    TKxButtonGlyph ga, gb;
    ga.SetGlyph(glyph(32, 16).get());
    gb.SetGlyph(glyph(16, 16).get());
    TBitmap* upA = ga.StateImage(bsUp);
    TBitmap* grayA = ga.StateImage(bsInactive);
    ASSERT_NE(upA, nullptr);
    EXPECT_EQ(upA->Width(), 16);
    EXPECT_EQ(ga.StateImage(bsUp), upA);   // made once, kept
    gb.StateImage(bsUp);
    EXPECT_NE(grayA, upA);
    EXPECT_EQ(cache->ListCount(), lists + 1);   // both glyphs of 16 x 16 share one list
    TKxButtonGlyph gc;
    gc.SetGlyph(glyph(24, 24).get());
    gc.StateImage(bsDisabled);
    EXPECT_EQ(cache->ListCount(), lists + 2);
    // A new picture drops the old state images; a list left empty goes.
    gc.SetGlyph(glyph(16, 16).get());
    EXPECT_EQ(cache->ListCount(), lists + 1);
    ga.Invalidate();
    gb.Invalidate();
    EXPECT_EQ(cache->ListCount(), lists);
}

TEST(KxSpeedButton, ThePressThatClosedTheMenuIsTakenFromTheQueue)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    TKxSpeedButton btn(&form);
    btn.SetParent(&form);
    btn.SetBounds(10, 10, 25, 25);
    TPopupMenu menu(nullptr);
    btn.SetDropDownMenu(&menu);
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    TPoint at;
    // While the menu runs the user presses on the button again (it closes the menu) and
    // elsewhere on the form: the press on the button goes, the other one stays.
    TPopupMenuHook old = SetPopupMenuHook([&](TPopupMenu*, int X, int Y) {
        at = TPoint(X, Y);
        PostMessage(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
        PostMessage(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 150));
    });
    MouseDown(&btn, 5, 5);
    MouseUp(&btn, 5, 5);
    SetPopupMenuHook(old);
    EXPECT_EQ(at, btn.ClientToScreen(TPoint(-1, 25)));
    EXPECT_EQ(clicks, 0);   // no click while the menu is tracked
    EXPECT_EQ(btn.State(), bsUp);
    TMsg m;
    ASSERT_TRUE(PeekMessage(m, form.Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 150);
    EXPECT_FALSE(PeekMessage(m, form.Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    form.Hide();
}

TEST(KxSpeedButton, GroupedButtonStaysDown)
{
    TForm form(nullptr);
    TKxSpeedButton a(nullptr), b(nullptr);
    a.SetParent(&form);
    b.SetParent(&form);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.SetDown(true);
    a.SetDown(false);   // AllowAllUp off: stays down
    EXPECT_TRUE(a.Down());
    b.SetDown(true);
    EXPECT_FALSE(a.Down());
    TKxSpeedButton c(nullptr);
    c.SetDown(true);    // no group: never down
    EXPECT_FALSE(c.Down());
}
