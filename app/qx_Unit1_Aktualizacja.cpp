// Bringing standards up to date: the walks through the catalogue, the shown
// state view or a range of it, each standard checked in the check dialog
// against the web shop's page for its number.
#include <vector>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/NetGradient.h"
#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleWarning = "UWAGA !!!";

// One step of a walk: the catalogue row, its position and the walk's total
// shown in the caption, and the count left after it.
struct TWalkStep {
    int Row;
    int Position;
    int Total;
    int Remaining;
};

bool Online()
{
    if (IsInternetConnected())
        return true;
    Application->MessageBox("Musisz być połączony z Internetem !!!", TitleWarning, MB_OK | MB_ICONERROR);
    return false;
}

// Asks for a row number; false (and nothing shown) when the answer is empty.
bool AskPosition(const AnsiString& Prompt, AnsiString& Answer)
{
    Answer = InputBox("Podaj nr", Prompt, "");
    return !Answer.empty();
}

bool IsRow(const AnsiString& Text, int N, int& Row)
{
    return TryStrToInt(Text, Row) && Row >= 1 && Row <= N;
}

// Every cell of the catalogue grid, to go back to when the user drops the
// changes of an aborted walk.
struct TGridSnapshot {
    std::vector<std::vector<AnsiString>> Cells;
    bool Modified = false;

    explicit TGridSnapshot(TProStringGrid* Grid) : Modified(NormListModified)
    {
        Cells.resize(size_t(Grid->RowCount()));
        for (int r = 0; r < Grid->RowCount(); ++r)
            for (int c = 0; c < Grid->ColCount(); ++c)
                Cells[size_t(r)].push_back(Grid->Cells(c, r));
    }
    void Restore(TProStringGrid* Grid) const
    {
        Grid->BeginUpdate();
        Grid->SetRowCount(int(Cells.size()));
        for (size_t r = 0; r < Cells.size(); ++r)
            for (size_t c = 0; c < Cells[r].size(); ++c)
                Grid->SetCells(int(c), int(r), Cells[r][c]);
        Grid->EndUpdate();
        NormListModified = Modified;
    }
};
}  // namespace

AnsiString Tf_MainForm::WalkCaption(int Position, int Total)
{
    return "Sprawdź normę (nr " + IntToStr(Position) + "/" + IntToStr(Total) + " - " +
           FormatFloat("0.00%", double(Position) / Total * 100) + ")";
}

void Tf_MainForm::UpdateNorms(const AnsiString& Command)
{
    TProStringGrid* g = sg_WszystkieNormy;
    const int n = g->RowCount() - 2;
    const int current = g->Row();
    AnsiString viewWord;
    std::vector<TWalkStep> steps;

    if (Command == "Aktualną listę") {
        const AnsiString page = Strony->ActivePage();
        if (page == "NormyWgStanu") {
            viewWord = StateWordOfView(ng_NormyWgStanu->Caption());
            if (viewWord.empty())
                return;
        } else if (page != "ListaWszystkichNorm") {
            Application->MessageBox("Tej listy aktualizować nie można !!!", TitleWarning, MB_OK | MB_ICONWARNING);
            return;
        }
        if (!Online())
            return;
        if (viewWord.empty()) {
            for (int r = 1; r <= n; ++r)
                steps.push_back({r, r, n, n - r});
        } else {
            // The view as the catalogue holds it now, so that its rows are the walk's.
            BuildStateView(viewWord, ng_NormyWgStanu->Caption());
            const int v = sg_NormyWgStanu->RowCount() - 2;
            int k = 0;
            for (int r = 1; r <= n; ++r)
                if (g->Cells(2, r).find(viewWord) != AnsiString::npos) {
                    ++k;
                    steps.push_back({r, k, v, v - k});
                }
        }
    } else {
        Strony->SetActivePage("ListaWszystkichNorm");
        if (!Online())
            return;
        if (Command == "Listę wszystkich norm") {
            for (int r = 1; r <= n; ++r)
                steps.push_back({r, r, n, n - r});
        } else if (Command == "Od zaznaczenia w dół") {
            for (int r = current; r <= n; ++r)
                steps.push_back({r, r, n, n - r});
        } else if (Command == "Od zaznaczenia w górę") {
            // The empty last row holds no standard to check.
            for (int r = std::min(current, n); r >= 1; --r)
                steps.push_back({r, r, n, r - 1});
        } else if (Command == "Od pozycji nr w górę" || Command == "Od pozycji nr w dół") {
            const bool up = Command == "Od pozycji nr w górę";
            AnsiString answer;
            if (!AskPosition("Podaj numer pozycji od której mam zaczynać", answer))
                return;
            int from = 0;
            if (!IsRow(answer, n, from)) {
                Application->MessageBox(up ? "Podano nieprawidłowy nume wiersza !!!"
                                           : "Podano nieprawidłowy numer wiersza !!!",
                                        TitleError, MB_OK | MB_ICONERROR);
                return;
            }
            if (up)
                for (int r = from; r >= 1; --r)
                    steps.push_back({r, from - r + 1, from, r - 1});
            else
                for (int r = from; r <= n; ++r)
                    steps.push_back({r, r, n, n - r});
        } else if (Command == "Od pozycji nr do pozycji nr") {
            AnsiString first, last;
            if (!AskPosition("Podaj numer pozycji od której mam zaczynać (początkowej)", first) ||
                !AskPosition("Podaj numer pozycji na której mam zakończć (końcowej)", last))
                return;
            int s = 0, e = 0;
            const char* fault = nullptr;
            if (!TryStrToInt(first, s))
                fault = "Podano nieprawidłowy numer pozycji początkowej !!!";
            else if (!TryStrToInt(last, e))
                fault = "Podano nieprawidłowy numer pozycji końcowej !!!";
            else if (s < 1 || s > n)
                fault = "Podano nieprawidłowy numer pozycji początkowej !!!";
            else if (e < 1 || e > n)
                fault = "Podano nieprawidłowy numer pozycji końcowej !!!";
            if (fault) {
                Application->MessageBox(fault, TitleError, MB_OK | MB_ICONERROR);
                return;
            }
            if (s > e)
                std::swap(s, e);
            for (int r = s; r <= e; ++r)
                steps.push_back({r, r - s + 1, e - s + 1, e - r});
        } else if (Command == "Wybraną pozycję") {
            UpdateSelectedNorm();
            return;
        } else {
            return;
        }
    }

    const TGridSnapshot before(g);
    Tf_SprawdzNorme* d = f_SprawdzNorme;
    for (const TWalkStep& step : steps) {
        d->BitBtn3->SetVisible(true);
        FillCheckDialog(g, step.Row, viewWord);
        d->SetCaption(WalkCaption(step.Position, step.Total));
        const int result = d->ShowModal();
        if (result == mrOk) {
            StoreCheckDialog(g, step.Row);
            if (!viewWord.empty()) {
                StoreCheckDialog(sg_NormyWgStanu, step.Position);
                sg_NormyWgStanu->AutoSizeColumns(false, 4);
            }
            NormListModified = true;
        } else if (result == mrCancel) {
            if (Application->MessageBox("Czy na pewno chcesz przerwać aktualizację norm ???\r\rDo końca pozostała "
                                        "(o/ły) " +
                                            IntToStr(step.Remaining) +
                                            " pozycja (e/i).\r\rCzy mam zakończyć aktualizację teraz ???",
                                        TitleWarning, MB_YESNO | MB_ICONQUESTION) != IDYES)
                continue;
            if (Application->MessageBox("Zapisać wszystkie wprowadzone zmiany (kliknięcie na NIE spowoduje powrót "
                                        "do spisu norm sprzed aktualizacji) ???",
                                        TitleWarning, MB_YESNO | MB_ICONWARNING) == IDYES)
                SaveNormList(g);
            else
                before.Restore(g);   // as the question promises
            if (!viewWord.empty())
                BuildStateView(viewWord, ng_NormyWgStanu->Caption());
            return;
        }
    }
    if (Application->MessageBox("Aktualizacja norm zakończyła się pomyślnie - GRATULUJĘ.\r\rZapisać wszystkie "
                                "wprowadzone zmiany ???",
                                TitleWarning, MB_YESNO | MB_ICONQUESTION) == IDYES)
        SaveNormList(g);
}

void Tf_MainForm::UpdateSelectedNorm()
{
    TProStringGrid* g = sg_WszystkieNormy;
    const int r = g->Row();
    // The header and the empty last row hold no standard to check.
    if (r < 1 || r > g->RowCount() - 2)
        return;
    CheckCatalogueRow(r, true);
}
