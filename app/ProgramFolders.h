#pragma once
// Where the program keeps its data and where it finds the files it ships.
#include "platform/core/Types.h"

// The program's data folder (config.dat and the default places beside it),
// ending with a delimiter: ExeFolder, the folder of the program file, when
// a file can be created there; otherwise the per-user data folder
// $XDG_DATA_HOME/Velmarok (by default ~/.local/share/Velmarok), created
// when missing.
AnsiString ChooseProgramFolder(const AnsiString& ExeFolder);

// A file the program ships and only reads ("help\tyrvenhold.html"): beside
// the program file (ExeFolder of MainVars.h) when it is there, else in the
// installed data folder <prefix>/share/velmarok; the first place when it is
// in neither.
AnsiString ShippedFile(const AnsiString& Name);

// The installed data folder of a program in ExeFolder (<prefix>/bin):
// <prefix>/share/velmarok, with a trailing "/".
AnsiString InstalledDataFolder(const AnsiString& ExeFolder);
