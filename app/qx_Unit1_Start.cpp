// Start-up of the main window: the first-run mark, the configuration, the
// users file and the access level, the per-user appearance, the catalogue
// (or a sample one), the main menu from the menu file and the sample
// registers. A missing basic file ends the program with a message; where it
// can, start-up first writes a default file so that the next start succeeds.
#include <memory>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleWarning = "UWAGA !!!";
const char* const Quote = "\"";
const char* const RegistryKey = "Software\\Quorvane\\Tyrvenhold";

const char* const SampleCatalogue[] = {
    "PN-H-92747:1987|Wycofana bez zastąpienia|Jest||Aluminium|Blachy do głębokiego tłoczenia|",
    "PN-EN 10088-1:2007|Aktualna|Jest||Stale odporne na korozję|Część 1: Gatunki stali odpornych na korozję|",
    "PN-M-82144:1986|Nieaktualna|Jest|PN-EN ISO 4032:2004|Nakrętki sześciokątne||",
    "PN-EN ISO 11600:2004|Aktualna|Brak||Konstrukcje budowlane|Wyroby do uszczelniania - Klasyfikacja i "
    "wymagania dotyczące kitów|",
    "PN-O-79162:1991|Zastąpiona uznaniowo|Jest|PN-EN ISO 2244:2003 (U)|Opakowania transportowe z zawartością|"
    "Metoda badania odporności na uderzenia poziome (badanie na płaszczyźnie poziomej lub na pochylni, badanie za "
    "pomocą urządzenia wahadłowego)|",
    "KW-01/VODUZ/T-001|Norma zakładowa|Brak||ITAMID BGF35-30||",
    "PN-EN ISO 1207:1999|Aktualna|Jest||Wkręty z łbem walcowym z rowkiem|Klasa dokładności A|",
};
// The sample's state colours, whatever the user's: green, red, red, dark red, blue.
const std::array<std::int32_t, 5> SampleStateColors = {0x008000, 0x0000FF, 0x0000FF, 0x000080, 0xFF0000};

const char* const SampleWithSeal[] = {
    "PN-EN 10130:2007|PN-EN 10130:2007|BLACHA   Z-II-T   #2 x 1000 x 2000|WSPORNIK|00.0001|",
    "PN-EN 1652:1999|PN-EN 1652 : 1999|BLACHA MOS.  M63 z4  #0,50 x 600 x 2000|KOŃCÓWKA|00.0002|",
    "PN-H-84023-01:1989|PN-H-84023-01:1989|PRĘT CIĄGN.OKR. St2S   FI 3,5h11 x 3000    |ŚRUBA 2M4 x 55|00.0003|",
    "PN-EN ISO 1207:1999|PN-EN ISO 1207:1999|WKRĘT  M4 x 12 – 5.8-B       Fe/Zn|WKRĘT SPECJALNY|00.0001|",
    "PN-EN ISO 1207:1999|PN-EN ISO 1207:1999|WKRĘT  M4 x 20 – 5.8-B       Fe/Zn||00.0001|",
    "PN-EN ISO 7051:1999|PN-EN ISO 7051:1999|WKRĘT SAMOGWINT. CH ST 3,5 x 16       Fe/Zn||00.0001|",
    "PN-EN ISO 4032:2004|PN-EN ISO 4032:2004|NAKRĘTKA  M4       Fe/Zn10||00.0001|",
    "PN/M-82005|PN-EN ISO 7091:2003|PODKŁADKA  M4      Fe/Zn10||00.0001|",
    "KW-01/VODUZ/T-001|KW-01/VODUZ/T-001|ITAMID 353|OBÓDOWA|00.1000|",
    "|BN-73/6616-14|PŁYTA GUMOWA  2-40-B-a-I  #2 x 1100 x Rulon|USZCZELKA|00.0004|",
    "PN-EN 60317-0-1:2002|PN-EN  60317-0-1 : 2002|PRZEWÓD  DN2E180 FI 0,40|CEWKA|00.2000|",
    "PN-E-90054:1987|PN-E-90054:1987|PRZEWÓD  LgYc  750 V (500)  0,75 mm2|CEWKA|00.2000|",
    "PN-EN 60684-1:2002|PN-EN  60684-1 : 2002|KOSZULKA SZKLANO-POLIURETANOWA  OsPu  FI 2.0|CEWKA|00.2000|",
};
const char* const SampleWithoutSeal[] = {
    "PN-EN 10130:2007|PN-81/H-92121|BLACHA   Z-II-T   #2 x 1000 x 2000|WSPORNIK|00.0001|",
    "PN-EN 1652:1999|PN-EN 1652 : 1999|BLACHA MOS.  M63 z4  #0,50 x 600 x 2000|KOŃCÓWKA|00.0002|",
    "PN-H-84023-01:1989|PN-89/H-84023|PRĘT CIĄGN.OKR. St2S   FI 3,5h11 x 3000    |ŚRUBA 2M4 x 55|00.0003|",
    "PN-EN ISO 1207:1999|PN-85/M-82215|WKRĘT  M4 x 12 – 5.8-B       Fe/Zn|WKRĘT SPECJALNY|00.0001|",
    "PN-EN ISO 1207:1999|PN-85/M-82215|WKRĘT  M4 x 20 – 5.8-B       Fe/Zn||00.0001|",
    "PN-EN ISO 7051:1999|PN/M-83115|WKRĘT SAMOGWINT. CH ST 3,5 x 16       Fe/Zn||00.0001|",
    "PN-EN ISO 4032:2004|PN/M-82144|NAKRĘTKA  M4       Fe/Zn10||00.0001|",
    "PN-EN ISO 7091:2003|PN/M-82005|PODKŁADKA  M4      Fe/Zn10||00.0001|",
    "KW-01/VODUZ/T-001|KW-01/VODUZ/T-001|ITAMID 353|OBÓDOWA|00.1000|",
    "PN-EN 60317-0-1:2002|PN-EN  60317-0-1 : 2002|PRZEWÓD  DN2E180 FI 0,40|CEWKA|00.2000|",
    "PN-E-90054:1987|PN/E-90054|PRZEWÓD  LgYc  750 V (500)  0,75 mm2|CEWKA|00.2000|",
    "PN-EN 60684-1:2002|PN-EN  60684-1 : 2002|KOSZULKA SZKLANO-POLIURETANOWA  OsPu  FI 2.0|CEWKA|00.2000|",
};

template <size_t N>
AnsiString LinesText(const char* const (&Lines)[N])
{
    AnsiString text;
    for (const char* line : Lines)
        text += AnsiString(line) + "\r\n";
    return text;
}

// The program ends: the message loop stops at its first turn.
void EndProgram()
{
    Application->Terminate();
}

void ShowError(const AnsiString& Text, unsigned Flags = MB_OK | MB_ICONERROR | MB_TOPMOST)
{
    Application->MessageBox(Text, TitleError, Flags);
}
}  // namespace

void Tf_MainForm::FormCreate(TObject*)
{
    // 1. The state of the run.
    StartingUp = true;
    PageHistory->Clear();
    if (TempFolder.empty()) {
        try {
            TempFolder = PrivateTempFolder();
        } catch (const Exception&) {
            TempFolder = IncludeTrailingPathDelimiter(GetTempDir());
        }
    }
    RunningVersion = GetExeVersion();
    Strony->SetActivePage("ListaWszystkichNorm");

    MarkFirstRun();
    bool basicFiles = false;
    if (!StartConfiguration(basicFiles) || !StartUsers(basicFiles))
        return;
    StartUserSettings();
    StartCatalogue();
    if (FileExists(CatalogueFileName()))
        FileAgeDateTime(CatalogueFileName(), NormListDate);
    if (!BuildMainMenu(basicFiles))
        return;
    WriteSampleRegisters();

    Application->SetTitle(Caption());
    sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanie);
    StartingUp = false;
}

// 2. The first run on this computer: the program's path in the registry and
// the offer of a desktop launcher, once per place of the program file.
void Tf_MainForm::MarkFirstRun()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    try {
        if (!reg.OpenKey(RegistryKey, true))
            return;
        const bool known = reg.ValueExists("Path") && reg.GetDataType("Path") == rdString &&
                           FileExists(reg.ReadString("Path"));
        if (!known) {
            const AnsiString program = Application->ExeName();
            reg.WriteString("Version", RunningVersion);
            reg.WriteString("Path", program);
            reg.WriteString("Name", Application->Title());
            if (Application->MessageBox(
                    "KOMUNIKAT TEN WYŚWIETLONY ZOSTANIE TYLKO TEN JEDEN RAZ NA TYM KOMPUTERZE, PROSZĘ O ZAPOZNANIE "
                    "SIĘ Z JEGO TREŚCIĄ\r\rProsze o umieszczenie programu na dysku sieciowym, ogólnodostępnym dla "
                    "pozostałych pracowników. Nie należy kopiować i przenosić programu na swój dysk, można natomiast "
                    "utworzyć skrót do programu np. na pulit i z za jego pomocą uruchamiać Velmaroka Polskich "
                    "Norm\r\rUtworzyć skrót do programu na pulpicie teraz ???",
                    "WAŻNA INFORMACJA !!!", MB_YESNO | MB_ICONINFORMATION) == IDYES) {
                // The desktop's folder as the login's user folders name it, made when missing as a
                // desktop makes it; a launcher that cannot be written there is reported.
                AnsiString desktop;
                if (!SHGetSpecialFolderPath(0, desktop, CSIDL_DESKTOP, true) ||
                    !CreateShortcut(program, desktop, Application->Title()))
                    Application->MessageBox("Nie udało się utworzyć skrótu do programu na pulpicie !!!", "BŁĄD !!!",
                                            MB_OK | MB_ICONERROR);
            }
            RunMenuCommand("Informacja", "Informacja");
        }
    } catch (const Exception&) {
        // A registry store that cannot be written only costs the mark.
    }
    reg.CloseKey();
}

// 3. The configuration; the very first start only writes it and ends.
bool Tf_MainForm::StartConfiguration(bool& BasicFiles)
{
    // One that another login's first start wrote meanwhile is read as found.
    if (FileExists(ConfigFileName()) || !WriteDefaultConfiguration())
        BasicFiles = ReadConfiguration();
    if (BasicFiles)
        return true;
    ShowError("Brakuje podstawowych plików niezbędnych do uruchomienia programu !!!.\r\rPROGRAM ZOSTANIE "
              "ZAMKNIĘTY, zostaną utworzone nowe pliki z domyślnymi ustawieniami, uruchom program ponownie !!!");
    EndProgram();
    return false;
}

// 4. The users file and the access level of the login.
bool Tf_MainForm::StartUsers(bool& BasicFiles)
{
    const AnsiString login = Login();
    const AnsiString folder = UsersFolder();
    const AnsiString dat = folder + "users.dat";
    if (!FileExists(dat)) {
        bool written = ForceDirectories(folder), made = false;
        if (written) {
            try {
                // Written scrambled at once: no plain copy lies in the shared folder.
                made = WriteDefaultSharedFile(dat, [&] {
                    WriteScrambledFile(dat, "[UsersName]\r\n" + login + "=\r\n\r\n[Level]\r\n" + login +
                                                "=4\r\n\r\n[Options]\r\nRunUserOut=0\r\n");
                });
            } catch (const Exception&) {
                written = false;
            }
        }
        // Another login's first start may have made it meanwhile: that one is read.
        written = written && (made || FileExists(dat));
        if (!written) {
            BasicFiles = false;
            ShowError("Nie można utworzyć pliku z danymi na temat uprawnień użytkowników w folderze:\r" + folder +
                      "\r\rProgram zostanie zamknięty !!!");
            EndProgram();
            return false;
        }
        if (made) {
            ShowError("Program " + Application->Title() + " jest uruchamiany na tym komputerze po raz pierwszy !!!." +
                          "\r\r" +
                          "Stworzyłem domyślne ustawienia dotyczące użytkowników tzn. stworzyłem dla aktualnie "
                          "zalagowanego użytkownika na tym komputerze (" +
                          login +
                          ") konto o poziomie dostępu do opcji programu 4 (najwyższym). Zachęcam do zapoznania się z "
                          "ustawieniami programu dotyczącymi ograniczeń dostępu znajdującymi się na zakładce " +
                          Quote + "Uprawnienia" + Quote + " w menu " + Quote + "Ustawienia" + Quote,
                      MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
        }
    }

    int runUserOut = 0;
    CurrentUserLevel = 0;
    bool read = false;
    if (FileExists(dat)) {
        try {
            RememberSharedFile(dat);
            TPlainCopy copy(dat);
            TIniFile ini(copy.FileName());
            ReadUsersList(ini, folder);
            CurrentUserLevel = ini.ReadInteger("Level", login, 0);
            runUserOut = ini.ReadInteger("Options", "RunUserOut", 0);
            read = true;
        } catch (const Exception&) {
            lb_UserName->Clear();
            CurrentUserLevel = 0;
            runUserOut = 0;
        }
    }
    if (!read)
        ShowError("Brak pliku zawierającego dane na temat uprawnień użytkowników (zostaną przyznane domyślne "
                  "ustawinia na poziomie 0 - użytkownik spoza listy) !!!");

    TStrings* users = lb_UserName->Items();
    UserOutsideList = true;
    for (int i = 0; i < users->Count(); ++i)
        if (AnsiCompareText(users->Strings(i), login) == 0)
            UserOutsideList = false;
    if (UserOutsideList && cb_UserSpozaListy->Checked()) {
        ShowError("Użytkownik spoza listy nie może uruchomić programu (skontaktuj się z administratorem programu) !!!");
        EndProgram();
        // Nothing more is done for a user the program refuses.
        return false;
    }
    if (UserOutsideList)
        CurrentUserLevel = 0;
    if (CurrentUserLevel < 0)
        CurrentUserLevel = 0;
    else if (CurrentUserLevel > 4)
        CurrentUserLevel = 1;
    if (AnsiLowerCase(login) == AnsiLowerCase(e_KierownikDzialu->Text()) &&
        cb_KierDzialuMaNieOgrMozliwosci->Checked())
        CurrentUserLevel = 4;
    if (UserOutsideList && runUserOut == 1) {
        Application->MessageBox(
            "Jesteś użytkownikiem spoza listy, nie masz odpowiednich uprawnień do uruchamiania tego programu !!!",
            TitleWarning, MB_OK | MB_ICONERROR);
        EndProgram();
        return false;
    }
    return true;
}

// 5. The per-user appearance file: made from "Default.dat" or the template
// when missing, applied when it belongs to this login.
void Tf_MainForm::StartUserSettings()
{
    const AnsiString login = Login();
    const AnsiString folder = UsersFolder();
    const AnsiString own = UserSettingsFile();
    if (!FileExists(own)) {
        try {
            AnsiString text;
            if (FileExists(folder + "Default.dat")) {
                TPlainCopy copy(folder + "Default.dat");
                TIniFile(copy.FileName()).WriteString("UserName", "UserName", login);
                text = LoadBytesFromFile(copy.FileName());
            } else {
                text = DefaultUserSettingsText(login);
            }
            WriteDefaultSharedFile(own, [&] { WriteScrambledFile(own, text); });
        } catch (const Exception&) {
            // Not written this time: the designed appearance stays.
        }
    }
    RememberSharedFile(own);
    if (!FileExists(own))
        return;
    try {
        TPlainCopy copy(own);
        TIniFile ini(copy.FileName());
        if (AnsiLowerCase(ini.ReadString("UserName", "UserName", "")) == AnsiLowerCase(login))
            ApplyUserSettings(&ini);
    } catch (const Exception&) {
        // An unreadable file is passed over like one of another login.
    }
}

// 6. The catalogue, or the offer of a sample one.
void Tf_MainForm::StartCatalogue()
{
    const AnsiString file = CatalogueFileName();
    if (FileExists(file)) {
        LoadNormList(file);
        return;
    }
    sg_NormyWgStanu->ClearAll();
    RememberSharedFile(file);
    FillNormGrids(std::string_view());
    if (Application->MessageBox("Brakuje podstawowych plików niezbędnych do uruchomienia programu (brakuje spisu "
                                "wszystkich norm) !!!.\r\rProszę w ustawieniach programu wskazać ściężkę do pliku lub "
                                "stworzyć nowy spis norm!!!\r\rCzy mam stworzyć przykładowy spis teraz ???",
                                TitleError, MB_OKCANCEL | MB_ICONERROR | MB_TOPMOST) != IDOK)
        return;
    TStringList lines;
    lines.SetText(LinesText(SampleCatalogue));
    // The grids end with their empty row, as every catalogue does.
    FillNormGrids(lines.Text());
    for (TProStringGrid* g : {sg_WszystkieNormy, sg_PN_Podglad})
        for (int r = 1; r <= lines.Count() && r < g->RowCount(); ++r)
            g->SetCells(2, r, NormStateCell(SplitNormLine(lines.Strings(r - 1))[nfState], SampleStateColors));
    try {
        WriteNormFile(lines.Text());
    } catch (const Exception&) {
        Application->MessageBox("Przykładowy spis norm został stworzony, ale nie udało się go zapisać, nie masz do "
                                "tego odpowiednich uprawnień, lub uruchamiasz program z dysku, na którym zapis nie "
                                "jest możliwy !!!.",
                                TitleWarning, MB_OK | MB_ICONERROR);
    }
}

// 9. The sample registers of the default menu, each written when missing.
void Tf_MainForm::WriteSampleRegisters()
{
    struct TSample {
        const char* Name;
        AnsiString Text;
    };
    const TSample samples[] = {{"z_u.txt", LinesText(SampleWithSeal)}, {"bez_u.txt", LinesText(SampleWithoutSeal)}};
    const AnsiString folder = ListFolder();
    for (const TSample& s : samples) {
        if (FileExists(folder + s.Name))
            continue;
        try {
            if (!DirectoryExists(folder))
                ForceDirectories(folder);
            WriteDefaultSharedFile(folder + s.Name, [&] { SaveBytesToFile(folder + s.Name, s.Text); });
        } catch (const Exception&) {
            Application->MessageBox("Przykładowy wykaz materiałowy został stworzony, ale nie udało się go zapisać, "
                                    "nie masz do tego odpowiednich uprawnień, lub uruchamiasz program z dysku, na "
                                    "którym zapis nie jest możliwy !!!.",
                                    TitleWarning, MB_OK | MB_ICONERROR);
        }
    }
}
