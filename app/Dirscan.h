#pragma once
// Walks a folder and its subfolders and reports every file that matches a
// mask; the callback's false stops the whole walk.
#include <functional>

#include "platform/core/SysUtils.h"

// Path is the entry's folder, ending with a path delimiter; Entry is the
// folder search's record of the file.
using TScanCallback = std::function<bool(const AnsiString& Path, const TSearchRec& Entry)>;

// Folder "" is the current folder, Mask "" is "*.*". The files of a folder
// come before its subfolders, each in the order the folder search gives.
// Symbolic links to folders are not followed, so a link loop ends; a folder
// that cannot be searched reports nothing. Every search opened is closed.
void ScanDirectory(const AnsiString& Folder, const AnsiString& Mask, const TScanCallback& Callback);
