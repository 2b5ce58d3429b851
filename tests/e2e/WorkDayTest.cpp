// A working day with the program, end to end: the program starts on its folder, a standard is
// checked against the web shop (a local server standing in for it) in the check dialog and
// saved, a register is opened, a cell edited and the register saved, and the program is closed.
// Files on disk are checked byte for byte; every step leaves a screenshot.
#include <gtest/gtest.h>

#include "app/U_WspolneFunkcje.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/DialogTest.h"
#include "tests/e2e/ProgramRun.h"

namespace {

const AnsiString Catalogue =
    "PN-H-92747:1987|Wycofana bez zastąpienia|Jest||Aluminium|Blachy do głębokiego tłoczenia|\r\n"
    "PN-EN 10088-1:2007|Aktualna|Jest||Stale odporne na korozję|Część 1: Gatunki stali odpornych na korozję|\r\n"
    "PN-M-82144:1986|Nieaktualna|Jest|PN-EN ISO 4032:2004|Nakrętki sześciokątne||\r\n";

const AnsiString Register =
    "PN-EN 10130:2007|PN-EN 10130:2007|BLACHA   Z-II-T   #2 x 1000 x 2000|WSPORNIK|00.0001|\r\n"
    "PN-EN 10088-1:2007|PN-EN 10088-1:2007|BLACHA X5CrNi18-10|OSŁONA|00.0002|\r\n";

// The middle of a grid cell, in the grid's client coordinates.
TPoint CellCentre(TProStringGrid* Grid, int ACol, int ARow)
{
    TRect r = Grid->CellRect(ACol, ARow);
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

class WorkDay : public TEndToEnd {
protected:
    void SetUp() override
    {
        TEndToEnd::SetUp();
        Server.Serve("/index.php", 200, "text/html; charset=windows-1250",
                     "<html><body><h1>Sklep</h1><p>PN-EN 10088-1:2007 - norma wycofana, zastąpiona przez "
                     "PN-EN 10088-1:2014</p></body></html>");
        RedirectHostToTestServer("https://sklep.pkn.pl", Server);
    }
    void TearDown() override
    {
        ClearHostRedirects();
        TEndToEnd::TearDown();
    }
    int ShopQueries() const
    {
        int n = 0;
        for (const AnsiString& r : Server.Requests())
            n += r.find("/index.php") == 0;
        return n;
    }

    TNetworkState Online{true};
    TTestHttpServer Server;
};

}   // namespace

TEST_F(WorkDay, CheckAStandardEditARegisterSaveAndClose)
{
    Write("Katalog Norm\\normy_wszystkie.txt", Catalogue);
    Write("Wykazy\\z_u.txt", Register);
    CurrentUserLevel = 4;

    const int rc = Start([&](Tf_MainForm* Form) {
        TProStringGrid* catalogue = Form->sg_WszystkieNormy;
        ASSERT_EQ(catalogue->Cells(1, 2), "PN-EN 10088-1:2007");
        Shot(Form, "01-main-window");

        // The second standard, checked in the shop: withdrawn and replaced.
        TPoint at = CellCentre(catalogue, 1, 2);
        Click(catalogue, at.X, at.Y);
        ASSERT_EQ(catalogue->Row(), 2);
        ScriptDialogs()
            .ExpectModal("f_SprawdzNorme", mrOk,
                         [&](TForm*) {
                             Tf_SprawdzNorme* d = f_SprawdzNorme;
                             EXPECT_EQ(d->e_NrNormy->Text(), "PN-EN 10088-1:2007");
                             EXPECT_TRUE(WaitUntil([&] { return ShopQueries() > 0 && !d->webPodglad->Busy(); }));
                             EXPECT_EQ(d->menu_NrNormy->Hint(), BuildCatalogQueryUrl("PN-EN 10088-1:2007"));
                             // The state chosen from the list with the keyboard, the replacement typed.
                             d->cb_StanNormy->SetFocus();
                             for (int i = 0; i < 10 && d->cb_StanNormy->Text() != "Nieaktualna"; ++i)
                                 TypeKey(d->cb_StanNormy, VK_DOWN);
                             EXPECT_EQ(d->cb_StanNormy->Text(), "Nieaktualna");
                             ASSERT_TRUE(d->e_ZastopionaPrzez->Enabled());
                             d->e_ZastopionaPrzez->SetFocus();
                             TypeText(d->e_ZastopionaPrzez, "PN-EN 10088-1:2014");
                             Shot(d, "02-check-dialog");
                             ASSERT_TRUE(d->bb_OK->Enabled());
                             Click(d->bb_OK, d->bb_OK->Width() / 2, d->bb_OK->Height() / 2);
                         })
            .ExpectMessageBox(IDYES, "Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.")
            .ExpectMessageBox(IDNO, "Zrobić kopię")
            .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
        Form->RunMenuCommand("Wybraną pozycję", "Wybraną pozycję");
        // The old holding word "Jest" becomes "Dostępna" when the standard is brought up to date.
        EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"),
                  "PN-H-92747:1987|Wycofana bez zastąpienia|Jest||Aluminium|Blachy do głębokiego tłoczenia|\r\n"
                  "PN-EN 10088-1:2007|Nieaktualna|Dostępna|PN-EN 10088-1:2014|Stale odporne na korozję|"
                  "Część 1: Gatunki stali odpornych na korozję|\r\n"
                  "PN-M-82144:1986|Nieaktualna|Jest|PN-EN ISO 4032:2004|Nakrętki sześciokątne||\r\n");
        Shot(Form, "03-catalogue-saved");

        // The register of a product variant, its material changed and saved.
        Form->RunMenuCommand("z_u.txt", "Wykonanie z uszczelką");
        EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
        TProStringGrid* reg = Form->sg_NowyEdytujWykaz;
        // Looked up in the catalogue: the state just saved.
        EXPECT_NE(reg->Cells(3, 2).find("Nieaktualna"), AnsiString::npos) << reg->Cells(3, 2);
        Click(Form->sb_NowyWykaz_Edytuj, 5, 5);
        ASSERT_TRUE(Form->ListEditing());
        at = CellCentre(reg, 3, 1);
        Click(reg, at.X, at.Y);
        TypeText(reg, "B");
        ASSERT_TRUE(reg->InplaceEditor() && reg->InplaceEditor()->Visible());
        TypeText(reg->InplaceEditor(), "LACHA DC01 #1,5");
        Shot(Form, "04-register-edit");
        TypeKey(reg->InplaceEditor(), VK_RETURN);
        ASSERT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
        Click(Form->sb_Edytuj_ZapiszZmiany, 5, 5);
        EXPECT_EQ(Read("Wykazy\\z_u.txt"),
                  "PN-EN 10130:2007|PN-EN 10130:2007|BLACHA DC01 #1,5|WSPORNIK|00.0001|\r\n"
                  "PN-EN 10088-1:2007|PN-EN 10088-1:2007|BLACHA X5CrNi18-10|OSŁONA|00.0002|\r\n");
        EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
        Shot(Form, "05-register-saved");

        // Closed through the window's frame: nothing is left to save, nothing is asked.
        CloseWindowByUser(Form);
    });
    EXPECT_TRUE(ScenarioRan);
    EXPECT_EQ(rc, 0);
}
