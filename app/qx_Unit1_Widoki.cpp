// The catalogue commands of the main window: reloading, adding, deleting,
// grouping, saving and exporting standards, the views of the catalogue by
// state, the company-catalogue search page, the about and update pages.
#include <memory>
#include <string_view>
#include <vector>

#include "app/FormBuild.h"
#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/ProgramFolders.h"
#include "app/U_WspolneFunkcje.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "controls/NetGradient.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "controls/aniicon.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleWarning = "UWAGA !!!";

// The state view titles and the state word each searches for.
struct TStateView {
    const char* Title;
    const char* Word;
};
const TStateView StateViews[] = {
    {"Normy aktualne", "Aktualna"},
    {"Normy nieaktualne", "Nieaktualna"},
    {"Normy zastąpione uznaniowo", "Zastąpiona uznaniowo"},
    {"Normy wycofane bez zastąpienia", "Wycofana bez zastąpienia"},
    {"Normy zakładowe", "Norma zakładowa"},
};

// The head of department's logins that get no notice on the about page.
const char* const NoNoticeLogins[] = {"tyrvenhold", "velmarok"};

void Focus(TWinControl* Control)
{
    if (Control->CanFocus())
        Control->SetFocus();
}

// The lines of a memo joined, each followed by Separator, when it has more
// than one line; else its one line, without the line end a pasted text
// leaves after it (a record line holds no line break).
AnsiString JoinedLines(TMemo* Memo, const AnsiString& Separator)
{
    TStrings* lines = Memo->Lines();
    if (lines->Count() <= 1)
        return lines->Count() == 1 ? lines->Strings(0) : FirstLine(Memo->Text());
    AnsiString s;
    for (int i = 0; i < lines->Count(); ++i)
        s += lines->Strings(i) + Separator;
    return s;
}

// The question after a standard was added: "&Pogrupuj i zapisz" (mrYes),
// "&Zapisz" (mrNo), "&Dodaj następną" (mrOk, focused), "Z&akończ" (mrCancel).
int AskAfterAdding()
{
    const AnsiString text = "Nowa norma została dodana do listy.\r\rKliknięcie na:\r"
                            "• POGRUPUJ I ZAPISZ pogrupuje odpowiednio spis a następnie zapisze go,\r"
                            "• ZAPISZ spowoduje zapisanie aktualnego spisu norm,\r"
                            "• DODAJ NASTĘPNĄ pozostawi spis bez zmian, pozwoli na dodanie kolejnej normy.\r\r"
                            "Co mam zrobić teraz ???";
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("f_NowaNorma");
    form->SetCaption(TitleWarning);
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poMainFormCenter);
    auto* label = Place<TLabel>(form.get(), form.get(), "Message", 64, 16, 470, 120);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetCaption(AdjustLineBreaks(text));
    // The warning picture of a message dialog, left of the text.
    auto* icon = Place<TImage>(form.get(), form.get(), "Image", 16, 16, 32, 32);
    LoadMessageIcon(mtWarning, icon->Picture()->Bitmap());
    struct TAnswer {
        const char* Caption;
        int Result;
        int Width;
    };
    const TAnswer answers[] = {{"&Pogrupuj i zapisz", mrYes, 100},
                               {"&Zapisz", mrNo, 75},
                               {"&Dodaj następną", mrOk, 100},
                               {"Z&akończ", mrCancel, 75}};
    const int clientWidth = 550, gap = 8;
    int rowWidth = -gap;
    for (const TAnswer& a : answers)
        rowWidth += a.Width + gap;
    int left = (clientWidth - rowWidth) / 2;
    for (const TAnswer& a : answers) {
        auto* b = Place<TButton>(form.get(), form.get(), "", left, 148, a.Width, 25);
        b->SetCaption(a.Caption);
        b->SetModalResult(a.Result);
        // As in the standard message dialog: OK is the default, Escape answers "Z&akończ".
        b->SetDefault(a.Result == mrOk);
        b->SetCancel(a.Result == mrCancel);
        if (a.Result == mrOk)
            form->SetActiveControl(b);
        left += a.Width + gap;
    }
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(185);
    return form->ShowModal();
}
}  // namespace

AnsiString Tf_MainForm::StateWordOfView(const AnsiString& Title)
{
    for (const TStateView& v : StateViews)
        if (Title == v.Title)
            return v.Word;
    return AnsiString();
}

void Tf_MainForm::CreateCommandComponents()
{
    // The standards body's page: caption bar, browser buttons, the number and its search.
    TPage* pkn = PageOf(Strony, "NastroniePKN");
    auto* pknTitle = Place<TNetGradient>(this, pkn, "ng_NaStroniePKN", 0, 0, 600, 25);
    pknTitle->SetAlign(alTop);
    pknTitle->SetCaption("Znakjdź normę na stonie PKN");
    pknTitle->Font()->SetStyle(fsBold);
    auto* pknBar = Place<TPanel>(this, pkn, "pan_PKN", 0, 24, 600, 36);
    pknBar->SetAlign(alTop);
    pknBar->SetBevelOuter(bvNone);
    pknBar->SetCaption("");
    struct TBrowserButton {
        TSpeedButton** Field;
        const char* Name;
        const char* Caption;
        const char* Hint;
    };
    const TBrowserButton browserButtons[] = {
        {&sb_Back, "sb_Back", "Wstecz", "Wstecz"},
        {&sbForword, "sbForword", "Dalej", "Dalej"},
        {&sb_Refresh, "sb_Refresh", "Odśwież", "Odswiez strone PKN"},
        {&sb_Home, "sb_Home", "Strona główna", "Przejdz na strone glowna PKN"},
    };
    int buttonLeft = 4;
    for (const TBrowserButton& b : browserButtons) {
        *b.Field = Place<TSpeedButton>(this, pknBar, b.Name, buttonLeft, 5, 96, 25);
        (*b.Field)->SetCaption(b.Caption);
        (*b.Field)->SetHint(b.Hint);
        (*b.Field)->SetShowHint(true);
        (*b.Field)->SetFlat(true);
        buttonLeft += 100;
    }
    e_WyszukajWPKN_NrNormy = Place<TEdit>(this, pknBar, "e_WyszukajWPKN_NrNormy", buttonLeft + 140, 6, 220, 23);
    PlaceLabel(this, pknBar, "Label_PKN", "Tu podaj numer normy:", buttonLeft + 8, 10, e_WyszukajWPKN_NrNormy);
    sb_NaStroniePKN_GO = Place<TSpeedButton>(this, pknBar, "sb_NaStroniePKN_GO", buttonLeft + 364, 5, 60, 25);
    sb_NaStroniePKN_GO->SetCaption("Szukaj");
    webZnajdzNaPKNie = Place<TWebBrowser>(this, pkn, "webZnajdzNaPKNie", 0, 60, 600, 400);
    webZnajdzNaPKNie->SetAlign(alClient);

    // The appearance topics.
    TPage* settings = PageOf(Strony, "UstawieniaProg");
    auto* topics = Place<TPanel>(this, settings, "pan_CoZmienic", 0, 0, 600, 40);
    topics->SetAlign(alTop);
    topics->SetBevelOuter(bvNone);
    topics->SetCaption("");
    cb_CoZmienic = Place<TComboBox>(this, topics, "cb_CoZmienic", 120, 8, 320, 23);
    cb_CoZmienic->SetStyle(csDropDownList);
    cb_CoZmienic->SetSorted(true);
    for (const char* t : {"Kolory i styl przycisków menu głównego", "Kolory i styl wysuwanych paneli",
                          "Kolory nagłówków", "Kolory określające stan norm", "Kolory sekcji na panelach",
                          "Styl wyświetlania spisu norm", "Styl wyświetlania wykazów"})
        cb_CoZmienic->Items()->Add(t);
    PlaceLabel(this, topics, "Label_CoZmienic", "&Co zmienić:", 8, 12, cb_CoZmienic);
    cb_CoZmienic->OnChange = [this](TObject* s) { cb_CoZmienicChange(s); };
    // The settings pages below the topic bar.
    str_UstawieniaProgramu->SetAlign(alNone);
    str_UstawieniaProgramu->SetAlign(alClient);

    // The export of the shown list.
    ZapiszListeNormJako = new TSaveDialog(this);
    ZapiszListeNormJako->SetName("ZapiszListeNormJako");
    ZapiszListeNormJako->SetDefaultExt("html");
    ZapiszListeNormJako->SetFilter("Plik HTML|*.html|Plik XLS|*.xlsx|Plik CSV|*.csv|Plik DOC|*.docx|Plik TXT|*.txt");

    // About: the picture, the text rows, version, notice and help.
    TPage* about = PageOf(Strony, "Informacja");
    Panel7 = Place<TPanel>(this, about, "Panel7", 0, 0, 600, 500);
    Panel7->SetAlign(alClient);
    Panel7->SetBevelOuter(bvNone);
    Panel7->SetCaption("");
    img_About = Place<TImage>(this, Panel7, "img_About", 0, 0, 360, 120);
    {
        TBitmap* b = img_About->Picture()->Bitmap();
        b->SetSize(360, 120);
        TCanvas* c = b->Canvas();
        c->Brush()->SetColor(TColor(0x7F3F00));
        c->FillRect(TRect(0, 0, 360, 120));
        c->Font()->SetColor(clWhite);
        c->Font()->SetSize(20);
        c->Font()->SetStyle(fsBold);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(24, 28, "Velmarok");
        c->Font()->SetSize(14);
        c->TextOut(24, 68, "Polskich Norm");
    }
    // The text rows: a_l_1 the title line, then caption and value pairs; the
    // e-mail, voice-call and messenger contacts and the home page are links.
    const char* const labelTexts[12] = {"",
                                        "E-mail:",
                                        "biuro@velmarok.invalid",
                                        "Rozmowa głosowa:",
                                        "velmarok.biuro",
                                        "Komunikator:",
                                        "velmarok",
                                        "Strona domowa:",
                                        nullptr,
                                        "Autor:",
                                        "Tyrvenhold",
                                        "Wszelkie prawa zastrzeżone."};
    for (int i = 0; i < 12; ++i) {
        if (!labelTexts[i]) {
            a_l_9->SetParent(Panel7);
            continue;
        }
        const AnsiString name = "a_l_" + IntToStr(i + 1);
        if (i == 2 || i == 4 || i == 6) {
            auto* link = Place<TQelSensitiveLabel>(this, Panel7, name.c_str(), 0, 0, 0, 0);
            link->SetAutoSize(true);
            link->SetCaption(labelTexts[i]);
            a_l[size_t(i)] = link;
        } else {
            a_l[size_t(i)] = PlaceLabel(this, Panel7, name.c_str(), labelTexts[i], 0, 0);
        }
    }
    imgGL = Place<TImage>(this, Panel7, "imgGL", 0, 0, 16, 16);
    img_Money = Place<TImage>(this, Panel7, "img_Money", 0, 0, 16, 16);
    for (TImage* img : {imgGL, img_Money}) {
        TBitmap* b = img->Picture()->Bitmap();
        b->SetSize(16, 16);
        b->Canvas()->Brush()->SetColor(img == imgGL ? TColor(0x00A000) : TColor(0x00A0E0));
        b->Canvas()->FillRect(TRect(0, 0, 16, 16));
    }
    l_Version = PlaceLabel(this, Panel7, "l_Version", "", 0, 0);
    l_SzukamPracy->SetParent(Panel7);
    l_SzukamPracy->SetCaption("(SZUKAM PRACY)");
    l_SzukamPracy->Font()->SetStyle(fsBold);
    l_SzukamPracy2 = PlaceLabel(this, Panel7, "l_SzukamPracy2", "", 0, 0);
    l_SzukamPracy2->SetAutoSize(false);
    l_SzukamPracy2->SetTransparent(true);
    Timer_SzukamPracy = new TTimer(this);
    Timer_SzukamPracy->SetName("Timer_SzukamPracy");
    Timer_SzukamPracy->SetInterval(500);
    Timer_SzukamPracy->SetEnabled(false);
    sb_Pomoc = Place<TSpeedButton>(this, Panel7, "sb_Pomoc", 0, 0, 100, 25);
    sb_Pomoc->SetCaption("Pomoc");
    sb_DownUpdate = Place<TSpeedButton>(this, Panel7, "sb_DownUpdate", 0, 0, 230, 25);
    sb_DownUpdate->SetCaption("Dostępna jest nowa wersja programu");
    sb_DownUpdate->SetShowHint(true);
    sb_DownUpdate->SetVisible(false);

    // The update check.
    TPage* update = PageOf(Strony, "SprawdzUaktualnienia");
    ani_Animacja = Place<TAniIcon>(this, update, "ani_Animacja", 16, 16, 32, 32);
    {
        TAniIconFile frames;
        frames.LoadFromData(ProgramAnimationData());
        ani_Animacja->SetAniFile(&frames);
    }
    ani_Animacja->SetVisible(false);
    l_Status = PlaceLabel(this, update, "l_Status", "", 60, 24);
    l_Status->Font()->SetStyle(fsBold);
    sb_PobierzAktualizacje = Place<TSpeedButton>(this, update, "sb_PobierzAktualizacje", 60, 56, 360, 25);
    sb_PobierzAktualizacje->SetCaption("Kliknij w przycisk aby pobrać nową wersję programu");
    sb_PobierzAktualizacje->SetShowHint(true);
    sb_PobierzAktualizacje->SetVisible(false);

    SetKeyPreview(true);
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

// ---------------------------------------------------------------- catalogue commands

void Tf_MainForm::ReloadFromFile()
{
    const AnsiString file = CatalogueFileName();
    if (FileExists(file)) {
        LoadNormList(file);
        return;
    }
    Application->MessageBox("Brakuje podstawowych plików niezbędnych do uruchomienia programu (brakuje spisu "
                            "wszystkich norm) !!!.\r\rProszę w ustawieniach programu wskazać ściężkę do pliku !!!",
                            TitleError, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

void Tf_MainForm::ReloadNormListCommand()
{
    if (!NormListModified) {
        ReloadFromFile();
        Strony->SetActivePage("ListaWszystkichNorm");
        Focus(sg_WszystkieNormy);
        return;
    }
    Strony->SetActivePage("ListaWszystkichNorm");
    Focus(sg_WszystkieNormy);
    const int answer = Application->MessageBox("Lista norm została zmodyfikowana, czy przed odświerzeniem listy "
                                               "zapisać wprowadzone w niej zmiany ???",
                                               TitleWarning, MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDYES) {
        // A save that failed keeps the changes in the grid: nothing is reloaded over them.
        SaveNormList(sg_WszystkieNormy);
        if (!NormListModified)
            ReloadFromFile();
    } else if (answer == IDNO) {
        ReloadFromFile();
    }
}

void Tf_MainForm::AddNormCommand()
{
    TProStringGrid* g = sg_WszystkieNormy;
    Tf_DodajNowaNorme* d = f_DodajNowaNorme;
    for (;;) {
        Strony->SetActivePage("ListaWszystkichNorm");
        if (d->ShowModal() != mrOk)
            return;
        g->SetRowCount(g->RowCount() + 1);
        const int r = g->RowCount() - 2;
        g->SetCells(5, r, JoinedLines(d->m_Tytul, ""));
        g->SetCells(6, r, JoinedLines(d->m_Opis, " "));
        g->SetCells(1, r, d->e_NrNormy->Text());
        g->SetCells(3, r, d->cb_StanPosiadania->Text());
        g->SetCells(2, r, d->cb_StanNormy->Text());
        g->SetCells(4, r, d->e_ZastopionaPrzez->Text());

        d->e_NrNormy->Clear();
        d->e_ZastopionaPrzez->Clear();
        d->m_Tytul->Clear();
        d->m_Opis->Clear();
        d->cb_StanPosiadania->SetItemIndex(-1);
        d->cb_StanNormy->SetItemIndex(-1);
        d->sb_SprawdzNorme->SetEnabled(false);

        NormListModified = true;
        g->NumberColumn(0);

        switch (AskAfterAdding()) {
        case mrYes:
            GroupNormList();
            return;
        case mrNo:
            SaveNormList(g);
            return;
        case mrOk:
            continue;   // the next standard
        default:
            return;
        }
    }
}

void Tf_MainForm::DeleteNormCommand()
{
    TProStringGrid* g = sg_WszystkieNormy;
    Strony->SetActivePage("ListaWszystkichNorm");
    const int r = g->Row();
    // The header and the empty last row hold no standard.
    if (r < 1 || r > g->RowCount() - 2)
        return;
    if (Application->MessageBox("Nr normy: " + g->Cells(1, r) + "\rTytuł: " + g->Cells(5, r) +
                                    "\r\rCzy na pewno chcesz usunąć wybraną pozycję z listy ???",
                                TitleWarning, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    g->RemoveRows(r, 1);
    FollowDeletedNormRow(r);
    NormListModified = true;
}

void Tf_MainForm::GroupNormListCommand()
{
    if (Application->MessageBox("Lista norm zostanie pogrupowana według nazw, tzn. osobno normy np. PN-M, PN-E, "
                                "PN-EN, PN-ISO, PN-H itd. a następnie wedłóg potrzeby zapisana.\rPo pogrupowaniu i "
                                "zapisaniu nie można przywrócić wcześniejszego spisu norm. Czy chcesz kontynuować ???",
                                TitleWarning, MB_YESNO | MB_ICONWARNING) == IDYES)
        GroupNormList();
    Strony->SetActivePage("ListaWszystkichNorm");
}

void Tf_MainForm::SaveNormListCommand()
{
    Strony->SetActivePage("ListaWszystkichNorm");
    if (Application->MessageBox("Czy na pewno chcesz zapisać aktualny spis wszystkich norm ???\rPo zapisaniu nie "
                                "można przywrócić wcześniejszego spisu. Czy chcesz kontynuować ???",
                                TitleWarning, MB_YESNO | MB_ICONWARNING) == IDYES)
        SaveNormList(sg_WszystkieNormy);
}

void Tf_MainForm::SaveShownListAs()
{
    for (;;) {
        const AnsiString page = Strony->ActivePage();
        TProStringGrid* g = page == "ListaWszystkichNorm" ? sg_WszystkieNormy
                            : page == "NormyWgStanu"      ? sg_NormyWgStanu
                                                          : nullptr;
        if (!g) {
            Application->MessageBox("Tej listy nie można zapisać !!!\r\rPrzejdź do listy wszystkich norm lub "
                                    "wyświetl określoną grupę norm i wtedy skorzystaj z tej opcji.",
                                    TitleError, MB_OK | MB_ICONERROR);
            return;
        }
        // A cancelled dialog ends the command (the name chosen before is not written again).
        if (!ZapiszListeNormJako->Execute() || ZapiszListeNormJako->FileName().empty())
            return;
        const AnsiString chosen = ZapiszListeNormJako->FileName();
        const AnsiString ext = LowerCase(ExtractFileExt(chosen));
        // The file really written: workbooks and documents are Office Open XML
        // files, a name of another kind gets a document under it + ".html".
        AnsiString target = chosen;
        if (ext == ".xls" || ext == ".doc")
            target += "x";
        else if (ext != ".html" && ext != ".txt" && ext != ".csv" && ext != ".xlsx" && ext != ".docx")
            target += ".html";
        if (FileExists(target)) {
            const int answer =
                Application->MessageBox("Plik o podanej nazwie już istnieje, czy chcesz zastąpić go teraz !!!",
                                        TitleWarning, MB_YESNOCANCEL | MB_ICONWARNING);
            if (answer == IDCANCEL)
                return;
            if (answer == IDNO)
                continue;   // the command anew
        }
        try {
            // Column 2 holds the coloured state paragraphs.
            const TStateWordExport plainStates(g, 2, ext == ".html");
            if (ext == ".html")
                g->SaveToHtmlFile(target, false);
            else if (ext == ".txt")
                g->SaveToFixedText(target);
            else if (ext == ".xls" || ext == ".xlsx")
                g->SaveToExcel(target);
            else if (ext == ".csv")
                g->SaveToCsvFile(target);
            else
                g->SaveToWord(target);
        } catch (const Exception&) {
            Application->MessageBox("Nie udało się zapisać pliku:\r" + target +
                                        "\r\rNie masz odpowiednich uprawnień do zapisu w tym miejscu !!!",
                                    TitleError, MB_OK | MB_ICONERROR);
        }
        return;
    }
}

// ---------------------------------------------------------------- state views

void Tf_MainForm::BuildStateView(const AnsiString& Word, const AnsiString& Title)
{
    TProStringGrid* cat = sg_WszystkieNormy;
    TProStringGrid* v = sg_NormyWgStanu;
    const int n = cat->RowCount() - 2;
    // A cell's shown text: the stored one itself where nothing forms it.
    const bool asStored = cat->CellsAsStored();
    auto shown = [&](int c, int r, AnsiString& Copy) { return cat->ShownCellText(c, r, asStored, Copy); };
    // The rows in the state, found in one pass over the rows (on several threads where the grid allows).
    const std::size_t count = std::size_t(std::max(n, 0));
    const int parts = asStored ? PartsFor(count, 8192) : 1;
    std::vector<std::vector<int>> found(static_cast<std::size_t>(parts));
    RunInParts(count, parts, [&](int Part, std::size_t From, std::size_t To) {
        AnsiString copy;
        for (std::size_t r = From + 1; r <= To; ++r)
            if (shown(2, int(r), copy).find(Word) != std::string_view::npos)
                found[std::size_t(Part)].push_back(int(r));
    });
    std::size_t k = 0;
    for (const std::vector<int>& f : found)
        k += f.size();

    v->BeginUpdate();
    v->ClearAll();
    v->SetColCount(cat->ColCount());
    v->SetRowCount(int(k) + 2);
    AnsiString copy;
    for (int c = 0; c < cat->ColCount(); ++c)
        v->SetCellsFrom(c, 0, shown(c, 0, copy));
    int row = 0;
    for (const std::vector<int>& f : found)
        for (int r : f) {
            ++row;
            for (int c = 1; c <= 6 && c < cat->ColCount(); ++c)
                v->SetCellsFrom(c, row, shown(c, r, copy));
        }
    v->EndUpdate();
    v->NumberColumn(0);
    v->AutoSizeColumns(false, 4);
    ng_NormyWgStanu->SetCaption(Title);
    Strony->SetActivePage("NormyWgStanu");
    Focus(v);
}

void Tf_MainForm::ShowStateView(const AnsiString& Command)
{
    const AnsiString word = StateWordOfView(Command);
    if (!word.empty())
        BuildStateView(word, Command);
}

void Tf_MainForm::ShowSearchPage()
{
    if (cb_z_KryteriaSzukania->ItemIndex() < 0)
        cb_z_KryteriaSzukania->SetItemIndex(0);
    Strony->SetActivePage("WkataloguTrelKordelin");
    Focus(e_z_NrNormy);
    const bool found = !sg_ZnajdzNormeWTrelKordelin->GridAsPlainText().empty();
    sb_z_SprawdzNorme->SetEnabled(found);
    sb_z_Kopiuj->SetEnabled(found);
}

// ---------------------------------------------------------------- about and update

void Tf_MainForm::CheckForUpdateOnce()
{
    if (!IsInternetConnected() || UpdateCheckDone)
        return;
    FetchVersionInfo();
    sb_DownUpdate->SetVisible(IsNewerVersion() && !UpdateAddress.empty());
    UpdateCheckDone = true;
}

void Tf_MainForm::RefreshAboutPage(bool MoveLinks)
{
    sb_Pomoc->SetVisible(FileExists(ShippedFile(HelpFile)));
    // The notice is on when it has a caption; its address (the hint) may be empty.
    const bool notice = !l_SzukamPracy->Caption().empty();
    l_SzukamPracy->SetVisible(notice);
    l_SzukamPracy2->SetVisible(notice);
    Timer_SzukamPracy->SetEnabled(notice);

    sb_DownUpdate->SetHint(NewsText);
    l_Version->SetCaption("v " + GetExeVersion());
    Word year = 0, month = 0, day = 0;
    DecodeDate(Now(), year, month, day);
    a_l[0]->SetCaption("Velmarok Polskich Norm - program działu normalizacji, © " + IntToStr(year));

    // The picture centred, its bottom at the panel's middle; the rows below it.
    img_About->SetLeft((Panel7->ClientWidth() - img_About->Width()) / 2);
    img_About->SetTop(Panel7->ClientHeight() / 2 - img_About->Height());
    const int left = img_About->Left();
    const int right = img_About->Left() + img_About->Width();
    int top = img_About->Top() + img_About->Height() + 4;
    a_l[0]->SetBounds(left, top, a_l[0]->Width(), a_l[0]->Height());
    top += a_l[0]->Height() + 4;
    // Caption and value pairs: a_l_2/a_l_3, 4/5, 6/7, 8/9 (link), 10/11 (author, with the two
    // link pictures); a_l_12 alone.
    for (int i = 1; i < 11; i += 2) {
        TControl* caption = a_l[size_t(i)];
        TControl* value = i == 7 ? static_cast<TControl*>(a_l_9) : a_l[size_t(i + 1)];
        caption->SetLeft(left);
        caption->SetTop(top);
        value->SetLeft(left + caption->Width() + 10);
        value->SetTop(top);
        if (i == 9 && MoveLinks) {
            imgGL->SetLeft(value->Left() + value->Width() + 4);
            imgGL->SetTop(top);
            img_Money->SetLeft(imgGL->Left() + imgGL->Width() + 4);
            img_Money->SetTop(top);
        }
        top += std::max(caption->Height(), value->Height()) + 4;
    }
    a_l[11]->SetLeft(left);
    a_l[11]->SetTop(top);
    top += a_l[11]->Height() + 4;
    l_Version->SetLeft(right - l_Version->Width());
    l_Version->SetTop(img_About->Top() - l_Version->Height() - 4);
    l_SzukamPracy->SetLeft(right - l_SzukamPracy->Width());
    l_SzukamPracy->SetTop(a_l[1]->Top());
    l_SzukamPracy2->SetBounds(l_SzukamPracy->Left(), l_SzukamPracy->Top(), l_SzukamPracy->Width(),
                              l_SzukamPracy->Height());
    sb_Pomoc->SetLeft(left);
    sb_Pomoc->SetTop(top + 16 - 4);
    sb_DownUpdate->SetLeft(right - sb_DownUpdate->Width());
    sb_DownUpdate->SetTop(sb_Pomoc->Top());

    const AnsiString head = LowerCase(e_KierownikDzialu->Text());
    for (const char* login : NoNoticeLogins)
        if (head == login) {
            Timer_SzukamPracy->SetEnabled(false);
            l_SzukamPracy->Hide();
            l_SzukamPracy2->Hide();
        }
}

void Tf_MainForm::ShowAboutPage()
{
    CheckForUpdateOnce();
    // Shown first: the layout needs the page's size.
    Strony->SetActivePage("Informacja");
    RefreshAboutPage(true);
}

void Tf_MainForm::ShowUpdatePage()
{
    sb_PobierzAktualizacje->Hide();
    const bool online = IsInternetConnected();
    if (online)
        Strony->SetActivePage("SprawdzUaktualnienia");
    else
        Application->MessageBox("Musisz być połączony z Internetem !!!", TitleWarning, MB_OK | MB_ICONERROR);
    ani_Animacja->Show();
    ani_Animacja->SetAnimated(true);
    l_Status->SetCaption("Trwa łaczenie z internetem - proszę czekać ...");
    Application->ProcessMessages();
    if (online && !UpdateCheckDone) {
        l_Status->SetCaption("Trwa pobieranie danych - proszę czekać ...");
        Application->ProcessMessages();
        CheckForUpdateOnce();
    }
    RefreshAboutPage(false);
    // Without a published version there is no telling: a failed check is not reported as an answer.
    l_Status->SetCaption(sb_DownUpdate->Visible() ? "Dostępna jest nowa wersja programu."
                         : VersionKnown           ? "Masz już najnowszą wersję programu."
                                                  : "Nie udało się sprawdzić, czy jest nowsza wersja programu.");
    Application->ProcessMessages();
    ani_Animacja->SetAnimated(false);
    ani_Animacja->Hide();
    sb_PobierzAktualizacje->SetVisible(sb_DownUpdate->Visible());
    sb_PobierzAktualizacje->SetHint(sb_DownUpdate->Hint());
}
