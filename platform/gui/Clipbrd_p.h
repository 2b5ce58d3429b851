#pragma once
// Private to platform/gui: how clipboard formats travel in the toolkit's MIME data
// (the clipboard and drag and drop share it).
#include <QString>

#include "platform/gui/Clipbrd.h"

// The MIME type of a registered format ("text/rtf" for "Rich Text Format"); empty for others.
QString FormatMime(UINT format);
// The registered format of such a MIME type (registered when new); 0 for other types.
UINT FormatOfMime(const QString& mime);
