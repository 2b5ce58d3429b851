#include "app/qx_Unit10_Wyroby.h"

#include "app/FormBuild.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"

Tf_Wyroby* f_Wyroby = nullptr;

namespace {
constexpr int FormWidth = 874;

TListBox* PlaceList(Tf_Wyroby* Form, const char* Name, const char* Caption, int Left, bool Sorted)
{
    TLabel* label = Place<TLabel>(Form, Form, "", Left, 10, 200, 16);
    label->SetCaption(Caption);
    TListBox* list = Place<TListBox>(Form, Form, Name, Left, 30, 204, 300);
    list->SetSorted(Sorted);
    label->SetFocusControl(list);
    return list;
}

TSpeedButton* PlaceButton(Tf_Wyroby* Form, const char* Name, const char* Caption, int Left, int Top, int Width)
{
    TSpeedButton* b = Place<TSpeedButton>(Form, Form, Name, Left, Top, Width, 28);
    b->SetCaption(Caption);
    return b;
}

bool HoldsText(TStrings* Lines, const AnsiString& S)
{
    for (int i = 0; i < Lines->Count(); ++i)
        if (AnsiCompareText(Lines->Strings(i), S) == 0)
            return true;
    return false;
}
}  // namespace

Tf_Wyroby::Tf_Wyroby(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_Wyroby");
    SetCaption("Wybierz wyrób, wykonanie, wykaz ...");
    SetBounds(0, 0, FormWidth, 430);
    SetPosition(poMainFormCenter);
    SetKeyPreview(true);
    CreateComponents();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnCanResize = [this](TObject* Sender, int& W, int& H, bool& Resize) { FormCanResize(Sender, W, H, Resize); };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    // The window system keeps the user's sizing to the same width.
    SetSizeLimits(FormWidth, 0, FormWidth, 0);
}

Tf_Wyroby::~Tf_Wyroby()
{
    if (f_Wyroby == this)
        f_Wyroby = nullptr;
}

void Tf_Wyroby::CreateComponents()
{
    lb_GropyWyrobow = PlaceList(this, "lb_GropyWyrobow", "&Grupy wyrobów:", 8, true);
    lb_WyrobyWGropie = PlaceList(this, "lb_WyrobyWGropie", "&Wyroby w grupie:", 220, true);
    lb_Wykonania = PlaceList(this, "lb_Wykonania", "Wy&konania:", 432, true);
    lb_WykazyDoSprawdzenia = PlaceList(this, "lb_WykazyDoSprawdzenia", "Wykazy &do sprawdzenia", 652, false);
    lb_SpisNazwWykazow = Place<TListBox>(this, this, "lb_SpisNazwWykazow", 0, 0, 10, 10);
    lb_SpisNazwWykazow->Hide();
    lbl_Menu_NazwaPoz = Place<TLabel>(this, this, "lbl_Menu_NazwaPoz", 0, 0, 10, 10);
    lbl_Menu_NazwaPoz->Hide();

    sb_DodajWykaz = PlaceButton(this, "sb_DodajWykaz", "Dodaj wykaz", 432, 338, 204);
    sb_DodajWszystkie = PlaceButton(this, "sb_DodajWszystkie", "Dodaj wsystkie wykonania", 432, 370, 204);
    sb_WyczyscListe = PlaceButton(this, "sb_WyczyscListe", "Usuń z listy", 652, 338, 204);
    sb_SprawdzNormy = PlaceButton(this, "sb_SprawdzNormy", "Sprawdź normy", 652, 370, 100);
    SpeedButton1 = PlaceButton(this, "SpeedButton1", "Zamknij", 756, 370, 100);

    lb_GropyWyrobow->OnClick = [this](TObject* Sender) { lb_GropyWyrobowClick(Sender); };
    lb_WyrobyWGropie->OnClick = [this](TObject* Sender) { lb_WyrobyWGropieClick(Sender); };
    lb_Wykonania->OnClick = [this](TObject* Sender) { lb_WykonaniaClick(Sender); };
    // A double click adds the variant only when the button could.
    lb_Wykonania->OnDblClick = [this](TObject* Sender) {
        if (sb_DodajWykaz->Enabled())
            sb_DodajWykazClick(Sender);
    };
    lb_WykazyDoSprawdzenia->OnClick = [this](TObject* Sender) { lb_WykazyDoSprawdzeniaClick(Sender); };
    lb_WykazyDoSprawdzenia->OnDblClick = [this](TObject* Sender) { sb_WyczyscListeClick(Sender); };
    sb_DodajWykaz->OnClick = [this](TObject* Sender) { sb_DodajWykazClick(Sender); };
    sb_DodajWszystkie->OnClick = [this](TObject* Sender) { sb_DodajWszystkieClick(Sender); };
    sb_WyczyscListe->OnClick = [this](TObject* Sender) { sb_WyczyscListeClick(Sender); };
    sb_SprawdzNormy->OnClick = [this](TObject* Sender) { sb_SprawdzNormyClick(Sender); };
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };
}

AnsiString Tf_Wyroby::MenuFile() const
{
    return f_MainForm->edt_Menu->FileName();
}

AnsiString Tf_Wyroby::Selected(TListBox* List)
{
    int i = List->ItemIndex();
    return i < 0 ? AnsiString() : List->Items()->Strings(i);
}

void Tf_Wyroby::FillKeys(const AnsiString& Section, TListBox* List)
{
    TIniFile menu(MenuFile());
    if (!menu.SectionExists(Section))
        return;
    TStringList lines;
    menu.ReadSectionValues(Section, &lines);
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString& line = lines.Strings(i);
        size_t eq = line.find('=');
        List->Items()->Add(eq == AnsiString::npos ? line : line.substr(0, eq));
    }
}

AnsiString Tf_Wyroby::VariantFile(const AnsiString& Variant)
{
    TIniFile menu(MenuFile());
    const AnsiString product = Selected(lb_WyrobyWGropie);
    if (!menu.SectionExists(product))
        return AnsiString();
    AnsiString file = menu.ReadString(product, Variant, "");
    // A name that leaves the registers folder is refused.
    if (!file.empty() && f_MainForm->ListFilePath(file).empty())
        return AnsiString();
    return file;
}

void Tf_Wyroby::UpdateButtons()
{
    sb_SprawdzNormy->SetEnabled(lb_WykazyDoSprawdzenia->Count() > 0);
    sb_WyczyscListe->SetEnabled(lb_WykazyDoSprawdzenia->ItemIndex() >= 0);
}

void Tf_Wyroby::AddPick(const AnsiString& Variant, const AnsiString& File)
{
    lb_WykazyDoSprawdzenia->Items()->Add(Variant);
    lb_SpisNazwWykazow->Items()->Add(File);
}

void Tf_Wyroby::FormShow(TObject* Sender)
{
    for (TListBox* l : {lb_GropyWyrobow, lb_WyrobyWGropie, lb_Wykonania, lb_WykazyDoSprawdzenia, lb_SpisNazwWykazow})
        l->Clear();
    lbl_Menu_NazwaPoz->SetCaption("");
    for (TSpeedButton* b : {sb_DodajWykaz, sb_DodajWszystkie, sb_WyczyscListe, sb_SprawdzNormy})
        b->SetEnabled(false);

    if (!FileExists(MenuFile())) {
        Application->MessageBox("Brakuje podstawowych plików niezbędnych do prawidłowego funkcjonowania "
                                "programu!!!.\r\rProgram zostanie zamknięty !!!",
                                "BŁĄD !!!", MB_OK | MB_ICONERROR | MB_TOPMOST);
        Application->Terminate();
        return;
    }
    TIniFile menu(MenuFile());
    if (!menu.SectionExists("Kategorie"))
        return;
    TStringList lines;
    menu.ReadSectionValues("Kategorie", &lines);
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString& line = lines.Strings(i);
        size_t eq = line.find('=');
        lb_GropyWyrobow->Items()->Add(eq == AnsiString::npos ? AnsiString() : line.substr(0, eq));
    }
}

void Tf_Wyroby::lb_GropyWyrobowClick(TObject* Sender)
{
    const AnsiString group = Selected(lb_GropyWyrobow);
    if (lb_GropyWyrobow->ItemIndex() < 0 || !FileExists(MenuFile()))
        return;
    lb_WyrobyWGropie->Clear();
    lb_Wykonania->Clear();
    sb_DodajWszystkie->SetEnabled(false);
    sb_DodajWykaz->SetEnabled(false);
    FillKeys(group, lb_WyrobyWGropie);
}

void Tf_Wyroby::lb_WyrobyWGropieClick(TObject* Sender)
{
    if (lb_WyrobyWGropie->ItemIndex() < 0 || !FileExists(MenuFile()))
        return;
    lb_Wykonania->Clear();
    sb_DodajWszystkie->SetEnabled(false);
    sb_DodajWykaz->SetEnabled(false);
    FillKeys(Selected(lb_WyrobyWGropie), lb_Wykonania);
    sb_DodajWszystkie->SetEnabled(lb_Wykonania->Count() >= 1);
}

void Tf_Wyroby::lb_WykonaniaClick(TObject* Sender)
{
    if (!FileExists(MenuFile()))
        return;
    lbl_Menu_NazwaPoz->SetCaption(VariantFile(Selected(lb_Wykonania)));
    const AnsiString file = lbl_Menu_NazwaPoz->Caption();
    sb_DodajWykaz->SetEnabled(!file.empty() && FileExists(f_MainForm->ListFolder() + file));
}

void Tf_Wyroby::sb_DodajWykazClick(TObject* Sender)
{
    const AnsiString file = lbl_Menu_NazwaPoz->Caption();
    if (!HoldsText(lb_SpisNazwWykazow->Items(), file)) {
        AddPick(Selected(lb_Wykonania), file);
        UpdateButtons();
    } else
        Application->MessageBox("Wskazany wykaz znajduje się już na liście !!!", "UWAGA !!!",
                                MB_OK | MB_ICONWARNING);
    sb_SprawdzNormy->SetEnabled(lb_WykazyDoSprawdzenia->Count() > 0);
}

void Tf_Wyroby::sb_DodajWszystkieClick(TObject* Sender)
{
    if (!FileExists(MenuFile()))
        return;
    const AnsiString folder = f_MainForm->ListFolder();
    for (int i = 0; i < lb_Wykonania->Count(); ++i) {
        const AnsiString variant = lb_Wykonania->Items()->Strings(i);
        const AnsiString file = VariantFile(variant);
        lbl_Menu_NazwaPoz->SetCaption(file);
        if (!file.empty() && FileExists(folder + file) && !HoldsText(lb_SpisNazwWykazow->Items(), file))
            AddPick(variant, file);
    }
    UpdateButtons();
}

void Tf_Wyroby::sb_WyczyscListeClick(TObject* Sender)
{
    const int i = lb_WykazyDoSprawdzenia->ItemIndex();
    if (i >= 0) {
        lb_SpisNazwWykazow->Items()->Delete(i);
        lb_WykazyDoSprawdzenia->Items()->Delete(i);
    }
    UpdateButtons();
}

void Tf_Wyroby::lb_WykazyDoSprawdzeniaClick(TObject* Sender)
{
    sb_WyczyscListe->SetEnabled(lb_WykazyDoSprawdzenia->ItemIndex() >= 0);
}

void Tf_Wyroby::sb_SprawdzNormyClick(TObject* Sender)
{
    TListBox* names = f_ListaUzywanychNorm->lb_ListaWykazow;
    names->Clear();
    names->Items()->Assign(lb_SpisNazwWykazow->Items());
    f_ListaUzywanychNorm->Show();
    Close();
    f_MainForm->SetEnabled(false);
}

void Tf_Wyroby::FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)
{
    Resize = NewWidth == FormWidth;
}

void Tf_Wyroby::FormClose(TObject* Sender, TCloseAction& Action)
{
    f_MainForm->SetEnabled(true);
}

void Tf_Wyroby::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    if (Key == 27)
        Close();
}

void Tf_Wyroby::SpeedButton1Click(TObject* Sender)
{
    Close();
}
