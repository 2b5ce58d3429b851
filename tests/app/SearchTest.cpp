// The company-catalogue search page: the terms, the two modes, the result
// list and its texts (checking a standard from the results is among the
// browser tests).
#include <gtest/gtest.h>

#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"

namespace {

class Search : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        LoadCatalogue(SearchCatalogueFile);
        Form->sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(nullptr);
        Results = Form->sg_ZnajdzNormeWTrelKordelin;
    }
    // Runs a search with the terms and the mode (-1 none, 0 any, 1 all);
    // gives the numbers listed, each followed by ";".
    AnsiString Find(const AnsiString& Number, const AnsiString& Title, const AnsiString& Description,
                    const AnsiString& Replaced, int Mode)
    {
        Form->e_z_NrNormy->SetText(Number);
        Form->e_z_Tytul->SetText(Title);
        Form->e_z_Opis->SetText(Description);
        Form->e_z_Zastopiona->SetText(Replaced);
        Form->cb_z_KryteriaSzukania->SetItemIndex(Mode);
        Form->sb_ZnajdzNormeWTrelKordelinClick(nullptr);
        AnsiString found;
        for (int r = 1; r < Results->RowCount() - 1; ++r)
            if (!Results->Cells(1, r).empty())
                found += Results->Cells(1, r) + ";";
        return found;
    }
    AnsiString Label() const { return Form->lbl_ZnajdzNormeWTrelKordelni->Caption(); }

    TProStringGrid* Results = nullptr;
};

}  // namespace

TEST_F(Search, TermsAndModes)
{
    // The mode combo offers its two items sorted; nothing is chosen at first.
    EXPECT_EQ(Form->cb_z_KryteriaSzukania->Items()->Text(),
              "normy zawierające jedno z ww. haseł\r\nnormy zawierające wszystkie ww. hasła\r\n");
    struct Case {
        const char* Number;
        const char* Title;
        const char* Description;
        const char* Replaced;
        int Mode;
        const char* Found;
    };
    const Case cases[] = {
        // Case is ignored, the blank counts.
        {"en 10", "", "", "", 1, "PN-EN 10088-1:2007;PN-EN 10130:2007;"},
        {"en 10088", "", "", "", -1, "PN-EN 10088-1:2007;"},
        {"en10", "", "", "", 1, ""},
        // Polish letters fold too.
        {"", "ŁĄCZNIK", "", "", 0, "KW-01/VODUZ/T-001;"},
        {"", "", "", "pn-en iso 4032", 0, "PN-M-82144:1986;"},
        // Any: a standard matching by number and by title is listed once.
        {"EN", "stal", "", "", 0, "PN-EN 10088-1:2007;PN-EN ISO 11600:2004;PN-EN 10130:2007;"},
        // All, and no mode behaves as all: both terms must match; an empty one is ignored.
        {"EN", "stal", "", "", 1, "PN-EN 10088-1:2007;PN-EN 10130:2007;"},
        {"EN", "stal", "", "", -1, "PN-EN 10088-1:2007;PN-EN 10130:2007;"},
        // Description and replaced by in one standard: listed once.
        {"", "", "stal", "", 0, "PN-EN 10088-1:2007;PN-EN 10130:2007;"},
        {"", "", "stal", "ISO", 0, "PN-EN 10088-1:2007;PN-M-82144:1986;PN-EN 10130:2007;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(AnsiString(c.Number) + "|" + c.Title + "|" + c.Description + "|" + c.Replaced);
        EXPECT_EQ(Find(c.Number, c.Title, c.Description, c.Replaced, c.Mode), c.Found);
    }

    // A result carries the catalogue row number and the catalogue's cells.
    Find("en 10088", "", "", "", 1);
    ASSERT_EQ(Results->RowCount(), 3);
    EXPECT_EQ(Results->Cells(0, 0), "Numer w spisie");
    EXPECT_EQ(Results->Cells(6, 0), "Opis");
    EXPECT_EQ(Results->Cells(0, 1), "2");
    EXPECT_EQ(Results->Cells(2, 1), Form->sg_WszystkieNormy->Cells(2, 2));
    EXPECT_EQ(Results->Cells(6, 1), "Część 1: Gatunki stali odpornych na korozję");
    EXPECT_EQ(Label(), "Liczba norm spełniających kryteria wyszukiwania: 1");
}

TEST_F(Search, TextsWithoutResultsAndWithoutTerms)
{
    EXPECT_EQ(Label(), "Wprowadź dane i kliknij na przycisk Znajdź");
    EXPECT_EQ(Results->RowCount(), 2);
    EXPECT_EQ(Results->Cells(0, 0), "");
    EXPECT_EQ(Results->Cells(1, 0), "Numer normy");

    // No result: the header and two empty rows.
    EXPECT_EQ(Find("en10", "", "", "", 0), "");
    EXPECT_EQ(Results->RowCount(), 3);
    EXPECT_EQ(Label(), "Liczba norm spełniających kryteria wyszukiwania: 0");

    // No term: the previous results stay.
    Find("EN", "", "", "", 0);
    const int rows = Results->RowCount();
    Find("", "", "", "", 0);
    EXPECT_EQ(Label(), "NIE PODANO ŻADNYCH DANYCH DO WYSZUKIWANIA !!!");
    EXPECT_EQ(Results->RowCount(), rows);

    // A new search empties the terms and the list and keeps the mode.
    Form->e_z_Opis->SetText("x");
    Form->sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(nullptr);
    EXPECT_EQ(Form->e_z_Opis->Text(), "");
    EXPECT_EQ(Results->RowCount(), 2);
    EXPECT_EQ(Form->cb_z_KryteriaSzukania->ItemIndex(), 0);
}

TEST_F(Search, KeysOfTheTerms)
{
    Form->e_z_Tytul->SetText("stal");
    Word enter = VK_RETURN;
    Form->e_z_NrNormyKeyDown(Form->e_z_Tytul, enter, 0);
    EXPECT_EQ(Label(), "Liczba norm spełniających kryteria wyszukiwania: 2");
    char bar = '|', a = 'a';
    Form->e_z_NrNormyKeyPress(Form->e_z_Tytul, bar);
    Form->e_z_NrNormyKeyPress(Form->e_z_Tytul, a);
    EXPECT_EQ(bar, 0);
    EXPECT_EQ(a, 'a');
    Form->Strony->SetActivePage("Uzytkownicy");
    Word f3 = VK_F3;
    Form->e_z_NrNormyKeyDown(Form->e_z_Tytul, f3, ssShift);
    EXPECT_EQ(Form->Strony->ActivePage(), "WkataloguTrelKordelin");
}

TEST_F(Search, ButtonsFollowTheClickedCellAndCopyTheNumber)
{
    Find("en 10088", "", "", "", 1);
    Form->sg_ZnajdzNormeWTrelKordelinClickCell(Results, 1, 2);
    EXPECT_FALSE(Form->sb_z_SprawdzNorme->Enabled());
    EXPECT_FALSE(Form->sb_z_Kopiuj->Enabled());
    Form->sg_ZnajdzNormeWTrelKordelinClickCell(Results, 1, 1);
    EXPECT_TRUE(Form->sb_z_SprawdzNorme->Enabled());
    EXPECT_TRUE(Form->sb_z_Kopiuj->Enabled());
    Form->sg_ZnajdzNormeWTrelKordelinClickCell(Results, 2, 1);   // the empty last row
    EXPECT_FALSE(Form->sb_z_Kopiuj->Enabled());

    Results->SetSelection(TGridRect{1, 1, 1, 1});
    Form->sb_z_KopiujClick(nullptr);
    EXPECT_NE(Clipboard()->AsText().find("PN-EN 10088-1:2007"), AnsiString::npos);
}
