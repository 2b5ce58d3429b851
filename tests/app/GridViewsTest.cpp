#include <gtest/gtest.h>

#include <memory>

#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "controls/ColorPicker.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/TestSupport.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Messages.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"

namespace {

class GridViews : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 3;
        LoadCatalogue(ThreeStandardsFile);
        Grid = Form->sg_WszystkieNormy;
        Check = MakeDialog(f_SprawdzNorme);
    }
    TProStringGrid* Grid = nullptr;
    Tf_SprawdzNorme* Check = nullptr;
};

// Brush and font colour and boldness a grid's colour event gives a cell.
struct TPaint {
    TColor Brush, Font;
    bool Bold;
};
TPaint PaintOf(TProStringGrid* Grid, int Row, int Col, TGridDrawState State)
{
    TBrush brush;
    TFont font;
    brush.SetColor(clWindow);
    font.SetColor(clWindowText);
    Grid->OnGetCellColor(Grid, Row, Col, State, &brush, &font);
    return {brush.Color(), font.Color(), (font.Style() & fsBold) != 0};
}

TEST_F(GridViews, NumberColumnTakesTheUsersColourExceptAnUnfocusedSelection)
{
    Form->ColorBtn_PN_KolCellNrNormy->SetActiveColor(clRed);
    for (TProStringGrid* g : {Form->sg_WszystkieNormy, Form->sg_NormyWgStanu, Form->sg_PN_Podglad,
                              Form->sg_ZnajdzNormeWTrelKordelin}) {
        SCOPED_TRACE(g->Name());
        g->SetRowCount(4);
        const TPaint number = PaintOf(g, 1, 1, 0);
        EXPECT_EQ(number.Brush, clRed);
        EXPECT_EQ(number.Font, clBlack);
        EXPECT_EQ(PaintOf(g, 3, 1, gdSelected | gdFocused).Brush, clRed);
        EXPECT_EQ(PaintOf(g, 3, 1, gdSelected).Brush, clWindow);
        EXPECT_EQ(PaintOf(g, 1, 2, 0).Brush, clWindow);
        EXPECT_EQ(PaintOf(g, 0, 1, gdFixed).Brush, clWindow);
        EXPECT_TRUE(PaintOf(g, 0, 3, gdFixed).Bold);
        EXPECT_FALSE(PaintOf(g, 1, 3, 0).Bold);
    }
    // Painted so at the next paint.
    Form->Show();
    std::unique_ptr<TBitmap> shot = GrabControl(Grid);
    const TRect cell = Grid->CellRect(1, 2);
    EXPECT_EQ(shot->Canvas()->Pixels(cell.Right - 3, cell.Bottom - 3), clRed);
    const TRect state = Grid->CellRect(4, 2);
    EXPECT_NE(shot->Canvas()->Pixels(state.Right - 3, state.Bottom - 3), clRed);

    TProStringGrid* r = Form->sg_NowyEdytujWykaz;
    r->SetRowCount(3);
    EXPECT_EQ(PaintOf(r, 1, 1, 0).Brush, 15925234);
    EXPECT_EQ(PaintOf(r, 2, 2, 0).Brush, 15527167);
    EXPECT_EQ(PaintOf(r, 2, 2, gdSelected).Brush, clWindow);
    EXPECT_EQ(PaintOf(r, 1, 3, 0).Brush, clWindow);
    EXPECT_TRUE(PaintOf(r, 0, 5, gdFixed).Bold);
}

TEST_F(GridViews, HintsNameTheStandardUnderTheMouse)
{
    auto hint = [](TProStringGrid* g, int Row, int Col) {
        AnsiString h = "unchanged";
        g->OnGridHint(g, Row, Col, h);
        return h;
    };
    const AnsiString caption = Form->Caption();
    EXPECT_EQ(hint(Grid, 1, 0), caption);
    // A description of several lines follows on lines of its own.
    Grid->SetCells(6, 1, "Część 1\r\nGatunki");
    EXPECT_EQ(hint(Grid, 1, 1), "PN-EN 10088-1:2007\rStale odporne\rCzęść 1\r\nGatunki");
    EXPECT_EQ(hint(Grid, 2, 1), "PN-M-82144:1986\rNakrętki");
    EXPECT_EQ(hint(Grid, 2, 6), "PN-M-82144:1986");

    TProStringGrid* view = Form->sg_NormyWgStanu;
    view->SetColCount(9);
    view->SetRowCount(3);
    view->SetCells(1, 1, "PN-1");
    view->SetCells(5, 1, "Tytuł");
    view->SetCells(6, 1, "Opis");
    EXPECT_EQ(hint(view, 1, 1), "PN-1\rTytuł");
    EXPECT_EQ(hint(view, 1, 8), "PN-1");

    // The result grid hints only over results.
    TProStringGrid* found = Form->sg_ZnajdzNormeWTrelKordelin;
    found->SetRowCount(2);
    found->SetCells(1, 1, "PN-2");
    EXPECT_EQ(hint(found, 1, 1), "unchanged");
    found->SetRowCount(3);
    EXPECT_EQ(hint(found, 1, 3), "PN-2");
    EXPECT_EQ(hint(found, 1, 0), caption);

    TProStringGrid* reg = Form->sg_NowyEdytujWykaz;
    reg->SetColCount(9);
    reg->SetRowCount(3);
    reg->SetCells(1, 1, "PN-3");
    reg->SetCells(6, 1, "Stal");
    reg->SetCells(8, 1, "R-1");
    EXPECT_EQ(hint(reg, 1, 1), "PN-3\rMateriał: Stal\rNr rys.: R-1");
    EXPECT_EQ(hint(reg, 1, 4), "PN-3");
    EXPECT_EQ(hint(reg, 1, 7), "unchanged");
    Form->sb_NowyWykaz_EdytujClick(nullptr);   // editing moves the material, part and drawing number
    EXPECT_EQ(hint(reg, 1, 1), "PN-3\rMateriał: Stal\rNr rys.: R-1");

    // Shown through the grid's own hint window.
    Form->Show();
    const TRect r = Grid->CellRect(4, 2);
    EXPECT_EQ(HintAt(Grid, r.Left + 3, r.Top + 3), "PN-M-82144:1986");
}

TEST_F(GridViews, AHintShowsEachOfItsPartsOnALineOfItsOwn)
{
    // The text lines of the shown hint window: bands of rows holding dark ink inside its frame.
    auto shownLines = [this](int Col, int Row) {
        const TRect r = Grid->CellRect(Col, Row);
        HintAt(Grid, r.Left + 3, r.Top + 3);
        std::unique_ptr<TBitmap> shot = GrabShownHint();
        SaveScreenshot(shot.get(), "hint-lines-" + IntToStr(Col) + "-" + IntToStr(Row) + ".png");
        int lines = 0;
        bool inLine = false;
        for (int y = 2; y < shot->Height() - 2; ++y) {
            bool ink = false;
            for (int x = 2; x < shot->Width() - 2 && !ink; ++x)
                ink = GetRValue(shot->Canvas()->Pixels(x, y)) < 0x60;
            lines += ink && !inLine;
            inLine = ink;
        }
        return lines;
    };
    const struct {
        int Col, Row;
        const char *Number, *Title, *Description;
        int Lines;
    } cases[] = {
        {1, 1, "PN-EN 10", "Stale", "Opis", 3},
        {1, 2, "PN-M 8", "Nakretki", "", 2},
        {4, 2, "PN-M 8", "Nakretki", "", 1},
    };
    Form->Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Col * 10 + c.Row);
        Grid->SetCells(1, c.Row, c.Number);
        Grid->SetCells(5, c.Row, c.Title);
        Grid->SetCells(6, c.Row, c.Description);
        EXPECT_EQ(shownLines(c.Col, c.Row), c.Lines);
    }
}

TEST_F(GridViews, StateAndHoldingAreCentred)
{
    for (int col = 0; col < 7; ++col) {
        TAlignment h = taLeftJustify;
        TVAlignment v = vtaTop;
        Grid->OnGetAlignment(Grid, 1, col, h, v);
        EXPECT_EQ(h, col == 2 || col == 3 ? taCenter : taLeftJustify) << col;
    }
}

TEST_F(GridViews, KeysRunTheirCommandsOnceAndByLevel)
{
    Form->Show();
    Grid->SetFocus();
    // Ctrl+G asks its question once, whoever sees the key first.
    ScriptDialogs().ExpectMessageBox(IDNO, "Lista norm zostanie pogrupowana");
    KeyDown(Grid, 'G', ssCtrl);
    EXPECT_EQ(RecordedDialogs().size(), 1u);
    // With Shift it is another key.
    KeyDown(Grid, 'G', ssCtrl | ssShift);
    EXPECT_EQ(RecordedDialogs().size(), 1u);

    Form->Strony->SetActivePage("ListaWszystkichNorm");
    KeyDown(Grid, 'U', ssCtrl);
    EXPECT_EQ(Form->Strony->ActivePage(), "UstawieniaProg");

    CurrentUserLevel = 2;
    Word key = 'G';
    Form->sg_WszystkieNormyKeyDown(Grid, key, ssCtrl);
    key = VK_DELETE;
    Form->sg_WszystkieNormyKeyDown(Grid, key, 0);
    EXPECT_EQ(RecordedDialogs().size(), 1u);

    // Without the window's preview the grids run the common keys themselves.
    Form->SetKeyPreview(false);
    CurrentUserLevel = 0;
    Form->Strony->SetActivePage("ListaWszystkichNorm");
    key = 'U';
    Form->sg_NormyWgStanuKeyDown(Form->sg_NormyWgStanu, key, ssCtrl);
    EXPECT_EQ(Form->Strony->ActivePage(), "ListaWszystkichNorm");
    key = VK_F3;
    Form->sg_NormyWgStanuKeyDown(Form->sg_NormyWgStanu, key, ssShift);
    EXPECT_EQ(Form->Strony->ActivePage(), "WkataloguTrelKordelin");
    CurrentUserLevel = 1;
    key = 'U';
    Form->sg_WszystkieNormyKeyDown(Grid, key, ssCtrl);
    EXPECT_EQ(Form->Strony->ActivePage(), "UstawieniaProg");

    // The state view has no Delete.
    CurrentUserLevel = 3;
    key = VK_DELETE;
    Form->sg_NormyWgStanuKeyDown(Form->sg_NormyWgStanu, key, 0);
    EXPECT_EQ(RecordedDialogs().size(), 1u);
}

TEST_F(GridViews, DoubleClickBelowLevelThreeOnlyWarns)
{
    CurrentUserLevel = 2;
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie masz odpowiednich uprawnień do dokonywania zmian w spisie norm");
    Form->sg_WszystkieNormyDblClickCell(Grid, 0, 3);
    EXPECT_EQ(RecordedDialogs().back().Caption, "UWAGA !!!");
    EXPECT_EQ(Grid->Cells(3, 1), "Jest");

    // The state view points to the pages where a standard can be checked.
    ScriptDialogs().ExpectMessageBox(IDOK, "tylko na zakładce \"Lista wszystkich norm\" lub z poziomu zakładki "
                                           "\"Wyszukaj w katalogu norm\"");
    TProStringGrid* view = Form->sg_NormyWgStanu;
    view->SetRowCount(3);
    Form->sg_NormyWgStanuDblClickCell(view, 1, 1);
    Form->sg_NormyWgStanuDblClickCell(view, 2, 1);   // the empty last row
    Form->sg_NormyWgStanuDblClickCell(view, 1, 2);
    EXPECT_EQ(RecordedDialogs().size(), 2u);
}

}  // namespace
