// The users of the department and their access levels: the users page (the
// list of logins, the head of department and the options) and the rights
// page (the level of each listed user), both kept in the scrambled users file.
#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/NetGradient.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleWarning = "UWAGA !!!";
const char* const Quote = "\"";

const char* const LevelNotes[] = {
    "Administrator programu może nadać każdemu z użytkowników (pracowników) odpowiednie uprawnienia do ",
    "zarządzania programem i co jest z tym związane bazą Polskich Norm.",
    "",
    "Określony poziom pozwala użytkownikowi na: ",
    "Poziom 0 - jest to użytkownik spoza listy, może on tylko i wyłącznie przeglądać katalog polskich norm "
    "wyszukiwać ",
    "normę oraz przeglądać wykazy materiałowe poszczególnych wyrobów.",
    "",
    "Poziom 1 - użytkownik może tylko i wyłącznie przeglądać katalog Polskich Norm, wyszukiwać normę oraz "
    "przeglądać ",
    "wykazy materiałowe poszczególnych wyrobów. Może też zmienić kolory i styl wyświetlania elementów oraz "
    "generować ",
    "listy używanych norm.",
    "",
    "Poziom 2 - użytkownik może tylko i wyłącznie przeglądać katalog Polskich Norm, wyszukiwać normę oraz "
    "przeglądać ",
    "wykazy materiałowe poszczególnych wyrobów. Może też zmienić kolory i styl wyświetlania elementów oraz "
    "generować ",
    "listy używanych norm. Dodatkowo może dodawać nowy wykaz i tworzyć grupy wśród określonych wyrobów oraz ",
    "eksportować istniejące już wykazy.",
    "",
    "Poziom 3 - użytkownik może edytować katalog polskich norm tzn. może dodawać do niego pozycje,  usuwać je a "
    "także ",
    "może aktualizować spis. Może dodawać i usuwać pozycje dla określonych wyrobów, może edytować już istniejące ",
    "wykazy i eksportować je. Ma też możliwość zmiany kolorów wyświetlanych elementów oraz generować listy "
    "używanych ",
    "norm.",
    "",
    "Poziom 4 - użytkownik może edytować katalog polskich norm tzn. może dodawać do niego pozycje, usuwać je a "
    "także ",
    "może aktualizować spis. Może dodawać i usuwać pozycje dla określonych wyrobów, może edytować już istniejące ",
    "wykazy i eksportować je. Ma też możliwość zmiany kolorów. wyświetlania menu, spisu norm i wykazów  oraz ",
    "generować listy używanych norm. Jako jedyny może też edytować przyciski w menu głównym.",
};

TNetGradient* Heading(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption)
{
    auto* g = new TNetGradient(Owner);
    g->SetName(Name);
    g->SetParent(Parent);
    g->SetAlign(alTop);
    g->SetHeight(25);
    g->SetCaption(Caption);
    return g;
}

TCheckBox* Option(TComponent* Owner, TWinControl* Parent, const char* Name, const AnsiString& Caption, int Top)
{
    auto* c = Place<TCheckBox>(Owner, Parent, Name, 16, Top, 720, 19);
    c->SetCaption(Caption);
    return c;
}

bool SameLogin(const AnsiString& A, const AnsiString& B)
{
    return AnsiLowerCase(A) == AnsiLowerCase(B);
}

// The question of removing a user; true on Yes.
bool Confirm(const AnsiString& Text)
{
    return Application->MessageBox(Text, TitleWarning, MB_YESNO | MB_ICONQUESTION) == IDYES;
}
}  // namespace

void Tf_MainForm::CreateUserPages()
{
    TPage* users = PageOf(Strony, "Uzytkownicy");
    Heading(this, users, "ng_Uzytkownicy", "Użytkownicy programu");
    e_KierownikDzialu = Place<TEdit>(this, users, "e_KierownikDzialu", 180, 40, 200, 23);
    PlaceLabel(this, users, "Label_KierownikDzialu", "&Kierownik działu:", 16, 44, e_KierownikDzialu);
    lb_UserName = Place<TListBox>(this, users, "lb_UserName", 16, 96, 260, 220);
    lb_UserName->SetSorted(true);
    PlaceLabel(this, users, "Label_UserName", "U&żytkownicy programu:", 16, 78, lb_UserName);
    e_NowyUzytkownik = Place<TEdit>(this, users, "e_NowyUzytkownik", 292, 96, 200, 23);
    PlaceLabel(this, users, "Label_NowyUzytkownik", "&Nowy użytkownik:", 292, 78, e_NowyUzytkownik);
    sb_DodajUzytkownika = Place<TSpeedButton>(this, users, "sb_DodajUzytkownika", 292, 128, 200, 25);
    sb_DodajUzytkownika->SetCaption("Dodaj użytkownika");
    sb_DodajUzytkownika->SetEnabled(false);
    sb_UsunUzytkownika = Place<TSpeedButton>(this, users, "sb_UsunUzytkownika", 292, 160, 200, 25);
    sb_UsunUzytkownika->SetCaption("Usuń użytkownika");
    sb_UsunUzytkownika->SetEnabled(false);

    cb_UserSpozaListy =
        Option(this, users, "cb_UserSpozaListy", "&Użytkownicy spoza listy nie mogą uruchomić programu", 332);
    CheckBox1 = Option(this, users, "CheckBox1", "Użytkownicy spoza listy mogą tylko przeglądać normy i wykazy", 356);
    CheckBox1->SetChecked(true);
    CheckBox1->SetEnabled(false);
    cb_KierDzialuMaNieOgrMozliwosci = Option(this, users, "cb_KierDzialuMaNieOgrMozliwosci",
                                             "Ki&erownik działu ma nieograniczone możliwości", 380);
    cb_KierMozeZmieniac = Option(this, users, "cb_KierMozeZmieniac",
                                 AnsiString("&Tylko kierownik działu może zmieniać dane znajdujące się na zakładce ") +
                                     Quote + "Użytkownicy programu" + Quote + " i " + Quote + "Uprawnienia" + Quote,
                                 404);
    TLabel* note = PlaceLabel(this, users, "Label_Uwaga",
                              "  UWAGA: Po wprowadzeniu jakichkolwiek zmian na tej zakładce nie zapomnij kliknąć w "
                              "przycisk ZAPISZ ZMIANY !!!",
                              16, 440);
    note->Font()->SetColor(clRed);
    sb_Uzytkownicy_Zapisz = Place<TSpeedButton>(this, users, "sb_Uzytkownicy_Zapisz", 16, 468, 160, 25);
    sb_Uzytkownicy_Zapisz->SetCaption("      Zapisz zmiany      ");
    sb_Uzytkownicy_Zapisz->SetEnabled(false);

    TPage* rights = PageOf(Strony, "Uprawnienia");
    Heading(this, rights, "ng_Uprawnienia", "Uprawnienia");
    lb_Userzy = Place<TListBox>(this, rights, "lb_Userzy", 16, 56, 260, 220);
    PlaceLabel(this, rights, "Label_Userzy", "U&żytkownicy:", 16, 38, lb_Userzy);
    cb_Uprawnienia = Place<TComboBox>(this, rights, "cb_Uprawnienia", 292, 56, 200, 23);
    cb_Uprawnienia->SetStyle(csDropDownList);
    for (const char* level : {"Poziom 1", "Poziom 2", "Poziom 3", "Poziom 4"})
        cb_Uprawnienia->Items()->Add(level);
    cb_Uprawnienia->SetEnabled(false);
    Label28 = PlaceLabel(this, rights, "Label28", "&Uprawnienia:", 292, 38, cb_Uprawnienia);
    Label28->SetEnabled(false);
    Memo1 = Place<TMemo>(this, rights, "Memo1", 16, 292, 760, 380);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(ssVertical);
    for (const char* line : LevelNotes)
        Memo1->Lines()->Add(line);

    auto keyDown = [this](void (Tf_MainForm::*Handler)(TObject*, Word&, TShiftState)) {
        return [this, Handler](TObject* s, Word& k, TShiftState sh) { (this->*Handler)(s, k, sh); };
    };
    auto noBadChars = [this](TObject* s, char& k) { e_NowyUzytkownikKeyPress(s, k); };
    e_KierownikDzialu->OnChange = [this](TObject* s) { e_KierownikDzialuChange(s); };
    e_KierownikDzialu->OnKeyDown = keyDown(&Tf_MainForm::e_KierownikDzialuKeyDown);
    e_KierownikDzialu->OnKeyPress = noBadChars;
    e_NowyUzytkownik->OnChange = [this](TObject* s) { e_NowyUzytkownikChange(s); };
    e_NowyUzytkownik->OnKeyDown = keyDown(&Tf_MainForm::e_NowyUzytkownikKeyDown);
    e_NowyUzytkownik->OnKeyPress = noBadChars;
    sb_DodajUzytkownika->OnClick = [this](TObject* s) { sb_DodajUzytkownikaClick(s); };
    sb_UsunUzytkownika->OnClick = [this](TObject* s) { sb_UsunUzytkownikaClick(s); };
    lb_UserName->OnClick = [this](TObject* s) { lb_UserNameClick(s); };
    lb_UserName->OnKeyDown = keyDown(&Tf_MainForm::lb_UserNameKeyDown);
    for (TCheckBox* c : {cb_UserSpozaListy, cb_KierDzialuMaNieOgrMozliwosci, cb_KierMozeZmieniac}) {
        c->OnClick = [this](TObject* s) { cb_UserSpozaListyClick(s); };
        c->OnKeyDown = keyDown(&Tf_MainForm::CheckBox1KeyDown);
    }
    CheckBox1->OnKeyDown = keyDown(&Tf_MainForm::CheckBox1KeyDown);
    sb_Uzytkownicy_Zapisz->OnClick = [this](TObject* s) { sb_Foldery_ZapiszClick(s); };
    lb_Userzy->OnClick = [this](TObject* s) { lb_UserzyClick(s); };
    lb_Userzy->OnKeyDown = keyDown(&Tf_MainForm::lb_UserzyKeyDown);
    cb_Uprawnienia->OnChange = [this](TObject* s) { cb_UprawnieniaChange(s); };
    cb_Uprawnienia->OnKeyDown = keyDown(&Tf_MainForm::lb_UserzyKeyDown);
    // Nothing is unsaved in the pages as designed.
    RememberConfiguration();
    RememberUsersList();
}

// ---------------------------------------------------------------- users page

void Tf_MainForm::e_NowyUzytkownikKeyPress(TObject*, char& Key)
{
    if (Key == ';' || Key == '=' || Key == '|')
        Key = 0;
}

void Tf_MainForm::e_NowyUzytkownikChange(TObject*)
{
    if (KeepFirstLine(e_NowyUzytkownik))
        return;   // the cut name came through here again
    // A login is a key of the users file: no ";" or "=" in it, and no "[" at its start,
    // which the file would read as a section's heading.
    const AnsiString text = e_NowyUzytkownik->Text();
    if (text.find_first_of(";=") != AnsiString::npos || (!text.empty() && text[0] == '['))
        e_NowyUzytkownik->Clear();
    sb_DodajUzytkownika->SetEnabled(!e_NowyUzytkownik->Text().empty());
}

void Tf_MainForm::e_NowyUzytkownikKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_DodajUzytkownika->Enabled())
        sb_DodajUzytkownikaClick(sb_DodajUzytkownika);
    FormKeyDown(this, Key, Shift);
}

void Tf_MainForm::sb_DodajUzytkownikaClick(TObject*)
{
    const AnsiString login = e_NowyUzytkownik->Text();
    TStrings* users = lb_UserName->Items();
    for (int i = 0; i < users->Count(); ++i)
        if (AnsiCompareText(users->Strings(i), login) == 0) {
            Application->MessageBox("Wskazany użytkownik znajduje się już na liście !!!", TitleWarning,
                                    MB_OK | MB_ICONWARNING);
            return;
        }
    users->Add(login);
    e_NowyUzytkownik->Clear();
    RefreshSettingsSaveButtons();
}

void Tf_MainForm::lb_UserNameClick(TObject*)
{
    sb_UsunUzytkownika->SetEnabled(lb_UserName->ItemIndex() >= 0);
}

void Tf_MainForm::lb_UserNameKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_DELETE && sb_UsunUzytkownika->Enabled())
        sb_UsunUzytkownikaClick(sb_UsunUzytkownika);
    FormKeyDown(this, Key, Shift);
}

void Tf_MainForm::sb_UsunUzytkownikaClick(TObject*)
{
    const int i = lb_UserName->ItemIndex();
    if (i < 0)
        return;
    const AnsiString login = lb_UserName->Items()->Strings(i);
    if (!Confirm("Czy na pewno chcesz usunąć wybranego użytkownika z listy ???"))
        return;
    if (SameLogin(login, e_KierownikDzialu->Text()) &&
        !Confirm("Usuwasz kierownika działu, czy na pewno wiesz co robisz  ???"))
        return;
    if (lb_UserName->Count() == 1) {
        const AnsiString question =
            cb_UserSpozaListy->Checked()
                ? AnsiString("Wybrana jest opcja ") + Quote + "Użytkownicy spoza listy nie mogą uruchomić programu" +
                      Quote +
                      " a Ty usuwasz właśnie ostatniego użytkownika z listy - jak myślisz, kto potem będzie mógł "
                      "uruchomić program  ???\r\rCzy chcesz usunąć wskazanego (ostatniego) użytkownika z listy ???"
                : AnsiString("Usuwasz właśnie ostatniego użytkownika z listy, jeżeli go usuniesz nikt nie będzie "
                             "mógł zarządzać kontami użytkowników oraz wykazami materiałowymi ani aktualizować spis "
                             "norm.\r\rCzy chcesz usunąć wskazanego (ostatniego) użytkownika z listy ???");
        if (!Confirm(question))
            return;
    }
    lb_UserName->Items()->Delete(i);
    RefreshSettingsSaveButtons();
    sb_UsunUzytkownika->SetEnabled(false);
}

void Tf_MainForm::cb_UserSpozaListyClick(TObject*)
{
    RefreshSettingsSaveButtons();
}

void Tf_MainForm::CheckBox1KeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_Uzytkownicy_Zapisz->Enabled())
        sb_Foldery_ZapiszClick(sb_Uzytkownicy_Zapisz);
    FormKeyDown(this, Key, Shift);
}

// ---------------------------------------------------------------- rights page

void Tf_MainForm::lb_UserzyClick(TObject*)
{
    const int i = lb_Userzy->ItemIndex();
    const bool selected = i >= 0;
    Label28->SetEnabled(selected);
    cb_Uprawnienia->SetEnabled(selected);
    if (!selected)
        return;
    const AnsiString login = lb_Userzy->Items()->Strings(i);
    const AnsiString dat = UsersFolder() + "users.dat";
    if (FileExists(dat)) {
        try {
            TPlainCopy copy(dat);
            TIniFile ini(copy.FileName());
            const int level = ini.ReadInteger("Level", login, 1);
            // A stored level outside 1 to 4 shows no item.
            cb_Uprawnienia->SetItemIndex(level >= 1 && level <= 4 ? level - 1 : -1);
        } catch (const Exception&) {
            // An unreadable file leaves the level shown as it was.
        }
    }
    if (SameLogin(login, e_KierownikDzialu->Text()) && cb_KierDzialuMaNieOgrMozliwosci->Checked()) {
        Label28->SetEnabled(false);
        cb_Uprawnienia->SetEnabled(false);
        Application->MessageBox(
            AnsiString("Nie można ustawić poziomu dostępu dla wskazanego użytkownika, ponieważ jest to kierownik "
                       "działu, który jak w opcjach wybrano, ma nieograniczone możliwości. Niezależnie od tego, co "
                       "zostało wybrane w polu poziomów zabezpieczeń, użytkownik ") +
                Quote + e_KierownikDzialu->Text() + Quote + " zawsze będzie uruchamiał program bez ograniczeń !!!",
            TitleWarning, MB_OK | MB_ICONINFORMATION);
    }
}

void Tf_MainForm::cb_UprawnieniaChange(TObject*)
{
    const AnsiString dat = UsersFolder() + "users.dat";
    const int i = lb_Userzy->ItemIndex();
    const int level = cb_Uprawnienia->ItemIndex();
    if (!FileExists(dat) || i < 0 || level < 0)
        return;
    try {
        TSharedFileUpdate update(dat);
        if (!update.Taken())
            return;
        TPlainCopy copy(dat);
        TIniFile(copy.FileName()).WriteInteger("Level", lb_Userzy->Items()->Strings(i), level + 1);
        copy.Save();
    } catch (const Exception&) {
        Application->MessageBox("Nie można zapisać wprowadzonych zmian - nie masz do tego odpowiednich uprawnień !!!",
                                "BŁĄD !!!", MB_OK | MB_ICONERROR);
    }
}

void Tf_MainForm::lb_UserzyKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    FormKeyDown(this, Key, Shift);
}
