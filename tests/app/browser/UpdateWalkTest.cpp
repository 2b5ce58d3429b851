#include <gtest/gtest.h>

#include <memory>

#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit2.h"
#include "controls/NetGradient.h"
#include "grid/ProGrid.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"

namespace {

// The main window over a catalogue of N standards "PN-H-840nn:1989"; the
// web shop and the standards body's site answer from a local server.
class UpdateWalk : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 3;
        Server.Serve("/index.php", 200, "text/html; charset=utf-8", "<html><body>Sklep</body></html>");
        Server.Serve("/", 200, "text/html; charset=utf-8", "<html><body>PKN</body></html>");
        RedirectHostToTestServer("https://sklep.pkn.pl", Server);
        RedirectHostToTestServer("https://www.pkn.pl", Server);
        Dialog = MakeDialog(f_SprawdzNorme);
        Grid = Form->sg_WszystkieNormy;
    }
    static AnsiString Number(int i) { return "PN-H-840" + AnsiString(i < 10 ? "0" : "") + IntToStr(i) + ":1989"; }
    // N standards; every third one "Nieaktualna", the others "Aktualna".
    void Load(int N)
    {
        AnsiString text;
        for (int i = 1; i <= N; ++i)
            text += Number(i) + "|" + (i % 3 == 0 ? "Nieaktualna" : "Aktualna") + "|Brak||Tytuł " + IntToStr(i) +
                    "||\r\n";
        Write("Katalog Norm\\normy_wszystkie.txt", text);
        Form->LoadNormList(Path("Katalog Norm\\normy_wszystkie.txt"));
    }
    // Every step answered Result; the number and caption of each step kept.
    void AnswerSteps(int Count, int Result)
    {
        for (int i = 0; i < Count; ++i)
            ScriptDialogs().ExpectModal("f_SprawdzNorme", Result, [this](TForm*) { Seen(); });
    }
    void Seen()
    {
        Shown.push_back(Dialog->e_NrNormy->Text());
        Captions.push_back(Dialog->Caption());
    }
    int ShopQueries() const { return RequestsTo(Server, "/index.php"); }
    void Walk(const AnsiString& Command) { Form->RunMenuCommand(Command, Command); }

    TNetworkState Online{true};
    TTestHttpServer Server;
    Tf_SprawdzNorme* Dialog = nullptr;
    TProStringGrid* Grid = nullptr;
    std::vector<AnsiString> Shown, Captions;
};

}  // namespace

TEST_F(UpdateWalk, CaptionGivesPositionTotalAndPercent)
{
    struct Case {
        int Position, Total;
        AnsiString Caption;
    };
    const Case cases[] = {{1, 12, "Sprawdź normę (nr 1/12 - 8,33%)"},
                          {12, 12, "Sprawdź normę (nr 12/12 - 100,00%)"},
                          {2, 3, "Sprawdź normę (nr 2/3 - 66,67%)"},
                          {1, 1, "Sprawdź normę (nr 1/1 - 100,00%)"}};
    for (const Case& c : cases)
        EXPECT_EQ(Tf_MainForm::WalkCaption(c.Position, c.Total), c.Caption);
}

TEST_F(UpdateWalk, RowsPositionsAndRemainingCountsOfEachWalk)
{
    Load(12);
    struct Case {
        AnsiString Command;
        int CurrentRow;
        std::vector<AnsiString> Answers;   // input boxes
        int CancelAtStep;                  // 0: no cancel
        std::vector<int> Rows;             // visited until the cancel
        AnsiString FirstCaption, LastCaption;
        int Remaining;                     // told at the cancel
    };
    const Case cases[] = {
        {"Listę wszystkich norm", 1, {}, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, "nr 1/12 - 8,33%",
         "nr 12/12 - 100,00%", 0},
        {"Aktualną listę", 1, {}, 3, {1, 2, 3}, "nr 1/12", "nr 3/12", 9},
        {"Od zaznaczenia w dół", 9, {}, 2, {9, 10}, "nr 9/12", "nr 10/12", 2},
        {"Od zaznaczenia w górę", 4, {}, 0, {4, 3, 2, 1}, "nr 4/12 - 33,33%", "nr 1/12 - 8,33%", 0},
        {"Od zaznaczenia w górę", 6, {}, 2, {6, 5}, "nr 6/12", "nr 5/12", 4},
        {"Od pozycji nr w górę", 1, {"12"}, 0, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, "nr 1/12 - 8,33%",
         "nr 12/12 - 100,00%", 0},
        {"Od pozycji nr w górę", 1, {"8"}, 3, {8, 7, 6}, "nr 1/8", "nr 3/8", 5},
        {"Od pozycji nr w dół", 1, {"11"}, 0, {11, 12}, "nr 11/12", "nr 12/12", 0},
        {"Od pozycji nr do pozycji nr", 1, {"10", "5"}, 0, {5, 6, 7, 8, 9, 10}, "nr 1/6 - 16,67%",
         "nr 6/6 - 100,00%", 0},
        {"Od pozycji nr do pozycji nr", 1, {"2", "9"}, 3, {2, 3, 4}, "nr 1/8", "nr 3/8", 5},
        {"Od zaznaczenia w dół", 13, {}, 0, {}, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Command + " " + IntToStr(c.CurrentRow));
        Shown.clear();
        Captions.clear();
        Grid->SetRow(c.CurrentRow);
        for (const AnsiString& a : c.Answers)
            ScriptDialogs().ExpectInput(true, a);
        const int steps = int(c.Rows.size());
        if (c.CancelAtStep) {
            AnswerSteps(steps - 1, mrIgnore);
            ScriptDialogs()
                .ExpectModal("f_SprawdzNorme", mrCancel, [this](TForm*) { Seen(); })
                .ExpectMessageBox(IDYES, "Do końca pozostała (o/ły) " + IntToStr(c.Remaining) + " pozycja (e/i).")
                .ExpectMessageBox(IDNO, "powrót do spisu norm sprzed aktualizacji");
        } else {
            AnswerSteps(steps, mrIgnore);
            ScriptDialogs().ExpectMessageBox(IDNO, "Aktualizacja norm zakończyła się pomyślnie - GRATULUJĘ.");
        }
        Walk(c.Command);
        std::vector<AnsiString> expected;
        for (int r : c.Rows)
            expected.push_back(Number(r));
        EXPECT_EQ(Shown, expected);
        if (steps) {
            EXPECT_NE(Captions.front().find(c.FirstCaption), AnsiString::npos) << Captions.front();
            EXPECT_NE(Captions.back().find(c.LastCaption), AnsiString::npos) << Captions.back();
        }
        EXPECT_TRUE(VerifyNoPendingDialogs());
    }
}

TEST_F(UpdateWalk, BadPositionsAreReportedAndEmptyAnswersStop)
{
    Load(5);
    struct Case {
        AnsiString Command;
        std::vector<AnsiString> Answers;
        AnsiString Message;   // "" : nothing shown
    };
    const Case cases[] = {
        {"Od pozycji nr w górę", {"6"}, "Podano nieprawidłowy nume wiersza !!!"},
        {"Od pozycji nr w górę", {"x"}, "Podano nieprawidłowy nume wiersza !!!"},
        {"Od pozycji nr w dół", {"0"}, "Podano nieprawidłowy numer wiersza !!!"},
        {"Od pozycji nr w dół", {""}, ""},
        {"Od pozycji nr do pozycji nr", {"a", "b"}, "Podano nieprawidłowy numer pozycji początkowej !!!"},
        {"Od pozycji nr do pozycji nr", {"2", "b"}, "Podano nieprawidłowy numer pozycji końcowej !!!"},
        {"Od pozycji nr do pozycji nr", {"9", "2"}, "Podano nieprawidłowy numer pozycji początkowej !!!"},
        {"Od pozycji nr do pozycji nr", {"2", "9"}, "Podano nieprawidłowy numer pozycji końcowej !!!"},
        {"Od pozycji nr do pozycji nr", {"2", ""}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Command + " " + c.Answers[0]);
        for (const AnsiString& a : c.Answers)
            ScriptDialogs().ExpectInput(true, a);
        if (!c.Message.empty())
            ScriptDialogs().ExpectMessageBox(IDOK, c.Message);
        ClearRecordedDialogs();
        Walk(c.Command);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        if (!c.Message.empty()) { EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD !!!"); }
    }
    EXPECT_FALSE(NormListModified);
}

TEST_F(UpdateWalk, RefusingToSaveAnAbortedWalkRestoresTheCatalogue)
{
    Load(4);
    Grid->SetCells(3, 2, "jest");   // an old holding word, converted when shown
    const AnsiString stateBefore = Grid->Cells(2, 1);
    ScriptDialogs()
        .ExpectModal("f_SprawdzNorme", mrOk,
                     [this](TForm*) {
                         Dialog->cb_StanNormy->SetItemIndex(Dialog->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
                         Dialog->e_ZastopionaPrzez->SetText("PN-EN 1");
                     })
        .ExpectModal("f_SprawdzNorme", mrCancel,
                     [this](TForm*) {
                         EXPECT_EQ(Grid->Cells(3, 2), "Dostępna");
                         EXPECT_EQ(Grid->Cells(2, 1), "Nieaktualna");
                         EXPECT_TRUE(NormListModified);
                     })
        .ExpectMessageBox(IDYES, "Do końca pozostała (o/ły) 2 pozycja (e/i).")
        .ExpectMessageBox(IDNO, "kliknięcie na NIE spowoduje powrót do spisu norm sprzed aktualizacji");
    Walk("Listę wszystkich norm");
    EXPECT_EQ(Grid->Cells(2, 1), stateBefore);
    EXPECT_EQ(Grid->Cells(4, 1), "");
    EXPECT_EQ(Grid->Cells(3, 2), "jest");
    EXPECT_FALSE(NormListModified);
    EXPECT_EQ(Grid->RowCount(), 6);
}

TEST_F(UpdateWalk, StateViewWalkRebuildsTheViewAndCountsItsRows)
{
    Load(9);   // rows 3, 6 and 9 "Nieaktualna"
    Walk("Normy nieaktualne");
    ASSERT_EQ(Form->sg_NormyWgStanu->RowCount(), 5);
    // A standard changed since the view was built: the walk takes the catalogue as it is now.
    Grid->SetCells(2, 4, "Nieaktualna");
    ScriptDialogs()
        .ExpectModal("f_SprawdzNorme", mrIgnore, [this](TForm*) { Seen(); })
        .ExpectModal("f_SprawdzNorme", mrOk,
                     [this](TForm*) {
                         Seen();
                         EXPECT_EQ(Dialog->cb_StanNormy->Text(), "Nieaktualna");
                         Dialog->m_Tytul->SetText("Nowy tytuł");
                     })
        .ExpectModal("f_SprawdzNorme", mrCancel, [this](TForm*) { Seen(); })
        .ExpectMessageBox(IDYES, "Do końca pozostała (o/ły) 1 pozycja (e/i).")
        .ExpectMessageBox(IDYES, "Zapisać wszystkie wprowadzone zmiany (kliknięcie na NIE")
        .ExpectMessageBox(IDNO, "Zrobić kopię")
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Walk("Aktualną listę");
    EXPECT_EQ(Shown, (std::vector<AnsiString>{Number(3), Number(4), Number(6)}));
    EXPECT_EQ(Captions.front(), "Sprawdź normę (nr 1/4 - 25,00%)");
    EXPECT_EQ(Captions.back(), "Sprawdź normę (nr 3/4 - 75,00%)");
    EXPECT_EQ(Form->ng_NormyWgStanu->Caption(), "Normy nieaktualne");
    EXPECT_EQ(Form->sg_NormyWgStanu->RowCount(), 6);
    EXPECT_EQ(Form->sg_NormyWgStanu->Cells(5, 2), "Nowy tytuł");
    EXPECT_EQ(Form->Strony->ActivePage(), "NormyWgStanu");
    EXPECT_NE(Read("Katalog Norm\\normy_wszystkie.txt").find(Number(4) + "|Nieaktualna|Brak||Nowy tytuł||"),
              AnsiString::npos);
}

TEST_F(UpdateWalk, AStateOutsideTheListLeavesTheReplacementOpenAndPastesKeepTheirFirstLine)
{
    Load(2);
    struct Case {
        int Level;
        const char* Paste;   // "Ctrl+V" in the field, or the popup's state item; nullptr: none
        bool Open;
    } cases[] = {{3, "Ctrl+V", true}, {4, "Zastapionauznaniowo1", true}, {2, nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Paste ? c.Paste : "read-only");
        CurrentUserLevel = c.Level;
        Grid->SetRow(1);
        Grid->SetCells(2, 1, "aktualna");   // none of the five words
        Grid->SetCells(4, 1, "");
        ScriptDialogs().ExpectModal("f_SprawdzNorme", c.Open ? mrOk : mrCancel, [&](TForm*) {
            EXPECT_EQ(Dialog->cb_StanNormy->ItemIndex(), -1);
            EXPECT_EQ(Dialog->e_ZastopionaPrzez->Enabled(), c.Open);
            EXPECT_EQ(Dialog->Label6->Enabled(), c.Open);
            if (!c.Paste)
                return;
            // The number copied from the shop's page with its line end.
            Clipboard()->SetAsText("PN-EN 10025-2:2019\r\n");
            if (AnsiString(c.Paste) == "Ctrl+V") {
                Dialog->cb_StanNormy->SetItemIndex(Dialog->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
                Dialog->cb_StanNormyChange(Dialog->cb_StanNormy);
                KeyDown(Dialog->e_ZastopionaPrzez, 'V', ssCtrl);
            } else {
                dynamic_cast<TMenuItem*>(Dialog->FindComponent(c.Paste))->Click();
            }
            EXPECT_EQ(Dialog->e_ZastopionaPrzez->Text(), "PN-EN 10025-2:2019");
            EXPECT_TRUE(Dialog->bb_OK->Enabled());
        });
        if (c.Open)
            ScriptDialogs().ExpectMessageBox(IDNO, "Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.");
        Walk("Wybraną pozycję");
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(Grid->Cells(4, 1), c.Paste ? "PN-EN 10025-2:2019" : "");
    }
    Clipboard()->Clear();
}

TEST_F(UpdateWalk, ThreeStandardsCheckedAgainstTheShopAndSaved)
{
    Load(3);
    const char* const states[] = {"Nieaktualna", "Aktualna", "Wycofana bez zastąpienia"};
    for (int i = 0; i < 3; ++i)
        ScriptDialogs().ExpectModal("f_SprawdzNorme", mrOk, [this, i, &states](TForm*) {
            // The shop's page for this standard is shown.
            const AnsiString url = BuildCatalogQueryUrl(Number(i + 1));
            EXPECT_EQ(Dialog->menu_NrNormy->Hint(), url);
            EXPECT_TRUE(Dialog->BitBtn3->Visible());
            EXPECT_TRUE(WaitUntil([this, i] { return ShopQueries() > i && !Dialog->webPodglad->Busy(); }));
            const AnsiString query = url.substr(url.find("/index.php"));
            AnsiString last;
            for (const AnsiString& r : Server.Requests())
                if (r.find("/index.php") == 0)
                    last = r;
            EXPECT_EQ(last, query);
            Captions.push_back(Dialog->Caption());
            Dialog->cb_StanNormy->SetItemIndex(Dialog->cb_StanNormy->Items()->IndexOf(states[i]));
            Dialog->cb_StanPosiadania->SetItemIndex(Dialog->cb_StanPosiadania->Items()->IndexOf("Dostępna"));
            if (i == 0)
                Dialog->e_ZastopionaPrzez->SetText("PN-EN 10025-2:2007");
        });
    ScriptDialogs()
        .ExpectMessageBox(IDYES, "Aktualizacja norm zakończyła się pomyślnie - GRATULUJĘ.")
        .ExpectMessageBox(IDNO, "Zrobić kopię")
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Walk("Listę wszystkich norm");

    EXPECT_EQ(Captions, (std::vector<AnsiString>{"Sprawdź normę (nr 1/3 - 33,33%)", "Sprawdź normę (nr 2/3 - 66,67%)",
                                                 "Sprawdź normę (nr 3/3 - 100,00%)"}));
    EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"),
              Number(1) + "|Nieaktualna|Dostępna|PN-EN 10025-2:2007|Tytuł 1||\r\n" + Number(2) +
                  "|Aktualna|Dostępna||Tytuł 2||\r\n" + Number(3) + "|Wycofana bez zastąpienia|Dostępna||Tytuł 3||\r\n");
    EXPECT_FALSE(NormListModified);
    EXPECT_EQ(ShopQueries(), 3);
}

TEST_F(UpdateWalk, SelectedStandardAndTheStandardsBodysPage)
{
    Load(3);
    Grid->SetRow(2);
    ScriptDialogs()
        .ExpectModal("f_SprawdzNorme", mrOk,
                     [this](TForm*) {
                         EXPECT_EQ(Dialog->Caption(), "Sprawdź normę");
                         EXPECT_EQ(Dialog->e_NrNormy->Text(), Number(2));
                         Dialog->m_Opis->SetText("Opis");
                     })
        .ExpectMessageBox(IDNO, "Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.");
    Walk("Wybraną pozycję");
    EXPECT_EQ(Grid->Cells(6, 2), "Opis");
    EXPECT_TRUE(NormListModified);

    Walk("Na stronie PKN");
    EXPECT_EQ(Form->Strony->ActivePage(), "NastroniePKN");
    EXPECT_TRUE(WaitUntil(
        [this] { return !Form->webZnajdzNaPKNie->LocationURL().empty() && !Form->webZnajdzNaPKNie->Busy(); }));
}

namespace {
// The standards body's page: Enter in the number edit searches the web shop for it.
TEST_F(UpdateWalk, EnterInTheNumberEditSearchesTheShop)
{
    Form->RunMenuCommand("Na stronie PKN", "Na stronie PKN");
    TWebBrowser* web = Form->webZnajdzNaPKNie;
    // A page counts as shown once the server has answered it and the browser is idle again:
    // the address changes before the load starts, so an idle browser alone proves nothing.
    auto served = [this](const char* Part) { return RequestsTo(Server, Part, true) > 0; };
    ASSERT_TRUE(WaitUntil([&] { return served("/") && !web->LocationURL().empty() && !web->Busy(); }));
    Form->e_WyszukajWPKN_NrNormy->SetText("PN-EN 10025-2");
    Word key = VK_RETURN;
    Form->e_WyszukajWPKN_NrNormy->OnKeyDown(Form->e_WyszukajWPKN_NrNormy, key, 0);
    ASSERT_TRUE(WaitUntil([&] {
        return served("pfsymbol=PN-EN") && WideToAnsi(web->LocationURL()).find("index.php") != AnsiString::npos &&
               !web->Busy();
    }));
    // Back returns to the home page; with no page before it, Back does nothing.
    Form->sb_Back->Click();
    EXPECT_TRUE(WaitUntil([web] { return WideToAnsi(web->LocationURL()).find("index.php") == AnsiString::npos && !web->Busy(); }));
    Form->sb_Back->Click();
    Form->sbForword->Click();
    EXPECT_TRUE(WaitUntil([web] { return WideToAnsi(web->LocationURL()).find("index.php") != AnsiString::npos && !web->Busy(); }));
}
}  // namespace
