#include "app/qx_Unit7_ListaUzywanychNorm.h"

#include <memory>
#include <unordered_set>
#include <vector>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/WaitNotice.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit2.h"
#include "controls/ColorPicker.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/SHDocVw.h"

Tf_ListaUzywanychNorm* f_ListaUzywanychNorm = nullptr;

namespace {
const char* const ListHeadersUsed[] = {"", "Numer normy", "Stan normy", "Zastąpiona", "Lista"};
const char* const Heading = "Normy użyte w wykazach materiałowych";
const AnsiString MissingCell = "<p align=\"center\">" + NotInCatalogue + "</p>";
}  // namespace

int SafeStrToInt(const AnsiString& S)
{
    int v = 0;
    return TryStrToInt(S, v) ? v : -1;
}

Tf_ListaUzywanychNorm::Tf_ListaUzywanychNorm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_ListaUzywanychNorm");
    SetCaption("Lista Używanych Norm");
    SetBounds(0, 0, 640, 560);
    SetPosition(poMainFormCenter);
    CreateComponents();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnCanResize = [this](TObject* Sender, int& W, int& H, bool& Resize) { FormCanResize(Sender, W, H, Resize); };
    // The window system keeps the user's sizing within the same bound.
    SetSizeLimits(420, 0, 0, 0);
}

Tf_ListaUzywanychNorm::~Tf_ListaUzywanychNorm()
{
    if (f_ListaUzywanychNorm == this)
        f_ListaUzywanychNorm = nullptr;
}

void Tf_ListaUzywanychNorm::CreateComponents()
{
    p_Naglowek = Place<TPanel>(this, this, "p_Naglowek", 0, 0, 640, 34);
    p_Naglowek->SetAlign(alTop);
    p_Naglowek->SetCaption(Heading);
    p_Naglowek->Font()->SetStyle(fsBold);

    p_Przyciski = Place<TPanel>(this, this, "p_Przyciski", 0, 516, 640, 44);
    p_Przyciski->SetAlign(alBottom);
    sb_SprawdzListe = Place<TSpeedButton>(this, p_Przyciski, "sb_SprawdzListe", 8, 8, 130, 28);
    sb_SprawdzListe->SetCaption("Sprawdź listę");
    sb_SprawdzListe->OnClick = [this](TObject* Sender) { sb_SprawdzListeClick(Sender); };
    SpeedButton2 = Place<TSpeedButton>(this, p_Przyciski, "SpeedButton2", 146, 8, 130, 28);
    SpeedButton2->SetCaption("Wydrukuj listę");
    BitBtn1 = Place<TBitBtn>(this, p_Przyciski, "BitBtn1", 524, 8, 104, 28);
    BitBtn1->SetCaption("Zamknij");
    BitBtn1->SetAnchors(akTop | akRight);
    BitBtn1->OnClick = [this](TObject* Sender) { BitBtn1Click(Sender); };

    lb_ListaWykazow = Place<TListBox>(this, this, "lb_ListaWykazow", 0, 0, 10, 10);
    lb_ListaWykazow->Hide();
    lb_ListaWykazow->SetEnabled(false);

    sg_ListaNorm = Place<TProStringGrid>(this, this, "sg_ListaNorm", 0, 34, 640, 482);
    sg_ListaNorm->SetAlign(alClient);
    sg_ListaNorm->OnGetCellColor = [this](TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush,
                                          TFont* AFont) {
        sg_ListaNormGetCellColor(Sender, ARow, ACol, AState, ABrush, AFont);
    };
}

void Tf_ListaUzywanychNorm::FormShow(TObject* Sender)
{
    sb_SprawdzListe->SetEnabled(CurrentUserLevel >= 3);
    const AnsiString caption = Caption();
    TProStringGrid* g = sg_ListaNorm;
    g->ClearAll();
    g->UnHideColumnsAll();
    p_Naglowek->SetCaption(Heading);
    p_Naglowek->Font()->SetColor(clBlack);

    const int n = lb_ListaWykazow->Count();
    if (n == 0) {
        p_Naglowek->SetCaption("FOLDER ZAWIERAJĄCY WYKAZY MATERIAŁOWE JEST PUSTY !!!");
        p_Naglowek->Font()->SetColor(clRed);
        p_Naglowek->Font()->SetStyle(fsBold);
        g->SetRowCount(0);
        g->SetColCount(0);
        return;
    }

    // Every standard cited as the documentation or the register standard, once.
    const AnsiString loading = " - trwa wczytywanie numerów norm użytych w wykazach, proszę czekać ... (";
    SetCaption(caption + loading + "0.00%)");
    const AnsiString folder = f_MainForm->ListFolder();
    TStringList collection;
    std::unordered_set<std::string> seen;
    auto add = [&](const AnsiString& Number) {
        if (!Number.empty() && seen.insert(AnsiUpperCase(Number)).second)
            collection.Add(Number);
    };
    for (int i = 0; i < n; ++i) {
        TStringList lines;
        try {
            lines.SetText(LoadBytesFromFile(folder + lb_ListaWykazow->Items()->Strings(i)));
        } catch (const Exception&) {
            lines.Clear();   // an unreadable register gives nothing
        }
        for (int l = 0; l < lines.Count(); ++l) {
            const AnsiString& line = lines.Strings(l);
            size_t bar = line.find('|');
            if (bar == AnsiString::npos)
                continue;
            add(line.substr(0, bar));
            size_t next = line.find('|', bar + 1);
            add(line.substr(bar + 1, next == AnsiString::npos ? AnsiString::npos : next - bar - 1));
        }
        SetCaption(caption + loading + FormatFloat("0.00%", double(i + 1) / n * 100) + ")");
        Application->ProcessMessages();
    }
    SetCaption(caption);
    auto wait = std::make_unique<TWaitNotice>(collection.Count() + 5);
    collection.Sort();
    const int count = collection.Count();
    g->BeginUpdate();
    g->SetColCount(5);
    g->SetRowCount(count + 2);
    for (int c = 0; c < 5; ++c)
        g->SetCells(c, 0, ListHeadersUsed[c]);
    for (int i = 0; i < count; ++i)
        g->SetCells(1, i + 1, collection.Strings(i));

    TProStringGrid* cat = f_MainForm->sg_WszystkieNormy;
    std::vector<AnsiString> numbers;
    for (int i = 0; i < count; ++i)
        numbers.push_back(collection.Strings(i));
    const TNormIndex catalogue(cat, numbers);
    for (int r = 1; r < g->RowCount(); ++r) {
        const int c = g->Cells(1, r).empty() ? -1 : catalogue.Find(g->Cells(1, r));
        if (c >= 0) {
            g->SetCellsFrom(2, r, cat->CellText(2, c));
            g->SetCellsFrom(3, r, cat->CellText(4, c));
            g->SetCells(4, r, IntToStr(c));
        } else if (!g->Cells(1, r).empty()) {
            g->SetCells(2, r, MissingCell);
            g->SetCells(4, r, "-1");
        }
        wait->SetPosition(r);
    }
    g->HideColumn(4);
    g->EndUpdate();
    wait->Step();

    // The catalogue's looks.
    g->SetLook(cat->Look());
    g->SetActiveCellColor(cat->ActiveCellColor());
    g->SetActiveCellColorTo(cat->ActiveCellColorTo());
    g->SetActiveRowShow(cat->ActiveRowShow());
    g->SetActiveRowColor(cat->ActiveRowColor());
    g->SetGridLineColor(cat->GridLineColor());
    g->SetSelectionColor(cat->SelectionColor());
    g->SetSelectionColorTo(cat->SelectionColorTo());
    g->SetSelectionTextColor(cat->SelectionTextColor());
    wait.reset();   // the bar full, the notice closed

    SortNormListRows(g);
    int width = 0;
    for (int c = 0; c < g->ColCount(); ++c)
        width += g->ColWidths(c);
    SetWidth(std::max(width + 40, 420));
}

void Tf_ListaUzywanychNorm::sg_ListaNormGetCellColor(TObject* Sender, int ARow, int ACol, unsigned AState,
                                                     TBrush* ABrush, TFont* AFont)
{
    NormListCellColor(sg_ListaNorm, ARow, ACol, AState, ABrush, AFont,
                      f_MainForm->ColorBtn_PN_KolCellNrNormy->ActiveColor());
}

AnsiString HoldingWordNow(const AnsiString& Holding)
{
    static const std::pair<const char*, const char*> oldHoldings[] = {
        {"Jest", "Dostępna"}, {"Brak - Uznaniowa", "Brak (Uznaniowa)"}, {"Jest - Uznaniowa", "Dostępna (Uznaniowa)"}};
    for (const auto& [old, now] : oldHoldings)
        if (AnsiCompareText(Holding, old) == 0)
            return now;
    return Holding;
}

void FillCheckDialog(TProStringGrid* Catalogue, int Row, const AnsiString& StateWord)
{
    Tf_SprawdzNorme* d = f_SprawdzNorme;
    const AnsiString number = Catalogue->Cells(1, Row);
    d->e_NrNormy->SetText(number);

    const AnsiString holdingNow = HoldingWordNow(Catalogue->Cells(3, Row));
    if (holdingNow != Catalogue->Cells(3, Row))
        Catalogue->SetCells(3, Row, holdingNow);
    const int holding = d->cb_StanPosiadania->Items()->IndexOf(Catalogue->Cells(3, Row));
    d->cb_StanPosiadania->SetItemIndex(holding >= 0 ? holding
                                                    : d->cb_StanPosiadania->Items()->IndexOf("Dostępna"));
    d->m_Tytul->SetText(Catalogue->Cells(5, Row));
    d->m_Opis->SetText(Catalogue->Cells(6, Row));

    const AnsiString stateCell = Catalogue->Cells(2, Row);
    int state = -1;
    for (const char* word : {"Aktualna", "Nieaktualna", "Norma zakładowa", "Wycofana bez zastąpienia",
                             "Zastąpiona uznaniowo"})
        if (stateCell.find(word) != AnsiString::npos) {
            state = d->cb_StanNormy->Items()->IndexOf(word);
            break;
        }
    if (!StateWord.empty())
        state = d->cb_StanNormy->Items()->IndexOf(StateWord);
    d->cb_StanNormy->SetItemIndex(state);

    d->e_ZastopionaPrzez->SetText(Catalogue->Cells(4, Row));
    const bool replaced = d->cb_StanNormy->Text() != "Aktualna";
    d->e_ZastopionaPrzez->SetEnabled(replaced);
    d->Label6->SetEnabled(replaced);
    d->bb_OK->SetEnabled(false);

    d->menu_NrNormy->SetCaption(number);
    d->menu_NrNormy->SetHint(BuildCatalogQueryUrl(number));
    d->webPodglad->Navigate(d->menu_NrNormy->Hint());
}

void StoreCheckDialog(TProStringGrid* Catalogue, int Row)
{
    Tf_SprawdzNorme* d = f_SprawdzNorme;
    Catalogue->SetCells(1, Row, d->e_NrNormy->Text());
    Catalogue->SetCells(3, Row, d->cb_StanPosiadania->Text());
    Catalogue->SetCells(5, Row, d->m_Tytul->Text());
    Catalogue->SetCells(6, Row, d->m_Opis->Text());
    Catalogue->SetCells(2, Row, d->cb_StanNormy->Text());
    Catalogue->SetCells(4, Row, d->e_ZastopionaPrzez->Text());
}

void Tf_ListaUzywanychNorm::sb_SprawdzListeClick(TObject* Sender)
{
    Application->MessageBox("Zostaną sprawdzone tylko te normy, które zostały odnalezione w spisie.", "UWAGA !!!",
                            MB_OK | MB_ICONINFORMATION);
    TProStringGrid* g = sg_ListaNorm;
    TProStringGrid* cat = f_MainForm->sg_WszystkieNormy;
    Tf_SprawdzNorme* d = f_SprawdzNorme;
    const int total = g->RowCount() - 2;
    for (int i = 1; i <= total; ++i) {
        const int row = SafeStrToInt(g->Cells(4, i));
        // A row number the catalogue no longer has is skipped like a missing standard.
        if (row < 1 || row >= cat->RowCount())
            continue;
        d->webPodglad->Navigate(AnsiString("about:blank"));
        FillCheckDialog(cat, row);
        d->SetCaption("Sprawdź normę (nr " + IntToStr(i) + "/" + IntToStr(total) + " - " +
                      FormatFloat("0.00%", double(i) / total * 100) + ")");
        const int result = d->ShowModal();
        if (result == mrOk) {
            StoreCheckDialog(cat, row);
            g->SetCells(1, i, d->e_NrNormy->Text());
            g->SetCells(2, i, d->cb_StanNormy->Text());
            g->SetCells(3, i, d->e_ZastopionaPrzez->Text());
            NormListModified = true;
        } else if (result == mrCancel) {
            if (Application->MessageBox("Czy na pewno chcesz przerwać aktualizację norm ???\r\rDo końca pozostała "
                                        "(o/y) " +
                                            IntToStr(total - i) +
                                            " pozycja (e/i).\r\rCzy mam zakończyć aktualizację spisu teraz ???",
                                        "UWAGA !!!", MB_YESNO | MB_ICONQUESTION) == IDYES)
                break;
        }
    }
}

void Tf_ListaUzywanychNorm::FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)
{
    if (NewWidth < 420)
        Resize = false;
}

void Tf_ListaUzywanychNorm::FormClose(TObject* Sender, TCloseAction& Action)
{
    f_MainForm->SetEnabled(true);
}

void Tf_ListaUzywanychNorm::BitBtn1Click(TObject* Sender)
{
    Close();
}
