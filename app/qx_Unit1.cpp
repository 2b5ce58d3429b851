#include "app/qx_Unit1.h"

#include "app/FormBuild.h"
#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "controls/ColorPicker.h"
#include "controls/NetGradient.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

Tf_MainForm* f_MainForm = nullptr;

namespace {
const char* const MainPages[] = {"UstawieniaProg",     "DostosujGrupyPrziPoz", "Informacja",
                                 "SprawdzUaktualnienia", "ListaWszystkichNorm", "NormyWgStanu",
                                 "ZapiszWykazJako",    "WkataloguTrelKordelin", "NastroniePKN",
                                 "UstawieniaFolderow", "NowyWykaz",            "Uzytkownicy",
                                 "Uprawnienia",        "Importuj"};
const char* const SettingsPages[] = {"Kolory_Menu_Przyciskow_Glownego", "Kolory_Wysuwanych_Paneli",
                                     "Kolor_Naglowka",                  "Kolory_Sekcji",
                                     "Kolory_Stanu_Norm",               "Opcje_Dodatkowe",
                                     "Spis_Norm",                       "Wykazy"};

// The notebook's pages, in place of the page it starts with.
template <size_t N>
void SetPageNames(TNotebook* Notebook, const char* const (&Names)[N])
{
    TStringList names;
    for (const char* n : Names)
        names.Add(n);
    Notebook->SetPages(&names);
}
}  // namespace

Tf_MainForm::Tf_MainForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_MainForm");
    SetCaption("Velmarok Polskich Norm v. 1.0");
    SetBounds(0, 0, 1024, 740);
    CreateComponents();
    CreateRegisterComponents();
    CreateCommandComponents();
    CreateNavigationComponents();
    ConnectPageHandlers();
    CreateAppearanceComponents();
    CreateMainMenuComponents();
    WireCatalogueGrids();
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

Tf_MainForm::~Tf_MainForm()
{
    if (f_MainForm == this)
        f_MainForm = nullptr;
}

TPage* Tf_MainForm::PageOf(TNotebook* Notebook, const AnsiString& Name)
{
    int i = Notebook->Pages()->IndexOf(Name);
    return i < 0 ? nullptr : Notebook->Page(i);
}

// The window as designed: every component with its name, place and defaults.
void Tf_MainForm::CreateComponents()
{
    Strony = new TNotebook(this);
    Strony->SetName("Strony");
    Strony->SetParent(this);
    Strony->SetAlign(alClient);
    SetPageNames(Strony, MainPages);

    // Settings: the appearance topics.
    TPage* settings = PageOf(Strony, "UstawieniaProg");
    str_UstawieniaProgramu = new TNotebook(this);
    str_UstawieniaProgramu->SetName("str_UstawieniaProgramu");
    str_UstawieniaProgramu->SetParent(settings);
    str_UstawieniaProgramu->SetAlign(alClient);
    SetPageNames(str_UstawieniaProgramu, SettingsPages);
    str_UstawieniaProgramu->SetActivePage("Kolory_Stanu_Norm");

    TPage* states = PageOf(str_UstawieniaProgramu, "Kolory_Stanu_Norm");
    struct StateButton {
        TColorBtn** Field;
        const char* Name;
        TColor Color;
    };
    const StateButton stateButtons[] = {
        {&colbtn_NormaAktualna, "colbtn_NormaAktualna", TColor(32768)},
        {&colbtn_NormaNieAktualna, "colbtn_NormaNieAktualna", TColor(255)},
        {&colbtn_NormaZastUznan, "colbtn_NormaZastUznan", TColor(255)},
        {&colbtn_NormaWycofanaBezZast, "colbtn_NormaWycofanaBezZast", TColor(128)},
        {&colbtn_NormaZakladowa, "colbtn_NormaZakladowa", TColor(16711680)},
    };
    int top = 16;
    for (const StateButton& b : stateButtons) {
        *b.Field = Place<TColorBtn>(this, states, b.Name, 200, top, 72, 24);
        (*b.Field)->SetActiveColor(b.Color);
        top += 32;
    }

    TPage* preview = PageOf(str_UstawieniaProgramu, "Spis_Norm");
    sg_PN_Podglad = NewGrid(preview, "sg_PN_Podglad", alTop);
    ColorBtn_PN_KolCellNrNormy = Place<TColorBtn>(this, preview, "ColorBtn_PN_KolCellNrNormy", 8, 280, 72, 24);
    ColorBtn_PN_KolCellNrNormy->SetActiveColor(TColor(16773862));

    // The catalogue.
    sg_WszystkieNormy = NewGrid(PageOf(Strony, "ListaWszystkichNorm"), "sg_WszystkieNormy", alClient);

    // The catalogue by state.
    TPage* byState = PageOf(Strony, "NormyWgStanu");
    ng_NormyWgStanu = new TNetGradient(this);
    ng_NormyWgStanu->SetName("ng_NormyWgStanu");
    ng_NormyWgStanu->SetParent(byState);
    ng_NormyWgStanu->SetAlign(alTop);
    ng_NormyWgStanu->SetHeight(25);
    ng_NormyWgStanu->SetCaption("");
    sg_NormyWgStanu = NewGrid(byState, "sg_NormyWgStanu", alClient);

    // Folders, users and rights, the search.
    CreateFolderPage();
    CreateUserPages();
    CreateSearchPage();

    CreateVersionComponents();

    Strony->SetActivePage("ListaWszystkichNorm");
}

std::array<std::int32_t, 5> Tf_MainForm::StateColors() const
{
    // In the order of NormStateWords.
    return {colbtn_NormaAktualna->ActiveColor(), colbtn_NormaNieAktualna->ActiveColor(),
            colbtn_NormaZastUznan->ActiveColor(), colbtn_NormaWycofanaBezZast->ActiveColor(),
            colbtn_NormaZakladowa->ActiveColor()};
}

AnsiString Tf_MainForm::CatalogueFileName() const
{
    return edt_BazaNorm->FileName();
}

AnsiString Tf_MainForm::BackupFolder() const
{
    return edt_KopiaBazyNorm->Text();
}
