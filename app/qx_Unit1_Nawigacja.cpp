// Page navigation of the main window: the history of the pages shown, Back
// and Forward through it, the quick-pages menu, and the window's show handler.
#include <algorithm>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

namespace {
enum TArrow { arLeft, arRight, arDown };

// A small black arrow on the transparent colour of the glyphs (the bottom-left pixel).
void DrawArrowGlyph(TSpeedButton* Button, TArrow Arrow)
{
    TBitmap b;
    b.SetSize(12, 12);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 12, 12));
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    switch (Arrow) {
    case arLeft: c->Polygon({TPoint(2, 6), TPoint(8, 1), TPoint(8, 11)}); break;
    case arRight: c->Polygon({TPoint(9, 6), TPoint(3, 1), TPoint(3, 11)}); break;
    case arDown: c->Polygon({TPoint(2, 4), TPoint(10, 4), TPoint(6, 8)}); break;
    }
    Button->SetGlyph(&b);
}
}  // namespace

void Tf_MainForm::CreateNavigationComponents()
{
    // A strip along the window's top keeps the panel off the pages' contents.
    auto* strip = Place<TPanel>(this, this, "pan_Nawigacja", 0, 0, ClientWidth(), 24);
    strip->SetAlign(alTop);
    strip->SetBevelOuter(bvNone);
    strip->SetCaption("");
    const int width = 134;
    p_Nawigacja = Place<TPanel>(this, strip, "p_Nawigacja", ClientWidth() - width, 0, width, 24);
    p_Nawigacja->SetBevelOuter(bvNone);
    p_Nawigacja->SetCaption("");
    p_Nawigacja->SetAlign(alRight);
    sb_Zakladki_Wstecz = Place<TSpeedButton>(this, p_Nawigacja, "sb_Zakladki_Wstecz", 0, 0, 80, 24);
    sb_Zakladki_Wstecz->SetCaption("Wstecz");
    DrawArrowGlyph(sb_Zakladki_Wstecz, arLeft);
    sb_Zakladki_WPrzod = Place<TSpeedButton>(this, p_Nawigacja, "sb_Zakladki_WPrzod", 82, 0, 26, 24);
    DrawArrowGlyph(sb_Zakladki_WPrzod, arRight);
    sb_Zakladki_WPrzod->SetEnabled(false);
    sb_SzybkieZakladki = Place<TSpeedButton>(this, p_Nawigacja, "sb_SzybkieZakladki", 108, 0, 26, 24);
    DrawArrowGlyph(sb_SzybkieZakladki, arDown);
    for (TSpeedButton* b : {sb_Zakladki_Wstecz, sb_Zakladki_WPrzod, sb_SzybkieZakladki})
        b->SetFlat(true);
    sb_Zakladki_Wstecz->OnClick = [this](TObject* s) { sb_Zakladki_WsteczClick(s); };
    sb_Zakladki_WPrzod->OnClick = [this](TObject* s) { sb_Zakladki_WPrzodClick(s); };
    sb_SzybkieZakladki->OnClick = [this](TObject* s) { sb_SzybkieZakladkiClick(s); };

    pm_Zakladki = new TPopupMenu(this);
    pm_Zakladki->SetName("pm_Zakladki");
    struct TQuickPage {
        TMenuItem** Field;
        const char* Name;
        const char* Caption;
        TShortCut Key;
        void (Tf_MainForm::*Handler)(TObject*);
    };
    const TQuickPage items[] = {
        {&Listawszystkichnorm1, "Listawszystkichnorm1", "Lista wszystkich norm", 0,
         &Tf_MainForm::Listawszystkichnorm1Click},
        {&Wyszukajnorm1, "Wyszukajnorm1", "Wyszukaj normę", TShortCut(scCtrl | 'F'), &Tf_MainForm::Wyszukajnorm1Click},
        {&WyszukajnastroniePKN1, "WyszukajnastroniePKN1", "Wyszukaj na stronie PKN", 0,
         &Tf_MainForm::WyszukajnastroniePKN1Click},
        {nullptr, "N1", cLineCaption, 0, nullptr},
        {&Ustawieniaprogramu1, "Ustawieniaprogramu1", "Ustawienia programu", TShortCut(scCtrl | 'U'),
         &Tf_MainForm::Ustawieniaprogramu1Click},
        {&UstawieniaMenu1, "UstawieniaMenu1", "Ustawienia Menu", 0, &Tf_MainForm::UstawieniaMenu1Click},
        {&Ustawieniafolderw1, "Ustawieniafolderw1", "Ustawienia folderów", 0, &Tf_MainForm::Ustawieniafolderw1Click},
        {nullptr, "N2", cLineCaption, 0, nullptr},
        {&Uytkownicy1, "Uytkownicy1", "Użytkownicy", 0, &Tf_MainForm::Uytkownicy1Click},
        {&Uprawnienia1, "Uprawnienia1", "Uprawnienia", 0, &Tf_MainForm::Uprawnienia1Click},
        {nullptr, "N3", cLineCaption, 0, nullptr},
        {&Aktualizacje1, "Aktualizacje1", "Aktualizacje", 0, &Tf_MainForm::Aktualizacje1Click},
        {&Oprogramie1, "Oprogramie1", "O programie", VK_F10, &Tf_MainForm::Oprogramie1Click},
    };
    for (const TQuickPage& q : items) {
        auto* item = new TMenuItem(this);
        item->SetName(q.Name);
        item->SetCaption(q.Caption);
        item->SetShortCut(q.Key);
        if (q.Handler) {
            auto handler = q.Handler;
            item->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
        }
        if (q.Field)
            *q.Field = item;
        pm_Zakladki->Items()->Add(item);
    }

    Strony->OnPageChanged = [this](TObject* s) { StronyPageChanged(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void Tf_MainForm::StronyPageChanged(TObject*)
{
    PageHistory->Add(Strony->ActivePage());
    sb_Zakladki_Wstecz->SetEnabled(PageHistory->Count() > 1);
    // The menu editor shown again after an import changed the menu file.
    if (Strony->ActivePage() == "DostosujGrupyPrziPoz" && FMenuListsSeen != FMenuFileWrites)
        ReadMenuListsAgain();
}

// Shows the history's entry Index (kept within the history). A change of page
// appends the page to the history; that entry is taken off again, so that
// moving through the history does not lengthen it. Showing the page already
// shown appends nothing, and then nothing is taken off either. False when
// the user stays on a page with unsaved changes.
bool Tf_MainForm::ShowHistoryEntry(int Index)
{
    const int n = PageHistory->Count();
    if (n == 0)
        return true;
    Index = std::clamp(Index, 0, n - 1);
    if (PageHistory->Strings(Index) != Strony->ActivePage() && !LeaveSettingsPage())
        return false;
    Strony->SetActivePage(PageHistory->Strings(Index));
    if (PageHistory->Count() > n)
        PageHistory->Delete(PageHistory->Count() - 1);
    return true;
}

void Tf_MainForm::sb_Zakladki_WsteczClick(TObject*)
{
    const int t = int(sb_Zakladki_Wstecz->Tag());
    if (!ShowHistoryEntry(PageHistory->Count() - 2 - t))
        return;
    const int back = std::min(t + 1, std::max(PageHistory->Count() - 1, 0));
    sb_Zakladki_Wstecz->SetTag(back);
    sb_Zakladki_Wstecz->SetEnabled(PageHistory->Count() - back - 1 > 0);
    sb_Zakladki_WPrzod->SetEnabled(back > 0);
}

void Tf_MainForm::sb_Zakladki_WPrzodClick(TObject*)
{
    const int t = int(sb_Zakladki_Wstecz->Tag());
    if (!ShowHistoryEntry(PageHistory->Count() - t))
        return;
    const int back = std::max(t - 1, 0);
    sb_Zakladki_Wstecz->SetTag(back);
    sb_Zakladki_Wstecz->SetEnabled(true);
    sb_Zakladki_WPrzod->SetEnabled(back > 0);
}

void Tf_MainForm::sb_SzybkieZakladkiClick(TObject*)
{
    TSpeedButton* b = sb_SzybkieZakladki;
    const TPoint below = b->ClientToScreen(TPoint(0, b->Height()));
    pm_Zakladki->Popup(below.X, below.Y);
}

void Tf_MainForm::RunQuickPage(const char* Command)
{
    RunMenuCommand(Command, Command);
}

void Tf_MainForm::Listawszystkichnorm1Click(TObject*)
{
    if (LeaveSettingsPage())
        Strony->SetActivePage("ListaWszystkichNorm");
}
void Tf_MainForm::Wyszukajnorm1Click(TObject*) { RunQuickPage("W katalogu norm"); }
void Tf_MainForm::WyszukajnastroniePKN1Click(TObject*) { RunQuickPage("Na stronie PKN"); }
void Tf_MainForm::Ustawieniaprogramu1Click(TObject*) { RunQuickPage("Kolory i styl przycisków menu głównego"); }
void Tf_MainForm::UstawieniaMenu1Click(TObject*) { RunQuickPage("Menu"); }
void Tf_MainForm::Ustawieniafolderw1Click(TObject*) { RunQuickPage("Foldery"); }
void Tf_MainForm::Uytkownicy1Click(TObject*) { RunQuickPage("Użytkownicy programu"); }
void Tf_MainForm::Uprawnienia1Click(TObject*) { RunQuickPage("Uprawnienia"); }
void Tf_MainForm::Aktualizacje1Click(TObject*) { RunQuickPage("Sprawdź uaktualnienia"); }
void Tf_MainForm::Oprogramie1Click(TObject*) { RunQuickPage("Informacja"); }

void Tf_MainForm::FormShow(TObject*)
{
    for (TLabel* l : {l_W_Warning, l_G_Warning, l_MG_Warning, lbl_Menu_NazwaPoz, l_pom_PMG_NazwaPoz, l_pom_W_NazwaPoz})
        l->SetCaption("");
    ClearImportFile();
    sb_Zakladki_Wstecz->SetEnabled(PageHistory->Count() > 1);
}
