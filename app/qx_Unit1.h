#pragma once
// The main window: the page notebook with the catalogue, its views, the
// register pages and the settings pages.
#include <array>
#include <cstdint>

#include "platform/gui/Forms.h"

class TNotebook;
class TPage;
class TEdit;
class TProStringGrid;
class TNetGradient;
class TFilenameEdit;
class TDirectoryEdit;
class TColorBtn;

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

    // ---------------------------------------------------------------- handlers
    void FormCreate(TObject* Sender);

private:
    void CreateComponents();
    // A grid of the window placed on Parent with its name (TProStringGrid
    // and the edit controls are kept apart in their own source files).
    TProStringGrid* NewGrid(TWinControl* Parent, const char* Name, TAlign Align);
    std::array<std::int32_t, 5> StateColors() const;
    AnsiString CatalogueFileName() const;
    AnsiString BackupFolder() const;
    // The catalogue and preview grids from the record lines.
    void FillNormGrids(const TStrings& Lines);
    // Writes record lines to the catalogue file (its folder created first);
    // raises on failure, the file being left as it was.
    void WriteNormFile(const TStrings& Lines);
    bool RefuseIncompleteSave();

    bool FCatalogueIncomplete = false;
    bool FSizeColumnsOnLoad = true;
};

extern Tf_MainForm* f_MainForm;
