#pragma once
// Message boxes, message dialogs and input boxes. Every dialog of the
// program, also the common dialogs and modal forms, runs through one dialog
// hook, which the tests replace with scripted answers.
#include <functional>
#include <vector>

#include "platform/gui/Forms.h"

// MessageBox flags.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONSTOP = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_DEFMASK = 0x0F00;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;

// MessageBox results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// Buttons of MessageDlg, combined with |.
enum TMsgDlgBtn : unsigned {
    mbYes = 0x001, mbNo = 0x002, mbOK = 0x004, mbCancel = 0x008, mbAbort = 0x010, mbRetry = 0x020,
    mbIgnore = 0x040, mbAll = 0x080, mbNoToAll = 0x100, mbYesToAll = 0x200, mbHelp = 0x400
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbYesAllNoAllCancel = mbYes | mbYesToAll | mbNo | mbNoToAll | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// ---------------------------------------------------------------- the hook
enum TDialogKind { dkMessageBox, dkMessageDlg, dkModalForm, dkInputQuery, dkCommonDialog };

struct TDialogRequest {
    TDialogKind Kind = dkMessageBox;
    // The form's or dialog's name (its class name when unnamed).
    AnsiString Name;
    AnsiString Text;
    AnsiString Caption;
    // MB_ flags, or the buttons of MessageDlg.
    unsigned Flags = 0;
    TCustomForm* Form = nullptr;
    TComponent* Dialog = nullptr;
    // In and out: the input text, the file names of a file dialog ...
    std::vector<AnsiString> Values;
    // The real dialog; the hook calls it when it does not answer itself.
    std::function<int(TDialogRequest& Request)> Run;
};

using TDialogHook = std::function<int(TDialogRequest& Request)>;
// Replaces the hook and returns the old one; an empty hook runs the real dialogs.
TDialogHook SetDialogHook(TDialogHook Hook);
// Through the hook (or the real dialog when there is none).
int RunDialog(TDialogRequest& Request);

// ---------------------------------------------------------------- dialogs
// Returns IDOK, IDCANCEL, IDYES, IDNO ... (the button pressed).
int MessageBox(HWND Owner, const AnsiString& Text, const AnsiString& Caption, UINT Flags);
// Returns mrYes, mrNo, mrOk ...; the caption follows the type.
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const AnsiString& Msg);
// The picture a message dialog of the kind shows beside its text, as the platform draws it
// (32 x 32, transparent around it); empty for mtCustom. For dialogs built by hand.
void LoadMessageIcon(TMsgDlgType DlgType, TBitmap* Bitmap);
// True when accepted; Value holds the text typed.
bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value);
AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault);
