#pragma once
// Program-wide state kept beside the main window (one instance each).
#include "platform/core/Types.h"

class TIniFile;
class TStringList;

// The key text that the readers and writers of the scrambled data files use.
extern AnsiString ScrambleKeyText;
// The program's temporary folder, ending with a path delimiter; start-up sets
// it to PrivateTempFolder(), so that no plain copy of a data file lands in the
// folder all users share.
extern AnsiString TempFolder;
// The folder of the program file, ending with a path delimiter: the default
// data folders lie beside the program. The entry point sets it before the
// main window is created.
extern AnsiString ProgramFolder;
// The folder of the program file itself, ending with a path delimiter; the
// files the program ships are looked for there first (ShippedFile).
extern AnsiString ExeFolder;

// Access level of the current login, 0 (not on the list of users) to 4;
// changing the catalogue and the registers needs 3 or more.
extern int CurrentUserLevel;
// The current login is not among the users of the users file.
extern bool UserOutsideList;
// True while the main window is being created: the catalogue loader does not
// switch pages then.
extern bool StartingUp;
// The catalogue was changed and not saved; loads and successful saves clear it.
extern bool NormListModified;
// Set once the about page has fetched the version information.
extern bool UpdateCheckDone;
// The last fetch read a published version: the check gave an answer.
extern bool VersionKnown;
// Last-write time of the catalogue file, read at start-up.
extern TDateTime NormListDate;
// Versions "a.b.c.d" of the running program and of the published one; the
// update address and news text of the version information.
extern AnsiString RunningVersion;
extern AnsiString PublishedVersion;
extern AnsiString UpdateAddress;
extern AnsiString NewsText;
// Section of the version information that names this program.
extern const AnsiString ProductKey;
// The maker's site, to which "version.ini" is appended, and the home page
// shown until the version information names one. No such site exists for
// this program: ".invalid" never resolves, so the check finds nothing.
extern const AnsiString SiteBaseAddress;
extern const AnsiString DefaultHomePage;
// Full path of the register open in the register grid.
extern AnsiString CurrentListFile;
// The ini file a menu-file reader creates and frees around its work.
extern TIniFile* SharedIniFile;
// Register file names handed out for new registers during this run.
extern TStringList* UsedListFiles;
// The names of the pages of the main window in the order they were shown.
extern TStringList* PageHistory;
