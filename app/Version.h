#pragma once
#include <string>

// "Velmarok Polskich Norm <version>" in the system's code page.
std::string VersionText();
