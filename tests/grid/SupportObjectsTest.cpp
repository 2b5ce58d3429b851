#include <gtest/gtest.h>

#include "grid/ProObj.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

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

TEST(LookHelpers, PlatformAnswersGiveSchemeZero)
{
    EXPECT_TRUE(IsWinXP());
    EXPECT_EQ(GetXPColorScheme(), 0);
}

TEST(LookHelpers, GradientBandsAndBorder)
{
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
    EXPECT_EQ(a->Width(), 23);
    EXPECT_EQ(a->Height(), 22);
    EXPECT_EQ(a->ColorHot(), RGB(199, 199, 202));
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
    a->SetColorPreset(2);
    EXPECT_EQ(a->Color(), TColor(0xFDEADA));
    EXPECT_EQ(a->ColorCheckedTo(), TColor(0x55ADFF));
    EXPECT_FALSE(a->Rounded());
    a->SetColorPreset(0);
    EXPECT_TRUE(a->Rounded());
    EXPECT_EQ(a->BorderHotColor(), TColor(0xC3CECE));
}

TEST(ProGridButton, DisabledGlyphIsGreyed)
{
    TProGridButton btn(nullptr);
    TBitmap g;
    g.SetSize(2, 2);
    g.Canvas()->SetPixels(0, 0, RGB(200, 100, 0));   // average 100 -> 50 + 96
    btn.SetGlyph(&g);
    EXPECT_EQ(btn.GlyphDisabled()->Canvas()->Pixels(0, 0), RGB(146, 146, 146));
}
