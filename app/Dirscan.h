#pragma once
// Walks a folder and its subfolders and reports every file that matches a
// mask; the callback's false stops the whole walk.
#include <functional>

#include "platform/core/SysUtils.h"

// Path is the entry's folder, ending with a path delimiter.
using TScanCallback = std::function<bool(const AnsiString& Path, const TSearchEntry& Entry)>;

// Folder "" is the current folder, Mask "" is "*.*". The files of a folder
// come before its subfolders, each in the order the folder lists them.
// Symbolic links to folders are not followed, so a link loop ends; a folder
// that cannot be read reports nothing.
void ScanDirectory(const AnsiString& Folder, const AnsiString& Mask, const TScanCallback& Callback);
