// Pictures: the graphic base, bitmaps, icons, PNG/GIF images, the picture
// container, image lists and the program's built-in bitmaps.
#include <QBuffer>
#include <QImageReader>
#include <map>
#include <mutex>

#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Canvas_p.h"

namespace {

QRect QR(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

QImage ReadImage(const std::string& data, const char* format)
{
    QByteArray bytes = QByteArray::fromRawData(data.data(), qsizetype(data.size()));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, format);
    if (!format)
        reader.setDecideFormatFromContent(true);
    QImage img = reader.read();
    return img;
}

std::string WriteImage(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, format))
        throw EInvalidGraphic("Cannot save the picture");
    return std::string(bytes.constData(), size_t(bytes.size()));
}

// Paints a picture into r of a canvas, with its alpha.
void PaintImage(TCanvas* canvas, const TRect& r, const QImage& img)
{
    if (!canvas || img.isNull() || r.Right == r.Left || r.Bottom == r.Top)
        return;
    QImage own = img.copy();   // the canvas may be the picture's own
    // A picture drawn into a rectangle turned inside out is mirrored (in device pixels).
    const QRect area = canvas->Data().Mapped() ? canvas->Data().DevRect(r) : QR(r);
    canvas->Data().Run([&](QPainter& p) { p.drawImage(area, own); }, false);
}

}  // namespace

// ---------------------------------------------------------------- TGraphic
void TGraphic::SetTransparent(bool v)
{
    if (v == FTransparent)
        return;
    FTransparent = v;
    Changed();
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& fileName)
{
    std::string data;
    if (!ReadWholeFileOs(ToOsPath(fileName), data))
        throw EFOpenError("Cannot open file \"" + fileName + "\"");
    LoadFromData(data);
}

void TGraphic::SaveToFile(const AnsiString& fileName)
{
    std::string data = SaveToData();
    if (!WriteWholeFileOs(ToOsPath(fileName), data))
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

void TGraphic::LoadFromStream(TStream* stream)
{
    if (!stream)
        throw EInvalidGraphic("No stream to read the picture from");
    Int64 n = stream->Size() - stream->Position();
    std::string data(size_t(std::max<Int64>(0, n)), '\0');
    if (n > 0)
        stream->ReadBuffer(data.data(), n);
    LoadFromData(data);
}

void TGraphic::SaveToStream(TStream* stream)
{
    if (!stream)
        throw EInvalidGraphic("No stream to write the picture to");
    std::string data = SaveToData();
    if (!data.empty())
        stream->WriteBuffer(data.data(), Int64(data.size()));
}

// ---------------------------------------------------------------- TBitmap
struct TBitmap::Impl {
    QImage image;
    // The sides asked for: while one of them is 0 there are no pixels, yet the
    // other is kept for when both are set, one at a time.
    int width = 0, height = 0;
    std::unique_ptr<TCanvas> canvas;   // after the image: it lets go of its painter first
};

const QImage& BitmapImage(const TBitmap& bitmap)
{
    return bitmap.Data().image;
}

QImage& BitmapImageForWrite(TBitmap& bitmap)
{
    TBitmap::Impl& d = bitmap.Data();
    if (d.canvas)
        CanvasReleasePainter(*d.canvas);
    return d.image;
}

void SetBitmapImage(TBitmap& bitmap, const QImage& image)
{
    TBitmap::Impl& d = bitmap.Data();
    if (d.canvas)
        CanvasReleasePainter(*d.canvas);
    d.image = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    d.width = d.image.width();
    d.height = d.image.height();
}

TBitmap::TBitmap() : FImpl(std::make_unique<Impl>()) {}

TBitmap::~TBitmap()
{
    if (FImpl->canvas)
        CanvasReleasePainter(*FImpl->canvas);
}

void TBitmap::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source) {
        SetSize(0, 0);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b->FImpl->canvas)
            CanvasReleasePainter(*b->FImpl->canvas);
        SetBitmapImage(*this, b->FImpl->image.copy());
        FPixelFormat = b->FPixelFormat;
        FTransparentMode = b->FTransparentMode;
        FTransparentColor = b->FTransparentColor;
        FTransparent = b->FTransparent;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        QImage img = GraphicImage(*g);
        if (img.hasAlphaChannel()) {
            // Transparent parts come out white, as on a fresh bitmap.
            QImage flat(img.size(), QImage::Format_ARGB32_Premultiplied);
            flat.fill(Qt::white);
            QPainter p(&flat);
            p.drawImage(0, 0, img);
            p.end();
            img = flat;
        }
        SetBitmapImage(*this, img);
        FPixelFormat = pf24bit;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

int TBitmap::Width() const { return FImpl->width; }
int TBitmap::Height() const { return FImpl->height; }
void TBitmap::SetWidth(int v) { SetSize(v, Height()); }
void TBitmap::SetHeight(int v) { SetSize(Width(), v); }

void TBitmap::SetSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == Width() && h == Height())
        return;
    if (FImpl->canvas)
        CanvasReleasePainter(*FImpl->canvas);
    if (w == 0 || h == 0) {
        FImpl->image = QImage();
    } else if (w != FImpl->image.width() || h != FImpl->image.height()) {
        QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
        if (img.isNull())
            throw EOutOfResources("Out of system resources");
        img.fill(Qt::white);
        if (!FImpl->image.isNull()) {
            QPainter p(&img);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, FImpl->image);
        }
        FImpl->image = img;
    }
    FImpl->width = w;
    FImpl->height = h;
    Changed();
}

bool TBitmap::Empty() const
{
    return FImpl->image.isNull() || FImpl->image.width() == 0 || FImpl->image.height() == 0;
}

TCanvas* TBitmap::Canvas()
{
    if (!FImpl->canvas) {
        FImpl->canvas = std::make_unique<TCanvas>();
        CanvasSetBitmap(*FImpl->canvas, this);
    }
    return FImpl->canvas.get();
}

void TBitmap::SetPixelFormat(TPixelFormat v)
{
    if (v == FPixelFormat)
        return;
    FPixelFormat = v;
    if (v == pf1bit && !Empty()) {
        QImage& img = BitmapImageForWrite(*this);
        if (FImpl->canvas)
            CanvasReleasePainter(*FImpl->canvas);
        img = img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    Changed();
}

void TBitmap::SetMonochrome(bool v)
{
    if (v)
        SetPixelFormat(pf1bit);
    else if (FPixelFormat == pf1bit)
        SetPixelFormat(pfDevice);
}

void TBitmap::SetTransparentMode(TTransparentMode v)
{
    if (v == FTransparentMode)
        return;
    FTransparentMode = v;
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (Empty())
        return clDefault;
    QRgb v = FImpl->image.pixel(0, FImpl->image.height() - 1);
    if (qAlpha(v) != 255)
        v = qUnpremultiply(v);
    return RGB(qRed(v), qGreen(v), qBlue(v));
}

void TBitmap::SetTransparentColor(TColor v)
{
    FTransparentColor = v;
    FTransparentMode = v == clDefault ? tmAuto : tmFixed;
    Changed();
}

std::uint32_t* TBitmap::ScanLine(int row)
{
    if (row < 0 || row >= Height() || Empty())
        throw EInvalidGraphic("Scan line index out of range");
    if (FImpl->canvas)
        CanvasReleasePainter(*FImpl->canvas);
    return reinterpret_cast<std::uint32_t*>(FImpl->image.scanLine(row));
}

void TBitmap::LoadFromData(const std::string& data)
{
    QImage img = ReadImage(data, nullptr);
    if (img.isNull())
        throw EInvalidGraphic("Bitmap image is not valid");
    TPixelFormat pf = pf24bit;
    switch (img.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: pf = pf1bit; break;
    case QImage::Format_Indexed8: pf = img.colorCount() <= 16 ? pf4bit : pf8bit; break;
    case QImage::Format_RGB16: pf = pf16bit; break;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: pf = pf32bit; break;
    default: break;
    }
    SetBitmapImage(*this, img);
    FPixelFormat = pf;
    Changed();
}

std::string TBitmap::SaveToData()
{
    if (Empty())
        return std::string();
    if (FImpl->canvas)
        CanvasReleasePainter(*FImpl->canvas);
    QImage img = FImpl->image;
    if (FPixelFormat == pf1bit)
        img = img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    else if (FPixelFormat == pf32bit)
        img = img.convertToFormat(QImage::Format_ARGB32);
    else
        img = img.convertToFormat(QImage::Format_RGB32);
    return WriteImage(img, "BMP");
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r)
{
    if (Empty())
        return;
    if (FImpl->canvas)
        CanvasReleasePainter(*FImpl->canvas);
    if (!FTransparent) {
        PaintImage(canvas, r, FImpl->image);
        return;
    }
    QImage img = FImpl->image.convertToFormat(QImage::Format_ARGB32);
    QRgb key = ToQColor(TransparentColor()).rgb() & 0x00FFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == key)
                line[x] = 0;
    }
    PaintImage(canvas, r, img);
}

// ---------------------------------------------------------------- built-in bitmaps
namespace {
std::map<AnsiString, TBitmapBuilder>& ResourceBitmaps()
{
    static std::map<AnsiString, TBitmapBuilder> map;
    return map;
}
std::mutex& ResourceMutex()
{
    static std::mutex m;
    return m;
}
}  // namespace

void RegisterResourceBitmap(const AnsiString& name, TBitmapBuilder builder)
{
    std::lock_guard<std::mutex> lock(ResourceMutex());
    ResourceBitmaps()[AnsiUpperCase(name)] = std::move(builder);
}

bool ResourceBitmapExists(const AnsiString& name)
{
    std::lock_guard<std::mutex> lock(ResourceMutex());
    return ResourceBitmaps().count(AnsiUpperCase(name)) > 0;
}

void TBitmap::LoadFromResourceName(const AnsiString& name)
{
    TBitmapBuilder builder;
    {
        std::lock_guard<std::mutex> lock(ResourceMutex());
        auto it = ResourceBitmaps().find(AnsiUpperCase(name));
        if (it == ResourceBitmaps().end())
            throw EInvalidGraphic("Resource " + name + " not found");
        builder = it->second;
    }
    TBitmap fresh;
    builder(&fresh);
    Assign(&fresh);
}

// ---------------------------------------------------------------- TIcon
struct TIcon::Impl {
    QImage image;
};

TIcon::TIcon() : FImpl(std::make_unique<Impl>()) { FTransparent = true; }
TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* Source)
{
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        if (i != this) {
            FImpl->image = i->FImpl->image;
            Changed();
        }
        return;
    }
    if (!Source) {
        FImpl->image = QImage();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

int TIcon::Width() const { return FImpl->image.width(); }
int TIcon::Height() const { return FImpl->image.height(); }

void TIcon::SetWidth(int v)
{
    throw EInvalidGraphic("Cannot change the size of an icon");
}

void TIcon::SetHeight(int v)
{
    throw EInvalidGraphic("Cannot change the size of an icon");
}

bool TIcon::Empty() const { return FImpl->image.isNull(); }

void TIcon::LoadFromData(const std::string& data)
{
    QImage img = ReadImage(data, "ICO");
    if (img.isNull())
        throw EInvalidGraphic("Icon image is not valid");
    FImpl->image = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Changed();
}

std::string TIcon::SaveToData()
{
    if (Empty())
        return std::string();
    return WriteImage(FImpl->image, "ICO");
}

void TIcon::Draw(TCanvas* canvas, const TRect& r)
{
    PaintImage(canvas, r, FImpl->image);
}

void TIcon::AssignToBitmap(TBitmap* bitmap, TColor background) const
{
    if (!bitmap)
        return;
    QImage img(FImpl->image.size(), QImage::Format_ARGB32_Premultiplied);
    if (!img.isNull()) {
        img.fill(ToQColor(background == clNone ? clWhite : background));
        QPainter p(&img);
        p.drawImage(0, 0, FImpl->image);
    }
    SetBitmapImage(*bitmap, img);
}

// ---------------------------------------------------------------- TRasterImage
struct TRasterImage::Impl {
    QByteArray format;
    QImage image;
    int width = 0, height = 0;   // a side set while the other is 0 is kept here
    void Take(QImage img)
    {
        image = std::move(img);
        width = image.width();
        height = image.height();
    }
    // The picture at the sides kept, what it holds kept; new parts transparent.
    void Resize(int w, int h)
    {
        width = std::max(0, w);
        height = std::max(0, h);
        if (width == 0 || height == 0) {
            image = QImage();
        } else if (image.isNull()) {
            image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
            if (image.isNull())
                throw EOutOfResources("Out of system resources");
            image.fill(Qt::transparent);
        } else if (width != image.width() || height != image.height()) {
            image = image.copy(0, 0, width, height);
        }
    }
};

TRasterImage::TRasterImage(const char* format) : FImpl(std::make_unique<Impl>())
{
    FImpl->format = format ? QByteArray(format) : QByteArray("PNG");
    FTransparent = true;
}

TRasterImage::~TRasterImage() = default;

void TRasterImage::Assign(TPersistent* Source)
{
    if (auto* r = dynamic_cast<TRasterImage*>(Source)) {
        if (r != this) {
            FImpl->format = r->FImpl->format;
            FImpl->Take(r->FImpl->image);
            Changed();
        }
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        FImpl->Take(GraphicImage(*g));
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

int TRasterImage::Width() const { return FImpl->width; }
int TRasterImage::Height() const { return FImpl->height; }

void TRasterImage::SetWidth(int v)
{
    FImpl->Resize(v, FImpl->height);
    Changed();
}

void TRasterImage::SetHeight(int v)
{
    FImpl->Resize(FImpl->width, v);
    Changed();
}

bool TRasterImage::Empty() const { return FImpl->image.isNull(); }

void TRasterImage::LoadFromData(const std::string& data)
{
    QImage img = ReadImage(data, FImpl->format.constData());
    if (img.isNull())
        throw EInvalidGraphic(AnsiString(FImpl->format.constData()) + " image is not valid");
    FImpl->Take(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    Changed();
}

std::string TRasterImage::SaveToData()
{
    if (Empty())
        return std::string();
    // The toolkit has no GIF writer: such pictures are kept as PNG.
    const char* fmt = FImpl->format == "GIF" ? "PNG" : FImpl->format.constData();
    return WriteImage(FImpl->image, fmt);
}

void TRasterImage::Draw(TCanvas* canvas, const TRect& r)
{
    PaintImage(canvas, r, FImpl->image);
}

// ---------------------------------------------------------------- any graphic as an image
QImage GraphicImage(const TGraphic& graphic)
{
    if (auto* b = dynamic_cast<const TBitmap*>(&graphic)) {
        if (b->Data().canvas)
            CanvasReleasePainter(*b->Data().canvas);
        return b->Data().image.copy();
    }
    if (auto* i = dynamic_cast<const TIcon*>(&graphic))
        return i->Data().image;
    if (auto* r = dynamic_cast<const TRasterImage*>(&graphic))
        return r->Data().image;
    if (auto* j = dynamic_cast<const TJPEGImage*>(&graphic))
        return j->Empty() ? QImage() : GraphicImage(*j->Bitmap());
    return QImage();
}

namespace {

std::unique_ptr<TGraphic> NewGraphicLike(const TGraphic* g)
{
    if (dynamic_cast<const TBitmap*>(g))
        return std::make_unique<TBitmap>();
    if (dynamic_cast<const TIcon*>(g))
        return std::make_unique<TIcon>();
    if (dynamic_cast<const TJPEGImage*>(g))
        return std::make_unique<TJPEGImage>();
    if (dynamic_cast<const TRasterImage*>(g))
        return std::make_unique<TRasterImage>();
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- TPicture
TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        FGraphic.reset();
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this)
            SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::SetGraphic(TGraphic* v)
{
    if (v == FGraphic.get())
        return;
    std::unique_ptr<TGraphic> g;
    if (v) {
        g = NewGraphicLike(v);
        if (!g)
            throw EInvalidGraphic("Unknown picture kind");
        g->Assign(v);
        g->SetTransparent(v->Transparent());
    }
    FGraphic = std::move(g);
    Changed();
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
        FGraphic = std::make_unique<TBitmap>();
        Changed();
    }
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(FGraphic.get())) {
        FGraphic = std::make_unique<TIcon>();
        Changed();
    }
    return static_cast<TIcon*>(FGraphic.get());
}

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromFile(const AnsiString& fileName)
{
    AnsiString ext = LowerCase(ExtractFileExt(fileName));
    std::unique_ptr<TGraphic> g;
    if (ext == ".bmp" || ext == ".dib")
        g = std::make_unique<TBitmap>();
    else if (ext == ".ico")
        g = std::make_unique<TIcon>();
    else if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
        g = std::make_unique<TJPEGImage>();
    else if (ext == ".gif")
        g = std::make_unique<TRasterImage>("GIF");
    else if (ext == ".png")
        g = std::make_unique<TRasterImage>("PNG");
    else
        throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
    // The current picture stays when the file cannot be read.
    g->LoadFromFile(fileName);
    FGraphic = std::move(g);
    Changed();
}

void TPicture::SaveToFile(const AnsiString& fileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(fileName);
}

// ---------------------------------------------------------------- TImageList
struct TImageList::Entry {
    QImage image;   // ARGB32, transparent where masked
};

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner), FWidth(16), FHeight(16) {}
TImageList::TImageList(int width, int height)
    : TComponent(nullptr), FWidth(std::max(1, width)), FHeight(std::max(1, height))
{
}
TImageList::~TImageList() { Destroying(); }

void TImageList::Assign(TPersistent* Source)
{
    if (auto* l = dynamic_cast<TImageList*>(Source)) {
        if (l == this)
            return;
        FWidth = l->FWidth;
        FHeight = l->FHeight;
        FBkColor = l->FBkColor;
        FImages.clear();
        for (const auto& e : l->FImages)
            FImages.push_back(std::make_unique<Entry>(*e));
        if (OnChange)
            OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

void TImageList::SetWidth(int v)
{
    if (v < 1 || v == FWidth)
        return;
    FWidth = v;
    Clear();
}

void TImageList::SetHeight(int v)
{
    if (v < 1 || v == FHeight)
        return;
    FHeight = v;
    Clear();
}

namespace {

// Cuts a picture into Width-wide images; keep(x, y) says which pixels are visible.
template <typename Keep>
std::vector<QImage> CutStrips(const QImage& src, int w, int h, Keep keep)
{
    std::vector<QImage> out;
    int count = std::max(1, src.width() / w);
    for (int i = 0; i < count; ++i) {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(0);
        for (int y = 0; y < h && y < src.height(); ++y)
            for (int x = 0; x < w && i * w + x < src.width(); ++x) {
                int sx = i * w + x;
                QRgb v = src.pixel(sx, y);
                if (qAlpha(v) != 255)
                    v = qUnpremultiply(v);
                if (keep(sx, y, v))
                    img.setPixel(x, y, v);
            }
        out.push_back(img);
    }
    return out;
}

}  // namespace

int TImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image || image->Empty())
        return -1;
    QImage src = GraphicImage(*image);
    QImage m = mask && !mask->Empty() ? GraphicImage(*mask) : QImage();
    // Mask pixels that are white (set) are transparent.
    auto keep = [&](int x, int y, QRgb) {
        if (m.isNull() || x >= m.width() || y >= m.height())
            return true;
        return qGray(m.pixel(x, y)) < 128;
    };
    int first = Count();
    for (QImage& strip : CutStrips(src, FWidth, FHeight, keep))
        FImages.push_back(std::make_unique<Entry>(Entry{strip}));
    if (OnChange)
        OnChange(this);
    return first;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty())
        return -1;
    QImage src = GraphicImage(*image);
    TColor key = maskColor == clDefault ? image->TransparentColor() : maskColor;
    QRgb k = ToQColor(key).rgb() & 0x00FFFFFF;
    auto keep = [&](int, int, QRgb v) { return key == clNone || (v & 0x00FFFFFF) != k; };
    int first = Count();
    for (QImage& strip : CutStrips(src, FWidth, FHeight, keep))
        FImages.push_back(std::make_unique<Entry>(Entry{strip}));
    if (OnChange)
        OnChange(this);
    return first;
}

int TImageList::AddIcon(TIcon* icon)
{
    if (!icon || icon->Empty())
        return -1;
    QImage img = icon->Data().image.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
    FImages.push_back(std::make_unique<Entry>(Entry{img}));
    if (OnChange)
        OnChange(this);
    return Count() - 1;
}

void TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Invalid ImageList Index");
    FImages.erase(FImages.begin() + index);
    if (OnChange)
        OnChange(this);
}

void TImageList::Clear()
{
    FImages.clear();
    if (OnChange)
        OnChange(this);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled)
{
    if (!canvas || index < 0 || index >= Count())
        return;
    QImage img = FImages[size_t(index)]->image;
    if (!enabled) {
        // Greyed: the darker pixels in the shadow colour over a highlight copy moved by one.
        QImage shadow(img.size(), QImage::Format_ARGB32), light(img.size(), QImage::Format_ARGB32);
        shadow.fill(0);
        light.fill(0);
        QRgb sh = ToQColor(clBtnShadow).rgb(), hi = ToQColor(clBtnHighlight).rgb();
        for (int j = 0; j < img.height(); ++j)
            for (int i = 0; i < img.width(); ++i) {
                QRgb v = img.pixel(i, j);
                if (qAlpha(v) >= 128 && qGray(v) < 192) {
                    shadow.setPixel(i, j, sh);
                    light.setPixel(i, j, hi);
                }
            }
        canvas->Data().Run(
            [&](QPainter& p) {
                p.drawImage(x + 1, y + 1, light);
                p.drawImage(x, y, shadow);
            },
            false);
        return;
    }
    canvas->Data().Run([&](QPainter& p) { p.drawImage(x, y, img); }, false);
}

void TImageList::GetBitmap(int index, TBitmap* image)
{
    if (!image || index < 0 || index >= Count())
        return;
    image->SetSize(FWidth, FHeight);
    QImage& dst = BitmapImageForWrite(*image);
    if (image->Data().canvas)
        CanvasReleasePainter(*image->Data().canvas);
    dst.fill(ToQColor(FBkColor == clNone ? image->Canvas()->Brush()->Color() : FBkColor));
    QPainter p(&dst);
    p.drawImage(0, 0, FImages[size_t(index)]->image);
}
