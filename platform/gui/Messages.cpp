#include "platform/gui/Messages.h"

#include <map>

#include "platform/core/SysUtils.h"

UINT RegisterWindowMessage(const AnsiString& name)
{
    // Names compare without regard to case, as the platform's do.
    static std::map<AnsiString, UINT> ids;
    static UINT next = 0xC000;
    AnsiString key = UpperCase(name);
    auto it = ids.find(key);
    if (it != ids.end())
        return it->second;
    if (next > 0xFFFF)
        return 0;
    ids[key] = next;
    return next++;
}
