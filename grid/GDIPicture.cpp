#include "grid/GDIPicture.h"

#include <cmath>

#include "platform/core/SysUtils.h"

namespace {

bool Starts(const std::string& d, const char* magic, size_t n) { return d.size() >= n && d.compare(0, n, magic, n) == 0; }

TGPImageFormat FormatOf(const std::string& d)
{
    if (Starts(d, "BM", 2)) return ifBMP;
    if (Starts(d, "\x89PNG", 4)) return ifPNG;
    if (Starts(d, "GIF8", 4)) return ifGIF;
    if (Starts(d, "\xFF\xD8", 2)) {
        // An Exif APP1 segment right after the start of image.
        if (d.size() >= 10 && Byte(d[2]) == 0xFF && Byte(d[3]) == 0xE1 && d.compare(6, 4, "Exif") == 0) return ifEXIF;
        return ifJPEG;
    }
    if (Starts(d, "II*\0", 4) || Starts(d, "MM\0*", 4)) return ifTIFF;
    if (Starts(d, "\0\0\1\0", 4)) return ifIcon;
    if (Starts(d, "\xD7\xCD\xC6\x9A", 4)) return ifWMF;
    if (d.size() >= 44 && d.compare(40, 4, " EMF") == 0) return ifEMF;
    return ifUndefined;
}

}  // namespace

// ---------------------------------------------------------------- wrappers

TGPImage::TGPImage(const std::string& Data, bool UseICM)
{
    FFormat = FormatOf(Data);
    switch (FFormat) {
    case ifBMP: FGraphic = std::make_unique<TBitmap>(); break;
    case ifPNG: FGraphic = std::make_unique<TRasterImage>("PNG"); break;
    case ifGIF: FGraphic = std::make_unique<TRasterImage>("GIF"); break;
    case ifTIFF: FGraphic = std::make_unique<TRasterImage>("TIFF"); break;
    case ifJPEG:
    case ifEXIF: FGraphic = std::make_unique<TJPEGImage>(); break;
    case ifIcon: FGraphic = std::make_unique<TIcon>(); break;
    default: FStatus = UnknownImageFormat; return;
    }
    try {
        FGraphic->LoadFromData(Data);
        if (FGraphic->Empty()) throw Exception("empty");
    } catch (const Exception&) {
        FGraphic.reset();
        FStatus = UnknownImageFormat;
    }
}

TGPImage::~TGPImage() = default;

int TGPImage::GetWidth() const { return FGraphic ? FGraphic->Width() : 0; }
int TGPImage::GetHeight() const { return FGraphic ? FGraphic->Height() : 0; }

TGPStatus TGPGraphics::DrawImage(TGPImage* Image, double X, double Y, double Width, double Height)
{
    if (!FCanvas || !Image || !Image->Graphic()) return FStatus = InvalidParameter;
    int l = int(std::lround(X)), t = int(std::lround(Y));
    FCanvas->StretchDraw(TRect(l, t, l + int(std::lround(Width)), t + int(std::lround(Height))), Image->Graphic());
    return FStatus = Ok;
}

// ---------------------------------------------------------------- TGDIPPicture

TGDIPPicture::TGDIPPicture() = default;
TGDIPPicture::~TGDIPPicture() = default;

void TGDIPPicture::Measure()
{
    TGPImage img(FData);
    FWidth = img.GetWidth();
    FHeight = img.GetHeight();
}

void TGDIPPicture::LoadFromData(const std::string& Data)
{
    FData = Data;
    FIsEmpty = false;
    Measure();
}

void TGDIPPicture::LoadFromStream(TStream* Stream)
{
    if (!Stream) return;
    std::string data(size_t(Stream->Size() - Stream->Position()), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), Int64(data.size()));
    LoadFromData(data);
    Changed();
}

void TGDIPPicture::ReadData(TStream* Stream)
{
    if (!Stream) return;
    std::string data(size_t(Stream->Size() - Stream->Position()), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), Int64(data.size()));
    FData = data;
    FIsEmpty = false;
}

void TGDIPPicture::LoadFromFile(const AnsiString& FileName)
{
    TMemoryStream ms;
    ms.LoadFromFile(FileName);
    FData.assign(ms.Memory(), size_t(ms.Size()));
    FIsEmpty = false;
    if (OnClear) OnClear(this);
    Measure();
    Changed();
}

void TGDIPPicture::SaveToStream(TStream* Stream)
{
    if (Stream && !FData.empty()) Stream->WriteBuffer(FData.data(), Int64(FData.size()));
}

void TGDIPPicture::WriteData(TStream* Stream) { SaveToStream(Stream); }

void TGDIPPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        FData.clear();
        FIsEmpty = true;
        FWidth = FHeight = 0;
        Changed();
        if (OnClear) OnClear(this);
        return;
    }
    if (auto* src = dynamic_cast<TGDIPPicture*>(Source)) {
        if (src == this) return;
        FData = src->FData;
        FIsEmpty = FData.empty();
    } else if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        FData = bmp->Empty() ? std::string() : bmp->SaveToData();
        FIsEmpty = FData.empty();
    } else if (auto* pic = dynamic_cast<TPicture*>(Source)) {
        FData = pic->Graphic() && !pic->Graphic()->Empty() ? pic->Graphic()->SaveToData() : std::string();
        FIsEmpty = FData.empty();
    } else {
        TGraphic::Assign(Source);
        return;
    }
    Measure();   // measured first, so that the change handler sees the new size
    Changed();
}

void TGDIPPicture::Draw(TCanvas* Canvas, const TRect& R)
{
    if (FIsEmpty || !Canvas) return;
    TGPImage img(FData);
    if (!img.Graphic()) return;   // bytes that cannot be read draw nothing
    if (img.GetFormat() == ifBMP) {
        TBitmap bmp;
        try {
            bmp.LoadFromData(FData);
        } catch (const Exception&) {
            return;
        }
        bmp.SetTransparentMode(tmAuto);
        bmp.SetTransparent(true);
        Canvas->Draw(R.Left, R.Top, &bmp);
        return;
    }
    FWidth = img.GetWidth();
    FHeight = img.GetHeight();
    TGPGraphics g(Canvas);
    g.DrawImage(&img, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}

// ---------------------------------------------------------------- TProHintInfo

TProHintInfo::TProHintInfo() : FPicture(std::make_unique<TGDIPPicture>()), FNotes(std::make_unique<TStringList>()) {}
TProHintInfo::~TProHintInfo() = default;

TStrings* TProHintInfo::Notes() const { return FNotes.get(); }
void TProHintInfo::SetNotes(TStrings* v) { FNotes->Assign(v); }

void TProHintInfo::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TProHintInfo*>(Source)) {
        FPicture->Assign(src->FPicture.get());
        FShowHelp = src->FShowHelp;
        FNotes->Assign(src->FNotes.get());
        FTitle = src->FTitle;
        FWideTitle = src->FWideTitle;
        FWideNotes = src->FWideNotes;
        return;
    }
    TPersistent::Assign(Source);
}
