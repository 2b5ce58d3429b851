#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProObj.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"

TEST(SortIndexList, DescendingBitMarksDirectionAndToggles)
{
    TSortIndexList list;
    int changes = 0;
    list.OnChange = [&](TObject*, int, int) { ++changes; };
    list.AddIndex(3, false);
    list.AddIndex(5, true);
    EXPECT_EQ(unsigned(list.GetItem(0)), 0x80000003u);
    EXPECT_EQ(list.GetSortColumn(0), 3);
    EXPECT_EQ(list.FindIndex(3), 0);
    EXPECT_EQ(list.FindIndex(5), 1);
    EXPECT_EQ(list.FindIndex(7), -1);
    list.ToggleIndex(3);
    EXPECT_EQ(list.GetItem(0), 3);
    list.ToggleIndex(7);   // absent: nothing
    EXPECT_EQ(changes, 3);
}

TEST(IntList, ChangeEventsCommaTextAndBounds)
{
    TIntList list(4, 7);
    std::vector<std::pair<int, int>> reported;
    list.OnChange = [&](TObject*, int c, int r) { reported.push_back({c, r}); };
    list.Add(1);
    list.Add(22);
    list.Insert(2, 3);   // Insert reports nothing
    EXPECT_EQ(list.GetCommaText(), "1,22,3");
    EXPECT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0], std::make_pair(4, 7));
    EXPECT_EQ(list.Remove(22), 1);
    EXPECT_EQ(list.Remove(99), -1);
    EXPECT_EQ(reported.size(), 3u);
    list.SetCommaText("5,-6");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.HasValue(-6));
    EXPECT_THROW(list.SetCommaText("1,x"), EConvertError);
    EXPECT_THROW(list.GetItem(5), EListError);
    TIntList empty(0, 0);
    EXPECT_EQ(empty.GetCommaText(), "");
}

TEST(FileStringList, WritesJoinIntoOneLineAndReadsBack)
{
    TFileStringList f;
    f.Write("a");
    f.Write("b");
    f.WriteLn("c");
    f.WriteLn("d");
    ASSERT_EQ(f.Count(), 2);
    EXPECT_EQ(f.Strings(0), "abc");
    f.Reset();
    AnsiString s;
    f.ReadLn(s);
    EXPECT_EQ(s, "abc");
    EXPECT_FALSE(f.GetEof());
    f.ReadLn(s);
    EXPECT_EQ(s, "d");
    EXPECT_TRUE(f.GetEof());
}

TEST(ControlList, OwnsRecordsAndFindsCells)
{
    TControlList list;
    list.Add(1, 2, nullptr);
    list.Add(3, 4, nullptr);
    EXPECT_EQ(list.FindControl(3, 4), 1);
    list.Delete(0);
    EXPECT_EQ(list.FindControl(3, 4), 0);
    EXPECT_EQ(list.FindControl(1, 2), -1);
    EXPECT_THROW(list.Delete(5), EListError);
}

TEST(FilePicture, MissingFileKeepsOldNameAndDrawsNothing)
{
    TFilePicture p;
    EXPECT_ANY_THROW(p.SetFilename("/nonexistent/x.bmp"));
    EXPECT_EQ(p.Filename(), "");
    TBitmap bmp;
    bmp.SetSize(4, 4);
    p.Draw(bmp.Canvas(), TRect(0, 0, 4, 4));   // empty name: nothing, no exception
}

TEST(LookHelpers, PlatformAnswersGiveSchemeZeroAndGradientsHaveBandsAndABorder)
{
    EXPECT_TRUE(IsWinXP());
    EXPECT_EQ(GetXPColorScheme(), 0);
    TBitmap bmp;
    bmp.SetSize(10, 10);
    DrawGradient(bmp.Canvas(), clBlack, clWhite, true, TRect(0, 0, 10, 10), 2, clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);       // frame
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 5), clBlack);     // first band
    EXPECT_EQ(bmp.Canvas()->Pixels(7, 5), RGB(128, 128, 128));   // second band: half way, rounded
}

TEST(ProGridButton, PresetsGroupsAndMargin)
{
    TForm form(nullptr);
    auto* a = new TProGridButton(&form);
    auto* b = new TProGridButton(&form);
    a->SetParent(&form);
    b->SetParent(&form);
    EXPECT_EQ(TPoint(a->Width(), a->Height()), TPoint(23, 22));
    a->SetDown(true);   // no group, plain button: ignored
    EXPECT_FALSE(a->Down());
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    b->SetDown(false);   // AllowAllUp off: stays down
    EXPECT_TRUE(b->Down());
    a->SetMargin(-5);
    EXPECT_EQ(a->Margin(), -1);
    // A rounded preset shades from Color to ColorTo inside its corners, which show the form.
    form.SetColor(clWhite);
    a->SetBounds(30, 0, 40, 32);
    a->SetColorPreset(0);
    form.Show();
    auto shot = GrabControl(a);
    EXPECT_EQ(std::vector<TColor>({shot->Canvas()->Pixels(0, 0), shot->Canvas()->Pixels(20, 1), shot->Canvas()->Pixels(20, 30)}),
              std::vector<TColor>({clWhite, TColor(0xEDF1F1), TColor(0xE0EBEB)}));
    a->SetAutoThemeAdapt(true);   // the desktop's theme or colours change: the preset without a colour scheme
    for (bool coloursOnly : {false, true}) {
        a->SetColorPreset(0);
        ChangeDesktopTheme(&form, coloursOnly);
        EXPECT_EQ(a->Color(), clBtnFace) << coloursOnly;
    }
}

TEST(ProGridButton, DefaultsDisabledGlyphAndEveryColourPreset)
{
    TProGridButton b(nullptr);
    EXPECT_FALSE(b.AllowAllUp());
    EXPECT_EQ(b.BorderColor(), clNone);
    EXPECT_EQ(b.BorderDownColor(), clNone);
    EXPECT_EQ(b.BorderHotColor(), clNone);
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.ColorTo(), clNone);
    EXPECT_EQ(b.ColorDown(), TColor(0xD8D3D2));
    EXPECT_EQ(b.ColorDownTo(), clNone);
    EXPECT_EQ(b.ColorHot(), TColor(0xCAC7C7));
    EXPECT_EQ(b.ColorHotTo(), clNone);
    EXPECT_EQ(b.ColorChecked(), TColor(0x808080));
    EXPECT_EQ(b.ColorCheckedTo(), clNone);
    EXPECT_EQ(b.GroupIndex(), 0);
    EXPECT_FALSE(b.Down());
    EXPECT_FALSE(b.DropDownButton());
    EXPECT_TRUE(b.Flat());
    EXPECT_EQ(b.Layout(), blGlyphLeft);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_FALSE(b.Rounded());
    EXPECT_TRUE(b.Shaded());
    EXPECT_TRUE(b.ShowCaption());
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.Style(), tasButton);
    EXPECT_EQ(b.State(), bsUp);
    // The disabled glyph is greyed.
    TBitmap g;
    g.SetSize(2, 2);
    g.Canvas()->SetPixels(0, 0, RGB(200, 100, 0));   // average 100 -> 50 + 96
    b.SetGlyph(&g);
    EXPECT_EQ(b.GlyphDisabled()->Canvas()->Pixels(0, 0), RGB(146, 146, 146));

    const TColor N = clNone, F = clBtnFace;
    struct Preset {
        TColor Color, ColorTo, Hot, HotTo, Down, DownTo, Checked, CheckedTo, BorderDown, BorderHot;
        bool Rounded;
    };
    const Preset presets[7] = {
        {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, N, 0xAF987A, 0xC3CECE, true},
        {F, N, 0xEED2C1, N, 0xE2B598, N, 0xE8E6E1, N, 0xC56A31, 0xC56A31, false},
        {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0, 0, false},
        {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0, 0, false},
        {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0, 0, false},
        {F, N, F, N, 0xD8D3D2, N, 0xCAC7C7, N, N, N, false},
        {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080, false},
    };
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        b.SetFlat(false);
        b.SetBorderColor(clRed);
        b.SetColorPreset(i);
        const Preset& p = presets[i];
        EXPECT_EQ(b.Color(), p.Color);
        EXPECT_EQ(b.ColorTo(), p.ColorTo);
        EXPECT_EQ(b.ColorHot(), p.Hot);
        EXPECT_EQ(b.ColorHotTo(), p.HotTo);
        EXPECT_EQ(b.ColorDown(), p.Down);
        EXPECT_EQ(b.ColorDownTo(), p.DownTo);
        EXPECT_EQ(b.ColorChecked(), p.Checked);
        EXPECT_EQ(b.ColorCheckedTo(), p.CheckedTo);
        EXPECT_EQ(b.BorderDownColor(), p.BorderDown);
        EXPECT_EQ(b.BorderHotColor(), p.BorderHot);
        EXPECT_EQ(b.Rounded(), p.Rounded);
        EXPECT_EQ(b.BorderColor(), clNone);
        EXPECT_TRUE(b.Flat());
    }
}

TEST(ProGridButton, DownRulesByStyleGroupAndAllowAllUp)
{
    TForm form(nullptr);
    auto* a = new TProGridButton(&form);
    auto* b = new TProGridButton(&form);
    a->SetParent(&form);
    b->SetParent(&form);
    // A check button without a group goes down and up freely.
    a->SetStyle(tasCheck);
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    a->SetDown(false);
    EXPECT_FALSE(a->Down());
    // In a group that allows all up, the down button can be released; the
    // setting reaches the other buttons of the group.
    a->SetStyle(tasButton);
    a->SetGroupIndex(2);
    b->SetGroupIndex(2);
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    b->SetDown(true);
    a->SetDown(true);
    EXPECT_FALSE(b->Down());
    a->SetDown(false);
    EXPECT_FALSE(a->Down());
    EXPECT_FALSE(b->Down());
    // A button released by another of its group unchecks its action.
    auto* action = new TAction(&form);
    a->SetAction(action);
    a->SetDown(true);
    action->SetChecked(true);
    b->SetDown(true);
    EXPECT_FALSE(action->Checked());
    // A double click on a down button is its own; a button dragged automatically tracks no hover.
    int doubleClicks = 0;
    b->OnDblClick = [&](TObject*) { ++doubleClicks; };
    b->Perform(WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(doubleClicks, 1);
    b->SetDragMode(dmAutomatic);
    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(b->Hot());
}

TEST(DragIndicators, ArrowsAreShapedAndTheCaptionWindowHasAThinBorder)
{
    // Both are pop-up windows placed on the screen, so they can stand outside the grid, and they
    // never take the activation from the form.
    TForm form(nullptr);
    form.SetBounds(200, 200, 100, 60);
    auto* arrow = new TArrowWindow(&form, 0);   // up: its point at (5, 0), its stem below
    arrow->SetBounds(190, 190, 11, 11);
    arrow->SetVisible(true);
    auto* caption = new TPopupButton(&form);
    caption->SetParent(&form);
    caption->SetBounds(40, 0, 40, 20);
    caption->SetVisible(true);
    form.Show();
    EXPECT_TRUE(WindowIsTip(arrow) && WindowIsTip(caption) && form.Active());
    EXPECT_EQ(arrow->ClientOrigin(), TPoint(190, 190));
    auto shot = GrabControl(arrow);
    EXPECT_EQ(shot->Canvas()->Pixels(0, 0), clBlack) << "outside the shape: nothing of the window";
    EXPECT_EQ(shot->Canvas()->Pixels(5, 7), clLime);
    EXPECT_EQ(GrabControl(caption)->Canvas()->Pixels(0, 0), ColorToRGB(clWindowFrame));
    EXPECT_EQ(std::vector<TColor>({caption->GradFrom(), caption->GradTo(), caption->GradMirrorFrom(), caption->GradMirrorTo()}),
              std::vector<TColor>({clNone, clNone, clBlack, clBlack}));
}

TEST(IntList, EventsAndFileStringListPosition)
{
    TIntList list(-1, -1);
    list.Add(5);
    list.Add(6);
    std::vector<std::string> events;
    list.OnChange = [&](TObject* s, int c, int r) {
        EXPECT_EQ(s, &list);
        events.push_back(std::to_string(c) + "," + std::to_string(r) + ":" + list.GetCommaText());
    };
    const std::function<void()> changes[] = {
        [&] { list.SetItem(0, 7); },
        [&] { list.Add(8); },
        [&] { list.Delete(1); },
        [&] { list.Remove(8); },
        [&] { list.Insert(0, 1); },   // reports nothing
        [&] { list.Remove(42); },     // absent: nothing
    };
    for (const auto& c : changes) c();
    EXPECT_EQ(events, (std::vector<std::string>{"-1,-1:7,6", "-1,-1:7,6,8", "-1,-1:7,8", "-1,-1:7"}));
    EXPECT_EQ(list.GetCommaText(), "1,7");
    events.clear();
    list.SetCommaText("3,-4,0");
    EXPECT_EQ(list.GetCommaText(), "3,-4,0");
    EXPECT_EQ(events.size(), 3u);   // one per item added

    TFileStringList f;
    f.Write("nie");
    f.Reset();   // a reset drops what was pending
    f.WriteLn("x");
    f.WriteLn("");
    f.Write("y");
    f.WriteLn("z");
    ASSERT_EQ(f.Count(), 3);
    EXPECT_EQ(f.Text(), "x\r\n\r\nyz\r\n");
    f.Reset();
    std::vector<std::string> lines;
    while (!f.GetEof()) {
        AnsiString s;
        f.ReadLn(s);
        lines.push_back(s);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"x", "", "yz"}));
}
