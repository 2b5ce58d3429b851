// The canvas: shapes, lines, pixels and text on the toolkit's painter, with the
// platform's pixel rules (the end point of a line is not drawn, rectangles
// cover Left..Right-1) and its raster operations.
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainterPath>
#include <cmath>

#include "platform/gui/Canvas_p.h"
#include "platform/gui/QtText_p.h"

// ---------------------------------------------------------------- raster operations
QRgb TernaryRop(std::uint32_t rop, QRgb p, QRgb s, QRgb d)
{
    unsigned table = (rop >> 16) & 0xFF;
    std::uint32_t r = 0;
    // Bit i of the table is the result for pattern bit (i & 4), source bit (i & 2), destination bit (i & 1).
    for (int i = 0; i < 8; ++i) {
        if (!(table & (1u << i)))
            continue;
        std::uint32_t m = (i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d);
        r |= m;
    }
    return (r & 0x00FFFFFF) | 0xFF000000;
}

namespace {

// Truth table of a pen mode over (pen, destination): bit (pen * 2 + dest).
unsigned PenModeTable(TPenMode m)
{
    static const unsigned tables[] = {0x0, 0xF, 0xA, 0x5, 0xC, 0x3, 0xD, 0x4,
                                      0xB, 0x2, 0xE, 0x1, 0x8, 0x7, 0x6, 0x9};
    return tables[m];
}

QRgb PenModeRop(TPenMode m, QRgb pen, QRgb d)
{
    unsigned t = PenModeTable(m);
    std::uint32_t r = 0;
    for (int i = 0; i < 4; ++i)
        if (t & (1u << i))
            r |= (i & 2 ? pen : ~pen) & (i & 1 ? d : ~d);
    return (r & 0x00FFFFFF) | 0xFF000000;
}

QPainter::CompositionMode PenModeComposition(TPenMode m)
{
    switch (m) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QRect QR(int l, int t, int r, int b)
{
    return QRect(l, t, std::max(0, r - l), std::max(0, b - t));
}

QRect QR(const TRect& r)
{
    return QR(r.Left, r.Top, r.Right, r.Bottom);
}

TRect TR(const QRect& r)
{
    if (r.isEmpty())
        return TRect();
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

// A one-pixel frame just inside r.
void FrameOutline(QPainter& p, const QRect& r, const QBrush& b)
{
    const int l = r.left(), t = r.top(), rt = r.left() + r.width(), bt = r.top() + r.height();
    p.fillRect(QR(l, t, rt, t + 1), b);
    p.fillRect(QR(l, bt - 1, rt, bt), b);
    p.fillRect(QR(l, t + 1, l + 1, bt - 1), b);
    p.fillRect(QR(rt - 1, t + 1, rt, bt - 1), b);
}

// A block (x, y, w, h) in logical units of a canvas as device pixels (w, h keep their signs
// in the device's directions).
void DevBlock(const TCanvas::Impl& d, int& x, int& y, int& w, int& h)
{
    if (!d.Mapped())
        return;
    QPoint a = d.Dev(x, y), b = d.Dev(x + w, y + h);
    x = a.x(), y = a.y(), w = b.x() - a.x(), h = b.y() - a.y();
}

// Dash patterns of the platform's one-pixel pens: on, off, on, off ...
const std::vector<int>& DashPattern(TPenStyle s)
{
    static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (s) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return none;
    }
}

bool DashOn(const std::vector<int>& pattern, Int64 index)
{
    if (pattern.empty())
        return true;
    int total = 0;
    for (int v : pattern)
        total += v;
    int pos = int(index % total);
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pos < pattern[i])
            return i % 2 == 0;
        pos -= pattern[i];
    }
    return true;
}

// The pixels of a one-pixel line from a to b (b excluded) that lie in Visible, each with its
// index along the line; returns the number of pixels of the whole line. Pixel i lies i steps
// from a along the longer axis, and on the other axis where the midpoint rule puts it, so a
// part of a line has the pixels the whole line would have. Only the part of the line across
// Visible is visited: a line far longer than the canvas costs what its visible part costs.
Int64 LinePixels(QPoint a, QPoint b, const QRect& Visible, const std::function<void(Int64, QPoint)>& Out)
{
    const Int64 dx = std::abs(Int64(b.x()) - a.x()), dy = std::abs(Int64(b.y()) - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const Int64 major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const Int64 from = xMajor ? a.x() : a.y(), across = xMajor ? a.y() : a.x();
    const int step = xMajor ? sx : sy, side = xMajor ? sy : sx;
    const Int64 lo = xMajor ? Visible.left() : Visible.top(), hi = xMajor ? Visible.right() : Visible.bottom();
    const Int64 acrossLo = xMajor ? Visible.top() : Visible.left();
    const Int64 acrossHi = xMajor ? Visible.bottom() : Visible.right();
    // The indexes whose coordinate on the longer axis lies in lo .. hi.
    Int64 first = step > 0 ? lo - from : from - hi, last = step > 0 ? hi - from : from - lo;
    first = std::max<Int64>(first, 0);
    last = std::min<Int64>(last, major - 1);
    for (Int64 i = first; i <= last; ++i) {
        const Int64 off = Int64((__int128(2) * i * minor + major) / (__int128(2) * major));
        const Int64 o = across + side * off;
        if (o < acrossLo || o > acrossHi)
            continue;
        const Int64 m = from + step * i;
        Out(i, xMajor ? QPoint(int(m), int(o)) : QPoint(int(o), int(m)));
    }
    return major;
}

// The part of a painter's device it can change, in its logical coordinates, one pixel wider
// on every side; an empty rectangle when the painter's transformation cannot be undone.
QRect PaintableRect(const QPainter& p)
{
    const QPaintDevice* dev = p.device();
    if (!dev)
        return QRect();
    bool invertible = false;
    const QTransform back = p.combinedTransform().inverted(&invertible);
    if (!invertible)
        return QRect();
    QRect r = back.mapRect(QRect(0, 0, dev->width(), dev->height()));
    if (p.hasClipping())
        r = r.intersected(p.clipBoundingRect().toAlignedRect());
    return r.adjusted(-1, -1, 1, 1);
}

double PointAngle(double cx, double cy, int x, int y)
{
    return std::atan2(-(y - cy), x - cx) * 180.0 / M_PI;
}

}  // namespace

// ---------------------------------------------------------------- canvas state
QPainter* TCanvas::Impl::Painter()
{
    QPainter* p = lent;
    if (!p && bitmap) {
        const QImage& img = BitmapImage(*bitmap);
        if (img.isNull())
            return nullptr;
        if (!own || !own->isActive()) {
            own = std::make_unique<QPainter>();
            if (!own->begin(&BitmapImageForWrite(*bitmap)))
                return nullptr;
        }
        p = own.get();
    }
    if (p && p->isActive()) {
        ApplyClip(*p);
        return p;
    }
    return nullptr;
}

void TCanvas::Impl::ApplyClip(QPainter& p)
{
    if (&p == lent) {
        if (hasClip)
            p.setClipRegion(lentHadClip ? lentClip.intersected(clip) : clip);
        else if (lentHadClip)
            p.setClipRegion(lentClip);
        else
            p.setClipping(false);
    } else if (hasClip) {
        p.setClipRegion(clip);
    } else {
        p.setClipping(false);
    }
}

QRect TCanvas::Impl::DeviceRect()
{
    if (lent && lent->device()) {
        // The widget's own rectangle: the painter's device transform also holds where the widget
        // lies in the window's backing store, which is not the canvas's business.
        QPaintDevice* d = lent->device();
        QRect r(0, 0, d->width(), d->height());
        return lent->combinedTransform().inverted().mapRect(r);
    }
    if (bitmap) {
        const QImage& img = BitmapImage(*bitmap);
        return QRect(0, 0, img.width(), img.height());
    }
    return QRect();
}

QRect TCanvas::Impl::ClipBox()
{
    QRect r = DeviceRect();
    if (lent && lentHadClip)
        r = r.intersected(lentClip.boundingRect());
    if (hasClip)
        r = r.intersected(clip.boundingRect());
    return r;
}

const QImage* TCanvas::Impl::DeviceImage(QPoint& offset)
{
    if (lent) {
        QPaintEngine* e = lent->paintEngine();
        if (!e || !e->paintDevice() || e->paintDevice()->devType() != QInternal::Image)
            return nullptr;
        QTransform t = lent->deviceTransform();
        if (t.type() > QTransform::TxTranslate)
            return nullptr;
        offset = QPoint(qRound(t.dx()), qRound(t.dy()));
        return static_cast<const QImage*>(e->paintDevice());
    }
    if (bitmap) {
        offset = QPoint(0, 0);
        const QImage& img = BitmapImage(*bitmap);
        return img.isNull() ? nullptr : &img;
    }
    return nullptr;
}

// ---------------------------------------------------------------- mapping mode
namespace {
// Logical units per inch of a mapped mode.
constexpr int LometricPerInch = 254;
}  // namespace

double TCanvas::Impl::MappedDpi() const
{
    return dpi * mapScale;
}

QPoint TCanvas::Impl::Dev(int x, int y) const
{
    if (!Mapped())
        return QPoint(x, y);
    return QPoint(mapOrigin.x() + DevLen(x), mapOrigin.y() + DevLen(-y));
}

QRect TCanvas::Impl::DevRect(const TRect& r) const
{
    if (!Mapped())
        return QR(r);
    QPoint a = Dev(r.Left, r.Top), b = Dev(r.Right, r.Bottom);
    return QR(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y()));
}

int TCanvas::Impl::DevLen(int v) const
{
    return Mapped() ? int(std::lround(v * MappedDpi() / LometricPerInch)) : v;
}

int TCanvas::Impl::LogLen(int v) const
{
    return Mapped() ? int(std::lround(v * LometricPerInch / MappedDpi())) : v;
}

TPoint TCanvas::Impl::Log(const QPoint& p) const
{
    if (!Mapped())
        return TPoint(p.x(), p.y());
    return TPoint(LogLen(p.x() - mapOrigin.x()), -LogLen(p.y() - mapOrigin.y()));
}

TRect TCanvas::Impl::LogRect(const QRect& r) const
{
    if (!Mapped())
        return TR(r);
    if (r.isEmpty())
        return TRect();
    TPoint a = Log(r.topLeft()), b = Log(QPoint(r.left() + r.width(), r.top() + r.height()));
    return TRect(a.X, a.Y, b.X, b.Y);
}

int TCanvas::Impl::PenWidth() const
{
    return std::max(1, DevLen(owner->Pen()->Width()));
}

QFont TCanvas::Impl::DeviceFont(const TFont& font) const
{
    if (!Mapped())
        return ToQFont(font, dpi);
    // The height is in logical units: as a font of that many pixels at the mode's resolution.
    TFont f;
    f.SetPixelsPerInch(font.PixelsPerInch());   // the height is copied as it stands
    f.Assign(const_cast<TFont*>(&font));
    // A scaled mapping shows the height at the scaled resolution.
    f.SetPixelsPerInch(int(std::lround(LometricPerInch / mapScale)));
    return ToQFont(f, dpi);
}

int TCanvas::Impl::BkMode() const
{
    if (bkBrushCount != owner->Brush()->ChangeCount())
        return owner->Brush()->Style() == bsClear ? TRANSPARENT : OPAQUE;
    return bkMode;
}

TColor TCanvas::Impl::BkColor() const
{
    if (bkBrushCount != owner->Brush()->ChangeCount())
        return owner->Brush()->Color();
    return bkColor;
}

TColor TCanvas::Impl::TextColor() const
{
    if (textFontCount != owner->Font()->ChangeCount())
        return owner->Font()->Color();
    return textColor;
}

QPen TCanvas::Impl::MakePen() const
{
    TPen* pen = owner->Pen();
    if (pen->Style() == psClear || pen->Mode() == pmNop)
        return QPen(Qt::NoPen);
    QColor c = ToQColor(pen->Color());
    if (pen->Mode() == pmBlack)
        c = Qt::black;
    else if (pen->Mode() == pmWhite)
        c = Qt::white;
    QPen q(c);
    const int width = PenWidth();
    q.setWidth(width);
    q.setCapStyle(width <= 1 ? Qt::SquareCap : Qt::RoundCap);
    q.setJoinStyle(width <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
    const std::vector<int>& dashes = DashPattern(pen->Style());
    if (!dashes.empty() && width <= 1) {
        QList<qreal> d;
        for (int v : dashes)
            d << v;
        q.setCapStyle(Qt::FlatCap);
        q.setDashPattern(d);
    }
    return q;
}

QBrush TCanvas::Impl::MakeBrush() const
{
    TBrush* b = owner->Brush();
    if (b->Bitmap() && !b->Bitmap()->Empty())
        return QBrush(BitmapImage(*b->Bitmap()));
    QColor c = ToQColor(b->Color());
    switch (b->Style()) {
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(c, Qt::HorPattern);
    case bsVertical: return QBrush(c, Qt::VerPattern);
    case bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case bsCross: return QBrush(c, Qt::CrossPattern);
    case bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
    }
}

bool TCanvas::Impl::Combine(const QRect& r, const std::function<QRgb(int x, int y, QRgb d)>& f)
{
    QPainter* p = Painter();
    if (!p)
        return false;
    QPoint off;
    const QImage* img = DeviceImage(off);
    if (!img)
        return false;
    QRect area = r.intersected(ClipBox()).intersected(QRect(-off, img->size()));
    if (area.isEmpty())
        return true;
    QImage out(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < area.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(img->constScanLine(area.top() + y + off.y()));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            QRgb d = src[area.left() + x + off.x()];
            if (img->format() == QImage::Format_ARGB32_Premultiplied && qAlpha(d) != 255)
                d = qUnpremultiply(d);
            QRgb v = f(area.left() + x, area.top() + y, d | 0xFF000000);
            dst[x] = (v & 0x00FFFFFF) | (d & 0xFF000000);
            if (qAlpha(dst[x]) != 255)
                dst[x] = qPremultiply(dst[x]);
        }
    }
    // Only the part of the area inside the clip changes.
    QRegion keep(area);
    if (hasClip)
        keep = keep.intersected(clip);
    if (p == lent && lentHadClip)
        keep = keep.intersected(lentClip);
    p->save();
    p->resetTransform();
    p->setClipRegion(keep.translated(off));
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(area.topLeft() + off, out);
    p->restore();
    ApplyClip(*p);
    return true;
}

void TCanvas::Impl::Run(const std::function<void(QPainter&)>& paint, bool usePenMode)
{
    QPainter* p = Painter();
    if (!p)
        return;
    TPenMode m = usePenMode ? owner->Pen()->Mode() : pmCopy;
    if (m == pmNop)
        return;
    if (m == pmCopy || m == pmBlack || m == pmWhite) {
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        paint(*p);
        return;
    }
    QRect area = ClipBox();
    if (area.isEmpty())
        return;
    QImage tmp(area.size(), QImage::Format_ARGB32_Premultiplied);
    tmp.fill(Qt::transparent);
    {
        QPainter tp(&tmp);
        tp.translate(-area.topLeft());
        paint(tp);
    }
    bool done = Combine(area, [&](int x, int y, QRgb d) {
        QRgb s = tmp.pixel(x - area.left(), y - area.top());
        if (qAlpha(s) < 128)
            return d;
        return PenModeRop(m, qUnpremultiply(s), d);
    });
    if (!done) {
        p->setCompositionMode(PenModeComposition(m));
        paint(*p);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

// ---------------------------------------------------------------- attach and detach
void CanvasAttach(TCanvas& canvas, QPainter* painter, int dpi)
{
    TCanvas::Impl& d = canvas.Data();
    d.lent = painter;
    d.dpi = dpi > 0 ? dpi : 96;
    d.mapMode = MM_TEXT;
    d.mapScale = 1.0;
    d.mapOrigin = QPoint();
    d.lentHadClip = painter && painter->hasClipping();
    d.lentClip = d.lentHadClip ? painter->clipRegion() : QRegion();
}

void CanvasDetach(TCanvas& canvas)
{
    TCanvas::Impl& d = canvas.Data();
    if (d.lent) {
        d.lent->setClipRegion(d.lentClip);
        d.lent->setClipping(d.lentHadClip);
    }
    d.lent = nullptr;
    d.lentHadClip = false;
    d.lentClip = QRegion();
}

TCanvasPaintScope::TCanvasPaintScope(TCanvas& canvas, QPainter& painter) : FCanvas(canvas), FPainter(painter)
{
    painter.save();
    CanvasAttach(canvas, &painter);
}

TCanvasPaintScope::TCanvasPaintScope(TCanvas& canvas, QPainter& painter, const TRect& area)
    : FCanvas(canvas), FPainter(painter)
{
    painter.save();
    painter.translate(area.Left, area.Top);
    painter.setClipRect(0, 0, area.Width(), area.Height(), Qt::IntersectClip);
    CanvasAttach(canvas, &painter);
}

TCanvasPaintScope::~TCanvasPaintScope()
{
    CanvasDetach(FCanvas);
    FPainter.restore();
}

QPainter* CanvasPainter(TCanvas& canvas)
{
    return canvas.Data().Painter();
}

TBitmap* CanvasBitmap(TCanvas& canvas)
{
    return canvas.Data().bitmap;
}

void CanvasReleasePainter(TCanvas& canvas)
{
    TCanvas::Impl& d = canvas.Data();
    if (d.own && d.own->isActive())
        d.own->end();
}

void CanvasSetBitmap(TCanvas& canvas, TBitmap* bitmap)
{
    CanvasReleasePainter(canvas);
    canvas.Data().bitmap = bitmap;
}

// ---------------------------------------------------------------- TCanvas
TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FImpl(std::make_unique<Impl>())
{
    FImpl->owner = this;
}

TCanvas::~TCanvas()
{
    CanvasReleasePainter(*this);
}

bool TCanvas::HandleAllocated() const
{
    return FImpl->lent || (FImpl->bitmap && !FImpl->bitmap->Empty());
}

TRect TCanvas::ClipRect() const
{
    return FImpl->LogRect(FImpl->ClipBox());
}

TColor TCanvas::Pixels(int x, int y) const
{
    QPoint off;
    if (!FImpl->Painter() && !FImpl->bitmap)
        return -1;
    const QImage* img = FImpl->DeviceImage(off);
    if (!img)
        return -1;
    QPoint pt = FImpl->Dev(x, y) + off;
    if (!img->rect().contains(pt))
        return -1;
    QRgb v = img->pixel(pt);
    if (img->format() == QImage::Format_ARGB32_Premultiplied && qAlpha(v) != 255)
        v = qUnpremultiply(v);
    return RGB(qRed(v), qGreen(v), qBlue(v));
}

void TCanvas::SetPixels(int x, int y, TColor c)
{
    const QPoint at = FImpl->Dev(x, y);
    if (!FImpl->ClipBox().contains(at) || (FImpl->hasClip && !FImpl->clip.contains(at)))
        return;
    QPainter* p = FImpl->Painter();
    if (!p)
        return;
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(QRect(at, QSize(1, 1)), ToQColor(c));
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = TPoint(x, y);
}

namespace {

void PaintLines(QPainter& p, const QPen& pen, TPen* tpen, const std::vector<QPoint>& pts)
{
    if (pen.style() == Qt::NoPen || pts.size() < 2)
        return;
    if (pen.width() > 1) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(pts.data(), int(pts.size()));
        return;
    }
    // One-pixel lines pixel by pixel: the platform leaves out the last point and
    // runs the dash pattern on across the joints.
    const std::vector<int>& dashes = DashPattern(tpen->Style());
    const QRect visible = PaintableRect(p);
    const QColor color = pen.color();
    // A solid segment along an axis is one run of pixels, filled at once where pixels are pixels.
    const bool runs = dashes.empty() && p.combinedTransform().type() <= QTransform::TxTranslate;
    Int64 done = 0;   // pixels of the segments before
    for (size_t i = 1; i < pts.size(); ++i) {
        const QPoint a = pts[i - 1], b = pts[i];
        if (runs && a != b && (a.x() == b.x() || a.y() == b.y())) {
            // From a up to, not including, b.
            const QPoint last = a.x() == b.x() ? QPoint(a.x(), b.y() + (a.y() < b.y() ? -1 : 1))
                                               : QPoint(b.x() + (a.x() < b.x() ? -1 : 1), a.y());
            const QRect run = QRect(QPoint(std::min(a.x(), last.x()), std::min(a.y(), last.y())),
                                    QPoint(std::max(a.x(), last.x()), std::max(a.y(), last.y())))
                                  .intersected(visible);
            if (!run.isEmpty())
                p.fillRect(run, color);
            done += std::max(std::abs(Int64(b.x()) - a.x()), std::abs(Int64(b.y()) - a.y()));
            continue;
        }
        done += LinePixels(a, b, visible, [&](Int64 k, QPoint pt) {
            if (DashOn(dashes, done + k))
                p.fillRect(QRect(pt, QSize(1, 1)), color);
        });
    }
}

}  // namespace

void TCanvas::LineTo(int x, int y)
{
    std::vector<QPoint> pts{FImpl->Dev(FPenPos), FImpl->Dev(x, y)};
    QPen pen = FImpl->MakePen();
    FImpl->Run([&](QPainter& p) { PaintLines(p, pen, FPen.get(), pts); });
    FPenPos = TPoint(x, y);
}

void TCanvas::Polyline(const TPoint* points, int count)
{
    if (!points || count < 2)
        return;
    std::vector<QPoint> pts;
    for (int i = 0; i < count; ++i)
        pts.push_back(FImpl->Dev(points[i]));
    QPen pen = FImpl->MakePen();
    FImpl->Run([&](QPainter& p) { PaintLines(p, pen, FPen.get(), pts); });
}

void TCanvas::FillRect(const TRect& r)
{
    QBrush b = FImpl->MakeBrush();
    if (b.style() == Qt::NoBrush)
        return;
    TColor bk = FImpl->BkColor();
    bool opaque = FImpl->BkMode() == OPAQUE;
    const QRect area = FImpl->DevRect(r);
    FImpl->Run(
        [&](QPainter& p) {
            if (b.style() != Qt::SolidPattern && b.style() != Qt::TexturePattern && opaque)
                p.fillRect(area, ToQColor(bk));
            p.fillRect(area, b);
        },
        false);
}

void TCanvas::FrameRect(const TRect& r)
{
    const QRect q = FImpl->DevRect(r);
    if (q.isEmpty())
        return;
    QBrush b = FImpl->MakeBrush();
    if (b.style() == Qt::NoBrush)
        return;
    FImpl->Run([&](QPainter& p) { FrameOutline(p, q, b); }, false);
}

namespace {

// The rectangle QPainter outlines so that a pen covers Left..Right-1 as the platform does
// (the corners in logical units, the rectangle in device pixels).
QRect ShapeRect(const TCanvas::Impl& d, int x1, int y1, int x2, int y2, TPen* pen)
{
    QPoint a = d.Dev(x1, y1), b = d.Dev(x2, y2);
    x1 = a.x(), y1 = a.y(), x2 = b.x(), y2 = b.y();
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    QRect r(x1, y1, std::max(0, x2 - x1 - 1), std::max(0, y2 - y1 - 1));
    const int width = d.PenWidth();
    if (pen->Style() == psInsideFrame && width > 1) {
        int w = width / 2;
        r.adjust(w, w, -w, -w);
    }
    return r;
}

void SetShapeTools(TCanvas::Impl& d, QPainter& p, const QPen& pen, const QBrush& brush)
{
    p.setPen(pen);
    p.setBrush(brush);
    p.setBrushOrigin(0, 0);
    if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush && d.BkMode() == OPAQUE) {
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(ToQColor(d.BkColor()));
    } else {
        p.setBackgroundMode(Qt::TransparentMode);
    }
}

}  // namespace

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    QPen pen = FImpl->MakePen();
    QBrush brush = FImpl->MakeBrush();
    QRect r = ShapeRect(*FImpl, x1, y1, x2, y2, FPen.get());
    FImpl->Run([&](QPainter& p) {
        SetShapeTools(*FImpl, p, pen, brush);
        p.drawRect(r);
    });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    QPen pen = FImpl->MakePen();
    QBrush brush = FImpl->MakeBrush();
    QRect r = ShapeRect(*FImpl, x1, y1, x2, y2, FPen.get());
    FImpl->Run([&](QPainter& p) {
        SetShapeTools(*FImpl, p, pen, brush);
        p.drawRoundedRect(r, FImpl->DevLen(x3) / 2.0, FImpl->DevLen(y3) / 2.0, Qt::AbsoluteSize);
    });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    QPen pen = FImpl->MakePen();
    QBrush brush = FImpl->MakeBrush();
    QRect r = ShapeRect(*FImpl, x1, y1, x2, y2, FPen.get());
    FImpl->Run([&](QPainter& p) {
        SetShapeTools(*FImpl, p, pen, brush);
        p.drawEllipse(r);
    });
}

namespace {

enum ArcKind { akArc, akPie, akChord };

void PaintArc(TCanvas::Impl& d, TPen* tpen, ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3,
              int x4, int y4)
{
    QPen pen = d.MakePen();
    QBrush brush = kind == akArc ? QBrush(Qt::NoBrush) : d.MakeBrush();
    QRect r = ShapeRect(d, x1, y1, x2, y2, tpen);
    const QPoint c1 = d.Dev(x1, y1), c2 = d.Dev(x2, y2), s = d.Dev(x3, y3), e = d.Dev(x4, y4);
    double cx = (c1.x() + c2.x()) / 2.0, cy = (c1.y() + c2.y()) / 2.0;
    double a1 = PointAngle(cx, cy, s.x(), s.y()), a2 = PointAngle(cx, cy, e.x(), e.y());
    double span = a2 - a1;
    while (span <= 0)
        span += 360;   // counter-clockwise from start to end; equal points give the whole ellipse
    int start = qRound(a1 * 16), len = qRound(span * 16);
    d.Run([&](QPainter& p) {
        SetShapeTools(d, p, pen, brush);
        if (kind == akArc)
            p.drawArc(r, start, len);
        else if (kind == akPie)
            p.drawPie(r, start, len);
        else
            p.drawChord(r, start, len);
    });
}

}  // namespace

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    PaintArc(*FImpl, FPen.get(), akArc, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    PaintArc(*FImpl, FPen.get(), akPie, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    PaintArc(*FImpl, FPen.get(), akChord, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Polygon(const TPoint* points, int count)
{
    if (!points || count < 2)
        return;
    QPolygon poly;
    for (int i = 0; i < count; ++i)
        poly << FImpl->Dev(points[i]);
    QPen pen = FImpl->MakePen();
    QBrush brush = FImpl->MakeBrush();
    FImpl->Run([&](QPainter& p) {
        SetShapeTools(*FImpl, p, pen, brush);
        p.drawPolygon(poly, Qt::OddEvenFill);
        // The outline passes through every corner, as a closed figure's edges do; the toolkit's
        // thin diagonal edges can stop a pixel short of one.
        if (pen.style() != Qt::NoPen && pen.width() <= 1)
            p.drawPoints(poly);
    });
}

void TCanvas::PolyBezier(const TPoint* points, int count)
{
    if (!points || count < 4)
        return;
    QPainterPath path(FImpl->Dev(points[0]));
    for (int i = 1; i + 2 < count; i += 3)
        path.cubicTo(FImpl->Dev(points[i]), FImpl->Dev(points[i + 1]), FImpl->Dev(points[i + 2]));
    QPen pen = FImpl->MakePen();
    FImpl->Run([&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    });
}

void TCanvas::FloodFill(int lx, int ly, TColor color, bool surface)
{
    const QPoint start = FImpl->Dev(lx, ly);
    const int x = start.x(), y = start.y();
    QPoint off;
    if (!FImpl->Painter())
        return;
    const QImage* img = FImpl->DeviceImage(off);
    if (!img)
        return;
    QRect area = FImpl->ClipBox().intersected(QRect(-off, img->size()));
    if (!area.contains(QPoint(x, y)))
        return;
    QRgb key = ToQColor(color).rgb() & 0x00FFFFFF;
    auto colourAt = [&](int px, int py) {
        QRgb v = img->pixel(px + off.x(), py + off.y());
        if (qAlpha(v) != 255)
            v = qUnpremultiply(v);
        return v & 0x00FFFFFF;
    };
    // fsSurface: fill the area of the given colour; fsBorder: fill up to the border colour.
    auto inside = [&](int px, int py) { return surface ? colourAt(px, py) == key : colourAt(px, py) != key; };
    if (!inside(x, y))
        return;
    std::vector<char> seen(size_t(area.width()) * size_t(area.height()), 0);
    auto idx = [&](int px, int py) { return size_t(py - area.top()) * size_t(area.width()) + size_t(px - area.left()); };
    std::vector<QRect> spans;
    std::vector<QPoint> stack{QPoint(x, y)};
    while (!stack.empty()) {
        QPoint pt = stack.back();
        stack.pop_back();
        int py = pt.y();
        if (seen[idx(pt.x(), py)] || !inside(pt.x(), py))
            continue;
        int l = pt.x(), r = pt.x();
        while (l > area.left() && !seen[idx(l - 1, py)] && inside(l - 1, py))
            --l;
        while (r + 1 <= area.right() && !seen[idx(r + 1, py)] && inside(r + 1, py))
            ++r;
        for (int i = l; i <= r; ++i)
            seen[idx(i, py)] = 1;
        spans.emplace_back(l, py, r - l + 1, 1);
        for (int ny : {py - 1, py + 1}) {
            if (ny < area.top() || ny > area.bottom())
                continue;
            for (int i = l; i <= r; ++i)
                if (!seen[idx(i, ny)] && inside(i, ny))
                    stack.emplace_back(i, ny);
        }
    }
    QBrush b = FImpl->MakeBrush();
    if (b.style() == Qt::NoBrush)
        return;
    FImpl->Run(
        [&](QPainter& p) {
            for (const QRect& s : spans)
                p.fillRect(s, b);
        },
        false);
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    // Every other pixel of the frame inverted.
    const QRect q = FImpl->DevRect(r);
    if (q.isEmpty())
        return;
    bool ok = FImpl->Combine(q, [&](int x, int y, QRgb d) {
        bool edge = x == q.left() || x == q.right() || y == q.top() || y == q.bottom();
        if (!edge || ((x + y) & 1))
            return d;
        return ~d | 0xFF000000;
    });
    if (!ok) {
        QPainter* p = FImpl->Painter();
        if (!p)
            return;
        QPen pen(Qt::white);
        pen.setWidth(1);
        pen.setDashPattern({1, 1});
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(q.adjusted(0, 0, -1, -1));
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

// ---------------------------------------------------------------- text
namespace {

// Text with its top left at (x, y) in device pixels.
void PaintText(TCanvas::Impl& d, TFont* font, int x, int y, const QString& s, const QRect* clip, bool fillClip)
{
    QFont qf = d.DeviceFont();
    QFontMetrics fm(qf);
    int w = fm.horizontalAdvance(s), h = fm.height();
    bool opaque = d.BkMode() == OPAQUE;
    QColor bk = ToQColor(d.BkColor());
    QColor fg = ToQColor(d.TextColor());
    double angle = font->Orientation() / 10.0;
    d.Run(
        [&](QPainter& p) {
            p.save();
            if (clip)
                p.setClipRect(*clip, p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
            if (fillClip && clip)
                p.fillRect(*clip, bk);
            p.translate(x, y);
            if (angle != 0)
                p.rotate(-angle);
            if (opaque && !fillClip)
                p.fillRect(QRect(0, 0, w, h), bk);
            p.setFont(qf);
            p.setPen(fg);
            p.drawText(QPoint(0, fm.ascent()), s);
            p.restore();
        },
        false);
}

}  // namespace

void TCanvas::TextOut(int x, int y, const AnsiString& text)
{
    const QPoint at = FImpl->Dev(x, y);
    PaintText(*FImpl, FFont.get(), at.x(), at.y(), ToQString(text), nullptr, false);
    FPenPos = TPoint(x + TextWidth(text), y);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text)
{
    QRect clip = FImpl->DevRect(r);
    bool fill = FBrush->Style() != bsClear;
    const QPoint at = FImpl->Dev(x, y);
    PaintText(*FImpl, FFont.get(), at.x(), at.y(), ToQString(text), &clip, fill);
}

int TCanvas::TextWidth(const AnsiString& text) const
{
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(const AnsiString&) const
{
    // The font's height, whatever the text: nothing to lay out.
    return FImpl->LogLen(QFontMetrics(FImpl->DeviceFont()).height());
}

TSize TCanvas::TextExtent(const AnsiString& text) const
{
    QFontMetrics fm(FImpl->DeviceFont());
    TSize s;
    s.cx = FImpl->LogLen(TDeviceTextWidths(*FImpl, fm)(text));
    s.cy = FImpl->LogLen(fm.height());
    return s;
}

// ---------------------------------------------------------------- pictures
void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    graphic->Draw(this, TRect(x, y, x + graphic->Width(), y + graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    graphic->Draw(this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source)
{
    StretchBlt(this, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas, source.Left, source.Top,
               source.Width(), source.Height(), FCopyMode);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color)
{
    if (!bitmap || bitmap->Empty())
        return;
    QImage part = BitmapImage(*bitmap).copy(QR(source)).convertToFormat(QImage::Format_ARGB32);
    QRgb key = ToQColor(color).rgb() & 0x00FFFFFF;
    QRgb fill = ToQColor(FBrush->Color()).rgb();
    for (int y = 0; y < part.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == key)
                line[x] = fill;
    }
    const QRect area = FImpl->DevRect(dest);
    FImpl->Run([&](QPainter& p) { p.drawImage(area, part); }, false);
}

// ---------------------------------------------------------------- saved states
int TCanvas::SaveState()
{
    Impl::Saved s;
    s.font = std::make_unique<TFont>();
    s.font->Assign(FFont.get());
    s.pen = std::make_unique<TPen>();
    s.pen->Assign(FPen.get());
    s.brush = std::make_unique<TBrush>();
    s.brush->Assign(FBrush.get());
    s.hasClip = FImpl->hasClip;
    s.clip = FImpl->clip;
    s.bkMode = FImpl->BkMode();
    s.bkColor = FImpl->BkColor();
    s.bkBrushCount = FImpl->bkBrushCount == FBrush->ChangeCount() ? 1 : 0;
    s.textColor = FImpl->TextColor();
    s.textFontCount = FImpl->textFontCount == FFont->ChangeCount() ? 1 : 0;
    s.copyMode = FCopyMode;
    s.penPos = FPenPos;
    s.mapMode = FImpl->mapMode;
    FImpl->saved.push_back(std::move(s));
    return int(FImpl->saved.size());
}

bool TCanvas::RestoreState(int index)
{
    auto& saved = FImpl->saved;
    if (index < 0)
        index = int(saved.size()) + 1 + index;
    if (index < 1 || index > int(saved.size()))
        return false;
    Impl::Saved s = std::move(saved[size_t(index - 1)]);
    saved.resize(size_t(index - 1));
    FFont->Assign(s.font.get());
    FPen->Assign(s.pen.get());
    FBrush->Assign(s.brush.get());
    FImpl->hasClip = s.hasClip;
    FImpl->clip = s.clip;
    FImpl->bkMode = s.bkMode;
    FImpl->bkColor = s.bkColor;
    FImpl->bkBrushCount = s.bkBrushCount ? FBrush->ChangeCount() : ~0u;
    FImpl->textColor = s.textColor;
    FImpl->textFontCount = s.textFontCount ? FFont->ChangeCount() : ~0u;
    FCopyMode = s.copyMode;
    FPenPos = s.penPos;
    FImpl->mapMode = s.mapMode;
    return true;
}

// ---------------------------------------------------------------- GDI-style calls
int SetBkMode(TCanvas* dc, int mode)
{
    if (!dc)
        return 0;
    TCanvas::Impl& d = dc->Data();
    int old = d.BkMode();
    d.bkColor = d.BkColor();
    d.bkMode = mode == TRANSPARENT ? TRANSPARENT : OPAQUE;
    d.bkBrushCount = dc->Brush()->ChangeCount();
    return old;
}

int GetBkMode(TCanvas* dc)
{
    return dc ? dc->Data().BkMode() : 0;
}

TColor SetBkColor(TCanvas* dc, TColor color)
{
    if (!dc)
        return clNone;
    TCanvas::Impl& d = dc->Data();
    TColor old = d.BkColor();
    d.bkMode = d.BkMode();
    d.bkColor = color;
    d.bkBrushCount = dc->Brush()->ChangeCount();
    return old;
}

TColor GetBkColor(TCanvas* dc)
{
    return dc ? dc->Data().BkColor() : clNone;
}

TColor SetTextColor(TCanvas* dc, TColor color)
{
    if (!dc)
        return clNone;
    TCanvas::Impl& d = dc->Data();
    TColor old = d.TextColor();
    d.textColor = color;
    d.textFontCount = dc->Font()->ChangeCount();
    return old;
}

TColor GetTextColor(TCanvas* dc)
{
    return dc ? dc->Data().TextColor() : clNone;
}

bool GetTextMetrics(TCanvas* dc, TTextMetric& tm)
{
    if (!dc)
        return false;
    TCanvas::Impl& d = dc->Data();
    QFont qf = d.DeviceFont();
    QFontMetrics fm(qf);
    tm = TTextMetric();
    tm.tmAscent = d.LogLen(fm.ascent());
    tm.tmDescent = d.LogLen(fm.descent());
    tm.tmHeight = d.LogLen(fm.height());
    tm.tmInternalLeading = d.LogLen(std::max(0, fm.height() - qf.pixelSize()));
    tm.tmExternalLeading = d.LogLen(std::max(0, fm.leading()));
    tm.tmAveCharWidth = d.LogLen(fm.averageCharWidth());
    tm.tmMaxCharWidth = d.LogLen(fm.maxWidth());
    tm.tmWeight = (dc->Font()->Style() & fsBold) ? 700 : 400;
    tm.tmItalic = dc->Font()->Style() & fsItalic;
    tm.tmUnderlined = dc->Font()->Style() & fsUnderline;
    tm.tmStruckOut = dc->Font()->Style() & fsStrikeOut;
    return true;
}

int GetDeviceCaps(TCanvas* dc, int index)
{
    if (!dc)
        return 0;
    if (dc->Data().deviceCaps) {
        int v = dc->Data().deviceCaps(index);
        if (v >= 0)
            return v;
    }
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return dc->Data().dpi;
    case HORZRES: return dc->Data().DeviceRect().width();
    case VERTRES: return dc->Data().DeviceRect().height();
    case BITSPIXEL: return 32;
    default: return 0;
    }
}

int SetMapMode(TCanvas* dc, int mode)
{
    if (!dc || (mode != MM_TEXT && mode != MM_LOMETRIC))
        return 0;
    int old = dc->Data().mapMode;
    dc->Data().mapMode = mode;
    return old;
}

int GetMapMode(TCanvas* dc)
{
    return dc ? dc->Data().mapMode : 0;
}

void SetMappedView(TCanvas* dc, double Scale, const TPoint& Origin)
{
    if (!dc || Scale <= 0)
        return;
    dc->Data().mapScale = Scale;
    dc->Data().mapOrigin = QPoint(Origin.X, Origin.Y);
}

double GetMappedView(TCanvas* dc, TPoint& Origin)
{
    if (!dc)
        return 1.0;
    Origin = TPoint(dc->Data().mapOrigin.x(), dc->Data().mapOrigin.y());
    return dc->Data().mapScale;
}

bool DPtoLP(TCanvas* dc, TPoint* points, int count)
{
    if (!dc || (!points && count > 0))
        return false;
    for (int i = 0; i < count; ++i)
        points[i] = dc->Data().Log(QPoint(points[i].X, points[i].Y));
    return true;
}

bool LPtoDP(TCanvas* dc, TPoint* points, int count)
{
    if (!dc || (!points && count > 0))
        return false;
    for (int i = 0; i < count; ++i) {
        QPoint q = dc->Data().Dev(points[i]);
        points[i] = TPoint(q.x(), q.y());
    }
    return true;
}

namespace {
// A rectangle's two corners through a point conversion.
bool MapCorners(TCanvas* dc, TRect& r, bool (*convert)(TCanvas*, TPoint*, int))
{
    TPoint pts[2] = {TPoint(r.Left, r.Top), TPoint(r.Right, r.Bottom)};
    if (!convert(dc, pts, 2))
        return false;
    r = TRect(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
    return true;
}
}  // namespace

bool DPtoLP(TCanvas* dc, TRect& r)
{
    return MapCorners(dc, r, DPtoLP);
}

bool LPtoDP(TCanvas* dc, TRect& r)
{
    return MapCorners(dc, r, LPtoDP);
}

namespace {
int ClipKind(TCanvas::Impl& d)
{
    QRegion r = d.hasClip ? d.clip : QRegion(d.DeviceRect());
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
}  // namespace

int IntersectClipRect(TCanvas* dc, int left, int top, int right, int bottom)
{
    if (!dc)
        return ERROR;
    TCanvas::Impl& d = dc->Data();
    QRegion r(d.DevRect(TRect(left, top, right, bottom)));
    d.clip = d.hasClip ? d.clip.intersected(r) : r.intersected(d.DeviceRect());
    d.hasClip = true;
    return ClipKind(d);
}

int ExcludeClipRect(TCanvas* dc, int left, int top, int right, int bottom)
{
    if (!dc)
        return ERROR;
    TCanvas::Impl& d = dc->Data();
    QRegion base = d.hasClip ? d.clip : QRegion(d.DeviceRect());
    d.clip = base.subtracted(QRegion(d.DevRect(TRect(left, top, right, bottom))));
    d.hasClip = true;
    return ClipKind(d);
}

int SelectClipRgn(TCanvas* dc, HRGN rgn)
{
    if (!dc)
        return ERROR;
    TCanvas::Impl& d = dc->Data();
    if (!rgn) {
        d.hasClip = false;
        d.clip = QRegion();
        return SIMPLEREGION;
    }
    d.hasClip = true;
    d.clip = QRegion();
    for (const TRect& r : rgn->Rects())
        d.clip += QR(r);
    return ClipKind(d);
}

int GetClipBox(TCanvas* dc, TRect& r)
{
    if (!dc)
        return ERROR;
    QRect box = dc->Data().ClipBox();
    r = dc->Data().LogRect(box);
    return box.isEmpty() ? NULLREGION : ClipKind(dc->Data());
}

int GetClipRgn(TCanvas* dc, HRGN rgn)
{
    if (!dc || !rgn)
        return -1;
    TCanvas::Impl& d = dc->Data();
    if (!d.hasClip)
        return 0;
    TRegion out;
    for (const QRect& q : d.clip)
        out = out.United(TRegion(TR(q)));
    *rgn = out;
    return 1;
}

int SaveDC(TCanvas* dc)
{
    return dc ? dc->SaveState() : 0;
}

bool RestoreDC(TCanvas* dc, int saved)
{
    return dc && dc->RestoreState(saved);
}

bool FillRect(TCanvas* dc, const TRect& r, TColor color)
{
    if (!dc)
        return false;
    QColor c = ToQColor(color);
    const QRect area = dc->Data().DevRect(r);
    dc->Data().Run([&](QPainter& p) { p.fillRect(area, c); }, false);
    return true;
}

bool FrameRect(TCanvas* dc, const TRect& r, TColor color)
{
    if (!dc)
        return false;
    const QRect q = dc->Data().DevRect(r);
    if (q.isEmpty())
        return true;
    QBrush b(ToQColor(color));
    dc->Data().Run([&](QPainter& p) { FrameOutline(p, q, b); }, false);
    return true;
}

bool DrawFocusRect(TCanvas* dc, const TRect& r)
{
    if (!dc)
        return false;
    dc->DrawFocusRect(r);
    return true;
}

bool DrawEdge(TCanvas* dc, TRect& r, unsigned edge, unsigned flags)
{
    if (!dc)
        return false;
    // Outer and inner rings: top-left colour, bottom-right colour.
    TColor outerTL = clNone, outerBR = clNone, innerTL = clNone, innerBR = clNone;
    if (edge & BDR_RAISEDOUTER) {
        outerTL = (flags & BF_SOFT) ? clBtnHighlight : cl3DLight;
        outerBR = cl3DDkShadow;
    } else if (edge & BDR_SUNKENOUTER) {
        outerTL = (flags & BF_SOFT) ? cl3DDkShadow : clBtnShadow;
        outerBR = clBtnHighlight;
    }
    if (edge & BDR_RAISEDINNER) {
        innerTL = (flags & BF_SOFT) ? cl3DLight : clBtnHighlight;
        innerBR = clBtnShadow;
    } else if (edge & BDR_SUNKENINNER) {
        innerTL = (flags & BF_SOFT) ? clBtnShadow : cl3DDkShadow;
        innerBR = cl3DLight;
    }
    if (flags & BF_MONO) {
        outerTL = outerBR = outerTL == clNone ? clNone : clWindowFrame;
        innerTL = innerBR = innerTL == clNone ? clNone : clWindow;
    } else if (flags & BF_FLAT) {
        outerTL = outerBR = outerTL == clNone ? clNone : clBtnShadow;
        innerTL = innerBR = innerTL == clNone ? clNone : clBtnFace;
    }
    TRect q = r;
    auto ring = [&](TColor tl, TColor br) {
        if (tl == clNone || q.Right <= q.Left || q.Bottom <= q.Top)
            return;
        if (flags & BF_TOP)
            FillRect(dc, TRect(q.Left, q.Top, q.Right, q.Top + 1), tl);
        if (flags & BF_LEFT)
            FillRect(dc, TRect(q.Left, q.Top, q.Left + 1, q.Bottom), tl);
        if (flags & BF_BOTTOM)
            FillRect(dc, TRect(q.Left, q.Bottom - 1, q.Right, q.Bottom), br);
        if (flags & BF_RIGHT)
            FillRect(dc, TRect(q.Right - 1, q.Top, q.Right, q.Bottom), br);
        if (flags & BF_TOP) ++q.Top;
        if (flags & BF_LEFT) ++q.Left;
        if (flags & BF_BOTTOM) --q.Bottom;
        if (flags & BF_RIGHT) --q.Right;
    };
    ring(outerTL, outerBR);
    ring(innerTL, innerBR);
    if (flags & BF_MIDDLE)
        FillRect(dc, q, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST)
        r = q;
    return true;
}

// ---------------------------------------------------------------- block transfers
namespace {

bool RopUsesSource(TCopyMode rop) { return (((rop >> 2) ^ rop) & 0x330000) != 0; }

// The source pixels of a canvas at (sx, sy, sw, sh), scaled to w x h; null when unreadable.
QImage SourceImage(TCanvas* src, int sx, int sy, int sw, int sh, int w, int h)
{
    QPoint off;
    TCanvas::Impl& s = src->Data();
    s.Painter();
    const QImage* img = s.DeviceImage(off);
    if (!img)
        return QImage();
    QImage part = img->copy(QRect(sx + off.x(), sy + off.y(), sw, sh)).convertToFormat(QImage::Format_ARGB32);
    if (sw != w || sh != h)
        part = part.scaled(std::abs(w), std::abs(h), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                   .mirrored((w < 0) != (sw < 0), (h < 0) != (sh < 0));
    return part;
}

bool Blt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh, TCopyMode rop)
{
    if (!dest || w == 0 || h == 0)
        return false;
    DevBlock(dest->Data(), x, y, w, h);
    if (src)
        DevBlock(src->Data(), sx, sy, sw, sh);
    if (w == 0 || h == 0)
        return false;
    if (w < 0) { x += w; w = -w; }
    if (h < 0) { y += h; h = -h; }
    TCanvas::Impl& d = dest->Data();
    QPainter* p = d.Painter();
    if (!p)
        return false;
    QImage source;
    if (RopUsesSource(rop)) {
        if (!src)
            return false;
        source = SourceImage(src, sx, sy, sw, sh, w, h);
        if (source.isNull())
            return false;
    }
    QRect area(x, y, w, h);
    if (rop == SRCCOPY) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(area.topLeft(), source);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return true;
    }
    // The pattern is the destination canvas's brush, aligned to the canvas origin.
    QImage pattern(area.size(), QImage::Format_ARGB32);
    {
        QBrush b = d.MakeBrush();
        pattern.fill(ToQColor(d.BkColor()));
        QPainter pp(&pattern);
        pp.setBrushOrigin(-x, -y);
        if (b.style() != Qt::NoBrush)
            pp.fillRect(pattern.rect(), b);
    }
    bool done = d.Combine(area, [&](int px, int py, QRgb dv) {
        QRgb pv = pattern.pixel(px - x, py - y);
        QRgb sv = source.isNull() ? 0 : source.pixel(px - x, py - y);
        return TernaryRop(rop, pv, sv, dv);
    });
    if (done)
        return true;
    // The device cannot be read: the operations the painter has.
    QPainter::CompositionMode mode;
    switch (rop) {
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; break;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case DSTINVERT: mode = QPainter::RasterOp_NotDestination; break;
    case PATINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    default: mode = QPainter::CompositionMode_Source; break;
    }
    p->setCompositionMode(mode);
    if (rop == BLACKNESS || rop == WHITENESS)
        p->fillRect(area, rop == BLACKNESS ? Qt::black : Qt::white);
    else if (rop == PATCOPY || rop == PATINVERT)
        p->drawImage(area.topLeft(), pattern);
    else if (rop == DSTINVERT)
        p->fillRect(area, Qt::white);
    else if (rop == MERGECOPY) {
        QImage ps(area.size(), QImage::Format_ARGB32);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                ps.setPixel(i, j, TernaryRop(rop, pattern.pixel(i, j), source.pixel(i, j), 0));
        p->drawImage(area.topLeft(), ps);
    } else if (!source.isNull())
        p->drawImage(area.topLeft(), source);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

}  // namespace

bool BitBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, TCopyMode rop)
{
    return Blt(dest, x, y, w, h, src, sx, sy, w, h, rop);
}

bool StretchBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh,
                TCopyMode rop)
{
    if (sw == 0 || sh == 0)
        return false;
    return Blt(dest, x, y, w, h, src, sx, sy, sw, sh, rop);
}

bool PatBlt(TCanvas* dest, int x, int y, int w, int h, TCopyMode rop)
{
    if (RopUsesSource(rop))
        return false;
    return Blt(dest, x, y, w, h, nullptr, 0, 0, w, h, rop);
}
