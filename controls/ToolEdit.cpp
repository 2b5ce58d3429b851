#include "controls/ToolEdit.h"

#include "controls/FileUtil.h"
#include "controls/VCLUtils.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/SysInfo.h"

TBitmap* DefaultEditGlyph()
{
    static std::unique_ptr<TBitmap> glyph;
    if (!glyph) {
        // An open folder, 14 x 12, on an olive ground that is transparent.
        glyph = std::make_unique<TBitmap>();
        glyph->SetSize(14, 12);
        TCanvas* c = glyph->Canvas();
        c->Brush()->SetColor(clOlive);
        c->FillRect(TRect(0, 0, 14, 12));
        c->Brush()->SetColor(0x00C0FF);   // folder yellow
        c->Pen()->SetColor(clBlack);
        c->Rectangle(0, 2, 11, 11);
        c->MoveTo(1, 2);
        c->LineTo(4, 2);
        c->LineTo(5, 1);
        c->LineTo(8, 1);
        c->Brush()->SetColor(0x80FFFF);
        TPoint flap[] = {TPoint(2, 5), TPoint(13, 5), TPoint(10, 10), TPoint(0, 10)};
        c->Polygon(flap, 4);
        glyph->SetTransparentColor(clOlive);
        glyph->SetTransparent(true);
    }
    return glyph.get();
}

// ---------------------------------------------------------------- TEditButton
TEditButton::TEditButton(TComponent* AOwner) : TKxSpeedButton(AOwner)
{
    SetAllowTimer(false);
}

void TEditButton::Paint()
{
    TKxSpeedButton::Paint();
    if (State() != bsDown) {
        TCanvas* c = Canvas();
        c->Pen()->SetColor(clBtnFace);
        c->MoveTo(0, 0);
        c->LineTo(0, Height());
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(1, 0);
        c->LineTo(1, Height());
    }
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        if (auto* edit = dynamic_cast<TCustomComboEdit*>(Owner()))
            if (edit->TabStop() && edit->CanFocus() && !edit->Focused())
                edit->SetFocus();
    TKxSpeedButton::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------- TCustomComboEdit
TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    FBtnControl = new TWinControl(this);
    FBtnControl->SetBounds(0, 0, 21, 17);
    FBtnControl->SetParent(this);
    FButton = new TEditButton(this);
    FButton->SetParent(FBtnControl);
    FButton->SetBounds(0, 0, 21, 17);
    FButton->SetShowHint(true);
    FButton->OnClick = [this](TObject*) { DoClick(); };
    SetBounds(Left(), Top(), 121, 21);
}

TCustomComboEdit::~TCustomComboEdit() { Destroying(); }

int TCustomComboEdit::MinHeight() const
{
    // The smaller of the system font's and the edit's font's text height, and the borders.
    TBitmap probe;
    TFont system;
    probe.Canvas()->SetFont(&system);
    const int systemHeight = probe.Canvas()->TextHeight("Wg");
    probe.Canvas()->SetFont(Font());
    const int fontHeight = probe.Canvas()->TextHeight("Wg");
    return Min(systemHeight, fontHeight) + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
}

void TCustomComboEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!(ComponentState() & csLoading))
        AHeight = Max(AHeight, MinHeight());
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceButton();
}

void TCustomComboEdit::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    PlaceButton();
    UpdateReadOnly();
}

void TCustomComboEdit::PlaceButton()
{
    if (!FBtnControl || !FButton)
        return;
    int bw = FButton->Width();
    if (BorderStyle() != bsSingle)
        FBtnControl->SetBounds(Width() - bw, 0, bw, Height());
    else if (Ctl3D())
        FBtnControl->SetBounds(Width() - bw - 4, 0, bw, Max(Height() - 4, 0));
    else
        FBtnControl->SetBounds(Width() - bw - 2, 2, bw, Max(Height() - 4, 0));
    FButton->SetBounds(0, 0, bw, FBtnControl->Height());
    // The text never runs under the button.
    if (HandleAllocated())
        SetEditRect(TRect(0, 0, ClientWidth() - (FBtnControl->Visible() ? FBtnControl->Width() : 0) - 2,
                          ClientHeight() + 1));
}

void TCustomComboEdit::SetButtonWidth(int Value)
{
    if (Value < 0)
        Value = 0;
    FButton->SetWidth(Value);
    FBtnControl->SetVisible(Value > 0);
    PlaceButton();
}

void TCustomComboEdit::UpdateReadOnly()
{
    TCustomEdit::SetReadOnly(FReadOnly || !FDirectInput);
    FButton->SetEnabled(Enabled() && (!FReadOnly || FAlwaysEnable));
}

void TCustomComboEdit::SetDirectInput(bool Value)
{
    FDirectInput = Value;
    UpdateReadOnly();
}

void TCustomComboEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    UpdateReadOnly();
}

void TCustomComboEdit::SetGlyph(TBitmap* Value)
{
    FButton->SetGlyph(Value);
    FGlyphKind = gkCustom;
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind Value)
{
    FGlyphKind = Value;
    switch (Value) {
    case gkDefault:
        FButton->SetGlyph(DefaultEditGlyph());
        SetButtonWidth(Max(FButton->Glyph()->Width() / Max(FButton->NumGlyphs(), 1) + 6, ButtonWidth()));
        break;
    case gkDropDown: {
        TBitmap arrow;
        arrow.SetSize(7, 4);
        TCanvas* c = arrow.Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, 7, 4));
        for (int row = 0; row < 4; ++row)
            for (int x = row; x < 7 - row; ++x)
                c->SetPixels(x, row, clBlack);
        arrow.SetTransparentColor(clWhite);
        FButton->SetGlyph(&arrow);
        SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
        break;
    }
    case gkEllipsis: {
        int w = Max(1, ButtonWidth() - 6);
        TBitmap dots;
        dots.SetSize(w, 4);
        TCanvas* c = dots.Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, w, 4));
        int gap = Min(Max((w - 6) / 2, 1), 3);
        int x = (w - 6 - 2 * gap) / 2;
        c->Brush()->SetColor(clBlack);
        for (int i = 0; i < 3; ++i) {
            int dx = x + i * (gap + 2);
            c->FillRect(TRect(dx, 1, dx + 2, 3));
        }
        dots.SetTransparentColor(clWhite);
        FButton->SetGlyph(&dots);
        break;
    }
    case gkCustom:
        if (ComponentState() & csReading)
            FButton->SetGlyph(nullptr);
        break;
    }
}

void TCustomComboEdit::DoClick()
{
    ButtonClick();
}

void TCustomComboEdit::ButtonClick()
{
    if (OnButtonClick)
        OnButtonClick(this);
}

void TCustomComboEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (Key != 0 && FClickKey != 0 && ShortCut(Key, Shift) == FClickKey && ButtonWidth() > 0) {
        if (FButton->Enabled())
            DoClick();
        Key = 0;
    }
}

void TCustomComboEdit::WMGetDlgCode(TMessage& Message)
{
    TCustomMaskEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTALLKEYS;
}

void TCustomComboEdit::CMEnter(TMessage& Message)
{
    const bool autoSelect = AutoSelect();
    if (!FDirectInput)
        SetAutoSelect(false);
    try {
        TCustomMaskEdit::CMEnter(Message);
    } catch (...) {
        SetAutoSelect(autoSelect);
        throw;
    }
    SetAutoSelect(autoSelect);
}

void TCustomComboEdit::KeyPress(char& Key)
{
    if (Key != '\r' && Key != 27) {
        TCustomMaskEdit::KeyPress(Key);
        return;
    }
    if (TCustomForm* form = GetParentForm(this))
        form->Perform(CM_DIALOGKEY, Word(Key == '\r' ? VK_RETURN : VK_ESCAPE), 0);
    TCustomMaskEdit::KeyPress(Key);
    // The edit itself does nothing with them (the form had its turn).
    Key = 0;
}

// ---------------------------------------------------------------- TFileDirEdit
TFileDirEdit::TFileDirEdit(TComponent* AOwner) : TCustomComboEdit(AOwner)
{
    SetGlyphKind(gkDefault);
}

void TFileDirEdit::DoBeforeDialog(AnsiString& FileName, bool& Action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, FileName, Action);
}

void TFileDirEdit::DoAfterDialog(AnsiString& FileName, bool& Action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, FileName, Action);
}

void TFileDirEdit::SetAcceptFiles(bool Value)
{
    if (FAcceptFiles == Value)
        return;
    FAcceptFiles = Value;
    if (HandleAllocated() && !(ComponentState() & csDesigning))
        DragAcceptFiles(this, Value);
}

void TFileDirEdit::CreateWnd()
{
    TCustomComboEdit::CreateWnd();
    if (FAcceptFiles && !(ComponentState() & csDesigning))
        DragAcceptFiles(this, true);
}

void TFileDirEdit::DestroyWnd()
{
    if (FAcceptFiles && !(ComponentState() & csDesigning))
        DragAcceptFiles(this, false);
    TCustomComboEdit::DestroyWnd();
}

// The desktop's drop arrives as WM_DROPFILES with the list of names.
void TFileDirEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_DROPFILES) {
        Message.Result = 0;
        std::vector<AnsiString> files;
        if (auto* list = reinterpret_cast<TStrings*>(Message.WParam))
            for (int i = 0; i < list->Count(); ++i)
                files.push_back(list->Strings(i));
        DropFiles(files);
        return;
    }
    TCustomComboEdit::WndProc(Message);
}

void TFileDirEdit::DropFiles(const std::vector<AnsiString>& Files)
{
    if (!Files.empty()) {
        ClearFileList();
        for (const AnsiString& f : Files) {
            ReceptFileDir(f);
            if (!MultipleSelect())
                break;
        }
    }
    if (OnDropFiles)
        OnDropFiles(this);
}

// ---------------------------------------------------------------- TFilenameEdit
namespace {

// The name inside the text: a quoted run without its quotes, else the whole trimmed text.
AnsiString ClearFileName(const AnsiString& Text)
{
    AnsiString t = Trim(Text);
    if (!t.empty() && t.front() == '"') {
        AnsiString token;
        ExtractCmdToken(t, token);
        return token;
    }
    return t;
}

}  // namespace

TFilenameEdit::TFilenameEdit(TComponent* AOwner)
    : TFileDirEdit(AOwner), FHistoryList(std::make_unique<TStringList>()), FFiles(std::make_unique<TStringList>()),
      FDialog(std::make_unique<TOpenDialog>(nullptr))
{
}

void TFilenameEdit::SetDialogKind(TFileDialogKind Value)
{
    if (Value == FDialogKind)
        return;
    FDialogKind = Value;
    std::unique_ptr<TOpenDialog> dialog;
    switch (Value) {
    case dkSave: dialog = std::make_unique<TSaveDialog>(nullptr); break;
    case dkOpenPicture: dialog = std::make_unique<TOpenPictureDialog>(nullptr); break;
    case dkSavePicture: dialog = std::make_unique<TSavePictureDialog>(nullptr); break;
    default: dialog = std::make_unique<TOpenDialog>(nullptr); break;
    }
    // The new dialog keeps the file name and the chosen files of the old one (the
    // settings are the edit's and go to whichever dialog runs).
    dialog->SetFileName(FDialog->FileName());
    dialog->Files()->Assign(FDialog->Files());
    FDialog = std::move(dialog);
}

TFilenameEdit::~TFilenameEdit() { Destroying(); }

AnsiString TFilenameEdit::FileName() const
{
    AnsiString text = Text();
    if (!text.empty() && FileExists(text))
        return text;
    return ClearFileName(text);
}

void TFilenameEdit::SetFileName(const AnsiString& Value)
{
    if (!Value.empty() && !IsValidFileName(ClearFileName(Value)))
        throw EComboEditError(Format("Invalid file name - %s", {Value}));
    TakeFileName(Value);
}

void TFilenameEdit::TakeFileName(const AnsiString& Value)
{
    if (Value.find(' ') != AnsiString::npos && Value.front() != '"')
        SetText("\"" + Value + "\"");
    else
        SetText(Value);
    ClearFileList();
}

AnsiString TFilenameEdit::LongName() const
{
    AnsiString s = ShortToLongFileName(FileName());
    return s.empty() ? LongToShortFileName(FileName()) : s;
}

AnsiString TFilenameEdit::ShortName() const
{
    AnsiString s = LongToShortFileName(FileName());
    return s.empty() ? ShortToLongFileName(FileName()) : s;
}

void TFilenameEdit::ClearFileList() { FFiles->Clear(); }

// A dropped path names a file of the desktop as it is: no check of the name.
void TFilenameEdit::ReceptFileDir(const AnsiString& AFileName)
{
    if (MultipleSelect()) {
        if (FFiles->Count() == 0)
            TakeFileName(AFileName);
        FFiles->Add(AFileName);
    } else {
        TakeFileName(AFileName);
    }
}

// ---------------------------------------------------------------- TDirectoryEdit
TDirectoryEdit::TDirectoryEdit(TComponent* AOwner) : TFileDirEdit(AOwner) {}

void TDirectoryEdit::ReceptFileDir(const AnsiString& AFileName)
{
    AnsiString temp = AFileName;
    if (FileExists(temp) && !DirectoryExists(temp))
        temp = ExtractFilePath(temp);
    if (FMultipleDirs && !Text().empty())
        SetText(Text() + ";" + temp);
    else
        SetText(temp);
}

void TDirectoryEdit::TakeFolder(const AnsiString& Temp)
{
    if (SelLength() > 0)
        ClearSelection();
    if (FMultipleDirs && !Text().empty())
        SetText(Text() + ";" + Temp);
    else
        SetText(Temp);
    if (DirExists(Temp))
        FInitialDir = Temp;
}

namespace {

AnsiString ConvertDirs(const AnsiString& Text, bool Multiple, AnsiString (*Convert)(const AnsiString&))
{
    if (!Multiple)
        return Convert(Text);
    AnsiString result;
    int pos = 1;
    TCharSet semicolon{';'};
    while (pos <= int(Text.size())) {
        AnsiString part = ExtractSubstr(Text, pos, semicolon);
        if (part.empty())
            continue;
        if (!result.empty())
            result += ';';
        result += Convert(part);
    }
    return result;
}

}  // namespace

AnsiString TDirectoryEdit::LongName() const { return ConvertDirs(Text(), FMultipleDirs, ShortToLongPath); }
AnsiString TDirectoryEdit::ShortName() const { return ConvertDirs(Text(), FMultipleDirs, LongToShortPath); }

// ---------------------------------------------------------------- the dialogs
void TFilenameEdit::ButtonClick()
{
    TFileDirEdit::ButtonClick();
    AnsiString temp = FileName();
    bool action = true;
    DoBeforeDialog(temp, action);
    if (!action)
        return;
    TOpenDialog* dialog = FDialog.get();
    dialog->SetDefaultExt(FDefaultExt);
    dialog->SetFilter(FFilter);
    dialog->SetFilterIndex(FFilterIndex);
    dialog->SetInitialDir(FInitialDir);
    dialog->SetOptions(FDialogOptions);
    dialog->SetTitle(FDialogTitle);
    if (IsValidFileName(temp)) {
        if (DirExists(ExtractFilePath(temp))) {
            FInitialDir = ExtractFilePath(temp);
            dialog->SetInitialDir(FInitialDir);
        }
        AnsiString file = ExtractFileName(temp);
        dialog->SetFileName(file.empty() || !IsValidFileName(file) ? AnsiString() : file);
    }
    action = dialog->Execute();
    if (action)
        temp = dialog->FileName();
    if (CanFocus())
        SetFocus();
    DoAfterDialog(temp, action);
    if (action) {
        // The dialog names an existing or a new file as the file system allows it: no check of the name.
        TakeFileName(temp);
        FFiles->Assign(dialog->Files());
        FFilterIndex = dialog->FilterIndex();
        FInitialDir = ExtractFilePath(dialog->FileName());
    }
}

void TDirectoryEdit::ButtonClick()
{
    TFileDirEdit::ButtonClick();
    AnsiString temp = Text();
    bool action = true;
    DoBeforeDialog(temp, action);
    if (!action)
        return;
    if (temp.empty())
        temp = FInitialDir.empty() ? AnsiString("\\") : FInitialDir;
    if (!DirExists(temp))
        temp.assign(1, '\\');
    if (FDialogKind == dkWin32)
        action = BrowseForFolder(temp, FDialogText, 0);
    else
        action = SelectDirectory(FDialogText, AnsiString(), temp);
    if (CanFocus())
        SetFocus();
    DoAfterDialog(temp, action);
    if (action)
        TakeFolder(temp);
}
