#pragma once
// Where the program keeps its data and where it finds the files it ships.
#include "platform/core/Types.h"

// The folder an installed program shares with the whole department (the
// Debian package creates it, group velmarok, mode 2775).
extern const char* const DepartmentFolder;

// The program's data folder (config.dat and the default places beside it),
// ending with a delimiter: the folder named by VELMAROK_FOLDER when set;
// else DepartmentFolder for an installed program (ExeFolder is <prefix>/bin
// and <prefix>/share/velmarok exists); else ExeFolder, the folder of the
// program file. Whether it exists or may be written is not its concern: the
// start-up meets a folder without write rights with its own messages.
AnsiString ChooseProgramFolder(const AnsiString& ExeFolder);

// The files the program ships: the help and the import instructions.
extern const char* const HelpFile;
extern const char* const ImportHelpFile;

// A file the program ships and only reads (HelpFile): beside
// the program file (ExeFolder of MainVars.h) when it is there, else in the
// installed data folder <prefix>/share/velmarok; the first place when it is
// in neither.
AnsiString ShippedFile(const AnsiString& Name);

// The installed data folder of a program in ExeFolder (<prefix>/bin):
// <prefix>/share/velmarok, with a trailing "/".
AnsiString InstalledDataFolder(const AnsiString& ExeFolder);

// The program's icon for a launcher of the program file in ProgramDir: "velmarok.svg" beside
// it, else the installed one (<prefix>/share/icons/hicolor/scalable/apps/velmarok.svg), else
// the icon's name in the desktop's icon theme, "velmarok".
AnsiString ProgramIcon(const AnsiString& ProgramDir);
