#include "app/ProgramFolders.h"

#include <unistd.h>

#include <string>

#include "app/MainVars.h"
#include "platform/core/SysUtils.h"

#ifndef VELMAROK_DATA_FROM_BIN
#define VELMAROK_DATA_FROM_BIN "../share/velmarok"
#endif

namespace {
// A file can be created in the folder (the folder's mode alone does not
// tell: a read-only disk refuses every user).
bool CanCreateFileIn(const AnsiString& Folder)
{
    std::string pattern = ToOsPath(IncludeTrailingPathDelimiter(Folder));
    if (pattern.empty() || pattern.back() != '/')
        pattern += '/';
    pattern += ".velmarok-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(pattern.c_str());
    return true;
}

AnsiString WithSlash(const AnsiString& Folder)
{
    return !Folder.empty() && (Folder.back() == '/' || Folder.back() == '\\') ? Folder : Folder + "/";
}
}  // namespace

AnsiString ChooseProgramFolder(const AnsiString& ExeFolder)
{
    if (CanCreateFileIn(ExeFolder))
        return WithSlash(ExeFolder);
    AnsiString base = GetEnvironmentVariable("XDG_DATA_HOME");
    if (base.empty() || base[0] != '/')
        base = WithSlash(GetEnvironmentVariable("HOME")) + ".local/share";
    const AnsiString folder = WithSlash(base) + "Velmarok/";
    ForceDirectories(folder);
    return folder;
}

AnsiString ShippedFile(const AnsiString& Name)
{
    const AnsiString beside = WithSlash(ExeFolder) + Name;
    if (FileExists(beside))
        return beside;
    const AnsiString installed = InstalledDataFolder(ExeFolder) + Name;
    return FileExists(installed) ? installed : beside;
}

AnsiString InstalledDataFolder(const AnsiString& ExeFolder)
{
    return ExpandFileName(WithSlash(ExeFolder) + VELMAROK_DATA_FROM_BIN + "/");
}
