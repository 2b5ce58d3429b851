// The per-cell events receive the cell in the order their handlers are
// written for: the look events and the editing and hint questions take the
// row first, the text and word-wrap events the column first.
#include <gtest/gtest.h>

#include <functional>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

namespace {
struct Seen {
    int First = -1, Second = -1;
    void Set(int a, int b) { First = a; Second = b; }
};

// A handler of any per-cell event that notes its first two numbers in the order it gets them.
auto Note(Seen& s)
{
    return [&s](TObject*, int A, int B, auto&&...) { s.Set(A, B); };
}
}

TEST(GridEventOrder, CellIsPassedInTheHandlersOrder)
{
    const int Col = 2, Row = 5;
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&, Seen&)> Hook;
        std::function<void(TProStringGrid&)> Fire;
        bool RowFirst;
    } cases[] = {
        {"OnGetCellColor", [](auto& g, Seen& s) { g.OnGetCellColor = Note(s); },
         [=](TProStringGrid& g) { TBrush b; TFont f; g.GetCellColor(Col, Row, 0, &b, &f); }, true},
        {"OnGetCellPrintColor", [](auto& g, Seen& s) { g.OnGetCellPrintColor = Note(s); },
         [=](TProStringGrid& g) { TBrush b; TFont f; g.GetCellPrintColor(Col, Row, 0, &b, &f); }, true},
        {"OnGetCellBorder", [](auto& g, Seen& s) { g.OnGetCellBorder = Note(s); },
         [=](TProStringGrid& g) { TPen p; TCellBorders b = 0; g.GetCellBorder(Col, Row, &p, b); }, true},
        {"OnGetCellPrintBorder", [](auto& g, Seen& s) { g.OnGetCellPrintBorder = Note(s); },
         [=](TProStringGrid& g) { TPen p; TCellBorders b = 0; g.GetCellPrintBorder(Col, Row, &p, b); }, true},
        {"OnGetAlignment", [](auto& g, Seen& s) { g.OnGetAlignment = Note(s); },
         [=](TProStringGrid& g) {
             TAlignment h = taLeftJustify;
             TVAlignment v = vtaTop;
             g.GetCellAlignment(Col, Row, h, v);
         },
         true},
        {"OnCanEditCell", [](auto& g, Seen& s) { g.OnCanEditCell = Note(s); },
         [=](TProStringGrid& g) { g.GetCellReadOnly(Col, Row); }, true},
        {"OnGridHint", [](auto& g, Seen& s) { g.OnGridHint = Note(s); },
         [=](TProStringGrid& g) { g.GetCellHint(Col, Row); }, true},
        {"OnGridWideHint", [](auto& g, Seen& s) { g.OnGridWideHint = Note(s); },
         [=](TProStringGrid& g) { g.GetCellHint(Col, Row); }, true},
        {"OnOfficeHint", [](auto& g, Seen& s) { g.OnOfficeHint = Note(s); },
         [=](TProStringGrid& g) { g.GetCellHint(Col, Row); }, true},
        {"OnGetWordWrap", [](auto& g, Seen& s) { g.OnGetWordWrap = Note(s); },
         [=](TProStringGrid& g) { bool w = false; g.GetCellWordWrap(Col, Row, w); }, false},
        {"OnGetEditorType", [](auto& g, Seen& s) { g.OnGetEditorType = Note(s); },
         [=](TProStringGrid& g) { g.GetCellEditorType(Col, Row); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TProStringGrid g(nullptr);
        g.SetColCount(6);
        g.SetRowCount(8);
        g.SetOptions(g.Options() | goEditing);
        Seen s;
        c.Hook(g, s);
        c.Fire(g);
        EXPECT_EQ(TPoint(s.First, s.Second), TPoint(c.RowFirst ? Row : Col, c.RowFirst ? Col : Row));
    }
}

TEST(GridEventOrder, AnchorHintGetsColumnThenRowAndMayChangeTheHint)
{
    TForm* form = new TForm(Application);
    form->SetBounds(10, 10, 500, 400);
    auto* grid = new TProStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 460, 300);
    grid->SetColCount(4);
    grid->SetRowCount(6);
    grid->SetColWidths(2, 150);
    grid->SetAnchorHint(true);
    grid->SetCells(2, 3, "<a href=\"http://example.org\" title=\"Strona\">link</a>");
    form->Show();
    int seenCol = -1, seenRow = -1;
    AnsiString seenHint;
    grid->OnAnchorHint = [&](TObject*, int ACol, int ARow, AnsiString& Anchor) {
        seenCol = ACol;
        seenRow = ARow;
        seenHint = Anchor;
        Anchor = "Zmieniona";
    };
    TRect rc = grid->CellRect(2, 3);
    AnsiString hint;
    // The anchor starts at the text offset of the cell; point inside its first letters.
    bool hit = false;
    for (int dx = 3; dx < 20 && !hit; ++dx) {
        hint = CellHint(*grid, rc.Left + dx, rc.Top + rc.Height() / 2);
        hit = seenCol != -1;
    }
    EXPECT_TRUE(hit);
    EXPECT_EQ(seenCol, 2);
    EXPECT_EQ(seenRow, 3);
    EXPECT_EQ(seenHint, "Strona");
    EXPECT_EQ(hint, "Zmieniona");
    delete form;
}

TEST(GridEventOrder, CanInsertRowAsksForTheRowAndMayBeVetoed)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(8);
    bool can = false;
    g.CanInsertRow(3, can);
    EXPECT_TRUE(can);   // no handler: allowed
    int asked = -1;
    g.OnCanInsertRow = [&](TObject* Sender, int ARow, bool& CanInsert) {
        EXPECT_EQ(Sender, &g);
        asked = ARow;
        CanInsert = ARow != 5;
    };
    struct Case {
        int Row;
        bool Allowed;
    } cases[] = {{4, true}, {5, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Row);
        can = !c.Allowed;
        g.CanInsertRow(c.Row, can);
        EXPECT_EQ(asked, c.Row);
        EXPECT_EQ(can, c.Allowed);
    }
}
