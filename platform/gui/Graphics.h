#pragma once
// Graphics of the framework: colours, fonts, pens, brushes, the canvas and
// the pictures (bitmaps, icons, JPEG and the other formats), with the GDI
// calls the program's painters use on a canvas (DrawText, BitBlt, clipping).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Types.h"
#include "platform/gui/Component.h"

class TCanvas;
class TBitmap;
class TGraphic;

// ---------------------------------------------------------------- colours
// 0x00BBGGRR; system colours are 0xFF000000 | index (the older form 0x80000000 | index
// names the same colour).
using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr Byte GetRValue(TColor c) { return Byte(c & 0xFF); }
constexpr Byte GetGValue(TColor c) { return Byte((c >> 8) & 0xFF); }
constexpr Byte GetBValue(TColor c) { return Byte((c >> 16) & 0xFF); }

// System colour indexes (GetSysColor).
enum {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30, COLOR_ENDCOLORS = 30
};

constexpr TColor clSystemColor = TColor(0xFF000000u);
constexpr TColor SysColor(int index) { return TColor(0xFF000000u | unsigned(index)); }

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a system colour index (the classic Windows scheme).
TColor GetSysColor(int index);
// System colours resolved to RGB; other values are returned as they are.
TColor ColorToRGB(TColor color);
// "clRed" for the named colours, else "$00BBGGRR".
AnsiString ColorToString(TColor color);
// Accepts the names of ColorToString and numbers ("$FF", "255"); EConvertError otherwise.
TColor StringToColor(const AnsiString& s);
bool IdentToColor(const AnsiString& ident, TColor& color);

// ---------------------------------------------------------------- graphics objects
// Base of the font, pen and brush: OnChange fires on every change.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;
    // Counts the changes; a canvas uses it to notice that the object changed.
    unsigned ChangeCount() const { return FChangeCount; }

protected:
    void Changed();

private:
    unsigned FChangeCount = 0;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;   // fsBold | fsItalic ...
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset EASTEUROPE_CHARSET = 238;
constexpr TFontCharset OEM_CHARSET = 255;

class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(TPersistent* Source) override;

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& v);
    // Points; Height = -MulDiv(Size, PixelsPerInch, 72).
    int Size() const;
    void SetSize(int v);
    // Negative: character height in pixels; positive: cell height in pixels.
    int Height() const { return FHeight; }
    void SetHeight(int v);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    // Angle of the text in tenths of a degree, counter-clockwise (escapement).
    int Orientation() const { return FOrientation; }
    void SetOrientation(int v);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v) { FPixelsPerInch = v > 0 ? v : 96; }

private:
    AnsiString FName = "Tahoma";
    int FHeight = -11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
    int FPixelsPerInch = 96;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode v);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);               // a clear brush becomes solid
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);
    // Pattern brush: a copy of the bitmap is kept; nullptr removes it.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* v);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
};

// ---------------------------------------------------------------- canvas
// Ternary raster operations (BitBlt, PatBlt, CopyMode).
using TCopyMode = std::uint32_t;
constexpr TCopyMode SRCCOPY = 0x00CC0020;
constexpr TCopyMode SRCPAINT = 0x00EE0086;
constexpr TCopyMode SRCAND = 0x008800C6;
constexpr TCopyMode SRCINVERT = 0x00660046;
constexpr TCopyMode SRCERASE = 0x00440328;
constexpr TCopyMode NOTSRCCOPY = 0x00330008;
constexpr TCopyMode NOTSRCERASE = 0x001100A6;
constexpr TCopyMode MERGECOPY = 0x00C000CA;
constexpr TCopyMode MERGEPAINT = 0x00BB0226;
constexpr TCopyMode PATCOPY = 0x00F00021;
constexpr TCopyMode PATPAINT = 0x00FB0A09;
constexpr TCopyMode PATINVERT = 0x005A0049;
constexpr TCopyMode DSTINVERT = 0x00550009;
constexpr TCopyMode BLACKNESS = 0x00000042;
constexpr TCopyMode WHITENESS = 0x00FF0062;
constexpr TCopyMode cmSrcCopy = SRCCOPY, cmSrcPaint = SRCPAINT, cmSrcAnd = SRCAND, cmSrcInvert = SRCINVERT,
                    cmSrcErase = SRCERASE, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmMergeCopy = MERGECOPY, cmMergePaint = MERGEPAINT, cmPatCopy = PATCOPY,
                    cmPatPaint = PATPAINT, cmPatInvert = PATINVERT, cmDstInvert = DSTINVERT,
                    cmBlackness = BLACKNESS, cmWhiteness = WHITENESS;

// Background modes (SetBkMode).
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Mapping modes (SetMapMode): MM_TEXT device pixels, y down; MM_LOMETRIC 0.1 mm, y up.
constexpr int MM_TEXT = 1, MM_LOMETRIC = 2;

// Device capabilities (GetDeviceCaps).
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, LOGPIXELSX = 88, LOGPIXELSY = 90;

struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
};

// A clip region: a set of rectangles (CreateRectRgn, CombineRgn ...).
class TRegion {
public:
    TRegion();
    explicit TRegion(const TRect& r);
    TRegion(const TRegion& o);
    TRegion& operator=(const TRegion& o);
    ~TRegion();
    bool IsEmpty() const;
    TRect BoundingRect() const;
    bool Contains(int x, int y) const;
    std::vector<TRect> Rects() const;
    TRegion United(const TRegion& o) const;
    TRegion Intersected(const TRegion& o) const;
    TRegion Subtracted(const TRegion& o) const;
    TRegion Xored(const TRegion& o) const;
    void Offset(int dx, int dy);
    friend bool operator==(const TRegion& a, const TRegion& b);

    struct Impl;
    Impl& Data() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};
using HRGN = TRegion*;

// Region calls: the regions are owned by the caller (DeleteObject frees them).
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const TRect& r);
bool DeleteObject(HRGN rgn);
enum { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
bool PtInRegion(HRGN rgn, int x, int y);

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The canvas is its own device handle for the GDI-style calls below.
    TCanvas* Handle() { return this; }
    // True while the canvas can draw (a control is painting, or a bitmap canvas).
    bool HandleAllocated() const;

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(const TPoint& p) { FPenPos = p; }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode v) { FCopyMode = v; }
    // The bounding box of the clip region (the whole device when not clipped).
    TRect ClipRect() const;

    TColor Pixels(int x, int y) const;       // -1 outside or when pixels cannot be read
    void SetPixels(int x, int y, TColor c);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);                // the end pixel is not drawn
    void FillRect(const TRect& r);            // with the brush; no outline
    void FrameRect(const TRect& r);           // one pixel wide, in the brush colour
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const TPoint* points, int count);
    void Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), int(points.size())); }
    void Polyline(const TPoint* points, int count);
    void Polyline(const std::vector<TPoint>& points) { Polyline(points.data(), int(points.size())); }
    void PolyBezier(const TPoint* points, int count);   // 1 + 3n points
    void FloodFill(int x, int y, TColor color, bool surface);   // fsBorder = false, fsSurface = true
    void DrawFocusRect(const TRect& r);       // dotted, inverting

    void TextOut(int x, int y, const AnsiString& text);
    void TextRect(const TRect& r, int x, int y, const AnsiString& text);
    int TextWidth(const AnsiString& text) const;
    int TextHeight(const AnsiString& text) const;
    TSize TextExtent(const AnsiString& text) const;

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);   // with CopyMode
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);

    // SaveDC / RestoreDC: font, pen, brush, clip, background and text settings.
    int SaveState();
    bool RestoreState(int index);             // -1: the last saved state

    // Fired by the framework around changes; kept for the program's handlers.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    struct Impl;
    Impl& Data() const { return *FImpl; }

private:
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    TCopyMode FCopyMode = SRCCOPY;
    std::unique_ptr<Impl> FImpl;
};
using HDC = TCanvas*;

// ---------------------------------------------------------------- GDI-style calls on a canvas
constexpr unsigned DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                   DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                   DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
                   DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000,
                   DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
                   DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000,
                   DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000;

// Draws (or with DT_CALCRECT measures) text in r; len -1 means the whole text.
// Returns the height of the text; DT_CALCRECT sets r's right and bottom.
// A font turned by its Orientation turns the text laid out in r about the middle
// of its lines (clipped to r as ever); DT_CALCRECT then gives the turned extent.
int DrawText(TCanvas* dc, const AnsiString& text, int len, TRect& r, unsigned flags);
// The wide form: UTF-16 text, every character drawn as it is.
int DrawTextW(TCanvas* dc, const WideString& text, TRect& r, unsigned flags);
// Lays text out once and draws it where Place puts it: Place is given the extent
// DT_CALCRECT would give for flags without ellipses, and may move r's top and
// bottom and add vertical alignment to the flags before the lines are drawn.
using TTextPlacement = std::function<void(int Width, int Height, TRect& r, unsigned& flags)>;
int DrawText(TCanvas* dc, const AnsiString& text, TRect& r, unsigned flags, const TTextPlacement& Place);
int DrawTextW(TCanvas* dc, const WideString& text, TRect& r, unsigned flags, const TTextPlacement& Place);

bool BitBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, TCopyMode rop);
bool StretchBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh,
                TCopyMode rop);
// Raster operation of the canvas brush (the pattern) with the destination.
bool PatBlt(TCanvas* dest, int x, int y, int w, int h, TCopyMode rop);

int SetBkMode(TCanvas* dc, int mode);         // returns the previous mode
int GetBkMode(TCanvas* dc);
TColor SetBkColor(TCanvas* dc, TColor color);
TColor GetBkColor(TCanvas* dc);
TColor SetTextColor(TCanvas* dc, TColor color);
TColor GetTextColor(TCanvas* dc);
bool GetTextMetrics(TCanvas* dc, TTextMetric& tm);
int GetDeviceCaps(TCanvas* dc, int index);

// The mapping mode of the canvas: coordinates, lengths, pen widths and font heights of every
// drawing call are in its units. A canvas starts in MM_TEXT each time it is lent for painting.
// SetMapMode returns the previous mode, 0 for a mode the layer does not have (nothing changes).
int SetMapMode(TCanvas* dc, int mode);
int GetMapMode(TCanvas* dc);
// The mapped mode drawn smaller or larger and moved: 0.1 mm becomes Scale times its length on
// the device (1 by default), lengths and font heights alike, and the logical origin stands at the
// device point Origin (0, 0 by default); a print preview shows a printer's page so. Returns the scale.
void SetMappedView(TCanvas* dc, double Scale, const TPoint& Origin);
double GetMappedView(TCanvas* dc, TPoint& Origin);
// Device pixels to logical units and back, point by point.
bool DPtoLP(TCanvas* dc, TPoint* points, int count);
bool LPtoDP(TCanvas* dc, TPoint* points, int count);
// A rectangle as its two corners.
bool DPtoLP(TCanvas* dc, TRect& r);
bool LPtoDP(TCanvas* dc, TRect& r);

// Clipping, in the canvas's coordinates; results are region kinds (SIMPLEREGION ...).
int IntersectClipRect(TCanvas* dc, int left, int top, int right, int bottom);
int ExcludeClipRect(TCanvas* dc, int left, int top, int right, int bottom);
int SelectClipRgn(TCanvas* dc, HRGN rgn);    // nullptr removes the clip; the region is copied
int GetClipBox(TCanvas* dc, TRect& r);
int GetClipRgn(TCanvas* dc, HRGN rgn);       // 1 with a clip, 0 without
int SaveDC(TCanvas* dc);
bool RestoreDC(TCanvas* dc, int saved);
bool FillRect(TCanvas* dc, const TRect& r, TColor color);
bool FrameRect(TCanvas* dc, const TRect& r, TColor color);
bool DrawFocusRect(TCanvas* dc, const TRect& r);

// DrawEdge
constexpr unsigned BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
                   BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
                   EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9;
constexpr unsigned BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3,
                   BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF, BF_MIDDLE = 0x800, BF_SOFT = 0x1000,
                   BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;
bool DrawEdge(TCanvas* dc, TRect& r, unsigned edge, unsigned flags);

// ---------------------------------------------------------------- pictures
class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual void SetHeight(int v) = 0;
    virtual bool Empty() const = 0;
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);

    // Files and streams; a bad or unreadable picture raises EInvalidGraphic,
    // a file that cannot be opened or written EFOpenError / EFCreateError.
    virtual void LoadFromFile(const AnsiString& fileName);
    virtual void SaveToFile(const AnsiString& fileName);
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream);
    // The picture in its file format, and back.
    virtual void LoadFromData(const std::string& data) = 0;
    virtual std::string SaveToData() = 0;

    // Paints the picture into r of the canvas (stretched to r).
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

    TNotifyEvent OnChange;

protected:
    void Changed();
    bool FTransparent = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    void SetSize(int w, int h);
    bool Empty() const override;
    // The canvas painting into the bitmap (new pixels are white).
    TCanvas* Canvas();

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat v);     // pixels are kept in 32 bits; pf1bit makes them black and white
    bool Monochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool v);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode v);
    // tmAuto: the colour of the bottom-left pixel.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor v);       // switches to tmFixed
    // A row of 32-bit pixels (0xAARRGGBB words), top row 0.
    std::uint32_t* ScanLine(int row);

    void LoadFromData(const std::string& data) override;   // BMP (and what the toolkit reads)
    std::string SaveToData() override;                      // BMP
    void LoadFromResourceName(const AnsiString& name);       // EResNotFound-like EInvalidGraphic when missing
    void Draw(TCanvas* canvas, const TRect& r) override;
    void FreeImage() {}
    void Dormant() {}

    struct Impl;
    Impl& Data() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
    TPixelFormat FPixelFormat = pfDevice;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
};

// The program's built-in pictures: a builder paints the bitmap when the name is loaded.
using TBitmapBuilder = std::function<void(TBitmap* bitmap)>;
void RegisterResourceBitmap(const AnsiString& name, TBitmapBuilder builder);
bool ResourceBitmapExists(const AnsiString& name);

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* Source) override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    bool Empty() const override;
    void LoadFromData(const std::string& data) override;   // .ico
    std::string SaveToData() override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    // The icon as a bitmap of its size (transparent pixels in the given colour).
    void AssignToBitmap(TBitmap* bitmap, TColor background) const;

    struct Impl;
    Impl& Data() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};

// PNG and GIF (and other formats the toolkit reads), with their alpha.
class TRasterImage : public TGraphic {
public:
    explicit TRasterImage(const char* format = "PNG");
    ~TRasterImage() override;
    void Assign(TPersistent* Source) override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    bool Empty() const override;
    void LoadFromData(const std::string& data) override;
    std::string SaveToData() override;
    void Draw(TCanvas* canvas, const TRect& r) override;

    struct Impl;
    Impl& Data() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    void Assign(TPersistent* Source) override;   // from another JPEG image or a bitmap
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override {}
    void SetHeight(int v) override {}
    bool Empty() const override;
    void LoadFromData(const std::string& data) override;   // "JPEG error #N" on bad data
    std::string SaveToData() override;                      // the loaded data, or a new compression
    void Draw(TCanvas* canvas, const TRect& r) override;

    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int v);       // 1..100
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool v);
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale v);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance v) { FPerformance = v; }
    // Compresses the current picture again (with CompressionQuality and Grayscale).
    void Compress();
    void DIBNeeded();
    // The decoded picture.
    TBitmap* Bitmap() const;

private:
    std::string FData;                        // compressed
    mutable std::unique_ptr<TBitmap> FBitmap; // decoded
    int FQuality = 90;
    bool FGrayscale = false;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
    void Decode() const;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;   // a picture or a graphic (copied); nullptr clears
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* v);                 // copied
    // The graphic as a bitmap; a picture of another kind is replaced by an empty bitmap.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const;
    int Height() const;
    // By extension: .bmp .ico .jpg .jpeg .gif .png; EInvalidGraphic "Unknown picture file extension (.xyz)".
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName);
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
    void Changed();
};

// A list of images of one size, a component a form owns (or one made on its own with a size).
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    TImageList(int width = 16, int height = 16);
    ~TImageList() override;
    void Assign(TPersistent* Source) override;
    int Width() const { return FWidth; }
    void SetWidth(int v);                     // clears the list
    int Height() const { return FHeight; }
    void SetHeight(int v);                    // clears the list
    int Count() const { return int(FImages.size()); }
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor v) { FBkColor = v; }
    // A bitmap wider than Width adds one image per Width-wide strip. Returns the first index.
    int Add(TBitmap* image, TBitmap* mask);
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Delete(int index);
    void Clear();
    // Disabled images are drawn greyed.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void GetBitmap(int index, TBitmap* image);
    TNotifyEvent OnChange;

private:
    int FWidth, FHeight;
    TColor FBkColor = clNone;
    struct Entry;
    std::vector<std::unique_ptr<Entry>> FImages;
};
