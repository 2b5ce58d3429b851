// The commands on "the chosen standard" act on the standard the user sees chosen, whatever the
// catalogue went through before and however the command is reached: the saved catalogue then
// holds every other standard as it was.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "grid/ProGrid.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Messages.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/MainFormFixture.h"

namespace {

// Two standards of one number; regrouping puts them first.
const AnsiString Catalogue = "PN-M-1|Aktualna|Brak||Pierwsza||\r\n"
                             "PN-B-2|Aktualna|Brak||Druga||\r\n"
                             "PN-B-2|Nieaktualna|Dostępna|PN-C-4|Trzecia|Opis|\r\n"
                             "PN-EN 3|Aktualna|Dostępna||Czwarta||\r\n"
                             "PN-C-4|Aktualna|Brak||Piąta||\r\n"
                             "PN-H-5|Aktualna|Brak||Szósta||\r\n";
// The standard chosen in every case, by its title.
const AnsiString Chosen = "Trzecia";

class ChosenStandard : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 3;
        MakeDialog(f_SprawdzNorme);
        Add = MakeDialog(f_DodajNowaNorme);
        Form->Show();
    }
    // The catalogue row whose title is Title (0 when none).
    int RowTitled(TProStringGrid* g, const AnsiString& Title) const
    {
        for (int r = 1; r < g->RowCount() - 1; ++r)
            if (g->Cells(5, r) == Title)
                return r;
        return 0;
    }
    // The check dialog, expected to show the chosen standard: confirmed with a new title.
    void ExpectCheck()
    {
        ScriptDialogs()
            .ExpectModal("f_SprawdzNorme", mrOk,
                         [](TForm*) {
                             EXPECT_EQ(f_SprawdzNorme->m_Tytul->Text(), Chosen);
                             f_SprawdzNorme->m_Tytul->SetText("Sprawdzona");
                         })
            .ExpectMessageBox(IDNO, "Aktualizacja normy zakończyła się pomyślnie");
    }
    // Double click near the top of the number cell of row Row.
    static void DoubleClickNumber(TProStringGrid* g, int Row)
    {
        AdvanceInputClock(1000);
        const TRect r = g->CellRect(1, Row);
        DoubleClick(g, r.Left + 5, r.Top + 3);
    }
    // Row Row chosen by a click near the top of its state cell.
    static void ChooseByClick(TProStringGrid* g, int Row)
    {
        AdvanceInputClock(1000);
        const TRect r = g->CellRect(2, Row);
        Click(g, r.Left + 5, r.Top + 3);
        ASSERT_EQ(g->Row(), Row);
    }

    Tf_DodajNowaNorme* Add = nullptr;
};

}  // namespace

TEST_F(ChosenStandard, EveryWayActsOnTheStandardChosenWhateverTheCatalogueWentThrough)
{
    TNetworkState online(true);
    TProStringGrid* g = Form->sg_WszystkieNormy;
    TProStringGrid* results = Form->sg_ZnajdzNormeWTrelKordelin;
    // What the catalogue goes through after the search and before the command.
    struct State {
        const char* Name;
        std::function<void()> Run;
    };
    const State states[] = {
        {"as loaded", [] {}},
        {"a standard above deleted",
         [&] {
             g->SetRow(1);
             ScriptDialogs().ExpectMessageBox(IDYES, "Nr normy: PN-M-1");
             Form->RunMenuCommand("Usuń zaznaczoną normę z listy", "Usuń zaznaczoną normę z listy");
         }},
        {"a standard of the same number added",
         [&] {
             ScriptDialogs()
                 .ExpectModal("f_DodajNowaNorme", mrOk,
                              [&](TForm*) {
                                  Add->e_NrNormy->SetText("PN-B-2");
                                  Add->m_Tytul->SetText("Siódma");
                              })
                 .ExpectModal("f_NowaNorma", mrCancel);
             Form->RunMenuCommand("Dodaj nową normę", "Dodaj nową normę");
         }},
        {"the other standard of the number renumbered by a check",
         [&] {
             ScriptDialogs()
                 .ExpectModal("f_SprawdzNorme", mrOk, [](TForm*) { f_SprawdzNorme->e_NrNormy->SetText("PN-B-3"); })
                 .ExpectMessageBox(IDNO, "Aktualizacja normy");
             Form->sg_WszystkieNormyDblClickCell(g, 2, 1);
         }},
        {"regrouped",
         [&] {
             ScriptDialogs()
                 .ExpectMessageBox(IDYES, "Lista norm zostanie pogrupowana")
                 .ExpectMessageBox(IDNO, "czy chcesz zapisać ją teraz");
             Form->RunMenuCommand("Pogrupuj listę norm", "Pogrupuj listę norm");
             ASSERT_EQ(g->Cells(5, 1), "Druga");
         }},
        {"deleted, then saved with a check and reloaded",
         [&] {
             g->SetRow(1);
             ScriptDialogs()
                 .ExpectMessageBox(IDYES, "Nr normy: PN-M-1")
                 .ExpectModal("f_SprawdzNorme", mrOk, [](TForm*) { f_SprawdzNorme->m_Opis->SetText("Nowy opis"); })
                 .ExpectMessageBox(IDYES, "Aktualizacja normy")
                 .ExpectMessageBox(IDNO, "Zrobić kopię")
                 .ExpectMessageBox(IDOK, "Spis norm został pomyślnie zaktualizowany");
             Form->RunMenuCommand("Usuń zaznaczoną normę z listy", "Usuń zaznaczoną normę z listy");
             Form->sg_WszystkieNormyDblClickCell(g, 4, 1);
         }},
    };
    // How the command is reached on the standard of row Row; Deletes: the standard leaves the
    // catalogue, else its check gives it the title "Sprawdzona".
    struct Way {
        const char* Name;
        bool Deletes;
        std::function<void(int Row)> Run;
    };
    const Way ways[] = {
        {"double click on its number", false,
         [&](int Row) {
             ExpectCheck();
             DoubleClickNumber(g, Row);
         }},
        {"Return", false,
         [&](int Row) {
             ChooseByClick(g, Row);
             ExpectCheck();
             KeyDown(g, VK_RETURN);
         }},
        {"Delete", true,
         [&](int Row) {
             ChooseByClick(g, Row);
             ScriptDialogs().ExpectMessageBox(IDYES, "\rTytuł: " + Chosen + "\r\rCzy na pewno");
             KeyDown(g, VK_DELETE);
         }},
        {"\"Wybraną pozycję\" from the state view", false,
         [&](int Row) {
             ChooseByClick(g, Row);
             Form->RunMenuCommand("Normy nieaktualne", "Normy nieaktualne");
             ExpectCheck();
             Form->RunMenuCommand("Wybraną pozycję", "Wybraną pozycję");
         }},
        {"double click on its search result", false,
         [&](int) {
             Form->RunMenuCommand("W katalogu norm", "W katalogu norm");
             ExpectCheck();
             DoubleClickNumber(results, RowTitled(results, Chosen));
         }},
    };
    for (const State& s : states)
        for (const Way& w : ways) {
            SCOPED_TRACE(std::string(w.Name) + ", " + s.Name);
            LoadCatalogue(Catalogue);
            Form->Strony->SetActivePage("ListaWszystkichNorm");
            // Every standard found before the catalogue changes.
            Form->e_z_NrNormy->SetText("PN");
            Form->cb_z_KryteriaSzukania->SetItemIndex(1);
            Form->sb_ZnajdzNormeWTrelKordelinClick(nullptr);
            s.Run();
            ASSERT_TRUE(VerifyNoPendingDialogs());

            // The chosen standard on the catalogue's last row in view, partly shown: a press on it
            // scrolls it in (and a double click's second press is then over the next row).
            std::vector<TNormRecord> expected = CatalogueRecords();
            const int row = RowTitled(g, Chosen);
            ASSERT_GT(row, 0);
            g->SetAlign(alNone);
            g->SetTopRow(1);
            g->SetHeight(1000);
            g->SetHeight(g->CellRect(0, row).Top + g->RowHeights(row) / 2 + g->Height() - g->ClientHeight());
            Form->Strony->SetActivePage("ListaWszystkichNorm");
            g->SetFocus();
            w.Run(row);
            EXPECT_TRUE(VerifyNoPendingDialogs());
            if (w.Deletes)
                expected.erase(expected.begin() + (row - 1));
            else
                expected[size_t(row - 1)][nfTitle] = "Sprawdzona";
            AnsiString lines;
            for (const TNormRecord& r : expected)
                lines += NormLine(r) + "\r\n";
            ScriptDialogs()
                .ExpectMessageBox(IDYES, "Czy na pewno chcesz zapisać aktualny spis")
                .ExpectMessageBox(IDNO, "Zrobić kopię")
                .ExpectMessageBox(IDOK, "Spis norm został pomyślnie zaktualizowany");
            Form->RunMenuCommand("Zapisz listę norm", "Zapisz listę norm");
            EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"), lines);
            ClearRecordedDialogs();
        }
}
