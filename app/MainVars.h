#pragma once
// Program-wide state kept beside the main window (one instance each).
#include "platform/core/Types.h"

// The key text that the readers and writers of the scrambled data files use.
extern AnsiString ScrambleKeyText;
// The program's temporary folder, ending with a path delimiter; start-up sets
// it to PrivateTempFolder(), so that no plain copy of a data file lands in the
// folder all users share.
extern AnsiString TempFolder;
