#include "grid/PictureContainer.h"

#include <vector>

#include "platform/core/SysUtils.h"

namespace {

const char* const InvalidFormat = "Could not load image. Invalid format";

Word Word16(const std::string& d, size_t i)
{
    return Word(Byte(d[i]) | (Byte(d[i + 1]) << 8));
}

bool StartsWith(const std::string& d, const char* magic, size_t n)
{
    return d.size() >= n && d.compare(0, n, magic, n) == 0;
}

// One frame of a GIF: where it begins (its graphic control extension, or its image descriptor when
// it has none) and where its image descriptor is.
struct TGifFrame {
    size_t Start, Descriptor;
};

// The frames of a GIF, read block by block after the header and the global colour table: each image
// descriptor is a frame, whatever other extensions stand between it and its control extension, and
// bytes inside the image data are never taken for a frame.
std::vector<TGifFrame> GifFrames(const std::string& d)
{
    std::vector<TGifFrame> frames;
    if (d.size() < 13 || d.compare(0, 4, "GIF8") != 0) return frames;
    auto colourTable = [](Byte flags) { return (flags & 0x80) ? size_t(3) << ((flags & 7) + 1) : size_t(0); };
    // Past a chain of sub-blocks ending with an empty one; false when the data ends first.
    auto skipSubBlocks = [&](size_t& k) {
        while (k < d.size()) {
            const size_t n = Byte(d[k++]);
            if (n == 0) return true;
            k += n;
        }
        return false;
    };
    size_t i = 13 + colourTable(Byte(d[10]));
    size_t control = std::string::npos;
    while (i < d.size()) {
        const Byte b = Byte(d[i]);
        if (b == 0x21 && i + 1 < d.size()) {
            if (Byte(d[i + 1]) == 0xF9) control = i;
            size_t k = i + 2;
            if (!skipSubBlocks(k)) break;
            i = k;
        } else if (b == 0x2C && i + 10 <= d.size()) {
            frames.push_back({control != std::string::npos ? control : i, i});
            control = std::string::npos;
            size_t k = i + 10 + colourTable(Byte(d[i + 9])) + 1;   // the descriptor, its colours, the code size
            if (!skipSubBlocks(k)) break;
            i = k;
        } else {
            break;   // the trailer, or bytes that are no block
        }
    }
    return frames;
}

bool IsMetafile(const std::string& d)
{
    if (StartsWith(d, "\xD7\xCD\xC6\x9A", 4)) return true;                     // placeable metafile
    if (d.size() >= 6 && (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0) return true;
    return d.size() >= 44 && Byte(d[0]) == 1 && d[1] == 0 && d[2] == 0 && d[3] == 0 &&
           d.compare(40, 4, " EMF") == 0;                                       // enhanced metafile
}

}  // namespace

// ---------------------------------------------------------------- THTMLPicture

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::Reset()
{
    FImage.reset();
    FMetafile = false;
    FFrameCount = -1;
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    FLogicalWidth = FLogicalHeight = 0;
}

void THTMLPicture::Assign(TPersistent* Source)
{
    FIsEmpty = true;
    Reset();
    FFrame = 1;
    if (!Source) {
        FData.clear();
        return;
    }
    if (auto* src = dynamic_cast<THTMLPicture*>(Source)) {
        if (src == this) return;
        FStretch = src->FStretch;
        FFrame = src->FFrame;
        FAddress = src->FAddress;
        FData = src->FData;
        FIsEmpty = src->FIsEmpty;
        if (!FIsEmpty) {
            try {
                Load();
            } catch (const Exception&) {
                // the bytes stay; the picture shows nothing
            }
        }
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

bool THTMLPicture::IsGIF() const { return FData.size() >= 5 && FData.compare(0, 4, "GIF8") == 0; }

int THTMLPicture::FrameCount()
{
    if (FFrameCount != -1) return FFrameCount;
    if (!IsGIF()) return -1;
    FFrameCount = int(GifFrames(FData).size());
    return FFrameCount;
}

void THTMLPicture::Load()
{
    FImage.reset();
    FMetafile = false;
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    FLogicalWidth = FLogicalHeight = 0;
    if (FData.empty()) throw Exception(InvalidFormat);

    std::string bytes = FData;
    const std::vector<TGifFrame> frames = IsGIF() ? GifFrames(FData) : std::vector<TGifFrame>();
    if (!frames.empty()) {
        FLogicalWidth = Word16(FData, 6);
        FLogicalHeight = Word16(FData, 8);
        // Everything before the first frame (header, colour table, extensions)
        // and everything from the wanted frame on; a frame number outside the
        // GIF's frames shows the first.
        const TGifFrame& wanted = frames[FFrame >= 1 && size_t(FFrame) <= frames.size() ? size_t(FFrame) - 1 : 0];
        FFrameXPos = Word16(FData, wanted.Descriptor + 1);
        FFrameYPos = Word16(FData, wanted.Descriptor + 3);
        FFrameXSize = Word16(FData, wanted.Descriptor + 5);
        FFrameYSize = Word16(FData, wanted.Descriptor + 7);
        bytes = FData.substr(0, frames.front().Start) + FData.substr(wanted.Start);
        if (frames.size() > 1) {
            // The frame alone, as a picture of its own size: it is drawn at its offset in the screen.
            auto put16 = [&](size_t At, Word V) {
                bytes[At] = char(V & 0xFF);
                bytes[At + 1] = char(V >> 8);
            };
            const size_t descriptor = frames.front().Start + (wanted.Descriptor - wanted.Start);
            put16(6, FFrameXSize);
            put16(8, FFrameYSize);
            put16(descriptor + 1, 0);
            put16(descriptor + 3, 0);
        }
    }

    if (IsMetafile(bytes)) {
        FMetafile = true;   // read, but there is nothing here to render it with
        return;
    }
    std::unique_ptr<TGraphic> g;
    if (StartsWith(bytes, "BM", 2))
        g = std::make_unique<TBitmap>();
    else if (StartsWith(bytes, "\0\0\1\0", 4))
        g = std::make_unique<TIcon>();
    else if (StartsWith(bytes, "\xFF\xD8", 2))
        g = std::make_unique<TJPEGImage>();
    else if (StartsWith(bytes, "GIF8", 4))
        g = std::make_unique<TRasterImage>("GIF");
    else if (StartsWith(bytes, "\x89PNG", 4))
        g = std::make_unique<TRasterImage>("PNG");
    else
        throw Exception(InvalidFormat);
    try {
        g->LoadFromData(bytes);
    } catch (const Exception&) {
        throw Exception(InvalidFormat);
    }
    if (g->Empty()) throw Exception(InvalidFormat);
    FImage = std::move(g);
}

void THTMLPicture::LoadFromData(const std::string& Data)
{
    FData = Data;
    FIsEmpty = false;
    FFrameCount = -1;
    Load();
}

void THTMLPicture::LoadFromStream(TStream* Stream)
{
    if (!Stream) return;
    std::string data(size_t(Stream->Size() - Stream->Position()), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), Int64(data.size()));
    LoadFromData(data);
    Changed();
}

void THTMLPicture::ReadData(TStream* Stream)
{
    if (!Stream) return;
    std::string data(size_t(Stream->Size() - Stream->Position()), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), Int64(data.size()));
    LoadFromData(data);
}

void THTMLPicture::LoadFromFile(const AnsiString& FileName)
{
    TMemoryStream ms;
    ms.LoadFromFile(FileName);
    ms.SetPosition(0);
    LoadFromStream(&ms);
}

void THTMLPicture::SaveToStream(TStream* Stream)
{
    if (Stream && !FData.empty()) Stream->WriteBuffer(FData.data(), Int64(FData.size()));
}

void THTMLPicture::WriteData(TStream* Stream) { SaveToStream(Stream); }

void THTMLPicture::LoadFromResourceName(const AnsiString& Name)
{
    if (!ResourceBitmapExists(Name)) return;   // a missing resource is ignored
    TBitmap bmp;
    bmp.LoadFromResourceName(Name);
    TMemoryStream ms;
    std::string data = bmp.SaveToData();
    ms.Write(data.data(), Int64(data.size()));
    ms.SetPosition(0);
    LoadFromStream(&ms);
}

void THTMLPicture::LoadFromURL(const AnsiString& Address)
{
    const AnsiString up = AnsiUpperCase(Address);
    FAddress = Address;
    if (up.rfind("RES://", 0) == 0)
        LoadFromResourceName(Address.substr(6));
    else if (up.rfind("FILE://", 0) == 0)
        LoadFromFile(Address.substr(7));
    // remote addresses are not fetched: the picture stays empty
}

void THTMLPicture::SetFrame(int v)
{
    FFrame = v;
    if (FData.empty()) return;
    try {
        Load();
    } catch (const Exception&) {
        // the picture shows nothing until another frame or other bytes load
    }
    if (OnFrameChange) OnFrameChange(this);
}

bool THTMLPicture::Empty() const { return FIsEmpty; }

int THTMLPicture::Width() const { return FImage ? FImage->Width() : 0; }
int THTMLPicture::Height() const { return FImage ? FImage->Height() : 0; }
int THTMLPicture::FrameWidth() const { return FLogicalWidth ? FLogicalWidth : Width(); }
int THTMLPicture::FrameHeight() const { return FLogicalHeight ? FLogicalHeight : Height(); }

void THTMLPicture::Draw(TCanvas* Canvas, const TRect& R)
{
    if (FIsEmpty || !FImage || !Canvas) return;
    if (FStretch) {
        FImage->Draw(Canvas, R);
        return;
    }
    const int dpiX = GetDeviceCaps(Canvas, LOGPIXELSX), dpiY = GetDeviceCaps(Canvas, LOGPIXELSY);
    const int w = MulDiv(Width(), dpiX > 0 ? dpiX : 96, 96), h = MulDiv(Height(), dpiY > 0 ? dpiY : 96, 96);
    FImage->Draw(Canvas, TRect(R.Left, R.Top, R.Left + w, R.Top + h));
}

// ---------------------------------------------------------------- THTMLPictureCache

THTMLPicture* THTMLPictureCache::AddPicture()
{
    FItems.push_back(std::make_unique<THTMLPicture>());
    return FItems.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const AnsiString& Address) const
{
    for (const auto& p : FItems)
        if (p->Address() == Address) return p.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::GetPicture(int Index) const
{
    if (Index < 0 || Index >= int(FItems.size())) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[size_t(Index)].get();
}

// ---------------------------------------------------------------- container

TPictureItem::TPictureItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FPicture(std::make_unique<THTMLPicture>())
{
}

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TPictureItem*>(Source)) {
        FPicture->Assign(src->FPicture.get());
        FName = src->FName;
        FTag = src->FTag;
        return;
    }
    TCollectionItem::Assign(Source);
}

TPictureCollection::TPictureCollection(TPictureContainer* AOwner)
    : TOwnedCollection(AOwner, [](TCollection* c) { return new TPictureItem(c); })
{
}

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TPictureCollection>(this))
{
}

TPictureContainer::~TPictureContainer()
{
    Destroying();
}

AnsiString TPictureContainer::Version() const
{
    const int major = 1, minor = 0, release = 0, build = 0;
    return IntToStr(major) + "." + IntToStr(minor) + "." + IntToStr(release) + "." + IntToStr(build);
}

THTMLPicture* TPictureContainer::FindPicture(const AnsiString& Name) const
{
    for (int i = 0; i < FItems->Count(); ++i) {
        TPictureItem* item = FItems->Items(i);
        if (AnsiSameText(item->Name(), Name)) return item->Picture();
    }
    return nullptr;
}
