#pragma once
// Private to platform/gui: the state of a canvas behind TCanvas.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Graphics_p.h"

struct TCanvas::Impl {
    struct Saved {
        std::unique_ptr<TFont> font;
        std::unique_ptr<TPen> pen;
        std::unique_ptr<TBrush> brush;
        bool hasClip;
        QRegion clip;
        int bkMode;
        TColor bkColor;
        unsigned bkBrushCount;
        TColor textColor;
        unsigned textFontCount;
        TCopyMode copyMode;
        TPoint penPos;
        int mapMode;
    };

    TCanvas* owner = nullptr;
    QPainter* lent = nullptr;
    bool lentHadClip = false;
    QRegion lentClip;
    int dpi = 96;
    TBitmap* bitmap = nullptr;
    std::unique_ptr<QPainter> own;

    bool hasClip = false;
    QRegion clip;
    // SetBkMode / SetBkColor / SetTextColor hold until the brush or font changes.
    int bkMode = OPAQUE;
    TColor bkColor = clWhite;
    unsigned bkBrushCount = ~0u;
    TColor textColor = clBlack;
    unsigned textFontCount = ~0u;
    std::vector<Saved> saved;
    // The mapping mode (SetMapMode): MM_TEXT draws in the device's pixels; MM_LOMETRIC in
    // 0.1 mm with y growing upward from the device origin, text upright.
    int mapMode = MM_TEXT;
    // The mapped mode's device pixels per inch are the device's times this, its logical origin
    // at this device point (SetMappedView).
    double mapScale = 1.0;
    QPoint mapOrigin;
    double MappedDpi() const;
    // What the device itself answers to GetDeviceCaps (the printer sets it); -1: not known there.
    std::function<int(int index)> deviceCaps;

    // Logical coordinates (of the mapping mode) to the canvas's device pixels and back.
    bool Mapped() const { return mapMode != MM_TEXT; }
    QPoint Dev(int x, int y) const;
    QPoint Dev(const TPoint& p) const { return Dev(p.X, p.Y); }
    // A logical rectangle in device pixels: mapped rectangles are normalised, an MM_TEXT
    // rectangle turned inside out stays empty.
    QRect DevRect(const TRect& r) const;
    // Lengths (pen widths, font heights): logical to device, device to logical.
    int DevLen(int v) const;
    int LogLen(int v) const;
    TPoint Log(const QPoint& p) const;
    // A device rectangle in logical units, corner by corner (top stays top, so a mapped
    // mode with y upward gives a bottom below the top).
    TRect LogRect(const QRect& r) const;
    // The pen's width in device pixels (at least 1).
    int PenWidth() const;
    // A font (the canvas's by default) in the device's pixels: its height is logical in a mapped mode.
    QFont DeviceFont() const { return DeviceFont(*owner->Font()); }
    QFont DeviceFont(const TFont& font) const;

    // The painter to draw with, its clip set; nullptr when the canvas cannot draw.
    QPainter* Painter();
    void ApplyClip(QPainter& p);
    // The device in the canvas's coordinates.
    QRect DeviceRect();
    QRect ClipBox();
    // The pixels behind the painter when they can be read; offset maps canvas to image coordinates.
    const QImage* DeviceImage(QPoint& offset);

    int BkMode() const;
    TColor BkColor() const;
    TColor TextColor() const;
    QPen MakePen() const;
    QBrush MakeBrush() const;

    // Paints with the pen mode (pmXor ...) applied exactly where the pixels can be read.
    void Run(const std::function<void(QPainter&)>& paint, bool usePenMode = true);
    // Replaces the pixels of r (canvas coordinates, inside the clip) by f(x, y, old); false when
    // the pixels cannot be read.
    bool Combine(const QRect& r, const std::function<QRgb(int x, int y, QRgb d)>& f);
};

class TTextMetrics;

// Widths of texts in a canvas's font in its device's pixels, as the toolkit
// lays them out: taken from the metrics kept for the font where they already
// know the text's characters (a screen canvas on the main thread), else laid
// out. The canvas's font must stay as it is while this is used.
class TDeviceTextWidths {
public:
    TDeviceTextWidths(TCanvas::Impl& canvas, const QFontMetrics& metrics);
    ~TDeviceTextWidths();
    int operator()(const QString& text) const;
    int operator()(const AnsiString& text) const;

private:
    const QFontMetrics& FMetrics;
    std::shared_ptr<TTextMetrics> FKept;
};

// Result of a ternary raster operation (pattern, source, destination) on 24-bit colours.
QRgb TernaryRop(std::uint32_t rop, QRgb p, QRgb s, QRgb d);
