#include <gtest/gtest.h>

#include <memory>

#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"

namespace {

// The catalogue grid over three standards; the check dialog's shop page
// comes from a local server.
class CatalogueCheck : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 3;
        Server.Serve("/index.php", 200, "text/html; charset=utf-8", "<html><body>Sklep</body></html>");
        RedirectHostToTestServer("https://sklep.pkn.pl", Server);
        LoadCatalogue(ThreeStandardsFile);
        Grid = Form->sg_WszystkieNormy;
        Check = MakeDialog(f_SprawdzNorme);
    }
    TTestHttpServer Server;
    TProStringGrid* Grid = nullptr;
    Tf_SprawdzNorme* Check = nullptr;
};

TEST_F(CatalogueCheck, ConfirmedCheckIsWrittenBackIntoTheCatalogue)
{
    // Outside the number column nothing opens.
    Form->sg_WszystkieNormyDblClickCell(Grid, 1, 2);
    Form->sg_WszystkieNormyDblClickCell(Grid, Grid->RowCount() - 1, 1);
    EXPECT_TRUE(RecordedDialogs().empty());

    // A cancelled check: the old holding word is converted all the same.
    ScriptDialogs().ExpectModal("f_SprawdzNorme", mrCancel, [](TForm* f) {
        auto* d = static_cast<Tf_SprawdzNorme*>(f);
        EXPECT_EQ(d->Caption(), "Sprawdź normę");
        EXPECT_FALSE(d->BitBtn3->Visible());
        EXPECT_EQ(d->cb_StanPosiadania->Text(), "Brak (Uznaniowa)");
        EXPECT_EQ(d->cb_StanNormy->Text(), "Nieaktualna");
        EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "PN-EN ISO 4032:2004");
    });
    Form->sg_WszystkieNormyDblClickCell(Grid, 2, 1);
    EXPECT_EQ(Grid->Cells(3, 2), "Brak (Uznaniowa)");
    EXPECT_FALSE(NormListModified);

    // A state word the list lacks leaves the state unchosen.
    ScriptDialogs().ExpectModal("f_SprawdzNorme", mrCancel, [](TForm* f) {
        auto* d = static_cast<Tf_SprawdzNorme*>(f);
        EXPECT_EQ(d->cb_StanNormy->ItemIndex(), -1);
        EXPECT_FALSE(d->bb_OK->Enabled());
    });
    Form->sg_WszystkieNormyDblClickCell(Grid, 3, 1);

    // Confirmed: the grid holds the new values, the file stays until the user saves.
    ScriptDialogs()
        .ExpectModal("f_SprawdzNorme", mrOk,
                     [this](TForm* f) {
                         // The shop's page of the standard is asked for.
                         ASSERT_TRUE(WaitUntil([&] { return !Server.Requests().empty(); }));
                         EXPECT_NE(Server.Requests().back().find("pfsymbol=PN-EN%2010088-1:2007&"), std::string::npos)
                             << Server.Requests().back();
                         auto* d = static_cast<Tf_SprawdzNorme*>(f);
                         d->m_Tytul->SetText("Stale nierdzewne");
                         d->cb_StanNormy->SetItemIndex(d->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
                         d->e_ZastopionaPrzez->SetText("PN-EN 10088-1:2014");
                     })
        .ExpectMessageBox(IDNO, "Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.\r\rZapisać wszystkie "
                                "wprowadzone zmiany ???");
    Form->sg_WszystkieNormyDblClickCell(Grid, 1, 1);
    EXPECT_EQ(Grid->Cells(2, 1), "Nieaktualna");
    EXPECT_EQ(Grid->Cells(3, 1), "Dostępna");
    EXPECT_EQ(Grid->Cells(4, 1), "PN-EN 10088-1:2014");
    EXPECT_EQ(Grid->Cells(5, 1), "Stale nierdzewne");
    EXPECT_TRUE(NormListModified);
    EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"), ThreeStandardsFile);
}

}  // namespace
