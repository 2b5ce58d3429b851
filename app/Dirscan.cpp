#include "app/Dirscan.h"

#include <filesystem>

namespace {
bool IsLink(const AnsiString& Name)
{
    std::error_code ec;
    return std::filesystem::is_symlink(ToOsPath(Name), ec);
}

// False when the callback stopped the walk.
bool Walk(const AnsiString& Path, const AnsiString& Mask, const TScanCallback& Callback)
{
    for (const TSearchEntry& e : ListDirectory(Path, Mask))
        if (!e.Directory && !Callback(Path, e))
            return false;
    for (const TSearchEntry& e : ListDirectory(Path, "*"))
        if (e.Directory && !IsLink(Path + e.Name) && !Walk(Path + e.Name + "\\", Mask, Callback))
            return false;
    return true;
}
}  // namespace

void ScanDirectory(const AnsiString& Folder, const AnsiString& Mask, const TScanCallback& Callback)
{
    AnsiString folder = IncludeTrailingPathDelimiter(Folder.empty() ? GetCurrentDir() : Folder);
    Walk(folder, Mask.empty() ? AnsiString("*.*") : Mask, Callback);
}
