// The menu editor page of the main window: main-menu items, their product
// groups and the items of a group, each list with its name edit and buttons;
// every list is written into its own section of the menu file by its save.
#include <algorithm>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/qx_Unit1.h"
#include "controls/KXCtrls.h"
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
const char* const TitleWarning = "UWAGA !!!";
const char* const TitleInfo = "INFORMACJA !!!";
const AnsiString Q = "\"";
const AnsiString CategoriesSection = "Kategorie";

enum { mlMG = 0, mlG = 1, mlW = 2 };

struct TLevelControls {
    TCustomListBox* List;
    TEdit* Edit;
    TSpeedButton* Add;
    TSpeedButton* Rename;
    TSpeedButton* Delete;
    TSpeedButton* Clear;
    TSpeedButton* Save;
    TLabel* Warning;
};

TLevelControls LevelControls(const Tf_MainForm* f, int Level)
{
    switch (Level) {
    case mlMG:
        return {f->clb_MG_PrzyciskiMenuGlownego, f->e_MG_NazwaNowejPoz, f->sb_MG_Dodaj, f->sb_MG_ZmienNazwe,
                f->sb_MG_Usun, f->sb_MG_Czysc, f->sb_MG_Zapisz, f->l_MG_Warning};
    case mlG:
        return {f->lb_G_Spis, f->e_G_DodajNowa, f->sb_G_Dodaj, f->sb_G_ZmienNazwe,
                f->sb_G_Usun, f->sb_G_Czysc, f->sb_G_Zapisz, f->l_G_Warning};
    default:
        return {f->lb_W_Spis, f->e_W_Dodaj, f->sb_W_Dodaj, f->sb_W_ZmienNazwe,
                f->sb_W_Usun, f->sb_W_Czysc, f->sb_W_Zapisz, f->l_W_Warning};
    }
}

// What is wrong with a name of a level for the menu file; "" when nothing.
// Main-menu items and groups name sections too.
AnsiString NameProblem(const AnsiString& Name, int Level)
{
    const char* refusal = MenuNameRefusal(Name, Level != mlW);
    return refusal ? AnsiString(refusal) : AnsiString();
}

// The questions before a change of the lists carry the warning icon; the
// questions before a deletion carry none.
bool AskYesNo(const AnsiString& Text, unsigned Icon = MB_ICONWARNING)
{
    return Application->MessageBox(Text, TitleWarning, MB_YESNO | Icon) == IDYES;
}

void ShowError(const AnsiString& Text)
{
    Application->MessageBox(Text, TitleError, MB_OK | MB_ICONERROR);
}

AnsiString Selected(TCustomListBox* List)
{
    const int i = List->ItemIndex();
    return i < 0 ? AnsiString() : List->Items()->Strings(i);
}

void Focus(TWinControl* Control)
{
    if (Control->CanFocus())
        Control->SetFocus();
}

bool IsCtrl(TShiftState Shift)
{
    return (Shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl;
}

// The key names of a section, from its "key=value" lines (a line without
// "=" is a key as a whole).
void ReadKeys(TCustomIniFile& Ini, const AnsiString& Section, TStrings& Keys)
{
    TStringList lines;
    Ini.ReadSectionValues(Section, &lines);
    Keys.Clear();
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString& line = lines.Strings(i);
        const size_t eq = line.find('=');
        Keys.Add(eq == AnsiString::npos ? line : line.substr(0, eq));
    }
}

// A name is still in use as a section of the menu tree: a main-menu item or
// a group of some main-menu item.
bool SectionInUse(TCustomIniFile& Ini, const AnsiString& Name)
{
    TStringList categories, groups;
    ReadKeys(Ini, CategoriesSection, categories);
    if (categories.IndexOf(Name) >= 0)
        return true;
    for (int i = 0; i < categories.Count(); ++i) {
        ReadKeys(Ini, categories.Strings(i), groups);
        if (groups.IndexOf(Name) >= 0)
            return true;
    }
    return false;
}

// The section of a renamed entry goes with it: its lines are copied under
// the new name (never over a section that is there already), and the old
// section is erased once nothing of the tree names it any more.
void MoveSection(TCustomIniFile& Ini, const AnsiString& From, const AnsiString& To)
{
    if (!Ini.SectionExists(From) || Ini.SectionExists(To))
        return;
    TStringList keys;
    ReadKeys(Ini, From, keys);
    for (int i = 0; i < keys.Count(); ++i)
        Ini.WriteString(To, keys.Strings(i), Ini.ReadString(From, keys.Strings(i), ""));
    if (!SectionInUse(Ini, From))
        Ini.EraseSection(From);
}
}  // namespace

void Tf_MainForm::ConnectMenuEditor()
{
    for (int level = mlMG; level <= mlW; ++level) {
        const TLevelControls c = LevelControls(this, level);
        c.Edit->OnChange = [this, level](TObject*) { MenuNameChanged(level); };
        // Typed characters that the menu file cannot hold are dropped.
        c.Edit->OnKeyPress = [](TObject*, char& Key) { SwallowMenuNameChar(Key); };
        c.Edit->OnKeyDown = [this, level](TObject*, Word& Key, TShiftState Shift) { MenuEditKeyDown(level, Key, Shift); };
        c.List->OnKeyDown = [this, level](TObject*, Word& Key, TShiftState Shift) { MenuListKeyDown(level, Key, Shift); };
        c.List->OnDblClick = [this, level](TObject*) { MenuListDblClick(level); };
        c.Add->OnClick = [this, level](TObject*) { MenuAdd(level); };
        c.Rename->OnClick = [this, level](TObject*) { MenuRename(level); };
        c.Delete->OnClick = [this, level](TObject*) { MenuDelete(level); };
        c.Clear->OnClick = [c](TObject*) { c.Edit->Clear(); };
        c.Save->OnClick = [this, level](TObject*) { MenuSave(level); };
    }
    clb_MG_PrzyciskiMenuGlownego->OnClick = [this](TObject* s) { clb_MG_PrzyciskiMenuGlownegoClick(s); };
    clb_MG_PrzyciskiMenuGlownego->OnClickCheck = [this](TObject* s) { clb_MG_PrzyciskiMenuGlownegoClickCheck(s); };
    lb_G_Spis->OnClick = [this](TObject* s) { lb_G_SpisClick(s); };
    lb_W_Spis->OnClick = [this](TObject* s) { lb_W_SpisClick(s); };
    sb_W_OtworzWykaz->OnClick = [this](TObject* s) { sb_W_OtworzWykazClick(s); };
    sb_W_UtworzWykaz->OnClick = [this](TObject* s) { sb_W_UtworzWykazClick(s); };
    for (int level = mlMG; level <= mlW; ++level)
        MenuNameChanged(level);
}

// ---------------------------------------------------------------- the named handlers
void Tf_MainForm::clb_MG_PrzyciskiMenuGlownegoClickCheck(TObject*) { sb_MG_Zapisz->SetEnabled(true); }
void Tf_MainForm::e_MG_NazwaNowejPozChange(TObject*) { MenuNameChanged(mlMG); }
void Tf_MainForm::e_G_DodajNowaChange(TObject*) { MenuNameChanged(mlG); }
void Tf_MainForm::e_W_DodajChange(TObject*) { MenuNameChanged(mlW); }
void Tf_MainForm::sb_MG_DodajClick(TObject*) { MenuAdd(mlMG); }
void Tf_MainForm::sb_G_DodajClick(TObject*) { MenuAdd(mlG); }
void Tf_MainForm::sb_W_DodajClick(TObject*) { MenuAdd(mlW); }
void Tf_MainForm::sb_MG_ZmienNazweClick(TObject*) { MenuRename(mlMG); }
void Tf_MainForm::sb_G_ZmienNazweClick(TObject*) { MenuRename(mlG); }
void Tf_MainForm::sb_W_ZmienNazweClick(TObject*) { MenuRename(mlW); }
void Tf_MainForm::sb_MG_UsunClick(TObject*) { MenuDelete(mlMG); }
void Tf_MainForm::sb_G_UsunClick(TObject*) { MenuDelete(mlG); }
void Tf_MainForm::sb_W_UsunClick(TObject*) { MenuDelete(mlW); }
void Tf_MainForm::sb_MG_CzyscClick(TObject*) { e_MG_NazwaNowejPoz->Clear(); }
void Tf_MainForm::sb_G_CzyscClick(TObject*) { e_G_DodajNowa->Clear(); }
void Tf_MainForm::sb_W_CzyscClick(TObject*) { e_W_Dodaj->Clear(); }
void Tf_MainForm::sb_MG_ZapiszClick(TObject*) { MenuSave(mlMG); }
void Tf_MainForm::sb_G_ZapiszClick(TObject*) { MenuSave(mlG); }
void Tf_MainForm::sb_W_ZapiszClick(TObject*) { MenuSave(mlW); }
void Tf_MainForm::clb_MG_PrzyciskiMenuGlownegoDblClick(TObject*) { MenuListDblClick(mlMG); }
void Tf_MainForm::lb_G_SpisDblClick(TObject*) { MenuListDblClick(mlG); }
void Tf_MainForm::lb_W_SpisDblClick(TObject*) { MenuListDblClick(mlW); }
void Tf_MainForm::e_MG_NazwaNowejPozKeyDown(TObject*, Word& Key, TShiftState Shift) { MenuEditKeyDown(mlMG, Key, Shift); }
void Tf_MainForm::e_G_DodajNowaKeyDown(TObject*, Word& Key, TShiftState Shift) { MenuEditKeyDown(mlG, Key, Shift); }
void Tf_MainForm::e_W_DodajKeyDown(TObject*, Word& Key, TShiftState Shift) { MenuEditKeyDown(mlW, Key, Shift); }
void Tf_MainForm::clb_MG_PrzyciskiMenuGlownegoKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    MenuListKeyDown(mlMG, Key, Shift);
}
void Tf_MainForm::lb_G_SpisKeyDown(TObject*, Word& Key, TShiftState Shift) { MenuListKeyDown(mlG, Key, Shift); }
void Tf_MainForm::lb_W_SpisKeyDown(TObject*, Word& Key, TShiftState Shift) { MenuListKeyDown(mlW, Key, Shift); }

// ---------------------------------------------------------------- choosing
void Tf_MainForm::clb_MG_PrzyciskiMenuGlownegoClick(TObject*)
{
    const AnsiString m = Selected(clb_MG_PrzyciskiMenuGlownego);
    const AnsiString tail = " nie zapisując żadnych zmian.";
    if (sb_G_Zapisz->Enabled()) {
        const AnsiString p = l_pom_PMG_NazwaPoz->Caption();
        if (AskYesNo("Grupa wyrobów " + Q + p + Q + " została zmodyfikowana i nie zapisana, czy przed wyświetleniem "
                     "zawartości wyrobu " + Q + m + Q + " zapisać wprowadzone w niej zmiany ???\r\rKliknięcie na:\r"
                     "• TAK spowoduje zapisanie wprowadzonych zmian w wyrobie " + Q + p + Q + "\r"
                     "• NIE wyświetli zawartość grupy wyrobów " + Q + m + Q + tail))
            MenuSave(mlG);
    }
    if (sb_W_Zapisz->Enabled()) {
        const AnsiString p = l_pom_W_NazwaPoz->Caption();
        if (AskYesNo("Grupa wyrobów " + Q + p + Q + " została zmodyfikowana i nie zapisana, czy przed wyświetleniem "
                     "zawartości wyrobu " + Q + m + Q + " zapisać wprowadzone w niej zmiany ???\r\rKliknięcie na:\r"
                     "• TAK spowoduje zapisanie wprowadzonych zmian w grupie wyrobów " + Q + p + Q + "\r"
                     "• NIE wyświetli zawartość wyrobu " + Q + m + Q + tail))
            MenuSave(mlW);
    }
    if (!FileExists(edt_Menu->FileName()))
        return;
    DropMenuLevelsBelow(mlMG);
    ReadCategoryNames(m, lb_G_Spis);
    sb_MG_Usun->SetEnabled(clb_MG_PrzyciskiMenuGlownego->ItemIndex() >= 0);
}

void Tf_MainForm::lb_G_SpisClick(TObject*)
{
    const AnsiString g = Selected(lb_G_Spis);
    if (sb_W_Zapisz->Enabled()) {
        const AnsiString w = l_pom_W_NazwaPoz->Caption();
        if (AskYesNo("Grupa wyrobów " + Q + w + Q + " została zmodyfikowana i nie zapisana, czy przed wyświetleniem "
                     "zawartości grupy wyrobów " + Q + g + Q + " zapisać wprowadzone w niej zmiany ???\r\r"
                     "Kliknięcie na:\r• TAK spowoduje zapisanie wprowadzonych zmian w grupie wyrobów " + Q + w + Q +
                     "\r• NIE wyświetli zawartość grupy wyrobów " + Q + g + Q + " nie zapisując żadnych zmian."))
            MenuSave(mlW);
    }
    if (FileExists(edt_Menu->FileName())) {
        DropMenuLevelsBelow(mlG);
        ReadCategoryNames(g, lb_W_Spis);
        sb_G_Usun->SetEnabled(lb_G_Spis->ItemIndex() >= 0 && CurrentUserLevel >= 3);
    }
    RefreshMenuImportButton();
}

void Tf_MainForm::lb_W_SpisClick(TObject*)
{
    const bool chosen = lb_W_Spis->ItemIndex() >= 0 && CurrentUserLevel >= 3;
    sb_W_Usun->SetEnabled(chosen);
    sb_W_OtworzWykaz->SetEnabled(chosen);
    const AnsiString menuFile = edt_Menu->FileName();
    if (FileExists(menuFile)) {
        lbl_Menu_NazwaPoz->SetCaption("");
        TMemIniFile ini(menuFile);
        const AnsiString group = Selected(lb_G_Spis);
        if (ini.SectionExists(group))
            lbl_Menu_NazwaPoz->SetCaption(ini.ReadString(group, Selected(lb_W_Spis), ""));
        const AnsiString name = lbl_Menu_NazwaPoz->Caption();
        sb_W_OtworzWykaz->SetEnabled(!name.empty() && FileExists(ListFolder() + name));
    }
    sb_W_UtworzWykaz->SetEnabled(!sb_W_OtworzWykaz->Enabled());
    RefreshMenuImportButton();
}

void Tf_MainForm::DropMenuLevelsBelow(int Level)
{
    for (int level = Level + 1; level <= mlW; ++level) {
        const TLevelControls c = LevelControls(this, level);
        c.List->Clear();
        c.Delete->SetEnabled(false);
        c.Save->SetEnabled(false);
        ForgetMenuChanges(level);
    }
    sb_W_OtworzWykaz->SetEnabled(false);
    sb_W_UtworzWykaz->SetEnabled(false);
}

bool Tf_MainForm::MenuChangesPending() const
{
    return sb_MG_Zapisz->Enabled() || sb_G_Zapisz->Enabled() || sb_W_Zapisz->Enabled();
}

bool Tf_MainForm::KeepOrSaveMenuChanges(const AnsiString& Then)
{
    for (int level = mlMG; level <= mlW; ++level) {
        TSpeedButton* save = LevelControls(this, level).Save;
        if (!save->Enabled())
            continue;
        const AnsiString what = level == mlMG ? AnsiString("Lista przycisków menu głównego")
                                : level == mlG ? "Lista grup wyrobu " + Q + MenuLevelSection(level) + Q
                                               : "Grupa wyrobów " + Q + MenuLevelSection(level) + Q;
        const int answer = AskToSaveChanges(
            what + " została zmodyfikowana i nie zapisana, czy zapisać wprowadzone w niej zmiany ???", Then);
        if (answer == IDCANCEL)
            return false;
        if (answer == IDYES) {
            MenuSave(level);
            if (save->Enabled())   // not written: the changes stay on the page
                return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- editing the lists
void Tf_MainForm::MenuNameChanged(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    if (KeepFirstLine(c.Edit))
        return;   // the cut name came through here again
    const AnsiString name = c.Edit->Text();
    for (TSpeedButton* b : {c.Add, c.Rename, c.Clear})
        b->SetEnabled(!name.empty());
    const AnsiString problem = NameProblem(name, Level);
    c.Warning->SetCaption(problem);
    if (!problem.empty())
        c.Add->SetEnabled(false);
}

bool Tf_MainForm::SaveMenuLevelsAbove(int Level)
{
    for (int level = mlMG; level < Level; ++level) {
        const TLevelControls above = LevelControls(this, level);
        if (!above.Save->Enabled())
            continue;
        MenuSave(level);
        if (above.Save->Enabled())
            return false;   // not written: nothing below it is changed
        // The list below is read again when it holds nothing unsaved: a
        // renamed parent's section is only now in the file under its new name.
        const TLevelControls below = LevelControls(this, level + 1);
        if (!below.Save->Enabled()) {
            const int keep = below.List->ItemIndex();
            const AnsiString chosen = keep < 0 ? AnsiString() : below.List->Items()->Strings(keep);
            ReadCategoryNames(Selected(above.List), below.List);
            below.List->SetItemIndex(below.List->Items()->IndexOf(chosen));
        }
    }
    return true;
}

void Tf_MainForm::MenuAdd(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    const AnsiString name = StoredMenuName(c.Edit->Text());
    const char* const duplicate = "Wskazana pozycja znajduje się już na liście !!!";
    if (Level != mlMG) {
        const TLevelControls parent = LevelControls(this, Level - 1);
        if (parent.List->Count() == 0) {
            ShowError(Level == mlG ? "Najpierw utwórz wyrób, do którego chcesz dodać nową grupę wykonań !!!"
                                   : "Najpierw utwórz grupę wyrobów, do której chcesz dodać nową pozycję !!!");
            return;
        }
        if (parent.List->ItemIndex() < 0) {
            ShowError(Level == mlG ? "Wskaż wyrób, do którego chcesz dodać nową grupę !!!"
                                   : "Wskaż grupę wyrobów, do której chcesz dodać nową pozycję !!!");
            Focus(parent.List);
            return;
        }
    }
    if (c.List->Items()->IndexOf(name) >= 0 || IsMainMenuSectionName(name)) {
        ShowError(duplicate);
        return;
    }
    // A name the menu file cannot hold is never added (the button is off for it).
    if (name.empty() || !NameProblem(c.Edit->Text(), Level).empty())
        return;
    if (Level != mlMG) {
        if (!SaveMenuLevelsAbove(Level))
            return;
        if (c.List->Items()->IndexOf(name) >= 0) {
            ShowError(duplicate);
            return;
        }
        TLabel* owner = Level == mlG ? l_pom_PMG_NazwaPoz : l_pom_W_NazwaPoz;
        owner->SetCaption(Selected(LevelControls(this, Level - 1).List));
    }
    c.List->Items()->Add(name);
    if (Level == mlMG)
        clb_MG_PrzyciskiMenuGlownego->SetChecked(c.List->Items()->IndexOf(name), true);
    c.Edit->Clear();
    c.Add->SetEnabled(false);
    c.Save->SetEnabled(true);
}

void Tf_MainForm::MenuRename(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    const int index = c.List->ItemIndex();
    if (index < 0)
        return;
    const AnsiString oldName = c.List->Items()->Strings(index);
    const AnsiString name = StoredMenuName(c.Edit->Text());
    if (AnsiLowerCase(name) == AnsiLowerCase(oldName)) {
        Application->MessageBox("Nie dokonano żadnych zmian w nazwie pozycji w związku z czym nie zostanie ona "
                                "zmieniona !!!",
                                TitleInfo, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (c.List->Items()->IndexOf(name) >= 0 || IsMainMenuSectionName(name)) {
        Application->MessageBox("Pozycja o podanej nazwie już istnieje na liście  !!!", TitleWarning,
                                MB_OK | MB_ICONWARNING);
        return;
    }
    // The rename button follows only a non-empty edit: a name the menu file
    // cannot hold is refused here.
    const AnsiString problem = NameProblem(c.Edit->Text(), Level);
    if (name.empty() || !problem.empty()) {
        ShowError(name.empty() ? AnsiString("Nazwa nie może być pusta") : problem);
        return;
    }
    if (Level != mlMG) {
        if (!SaveMenuLevelsAbove(Level))
            return;
        TLabel* owner = Level == mlG ? l_pom_PMG_NazwaPoz : l_pom_W_NazwaPoz;
        owner->SetCaption(Selected(LevelControls(this, Level - 1).List));
    }
    const int at = c.List->Items()->IndexOf(oldName);
    if (at < 0)
        return;
    c.List->Items()->Delete(at);
    c.List->Items()->Add(name);
    const int now = c.List->Items()->IndexOf(name);
    if (Level == mlMG)
        clb_MG_PrzyciskiMenuGlownego->SetChecked(now, true);

    // One pair per original name: a name renamed twice keeps its first name.
    auto& renames = FMenuRenames[size_t(Level)];
    auto earlier = std::find_if(renames.begin(), renames.end(),
                                [&](const auto& r) { return AnsiSameText(r.second, oldName); });
    if (earlier == renames.end())
        renames.emplace_back(oldName, name);
    else if (AnsiSameText(earlier->first, name))
        renames.erase(earlier);
    else
        earlier->second = name;

    c.Save->SetEnabled(true);
    c.Edit->Clear();
    MenuNameChanged(Level);
    c.Rename->SetEnabled(false);
    Focus(c.List);
    c.List->SetItemIndex(now);
}

void Tf_MainForm::MenuDelete(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    const int index = c.List->ItemIndex();
    if (index < 0)
        return;
    if (Level == mlMG) {
        if (!AskYesNo("Nie musisz usuwać całkowicie tej pozycji z menu głównego. Możesz odznaczyć wskazaną pozycję "
                      "w spisie a przestanie ona być wyświetlana ale w spisie nadal pozostanie i możliwe będzie "
                      "przywrócenie jej na listę bez straty dodatkowego czasu.\r\rCzy mimo tego chcesz usunąć "
                      "wskazaną pozycję nadal, czy MAM KONTYNUOWAĆ USUNIĘCIE Z LISTY ???",
                      0))
            return;
    } else {
        if (!AskYesNo("Czy na pewno chcesz usunąć wybraną pozycję z listy ???", 0))
            return;
        if (!SaveMenuLevelsAbove(Level))
            return;
        TLabel* owner = Level == mlG ? l_pom_PMG_NazwaPoz : l_pom_W_NazwaPoz;
        owner->SetCaption(Selected(LevelControls(this, Level - 1).List));
    }
    // The list may have been read again above: the entry by its name.
    const AnsiString name = Selected(c.List);
    const int at = c.List->Items()->IndexOf(name);
    if (at >= 0) {
        c.List->Items()->Delete(at);
        FMenuDeleted[size_t(Level)].push_back(name);
    }
    c.Save->SetEnabled(true);
    c.Delete->SetEnabled(false);
    if (Level == mlW) {
        sb_W_OtworzWykaz->SetEnabled(false);
        sb_W_UtworzWykaz->SetEnabled(false);
    } else {
        // The items of a deleted group (or the groups of a deleted main-menu
        // item) and their unsaved changes go with it.
        DropMenuLevelsBelow(Level);
        sb_ImportujZPlikuNaUstawieniachMenu->SetEnabled(false);
    }
}

void Tf_MainForm::MenuListDblClick(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    if (c.List->ItemIndex() < 0)
        return;
    c.Edit->SetText(Selected(c.List));
    c.Add->SetEnabled(false);
    c.Rename->SetEnabled(true);
}

void Tf_MainForm::MenuEditKeyDown(int Level, Word& Key, TShiftState Shift)
{
    // The common shortcut keys run in the window's own key handler, which
    // sees every key first.
    const TLevelControls c = LevelControls(this, Level);
    auto press = [](TSpeedButton* b) {
        if (b->Enabled())
            b->Click();
    };
    if (Key == VK_RETURN)
        press(c.Add);
    else if (Key == 'S' && IsCtrl(Shift))
        press(c.Save);
    else if (Key == 'H' && IsCtrl(Shift))
        press(c.Rename);
    else if (Key == VK_DELETE && IsCtrl(Shift))
        press(c.Clear);
}

void Tf_MainForm::MenuListKeyDown(int Level, Word& Key, TShiftState Shift)
{
    const TLevelControls c = LevelControls(this, Level);
    auto press = [](TSpeedButton* b) {
        if (b->Enabled())
            b->Click();
    };
    if (Key == VK_RETURN)
        MenuListDblClick(Level);
    else if (Key == 'S' && IsCtrl(Shift))
        press(c.Save);
    else if (Key == 'D' && IsCtrl(Shift))
        press(c.Add);
    else if (Key == VK_DELETE)
        press(c.Delete);
}

// ---------------------------------------------------------------- saving
void Tf_MainForm::MenuSave(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    const AnsiString menuFile = edt_Menu->FileName();
    if (!FileExists(menuFile)) {
        ShowError("Plik z ustawieniami menu głównego nie istnieje !!!\r\rSkontaktuj się z administratorem (lub "
                  "autorem) programu !!!");
        return;
    }
    TSharedFileSave save(menuFile);
    if (!save.MayReplace())
        return;
    // What another page added since the list was read is not deleted.
    MergeMenuLevel(Level);
    auto& renames = FMenuRenames[size_t(Level)];
    TStrings* list = c.List->Items();
    auto listed = [&](const AnsiString& Name) { return list->IndexOf(Name) >= 0; };
    try {
        TMemIniFile ini(menuFile);
        if (Level == mlMG) {
            ini.EraseSection(CategoriesSection);
            for (int i = 0; i < list->Count(); ++i)
                ini.WriteBool(CategoriesSection, list->Strings(i), clb_MG_PrzyciskiMenuGlownego->Checked(i));
            for (const auto& [from, to] : renames)
                if (listed(to))
                    MoveSection(ini, from, to);
        } else {
            const AnsiString section = MenuLevelSection(Level);
            if (section.empty())
                return;
            TStringList keys;
            ReadKeys(ini, section, keys);
            // A renamed entry keeps its value (an item its register file).
            for (const auto& [from, to] : renames)
                if (listed(to) && !listed(from) && keys.IndexOf(from) >= 0 && keys.IndexOf(to) < 0) {
                    ini.WriteString(section, to, ini.ReadString(section, from, ""));
                    ini.DeleteKey(section, from);
                    keys.Add(to);
                }
            for (int i = 0; i < keys.Count(); ++i)
                if (!listed(keys.Strings(i)))
                    ini.DeleteKey(section, keys.Strings(i));
            for (int i = 0; i < list->Count(); ++i) {
                const AnsiString& name = list->Strings(i);
                if (keys.IndexOf(name) >= 0)
                    continue;
                ini.WriteString(section, name,
                                Level == mlG ? AnsiString() : ExtractFileName(MakeListFileName(name)));
            }
            if (Level == mlG)
                for (const auto& [from, to] : renames)
                    if (listed(to))
                        MoveSection(ini, from, to);
        }
        ini.UpdateFile();
        RememberSharedFile(menuFile);
        save.Release();
    } catch (const Exception&) {
        save.Release();
        ShowError("Nie można zapisać pliku - nie masz do tego odpowiednich uprawnień, skontaktuj się z "
                  "administratorem sieci !!!");
        return;
    }
    // The owners of the pending levels below follow a renamed entry.
    TLabel* below = Level == mlMG ? l_pom_PMG_NazwaPoz : Level == mlG ? l_pom_W_NazwaPoz : nullptr;
    if (below)
        for (const auto& [from, to] : renames)
            if (AnsiSameText(below->Caption(), from))
                below->SetCaption(to);
    ForgetMenuChanges(Level);
    if (Level == mlG)
        l_pom_PMG_NazwaPoz->SetCaption("");
    if (Level == mlW) {
        l_pom_W_NazwaPoz->SetCaption("");
        lb_W_Spis->SetItemIndex(-1);
        sb_W_Usun->SetEnabled(false);
        sb_W_UtworzWykaz->SetEnabled(false);
    }
    c.Save->SetEnabled(false);
    Application->MessageBox("Wszystkie wprowadzone zmiany zostały pomyślnie zapisane i będą widoczne dopiero po "
                            "ponownym uruchomieniu programu.",
                            TitleInfo, MB_OK | MB_ICONINFORMATION);
}

// ---------------------------------------------------------------- another page's changes
void Tf_MainForm::ForgetMenuChanges(int Level)
{
    FMenuRenames[size_t(Level)].clear();
    FMenuDeleted[size_t(Level)].clear();
}

AnsiString Tf_MainForm::MenuLevelSection(int Level)
{
    if (Level == mlMG)
        return CategoriesSection;
    // Pending changes belong to the owner in the level's label; when it was
    // emptied (the window shown again), and otherwise, to the entry chosen above.
    const AnsiString owner = (Level == mlG ? l_pom_PMG_NazwaPoz : l_pom_W_NazwaPoz)->Caption();
    if (LevelControls(this, Level).Save->Enabled() && !owner.empty())
        return owner;
    return Selected(LevelControls(this, Level - 1).List);
}

void Tf_MainForm::MergeMenuLevel(int Level)
{
    const TLevelControls c = LevelControls(this, Level);
    const AnsiString section = MenuLevelSection(Level);
    const AnsiString menuFile = edt_Menu->FileName();
    if (section.empty() || !FileExists(menuFile))
        return;
    TMemIniFile ini(menuFile);
    TStringList keys;
    ReadKeys(ini, section, keys);
    auto droppedHere = [&](const AnsiString& Name) {
        for (const AnsiString& d : FMenuDeleted[size_t(Level)])
            if (AnsiSameText(d, Name))
                return true;
        for (const auto& r : FMenuRenames[size_t(Level)])
            if (AnsiSameText(r.first, Name))
                return true;
        return false;
    };
    TStrings* list = c.List->Items();
    const AnsiString chosen = Selected(c.List);
    for (int i = 0; i < keys.Count(); ++i) {
        const AnsiString& key = keys.Strings(i);
        if (list->IndexOf(key) >= 0 || droppedHere(key))
            continue;
        list->Add(key);
        if (Level == mlMG)
            clb_MG_PrzyciskiMenuGlownego->SetChecked(list->IndexOf(key), ini.ReadBool(section, key, true));
    }
    // Without changes of its own the main-menu list shows the ticks as stored.
    if (Level == mlMG && !c.Save->Enabled())
        for (int i = 0; i < list->Count(); ++i)
            clb_MG_PrzyciskiMenuGlownego->SetChecked(i, ini.ReadBool(section, list->Strings(i), true));
    c.List->SetItemIndex(list->IndexOf(chosen));
}

void Tf_MainForm::ReadMenuListsAgain()
{
    FMenuListsSeen = FMenuFileWrites;
    for (int level = mlMG; level <= mlW; ++level)
        MergeMenuLevel(level);
    // The chosen item's register as the file names it now.
    if (lb_W_Spis->ItemIndex() >= 0)
        lb_W_SpisClick(lb_W_Spis);
    else
        RefreshMenuImportButton();
}

// ---------------------------------------------------------------- the item's register
void Tf_MainForm::sb_W_OtworzWykazClick(TObject*)
{
    if ((sb_MG_Zapisz->Enabled() || sb_G_Zapisz->Enabled() || sb_W_Zapisz->Enabled()) &&
        !AskYesNo("Nie wszystkie zmiany na tej zakładce zostały zapisane, czy mimo to mam otworzyć wskazany "
                  "wykaz ???"))
        return;
    const AnsiString path = ListFilePath(lbl_Menu_NazwaPoz->Caption());
    if (path.empty())
        return;
    OpenListFile(path, Selected(lb_W_Spis));
    Strony->SetActivePage("NowyWykaz");
}

void Tf_MainForm::sb_W_UtworzWykazClick(TObject*)
{
    if (sb_W_Zapisz->Enabled()) {
        Application->MessageBox("Nie wszystkie zmiany na tej zakładce zostały zapisane, przed wykonaniem tej "
                                "czynności musisz zapisać zmiany w części " + Q + "Typy wyrobów w grupie" + Q + " !!!",
                                TitleWarning, MB_OK | MB_ICONWARNING);
        return;
    }
    if ((sb_MG_Zapisz->Enabled() || sb_G_Zapisz->Enabled()) &&
        !AskYesNo("Nie wszystkie zmiany na tej zakładce zostały zapisane, czy mimo to mam utworzyć nowy wykaz dla "
                  "wskazanej pozycji ???"))
        return;
    const AnsiString item = Selected(lb_W_Spis);
    // The open register's unsaved changes are not dropped unasked.
    if (!KeepOrSaveListBefore(item))
        return;
    const AnsiString name = lbl_Menu_NazwaPoz->Caption();
    AnsiString path;
    if (!name.empty()) {
        path = ListFilePath(name);
        if (path.empty())
            return;
    }
    NewListGrid(path, item);
    Strony->SetActivePage("NowyWykaz");
}
