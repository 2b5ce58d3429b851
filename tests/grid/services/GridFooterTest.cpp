#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

TEST(GridFooter, TemplateExpansion)
{
    struct Case { const char* Template; const char* Text; } cases[] = {
        {"Total <#2> items", "Total 17 items"},
        {"<#1>/<#2>", "a/17"},
        {"Total <#x> items", "Total  items"},       // letters: the tag vanishes
        {"Total <#99> items", "Total  items"},      // no such column: nothing inserted
        {"Total <#> items", "Total  items"},
        {"Total <#2 items", "Total "},              // unfinished tag: no stall, the rest is dropped
        {"plain", "plain"},
        {"", ""},
    };
    TProStringGrid g(nullptr);
    SetGridTexts(g, "||/||/|a|17");
    g.FloatingFooter()->SetFooterStyle(fsCustomPreview);
    for (const Case& c : cases) {
        g.FloatingFooter()->SetCustomTemplate(c.Template);
        EXPECT_EQ(g.FooterTemplateText(2), c.Text) << c.Template;
    }
}

TEST(GridFooter, VisibilityMakesTheLastRowTheFooterRow)
{
    TProStringGrid g(nullptr);
    TFloatingFooter* f = g.FloatingFooter();
    f->SetVisible(true);
    EXPECT_EQ(g.FixedFooters(), 1);
    EXPECT_TRUE(g.LastRowIsFooter());
    f->SetFooterStyle(fsColumnPreview);
    EXPECT_EQ(g.FixedFooters(), 1) << "the style alone leaves FixedFooters";
    EXPECT_FALSE(g.LastRowIsFooter());
    f->SetVisible(false);
    EXPECT_EQ(g.FixedFooters(), 0);
    f->SetFooterStyle(fsFixedLastRow);
    EXPECT_EQ(g.FixedFooters(), 0);
    EXPECT_FALSE(g.LastRowIsFooter());
}

// The footer row stays last while rows come and go, and its sum follows them.
TEST(GridFooter, FloatingFooterFollowsTheLastRow)
{
    DotFormatSettings dot;
    TProStringGrid g(nullptr);
    SetGridTexts(g, "||/|1|/|2|/||stopka");
    g.FloatingFooter()->SetVisible(true);
    g.CellProperties(1, 3)->SetCalcType(1);   // sum
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 3), "3.00");

    g.SetRowCount(6);
    EXPECT_EQ(g.Cells(2, 5), "stopka");
    EXPECT_EQ(g.Cells(2, 3), "");
    g.SetCells(1, 3, "4");
    g.SetCells(1, 4, "5");
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 5), "12.00");

    g.SetRowCount(3);
    EXPECT_EQ(g.Cells(2, 2), "stopka");
    EXPECT_EQ(g.Cells(1, 2), "1.00");

    g.AddRow();
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Cells(2, 3), "stopka");
    EXPECT_EQ(g.Cells(2, 2), "");
}

// Cells changed by the grid's own operations update the footer's sum.
TEST(GridFooter, SumFollowsPasteCutAndClear)
{
    struct Case { const char* Name; std::function<void(TProStringGrid&)> Change; const char* Sum; } cases[] = {
        {"paste", [](TProStringGrid& g) { g.PasteText(1, 1, "5\r\n6"); }, "14.00"},
        {"cut", [](TProStringGrid& g) { g.SetSelection(TGridRect(1, 2, 1, 2)); g.CutSelection(); }, "4.00"},
        {"clear", [](TProStringGrid& g) { g.SetSelection(TGridRect(1, 1, 1, 2)); g.ClearSelection(); }, "3.00"},
    };
    DotFormatSettings dot;
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        g.SetOptions(g.Options() | goEditing);
        g.SetColCount(3);
        g.SetRowCount(5);
        for (int r = 1; r <= 3; ++r)
            g.SetCells(1, r, IntToStr(r));
        g.FloatingFooter()->SetVisible(true);
        g.CellProperties(1, 4)->SetCalcType(1);   // sum
        g.CalcFooter(-1);
        ASSERT_EQ(g.Cells(1, 4), "6.00");
        c.Change(g);
        EXPECT_EQ(g.Cells(1, 4), c.Sum) << c.Name;
    }
}

struct FooterPanelTest : TGridFormTest<TProStringGrid> {};

TEST_F(FooterPanelTest, ClickReportsTheColumnWithTheLastRow)
{
    Grid->SetColCount(8);
    Grid->SetRowCount(5);
    Grid->SetDefaultColWidth(60);
    Grid->SetLeftCol(3);
    Grid->FloatingFooter()->SetVisible(true);
    ProcessPendingMessages();
    TFooterPanel* p = Grid->FooterPanel();
    ASSERT_TRUE(p->Visible());
    EXPECT_EQ(p->Height(), Grid->FloatingFooter()->Height() - 1);
    int row = -1, col = -1;
    bool clicked = false;
    Grid->OnClick = [&](TObject*) { clicked = true; };
    Grid->OnClickCell = [&](TObject*, int ARow, int ACol) { row = ARow; col = ACol; };
    // Fixed column 0, then columns 3, 4, 5 ...: the third column in view is 4.
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2 * 60 + 10, 5));
    EXPECT_TRUE(clicked);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(col, 4);

    // The footer row is painted on the panel.
    Grid->SetLeftCol(1);
    Grid->SetCells(1, 4, "Suma");
    auto shot = GrabControl(p);
    TRect ink = InkBox(shot.get(), TRect(60, 0, 120, shot->Height()), [](TColor c) {
        return c >= 0 && GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;   // the text's ink
    });
    EXPECT_GE(ink.Left, 60) << "the text of the last row's column 1";
}
