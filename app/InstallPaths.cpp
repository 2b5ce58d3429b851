#include "app/InstallPaths.h"

#include "platform/core/SysUtils.h"

#ifndef VELMAROK_DATA_FROM_BIN
#define VELMAROK_DATA_FROM_BIN "../share/velmarok"
#endif

AnsiString InstalledDataFolder(const AnsiString& ExeFolder)
{
    AnsiString folder = ExeFolder;
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\'))
        folder += '/';
    return ExpandFileName(folder + VELMAROK_DATA_FROM_BIN + "/");
}
