#pragma once
// Private to platform/gui: where program text (Windows-1250) meets the toolkit.
#include <QString>

#include "platform/core/CodePage.h"

inline QString ToQString(const AnsiString& s)
{
    WideString w = AnsiToWide(s);
    return QString::fromUtf16(w.data(), static_cast<qsizetype>(w.size()));
}

inline AnsiString FromQString(const QString& s)
{
    return WideToAnsi(WideString(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size())));
}
