// The main menu: the tab strip at the window's left edge with one sliding
// tool panel per tab, built once at start-up from the menu file (the fixed
// panels "Normy", "Ustawienia" and "O programie" and one panel per product
// category), its items enabled by the access level, and the item click that
// runs the item's command.
#include <memory>
#include <string>
#include <unordered_set>

#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ToolEdit.h"
#include "controls/ToolPanels.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
// The register names the items of the menu being built have handed out, in capitals: each
// item looks its name up here rather than in the list.
std::unordered_set<std::string> HandedOut;
const char* const TitleInfo = "INFORMACJA !!!";

// The fixed panels: their sections and items in order. An item's command
// string is its caption.
struct TFixedSection {
    const char* Caption;
    std::initializer_list<const char*> Items;
};
const TFixedSection NormySections[] = {
    {"Lista wyświetlanych norm",
     {"Wszystkie normy", "Normy aktualne", "Normy nieaktualne", "Normy zastąpione uznaniowo",
      "Normy wycofane bez zastąpienia", "Normy zakładowe"}},
    {"Aktualizuj",
     {"Listę wszystkich norm", "Aktualną listę", "Wybraną pozycję", "Od zaznaczenia w dół", "Od zaznaczenia w górę",
      "Od pozycji nr w dół", "Od pozycji nr w górę", "Od pozycji nr do pozycji nr"}},
    {"Wyszukaj", {"W katalogu norm", "Na stronie PKN"}},
    {"Edycja",
     {"Dodaj nową normę", "Usuń zaznaczoną normę z listy", "Pogrupuj listę norm", "Zapisz listę norm",
      "Zapisz aktualną listę jako ..."}},
    {"Normy używane", {"Lista używanych norm", "Normy użyte w wyrobie"}},
};
const TFixedSection UstawieniaSections[] = {
    {"Ustawienia programu",
     {"Kolory i styl przycisków menu głównego", "Kolory i styl wysuwanych paneli", "Kolory nagłówków",
      "Kolory określające stan norm", "Kolory sekcji na panelach", "Styl wyświetlania spisu norm",
      "Styl wyświetlania wykazów"}},
    {"Organizuj", {"Menu", "Foldery"}},
    {"Prawa dostępu", {"Użytkownicy programu", "Uprawnienia"}},
};
const TFixedSection OProgramieSections[] = {
    {"O programie", {"Informacja"}},
    {"Aktualizacja", {"Sprawdź uaktualnienia"}},
};

// The default tree written into a menu file without categories, in the
// order of writing.
struct TMenuEntry {
    const char* Section;
    const char* Key;
    const char* Value;
};
const TMenuEntry DefaultTree[] = {
    {"Kategorie", "Wyrób 1", ""},
    {"Kategorie", "Wyrób 2", ""},
    {"Kategorie", "Wyrób 3", ""},
    {"Kategorie", "Wyroby pozostałe", ""},
    {"Wyrób 1", "Wykonanie A", ""},
    {"Wyrób 1", "Wykonanie B", ""},
    {"Wyrób 1", "Wykonanie specjalne", ""},
    {"Wyrób 2", "Wykonanie 1", ""},
    {"Wyrób 2", "Wykonanie 2", ""},
    {"Wyrób 3", "Wykonanie dla OS", ""},
    {"Wykonanie A", "Wykonanie z uszczelką", "z_u.txt"},
    {"Wykonanie A", "Wykonanie bez uszczelki", "bez_u.txt"},
};

// The text of a section line before its first "=", or the whole line.
AnsiString NameOfLine(const AnsiString& Line)
{
    const size_t eq = Line.find('=');
    return eq == AnsiString::npos ? Line : Line.substr(0, eq);
}

TSectionItem* AddItem(TProToolPanelSection* Section, const AnsiString& Caption, const AnsiString& Command)
{
    TSectionItem* item = Section->SectionItems()->Add();
    item->SetCaption(Caption);
    item->SetHint(Command);
    return item;
}

TProToolPanelSection* AddSection(TProToolPanel* Panel, const AnsiString& Caption)
{
    TProToolPanelSection* s = Panel->Sections()->Add();
    s->SetCaption(Caption);
    s->SetAutosize(true);
    return s;
}

void AddFixedSections(TProToolPanel* Panel, const TFixedSection* First, const TFixedSection* Last)
{
    for (const TFixedSection* s = First; s != Last; ++s) {
        TProToolPanelSection* section = AddSection(Panel, s->Caption);
        for (const char* item : s->Items)
            AddItem(section, item, item);
    }
}

// Disables every item of the panel's section with the caption.
void DisableSection(TProToolPanel* Panel, const AnsiString& Caption)
{
    for (int i = 0; i < Panel->Sections()->Count(); ++i) {
        TProToolPanelSection* s = Panel->Sections()->GetItem(i);
        if (s->Caption() != Caption)
            continue;
        for (int j = 0; j < s->SectionItems()->Count(); ++j)
            s->SectionItems()->GetItem(j)->SetEnabled(false);
    }
}

// Disables the items of the quick-pages menu with these captions.
void DisableQuickPages(TPopupMenu* Menu, std::initializer_list<const char*> Captions)
{
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
        TMenuItem* item = Menu->Items()->Items(i);
        for (const char* c : Captions)
            if (item->Caption() == c)
                item->SetEnabled(false);
    }
}

// The drive part of a folder: "X:" for a drive letter, "\\\\server\\share" for a
// network share, else the folder itself (a system without drives).
AnsiString DrivePart(const AnsiString& Folder)
{
    if (Folder.size() >= 2 && Folder[1] == ':')
        return Folder.substr(0, 2);
    if (Folder.rfind("\\\\", 0) == 0) {
        const size_t server = Folder.find('\\', 2);
        const size_t share = server == AnsiString::npos ? server : Folder.find('\\', server + 1);
        return Folder.substr(0, share);
    }
    return Folder;
}
}  // namespace

void Tf_MainForm::CreateMainMenuComponents()
{
    ProToolPanelTab = new TProToolPanelTab(this);
    ProToolPanelTab->SetName("ProToolPanelTab");
    ProToolPanelTab->SetParent(this);
    ProToolPanelTab->SetPosition(ppLeft);
    ProToolPanelTab->SetStyle(esWindowsXP);
    ProToolPanelTab->SetTabWidth(20);
    ProToolPanelTab->Font()->SetStyle(fsBold);
    ProToolPanelTab->OnTabSlideOut = [this](TObject* s, int i, TProToolPanel* p) { ProToolPanelTabTabSlideOut(s, i, p); };
}

TProToolPanel* Tf_MainForm::MenuPanel(const AnsiString& Caption) const
{
    TToolPanels* panels = ProToolPanelTab->Panels();
    for (int i = 0; i < panels->Count(); ++i)
        if (TProToolPanel* p = panels->Items(i)->Panel(); p && p->Caption() == Caption)
            return p;
    return nullptr;
}

bool Tf_MainForm::BuildMainMenu(bool& BasicFilesPresent)
{
    const AnsiString menuFile = edt_Menu->FileName();
    auto saveFailed = [] {
        Application->MessageBox("Próbowałem stworzyć nowy plik z ustaieniami ale zapis na dysku " +
                                    DrivePart(ExcludeTrailingPathDelimiter(ProgramFolder)) +
                                    " nie jest możliwy !!!.\r\rProgram zostanie zamknięty !!!",
                                TitleError, MB_OK | MB_ICONERROR | MB_TOPMOST);
    };
    auto missingBasics = [] {
        Application->MessageBox("Brakuje podstawowych plików niezbędnych do uruchomienia programu!!!.\r\rProgram "
                                "zostanie zamknięty !!!",
                                TitleError, MB_OK | MB_ICONERROR | MB_TOPMOST);
    };

    // 1. No menu file: an empty one is made and the program ends. One that
    // another login's start made meanwhile is read as found.
    if (!FileExists(menuFile)) {
        if (!ForceDirectories(ExtractFileDir(menuFile)))
            BasicFilesPresent = false;
        bool saved = true;
        try {
            saved = WriteDefaultSharedFile(menuFile, [&] { TStringList().SaveToFile(menuFile); });
        } catch (const Exception&) {
            saved = false;
        }
        if (!saved && FileExists(menuFile))
            return BuildMainMenu(BasicFilesPresent);
        if (!saved) {
            BasicFilesPresent = false;
            saveFailed();
        } else if (BasicFilesPresent) {
            Application->MessageBox("Stworzyłem nowy plik z ustawieniami.\r\rProgram zostanie zamknięty i musi być "
                                    "uruchomiony ponownie.",
                                    TitleError, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
        }
        Application->Terminate();
        if (!BasicFilesPresent) {
            missingBasics();
            return false;
        }
        return true;
    }

    {
        auto menu = std::make_unique<TIniFile>(menuFile);

        // 2. No categories: the default tree is written (in one piece) and the
        // program ends. A tree that another login's start wrote meanwhile is
        // built as found.
        if (!menu->SectionExists("Kategorie")) {
            menu.reset();
            const auto noTree = [&] { return !TIniFile(menuFile).SectionExists("Kategorie"); };
            bool written = true;
            try {
                written = WriteDefaultSharedFile(
                    menuFile,
                    [&] {
                        TMemIniFile tree(menuFile);
                        for (const TMenuEntry& e : DefaultTree)
                            tree.WriteString(e.Section, e.Key, e.Value);
                        tree.UpdateFile();
                    },
                    noTree);
            } catch (const Exception&) {
                written = false;
            }
            if (!written && !noTree())
                return BuildMainMenu(BasicFilesPresent);
            if (written)
                Application->MessageBox("Znalazłem plik z ustawieniami ale jest on pusty, więc utworzyłem "
                                        "domyślne kategorie automatycznie.\r\rProgram zostanie zamknięty i musi "
                                        "być uruchomiony ponownie.",
                                        TitleError, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
            else
                saveFailed();
            Application->Terminate();
            return false;
        }
        BuildMenuPanels(menu.get());
    }

    // After a normal build: the basic files may have been found missing earlier.
    if (!BasicFilesPresent) {
        missingBasics();
        return false;
    }
    return true;
}

void Tf_MainForm::BuildMenuPanels(TCustomIniFile* MenuFile)
{
    // The register names handed out by the items.
    if (!UsedListFiles)
        UsedListFiles = new TStringList();
    UsedListFiles->Clear();
    HandedOut.clear();

    // The tabs: "Normy", the categories sorted, "Ustawienia", "O programie".
    TStringList panels;
    MenuFile->ReadSectionValues("Kategorie", &panels);
    panels.Sort();
    panels.Add("Ustawienia");
    panels.Add("O programie");
    panels.Insert(0, "Normy");

    // One panel per shown entry, named by its position in the list. The window lays out its
    // aligned controls once, after the last panel: each panel added, hidden or named would
    // otherwise lay out all panels before it again.
    TWinControl* host = ProToolPanelTab->Parent();
    if (host)
        host->DisableAlign();
    struct TAlignAfter {
        TWinControl* Host;
        ~TAlignAfter()
        {
            if (Host)
                Host->EnableAlign();
        }
    } alignAfter{host};
    for (int i = 0; i < panels.Count(); ++i) {
        const AnsiString name = NameOfLine(panels.Strings(i));
        if (!MenuFile->ReadBool("Kategorie", name, true))
            continue;
        TProToolPanel* p = ProToolPanelTab->CreatePanel();
        p->SetCaption(name);
        p->SetCanSize(false);
        p->SetOpenWidth(180);
        ApplyPanelColors(p);
        ApplySectionColors(p);
        p->SetName(IntToStr(i) + "x_Panel");
        p->SetShowLock(false);
        p->SetShowClose(false);
        p->SetStyle(ProToolPanelTab->Style());
        p->SetShowHint(false);
        p->OnItemClick = [this](TObject* s, int section, int item) { ProToolPanel1ItemClick(s, section, item); };
        if (name == "Normy" || name == "Ustawienia" || name == "O programie")
            FillFixedPanel(p, name);
        else
            FillCategoryPanel(p, name, MenuFile);
    }
}

void Tf_MainForm::FillFixedPanel(TProToolPanel* p, const AnsiString& Name)
{
    const int L = CurrentUserLevel;
    if (Name == "Normy") {
        p->SetOpenWidth(180);
        p->SetShowLock(true);
        p->SetLockHint("Ustaw panel zawsze widoczny");
        p->SetUnlockHint("Włącz autoukrywanie panelu");
        AddFixedSections(p, std::begin(NormySections), std::end(NormySections));
        if (FileExists(CatalogueFileName()))
            AddItem(AddSection(p, "Ostatnia aktualizacja"), DateTimeToStr(NormListDate), AnsiString());
        if (L <= 0)
            DisableSection(p, "Normy używane");
        if (L < 3) {
            DisableSection(p, "Aktualizuj");
            DisableSection(p, "Edycja");
        }
    } else if (Name == "Ustawienia") {
        p->SetOpenWidth(210);
        AddFixedSections(p, std::begin(UstawieniaSections), std::end(UstawieniaSections));
        if (L <= 0) {
            for (const char* s : {"Ustawienia programu", "Organizuj", "Prawa dostępu"})
                DisableSection(p, s);
            DisableQuickPages(pm_Zakladki, {"Ustawienia programu", "Ustawienia Menu", "Ustawienia folderów",
                                            "Użytkownicy", "Uprawnienia"});
        } else if (L <= 3) {
            DisableSection(p, "Organizuj");
            DisableSection(p, "Prawa dostępu");
            DisableQuickPages(pm_Zakladki, {"Ustawienia Menu", "Ustawienia folderów", "Użytkownicy", "Uprawnienia"});
        } else if (L == 4 && cb_KierMozeZmieniac->Checked() &&
                   AnsiLowerCase(GetWindowsUserName()) != AnsiLowerCase(e_KierownikDzialu->Text())) {
            DisableSection(p, "Prawa dostępu");
            DisableQuickPages(pm_Zakladki, {"Użytkownicy", "Uprawnienia"});
        }
    } else {
        p->SetOpenWidth(180);
        AddFixedSections(p, std::begin(OProgramieSections), std::end(OProgramieSections));
    }
}

void Tf_MainForm::FillCategoryPanel(TProToolPanel* p, const AnsiString& Category, TCustomIniFile* Menu)
{
    TStringList groups;
    Menu->ReadSectionValues(Category, &groups);
    groups.Sort();
    for (int j = 0; j < groups.Count(); ++j) {
        AnsiString caption = groups.Strings(j);
        if (!caption.empty() && caption.back() == '=')
            caption.pop_back();
        TProToolPanelSection* section = AddSection(p, caption);
        TStringList variants;
        Menu->ReadSectionValues(caption, &variants);
        for (int k = 0; k < variants.Count(); ++k) {
            const AnsiString item = NameOfLine(variants.Strings(k));
            const AnsiString file = Menu->ReadString(caption, item, "");
            // The first item naming a register keeps it.
            AnsiString command;
            if (HandedOut.insert(AnsiUpperCase(file)).second) {
                command = file;
                UsedListFiles->Add(file);
            }
            AddItem(section, item, command);
        }
    }
    const bool canOrganise = CurrentUserLevel >= 2;
    AddItem(AddSection(p, "Organizuj"), "Menu", Category + "|Menu")->SetEnabled(canOrganise);
    TProToolPanelSection* list = AddSection(p, "Wykaz");
    for (const char* c : {"Importuj z pliku", "Zapisz jako ..."})
        AddItem(list, c, Category + "|" + c)->SetEnabled(canOrganise);
}

void Tf_MainForm::ProToolPanel1ItemClick(TObject* Sender, int SectionIndex, int ItemIndex)
{
    auto* panel = dynamic_cast<TProToolPanel*>(Sender);
    if (!panel || SectionIndex < 0 || SectionIndex >= panel->Sections()->Count())
        return;
    TSectionItems* items = panel->Sections()->GetItem(SectionIndex)->SectionItems();
    if (ItemIndex < 0 || ItemIndex >= items->Count())
        return;
    TSectionItem* item = items->GetItem(ItemIndex);
    if (item->Enabled())
        RunMenuCommand(item->Hint(), item->Caption());
    else
        Application->MessageBox("Nie masz odpowiednich uprawnień !!!\r\rSkontaktuj się z administratorem (autorem) "
                                "programu.",
                                TitleInfo, MB_OK | MB_ICONWARNING);
}

void Tf_MainForm::ProToolPanelTabTabSlideOut(TObject*, int, TProToolPanel*)
{
    Screen->SetCursor(crDefault);
}
