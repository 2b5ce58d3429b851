#pragma once
// The main window: the page notebook with the catalogue, its views, the
// register pages and the settings pages.
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gui/Forms.h"

class TNotebook;
class TPage;
class TEdit;
class TProStringGrid;
class TNetGradient;
class TFilenameEdit;
class TDirectoryEdit;
class TColorBtn;
// Registers.
class TPanel;
class TSpeedButton;
class TPopupMenu;
class TListBox;
class TCustomListBox;
class TLabel;
class TGroupBox;
class TImage;
class TProgressBar;
class TComboBox;
class TKxCheckListBox;
class TFileLabel;
class TQelSensitiveLabel;
struct TSearchRec;
class TMenuItem;
class TCheckBox;
class TProGridUndoRedo;
class TProPreviewDialog;
class TProGridPrintSettingsDialog;
class TPrintDialog;
// Catalogue commands.
class TTimer;
class TSaveDialog;
class TWebBrowser;
class TAniIcon;
class TMenuItem;
// Main menu and appearance.
class TProToolPanelTab;
class TProToolPanel;
class TCheckBox;
class TMemo;
class TCustomIniFile;

class Tf_MainForm : public TForm {
public:
    explicit Tf_MainForm(TComponent* AOwner);
    ~Tf_MainForm() override;

    // ---------------------------------------------------------------- components
    // The page notebook; pages by name (PageOf).
    TNotebook* Strony = nullptr;
    // The settings pages inside the page "UstawieniaProg".
    TNotebook* str_UstawieniaProgramu = nullptr;

    // The catalogue grid (page "ListaWszystkichNorm"); its Hint holds the
    // catalogue file name after each load.
    TProStringGrid* sg_WszystkieNormy = nullptr;
    // The state view (page "NormyWgStanu") and its title bar.
    TProStringGrid* sg_NormyWgStanu = nullptr;
    TNetGradient* ng_NormyWgStanu = nullptr;
    // The preview of the catalogue grid on the appearance page "Spis_Norm".
    TProStringGrid* sg_PN_Podglad = nullptr;

    // Folders page: catalogue file, menu file, registers folder, backup folder
    // of the catalogue (folder texts end with "\").
    TFilenameEdit* edt_BazaNorm = nullptr;
    TFilenameEdit* edt_Menu = nullptr;
    TDirectoryEdit* edt_DirWykazy = nullptr;
    TDirectoryEdit* edt_KopiaBazyNorm = nullptr;
    // The head of department's login.
    TEdit* e_KierownikDzialu = nullptr;

    // State colours (page "Kolory_Stanu_Norm") and the number-column colour
    // of the catalogue grids (page "Spis_Norm").
    TColorBtn* colbtn_NormaAktualna = nullptr;
    TColorBtn* colbtn_NormaNieAktualna = nullptr;
    TColorBtn* colbtn_NormaZastUznan = nullptr;
    TColorBtn* colbtn_NormaWycofanaBezZast = nullptr;
    TColorBtn* colbtn_NormaZakladowa = nullptr;
    TColorBtn* ColorBtn_PN_KolCellNrNormy = nullptr;

    // The page of a notebook by its name; nullptr when there is none.
    static TPage* PageOf(TNotebook* Notebook, const AnsiString& Name);

    // ---------------------------------------------------------------- catalogue
    // Fills the catalogue grid from the file and refreshes the preview grid.
    // A file that cannot be read is reported, and the catalogue cannot be
    // saved until a load succeeds.
    void LoadNormList(const AnsiString& FileName);
    // Writes the grid's records to the catalogue file, offers the dated backup
    // copy and reloads the catalogue.
    void SaveNormList(TProStringGrid* Grid);
    // Regroups the catalogue by the kind of number and offers to save it.
    void GroupNormList();
    // True after a load that did not read the catalogue file whole.
    bool CatalogueIncomplete() const { return FCatalogueIncomplete; }
    // Without the final sizing of the columns to their content (the
    // benchmark times the two apart).
    void SetSizeColumnsOnLoad(bool v) { FSizeColumnsOnLoad = v; }

    // ---------------------------------------------------------------- version check
    // About page (page "Informacja"): the maker's home-page link and the
    // notice label whose hint is the notice's address.
    TQelSensitiveLabel* a_l_9 = nullptr;
    TLabel* l_SzukamPracy = nullptr;
    // Downloads the version information of the maker's site and takes the
    // published version, update address, news text, home page and notice
    // address from it; a failed download resets them. Reports nothing.
    void FetchVersionInfo();
    // The published version is newer than the running one: the first field
    // that differs is greater. False when either is not four numbers.
    bool IsNewerVersion() const;

    // ---------------------------------------------------------------- handlers
    void FormCreate(TObject* Sender);

    // ================================================================ main menu
    // The tab strip of the main menu at the window's left edge; its panels
    // are built from the menu file at start-up (BuildMainMenu).
    TProToolPanelTab* ProToolPanelTab = nullptr;
    // Builds every panel of the main menu from the menu file named by
    // edt_Menu, enabled by CurrentUserLevel and coloured from the appearance
    // page. A missing menu file is created empty and an empty one gets the
    // default tree; both end the program. BasicFilesPresent is start-up's
    // flag of the basic files (cleared when the file cannot be made). False:
    // start-up stops here.
    bool BuildMainMenu(bool& BasicFilesPresent);
    // The panels of the main menu from the open menu file (which has its
    // categories): "Normy", the shown categories, "Ustawienia", "O programie".
    void BuildMenuPanels(TCustomIniFile* MenuFile);
    // The panels' item click: an enabled item runs its command string, a
    // disabled one says that the rights are missing.
    void ProToolPanel1ItemClick(TObject* Sender, int SectionIndex, int ItemIndex);
    void ProToolPanelTabTabSlideOut(TObject* Sender, int Index, TProToolPanel* APanel);
    // The panel of the main menu with the caption; nullptr when none.
    TProToolPanel* MenuPanel(const AnsiString& Caption) const;

    // ================================================================ appearance
    // Page "UstawieniaProg": the tab strip, panels, headings, sections and
    // catalogue grids (the state colour buttons are above).
    TComboBox* cb_StylKolorowania = nullptr;
    TColorBtn* colbtn_MG_Background = nullptr;
    TColorBtn* colbtn_MG_BackgroundTo = nullptr;
    TColorBtn* colbtn_MG_TabBorder = nullptr;
    TColorBtn* colbtn_MG_Btn = nullptr;
    TColorBtn* colbtn_MG_BtnTo = nullptr;
    TColorBtn* colbtn_MG_Hover = nullptr;
    TColorBtn* colbtn_MG_HoverTo = nullptr;
    TColorBtn* colbtn_MB_FontColor = nullptr;
    TColorBtn* cbbtn_Nag_Pocz = nullptr;
    TColorBtn* cbbtn_Nag_Kon = nullptr;
    TColorBtn* cbbtn_Nag_Font = nullptr;
    TComboBox* cb_StylKoorowaniaPaneli = nullptr;
    TColorBtn* ColorBtn_ToolPanel_Color = nullptr;
    TColorBtn* ColorBtn_ToolPanel_ColorTo = nullptr;
    TColorBtn* ColorBtn_ToolPanel_FocusColor = nullptr;
    TColorBtn* ColorBtn_ToolPanel_FocusColorTo = nullptr;
    TColorBtn* ColorBtn_ToolPanel_FocusFontColor = nullptr;
    TColorBtn* ColorBtn_ToolPanel_NoFocusColor = nullptr;
    TColorBtn* ColorBtn_ToolPanel_NoFocusColorTo = nullptr;
    TColorBtn* ColorBtn_ToolPanel_NoFocusFontColor = nullptr;
    TComboBox* cb_StylSekcji = nullptr;
    TColorBtn* ColorBtn_SectionColor = nullptr;
    TColorBtn* ColorBtn_SectionColorTo = nullptr;
    TColorBtn* ColorBtn_SectionBorder = nullptr;
    TColorBtn* ColorBtn_SectionCaptionColor = nullptr;
    TColorBtn* ColorBtn_SectionCaptionColorTo = nullptr;
    TColorBtn* ColorBtn_SectionCaptionFontColor = nullptr;
    TColorBtn* ColorBtn_SectionItemFontColor = nullptr;
    TColorBtn* ColorBtn_SectionItemHoverFontColor = nullptr;
    TComboBox* cb_Styl_NormyWszystkie = nullptr;
    TColorBtn* ColorBtn_PN_ActiveCellColor = nullptr;
    TColorBtn* ColorBtn_PN_ActiveCellColorTo = nullptr;
    TCheckBox* cb_PN_ShowActiveRow = nullptr;
    TLabel* Label105 = nullptr;
    TColorBtn* ColorBtn_PN_ActiveRowColor = nullptr;
    TColorBtn* ColorBtn_PN_GridLineColor = nullptr;
    TColorBtn* ColorBtn_PN_SelectionColor = nullptr;
    TColorBtn* ColorBtn_PN_SelectionColorTo = nullptr;
    TSpeedButton* sb_PN_ZastosujDlaWszystkich = nullptr;
    // " Zapisz zmiany" and "Przywróć ustawienia domyślne".
    TSpeedButton* sb_ZastosujUstawieniaProgramu = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;

    void colbtn_MG_BackgroundClick(TObject* Sender);
    void cb_StylKolorowaniaChange(TObject* Sender);
    void cbbtn_Nag_PoczClick(TObject* Sender);
    void cb_StylKoorowaniaPaneliChange(TObject* Sender);
    void ColorBtn_ToolPanel_ColorClick(TObject* Sender);
    void colbtn_NormaAktualnaClick(TObject* Sender);
    void cb_StylSekcjiChange(TObject* Sender);
    void ColorBtn_SectionColorClick(TObject* Sender);
    void cb_Styl_NormyWszystkieChange(TObject* Sender);
    void cb_PN_ShowActiveRowClick(TObject* Sender);
    void sb_PN_ZastosujDlaWszystkichClick(TObject* Sender);
    void sb_ZastosujUstawieniaProgramuClick(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);

    // The plain text of a per-user settings file: every section and key with
    // the page's values (UserSettingsText) or the defaults of a new file
    // (DefaultUserSettingsText), owned by Login.
    AnsiString UserSettingsText(const AnsiString& Login) const;
    static AnsiString DefaultUserSettingsText(const AnsiString& Login);
    // Start-up: the settings of a file owned by the login read into the page
    // and applied to the tab strip, headings, grids and (through the menu
    // build) the panels; missing keys take their fallback values.
    void ApplyUserSettings(TCustomIniFile* Settings);
    // The per-user settings file of the login: users folder + login + ".dat";
    // users folder + login + ".user.dat" when that would be a file kept there
    // for all (users.dat, Default.dat in any case of letters, config.dat ...).
    AnsiString UserSettingsFile() const;

    // ================================================================ catalogue grid views
    void sg_WszystkieNormyKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void sg_NormyWgStanuKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void sg_WszystkieNormyDblClickCell(TObject* Sender, int ARow, int ACol);
    void sg_NormyWgStanuDblClickCell(TObject* Sender, int ARow, int ACol);

private:
    void CreateMainMenuComponents();
    void CreateAppearanceComponents();
    void WireCatalogueGrids();
    // The check dialog for catalogue row Row (its skip button shown when
    // SkipButton); the confirmed values are written back and may be saved.
    void CheckCatalogueRow(int Row, bool SkipButton);
    void FillFixedPanel(TProToolPanel* Panel, const AnsiString& Name);
    void FillCategoryPanel(TProToolPanel* Panel, const AnsiString& Category, TCustomIniFile* Menu);
    void ApplyPanelColors(TProToolPanel* Panel);
    void ApplySectionColors(TProToolPanel* Panel);
    void ApplyTabStripColors();
    void ApplyGridLook(TProStringGrid* Grid);
    void MarkSettingsChanged();
    // ================================================================ end of main menu and appearance

public:
    // ================================================================ catalogue commands
    // Every command of the main menu, the shortcut keys and the popup items:
    // a fixed command name, a category command ("category|item") or a
    // register file name of the menu. Always returns an empty text.
    AnsiString RunMenuCommand(const AnsiString& Command, const AnsiString& Caption);
    // F3 (any modifiers) and Ctrl+F: "W katalogu norm"; Ctrl+U (access level
    // above 0): the appearance of the main menu; F10: "Informacja". The
    // window sees every key first, so these work in all its controls.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // Shows the page of str_UstawieniaProgramu of the topic chosen in cb_CoZmienic.
    void cb_CoZmienicChange(TObject* Sender);

    // Company-catalogue search page "WkataloguTrelKordelin".
    TComboBox* cb_z_KryteriaSzukania = nullptr;
    TEdit* e_z_NrNormy = nullptr;
    TSpeedButton* sb_z_SprawdzNorme = nullptr;
    TSpeedButton* sb_z_Kopiuj = nullptr;
    TProStringGrid* sg_ZnajdzNormeWTrelKordelin = nullptr;
    // The standards body's page "NastroniePKN".
    TWebBrowser* webZnajdzNaPKNie = nullptr;
    TEdit* e_WyszukajWPKN_NrNormy = nullptr;
    TSpeedButton* sb_NaStroniePKN_GO = nullptr;
    TSpeedButton* sb_Refresh = nullptr;
    TSpeedButton* sb_Back = nullptr;
    TSpeedButton* sbForword = nullptr;
    TSpeedButton* sb_Home = nullptr;
    // The links between the users page and the rights page.
    TQelSensitiveLabel* QelSensitiveLabel1 = nullptr;
    TQelSensitiveLabel* QelSensitiveLabel2 = nullptr;
    // Users and rights pages.
    TListBox* lb_UserName = nullptr;
    TListBox* lb_Userzy = nullptr;
    TLabel* Label28 = nullptr;
    TComboBox* cb_Uprawnienia = nullptr;
    // The appearance topics (sorted) of the page "UstawieniaProg".
    TComboBox* cb_CoZmienic = nullptr;
    // Export page: target folder, file type and name.
    TDirectoryEdit* edt_Exportuj_Directory = nullptr;
    TComboBox* cb_Exportuj_ZapiszJakoTyp = nullptr;
    TEdit* e_Exportuj_FileName = nullptr;
    // The save dialog of "Zapisz aktualną listę jako ...".
    TSaveDialog* ZapiszListeNormJako = nullptr;
    // About page "Informacja" (a_l_9 and l_SzukamPracy above) and update page "SprawdzUaktualnienia".
    TPanel* Panel7 = nullptr;
    TImage* img_About = nullptr;
    std::array<TLabel*, 12> a_l{};   // a_l_1 to a_l_12 (a_l[8] unused: a_l_9 is the link label)
    TImage* imgGL = nullptr;
    TImage* img_Money = nullptr;
    TLabel* l_Version = nullptr;
    TSpeedButton* sb_Pomoc = nullptr;
    TLabel* l_SzukamPracy2 = nullptr;
    TTimer* Timer_SzukamPracy = nullptr;
    TSpeedButton* sb_DownUpdate = nullptr;
    TSpeedButton* sb_PobierzAktualizacje = nullptr;
    TLabel* l_Status = nullptr;
    TAniIcon* ani_Animacja = nullptr;

    // The catalogue commands of the dispatcher.
    void ReloadNormListCommand();
    void AddNormCommand();
    void DeleteNormCommand();
    void GroupNormListCommand();
    void SaveNormListCommand();
    void SaveShownListAs();
    // The state view of a view command ("Normy aktualne" ...): the catalogue's
    // standards whose state cell holds the state word.
    void ShowStateView(const AnsiString& Command);
    void ShowSearchPage();
    void ShowAboutPage();
    void ShowUpdatePage();
    // One of the eight walks that bring standards up to date.
    void UpdateNorms(const AnsiString& Command);
    // The state word of a view title; "" for any other title.
    static AnsiString StateWordOfView(const AnsiString& Title);
    // The check dialog's caption at step Position of Total:
    // "Sprawdź normę (nr P/T - x,xx%)".
    static AnsiString WalkCaption(int Position, int Total);

    // ================================================================ page navigation
    // Back, Forward and the quick pages at the window's top right.
    TPanel* p_Nawigacja = nullptr;
    TSpeedButton* sb_Zakladki_Wstecz = nullptr;   // Tag: steps gone back from the newest page
    TSpeedButton* sb_Zakladki_WPrzod = nullptr;
    TSpeedButton* sb_SzybkieZakladki = nullptr;
    TPopupMenu* pm_Zakladki = nullptr;
    TMenuItem* Listawszystkichnorm1 = nullptr;
    TMenuItem* Wyszukajnorm1 = nullptr;
    TMenuItem* WyszukajnastroniePKN1 = nullptr;
    TMenuItem* Ustawieniaprogramu1 = nullptr;
    TMenuItem* UstawieniaMenu1 = nullptr;
    TMenuItem* Ustawieniafolderw1 = nullptr;
    TMenuItem* Uytkownicy1 = nullptr;
    TMenuItem* Uprawnienia1 = nullptr;
    TMenuItem* Aktualizacje1 = nullptr;
    TMenuItem* Oprogramie1 = nullptr;
    void StronyPageChanged(TObject* Sender);
    void sb_Zakladki_WsteczClick(TObject* Sender);
    void sb_Zakladki_WPrzodClick(TObject* Sender);
    void sb_SzybkieZakladkiClick(TObject* Sender);
    void Listawszystkichnorm1Click(TObject* Sender);
    void Wyszukajnorm1Click(TObject* Sender);
    void WyszukajnastroniePKN1Click(TObject* Sender);
    void Ustawieniaprogramu1Click(TObject* Sender);
    void UstawieniaMenu1Click(TObject* Sender);
    void Ustawieniafolderw1Click(TObject* Sender);
    void Uytkownicy1Click(TObject* Sender);
    void Uprawnienia1Click(TObject* Sender);
    void Aktualizacje1Click(TObject* Sender);
    void Oprogramie1Click(TObject* Sender);
    void FormShow(TObject* Sender);

    // ================================================================ about, help, links, closing
    void a_l_3Click(TObject* Sender);
    void a_l_5Click(TObject* Sender);
    void a_l_7Click(TObject* Sender);
    void a_l_9Click(TObject* Sender);
    void sb_PomocClick(TObject* Sender);
    void sb_DownUpdateClick(TObject* Sender);
    void imgGLClick(TObject* Sender);
    void img_MoneyClick(TObject* Sender);
    void Timer_SzukamPracyTimer(TObject* Sender);
    void l_SzukamPracy2Click(TObject* Sender);
    void sb_NaStroniePKN_GOClick(TObject* Sender);
    void sb_HomeClick(TObject* Sender);
    void sb_BackClick(TObject* Sender);
    void sbForwordClick(TObject* Sender);
    void sb_RefreshClick(TObject* Sender);
    void e_WyszukajWPKN_NrNormyKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void QelSensitiveLabel1Click(TObject* Sender);
    void QelSensitiveLabel2Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The maker's home page (the address the version information gave, else the site).
    AnsiString HomePageAddress() const;

private:
    void CreateNavigationComponents();
    void ConnectPageHandlers();
    bool ShowHistoryEntry(int Index);
    void RunQuickPage(const char* Command);
    void CreateCommandComponents();
    void RunCategoryCommand(const AnsiString& Command);
    void RunListItem(const AnsiString& Command, const AnsiString& Caption);
    void UpdateSelectedNorm();
    // The state view rebuilt from the catalogue for W under the title Title.
    void BuildStateView(const AnsiString& Word, const AnsiString& Title);
    // The about page's values and layout; MoveLinks places the link pictures too.
    void RefreshAboutPage(bool MoveLinks);
    // Step 1 of the about page: the version information, once per run.
    void CheckForUpdateOnce();
    void ReloadFromFile();
    // ================================================================ end of catalogue commands

public:

    // ================================================================ registers
    // Register page "NowyWykaz": heading, editing buttons, the register grid
    // and its popup menu (present in editing mode).
    TNetGradient* ng_NowyEdytujWykaz = nullptr;
    TPanel* pan_NowyWykaz = nullptr;
    TSpeedButton* sb_NowyWykaz_Edytuj = nullptr;
    TSpeedButton* sb_Edytuj_Edycja = nullptr;
    TSpeedButton* sb_Edytuj_Wykaz = nullptr;
    TSpeedButton* sb_Edytuj_Linie = nullptr;
    TSpeedButton* sb_Edytuj_Format = nullptr;
    // Enabled: the register has unsaved changes.
    TSpeedButton* sb_Edytuj_ZapiszZmiany = nullptr;
    TProStringGrid* sg_NowyEdytujWykaz = nullptr;
    TPopupMenu* pm_NoyEdytujWykaz = nullptr;

    // Menu editor page "DostosujGrupyPrziPoz".
    TGroupBox* GroupBox4 = nullptr;
    TLabel* Label46 = nullptr;
    TLabel* Label47 = nullptr;
    TLabel* l_MG_Warning = nullptr;
    TQelSensitiveLabel* QelSensitiveLabel3 = nullptr;
    TQelSensitiveLabel* QelSensitiveLabel4 = nullptr;
    TEdit* e_MG_NazwaNowejPoz = nullptr;
    TKxCheckListBox* clb_MG_PrzyciskiMenuGlownego = nullptr;
    TSpeedButton* sb_MG_Dodaj = nullptr;
    TSpeedButton* sb_MG_Usun = nullptr;
    TSpeedButton* sb_MG_Zapisz = nullptr;
    TSpeedButton* sb_MG_Czysc = nullptr;
    TSpeedButton* sb_MG_ZmienNazwe = nullptr;
    TListBox* lb_G_Spis = nullptr;
    TEdit* e_G_DodajNowa = nullptr;
    TSpeedButton* sb_G_Dodaj = nullptr;
    TSpeedButton* sb_G_Usun = nullptr;
    TSpeedButton* sb_G_Zapisz = nullptr;
    TListBox* lb_W_Spis = nullptr;
    TEdit* e_W_Dodaj = nullptr;
    TSpeedButton* sb_W_Dodaj = nullptr;
    TSpeedButton* sb_W_Usun = nullptr;
    TSpeedButton* sb_W_OtworzWykaz = nullptr;
    TSpeedButton* sb_W_UtworzWykaz = nullptr;
    TSpeedButton* sb_W_Zapisz = nullptr;
    TSpeedButton* sb_ImportujZPlikuNaUstawieniachMenu = nullptr;
    // The rest of the menu editor: caption bar, rename and clear buttons of
    // the groups and items, their warnings, the page's notice, and the hidden
    // labels: the chosen item's register file name and the owners of the
    // pending groups (a main-menu item) and items (a group).
    TNetGradient* ng_DostosujMenu = nullptr;
    TSpeedButton* sb_G_ZmienNazwe = nullptr;
    TSpeedButton* sb_G_Czysc = nullptr;
    TSpeedButton* sb_W_ZmienNazwe = nullptr;
    TSpeedButton* sb_W_Czysc = nullptr;
    TLabel* l_G_Warning = nullptr;
    TLabel* l_W_Warning = nullptr;
    TLabel* l_MG_Uwaga = nullptr;
    TLabel* lbl_Menu_NazwaPoz = nullptr;
    TLabel* l_pom_PMG_NazwaPoz = nullptr;
    TLabel* l_pom_W_NazwaPoz = nullptr;

    // Import page "Importuj".
    TGroupBox* gb_Importuj_NazwaKategorii = nullptr;
    TListBox* lb_Importuj_GrupyProdoktow = nullptr;
    TListBox* lb_Importuj_ListaWykazow = nullptr;
    TLabel* lbl_Importuj_NazwaGrupy = nullptr;
    TFileLabel* lbl_Importuj_ImportowanyPlik = nullptr;
    TEdit* e_Importuj_NazwaNowejPoz = nullptr;
    TSpeedButton* sb_ImportujPlik = nullptr;
    TProgressBar* pbar_ImportowaniePliku = nullptr;
    TLabel* Label38 = nullptr;
    TPanel* p_Worning = nullptr;
    TImage* img_Warning = nullptr;
    TImage* img_OK = nullptr;
    TQelSensitiveLabel* QelSensitiveLabel5 = nullptr;

    // Export page "ZapiszWykazJako": the category's product groups and their registers.
    TGroupBox* gb_Eksportuj_NazwaKategorii = nullptr;
    TListBox* lb_Eksportuj_GrupyProduktow = nullptr;
    TListBox* lb_Eksportuj_ListaWykazow = nullptr;

    // Hidden: the register files the folder scan found.
    TListBox* lb_DoWyszukiwania_Ukryte = nullptr;

    // Opens a register file into the register grid, matched against the
    // catalogue; Caption names the product item. False when the open
    // register's changes kept it (cancelled) or the file could not be read.
    bool OpenListFile(const AnsiString& FileName, const AnsiString& Caption);
    // An empty register in editing mode, to be saved under FileName.
    void NewListGrid(const AnsiString& FileName, const AnsiString& Caption);
    // Writes the register's stored fields to CurrentListFile; false (after
    // its message) when the file could not be written.
    bool SaveListFile();
    // A free register file name in the registers folder derived from Name:
    // no file has it, and neither this run nor the menu file as it is now
    // hands it out. With Create its file is made, empty, by exclusive
    // creation, so that a register written there never replaces another
    // login's (the folder made first when missing; EFCreateError when no file
    // can be made).
    AnsiString MakeListFileName(const AnsiString& Name, bool Create = false);
    // The registers folder, ending with "\".
    AnsiString ListFolder() const;
    // The registers folder + Name for a register name of the menu file; a
    // name that leaves the folder is refused with a message and gives "".
    AnsiString ListFilePath(const AnsiString& Name);
    // What an existing file is to the program when it is one of its own: a
    // register the menu names, the catalogue, the menu file, config.dat, the
    // users file or a login's settings file (as "wykazem pozycji "...""), and
    // below level 3 a dated copy of the catalogue; "" for any other file.
    // Such a file is never replaced by an export or deleted by an import.
    AnsiString ProgramFileRole(const AnsiString& FileName);
    // Editing mode of the register grid (on exactly while "Linie" is enabled).
    bool ListEditing() const;
    void sb_NowyWykaz_EdytujClick(TObject* Sender);

    // The drop-down menus of the buttons "Wykaz", "Linie", "Edycja" and
    // "Format"; the undo component of the register grid; the print dialogs.
    TPopupMenu* pm_Wykaz = nullptr;
    TPopupMenu* pm_Linie = nullptr;
    TPopupMenu* pm_Edycja = nullptr;
    TPopupMenu* pm_Format = nullptr;
    TProGridUndoRedo* UndoRedo_NowyEdytujWykaz = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TProPreviewDialog* ProPreviewDialog1 = nullptr;
    TProGridPrintSettingsDialog* ProGridPrintSettingsDialog1 = nullptr;
    // The commands of the register page's menus (both menus of an item run
    // the same command).
    enum TListCommand {
        lcReload, lcCheckNorms, lcClearAll, lcPreview, lcPrint, lcPrintSettings, lcSave,
        lcInsertAbove, lcInsertBelow, lcInsertSeveral, lcDeleteLine, lcMoveToTop, lcMoveToBottom,
        lcUndo, lcRedo, lcCut, lcCopy, lcPaste, lcCopyAll, lcSelectAll, lcClear, lcClearColumn, lcClearRow,
        lcCellHeight, lcCellWidth, lcFitToContent, lcGrowWhileTyping
    };
    void RunListCommand(TListCommand Command);
    // The buttons drop their menus down below themselves.
    void sb_Edytuj_EdycjaClick(TObject* Sender);
    void sb_Edytuj_WykazClick(TObject* Sender);
    void sb_Edytuj_LinieClick(TObject* Sender);
    void sb_Edytuj_FormatClick(TObject* Sender);
    void pm_NoyEdytujWykazPopup(TObject* Sender);
    void pm_WykazPopup(TObject* Sender);
    void Drukuj1Click(TObject* Sender);
    void Podgldwydruku1Click(TObject* Sender);
    void UstaieniaWydruku1Click(TObject* Sender);
    void sg_NowyEdytujWykazKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    // Export page "ZapiszWykazJako" (folder, file name and format further up).
    TSpeedButton* sb_Exportuj = nullptr;
    void lb_Eksportuj_GrupyProduktowClick(TObject* Sender);
    void lb_Eksportuj_ListaWykazowClick(TObject* Sender);
    void edt_Exportuj_DirectoryChange(TObject* Sender);
    void sb_ExportujClick(TObject* Sender);
    void lb_Eksportuj_GrupyProduktowKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    // The menu file's categories into the menu editor, and the editor shown.
    // False: the user kept the editor's unsaved lists, shown as they stand.
    bool LoadMenuSettings();
    // The keys of a section of the menu file into List.
    void ReadCategoryNames(const AnsiString& Section, TCustomListBox* List);
    // The keys of a section of the menu file as they stand in it now; false (Keys untouched) when
    // there is no menu file.
    bool ReadCategoryKeys(const AnsiString& Section, TStrings* Keys);

    // ================================================================ menu editor
    // Three levels: main-menu items (MG), the groups of the chosen one (G)
    // and the items of the chosen group (W). A level is pending while its
    // save button is enabled; its save writes its own section of the menu file.
    void clb_MG_PrzyciskiMenuGlownegoClick(TObject* Sender);
    void lb_G_SpisClick(TObject* Sender);
    void lb_W_SpisClick(TObject* Sender);
    void clb_MG_PrzyciskiMenuGlownegoClickCheck(TObject* Sender);
    void e_MG_NazwaNowejPozChange(TObject* Sender);
    void e_G_DodajNowaChange(TObject* Sender);
    void e_W_DodajChange(TObject* Sender);
    void sb_MG_DodajClick(TObject* Sender);
    void sb_G_DodajClick(TObject* Sender);
    void sb_W_DodajClick(TObject* Sender);
    void sb_MG_ZmienNazweClick(TObject* Sender);
    void sb_G_ZmienNazweClick(TObject* Sender);
    void sb_W_ZmienNazweClick(TObject* Sender);
    void sb_MG_UsunClick(TObject* Sender);
    void sb_G_UsunClick(TObject* Sender);
    void sb_W_UsunClick(TObject* Sender);
    void sb_MG_CzyscClick(TObject* Sender);
    void sb_G_CzyscClick(TObject* Sender);
    void sb_W_CzyscClick(TObject* Sender);
    void sb_MG_ZapiszClick(TObject* Sender);
    void sb_G_ZapiszClick(TObject* Sender);
    void sb_W_ZapiszClick(TObject* Sender);
    void clb_MG_PrzyciskiMenuGlownegoDblClick(TObject* Sender);
    void lb_G_SpisDblClick(TObject* Sender);
    void lb_W_SpisDblClick(TObject* Sender);
    void sb_W_OtworzWykazClick(TObject* Sender);
    void sb_W_UtworzWykazClick(TObject* Sender);
    void e_MG_NazwaNowejPozKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void e_G_DodajNowaKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void e_W_DodajKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void clb_MG_PrzyciskiMenuGlownegoKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void lb_G_SpisKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void lb_W_SpisKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    // Import page handlers.
    TFilenameEdit* edt_ImportujWykaz = nullptr;
    TSpeedButton* sb_Importuj_DodajGrupe = nullptr;
    TCheckBox* cb_Importuj_UsunZrodlo = nullptr;
    void edt_ImportujWykazChange(TObject* Sender);
    void lb_Importuj_GrupyProdoktowClick(TObject* Sender);
    void lb_Importuj_ListaWykazowClick(TObject* Sender);
    void sb_Importuj_DodajGrupeClick(TObject* Sender);
    void e_Importuj_NazwaNowejPozChange(TObject* Sender);
    void sb_ImportujPlikClick(TObject* Sender);
    void lb_Importuj_GrupyProdoktowKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // The import box "Importuj z pliku:" of the menu editor page.
    TGroupBox* gb_ImportujNaUstawieniachMenu = nullptr;
    TFilenameEdit* e_NazwaPliku_ImportujNaUstawieniachMenu = nullptr;
    TEdit* e_Importuj_NazwaNowejPoz_NaUstawieniachMenu = nullptr;
    TCheckBox* cb_UsunPlik_ImportujNaUstawieniachMenu = nullptr;
    void e_NazwaPliku_ImportujNaUstawieniachMenuChange(TObject* Sender);
    void e_Importuj_NazwaNowejPoz_NaUstawieniachMenuChange(TObject* Sender);
    void sb_ImportujZPlikuNaUstawieniachMenuClick(TObject* Sender);
    void e_NazwaPliku_ImportujNaUstawieniachMenuKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // The box's import button after a group or an item of the menu editor was chosen.
    void RefreshMenuImportButton();
    // "Przejdź do zakładki Importuj" and the two instruction links.
    void QelSensitiveLabel3Click(TObject* Sender);
    void QelSensitiveLabel4Click(TObject* Sender);

    // Imports a tab-separated text file as a new register of the menu's
    // group; false (after its message) when nothing was imported.
    bool ImportListFile(const AnsiString& FileName, const AnsiString& ItemName, const AnsiString& Category,
                        const AnsiString& Group, bool DeleteSource);

    // The folder scan's callback: the found file, by its path inside the
    // registers folder, into lb_DoWyszukiwania_Ukryte.
    bool AddFoundListFile(const AnsiString& Path, const TSearchRec& Entry);

private:
    // The menu editor's handlers by level (0 MG, 1 G, 2 W).
    void ConnectMenuEditor();
    void MenuNameChanged(int Level);
    void MenuAdd(int Level);
    void MenuRename(int Level);
    void MenuDelete(int Level);
    void MenuSave(int Level);
    void MenuListDblClick(int Level);
    void MenuEditKeyDown(int Level, Word& Key, TShiftState Shift);
    void MenuListKeyDown(int Level, Word& Key, TShiftState Shift);
    // A change of groups or items first saves the pending levels above it.
    bool SaveMenuLevelsAbove(int Level);
    // The lists below Level emptied; their pending changes dropped.
    void DropMenuLevelsBelow(int Level);
    // Before the editor's lists are dropped (read again, the window
    // closed): each level with unsaved changes is asked about (yes saves,
    // no drops); Then names what "no" goes on to. False: cancelled, or a
    // save that did not write.
    bool KeepOrSaveMenuChanges(const AnsiString& Then);
    bool MenuChangesPending() const;
    // The names given a new name since the level's last save: old, new.
    std::array<std::vector<std::pair<AnsiString, AnsiString>>, 3> FMenuRenames;
    // The names deleted from each level's list since it was read or saved.
    std::array<std::vector<AnsiString>, 3> FMenuDeleted;
    // The level's renames and deletions forgotten (its list read or saved).
    void ForgetMenuChanges(int Level);
    // The section of the menu file whose keys the level's list shows.
    AnsiString MenuLevelSection(int Level);
    // What the level's section holds and its list does not show joins the
    // list (another page wrote it); names deleted or renamed here stay away.
    void MergeMenuLevel(int Level);
    // Writes of the menu file by the import, and how many of them the
    // editor's lists have taken in.
    unsigned FMenuFileWrites = 0;
    unsigned FMenuListsSeen = 0;
    // The editor's lists after another page changed the menu file.
    void ReadMenuListsAgain();

    void CreateRegisterComponents();
    void CreateMenuComponents();
    void CreateImportComponents();
    // The open register's item name, as the menu named it when it was opened.
    AnsiString ListItemName() const;
    AnsiString FListItemName;
    // Empties the register grid into Rows rows of nine columns with headers.
    void ClearListGrid(int Rows);
    // The yes/no/cancel question about the modified register; Then names
    // what "no" goes on to. False: cancelled.
    bool AskSaveModifiedList(const AnsiString& Then);
    // Unsaved changes in the open register, counting a cell still being edited: its edit ends first.
    bool ListModified();
    // Before the register of the item Caption replaces the open one: the
    // question above when the open register has unsaved changes. False: cancelled.
    bool KeepOrSaveListBefore(const AnsiString& Caption);
    // The register menus and the print dialogs (qx_Unit1_WykazPolecenia.cpp)
    // and the export page's controls.
    void CreateListCommandComponents();
    void CreateExportComponents();
    // Editing mode off; Ask: first the save question of modified changes.
    // False: cancelled (or the save failed), nothing changed.
    bool LeaveListEditing(bool Ask);
    void EnterListEditing();
    // The enabling of "Cofnij", "Ponów" and "Wytnij" in a menu.
    void UpdateListEditItems(TPopupMenu* Menu);
    // Drops Menu down below Button.
    void DropDownListMenu(TSpeedButton* Button, TPopupMenu* Menu);
    void ClearWholeList();
    void ReloadListFromDisk();
    void SetListCellSize(bool Height);
    void InsertListLines(int Row, int Count);
    // The import button of a form from its name, source file, group and items.
    struct TImportForm;
    TImportForm ImportPageForm();
    TImportForm ImportMenuForm();
    void RunImport(const TImportForm& Form);
    void UpdateImportButton(const TImportForm& Form);
    // The import page's source file edit and the summary's file label emptied.
    void ClearImportFile();
    // The import page's groups of Category read from the menu file, none
    // chosen; Opening notes whether the category is in the main menu then.
    void ReadImportGroups(const AnsiString& Category, bool Opening);
    // The category and group of an import from the page as the menu file
    // names them now; false when the group is gone from it since the page
    // read it (itself or its category renamed or removed).
    bool FindImportGroup(const TImportForm& Form, AnsiString& Category, AnsiString& Group);
    bool FImportCategoryListed = false;
    // ================================================================ end of registers

public:
    // ================================================================ start-up, folders, users, search
    // Folders page "UstawieniaFolderow" (edt_BazaNorm, edt_Menu, edt_DirWykazy
    // and edt_KopiaBazyNorm above): the users folder, reload and save.
    TNetGradient* ng_Foldery = nullptr;
    TGroupBox* gb_Foldery = nullptr;
    TDirectoryEdit* edt_DirUzytkownicy = nullptr;
    TSpeedButton* sb_Foldery_Odswierz = nullptr;
    TSpeedButton* sb_Foldery_Zapisz = nullptr;
    // Users page "Uzytkownicy" (e_KierownikDzialu and lb_UserName above).
    TEdit* e_NowyUzytkownik = nullptr;
    TSpeedButton* sb_DodajUzytkownika = nullptr;
    TSpeedButton* sb_UsunUzytkownika = nullptr;
    TCheckBox* cb_UserSpozaListy = nullptr;
    TCheckBox* cb_KierDzialuMaNieOgrMozliwosci = nullptr;
    TCheckBox* cb_KierMozeZmieniac = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TSpeedButton* sb_Uzytkownicy_Zapisz = nullptr;
    // Rights page "Uprawnienia" (lb_Userzy, Label28 and cb_Uprawnienia above).
    TMemo* Memo1 = nullptr;
    // Search page "WkataloguTrelKordelin" (cb_z_KryteriaSzukania, e_z_NrNormy,
    // sb_z_SprawdzNorme, sb_z_Kopiuj and the result grid above).
    TEdit* e_z_Tytul = nullptr;
    TEdit* e_z_Opis = nullptr;
    TEdit* e_z_Zastopiona = nullptr;
    TSpeedButton* sb_ZnajdzNormeWTrelKordelin = nullptr;
    TSpeedButton* sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanie = nullptr;
    TLabel* lbl_ZnajdzNormeWTrelKordelni = nullptr;

    // Configuration file "config.dat" in the program folder.
    AnsiString ConfigFileName() const;
    // The configuration into the folders and users pages, the missing places
    // completed with their defaults (as the reload button does). False when
    // the file is missing or cannot be read.
    bool ReadConfiguration();
    // The users folder, ending with a delimiter.
    AnsiString UsersFolder() const;
    // The login of the user running the program.
    static AnsiString Login();

    void sb_Foldery_OdswierzClick(TObject* Sender);
    void sb_Foldery_ZapiszClick(TObject* Sender);
    void edt_BazaNormChange(TObject* Sender);
    void edt_BazaNormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void e_KierownikDzialuChange(TObject* Sender);
    void e_KierownikDzialuKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    void e_NowyUzytkownikKeyPress(TObject* Sender, char& Key);
    void e_NowyUzytkownikChange(TObject* Sender);
    void e_NowyUzytkownikKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void sb_DodajUzytkownikaClick(TObject* Sender);
    void lb_UserNameClick(TObject* Sender);
    void lb_UserNameKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void sb_UsunUzytkownikaClick(TObject* Sender);
    void cb_UserSpozaListyClick(TObject* Sender);
    void CheckBox1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void lb_UserzyClick(TObject* Sender);
    void cb_UprawnieniaChange(TObject* Sender);
    void lb_UserzyKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    void sb_ZnajdzNormeWTrelKordelin_NoweWyszukiwanieClick(TObject* Sender);
    void sb_ZnajdzNormeWTrelKordelinClick(TObject* Sender);
    void e_z_NrNormyKeyPress(TObject* Sender, char& Key);
    void e_z_NrNormyKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void sg_ZnajdzNormeWTrelKordelinClickCell(TObject* Sender, int ARow, int ACol);
    void sb_z_KopiujClick(TObject* Sender);
    void sg_ZnajdzNormeWTrelKordelinDblClickCell(TObject* Sender, int ARow, int ACol);
    void sb_z_SprawdzNormeClick(TObject* Sender);

private:
    void CreateFolderPage();
    void CreateUserPages();
    void CreateSearchPage();
    // Start-up steps; false where start-up stops.
    void MarkFirstRun();
    bool StartConfiguration(bool& BasicFiles);
    bool StartUsers(bool& BasicFiles);
    void StartUserSettings();
    void StartCatalogue();
    void WriteSampleRegisters();
    // The default config.dat where there is none; false when nothing was
    // written (one is there now, or the write failed and said so).
    bool WriteDefaultConfiguration();
    // Complete the five places with their defaults; with Delimiters the
    // registers and users folders get their trailing delimiter.
    void CompletePaths(bool Delimiters);
    // The plain text of config.dat from the pages: with Defaults the default
    // file's options ("1", "1", "0") and six empty lines, else the options of
    // the check boxes and five empty lines.
    AnsiString ConfigurationText(bool Defaults) const;
    // Writes config.dat under its lock, after the look at it. False when it
    // was not written: Kept tells that the user kept another login's file or
    // that another login's save held it (each said in its message), else the
    // write failed (after the message).
    bool WriteConfiguration(const AnsiString& PlainText, bool& Kept);
    // The users list into section UsersName of users.dat (when it exists);
    // true when written, or when there is no file to write it into. False,
    // the list kept on the page, when another login changed the file since it
    // was read and the user chose to keep it, when another login's save held
    // it, and after the message of a failed write: the file could not be
    // written, or another login removed it after it was read.
    bool SaveUsersList();
    // The users of section UsersName into the users page's list, read from
    // the users file of Folder.
    void ReadUsersList(TCustomIniFile& Users, const AnsiString& Folder);
    // The users folder whose users the list shows.
    AnsiString FUsersListFolder;
    // Lines First to Last - 1 of config.dat into the pages' controls.
    void ShowConfigurationLines(const TStrings& Lines, int First, int Last);
    // Unsaved changes of the users page (Users: its head of department,
    // options and logins) or the folders page (its five places), against the
    // configuration and the users list as last read or written.
    bool SettingsChanged(bool Users) const;
    void RememberConfiguration();
    void RememberUsersList();
    // The save buttons on exactly while something is unsaved.
    void RefreshSettingsSaveButtons();
    // The page's values as last read or written shown again.
    void DropSettingsChanges(bool Users);
    // Asks about the unsaved changes of the pages named: Yes saves them, No
    // drops them (No does Then, as the question tells). False when the user
    // cancels or the save did not write them.
    bool KeepOrSaveSettingsChanges(bool Users, bool Folders, const AnsiString& Then);
    // The same for the page shown, before another page is shown.
    bool LeaveSettingsPage();
    // The question about unsaved changes: Question, then what Yes, No (Then)
    // and Cancel do; the answer.
    static int AskToSaveChanges(const AnsiString& Question, const AnsiString& Then);
    AnsiString FSavedConfiguration;
    AnsiString FSavedUsersList;
    // The list read from users.dat of the users folder; false (the list as
    // it was) when the file is missing or cannot be read.
    bool ReadUsersListOfFolder();
    // The check dialog for row R of the result grid.
    void CheckFoundNorm(int R);
    // The catalogue row of the standard of result row R, as the result shows it: while the
    // catalogue keeps its rows (deletions are followed), the row the search found it in, when
    // that row still holds its number; once the catalogue has been filled anew (loaded,
    // regrouped), the row holding the same record, the nearest to where it was found, else the
    // only row holding its number. -1 when no row is surely the standard's.
    int FoundNormRow(int R) const;
    // Catalogue row Row deleted: the results found below it move up with their rows.
    void FollowDeletedNormRow(int Row);
    // The catalogue row each result was found in, by result row - 1; 0 for one deleted since.
    std::vector<int> FFoundRows;
    // The catalogue has been filled anew since the search: FFoundRows only say where to look first.
    bool FFoundRowsRefilled = false;
    // ================================================================ end of start-up, folders, users, search

private:
    void CreateComponents();
    void CreateVersionComponents();
    // A grid of the window placed on Parent with its name (TProStringGrid
    // and the edit controls are kept apart in their own source files).
    TProStringGrid* NewGrid(TWinControl* Parent, const char* Name, TAlign Align);
    std::array<std::int32_t, 5> StateColors() const;
    AnsiString CatalogueFileName() const;
    AnsiString BackupFolder() const;
    // The catalogue and preview grids from the record lines.
    // The grids from the catalogue text: one record per line.
    void FillNormGrids(std::string_view Text);
    // The same for the file's lines.
    void FillNormGrids(const std::vector<std::string_view>& Lines);
    // Writes the catalogue text to the catalogue file (its folder created
    // first); raises on failure, the file being left as it was. False, with
    // nothing written, when another login changed the file since it was read
    // and the user chose to keep it.
    bool WriteNormFile(const AnsiString& Bytes);
    // The same for the bytes of ACount runs one after the other, ARun(i)
    // giving run i in turn (runs may be made while earlier ones are written,
    // once the file may be replaced: AStart is called then).
    bool WriteNormFile(std::size_t ACount, const std::function<void()>& AStart,
                       const std::function<std::string_view(std::size_t)>& ARun);
    bool RefuseIncompleteSave();

    bool FCatalogueIncomplete = false;
    bool FSizeColumnsOnLoad = true;
};

extern Tf_MainForm* f_MainForm;
