// The company-catalogue search page: up to four terms looked for in the
// catalogue grid, the matching standards listed with their catalogue row
// numbers, and a standard of the list checked in the check dialog.
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/FormBuild.h"
#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/NetGradient.h"
#include "grid/ProGrid.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {
// The result grid's header: the catalogue row number, then the catalogue's columns.
const char* const ResultHeaders[] = {"Numer w spisie", "Numer normy", "Stan normy", "Stan posiadania",
                                     "Zastąpiona",     "Tytuł",       "Opis"};

// Lower case of every Windows-1250 byte.
const std::array<char, 256>& LowerTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = char(AnsiLowerChar(static_cast<unsigned char>(i)));
        return t;
    }();
    return table;
}

// A term of the search, lower-cased once, the bytes that lower-case to its
// first character, and the catalogue column it is compared with.
struct TTerm {
    AnsiString Lower;
    int Column;
    std::vector<char> Firsts;

    TTerm(const AnsiString& Term, int AColumn) : Lower(AnsiLowerCase(Term)), Column(AColumn)
    {
        const auto& low = LowerTable();
        for (int b = 0; b < 256; ++b)
            if (low[size_t(b)] == Lower[0])
                Firsts.push_back(char(b));
    }

    // The term occurs in Cell, both lower-cased (Cell is compared in place).
    bool In(std::string_view Cell) const
    {
        const auto& low = LowerTable();
        const size_t n = Lower.size();
        if (n > Cell.size())
            return false;
        const char* text = Cell.data();
        const char* end = text + (Cell.size() - n + 1);   // the last place a match may start, + 1
        auto rest = [&](const char* at) {
            for (size_t k = 1; k < n; ++k)
                if (low[static_cast<unsigned char>(at[k])] != Lower[k])
                    return false;
            return true;
        };
        // Each form of the first character looked for with memchr.
        for (char first : Firsts)
            for (const char* at = text; at < end; ++at) {
                at = static_cast<const char*>(std::memchr(at, first, size_t(end - at)));
                if (!at)
                    break;
                if (rest(at))
                    return true;
            }
        return false;
    }
};
}  // namespace

void Tf_MainForm::CreateSearchPage()
{
    TPage* page = PageOf(Strony, "WkataloguTrelKordelin");
    auto* heading = new TNetGradient(this);
    heading->SetName("ng_ZnajdzNormeWTrelKordelin");
    heading->SetParent(page);
    heading->SetAlign(alTop);
    heading->SetHeight(25);
    heading->SetCaption("Znajdź normę w zbiorze norm");

    auto* terms = Place<TPanel>(this, page, "pan_z_Kryteria", 0, 24, 800, 176);
    terms->SetAlign(alTop);
    terms->SetBevelOuter(bvNone);
    terms->SetCaption("");
    struct TField {
        TEdit** Edit;
        const char* Name;
        const char* Caption;
    };
    const TField fields[] = {{&e_z_NrNormy, "e_z_NrNormy", "&Numer normy:"},
                             {&e_z_Tytul, "e_z_Tytul", "&Tytuł:"},
                             {&e_z_Opis, "e_z_Opis", "&Opis:"},
                             {&e_z_Zastopiona, "e_z_Zastopiona", "&Zastąpiona:"}};
    int top = 10;
    for (const TField& f : fields) {
        *f.Edit = Place<TEdit>(this, terms, f.Name, 110, top, 360, 23);
        PlaceLabel(this, terms, nullptr, f.Caption, 16, top + 4, *f.Edit);
        top += 30;
    }
    cb_z_KryteriaSzukania = Place<TComboBox>(this, terms, "cb_z_KryteriaSzukania", 110, top, 360, 23);
    cb_z_KryteriaSzukania->SetStyle(csDropDownList);
    cb_z_KryteriaSzukania->SetSorted(true);
    cb_z_KryteriaSzukania->Items()->Add("normy zawierające jedno z ww. haseł");
    cb_z_KryteriaSzukania->Items()->Add("normy zawierające wszystkie ww. hasła");
    PlaceLabel(this, terms, nullptr, "&Wyszukaj", 16, top + 4, cb_z_KryteriaSzukania);

    auto button = [&](const char* Name, const char* Caption, int Left, int Top, int Width) {
        auto* b = Place<TSpeedButton>(this, terms, Name, Left, Top, Width, 25);
        b->SetCaption(Caption);
        return b;
    };
    sb_ZnajdzNormeWTrelKordelin = button("sb_ZnajdzNormeWTrelKordelin", "Znajdź", 486, 10, 150);
    sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanie =
        button("sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanie", "Nowe wyszukiwanie", 486, 40, 150);
    sb_z_SprawdzNorme = button("sb_z_SprawdzNorme", "Spradź normę", 486, 100, 150);
    sb_z_Kopiuj = button("sb_z_Kopiuj", "Kopiuj nr normy", 486, 130, 150);
    lbl_ZnajdzNormeWTrelKordelni = PlaceLabel(this, terms, "lbl_ZnajdzNormeWTrelKordelni", "", 16, 156);
    lbl_ZnajdzNormeWTrelKordelni->Font()->SetStyle(fsBold);

    sg_ZnajdzNormeWTrelKordelin = NewGrid(page, "sg_ZnajdzNormeWTrelKordelin", alClient);

    auto keyDown = [this](TObject* s, Word& k, TShiftState sh) { e_z_NrNormyKeyDown(s, k, sh); };
    auto keyPress = [this](TObject* s, char& k) { e_z_NrNormyKeyPress(s, k); };
    for (TEdit* e : {e_z_NrNormy, e_z_Tytul, e_z_Opis, e_z_Zastopiona}) {
        e->OnKeyDown = keyDown;
        e->OnKeyPress = keyPress;
        // A number copied from a page with its line end is searched for without it.
        e->OnChange = [e](TObject*) { KeepFirstLine(e); };
    }
    cb_z_KryteriaSzukania->OnKeyDown = keyDown;
    cb_z_KryteriaSzukania->OnKeyPress = keyPress;
    sb_ZnajdzNormeWTrelKordelin->OnClick = [this](TObject* s) { sb_ZnajdzNormeWTrelKordelinClick(s); };
    sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanie->OnClick = [this](TObject* s) {
        sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(s);
    };
    sb_z_SprawdzNorme->OnClick = [this](TObject* s) { sb_z_SprawdzNormeClick(s); };
    sb_z_Kopiuj->OnClick = [this](TObject* s) { sb_z_KopiujClick(s); };
    sg_ZnajdzNormeWTrelKordelin->OnClickCell = [this](TObject* s, int r, int c) {
        sg_ZnajdzNormeWTrelKordelinClickCell(s, r, c);
    };
    sg_ZnajdzNormeWTrelKordelin->OnDblClickCell = [this](TObject* s, int r, int c) {
        sg_ZnajdzNormeWTrelKordelinDblClickCell(s, r, c);
    };
    // The results answer the keys as the register grid does.
    sg_ZnajdzNormeWTrelKordelin->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) {
        sg_NowyEdytujWykazKeyDown(s, k, sh);
    };
}

void Tf_MainForm::sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(TObject*)
{
    for (TEdit* e : {e_z_NrNormy, e_z_Tytul, e_z_Opis, e_z_Zastopiona})
        e->Clear();
    TProStringGrid* g = sg_ZnajdzNormeWTrelKordelin;
    g->ClearAll();
    g->SetColCount(NormColCount);
    g->SetRowCount(2);
    for (int c = 1; c < NormColCount; ++c)
        g->SetCells(c, 0, ResultHeaders[c]);
    g->SetAutoSize(true);
    FFoundRows.clear();
    FFoundRowsRefilled = false;
    lbl_ZnajdzNormeWTrelKordelni->SetCaption("Wprowadź dane i kliknij na przycisk Znajdź");
}

void Tf_MainForm::sb_ZnajdzNormeWTrelKordelinClick(TObject*)
{
    TProStringGrid* g = sg_ZnajdzNormeWTrelKordelin;
    const AnsiString number = e_z_NrNormy->Text(), title = e_z_Tytul->Text(), description = e_z_Opis->Text(),
                     replaced = e_z_Zastopiona->Text();
    if (number.empty() && title.empty() && description.empty() && replaced.empty()) {
        lbl_ZnajdzNormeWTrelKordelni->SetCaption("NIE PODANO ŻADNYCH DANYCH DO WYSZUKIWANIA !!!");
    } else {
        // "Any" tests the terms in the order number, title, description,
        // replaced by; "all" (also with no mode chosen) number, replaced by,
        // title, description. Empty terms take no part.
        const bool any = cb_z_KryteriaSzukania->ItemIndex() == 0;
        std::vector<TTerm> terms;
        auto add = [&](const AnsiString& Term, int Column) {
            if (!Term.empty())
                terms.emplace_back(Term, Column);
        };
        add(number, 1);
        if (any) {
            add(title, 5);
            add(description, 6);
            add(replaced, 4);
        } else {
            add(replaced, 4);
            add(title, 5);
            add(description, 6);
        }

        TProStringGrid* cat = sg_WszystkieNormy;
        std::vector<int> found;
        for (int r = 1; r <= cat->RowCount() - 2; ++r) {
            bool match = !any;
            for (const TTerm& t : terms) {
                // The stored text, read in place (the catalogue has no merged cells).
                const bool hit = t.In(cat->CellText(t.Column, r));
                if (any && hit) {
                    match = true;
                    break;
                }
                if (!any && !hit) {
                    match = false;
                    break;
                }
            }
            if (match)
                found.push_back(r);
        }

        g->BeginUpdate();
        g->ClearAll();
        g->SetColCount(NormColCount);
        g->SetRowCount(std::max<int>(3, int(found.size()) + 2));
        for (int c = 0; c < NormColCount; ++c)
            g->SetCells(c, 0, ResultHeaders[c]);
        for (size_t i = 0; i < found.size(); ++i)
            for (int c = 0; c < NormColCount; ++c)
                g->SetCellsFrom(c, int(i) + 1, cat->CellText(c, found[i]));
        g->EndUpdate();
        FFoundRows = std::move(found);
        FFoundRowsRefilled = false;
        g->SetAutoSize(true);
        // The catalogue row numbers under their heading too.
        g->AutoSizeCol(0);
        g->SetColWidths(0, g->ColWidths(0) + 10);
        lbl_ZnajdzNormeWTrelKordelni->SetCaption("Liczba norm spełniających kryteria wyszukiwania: " +
                                                 IntToStr(int(FFoundRows.size())));
    }
    const bool selected = !g->GridAsPlainText().empty();
    sb_z_SprawdzNorme->SetEnabled(selected);
    sb_z_Kopiuj->SetEnabled(selected);
}

void Tf_MainForm::e_z_NrNormyKeyPress(TObject*, char& Key)
{
    if (Key == '|')
        Key = 0;
}

void Tf_MainForm::e_z_NrNormyKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN)
        sb_ZnajdzNormeWTrelKordelinClick(sb_ZnajdzNormeWTrelKordelin);
    FormKeyDown(this, Key, Shift);
}

void Tf_MainForm::sg_ZnajdzNormeWTrelKordelinClickCell(TObject*, int ARow, int ACol)
{
    TProStringGrid* g = sg_ZnajdzNormeWTrelKordelin;
    const bool number = ACol == 1 && ARow >= 0 && ARow < g->RowCount() && !g->Cells(1, ARow).empty();
    sb_z_SprawdzNorme->SetEnabled(number);
    sb_z_Kopiuj->SetEnabled(number);
}

void Tf_MainForm::sb_z_KopiujClick(TObject*)
{
    sg_ZnajdzNormeWTrelKordelin->CopySelection();
}

void Tf_MainForm::sg_ZnajdzNormeWTrelKordelinDblClickCell(TObject*, int ARow, int ACol)
{
    if (ACol == 1)
        CheckFoundNorm(ARow);
}

void Tf_MainForm::sb_z_SprawdzNormeClick(TObject*)
{
    if (sg_ZnajdzNormeWTrelKordelin->Col() == 1)
        CheckFoundNorm(sg_ZnajdzNormeWTrelKordelin->Row());
}

void Tf_MainForm::CheckFoundNorm(int R)
{
    TProStringGrid* g = sg_ZnajdzNormeWTrelKordelin;
    if (R < 1 || R >= g->RowCount() - 1)
        return;
    // No access level is asked for here: the dialog itself is read-only below level 3.
    // The row of the standard checked, wherever deletions or regrouping have put it since the
    // search (column 0 keeps the number it had), found from the result as it is shown.
    const int c = FoundNormRow(R);
    Tf_SprawdzNorme* d = f_SprawdzNorme;
    d->BitBtn3->SetVisible(false);
    FillCheckDialog(g, R);
    d->SetCaption("Sprawdź normę");
    if (d->ShowModal() != mrOk)
        return;
    try {
        TProStringGrid* cat = sg_WszystkieNormy;
        if (c < 0)
            throw Exception("No catalogue row holds " + g->Cells(1, R));
        StoreCheckDialog(cat, c);
        StoreCheckDialog(g, R);
        NormListModified = true;
        if (Application->MessageBox("Aktualizacja normy zakończyła się pomyślnie - GRATULUJĘ.\r\rZapisać wszystkie "
                                    "wprowadzone zmiany ???",
                                    "UWAGA !!!", MB_YESNO | MB_ICONQUESTION) == IDYES)
            SaveNormList(cat);
    } catch (const Exception&) {
        Application->MessageBox("Próba aktualizacji wskazanej pozycji niepowiodła się !!!", "BŁĄD !!!",
                                MB_OK | MB_ICONERROR);
    }
}

void Tf_MainForm::FollowDeletedNormRow(int Row)
{
    for (int& r : FFoundRows)
        if (r == Row)
            r = 0;
        else if (r > Row)
            --r;
}

namespace {
// Result row R shows the record of catalogue row C: the same number, replacement, title and
// description, the same state word (coloured or plain) and the same holding (an old holding
// word taken as the word it becomes).
bool SameNormRecord(TProStringGrid* Results, int R, TProStringGrid* Catalogue, int C)
{
    for (int col : {1, 4, 5, 6})
        if (Results->CellText(col, R) != Catalogue->CellText(col, C))
            return false;
    return NormStateWordOf(Results->CellText(2, R)) == NormStateWordOf(Catalogue->CellText(2, C)) &&
           HoldingWordNow(Results->Cells(3, R)) == HoldingWordNow(Catalogue->Cells(3, C));
}
}  // namespace

int Tf_MainForm::FoundNormRow(int R) const
{
    TProStringGrid* cat = sg_WszystkieNormy;
    TProStringGrid* results = sg_ZnajdzNormeWTrelKordelin;
    const AnsiString number = results->Cells(1, R);
    const int last = cat->RowCount() - 2;
    const int at = R >= 1 && size_t(R) <= FFoundRows.size() ? FFoundRows[size_t(R) - 1] : 0;
    if (!FFoundRowsRefilled)
        return at >= 1 && at <= last && cat->CellText(1, at) == number ? at : -1;
    // Filled anew, the catalogue may hold the rows in another order, or a deleted one again. A
    // number given twice names neither row surely.
    int same = -1, numbered = -1, numbers = 0;
    for (int r = 1; r <= last; ++r) {
        if (SameNormRecord(results, R, cat, r) && (same < 0 || std::abs(r - at) < std::abs(same - at)))
            same = r;
        if (cat->CellText(1, r) == number) {
            numbered = r;
            ++numbers;
        }
    }
    if (same >= 0)
        return same;
    return !number.empty() && numbers == 1 ? numbered : -1;
}
