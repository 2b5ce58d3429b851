#include "app/MainVars.h"

#include "app/U_WspolneFunkcje.h"
#include "platform/core/Classes.h"

AnsiString ScrambleKeyText = ScrambleKey;
AnsiString TempFolder;
AnsiString ProgramFolder;
AnsiString ExeFolder;

int CurrentUserLevel = 0;
bool UserOutsideList = false;
bool StartingUp = false;
bool NormListModified = false;
bool UpdateCheckDone = false;
bool VersionKnown = false;
TDateTime NormListDate = 0;
AnsiString RunningVersion;
AnsiString PublishedVersion;
AnsiString UpdateAddress;
AnsiString NewsText;
const AnsiString ProductKey = "QDR";
const AnsiString SiteBaseAddress = "https://velmarok.invalid/";
const AnsiString DefaultHomePage = "";
AnsiString CurrentListFile;
TIniFile* SharedIniFile = nullptr;
namespace {
TStringList HandedOutListNames;
TStringList ShownPages;
}
TStringList* UsedListFiles = &HandedOutListNames;
TStringList* PageHistory = &ShownPages;
