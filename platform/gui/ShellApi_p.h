#pragma once
// Private to platform/gui: the shell's list of files the program wrote.
#include <QString>

// True when the local file (an operating-system name) was registered with
// ShellRegisterWrittenFile; links are resolved on both sides.
bool ShellIsWrittenFile(const QString& LocalName);
