#include "app/Version.h"

#include "app/U_WspolneFunkcje.h"

std::string VersionText()
{
    return "Velmarok Polskich Norm " + GetExeVersion();
}
