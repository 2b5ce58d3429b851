#include "app/Version.h"

std::string VersionText()
{
    return std::string("Velmarok Polskich Norm ") + VELMAROK_VERSION;
}
