#include "controls/FileUtil.h"

#include "platform/core/SysUtils.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/ShellApi.h"

bool HasAnyChar(const AnsiString& Chars, const AnsiString& S)
{
    return S.find_first_of(Chars) != AnsiString::npos;
}

bool IsValidFileName(const AnsiString& Name)
{
    return !Name.empty() && !HasAnyChar("<>\"[]|", Name);
}

bool DirExists(const AnsiString& Name)
{
    return !Name.empty() && DirectoryExists(Name);
}

AnsiString NormalizeDir(const AnsiString& Dir)
{
    AnsiString s = Dir;
    if (s.size() > 1 && s.back() == '\\' && !(s.size() == 3 && s[1] == ':'))
        s.pop_back();
    return s;
}

namespace {

// The name of the entry found for Name in its folder (the case-insensitive match), empty when none.
AnsiString FoundName(const AnsiString& Name)
{
    AnsiString n = Name;
    while (n.size() > 1 && (n.back() == '\\' || n.back() == '/'))
        n.pop_back();
    if (!FileExists(n) && !DirectoryExists(n))
        return AnsiString();
    AnsiString file = ExtractFileName(n);
    if (file.empty())
        return n;
    AnsiString dir = ExtractFilePath(n);
    for (const TSearchEntry& e : ListDirectory(dir.empty() ? AnsiString(".") : dir, "*"))
        if (e.Name == file)
            return e.Name;
    for (const TSearchEntry& e : ListDirectory(dir.empty() ? AnsiString(".") : dir, "*"))
        if (AnsiSameText(e.Name, file))
            return e.Name;
    return file;
}

AnsiString ConvertPath(const AnsiString& Path)
{
    std::size_t first = Path.find('\\');
    if (first == AnsiString::npos)
        return Path;
    AnsiString result = Path.substr(0, first);
    std::size_t pos = first;
    while (pos != AnsiString::npos) {
        std::size_t next = Path.find('\\', pos + 1);
        AnsiString upTo = Path.substr(0, next == AnsiString::npos ? AnsiString::npos : next);
        AnsiString component = next == AnsiString::npos ? Path.substr(pos + 1) : Path.substr(pos + 1, next - pos - 1);
        result += '\\';
        if (!component.empty())
            result += FoundName(upTo);
        pos = next;
    }
    return result;
}

}  // namespace

AnsiString ShortToLongFileName(const AnsiString& Name) { return FoundName(Name); }
AnsiString LongToShortFileName(const AnsiString& Name) { return FoundName(Name); }
AnsiString ShortToLongPath(const AnsiString& Path) { return ConvertPath(Path); }
AnsiString LongToShortPath(const AnsiString& Path) { return ConvertPath(Path); }

TBrowseFolderDlg::TBrowseFolderDlg(TComponent* AOwner) : TComponent(AOwner) {}

namespace {
// The user's desktop folder, or the home folder without one.
AnsiString DesktopFolder()
{
    AnsiString path;
    return SHGetSpecialFolderPath(0, path, CSIDL_DESKTOP, false) ? path : AnsiString("/");
}
}  // namespace

bool TBrowseFolderDlg::Execute()
{
    // The root: the desktop, or the computer's drives (the whole file system); computers
    // are browsed from the top as well.
    const AnsiString root = FBrowseKind == bfFolders && FDesktopRoot ? DesktopFolder() : AnsiString("/");
    AnsiString folder = FBrowseKind == bfFolders && DirExists(FFolderName) ? FFolderName : AnsiString();
    if (OnInitialized)
        OnInitialized(this);
    // Each selection while browsing: a folder (OK only for an existing one), or a computer's name.
    auto selChanged = [this](const AnsiString& Path) {
        AnsiString name = Path;
        while (!name.empty() && (name.back() == '/' || name.back() == '\\'))
            name.pop_back();
        FSelectedPath = FBrowseKind == bfFolders ? Path : ExtractFileName(name);
        const bool ok = FBrowseKind == bfFolders ? DirExists(Path) : !FSelectedPath.empty();
        if (OnSelChanged)
            OnSelChanged(this);
        return ok;
    };
    if (!BrowseDirectory(FDialogText, root, FPosition == dpScreenCenter, selChanged, folder))
        return false;
    FFolderName = FBrowseKind == bfFolders ? NormalizeDir(folder) : FSelectedPath;
    return true;
}

bool BrowseForFolder(AnsiString& Folder, const AnsiString& Title, int HelpContext)
{
    TBrowseFolderDlg dialog(nullptr);
    dialog.SetDialogText(Title);
    dialog.SetFolderName(Folder);
    dialog.SetHelpContext(HelpContext);
    if (!dialog.Execute())
        return false;
    Folder = dialog.FolderName();
    return true;
}
