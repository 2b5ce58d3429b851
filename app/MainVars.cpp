#include "app/MainVars.h"

#include "app/U_WspolneFunkcje.h"

AnsiString ScrambleKeyText = ScrambleKey;
AnsiString TempFolder;
AnsiString ProgramFolder;

int AccessLevel = 0;
bool StartingUp = false;
bool CatalogueModified = false;
bool UpdateCheckDone = false;
TDateTime CatalogueFileDate = 0;
AnsiString RunningVersion;
AnsiString PublishedVersion;
AnsiString UpdateAddress;
AnsiString NewsText;
const AnsiString ProductKey = "QDR";
AnsiString CurrentListFile;
TIniFile* SharedIniFile = nullptr;
TStringList* HandedOutListNames = nullptr;
