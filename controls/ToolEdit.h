#pragma once
// Edit boxes with a button at their right end: the file-name edit (the
// button opens a file dialog) and the directory edit (a folder dialog).
#include <memory>
#include <vector>

#include "controls/KXCtrls.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

VELMAROK_EXCEPTION(EComboEditError, Exception)

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// The button inside the edit.
class TEditButton : public TKxSpeedButton {
public:
    explicit TEditButton(TComponent* AOwner);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TCustomComboEdit : public TCustomMaskEdit {
public:
    explicit TCustomComboEdit(TComponent* AOwner);
    ~TCustomComboEdit() override;

    TEditButton* Button() const { return FButton; }
    int ButtonWidth() const { return FButton->Width(); }
    void SetButtonWidth(int Value);
    const AnsiString& ButtonHint() const { return FButton->Hint(); }
    void SetButtonHint(const AnsiString& Value) { FButton->SetHint(Value); }
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut Value) { FClickKey = Value; }
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool Value);
    // The inner edit is read-only while ReadOnly is set or DirectInput is off.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TGlyphKind GlyphKind() const { return FGlyphKind; }
    void SetGlyphKind(TGlyphKind Value);
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int Value) { FButton->SetNumGlyphs(Value); }

    // A height below the text's and the borders' is raised to it.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    int MinHeight() const;
    // The button's action (the dialog of the edit); fires OnButtonClick first.
    virtual void DoClick();

    TNotifyEvent OnButtonClick;

protected:
    virtual void ButtonClick();
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Return and Escape come to the edit as characters: the form gets them as dialog keys from there.
    void KeyPress(char& Key) override;
    void WMGetDlgCode(TMessage& Message) override;
    // Entering (not by a press of the mouse) chooses the whole text only when it may be typed over.
    void CMEnter(TMessage& Message) override;
    void CreateWnd() override;
    void PlaceButton();
    void UpdateReadOnly();

    TWinControl* FBtnControl = nullptr;
    TEditButton* FButton = nullptr;
    TShortCut FClickKey = 32808;   // Alt+Down
    bool FReadOnly = false;
    bool FDirectInput = true;
    bool FAlwaysEnable = false;
    TGlyphKind FGlyphKind = gkCustom;
};

using TExecOpenDialogEvent = std::function<void(TObject* Sender, AnsiString& Name, bool& Action)>;

class TFileDirEdit : public TCustomComboEdit {
public:
    explicit TFileDirEdit(TComponent* AOwner);
    bool AcceptFiles() const { return FAcceptFiles; }
    // The window takes files dropped from the desktop (registered while it exists).
    void SetAcceptFiles(bool Value);
    // Files dropped from the desktop, in order; without multiple selection only the first is taken.
    void DropFiles(const std::vector<AnsiString>& Files);

    TNotifyEvent OnDropFiles;
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void ClearFileList() {}
    virtual void ReceptFileDir(const AnsiString& AFileName) = 0;
    virtual bool MultipleSelect() const = 0;
    void DoBeforeDialog(AnsiString& FileName, bool& Action);
    void DoAfterDialog(AnsiString& FileName, bool& Action);
    bool FAcceptFiles = false;
};

enum TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };
enum TFileEditStyle { fsEdit, fsComboBox };

class TFilenameEdit : public TFileDirEdit {
public:
    explicit TFilenameEdit(TComponent* AOwner);
    ~TFilenameEdit() override;

    // The text without its quotes: a quoted name reads without the quotes,
    // an unquoted one as the whole trimmed text.
    AnsiString FileName() const;
    // EComboEditError "Invalid file name - %s" for a name that fails the check;
    // a name with a blank is stored in double quotes.
    void SetFileName(const AnsiString& Value);
    AnsiString LongName() const;
    AnsiString ShortName() const;

    TFileDialogKind DialogKind() const { return FDialogKind; }
    // A new dialog of the kind's class, with the old one's file name and chosen files.
    void SetDialogKind(TFileDialogKind Value);
    // The dialog the button opens.
    TOpenDialog* Dialog() const { return FDialog.get(); }
    TFileEditStyle FileEditStyle() const { return FFileEditStyle; }
    void SetFileEditStyle(TFileEditStyle v) { FFileEditStyle = v; }
    const AnsiString& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const AnsiString& v) { FDefaultExt = v; }
    const AnsiString& Filter() const { return FFilter; }
    void SetFilter(const AnsiString& v) { FFilter = v; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    const AnsiString& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& v) { FInitialDir = v; }
    TOpenOptions DialogOptions() const { return FDialogOptions; }
    void SetDialogOptions(TOpenOptions v) { FDialogOptions = v; }
    const AnsiString& DialogTitle() const { return FDialogTitle; }
    void SetDialogTitle(const AnsiString& v) { FDialogTitle = v; }
    TStrings* HistoryList() const { return FHistoryList.get(); }
    void SetHistoryList(TStrings* v) { FHistoryList->Assign(v); }
    // The files chosen in the dialog or dropped (with multiple selection).
    TStrings* DialogFiles() const { return FFiles.get(); }

protected:
    void ButtonClick() override;
    void ClearFileList() override;
    void ReceptFileDir(const AnsiString& AFileName) override;
    bool MultipleSelect() const override { return FDialogOptions & ofAllowMultiSelect; }

private:
    // The text becomes Value, in double quotes when it holds a blank; the chosen files are forgotten.
    void TakeFileName(const AnsiString& Value);
    TFileDialogKind FDialogKind = dkOpen;
    AnsiString FDefaultExt;
    AnsiString FFilter = "All files (*.*)|*.*";
    int FFilterIndex = 1;
    AnsiString FInitialDir;
    TOpenOptions FDialogOptions = ofHideReadOnly;
    AnsiString FDialogTitle = "Browse";
    std::unique_ptr<TStrings> FHistoryList;
    std::unique_ptr<TStrings> FFiles;
    TFileEditStyle FFileEditStyle = fsEdit;
    std::unique_ptr<TOpenDialog> FDialog;
};

enum TDirDialogKind { dkVCL, dkWin32 };
enum TSelectDirOpt : unsigned { sdAllowCreate = 1, sdPerformCreate = 2, sdPrompt = 4 };
using TSelectDirOpts = unsigned;

class TDirectoryEdit : public TFileDirEdit {
public:
    explicit TDirectoryEdit(TComponent* AOwner);

    TDirDialogKind DialogKind() const { return FDialogKind; }
    void SetDialogKind(TDirDialogKind v) { FDialogKind = v; }
    const AnsiString& DialogText() const { return FDialogText; }
    void SetDialogText(const AnsiString& v) { FDialogText = v; }
    TSelectDirOpts DialogOptions() const { return FDialogOptions; }
    void SetDialogOptions(TSelectDirOpts v) { FDialogOptions = v; }
    const AnsiString& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& v) { FInitialDir = v; }
    bool MultipleDirs() const { return FMultipleDirs; }
    void SetMultipleDirs(bool v) { FMultipleDirs = v; }
    AnsiString LongName() const;
    AnsiString ShortName() const;

protected:
    void ButtonClick() override;
    void ReceptFileDir(const AnsiString& AFileName) override;
    bool MultipleSelect() const override { return FMultipleDirs; }

private:
    // Temp chosen: the text becomes it (or is extended with ";" and it).
    void TakeFolder(const AnsiString& Temp);
    TDirDialogKind FDialogKind = dkVCL;
    AnsiString FDialogText;
    TSelectDirOpts FDialogOptions = 0;
    AnsiString FInitialDir;
    bool FMultipleDirs = false;
};

// The 14 x 12 picture of the file and directory edits' button.
TBitmap* DefaultEditGlyph();
