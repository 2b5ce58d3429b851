// The program as its users meet it, end to end: the four starts of a fresh program folder, then
// a working day in the fourth: a standard checked against the web shop (a local server standing
// in for it) in the check dialog and saved, a register opened from the menu, a cell edited and
// the register saved, the register exported to CSV, .xlsx and .docx, printed through the print
// preview to a PDF file, and the program closed. Files on disk are checked byte for byte where
// their form is fixed; every step leaves a screenshot <build>/screenshots/e2e-*.png.
#include <gtest/gtest.h>

#include <memory>

#include "app/U_WspolneFunkcje.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "grid/services/OfficePackage.h"
#include "grid/services/ProPreview.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Printers.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/DialogTest.h"
#include "tests/app/SampleCatalogue.h"
#include "tests/e2e/ProgramRun.h"

namespace {

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
        RedirectHostToTestServer("https://velmarok.invalid", Server);
        Pdf = FromOsPath((FRoot / "wydruk.pdf").string());
        SetPrinterOutputFile(Pdf);
    }
    void TearDown() override
    {
        SetPrinterOutputFile("");
        ClearHostRedirects();
        TEndToEnd::TearDown();
    }
    int ShopQueries() const { return RequestsTo(Server, "/index.php"); }

    TTestHttpServer Server;
    AnsiString Pdf;
};

}   // namespace

TEST_F(WorkDay, FourStartsOfAFreshFolderThenAWorkingDay)
{
    const AnsiString login = GetWindowsUserName();
    {
        TNetworkState offline(false);
        // First start: the once-only notice (no launcher), the default configuration, the end.
        ScriptDialogs()
            .ExpectMessageBox(IDNO, "TYLKO TEN JEDEN RAZ NA TYM KOMPUTERZE")
            .ExpectMessageBox(IDOK, "PROGRAM ZOSTANIE ZAMKNIĘTY, zostaną utworzone nowe pliki");
        EXPECT_EQ(Start(), 0);
        EXPECT_FALSE(ScenarioRan);
        ASSERT_TRUE(Exists("config.dat"));
        EXPECT_FALSE(Exists("Ustawienia"));
        ASSERT_TRUE(VerifyNoPendingDialogs());

        // Second: the users file, the login's settings, the sample catalogue, an empty menu file,
        // the end, and still the sample registers.
        ScriptDialogs()
            .ExpectMessageBox(IDOK, "jest uruchamiany na tym komputerze po raz pierwszy !!!.")
            .ExpectMessageBox(IDOK, "Czy mam stworzyć przykładowy spis teraz ???")
            .ExpectMessageBox(IDOK, "Stworzyłem nowy plik z ustawieniami.");
        EXPECT_EQ(Start(), 0);
        EXPECT_FALSE(ScenarioRan);
        EXPECT_TRUE(Exists("Ustawienia\\users.dat"));
        EXPECT_TRUE(Exists("Ustawienia\\" + login + ".dat"));
        EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"), SampleCatalogueFile);
        EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), "");
        EXPECT_EQ(Lines(Read("Wykazy\\z_u.txt")).size(), 13u);
        EXPECT_EQ(Lines(Read("Wykazy\\bez_u.txt")).size(), 12u);
        ASSERT_TRUE(VerifyNoPendingDialogs());

        // Third: the default menu tree into the empty menu file, the end.
        ScriptDialogs().ExpectMessageBox(IDOK, "Znalazłem plik z ustawieniami ale jest on pusty");
        EXPECT_EQ(Start(), 0);
        EXPECT_FALSE(ScenarioRan);
        TIniFile menu(Path("Ustawienia\\kategorie.ini"));
        EXPECT_EQ(menu.ReadString("Wykonanie A", "Wykonanie z uszczelką", ""), "z_u.txt");
        ASSERT_TRUE(VerifyNoPendingDialogs());
    }

    // Fourth: the window comes into use.
    TNetworkState online(true);
    const AnsiString exports = FromOsPath((FRoot / "eksport").string());
    ForceDirectories(exports);
    const int rc = Start([&](Tf_MainForm* Form) {
        TProStringGrid* catalogue = Form->sg_WszystkieNormy;
        EXPECT_EQ(Application->Title(), "Velmarok Polskich Norm v. 1.0");
        EXPECT_EQ(catalogue->RowCount(), 9);
        ASSERT_EQ(catalogue->Cells(1, 2), "PN-EN 10088-1:2007");
        Shot(Form, "01-main-window");

        // The second standard, checked in the shop from the menu: withdrawn and replaced.
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
        ASSERT_TRUE(ClickMenuItem(Form, "Normy", "Wybraną pozycję"));
        // The old holding word "Jest" becomes "Dostępna" when the standard is brought up to date.
        const std::vector<AnsiString> saved = Lines(Read("Katalog Norm\\normy_wszystkie.txt"));
        ASSERT_EQ(saved.size(), 7u);
        EXPECT_EQ(saved[1], "PN-EN 10088-1:2007|Nieaktualna|Dostępna|PN-EN 10088-1:2014|Stale odporne na korozję|"
                            "Część 1: Gatunki stali odpornych na korozję|");
        EXPECT_EQ(saved[2], Lines(SampleCatalogueFile)[2]);
        Shot(Form, "03-catalogue-saved");

        // The register of a product variant, from the product's panel.
        ASSERT_TRUE(ClickMenuItem(Form, "Wyrób 1", "Wykonanie z uszczelką"));
        Shot(Form, "04-register-opened");
        EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
        TProStringGrid* reg = Form->sg_NowyEdytujWykaz;
        ASSERT_EQ(reg->Cells(1, 1), "PN-EN 10130:2007");
        // Looked up in the catalogue: the state just saved.
        EXPECT_NE(reg->Cells(3, 4).find("Aktualna"), AnsiString::npos) << reg->Cells(3, 4);

        // A cell edited and the register saved.
        Click(Form->sb_NowyWykaz_Edytuj, 5, 5);
        ASSERT_TRUE(Form->ListEditing());
        at = CellCentre(reg, 3, 1);
        Click(reg, at.X, at.Y);
        TypeText(reg, "B");
        ASSERT_TRUE(reg->InplaceEditor() && reg->InplaceEditor()->Visible());
        TypeText(reg->InplaceEditor(), "LACHA DC01 #1,5");
        Shot(Form, "05-register-edit");
        TypeKey(reg->InplaceEditor(), VK_RETURN);
        ASSERT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
        Click(Form->sb_Edytuj_ZapiszZmiany, 5, 5);
        const std::vector<AnsiString> regLines = Lines(Read("Wykazy\\z_u.txt"));
        ASSERT_EQ(regLines.size(), 13u);
        EXPECT_EQ(regLines[0], "PN-EN 10130:2007|PN-EN 10130:2007|BLACHA DC01 #1,5|WSPORNIK|00.0001|");
        EXPECT_EQ(regLines[1], "PN-EN 1652:1999|PN-EN 1652 : 1999|BLACHA MOS.  M63 z4  #0,50 x 600 x 2000|KOŃCÓWKA|"
                               "00.0002|");
        EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
        Shot(Form, "06-register-saved");

        // Printed through the preview, from the register's "Wykaz" menu: the printer writes the PDF file.
        ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
            auto* preview = dynamic_cast<TProPreviewForm*>(f);
            ASSERT_NE(preview, nullptr);
            Shot(preview, "07-print-preview");
            Click(preview->PrintButton(), 5, 5);
        });
        TMenuItem* preview = Form->pm_Wykaz->Items()->Find("Podgląd wydruku");
        ASSERT_NE(preview, nullptr);
        preview->Click();
        ASSERT_TRUE(FileExists(Pdf));
        EXPECT_EQ(LoadBytesFromFile(Pdf).substr(0, 5), "%PDF-");

        // Exported from the product's panel, in three forms.
        struct {
            const char* Entry;
            const char* File;
        } forms[] = {{"Plik CSV", "wykaz.csv"}, {"Plik Excela XLS", "wykaz.xlsx"}, {"Dokument DOC", "wykaz.docx"}};
        for (const auto& f : forms) {
            ASSERT_TRUE(ClickMenuItem(Form, "Wyrób 1", "Zapisz jako ..."));
            EXPECT_EQ(Form->Strony->ActivePage(), "ZapiszWykazJako");
            ASSERT_TRUE(ClickListItem(Form->lb_Eksportuj_GrupyProduktow, "Wykonanie A"));
            ASSERT_TRUE(ClickListItem(Form->lb_Eksportuj_ListaWykazow, "Wykonanie z uszczelką"));
            Form->edt_Exportuj_Directory->SetText("");
            Form->edt_Exportuj_Directory->SetFocus();
            TypeText(Form->edt_Exportuj_Directory, exports);
            Form->e_Exportuj_FileName->SetFocus();
            Form->e_Exportuj_FileName->SetText("");
            TypeText(Form->e_Exportuj_FileName, "wykaz");
            TComboBox* type = Form->cb_Exportuj_ZapiszJakoTyp;
            type->SetFocus();
            TypeKey(type, VK_HOME);
            for (int i = 0; i < 10 && type->Text() != f.Entry; ++i)
                TypeKey(type, VK_DOWN);
            ASSERT_EQ(type->Text(), f.Entry);
            ASSERT_TRUE(Form->sb_Exportuj->Enabled());
            Shot(Form, std::string("08-export-") + f.File);
            Click(Form->sb_Exportuj, 5, 5);
            EXPECT_TRUE(FileExists(exports + "/" + f.File)) << f.File;
        }
        // CSV: "," between fields, a field holding "," in quotes, an empty one as two quotes.
        const std::vector<AnsiString> csv = Lines(LoadBytesFromFile(exports + "/wykaz.csv"));
        ASSERT_GE(csv.size(), 14u);
        EXPECT_EQ(csv[1], "1,PN-EN 10130:2007,PN-EN 10130:2007,Brak w spisie,\"\",\"\",\"BLACHA DC01 #1,5\",WSPORNIK,"
                          "00.0001");
        TOfficePackage xlsx;
        xlsx.LoadFromFile(exports + "/wykaz.xlsx", "workbook");
        std::string sheet = xlsx.Part("xl/sharedStrings.xml") + xlsx.Part("xl/worksheets/sheet1.xml");
        EXPECT_NE(sheet.find("BLACHA DC01 #1,5"), std::string::npos);
        TOfficePackage docx;
        docx.LoadFromFile(exports + "/wykaz.docx", "document");
        EXPECT_NE(docx.Part("word/document.xml").find("BLACHA DC01 #1,5"), std::string::npos);

        // Closed through the window's frame: nothing is left to save, nothing is asked.
        CloseWindowByUser(Form);
    });
    EXPECT_TRUE(ScenarioRan);
    EXPECT_EQ(rc, 0);
}
