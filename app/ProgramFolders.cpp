#include "app/ProgramFolders.h"

#include <string>

#include "app/MainVars.h"
#include "platform/core/SysUtils.h"

#ifndef VELMAROK_DATA_FROM_BIN
#define VELMAROK_DATA_FROM_BIN "../share/velmarok"
#endif

const char* const DepartmentFolder = "/var/lib/velmarok/";
const char* const HelpFile = "help/tyrvenhold.html";
const char* const ImportHelpFile = "Importuj/CZYTAJ TO !!!.htm";

namespace {
AnsiString WithSlash(const AnsiString& Folder)
{
    return !Folder.empty() && (Folder.back() == '/' || Folder.back() == '\\') ? Folder : Folder + "/";
}
}  // namespace

AnsiString ChooseProgramFolder(const AnsiString& ExeFolder)
{
    const AnsiString chosen = GetEnvironmentVariable("VELMAROK_FOLDER");
    if (!chosen.empty())
        return WithSlash(ExpandFileName(chosen));
    const AnsiString exe = WithSlash(ExeFolder);
    if (ExtractFileName(ExpandFileName(exe + ".")) == "bin" && DirectoryExists(InstalledDataFolder(exe)))
        return DepartmentFolder;
    return exe;
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

AnsiString ProgramIcon(const AnsiString& ProgramDir)
{
    const AnsiString beside = WithSlash(ProgramDir) + "velmarok.svg";
    if (FileExists(beside))
        return beside;
    const AnsiString installed =
        ExpandFileName(InstalledDataFolder(ProgramDir) + "../icons/hicolor/scalable/apps/velmarok.svg");
    return FileExists(installed) ? installed : AnsiString("velmarok");
}
