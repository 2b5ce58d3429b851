// Looks and colour presets of the string grid.
#include <gtest/gtest.h>

#include "grid/ProGrid.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

TEST(GridLook, VistaPresetAndBack)
{
    TProStringGrid g(nullptr);
    g.SetLook(glVista);
    EXPECT_EQ(g.LookColors().FixedFrom, clWhite);
    EXPECT_EQ(g.LookColors().FixedTo, clWhite);
    EXPECT_EQ(g.LookColors().FixedMirrorFrom, 0xFAF8F7);
    EXPECT_EQ(g.LookColors().FixedMirrorTo, 0xF4F2F1);
    EXPECT_EQ(g.SelectionColor(), 0xEACAB6);
    EXPECT_EQ(g.SelectionTextColor(), clWhite);
    EXPECT_EQ(g.GridFixedLineColor(), 0xD4D2D1);
    EXPECT_EQ(g.ControlLook()->FixedGradientFrom(), clNone);
    EXPECT_EQ(g.LookColors().DownBorder, 0xAE904F);
    EXPECT_EQ(g.SortSettings()->HeaderMirrorColorTo(), 0xF6ECD8);

    g.SetLook(glXP);
    EXPECT_EQ(g.LookColors().FixedFrom, clWhite);
    EXPECT_EQ(g.LookColors().FixedTo, ColorToRGB(clBtnFace));
    EXPECT_EQ(g.LookColors().FixedMirrorFrom, clNone);
    EXPECT_EQ(g.GridFixedLineColor(), clGray);
    EXPECT_EQ(g.SelectionColor(), 0xEACAB6);   // the preset's selection stays

    // The same look again changes nothing, not even colours set by hand.
    g.SetGridFixedLineColor(clRed);
    g.SetLook(glXP);
    EXPECT_EQ(g.GridFixedLineColor(), clRed);
}

TEST(GridLook, PresetTable)
{
    struct Case {
        int Preset;
        TColor Fixed, FixedTo, Active, Selection, SelectionText, Lines;
    } cases[] = {
        {0, 0xFCE1CB, 0xE0A57D, 0x94E6FB, clHighlight, clHighlightText, clSilver},
        {4, 0xFBF9F6, 0xE8DBD2, 0x9DD8F9, 0x5EC1F1, 0, 0xE5D7D0},
        {9, 0xF3F3F1, 0xCAC9C8, 0x99CCFF, 0x95C7F5, 0, 0xE5D7D0},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        ApplyLookPreset(&g, Byte(c.Preset));
        EXPECT_EQ(g.LookColors().FixedFrom, c.Fixed) << c.Preset;
        EXPECT_EQ(g.LookColors().FixedTo, c.FixedTo) << c.Preset;
        EXPECT_EQ(g.ActiveCellColor(), c.Active) << c.Preset;
        EXPECT_EQ(g.SelectionColor(), c.Selection) << c.Preset;
        EXPECT_EQ(g.SelectionTextColor(), c.SelectionText) << c.Preset;
        EXPECT_EQ(g.GridLineColor(), c.Lines) << c.Preset;
    }
    for (int preset : {8, 11, 200}) {
        TProStringGrid g(nullptr);
        g.SetSelectionColor(clRed);
        g.SetActiveCellColor(clLime);
        g.SetComponentLook(preset);
        EXPECT_EQ(g.SelectionColor(), clHighlight) << preset;
        EXPECT_EQ(g.SelectionTextColor(), clHighlightText) << preset;
        EXPECT_EQ(g.ActiveCellColor(), clLime) << preset;
    }
}

TEST(GridLook, ThemeAdaptionGivesSchemeZeroColours)
{
    TProStringGrid g(nullptr);
    EXPECT_EQ(g.CurrentXPColorScheme(), 0);
    g.SetAutoThemeAdapt(true);
    EXPECT_EQ(g.LookColors().FixedFrom, clWhite);
    EXPECT_EQ(g.LookColors().FixedTo, ColorToRGB(clBtnFace));
    EXPECT_EQ(g.ActiveCellColor(), clWhite);
    EXPECT_EQ(g.ActiveCellColorTo(), 0xFFD9B3);
    EXPECT_TRUE(g.SearchFooter()->AutoThemeAdapt());
}

TEST(GridLook, VistaFixedCellsArePaintedWhiteOverTheMirror)
{
    TForm* form = new TForm(Application);
    form->SetBounds(0, 0, 400, 300);
    auto* g = new TProStringGrid(form);
    g->SetParent(form);
    g->SetBounds(0, 0, 380, 260);
    g->SetLook(glVista);
    g->SetRow(5);
    form->Show();
    auto bmp = GrabControl(g);
    TRect r = g->CellRect(2, 0);
    TColor upper = bmp->Canvas()->Pixels((r.Left + r.Right) / 2, r.Top + 3);
    TColor lower = bmp->Canvas()->Pixels((r.Left + r.Right) / 2, r.Bottom - 4);
    EXPECT_EQ(upper, clWhite);
    EXPECT_NEAR(GetRValue(lower), 0xF5, 4);
    EXPECT_NEAR(GetBValue(lower), 0xF9, 4);
    delete form;
}

TEST(GridLook, OwnBorderForThemedLooks)
{
    TProStringGrid g(nullptr);
    g.SetBounds(0, 0, 50, 40);
    TBitmap b;
    Filled(b, 50, 40, clLime);
    g.PaintNCBorder(b.Canvas());
    EXPECT_EQ(b.Canvas()->Pixels(1, 10), g.IsWinXPFlag() ? TColor(0xB99D7F) : clGray);
    EXPECT_EQ(b.Canvas()->Pixels(0, 10), clLime);   // no parent: the outer line stays
    g.SetLook(glStandard);
    b.Canvas()->FillRect(TRect(0, 0, 50, 40));
    g.PaintNCBorder(b.Canvas());
    EXPECT_EQ(b.Canvas()->Pixels(1, 10), clLime);
}
