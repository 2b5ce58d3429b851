#pragma once
// Whole-file reads and replace-by-rename writes on operating-system paths
// (used by the string lists, streams, ini files and the registry store).
#include <string>

// False when the file cannot be opened or read (a folder is not a file).
bool ReadWholeFileOs(const std::string& osPath, std::string& data);
// Writes a temporary file in the target's folder and renames it over the target;
// false (and no temporary left behind) when anything fails.
bool WriteWholeFileOs(const std::string& osPath, const std::string& data);
