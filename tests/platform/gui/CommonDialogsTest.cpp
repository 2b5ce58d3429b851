#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "platform/core/SysUtils.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/Printers.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

class CommonDialogs : public ::testing::Test {
protected:
    void SetUp() override { ClearRecordedDialogs(); }
    void TearDown() override { EXPECT_TRUE(VerifyNoPendingDialogs()); }

    static std::function<void(TDialogRequest&)> Answer(std::vector<AnsiString> values)
    {
        return [values](TDialogRequest& r) { r.Values = values; };
    }
};

}  // namespace

TEST_F(CommonDialogs, FileDialogsReturnTheScriptedNamesWithTheDefaultExtension)
{
    struct Case {
        std::vector<AnsiString> answer;
        AnsiString defaultExt;
        TOpenOptions options;
        int result;
        bool accepted;
        std::vector<AnsiString> files;
    } cases[] = {
        {{"/tmp/eksport/raport"}, "csv", 0, IDOK, true, {"/tmp/eksport/raport.csv"}},
        {{"/tmp/eksport/raport.txt"}, "csv", 0, IDOK, true, {"/tmp/eksport/raport.txt"}},
        {{"/tmp/eksport/Wykaz_łączny"}, ".xls", 0, IDOK, true, {"/tmp/eksport/Wykaz_łączny.xls"}},
        {{"/tmp/eksport/raport"}, "", 0, IDOK, true, {"/tmp/eksport/raport"}},
        {{"/tmp/a.dat", "/tmp/b"}, "dat", ofAllowMultiSelect, IDOK, true, {"/tmp/a.dat", "/tmp/b.dat"}},
        {{"/tmp/x"}, "csv", 0, IDCANCEL, false, {}},
        {{""}, "csv", 0, IDOK, false, {}},
    };
    for (const Case& c : cases) {
        TSaveDialog d(nullptr);
        d.SetDefaultExt(c.defaultExt);
        d.SetOptions(c.options | ofNoChangeDir);
        d.SetFileName("poprzedni.csv");
        d.SetTitle("Zapisz jako");
        AnsiString shownName;
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", c.result, [&](TDialogRequest& r) {
            shownName = r.Values.empty() ? AnsiString() : r.Values[0];
            r.Values = c.answer;
        });
        EXPECT_EQ(c.accepted, d.Execute()) << c.answer[0];
        EXPECT_EQ("poprzedni.csv", shownName);
        if (c.accepted) {
            ASSERT_EQ(int(c.files.size()), d.Files()->Count());
            for (size_t i = 0; i < c.files.size(); ++i)
                EXPECT_EQ(c.files[i], d.Files()->Strings(int(i)));
            EXPECT_EQ(c.files[0], d.FileName());
        } else {
            EXPECT_EQ("poprzedni.csv", d.FileName());
        }
    }
    ASSERT_FALSE(RecordedDialogs().empty());
    EXPECT_EQ("TSaveDialog", RecordedDialogs().back().Name);
    EXPECT_EQ("Zapisz jako", RecordedDialogs().back().Caption);
}

TEST_F(CommonDialogs, ANameTypedWithoutAnExtensionTakesTheChosenFiltersOne)
{
    const AnsiString filter = "Plik HTML|*.html|Plik CSV|*.csv|Wszystkie|*.*|Obrazy|*.bmp;*.png";
    const struct {
        int Index;   // the filter chosen in the dialog
        AnsiString DefaultExt, Typed, File;
    } cases[] = {
        {2, "html", "/tmp/katalog", "/tmp/katalog.csv"},
        {1, "html", "/tmp/katalog", "/tmp/katalog.html"},
        {3, "html", "/tmp/katalog", "/tmp/katalog.html"},   // no one extension: DefaultExt
        {4, "html", "/tmp/katalog", "/tmp/katalog.html"},
        {2, "html", "/tmp/katalog.txt", "/tmp/katalog.txt"},
        {2, "", "/tmp/katalog", "/tmp/katalog"},   // without DefaultExt as typed
    };
    for (const auto& c : cases) {
        TSaveDialog d(nullptr);
        d.SetFilter(filter);
        d.SetDefaultExt(c.DefaultExt);
        d.SetOptions(ofNoChangeDir);
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", IDOK, [&](TDialogRequest& r) {
            static_cast<TSaveDialog*>(r.Dialog)->SetFilterIndex(c.Index);
            r.Values = {c.Typed};
        });
        EXPECT_TRUE(d.Execute());
        EXPECT_EQ(d.FileName(), c.File) << c.Index << " " << c.Typed;
    }
}

TEST_F(CommonDialogs, AFileDialogOpensInItsInitialFolderElseInTheHomeFolder)
{
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const TTempDir folder("velmarok-home");
    ::setenv("HOME", folder.Path.c_str(), 1);
    for (const AnsiString& initial : {AnsiString(), AnsiString("/usr")}) {
        TSaveDialog d(nullptr);
        d.SetInitialDir(initial);
        d.SetFileName("katalog.html");
        AnsiString texts;
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", IDCANCEL,
                                     [&](TDialogRequest& r) { texts = ShownDialogTexts(r); });
        EXPECT_FALSE(d.Execute());
        EXPECT_NE(texts.find("\r\n" + (initial.empty() ? AnsiString(folder.Path.string()) : initial) + "\r\n"), AnsiString::npos)
            << texts;
    }
    ::setenv("HOME", home.c_str(), 1);
}

TEST_F(CommonDialogs, OpenDialogChangesTheCurrentFolderUnlessAskedNotTo)
{
    AnsiString before = GetCurrentDir();
    AnsiString dir = "/tmp/";
    TOpenDialog d(nullptr);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK, Answer({dir + "plik.ini"}));
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(ExcludeTrailingPathDelimiter(ExpandFileName(dir)), ExcludeTrailingPathDelimiter(GetCurrentDir()));
    SetCurrentDir(before);
    d.SetOptions(d.Options() | ofNoChangeDir);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK, Answer({dir + "plik.ini"}));
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(before, GetCurrentDir());
}

TEST_F(CommonDialogs, AnUnscriptedCommonDialogFailsTheTest)
{
    TOpenDialog open(nullptr);
    EXPECT_THROW(open.Execute(), EUnexpectedDialog);
    AnsiString dir = "/tmp";
    EXPECT_THROW(SelectDirectory("Folder", "", dir), EUnexpectedDialog);
    TColorDialog colour(nullptr);
    EXPECT_THROW(colour.Execute(), EUnexpectedDialog);
    EXPECT_EQ("/tmp", dir);
}

TEST_F(CommonDialogs, ColourFontFolderAndPrinterDialogsTakeTheScriptedChoice)
{
    TColorDialog colour(nullptr);
    colour.SetColor(clBlue);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TColorDialog", IDOK, Answer({"clRed"}));
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(clRed, colour.Color());
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TColorDialog", IDOK, Answer({"$00123456"}));
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(TColor(0x123456), colour.Color());
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TColorDialog", IDCANCEL, Answer({"clLime"}));
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(TColor(0x123456), colour.Color());

    TFontDialog font(nullptr);
    font.Font()->SetColor(clMaroon);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TFontDialog", IDOK,
                                 Answer({"Verdana", "14", IntToStr(fsBold | fsItalic)}));
    EXPECT_TRUE(font.Execute());
    EXPECT_EQ("Verdana", font.Font()->Name());
    EXPECT_EQ(14, font.Font()->Size());
    EXPECT_EQ(TFontStyles(fsBold | fsItalic), font.Font()->Style());
    EXPECT_EQ(clMaroon, font.Font()->Color());

    AnsiString dir = "/start";
    AnsiString shown;
    ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDOK, [&](TDialogRequest& r) {
        shown = r.Values[0];
        r.Values = {"/home/użytkownik/Wykazy"};
    });
    EXPECT_TRUE(SelectDirectory("Wybierz folder", "", dir));
    EXPECT_EQ("/start", shown);
    EXPECT_EQ("/home/użytkownik/Wykazy", dir);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDCANCEL);
    EXPECT_FALSE(SelectDirectory("Wybierz folder", "", dir));
    EXPECT_EQ("/home/użytkownik/Wykazy", dir);

    TPrinterSetupDialog setup(nullptr);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrinterSetupDialog", IDOK, Answer({"landscape"}));
    EXPECT_TRUE(setup.Execute());
    EXPECT_EQ(poLandscape, Printer()->Orientation());
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrinterSetupDialog", IDCANCEL, Answer({"portrait"}));
    EXPECT_FALSE(setup.Execute());
    EXPECT_EQ(poLandscape, Printer()->Orientation());
    Printer()->SetOrientation(poPortrait);
}

TEST_F(CommonDialogs, TheToolkitsOwnDialogsSpeakPolish)
{
    TOpenDialog open(nullptr);
    TSaveDialog save(nullptr);
    TPrintDialog print(nullptr);
    TPrinterSetupDialog setup(nullptr);
    TColorDialog colour(nullptr);
    struct Case {
        const char* Name;
        std::function<bool()> Execute;
        std::vector<const char*> Texts;   // each shown
    };
    const Case cases[] = {
        {"TOpenDialog", [&] { return open.Execute(); }, {"&Otwórz", "Anuluj", "Szukaj w:", "Nazwa &pliku:"}},
        {"TSaveDialog", [&] { return save.Execute(); }, {"&Zachowaj", "Anuluj", "Pliki rodzaju:"}},
        {"TPrintDialog", [&] { return print.Execute(); }, {"Drukowanie", "Wy&drukuj", "Anuluj", "Kopie"}},
        {"TPrinterSetupDialog", [&] { return setup.Execute(); }, {"Drukowanie", "&Właściwości", "Anuluj"}},
        {"TColorDialog", [&] { return colour.Execute(); }, {"Wybierz kolor", "Anuluj", "Wła&sne kolory"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        AnsiString texts;
        ScriptDialogs().ExpectDialog(dkCommonDialog, c.Name, IDCANCEL, [&](TDialogRequest& r) {
            texts = ShownDialogTexts(r, FromOsPath(ScreenshotPath(std::string("polish-") + c.Name + ".png")));
        });
        EXPECT_FALSE(c.Execute());
        // The window title first, then one text a line.
        for (const char* text : c.Texts)
            EXPECT_NE(("\r\n" + texts + "\r\n").find(AnsiString("\r\n") + text + "\r\n"), AnsiString::npos)
                << text << " in:\n" << texts;
    }
}
