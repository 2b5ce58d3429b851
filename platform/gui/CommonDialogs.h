#pragma once
// The common dialogs: open and save file, colour, font, folder, print and
// printer set-up. Each runs through the dialog hook (Dialogs.h) as a
// dkCommonDialog request named by its class ("TSaveDialog", "SelectDirectory"
// ...), so that tests answer it by script. What crosses in Request.Values:
//   TOpenDialog, TSaveDialog  in: the FileName; out: the chosen file names
//                             (a name without an extension gets the chosen filter's one, or
//                             DefaultExt where that names none or several; only with DefaultExt)
//                             The dialog opens in InitialDir, else in the user's home folder.
//   TColorDialog              in and out: the colour (a number, "$00BBGGRR" or a name as "clRed")
//   TFontDialog               in and out: name, size in points, style bits (fsBold ...), colour
//   SelectDirectory           in and out: the folder
//   TPrintDialog, TPrinterSetupDialog  in and out: "portrait" or "landscape"
// The hook's result IDOK (mrOk) accepts; anything else cancels.
#include <functional>
#include <memory>

#include "platform/gui/Component.h"
#include "platform/gui/Graphics.h"

struct TDialogRequest;

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // True when the user accepted.
    virtual bool Execute() = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    void DoShow();
    void DoClose();
    // Runs the request through the dialog hook between OnShow and OnClose; true when accepted.
    bool RunShown(TDialogRequest& Request);
};

enum TOpenOption : unsigned {
    ofReadOnly = 0x000001,
    ofOverwritePrompt = 0x000002,
    ofHideReadOnly = 0x000004,
    ofNoChangeDir = 0x000008,
    ofShowHelp = 0x000010,
    ofNoValidate = 0x000020,
    ofAllowMultiSelect = 0x000040,
    ofExtensionDifferent = 0x000080,
    ofPathMustExist = 0x000100,
    ofFileMustExist = 0x000200,
    ofCreatePrompt = 0x000400,
    ofShareAware = 0x000800,
    ofNoReadOnlyReturn = 0x001000,
    ofNoTestFileCreate = 0x002000,
    ofNoNetworkButton = 0x004000,
    ofNoLongNames = 0x008000,
    ofOldStyleDialog = 0x010000,
    ofNoDereferenceLinks = 0x020000,
    ofEnableIncludeNotify = 0x040000,
    ofEnableSizing = 0x080000,
    ofDontAddToRecent = 0x100000,
    ofForceShowHidden = 0x200000,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    const AnsiString& FileName() const { return FFileName; }
    void SetFileName(const AnsiString& v) { FFileName = v; }
    // "Description|mask;mask|Description|mask".
    const AnsiString& Filter() const { return FFilter; }
    void SetFilter(const AnsiString& v) { FFilter = v; }
    // 1-based.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    // Without the dot ("txt").
    const AnsiString& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const AnsiString& v) { FDefaultExt = v; }
    const AnsiString& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& v) { FInitialDir = v; }
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& v) { FTitle = v; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions v) { FOptions = v; }
    // The chosen files (one, or several with ofAllowMultiSelect).
    TStrings* Files() const { return FFiles.get(); }

    // Unless ofNoChangeDir, the current folder becomes the chosen file's folder.
    bool Execute() override;

protected:
    virtual bool IsSave() const { return false; }
    virtual const char* DialogName() const { return "TOpenDialog"; }

private:
    // The extension a name typed without one gets with that filter entry chosen, "" none.
    AnsiString ExtensionToAdd(int AFilterIndex) const;
    AnsiString WithDefaultExt(const AnsiString& name) const;
    AnsiString FFileName;
    AnsiString FFilter;
    int FFilterIndex = 1;
    AnsiString FDefaultExt;
    AnsiString FInitialDir;
    AnsiString FTitle;
    TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
    std::unique_ptr<TStrings> FFiles;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
    const char* DialogName() const override { return "TSaveDialog"; }
};

// The file types pictures load from and save to, as a dialog filter:
// "All (*.bmp;*.ico;*.jpg;*.jpeg;*.gif;*.png)|..." and one entry per type.
AnsiString GraphicFilter();

// The open and save dialogs for pictures ("TOpenPictureDialog", "TSavePictureDialog"):
// their filter starts as GraphicFilter().
class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) { SetFilter(GraphicFilter()); }

protected:
    const char* DialogName() const override { return "TOpenPictureDialog"; }
};

class TSavePictureDialog : public TOpenPictureDialog {
public:
    explicit TSavePictureDialog(TComponent* AOwner) : TOpenPictureDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
    const char* DialogName() const override { return "TSavePictureDialog"; }
};

enum TColorDialogOption : unsigned {
    cdFullOpen = 0x01, cdPreventFullOpen = 0x02, cdShowHelp = 0x04, cdSolidColor = 0x08, cdAnyColor = 0x10
};
using TColorDialogOptions = unsigned;

class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    // "ColorA=FFFFFF" ... "ColorP=..." (hexadecimal $BBGGRR values); the dialog's custom colours.
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* v) { FCustomColors->Assign(v); }
    TColorDialogOptions Options() const { return FOptions; }
    void SetOptions(TColorDialogOptions v) { FOptions = v; }
    bool Execute() override;

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStrings> FCustomColors;
    TColorDialogOptions FOptions = 0;
};

enum TFontDialogOption : unsigned {
    fdAnsiOnly = 0x0001, fdTrueTypeOnly = 0x0002, fdEffects = 0x0004, fdFixedPitchOnly = 0x0008,
    fdForceFontExist = 0x0010, fdNoFaceSel = 0x0020, fdNoOEMFonts = 0x0040, fdNoSimulations = 0x0080,
    fdNoSizeSel = 0x0100, fdNoStyleSel = 0x0200, fdNoVectorFonts = 0x0400, fdShowHelp = 0x0800,
    fdWysiwyg = 0x1000, fdLimitSize = 0x2000, fdScalableOnly = 0x4000, fdApplyButton = 0x8000
};
using TFontDialogOptions = unsigned;

class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TFontDialogOptions Options() const { return FOptions; }
    void SetOptions(TFontDialogOptions v) { FOptions = v; }
    bool Execute() override;

private:
    std::unique_ptr<TFont> FFont;
    TFontDialogOptions FOptions = fdEffects;
};

// The printer's settings (orientation and copies) as the user chooses them.
class TPrintDialog : public TCommonDialog {
public:
    explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    int Copies() const { return FCopies; }
    void SetCopies(int v) { FCopies = v > 0 ? v : 1; }
    bool Execute() override;

protected:
    virtual const char* DialogName() const { return "TPrintDialog"; }

private:
    int FCopies = 1;
};

class TPrinterSetupDialog : public TPrintDialog {
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TPrintDialog(AOwner) {}

protected:
    const char* DialogName() const override { return "TPrinterSetupDialog"; }
};

// A folder chosen below Root (empty: anywhere); Directory is the folder shown
// first and, when accepted, the chosen one.
bool SelectDirectory(const AnsiString& Caption, const AnsiString& Root, AnsiString& Directory);
// The folder browser, a "SelectDirectory" request too: it starts in Directory (or
// Root), stands centred on the screen when Centre is set, and tells SelChanged of
// each folder the user selects while browsing; SelChanged answers whether that
// folder may be taken (a refused one is not chosen).
bool BrowseDirectory(const AnsiString& Caption, const AnsiString& Root, bool Centre,
                     const std::function<bool(const AnsiString& Folder)>& SelChanged, AnsiString& Directory);
