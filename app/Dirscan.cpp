#include "app/Dirscan.h"

namespace {
// False when the callback stopped the walk.
bool Walk(const AnsiString& Path, const AnsiString& Mask, const TScanCallback& Callback)
{
    bool go = true;
    TSearchRec f;
    if (FindFirst(Path + Mask, faAnyFile, f) == 0) {
        do {
            if (!(f.Attr & (faDirectory | faVolumeID)) && !Callback(Path, f))
                go = false;
        } while (go && FindNext(f) == 0);
        FindClose(f);
    }
    if (go && FindFirst(Path + "*.*", faDirectory, f) == 0) {
        do {
            const bool folder = (f.Attr & faDirectory) && !(f.Attr & faSymLink) && f.Name != "." && f.Name != "..";
            if (folder && !Walk(Path + f.Name + "\\", Mask, Callback))
                go = false;
        } while (go && FindNext(f) == 0);
        FindClose(f);
    }
    return go;
}
}  // namespace

void ScanDirectory(const AnsiString& Folder, const AnsiString& Mask, const TScanCallback& Callback)
{
    AnsiString folder = IncludeTrailingPathDelimiter(Folder.empty() ? GetCurrentDir() : Folder);
    Walk(folder, Mask.empty() ? AnsiString("*.*") : Mask, Callback);
}
