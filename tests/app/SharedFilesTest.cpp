// Two logins on one program folder: a save over a file that another login
// changed since it was read asks first, and No writes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "controls/ColorPicker.h"
#include "controls/KXCtrls.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"

namespace {

namespace fs = std::filesystem;

class SharedFiles : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        PrepareStart();
        Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
        Write("Wykazy\\w.txt", "PN-EN 1|PN-EN 1||||\r\n");
        Form->DoCreate();
        ClearRecordedDialogs();
        CurrentUserLevel = 4;
    }
    void TearDown() override
    {
        CurrentUserLevel = 0;
        NormListModified = false;
        TMainFormTest::TearDown();
    }
    // The question as the user reads it, for a file of the program folder ("a/b.txt").
    AnsiString Question(const std::string& Name) const
    {
        return "Plik " + FromOsPath(FDir + "/" + Name) +
               " został zmieniony przez innego użytkownika po jego wczytaniu.\r\r"
               "TAK - zapisz moje zmiany (zmiany innego użytkownika zostaną utracone),\r"
               "NIE - nie zapisuj; moje zmiany zostaną na ekranie.";
    }
};

}  // namespace

TEST_F(SharedFiles, ASaveOverAnotherLoginsChangeAsksAndNoWritesNothing)
{
    TProStringGrid* catalogue = Form->sg_WszystkieNormy;
    TProStringGrid* list = Form->sg_NowyEdytujWykaz;
    TColorBtn* color = Form->colbtn_NormaAktualna;
    using TBoxes = std::vector<std::pair<int, const char*>>;
    const TBoxes configSaved = {{IDOK, "Zmiany poprawnie zapisane."}};
    auto openList = [&] {
        Form->OpenListFile(Path("Wykazy\\w.txt"), "W");
        Form->sb_NowyWykaz_EdytujClick(nullptr);
    };
    auto changeList = [&] {
        list->SetCells(1, 1, "PN-MOJA");
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
    };
    auto listShown = [&] { return list->Cells(1, 1) == "PN-MOJA" && Form->sb_Edytuj_ZapiszZmiany->Enabled(); };
    struct TKind {
        const char* Name;
        std::string File;   // in the program folder
        bool Scrambled;
        bool Removed;                      // the other login removes the file instead
        std::function<void()> Load;        // when the start-up has not read it
        std::function<void()> Change;      // on the screen, marked modified as the user's edits mark it
        std::function<void()> Save;        // as the user starts it
        TBoxes ThenNo, ThenYes;            // the boxes after the question
        std::function<bool()> OnScreen;    // the change still shown and still modified
        AnsiString Written;                // what the file holds after the save (plain text)
    } kinds[] = {
        {"catalogue", "Katalog Norm/normy_wszystkie.txt", false, false, nullptr,
         [&] {
             catalogue->SetCells(1, 1, "PN-MOJA");
             NormListModified = true;
         },
         [&] { Form->SaveNormList(catalogue); }, {},
         {{IDNO, "Zrobić kopię"}, {IDOK, "pomyślnie zaktualizowany"}},
         [&] { return catalogue->Cells(1, 1) == "PN-MOJA" && NormListModified; }, "PN-MOJA|Aktualna|Jest||T|O|"},
        {"register", "Wykazy/w.txt", false, false, openList, changeList, [&] { Form->SaveListFile(); }, {}, {},
         listShown, "PN-MOJA|PN-EN 1||||"},
        {"register removed", "Wykazy/w.txt", false, true, openList, changeList, [&] { Form->SaveListFile(); }, {},
         {}, listShown, "PN-MOJA|PN-EN 1||||"},
        {"menu file", "Ustawienia/kategorie.ini", false, false, [&] { Form->RunMenuCommand("Menu", "Menu"); },
         [&] {
             Form->e_MG_NazwaNowejPoz->SetText("Armatura");
             Form->sb_MG_Dodaj->Click();
         },
         [&] { Form->sb_MG_Zapisz->Click(); }, {}, {{IDOK, "Wszystkie wprowadzone zmiany"}},
         [&] {
             return Form->clb_MG_PrzyciskiMenuGlownego->Items()->IndexOf("Armatura") >= 0 &&
                    Form->sb_MG_Zapisz->Enabled();
         },
         "Armatura=1"},
        {"users list", "Ustawienia/users.dat", true, false, nullptr,
         [&] {
             Form->lb_UserName->Items()->Add("ewa");
             Form->sb_Uzytkownicy_Zapisz->SetEnabled(true);
         },
         [&] { Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz); }, configSaved, configSaved,
         [&] { return Form->lb_UserName->Items()->IndexOf("ewa") >= 0 && Form->sb_Uzytkownicy_Zapisz->Enabled(); },
         "ewa="},
        {"configuration", "config.dat", true, false, nullptr, [&] { Form->e_KierownikDzialu->SetText("szef"); },
         [&] { Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz); }, {}, configSaved,
         [&] { return Form->e_KierownikDzialu->Text() == "szef" && Form->sb_Uzytkownicy_Zapisz->Enabled(); },
         "\r\nszef\r\n"},
        {"login's settings", "Ustawienia/" + ToOsPath(GetWindowsUserName()) + ".dat", true, false, nullptr,
         [&] {
             color->SetActiveColor(TColor(0x123456));
             Form->sb_ZastosujUstawieniaProgramu->SetEnabled(true);
         },
         [&] { Form->sb_ZastosujUstawieniaProgramuClick(nullptr); }, {}, {},
         [&] { return color->ActiveColor() == TColor(0x123456) && Form->sb_ZastosujUstawieniaProgramu->Enabled(); },
         "SN_Aktualna=" + IntToStr(0x123456)},
    };
    for (const TKind& k : kinds) {
        SCOPED_TRACE(k.Name);
        const AnsiString file = FromOsPath(FDir + "/" + k.File);
        if (k.Load)
            k.Load();
        k.Change();
        // Another login saves the file (or removes it) after this one read it.
        if (k.Removed)
            fs::remove(ToOsPath(file));
        else if (k.Scrambled)
            WriteScrambledFile(file, "[Inny]\r\nZapis=1\r\n");
        else
            SaveBytesToFile(file, "PN-INNA|Aktualna|Brak||||\r\n");
        const bool there = FileExists(file);
        const AnsiString other = there ? LoadBytesFromFile(file) : AnsiString();

        for (int answer : {IDNO, IDYES}) {
            ClearRecordedDialogs();
            ScriptDialogs().ExpectMessageBox(answer, Question(k.File));
            for (const auto& [result, text] : answer == IDNO ? k.ThenNo : k.ThenYes)
                ScriptDialogs().ExpectMessageBox(result, text);
            k.Save();
            ASSERT_TRUE(VerifyNoPendingDialogs());
            const TRecordedDialog& asked = RecordedDialogs().front();
            EXPECT_EQ(asked.Text, Question(k.File));
            EXPECT_EQ(asked.Caption, "UWAGA !!!");
            EXPECT_EQ(asked.Flags, unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));   // Return keeps the other's work
            if (answer == IDNO) {
                EXPECT_EQ(FileExists(file), there);
                EXPECT_EQ(there ? LoadBytesFromFile(file) : AnsiString(), other);
                EXPECT_TRUE(k.OnScreen());
            }
        }
        const AnsiString saved = k.Scrambled ? ReadScrambledFile(file) : LoadBytesFromFile(file);
        EXPECT_NE(saved.find(k.Written), AnsiString::npos) << saved;
    }
}

TEST_F(SharedFiles, TheCataloguesDatedCopyHoldsWhatThisProgramWrote)
{
    fs::create_directories(FDir + "/kopie");
    Form->edt_KopiaBazyNorm->SetText(ProgramFolder + "kopie\\");
    SetTestClock(EncodeDate(2026, 12, 6) + EncodeTime(9, 5, 7, 0));
    Form->sg_WszystkieNormy->SetCells(1, 1, "PN-MOJA");
    const AnsiString catalogue = Path("Katalog Norm\\normy_wszystkie.txt");
    // Another login saves while the question about the copy is shown.
    ScriptDialogs()
        .ExpectDialog(dkMessageBox, "Zrobić kopię", IDYES,
                      [&](TDialogRequest&) { SaveBytesToFile(catalogue, "PN-INNA|Aktualna|Brak||||\r\n"); })
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Form->SaveNormList(Form->sg_WszystkieNormy);
    EXPECT_EQ(LoadBytesFromFile(Path("kopie\\normy_wszystkie (kopia z 06-12-2026 09-05-07).txt")),
              "PN-MOJA|Aktualna|Jest||T|O|\r\n");
}
