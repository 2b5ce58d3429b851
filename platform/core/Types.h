#pragma once
// Basic types of the framework, as the program's units use them.
#include <cstdint>
#include <string>

// Text of the program: Windows-1250 bytes, one byte a character.
using AnsiString = std::string;
// UTF-16 text (the framework's WideString).
using WideString = std::u16string;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongInt = std::int32_t;
using Int64 = std::int64_t;

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }
constexpr TPoint Point(int x, int y) { return TPoint(x, y); }

// Windows RECT helpers used by the drawing code.
bool PtInRect(const TRect& r, const TPoint& p);           // right and bottom excluded
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);
bool IsRectEmpty(const TRect& r);
int MulDiv(int number, int numerator, int denominator);   // rounded, -1 on division by 0
