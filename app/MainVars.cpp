#include "app/MainVars.h"

#include "app/U_WspolneFunkcje.h"

AnsiString ScrambleKeyText = ScrambleKey;
AnsiString TempFolder;
