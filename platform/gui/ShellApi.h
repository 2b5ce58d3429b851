#pragma once
// Shell services: opening addresses and the program's own files with the
// desktop's opener, the special folders, and files dropped on a window.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/gui/Messages.h"

class TImageList;
class TWinControl;

// ShowCmd values: SW_ in Messages.h.
// ShellExecute results of 32 and below are errors.
constexpr int SE_ERR_FNF = 2, SE_ERR_PNF = 3, SE_ERR_ACCESSDENIED = 5, SE_ERR_OOM = 8, SE_ERR_NOASSOC = 31;

// Opens an http, https or mailto address, or a file or folder inside the
// program's folder (the program file's folder and below) or one the program
// wrote (ShellRegisterWrittenFile), with the desktop's opener (xdg-open, waited
// for a few seconds at most). Operation is "open" (or empty). Nothing is ever
// run with Parameters. Returns a value above 32 on success; SE_ERR_FNF for a
// missing file, SE_ERR_ACCESSDENIED for anything else refused, SE_ERR_NOASSOC
// for another verb or when nothing opens it (no opener, or it ends with an error).
std::intptr_t ShellExecute(HWND Owner, const AnsiString& Operation, const AnsiString& File,
                           const AnsiString& Parameters, const AnsiString& Directory, int ShowCmd);
// A file the program has written (an export) may be opened by ShellExecute.
void ShellRegisterWrittenFile(const AnsiString& FileName);
// The files of a folder of the program's own (its data folder when that is
// not the program file's folder) may be opened by ShellExecute.
void ShellRegisterProgramFolder(const AnsiString& Folder);
// Tests: the hook receives the address or the file's full name instead of the
// opener and returns whether it opened. An empty hook restores the opener. Returns the old hook.
using TShellOpenHook = std::function<bool(const AnsiString& Target)>;
TShellOpenHook SetShellOpenHook(TShellOpenHook Hook);

// Special folders (CSIDL).
constexpr int CSIDL_DESKTOP = 0x0000, CSIDL_PROGRAMS = 0x0002, CSIDL_PERSONAL = 0x0005,
              CSIDL_MYDOCUMENTS = 0x0005, CSIDL_DESKTOPDIRECTORY = 0x0010, CSIDL_FONTS = 0x0014,
              CSIDL_APPDATA = 0x001A, CSIDL_LOCAL_APPDATA = 0x001C, CSIDL_COMMON_APPDATA = 0x0023,
              CSIDL_MYPICTURES = 0x0027, CSIDL_PROFILE = 0x0028;
// The folder's path (Windows-1250, no trailing delimiter); with Create the
// folder is made when missing. False for an unknown folder id or a failed creation.
bool SHGetSpecialFolderPath(HWND Owner, AnsiString& Path, int Folder, bool Create);

// Files dropped on a window: the handler gets their full names (Windows-1250)
// and the drop point in the control's client coordinates.
using TDropFilesEvent = std::function<void(TWinControl* Sender, TStrings* Files, TPoint Pos)>;
// Accept true: the control takes dropped files (to OnDropFiles; when that is
// empty, WM_DROPFILES with WParam the TStrings* of the names and LParam 0 reaches
// the control). Accept false: drops are refused again.
void DragAcceptFiles(TWinControl* Control, bool Accept, TDropFilesEvent OnDropFiles = nullptr);
// What a drop of these files does on the control (the toolkit's drop comes
// here too); false when the control does not accept files.
bool DropFilesOn(TWinControl* Control, const std::vector<AnsiString>& Files, TPoint Pos);

// The system image lists of file icons, small (SM_CXSMICON) and large (SM_CXICON): the desktop's icons
// of files and file types (the toolkit's file icon provider). An icon joins both lists the first time
// it is asked for and keeps its index for the run.
TImageList* SystemImageList(bool Large);
// The index in those lists of the icon of a file or folder that exists, else of the file type its
// name's extension names; -1 when the desktop gives no icon for it.
int SystemFileIconIndex(const AnsiString& FileName);
