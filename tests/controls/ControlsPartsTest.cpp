// The desktop controls against their documented behaviour: colour button and
// palette, gradient bar, speed button, link label and the support routines.
#include <gtest/gtest.h>

#include "controls/AppUtils.h"
#include "controls/ColorPicker.h"
#include "controls/FileLbl.h"
#include "controls/FileUtil.h"
#include "controls/KXCtrls.h"
#include "controls/NetGradient.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/VCLUtils.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Menus.h"
#include "platform/gui/TestSupport.h"

namespace {

struct ShownForm : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBounds(10, 10, 400, 300);
        form->Show();
    }
    void TearDown() override
    {
        delete form;
        ProcessPendingMessages();
    }
};

// A registry store of its own for each test that writes one.
struct TempRegistry {
    AnsiString file = GetTempDir() + "velmarok_r12_registry.ini";
    TempRegistry()
    {
        DeleteFile(file);
        SetRegistryStoreFile(file);
    }
    ~TempRegistry()
    {
        SetRegistryStoreFile("");
        DeleteFile(file);
    }
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

// ================================================================ colour button
using ColorPalette = ShownForm;

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
    TPoint corner = btn.ClientToScreen(TPoint(0, btn.Height()));
    EXPECT_EQ(btn.Popup()->Left(), corner.X);
    EXPECT_EQ(btn.Popup()->Top(), corner.Y);

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
    EXPECT_EQ(btn.Popup()->ClientHeight(), 178);
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
        if (m.downCell == 0) {
            EXPECT_EQ(pick->CustomCell()->Color(), m.target);
        }
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

TEST_F(ColorPalette, ButtonHalvesAndSwatches)
{
    TColorBtn btn(nullptr);
    btn.SetParent(form);
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
    EXPECT_EQ(plain->Canvas()->Pixels(11, 11), 0x3366CC);
    EXPECT_EQ(plain->Canvas()->Pixels(5, 5), 0x3366CC);
    EXPECT_NE(plain->Canvas()->Pixels(2, 2), 0x3366CC);

    // With the glyph: the swatch from (x, x + 2) to (x + 12, x + 12), x = W div 2 - 4.
    btn.SetGlyphType(gtForeground);
    auto glyphed = GrabControl(btn.ColorHalf());
    TCanvas* g = glyphed->Canvas();
    EXPECT_EQ(g->Pixels(8, 10), 0x3366CC);
    EXPECT_EQ(g->Pixels(17, 17), 0x3366CC);
    EXPECT_EQ(g->Pixels(7, 9), clBlack);     // its frame
    EXPECT_NE(g->Pixels(8, 8), 0x3366CC);    // the glyph's rows above it
    EXPECT_NE(g->Pixels(6, 12), 0x3366CC);

    // Disabled: the face colour inside a grey frame.
    btn.SetEnabled(false);
    EXPECT_FALSE(btn.ColorHalf()->Enabled());
    EXPECT_FALSE(btn.DropDownHalf()->Enabled());
    auto off = GrabControl(btn.ColorHalf());
    EXPECT_EQ(off->Canvas()->Pixels(12, 14), ColorToRGB(clBtnFace));
    EXPECT_EQ(off->Canvas()->Pixels(7, 9), 0x808080);
    btn.SetEnabled(true);

    // The automatic button: a swatch at its left end inside an open frame.
    btn.SetAutomaticColor(0x00AA00);
    btn.DropDown();
    ASSERT_NE(btn.Popup(), nullptr);
    auto autoBtn = GrabControl(btn.Popup()->ColPick->AutoButton());
    EXPECT_EQ(autoBtn->Canvas()->Pixels(10, 10), 0x00AA00);
    EXPECT_NE(autoBtn->Canvas()->Pixels(80, 10), 0x00AA00);
    ClosePopup(btn);
}

// ================================================================ gradient bar
TEST(NetGradientBar, DefaultsBandsAndCaptionPlace)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 100);
    TNetGradient bar(nullptr);
    EXPECT_EQ(bar.Width(), 400);
    EXPECT_EQ(bar.Height(), 25);
    EXPECT_EQ(bar.BeginColor(), 0x808080);
    EXPECT_EQ(bar.EndColor(), clBtnFace);
    EXPECT_EQ(bar.NumberOfColors(), 255);
    EXPECT_EQ(bar.Caption(), "TNetGradient");
    EXPECT_EQ(bar.TextLeft(), 12);
    EXPECT_EQ(bar.TextTop(), 5);
    EXPECT_TRUE(bar.Font()->Style() & fsBold);
    EXPECT_EQ(bar.FillDirection(), fdLeftToRight);

    bar.SetParent(&form);
    bar.SetBounds(0, 0, 729, 25);
    bar.SetCaption("");
    bar.SetBeginColor(RGB(0, 0, 0));
    bar.SetEndColor(RGB(254, 0, 254));
    struct { TFillDirection dir; int n; } cases[] = {{fdLeftToRight, 255}, {fdRightToLeft, 255}, {fdLeftToRight, 7},
                                                     {fdLeftToRight, 2}, {fdRightToLeft, 1}};
    for (auto& k : cases) {
        bar.SetFillDirection(k.dir);
        bar.SetNumberOfColors(TNumberOfColors(k.n));
        auto shot = GrabControl(&bar);
        TCanvas* c = shot->Canvas();
        TColor start = k.dir == fdLeftToRight ? RGB(0, 0, 0) : RGB(254, 0, 254);
        int d = k.dir == fdLeftToRight ? 254 : -254;
        for (int i : {0, 1, k.n / 2, k.n - 1}) {
            if (i < 0 || i >= k.n)
                continue;
            int v = GetRValue(start) + (k.n > 1 ? MulDiv(i, d, k.n - 1) : 0);
            int left = MulDiv(i, 729, k.n), right = MulDiv(i + 1, 729, k.n) - 1;
            for (int x : {left, right}) {
                EXPECT_EQ(c->Pixels(x, 0), RGB(v, 0, v)) << k.n << " band " << i << " x " << x;
                EXPECT_EQ(c->Pixels(x, 24), RGB(v, 0, v)) << k.n << " band " << i << " x " << x;
            }
        }
    }

    // The caption is written from (TextLeft, TextTop) in the bar's font over the bands.
    bar.SetFillDirection(fdLeftToRight);
    bar.SetNumberOfColors(1);
    bar.SetBeginColor(clBlack);
    bar.Font()->SetColor(clWhite);
    bar.SetCaption("Normy aktualne");
    for (TPoint at : {TPoint(12, 5), TPoint(40, 2)}) {
        bar.SetTextLeft(at.X);
        bar.SetTextTop(at.Y);
        auto shot = GrabControl(&bar);
        int minX = 1000, minY = 1000;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 300; ++x)
                if (shot->Canvas()->Pixels(x, y) != clBlack) {
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                }
        EXPECT_GE(minX, at.X);
        EXPECT_LE(minX, at.X + 3);
        EXPECT_GE(minY, at.Y);
        EXPECT_LE(minY, at.Y + 6);
    }
}

// ================================================================ speed button
namespace {

// A strip of Count cells of 8 x 8 in the given colours (the transparent colour is olive).
void SetStrip(TKxSpeedButton& btn, std::initializer_list<TColor> colours)
{
    TBitmap strip;
    int n = int(colours.size());
    strip.SetSize(8 * n, 8);
    int i = 0;
    for (TColor c : colours) {
        strip.Canvas()->Brush()->SetColor(c);
        strip.Canvas()->FillRect(TRect(8 * i, 0, 8 * i + 8, 8));
        ++i;
    }
    strip.SetTransparentColor(clOlive);
    btn.SetGlyph(&strip);
    EXPECT_EQ(btn.NumGlyphs(), n);
}

TColor Centre(TKxSpeedButton& btn)
{
    auto shot = GrabControl(&btn);
    return shot->Canvas()->Pixels(btn.Width() / 2, btn.Height() / 2);
}

TColor Grey(TColor c)
{
    int g = (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
    return RGB(g, g, g);
}

}  // namespace

using SpeedButton = ShownForm;

TEST_F(SpeedButton, GlyphCellsOfEachState)
{
    TKxSpeedButton btn(nullptr);
    btn.SetParent(form);
    btn.SetBounds(10, 10, 25, 25);
    const TColor up = RGB(200, 0, 0), disabled = RGB(0, 200, 0), down = RGB(0, 0, 200), excl = RGB(200, 200, 0),
                 inactive = RGB(0, 200, 200);
    SetStrip(btn, {up, disabled, down, excl, inactive});
    EXPECT_EQ(Centre(btn), up);
    MouseDown(&btn, 5, 5);
    EXPECT_EQ(btn.State(), bsDown);
    EXPECT_EQ(Centre(btn), down);
    MouseUp(&btn, 5, 5);
    btn.SetEnabled(false);
    EXPECT_EQ(Centre(btn), disabled);
    btn.SetEnabled(true);
    btn.SetGroupIndex(3);
    btn.SetDown(true);
    EXPECT_EQ(btn.State(), bsExclusive);
    EXPECT_EQ(Centre(btn), excl);
    btn.SetAllowAllUp(true);
    btn.SetDown(false);
    btn.SetFlat(true);
    btn.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Centre(btn), inactive);

    // One cell: down draws the up cell, inactive turns it grey, disabled is embossed.
    TKxSpeedButton one(nullptr);
    one.SetParent(form);
    one.SetBounds(50, 10, 25, 25);
    SetStrip(one, {up});
    MouseDown(&one, 5, 5);
    EXPECT_EQ(Centre(one), up);
    MouseUp(&one, 5, 5);
    one.SetFlat(true);
    one.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Centre(one), Grey(up));
    one.SetGrayedInactive(false);
    EXPECT_EQ(Centre(one), up);
    one.SetEnabled(false);
    EXPECT_EQ(Centre(one), ColorToRGB(clBtnShadow));

    // Three cells: exclusive has no cell of its own and takes the up cell.
    TKxSpeedButton three(nullptr);
    three.SetParent(form);
    three.SetBounds(90, 10, 25, 25);
    SetStrip(three, {up, disabled, down});
    three.SetGroupIndex(4);
    three.SetDown(true);
    EXPECT_EQ(Centre(three), up);
    // A flat button that is down and away from the mouse: framed, dithered, grey glyph.
    three.SetFlat(true);
    three.Perform(CM_MOUSELEAVE, 0, 0);
    auto shot = GrabControl(&three);
    EXPECT_EQ(shot->Canvas()->Pixels(12, 12), Grey(up));
    TColor a = shot->Canvas()->Pixels(3, 3), b = shot->Canvas()->Pixels(4, 3);
    EXPECT_NE(a, b);   // the face dither
    EXPECT_TRUE(a == ColorToRGB(clBtnHighlight) || b == ColorToRGB(clBtnHighlight));
}

TEST_F(SpeedButton, GroupsAndReleaseInsideOrOutside)
{
    std::vector<std::unique_ptr<TKxSpeedButton>> b;
    int clicks[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        b.push_back(std::make_unique<TKxSpeedButton>(nullptr));
        b[i]->SetParent(form);
        b[i]->SetBounds(10 + 30 * i, 10, 25, 25);
        b[i]->SetGroupIndex(5);
        b[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    // Each step: the button pressed and where it is released; then the Down states.
    struct { int button; bool inside; bool allowAllUp; bool down[3]; int clicks; } steps[] = {
        {0, true, false, {true, false, false}, 1},
        {0, true, false, {true, false, false}, 1},    // stays down without AllowAllUp
        {1, true, false, {false, true, false}, 1},
        {2, false, false, {false, true, false}, 0},   // released outside: nothing
        {1, true, true, {false, false, false}, 1},    // all up allowed
        {2, true, true, {false, false, true}, 1},
    };
    for (auto& s : steps) {
        if (b[0]->AllowAllUp() != s.allowAllUp)
            b[0]->SetAllowAllUp(s.allowAllUp);
        int before = clicks[s.button];
        TKxSpeedButton& btn = *b[s.button];
        MouseDown(&btn, 5, 5);
        if (!s.inside)
            MouseMove(&btn, 60, 5, ssLeft);
        MouseUp(&btn, s.inside ? 5 : 60, 5);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(b[i]->Down(), s.down[i]) << "button " << s.button << " -> " << i;
        EXPECT_EQ(clicks[s.button] - before, s.clicks) << s.button;
        EXPECT_EQ(btn.State(), btn.Down() ? bsExclusive : bsUp);
    }
    // The group's AllowAllUp is shared with every member.
    EXPECT_TRUE(b[1]->AllowAllUp());
    EXPECT_TRUE(b[2]->AllowAllUp());

    // Another parent is another group.
    TPanel other(nullptr);
    other.SetParent(form);
    other.SetBounds(0, 100, 100, 40);
    TKxSpeedButton elsewhere(nullptr);
    elsewhere.SetParent(&other);
    elsewhere.SetGroupIndex(5);
    elsewhere.SetDown(true);
    EXPECT_TRUE(b[2]->Down());

    // Click passes the button's modal result to its form.
    TKxSpeedButton ok(nullptr);
    ok.SetParent(form);
    ok.SetModalResult(mrOk);
    ok.Click();
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->SetModalResult(mrNone);

    // The caption's accelerator clicks an enabled button.
    int okClicks = 0;
    ok.OnClick = [&](TObject*) { ++okClicks; };
    ok.SetCaption("&Dalej");
    EXPECT_EQ(ok.Perform(CM_DIALOGCHAR, 'd', 0), 1);
    EXPECT_EQ(ok.Perform(CM_DIALOGCHAR, 'a', 0), 0);
    ok.SetEnabled(false);
    EXPECT_EQ(ok.Perform(CM_DIALOGCHAR, 'D', 0), 0);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(SpeedButton, RepeatStopsOffTheButtonAndResumes)
{
    TKxSpeedButton btn(nullptr);
    btn.SetParent(form);
    btn.SetBounds(10, 10, 25, 25);
    btn.SetInitPause(300);
    btn.SetRepeatInterval(40);
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    btn.SetAllowTimer(true);
    MouseDown(&btn, 5, 5);
    ASSERT_NE(btn.RepeatTimer(), nullptr);
    EXPECT_EQ(btn.RepeatTimer()->Interval(), 300u);
    EXPECT_TRUE(btn.RepeatTimer()->Enabled());
    // Each tick: whether the mouse is over the button, then the clicks so far.
    struct { bool over; int clicks; } ticks[] = {{true, 1}, {true, 2}, {false, 2}, {false, 2}, {true, 3}};
    for (auto& t : ticks) {
        MouseMove(&btn, t.over ? 6 : 80, 5, ssLeft);
        EXPECT_EQ(btn.State(), t.over ? bsDown : bsUp);
        FireTimer(btn.RepeatTimer());
        EXPECT_EQ(btn.RepeatTimer()->Interval(), 40u);
        EXPECT_EQ(clicks, t.clicks);
    }
    MouseUp(&btn, 80, 5);   // released outside: no click of its own
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(btn.RepeatTimer()->Enabled());
    btn.SetAllowTimer(false);
    EXPECT_EQ(btn.RepeatTimer(), nullptr);
    MouseDown(&btn, 5, 5);
    EXPECT_EQ(btn.RepeatTimer(), nullptr);
    MouseUp(&btn, 5, 5);
    EXPECT_EQ(clicks, 4);
}

TEST_F(SpeedButton, DropDownMenuPositionsAndArrow)
{
    TKxSpeedButton btn(nullptr);
    btn.SetParent(form);
    btn.SetBounds(20, 30, 40, 24);
    TPopupMenu menu(nullptr);
    menu.Items()->Add(new TMenuItem(&menu));
    auto shotWithout = GrabControl(&btn);
    btn.SetDropDownMenu(&menu);
    auto shotWith = GrabControl(&btn);
    // The arrow: rows of 7, 5, 3 and 1 pixels in the button text colour.
    int arrowPixels = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            if (shotWith->Canvas()->Pixels(x, y) == ColorToRGB(clBtnText) &&
                shotWithout->Canvas()->Pixels(x, y) != ColorToRGB(clBtnText))
                ++arrowPixels;
    EXPECT_EQ(arrowPixels, 16);

    TPoint shown(-999, -999);
    TPopupMenu* shownMenu = nullptr;
    TPopupMenuHook old = SetPopupMenuHook([&](TPopupMenu* m, int x, int y) {
        shownMenu = m;
        shown = TPoint(x, y);
    });
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    struct { TKxDropDownMenuPos pos; TPopupAlignment align; TPoint at; } cases[] = {
        {dmpBottom, paLeft, TPoint(-1, 24)},  {dmpBottom, paRight, TPoint(41, 24)},
        {dmpBottom, paCenter, TPoint(20, 24)}, {dmpRight, paLeft, TPoint(40, -1)},
        {dmpRight, paRight, TPoint(-1, -1)},   {dmpRight, paCenter, TPoint(20, 24)},
    };
    for (auto& k : cases) {
        btn.SetMenuPosition(k.pos);
        menu.SetAlignment(k.align);
        shownMenu = nullptr;
        MouseDown(&btn, 5, 5);
        ASSERT_EQ(shownMenu, &menu);
        EXPECT_EQ(shown, btn.ClientToScreen(k.at)) << int(k.pos) << "/" << int(k.align);
        EXPECT_EQ(menu.PopupComponent(), &btn);
        EXPECT_EQ(btn.State(), bsUp);   // the press ended with the menu
        MouseUp(&btn, 5, 5);
    }
    EXPECT_EQ(clicks, 0);
    menu.SetAutoPopup(false);
    shownMenu = nullptr;
    MouseDown(&btn, 5, 5);
    MouseUp(&btn, 5, 5);
    EXPECT_EQ(shownMenu, nullptr);
    EXPECT_EQ(clicks, 1);
    SetPopupMenuHook(old);
}

// ================================================================ link label and file label
using LinkLabel = ShownForm;

TEST_F(LinkLabel, FontFollowsTheMouse)
{
    TQelSensitiveLabel label(form);
    label.SetParent(form);
    label.SetBounds(10, 10, 100, 20);
    label.SetCaption("Pobierz");
    const TColor normal = label.Font()->Color();
    const AnsiString normalName = label.Font()->Name();
    EXPECT_TRUE(label.ActiveMouseDown());
    EXPECT_FALSE(label.ActiveMouseMove());
    EXPECT_EQ(label.FontMouseDown()->Color(), 0x0000FF);
    // As designed: a blue underlined link, hover font green and bold.
    label.Font()->SetColor(clBlue);
    label.Font()->SetStyle(fsUnderline);
    label.FontMouseMove()->SetColor(clGreen);
    label.FontMouseMove()->SetStyle(fsBold);
    label.FontMouseMove()->SetSize(11);

    label.Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(label.Font()->Color(), clGreen);
    EXPECT_EQ(label.Font()->Style(), TFontStyles(fsBold));
    EXPECT_EQ(label.Font()->Size(), 11);
    struct { TMouseButton button; bool active; TColor during; } presses[] = {
        {mbLeft, true, 0x0000FF}, {mbRight, true, 0x0000FF}, {mbMiddle, true, clGreen}, {mbLeft, false, clGreen},
    };
    for (auto& p : presses) {
        label.SetActiveMouseDown(p.active);
        label.Perform(CM_MOUSEENTER, 0, 0);
        MouseDown(&label, 5, 5, p.button);
        EXPECT_EQ(label.Font()->Color(), p.during) << int(p.button) << p.active;
        MouseUp(&label, 5, 5, p.button);
        EXPECT_EQ(label.Font()->Color(), normal) << int(p.button);
        EXPECT_EQ(label.Font()->Name(), normalName);
        EXPECT_EQ(label.Font()->Style(), TFontStyles(0));
    }
    label.Perform(CM_MOUSEENTER, 0, 0);
    label.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(label.Font()->Color(), normal);
}

TEST(FileLabelFit, ShortensAtSeveralWidths)
{
    auto w10 = [](const AnsiString& s) { return int(s.size()) * 10; };
    const AnsiString path = "C:\\Normy\\Katalog\\Stare\\Archiwum\\plik.txt";   // 40 characters
    struct { TDirection dir; int w; const char* caption; } cases[] = {
        {drFromLeft, 400, "C:\\Normy\\Katalog\\Stare\\Archiwum\\plik.txt"},
        {drFromLeft, 399, "C:\\...\\Katalog\\Stare\\Archiwum\\plik.txt"},
        {drFromLeft, 330, "C:\\...\\Stare\\Archiwum\\plik.txt"},
        {drFromLeft, 299, "C:\\...\\Archiwum\\plik.txt"},
        {drFromLeft, 151, "C:\\...\\plik.txt"},
        {drFromLeft, 150, "...\\plik.txt"},     // drive, ellipsis and name not below the width
        {drFromLeft, 121, "...\\plik.txt"},     // the drive no longer fits beside them
        {drFromLeft, 120, "plik.txt"},          // "...\" + name is not below the width
        {drFromLeft, 30, "plik.txt"},
        {drFromRight, 399, "C:\\Normy\\Katalog\\Stare\\...\\plik.txt"},
        {drFromRight, 290, "C:\\Normy\\Katalog\\...\\plik.txt"},
        {drFromRight, 289, "C:\\Normy\\...\\plik.txt"},
        {drFromRight, 210, "C:\\Normy\\...\\plik.txt"},
        {drFromRight, 179, "C:\\...\\plik.txt"},
    };
    for (auto& c : cases)
        EXPECT_EQ(TFileLabel::FitPath(path, "\\", c.dir, c.w, w10), c.caption) << c.dir << " " << c.w;
    // Without a drive every part but the last is a middle part.
    EXPECT_EQ(TFileLabel::FitPath("\\\\serwer\\dział\\a.txt", "\\", drFromRight, 160, w10), "\\\\...\\a.txt");
    EXPECT_EQ(TFileLabel::FitPath("Normy\\Stare\\a.txt", "\\", drFromLeft, 160, w10), "...\\Stare\\a.txt");
    EXPECT_EQ(TFileLabel::FitPath("", "\\", drFromLeft, 0, w10), "");

    // The label refits on resizing, on a new separator and on a new direction.
    TFileLabel label(nullptr);
    label.SetBounds(0, 0, 2000, 16);
    label.SetFileName("/home/norma/Katalog/plik.txt");
    EXPECT_EQ(label.Caption(), "/home/norma/Katalog/plik.txt");
    TBitmap probe;
    probe.Canvas()->SetFont(label.Font());
    TCanvas* measure = probe.Canvas();
    int full = measure->TextWidth("/home/norma/Katalog/plik.txt");
    label.SetSeparator("\\");
    label.SetBounds(0, 0, full - 1, 16);
    EXPECT_EQ(label.Caption(), "/home/norma/Katalog/plik.txt");   // with "\\" it is one part, shown whole
    label.SetSeparator("/");
    EXPECT_EQ(label.Caption().substr(label.Caption().size() - 9), "/plik.txt");
    EXPECT_NE(label.Caption().find(".../"), AnsiString::npos);
    EXPECT_LE(measure->TextWidth(label.Caption()), full - 1);
}

// ================================================================ support routines
TEST(KxRoutines, CommandLineTokens)
{
    struct { const char* text; std::vector<AnsiString> tokens; } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"C:\\Program Files\\x.exe\" /p", {"C:\\Program Files\\x.exe", "/p"}},
        {"\"\" \"\"a", {"a"}},                           // empty quote pairs are skipped
        {"a\"b c\"d e", {"ab cd", "e"}},                // a quoted run inside a token
        {"\"open end", {"open end"}},
        {"x\x01y", {"x", "y"}},                         // control characters separate
        {"\"a\"\"b\"", {"ab"}},
    };
    for (auto& c : cases) {
        EXPECT_EQ(CmdTokenCount(c.text), int(c.tokens.size())) << c.text;
        for (std::size_t i = 0; i < c.tokens.size(); ++i)
            EXPECT_EQ(CmdToken(c.text, int(i)), c.tokens[i]) << c.text << " #" << i;
        EXPECT_EQ(CmdToken(c.text, int(c.tokens.size())), "") << c.text;
    }
    AnsiString token;
    EXPECT_EQ(ExtractCmdToken("  first  second third", token), "  second third");
    EXPECT_EQ(token, "first");
    AnsiString file, params;
    SplitCommandLine("\"C:\\Normy PN\\v.exe\"  -a   \"b c\" \"d\"", file, params);
    EXPECT_EQ(file, "C:\\Normy PN\\v.exe");
    EXPECT_EQ(params, "-a \"b c\" d");
    SplitCommandLine("", file, params);
    EXPECT_EQ(file, "");
    EXPECT_EQ(params, "");
}

TEST(KxRoutines, WordsAndSubstrings)
{
    TCharSet delims{' ', ',', ';'};
    struct { int n; const char* s; int pos; const char* word; } cases[] = {
        {1, "alfa beta", 1, "alfa"},   {2, "alfa beta", 6, "beta"},  {3, "alfa beta", 0, ""},
        {1, ";; ,x", 5, "x"},          {2, "a,,b", 4, "b"},          {2, "a ,; b;", 6, "b"},
        {0, "a", 0, ""},               {1, "", 0, ""},               {1, ",,,", 0, ""},
        {2, "ąę,żź", 4, "żź"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(WordPosition(c.n, c.s, delims), c.pos) << c.n << " '" << c.s << "'";
        EXPECT_EQ(ExtractWord(c.n, c.s, delims), c.word) << c.n << " '" << c.s << "'";
    }
    // ExtractSubstr walks the fields one by one, empty ones included.
    const AnsiString s = "ab;;cd;";
    int pos = 1;
    std::vector<std::pair<AnsiString, int>> walk;
    while (pos <= int(s.size())) {
        AnsiString part = ExtractSubstr(s, pos, TCharSet{';'});
        walk.emplace_back(part, pos);
    }
    std::vector<std::pair<AnsiString, int>> expected = {{"ab", 4}, {"", 5}, {"cd", 8}};
    EXPECT_EQ(walk, expected);
    pos = 3;
    EXPECT_EQ(ExtractSubstr("abcd", pos, TCharSet{';'}), "cd");
    EXPECT_EQ(pos, 5);
}

TEST(KxRoutines, ShortenNormalizeAndPictures)
{
    TBitmap probe;
    probe.SetSize(4, 4);
    TCanvas* c = probe.Canvas();
    const AnsiString text = "Zharmonizowane normy europejskie";
    for (int width : {0, 5, 40, 80, 120, c->TextWidth(text) - 1, c->TextWidth(text), 1000}) {
        AnsiString s = ShortenString(text, c, width);
        if (c->TextWidth(text) <= width) {
            EXPECT_EQ(s, text);
            continue;
        }
        ASSERT_GE(s.size(), 3u);
        EXPECT_EQ(s.substr(s.size() - 3), "...") << width;
        AnsiString head = s.substr(0, s.size() - 3);
        EXPECT_EQ(text.substr(0, head.size()), head);
        if (s != "...") {
            EXPECT_LE(c->TextWidth(s), width);
            EXPECT_LE(head.size(), text.size() - 2);   // at least two characters go
        }
        if (head.size() + 3 <= text.size() - 2) {   // one character more would not fit
            EXPECT_GT(c->TextWidth(text.substr(0, head.size() + 1) + "..."), width) << width;
        }
    }

    struct { const char* in; const char* out; } dirs[] = {
        {"C:\\", "C:\\"}, {"d:\\", "d:\\"}, {"C:\\Data\\", "C:\\Data"}, {"C:\\Data", "C:\\Data"},
        {"\\", "\\"},     {"", ""},         {"Wykazy\\\\", "Wykazy\\"}, {"C:", "C:"},
    };
    for (auto& d : dirs)
        EXPECT_EQ(NormalizeDir(d.in), d.out) << d.in;
    EXPECT_TRUE(HasAnyChar("<>", "a>b"));
    EXPECT_FALSE(HasAnyChar("<>", "ab"));
    EXPECT_FALSE(HasAnyChar("", "ab"));

    // Cells of a 3 x 2 strip, each 4 x 3 of its own colour.
    TBitmap strip;
    strip.SetSize(12, 6);
    const TColor colours[6] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
    for (int i = 0; i < 6; ++i) {
        strip.Canvas()->Brush()->SetColor(colours[i]);
        strip.Canvas()->FillRect(TRect(4 * (i % 3), 3 * (i / 3), 4 * (i % 3) + 4, 3 * (i / 3) + 3));
    }
    strip.SetTransparentColor(clBlue);
    struct { int cols, rows, index; TColor colour; int w, h; } cells[] = {
        {3, 2, 0, clRed, 4, 3}, {3, 2, 4, clAqua, 4, 3}, {3, 2, 5, clFuchsia, 4, 3},
        {3, 2, -2, clRed, 4, 3}, {0, 2, 1, clYellow, 12, 3}, {3, 0, 2, clBlue, 4, 6},
    };
    for (auto& k : cells) {
        TBitmap cell;
        AssignBitmapCell(&strip, &cell, k.cols, k.rows, k.index);
        EXPECT_EQ(cell.Width(), k.w);
        EXPECT_EQ(cell.Height(), k.h);
        EXPECT_EQ(cell.Canvas()->Pixels(1, 1), k.colour) << k.cols << "x" << k.rows << " #" << k.index;
        EXPECT_EQ(cell.TransparentColor(), clBlue);
    }

    // Grey pixels by (77 R + 150 G + 29 B) >> 8; the transparent colour and the face stay.
    TBitmap src;
    src.SetSize(4, 1);
    const TColor px[4] = {RGB(255, 0, 0), RGB(10, 200, 30), clOlive, ColorToRGB(clBtnFace)};
    for (int x = 0; x < 4; ++x)
        src.Canvas()->SetPixels(x, 0, px[x]);
    std::unique_ptr<TBitmap> grey(CreateGrayedBitmap(&src, clOlive));
    EXPECT_EQ(grey->Canvas()->Pixels(0, 0), RGB(76, 76, 76));
    EXPECT_EQ(grey->Canvas()->Pixels(1, 0), RGB(123, 123, 123));
    EXPECT_EQ(grey->Canvas()->Pixels(2, 0), ColorToRGB(clOlive));
    EXPECT_EQ(grey->Canvas()->Pixels(3, 0), ColorToRGB(clBtnFace));

    // Embossed: the shape in the shadow colour, its highlight one pixel lower right.
    TBitmap shape;
    shape.SetSize(3, 3);
    shape.Canvas()->Brush()->SetColor(clWhite);
    shape.Canvas()->FillRect(TRect(0, 0, 3, 3));
    shape.Canvas()->SetPixels(0, 0, clBlack);
    std::unique_ptr<TBitmap> embossed(CreateDisabledBitmapEx(&shape, clWhite, clSilver, true, clGray, clYellow));
    EXPECT_EQ(embossed->Canvas()->Pixels(0, 0), clGray);
    EXPECT_EQ(embossed->Canvas()->Pixels(1, 1), clYellow);
    EXPECT_EQ(embossed->Canvas()->Pixels(2, 2), clSilver);
    std::unique_ptr<TBitmap> flat(CreateDisabledBitmapEx(&shape, clWhite, clSilver, false, clGray, clYellow));
    EXPECT_EQ(flat->Canvas()->Pixels(1, 1), clSilver);
}

TEST(KxRoutines, RectanglesKeptOnTheScreen)
{
    ASSERT_NE(Screen, nullptr);
    int sw = Screen->Width(), sh = Screen->Height();
    struct { TRect in; TRect out; } cases[] = {
        {TRect(10, 10, 110, 60), TRect(10, 10, 110, 60)},
        {TRect(sw - 50, 10, sw + 50, 60), TRect(sw - 100, 10, sw, 60)},
        {TRect(-30, sh - 10, 70, sh + 40), TRect(0, sh - 50, 100, sh)},
        {TRect(-5, -5, sw + 10, 20), TRect(0, 0, sw + 15, 25)},   // too wide: the left edge wins
    };
    for (auto& c : cases) {
        TRect r = c.in;
        MakeRectVisible(r);
        EXPECT_EQ(r, c.out);
    }
    EXPECT_EQ(RectWidth(TRect(3, 4, 10, 20)), 7);
    EXPECT_EQ(RectHeight(TRect(3, 4, 10, 20)), 16);
}

// ================================================================ storage routines
TEST(AppStorage, QuotedValuesRoundTripAndResolutionKeys)
{
    AnsiString file = GetTempDir() + "velmarok_r12_store.ini";
    DeleteFile(file);
    const AnsiString values[] = {"\"w cudzysłowie\"", "'pojedynczy'", "\"", "zwykły", "\"a'", ""};
    {
        TIniFile ini(file);
        for (int i = 0; i < 6; ++i)
            IniWriteString(&ini, "Sekcja", "V" + IntToStr(i), values[i]);
        IniWriteResString(&ini, "Sekcja", "NormPos", "1,2,3,4");
        IniWriteInteger(&ini, "Sekcja", "Liczba", -7);
        ini.UpdateFile();
    }
    {
        TIniFile ini(file);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(IniReadString(&ini, "Sekcja", "V" + IntToStr(i), "?"), values[i]) << i;
        EXPECT_EQ(ini.ReadString("Sekcja", "NormPos" + ResolutionSuffix(), ""), "1,2,3,4");
        EXPECT_EQ(ini.ReadString("Sekcja", "NormPos", ""), "1,2,3,4");
        ini.WriteString("Sekcja", "Only", "5,6,7,8");
        EXPECT_EQ(IniReadResString(&ini, "Sekcja", "Only", ""), "5,6,7,8");
        ini.WriteString("Sekcja", "Only" + ResolutionSuffix(), "9,9,9,9");
        EXPECT_EQ(IniReadResString(&ini, "Sekcja", "Only", ""), "9,9,9,9");
        EXPECT_EQ(IniReadInteger(&ini, "Sekcja", "Liczba", 0), -7);
        EXPECT_EQ(IniReadInteger(&ini, "Sekcja", "Brak", 42), 42);
        IniEraseSection(&ini, "Sekcja");
        EXPECT_EQ(IniReadString(&ini, "Sekcja", "V3", "?"), "?");
    }
    // Any other object: nothing written, the default read.
    TStringList notStorage;
    IniWriteString(&notStorage, "S", "I", "x");
    EXPECT_EQ(IniReadString(&notStorage, "S", "I", "def"), "def");
    EXPECT_EQ(notStorage.Count(), 0);
    EXPECT_EQ(ResolutionSuffix(), Format("(%dx%d)", {Screen->Width(), Screen->Height()}));
    DeleteFile(file);
}

TEST(AppStorage, DefaultSectionNames)
{
    TForm form(nullptr);
    form.SetName("OknoGlowne");
    TPanel panel(&form);
    panel.SetName("Panel1");
    panel.SetParent(&form);
    TKxSpeedButton onPanel(&form);
    onPanel.SetName("Przycisk");
    onPanel.SetParent(&panel);
    TPopupMenu menu(&form);
    menu.SetName("Menu1");
    TPanel loose(nullptr);
    loose.SetName("Luzny");
    TKxSpeedButton inLoose(nullptr);
    inLoose.SetName("B");
    inLoose.SetParent(&loose);
    struct { TComponent* c; AnsiString section; } cases[] = {
        {nullptr, ""},
        {&form, form.ClassName()},
        {&onPanel, form.ClassName() + "Przycisk"},
        {&menu, form.ClassName() + ".Menu1"},
        {&inLoose, "LuznyB"},
    };
    for (auto& k : cases)
        EXPECT_EQ(GetDefaultSection(k.c), k.section);
}
