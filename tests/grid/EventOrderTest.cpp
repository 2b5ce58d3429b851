// The per-cell events receive the cell in the order their handlers are
// written for: the look events and the editing and hint questions take the
// row first, the text and word-wrap events the column first.
#include <gtest/gtest.h>

#include <functional>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"

namespace {
struct Seen {
    int First = -1, Second = -1;
    void Set(int a, int b) { First = a; Second = b; }
};
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
        {"OnGetCellColor",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetCellColor = [&s](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont*) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { TBrush b; TFont f; g.GetCellColor(Col, Row, 0, &b, &f); }, true},
        {"OnGetCellPrintColor",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetCellPrintColor = [&s](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont*) {
                 s.Set(ARow, ACol);
             };
         },
         [=](TProStringGrid& g) { TBrush b; TFont f; g.GetCellPrintColor(Col, Row, 0, &b, &f); }, true},
        {"OnGetCellBorder",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetCellBorder = [&s](TObject*, int ARow, int ACol, TPen*, TCellBorders&) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { TPen p; TCellBorders b = 0; g.GetCellBorder(Col, Row, &p, b); }, true},
        {"OnGetCellPrintBorder",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetCellPrintBorder = [&s](TObject*, int ARow, int ACol, TPen*, TCellBorders&) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { TPen p; TCellBorders b = 0; g.GetCellPrintBorder(Col, Row, &p, b); }, true},
        {"OnGetAlignment",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetAlignment = [&s](TObject*, int ARow, int ACol, TAlignment&, TVAlignment&) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) {
             TAlignment h = taLeftJustify;
             TVAlignment v = vtaTop;
             g.GetCellAlignment(Col, Row, h, v);
         },
         true},
        {"OnCanEditCell",
         [](TProStringGrid& g, Seen& s) {
             g.OnCanEditCell = [&s](TObject*, int ARow, int ACol, bool&) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { g.GetCellReadOnly(Col, Row); }, true},
        {"OnGridHint",
         [](TProStringGrid& g, Seen& s) {
             g.OnGridHint = [&s](TObject*, int ARow, int ACol, AnsiString&) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { g.GetCellHint(Col, Row); }, true},
        {"OnGridWideHint",
         [](TProStringGrid& g, Seen& s) {
             g.OnGridWideHint = [&s](TObject*, int ARow, int ACol, WideString&) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { g.GetCellHint(Col, Row); }, true},
        {"OnOfficeHint",
         [](TProStringGrid& g, Seen& s) {
             g.OnOfficeHint = [&s](TObject*, int ARow, int ACol, TProHintInfo*) { s.Set(ARow, ACol); };
         },
         [=](TProStringGrid& g) { g.GetCellHint(Col, Row); }, true},
        {"OnGetWordWrap",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetWordWrap = [&s](TObject*, int ACol, int ARow, bool&) { s.Set(ACol, ARow); };
         },
         [=](TProStringGrid& g) { g.GetCellWordWrap(Col, Row); }, false},
        {"OnGetEditorType",
         [](TProStringGrid& g, Seen& s) {
             g.OnGetEditorType = [&s](TObject*, int ACol, int ARow, TEditorType&) { s.Set(ACol, ARow); };
         },
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
        EXPECT_EQ(s.First, c.RowFirst ? Row : Col);
        EXPECT_EQ(s.Second, c.RowFirst ? Col : Row);
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
    THintInfo info;
    AnsiString hint;
    // The anchor starts at the text offset of the cell; point inside its first letters.
    bool hit = false;
    for (int dx = 3; dx < 20 && !hit; ++dx) {
        info = THintInfo();
        info.CursorPos = TPoint(rc.Left + dx, rc.Top + rc.Height() / 2);
        hint.clear();
        grid->PrepareCellHint(hint, info);
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
