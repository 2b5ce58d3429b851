#pragma once
// The measures of many texts in one font on one canvas's device, with the
// font set up once: the widths equal the canvas's TextWidth, the height its
// TextHeight. Where the font lays characters out one by one (their advances
// simply add up), a width is summed from the characters' advances; other
// texts are laid out whole, each distinct text once.
#include <memory>
#include <cstdint>
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
    // The last text whose width a run of texts (a column's cells one below
    // the other, say) found with a TRunSums: while it stays in place, a text
    // that begins as it does sums only the characters after the start they
    // share.
    struct TLastText {
        const void* Sums = nullptr;
        const char* Text = nullptr;
        std::size_t Length = 0;
        long long Sum = 0;
    };
    // Widths of many texts summed from the advances the metrics have met
    // when it was made, for texts that hold none of its stop bytes: what
    // the metrics learn later is not seen. Several threads may use it at
    // once.
    class TRunSums {
    public:
        TRunSums(const TTextMetrics& AMetrics, std::string_view AStops);
        ~TRunSums();
        TRunSums(const TRunSums&) = delete;
        TRunSums& operator=(const TRunSums&) = delete;
        // The width as TryTextWidth finds it, starting from ALast where the
        // text begins as it does, when the text holds no stop byte and its
        // characters and pairs had all been met and add up; a text whose
        // width is found becomes ALast. False otherwise, ALast as it was.
        bool TryWidth(const char* Text, std::size_t Length, int& Width, TLastText& ALast) const;

    private:
        const Impl& D;
        long long Advance[256];   // -1: a stop byte, or a character not known to add up
        std::unique_ptr<std::uint64_t[]> PairAdds;   // the pairs of characters that add up
    };
    // Meets what was noted.
    void Learn(const TUnmet& Unmet);
    int TextHeight() const;

private:
    std::unique_ptr<Impl> FImpl;
};
