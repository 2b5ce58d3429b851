// The main window's small handlers: the shortcut keys shared by its pages,
// the about page's links and help, the standards body's page in the browser,
// the links between the users pages, and closing the window.
#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/ProgramFolders.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/QelSensitiveLabel.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/StdCtrls.h"

// The maker's contacts and pages that the about page opens.
const AnsiString VoiceCallAddress = SiteBaseAddress + "kontakt/rozmowa";
const AnsiString MessengerAddress = SiteBaseAddress + "kontakt/komunikator";
const AnsiString PersonalPageAddress = SiteBaseAddress + "autor/";
const AnsiString DonationAddress = SiteBaseAddress + "wsparcie/";

namespace {
const char* const TitleWarning = "UWAGA !!!";
}  // namespace

void Tf_MainForm::ConnectPageHandlers()
{
    // The files of the program's data folder may be opened, and so may the
    // shipped help, beside the program file or installed apart.
    ShellRegisterProgramFolder(ProgramFolder);
    ShellRegisterProgramFolder(ExtractFilePath(ShippedFile(HelpFile)));
    a_l[2]->OnClick = [this](TObject* s) { a_l_3Click(s); };
    a_l[4]->OnClick = [this](TObject* s) { a_l_5Click(s); };
    a_l[6]->OnClick = [this](TObject* s) { a_l_7Click(s); };
    a_l_9->OnClick = [this](TObject* s) { a_l_9Click(s); };
    sb_Pomoc->OnClick = [this](TObject* s) { sb_PomocClick(s); };
    sb_DownUpdate->OnClick = [this](TObject* s) { sb_DownUpdateClick(s); };
    sb_PobierzAktualizacje->OnClick = [this](TObject* s) { sb_DownUpdateClick(s); };
    imgGL->OnClick = [this](TObject* s) { imgGLClick(s); };
    img_Money->OnClick = [this](TObject* s) { img_MoneyClick(s); };
    img_Money->SetHint("Wesprzyj mnie finansowo");
    img_Money->SetShowHint(true);
    for (TControl* link : {static_cast<TControl*>(imgGL), static_cast<TControl*>(img_Money),
                           static_cast<TControl*>(l_SzukamPracy2)})
        link->SetCursor(crHandPoint);
    // The links look like links: blue, underlined while the mouse is over them.
    for (TLabel* l : {a_l[2], a_l[4], a_l[6], static_cast<TLabel*>(a_l_9)}) {
        auto* link = static_cast<TQelSensitiveLabel*>(l);
        link->Font()->SetColor(clBlue);
        link->FontMouseMove()->Assign(link->Font());
        link->FontMouseMove()->SetStyle(fsUnderline);
        link->SetActiveMouseMove(true);
        link->SetCursor(crHandPoint);
    }
    Timer_SzukamPracy->OnTimer = [this](TObject* s) { Timer_SzukamPracyTimer(s); };
    l_SzukamPracy2->OnClick = [this](TObject* s) { l_SzukamPracy2Click(s); };

    sb_NaStroniePKN_GO->OnClick = [this](TObject* s) { sb_NaStroniePKN_GOClick(s); };
    sb_Home->OnClick = [this](TObject* s) { sb_HomeClick(s); };
    sb_Back->OnClick = [this](TObject* s) { sb_BackClick(s); };
    sbForword->OnClick = [this](TObject* s) { sbForwordClick(s); };
    sb_Refresh->OnClick = [this](TObject* s) { sb_RefreshClick(s); };
    e_WyszukajWPKN_NrNormy->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) {
        e_WyszukajWPKN_NrNormyKeyDown(s, k, sh);
    };
    e_WyszukajWPKN_NrNormy->OnChange = [this](TObject*) { KeepFirstLine(e_WyszukajWPKN_NrNormy); };

    QelSensitiveLabel1 = Place<TQelSensitiveLabel>(this, PageOf(Strony, "Uzytkownicy"), "QelSensitiveLabel1", 16,
                                                   512, 300, 16);
    QelSensitiveLabel1->SetCaption("Nadawania uprawnień użytkownikom");
    QelSensitiveLabel1->OnClick = [this](TObject* s) { QelSensitiveLabel1Click(s); };
    QelSensitiveLabel2 = Place<TQelSensitiveLabel>(this, PageOf(Strony, "Uprawnienia"), "QelSensitiveLabel2", 292,
                                                   100, 300, 16);
    QelSensitiveLabel2->SetCaption("Lista użytkowników");
    QelSensitiveLabel2->OnClick = [this](TObject* s) { QelSensitiveLabel2Click(s); };

    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

// ---------------------------------------------------------------- shortcuts
void Tf_MainForm::FormKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    // A key that ran its command is used up: the control's own handler,
    // which ends with these same tests, does not run it again.
    const bool ctrlAlone = (Shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl;
    const char* command = nullptr;
    if (Key == VK_F3 || (Key == 'F' && ctrlAlone))
        command = "W katalogu norm";
    else if (Key == 'U' && ctrlAlone && CurrentUserLevel > 0)
        command = "Kolory i styl przycisków menu głównego";
    else if (Key == VK_F10)
        command = "Informacja";
    if (!command)
        return;
    Key = 0;
    RunMenuCommand(command, command);
}

// ---------------------------------------------------------------- about page and help
AnsiString Tf_MainForm::HomePageAddress() const
{
    return a_l_9->Caption().empty() ? SiteBaseAddress : a_l_9->Caption();
}

void Tf_MainForm::a_l_3Click(TObject*)
{
    OpenWithDesktop("mailto:" + a_l[2]->Caption() +
                        "?Subject=Cześć&Body=Gratuluję zrobienia bardzo dobrego programu " + Application->Title(),
                    SW_SHOWNORMAL);
}

void Tf_MainForm::a_l_5Click(TObject*) { OpenWithDesktop(VoiceCallAddress, SW_SHOWNORMAL); }
void Tf_MainForm::a_l_7Click(TObject*) { OpenWithDesktop(MessengerAddress, SW_SHOWNORMAL); }
void Tf_MainForm::a_l_9Click(TObject*) { OpenWithDesktop(a_l_9->Caption(), SW_SHOWMAXIMIZED); }
void Tf_MainForm::sb_DownUpdateClick(TObject*) { OpenWithDesktop(UpdateAddress, SW_SHOWNORMAL); }
void Tf_MainForm::imgGLClick(TObject*) { OpenWithDesktop(PersonalPageAddress, SW_SHOWMAXIMIZED); }
void Tf_MainForm::img_MoneyClick(TObject*) { OpenWithDesktop(DonationAddress, SW_SHOWMAXIMIZED); }
void Tf_MainForm::l_SzukamPracy2Click(TObject*) { OpenWithDesktop(l_SzukamPracy->Hint(), SW_SHOWMAXIMIZED); }
void Tf_MainForm::Timer_SzukamPracyTimer(TObject*) { l_SzukamPracy->SetVisible(!l_SzukamPracy->Visible()); }

void Tf_MainForm::sb_PomocClick(TObject*)
{
    if (FileExists(ShippedFile(HelpFile))) {
        OpenWithDesktop(ShippedFile(HelpFile), SW_SHOWMAXIMIZED);
        return;
    }
    Application->MessageBox("Nie można wyświetlić pomocy, brak niezbędnych do tego plików.\r\rPobierz ponownie "
                            "program ze strony " + HomePageAddress(),
                            "BŁĄD !!!", MB_OK | MB_ICONERROR);
}

// ---------------------------------------------------------------- the standards body's page
void Tf_MainForm::sb_NaStroniePKN_GOClick(TObject*)
{
    const WideString address = AnsiToWide(BuildCatalogQueryUrl(e_WyszukajWPKN_NrNormy->Text()));
    try {
        webZnajdzNaPKNie->Navigate(address);
    } catch (const Exception&) {
        // A number that makes no address shows nothing.
    }
}

void Tf_MainForm::sb_HomeClick(TObject*) { webZnajdzNaPKNie->Navigate(AnsiString(StandardsBodyHomePage)); }
void Tf_MainForm::sb_BackClick(TObject*) { BrowseHistory(webZnajdzNaPKNie, &TWebBrowser::GoBack); }
void Tf_MainForm::sbForwordClick(TObject*) { BrowseHistory(webZnajdzNaPKNie, &TWebBrowser::GoForward); }
void Tf_MainForm::sb_RefreshClick(TObject*) { BrowseHistory(webZnajdzNaPKNie, &TWebBrowser::Refresh); }

void Tf_MainForm::e_WyszukajWPKN_NrNormyKeyDown(TObject* Sender, Word& Key, TShiftState)
{
    if (Key == VK_RETURN)
        sb_NaStroniePKN_GOClick(Sender);
}

// ---------------------------------------------------------------- users pages
void Tf_MainForm::QelSensitiveLabel1Click(TObject*) { RunMenuCommand("Uprawnienia", "Uprawnienia"); }
void Tf_MainForm::QelSensitiveLabel2Click(TObject*)
{
    RunMenuCommand("Użytkownicy programu", "Użytkownicy programu");
}

// ---------------------------------------------------------------- closing
// The first close from another page shows the catalogue page; an unsaved
// register, unsaved lists of the menu editor, unsaved users and folders
// pages and an unsaved catalogue are asked about, and the window stays open
// when the user cancels or a save fails. An answer to a question lets the
// close go ahead from any page.
void Tf_MainForm::FormClose(TObject*, TCloseAction& Action)
{
    const TCloseAction proceed = Action;
    bool answered = false;
    if (ListModified()) {
        const int answer = Application->MessageBox(
            "Wykaz " + ListItemName() + " został zmodyfikowany i nie zapisany, czy przed zamknięciem programu "
            "zapisać wprowadzone w nim zmiany ???\r\rKliknięcie na:\r• TAK spowoduje zapisanie zmian w wykazie,\r"
            "• NIE zamknie program bez zapisywania zmian w wykazie,\r• ANULUJ pozwoli wrócić do otwartego wykazu.",
            TitleWarning, MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer == IDCANCEL) {
            Action = caNone;
            return;
        }
        if (answer == IDYES) {
            SaveListFile();
            if (sb_Edytuj_ZapiszZmiany->Enabled()) {   // not written: the register stays open
                Action = caNone;
                return;
            }
        }
        answered = true;
    }
    if (MenuChangesPending()) {
        if (!KeepOrSaveMenuChanges("zamknięcie programu bez zapisywania zmian")) {
            Action = caNone;
            return;
        }
        answered = true;
    }
    if (SettingsChanged(true) || SettingsChanged(false)) {
        if (!KeepOrSaveSettingsChanges(true, true, "zamknięcie programu bez zapisywania zmian")) {
            Action = caNone;
            return;
        }
        answered = true;
    }
    if (Strony->ActivePage() != "ListaWszystkichNorm") {
        Strony->SetActivePage("ListaWszystkichNorm");
        if (!answered)
            Action = caNone;
    }
    if (NormListModified) {
        const int answer = Application->MessageBox(
            "Lista norm została zmodyfikowana (dodano nową normę, usunięto jakąś ze spisu, pogrupowano albo "
            "zaktualizowano listę lub jej część), czy przed zamknięciem programu zapisać wprowadzone zmiany ???",
            TitleWarning, MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer == IDCANCEL) {
            Action = caNone;
            return;
        }
        if (answer == IDYES) {
            SaveNormList(sg_WszystkieNormy);
            if (NormListModified) {   // not written: nothing is lost by closing
                Action = caNone;
                return;
            }
        }
        Action = proceed;
    }
    if (Action != caNone) {
        PageHistory->Clear();
        UsedListFiles->Clear();
    }
}
