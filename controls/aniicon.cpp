#include "controls/aniicon.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"

namespace {

// Limits of the reader: nothing beyond them is copied into the tables.
constexpr std::size_t MaxFrameImage = 20001;
// 22 bytes of icon file header and directory entry + the smallest 32 x 32 icon image.
constexpr std::uint64_t MinFrameChunk = 766;

Cardinal ReadLe32(const std::string& d, std::size_t pos)
{
    const auto* p = reinterpret_cast<const unsigned char*>(d.data() + pos);
    return Cardinal(p[0]) | (Cardinal(p[1]) << 8) | (Cardinal(p[2]) << 16) | (Cardinal(p[3]) << 24);
}

// A chunk identifier without the characters of code 32 and below ("seq " -> "seq").
std::string ChunkId(const std::string& d, std::size_t pos)
{
    std::string id;
    for (std::size_t i = 0; i < 4; ++i)
        if (Byte(d[pos + i]) > 32)
            id += d[pos + i];
    return id;
}

void PutLe16(std::string& s, unsigned v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void PutLe32(std::string& s, Cardinal v)
{
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

}  // namespace

// ---------------------------------------------------------------- TAniIconFile
TAniIconFile::TAniIconFile() = default;
TAniIconFile::~TAniIconFile() = default;

int TAniIconFile::FrameCount() const
{
    int n = 0;
    for (const auto& icon : FIcons)
        if (icon)
            ++n;
    return n;
}

TIcon* TAniIconFile::FrameIcon(int Index) const
{
    return Index >= 0 && Index < AniMaxFrames ? FIcons[std::size_t(Index)].get() : nullptr;
}

void TAniIconFile::ClearFrames()
{
    for (auto& icon : FIcons)
        icon.reset();
}

void TAniIconFile::LoadFromFile(const AnsiString& FileName)
{
    if (UpperCase(ExtractFileExt(FileName)) != ".ANI" || !FileExists(FileName))
        return;
    std::string data;
    if (!ReadWholeFileOs(ToOsPath(FileName), data))
        return;
    LoadFromData(data);
}

void TAniIconFile::LoadFromStream(TStream* Stream)
{
    if (!Stream)
        return;
    Int64 size = Stream->Size() - Stream->Position();
    std::string data(std::size_t(size > 0 ? size : 0), '\0');
    if (!data.empty())
        data.resize(std::size_t(Stream->Read(data.data(), Int64(data.size()))));
    LoadFromData(data);
}

void TAniIconFile::LoadFromData(const std::string& Data)
{
    FData = Data;
    try {
        ReadFrames();
    } catch (const EReadError&) {
        Changed();   // the owner shows the frames read before the end
        throw;
    }
    FLoaded = true;
    Changed();
}

void TAniIconFile::SaveToStream(TStream* Stream)
{
    if (Stream && !FData.empty())
        Stream->WriteBuffer(FData.data(), Int64(FData.size()));
}

void TAniIconFile::Assign(TPersistent* Source)
{
    if (!Source) {
        FLoaded = false;
        FData.clear();
        ClearFrames();
        FFrame = 0;
        FCounter = 0;
        Changed();
        return;
    }
    if (auto* other = dynamic_cast<TAniIconFile*>(Source)) {
        if (other == this)
            return;
        FData = other->FData;
        ReadFrames();
        FLoaded = true;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TAniIconFile::Draw(TCanvas* Canvas, const TRect& r)
{
    TIcon* icon = FrameIcon(FFrame);
    if (Canvas && icon)
        icon->Draw(Canvas, TRect(r.Left, r.Top, r.Left + icon->Width(), r.Top + icon->Height()));
}

void TAniIconFile::SetFrame(int Index)
{
    FFrame = Index >= 0 && Index < AniMaxFrames && FIcons[std::size_t(Index)] ? Index : 0;
    FCounter = 0;
}

void TAniIconFile::NextStep()
{
    FCounter += 2;
    if (FRates[std::size_t(FFrame)] < FCounter) {
        FCounter = 0;
        FFrame = (FFrame + 1) % AniMaxFrames;
        if (!FIcons[std::size_t(FFrame)])
            FFrame = 0;
        Changed();
    }
}

// Every load starts without frames: data without a frame list has none, rather
// than showing the frames of an earlier file under its own header. Data without
// a usable "anih" header leaves nothing of an earlier load: no header, rates or
// sequence either. Data that ends early raises EReadError; the frames read
// before its end stay.
void TAniIconFile::ReadFrames()
{
    ClearFrames();
    FFrame = 0;
    FCounter = 0;
    bool header = false;
    auto forgetHeader = [&] {
        if (header)
            return;
        FHeader = TAniHeader{};
        FRates.fill(0);
        FSeq.fill(0);
    };
    try {
        ReadChunks(header);
    } catch (const EReadError&) {
        forgetHeader();
        throw;
    }
    forgetHeader();
}

// Walks the chunks of the RIFF data by identifier and size. Every read is
// checked against the end of the data and of the enclosing chunk. After the
// header only the rates, the sequence and the frame list are read: another
// chunk ends the reading without frames, as the frame list does after them.
// Data that ends before the reading does, or inside a chunk it reads, raises
// EReadError after what was read before its end is kept. HaveHeader: "anih"
// was read.
void TAniIconFile::ReadChunks(bool& haveHeader)
{
    const std::string& d = FData;
    const std::uint64_t n = d.size();
    if (n == 0)
        return;
    const auto endedEarly = [] { return EReadError("Stream read error"); };
    std::uint64_t pos = 12;
    for (;;) {
        if (pos + 8 > n)
            throw endedEarly();
        std::string id = ChunkId(d, std::size_t(pos));
        std::uint64_t size = ReadLe32(d, std::size_t(pos + 4));
        std::uint64_t body = pos + 8;
        std::uint64_t end = std::min<std::uint64_t>(body + size, n);
        std::uint64_t avail = end - body;
        const bool cut = body + size > n;
        if (id == "anih") {
            if (avail < 36 && cut)
                throw endedEarly();
            if (avail < 36)
                return;   // a header chunk too short: nothing usable follows
            Cardinal f[9];
            for (int i = 0; i < 9; ++i)
                f[i] = ReadLe32(d, std::size_t(body + 4 * std::uint64_t(i)));
            FHeader = TAniHeader{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]};
            FRates.fill(FHeader.iDispRate);
            haveHeader = true;
        } else if (id == "rate" || id == "seq") {
            auto& table = id == "rate" ? FRates : FSeq;
            std::uint64_t count = std::min<std::uint64_t>(avail / 4, AniMaxSteps);
            for (std::uint64_t i = 0; i < count; ++i)
                table[std::size_t(i)] = ReadLe32(d, std::size_t(body + 4 * i));
            if (cut)
                throw endedEarly();
        } else if (id == "LIST" && avail >= 4) {
            std::string type = ChunkId(d, std::size_t(body));
            if (type == "fram" && haveHeader) {
                ClearFrames();
                if (FHeader.nFrames > AniMaxFrames)
                    FHeader.nFrames = AniMaxFrames;
                std::uint64_t p = body + 4;
                for (Cardinal i = 0; i < FHeader.nFrames; ++i) {
                    if (p + 8 > n)
                        throw endedEarly();
                    if (p + 8 > end)
                        break;
                    std::uint64_t fsize = ReadLe32(d, std::size_t(p + 4));
                    if (fsize < MinFrameChunk)
                        break;
                    std::uint64_t fbody = p + 8;
                    if (fbody + fsize > n)
                        throw endedEarly();
                    std::uint64_t fend = std::min<std::uint64_t>(fbody + fsize, end);
                    if (fend - fbody >= 22) {
                        std::uint64_t offset = std::max<std::uint64_t>(ReadLe32(d, std::size_t(fbody + 18)), 22);
                        std::uint64_t imageStart = fbody + offset;
                        std::uint64_t imageLen = imageStart < fend ? fend - imageStart : 0;
                        if (imageLen > 0 && imageLen <= MaxFrameImage) {
                            // A one-image icon file with the image right after its directory entry.
                            std::string ico = d.substr(std::size_t(fbody), 14);
                            PutLe32(ico, Cardinal(imageLen));
                            PutLe32(ico, 22);
                            ico.append(d, std::size_t(imageStart), std::size_t(imageLen));
                            auto icon = std::make_unique<TIcon>();
                            try {
                                icon->LoadFromData(ico);
                                if (!icon->Empty())
                                    FIcons[i] = std::move(icon);
                            } catch (const Exception&) {
                                // a frame that does not make an icon has none
                            }
                        }
                    }
                    p = fbody + fsize + (fsize & 1);
                }
                FFrame = 0;
                FCounter = 0;
                return;
            }
            if (cut)
                throw endedEarly();   // an information list read in part
        }
        if (haveHeader && id != "anih" && id != "rate" && id != "seq")
            return;
        pos = body + size + (size & 1);
    }
}

// ---------------------------------------------------------------- TAniIcon
TAniIcon::TAniIcon(TComponent* AOwner) : TCustomControl(AOwner), FAniFile(std::make_unique<TAniIconFile>())
{
    FControlStyle &= ~csOpaque;
    FAniFile->OnChange = [this](TObject* Sender) { FileChanged(Sender); };
    SetBounds(0, 0, 32, 32);
}

TAniIcon::~TAniIcon()
{
    Destroying();
    FAniFile->OnChange = nullptr;
}

void TAniIcon::FileChanged(TObject*)
{
    FFrame = FAniFile->Frame();
    Invalidate();
}

void TAniIcon::SetAniFile(TAniIconFile* Value)
{
    FAniFile->Assign(Value);
    FFrame = FAniFile->Frame();
    Invalidate();
}

void TAniIcon::UpdateTimer()
{
    if (!HandleAllocated())
        return;
    if (FAnimated == FTimerRunning)
        return;
    if (FTimerRunning) {
        KillTimer(this, TimerId);
        FTimerRunning = false;
    } else {
        FTimerRunning = SetTimer(this, TimerId, 20) != 0;
    }
}

void TAniIcon::SetAnimated(bool Value)
{
    FAnimated = Value;
    if (FAnimated != FTimerRunning && !HandleAllocated() && FAnimated)
        HandleNeeded();
    UpdateTimer();
}

void TAniIcon::CreateWnd()
{
    TCustomControl::CreateWnd();
    FTimerRunning = false;
    UpdateTimer();
}

void TAniIcon::DestroyWnd()
{
    if (FTimerRunning && HandleAllocated())
        KillTimer(this, TimerId);
    FTimerRunning = false;
    TCustomControl::DestroyWnd();
}

void TAniIcon::WMTimer(TWMTimer& Message)
{
    if (Message.TimerID() == TimerId) {
        FAniFile->NextStep();
        FFrame = FAniFile->Frame();
        return;
    }
    TCustomControl::WMTimer(Message);
}

void TAniIcon::SetFrame(int Value)
{
    FAniFile->SetFrame(Value);
    FFrame = FAniFile->Frame();
    Invalidate();
}

void TAniIcon::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Invalidate();
}

void TAniIcon::SetCenter(bool Value)
{
    FCenter = Value;
    Invalidate();
}

void TAniIcon::SetButtonStyle(bool Value)
{
    if (FButtonStyle == Value)
        return;
    FButtonStyle = Value;
    Invalidate();
}

void TAniIcon::WMEraseBkgnd(TMessage& Message)
{
    if (FTransparent)
        Message.Result = 1;
    else
        TCustomControl::WMEraseBkgnd(Message);
}

void TAniIcon::Paint()
{
    TCanvas* c = Canvas();
    if (!FTransparent) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
    }
    int x = FCenter ? (Width() - 32) / 2 : 0;
    int y = FCenter ? (Height() - 32) / 2 : 0;
    FAniFile->Draw(c, TRect(x, y, x + 32, y + 32));
    TRect r = ClientRect();
    auto frame = [&](TColor topLeft, TColor bottomRight) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(topLeft);
        c->MoveTo(r.Left, r.Bottom - 1);
        c->LineTo(r.Left, r.Top);
        c->LineTo(r.Right - 1, r.Top);
        c->Pen()->SetColor(bottomRight);
        c->LineTo(r.Right - 1, r.Bottom - 1);
        c->LineTo(r.Left, r.Bottom - 1);
    };
    if (FButtonStyle) {
        if (FPressed)
            frame(0x808080, 0xFFFFFF);
        else if (FMouseOver)
            frame(0xFFFFFF, 0x808080);
    }
    if (ComponentState() & csDesigning) {
        c->Pen()->SetStyle(psDot);
        c->Pen()->SetColor(clBlack);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(r);
    }
}

void TAniIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        FPressed = true;
        if (FButtonStyle)
            Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TAniIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        FPressed = false;
        if (FButtonStyle)
            Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TAniIcon::CMMouseEnter(TMessage& Message)
{
    TCustomControl::CMMouseEnter(Message);
    if (FAnimateOnEnter && Enabled())
        SetAnimated(true);
    FMouseOver = true;
    Invalidate();
}

void TAniIcon::CMMouseLeave(TMessage& Message)
{
    TCustomControl::CMMouseLeave(Message);
    if (FAnimateOnEnter && Enabled())
        SetAnimated(false);
    FMouseOver = false;
    Invalidate();
}

// ---------------------------------------------------------------- the program's animation
namespace {

// One 32 x 32 icon file image (32-bit colour with alpha, AND mask): ten dots
// on a ring, the lit one at position Frame, the ones behind it fading.
std::string SpinnerImage(int Frame)
{
    std::string img;
    PutLe32(img, 40);
    PutLe32(img, 32);
    PutLe32(img, 64);   // colour and mask halves
    PutLe16(img, 1);
    PutLe16(img, 32);
    PutLe32(img, 0);
    PutLe32(img, 32 * 32 * 4 + 32 * 4);
    PutLe32(img, 0);
    PutLe32(img, 0);
    PutLe32(img, 0);
    PutLe32(img, 0);
    std::vector<Cardinal> px(32 * 32, 0);
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < 10; ++k) {
        int age = (Frame - k + 10) % 10;   // 0 = the lit dot
        double a = 2 * pi * k / 10 - pi / 2;
        double cx = 15.5 + 11 * std::cos(a), cy = 15.5 + 11 * std::sin(a);
        int shade = age == 0 ? 0 : 60 + age * 18;
        Cardinal r = Cardinal(shade), g = Cardinal(shade > 40 ? shade : 40), b = Cardinal(age == 0 ? 160 : shade + 30);
        // Only the square around the dot can fall inside it.
        const int x0 = std::max(0, int(std::floor(cx - 4))), x1 = std::min(31, int(std::ceil(cx + 4)));
        const int y0 = std::max(0, int(std::floor(cy - 4))), y1 = std::min(31, int(std::ceil(cy + 4)));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                double dx = x + 0.5 - cx - 0.5, dy = y + 0.5 - cy - 0.5;
                if (dx * dx + dy * dy <= 3.2 * 3.2)
                    px[std::size_t(y * 32 + x)] = 0xFF000000u | (r << 16) | (g << 8) | (b > 255 ? 255 : b);
            }
    }
    for (int row = 31; row >= 0; --row)   // bottom-up rows
        for (int x = 0; x < 32; ++x)
            PutLe32(img, px[std::size_t(row * 32 + x)]);
    for (int row = 31; row >= 0; --row)
        for (int byte = 0; byte < 4; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (!(px[std::size_t(row * 32 + byte * 8 + bit)] >> 24))
                    bits |= 0x80u >> bit;
            img += char(bits);
        }
    return img;
}

void PutChunk(std::string& s, const char* id, const std::string& data)
{
    s.append(id, 4);
    PutLe32(s, Cardinal(data.size()));
    s += data;
    if (data.size() & 1)
        s += '\0';
}

}  // namespace

std::string ProgramAnimationData()
{
    const int frames = 10;
    std::string anih;
    for (Cardinal v : {36u, Cardinal(frames), Cardinal(frames), 0u, 0u, 0u, 0u, 10u, 1u})
        PutLe32(anih, v);
    std::string rate;
    for (int i = 0; i < frames; ++i)
        PutLe32(rate, 3);
    std::string list = "fram";
    for (int i = 0; i < frames; ++i) {
        std::string image = SpinnerImage(i);
        std::string ico;
        PutLe16(ico, 0);
        PutLe16(ico, 1);
        PutLe16(ico, 1);
        ico += char(32);
        ico += char(32);
        ico += char(0);
        ico += char(0);
        PutLe16(ico, 1);
        PutLe16(ico, 32);
        PutLe32(ico, Cardinal(image.size()));
        PutLe32(ico, 22);
        ico += image;
        PutChunk(list, "icon", ico);
    }
    std::string body = "ACON";
    PutChunk(body, "anih", anih);
    PutChunk(body, "rate", rate);
    PutChunk(body, "LIST", list);
    std::string file = "RIFF";
    PutLe32(file, Cardinal(body.size()));
    return file + body;
}
