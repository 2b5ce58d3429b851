// JPEG pictures through the JPEG library. Its errors jump back (setjmp) to the
// routine that called it, which then raises EInvalidGraphic "JPEG error #N";
// no exception ever passes through the library's frames.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "platform/core/SysUtils.h"
#include "platform/gui/Canvas_p.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
    e->code = cinfo->err->msg_code;
    std::longjmp(e->jump, 1);
}

// Warnings are quiet, except a picture cut short: it is an error.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;   // 3 bytes a pixel
};

// Plain C-style work between setjmp and longjmp: nothing here needs a destructor.
bool DecodeRaw(const unsigned char* data, unsigned long size, int scaleDenom, bool grayscale, Decoded* out,
               ErrorManager* err)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = ErrorExit;
    err->pub.emit_message = EmitMessage;
    err->pub.output_message = OutputMessage;
    JSAMPROW row[1];
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(scaleDenom);
    bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height), comps = cinfo.output_components;
    if (Int64(w) * h > 100000000) {
        err->code = JERR_IMAGE_TOO_BIG;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->width = w;
    out->height = h;
    // The picture, and after it room for one decoded line of up to 4 components;
    // the vector belongs to the caller, so a jump back out of the library leaks nothing.
    out->rgb.assign(size_t(w) * size_t(h) * 3 + size_t(w) * 4, 0);
    unsigned char* line = out->rgb.data() + size_t(w) * size_t(h) * 3;
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = int(cinfo.output_scanline);
        row[0] = line;
        jpeg_read_scanlines(&cinfo, row, 1);
        unsigned char* dst = out->rgb.data() + size_t(y) * size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            const unsigned char* s = line + x * comps;
            if (comps == 1) {
                dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = s[0];
            } else if (comps == 4) {
                // Adobe writes inverted CMYK.
                bool inv = cinfo.saw_Adobe_marker;
                int c = inv ? s[0] : 255 - s[0], m = inv ? s[1] : 255 - s[1];
                int yy = inv ? s[2] : 255 - s[2], k = inv ? s[3] : 255 - s[3];
                dst[3 * x] = static_cast<unsigned char>(c * k / 255);
                dst[3 * x + 1] = static_cast<unsigned char>(m * k / 255);
                dst[3 * x + 2] = static_cast<unsigned char>(yy * k / 255);
            } else {
                dst[3 * x] = s[0];
                dst[3 * x + 1] = s[1];
                dst[3 * x + 2] = s[2];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out->rgb.resize(size_t(w) * size_t(h) * 3);
    return true;
}

struct Encoded {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool EncodeRaw(const unsigned char* rgb, int w, int h, int quality, bool grayscale, Encoded* out,
               ErrorManager* err)
{
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = ErrorExit;
    err->pub.output_message = OutputMessage;
    JSAMPROW row[1];
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out->buffer, &out->size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (grayscale)
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        row[0] = const_cast<unsigned char*>(rgb + size_t(cinfo.next_scanline) * size_t(w) * 3);
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

[[noreturn]] void RaiseJpegError(int code)
{
    throw EInvalidGraphic(Format("JPEG error #%d", {code}));
}

}  // namespace

QImage JpegDecode(const std::string& data, int scaleDenom)
{
    return JpegDecodeEx(data, scaleDenom, false);
}

QImage JpegDecodeEx(const std::string& data, int scaleDenom, bool grayscale)
{
    if (data.empty())
        RaiseJpegError(JERR_INPUT_EMPTY);
    Decoded d;
    ErrorManager err;
    if (!DecodeRaw(reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()),
                   scaleDenom, grayscale, &d, &err))
        RaiseJpegError(err.code);
    QImage img(d.width, d.height, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        RaiseJpegError(JERR_OUT_OF_MEMORY);
    for (int y = 0; y < d.height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const unsigned char* s = d.rgb.data() + size_t(y) * size_t(d.width) * 3;
        for (int x = 0; x < d.width; ++x)
            line[x] = qRgb(s[3 * x], s[3 * x + 1], s[3 * x + 2]);
    }
    return img;
}

std::string JpegEncode(const QImage& image, int quality, bool grayscale)
{
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return std::string();
    QImage src = image.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> rgb(size_t(src.width()) * size_t(src.height()) * 3);
    for (int y = 0; y < src.height(); ++y)
        std::memcpy(rgb.data() + size_t(y) * size_t(src.width()) * 3, src.constScanLine(y), size_t(src.width()) * 3);
    Encoded e;
    ErrorManager err;
    bool ok = EncodeRaw(rgb.data(), src.width(), src.height(), std::clamp(quality, 1, 100), grayscale, &e, &err);
    std::string out;
    if (ok && e.buffer)
        out.assign(reinterpret_cast<const char*>(e.buffer), e.size);
    std::free(e.buffer);
    if (!ok)
        RaiseJpegError(err.code);
    return out;
}

// ---------------------------------------------------------------- TJPEGImage
TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source) {
        FData.clear();
        FBitmap.reset();
        Changed();
        return;
    }
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        FData = j->FData;
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        FScale = j->FScale;
        FPerformance = j->FPerformance;
        FBitmap.reset();
        if (j->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(j->FBitmap.get());
        }
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        auto b = std::make_unique<TBitmap>();
        b->Assign(g);
        FBitmap = std::move(b);
        Compress();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::Decode() const
{
    if (FBitmap || FData.empty())
        return;
    static const int denoms[] = {1, 2, 4, 8};
    QImage img = JpegDecodeEx(FData, denoms[FScale], FGrayscale);
    auto b = std::make_unique<TBitmap>();
    SetBitmapImage(*b, img);
    b->SetPixelFormat(pf24bit);
    FBitmap = std::move(b);
}

int TJPEGImage::Width() const
{
    Decode();
    return FBitmap ? FBitmap->Width() : 0;
}

int TJPEGImage::Height() const
{
    Decode();
    return FBitmap ? FBitmap->Height() : 0;
}

bool TJPEGImage::Empty() const
{
    return FData.empty() && (!FBitmap || FBitmap->Empty());
}

void TJPEGImage::LoadFromData(const std::string& data)
{
    // Decoded at once, so that a bad picture is refused here and the old one kept.
    static const int denoms[] = {1, 2, 4, 8};
    QImage img = JpegDecodeEx(data, denoms[FScale], FGrayscale);
    auto b = std::make_unique<TBitmap>();
    SetBitmapImage(*b, img);
    b->SetPixelFormat(pf24bit);
    FData = data;
    FBitmap = std::move(b);
    Changed();
}

std::string TJPEGImage::SaveToData()
{
    if (FData.empty() && FBitmap && !FBitmap->Empty())
        Compress();
    return FData;
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r)
{
    Decode();
    if (FBitmap)
        FBitmap->Draw(canvas, r);
}

void TJPEGImage::SetCompressionQuality(int v)
{
    FQuality = std::clamp(v, 1, 100);
}

void TJPEGImage::SetGrayscale(bool v)
{
    if (v == FGrayscale)
        return;
    FGrayscale = v;
    if (!FData.empty())
        FBitmap.reset();   // decoded again in the new colours
    Changed();
}

void TJPEGImage::SetScale(TJPEGScale v)
{
    if (v == FScale)
        return;
    FScale = v;
    if (!FData.empty())
        FBitmap.reset();
    Changed();
}

void TJPEGImage::Compress()
{
    Decode();
    if (!FBitmap || FBitmap->Empty()) {
        FData.clear();
        return;
    }
    FData = JpegEncode(GraphicImage(*FBitmap), FQuality, FGrayscale);
}

void TJPEGImage::DIBNeeded()
{
    Decode();
}

TBitmap* TJPEGImage::Bitmap() const
{
    Decode();
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}
