// Checking a standard from the company-catalogue search results, with the
// web shop's page served locally.
#include <gtest/gtest.h>

#include <memory>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"

namespace {

class SearchCheck : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        Server.Serve("/index.php", 200, "text/html; charset=utf-8", "<html><body>Sklep</body></html>");
        RedirectHostToTestServer("https://sklep.pkn.pl", Server);
        LoadCatalogue(SearchCatalogueFile);
        Form->sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(nullptr);
        Results = Form->sg_ZnajdzNormeWTrelKordelin;
        Check = MakeDialog(f_SprawdzNorme);
    }
    // A search for Number in all mode.
    void Find(const AnsiString& Number)
    {
        Form->e_z_NrNormy->SetText(Number);
        Form->cb_z_KryteriaSzukania->SetItemIndex(1);
        Form->sb_ZnajdzNormeWTrelKordelinClick(nullptr);
    }

    TTestHttpServer Server;
    TProStringGrid* Results = nullptr;
    Tf_SprawdzNorme* Check = nullptr;
};

}  // namespace

TEST_F(SearchCheck, CheckFromTheResultsWritesTheCatalogueAndTheList)
{
    // At level 0 too; an old holding word is converted at once in the list.
    CurrentUserLevel = 0;
    Find("en 10088");
    // The header and the empty last row open nothing.
    Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 0, 1);
    Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 2, 1);
    Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 1, 5);
    EXPECT_TRUE(RecordedDialogs().empty());

    ScriptDialogs()
        .ExpectModal("f_SprawdzNorme", mrOk,
                     [this](TForm*) {
                         // The shop's page of the standard is asked for.
                         ASSERT_TRUE(WaitUntil([&] { return !Server.Requests().empty(); }));
                         EXPECT_NE(Server.Requests().back().find("PN-EN%2010088-1:2007"), std::string::npos);
                         EXPECT_EQ(f_SprawdzNorme->e_NrNormy->Text(), "PN-EN 10088-1:2007");
                         EXPECT_EQ(f_SprawdzNorme->cb_StanNormy->Text(), "Aktualna");
                         EXPECT_FALSE(f_SprawdzNorme->BitBtn3->Visible());
                         EXPECT_EQ(f_SprawdzNorme->Caption(), "Sprawdź normę");
                         f_SprawdzNorme->cb_StanNormy->SetItemIndex(
                             f_SprawdzNorme->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
                         f_SprawdzNorme->e_ZastopionaPrzez->SetText("PN-EN 10088-1:2014");
                     })
        .ExpectMessageBox(IDNO, "Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.\r\rZapisać wszystkie");
    Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 1, 1);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    TProStringGrid* cat = Form->sg_WszystkieNormy;
    for (TProStringGrid* g : {cat, Results}) {
        const int r = g == cat ? 2 : 1;
        EXPECT_EQ(g->Cells(2, r), "Nieaktualna");
        EXPECT_EQ(g->Cells(3, r), "Dostępna");
        EXPECT_EQ(g->Cells(4, r), "PN-EN 10088-1:2014");
    }
    EXPECT_TRUE(NormListModified);

    // A result whose standard has left the catalogue: the error, no write into
    // the catalogue's header or empty row.
    cat->RemoveRows(2, 1);
    NormListModified = false;
    Results->SetCol(1);
    Results->SetRow(1);
    ScriptDialogs().ExpectModal("f_SprawdzNorme", mrOk).ExpectMessageBox(IDOK, "Próba aktualizacji wskazanej pozycji "
                                                                               "niepowiodła się !!!");
    Form->sb_z_SprawdzNormeClick(nullptr);
    EXPECT_EQ(cat->Cells(1, 6), "");
    EXPECT_FALSE(NormListModified);

    // After a search without results row 1 opens an empty dialog, and
    // confirming it ends in the error (no catalogue row number).
    Find("en10");
    ScriptDialogs().ExpectModal("f_SprawdzNorme", mrOk).ExpectMessageBox(IDOK, "niepowiodła się");
    Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 1, 1);
    // A cancelled check changes nothing.
    Find("en 10088");
    ScriptDialogs().ExpectModal("f_SprawdzNorme", mrCancel);
    Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 1, 1);
    EXPECT_FALSE(NormListModified);
}

TEST_F(SearchCheck, ACheckWritesIntoTheRowOfTheStandardChecked)
{
    struct Case {
        bool DeleteFirst;   // the catalogue row deleted before the search, else after it
        int Deleted;
        const char* Term;
        int Line;   // the checked standard's line of the catalogue file
    } cases[] = {
        {true, 1, "10130", 4},
        {false, 1, "10130", 4},
        {false, 3, "ITAMID", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Term) + (c.DeleteFirst ? " deleted first" : " deleted after"));
        LoadCatalogue(SearchCatalogueFile);
        TProStringGrid* cat = Form->sg_WszystkieNormy;
        auto remove = [&] {
            cat->SetRow(c.Deleted);
            ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno chcesz usunąć wybraną pozycję z listy ???");
            Form->RunMenuCommand("Usuń zaznaczoną normę z listy", "Usuń zaznaczoną normę z listy");
        };
        if (c.DeleteFirst)
            remove();
        // The term as a number or a title.
        Form->e_z_NrNormy->SetText(c.Term);
        Form->e_z_Tytul->SetText(c.Term);
        Form->cb_z_KryteriaSzukania->SetItemIndex(0);
        Form->sb_ZnajdzNormeWTrelKordelinClick(nullptr);
        ASSERT_EQ(Results->RowCount(), 3);
        if (!c.DeleteFirst)
            remove();
        ScriptDialogs()
            .ExpectModal("f_SprawdzNorme", mrOk, [](TForm*) { f_SprawdzNorme->m_Tytul->SetText("Nowy tytuł"); })
            .ExpectMessageBox(IDNO, "Aktualizacja normy zakończyła się pomyślnie");
        Form->sg_ZnajdzNormeWTrelKordelinDblClickCell(Results, 1, 1);
        EXPECT_EQ(Results->Cells(5, 1), "Nowy tytuł");

        // Every other standard as the file has it; the checked one with its new title.
        TStringList lines;
        lines.SetText(SearchCatalogueFile);
        std::vector<TNormRecord> expected;
        for (int i = 0; i < lines.Count(); ++i)
            if (i != c.Deleted - 1) {
                expected.push_back(SplitNormLine(lines.Strings(i)));
                if (i == c.Line)
                    expected.back()[nfTitle] = "Nowy tytuł";
            }
        EXPECT_EQ(CatalogueRecords(), expected);
    }
}
