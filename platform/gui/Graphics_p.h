#pragma once
// Private to platform/gui: the graphics objects on the toolkit's painter and images.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/gui/Graphics.h"

// System colours resolved; clNone and clDefault become transparent.
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
// The toolkit font of a framework font for a device of DeviceDpi (size in the device's pixels,
// faces substituted): the font's height is in pixels at its own PixelsPerInch.
QFont ToQFont(const TFont& f, int DeviceDpi = 96);

// A control lends its painter to its canvas while it paints (at 96 dpi by default).
void CanvasAttach(TCanvas& canvas, QPainter* painter, int dpi = 96);
void CanvasDetach(TCanvas& canvas);

// Lends a painter to a canvas for one scope. The painter's state is saved first; with an area, the
// painter is moved to the area's top left and clipped to it before the canvas gets it. Leaving the
// scope, also by an exception, takes the painter back and restores its state.
class TCanvasPaintScope {
public:
    TCanvasPaintScope(TCanvas& canvas, QPainter& painter);
    TCanvasPaintScope(TCanvas& canvas, QPainter& painter, const TRect& area);
    ~TCanvasPaintScope();
    TCanvasPaintScope(const TCanvasPaintScope&) = delete;
    TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

private:
    TCanvas& FCanvas;
    QPainter& FPainter;
};
// The painter drawing now (the lent one, or the bitmap's own), nullptr when none.
QPainter* CanvasPainter(TCanvas& canvas);
// The bitmap a canvas belongs to, nullptr for a control's canvas.
TBitmap* CanvasBitmap(TCanvas& canvas);

// The pixels of a bitmap (ARGB32 premultiplied). A writer must call
// BitmapImageForWrite so that the bitmap's own painter lets go of them first.
const QImage& BitmapImage(const TBitmap& bitmap);
QImage& BitmapImageForWrite(TBitmap& bitmap);
void SetBitmapImage(TBitmap& bitmap, const QImage& image);

// Any picture as an image of its own size (empty for an empty graphic).
QImage GraphicImage(const TGraphic& graphic);

// Decoding and encoding through the JPEG library; errors raise EInvalidGraphic.
QImage JpegDecode(const std::string& data, int scaleDenom = 1);
QImage JpegDecodeEx(const std::string& data, int scaleDenom, bool grayscale);
std::string JpegEncode(const QImage& image, int quality, bool grayscale);

// The bitmap's canvas lets go of its painter (before the bitmap is resized or its pixels written).
void CanvasReleasePainter(TCanvas& canvas);
void CanvasSetBitmap(TCanvas& canvas, TBitmap* bitmap);
