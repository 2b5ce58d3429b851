// The menu file of the main window: its categories read into the menu
// editor page, the product groups of a category read into the import and
// export lists, and the registers the folder scan finds.
#include <memory>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "controls/KXCtrls.h"
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
    Box = Place<TGroupBox>(Owner, Parent, Name, Left, 8, Width, 520);
    Box->SetCaption(Caption);
    TPanel* inside = Place<TPanel>(Owner, Box, "", 2, 18, Width - 4, 500);
    inside->SetBevelOuter(bvNone);
    return inside;
}

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Text, int Left, int Top)
{
    TLabel* l = Place<TLabel>(Owner, Parent, Name, Left, Top, 200, 16);
    l->SetCaption(Text);
    return l;
}
}  // namespace

// The menu editor page: the main-menu buttons (categories), the groups of the
// chosen one and the items of the chosen group, each with its name edit and
// buttons; then the hidden list of found register files.
void Tf_MainForm::CreateMenuComponents()
{
    TPage* page = PageOf(Strony, "DostosujGrupyPrziPoz");
    const int boxWidth = 320, listHeight = 330;

    TPanel* mainMenu = CaptionedBox(this, page, GroupBox4, "GroupBox4", " Przyciski menu głównego ", 8, boxWidth);
    Label47 = NewLabel(this, mainMenu, "Label47", "&Nazwa nowej pozycji:", 10, 4);
    e_MG_NazwaNowejPoz = Place<TEdit>(this, mainMenu, "e_MG_NazwaNowejPoz", 10, 22, boxWidth - 20, 23);
    Label47->SetFocusControl(e_MG_NazwaNowejPoz);
    sb_MG_Dodaj = MenuButton(this, mainMenu, "sb_MG_Dodaj", "Dodaj", 10, 50, 62);
    sb_MG_ZmienNazwe = MenuButton(this, mainMenu, "sb_MG_ZmienNazwe", "Zmień nazwę", 76, 50, 96);
    sb_MG_Usun = MenuButton(this, mainMenu, "sb_MG_Usun", "Usuń", 176, 50, 56);
    sb_MG_Czysc = MenuButton(this, mainMenu, "sb_MG_Czysc", "Wyczyść", 236, 50, 68);
    Label46 = NewLabel(this, mainMenu, "Label46", "&Przyciski menu głównego:", 10, 82);
    clb_MG_PrzyciskiMenuGlownego =
        Place<TKxCheckListBox>(this, mainMenu, "clb_MG_PrzyciskiMenuGlownego", 10, 100, boxWidth - 20, listHeight);
    Label46->SetFocusControl(clb_MG_PrzyciskiMenuGlownego);
    sb_MG_Zapisz = MenuButton(this, mainMenu, "sb_MG_Zapisz", "Zapisz zmiany", 10, 440, 120);
    QelSensitiveLabel3 = Place<TQelSensitiveLabel>(this, mainMenu, "QelSensitiveLabel3", 140, 445, 170, 16);
    QelSensitiveLabel3->SetCaption("Pomoc do tej zakładki");
    l_MG_Warning = Place<TLabel>(this, mainMenu, "l_MG_Warning", 10, 470, boxWidth - 20, 32);
    l_MG_Warning->SetAutoSize(false);
    l_MG_Warning->SetWordWrap(true);
    l_MG_Warning->Font()->SetColor(clRed);
    l_MG_Warning->SetCaption(
        "Tylko użytkownicy z odpowiednimi uprawnieniami mogą dokonywać zmiany na tej zakładce !!!");

    // The groups and the items: a name edit, add and delete, the list, save.
    struct TLevel {
        const char *Box, *Caption, *Label, *Edit, *Add, *Delete, *List, *Save;
        TEdit** EditField;
        TSpeedButton **AddField, **DeleteField, **SaveField;
        TListBox** ListField;
    };
    const TLevel levels[] = {
        {"gb_G_Grupy", " Grupy wyrobów ", "Nazwa nowej &grupy:", "e_G_DodajNowa", "sb_G_Dodaj", "sb_G_Usun",
         "lb_G_Spis", "sb_G_Zapisz", &e_G_DodajNowa, &sb_G_Dodaj, &sb_G_Usun, &sb_G_Zapisz, &lb_G_Spis},
        {"gb_W_Pozycje", " Pozycje w grupie ", "Nazwa nowej &pozycji:", "e_W_Dodaj", "sb_W_Dodaj", "sb_W_Usun",
         "lb_W_Spis", "sb_W_Zapisz", &e_W_Dodaj, &sb_W_Dodaj, &sb_W_Usun, &sb_W_Zapisz, &lb_W_Spis},
    };
    TPanel* items = nullptr;
    int left = 16 + boxWidth;
    for (const TLevel& l : levels) {
        TGroupBox* box = nullptr;
        items = CaptionedBox(this, page, box, l.Box, l.Caption, left, boxWidth);
        *l.EditField = Place<TEdit>(this, items, l.Edit, 10, 22, boxWidth - 20, 23);
        NewLabel(this, items, "", l.Label, 10, 4)->SetFocusControl(*l.EditField);
        *l.AddField = MenuButton(this, items, l.Add, "Dodaj", 10, 50, 70);
        *l.DeleteField = MenuButton(this, items, l.Delete, "Usuń", 84, 50, 60);
        *l.ListField = Place<TListBox>(this, items, l.List, 10, 100, boxWidth - 20, listHeight);
        (*l.ListField)->SetSorted(true);
        *l.SaveField = MenuButton(this, items, l.Save, "Zapisz zmiany", 10, 440, 120);
        left += boxWidth + 8;
    }
    sb_W_OtworzWykaz = MenuButton(this, items, "sb_W_OtworzWykaz", "Otwórz wykaz", 10, 470, 120);
    sb_W_UtworzWykaz = MenuButton(this, items, "sb_W_UtworzWykaz", "Utwórz wykaz", 134, 470, 120);
    sb_ImportujZPlikuNaUstawieniachMenu =
        MenuButton(this, items, "sb_ImportujZPlikuNaUstawieniachMenu", "Importuj z pliku", 134, 440, 120);
    QelSensitiveLabel4 = Place<TQelSensitiveLabel>(this, page, "QelSensitiveLabel4", 16 + boxWidth, 536, 300, 16);
    QelSensitiveLabel4->SetCaption("Jak przygotować plik do importu ?");

    lb_DoWyszukiwania_Ukryte = Place<TListBox>(this, page, "lb_DoWyszukiwania_Ukryte", 0, 0, 10, 10);
    lb_DoWyszukiwania_Ukryte->Hide();
}

void Tf_MainForm::LoadMenuSettings()
{
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
        return;
    }
    {
        TSharedMenuFile menu(menuFile);
        if (SharedIniFile->SectionExists("Kategorie")) {
            TStringList lines;
            SharedIniFile->ReadSectionValues("Kategorie", &lines);
            for (int i = 0; i < lines.Count(); ++i)
                clb_MG_PrzyciskiMenuGlownego->Items()->Add(KeyOfLine(lines.Strings(i)));
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
    Strony->SetActivePage("DostosujGrupyPrziPoz");
}

void Tf_MainForm::ReadCategoryNames(const AnsiString& Section, TCustomListBox* List)
{
    const AnsiString menuFile = edt_Menu->FileName();
    if (!FileExists(menuFile))
        return;
    List->Clear();
    TSharedMenuFile menu(menuFile);
    if (!SharedIniFile->SectionExists(Section))
        return;
    TStringList lines;
    SharedIniFile->ReadSectionValues(Section, &lines);
    for (int i = 0; i < lines.Count(); ++i)
        List->Items()->Add(KeyOfLine(lines.Strings(i)));
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
