// The menu file of the main window: its categories read into the menu
// editor page, the product groups of a category read into the import and
// export lists, and the registers the folder scan finds.
#include <memory>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/qx_Unit1.h"
#include "controls/KXCtrls.h"
#include "controls/NetGradient.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"

namespace {
// The text of a section line before its first "=", or the whole line.
AnsiString KeyOfLine(const AnsiString& Line)
{
    size_t eq = Line.find('=');
    return eq == AnsiString::npos ? Line : Line.substr(0, eq);
}

// The shared ini variable holds the menu file for the time of one reader.
struct TSharedMenuFile {
    explicit TSharedMenuFile(const AnsiString& FileName) { SharedIniFile = new TIniFile(FileName); }
    ~TSharedMenuFile()
    {
        delete SharedIniFile;
        SharedIniFile = nullptr;
    }
};

TSpeedButton* MenuButton(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left,
                         int Top, int Width)
{
    TSpeedButton* b = Place<TSpeedButton>(Owner, Parent, Name, Left, Top, Width, 25);
    b->SetCaption(Caption);
    return b;
}

// A box with its caption and a panel inside it that holds (and paints) the
// box's controls.
TPanel* CaptionedBox(TComponent* Owner, TWinControl* Parent, TGroupBox*& Box, const char* Name,
                     const char* Caption, int Left, int Width)
{
    return PlaceGroupBox(Owner, Parent, Box, Name, Caption, Left, 32, Width, 510);
}

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Text, int Left, int Top)
{
    TLabel* l = Place<TLabel>(Owner, Parent, Name, Left, Top, 200, 16);
    l->SetCaption(Text);
    return l;
}
}  // namespace

// The menu editor page: the main-menu buttons (categories), the groups of the
// chosen one and the items of the chosen group, each with its name edit,
// buttons and warning; then the hidden list of found register files.
void Tf_MainForm::CreateMenuComponents()
{
    TPage* page = PageOf(Strony, "DostosujGrupyPrziPoz");
    const int boxWidth = 320, listTop = 132, listHeight = 260;

    ng_DostosujMenu = Place<TNetGradient>(this, page, "ng_DostosujMenu", 0, 0, 600, 25);
    ng_DostosujMenu->SetAlign(alTop);
    ng_DostosujMenu->SetCaption("Dostosuj menu główne,grupy wyrobów i pozycje w grupach");
    ng_DostosujMenu->Font()->SetStyle(fsBold);

    // One box per level: name edit, add, rename, delete, clear, warning, list, save.
    struct TLevel {
        const char *Box, *Caption, *EditLabel, *Edit, *Add, *Rename, *Delete, *Clear, *ListLabel, *List, *Save,
            *Warning;
        TGroupBox** BoxField;
        TLabel** EditLabelField;
        TEdit** EditField;
        TSpeedButton **AddField, **RenameField, **DeleteField, **ClearField, **SaveField;
        TLabel** ListLabelField;
        TLabel** WarningField;
    };
    TGroupBox* groupsBox = nullptr;
    TGroupBox* itemsBox = nullptr;
    const TLevel levels[] = {
        {"GroupBox4", " Przyciski menu głównego ", "&Nazwa nowej pozycji:", "e_MG_NazwaNowejPoz", "sb_MG_Dodaj",
         "sb_MG_ZmienNazwe", "sb_MG_Usun", "sb_MG_Czysc", "&Przyciski menu głównego:", "clb_MG_PrzyciskiMenuGlownego",
         "sb_MG_Zapisz", "l_MG_Warning", &GroupBox4, &Label47, &e_MG_NazwaNowejPoz, &sb_MG_Dodaj, &sb_MG_ZmienNazwe,
         &sb_MG_Usun, &sb_MG_Czysc, &sb_MG_Zapisz, &Label46, &l_MG_Warning},
        {"gb_G_Grupy", " Grupy wyrobów ", "Nazwa nowej &grupy:", "e_G_DodajNowa", "sb_G_Dodaj", "sb_G_ZmienNazwe",
         "sb_G_Usun", "sb_G_Czysc", "Grupy &wyrobów:", "lb_G_Spis", "sb_G_Zapisz", "l_G_Warning", &groupsBox,
         nullptr, &e_G_DodajNowa, &sb_G_Dodaj, &sb_G_ZmienNazwe, &sb_G_Usun, &sb_G_Czysc, &sb_G_Zapisz, nullptr,
         &l_G_Warning},
        {"gb_W_Pozycje", " Typy wyrobów w grupie ", "Nazwa nowej p&ozycji:", "e_W_Dodaj", "sb_W_Dodaj",
         "sb_W_ZmienNazwe", "sb_W_Usun", "sb_W_Czysc", "&Typy wyrobów w grupie:", "lb_W_Spis", "sb_W_Zapisz",
         "l_W_Warning", &itemsBox, nullptr, &e_W_Dodaj, &sb_W_Dodaj, &sb_W_ZmienNazwe, &sb_W_Usun, &sb_W_Czysc,
         &sb_W_Zapisz, nullptr, &l_W_Warning},
    };
    TPanel* inside[3] = {};
    int left = 8;
    for (int i = 0; i < 3; ++i) {
        const TLevel& l = levels[i];
        TPanel* box = inside[i] = CaptionedBox(this, page, *l.BoxField, l.Box, l.Caption, left, boxWidth);
        *l.EditField = Place<TEdit>(this, box, l.Edit, 10, 22, boxWidth - 20, 23);
        TLabel* editLabel = NewLabel(this, box, "", l.EditLabel, 10, 4);
        editLabel->SetFocusControl(*l.EditField);
        if (l.EditLabelField)
            *l.EditLabelField = editLabel;
        *l.AddField = MenuButton(this, box, l.Add, "Dodaj", 10, 50, 62);
        *l.RenameField = MenuButton(this, box, l.Rename, "Zmień nazwę", 76, 50, 96);
        *l.DeleteField = MenuButton(this, box, l.Delete, "Usuń", 176, 50, 56);
        *l.ClearField = MenuButton(this, box, l.Clear, "Wyczyść", 236, 50, 68);
        *l.WarningField = Place<TLabel>(this, box, l.Warning, 10, 80, boxWidth - 20, 32);
        (*l.WarningField)->SetAutoSize(false);
        (*l.WarningField)->SetWordWrap(true);
        (*l.WarningField)->Font()->SetColor(clRed);
        (*l.WarningField)->SetCaption("");
        TLabel* listLabel = NewLabel(this, box, "", l.ListLabel, 10, listTop - 18);
        if (l.ListLabelField)
            *l.ListLabelField = listLabel;
        *l.SaveField = MenuButton(this, box, l.Save, "Zapisz zmiany", 10, listTop + listHeight + 8, 120);
        // A level's save button on means changes not yet written: none yet.
        (*l.SaveField)->SetEnabled(false);
        left += boxWidth + 8;
    }
    Label46->SetName("Label46");
    Label47->SetName("Label47");
    clb_MG_PrzyciskiMenuGlownego = Place<TKxCheckListBox>(this, inside[0], "clb_MG_PrzyciskiMenuGlownego", 10,
                                                          listTop, boxWidth - 20, listHeight);
    clb_MG_PrzyciskiMenuGlownego->SetSorted(true);
    clb_MG_PrzyciskiMenuGlownego->SetItemHeight(13);
    Label46->SetFocusControl(clb_MG_PrzyciskiMenuGlownego);
    lb_G_Spis = Place<TListBox>(this, inside[1], "lb_G_Spis", 10, listTop, boxWidth - 20, listHeight);
    lb_W_Spis = Place<TListBox>(this, inside[2], "lb_W_Spis", 10, listTop, boxWidth - 20, listHeight);
    for (TListBox* list : {lb_G_Spis, lb_W_Spis})
        list->SetSorted(true);

    const int below = listTop + listHeight + 8;
    QelSensitiveLabel3 = Place<TQelSensitiveLabel>(this, inside[0], "QelSensitiveLabel3", 140, below + 5, 170, 16);
    QelSensitiveLabel3->SetCaption("Przejdź do zakładki Importuj");
    // The notice below the main-menu box (the import box lies below the other two).
    l_MG_Uwaga = Place<TLabel>(this, page, "l_MG_Uwaga", 8, 552, boxWidth, 48);
    l_MG_Uwaga->SetAutoSize(false);
    l_MG_Uwaga->SetWordWrap(true);
    l_MG_Uwaga->Font()->SetColor(clRed);
    l_MG_Uwaga->Font()->SetStyle(fsBold);
    l_MG_Uwaga->SetCaption("Tylko użytkownicy z odpowiednimi uprawnieniami mogą dokonywać zmiany na tej zakładce !!!");

    sb_W_OtworzWykaz = MenuButton(this, inside[2], "sb_W_OtworzWykaz", "Otwórz wykaz", 10, below + 30, 120);
    sb_W_UtworzWykaz = MenuButton(this, inside[2], "sb_W_UtworzWykaz", "Utwórz wykaz", 134, below + 30, 120);
    sb_ImportujZPlikuNaUstawieniachMenu =
        MenuButton(this, inside[2], "sb_ImportujZPlikuNaUstawieniachMenu", "Importuj z pliku", 10, below + 60, 120);
    QelSensitiveLabel4 =
        Place<TQelSensitiveLabel>(this, inside[2], "QelSensitiveLabel4", 134, below + 65, 180, 16);
    QelSensitiveLabel4->SetCaption("Pokaż instrukcję importowania pliku");

    // Hidden: the register file of the chosen item and the owners of the pending groups and items.
    lbl_Menu_NazwaPoz = Place<TLabel>(this, page, "lbl_Menu_NazwaPoz", 0, 0, 10, 10);
    l_pom_PMG_NazwaPoz = Place<TLabel>(this, page, "l_pom_PMG_NazwaPoz", 0, 0, 10, 10);
    l_pom_W_NazwaPoz = Place<TLabel>(this, page, "l_pom_W_NazwaPoz", 0, 0, 10, 10);
    for (TLabel* l : {lbl_Menu_NazwaPoz, l_pom_PMG_NazwaPoz, l_pom_W_NazwaPoz}) {
        l->SetCaption("");
        l->Hide();
    }

    lb_DoWyszukiwania_Ukryte = Place<TListBox>(this, page, "lb_DoWyszukiwania_Ukryte", 0, 0, 10, 10);
    lb_DoWyszukiwania_Ukryte->Hide();

    ConnectMenuEditor();
}

bool Tf_MainForm::LoadMenuSettings()
{
    if (!KeepOrSaveMenuChanges("odrzucenie tych zmian")) {
        Strony->SetActivePage("DostosujGrupyPrziPoz");
        return false;
    }
    TControl* mainMenuBox[] = {Label46,       Label47,       l_MG_Warning, QelSensitiveLabel3,
                               e_MG_NazwaNowejPoz, clb_MG_PrzyciskiMenuGlownego, sb_MG_Dodaj, sb_MG_Usun,
                               sb_MG_Zapisz, GroupBox4};
    for (TControl* c : mainMenuBox)
        c->SetEnabled(true);
    clb_MG_PrzyciskiMenuGlownego->Clear();

    const AnsiString menuFile = edt_Menu->FileName();
    if (!FileExists(menuFile)) {
        Application->MessageBox("Brakuje podstawowych plików niezbędnych do prawidłowego funkcjonowania "
                                "programu!!!.\r\rProgram zostanie zamknięty !!!",
                                "BŁĄD !!!", MB_OK | MB_ICONERROR | MB_TOPMOST);
        Application->Terminate();
        return true;
    }
    // The editor's saves look whether another login changed the file since.
    RememberSharedFile(menuFile);
    {
        TSharedMenuFile menu(menuFile);
        if (SharedIniFile->SectionExists("Kategorie")) {
            TStringList lines, keys;
            SharedIniFile->ReadSectionValues("Kategorie", &lines);
            for (int i = 0; i < lines.Count(); ++i)
                keys.Add(KeyOfLine(lines.Strings(i)));
            // In the sorted list's own order, each entry goes after the last.
            keys.Sort();
            for (int i = 0; i < keys.Count(); ++i)
                clb_MG_PrzyciskiMenuGlownego->Items()->Add(keys.Strings(i));
            for (int i = 0; i < clb_MG_PrzyciskiMenuGlownego->Count(); ++i)
                clb_MG_PrzyciskiMenuGlownego->SetChecked(
                    i, SharedIniFile->ReadBool("Kategorie", clb_MG_PrzyciskiMenuGlownego->Items()->Strings(i), true));
        }
    }

    sb_MG_Zapisz->SetEnabled(false);
    sb_MG_Usun->SetEnabled(false);
    sb_MG_Dodaj->SetEnabled(!e_MG_NazwaNowejPoz->Text().empty());
    sb_MG_Czysc->SetEnabled(false);
    sb_MG_ZmienNazwe->SetEnabled(false);
    lb_G_Spis->Clear();
    e_G_DodajNowa->Clear();
    lb_W_Spis->Clear();
    e_W_Dodaj->Clear();
    for (TSpeedButton* b : {sb_G_Dodaj, sb_G_Usun, sb_G_Zapisz, sb_W_Dodaj, sb_W_Usun, sb_W_OtworzWykaz,
                            sb_W_UtworzWykaz, sb_W_Zapisz, sb_ImportujZPlikuNaUstawieniachMenu})
        b->SetEnabled(false);
    // The group and item edits are empty: their buttons off; nothing is pending.
    for (int level = 1; level < 3; ++level)
        MenuNameChanged(level);
    for (int level = 0; level < 3; ++level)
        ForgetMenuChanges(level);
    FMenuListsSeen = FMenuFileWrites;
    Strony->SetActivePage("DostosujGrupyPrziPoz");
    return true;
}

void Tf_MainForm::ReadCategoryNames(const AnsiString& Section, TCustomListBox* List)
{
    TStringList keys;
    if (!ReadCategoryKeys(Section, &keys))
        return;
    List->Clear();
    for (int i = 0; i < keys.Count(); ++i)
        List->Items()->Add(keys.Strings(i));
}

bool Tf_MainForm::ReadCategoryKeys(const AnsiString& Section, TStrings* Keys)
{
    const AnsiString menuFile = edt_Menu->FileName();
    if (!FileExists(menuFile))
        return false;
    Keys->Clear();
    TSharedMenuFile menu(menuFile);
    if (!SharedIniFile->SectionExists(Section))
        return true;
    TStringList lines;
    SharedIniFile->ReadSectionValues(Section, &lines);
    for (int i = 0; i < lines.Count(); ++i)
        Keys->Add(KeyOfLine(lines.Strings(i)));
    return true;
}

bool Tf_MainForm::AddFoundListFile(const AnsiString& Path, const TSearchRec& Entry)
{
    // A register in a subfolder keeps its path inside the registers folder,
    // so that it can be read again from there.
    auto backslashed = [](AnsiString s) {
        for (char& c : s)
            if (c == '/')
                c = '\\';
        return s;
    };
    const AnsiString root = backslashed(ListFolder());
    const AnsiString path = backslashed(Path);
    AnsiString inside;
    if (path.size() >= root.size() && AnsiCompareText(path.substr(0, root.size()), root) == 0)
        inside = path.substr(root.size());
    lb_DoWyszukiwania_Ukryte->Items()->Add(inside + Entry.Name);
    return true;
}
