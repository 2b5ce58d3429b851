#pragma once
// The measures of many texts in one font on one canvas's device, with the
// font set up once: the widths equal the canvas's TextWidth, the height its
// TextHeight. Where the font lays characters out one by one (their advances
// simply add up), a width is summed from the characters' advances; other
// texts are laid out whole, each distinct text once.
#include <memory>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"

class TTextMetrics {
public:
    // The font on the device of ACanvas as they are now; later changes of
    // either are not seen.
    TTextMetrics(const TFont& AFont, TCanvas* ACanvas);
    ~TTextMetrics();
    TTextMetrics(const TTextMetrics&) = delete;
    TTextMetrics& operator=(const TTextMetrics&) = delete;

    int TextWidth(const AnsiString& Text) { return TextWidth(Text.data(), Text.size()); }
    int TextWidth(const char* Text, std::size_t Length);
    int TextHeight() const;

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};
