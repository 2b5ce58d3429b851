#pragma once
// Bitmaps to paint on and what to read back from them: the box of the painted pixels, and the
// colours expected at given points.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "platform/gui/Graphics.h"

// A bitmap of w x h filled with bg.
inline std::unique_ptr<TBitmap> FilledBitmap(int w, int h, TColor bg = clWhite)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(bg);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

// The bounding box of pixels other than bg within w x h; empty when none.
inline TRect InkBox(TCanvas* c, int w, int h, TColor bg = clWhite)
{
    TRect r(w, h, -1, -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (c->Pixels(x, y) != bg) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r.Right < 0 ? TRect() : r;
}

// A point of a canvas and the colour it must have.
struct TPixelProbe {
    int X, Y;
    TColor Want;
};

inline void ExpectPixels(TCanvas* c, std::initializer_list<TPixelProbe> Probes)
{
    for (const TPixelProbe& p : Probes)
        EXPECT_EQ(c->Pixels(p.X, p.Y), p.Want) << "pixel " << p.X << "," << p.Y;
}
