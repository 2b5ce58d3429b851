// Windows RECT helpers.
#include "platform/core/Types.h"

#include <algorithm>
#include <climits>

bool PtInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b)
{
    TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom));
    if (IsRectEmpty(r)) {
        dst = TRect();
        return false;
    }
    dst = r;
    return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b)
{
    const bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        dst = TRect();
        return false;
    }
    if (ea) dst = b;
    else if (eb) dst = a;
    else
        dst = TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                    std::max(a.Bottom, b.Bottom));
    return true;
}

void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

void InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    long long p = static_cast<long long>(number) * numerator;
    long long d = denominator;
    bool neg = (p < 0) != (d < 0);
    unsigned long long ap = p < 0 ? 0ULL - static_cast<unsigned long long>(p) : static_cast<unsigned long long>(p);
    unsigned long long ad = d < 0 ? static_cast<unsigned long long>(-d) : static_cast<unsigned long long>(d);
    unsigned long long q = (ap + ad / 2) / ad;   // rounded half away from zero
    if (q > static_cast<unsigned long long>(INT_MAX) + (neg ? 1 : 0)) return -1;
    return neg ? static_cast<int>(-static_cast<long long>(q)) : static_cast<int>(q);
}
