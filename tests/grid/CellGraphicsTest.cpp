#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"

namespace {
TCellGraphic* AddGraphic(TProStringGrid& G, int ACol, int ARow, TCellType AType)
{
    TCellGraphic* g = G.CreateCellGraphic(ACol, ARow);
    g->CellType = AType;
    return g;
}
}

TEST(CellGraphics, TypesCreationAndRemoval)
{
    TProStringGrid g(nullptr);
    EXPECT_EQ(g.GetCellType(1, 1), ctEmpty);
    EXPECT_EQ(g.GetCellType(-1, 1), ctEmpty);
    EXPECT_FALSE(g.RemoveCellGraphic(1, 1));
    TCellGraphic* created = g.CreateCellGraphic(1, 1);
    EXPECT_EQ(g.GetCellType(1, 1), ctNone);
    EXPECT_EQ(g.GetCellGraphic(1, 1), created);
    EXPECT_EQ(g.Cells(1, 1), "");
    // A second graphic replaces the first.
    AddGraphic(g, 1, 1, ctButton);
    EXPECT_EQ(g.GetCellType(1, 1), ctButton);
    EXPECT_TRUE(g.HasButton(1, 1));
    EXPECT_TRUE(g.HasCellControl(1, 1));
    g.RemoveCellGraphicOfType(1, 1, ctRadio);
    EXPECT_EQ(g.GetCellType(1, 1), ctButton);
    EXPECT_TRUE(g.RemoveCellGraphic(1, 1));
    EXPECT_EQ(g.GetCellType(1, 1), ctEmpty);

    // Row check boxes share the grid's one graphic, which removal never frees.
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.MouseActions()->SetHotmailRowSelect(true);
    EXPECT_EQ(g.GetCellType(0, 2), ctRowCheckBox);
    EXPECT_EQ(g.GetCellGraphic(0, 2), g.RowCheckGraphic());
    g.SetCellGraphicObject(0, 2, g.RowCheckGraphic());
    EXPECT_TRUE(g.RemoveCellGraphic(0, 2));
    EXPECT_EQ(g.GetCellGraphicObject(0, 2), nullptr);
    EXPECT_EQ(g.RowCheckGraphic()->CellType, ctRowCheckBox);
    bool state = true;
    EXPECT_TRUE(g.GetCheckBoxState(0, 3, state));
    EXPECT_FALSE(state);
    EXPECT_TRUE(g.ToggleCheckBox(0, 3, false));
    EXPECT_TRUE(g.GetRowSelect(3));
}

TEST(CellGraphics, CommentsReplaceAndAreRemovedByType)
{
    TProStringGrid g(nullptr);
    AddGraphic(g, 2, 1, ctCheckBox);
    g.AddCellComment(2, 1, "Normy się różnią !!!");
    TCellGraphic* c = g.GetCellGraphic(2, 1);
    EXPECT_EQ(c->CellType, ctComment);
    EXPECT_EQ(c->CellVAlign, vaTop);
    EXPECT_EQ(c->CellHAlign, haLeft);
    EXPECT_EQ(c->CellAngle, int(clNone));
    AnsiString text;
    EXPECT_TRUE(g.GetCellComment(2, 1, text));
    EXPECT_EQ(text, "Normy się różnią !!!");
    EXPECT_FALSE(g.GetCellComment(2, 2, text));

    AddGraphic(g, 3, 1, ctCheckBox);
    g.RemoveCellComment(3, 1);
    EXPECT_EQ(g.GetCellType(3, 1), ctCheckBox);
    g.RemoveCellComment(2, 1);
    EXPECT_EQ(g.GetCellType(2, 1), ctEmpty);
}

TEST(CellGraphics, ToggledCheckBoxesUndoAndRedoTheirState)
{
    struct Case {
        const char* Name;
        TCellType Type;
        const char* Text;
        bool After;
        const char* TextAfter;
    } cases[] = {
        {"graphic box", ctCheckBox, "opis", true, "opis"},
        {"data box N", ctDataCheckBox, "N", true, "Y"},
        {"data box Y", ctDataCheckBox, "Y", false, "N"},
        {"data box other text", ctDataCheckBox, "x", true, "Y"},
        {"virtual box", ctVirtCheckBox, "N", true, "Y"},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        TProGridUndoRedo undo(nullptr);
        g.SetUndoRedo(&undo);
        undo.SetGrid(&g);
        g.SetOptions(g.Options() | goEditing);
        g.SetCells(2, 3, c.Text);
        AddGraphic(g, 2, 3, c.Type);
        bool before = false;
        g.GetCheckBoxState(2, 3, before);

        EXPECT_TRUE(g.ToggleCheckBox(2, 3, true)) << c.Name;
        bool state = !c.After;
        EXPECT_TRUE(g.GetCheckBoxState(2, 3, state)) << c.Name;
        EXPECT_EQ(state, c.After) << c.Name;
        EXPECT_EQ(g.Cells(2, 3), c.TextAfter) << c.Name;

        for (bool redo : {false, true}) {
            redo ? undo.Redo() : undo.Undo();
            g.GetCheckBoxState(2, 3, state);
            EXPECT_EQ(state, redo == c.After) << c.Name << (redo ? " redone" : " undone");
            if (c.Type == ctCheckBox) {
                EXPECT_EQ(g.Cells(2, 3), c.Text) << c.Name;
            }
        }
        g.SetUndoRedo(nullptr);
    }

    // Read-only cells keep their state when the user asks.
    TProStringGrid g(nullptr);
    AddGraphic(g, 1, 1, ctCheckBox);
    EXPECT_FALSE(g.ToggleCheckBox(1, 1, true));
    EXPECT_TRUE(g.ToggleCheckBox(1, 1, false));
    g.CheckAll(1);
    g.UnCheckAll(1);
    bool state = true;
    g.GetCheckBoxState(1, 1, state);
    EXPECT_FALSE(state);
    EXPECT_FALSE(g.ToggleCheckBox(2, 2, false));
}

TEST(CellGraphics, CheckBoxesOfHiddenRowsAnswerFromTheirRecords)
{
    TProStringGrid g(nullptr);
    AddGraphic(g, 1, 4, ctCheckBox)->CellBoolean = true;
    g.SetCells(2, 4, "N");
    AddGraphic(g, 2, 4, ctDataCheckBox);
    g.HideRow(4);
    bool state = false;
    EXPECT_TRUE(g.GetCheckBoxState(1, 4, state));
    EXPECT_TRUE(state);
    EXPECT_TRUE(g.SetCheckBoxState(2, 4, true));
    g.UnHideRowsAll();
    EXPECT_EQ(g.Cells(2, 4), "Y");
}

TEST(CellGraphics, RadioGroupsMoveToTheNextItemAndWrap)
{
    struct Case {
        int Index;
        const char* Text;
        int IndexAfter;
        const char* TextAfter;
    } cases[] = {{0, "", 1, "b"}, {2, "", 0, "a"}, {-1, "b", -1, "c"}, {-1, "c", -1, "a"}};
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        g.SetCells(1, 1, c.Text);
        TCellGraphic* r = AddGraphic(g, 1, 1, ctRadio);
        auto* items = NewStringList({"a", "b", "c"});
        r->CellObject = items;
        r->CellCreated = true;
        r->CellIndex = c.Index;
        EXPECT_TRUE(g.SelectNextRadioItem(1, 1, false));
        EXPECT_EQ(r->CellIndex, c.IndexAfter) << c.Index << c.Text;
        EXPECT_EQ(g.Cells(1, 1), c.TextAfter) << c.Index << c.Text;
        EXPECT_EQ(g.GetRadioStrings(1, 1), items);
        EXPECT_TRUE(g.HasRadio(1, 1));
    }
}

// Run under the AddressSanitizer build: every object is freed exactly once.
TEST(CellGraphics, AssignLeavesOwnershipWithTheHolder)
{
    auto* owner = new TCellGraphic();
    owner->CellType = ctBitmap;
    owner->CellObject = new TBitmap();
    owner->CellCreated = true;
    owner->CellIndex = 7;

    // The copy claims ownership but holds nothing.
    auto* copy = new TCellGraphic();
    copy->Assign(owner);
    EXPECT_EQ(copy->CellType, ctBitmap);
    EXPECT_EQ(copy->CellIndex, 7);
    EXPECT_TRUE(copy->CellCreated);
    EXPECT_EQ(copy->CellObject, nullptr);
    EXPECT_EQ(copy->CellIcon, nullptr);
    delete copy;   // frees nothing
    EXPECT_NE(owner->CellObject, nullptr);

    // A graphic that owns its picture keeps it whatever it is assigned.
    TBitmap borrowed;
    auto* plain = new TCellGraphic();
    plain->CellType = ctBitmap;
    plain->CellObject = &borrowed;
    owner->Assign(plain);
    EXPECT_TRUE(owner->CellCreated);
    plain->Assign(owner);
    EXPECT_FALSE(plain->CellCreated);
    EXPECT_EQ(plain->CellObject, &borrowed);
    delete plain;   // must not free the borrowed bitmap
    delete owner;   // frees its own bitmap

    // An image index list is the graphic's own even without the flag.
    auto* images = new TCellGraphic();
    images->CellType = ctImages;
    images->CellObject = new TIntList(0, 0);
    TCellGraphic check;
    check.CellType = ctCheckBox;
    images->Assign(&check);
    delete images;
}

TEST(CellGraphics, SizesByType)
{
    TProStringGrid g(nullptr);
    g.ControlLook()->SetCheckSize(13);
    TCellGraphic* check = AddGraphic(g, 1, 1, ctCheckBox);
    TCellGraphic* button = AddGraphic(g, 2, 1, ctButton);
    button->CellIndex = (18 << 16) | 40;
    AddGraphic(g, 3, 1, ctProgressPie);
    AddGraphic(g, 4, 1, ctComment);
    struct Case {
        int Col, W, H;
    } cases[] = {{1, 13, 13}, {2, 40, 18}, {3, 20, 20}, {4, 0, 0}};
    for (auto& c : cases) {
        TSize s;
        g.GetCellGraphicSize(c.Col, 1, s);
        EXPECT_EQ(TPoint(s.cx, s.cy), TPoint(c.W, c.H)) << c.Col;
    }
    button->CellHAlign = haFull;   // across the cell: as wide as its caption
    button->CellText = "OK";
    g.Canvas()->Font()->Assign(g.Font());
    const int ok = g.Canvas()->TextWidth("OK");
    g.Canvas()->Font()->SetSize(30);   // left so by other drawing: the caption is in the grid's font
    TSize s;
    g.GetCellGraphicSize(2, 1, s);
    EXPECT_EQ(s.cx, ok + 4);
    check->CellHAlign = haFull;   // measured at another resolution: the type's own size
    check->CellVAlign = vaFull;
    g.GetCellGraphicSizeEx(1, 1, s, 2.0, 0, 0);
    EXPECT_EQ(TPoint(s.cx, s.cy), TPoint(13, 13));
}

TEST(CellGraphics, PicturesFitWithMarginsByMode)
{
    struct Case {
        int Mode, PicW, PicH, Margin;
        int W, H;
    } cases[] = {
        {1, 40, 20, 0, 100, 50},   // the available size
        {1, 40, 20, 10, 90, 40},   // less the margin
        {2, 40, 20, 0, 100, 50},   // equal factors
        {2, 40, 40, 0, 50, 50},    // height limits
        {2, 0, 0, 0, 100, 50},     // an empty picture fills the cell
        {3, 40, 20, 0, 40, 20},    // fits: its own size
        {3, 200, 20, 0, 100, 50},  // too wide: the available size
        {4, 40, 20, 0, 40, 20},    // fits: its own size
        {4, 200, 50, 0, 100, 25},  // too large: scaled down
        {0, 200, 50, 0, 200, 50},  // no fitting
        {1, 10, 10, 6, 94, 44},    // the available size less the margin
        {2, 47, 22, 6, 94, 44},    // equal factors: the available size
        {2, 30, 30, 6, 44, 44},    // the height limits: width follows round(30 * 44/30)
        {2, 300, 10, 4, 96, 3},    // the width limits: round(10 * 96/300) = 3
        {3, 94, 44, 6, 94, 44},    // exactly the available size: its own size
        {3, 95, 10, 6, 94, 44},    // one pixel too wide: the available size
        {3, 10, 45, 6, 94, 44},    // too high
        {4, 94, 44, 6, 94, 44},    // fits
        {4, 188, 22, 6, 94, 11},   // too wide: halved
        {4, 20, 88, 6, 10, 44},    // too high: halved
        {5, 300, 300, 6, 300, 300},   // unknown modes keep the picture's size
        {0x102, 300, 300, 6, 44, 44}, // only the low byte is the mode
    };
    for (auto& c : cases) {
        const TSize s = FittedPictureSize(c.Mode, c.PicW, c.PicH, c.Margin);
        EXPECT_EQ(TPoint(s.cx, s.cy), TPoint(c.W, c.H)) << c.Mode << " " << c.PicW << "x" << c.PicH << " m" << c.Margin;
    }
    // Other types are not fitted.
    TCellGraphic other;
    other.CellType = ctBitmap;
    other.CellAngle = 1;
    TSize s = other.GetPictureSize(100, 50);
    EXPECT_EQ(s.cx, 0);
}

// A precise hit lies on the box (15 wide) as drawn: placed by the cell's own alignment.
TEST(CellGraphics, PreciseCheckBoxHitFollowsTheCellsAlignment)
{
    TProStringGrid g(nullptr);
    g.MouseActions()->SetPreciseCheckBoxCheck(true);
    AddGraphic(g, 1, 2, ctCheckBox)->CellVAlign = vaTop;
    const TRect r = g.CellRect(1, 2);
    const int centre = r.Left + (r.Width() - 15) / 2;
    const std::tuple<TAlignment, int, bool> cases[] = {
        {taRightJustify, r.Right - 17, true}, {taRightJustify, r.Left + 2, false}, {taCenter, centre, true}};
    for (const auto& [align, x, hit] : cases) {
        g.CellProperties(1, 2)->SetAlignment(align);
        EXPECT_EQ(g.IsCheckBoxHit(1, 2, x, r.Top + 2), hit) << align << " " << x;
    }
}

TEST(CellGraphics, ButtonsRadioGroupsAndProgressCells)
{
    TProStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(6);
    NameCells(g);
    g.SetColWidths(2, 50);
    g.SetColWidths(4, 70);
    g.SetRowHeights(3, 30);
    g.HideColumn(1);   // display column 2 is stored column 3

    // A button at stored (3, 3): 40 x 18 at offset (5, 6).
    TCellGraphic* b = g.CreateCellGraphic(3, 3);
    b->CellType = ctButton;
    b->CellIndex = (18 << 16) | 40;
    b->CellValue = (6 << 16) | 5;
    TRect cell = g.CellRect(2, 3);
    struct Case {
        TCellHAlign H;
        TCellVAlign V;
        TRect Want;
    } cases[] = {
        {haLeft, vaTop, TRect(cell.Left + 5, cell.Top + 6, cell.Left + 45, cell.Top + 24)},
        {haFull, vaTop, TRect(cell.Left, cell.Top + 6, cell.Right, cell.Top + 24)},
        {haLeft, vaFull, TRect(cell.Left + 5, cell.Top, cell.Left + 45, cell.Bottom)},
    };
    for (auto& c : cases) {
        b->CellHAlign = c.H;
        b->CellVAlign = c.V;
        TRect r;
        g.GetCellButtonRect(2, 3, r);
        EXPECT_EQ(r, c.Want) << c.H << " " << c.V;
    }
    EXPECT_TRUE(g.HasButton(3, 3));
    g.SetCellButtonDown(2, 3, true);
    EXPECT_TRUE(b->CellBoolean);
    g.SetCellButtonDown(2, 3, false);
    EXPECT_FALSE(b->CellBoolean);
    // A node is no button.
    g.AddNode(4, 1);
    g.SetCellButtonDown(0, 4, true);
    EXPECT_FALSE(g.GetNodeState(4));

    // A radio group: the value follows the item chosen.
    TCellGraphic* radio = g.CreateCellGraphic(4, 1);
    radio->CellType = ctRadio;
    auto* items = NewStringList({"jeden", "dwa", "trzy"});
    radio->CellObject = items;
    radio->CellCreated = true;
    radio->CellIndex = 1;
    int index = -5;
    EXPECT_TRUE(g.GetRadioIndex(4, 1, index));
    EXPECT_EQ(index, 1);
    for (const char* want : {"trzy", "jeden", "dwa"}) {
        g.SelectNextRadioItem(4, 1, false);
        EXPECT_EQ(g.Cells(4, 1), want);
        ASSERT_TRUE(std::holds_alternative<int>(radio->CellVar));
        EXPECT_EQ(std::get<int>(radio->CellVar), items->IndexOf(want));
    }
    // Laid out horizontally the items share one line.
    TSize vertical, horizontal;
    g.GetCellGraphicSize(4, 1, vertical);
    radio->CellBoolean = true;
    g.GetCellGraphicSize(4, 1, horizontal);
    EXPECT_EQ(vertical.cy, 3 * horizontal.cy);
    EXPECT_GT(horizontal.cx, vertical.cx);

    // Progress cells measure as their cell, by the column's display width.
    g.CreateCellGraphic(4, 3)->CellType = ctProgress;
    TSize p;
    g.GetCellGraphicSizeEx(4, 3, p, 1.0, 0, 0);
    EXPECT_EQ(TPoint(p.cx, p.cy), TPoint(70, 30));
}
