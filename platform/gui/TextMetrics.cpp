// Text measures kept for one font. The toolkit lays a text out as glyphs
// whose advances (in 1/64 pixel) add up to its width, rounded to a pixel at
// the end. A character whose advance does not depend on its neighbours adds
// the advance it has alone; whether a pair of characters is laid out that
// way (no ligature, no contextual form) is asked the first time the pair
// is met. Control and format characters, marks and texts with a joined pair
// are laid out whole.
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QThread>
#include <QCoreApplication>
#include <bit>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gui/Canvas_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/TextMetrics.h"

namespace {
// States of a character and of a pair: not asked yet, adds up, laid out whole.
constexpr signed char Unknown = 0;
constexpr signed char Adds = 1;
constexpr signed char Whole = -1;

bool LaidOutAlone(char16_t u)
{
    if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xAD)
        return false;
    switch (QChar::category(char32_t(u))) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_NotAssigned:
    case QChar::Other_Surrogate:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return false;
    default: return true;
    }
}
}

struct TTextMetrics::Impl {
    // The canvas's mapping when the metrics were made: widths and heights are its logical units.
    TCanvas::Impl Mapping;
    QFont Font;
    QFontMetrics Metrics;
    QFontMetricsF MetricsF;
    int Height = 0;
    char16_t Unicode[256];
    signed char CharState[256] = {};
    long long Advance[256] = {};   // 1/64 pixel
    std::vector<signed char> PairState = std::vector<signed char>(256 * 256, Unknown);
    // The pairs that add up, a bit each: small enough to stay in the
    // processor's nearest cache while many texts are summed.
    std::uint64_t PairAdds[256 * 256 / 64] = {};
    std::unordered_map<AnsiString, int> WholeWidths;
    // Device widths in logical units, for the widths texts mostly have (a mapped canvas only).
    std::vector<int> LogWidths;

    Impl(const TCanvas::Impl* canvas, const QFont& f) : Font(f), Metrics(f), MetricsF(f)
    {
        if (canvas) {
            Mapping.dpi = canvas->dpi;
            Mapping.mapMode = canvas->mapMode;
        }
        Height = Mapping.LogLen(Metrics.height());
        if (Mapping.Mapped()) {
            LogWidths.resize(8192);
            for (int v = 0; v < int(LogWidths.size()); ++v)
                LogWidths[std::size_t(v)] = Mapping.LogLen(v);
        }
        for (int i = 0; i < 256; ++i) {
            WideString w = AnsiToWide(AnsiString(1, char(i)));
            Unicode[i] = w.size() == 1 ? w[0] : char16_t(0);
        }
    }

    // The laid-out width of a text in 1/64 pixel.
    long long Fixed(const QString& s) const { return std::llround(MetricsF.horizontalAdvance(s) * 64.0); }

    signed char AskChar(unsigned char b)
    {
        char16_t u = Unicode[b];
        if (u == 0 || !LaidOutAlone(u))
            return CharState[b] = Whole;
        Advance[b] = Fixed(QString(QChar(u)));
        return CharState[b] = Adds;
    }

    signed char AskPair(unsigned char a, unsigned char b)
    {
        const QChar pair[2] = {QChar(Unicode[a]), QChar(Unicode[b])};
        bool adds = Fixed(QString(pair, 2)) == Advance[a] + Advance[b];
        const std::size_t i = std::size_t(a) << 8 | b;
        if (adds)
            PairAdds[i >> 6] |= std::uint64_t(1) << (i & 63);
        return PairState[i] = adds ? Adds : Whole;
    }

    static constexpr long long LaidOutWhole = -1;
    static constexpr long long NotAsked = -2;

    // The advances of a text added up (1/64 pixel), or LaidOutWhole; without
    // AAsk nothing is learnt (and nothing written but Unmet): NotAsked when
    // a character or pair has not been asked yet, all of them noted in Unmet.
    long long Sum(const char* Text, std::size_t Length, bool AAsk, TUnmet* Unmet = nullptr)
    {
        // Most texts hold only characters and pairs known to add up. A pair
        // is only known to add up when both its characters do.
        if (Length == 0)
            return 0;
        std::size_t prev = static_cast<unsigned char>(Text[0]);
        if (CharState[prev] != Adds)
            return SumSlowly(Text, Length, AAsk, Unmet);
        long long sum = Advance[prev];
        for (std::size_t i = 1; i < Length; ++i) {
            const std::size_t b = static_cast<unsigned char>(Text[i]);
            const std::size_t pair = prev << 8 | b;
            if (!(PairAdds[pair >> 6] >> (pair & 63) & 1))
                return SumSlowly(Text, Length, AAsk, Unmet);
            sum += Advance[b];
            prev = b;
        }
        return sum;
    }

    // The advances of Text from From on added up, the pair before From
    // included, where the characters before From add up; NotAsked where a
    // pair is not known to add up.
    long long SumFrom(const char* Text, std::size_t Length, std::size_t From) const
    {
        long long sum = 0;
        std::size_t prev = static_cast<unsigned char>(Text[From - 1]);
        for (std::size_t i = From; i < Length; ++i) {
            const std::size_t b = static_cast<unsigned char>(Text[i]);
            const std::size_t pair = prev << 8 | b;
            if (!(PairAdds[pair >> 6] >> (pair & 63) & 1))
                return NotAsked;
            sum += Advance[b];
            prev = b;
        }
        return sum;
    }

    long long SumSlowly(const char* Text, std::size_t Length, bool AAsk, TUnmet* Unmet)
    {
        long long sum = 0;
        bool unasked = false;
        int prev = -1;
        for (std::size_t i = 0; i < Length; ++i) {
            unsigned char b = static_cast<unsigned char>(Text[i]);
            signed char s = CharState[b];
            if (s == Unknown) {
                if (!AAsk) {
                    if (!Unmet)
                        return NotAsked;
                    Unmet->Note(65536 + b);
                    unasked = true;
                } else {
                    s = AskChar(b);
                }
            }
            if (s == Whole)
                return LaidOutWhole;
            if (prev >= 0) {
                const std::size_t pair = std::size_t(prev) << 8 | b;
                signed char ps = PairState[pair];
                if (ps == Unknown) {
                    if (!AAsk) {
                        if (!Unmet)
                            return NotAsked;
                        Unmet->Note(pair);
                        unasked = true;
                    } else {
                        ps = AskPair(static_cast<unsigned char>(prev), b);
                    }
                }
                if (ps == Whole)
                    return LaidOutWhole;
            }
            sum += Advance[b];
            prev = b;
        }
        return unasked ? NotAsked : sum;
    }

    // Rounded as the toolkit rounds a laid-out width: half a pixel up.
    int Width(long long Sum) const
    {
        const int device = int((Sum + 32) >> 6);
        return device >= 0 && std::size_t(device) < LogWidths.size() ? LogWidths[std::size_t(device)]
                                                                      : Mapping.LogLen(device);
    }

    int WholeWidth(const char* p, std::size_t n)
    {
        AnsiString text(p, n);
        auto it = WholeWidths.find(text);
        if (it != WholeWidths.end())
            return it->second;
        int w = Mapping.LogLen(Metrics.horizontalAdvance(ToQString(text)));
        // Kept metrics keep a bounded number of texts.
        if (WholeWidths.size() >= 16384)
            WholeWidths.clear();
        WholeWidths.emplace(std::move(text), w);
        return w;
    }
};

TTextMetrics::TTextMetrics(const TFont& AFont, TCanvas* ACanvas)
    : FImpl(std::make_unique<Impl>(ACanvas ? &ACanvas->Data() : nullptr,
                                   ACanvas ? ACanvas->Data().DeviceFont(AFont) : ToQFont(AFont, 96)))
{
}

TTextMetrics::~TTextMetrics() = default;

namespace {
struct TKept {
    std::string Name;
    int Height, Style, Pitch, Ppi, Dpi, MapMode;
    std::shared_ptr<TTextMetrics> Metrics;
};

// Never destroyed: the toolkit's fonts may be gone when the program's statics go.
std::vector<TKept>& KeptMetrics()
{
    static std::vector<TKept>& kept = *new std::vector<TKept>;
    return kept;
}

TKept Key(const TFont& AFont, TCanvas* ACanvas)
{
    const TCanvas::Impl* c = ACanvas ? &ACanvas->Data() : nullptr;
    return {AFont.Name(),     AFont.Height(), int(AFont.Style()), int(AFont.Pitch()), AFont.PixelsPerInch(),
            c ? c->dpi : 0, c ? int(c->mapMode) : 0, nullptr};
}

std::shared_ptr<TTextMetrics> Find(const TKept& key)
{
    for (const TKept& k : KeptMetrics())
        if (k.Height == key.Height && k.Style == key.Style && k.Pitch == key.Pitch && k.Ppi == key.Ppi &&
            k.Dpi == key.Dpi && k.MapMode == key.MapMode && k.Name == key.Name)
            return k.Metrics;
    return nullptr;
}
}  // namespace

std::shared_ptr<TTextMetrics> TTextMetrics::Shared(const TFont& AFont, TCanvas* ACanvas)
{
    TKept key = Key(AFont, ACanvas);
    if (auto found = Find(key))
        return found;
    std::vector<TKept>& kept = KeptMetrics();
    if (kept.size() >= 16)
        kept.erase(kept.begin());
    key.Metrics = std::make_shared<TTextMetrics>(AFont, ACanvas);
    kept.push_back(std::move(key));
    return kept.back().Metrics;
}

std::shared_ptr<TTextMetrics> TTextMetrics::Kept(const TFont& AFont, TCanvas* ACanvas)
{
    return Find(Key(AFont, ACanvas));
}

int TTextMetrics::TextHeight() const
{
    return FImpl->Height;
}

int TTextMetrics::TextWidth(const char* Text, std::size_t Length)
{
    Impl& d = *FImpl;
    long long sum = d.Sum(Text, Length, true);
    return sum == Impl::LaidOutWhole ? d.WholeWidth(Text, Length) : d.Width(sum);
}

bool TTextMetrics::TryTextWidth(const char* Text, std::size_t Length, int& Width, TUnmet* Unmet) const
{
    const Impl& d = *FImpl;
    long long sum = FImpl->Sum(Text, Length, false, Unmet);
    if (sum < 0)
        return false;
    Width = d.Width(sum);
    return true;
}

TTextMetrics::TRunSums::TRunSums(const TTextMetrics& AMetrics, std::string_view AStops, std::string_view AFirstStops)
    : D(*AMetrics.FImpl), PairAdds(std::make_unique<std::uint64_t[]>(256 * 256 / 64))
{
    for (int b = 0; b < 256; ++b)
        Advance[b] = D.CharState[b] == Adds ? D.Advance[b] : -1;
    for (char stop : AStops)
        Advance[static_cast<unsigned char>(stop)] = -1;
    std::memcpy(FirstAdvance, Advance, sizeof Advance);
    for (char stop : AFirstStops)
        FirstAdvance[static_cast<unsigned char>(stop)] = -1;
    // A pair with a stop byte is taken for one that does not add up: the
    // bytes after the first one are looked at only by their pairs. A word
    // holds the pairs of one first byte with 64 second ones.
    std::uint64_t seconds[4] = {};
    for (int b = 0; b < 256; ++b)
        if (Advance[b] >= 0)
            seconds[b >> 6] |= std::uint64_t(1) << (b & 63);
    for (std::size_t word = 0; word < 256 * 256 / 64; ++word)
        if (Advance[word >> 2] >= 0)
            PairAdds[word] = D.PairAdds[word] & seconds[word & 3];
}

TTextMetrics::TRunSums::~TRunSums() = default;

int TTextMetrics::TRunSums::WidthOf(long long Sum) const
{
    return D.Width(Sum);
}

void TTextMetrics::Learn(const TUnmet& Unmet)
{
    Impl& d = *FImpl;
    // A pair is asked with the advances of its characters known.
    for (std::size_t i : Unmet.FList)
        if (i >= 65536 && d.CharState[i - 65536] == Unknown)
            d.AskChar(static_cast<unsigned char>(i - 65536));
    for (std::size_t pair : Unmet.FList) {
        if (pair >= 65536)
            continue;
        const auto a = static_cast<unsigned char>(pair >> 8), b = static_cast<unsigned char>(pair & 0xFF);
        if (d.PairState[pair] == Unknown && d.CharState[a] == Adds && d.CharState[b] == Adds)
            d.AskPair(a, b);
    }
}

TDeviceTextWidths::TDeviceTextWidths(TCanvas::Impl& canvas, const QFontMetrics& metrics) : FMetrics(metrics)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!canvas.Mapped() && canvas.owner && app && QThread::currentThread() == app->thread())
        FKept = TTextMetrics::Kept(*canvas.owner->Font(), canvas.owner);
}

TDeviceTextWidths::~TDeviceTextWidths() = default;

int TDeviceTextWidths::operator()(const QString& text) const
{
    if (!FKept)
        return FMetrics.horizontalAdvance(text);
    const AnsiString bytes = FromQString(text);
    int width = 0;
    return FKept->TryTextWidth(bytes.data(), bytes.size(), width) ? width : FMetrics.horizontalAdvance(text);
}

int TDeviceTextWidths::operator()(const AnsiString& text) const
{
    int width = 0;
    if (FKept && FKept->TryTextWidth(text.data(), text.size(), width))
        return width;
    return FMetrics.horizontalAdvance(ToQString(text));
}
