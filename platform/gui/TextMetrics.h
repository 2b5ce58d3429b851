#pragma once
// The measures of many texts in one font on one canvas's device, with the
// font set up once: the widths equal the canvas's TextWidth, the height its
// TextHeight. Where the font lays characters out one by one (their advances
// simply add up), a width is summed from the characters' advances; other
// texts are laid out whole, each distinct text once.
#include <memory>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"

class TTextMetrics {
    struct Impl;

public:
    // The font on the device of ACanvas as they are now; later changes of
    // either are not seen.
    TTextMetrics(const TFont& AFont, TCanvas* ACanvas);
    ~TTextMetrics();
    // The metrics of the font on a device like ACanvas's, kept for the next
    // ask of the same font and device (what they have learnt is kept with
    // them). For the program's main thread.
    static std::shared_ptr<TTextMetrics> Shared(const TFont& AFont, TCanvas* ACanvas);
    // The metrics Shared keeps for the font on a device like ACanvas's, or
    // nullptr when it keeps none: makes nothing. For the main thread.
    static std::shared_ptr<TTextMetrics> Kept(const TFont& AFont, TCanvas* ACanvas);
    TTextMetrics(const TTextMetrics&) = delete;
    TTextMetrics& operator=(const TTextMetrics&) = delete;

    int TextWidth(const AnsiString& Text) { return TextWidth(Text.data(), Text.size()); }
    int TextWidth(const char* Text, std::size_t Length);
    // What texts met characters and pairs of characters that the metrics
    // have not met before.
    class TUnmet {
    public:
        bool Any() const { return !FList.empty(); }

    private:
        friend class TTextMetrics;
        // A pair a, b as a << 8 | b, a character alone as 65536 + b.
        void Note(std::size_t Index)
        {
            if (!FSeen[Index]) {
                FSeen[Index] = true;
                FList.push_back(Index);
            }
        }
        std::vector<unsigned char> FSeen = std::vector<unsigned char>(65536 + 256);
        std::vector<std::size_t> FList;
    };
    // The width when the text's characters and pairs have all been met
    // before and add up; false otherwise, the characters and pairs not met
    // yet noted in Unmet when given. Learns nothing: several threads may
    // ask at once (each with its own Unmet) while nothing else uses the
    // metrics.
    bool TryTextWidth(const char* Text, std::size_t Length, int& Width, TUnmet* Unmet = nullptr) const;
    // The last text whose sum a run of texts (a column's cells one below
    // the other, say) found with a TRunSums: while it stays in place, a text
    // that begins or ends as it does sums only the characters where they
    // differ.
    struct TLastText {
        const void* Sums = nullptr;
        const char* Text = nullptr;
        std::size_t Length = 0;
        long long Sum = 0;
    };
    // Widths of many texts summed from the advances the metrics have met
    // when it was made, for texts that hold none of its stop bytes (nor, as
    // their first byte, one of its first stop bytes): what the metrics learn
    // later is not seen. Several threads may use it at once.
    class TRunSums {
    public:
        TRunSums(const TTextMetrics& AMetrics, std::string_view AStops, std::string_view AFirstStops = {});
        ~TRunSums();
        TRunSums(const TRunSums&) = delete;
        TRunSums& operator=(const TRunSums&) = delete;
        // The advances of a text added up (1/64 pixel), starting from ALast
        // where the text begins or ends as it does, when the text holds no
        // stop byte and its characters and pairs had all been met and add
        // up; a text summed becomes ALast. -1 otherwise, ALast as it was.
        // Inline: runs of texts are summed in tight loops.
        long long TrySum(const char* Text, std::size_t Length, TLastText& ALast) const;
        // The width of a sum, as TryTextWidth gives it; a larger sum is never narrower.
        int WidthOf(long long Sum) const;
        // The width of a text as TryTextWidth finds it (false where TrySum refuses it).
        bool TryWidth(const char* Text, std::size_t Length, int& Width, TLastText& ALast) const
        {
            const long long sum = TrySum(Text, Length, ALast);
            if (sum < 0)
                return false;
            Width = WidthOf(sum);
            return true;
        }

    private:
        bool PairAddsAt(const char* Text, std::size_t At) const
        {
            const std::size_t pair = std::size_t(static_cast<unsigned char>(Text[At - 1])) << 8 |
                                     static_cast<unsigned char>(Text[At]);
            return PairAdds[pair >> 6] >> (pair & 63) & 1;
        }
        const Impl& D;
        long long Advance[256];        // -1: a stop byte, or a character not known to add up
        long long FirstAdvance[256];   // the same for a text's first byte
        std::unique_ptr<std::uint64_t[]> PairAdds;   // the pairs of characters that add up
    };
    // Meets what was noted.
    void Learn(const TUnmet& Unmet);
    int TextHeight() const;

private:
    std::unique_ptr<Impl> FImpl;
};

namespace TextMetricsDetail {
inline std::uint64_t Word(const char* P)
{
    std::uint64_t w;
    std::memcpy(&w, P, 8);
    return w;
}
// Bytes from the first (last) in memory on that a word's nonzero XOR of two words holds equal.
inline std::size_t FirstBytesEqual(std::uint64_t X)
{
    return std::size_t(std::endian::native == std::endian::little ? __builtin_ctzll(X) : __builtin_clzll(X)) / 8;
}
inline std::size_t LastBytesEqual(std::uint64_t X)
{
    return std::size_t(std::endian::native == std::endian::little ? __builtin_clzll(X) : __builtin_ctzll(X)) / 8;
}

// How many bytes two texts share at their start, at most Length, compared a word at a time.
inline std::size_t CommonStart(const char* A, const char* B, std::size_t Length)
{
    std::size_t i = 0;
    for (; i + 8 <= Length; i += 8)
        if (const std::uint64_t x = Word(A + i) ^ Word(B + i))
            return i + FirstBytesEqual(x);
    if (i == Length)
        return i;
    if (Length >= 8) {
        // The last word, over bytes found equal already.
        const std::uint64_t x = Word(A + Length - 8) ^ Word(B + Length - 8);
        return x ? Length - 8 + FirstBytesEqual(x) : Length;
    }
    while (i < Length && A[i] == B[i])
        ++i;
    return i;
}

// How many bytes two texts share at their end, at most Length: AEnd and BEnd point past them,
// and ARoom >= Length bytes before them may be read.
inline std::size_t CommonEnd(const char* AEnd, const char* BEnd, std::size_t Length, std::size_t ARoom)
{
    std::size_t i = 0;
    for (; i < Length && i + 8 <= ARoom; i += 8)
        if (const std::uint64_t x = Word(AEnd - i - 8) ^ Word(BEnd - i - 8)) {
            const std::size_t n = i + LastBytesEqual(x);
            return n < Length ? n : Length;
        }
    if (i >= Length)
        return Length;
    while (i < Length && AEnd[-1 - std::ptrdiff_t(i)] == BEnd[-1 - std::ptrdiff_t(i)])
        ++i;
    return i;
}
}  // namespace TextMetricsDetail

inline long long TTextMetrics::TRunSums::TrySum(const char* Text, std::size_t Length, TLastText& ALast) const
{
    // The text as the last one with its middle replaced: the bytes they share at their start
    // and at their end (apart) add what they added to the last one; the pairs and characters
    // of the middle, and the pair where it meets the shared end, are looked at.
    if (Length == 0)
        return 0;
    std::size_t same = 0, end = 0;
    long long sum = 0;
    if (ALast.Sums == this) {
        const std::size_t shorter = Length < ALast.Length ? Length : ALast.Length;
        same = TextMetricsDetail::CommonStart(Text, ALast.Text, shorter);
        if (same == Length && Length == ALast.Length) {
            ALast.Text = Text;
            return ALast.Sum;
        }
        end = TextMetricsDetail::CommonEnd(Text + Length, ALast.Text + ALast.Length, shorter - same, shorter);
        sum = ALast.Sum;
        for (std::size_t i = same; i < ALast.Length - end; ++i)
            sum -= Advance[static_cast<unsigned char>(ALast.Text[i])];
    }
    const std::size_t middleEnd = Length - end;
    std::size_t i = same;
    if (same == 0) {
        const long long first = FirstAdvance[static_cast<unsigned char>(Text[0])];
        if (first < 0)
            return -1;
        if (middleEnd > 0) {
            sum += first;
            i = 1;
        }
    }
    for (; i < middleEnd; ++i) {
        if (!PairAddsAt(Text, i))
            return -1;
        sum += Advance[static_cast<unsigned char>(Text[i])];
    }
    if (middleEnd > 0 && middleEnd < Length && !PairAddsAt(Text, middleEnd))
        return -1;
    ALast = TLastText{this, Text, Length, sum};
    return sum;
}
