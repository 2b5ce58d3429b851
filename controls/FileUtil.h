#pragma once
// File-name check, folder names, long and short path forms, and the folder browser.
#include <functional>

#include "platform/gui/Component.h"

// Not empty and none of < > " [ ] | in it.
bool IsValidFileName(const AnsiString& Name);
bool HasAnyChar(const AnsiString& Chars, const AnsiString& S);
bool DirExists(const AnsiString& Name);
// Drops a trailing "\" of a folder name longer than one character, except a drive root ("C:\").
AnsiString NormalizeDir(const AnsiString& Dir);
// Short (8.3) names are the long names here: both give the name of the
// file or folder found, empty when nothing is found.
AnsiString ShortToLongFileName(const AnsiString& Name);
AnsiString LongToShortFileName(const AnsiString& Name);
// Each component after a "\" replaced by the name found for the path up to it.
AnsiString ShortToLongPath(const AnsiString& Path);
AnsiString LongToShortPath(const AnsiString& Path);

enum TBrowseKind { bfFolders, bfComputers };
enum TDialogPosition { dpDefault, dpScreenCenter };
using TBrowseFolderEvent = std::function<void(TObject* Sender)>;

// The folder browser.
class TBrowseFolderDlg : public TComponent {
public:
    explicit TBrowseFolderDlg(TComponent* AOwner);
    TBrowseKind BrowseKind() const { return FBrowseKind; }
    void SetBrowseKind(TBrowseKind v) { FBrowseKind = v; }
    bool DesktopRoot() const { return FDesktopRoot; }
    void SetDesktopRoot(bool v) { FDesktopRoot = v; }
    const AnsiString& DialogText() const { return FDialogText; }
    void SetDialogText(const AnsiString& v) { FDialogText = v; }
    const AnsiString& FolderName() const { return FFolderName; }
    void SetFolderName(const AnsiString& v) { FFolderName = v; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int v) { FHelpContext = v; }
    TDialogPosition Position() const { return FPosition; }
    void SetPosition(TDialogPosition v) { FPosition = v; }
    // True on OK: FolderName is the chosen folder without its trailing "\" (a drive root keeps it).
    bool Execute();
    // The item selected while the dialog runs (a folder, or a computer's name).
    const AnsiString& SelectedPath() const { return FSelectedPath; }
    TBrowseFolderEvent OnInitialized;
    TBrowseFolderEvent OnSelChanged;

private:
    AnsiString FSelectedPath;
    TBrowseKind FBrowseKind = bfFolders;
    bool FDesktopRoot = true;
    AnsiString FDialogText;
    AnsiString FFolderName;
    int FHelpContext = 0;
    TDialogPosition FPosition = dpScreenCenter;
};

bool BrowseForFolder(AnsiString& Folder, const AnsiString& Title, int HelpContext);
