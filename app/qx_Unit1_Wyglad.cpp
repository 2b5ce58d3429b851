// The appearance of the main window for the current user: the settings page
// with the colours and styles of the tab strip, the tool panels and their
// sections, the heading bars, the state colours and the catalogue grids, the
// live application of every change, and the per-user settings file.
#include <cstdint>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ColorPicker.h"
#include "controls/NetGradient.h"
#include "controls/ToolEdit.h"
#include "controls/ToolPanels.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleInfo = "INFORMACJA !!!";

// One key of the settings file, in the order of writing: the control that
// holds it (a colour button, a combo's item index or the active-row box),
// the value of a new file and the value for a missing key. Colour buttons
// carry their page, name and label.
struct TSettingKey {
    const char* Section;
    const char* Key;
    TColorBtn* Tf_MainForm::*Button;
    TComboBox* Tf_MainForm::*Combo;
    std::int32_t Template;
    std::int32_t Fallback;
    const char* Page;
    const char* Name;
    const char* Label;
};

using F = Tf_MainForm;
constexpr TColorBtn* F::*NoButton = nullptr;
constexpr TComboBox* F::*NoCombo = nullptr;

const TSettingKey SettingKeys[] = {
    {"TabMenuColor", "TabStyl", NoButton, &F::cb_StylKolorowania, 0, 9, nullptr, nullptr, nullptr},
    {"TabMenuColor", "TabBackground", &F::colbtn_MG_Background, NoCombo, -2147483633, -16777201,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MG_Background", "Tło paska zakładek:"},
    {"TabMenuColor", "TabBackgroundTo", &F::colbtn_MG_BackgroundTo, NoCombo, -2147483633, -16777201,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MG_BackgroundTo", "Tło paska zakładek (drugi kolor):"},
    {"TabMenuColor", "TabBorderColor", &F::colbtn_MG_TabBorder, NoCombo, 0, 0, "Kolory_Menu_Przyciskow_Glownego",
     "colbtn_MG_TabBorder", "Obramowanie zakładek:"},
    {"TabMenuColor", "TabColor", &F::colbtn_MG_Btn, NoCombo, -2147483645, -16777213,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MG_Btn", "Zakładka:"},
    {"TabMenuColor", "TabColorTo", &F::colbtn_MG_BtnTo, NoCombo, -2147483645, -16777213,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MG_BtnTo", "Zakładka (drugi kolor):"},
    {"TabMenuColor", "TabHover", &F::colbtn_MG_Hover, NoCombo, -2147483635, -16777203,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MG_Hover", "Wskazana zakładka:"},
    {"TabMenuColor", "TabHoverTo", &F::colbtn_MG_HoverTo, NoCombo, -2147483635, -16777203,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MG_HoverTo", "Wskazana zakładka (drugi kolor):"},
    {"TabMenuColor", "TabFontColor", &F::colbtn_MB_FontColor, NoCombo, 16777215, 16777215,
     "Kolory_Menu_Przyciskow_Glownego", "colbtn_MB_FontColor", "Napisy na zakładkach:"},
    {"Header", "HeaderColor", &F::cbbtn_Nag_Pocz, NoCombo, 8421504, 8421504, "Kolor_Naglowka", "cbbtn_Nag_Pocz",
     "Kolor początkowy nagłówka:"},
    {"Header", "HeaderColorTo", &F::cbbtn_Nag_Kon, NoCombo, -2147483633, -16777201, "Kolor_Naglowka",
     "cbbtn_Nag_Kon", "Kolor końcowy nagłówka:"},
    {"Header", "HeaderFontColor", &F::cbbtn_Nag_Font, NoCombo, 0, 0, "Kolor_Naglowka", "cbbtn_Nag_Font",
     "Napis na nagłówku:"},
    {"StanNormColor", "SN_Aktualna", &F::colbtn_NormaAktualna, NoCombo, 32768, 32768, "Kolory_Stanu_Norm",
     "colbtn_NormaAktualna", "Aktualna:"},
    {"StanNormColor", "SN_Nieaktualna", &F::colbtn_NormaNieAktualna, NoCombo, 255, 255, "Kolory_Stanu_Norm",
     "colbtn_NormaNieAktualna", "Nieaktualna:"},
    {"StanNormColor", "SN_ZastapionaUznaniowo", &F::colbtn_NormaZastUznan, NoCombo, 255, 255, "Kolory_Stanu_Norm",
     "colbtn_NormaZastUznan", "Zastąpiona uznaniowo:"},
    {"StanNormColor", "SN_Zakladowa", &F::colbtn_NormaZakladowa, NoCombo, 16711680, 16711680, "Kolory_Stanu_Norm",
     "colbtn_NormaZakladowa", "Norma zakładowa:"},
    {"StanNormColor", "SN_WycofanaBezZastapienia", &F::colbtn_NormaWycofanaBezZast, NoCombo, 128, 16711935,
     "Kolory_Stanu_Norm", "colbtn_NormaWycofanaBezZast", "Wycofana bez zastąpienia:"},
    {"ToolPanel", "PanelStyl", NoButton, &F::cb_StylKoorowaniaPaneli, 0, 9, nullptr, nullptr, nullptr},
    {"ToolPanel", "ToolPanelColor", &F::ColorBtn_ToolPanel_Color, NoCombo, -2147483633, -16777201,
     "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_Color", "Tło panelu:"},
    {"ToolPanel", "ToolPanelColorTo", &F::ColorBtn_ToolPanel_ColorTo, NoCombo, -2147483633, -16777201,
     "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_ColorTo", "Tło panelu (drugi kolor):"},
    {"ToolPanel", "ToolPanelFocusColor", &F::ColorBtn_ToolPanel_FocusColor, NoCombo, -2147483635, -16777203,
     "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_FocusColor", "Tytuł aktywnego panelu:"},
    {"ToolPanel", "ToolPanelFocusColorTo", &F::ColorBtn_ToolPanel_FocusColorTo, NoCombo, -2147483635, -16777203,
     "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_FocusColorTo", "Tytuł aktywnego panelu (drugi kolor):"},
    {"ToolPanel", "ToolPanelFocusFontColor", &F::ColorBtn_ToolPanel_FocusFontColor, NoCombo, 16777215, 16777215,
     "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_FocusFontColor", "Napis tytułu aktywnego panelu:"},
    {"ToolPanel", "ToolPanelNoFocusColor", &F::ColorBtn_ToolPanel_NoFocusColor, NoCombo, -2147483645, -16777213,
     "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_NoFocusColor", "Tytuł nieaktywnego panelu:"},
    {"ToolPanel", "ToolPanelNoFocusColorTo", &F::ColorBtn_ToolPanel_NoFocusColorTo, NoCombo, -2147483645,
     -16777213, "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_NoFocusColorTo",
     "Tytuł nieaktywnego panelu (drugi kolor):"},
    {"ToolPanel", "ToolPanelNoFocusFontColor", &F::ColorBtn_ToolPanel_NoFocusFontColor, NoCombo, 16777215,
     16777215, "Kolory_Wysuwanych_Paneli", "ColorBtn_ToolPanel_NoFocusFontColor",
     "Napis tytułu nieaktywnego panelu:"},
    {"Sections", "SectionColor", &F::ColorBtn_SectionColor, NoCombo, 15132383, -16777201, "Kolory_Sekcji",
     "ColorBtn_SectionColor", "Tło sekcji:"},
    {"Sections", "SectionColorTo", &F::ColorBtn_SectionColorTo, NoCombo, 14144974, -16777201, "Kolory_Sekcji",
     "ColorBtn_SectionColorTo", "Tło sekcji (drugi kolor):"},
    {"Sections", "SectionBorder", &F::ColorBtn_SectionBorder, NoCombo, 6050636, 16777215, "Kolory_Sekcji",
     "ColorBtn_SectionBorder", "Obramowanie sekcji:"},
    {"Sections", "SectionCaptionColor", &F::ColorBtn_SectionCaptionColor, NoCombo, 12105910, 16777215,
     "Kolory_Sekcji", "ColorBtn_SectionCaptionColor", "Tytuł sekcji:"},
    {"Sections", "SectionCaptionColorTo", &F::ColorBtn_SectionCaptionColorTo, NoCombo, 7237229, -16777194,
     "Kolory_Sekcji", "ColorBtn_SectionCaptionColorTo", "Tytuł sekcji (drugi kolor):"},
    {"Sections", "SectionCaptionFontColor", &F::ColorBtn_SectionCaptionFontColor, NoCombo, 0, 0, "Kolory_Sekcji",
     "ColorBtn_SectionCaptionFontColor", "Napis tytułu sekcji:"},
    {"Sections", "SectionItemFontColor", &F::ColorBtn_SectionItemFontColor, NoCombo, 11876608, 0, "Kolory_Sekcji",
     "ColorBtn_SectionItemFontColor", "Pozycje sekcji:"},
    {"Sections", "SectionItemHoverFontColor", &F::ColorBtn_SectionItemHoverFontColor, NoCombo, 0, 0,
     "Kolory_Sekcji", "ColorBtn_SectionItemHoverFontColor", "Wskazana pozycja sekcji:"},
    {"Wyglad_PN", "PN_Styl", NoButton, &F::cb_Styl_NormyWszystkie, 4, 4, nullptr, nullptr, nullptr},
    {"Wyglad_PN", "PN_ActiveCellColor", &F::ColorBtn_PN_ActiveCellColor, NoCombo, 16777215, 16777215, "Spis_Norm",
     "ColorBtn_PN_ActiveCellColor", "Kolor aktywnej komórki:"},
    {"Wyglad_PN", "PN_ActiveCellColorTo", &F::ColorBtn_PN_ActiveCellColorTo, NoCombo, 16767411, 16767411,
     "Spis_Norm", "ColorBtn_PN_ActiveCellColorTo", "Kolor aktywnej komórki (drugi):"},
    // The active-row box: neither a button nor a combo.
    {"Wyglad_PN", "PN_ActiveRowShow", NoButton, NoCombo, 0, 0, nullptr, nullptr, nullptr},
    {"Wyglad_PN", "PN_ActiveRowColor", &F::ColorBtn_PN_ActiveRowColor, NoCombo, -2147483624, -16777192,
     "Spis_Norm", "ColorBtn_PN_ActiveRowColor", "Kolor aktywnego wiersza:"},
    {"Wyglad_PN", "PN_GridLineColor", &F::ColorBtn_PN_GridLineColor, NoCombo, 12632256, 8421504, "Spis_Norm",
     "ColorBtn_PN_GridLineColor", "Kolor linii siatki:"},
    {"Wyglad_PN", "PN_SelectionColor", &F::ColorBtn_PN_SelectionColor, NoCombo, -2147483635, -16777203,
     "Spis_Norm", "ColorBtn_PN_SelectionColor", "Kolor zaznaczenia:"},
    {"Wyglad_PN", "PN_SelectionColorTo", &F::ColorBtn_PN_SelectionColorTo, NoCombo, 536870911, 536870911,
     "Spis_Norm", "ColorBtn_PN_SelectionColorTo", "Kolor zaznaczenia (drugi):"},
    {"Wyglad_PN", "PN_KolCellNrNormy", &F::ColorBtn_PN_KolCellNrNormy, NoCombo, 16773862, 16773862, "Spis_Norm",
     "ColorBtn_PN_KolCellNrNormy", "Kolumna z numerem normy:"},
};

// The ten styles of the two style combos (sorted: "(Własny)" comes first)
// and the tool-panel style of each item index.
const char* const StyleItems[] = {"(Własny)", "Luna",   "Niebieski", "Norian",  "Obsidian",
                                  "Oliwkowy", "Srebrny", "Szary",    "Whidbey", "WinXP"};
const TToolPanelStyle StyleOfItem[] = {esCustom,            esOffice2007Luna,   esOffice2003Blue, esOffice2007Silver,
                                       esOffice2007Obsidian, esOffice2003Olive,  esOffice2003Silver,
                                       esOffice2003Classic,  esWhidbey,          esWindowsXP};

TToolPanelStyle StyleOfIndex(int Index)
{
    return Index >= 0 && Index < 10 ? StyleOfItem[Index] : esWindowsXP;
}

// Section colour presets by item index of cb_StylSekcji: background, its
// second colour, border, caption, its second colour, caption text, item
// text, item text under the mouse. "(Własny)" and none take "WinXP".
const std::int32_t WinXPSections[8] = {-16777201, -16777201, 16777215, 16777215, -16777194, 0, 0, 0};
const std::int32_t SectionPresets[10][8] = {
    {-16777201, -16777201, 16777215, 16777215, -16777194, 0, 0, 0},
    {16248798, 16242365, 16765615, 16635575, 13146742, 0, 11876608, 11876608},
    {16248798, 16242365, 16777215, 16244422, 14060643, 8661248, 11876608, 11876608},
    {15195349, 16513776, 13421257, 16445163, 15064023, 0, 11876608, 11876608},
    {15132383, 14144974, 6050636, 12105910, 7237229, 16777215, 11876608, 11876608},
    {13559783, 11919062, 16777215, 11394770, 8107429, 8661248, 11876608, 11876608},
    {15722471, 15193814, 16777215, 14600910, 12430765, 8084058, 11876608, 11876608},
    {16250871, 15527920, 16777215, 15198183, 14606046, 0, 16711680, 16711680},
    {16777215, 536870911, 16777215, 15462127, 11059392, 0, 0, 0},
    {-16777201, -16777201, 16777215, 16777215, -16777194, 0, 0, 0},
};

// The grid looks of cb_Styl_NormyWszystkie (sorted items).
const char* const LookItems[] = {"Klasyczny", "Nowoczesny", "Płaski", "Standardowy", "XP"};
const TGridLook LookOfItem[] = {glClassic, glListView, glSoft, glStandard, glXP};

// The buttons of one group, in the order the handlers pair them with the
// properties of their target.
TColorBtn* F::*const TabButtons[8] = {&F::colbtn_MG_Background, &F::colbtn_MG_BackgroundTo, &F::colbtn_MG_TabBorder,
                                      &F::colbtn_MG_Btn,        &F::colbtn_MG_BtnTo,        &F::colbtn_MG_Hover,
                                      &F::colbtn_MG_HoverTo,    &F::colbtn_MB_FontColor};
TColorBtn* F::*const PanelButtons[8] = {
    &F::ColorBtn_ToolPanel_Color,          &F::ColorBtn_ToolPanel_ColorTo,       &F::ColorBtn_ToolPanel_FocusColor,
    &F::ColorBtn_ToolPanel_FocusColorTo,   &F::ColorBtn_ToolPanel_FocusFontColor, &F::ColorBtn_ToolPanel_NoFocusColor,
    &F::ColorBtn_ToolPanel_NoFocusColorTo, &F::ColorBtn_ToolPanel_NoFocusFontColor};
TColorBtn* F::*const SectionButtons[8] = {
    &F::ColorBtn_SectionColor,          &F::ColorBtn_SectionColorTo,         &F::ColorBtn_SectionBorder,
    &F::ColorBtn_SectionCaptionColor,   &F::ColorBtn_SectionCaptionColorTo,  &F::ColorBtn_SectionCaptionFontColor,
    &F::ColorBtn_SectionItemFontColor,  &F::ColorBtn_SectionItemHoverFontColor};
TColorBtn* F::*const GridButtons[7] = {&F::ColorBtn_PN_ActiveCellColor, &F::ColorBtn_PN_ActiveCellColorTo,
                                       &F::ColorBtn_PN_ActiveRowColor,  &F::ColorBtn_PN_GridLineColor,
                                       &F::ColorBtn_PN_SelectionColor,  &F::ColorBtn_PN_SelectionColorTo,
                                       &F::ColorBtn_PN_KolCellNrNormy};
TColorBtn* F::*const HeadingButtons[3] = {&F::cbbtn_Nag_Pocz, &F::cbbtn_Nag_Kon, &F::cbbtn_Nag_Font};

// A button's palette offers its colour as the automatic one.
void SettleColor(TColorBtn* Button, TColor Color)
{
    Button->SetActiveColor(Color);
    Button->SetAutomaticColor(Color);
    Button->SetTargetColor(Color);
}

TComboBox* StyleCombo(TComponent* Owner, TWinControl* Parent, const char* Name)
{
    auto* c = Place<TComboBox>(Owner, Parent, Name, 260, 16, 180, 23);
    c->SetStyle(csDropDownList);
    c->SetSorted(true);
    for (const char* s : StyleItems)
        c->Items()->Add(s);
    c->SetDropDownCount(10);
    PlaceLabel(Owner, Parent, nullptr, "Styl &kolorowania:", 16, 20, c);
    return c;
}

void CopyLook(TProStringGrid* From, TProStringGrid* To)
{
    To->SetLook(From->Look());
    To->SetActiveCellColor(From->ActiveCellColor());
    To->SetActiveCellColorTo(From->ActiveCellColorTo());
    To->SetActiveRowShow(From->ActiveRowShow());
    To->SetActiveRowColor(From->ActiveRowColor());
    To->SetGridLineColor(From->GridLineColor());
    To->SetSelectionColor(From->SelectionColor());
    To->SetSelectionColorTo(From->SelectionColorTo());
}
}  // namespace

// ---------------------------------------------------------------- the page
void Tf_MainForm::CreateAppearanceComponents()
{
    // The colour buttons with their labels, one row each on their page; the
    // pages with a style list begin below it.
    AnsiString lastPage;
    int top = 0;
    int left = 16;
    for (const TSettingKey& k : SettingKeys) {
        if (!k.Button)
            continue;
        if (lastPage != k.Page) {
            lastPage = k.Page;
            const bool styled = lastPage == "Kolory_Menu_Przyciskow_Glownego" ||
                                lastPage == "Kolory_Wysuwanych_Paneli" || lastPage == "Kolory_Sekcji";
            top = lastPage == "Spis_Norm" ? 310 : styled ? 60 : 20;
            left = 16;
        }
        TPage* page = PageOf(str_UstawieniaProgramu, k.Page);
        // The active-row box stands above its colour.
        if (k.Button == &F::ColorBtn_PN_ActiveRowColor) {
            cb_PN_ShowActiveRow = Place<TCheckBox>(this, page, "cb_PN_ShowActiveRow", left, top, 300, 20);
            cb_PN_ShowActiveRow->SetCaption("Pokazuj &aktywny wiersz");
            top += 30;
        }
        TColorBtn*& b = this->*k.Button;
        if (!b)
            b = Place<TColorBtn>(this, page, k.Name, 0, 0, 72, 24);
        b->SetBounds(left + 244, top, 72, 24);
        b->SetActiveColor(TColor(k.Template));
        b->SetAutomaticColor(TColor(k.Template));
        b->SetTargetColor(TColor(k.Template));
        b->SetAutoBtnCaption("Domyślny");
        b->SetOtherBtnCaption("&Pozostałe ...");
        // A letter on the buttons of text colours (the states colour their word), a paint bucket on the others.
        const AnsiString key = k.Key;
        b->SetGlyphType(key.find("Font") != AnsiString::npos || key.rfind("SN_", 0) == 0 ? gtForeground
                                                                                          : gtBackground);
        TLabel* l = PlaceLabel(this, page, nullptr, k.Label, left, top + 4);
        if (k.Button == &F::ColorBtn_PN_ActiveRowColor) {
            l->SetName("Label105");
            Label105 = l;
        }
        top += 30;
        // The grid page has two columns below its preview.
        if (lastPage == "Spis_Norm" && top > 430) {
            top = 310;
            left = 360;
        }
    }

    cb_StylKolorowania = StyleCombo(this, PageOf(str_UstawieniaProgramu, "Kolory_Menu_Przyciskow_Glownego"),
                                    "cb_StylKolorowania");
    cb_StylKoorowaniaPaneli =
        StyleCombo(this, PageOf(str_UstawieniaProgramu, "Kolory_Wysuwanych_Paneli"), "cb_StylKoorowaniaPaneli");
    cb_StylSekcji = StyleCombo(this, PageOf(str_UstawieniaProgramu, "Kolory_Sekcji"), "cb_StylSekcji");
    cb_StylKolorowania->SetItemIndex(0);
    cb_StylKoorowaniaPaneli->SetItemIndex(0);
    cb_StylSekcji->SetItemIndex(0);

    TPage* grids = PageOf(str_UstawieniaProgramu, "Spis_Norm");
    sg_PN_Podglad->SetHeight(260);
    cb_Styl_NormyWszystkie = Place<TComboBox>(this, grids, "cb_Styl_NormyWszystkie", 260, 272, 180, 23);
    cb_Styl_NormyWszystkie->SetStyle(csDropDownList);
    cb_Styl_NormyWszystkie->SetSorted(true);
    for (const char* s : LookItems)
        cb_Styl_NormyWszystkie->Items()->Add(s);
    cb_Styl_NormyWszystkie->SetItemIndex(4);
    PlaceLabel(this, grids, nullptr, "&Styl spisu norm:", 16, 276, cb_Styl_NormyWszystkie);
    Label105->SetEnabled(false);
    ColorBtn_PN_ActiveRowColor->SetEnabled(false);
    sb_PN_ZastosujDlaWszystkich = Place<TSpeedButton>(this, grids, "sb_PN_ZastosujDlaWszystkich", 460, 271, 180, 25);
    sb_PN_ZastosujDlaWszystkich->SetCaption("Zastosuj dla wszystkich");
    sb_PN_ZastosujDlaWszystkich->SetEnabled(false);

    // The save and restore buttons below the topic pages.
    TPage* settings = PageOf(Strony, "UstawieniaProg");
    auto* bar = Place<TPanel>(this, settings, "pan_ZapiszUstawienia", 0, 0, 600, 40);
    bar->SetAlign(alBottom);
    bar->SetBevelOuter(bvNone);
    bar->SetCaption("");
    sb_ZastosujUstawieniaProgramu = Place<TSpeedButton>(this, bar, "sb_ZastosujUstawieniaProgramu", 16, 8, 160, 25);
    sb_ZastosujUstawieniaProgramu->SetCaption(" Zapisz zmiany");
    sb_ZastosujUstawieniaProgramu->SetEnabled(false);
    SpeedButton3 = Place<TSpeedButton>(this, bar, "SpeedButton3", 184, 8, 220, 25);
    SpeedButton3->SetCaption("Przywróć ustawienia domyślne");
    str_UstawieniaProgramu->SetAlign(alNone);
    str_UstawieniaProgramu->SetAlign(alClient);

    // The handlers.
    for (auto m : TabButtons)
        (this->*m)->OnClick = [this](TObject* s) { colbtn_MG_BackgroundClick(s); };
    for (auto m : HeadingButtons)
        (this->*m)->OnClick = [this](TObject* s) { cbbtn_Nag_PoczClick(s); };
    for (auto m : PanelButtons)
        (this->*m)->OnClick = [this](TObject* s) { ColorBtn_ToolPanel_ColorClick(s); };
    for (auto m : SectionButtons)
        (this->*m)->OnClick = [this](TObject* s) { ColorBtn_SectionColorClick(s); };
    for (auto m : GridButtons)
        if (m != &F::ColorBtn_PN_KolCellNrNormy)
            (this->*m)->OnClick = [this](TObject* s) { cb_Styl_NormyWszystkieChange(s); };
    // The number-column colour is read at every paint of the grids.
    ColorBtn_PN_KolCellNrNormy->OnClick = [this](TObject* s) {
        sg_PN_Podglad->Invalidate();
        cb_Styl_NormyWszystkieChange(s);
    };
    for (TColorBtn* b : {colbtn_NormaAktualna, colbtn_NormaNieAktualna, colbtn_NormaZastUznan, colbtn_NormaZakladowa,
                         colbtn_NormaWycofanaBezZast})
        b->OnClick = [this](TObject* s) { colbtn_NormaAktualnaClick(s); };
    cb_StylKolorowania->OnChange = [this](TObject* s) { cb_StylKolorowaniaChange(s); };
    cb_StylKoorowaniaPaneli->OnChange = [this](TObject* s) { cb_StylKoorowaniaPaneliChange(s); };
    cb_StylSekcji->OnChange = [this](TObject* s) { cb_StylSekcjiChange(s); };
    cb_Styl_NormyWszystkie->OnChange = [this](TObject* s) { cb_Styl_NormyWszystkieChange(s); };
    cb_PN_ShowActiveRow->OnClick = [this](TObject* s) { cb_PN_ShowActiveRowClick(s); };
    sb_PN_ZastosujDlaWszystkich->OnClick = [this](TObject* s) { sb_PN_ZastosujDlaWszystkichClick(s); };
    sb_ZastosujUstawieniaProgramu->OnClick = [this](TObject* s) { sb_ZastosujUstawieniaProgramuClick(s); };
    SpeedButton3->OnClick = [this](TObject* s) { SpeedButton3Click(s); };
}

void Tf_MainForm::MarkSettingsChanged()
{
    sb_ZastosujUstawieniaProgramu->SetEnabled(true);
}

// ---------------------------------------------------------------- applying
void Tf_MainForm::ApplyTabStripColors()
{
    TProToolPanelTab* t = ProToolPanelTab;
    t->SetColor(colbtn_MG_Background->ActiveColor());
    t->SetColorTo(colbtn_MG_BackgroundTo->ActiveColor());
    t->SetTabBorderColor(colbtn_MG_TabBorder->ActiveColor());
    t->SetTabColor(colbtn_MG_Btn->ActiveColor());
    t->SetTabColorTo(colbtn_MG_BtnTo->ActiveColor());
    t->SetTabHoverColor(colbtn_MG_Hover->ActiveColor());
    t->SetTabHoverColorTo(colbtn_MG_HoverTo->ActiveColor());
    t->Font()->SetColor(colbtn_MB_FontColor->ActiveColor());
    t->Invalidate();
}

void Tf_MainForm::ApplyPanelColors(TProToolPanel* p)
{
    p->SetColor(ColorBtn_ToolPanel_Color->ActiveColor());
    p->SetColorTo(ColorBtn_ToolPanel_ColorTo->ActiveColor());
    p->SetFocusCaptionColor(ColorBtn_ToolPanel_FocusColor->ActiveColor());
    p->SetFocusCaptionColorTo(ColorBtn_ToolPanel_FocusColorTo->ActiveColor());
    p->SetFocusCaptionFontColor(ColorBtn_ToolPanel_FocusFontColor->ActiveColor());
    p->SetNoFocusCaptionColor(ColorBtn_ToolPanel_NoFocusColor->ActiveColor());
    p->SetNoFocusCaptionColorTo(ColorBtn_ToolPanel_NoFocusColorTo->ActiveColor());
    p->SetNoFocusCaptionFontColor(ColorBtn_ToolPanel_NoFocusFontColor->ActiveColor());
}

void Tf_MainForm::ApplySectionColors(TProToolPanel* p)
{
    TSectionLayout* l = p->SectionLayout();
    l->SetBackGroundColor(ColorBtn_SectionColor->ActiveColor());
    l->SetBackGroundColorTo(ColorBtn_SectionColorTo->ActiveColor());
    l->SetBorderColor(ColorBtn_SectionBorder->ActiveColor());
    l->SetCaptionColor(ColorBtn_SectionCaptionColor->ActiveColor());
    l->SetCaptionColorTo(ColorBtn_SectionCaptionColorTo->ActiveColor());
    l->SetCaptionFontColor(ColorBtn_SectionCaptionFontColor->ActiveColor());
    l->SetItemFontColor(ColorBtn_SectionItemFontColor->ActiveColor());
    l->SetItemHoverTextColor(ColorBtn_SectionItemHoverFontColor->ActiveColor());
    p->Invalidate();
}

namespace {
// Every tool panel the main window owns, in component order (the tab strip
// builds its panels on the window, which owns them).
template <class Fn>
void ForEachToolPanel(TComponent* Owner, Fn&& Do)
{
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TProToolPanel*>(Owner->Components(i)))
            Do(p);
}
}  // namespace

void Tf_MainForm::ApplyGridLook(TProStringGrid* g)
{
    const int look = cb_Styl_NormyWszystkie->ItemIndex();
    if (look == -1)
        g->SetLook(glXP);
    else if (look >= 0 && look < 5)
        g->SetLook(LookOfItem[look]);
    g->SetActiveCellColor(ColorBtn_PN_ActiveCellColor->ActiveColor());
    g->SetActiveCellColorTo(ColorBtn_PN_ActiveCellColorTo->ActiveColor());
    g->SetActiveRowShow(cb_PN_ShowActiveRow->Checked());
    g->SetActiveRowColor(ColorBtn_PN_ActiveRowColor->ActiveColor());
    g->SetGridLineColor(ColorBtn_PN_GridLineColor->ActiveColor());
    g->SetSelectionColor(ColorBtn_PN_SelectionColor->ActiveColor());
    g->SetSelectionColorTo(ColorBtn_PN_SelectionColorTo->ActiveColor());
}

// ---------------------------------------------------------------- handlers
void Tf_MainForm::colbtn_MG_BackgroundClick(TObject*)
{
    ApplyTabStripColors();
    cb_StylKolorowania->SetItemIndex(0);
    MarkSettingsChanged();
}

void Tf_MainForm::cb_StylKolorowaniaChange(TObject*)
{
    TProToolPanelTab* t = ProToolPanelTab;
    t->SetStyle(StyleOfIndex(cb_StylKolorowania->ItemIndex()));
    const TColor colors[8] = {t->Color(),         t->ColorTo(),       t->TabBorderColor(),   t->TabColor(),
                              t->TabColorTo(),    t->TabHoverColor(), t->TabHoverColorTo(), t->Font()->Color()};
    for (int i = 0; i < 8; ++i)
        SettleColor(this->*TabButtons[i], colors[i]);
    ColorBtn_ToolPanel_ColorClick(cb_StylKolorowania);
    MarkSettingsChanged();
}

void Tf_MainForm::cbbtn_Nag_PoczClick(TObject*)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* g = dynamic_cast<TNetGradient*>(Components(i))) {
            g->SetBeginColor(cbbtn_Nag_Pocz->ActiveColor());
            g->SetEndColor(cbbtn_Nag_Kon->ActiveColor());
            g->Font()->SetColor(cbbtn_Nag_Font->ActiveColor());
        }
    p_Nawigacja->SetColor(cbbtn_Nag_Kon->ActiveColor());
    MarkSettingsChanged();
}

void Tf_MainForm::cb_StylKoorowaniaPaneliChange(TObject*)
{
    const TToolPanelStyle style = StyleOfIndex(cb_StylKoorowaniaPaneli->ItemIndex());
    TProToolPanel* first = nullptr;
    ForEachToolPanel(this, [&](TProToolPanel* p) {
        p->SetStyle(style);
        if (!first)
            first = p;
    });
    if (first) {
        const TColor colors[8] = {first->Color(),
                                  first->ColorTo(),
                                  first->FocusCaptionColor(),
                                  first->FocusCaptionColorTo(),
                                  first->FocusCaptionFontColor(),
                                  first->NoFocusCaptionColor(),
                                  first->NoFocusCaptionColorTo(),
                                  first->NoFocusCaptionFontColor()};
        for (int i = 0; i < 8; ++i)
            SettleColor(this->*PanelButtons[i], colors[i]);
    }
    MarkSettingsChanged();
}

void Tf_MainForm::ColorBtn_ToolPanel_ColorClick(TObject*)
{
    ForEachToolPanel(this, [this](TProToolPanel* p) { ApplyPanelColors(p); });
    cb_StylKoorowaniaPaneli->SetItemIndex(0);
    MarkSettingsChanged();
}

void Tf_MainForm::colbtn_NormaAktualnaClick(TObject*)
{
    MarkSettingsChanged();
}

void Tf_MainForm::cb_StylSekcjiChange(TObject*)
{
    const int i = cb_StylSekcji->ItemIndex();
    const std::int32_t* preset = i >= 0 && i < 10 ? SectionPresets[i] : WinXPSections;
    for (int k = 0; k < 8; ++k)
        SettleColor(this->*SectionButtons[k], TColor(preset[k]));
    ForEachToolPanel(this, [this](TProToolPanel* p) { ApplySectionColors(p); });
    MarkSettingsChanged();
}

void Tf_MainForm::ColorBtn_SectionColorClick(TObject*)
{
    ForEachToolPanel(this, [this](TProToolPanel* p) { ApplySectionColors(p); });
    MarkSettingsChanged();
    cb_StylSekcji->SetItemIndex(0);
}

void Tf_MainForm::cb_Styl_NormyWszystkieChange(TObject*)
{
    ApplyGridLook(sg_PN_Podglad);
    sg_PN_Podglad->Repaint();
    sb_PN_ZastosujDlaWszystkich->SetEnabled(true);
    MarkSettingsChanged();
}

void Tf_MainForm::cb_PN_ShowActiveRowClick(TObject*)
{
    MarkSettingsChanged();
    const bool on = cb_PN_ShowActiveRow->Checked();
    sg_PN_Podglad->SetActiveRowShow(on);
    sg_PN_Podglad->Repaint();
    Label105->SetEnabled(on);
    ColorBtn_PN_ActiveRowColor->SetEnabled(on);
}

void Tf_MainForm::sb_PN_ZastosujDlaWszystkichClick(TObject*)
{
    for (TProStringGrid* g : {sg_NormyWgStanu, sg_ZnajdzNormeWTrelKordelin, sg_WszystkieNormy}) {
        CopyLook(sg_PN_Podglad, g);
        g->Invalidate();
    }
    sb_PN_ZastosujDlaWszystkich->SetEnabled(false);
}

// ---------------------------------------------------------------- the settings file
AnsiString Tf_MainForm::UserSettingsFile() const
{
    const AnsiString folder = UsersFolder(), login = GetWindowsUserName();
    const AnsiString own = folder + login + ".dat";
    // A login named as a file kept there for all (the users list, the template
    // of new settings, or another file of the program's) never takes it over.
    const AnsiString name = ExtractFileName(own);
    const bool ofAll = AnsiSameText(name, "users.dat") || AnsiSameText(name, "Default.dat") ||
                       SamePlace(own, ConfigFileName()) || SamePlace(own, CatalogueFileName()) ||
                       SamePlace(own, edt_Menu->FileName());
    return ofAll ? folder + login + ".user.dat" : own;
}

namespace {
// The text of a settings file; Value gives the value of a key.
template <class Fn>
AnsiString SettingsText(const AnsiString& Login, Fn&& Value)
{
    AnsiString text = "[UserName]\r\nUserName=" + Login + "\r\n";
    const char* section = "";
    for (const TSettingKey& k : SettingKeys) {
        if (AnsiString(section) != k.Section) {
            section = k.Section;
            text += "\r\n[" + AnsiString(section) + "]\r\n";
        }
        text += AnsiString(k.Key) + "=" + IntToStr(Value(k)) + "\r\n";
    }
    // Nothing after the last key.
    return text.substr(0, text.size() - 2);
}
}  // namespace

AnsiString Tf_MainForm::DefaultUserSettingsText(const AnsiString& Login)
{
    return SettingsText(Login, [](const TSettingKey& k) { return k.Template; });
}

AnsiString Tf_MainForm::UserSettingsText(const AnsiString& Login) const
{
    return SettingsText(Login, [this](const TSettingKey& k) -> std::int32_t {
        if (k.Button)
            return (this->*k.Button)->ActiveColor();
        if (k.Combo)
            return (this->*k.Combo)->ItemIndex();
        return cb_PN_ShowActiveRow->Checked() ? 1 : 0;
    });
}

void Tf_MainForm::sb_ZastosujUstawieniaProgramuClick(TObject*)
{
    const AnsiString text = UserSettingsText(GetWindowsUserName());
    sb_PN_ZastosujDlaWszystkichClick(sb_ZastosujUstawieniaProgramu);
    const AnsiString file = UserSettingsFile();
    TSharedFileSave save(file);
    if (!save.MayReplace())
        return;
    // The scrambled file replaces the old one only when it is written whole;
    // no plain copy of it is left on the disk.
    try {
        WriteScrambledFile(file, text);
        RememberSharedFile(file);
        save.Release();
    } catch (const Exception&) {
        save.Release();
        Application->MessageBox("Nie można zapisać ustawień !!!\rNie masz do tego odpowiednich uprawnień lub program "
                                "znajduje się na dysku, na którym zapis nie jest możliwy !!!",
                                TitleError, MB_OK | MB_ICONERROR);
    }
    sb_ZastosujUstawieniaProgramu->SetEnabled(false);
    sb_PN_ZastosujDlaWszystkich->SetEnabled(false);
    SpeedButton3->SetEnabled(true);
}

void Tf_MainForm::SpeedButton3Click(TObject*)
{
    const AnsiString file = UserSettingsFile();
    // Removed under the file's lock, as every change of it is made; another
    // login's save holding it past the wait leaves it and the button as they are.
    TSharedFileUpdate update(file);
    if (!update.Taken())
        return;
    if (DeleteFile(file)) {
        // The program's own delete: a later save here is no other login's change to ask about.
        RememberSharedFile(file);
        Application->MessageBox("Domyślne ustawienia zostaną przywrócone po ponownym uruchomieniu programu.",
                                TitleInfo, MB_OK | MB_ICONINFORMATION);
    } else
        Application->MessageBox("Nie masz odpowiednich uprawnień do tego lub odczyt i zapis danych na dysku, na "
                                "którym znajduje się program, nie jest możliwy !!!",
                                TitleError, MB_OK | MB_ICONERROR);
    SpeedButton3->SetEnabled(false);
}

void Tf_MainForm::ApplyUserSettings(TCustomIniFile* Settings)
{
    // 1. Every key into its control.
    for (const TSettingKey& k : SettingKeys) {
        const int v = Settings->ReadInteger(k.Section, k.Key, k.Fallback);
        if (k.Button)
            (this->*k.Button)->SetActiveColor(TColor(v));
        else if (k.Combo)
            (this->*k.Combo)->SetItemIndex(v);
        else
            cb_PN_ShowActiveRow->SetChecked(v != 0);   // runs its click handler when it changes
        if (AnsiString(k.Key) == "SectionItemHoverFontColor")
            cb_StylSekcji->SetItemIndex(0);
    }
    const bool activeRow = cb_PN_ShowActiveRow->Checked();
    Label105->SetEnabled(activeRow);
    ColorBtn_PN_ActiveRowColor->SetEnabled(activeRow);

    // 2. The tab strip: the custom style with the stored colours.
    cb_StylKolorowania->SetItemIndex(0);
    ProToolPanelTab->SetStyle(esCustom);
    ApplyTabStripColors();
    for (auto m : TabButtons)
        SettleColor(this->*m, (this->*m)->ActiveColor());

    // 3. The heading bars and the navigation panel.
    for (auto m : HeadingButtons)
        SettleColor(this->*m, (this->*m)->ActiveColor());
    const bool changed = sb_ZastosujUstawieniaProgramu->Enabled();
    cbbtn_Nag_PoczClick(cbbtn_Nag_Pocz);
    sb_ZastosujUstawieniaProgramu->SetEnabled(changed);

    // 4. The panels take these colours when the menu build makes them.
    cb_StylKoorowaniaPaneli->SetItemIndex(0);
    for (auto group : {PanelButtons, SectionButtons})
        for (int i = 0; i < 8; ++i)
            SettleColor(this->*group[i], (this->*group[i])->ActiveColor());
    for (auto m : GridButtons)
        SettleColor(this->*m, (this->*m)->ActiveColor());

    // 5. The catalogue grid, its preview and the other grids.
    ApplyGridLook(sg_WszystkieNormy);
    CopyLook(sg_WszystkieNormy, sg_PN_Podglad);
    sb_PN_ZastosujDlaWszystkichClick(sb_PN_ZastosujDlaWszystkich);
}
