// The colour button and its palette: size and registry keys, cells, keys and
// the custom colours kept in the registry.
#include <gtest/gtest.h>

#include "controls/ColorPicker.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/platform/gui/Pixels.h"

namespace {

// A registry store of its own for each test that writes one.
struct TempRegistry {
    AnsiString file = GetTempDir() + "velmarok_r12_registry.ini";
    TempRegistry() { DeleteFile(file); SetRegistryStoreFile(file); }
    ~TempRegistry() { SetRegistryStoreFile(""); DeleteFile(file); }
};

void ClosePopup(TColorBtn& btn)
{
    if (btn.Popup()) {
        Word key = VK_ESCAPE;
        btn.Popup()->PickKeyDown(nullptr, key, 0);
    }
    ProcessPendingMessages();
}

}  // namespace

using ColorBtn = TPlainFormTest;

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

TEST_F(ColorBtn, OtherColoursAreKeptInTheRegistry)
{
    TempRegistry store;
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
    ClosePopup(btn);
}

TEST_F(ColorBtn, TheOtherColoursCaptionUnderlinesItsAcceleratorLetter)
{
    // The dark ink on the popup's other-colours button: its first and last column, its lowest row.
    struct TInk { int Left = 1 << 20, Right = -1, Bottom = -1; };
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
        ClosePopup(btn);
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

using ColorPalette = TShownFormTest;

TEST_F(ColorPalette, CellsFollowTheLayoutAndTheColourTable)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    btn.SetAutomaticColor(0x00FF00);
    btn.SetAutoBtnCaption("Domyślny");
    btn.SetOtherBtnCaption("&Pozostałe ...");
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    TColorPicker* pick = btn.Popup()->ColPick;
    EXPECT_EQ(pick->Width(), 170);
    EXPECT_EQ(pick->Height(), 200);
    EXPECT_EQ(btn.Popup()->ClientWidth(), 170);
    EXPECT_EQ(btn.Popup()->ClientHeight(), 200);
    // The popup opens at the button's lower-left corner.
    EXPECT_EQ(TPoint(btn.Popup()->Left(), btn.Popup()->Top()), btn.ClientToScreen(TPoint(0, btn.Height())));

    const TColor rows[7][8] = {
        {0x000000, 0x808080, 0x000040, 0x004040, 0x004000, 0x404000, 0x400000, 0x400040},
        {0x202020, 0x909090, 0x000080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080},
        {0x303030, 0xA0A0A0, 0x0000C0, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000, 0xC000C0},
        {0x404040, 0xB0B0B0, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF},
        {0x505050, 0xC0C0C0, 0x4040FF, 0x40FFFF, 0x40FF40, 0xFFFF40, 0xFF4040, 0xFF40FF},
        {0x606060, 0xD0D0D0, 0x8080FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080, 0xFF80FF},
        {0x707070, 0xFFFFFF, 0xC0C0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0, 0xFFC0FF},
    };
    for (int i = 1; i <= 56; ++i) {
        TColBtn* cell = pick->Cell(i);
        int row = (i - 1) / 8, col = (i - 1) % 8;
        EXPECT_EQ(cell->Color(), rows[row][col]) << "cell " << i;
        EXPECT_EQ(cell->BoundsRect(), TRect(5 + 20 * col, 30 + 20 * row, 25 + 20 * col, 50 + 20 * row)) << i;
        EXPECT_EQ(cell->GroupIndex(), 1) << i;
        EXPECT_TRUE(cell->Flat()) << i;
    }
    struct { TKxSpeedButton* b; TRect r; int group; const char* caption; } fixed[] = {
        {pick->AutoButton(), TRect(5, 4, 165, 24), 1, "Domyślny"},
        {pick->CustomCell(), TRect(5, 175, 25, 195), 1, ""},
        {pick->OtherButton(), TRect(25, 175, 165, 195), 0, "&Pozostałe ..."},
    };
    for (auto& f : fixed) {
        EXPECT_EQ(f.b->BoundsRect(), f.r) << f.caption;
        EXPECT_EQ(f.b->GroupIndex(), f.group) << f.caption;
        EXPECT_EQ(f.b->Caption(), f.caption);
    }
    EXPECT_EQ(pick->AutoButton()->Tag(), 100);
    EXPECT_EQ(pick->AutoButton()->Color(), 0x00FF00);
    EXPECT_EQ(pick->CustomCell()->Color(), clBlack);
    ClosePopup(btn);

    // Without the automatic button everything moves up by 22.
    btn.SetIsAutomatic(false);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    pick = btn.Popup()->ColPick;
    EXPECT_FALSE(pick->AutoButton()->Visible());
    EXPECT_EQ(pick->Height(), 178);
    EXPECT_EQ(btn.Popup()->ClientHeight(), 178);
    EXPECT_EQ(pick->Cell(1)->Top(), 8);
    EXPECT_EQ(pick->Cell(56)->BoundsRect(), TRect(145, 128, 165, 148));
    EXPECT_EQ(pick->CustomCell()->Top(), 153);
    EXPECT_EQ(pick->OtherButton()->Top(), 153);
    ClosePopup(btn);
}

TEST_F(ColorPalette, OpeningMarksTheTargetColourAndKeysChoose)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    std::vector<AnsiString> events;
    btn.BeforeDropDown = [&](TObject* s) {
        EXPECT_EQ(s, &btn);
        events.push_back(btn.Popup() ? "before, popup built" : "before");
    };
    btn.OnClick = [&](TObject*) { events.push_back("click " + IntToHex(btn.ActiveColor(), 6)); };

    struct { TColor target; int downCell; } marks[] = {
        {0xFF0000, 31}, {0x000000, 1}, {0xFFC0FF, 56}, {0x123456, 0}, {0xFFFFFF, 50},
    };
    for (auto& m : marks) {
        btn.SetTargetColor(m.target);
        btn.DropDown();
        ASSERT_NE(btn.Popup(), nullptr);
        TColorPicker* pick = btn.Popup()->ColPick;
        for (int i = 1; i <= 56; ++i)
            EXPECT_EQ(pick->Cell(i)->Down(), i == m.downCell) << IntToHex(m.target, 6) << " cell " << i;
        EXPECT_EQ(pick->CustomCell()->Down(), m.downCell == 0);
        if (m.downCell == 0) { EXPECT_EQ(pick->CustomCell()->Color(), m.target); }
        ClosePopup(btn);
    }
    EXPECT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0], "before");
    events.clear();
    btn.BeforeDropDown = nullptr;

    // Keys reach the popup: arrows are swallowed, Escape closes without a choice.
    btn.SetActiveColor(0x0000FF);
    btn.SetTargetColor(0x00FF00);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    for (Word key : {Word(VK_LEFT), Word(VK_DOWN), Word(VK_TAB), Word('A')}) {
        KeyDown(btn.Popup(), key);
        ASSERT_NE(btn.Popup(), nullptr) << key;
    }
    KeyDown(btn.Popup(), VK_ESCAPE);
    ProcessPendingMessages();
    EXPECT_EQ(btn.Popup(), nullptr);
    EXPECT_EQ(btn.ActiveColor(), 0x0000FF);
    EXPECT_EQ(btn.TargetColor(), 0x00FF00);
    EXPECT_EQ(btn.ColorHalf()->Color(), 0x0000FF);
    EXPECT_TRUE(events.empty());

    // Return before any click accepts the colour the popup opened with.
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    KeyDown(btn.Popup(), VK_RETURN);
    ProcessPendingMessages();
    EXPECT_EQ(btn.Popup(), nullptr);
    EXPECT_EQ(btn.ActiveColor(), 0x00FF00);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "click 00FF00");

    // A click on the custom cell chooses its colour; the automatic flag follows the last choice.
    btn.SetAutomaticColor(0x112233);
    btn.DropDown();
    btn.Popup()->ColPick->AutoButton()->Click();
    ProcessPendingMessages();
    EXPECT_TRUE(btn.LastChoiceAutomatic());
    EXPECT_EQ(btn.ActiveColor(), 0x112233);
    btn.SetTargetColor(0x445566);
    btn.DropDown();
    btn.Popup()->ColPick->CustomCell()->Click();
    ProcessPendingMessages();
    EXPECT_FALSE(btn.LastChoiceAutomatic());
    EXPECT_EQ(btn.ActiveColor(), 0x445566);
    EXPECT_EQ(btn.TargetColor(), 0x445566);
}

TEST_F(ColorPalette, CustomColoursUseTheRegistryKeyAndValueNames)
{
    TempRegistry store;
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("SoftWare\\Brenvik\\Palette7", true));
        reg.WriteString("ColorA", "0000FF");
        reg.WriteString("ColorP", "ABCDEF");
    }
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    btn.SetRegKey("Palette7");
    btn.SetRegKey("Palette7");
    EXPECT_EQ(btn.RegKey(), "Palette7");
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    TColorPicker* pick = btn.Popup()->ColPick;
    pick->CustomCell()->SetColor(0x010203);
    std::vector<AnsiString> loaded;
    TColor offered = 0;
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TColorDialog", IDOK, [&](TDialogRequest& r) {
        auto* dlg = static_cast<TColorDialog*>(r.Dialog);
        offered = dlg->Color();
        for (int i = 0; i < dlg->CustomColors()->Count(); ++i)
            loaded.push_back(dlg->CustomColors()->Strings(i));
        // The user picks a colour and edits two custom cells.
        dlg->CustomColors()->SetValues("ColorB", "00FF00");
        dlg->CustomColors()->SetValues("ColorP", "FFFFFF");
        r.Values = {"$00336699"};
    });
    pick->OtherButton()->Click();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(offered, 0x010203);
    ASSERT_EQ(loaded.size(), 16u);
    EXPECT_EQ(loaded[0], "ColorA=0000FF");
    EXPECT_EQ(loaded[1], "ColorB=");
    EXPECT_EQ(loaded[15], "ColorP=ABCDEF");
    EXPECT_EQ(pick->CustomCell()->Color(), 0x336699);
    ASSERT_NE(btn.Popup(), nullptr);   // still open until a cell is clicked
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("SoftWare\\Brenvik\\Palette7", false));
        auto names = std::make_unique<TStringList>();
        reg.GetValueNames(names.get());
        EXPECT_EQ(names->Count(), 16);
        for (int i = 0; i < 16; ++i)
            EXPECT_TRUE(reg.ValueExists(AnsiString("Color") + char('A' + i))) << i;
        EXPECT_EQ(reg.ReadString("ColorA"), "0000FF");
        EXPECT_EQ(reg.ReadString("ColorB"), "00FF00");
        EXPECT_EQ(reg.ReadString("ColorP"), "FFFFFF");
    }
    pick->CustomCell()->Click();
    ProcessPendingMessages();
    EXPECT_EQ(btn.ActiveColor(), 0x336699);

    // A cancelled dialog writes nothing: a key that did not exist stays absent.
    btn.SetRegKey("");
    EXPECT_EQ(btn.RegKey(), "Palette0");
    btn.DropDown();
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TColorDialog", IDCANCEL, [&](TDialogRequest& r) {
        EXPECT_EQ(static_cast<TColorDialog*>(r.Dialog)->CustomColors()->Count(), 0);
    });
    btn.Popup()->ColPick->OtherButton()->Click();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_FALSE(TRegistry().KeyExists("SoftWare\\Brenvik\\Palette0"));
    ClosePopup(btn);
}

// Another window activated takes the focus from the palette, which closes; one left open is freed
// once, by the application (its owner) or by the button, whichever goes first.
TEST_F(ColorPalette, ClosesWhenAnotherWindowIsActivatedAndIsFreedOnce)
{
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        const int owned = Application->ComponentCount();
        auto* btn = new TColorBtn(form);
        btn->SetParent(form);
        btn->DropDown();
        ASSERT_NE(btn->Popup(), nullptr);
        if (way == 0) {
            ActivateWindowByUser(form, true);
            ProcessPendingMessages();
            EXPECT_EQ(btn->Popup(), nullptr);
        } else if (way == 1) {
            delete btn->Popup();
            EXPECT_EQ(btn->Popup(), nullptr);
        }
        delete btn;
        ProcessPendingMessages();
        EXPECT_EQ(Application->ComponentCount(), owned);
    }
}

TEST_F(ColorPalette, ButtonHalvesAndSwatches)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
    EXPECT_EQ(TPoint(btn.Width(), btn.Height()), TPoint(37, 22));
    // The width follows the height: the colour half is square, the arrow half half as wide + 4.
    struct { int h; int w; } sizes[] = {{22, 37}, {30, 49}, {15, 26}, {21, 35}};
    for (auto& s : sizes) {
        btn.SetBounds(3, 4, 200, s.h);
        EXPECT_EQ(btn.BoundsRect(), TRect(3, 4, 3 + s.w, 4 + s.h)) << s.h;
        EXPECT_EQ(btn.ColorHalf()->BoundsRect(), TRect(0, 0, s.h, s.h));
        EXPECT_EQ(btn.DropDownHalf()->BoundsRect(), TRect(s.h, 0, s.h + s.h / 2 + 4, s.h));
    }
    btn.SetBounds(0, 0, 37, 22);
    btn.SetActiveColor(0x3366CC);

    // Without glyph: a swatch from (d, d) to (W - d, H - d), d = H div 5.
    btn.SetGlyphType(gtCustom);
    auto plain = GrabControl(btn.ColorHalf());
    ExpectPixels(plain->Canvas(), {{11, 11, 0x3366CC}, {5, 5, 0x3366CC}});
    EXPECT_NE(plain->Canvas()->Pixels(2, 2), 0x3366CC);

    // With the glyph: the swatch from (x, x + 2) to (x + 12, x + 12), x = W div 2 - 4.
    btn.SetGlyphType(gtForeground);
    auto glyphed = GrabControl(btn.ColorHalf());
    TCanvas* g = glyphed->Canvas();
    ExpectPixels(g, {{8, 10, 0x3366CC}, {17, 17, 0x3366CC}, {7, 9, clBlack}});   // at (7, 9) its frame
    EXPECT_NE(g->Pixels(8, 8), 0x3366CC);    // the glyph's rows above it
    EXPECT_NE(g->Pixels(6, 12), 0x3366CC);

    // Disabled: the face colour inside a grey frame; clicks on either half do nothing.
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    btn.SetEnabled(false);
    EXPECT_FALSE(btn.ColorHalf()->Enabled());
    EXPECT_FALSE(btn.DropDownHalf()->Enabled());
    Click(btn.ColorHalf(), 5, 5);
    Click(btn.DropDownHalf(), 3, 5);
    EXPECT_EQ(clicks + (btn.Popup() != nullptr), 0);
    auto off = GrabControl(btn.ColorHalf());
    ExpectPixels(off->Canvas(), {{12, 14, ColorToRGB(clBtnFace)}, {7, 9, 0x808080}});
    btn.SetEnabled(true);

    // The automatic button: a swatch at its left end inside an open frame.
    btn.SetAutomaticColor(0x00AA00);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    auto autoBtn = GrabControl(btn.Popup()->ColPick->AutoButton());
    EXPECT_EQ(autoBtn->Canvas()->Pixels(10, 10), 0x00AA00);
    EXPECT_NE(autoBtn->Canvas()->Pixels(80, 10), 0x00AA00);
    EXPECT_NE(autoBtn->Canvas()->Pixels(3, 10), 0x808080);   // its grey frame is open on the left
    ClosePopup(btn);
}
