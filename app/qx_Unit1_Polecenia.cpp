// The command dispatcher of the main window: every item of the main menu,
// the shortcut keys and the popup items end here and switch the page or run
// their command.
#include "app/Dirscan.h"
#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/ProgramFolders.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit10_Wyroby.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/FileLbl.h"
#include "controls/KXCtrls.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleWarning = "UWAGA !!!";
const char* const TitleInfo = "INFORMACJA !!!";

// The appearance topics of cb_CoZmienic and the settings page of each.
struct TAppearanceTopic {
    const char* Topic;
    const char* Page;
};
const TAppearanceTopic AppearanceTopics[] = {
    {"Kolory i styl przycisków menu głównego", "Kolory_Menu_Przyciskow_Glownego"},
    {"Kolory i styl wysuwanych paneli", "Kolory_Wysuwanych_Paneli"},
    {"Kolory nagłówków", "Kolor_Naglowka"},
    {"Kolory określające stan norm", "Kolory_Stanu_Norm"},
    {"Kolory sekcji na panelach", "Kolory_Sekcji"},
    {"Styl wyświetlania spisu norm", "Spis_Norm"},
    {"Styl wyświetlania wykazów", "Wykazy"},
};

const char* const StateViewCommands[] = {"Normy aktualne", "Normy nieaktualne", "Normy wycofane bez zastąpienia",
                                         "Normy zakładowe", "Normy zastąpione uznaniowo"};
const char* const UpdateCommands[] = {"Listę wszystkich norm",       "Aktualną listę",
                                      "Od zaznaczenia w dół",        "Od zaznaczenia w górę",
                                      "Od pozycji nr w górę",        "Od pozycji nr w dół",
                                      "Od pozycji nr do pozycji nr", "Wybraną pozycję"};


template <size_t N>
bool OneOf(const AnsiString& s, const char* const (&List)[N])
{
    for (const char* item : List)
        if (s == item)
            return true;
    return false;
}

void Focus(TWinControl* Control)
{
    if (Control->CanFocus())
        Control->SetFocus();
}
}  // namespace

void Tf_MainForm::cb_CoZmienicChange(TObject*)
{
    const AnsiString topic = cb_CoZmienic->Text();
    for (const TAppearanceTopic& t : AppearanceTopics)
        if (topic == t.Topic)
            str_UstawieniaProgramu->SetActivePage(t.Page);
}

AnsiString Tf_MainForm::RunMenuCommand(const AnsiString& Command, const AnsiString& Caption)
{
    // A command that opens a dialog over the page, or shows the page shown,
    // does not leave it; any other first asks about its unsaved changes.
    const AnsiString shown = Strony->ActivePage();
    const bool stays = Caption == DateTimeToStr(NormListDate) || Command == "Lista używanych norm" ||
                       Command == "Normy użyte w wyrobie" || (Command == "Foldery" && shown == "UstawieniaFolderow") ||
                       (Command == "Użytkownicy programu" && shown == "Uzytkownicy");
    if (!stays && !LeaveSettingsPage())
        return AnsiString();
    // The first match runs; every test is exact and case-sensitive.
    if (Caption == DateTimeToStr(NormListDate)) {
        Application->MessageBox("Ostatni raz wykaz norm modyfikowano " + Caption + ".", TitleInfo,
                                MB_OK | MB_ICONINFORMATION);
    } else if (Command == "Lista używanych norm") {
        TListBox* found = lb_DoWyszukiwania_Ukryte;
        found->Clear();
        found->Items()->BeginUpdate();
        ScanDirectory(ListFolder(), "*.txt",
                      [this](const AnsiString& Path, const TSearchRec& Entry) { return AddFoundListFile(Path, Entry); });
        found->Items()->EndUpdate();
        found->Repaint();
        f_ListaUzywanychNorm->lb_ListaWykazow->Clear();
        f_ListaUzywanychNorm->lb_ListaWykazow->Items()->Assign(found->Items());
        f_ListaUzywanychNorm->Show();
        SetEnabled(false);
    } else if (Command == "Normy użyte w wyrobie") {
        f_Wyroby->Show();
        SetEnabled(false);
    } else if (Command == "Uprawnienia") {
        lb_Userzy->Items()->Assign(lb_UserName->Items());
        Label28->SetEnabled(false);
        cb_Uprawnienia->SetEnabled(false);
        Strony->SetActivePage("Uprawnienia");
        Focus(lb_Userzy);
    } else if (Command == "Użytkownicy programu") {
        Strony->SetActivePage("Uzytkownicy");
        Focus(lb_UserName);
    } else if (std::any_of(std::begin(AppearanceTopics), std::end(AppearanceTopics),
                           [&](const TAppearanceTopic& t) { return Command == t.Topic; })) {
        cb_CoZmienic->SetItemIndex(cb_CoZmienic->Items()->IndexOf(Command));
        cb_CoZmienicChange(cb_CoZmienic);
        Strony->SetActivePage("UstawieniaProg");
        Focus(cb_CoZmienic);
    } else if (Command == "Menu") {
        if (LoadMenuSettings()) {
            QelSensitiveLabel4->SetVisible(FileExists(ShippedFile(ImportHelpFile)));
            Focus(clb_MG_PrzyciskiMenuGlownego);
        }
    } else if (Command == "Informacja") {
        ShowAboutPage();
    } else if (Command == "Sprawdź uaktualnienia") {
        ShowUpdatePage();
    } else if (Command == "Wszystkie normy") {
        ReloadNormListCommand();
    } else if (Command == "Dodaj nową normę") {
        AddNormCommand();
    } else if (Command == "Usuń zaznaczoną normę z listy") {
        DeleteNormCommand();
    } else if (Command == "Pogrupuj listę norm") {
        GroupNormListCommand();
    } else if (Command == "Zapisz listę norm") {
        SaveNormListCommand();
    } else if (Command == "Zapisz aktualną listę jako ...") {
        SaveShownListAs();
    } else if (OneOf(Command, StateViewCommands)) {
        ShowStateView(Command);
    } else if (Command == "W katalogu norm") {
        ShowSearchPage();
    } else if (OneOf(Command, UpdateCommands)) {
        UpdateNorms(Command);
    } else if (Command == "Na stronie PKN") {
        webZnajdzNaPKNie->Navigate(AnsiString(StandardsBodyHomePage));
        Strony->SetActivePage("NastroniePKN");
        Focus(e_WyszukajWPKN_NrNormy);
    } else if (Command == "Foldery") {
        Strony->SetActivePage("UstawieniaFolderow");
        Focus(edt_Menu);
    } else if (Command.find('|') != AnsiString::npos) {
        RunCategoryCommand(Command);
    } else {
        RunListItem(Command, Caption);
    }
    Screen->SetCursor(crDefault);
    return AnsiString();
}

void Tf_MainForm::RunCategoryCommand(const AnsiString& Command)
{
    // The item is the whole text after the first "|": a category whose name
    // holds "Menu" or "Importuj" runs its own items, not those words.
    const size_t bar = Command.find('|');
    const AnsiString category = Command.substr(0, bar);
    const AnsiString item = Command.substr(bar + 1);
    if (item == "Menu") {
        if (!LoadMenuSettings())
            return;
        TKxCheckListBox* list = clb_MG_PrzyciskiMenuGlownego;
        list->SetItemIndex(list->Items()->IndexOf(category));
        if (list->OnClick)
            list->OnClick(list);
        list->SetEnabled(false);
        for (int i = 0; i < list->Count(); ++i)
            list->SetItemEnabled(i, false);
        TControl* fixed[] = {Label46, Label47, l_MG_Warning, QelSensitiveLabel3, e_MG_NazwaNowejPoz, sb_MG_Dodaj,
                             sb_MG_Usun, sb_MG_Zapisz, sb_MG_Czysc, sb_MG_ZmienNazwe, GroupBox4};
        for (TControl* c : fixed)
            c->SetEnabled(false);
    } else if (item == "Importuj z pliku" || item == "Importuj wykaz") {
        ClearImportFile();
        e_Importuj_NazwaNowejPoz->Clear();
        ReadImportGroups(category, true);
        pbar_ImportowaniePliku->Hide();
        Label38->Hide();
        p_Worning->Hide();
        sb_ImportujPlik->SetCaption("Importuj plik");
        gb_Importuj_NazwaKategorii->SetCaption(" Grupy wyrobów w kategorii " + category + " ");
        QelSensitiveLabel5->SetVisible(FileExists(ShippedFile(ImportHelpFile)));
        Strony->SetActivePage("Importuj");
    } else if (item == "Zapisz jako ...") {
        lb_Eksportuj_ListaWykazow->Clear();
        if (!DirectoryExists(edt_Exportuj_Directory->Text()))
            edt_Exportuj_Directory->SetText(GetSpecialFolderPath(0));
        if (cb_Exportuj_ZapiszJakoTyp->ItemIndex() < 0)
            cb_Exportuj_ZapiszJakoTyp->SetItemIndex(3);
        ReadCategoryNames(category, lb_Eksportuj_GrupyProduktow);
        e_Exportuj_FileName->Clear();
        gb_Eksportuj_NazwaKategorii->SetCaption(" Grupy wyrobów w kategorii " + category + " ");
        Strony->SetActivePage("ZapiszWykazJako");
    }
}

void Tf_MainForm::RunListItem(const AnsiString& Command, const AnsiString& Caption)
{
    const AnsiString file = ListFolder() + Command;
    if (!Command.empty() && FileExists(file)) {
        const AnsiString path = ListFilePath(Command);
        if (path.empty())
            return;
        OpenListFile(path, Caption);
        Strony->SetActivePage("NowyWykaz");
        return;
    }
    const AnsiString missing = "Wskazana pozycja nie ma przypisanego żadnego wykazu norm, materiałów i części.";
    if (CurrentUserLevel < 2) {
        Application->MessageBox(missing, TitleWarning, MB_OK | MB_ICONQUESTION);
        return;
    }
    if (Application->MessageBox(missing + "\r\rCzy chcesz stworzyć nowy wykaz dla pozycji " + Caption + " teraz ???",
                                TitleWarning, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!KeepOrSaveListBefore(Caption))
        return;
    if (Command.empty()) {
        NewListGrid(AnsiString(), Caption);
        return;
    }
    // A name from the menu file that would leave the registers folder gets no file.
    const AnsiString path = ListFilePath(Command);
    if (!path.empty())
        NewListGrid(path, Caption);
}
