// The configuration file "config.dat" (the five places of the program's data,
// the head of department and the three access options) and the folders page
// that shows and saves it.
#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/NetGradient.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const CannotSave = "Nie można zapisać wprowadzonych zmian - nie masz do tego odpowiednich uprawnień !!!";

// Default places, relative to the program folder, with the platform's delimiter.
const char* const DefaultCatalogue = "Katalog Norm/normy_wszystkie.txt";
const char* const DefaultLists = "Wykazy/";
const char* const DefaultMenu = "Ustawienia/kategorie.ini";
const char* const DefaultUsers = "Ustawienia/";
const char* const DefaultBackup = "Katalog Norm/";

// A folder text ends with a delimiter: "/" is appended unless it ends with
// "/" or "\" already (paths of the configuration may use either).
AnsiString WithDelimiter(const AnsiString& Folder)
{
    if (!Folder.empty() && (Folder.back() == '\\' || Folder.back() == '/'))
        return Folder;
    return Folder + "/";
}

void AddDelimiter(TDirectoryEdit* Edit)
{
    const AnsiString text = Edit->Text();
    if (WithDelimiter(text) != text)
        Edit->SetText(WithDelimiter(text));
}

// The lines of config.dat that the pages show: the folders page's five
// places, then the users page's head of department and three options.
const int PlaceLines = 5;
const int ConfigLines = 9;

AnsiString LineOf(const TStrings& Lines, int I)
{
    return I < Lines.Count() ? Lines.Strings(I) : AnsiString();
}

TLabel* Note(TComponent* Owner, TWinControl* Parent, const char* Text, int Left, int Top)
{
    TLabel* l = PlaceLabel(Owner, Parent, nullptr, Text, Left, Top);
    l->Font()->SetColor(clGrayText);
    return l;
}
}  // namespace

// ---------------------------------------------------------------- the page

void Tf_MainForm::CreateFolderPage()
{
    TPage* page = PageOf(Strony, "UstawieniaFolderow");
    ng_Foldery = new TNetGradient(this);
    ng_Foldery->SetName("ng_Foldery");
    ng_Foldery->SetParent(page);
    ng_Foldery->SetAlign(alTop);
    ng_Foldery->SetHeight(25);
    ng_Foldery->SetCaption("Foldery");

    gb_Foldery = Place<TGroupBox>(this, page, "gb_Foldery", 16, 40, 800, 290);
    gb_Foldery->SetCaption(" Foldery: ");
    // The box's controls on a panel of its own, which paints the labels.
    auto* inside = Place<TPanel>(this, gb_Foldery, "", 2, 18, 796, 268);
    inside->SetBevelOuter(bvNone);
    inside->SetCaption("");
    const int left = 160, width = 600, step = 50;
    int top = 10;
    edt_BazaNorm = Place<TFilenameEdit>(this, inside, "edt_BazaNorm", left, top, width, 21);
    edt_DirWykazy = Place<TDirectoryEdit>(this, inside, "edt_DirWykazy", left, top += step, width, 21);
    edt_Menu = Place<TFilenameEdit>(this, inside, "edt_Menu", left, top += step, width, 21);
    edt_DirUzytkownicy = Place<TDirectoryEdit>(this, inside, "edt_DirUzytkownicy", left, top += step, width, 21);
    edt_KopiaBazyNorm = Place<TDirectoryEdit>(this, inside, "edt_KopiaBazyNorm", left, top += step, width, 21);
    for (TDirectoryEdit* folder : {edt_DirWykazy, edt_DirUzytkownicy, edt_KopiaBazyNorm})
        folder->SetDialogKind(dkWin32);
    struct TRow {
        TWinControl* Edit;
        const char* Caption;
        const char* Note;
    };
    const TRow rows[] = {
        {edt_BazaNorm, "&Baza norm:", "(Ścieżka dostępu do pliku zawierajcego spis wszystich norm)"},
        {edt_DirWykazy, "&Wykazy:", nullptr},
        {edt_Menu, "&Menu:", "(Ścieżka dostępu do pliku zawierajcego ustawienia menu)"},
        {edt_DirUzytkownicy, "&Ustawienia użytkow.:", nullptr},
        {edt_KopiaBazyNorm, "&Kopia bazy norm:", nullptr},
    };
    for (const TRow& r : rows) {
        PlaceLabel(this, inside, nullptr, r.Caption, 14, r.Edit->Top() + 3, r.Edit);
        if (r.Note)
            Note(this, inside, r.Note, left, r.Edit->Top() + 24);
    }

    sb_Foldery_Odswierz = Place<TSpeedButton>(this, page, "sb_Foldery_Odswierz", 16, 344, 120, 25);
    sb_Foldery_Odswierz->SetCaption("Odśwież");
    sb_Foldery_Zapisz = Place<TSpeedButton>(this, page, "sb_Foldery_Zapisz", 144, 344, 160, 25);
    sb_Foldery_Zapisz->SetCaption("      Zapisz zmiany      ");
    sb_Foldery_Zapisz->SetEnabled(false);

    // The places beside the program until the configuration names others.
    edt_BazaNorm->SetText(ProgramFolder + DefaultCatalogue);
    edt_Menu->SetText(ProgramFolder + DefaultMenu);
    edt_DirWykazy->SetText(ProgramFolder + DefaultLists);
    edt_DirUzytkownicy->SetText(ProgramFolder + DefaultUsers);
    edt_KopiaBazyNorm->SetText(ProgramFolder + DefaultBackup);

    sb_Foldery_Odswierz->OnClick = [this](TObject* s) { sb_Foldery_OdswierzClick(s); };
    sb_Foldery_Zapisz->OnClick = [this](TObject* s) { sb_Foldery_ZapiszClick(s); };
    for (TCustomComboEdit* e : std::initializer_list<TCustomComboEdit*>{edt_BazaNorm, edt_DirWykazy, edt_Menu,
                                                                        edt_DirUzytkownicy, edt_KopiaBazyNorm}) {
        e->OnChange = [this](TObject* s) { edt_BazaNormChange(s); };
        e->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { edt_BazaNormKeyDown(s, k, sh); };
    }
}

// ---------------------------------------------------------------- reading and writing

AnsiString Tf_MainForm::ConfigFileName() const
{
    return ProgramFolder + "config.dat";
}

AnsiString Tf_MainForm::UsersFolder() const
{
    return WithDelimiter(edt_DirUzytkownicy->Text());
}

AnsiString Tf_MainForm::Login()
{
    return GetWindowsUserName();
}

void Tf_MainForm::CompletePaths(bool Delimiters)
{
    if (!FileExists(edt_BazaNorm->FileName()))
        edt_BazaNorm->SetFileName(ProgramFolder + DefaultCatalogue);
    if (!DirectoryExists(edt_DirWykazy->Text()))
        edt_DirWykazy->SetText(ProgramFolder + DefaultLists);
    if (Delimiters)
        AddDelimiter(edt_DirWykazy);
    if (!FileExists(edt_Menu->FileName()))
        edt_Menu->SetFileName(ProgramFolder + DefaultMenu);
    if (!DirectoryExists(edt_DirUzytkownicy->Text()))
        edt_DirUzytkownicy->SetText(ProgramFolder + DefaultUsers);
    if (Delimiters)
        AddDelimiter(edt_DirUzytkownicy);
    // A configured backup folder is taken as it stands.
    if (!DirectoryExists(edt_KopiaBazyNorm->Text()))
        edt_KopiaBazyNorm->SetText(ProgramFolder + DefaultBackup);
}

bool Tf_MainForm::ReadConfiguration()
{
    const AnsiString file = ConfigFileName();
    if (!FileExists(file))
        return false;
    bool read = true;
    TStringList lines;
    try {
        RememberSharedFile(file);
        lines.SetText(ReadScrambledFile(file));
    } catch (const Exception&) {
        read = false;
    }
    // A short file's missing lines read as empty.
    if (lines.Count() >= 5)
        ShowConfigurationLines(lines, 0, ConfigLines);
    CompletePaths(true);
    RememberConfiguration();
    return read;
}

void Tf_MainForm::ShowConfigurationLines(const TStrings& Lines, int First, int Last)
{
    for (int i = First; i < Last; ++i) {
        const AnsiString line = LineOf(Lines, i);
        switch (i) {
        case 0: edt_BazaNorm->SetFileName(line); break;
        case 1: edt_DirWykazy->SetText(line); break;
        case 2: edt_Menu->SetFileName(line); break;
        case 3: edt_DirUzytkownicy->SetText(line); break;
        case 4: edt_KopiaBazyNorm->SetText(line); break;
        case 5: e_KierownikDzialu->SetText(line); break;
        case 6: cb_UserSpozaListy->SetChecked(line == "0"); break;
        case 7: cb_KierDzialuMaNieOgrMozliwosci->SetChecked(line == "1"); break;
        case 8: cb_KierMozeZmieniac->SetChecked(line == "1"); break;
        }
    }
}

bool Tf_MainForm::WriteConfiguration(const AnsiString& PlainText, bool& Kept)
{
    TSharedFileSave save(ConfigFileName());
    Kept = !save.MayReplace();
    if (Kept)
        return false;
    try {
        WriteScrambledFile(ConfigFileName(), PlainText);
        RememberSharedFile(ConfigFileName());
        return true;
    } catch (const Exception&) {
        save.Release();
        Application->MessageBox(CannotSave, TitleError, MB_OK | MB_ICONERROR);
        return false;
    }
}

AnsiString Tf_MainForm::ConfigurationText(bool Defaults) const
{
    const bool defaults = Defaults;
    TStringList lines;
    lines.Add(edt_BazaNorm->FileName());
    lines.Add(edt_DirWykazy->Text());
    lines.Add(edt_Menu->FileName());
    lines.Add(edt_DirUzytkownicy->Text());
    lines.Add(edt_KopiaBazyNorm->Text());
    lines.Add(e_KierownikDzialu->Text());
    lines.Add(defaults ? "1" : cb_UserSpozaListy->Checked() ? "0" : "1");
    lines.Add(defaults ? "1" : cb_KierDzialuMaNieOgrMozliwosci->Checked() ? "1" : "0");
    lines.Add(defaults ? "0" : cb_KierMozeZmieniac->Checked() ? "1" : "0");
    for (int i = defaults ? 6 : 5; i > 0; --i)
        lines.Add("");
    return lines.Text();
}

bool Tf_MainForm::WriteDefaultConfiguration()
{
    CompletePaths(false);
    const AnsiString file = ConfigFileName();
    try {
        return WriteDefaultSharedFile(file, [&] { WriteScrambledFile(file, ConfigurationText(true)); });
    } catch (const Exception&) {
        Application->MessageBox(CannotSave, TitleError, MB_OK | MB_ICONERROR);
        return false;
    }
}

void Tf_MainForm::ReadUsersList(TCustomIniFile& Users, const AnsiString& Folder)
{
    TStringList lines;
    Users.ReadSectionValues("UsersName", &lines);
    lb_UserName->Clear();
    // Each "login=" line without its "="; a line without "=" is a login by itself.
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString line = lines.Strings(i);
        lb_UserName->Items()->Add(line.find('=') == AnsiString::npos ? line : line.substr(0, line.size() - 1));
    }
    FUsersListFolder = Folder;
    RememberUsersList();
}

bool Tf_MainForm::ReadUsersListOfFolder()
{
    const AnsiString dat = UsersFolder() + "users.dat";
    if (!FileExists(dat))
        return false;
    try {
        RememberSharedFile(dat);
        TPlainCopy copy(dat);
        TIniFile ini(copy.FileName());
        ReadUsersList(ini, UsersFolder());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool Tf_MainForm::SaveUsersList()
{
    const AnsiString dat = UsersFolder() + "users.dat";
    if (!FileExists(dat)) {
        // No file to write the list into: another login removed it after it
        // was read, or the users folder named holds none. The save failed,
        // unless the list holds no change, so that nothing of it is lost.
        if (lb_UserName->Items()->Text() == FSavedUsersList)
            return true;
        Application->MessageBox(CannotSave, TitleError, MB_OK | MB_ICONERROR);
        return false;
    }
    // The list shown is another folder's: the users of this one are read
    // first, and nothing is written into their file by this save.
    if (!SamePlace(FUsersListFolder, UsersFolder())) {
        if (!ReadUsersListOfFolder())
            Application->MessageBox("Nie można odczytać listy użytkowników z pliku " + dat + " !!!", TitleError,
                                    MB_OK | MB_ICONERROR);
        return true;
    }
    TSharedFileSave save(dat);
    if (!save.MayReplace())
        return false;
    try {
        // The plain copy lives in the program's own temporary folder; the
        // stored file is replaced only by a complete new one.
        TPlainCopy copy(dat);
        {
            TIniFile ini(copy.FileName());
            ini.EraseSection("UsersName");
            TStrings* users = lb_UserName->Items();
            for (int i = 0; i < users->Count(); ++i)
                ini.WriteString("UsersName", users->Strings(i), "");
        }
        copy.Save();
        RememberSharedFile(dat);
        return true;
    } catch (const Exception&) {
        save.Release();
        Application->MessageBox(CannotSave, TitleError, MB_OK | MB_ICONERROR);
        return false;
    }
}

// ---------------------------------------------------------------- handlers

void Tf_MainForm::sb_Foldery_OdswierzClick(TObject*)
{
    ReadConfiguration();
}

void Tf_MainForm::sb_Foldery_ZapiszClick(TObject*)
{
    for (TDirectoryEdit* e : {edt_DirWykazy, edt_DirUzytkownicy, edt_KopiaBazyNorm})
        AddDelimiter(e);
    // A file another login changed meanwhile is written only when the user
    // says so; what the user kept unwritten, and a users list that was not
    // written, keep the save buttons as they are and are not told as saved.
    bool kept = false;
    const bool written = WriteConfiguration(ConfigurationText(false), kept);
    const bool users = SaveUsersList();
    if (written && users)
        Application->MessageBox("Zmiany poprawnie zapisane.", "INFORMACJA !!!", MB_OK | MB_ICONINFORMATION);
    if (written)
        RememberConfiguration();
    if (users)
        RememberUsersList();
}

void Tf_MainForm::edt_BazaNormChange(TObject* Sender)
{
    if (auto* edit = dynamic_cast<TControl*>(Sender); edit && KeepFirstLine(edit))
        return;
    if (StartingUp)
        return;
    // The users page shows the users of the users folder named.
    if (!SamePlace(FUsersListFolder, UsersFolder()))
        ReadUsersListOfFolder();
    RefreshSettingsSaveButtons();
}

void Tf_MainForm::e_KierownikDzialuChange(TObject*)
{
    // Each place and name is one line of config.dat.
    if (KeepFirstLine(e_KierownikDzialu))
        return;
    if (StartingUp)
        return;
    RefreshSettingsSaveButtons();
}

void Tf_MainForm::edt_BazaNormKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_Foldery_Zapisz->Enabled())
        sb_Foldery_ZapiszClick(sb_Foldery_Zapisz);
    FormKeyDown(this, Key, Shift);
}

void Tf_MainForm::e_KierownikDzialuKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_Uzytkownicy_Zapisz->Enabled())
        sb_Foldery_ZapiszClick(sb_Uzytkownicy_Zapisz);
    FormKeyDown(this, Key, Shift);
}

// ---------------------------------------------------------------- unsaved changes
// What the pages show is compared with what was last read from the files or
// written to them: a change undone is no change.

void Tf_MainForm::RememberConfiguration()
{
    FSavedConfiguration = ConfigurationText(false);
    RefreshSettingsSaveButtons();
}

void Tf_MainForm::RememberUsersList()
{
    FSavedUsersList = lb_UserName->Items()->Text();
    RefreshSettingsSaveButtons();
}

bool Tf_MainForm::SettingsChanged(bool Users) const
{
    TStringList shown, saved;
    shown.SetText(ConfigurationText(false));
    saved.SetText(FSavedConfiguration);
    for (int i = Users ? PlaceLines : 0; i < (Users ? ConfigLines : PlaceLines); ++i)
        if (LineOf(shown, i) != LineOf(saved, i))
            return true;
    return Users && lb_UserName->Items()->Text() != FSavedUsersList;
}

// Both buttons save both pages; the folders page's only while the five places exist.
void Tf_MainForm::RefreshSettingsSaveButtons()
{
    const bool changed = SettingsChanged(true) || SettingsChanged(false);
    sb_Uzytkownicy_Zapisz->SetEnabled(changed);
    sb_Foldery_Zapisz->SetEnabled(changed && FileExists(edt_BazaNorm->FileName()) &&
                                  DirectoryExists(edt_DirWykazy->Text()) && FileExists(edt_Menu->FileName()) &&
                                  DirectoryExists(edt_DirUzytkownicy->Text()) &&
                                  DirectoryExists(edt_KopiaBazyNorm->Text()));
}

void Tf_MainForm::DropSettingsChanges(bool Users)
{
    TStringList saved;
    saved.SetText(FSavedConfiguration);
    if (Users) {
        ShowConfigurationLines(saved, PlaceLines, ConfigLines);
        lb_UserName->Items()->SetText(FSavedUsersList);
        lb_UserNameClick(lb_UserName);
    } else {
        ShowConfigurationLines(saved, 0, PlaceLines);
    }
    RefreshSettingsSaveButtons();
}

int Tf_MainForm::AskToSaveChanges(const AnsiString& Question, const AnsiString& Then)
{
    return Application->MessageBox(Question + "\r\rKliknięcie na:\r• TAK spowoduje zapisanie wprowadzonych zmian,\r"
                                              "• NIE spowoduje " + Then +
                                       ",\r• ANULUJ pozwoli wrócić do niezapisanych zmian.",
                                   "UWAGA !!!", MB_YESNOCANCEL | MB_ICONWARNING);
}

bool Tf_MainForm::KeepOrSaveSettingsChanges(bool Users, bool Folders, const AnsiString& Then)
{
    const struct {
        bool Asked, Users;
        const char* Question;
        TSpeedButton* Save;
    } pages[] = {
        {Users, true,
         "Lista użytkowników została zmodyfikowana i nie zapisana, czy zapisać wprowadzone w niej zmiany ???",
         sb_Uzytkownicy_Zapisz},
        {Folders, false,
         "Ustawienia folderów zostały zmodyfikowane i nie zapisane, czy zapisać wprowadzone w nich zmiany ???",
         sb_Foldery_Zapisz},
    };
    for (const auto& p : pages) {
        if (!p.Asked || !SettingsChanged(p.Users))
            continue;
        const int answer = AskToSaveChanges(p.Question, Then);
        if (answer == IDCANCEL)
            return false;
        if (answer == IDNO) {
            DropSettingsChanges(p.Users);
            continue;
        }
        if (p.Save->Enabled())
            sb_Foldery_ZapiszClick(p.Save);
        if (SettingsChanged(p.Users))
            return false;   // not written: the changes stay on the page
    }
    return true;
}

bool Tf_MainForm::LeaveSettingsPage()
{
    const AnsiString page = Strony->ActivePage();
    return KeepOrSaveSettingsChanges(page == "Uzytkownicy", page == "UstawieniaFolderow", "odrzucenie tych zmian");
}
