// Hostile input for the program's own files: the catalogue, registers, tab-separated text to
// import, the menu file and the scrambled configuration, users and settings files. The main
// window reads them as it does at work; every message box it shows is answered with OK and
// counted as a refusal, and it must show one with a text or read the file.
#include <gtest/gtest.h>

#include "app/Katalog.h"
#include "app/U_WspolneFunkcje.h"
#include "app/Wykazy.h"
#include "controls/ToolEdit.h"
#include "controls/ToolPanels.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/TestSupport.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"
#include "tests/common/Fuzz.h"
#include "tests/common/TestFiles.h"

namespace {

const std::string RegisterSample =
    "PN-EN 10130:2007|PN-EN 10130:2007|BLACHA   Z-II-T   #2 x 1000 x 2000|WSPORNIK|00.0001|\r\n"
    "PN-EN 1652:1999|PN-EN 1652 : 1999|BLACHA MOS.  M63 z4  #0,50 x 600 x 2000|KOŃCÓWKA|00.0002|\r\n"
    "PN-EN ISO 1207:1999|PN-EN ISO 1207:1999|WKRĘT  M4 x 12 – 5.8-B       Fe/Zn|WKRĘT SPECJALNY|00.0001|\r\n"
    "|BN-73/6616-14|PŁYTA GUMOWA  2-40-B-a-I  #2 x 1100 x Rulon|USZCZELKA|00.0004|\r\n";

const std::string MenuSample =
    "[Kategorie]\r\nWyroby=\r\nUkryte=0\r\n\r\n[Wyroby]\r\nOkna=\r\nDrzwi=\r\n\r\n[Okna]\r\n"
    "Wykonanie z uszczelką=z_u.txt\r\nWykonanie bez uszczelki=bez_u.txt\r\n\r\n[Drzwi]\r\nDrzwi=..\\poza.txt\r\n"
    "\r\n[Ukryte]\r\nx=\r\n";

// Answers every message box with OK (or Yes) and counts them while it lives.
struct TAnyBoxAnswered {
    int Boxes = 0;
    bool EmptyText = false;
    TDialogHook Old;
    TAnyBoxAnswered()
    {
        Old = SetDialogHook([this](TDialogRequest& R) {
            if (R.Kind != dkMessageBox)
                return int(mrCancel);
            ++Boxes;
            EmptyText |= R.Text.empty();
            return (R.Flags & 0xF) == MB_YESNO || (R.Flags & 0xF) == MB_YESNOCANCEL ? IDNO : IDOK;
        });
    }
    ~TAnyBoxAnswered() { SetDialogHook(Old); }
    // True when the call showed no box, false when it showed one (a refusal).
    bool Quiet(int Before) const { return Boxes == Before; }
};

class FuzzMainForm : public TMainFormTest {};

}   // namespace

TEST_F(FuzzMainForm, CatalogueFilesLoadOrAreRefusedWithAMessage)
{
    TAnyBoxAnswered boxes;
    FuzzParser("catalogue", {SampleCatalogueFile}, 300, 301, [&](const std::string& bytes) {
        const int before = boxes.Boxes;
        LoadCatalogue(bytes);
        TProStringGrid* g = Form->sg_WszystkieNormy;
        EXPECT_GE(g->RowCount(), 2);
        EXPECT_EQ(g->ColCount(), NormColCount);
        // No cell of a row holds a line break: each record line is one row.
        for (int r = 1; r < g->RowCount() && r < 50; ++r)
            for (int c = 1; c < NormColCount; ++c)
                EXPECT_EQ(g->Cells(c, r).find_first_of("\r\n"), AnsiString::npos) << r << "," << c;
        return boxes.Quiet(before);
    });
    EXPECT_FALSE(boxes.EmptyText);
}

TEST_F(FuzzMainForm, RegistersOpenOrAreRefusedWithAMessage)
{
    TAnyBoxAnswered boxes;
    LoadCatalogue(SampleCatalogueFile);
    FuzzParser("register", {RegisterSample}, 300, 311, [&](const std::string& bytes) {
        const int before = boxes.Boxes;
        Write("Wykazy\\fuzz.txt", bytes);
        Form->OpenListFile(Path("Wykazy\\fuzz.txt"), "Wykonanie");
        EXPECT_GE(Form->sg_NowyEdytujWykaz->RowCount(), 2);
        return boxes.Quiet(before);
    });
    EXPECT_FALSE(boxes.EmptyText);
}

TEST(FuzzImport, TabSeparatedTextBecomesRegisterLines)
{
    const std::vector<std::string> samples = {
        "Część\tRysunek\tMateriał\tNorma\r\nWSPORNIK\t00.0001\tBLACHA Z-II-T #2\tPN-EN 10130:2007\r\n"
        "\"KOŃCÓWKA\r\nDRUGA\"\t00.0002\t\"BLACHA \"\"MOS\"\"\"\tPN-EN 1652:1999\r\nza mało\tpól\r\n",
        "a\tb\tc\td\ne\tf\tg\th\n\"otwarty\tcudzysłów\n",
    };
    FuzzParser("tab-separated import", samples, 400, 321, [](const std::string& text) {
        int steps = 0;
        TListImport im = ImportListText(text, [&](int) { ++steps; });
        EXPECT_GE(im.Dropped, 0);
        EXPECT_LE(im.Dropped, im.Lines);
        // Each register line reads back as five fields of one line.
        const std::vector<AnsiString> lines = Lines(im.Text);
        EXPECT_LE(int(lines.size()), im.Lines - im.Dropped);   // lines of empty cells are left out too
        for (const AnsiString& line : lines)
            EXPECT_EQ(ListLine(SplitListLine(line)), line);
        return im.Dropped == 0;
    });
}

TEST_F(FuzzMainForm, MenuFilesFillTheMenuEditorOrAreRefused)
{
    TAnyBoxAnswered boxes;
    const AnsiString menu = Path("Ustawienia\\kategorie.ini");
    Form->edt_Menu->SetFileName(menu);
    FuzzParser("menu file", {MenuSample, Utf16(MenuSample, false), "\xEF\xBB\xBF" + AnsiToUtf8(MenuSample)}, 300, 331, [&](const std::string& bytes) {
        const int before = boxes.Boxes;
        Write("Ustawienia\\kategorie.ini", bytes);
        // The main menu built from it, as start-up builds it, then taken down for the next case.
        bool basics = true;
        Form->BuildMainMenu(basics);
        TProToolPanelTab* strip = Form->ProToolPanelTab;
        while (strip->Panels()->Count() > 0) {
            TProToolPanel* panel = strip->Panels()->Items(0)->Panel();
            strip->RemovePanel(panel);
            delete panel;
        }
        ClearApplicationTerminated();
        Form->LoadMenuSettings();
        TStrings* categories = Form->clb_MG_PrzyciskiMenuGlownego->Items();
        for (int c = 0; c < categories->Count() && c < 20; ++c) {
            Form->ReadCategoryNames(categories->Strings(c), Form->lb_G_Spis);
            for (int g = 0; g < Form->lb_G_Spis->Count() && g < 20; ++g)
                Form->ReadCategoryNames(Form->lb_G_Spis->Items()->Strings(g), Form->lb_W_Spis);
        }
        return boxes.Quiet(before);
    });
}

TEST(FuzzScrambled, ScrambledFilesDecodeAndReadAsIniFiles)
{
    TTempDir dir("velmarok-fuzz-dat");
    const AnsiString dat = FromOsPath(dir / "users.dat");
    const std::vector<std::string> samples = {
        EncodeScrambledText("[UsersName]\r\njkowalski=\r\n[Level]\r\njkowalski=4\r\n[Options]\r\nRunUserOut=0\r\n"),
        EncodeScrambledText("Katalog Norm\\normy_wszystkie.txt\r\nWykazy\\\r\nUstawienia\\kategorie.ini\r\n"
                            "Użytkownicy\\\r\nKopie\\\r\nkierownik\r\n1\r\n0\r\n1\r\n"),
    };
    FuzzParser("scrambled files", samples, 400, 341, [&](const std::string& bytes) {
        const AnsiString plain = DecodeScrambledText(bytes);
        // The plain text scrambles and reads back as the same lines.
        EXPECT_EQ(Lines(plain), Lines(DecodeScrambledText(EncodeScrambledText(plain))));
        SaveBytesToFile(dat, bytes);
        TPlainCopy copy(dat);
        TIniFile ini(copy.FileName());
        TStringList users;
        ini.ReadSectionValues("UsersName", &users);
        ini.ReadInteger("Level", "jkowalski", 0);
        return true;
    });
}

TEST(FuzzVersion, VersionInformationFromTheSiteIsReadOrLeftOut)
{
    // The file the maker's site publishes, fetched from a local server standing in for the site.
    TTestHttpServer server;
    RedirectHostToTestServer("https://velmarok.invalid", server);
    Tf_MainForm form(nullptr);
    const std::vector<std::string> samples = {
        "[dane]\r\nQVHomePage=https://velmarok.invalid/\r\nCV_File=https://velmarok.invalid/praca.html\r\n\r\n"
        "[QDR]\r\nversion=1.2.0.0\r\nurl=https://velmarok.invalid/velmarok.zip\r\nnew=Nowa wersja: wyszukiwanie\r\n",
        "[QDR]\nversion=10.0.0.0\nurl=ftp://zle\n",
    };
    FuzzParser("version information", samples, 150, 351, [&](const std::string& bytes) {
        server.Serve("/version.ini", 200, "text/plain", bytes);
        RunningVersion = "1.0.0.0";
        PublishedVersion = UpdateAddress = NewsText = "";
        form.FetchVersionInfo();
        form.IsNewerVersion();
        // Only web addresses are taken as addresses to open.
        EXPECT_TRUE(UpdateAddress.empty() || AnsiLowerCase(UpdateAddress).rfind("http", 0) == 0) << UpdateAddress;
        EXPECT_FALSE(FileExists(PrivateTempFolder() + "dane.ini"));
        return true;
    });
    ClearHostRedirects();
    RunningVersion = PublishedVersion = UpdateAddress = NewsText = "";
}
