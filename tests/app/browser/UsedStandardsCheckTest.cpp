#include <gtest/gtest.h>

#include <memory>

#include "app/Unit9_Waiting.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"

namespace {

// The list of used standards over ten registered standards of the catalogue,
// checked one by one in the check dialog against a local shop.
class UsedStandardsCheck : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 3;
        Server.Serve("/index.php", 200, "text/html; charset=utf-8", "<html><body>PN</body></html>");
        RedirectHostToTestServer("https://sklep.pkn.pl", Server);
        AnsiString catalogue, list;
        for (int i = 1; i <= 10; ++i) {
            AnsiString n = "PN-H-8402" + IntToStr(i - 1) + ":1989";
            catalogue += n + "|Aktualna|" + (i == 4 ? "jest" : "Brak") + "||Tytuł " + IntToStr(i) + "|Opis|\r\n";
            list += n + "|" + n + "|||\r\n";
        }
        LoadCatalogue(catalogue);
        Write("Wykazy\\a.txt", list + "PN-BRAK|PN-BRAK|||\r\n");
        Dialog = MakeDialog(f_SprawdzNorme);
        Waiting = MakeDialog(f_Waiting);
        List = MakeDialog(f_ListaUzywanychNorm);
        List->lb_ListaWykazow->Items()->Add("a.txt");
        List->Show();
    }
    TTestHttpServer Server;
    Tf_SprawdzNorme* Dialog = nullptr;
    Tf_Waiting* Waiting = nullptr;
    Tf_ListaUzywanychNorm* List = nullptr;
};

}  // namespace

TEST_F(UsedStandardsCheck, CancellingAsksWithTheRowsLeftAndAcceptedChangesGoIntoTheCatalogue)
{
    TProStringGrid* g = List->sg_ListaNorm;
    TProStringGrid* cat = Form->sg_WszystkieNormy;
    ASSERT_EQ(g->RowCount(), 13);   // ten found, one missing, the empty last row
    EXPECT_EQ(g->Cells(1, 1), "PN-BRAK");

    std::vector<AnsiString> captions;
    auto seen = [&](TForm*) { captions.push_back(Dialog->Caption()); };
    ScriptDialogs()
        .ExpectMessageBox(IDOK, "Zostaną sprawdzone tylko te normy, które zostały odnalezione w spisie.")
        .ExpectModal("f_SprawdzNorme", mrIgnore, seen)
        .ExpectModal("f_SprawdzNorme", mrCancel, seen)
        .ExpectMessageBox(IDNO, "Do końca pozostała (o/y) 8 pozycja (e/i).")
        .ExpectModal("f_SprawdzNorme", mrIgnore, seen)
        .ExpectModal("f_SprawdzNorme", mrOk,
                     [&](TForm* f) {
                         seen(f);
                         // The old holding word was converted in the catalogue itself.
                         EXPECT_EQ(Dialog->cb_StanPosiadania->Text(), "Dostępna");
                         EXPECT_EQ(Dialog->cb_StanNormy->Text(), "Aktualna");
                         EXPECT_EQ(Dialog->m_Tytul->Text(), "Tytuł 4");
                         EXPECT_EQ(Dialog->menu_NrNormy->Caption(), "PN-H-84023:1989");
                         EXPECT_NE(Dialog->menu_NrNormy->Hint().find("pfsymbol="), AnsiString::npos);
                         Dialog->cb_StanNormy->SetItemIndex(Dialog->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
                         Dialog->e_ZastopionaPrzez->SetText("PN-EN 10060:2006");
                     })
        .ExpectModal("f_SprawdzNorme", mrCancel, seen)
        .ExpectMessageBox(IDYES, "Do końca pozostała (o/y) 5 pozycja (e/i).");
    List->sb_SprawdzListeClick(nullptr);

    // The missing standard (row 1) is skipped; rows 2 to 6 were shown.
    EXPECT_EQ(captions, (std::vector<AnsiString>{"Sprawdź normę (nr 2/11 - 18,18%)", "Sprawdź normę (nr 3/11 - 27,27%)",
                                                 "Sprawdź normę (nr 4/11 - 36,36%)", "Sprawdź normę (nr 5/11 - 45,45%)",
                                                 "Sprawdź normę (nr 6/11 - 54,55%)"}));
    EXPECT_EQ(cat->Cells(3, 4), "Dostępna");
    EXPECT_EQ(cat->Cells(2, 4), "Nieaktualna");
    EXPECT_EQ(cat->Cells(4, 4), "PN-EN 10060:2006");
    EXPECT_EQ(g->Cells(2, 5), "Nieaktualna");
    EXPECT_EQ(g->Cells(3, 5), "PN-EN 10060:2006");
    EXPECT_TRUE(NormListModified);
}
