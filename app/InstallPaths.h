#pragma once
// Where an installed program keeps the read-only files it ships (the help, the import
// instructions): <prefix>/share/velmarok beside <prefix>/bin, found from the program's own folder
// so that an installed tree works at any prefix. The program looks beside itself first.
#include "platform/core/Types.h"

// The installed data folder for a program in ExeFolder, with a trailing "/".
AnsiString InstalledDataFolder(const AnsiString& ExeFolder);
