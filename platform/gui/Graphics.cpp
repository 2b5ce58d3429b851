// Colours, fonts, pens, brushes and regions.
#include <QFontDatabase>
#include <QRegion>
#include <mutex>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/QtText_p.h"

// ---------------------------------------------------------------- colours
namespace {

// The classic Windows scheme.
constexpr TColor SysColors[COLOR_ENDCOLORS + 1] = {
    RGB(212, 208, 200),   // scroll bar
    RGB(58, 110, 165),    // desktop
    RGB(10, 36, 106),     // active caption
    RGB(128, 128, 128),   // inactive caption
    RGB(212, 208, 200),   // menu
    RGB(255, 255, 255),   // window
    RGB(0, 0, 0),         // window frame
    RGB(0, 0, 0),         // menu text
    RGB(0, 0, 0),         // window text
    RGB(255, 255, 255),   // caption text
    RGB(212, 208, 200),   // active border
    RGB(212, 208, 200),   // inactive border
    RGB(128, 128, 128),   // application work space
    RGB(49, 106, 197),    // highlight
    RGB(255, 255, 255),   // highlight text
    RGB(212, 208, 200),   // button face
    RGB(128, 128, 128),   // button shadow
    RGB(128, 128, 128),   // grey text
    RGB(0, 0, 0),         // button text
    RGB(212, 208, 200),   // inactive caption text
    RGB(255, 255, 255),   // button highlight
    RGB(64, 64, 64),      // 3D dark shadow
    RGB(212, 208, 200),   // 3D light
    RGB(0, 0, 0),         // info text
    RGB(255, 255, 225),   // info background
    RGB(181, 181, 181),   // (unused index 25)
    RGB(0, 0, 128),       // hot light
    RGB(166, 202, 240),   // gradient active caption
    RGB(192, 192, 192),   // gradient inactive caption
    RGB(49, 106, 197),    // menu highlight
    RGB(212, 208, 200),   // menu bar
};

struct ColorName {
    TColor color;
    const char* name;
};
constexpr ColorName ColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"}, {clNone, "clNone"}, {clDefault, "clDefault"},
};

}  // namespace

TColor GetSysColor(int index)
{
    if (index < 0 || index > COLOR_ENDCOLORS)
        return clBlack;
    return SysColors[index];
}

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return color;
}

AnsiString ColorToString(TColor color)
{
    for (const ColorName& n : ColorNames)
        if (n.color == color)
            return n.name;
    return "$" + IntToHex(static_cast<std::uint32_t>(color), 8);
}

bool IdentToColor(const AnsiString& ident, TColor& color)
{
    for (const ColorName& n : ColorNames)
        if (SameText(ident, n.name)) {
            color = n.color;
            return true;
        }
    return false;
}

TColor StringToColor(const AnsiString& s)
{
    TColor c;
    if (IdentToColor(s, c))
        return c;
    Int64 v;
    if (!TryStrToInt64(s, v))
        throw EConvertError("'" + s + "' nie jest prawidłową liczbą całkowitą");
    return static_cast<TColor>(static_cast<std::uint32_t>(v));
}

QColor ToQColor(TColor c)
{
    if (c == clNone || c == clDefault)
        return QColor(Qt::transparent);
    TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

// ---------------------------------------------------------------- graphics objects
void TGraphicsObject::Changed()
{
    ++FChangeCount;
    if (OnChange)
        OnChange(this);
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this)
            return;
        FName = f->FName;
        FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight
                                                       : -MulDiv(f->Size(), FPixelsPerInch, 72);
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        FOrientation = f->FOrientation;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TFont::SetName(const AnsiString& v)
{
    if (v.empty() || v == FName)
        return;
    FName = v;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int v)
{
    SetHeight(-MulDiv(v, FPixelsPerInch, 72));
}

void TFont::SetHeight(int v)
{
    if (v == FHeight)
        return;
    FHeight = v;
    Changed();
}

void TFont::SetStyle(TFontStyles v)
{
    v &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
    if (v == FStyle)
        return;
    FStyle = v;
    Changed();
}

void TFont::SetColor(TColor v)
{
    if (v == FColor)
        return;
    FColor = v;
    Changed();
}

void TFont::SetCharset(TFontCharset v)
{
    if (v == FCharset)
        return;
    FCharset = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v)
{
    if (v == FPitch)
        return;
    FPitch = v;
    Changed();
}

void TFont::SetOrientation(int v)
{
    if (v == FOrientation)
        return;
    FOrientation = v;
    Changed();
}

namespace {

void InstallFontSubstitutes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList families = QFontDatabase::families();
        auto pick = [&](std::initializer_list<const char*> wanted) -> QString {
            for (const char* w : wanted)
                if (families.contains(QString::fromLatin1(w), Qt::CaseInsensitive))
                    return QString::fromLatin1(w);
            return QString();
        };
        // Faces with the widths the windows were laid out for come first; the wider
        // DejaVu faces only where nothing else is installed.
        QString sans = pick({"Liberation Sans", "Arimo", "DejaVu Sans", "Noto Sans", "FreeSans"});
        QString mono = pick({"Liberation Mono", "Cousine", "DejaVu Sans Mono", "Noto Sans Mono", "FreeMono"});
        QString serif = pick({"Liberation Serif", "Tinos", "DejaVu Serif", "Noto Serif", "FreeSerif"});
        auto sub = [&](const char* face, const QString& to) {
            if (!to.isEmpty() && !families.contains(QString::fromLatin1(face), Qt::CaseInsensitive))
                QFont::insertSubstitution(QString::fromLatin1(face), to);
        };
        for (const char* f : {"Tahoma", "MS Sans Serif", "Microsoft Sans Serif", "Arial", "Verdana",
                              "Segoe UI", "MS Shell Dlg", "MS Shell Dlg 2", "Helvetica", "Trebuchet MS",
                              "Calibri", "Small Fonts"})
            sub(f, sans);
        for (const char* f : {"Courier New", "Courier", "Lucida Console", "Consolas", "Fixedsys", "Terminal"})
            sub(f, mono);
        for (const char* f : {"Times New Roman", "Times", "Georgia", "Cambria", "MS Serif"})
            sub(f, serif);
    });
}

}  // namespace

QFont ToQFont(const TFont& f, int DeviceDpi)
{
    InstallFontSubstitutes();
    QFont q(ToQString(f.Name()));
    int h = f.Height();
    int px = h < 0 ? -h : (h > 0 ? std::max(1, (h * 100 + 60) / 120) : MulDiv(8, f.PixelsPerInch(), 72));
    // Pixel sizes are at the font's resolution; the toolkit's are the device's.
    if (DeviceDpi > 0 && f.PixelsPerInch() > 0 && f.PixelsPerInch() != DeviceDpi)
        px = std::max(1, MulDiv(px, DeviceDpi, f.PixelsPerInch()));
    q.setPixelSize(std::max(1, px));
    q.setBold(f.Style() & fsBold);
    q.setItalic(f.Style() & fsItalic);
    q.setUnderline(f.Style() & fsUnderline);
    q.setStrikeOut(f.Style() & fsStrikeOut);
    if (f.Pitch() == fpFixed)
        q.setFixedPitch(true);
    q.setKerning(false);
    q.setHintingPreference(QFont::PreferFullHinting);
    return q;
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this)
            return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::SetColor(TColor v)
{
    if (v == FColor)
        return;
    FColor = v;
    Changed();
}

void TPen::SetWidth(int v)
{
    if (v < 0 || v == FWidth)
        return;
    FWidth = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v)
{
    if (v == FStyle)
        return;
    FStyle = v;
    Changed();
}

void TPen::SetMode(TPenMode v)
{
    if (v == FMode)
        return;
    FMode = v;
    Changed();
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this)
            return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        if (b->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(b->FBitmap.get());
        } else {
            FBitmap.reset();
        }
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TBrush::SetColor(TColor v)
{
    if (v == FColor && FStyle != bsClear)
        return;
    FColor = v;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v)
{
    if (v == FStyle)
        return;
    FStyle = v;
    Changed();
}

void TBrush::SetBitmap(TBitmap* v)
{
    if (v) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(v);
    } else {
        FBitmap.reset();
    }
    Changed();
}

// ---------------------------------------------------------------- regions
struct TRegion::Impl {
    QRegion r;
};

namespace {
QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, std::max(0, r.Right - r.Left), std::max(0, r.Bottom - r.Top));
}
TRect FromQRect(const QRect& r)
{
    if (r.isEmpty())
        return TRect();
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}
TRegion MakeRegion(const QRegion& q)
{
    TRegion t;
    t.Data().r = q;
    return t;
}
}  // namespace

TRegion::TRegion() : FImpl(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRect& r) : FImpl(std::make_unique<Impl>()) { FImpl->r = QRegion(ToQRect(r)); }
TRegion::TRegion(const TRegion& o) : FImpl(std::make_unique<Impl>(*o.FImpl)) {}
TRegion& TRegion::operator=(const TRegion& o)
{
    *FImpl = *o.FImpl;
    return *this;
}
TRegion::~TRegion() = default;
bool TRegion::IsEmpty() const { return FImpl->r.isEmpty(); }
TRect TRegion::BoundingRect() const { return FromQRect(FImpl->r.boundingRect()); }
bool TRegion::Contains(int x, int y) const { return FImpl->r.contains(QPoint(x, y)); }
std::vector<TRect> TRegion::Rects() const
{
    std::vector<TRect> out;
    for (const QRect& r : FImpl->r)
        out.push_back(FromQRect(r));
    return out;
}
TRegion TRegion::United(const TRegion& o) const { return MakeRegion(FImpl->r.united(o.FImpl->r)); }
TRegion TRegion::Intersected(const TRegion& o) const { return MakeRegion(FImpl->r.intersected(o.FImpl->r)); }
TRegion TRegion::Subtracted(const TRegion& o) const { return MakeRegion(FImpl->r.subtracted(o.FImpl->r)); }
TRegion TRegion::Xored(const TRegion& o) const { return MakeRegion(FImpl->r.xored(o.FImpl->r)); }
void TRegion::Offset(int dx, int dy) { FImpl->r.translate(dx, dy); }
bool operator==(const TRegion& a, const TRegion& b) { return a.FImpl->r == b.FImpl->r; }

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    return new TRegion(TRect(left, top, right, bottom));
}

HRGN CreateRectRgnIndirect(const TRect& r) { return new TRegion(r); }

bool DeleteObject(HRGN rgn)
{
    if (!rgn)
        return false;
    delete rgn;
    return true;
}

namespace {
int RegionKind(const TRegion& r)
{
    if (r.IsEmpty())
        return NULLREGION;
    return r.Data().r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
}  // namespace

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    if (!dest || !src1 || (mode != RGN_COPY && !src2))
        return ERROR;
    switch (mode) {
    case RGN_AND: *dest = src1->Intersected(*src2); break;
    case RGN_OR: *dest = src1->United(*src2); break;
    case RGN_XOR: *dest = src1->Xored(*src2); break;
    case RGN_DIFF: *dest = src1->Subtracted(*src2); break;
    case RGN_COPY: *dest = *src1; break;
    default: return ERROR;
    }
    return RegionKind(*dest);
}

bool PtInRegion(HRGN rgn, int x, int y)
{
    return rgn && rgn->Contains(x, y);
}
