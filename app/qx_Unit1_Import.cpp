// The import page of the main window: a tab-separated text file becomes a
// new register file, entered into the menu file under a category and a
// product group.
#include <algorithm>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/ProgramFolders.h"
#include "app/SharedFiles.h"
#include "app/U_WspolneFunkcje.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "controls/FileLbl.h"
#include "controls/NetGradient.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Messages.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/StdCtrls.h"
#include "controls/KXCtrls.h"

namespace {
// A status picture: a filled circle with a white mark (an exclamation mark
// or a tick).
void DrawStatusPicture(TImage* Image, TColor Color, bool Tick)
{
    TBitmap* b = Image->Picture()->Bitmap();
    b->SetSize(24, 24);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, 24, 24));
    c->Brush()->SetColor(Color);
    c->Pen()->SetColor(Color);
    c->Ellipse(1, 1, 23, 23);
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetWidth(3);
    if (Tick) {
        c->MoveTo(6, 12);
        c->LineTo(10, 17);
        c->LineTo(18, 7);
    } else {
        c->MoveTo(12, 5);
        c->LineTo(12, 14);
        c->MoveTo(12, 18);
        c->LineTo(12, 19);
    }
    Image->Invalidate();
}
}  // namespace

// The inputs of one of the two import forms.
struct Tf_MainForm::TImportForm {
    TSpeedButton* Button = nullptr;
    TEdit* NameEdit = nullptr;
    TCustomListBox* Groups = nullptr;
    TCustomListBox* Items = nullptr;
    TCheckBox* DeleteSource = nullptr;
    AnsiString FileName;
    AnsiString Category;
    // The button's caption while the name is a new one.
    const char* ImportCaption = "";
};

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const ReplaceCaption = "Zastąp wykaz";
// The menu editor's lists of groups and of items.
const int MenuGroupLevel = 1;
const int MenuItemLevel = 2;
const AnsiString CategoryPrefix = " Grupy wyrobów w kategorii ";

AnsiString SelectedEntry(TCustomListBox* List)
{
    const int i = List->ItemIndex();
    return i < 0 || i >= List->Items()->Count() ? AnsiString() : List->Items()->Strings(i);
}

// The entry of the list that names Name as the menu file stores it, without
// regard to letter case; -1 when none.
int IndexOfName(TStrings* Items, const AnsiString& Name)
{
    const AnsiString stored = StoredMenuName(Name);
    for (int i = 0; i < Items->Count(); ++i)
        if (AnsiCompareText(Items->Strings(i), stored) == 0)
            return i;
    return -1;
}

int IndexOfName(TCustomListBox* List, const AnsiString& Name)
{
    return IndexOfName(List->Items(), Name);
}

bool HoldsMenuNameChar(const AnsiString& Name)
{
    return Name.find_first_of(";=|") != AnsiString::npos;
}

TLabel* TextLabel(TComponent* Owner, TWinControl* Parent, const char* Text, int Left, int Top, TWinControl* Focus = nullptr)
{
    return PlaceLabel(Owner, Parent, "", Text, Left, Top, Focus);
}
}  // namespace

void Tf_MainForm::CreateImportComponents()
{
    TPage* page = PageOf(Strony, "Importuj");
    auto* bar = Place<TNetGradient>(this, page, "ng_Importuj", 0, 0, 600, 25);
    bar->SetAlign(alTop);
    bar->SetCaption("Importuj wykaz");
    bar->Font()->SetStyle(fsBold);

    TPanel* groups = PlaceGroupBox(this, page, gb_Importuj_NazwaKategorii, "gb_Importuj_NazwaKategorii",
                                   CategoryPrefix, 8, 34, 320, 420);
    lb_Importuj_GrupyProdoktow = Place<TListBox>(this, groups, "lb_Importuj_GrupyProdoktow", 8, 4, 300, 354);
    lb_Importuj_GrupyProdoktow->SetSorted(true);
    sb_Importuj_DodajGrupe = Place<TSpeedButton>(this, groups, "sb_Importuj_DodajGrupe", 8, 366, 120, 26);
    sb_Importuj_DodajGrupe->SetCaption("Dodaj grupę");

    edt_ImportujWykaz = Place<TFilenameEdit>(this, page, "edt_ImportujWykaz", 344, 52, 420, 23);
    edt_ImportujWykaz->SetDefaultExt("txt");
    edt_ImportujWykaz->SetFilter("Plik tekstowy (*.txt)|*.txt");
    TextLabel(this, page, "&Plik do zaimportowania:", 344, 34, edt_ImportujWykaz);
    lb_Importuj_ListaWykazow = Place<TListBox>(this, page, "lb_Importuj_ListaWykazow", 344, 104, 420, 150);
    TextLabel(this, page, "&Wykazy w wybranej grupie:", 344, 86, lb_Importuj_ListaWykazow);

    TGroupBox* summaryBox = nullptr;
    TPanel* summary = PlaceGroupBox(this, page, summaryBox, "gb_Importuj_Podsumowanie", " Podsumowanie ", 344, 264,
                                    420, 190);
    TextLabel(this, summary, "Grupa:", 8, 4);
    lbl_Importuj_NazwaGrupy = Place<TLabel>(this, summary, "lbl_Importuj_NazwaGrupy", 98, 4, 310, 16);
    lbl_Importuj_NazwaGrupy->SetCaption("(NIE WYBRANO GRUPY)");
    lbl_Importuj_NazwaGrupy->Font()->SetColor(TColor(255));
    TextLabel(this, summary, "Plik:", 8, 24);
    lbl_Importuj_ImportowanyPlik =
        Place<TFileLabel>(this, summary, "lbl_Importuj_ImportowanyPlik", 98, 24, summaryBox->Width() - 110, 16);
    e_Importuj_NazwaNowejPoz = Place<TEdit>(this, summary, "e_Importuj_NazwaNowejPoz", 8, 64, 400, 23);
    TextLabel(this, summary, "&Nazwa nowej pozycji:", 8, 46, e_Importuj_NazwaNowejPoz);
    TLabel* rule = TextLabel(this, summary, "Musi być inna niż nazwy wykazów już znajdujący się w wybranej grupie", 8,
                             90);
    rule->Font()->SetColor(clGray);
    cb_Importuj_UsunZrodlo = Place<TCheckBox>(this, summary, "cb_Importuj_UsunZrodlo", 8, 110, 400, 20);
    cb_Importuj_UsunZrodlo->SetCaption("Po zaimportowaniu pliku usuń plik źródłowy");
    cb_Importuj_UsunZrodlo->SetChecked(true);
    sb_ImportujPlik = Place<TSpeedButton>(this, summary, "sb_ImportujPlik", 8, 136, 140, 26);
    sb_ImportujPlik->SetCaption("Importuj plik");
    sb_ImportujPlik->SetEnabled(false);
    QelSensitiveLabel5 = Place<TQelSensitiveLabel>(this, page, "QelSensitiveLabel5", 344, 462, 300, 16);
    QelSensitiveLabel5->SetCaption("Pokaż instrukcję importowania pliku");

    Label38 = Place<TLabel>(this, page, "Label38", 8, 486, 400, 16);
    Label38->SetCaption("Trwa importowanie pliku, proszę czekać ...");
    Label38->Hide();
    pbar_ImportowaniePliku = Place<TProgressBar>(this, page, "pbar_ImportowaniePliku", 8, 506, 756, 18);
    pbar_ImportowaniePliku->Hide();
    p_Worning = Place<TPanel>(this, page, "p_Worning", 8, 532, 756, 34);
    p_Worning->SetBevelOuter(bvLowered);
    p_Worning->SetAlignment(taLeftJustify);
    p_Worning->Font()->SetStyle(fsBold);
    p_Worning->Hide();
    img_Warning = Place<TImage>(this, p_Worning, "img_Warning", 6, 5, 24, 24);
    DrawStatusPicture(img_Warning, clRed, false);
    img_Warning->Hide();
    img_OK = Place<TImage>(this, p_Worning, "img_OK", 6, 5, 24, 24);
    DrawStatusPicture(img_OK, clGreen, true);
    img_OK->Hide();

    edt_ImportujWykaz->OnChange = [this](TObject* s) { edt_ImportujWykazChange(s); };
    lb_Importuj_GrupyProdoktow->OnClick = [this](TObject* s) { lb_Importuj_GrupyProdoktowClick(s); };
    lb_Importuj_ListaWykazow->OnClick = [this](TObject* s) { lb_Importuj_ListaWykazowClick(s); };
    sb_Importuj_DodajGrupe->OnClick = [this](TObject* s) { sb_Importuj_DodajGrupeClick(s); };
    e_Importuj_NazwaNowejPoz->OnChange = [this](TObject* s) { e_Importuj_NazwaNowejPozChange(s); };
    e_Importuj_NazwaNowejPoz->OnKeyPress = [](TObject*, char& k) { SwallowMenuNameChar(k); };
    sb_ImportujPlik->OnClick = [this](TObject* s) { sb_ImportujPlikClick(s); };
    QelSensitiveLabel5->OnClick = [this](TObject* s) { QelSensitiveLabel4Click(s); };
    auto pageKeys = [this](TObject* s, Word& k, TShiftState sh) { lb_Importuj_GrupyProdoktowKeyDown(s, k, sh); };
    for (TWinControl* c : std::initializer_list<TWinControl*>{edt_ImportujWykaz, lb_Importuj_GrupyProdoktow,
                                                              lb_Importuj_ListaWykazow, e_Importuj_NazwaNowejPoz,
                                                              cb_Importuj_UsunZrodlo})
        c->OnKeyDown = pageKeys;

    // The menu editor's import box, below its lists.
    TPanel* box = PlaceGroupBox(this, PageOf(Strony, "DostosujGrupyPrziPoz"), gb_ImportujNaUstawieniachMenu,
                                "gb_ImportujNaUstawieniachMenu", " Importuj z pliku: ", 336, 552, 648, 112);
    e_NazwaPliku_ImportujNaUstawieniachMenu =
        Place<TFilenameEdit>(this, box, "e_NazwaPliku_ImportujNaUstawieniachMenu", 108, 2, 360, 23);
    e_NazwaPliku_ImportujNaUstawieniachMenu->SetDefaultExt("txt");
    e_NazwaPliku_ImportujNaUstawieniachMenu->SetFilter("Plik tekstowy (*.txt)|*.txt");
    TextLabel(this, box, "&Plik:", 8, 6, e_NazwaPliku_ImportujNaUstawieniachMenu);
    e_Importuj_NazwaNowejPoz_NaUstawieniachMenu =
        Place<TEdit>(this, box, "e_Importuj_NazwaNowejPoz_NaUstawieniachMenu", 108, 32, 360, 23);
    TextLabel(this, box, "Nazwa w &menu:", 8, 36, e_Importuj_NazwaNowejPoz_NaUstawieniachMenu);
    cb_UsunPlik_ImportujNaUstawieniachMenu =
        Place<TCheckBox>(this, box, "cb_UsunPlik_ImportujNaUstawieniachMenu", 8, 64, 360, 20);
    cb_UsunPlik_ImportujNaUstawieniachMenu->SetCaption("Po zaimportowaniu pliku usuń plik źródłowy");
    cb_UsunPlik_ImportujNaUstawieniachMenu->SetChecked(true);
    sb_ImportujZPlikuNaUstawieniachMenu->SetParent(box);
    sb_ImportujZPlikuNaUstawieniachMenu->SetBounds(478, 30, 156, 26);
    sb_ImportujZPlikuNaUstawieniachMenu->SetCaption("Importuj z pliku");
    // The link keeps the width of its caption, its right end under the button's.
    QelSensitiveLabel4->SetParent(box);
    QelSensitiveLabel4->SetCaption("Pokaż instrukcję importowania pliku");
    QelSensitiveLabel4->SetLeft(634 - QelSensitiveLabel4->Width());
    QelSensitiveLabel4->SetTop(66);
    QelSensitiveLabel3->SetCaption("Przejdź do zakładki Importuj");

    e_NazwaPliku_ImportujNaUstawieniachMenu->OnChange = [this](TObject* s) {
        e_NazwaPliku_ImportujNaUstawieniachMenuChange(s);
    };
    e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->OnChange = [this](TObject* s) {
        e_Importuj_NazwaNowejPoz_NaUstawieniachMenuChange(s);
    };
    e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->OnKeyPress = [](TObject*, char& k) { SwallowMenuNameChar(k); };
    sb_ImportujZPlikuNaUstawieniachMenu->OnClick = [this](TObject* s) { sb_ImportujZPlikuNaUstawieniachMenuClick(s); };
    QelSensitiveLabel3->OnClick = [this](TObject* s) { QelSensitiveLabel3Click(s); };
    QelSensitiveLabel4->OnClick = [this](TObject* s) { QelSensitiveLabel4Click(s); };
    auto boxKeys = [this](TObject* s, Word& k, TShiftState sh) {
        e_NazwaPliku_ImportujNaUstawieniachMenuKeyDown(s, k, sh);
    };
    e_NazwaPliku_ImportujNaUstawieniachMenu->OnKeyDown = boxKeys;
    e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->OnKeyDown = boxKeys;
    cb_UsunPlik_ImportujNaUstawieniachMenu->OnKeyDown = boxKeys;
}

// ---------------------------------------------------------------- the page "Importuj"
Tf_MainForm::TImportForm Tf_MainForm::ImportPageForm()
{
    TImportForm f;
    f.Button = sb_ImportujPlik;
    f.NameEdit = e_Importuj_NazwaNowejPoz;
    f.Groups = lb_Importuj_GrupyProdoktow;
    f.Items = lb_Importuj_ListaWykazow;
    f.DeleteSource = cb_Importuj_UsunZrodlo;
    f.FileName = edt_ImportujWykaz->FileName();
    // The group box's caption without its prefix and its closing blank.
    AnsiString caption = gb_Importuj_NazwaKategorii->Caption();
    if (caption.size() > CategoryPrefix.size())
        f.Category = caption.substr(CategoryPrefix.size(), caption.size() - CategoryPrefix.size() - 1);
    f.ImportCaption = "Importuj plik";
    return f;
}

Tf_MainForm::TImportForm Tf_MainForm::ImportMenuForm()
{
    TImportForm f;
    f.Button = sb_ImportujZPlikuNaUstawieniachMenu;
    f.NameEdit = e_Importuj_NazwaNowejPoz_NaUstawieniachMenu;
    f.Groups = lb_G_Spis;
    f.Items = lb_W_Spis;
    f.DeleteSource = cb_UsunPlik_ImportujNaUstawieniachMenu;
    f.FileName = e_NazwaPliku_ImportujNaUstawieniachMenu->FileName();
    f.Category = SelectedEntry(clb_MG_PrzyciskiMenuGlownego);
    f.ImportCaption = "Importuj z pliku";
    return f;
}

// Enabled for a new name when the source file exists and a group is chosen;
// a name already in the group replaces that item's register.
void Tf_MainForm::UpdateImportButton(const TImportForm& Form)
{
    const AnsiString name = Form.NameEdit->Text();
    Form.Button->SetCaption(Form.ImportCaption);
    if (name.empty() || MenuNameRefusal(name, false)) {
        Form.Button->SetEnabled(false);
        return;
    }
    const bool known = IndexOfName(Form.Items, name) >= 0;
    Form.Button->SetEnabled(known || (FileExists(Form.FileName) && Form.Groups->ItemIndex() >= 0));
    if (known)
        Form.Button->SetCaption(ReplaceCaption);
}

void Tf_MainForm::edt_ImportujWykazChange(TObject*)
{
    // The label's panel fills the summary box.
    TWinControl* summary = lbl_Importuj_ImportowanyPlik->Parent()->Parent();
    lbl_Importuj_ImportowanyPlik->SetWidth(summary->Width() - 110);
    const AnsiString file = edt_ImportujWykaz->FileName();
    if (!file.empty() && FileExists(file)) {
        lbl_Importuj_ImportowanyPlik->Font()->SetColor(clBlack);
        lbl_Importuj_ImportowanyPlik->SetFileName(file);
        e_Importuj_NazwaNowejPoz->SetText(ChangeFileExt(ExtractFileName(file), ""));
    } else {
        lbl_Importuj_ImportowanyPlik->SetFileName("");
        lbl_Importuj_ImportowanyPlik->SetCaption("WSKAZANY PLIK NIE ISTNIEJE !!!");
        lbl_Importuj_ImportowanyPlik->Font()->SetColor(clRed);
    }
    e_Importuj_NazwaNowejPozChange(e_Importuj_NazwaNowejPoz);
}

void Tf_MainForm::ClearImportFile()
{
    edt_ImportujWykaz->Clear();
    lbl_Importuj_ImportowanyPlik->SetFileName("");
    lbl_Importuj_ImportowanyPlik->SetCaption("");
}

void Tf_MainForm::ReadImportGroups(const AnsiString& Category, bool Opening)
{
    TStringList categories;
    const bool listed = ReadCategoryKeys("Kategorie", &categories) && IndexOfName(&categories, Category) >= 0;
    if (Opening)
        FImportCategoryListed = listed;
    lb_Importuj_ListaWykazow->Clear();
    lbl_Importuj_NazwaGrupy->SetCaption("(NIE WYBRANO GRUPY)");
    lbl_Importuj_NazwaGrupy->Font()->SetColor(TColor(255));
    // A category gone from the main menu since the page opened has no groups left.
    if (FImportCategoryListed && !listed)
        lb_Importuj_GrupyProdoktow->Clear();
    else
        ReadCategoryNames(Category, lb_Importuj_GrupyProdoktow);
}

bool Tf_MainForm::FindImportGroup(const TImportForm& Form, AnsiString& Category, AnsiString& Group)
{
    if (Form.Button != sb_ImportujPlik || !FileExists(edt_Menu->FileName()))
        return true;
    TStringList keys;
    ReadCategoryKeys("Kategorie", &keys);
    int i = IndexOfName(&keys, Category);
    if (i >= 0)
        Category = keys.Strings(i);
    else if (FImportCategoryListed)
        return false;   // renamed or removed since the page read it
    ReadCategoryKeys(Category, &keys);
    i = IndexOfName(&keys, Group);
    if (i >= 0) {
        Group = keys.Strings(i);
        return true;
    }
    // Only a group added on the page may be new to the menu file.
    i = Form.Groups->ItemIndex();
    return Form.Groups->Items()->Objects(i) == sb_Importuj_DodajGrupe;
}

void Tf_MainForm::lb_Importuj_GrupyProdoktowClick(TObject*)
{
    const AnsiString group = SelectedEntry(lb_Importuj_GrupyProdoktow);
    if (FileExists(edt_Menu->FileName())) {
        lb_Importuj_ListaWykazow->Clear();
        lbl_Importuj_NazwaGrupy->SetCaption(group);
        lbl_Importuj_NazwaGrupy->Font()->SetColor(clBlack);
        ReadCategoryNames(group, lb_Importuj_ListaWykazow);
    }
    e_Importuj_NazwaNowejPozChange(e_Importuj_NazwaNowejPoz);
}

void Tf_MainForm::lb_Importuj_ListaWykazowClick(TObject*)
{
    const AnsiString item = SelectedEntry(lb_Importuj_ListaWykazow);
    if (!item.empty())
        e_Importuj_NazwaNowejPoz->SetText(item);
}

void Tf_MainForm::sb_Importuj_DodajGrupeClick(TObject*)
{
    const AnsiString name = FirstLine(InputBox("Podaj nazwę", "Podaj nazwę nowej grupy wyrobów ...", ""));
    if (name.empty())
        return;
    if (IndexOfName(lb_Importuj_GrupyProdoktow, name) >= 0 || IsMainMenuSectionName(name)) {
        Application->MessageBox("Podana nazwa znajduje sie już na liście !!!", "UWAGA !!!", MB_OK | MB_ICONERROR);
        return;
    }
    // The group's name follows the rules of the menu file's section names.
    if (const char* refusal = MenuNameRefusal(name, true)) {
        Application->MessageBox(refusal, TitleError, MB_OK | MB_ICONERROR);
        return;
    }
    // Marked as the page's own: the menu file learns it from the first import into it.
    lb_Importuj_GrupyProdoktow->Items()->AddObject(StoredMenuName(name), sb_Importuj_DodajGrupe);
}

void Tf_MainForm::e_Importuj_NazwaNowejPozChange(TObject*)
{
    if (KeepFirstLine(e_Importuj_NazwaNowejPoz))
        return;   // the cut name came through here again
    if (HoldsMenuNameChar(e_Importuj_NazwaNowejPoz->Text())) {
        e_Importuj_NazwaNowejPoz->Clear();   // runs this handler again for the empty name
        return;
    }
    UpdateImportButton(ImportPageForm());
}

void Tf_MainForm::sb_ImportujPlikClick(TObject*)
{
    RunImport(ImportPageForm());
}

void Tf_MainForm::lb_Importuj_GrupyProdoktowKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_ImportujPlik->Enabled())
        sb_ImportujPlikClick(sb_ImportujPlik);
    FormKeyDown(Sender, Key, Shift);
}

// ---------------------------------------------------------------- the menu editor's box
void Tf_MainForm::e_NazwaPliku_ImportujNaUstawieniachMenuChange(TObject*)
{
    const AnsiString file = e_NazwaPliku_ImportujNaUstawieniachMenu->FileName();
    if (!file.empty() && FileExists(file))
        e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->SetText(ChangeFileExt(ExtractFileName(file), ""));
    else
        e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->Clear();
    e_Importuj_NazwaNowejPoz_NaUstawieniachMenuChange(e_Importuj_NazwaNowejPoz_NaUstawieniachMenu);
}

void Tf_MainForm::e_Importuj_NazwaNowejPoz_NaUstawieniachMenuChange(TObject*)
{
    if (KeepFirstLine(e_Importuj_NazwaNowejPoz_NaUstawieniachMenu))
        return;
    if (const char* refusal = MenuNameRefusal(e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->Text(), false))
        Application->MessageBox(refusal, "BŁĄD", MB_OK | MB_ICONERROR);
    RefreshMenuImportButton();
}

void Tf_MainForm::RefreshMenuImportButton()
{
    if (MenuNameRefusal(e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->Text(), false))
        sb_ImportujZPlikuNaUstawieniachMenu->SetEnabled(false);
    else
        UpdateImportButton(ImportMenuForm());
}

void Tf_MainForm::sb_ImportujZPlikuNaUstawieniachMenuClick(TObject*)
{
    RunImport(ImportMenuForm());
}

void Tf_MainForm::e_NazwaPliku_ImportujNaUstawieniachMenuKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_ImportujZPlikuNaUstawieniachMenu->Enabled())
        sb_ImportujZPlikuNaUstawieniachMenuClick(sb_ImportujZPlikuNaUstawieniachMenu);
    FormKeyDown(Sender, Key, Shift);
}

void Tf_MainForm::QelSensitiveLabel3Click(TObject*)
{
    if (SelectedEntry(clb_MG_PrzyciskiMenuGlownego).empty()) {
        Application->MessageBox("Wybierz wyrób do którego mam importować nowy wykaz !!!", "UWAGA !!!",
                                MB_OK | MB_ICONWARNING);
        return;
    }
    // The page reads and writes the menu file under the item's name: a new or
    // renamed main-menu item is saved first, as adding a group saves it.
    if (!SaveMenuLevelsAbove(MenuGroupLevel))
        return;
    RunMenuCommand(SelectedEntry(clb_MG_PrzyciskiMenuGlownego) + "|Importuj wykaz", "Importuj");
}

void Tf_MainForm::QelSensitiveLabel4Click(TObject*)
{
    // The instructions are looked for where the links' visibility found them.
    const AnsiString help = ShippedFile(ImportHelpFile);
    if (FileExists(help)) {
        ShellRegisterProgramFolder(ExtractFilePath(help));
        OpenWithDesktop(help, SW_SHOWMAXIMIZED);
        return;
    }
    Application->MessageBox("Nie można wyświetlić instrukcji, brak niezbędnych do tego plików.\r\r"
                            "Pobierz ponownie program ze strony " + HomePageAddress(),
                            TitleError, MB_OK | MB_ICONERROR);
}

// ---------------------------------------------------------------- both forms
void Tf_MainForm::RunImport(const TImportForm& Form)
{
    // The name as the menu file will hold it: "Wykonanie z uszczelką " is "Wykonanie z uszczelką".
    const AnsiString typed = Form.NameEdit->Text();
    const AnsiString name = StoredMenuName(typed);
    const bool replace = Form.Button->Caption() == ReplaceCaption;
    if (replace && Application->MessageBox("Czy na pewno chcesz zamienić wykaz dla " + name +
                                               " na aktualnie imporotwany ???",
                                           TitleError, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    AnsiString category = Form.Category;
    AnsiString group = SelectedEntry(Form.Groups);
    const char* refusal = nullptr;
    bool gone = false;
    if (Form.FileName.empty() || !FileExists(Form.FileName))
        refusal = "Plik, który mam zaimportować nie istnieje !!!";
    else if (group.empty() || category.empty() || (gone = !FindImportGroup(Form, category, group)))
        refusal = "Wybierz grupę produktów do której mam zaimportować wskazany wykaz !!!";
    else if (name.empty())
        refusal = "Nie podano nazwy dla nowego wykazu, dla nowej pozycji !!!";
    else
        refusal = MenuNameRefusal(typed, false);
    if (refusal) {
        Application->MessageBox(refusal, TitleError, MB_OK | MB_ICONERROR);
        if (gone) {
            ReadImportGroups(category, false);
            e_Importuj_NazwaNowejPozChange(Form.NameEdit);
        }
        return;
    }
    // The menu editor's main-menu item and group may be new or renamed and not
    // yet saved: they are saved first, as adding an item saves them, so that the
    // import writes under names the menu file holds and a later save of those
    // lists still finds their sections to take along.
    if (Form.Button == sb_ImportujZPlikuNaUstawieniachMenu) {
        if (!SaveMenuLevelsAbove(MenuItemLevel))
            return;
        category = SelectedEntry(clb_MG_PrzyciskiMenuGlownego);
        group = SelectedEntry(lb_G_Spis);
        if (group.empty() || category.empty()) {
            Application->MessageBox("Wybierz grupę produktów do której mam zaimportować wskazany wykaz !!!",
                                    TitleError, MB_OK | MB_ICONERROR);
            return;
        }
        RefreshMenuImportButton();
    }
    // The page's list shows the group as it was read when the group was
    // chosen: the menu editor or another login may have given the group an
    // item of this name since, and a new import would bind that item to
    // another register unasked. Such an item joins the list.
    if (!replace && Form.Button == sb_ImportujPlik && IndexOfName(Form.Items, name) < 0) {
        TStringList now;
        const int i = ReadCategoryKeys(group, &now) ? IndexOfName(&now, name) : -1;
        if (i >= 0) {
            Form.Items->Items()->Add(now.Strings(i));
            e_Importuj_NazwaNowejPozChange(Form.NameEdit);
        }
    }
    if (!replace && IndexOfName(Form.Items, name) >= 0) {
        Application->MessageBox("Pozycja o nazwie '" + name + "'już istnieje - podaj inną !!!", TitleError,
                                MB_OK | MB_ICONERROR);
        return;
    }
    const bool deleteSource = Form.DeleteSource->Checked();
    if (!ImportListFile(Form.FileName, name, category, group, deleteSource))
        return;
    if (IndexOfName(Form.Items, name) < 0)
        Form.Items->Items()->Add(name);
    if (deleteSource && !FileExists(Form.FileName)) {
        if (Form.Button == sb_ImportujPlik) {
            ClearImportFile();
        } else {
            e_NazwaPliku_ImportujNaUstawieniachMenu->Clear();
        }
        Form.NameEdit->Clear();
    }
}

bool Tf_MainForm::ImportListFile(const AnsiString& FileName, const AnsiString& ItemName, const AnsiString& Category,
                                 const AnsiString& Group, bool DeleteSource)
{
    if (FileName.empty() || !FileExists(FileName)) {
        Application->MessageBox("Nie znaleziono pliku do zaimportowania:\r" + FileName + " !!!", "BŁĄD !!!",
                                MB_OK | MB_ICONERROR);
        return false;
    }
    // UTF-8 or Windows-1250, as the program that wrote it chose; the register is Windows-1250.
    AnsiString source;
    try {
        source = LoadForeignTextFile(FileName);
    } catch (const EForeignTextError& e) {
        Application->MessageBox(e.Message(), "BŁĄD !!!", MB_OK | MB_ICONERROR);
        return false;
    } catch (const Exception&) {
        Application->MessageBox("Nie można odczytać pliku do zaimportowania:\r" + FileName + " !!!", "BŁĄD !!!",
                                MB_OK | MB_ICONERROR);
        return false;
    }

    pbar_ImportowaniePliku->Show();
    Label38->Show();
    pbar_ImportowaniePliku->SetPosition(0);
    // Six passes over the logical lines.
    bool counted = false;
    TListImport imported = ImportListText(source, [&](int Lines) {
        if (!counted) {
            counted = true;
            pbar_ImportowaniePliku->SetMax(6 * Lines);
        }
        pbar_ImportowaniePliku->StepBy(1);
        Application->ProcessMessages();
    });

    if (imported.Dropped > 0) {
        img_Warning->Show();
        img_OK->Hide();
        p_Worning->Font()->SetColor(clRed);
        p_Worning->SetCaption(DroppedLinesText(imported.Dropped));
        p_Worning->Show();
    }

    // The register's name is had by making its file, so that another login's
    // import of the same name at the same moment keeps its own register.
    bool saved = false;
    AnsiString target;
    try {
        target = MakeListFileName(ItemName, true);
        WriteListFile(target, imported.Text);
        saved = true;
    } catch (const Exception&) {
        if (!target.empty())
            DeleteFile(target);   // the empty file made for the name
        Application->MessageBox("Nie można zapisać pliku - nie masz do tego odpowiednich uprawnień, skontaktuj się "
                                "z administratorem sieci !!!",
                                "UWAGA !!!", MB_OK | MB_ICONERROR);
    }

    // The menu names the register only once it is written. The category's
    // key is written anew (empty: its panel shown); the group's value stays.
    const AnsiString menuFile = edt_Menu->FileName();
    if (saved && FileExists(menuFile)) {
        try {
            TSharedFileUpdate update(menuFile);
            saved = update.Taken();
            if (saved) {
                TIniFile menu(menuFile);
                menu.WriteString("Kategorie", Category, "");
                if (!menu.ValueExists(Category, Group))
                    menu.WriteString(Category, Group, "");
                menu.WriteString(Group, ItemName, ExtractFileName(target));
                ++FMenuFileWrites;
            }
        } catch (const Exception&) {
            saved = false;
            Application->MessageBox("Nie można zapisać pliku - nie masz do tego odpowiednich uprawnień, skontaktuj "
                                    "się z administratorem sieci !!!",
                                    "UWAGA !!!", MB_OK | MB_ICONERROR);
        }
    }

    pbar_ImportowaniePliku->SetPosition(pbar_ImportowaniePliku->Max());
    if (saved) {
        // A file of the program's own (the register of another item, say) is
        // never deleted as a source; the question says so first.
        const AnsiString kept = DeleteSource ? ProgramFileRole(FileName) : AnsiString();
        AnsiString question = "Wykaz został pomyślnie zaimportowany, czy chcesz uruchomić go teraz ???";
        if (!kept.empty())
            question = "Plik źródłowy " + FileName + " nie został usunięty, ponieważ jest " + kept + ".\r\r" + question;
        // The dropped-line warning stays in sight while the question is asked.
        if (Application->MessageBox(question, "INFORMACJA !!!", MB_YESNO | MB_ICONQUESTION) == IDYES &&
            OpenListFile(target, ItemName))
            Strony->SetActivePage("NowyWykaz");
        img_Warning->Hide();
        img_OK->Show();
        p_Worning->Font()->SetColor(clBlack);
        p_Worning->SetCaption(AnsiString(20, ' ') + "Wykaz został pomyślnie zaimportowany");
        p_Worning->Show();
        if (DeleteSource && kept.empty())
            DeleteFile(FileName);
    }
    pbar_ImportowaniePliku->Hide();
    Label38->Hide();
    return saved;
}
