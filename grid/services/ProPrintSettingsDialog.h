#pragma once
// The print settings dialog: edits a grid's PrintSettings in a modal form with a
// live preview of the first page; Cancel puts the settings back as they were.
#include <vector>

#include "grid/services/ProSpin.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TProStringGrid;
class TPrintSettings;

enum TPrintSettingsOption : unsigned {
    psBorders = 1, psGeneral = 2, psFonts = 4, psDateTime = 8, psTitle = 16, psPages = 32, psMargins = 64,
    psSpacing = 128, psOrientation = 256, psSaveSettings = 512
};
using TPrintSettingsOptions = unsigned;
constexpr TPrintSettingsOptions AllPrintSettingsOptions = 1023;
enum TPrintDimensions { pdmm, pdinch };

class TProGridPrintSettingsForm : public TForm {
public:
    explicit TProGridPrintSettingsForm(TComponent* AOwner);
    TProStringGrid* Grid = nullptr;
    AnsiString IniFile;
    bool ShowPreview = true;
    // Fills the controls from the grid's settings (no write-back meanwhile).
    void FillControls();
    // Every control's value into the grid's settings, then the preview.
    void WriteBack();
    void ApplyOptions(TPrintSettingsOptions Options);
    void ApplyPreview(bool Show);
    void ApplyDimensions(TPrintDimensions Dimensions);
    void LoadSettings();
    void SaveSettings();

    // The page control (its tabs through TabCount, TabSheet and ShowTab).
    TWinControl* Pages;
    int TabCount() const;
    TWinControl* TabSheet(int Index) const;
    bool TabShown(int Index) const;
    void ShowTab(int Index, bool Show);
    TPanel* PreviewPanel;
    TPaintBox* PreviewBox;
    TButton *OkButton, *CancelButton;
    TFontDialog* FontDialog;
    TOpenDialog* OpenDialog;
    TSaveDialog* SaveDialog;
    TGroupBox *BordersGroup, *GeneralGroup, *FontsGroup, *DateTimeGroup, *TitleGroup, *PagesGroup, *MarginsGroup,
        *OrientationGroup, *SpacingGroup, *SaveGroup;
    TComboBox *BorderList, *BorderStyleList, *FitList, *DateList, *TimeList, *TitleList, *PagesList,
        *OrientationList;
    TCheckBox *AutoSizeCols, *AutoSizeRows, *CenterBox, *RepeatRows, *RepeatCols, *GraphicsBox, *DisplayFontBox;
    TButton *HeaderFontBtn, *FooterFontBtn, *TableFontBtn, *FixedFontBtn, *LoadBtn, *SaveBtn;
    TEdit *DateFormatEdit, *PrefixEdit, *SeparatorEdit, *SuffixEdit;
    TMemo* TitleMemo;
    TProSpinEdit *TopSpin, *LeftSpin, *RightSpin, *BottomSpin, *RowSpin, *ColSpin, *TitleSpin;
    TRadioButton *MmRadio, *InchRadio;
    std::vector<TLabel*> UnitLabels;

private:
    // A spin edit of a length in 0.1 mm: the setting's exact value and the text shown for it, so that
    // a value the user leaves alone goes back exactly, not as its rounded display in the other unit.
    struct TLengthEdit {
        TProSpinEdit* Spin;
        int (TPrintSettings::*Get)() const;
        void (TPrintSettings::*Set)(int);
        int Exact = 0;
        AnsiString Shown;
    };
    std::vector<TLengthEdit> FLengths;
    void ShowLength(TLengthEdit& L, int Value);
    void ChangeUnit(bool Inch);
    void UpdateEnabling();
    void PaintPreview();
    void EditFont(TFont* F);
    double Factor() const;
    bool FUpdating = false;
    bool FDimensions = false;
    bool FInch = false;
};

class TProGridPrintSettingsDialog : public TCommonDialog {
public:
    explicit TProGridPrintSettingsDialog(TComponent* AOwner);
    ~TProGridPrintSettingsDialog() override;
    // True when closed with OK; without a grid Exception
    // "The dialog does not have a grid component assigned."
    bool Execute() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The dialog's form, made when first asked for (or shown).
    TProGridPrintSettingsForm* Form();

    TProStringGrid* Grid() const { return FGrid; }
    void SetGrid(TProStringGrid* v);
    TPrintSettingsOptions Options() const { return FOptions; }
    void SetOptions(TPrintSettingsOptions v);
    bool PrintPreview() const { return FPrintPreview; }
    void SetPrintPreview(bool v);
    TPrintDimensions PrintDimensions() const { return FPrintDimensions; }
    void SetPrintDimensions(TPrintDimensions v);
    const AnsiString& IniFile() const { return FIniFile; }
    void SetIniFile(const AnsiString& v) { FIniFile = v; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& v) { FCaption = v; }

private:
    TProStringGrid* FGrid = nullptr;
    TProGridPrintSettingsForm* FForm = nullptr;
    bool FFormMade = false;
    // What was set before the form was made, applied to it when it is.
    bool FOptionsSet = false, FPreviewSet = false, FDimensionsSet = false;
    TPrintSettingsOptions FOptions = AllPrintSettingsOptions;
    bool FPrintPreview = true;
    TPrintDimensions FPrintDimensions = pdmm;
    AnsiString FIniFile, FCaption;
    bool FBusy = false;
};
