// The catalogue grids of the main window as the user meets them: the number
// column coloured, the hints over the cells, the state and holding columns
// centred, the shortcut keys, and the check of one standard by a double click
// on its number, written back into the catalogue.
#include "app/MainVars.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/ColorPicker.h"
#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Messages.h"

namespace {
const char* const TitleWarning = "UWAGA !!!";

// Ctrl held alone (mouse buttons aside).
bool CtrlOnly(TShiftState Shift)
{
    return (Shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl;
}

// The register grid's brushes of its two number columns.
constexpr TColor DocumentationNumberColor = 15925234;
constexpr TColor RegisterNumberColor = 15527167;

// A hint of the catalogue family: the main window's caption over column 0;
// number, title (and, with Description, the description when there is one)
// over the number; the number over the columns up to LastCol.
void NormHint(TProStringGrid* Grid, const AnsiString& WindowCaption, int ARow, int ACol, AnsiString& Hint,
              bool Description, int LastCol)
{
    if (ACol == 0) {
        Hint = WindowCaption;
    } else if (ACol == 1) {
        Hint = Grid->Cells(1, ARow) + "\r" + Grid->Cells(5, ARow);
        if (Description && !Grid->Cells(6, ARow).empty())
            Hint += "\r" + Grid->Cells(6, ARow);
    } else if (ACol <= LastCol) {
        Hint = Grid->Cells(1, ARow);
    }
}
}  // namespace

void Tf_MainForm::WireCatalogueGrids()
{
    // The number column in the user's colour, read at every paint.
    for (TProStringGrid* g : {sg_WszystkieNormy, sg_NormyWgStanu, sg_PN_Podglad, sg_ZnajdzNormeWTrelKordelin})
        g->OnGetCellColor = [this, g](TObject*, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush,
                                      TFont* AFont) {
            NormListCellColor(g, ARow, ACol, AState, ABrush, AFont, ColorBtn_PN_KolCellNrNormy->ActiveColor());
        };
    sg_NowyEdytujWykaz->OnGetCellColor = [this](TObject*, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush,
                                                TFont* AFont) {
        TProStringGrid* g = sg_NowyEdytujWykaz;
        if (ARow == 0)
            AFont->SetStyle(AFont->Style() | fsBold);
        const bool unfocusedSelection = (AState & gdSelected) && !(AState & gdFocused);
        if ((ACol == 1 || ACol == 2) && ARow >= 1 && ARow < g->RowCount() - g->FixedFooters() &&
            !unfocusedSelection) {
            ABrush->SetColor(ACol == 1 ? DocumentationNumberColor : RegisterNumberColor);
            AFont->SetColor(clBlack);
        }
    };

    sg_WszystkieNormy->OnGridHint = [this](TObject*, int ARow, int ACol, AnsiString& Hint) {
        NormHint(sg_WszystkieNormy, Caption(), ARow, ACol, Hint, true, 6);
    };
    sg_NormyWgStanu->OnGridHint = [this](TObject*, int ARow, int ACol, AnsiString& Hint) {
        NormHint(sg_NormyWgStanu, Caption(), ARow, ACol, Hint, false, 8);
    };
    sg_ZnajdzNormeWTrelKordelin->OnGridHint = [this](TObject*, int ARow, int ACol, AnsiString& Hint) {
        // Only over results.
        if (sg_ZnajdzNormeWTrelKordelin->RowCount() > 2)
            NormHint(sg_ZnajdzNormeWTrelKordelin, Caption(), ARow, ACol, Hint, false, 6);
    };
    sg_NowyEdytujWykaz->OnGridHint = [this](TObject*, int ARow, int ACol, AnsiString& Hint) {
        TProStringGrid* g = sg_NowyEdytujWykaz;
        if (ACol == 0) {
            Hint = Caption();
        } else if (ACol == 1) {
            Hint = g->Cells(1, ARow);
            // The material, part and drawing number, wherever editing mode has put them.
            const char* const labels[] = {"Materiał: ", "Część: ", "Nr rys.: "};
            for (int f = lfMaterial; f <= lfDrawing; ++f) {
                const int c = ListColumnOf(g, ListHeaders[size_t(ListFieldViewCols[size_t(f)])]);
                if (c >= 0 && !g->Cells(c, ARow).empty())
                    Hint += "\r" + AnsiString(labels[f - lfMaterial]) + g->Cells(c, ARow);
            }
        } else if (ACol <= 5) {
            Hint = g->Cells(1, ARow);
        }
    };
    for (TProStringGrid* g : {sg_WszystkieNormy, sg_NormyWgStanu, sg_ZnajdzNormeWTrelKordelin, sg_NowyEdytujWykaz})
        g->SetShowHint(true);

    sg_WszystkieNormy->OnGetAlignment = [](TObject*, int, int ACol, TAlignment& HAlign, TVAlignment&) {
        if (ACol == 2 || ACol == 3)
            HAlign = taCenter;
    };

    sg_WszystkieNormy->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { sg_WszystkieNormyKeyDown(s, k, sh); };
    sg_NormyWgStanu->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { sg_NormyWgStanuKeyDown(s, k, sh); };
    sg_WszystkieNormy->OnDblClickCell = [this](TObject* s, int r, int c) { sg_WszystkieNormyDblClickCell(s, r, c); };
    sg_NormyWgStanu->OnDblClickCell = [this](TObject* s, int r, int c) { sg_NormyWgStanuDblClickCell(s, r, c); };
}

namespace {
// Runs the command named by the text when the key matches; true when it did.
struct TKeyCommand {
    Word Key;
    bool Ctrl;
    const char* Command;
};
const TKeyCommand EditingKeys[] = {
    {VK_DELETE, false, "Usuń zaznaczoną normę z listy"},
    {VK_RETURN, false, "Wybraną pozycję"},
    {'S', true, "Zapisz listę norm"},
    {'G', true, "Pogrupuj listę norm"},
    {'D', true, "Dodaj nową normę"},
};
}  // namespace

// The keys of the two catalogue grids; the state view has no Delete and Enter.
static void RunGridKeys(Tf_MainForm* Form, Word Key, TShiftState Shift, bool RowKeys)
{
    auto run = [Form](const char* c) { Form->RunMenuCommand(c, c); };
    if (CurrentUserLevel >= 3)
        for (const TKeyCommand& k : EditingKeys) {
            if (!RowKeys && !k.Ctrl)
                continue;
            if (Key == k.Key && (k.Ctrl ? CtrlOnly(Shift) : true))
                run(k.Command);
        }
    // The window's common keys: when the window sees every key first, it
    // has run them already.
    if (Form->KeyPreview())
        return;
    if (Key == VK_F3 || (Key == 'F' && CtrlOnly(Shift)))
        run("W katalogu norm");
    if (Key == 'U' && CtrlOnly(Shift) && CurrentUserLevel > 0)
        run("Kolory i styl przycisków menu głównego");
    if (Key == VK_F10)
        run("Informacja");
}

void Tf_MainForm::sg_WszystkieNormyKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    RunGridKeys(this, Key, Shift, true);
}

void Tf_MainForm::sg_NormyWgStanuKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    RunGridKeys(this, Key, Shift, false);
}

void Tf_MainForm::sg_NormyWgStanuDblClickCell(TObject*, int ARow, int ACol)
{
    if (ACol == 1 && ARow >= 1 && ARow < sg_NormyWgStanu->RowCount() - 1)
        Application->MessageBox("Listę norm lub dowolną pozycję można edytować/aktualizować poprzez podwujne "
                                "kliknięcie tylko na zakładce \"Lista wszystkich norm\" lub z poziomu zakładki "
                                "\"Wyszukaj w katalogu norm\"",
                                TitleWarning, MB_OK | MB_ICONWARNING);
}

void Tf_MainForm::sg_WszystkieNormyDblClickCell(TObject*, int ARow, int ACol)
{
    if (CurrentUserLevel < 3) {
        Application->MessageBox("Nie masz odpowiednich uprawnień do dokonywania zmian w spisie norm, skontaktuj się "
                                "z administratorem (autorem) programu !!!",
                                TitleWarning, MB_OK | MB_ICONWARNING);
        return;
    }
    TProStringGrid* g = sg_WszystkieNormy;
    if (ACol != 1 || ARow < 1 || ARow >= g->RowCount() - 1)
        return;
    CheckCatalogueRow(ARow, false);
}

void Tf_MainForm::CheckCatalogueRow(int Row, bool SkipButton)
{
    TProStringGrid* g = sg_WszystkieNormy;
    Tf_SprawdzNorme* d = f_SprawdzNorme;
    d->BitBtn3->SetVisible(SkipButton);
    FillCheckDialog(g, Row);
    d->SetCaption("Sprawdź normę");
    if (d->ShowModal() != mrOk)
        return;
    StoreCheckDialog(g, Row);
    NormListModified = true;
    if (Application->MessageBox("Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.\r\rZapisać wszystkie "
                                "wprowadzone zmiany ???",
                                TitleWarning, MB_YESNO | MB_ICONQUESTION) == IDYES)
        SaveNormList(g);
}
