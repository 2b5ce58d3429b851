// DrawText: lines, word breaks, "&" prefixes, ellipses and alignment in a rectangle.
#include <QFontMetrics>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/gui/Canvas_p.h"
#include "platform/gui/QtText_p.h"

namespace {

struct Line {
    QString text;
    int prefix = -1;   // index of the character underlined by an "&" prefix
};

// "&&" is "&", "&x" underlines x; a lone "&" at the end disappears.
Line StripPrefix(const QString& s, bool process)
{
    Line l;
    if (!process) {
        l.text = s;
        return l;
    }
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != u'&')
                l.prefix = int(l.text.size());
        } else if (s[i] == u'&') {
            continue;
        }
        l.text += s[i];
    }
    return l;
}

QString ExpandTabs(const QString& s)
{
    QString out;
    for (QChar c : s) {
        if (c == u'\t') {
            int n = 8 - int(out.size() % 8);
            out += QString(n, u' ');
        } else {
            out += c;
        }
    }
    return out;
}

// The largest n in 0 .. Max for which Fits(n) holds, -1 when not even Fits(0) does; Fits
// must hold up to some n and not beyond. The lengths asked about grow from small ones and
// stay within twice the answer, so the cost follows what fits, not Max.
int LargestFitting(int Max, const std::function<bool(int)>& Fits)
{
    if (!Fits(0))
        return -1;
    int lo = 0, hi = -1;   // lo fits; hi, once known, does not
    for (int step = 1; hi < 0; step *= 2) {
        const int probe = step >= Max - lo ? Max : lo + step;
        if (!Fits(probe))
            hi = probe;
        else if (probe == Max)
            return Max;
        else
            lo = probe;
    }
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (Fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

// Greedy word wrap: a break drops the blanks at it; a word wider than the
// width stays whole unless the edit-control rule breaks it between characters.
// Each line measures only about as much text as it holds, so a long text
// wraps in time that grows with its length, however few blanks it has.
void WrapLine(const Line& src, const TDeviceTextWidths& advance, int width, bool breakWords, std::vector<Line>& out)
{
    const QString& s = src.text;
    if (s.isEmpty() || advance(s) <= width) {
        out.push_back(src);
        return;
    }
    int start = 0;
    const int n = int(s.size());
    auto blank = [&](int i) { return s[i] == u' '; };
    while (start < n) {
        // The longest piece from start on that fits; -1 when not even an empty one does.
        const int fit = LargestFitting(n - start, [&](int len) {
            return advance(s.mid(start, len)) <= width;
        });
        // The last word end within it: a blank (or the end) after a non-blank, or start.
        int lastBreak = -1;
        for (int w = start + fit; fit >= 0 && w >= start; --w)
            if ((w == n || blank(w)) && (w == start || !blank(w - 1))) {
                lastBreak = w;
                break;
            }
        int lineEnd;
        int next;
        if (lastBreak < 0) {
            // The first word does not fit.
            if (breakWords) {
                int wordEnd = start;
                while (wordEnd < start + fit + 1 && wordEnd < n && !blank(wordEnd))
                    ++wordEnd;
                lineEnd = std::max(start + 1, std::min(start + fit, wordEnd));
            } else {
                lineEnd = start;
                while (lineEnd < n && !blank(lineEnd))
                    ++lineEnd;
            }
            next = lineEnd;
        } else {
            lineEnd = lastBreak;
            next = lastBreak;
        }
        while (next < n && blank(next))
            ++next;
        Line l;
        l.text = s.mid(start, lineEnd - start);
        if (src.prefix >= start && src.prefix < lineEnd)
            l.prefix = src.prefix - start;
        out.push_back(l);
        if (next <= start)
            next = start + 1;
        start = next;
    }
}

QString EndEllipsis(const QString& s, const TDeviceTextWidths& advance, int width)
{
    const QString dots = QStringLiteral("...");
    const int n = LargestFitting(int(s.size()), [&](int len) {
        return advance(s.left(len) + dots) <= width;
    });
    return s.left(std::max(0, n)) + dots;
}

QString PathEllipsis(const QString& s, const TDeviceTextWidths& advance, int width)
{
    int slash = std::max(s.lastIndexOf(u'\\'), s.lastIndexOf(u'/'));
    if (slash < 0)
        return EndEllipsis(s, advance, width);
    QString tail = s.mid(slash);
    const QString dots = QStringLiteral("...");
    const int n = LargestFitting(slash, [&](int len) {
        return advance(s.left(len) + dots + tail) <= width;
    });
    if (n >= 0)
        return s.left(n) + dots + tail;
    return EndEllipsis(dots + tail, advance, width);
}

}  // namespace

namespace {
int DrawDeviceText(TCanvas* dc, const QString& s, TRect& r, unsigned flags, const TTextPlacement* Place = nullptr);

QString TextPart(const AnsiString& text, int len)
{
    return ToQString(len < 0 || size_t(len) >= text.size() ? text : text.substr(0, size_t(len)));
}

// In a mapped mode the rectangle and the result are logical: the text is laid out in the
// device's pixels and a measured rectangle grows downward on the page from its top.
int DrawMappedText(TCanvas* dc, const QString& s, TRect& r, unsigned flags)
{
    TCanvas::Impl& d = dc->Data();
    if (!d.Mapped())
        return DrawDeviceText(dc, s, r, flags);
    const QRect q = d.DevRect(r);
    TRect dr(q.left(), q.top(), q.left() + q.width(), q.top() + q.height());
    const int height = DrawDeviceText(dc, s, dr, flags);
    if (flags & DT_CALCRECT) {
        const TPoint corner = d.Log(QPoint(dr.Right, dr.Bottom));
        const TPoint origin = d.Log(QPoint(dr.Left, dr.Top));
        r.Right = r.Left + (corner.X - origin.X);
        r.Bottom = r.Top - std::abs(corner.Y - origin.Y);   // y grows upward
    }
    return d.LogLen(height);
}
}  // namespace

namespace {
int DrawPlacedText(TCanvas* dc, const QString& s, TRect& r, unsigned flags, const TTextPlacement& Place)
{
    if (!dc)
        return 0;
    if (!dc->Data().Mapped())
        return DrawDeviceText(dc, s, r, flags, &Place);
    // In a mapped mode the extent is measured in logical units first.
    TRect calc = r;
    DrawMappedText(dc, s, calc, (flags | DT_CALCRECT) & ~(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS));
    Place(calc.Width(), calc.Height(), r, flags);
    return DrawMappedText(dc, s, r, flags);
}

QString WideQString(const WideString& text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}
}  // namespace

int DrawText(TCanvas* dc, const AnsiString& text, TRect& r, unsigned flags, const TTextPlacement& Place)
{
    return DrawPlacedText(dc, ToQString(text), r, flags, Place);
}

int DrawTextW(TCanvas* dc, const WideString& text, TRect& r, unsigned flags, const TTextPlacement& Place)
{
    return DrawPlacedText(dc, WideQString(text), r, flags, Place);
}

int DrawText(TCanvas* dc, const AnsiString& text, int len, TRect& r, unsigned flags)
{
    return dc ? DrawMappedText(dc, TextPart(text, len), r, flags) : 0;
}

int DrawTextW(TCanvas* dc, const WideString& text, TRect& r, unsigned flags)
{
    return dc ? DrawMappedText(dc, WideQString(text), r, flags) : 0;
}

namespace {
int DrawDeviceText(TCanvas* dc, const QString& s, TRect& r, unsigned flags, const TTextPlacement* Place)
{
    QFont qf = dc->Data().DeviceFont();
    QFontMetrics fm(qf);
    const TDeviceTextWidths advance(dc->Data(), fm);
    const int width = r.Right - r.Left;
    const bool single = flags & DT_SINGLELINE;
    const bool processPrefix = !(flags & DT_NOPREFIX);

    // Paragraphs: carriage return, line feed or both end a line (not on a single line).
    QStringList paragraphs;
    if (single) {
        QString one = s;
        one.remove(u'\r');
        one.remove(u'\n');
        paragraphs << one;
    } else {
        QString cur;
        for (int i = 0; i < s.size(); ++i) {
            if (s[i] == u'\r' || s[i] == u'\n') {
                paragraphs << cur;
                cur.clear();
                if (s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n')
                    ++i;
            } else {
                cur += s[i];
            }
        }
        paragraphs << cur;
    }

    std::vector<Line> lines;
    for (QString p : paragraphs) {
        if (flags & DT_EXPANDTABS)
            p = ExpandTabs(p);
        Line l = StripPrefix(p, processPrefix);
        if ((flags & DT_WORDBREAK) && !single)
            WrapLine(l, advance, width, flags & DT_EDITCONTROL, lines);
        else
            lines.push_back(l);
    }

    std::vector<int> widths;
    widths.reserve(lines.size());
    for (const Line& l : lines)
        widths.push_back(advance(l.text));
    int lineHeight = fm.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
    int total = lineHeight * int(lines.size());
    // A turned font turns the laid-out block about its middle: its extent is the turned block's.
    const double angle = dc->Font()->Orientation() / 10.0;
    auto extent = [&] {
        const int maxWidth = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
        const QSizeF turned = angle != 0 ? QTransform().rotate(-angle).mapRect(QRectF(0, 0, maxWidth, total)).size()
                                         : QSizeF(maxWidth, total);
        return QSize(int(std::lround(turned.width())), int(std::lround(turned.height())));
    };
    if (Place) {
        const QSize e = extent();
        (*Place)(e.width(), e.height(), r, flags);
    }

    if (flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Line& l = lines[i];
            if (widths[i] <= width)
                continue;
            l.text = (flags & DT_PATH_ELLIPSIS) ? PathEllipsis(l.text, advance, width)
                                                : EndEllipsis(l.text, advance, width);
            if (l.prefix >= int(l.text.size()) - 3)
                l.prefix = -1;
            widths[i] = advance(l.text);
        }
    }

    if (flags & DT_CALCRECT) {
        const QSize e = extent();
        r.Right = r.Left + e.width();
        r.Bottom = r.Top + e.height();
        return r.Bottom - r.Top;
    }

    int top = r.Top;
    if (single && (flags & DT_VCENTER))
        top = r.Top + (r.Bottom - r.Top - total) / 2;
    else if (single && (flags & DT_BOTTOM))
        top = r.Bottom - total;
    // Wrapped as an edit control lays it out, a text longer than the rectangle is high ends
    // its last whole line with the ellipsis.
    if ((flags & DT_END_ELLIPSIS) && (flags & DT_WORDBREAK) && (flags & DT_EDITCONTROL) && !single &&
        !(flags & DT_NOCLIP) && lineHeight > 0) {
        const std::size_t fit = std::size_t(std::max(1, (r.Bottom - top) / lineHeight));
        if (lines.size() > fit) {
            Line& l = lines[fit - 1];
            const QString joined = l.text + u' ' + lines[fit].text;
            l.text = EndEllipsis(advance(joined) > width ? joined : l.text, advance, width);
            if (l.prefix >= int(l.text.size()) - 3)
                l.prefix = -1;
            widths[fit - 1] = advance(l.text);
            lines.resize(fit);
            widths.resize(fit);
        }
    }

    TCanvas::Impl& d = dc->Data();
    bool opaque = d.BkMode() == OPAQUE;
    QColor bk = ToQColor(d.BkColor());
    QColor fg = ToQColor(d.TextColor());
    QRect clip(r.Left, r.Top, std::max(0, width), std::max(0, r.Bottom - r.Top));
    bool hidePrefix = flags & DT_HIDEPREFIX;
    bool prefixOnly = flags & DT_PREFIXONLY;
    auto lineX = [&](int w) {
        return (flags & DT_CENTER) ? r.Left + (width - w) / 2 : (flags & DT_RIGHT) ? r.Right - w : r.Left;
    };
    d.Run(
        [&](QPainter& p) {
            p.save();
            if (!(flags & DT_NOCLIP))
                p.setClipRect(clip, p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
            p.setFont(qf);
            if (flags & DT_RTLREADING)
                p.setLayoutDirection(Qt::RightToLeft);
            if (angle != 0) {
                int left = r.Right, right = r.Left;
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    left = std::min(left, lineX(widths[i]));
                    right = std::max(right, lineX(widths[i]) + widths[i]);
                }
                const QPointF middle((left + right) / 2.0, top + total / 2.0);
                p.translate(middle);
                p.rotate(-angle);
                p.translate(-middle);
            }
            int y = top;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const Line& l = lines[i];
                const int w = widths[i];
                const int x = lineX(w);
                if (opaque && !prefixOnly)
                    p.fillRect(QRect(x, y, w, fm.height()), bk);
                p.setPen(fg);
                if (!prefixOnly)
                    p.drawText(QPoint(x, y + fm.ascent()), l.text);
                if (l.prefix >= 0 && !hidePrefix) {
                    int ux = x + fm.horizontalAdvance(l.text.left(l.prefix));
                    int uw = fm.horizontalAdvance(l.text.mid(l.prefix, 1));
                    int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
                    p.fillRect(QRect(ux, uy, std::max(1, uw), std::max(1, fm.lineWidth())), fg);
                }
                y += lineHeight;
            }
            p.restore();
        },
        false);
    return top - r.Top + total;
}
}  // namespace
