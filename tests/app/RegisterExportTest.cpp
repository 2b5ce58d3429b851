// A register of the menu saved in every format of the export page and each
// file read back; the page's checks; the register printed, previewed (and
// printed from the preview into a PDF file) and its print settings shown.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "app/Wykazy.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "grid/services/OfficePackage.h"
#include "grid/services/ProPreview.h"
#include "grid/services/ProPrintSettingsDialog.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Printers.h"
#include "tests/app/MainFormFixture.h"

namespace {

const AnsiString MenuFile = "[Kategorie]\r\nWyroby=1\r\n"
                        "[Wyroby]\r\nZawory=\r\n"
                        "[Zawory]\r\nZawór DN50=zawor.txt\r\nBez wykazu=\r\nUsunięty=usuniety.txt\r\n";
const AnsiString Register = "PN-EN 10025-2:2019|PN-EN 10025-2:2019|S235JR|Blacha górna|R-100-01|\r\n"
                            "PN-XX 1|PN-XX 1|Żeliwo|Korpus \"A\" & <B>|R-100-02|\r\n";

class RegisterExport : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        Grid = Form->sg_NowyEdytujWykaz;
        LoadCatalogue("PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n");
        Write("Ustawienia\\kategorie.ini", MenuFile);
        Write("Wykazy\\zawor.txt", Register);
        ForceDirectories(Path("Eksport"));
        Form->RunMenuCommand("Wyroby|Zapisz jako ...", "Zapisz jako ...");
    }
    void TearDown() override
    {
        SetPrinterOutputFile("");
        TMainFormTest::TearDown();
    }
    // Chooses the group, the item, the folder, the name and the format as the user does.
    void Choose(const AnsiString& Item, int Format, const AnsiString& Name = "wynik",
                const AnsiString& Folder = AnsiString())
    {
        Form->lb_Eksportuj_GrupyProduktow->SetItemIndex(0);
        Form->lb_Eksportuj_GrupyProduktowClick(nullptr);
        Form->lb_Eksportuj_ListaWykazow->SetItemIndex(Form->lb_Eksportuj_ListaWykazow->Items()->IndexOf(Item));
        Form->lb_Eksportuj_ListaWykazowClick(nullptr);
        Form->edt_Exportuj_Directory->SetText(Folder.empty() ? Path("Eksport\\") : Folder);
        Form->e_Exportuj_FileName->SetText(Name);
        Form->cb_Exportuj_ZapiszJakoTyp->SetItemIndex(Format);
        Form->edt_Exportuj_DirectoryChange(nullptr);
    }
    // The grid's cells of the data rows, row by row, "|" between cells.
    static AnsiString Rows(TProStringGrid* G, int FromRow)
    {
        AnsiString s;
        for (int r = FromRow; r < G->RowCount(); ++r) {
            for (int c = 0; c < G->ColCount(); ++c)
                s += G->Cells(c, r) + "|";
            s += "\n";
        }
        return s;
    }
    static bool Holds(const std::string& Text, const AnsiString& Part) { return Text.find(Part) != std::string::npos; }

    TProStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(RegisterExport, EveryFormatIsWrittenAndReadsBack)
{
    EXPECT_EQ(Form->cb_Exportuj_ZapiszJakoTyp->Items()->CommaText(),
              "\"Dokument DOC\",\"Dokument HTML\",\"Plik CSV\",\"Plik Excela XLS\",\"Plik tekstowy\",\"Plik XML\"");
    for (int format = 0; format < 6; ++format) {
        SCOPED_TRACE(format);
        Choose("Zawór DN50", format);
        // The proposed name is the register name the item would get.
        EXPECT_EQ(Form->e_Exportuj_FileName->Text(), "wynik");
        ASSERT_TRUE(Form->sb_Exportuj->Enabled());
        Form->sb_Exportuj->Click();
    }
    // The register was loaded into the register grid, matched against the catalogue.
    ASSERT_EQ(Grid->RowCount(), 4);
    EXPECT_EQ(Grid->Cells(5, 1), "Dostępna");
    EXPECT_EQ(Grid->Cells(3, 2), "Brak w spisie");
    // The state cell is coloured on the screen; the files other than the web
    // page hold the state word.
    EXPECT_NE(Grid->Cells(3, 1).find("<b>Aktualna</b>"), AnsiString::npos);
    Grid->SetCells(3, 1, "Aktualna");
    const AnsiString shown = Rows(Grid, 0);

    // CSV and the workbook hold every cell, the header row too.
    TProStringGrid csv(nullptr);
    csv.LoadFromCsvFile(Path("Eksport\\wynik.csv"));
    EXPECT_EQ(Rows(&csv, 0), shown);
    ASSERT_TRUE(FileExists(Path("Eksport\\wynik.xlsx")));
    TProStringGrid book(nullptr);
    book.LoadFromExcel(Path("Eksport\\wynik.xlsx"), "");
    EXPECT_EQ(Rows(&book, 0), shown);

    // The document's table: a row per grid row, the texts in UTF-8.
    ASSERT_TRUE(FileExists(Path("Eksport\\wynik.docx")));
    TOfficePackage doc;
    doc.LoadFromFile(Path("Eksport\\wynik.docx"), "Word");
    const std::string body = doc.Part("word/document.xml");
    size_t rows = 0;
    for (size_t at = body.find("<w:tr"); at != std::string::npos; at = body.find("<w:tr", at + 1))
        if (body.compare(at, 6, "<w:tr>") == 0 || body.compare(at, 6, "<w:tr ") == 0)
            ++rows;
    EXPECT_EQ(rows, 4u);
    EXPECT_TRUE(Holds(body, AnsiToUtf8("Blacha górna")));
    EXPECT_FALSE(Holds(body, "&lt;b&gt;"));
    EXPECT_TRUE(Holds(body, AnsiToUtf8("Korpus \"A\" &amp; &lt;B&gt;")) ||
                Holds(body, AnsiToUtf8("Korpus &quot;A&quot; &amp; &lt;B&gt;")));

    const std::string html = LoadBytesFromFile(Path("Eksport\\wynik.html"));
    EXPECT_TRUE(Holds(html, "<table"));
    EXPECT_TRUE(Holds(html, AnsiToUtf8("\">Blacha górna</td>\r\n")));
    EXPECT_TRUE(Holds(html, AnsiToUtf8("\">Część</td>\r\n")));
    // Typed text stays text; the state cell keeps its colour markup.
    EXPECT_TRUE(Holds(html, "\">Korpus &quot;A&quot; &amp; &lt;B&gt;</td>\r\n"));
    EXPECT_TRUE(Holds(html, "<b>Aktualna</b>"));

    TStringList text;
    text.SetText(LoadBytesFromFile(Path("Eksport\\wynik.txt")));
    ASSERT_EQ(text.Count(), 4);
    EXPECT_TRUE(Holds(text.Strings(0), "Norma w dokumentacji"));
    EXPECT_TRUE(Holds(text.Strings(1), "PN-EN 10025-2:2019"));
    EXPECT_TRUE(Holds(text.Strings(1), "Aktualna"));
    EXPECT_FALSE(Holds(text.Strings(1), "<b>"));
    EXPECT_TRUE(Holds(text.Strings(2), "Żeliwo"));

    // XML: the item names the root, each row is WYKAZ, the headers name the fields and empty
    // cells are left out.
    const std::string xml = LoadBytesFromFile(Path("Eksport\\wynik.xml"));
    EXPECT_EQ(xml.substr(0, xml.find('\n') + 1), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n");
    // Letters the declared encoding lacks are references in texts and "_" in names.
    EXPECT_TRUE(Holds(xml, "\r\n<Zaw_r_DN50>\r\n<WYKAZ>\r\n<Norma_w_dokumentacji>Norma w dokumentacji<"));
    EXPECT_TRUE(Holds(xml, "<WYKAZ>\r\n<FIELD0>2</FIELD0>\r\n<Norma_w_dokumentacji>PN-XX 1</Norma_w_dokumentacji>"));
    EXPECT_TRUE(Holds(xml, "<Cz___>Blacha g&#243;rna</Cz___>"));
    EXPECT_TRUE(Holds(xml, "<Stan_normy>Aktualna</Stan_normy>"));
    EXPECT_TRUE(Holds(xml, "<Cz___>Korpus &quot;A&quot; &amp; &lt;B&gt;</Cz___>"));
    EXPECT_FALSE(Holds(xml, "<Norma_aktualna></Norma_aktualna>"));
    EXPECT_FALSE(Holds(xml, "<Norma_aktualna>\"\"</Norma_aktualna>"));
    EXPECT_TRUE(Holds(xml, "</Zaw_r_DN50>\r\n"));
    size_t records = 0;
    for (size_t at = xml.find("<WYKAZ>"); at != std::string::npos; at = xml.find("<WYKAZ>", at + 1))
        ++records;
    EXPECT_EQ(records, 4u);   // the header row and the final empty row too

    // The same name again: written over without a question.
    Choose("Zawór DN50", 2);
    Form->sb_Exportuj->Click();
    EXPECT_EQ(Form->Strony->ActivePage(), "ZapiszWykazJako");
}

TEST_F(RegisterExport, ThePageRefusesWhatItCannotWrite)
{
    // A forbidden character empties the name at once.
    Choose("Zawór DN50", 2, "zły?");
    EXPECT_EQ(Form->e_Exportuj_FileName->Text(), "");
    EXPECT_FALSE(Form->sb_Exportuj->Enabled());
    Choose("Zawór DN50", 2, "a", Path("brak\\"));
    EXPECT_FALSE(Form->sb_Exportuj->Enabled());
    Choose("Zawór DN50", -1, "a");
    EXPECT_FALSE(Form->sb_Exportuj->Enabled());

    // An item without a register, or whose file was deleted, exports nothing.
    for (const char* item : {"Bez wykazu", "Usunięty"}) {
        Choose(item, 2, "nic");
        ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja nie ma przypisanego żadnego wykazu materiałowego !!!");
        Form->sb_Exportuj->Click();
        EXPECT_FALSE(FileExists(Path("Eksport\\nic.csv")));
    }

    // A folder typed without its closing "/" gets one; Enter in the name exports.
    const AnsiString folder = Path("Eksport");
    Choose("Zawór DN50", 4, "enter", folder);
    Word key = VK_RETURN;
    Form->e_Exportuj_FileName->OnKeyDown(Form->e_Exportuj_FileName, key, 0);
    EXPECT_EQ(Form->edt_Exportuj_Directory->Text(), folder + "/");
    EXPECT_TRUE(FileExists(Path("Eksport\\enter.txt")));

    // Unsaved changes of the open register kept by cancel: nothing is loaded or written.
    Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
    Grid->SetCells(1, 1, "niezapisana");
    Choose("Zawór DN50", 2, "anulowany");
    ScriptDialogs().ExpectMessageBox(IDCANCEL, "został zmodyfikowany");
    Form->sb_Exportuj->Click();
    EXPECT_FALSE(FileExists(Path("Eksport\\anulowany.csv")));
    EXPECT_EQ(Grid->Cells(1, 1), "niezapisana");

    Form->Show();
    SaveScreenshot(Form.get(), "register_export_page.png");
    Form->Hide();
}

TEST_F(RegisterExport, RegisterPrintedThroughThePreviewIntoAPdf)
{
    Form->OpenListFile(Path("Wykazy\\zawor.txt"), "Zawór DN50");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    const AnsiString pdf = Path("wydruk.pdf");
    SetPrinterOutputFile(pdf);
    ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
        auto* form = dynamic_cast<TProPreviewForm*>(f);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->Caption(), "Podgląd wydruku");
        SaveScreenshot(form, "register_print_preview.png");
        EXPECT_EQ(Grid->PrintPageCount(), 1);
        form->PrintButton()->Click();
    });
    Form->RunListCommand(Tf_MainForm::lcPreview);
    ASSERT_TRUE(FileExists(pdf));
    const std::string bytes = LoadBytesFromFile(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_GT(bytes.size(), 1000u);

    // "Drukuj": the print dialog first; cancelled, nothing is printed.
    DeleteFile(pdf);
    for (int answer : {mrCancel, mrOk}) {
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrintDialog", answer);
        Form->RunListCommand(Tf_MainForm::lcPrint);
        EXPECT_EQ(FileExists(pdf), answer == mrOk);
    }

    // In viewing mode the looked-up columns print too, the state in its colour.
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
        SaveScreenshot(f, "register_print_preview_viewing.png");
    });
    Form->RunListCommand(Tf_MainForm::lcPreview);

    // The settings dialog works on the register grid.
    ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrOk, [&](TForm* f) {
        auto* form = dynamic_cast<TProGridPrintSettingsForm*>(f);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->Grid, Grid);
    });
    Form->RunListCommand(Tf_MainForm::lcPrintSettings);
}

// "Drukuj": the print dialog offers the paper turned as the register prints and the turn picked
// there is what prints; the register's own print setting stays as it was.
TEST_F(RegisterExport, DrukujPrintsThePaperTurnedAsPickedInThePrintDialog)
{
    Form->OpenListFile(Path("Wykazy\\zawor.txt"), "Zawór DN50");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    const AnsiString pdf = Path("wydruk.pdf");
    SetPrinterOutputFile(pdf);
    const struct {
        TPrinterOrientation Setting;
        const char* Offered;
        const char* Picked;
    } cases[] = {
        {poPortrait, "portrait", "landscape"},
        {poLandscape, "landscape", "portrait"},
        {poLandscape, "landscape", "landscape"},
        {poPortrait, "portrait", "portrait"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.Offered) + " offered, " + k.Picked + " picked");
        Grid->PrintSettings()->SetOrientation(k.Setting);
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrintDialog", mrOk, [&](TDialogRequest& r) {
            ASSERT_FALSE(r.Values.empty());
            EXPECT_EQ(r.Values[0], k.Offered);
            r.Values.assign(1, k.Picked);
        });
        Form->RunListCommand(Tf_MainForm::lcPrint);
        // The printed page's media box: width and height in points.
        const AnsiString bytes = LoadBytesFromFile(pdf);
        const size_t box = bytes.find("/MediaBox [");
        ASSERT_NE(box, AnsiString::npos);
        double x0 = 0, y0 = 0, w = 0, h = 0;
        ASSERT_EQ(std::sscanf(bytes.c_str() + box + 11, "%lf %lf %lf %lf", &x0, &y0, &w, &h), 4);
        EXPECT_EQ(w > h, AnsiString(k.Picked) == "landscape") << w << " x " << h;
        EXPECT_EQ(Grid->PrintSettings()->Orientation(), k.Setting);
    }
}
