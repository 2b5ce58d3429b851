#include <gtest/gtest.h>

#include "grid/ProGrid.h"

TEST(GridSettings, DefaultsOfANewGrid)
{
    TProStringGrid g(nullptr);
    EXPECT_TRUE(g.CellNode()->ShowTree());
    EXPECT_EQ(g.CellNode()->NodeIndent(), 12);
    EXPECT_EQ(g.CellNode()->NodeType(), cnXP);
    EXPECT_TRUE(g.MouseActions()->AutoSizeColOnDblClick());
    EXPECT_EQ(g.MouseActions()->WheelAction(), waMoveSelection);
    EXPECT_EQ(g.ColumnSize()->StretchColumn(), -1);
    EXPECT_EQ(g.ColumnSize()->Location(), clRegistry);
    EXPECT_TRUE(g.Navigation()->AllowCtrlEnter());
    EXPECT_TRUE(g.Navigation()->SkipFixedCells());
    EXPECT_TRUE(g.Navigation()->CursorWalkAlwaysEdit());
    EXPECT_FALSE(g.Navigation()->AdvanceOnEnter());
    EXPECT_EQ(g.HTMLSettings()->Width(), 100);
    EXPECT_EQ(g.HTMLSettings()->BorderSize(), 1);
    EXPECT_EQ(g.PrintSettings()->DateFormat(), "dd/mm/yyyy");
    EXPECT_EQ(g.PrintSettings()->PageNumSep(), "/");
    EXPECT_EQ(g.PrintSettings()->Borders(), pbSingle);
    EXPECT_TRUE(g.PrintSettings()->UseDisplayFont());
    EXPECT_EQ(g.BackGround()->Color(), clWindow);
    EXPECT_EQ(g.BackGround()->ColorTo(), clBtnFace);
    EXPECT_FALSE(g.Bands()->Active());
    EXPECT_EQ(g.Bands()->Period(), 2);
    EXPECT_EQ(g.SortSettings()->Column(), 0);
    EXPECT_TRUE(g.SortSettings()->AutoSortForGrouping());
    EXPECT_EQ(g.SortSettings()->IndexColor(), clYellow);
    EXPECT_EQ(g.SortSettings()->HeaderColor(), clNone);
    EXPECT_EQ(g.ControlLook()->CheckSize(), 15);
    EXPECT_EQ(g.ControlLook()->RadioSize(), 10);
    EXPECT_EQ(g.ControlLook()->ControlStyle(), csWinXP);
    EXPECT_EQ(g.ControlLook()->CommentColor(), clRed);
    EXPECT_EQ(g.Grouping()->HeaderLineColor(), clBlue);
    EXPECT_EQ(g.Grouping()->SummaryLineWidth(), 2);
    EXPECT_TRUE(g.DragDropSettings()->OleAcceptText());
    EXPECT_FALSE(g.DragDropSettings()->OleDropTarget());
    EXPECT_EQ(g.Balloon()->AutoHideDelay(), -1);
    EXPECT_EQ(g.ShowModified()->Color(), clYellow);
    EXPECT_EQ(g.DragScrollOptions()->Delays()->InitialDelay(), 1000);
    EXPECT_EQ(g.DragScrollOptions()->Delays()->RepeatDelay(), 250);
    EXPECT_EQ(g.DragScrollOptions()->Margins()->LeftMargin(), 50);
    EXPECT_EQ(g.ProgressAppearance()->Steps(), 11);
    EXPECT_EQ(g.ProgressAppearance()->Level2Color(), TColor(0x53A9FF));
}

TEST(GridSettings, AssignCopiesEveryValueWithoutSetters)
{
    TProStringGrid a(nullptr), b(nullptr);
    a.Navigation()->SetAdvanceOnEnter(true);
    a.Navigation()->SetHomeEndKey(heFirstLastRow);
    a.SortSettings()->SetDirection(sdDescending);
    a.SortSettings()->UpGlyph()->SetSize(3, 3);
    a.PrintSettings()->SetTitleText("Wykaz");
    a.PrintSettings()->TitleLines()->Add("linia");
    a.PrintSettings()->HeaderFont()->SetSize(14);
    a.Bands()->SetPrimaryLength(3);
    a.DragScrollOptions()->Margins()->SetTopMargin(7);
    int changes = 0;
    b.ProgressAppearance()->OnChange = [&](TObject*) { ++changes; };
    a.ProgressAppearance()->SetLevel1Perc(50);

    b.Navigation()->Assign(a.Navigation());
    b.SortSettings()->Assign(a.SortSettings());
    b.PrintSettings()->Assign(a.PrintSettings());
    b.Bands()->Assign(a.Bands());
    b.DragScrollOptions()->Assign(a.DragScrollOptions());
    b.ProgressAppearance()->Assign(a.ProgressAppearance());

    EXPECT_TRUE(b.Navigation()->AdvanceOnEnter());
    EXPECT_EQ(b.Navigation()->HomeEndKey(), heFirstLastRow);
    EXPECT_EQ(b.SortSettings()->Direction(), sdDescending);
    EXPECT_EQ(b.SortSettings()->UpGlyph()->Width(), 3);
    EXPECT_EQ(b.PrintSettings()->TitleText(), "Wykaz");
    EXPECT_EQ(b.PrintSettings()->TitleLines()->Text(), "linia\r\n");
    EXPECT_EQ(b.PrintSettings()->HeaderFont()->Size(), 14);
    EXPECT_EQ(b.Bands()->Period(), 4);
    EXPECT_EQ(b.DragScrollOptions()->Margins()->TopMargin(), 7);
    EXPECT_EQ(b.ProgressAppearance()->Level1Perc(), 50);
    EXPECT_EQ(changes, 1);   // one change event for the whole assignment

    // Another class: ignored, except print settings which refuse it.
    b.Navigation()->Assign(a.Bands());
    EXPECT_TRUE(b.Navigation()->AdvanceOnEnter());
    EXPECT_THROW(b.PrintSettings()->Assign(a.Bands()), EConvertError);
}

TEST(GridSettings, FilterDataAssign)
{
    TProStringGrid g(nullptr);
    TFilterData* f1 = g.Filter()->Add();
    TFilterData* f2 = g.Filter()->Add();
    EXPECT_TRUE(f2->CaseSensitive());
    f1->SetColumn(3);
    f1->SetCondition("a*");
    f1->SetCaseSensitive(false);
    f1->SetData(fcStripHTML);
    f1->SetPrefix("<");
    f1->SetOperation(foOR);
    f2->Assign(f1);
    EXPECT_EQ(f2->Column(), 3);
    EXPECT_EQ(f2->Condition(), "a*");
    EXPECT_FALSE(f2->CaseSensitive());
    EXPECT_EQ(f2->Data(), fcStripHTML);
    EXPECT_EQ(f2->Prefix(), "<");
    EXPECT_EQ(f2->Operation(), foOR);
}

TEST(GridSettings, SetterRulesAndEvents)
{
    TProStringGrid g(nullptr);
    // Sort row: up to FixedRows.
    g.SortSettings()->SetRow(1);
    EXPECT_EQ(g.SortSettings()->Row(), 1);
    try {
        g.SortSettings()->SetRow(2);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Sort row should be smaller than number of fixed rows");
    }
    EXPECT_EQ(g.SortSettings()->Row(), 1);

    // Disjunct selections are independent at run time.
    g.MouseActions()->SetDisjunctColSelect(true);
    g.MouseActions()->SetDisjunctRowSelect(true);
    EXPECT_TRUE(g.MouseActions()->DisjunctColSelect());

    g.SetOptions(g.Options() | goEditing);
    g.MouseActions()->SetEditOnDblClickOnly(true);
    EXPECT_FALSE(g.Options() & goEditing);

    int notified = 0;
    g.Navigation()->OnChange = [&](TObject*) { ++notified; };
    g.Navigation()->SetAdvanceDirection(adTopBottom);
    g.Navigation()->SetAdvanceDirection(adTopBottom);
    g.Navigation()->SetAdvanceOnEnter(true);   // plain field
    EXPECT_EQ(notified, 1);

    int enabled = 0;
    g.Balloon()->OnEnableChange = [&](TObject*) { ++enabled; };
    g.Balloon()->SetEnable(true);
    EXPECT_EQ(enabled, 1);

    g.Bands()->SetPrimaryLength(2);
    EXPECT_EQ(g.Bands()->Period(), 3);

    g.SortIndexes()->AddIndex(2, true);
    g.SortSettings()->ResetSortIndicator();
    EXPECT_EQ(g.SortSettings()->Column(), -1);
    EXPECT_EQ(g.SortIndexes()->Count(), 0);

    g.DragDropSettings()->SetOleDropRTF(true);
    EXPECT_TRUE(RichTextDropAllowed());
    g.DragDropSettings()->SetOleDropRTF(false);
    EXPECT_FALSE(RichTextDropAllowed());

    // Fixed gradient colours reach the grid's header colours (none is not copied).
    g.ControlLook()->SetFixedGradientFrom(clBtnFace);
    EXPECT_EQ(g.LookColors().FixedFrom, ColorToRGB(clBtnFace));
    g.ControlLook()->SetFixedGradientDownBorder(0x123456);
    g.ControlLook()->SetFixedGradientDownBorder(clNone);
    EXPECT_EQ(g.LookColors().DownBorder, TColor(0x123456));
}

TEST(GridSettings, ProgressLevelBoundaryBelongsToUpperLevel)
{
    TProStringGrid g(nullptr);
    struct { int Perc; int Level; } cases[] = {{0, 0}, {69, 0}, {70, 1}, {89, 1}, {90, 2}, {99, 2}, {100, 3}};
    for (auto c : cases)
        EXPECT_EQ(g.ProgressAppearance()->LevelOf(c.Perc), c.Level) << c.Perc;
    TColor from, to;
    g.ProgressAppearance()->LevelColors(70, from, to);
    EXPECT_EQ(from, clYellow);
    EXPECT_EQ(to, TColor(0xCAFFFF));
}
