#include "grid/PsgHTML.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "grid/PictureContainer.h"
#include "grid/ProUtilDraw.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Themes.h"

namespace {

enum class THAlign { Left, Center, Right };

const int ListIndent = 12;

// The width and the height of what one line holds stay below this, and line
// positions are summed in 64 bits: no coordinate overflows however wide or
// tall the text.
constexpr Int64 MaxExtent = 1 << 28;

int ClampExtent(Int64 v)
{
    return int(std::clamp<Int64>(v, 0, MaxExtent));
}

// A line position as a coordinate; far beyond any canvas, it is held there.
int LineCoord(Int64 v)
{
    return int(std::clamp<Int64>(v, -(Int64(1) << 30), Int64(1) << 30));
}

// Drawing state of one pass; it carries from line to line.
struct TPassState {
    TFont Font;
    std::vector<int> Rotations;        // orientations saved by <R>
    bool Sub = false, Sup = false, Shadow = false, ErrorMark = false, Hidden = false;
    int ListLevel = 0;
    THAlign Align = THAlign::Left;
    int Indent = 0;
    // text background: clNone draws transparently
    TColor Bk = clNone;
    // what </FONT> puts back: set by <FONT BGCOLOR> and <BODY BGCOLOR>
    TColor FontSavedBk = clNone;
    TColor ParaSavedBk = clNone;
    bool ParaFill = false;
    TColor ParaColor = clNone;
    bool HiOn = false;
    TColor HiSavedFont = clNone, HiSavedBk = clNone;
    // anchors
    bool AnchorOpen = false;
    AnsiString Href;
    int Anchors = 0;                    // anchors read so far
    bool AnchorStyled = false;
    TColor AnchorSavedBk = clNone, AnchorSavedFont = clNone;
    bool AnchorHit = false;
    bool AnchorStartedHere = false;     // on the current line
    int AnchorStartW = 0;
    bool FocusOpen = false;
    int FocusStartW = 0;
    int Images = 0;
};

// What a pass reports about one line.
struct TLineInfo {
    size_t End = 0;                     // position after the consumed text
    int Width = 0, Height = 0, ExtraAbove = 0, ExtraBelow = 0, PicOffset = 0;
    bool TextHit = false, PicHit = false;
};

struct TCall {
    TCanvas* Canvas;
    TRect Rect;
    int LayoutLeft, LayoutRight;
    TImageList* Images;
    int XPos, YPos, FocusLink, HoverLink, ShadowOffset;
    bool CheckHotSpot, CheckHeight, Print, Selected, Blink, HoverStyle, WordWrap, ControlDown;
    double ResFactor;
    TColor URLColor, HoverColor, HoverFontColor, ShadowColor;
    THTMLPictureCache* Cache;
    TPictureContainer* Container;
    TFont Base;
    TColor EntryBrush;
    unsigned Flags;
    int ResX, ResY;
    AnsiString FindControlID;
    // results
    AnsiString &AnchorVal, &StripVal, &FocusAnchor, &AnchorHint;
    int& MouseLink;
    TRect &HoverRect, &ControlRect;
    AnsiString &ControlID, &ControlValue, &ControlType;
    // The first "<" at or after TagFrom is at TagAt (the text's size when there is none): the
    // lines and passes that read the text on from there look no further than that.
    size_t TagFrom = AnsiString::npos, TagAt = 0;
};

bool StartsNoCase(const AnsiString& s, const char* prefix)
{
    size_t n = std::char_traits<char>::length(prefix);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (AnsiUpperChar(Byte(s[i])) != Byte(prefix[i])) return false;
    return true;
}

// Entities of the text, read once from left to right. "&amp;" becomes "&&"
// (one ampersand when drawn with prefix processing). Tags are copied as they
// are: their attribute values keep their own entities (a control's VALUE is
// decoded when the tag is read), except in "<#...>" placeholders, which show
// as text.
AnsiString DecodeTextEntities(const AnsiString& s)
{
    static const struct {
        const char* Name;
        const char* Value;
    } table[] = {{"&AMP;", "&&"},   {"&QUOT;", "\""},  {"&SECT;", "\xA7"}, {"&PERMIL;", "\x89"},
                 {"&REG;", "\xAE"}, {"&COPY;", "\xA9"}, {"&PARA;", "\xB6"}, {"&TRADE;", "\x99"},
                 {"&EURO;", "\x80"}};
    if (s.find('&') == AnsiString::npos) return s;
    AnsiString out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '<' && (i + 1 >= s.size() || s[i + 1] != '#')) {
            const size_t gt = s.find('>', i);
            const size_t end = gt == AnsiString::npos ? s.size() : gt + 1;
            out.append(s, i, end - i);
            i = end;
            continue;
        }
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {   // an ampersand already doubled
                out += "&&";
                i += 2;
                continue;
            }
            bool done = false;
            for (const auto& e : table)
                if (StartsNoCase(s.substr(i, 8), e.Name)) {
                    out += e.Value;
                    i += std::char_traits<char>::length(e.Name);
                    done = true;
                    break;
                }
            if (done) continue;
        }
        out += s[i++];
    }
    return out;
}

// "&nbsp;", "&lt;" and "&gt;" of a text run; "&&" stays as it is.
AnsiString DecodeRun(const AnsiString& s)
{
    if (s.find('&') == AnsiString::npos) return s;
    AnsiString out;
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += "&&";
                i += 2;
                continue;
            }
            AnsiString head = s.substr(i, 6);
            if (StartsNoCase(head, "&NBSP;")) {
                out += ' ';
                i += 6;
                continue;
            }
            if (StartsNoCase(head, "&LT;") || StartsNoCase(head, "&GT;")) {
                out += AnsiUpperChar(Byte(s[i + 1])) == 'L' ? '<' : '>';
                i += 4;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

// The run as plain text: a doubled ampersand is one.
AnsiString PlainRun(const AnsiString& run)
{
    AnsiString out;
    for (size_t i = 0; i < run.size(); ++i) {
        out += run[i];
        if (run[i] == '&' && i + 1 < run.size() && run[i + 1] == '&') ++i;
    }
    return out;
}

TColor TagColor(const AnsiString& upperValue)
{
    if (!upperValue.empty() && upperValue[0] == '#') return HtmlHexColor(upperValue);
    return HtmlColorByName(AnsiLowerCase(upperValue));
}

void Fill(TCanvas* c, const TRect& r, TColor color)
{
    if (color == clNone || r.Right <= r.Left || r.Bottom <= r.Top) return;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(r);
    c->Brush()->SetStyle(bsClear);
}

void Frame(TCanvas* c, const TRect& r, TColor color)
{
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(color);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(r);
}

// Check box or radio button of our own, for when no themed part is drawn.
void ClassicCheck(TCanvas* c, const TRect& r, bool radio, bool ticked, bool down)
{
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(0x808080);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(down ? clBtnFace : clWindow);
    TRect b(r.Left + 1, r.Top + 1, r.Left + 14, r.Top + 14);
    if (radio)
        c->Ellipse(b);
    else
        c->Rectangle(b);
    if (!ticked) {
        c->Brush()->SetStyle(bsClear);
        return;
    }
    c->Pen()->SetColor(clWindowText);
    c->Brush()->SetColor(clWindowText);
    if (radio) {
        c->Ellipse(TRect(b.Left + 4, b.Top + 4, b.Right - 4, b.Bottom - 4));
    } else {
        for (int d = 0; d < 3; ++d) {   // a tick three pixels thick
            c->MoveTo(b.Left + 3, b.Top + 5 + d);
            c->LineTo(b.Left + 5, b.Top + 7 + d);
            c->LineTo(b.Left + 10, b.Top + 2 + d);
        }
    }
    c->Brush()->SetStyle(bsClear);
}

// The picture SRC names: a plain name from the container, an address
// ("scheme://...") from the cache, which loads it on first use.
THTMLPicture* FindPicture(const TCall& C, const AnsiString& Src)
{
    if (Src.find(':') == AnsiString::npos)
        return C.Container ? C.Container->FindPicture(Src) : nullptr;
    if (Src.find("://") == AnsiString::npos || !C.Cache)
        return nullptr;
    if (THTMLPicture* pic = C.Cache->FindPicture(Src))
        return pic;
    THTMLPicture* added = C.Cache->AddPicture();
    added->SetAddress(Src);
    try {
        added->LoadFromURL(Src);
    } catch (const Exception&) {
        // a picture that cannot be read stays in the cache and shows nothing
    }
    return added;
}

class TEngine {
public:
    TEngine(TCall& c, TPassState& st, const AnsiString& text, size_t pos, size_t end, const TRect& line,
            bool first, bool resultPass, const TLineInfo* geometry)
        : C(c), S(st), Text(text), Pos(pos), End(end), Line(line), First(first), ResultPass(resultPass),
          Draw(!first && !c.CheckHotSpot), Geo(geometry)
    {
    }

    TLineInfo Run();

private:
    TCall& C;
    TPassState& S;
    const AnsiString& Text;
    size_t Pos, End;
    TRect Line;
    bool First, ResultPass, Draw;
    const TLineInfo* Geo;

    int Lw = 0, Lh = 0, Ea = 0, Eb = 0, PicOff = 0, Trailing = 0, H = 0;
    bool LastEndsSpace = true, BreakLine = false, LiInLine = false;
    TLineInfo Info;

    TCanvas* Cv() const { return C.Canvas; }
    int LayoutWidth() const { return C.LayoutRight - C.LayoutLeft; }
    bool CanWrap() const { return First && C.WordWrap; }
    int TextBottom() const
    {
        int b = Line.Bottom - (Geo ? Geo->ExtraBelow + Geo->PicOffset : 0);
        if (S.Sup && Geo) b -= Geo->ExtraAbove;
        if (S.Sub && Geo) b += Geo->ExtraBelow;
        return b;
    }
    // The run's extent as drawn (a turned run's turned extent).
    TSize Measure(const AnsiString& run)
    {
        TRect r(0, 0, 1000000, 0);
        DrawText(Cv(), run, -1, r, (C.Flags & ~DT_END_ELLIPSIS) | DT_CALCRECT);
        return TSize{r.Right - r.Left, r.Bottom - r.Top};
    }
    bool Turned() const { return Cv()->Font()->Orientation() % 3600 != 0; }
    void SetStyle(unsigned bit, bool on)
    {
        TFontStyles s = Cv()->Font()->Style();
        Cv()->Font()->SetStyle(on ? (s | bit) : (s & ~bit));
    }
    void Strip(const AnsiString& s)
    {
        if (ResultPass) C.StripVal += s;
    }

    void TextRun(size_t runEnd);
    // False when the line must end before the tag (it is not consumed).
    bool Tag(const AnsiString& tag);
    void Anchor(const AnsiString& tag);
    void AnchorEnd();
    bool Picture(const AnsiString& tag);
    bool Control(const AnsiString& tag);
    void Body(const AnsiString& tag);
    // A picture of an image list (the grid's or the system's) as laid out: scaled by the canvas's
    // resolution, or by the print factor.
    void ListPictureSize(int w, int h, int& pw, int& ph) const
    {
        pw = ClampExtent(C.Print ? std::llround(w * C.ResFactor) : MulDiv(w, C.ResX, 96));
        ph = ClampExtent(C.Print ? std::llround(h * C.ResFactor) : MulDiv(h, C.ResY, 96));
    }
    // A picture or control that does not fit in the rest of the line, and would fit in a line of its own,
    // ends the line before it, wrapped or not.
    bool FitsItem(int w) const { return !(First && Lw > 0 && Lw + w > LayoutWidth() && w < LayoutWidth()); }
    void Advance(Int64 w) { Lw = ClampExtent(Lw + w); }
    void FocusRect(int fromW, int toW)
    {
        int bottom = Line.Bottom - (Geo ? Geo->PicOffset : 0);
        TRect r(Line.Left + fromW - 1, bottom - H, Line.Left + toW + 1, bottom);
        Cv()->Brush()->SetStyle(bsSolid);
        Cv()->DrawFocusRect(r);
        Cv()->Brush()->SetStyle(bsClear);
    }
};

TLineInfo TEngine::Run()
{
    Cv()->Font()->Assign(&S.Font);
    Cv()->Brush()->SetStyle(bsClear);
    H = Cv()->TextHeight("gh");
    S.AnchorStartedHere = false;
    if (Draw && S.ParaFill) Fill(Cv(), TRect(C.LayoutLeft, Line.Top, C.LayoutRight, Line.Bottom), S.ParaColor);

    while (Pos < End && !BreakLine) {
        if (C.TagFrom > Pos || Pos > C.TagAt) {
            C.TagFrom = Pos;
            C.TagAt = std::min(Text.find('<', Pos), Text.size());
        }
        const size_t lt = std::min(C.TagAt, End);
        size_t runEnd = lt;
        // The run ends after its first blank: the search stops where the run does.
        if (C.WordWrap)
            runEnd = std::min<size_t>(std::find(Text.begin() + Pos, Text.begin() + lt, ' ') - Text.begin() + 1, lt);
        if (runEnd > Pos) {
            size_t before = Pos;
            TextRun(runEnd);
            if (Pos == before) break;   // the run moves to the next line
            continue;
        }
        // A tag: up to its ">"; one without ">" ends the text.
        size_t gt = Text.find('>', Pos);
        if (gt == AnsiString::npos || gt >= End) {
            Pos = End;
            break;
        }
        if (!Tag(Text.substr(Pos, gt + 1 - Pos))) break;
        Pos = gt + 1;
    }

    Info.End = Pos;
    Info.Width = Lw - Trailing;
    Info.Height = Lh > 0 ? Lh : H;
    Info.ExtraAbove = Ea;
    Info.ExtraBelow = Eb;
    Info.PicOffset = PicOff;
    if (Draw && S.FocusOpen) {
        FocusRect(S.FocusStartW, Info.Width);
        S.FocusStartW = 0;   // it goes on from the next line's start
    }
    if (S.AnchorOpen) {
        if (S.AnchorHit && ResultPass) {   // an anchor over several lines: its extent on this line
            C.HoverRect = TRect(Line.Left + (S.AnchorStartedHere ? S.AnchorStartW : 0), Line.Top, Line.Left + Lw,
                                Line.Bottom);
            S.AnchorHit = false;
        }
        S.AnchorStartW = 0;
    }
    S.Font.Assign(Cv()->Font());
    return Info;
}

void TEngine::TextRun(size_t runEnd)
{
    const AnsiString raw = Text.substr(Pos, runEnd - Pos);
    const AnsiString run = DecodeRun(raw);
    // A run turned by <R> takes the room of its turned extent, standing on the line's bottom.
    const bool turned = Turned();
    const TSize extent = Measure(run);
    const int th = turned ? extent.cy : Cv()->TextHeight(run);
    if (S.Hidden) {   // no width, but the line's height and script offsets still grow
        Lh = std::max(Lh, th);
        if (S.Sub) Eb = std::max(Eb, th / 4);
        if (S.Sup) Ea = std::max(Ea, th / 4);
        Strip(PlainRun(run));
        Pos = runEnd;
        return;
    }
    const bool endsSpace = raw.back() == ' ';
    const int rw = ClampExtent(extent.cx);
    const int spaceW = endsSpace ? Cv()->TextWidth(" ") : 0;
    // A word at least as wide as the whole layout is placed whole where it is;
    // one that follows text without a space cannot be split from it.
    const bool fits = Lw == 0 || Lw + rw - spaceW <= LayoutWidth() || rw >= LayoutWidth() || !LastEndsSpace;
    if (!fits && CanWrap()) {
        BreakLine = true;
        return;
    }
    Lh = std::max(Lh, th);
    if (S.Sub) Eb = std::max(Eb, th / 4);
    if (S.Sup) Ea = std::max(Ea, th / 4);
    Strip(PlainRun(run));

    const int x = Line.Left + Lw;
    if (Draw) {
        const int bottom = TextBottom();
        if (S.Bk != clNone) Fill(Cv(), TRect(x, bottom - th, std::min(x + rw, Line.Right), bottom), S.Bk);
        Cv()->Brush()->SetStyle(bsClear);
        auto drawRun = [&](int offset) {
            // Turned text turns about its middle: its middle is the middle of the room it takes.
            TRect r = turned ? TRect(x, bottom - th, x + rw, bottom) : TRect(x, Line.Top, Line.Right, bottom);
            OffsetRect(r, offset, offset);
            DrawText(Cv(), run, -1, r,
                     turned ? (C.Flags & ~(DT_BOTTOM | DT_END_ELLIPSIS)) | DT_CENTER | DT_VCENTER : C.Flags);
        };
        if (S.Shadow) {
            TColor keep = Cv()->Font()->Color();
            Cv()->Font()->SetColor(C.ShadowColor);
            drawRun(C.ShadowOffset);
            Cv()->Font()->SetColor(keep);
        }
        drawRun(0);
        if (S.AnchorOpen && S.Anchors - 1 == C.FocusLink) C.FocusAnchor = S.Href;
        if (S.ErrorMark) {
            Cv()->Pen()->SetStyle(psSolid);
            Cv()->Pen()->SetWidth(1);
            Cv()->Pen()->SetColor(0x0000FF);
            Cv()->MoveTo(x, bottom - 1);
            bool up = false;
            for (int px = x; px < x + rw; px += 2) {
                Cv()->LineTo(px + 2, up ? bottom - 1 : bottom + 1);
                up = !up;
            }
        }
    }
    const int rx = C.XPos - Line.Left;
    if (S.AnchorOpen && rx >= Lw && rx <= Lw + rw) {
        Info.TextHit = true;
        if (C.YPos >= Line.Top && C.YPos < Line.Bottom && ResultPass) {
            C.AnchorVal = S.Href;
            S.AnchorHit = true;
            C.MouseLink = S.Anchors;
        }
    }
    Advance(rw);
    Trailing = spaceW;
    LastEndsSpace = endsSpace;
    Pos = runEnd;
}

bool TEngine::Tag(const AnsiString& tag)
{
    const AnsiString up = AnsiUpperCase(tag);
    const bool closing = up.size() > 1 && up[1] == '/';
    const size_t n = closing ? 2 : 1;
    const char c1 = n < up.size() ? up[n] : '\0';
    const char c2 = n + 1 < up.size() ? up[n + 1] : '\0';
    TFont* f = Cv()->Font();

    if (!closing) {
        switch (c1) {
        case 'A':
            Anchor(tag);
            break;
        case 'B':
            if (c2 == '>') {
                SetStyle(fsBold, true);
            } else if (c2 == 'R') {
                Strip("\r");
                BreakLine = true;
            } else if (c2 == 'L') {
                if (!C.Blink) f->SetColor(C.EntryBrush);
            } else if (c2 == 'O') {
                if (Draw) Body(tag);
            }
            break;
        case 'C':
            return Control(tag);
        case 'E':
            S.ErrorMark = true;
            break;
        case 'F': {
            bool found = false;
            AnsiString v = HtmlTagAttr(tag, "FACE", &found);
            if (found && !v.empty()) f->SetName(v);
            v = AnsiUpperCase(HtmlTagAttr(tag, "COLOR", &found));
            if (found && !C.Selected) f->SetColor(TagColor(v));
            v = AnsiUpperCase(HtmlTagAttr(tag, "BGCOLOR", &found));
            if (found && !C.Selected) {
                S.FontSavedBk = S.Bk;
                S.Bk = TagColor(v);
            }
            v = HtmlTagAttr(tag, "SIZE", &found);
            if (found) {
                int sz = HtmlLeadingInt(v);
                static const int sizes[] = {8, 10, 12, 14, 16};
                f->SetSize(sz >= 1 && sz <= 5 ? sizes[sz - 1] : std::clamp(sz, 0, 1000));
            }
            break;
        }
        case 'H':
            if (c2 == 'I') {
                if (!S.HiOn) {
                    S.HiOn = true;
                    S.HiSavedFont = f->Color();
                    S.HiSavedBk = S.Bk;
                }
                S.Bk = clHighlight;
                f->SetColor(clHighlightText);
            } else if (c2 == 'R') {
                if (Draw) {
                    Cv()->Pen()->SetStyle(psSolid);
                    Cv()->Pen()->SetWidth(1);
                    Cv()->Pen()->SetColor(clBlack);
                    Cv()->MoveTo(Line.Left, Line.Bottom);
                    Cv()->LineTo(Line.Right, Line.Bottom);
                }
                BreakLine = true;
            }
            break;
        case 'I':
            if (c2 == '>') {
                SetStyle(fsItalic, true);
            } else if (c2 == 'N') {
                // only a value that is wholly a number, blanks not allowed
                Lw = std::max(Lw, ClampExtent(HtmlStrToInt(HtmlTagAttr(tag, "X"))));
            } else if (c2 == 'M') {
                return Picture(tag);
            }
            break;
        case 'L': {
            if (LiInLine && First) {
                BreakLine = true;
                return false;
            }
            LiInLine = true;
            // Outside a list (level 0) the item takes no room and its bullet is the even levels' one.
            const int level = S.ListLevel;
            if (Draw) {
                AnsiString name = f->Name();
                f->SetName("Symbol");
                TRect r(Line.Left + ClampExtent(Lw + Int64(level - 1) * ListIndent), Line.Top, Line.Right,
                        TextBottom());
                DrawText(Cv(), level % 2 ? "\xB7" : "o", -1, r, C.Flags | DT_NOPREFIX);
                f->SetName(name);
            }
            Advance(Int64(level) * ListIndent);
            break;
        }
        case 'P': {
            const AnsiString align = AnsiUpperCase(HtmlTagAttr(tag, "ALIGN"));
            if (align.find("RIGHT") != AnsiString::npos) S.Align = THAlign::Right;
            if (align.find("LEFT") != AnsiString::npos) S.Align = THAlign::Left;
            if (align.find("CENTER") != AnsiString::npos) S.Align = THAlign::Center;
            bool found = false;
            AnsiString v = HtmlTagAttr(tag, "INDENT", &found);
            if (found) S.Indent = std::clamp(HtmlLeadingInt(v), -100000, 100000);
            S.ParaSavedBk = S.Bk;
            v = AnsiUpperCase(HtmlTagAttr(tag, "BGCOLOR", &found));
            if (found) {
                S.ParaFill = true;
                S.ParaColor = TagColor(v);
                if (Draw) Fill(Cv(), TRect(C.LayoutLeft, Line.Top, C.LayoutRight, Line.Bottom), S.ParaColor);
            }
            break;
        }
        case 'R': {
            bool found = false;
            AnsiString v = HtmlTagAttr(tag, "A", &found);
            int angle = found ? HtmlLeadingInt(v) : HtmlLeadingInt(Trim(tag.substr(2)));
            S.Rotations.push_back(f->Orientation());
            f->SetOrientation((angle % 360) * 10);
            break;
        }
        case 'S':
            if (c2 == '>') SetStyle(fsStrikeOut, true);
            else if (c2 == 'H') S.Shadow = true;
            else if (up == "<SUB>") S.Sub = true;
            else if (up == "<SUP>") S.Sup = true;
            break;
        case 'U':
            if (c2 == '>') {
                SetStyle(fsUnderline, true);
            } else {
                ++S.ListLevel;
                BreakLine = true;
            }
            break;
        case 'Z':
            S.Hidden = true;
            break;
        default:
            break;   // not a tag of the language: removed
        }
        return true;
    }

    switch (c1) {
    case 'A':
        AnchorEnd();
        break;
    case 'B':
        if (c2 == '>') SetStyle(fsBold, false);
        else f->SetColor(C.Base.Color());
        break;
    case 'E':
        S.ErrorMark = false;
        break;
    case 'F':
        f->SetName(C.Base.Name());
        f->SetHeight(C.Base.Height());
        if (!C.Selected) {
            f->SetColor(C.Base.Color());
            // Tags do not nest: any </FONT> ends a highlight or anchor background too.
            S.Bk = S.FontSavedBk;
        }
        break;
    case 'H':
        if (c2 == 'I' && S.HiOn) {
            S.HiOn = false;
            f->SetColor(S.HiSavedFont);
            S.Bk = S.HiSavedBk;
        }
        break;
    case 'I':
        if (c2 == '>') SetStyle(fsItalic, false);
        break;
    case 'L':
        BreakLine = true;
        break;
    case 'P':
        BreakLine = true;
        S.Bk = S.ParaSavedBk;   // none before any <P>
        S.ParaFill = false;
        break;
    case 'R':
        if (!S.Rotations.empty()) {   // an unmatched </R> changes nothing
            f->SetOrientation(S.Rotations.back());
            S.Rotations.pop_back();
        }
        break;
    case 'S':
        if (c2 == '>') SetStyle(fsStrikeOut, false);
        else if (c2 == 'H') S.Shadow = false;
        else if (c2 == 'U') S.Sub = S.Sup = false;
        break;
    case 'U':
        if (c2 == '>') SetStyle(fsUnderline, false);
        else if (S.ListLevel > 0) --S.ListLevel;
        else SetStyle(fsUnderline, false);
        break;
    case 'Z':
        S.Hidden = false;
        break;
    default:
        break;
    }
    return true;
}

void TEngine::Anchor(const AnsiString& tag)
{
    TFont* f = Cv()->Font();
    if (S.AnchorOpen) AnchorEnd();   // an anchor inside an anchor closes the first
    const int index = S.Anchors;
    ++S.Anchors;
    const int number = S.Anchors;
    if (C.FocusLink == index) {
        S.FocusOpen = true;
        S.FocusStartW = Lw;
    }
    const bool hovered = number == C.HoverLink;
    S.AnchorStyled = !(C.HoverStyle && !hovered);
    if (S.AnchorStyled) {
        SetStyle(fsUnderline, true);
        if (C.HoverColor != clNone) {
            S.AnchorSavedBk = S.Bk;
            S.Bk = C.HoverColor;
        }
        if (C.HoverFontColor != clNone) {
            S.AnchorSavedFont = f->Color();
            f->SetColor(C.HoverFontColor);
        }
    }
    if (!C.Selected && !(C.HoverStyle && hovered && C.HoverFontColor != clNone)) f->SetColor(C.URLColor);
    S.Href = HtmlTagAttr(tag, "HREF");
    bool found = false;
    AnsiString title = HtmlTagAttr(tag, "TITLE", &found);
    if (found && !title.empty() && ResultPass) C.AnchorHint = title;
    if (ResultPass && C.FocusLink == index) C.FocusAnchor = S.Href;
    S.AnchorOpen = true;
    S.AnchorHit = false;
    S.AnchorStartedHere = true;
    S.AnchorStartW = Lw;
}

void TEngine::AnchorEnd()
{
    if (!S.AnchorOpen) return;   // an unmatched </A> changes nothing
    TFont* f = Cv()->Font();
    if (S.AnchorStyled) {
        SetStyle(fsUnderline, false);
        if (C.HoverColor != clNone) S.Bk = S.AnchorSavedBk;
        if (C.HoverFontColor != clNone) f->SetColor(S.AnchorSavedFont);
    }
    if (!C.Selected) f->SetColor(C.Base.Color());
    if (S.AnchorHit && ResultPass) {
        C.HoverRect = TRect(Line.Left + (S.AnchorStartedHere ? S.AnchorStartW : 0), Line.Top, Line.Left + Lw,
                            Line.Bottom);
        C.MouseLink = S.Anchors;
    }
    if (S.FocusOpen && Draw) FocusRect(S.FocusStartW, Lw);
    S.FocusOpen = false;
    S.AnchorOpen = false;
    S.AnchorHit = false;
}

bool TEngine::Picture(const AnsiString& tag)
{
    ++S.Images;
    const AnsiString src = Trim(HtmlTagAttr(tag, "SRC"));
    const AnsiString srcUp = AnsiUpperCase(src);
    const int x = Line.Left + Lw, top = Line.Top;
    int pw = 0, ph = 0;

    if (srcUp.rfind("IDX:", 0) == 0) {
        const int idx = HtmlLeadingInt(src.substr(4));
        if (!C.Images || idx < 0 || idx >= C.Images->Count()) return true;
        ListPictureSize(C.Images->Width(), C.Images->Height(), pw, ph);
        if (!FitsItem(pw)) {
            BreakLine = true;
            return false;
        }
        if (Draw) {
            if (C.Print) {
                TBitmap bmp;
                C.Images->GetBitmap(idx, &bmp);
                Cv()->StretchDraw(TRect(x, top, x + pw, top + ph), &bmp);
            } else {
                C.Images->Draw(Cv(), x, top, idx, true);
            }
        }
    } else if (srcUp.rfind("SSYS:", 0) == 0 || srcUp.rfind("LSYS:", 0) == 0) {
        const bool large = srcUp[0] == 'L';
        int w = 0, h = 0;
        DrawSystemIcon(Cv(), x, top, C.ResFactor, large, false, C.Print, src.substr(5), w, h);
        if (w <= 0 || h <= 0) return true;
        ListPictureSize(w, h, pw, ph);
        if (!FitsItem(pw)) {
            BreakLine = true;
            return false;
        }
        if (Draw) DrawSystemIcon(Cv(), x, top, C.ResFactor, large, true, C.Print, src.substr(5), w, h);
    } else {
        THTMLPicture* pic = FindPicture(C, src);
        if (!pic || pic->Empty() || !pic->Loaded()) return true;
        const int w = HtmlLeadingInt(HtmlTagAttr(tag, "WIDTH")), h = HtmlLeadingInt(HtmlTagAttr(tag, "HEIGHT"));
        const bool stretched = w > 0 && h > 0;
        if (stretched) {
            pw = ClampExtent(MulDiv(w, C.ResX, 96));
            ph = ClampExtent(MulDiv(h, C.ResY, 96));
        } else {
            pw = ClampExtent(MulDiv(pic->FrameWidth(), C.ResX, 96));
            ph = ClampExtent(MulDiv(pic->FrameHeight(), C.ResY, 96));
        }
        if (!FitsItem(pw)) {
            BreakLine = true;
            return false;
        }
        if (Draw) {
            if (stretched) {
                const bool keep = pic->Stretch();
                pic->SetStretch(true);
                pic->Draw(Cv(), TRect(x, top, x + pw, top + ph));
                pic->SetStretch(keep);
            } else {
                int ox = 0, oy = 0;
                if (pic->FrameCount() > 1) {   // the frame alone: at its place in the screen
                    Fill(Cv(), TRect(x, top, x + pw, top + ph), C.EntryBrush);
                    ox = pic->FrameLeft();
                    oy = pic->FrameTop();
                }
                pic->Draw(Cv(), TRect(x + ox, top + oy, x + pw, top + ph));
            }
        }
    }
    if (pw <= 0 && ph <= 0) return true;
    if (S.AnchorOpen && PtInRect(TRect(x, top, x + pw, top + ph), TPoint(C.XPos, C.YPos))) {
        Info.PicHit = true;
        if (ResultPass) C.AnchorVal = S.Href;
    }
    Advance(pw);
    Trailing = 0;
    LastEndsSpace = true;
    Lh = std::max(Lh, ph);
    const AnsiString align = AnsiUpperCase(Trim(HtmlTagAttr(tag, "ALIGN")));
    if (align.rfind("TOP", 0) == 0) PicOff = Lh - H;
    else if (align.rfind("MIDDLE", 0) == 0) PicOff = (Lh - H) / 2;
    else PicOff = 0;
    return true;
}

bool TEngine::Control(const AnsiString& tag)
{
    AnsiString type, id, maxLen, prop, width, value;
    ParseControlTag(tag, type, id, maxLen, prop, width, value);
    if (width.empty()) return true;
    const int cwAttr = std::clamp(HtmlStrToInt(Trim(width)), 0, 100000);
    int cw = 0, ch = 0;
    if (type == "EDIT" || type == "PASSWORD" || type == "MASK") cw = cwAttr, ch = H + 6;
    else if (type == "COMBO") cw = cwAttr, ch = 25;
    else if (type == "CHECK" || type == "RADIO") cw = 16, ch = 16;
    else if (type == "BUTTON") cw = cwAttr, ch = 18;
    else return true;
    if (!FitsItem(cw)) {
        BreakLine = true;
        return false;
    }
    const int x = Line.Left + Lw, top = Line.Top;
    const TRect rc(x, top, x + cw, top + ch);
    const bool hot = PtInRect(rc, TPoint(C.XPos, C.YPos));
    if (Draw && cw > 0) {
        TCanvas* cv = Cv();
        const TColor frameColor = ThemesActive() ? TColor(0xB99D7F) : TColor(0x808080);
        if (type == "EDIT" || type == "PASSWORD" || type == "MASK" || type == "COMBO") {
            Frame(cv, TRect(x, top + 3, x + cw, Line.Bottom + 1), frameColor);
            const int free = type == "COMBO" ? 17 : 0;
            TRect tr(x + 2, top + 3, x + cw - free - 1, Line.Bottom);
            DrawText(cv, type == "PASSWORD" ? PasswordMask(value) : value, -1, tr,
                     DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            if (type == "COMBO") {
                TRect br(x + cw - 19, top + 4, x + cw - 3, Line.Bottom);
                if (!DrawThemedPart(cv, "combobox", CP_DROPDOWNBUTTON, hot ? CBXS_HOT : CBXS_NORMAL, br)) {
                    Fill(cv, br, clBtnFace);
                    DrawDropDownArrow(cv, (br.Left + br.Right) / 2, (br.Top + br.Bottom) / 2 - 1, clBtnText);
                    cv->Brush()->SetStyle(bsClear);
                }
            }
        } else if (type == "CHECK" || type == "RADIO") {
            const bool ticked = value == "TRUE";
            const bool radio = type == "RADIO";
            int state = hot && C.ControlDown ? 3 : hot ? 2 : 1;
            if (ticked) state += 4;
            if (!DrawThemedPart(cv, "button", radio ? BP_RADIOBUTTON : BP_CHECKBOX, state, rc))
                ClassicCheck(cv, rc, radio, ticked, hot && C.ControlDown);
        } else {   // BUTTON
            TRect br(x + 2, Line.Bottom - 20, x + cw - 2, Line.Bottom);
            const int state = hot && C.ControlDown ? PBS_PRESSED : hot ? PBS_HOT : PBS_NORMAL;
            if (!DrawThemedPart(cv, "button", BP_PUSHBUTTON, state, br)) {
                Fill(cv, br, clBtnFace);
                TRect e = br;
                DrawEdge(cv, e, hot && C.ControlDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            }
            TRect tr(br.Left + 2, br.Top + 2, br.Right - 2, br.Bottom - 2);
            cv->Brush()->SetStyle(bsClear);
            DrawText(cv, value, -1, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        }
        cv->Brush()->SetStyle(bsClear);
    }
    if (hot || (C.CheckHotSpot && !C.FindControlID.empty() && id == C.FindControlID)) {
        Info.PicHit = true;
        if (ResultPass) {
            C.AnchorVal = "ctrl";
            C.ControlRect = rc;
            C.ControlValue = value;
            C.ControlID = id;
            C.ControlType = type;
        }
    }
    Advance(cw);
    Trailing = 0;
    LastEndsSpace = true;
    Lh = std::max(Lh, ch);
    return true;
}

void TEngine::Body(const AnsiString& tag)
{
    bool found = false;
    AnsiString bg = AnsiUpperCase(HtmlTagAttr(tag, "BGCOLOR", &found));
    if (found) {
        TColor color = 0;
        if (bg.find("CL") != AnsiString::npos) color = HtmlColorByName(AnsiLowerCase(bg));
        if (bg.find('#') != AnsiString::npos) color = HtmlHexColor(bg.substr(bg.find('#')));
        Cv()->Pen()->SetColor(color);
        Fill(Cv(), C.Rect, color);
        S.FontSavedBk = color;
    }
    const AnsiString src = Trim(HtmlTagAttr(tag, "BACKGROUND"));
    if (src.empty()) return;
    THTMLPicture* pic = FindPicture(C, src);
    if (!pic || pic->Empty() || !pic->Loaded() || pic->Width() <= 0 || pic->Height() <= 0) return;
    const int saved = SaveDC(Cv());
    IntersectClipRect(Cv(), C.Rect.Left, C.Rect.Top, C.Rect.Right, C.Rect.Bottom);
    for (int y = C.Rect.Top; y < C.Rect.Bottom; y += pic->Height())
        for (int x = C.Rect.Left; x < C.Rect.Right; x += pic->Width())
            pic->Draw(Cv(), TRect(x, y, x + pic->Width(), y + pic->Height()));
    RestoreDC(Cv(), saved);
}

}  // namespace

bool HtmlDraw(TCanvas* Canvas, const AnsiString& Text, const TRect& Rect, TImageList* Images, int XPos, int YPos,
              int FocusLink, int HoverLink, int ShadowOffset, bool CheckHotSpot, bool CheckHeight, bool Print,
              bool Selected, bool Blink, bool HoverStyle, bool WordWrap, bool ControlDown, double ResFactor,
              TColor URLColor, TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, AnsiString& AnchorVal,
              AnsiString& StripVal, AnsiString& FocusAnchor, AnsiString& AnchorHint, int& XSize, int& YSize,
              int& HyperLinks, int& MouseLink, TRect& HoverRect, TRect& ControlRect, AnsiString& ControlID,
              AnsiString& ControlValue, AnsiString& ControlType, THTMLPictureCache* PictureCache,
              TPictureContainer* PictureContainer, TWinControl* OwnerHandle,
              const std::function<int(int YSize)>& PlaceTop)
{
    const AnsiString findID = ControlID;
    AnchorVal.clear();
    StripVal.clear();
    FocusAnchor.clear();
    AnchorHint.clear();
    ControlValue.clear();
    ControlType.clear();
    if (!CheckHotSpot) ControlID.clear();
    XSize = YSize = HyperLinks = 0;
    MouseLink = -1;
    ControlRect = TRect();
    if (!Canvas) return false;

    // The canvas's own objects come back as they were.
    TFont savedFont;
    savedFont.Assign(Canvas->Font());
    TPen savedPen;
    savedPen.Assign(Canvas->Pen());
    TBrush savedBrush;
    savedBrush.Assign(Canvas->Brush());

    TCall c{Canvas, Rect, Rect.Left + 1, Rect.Right, Images, XPos, YPos, FocusLink, HoverLink, ShadowOffset,
            CheckHotSpot, CheckHeight, Print, Selected, Blink, HoverStyle, WordWrap, ControlDown, ResFactor,
            URLColor, HoverColor, HoverFontColor, ShadowColor, PictureCache, PictureContainer, TFont(),
            Canvas->Brush()->Color(),
            DT_EXTERNALLEADING | DT_EXPANDTABS | DT_SINGLELINE | DT_BOTTOM | (WordWrap ? 0u : DT_END_ELLIPSIS),
            GetDeviceCaps(Canvas, LOGPIXELSX), GetDeviceCaps(Canvas, LOGPIXELSY), findID, AnchorVal, StripVal,
            FocusAnchor, AnchorHint, MouseLink, HoverRect, ControlRect, ControlID, ControlValue, ControlType};
    c.Base.Assign(Canvas->Font());
    if (c.ResX <= 0) c.ResX = 96;
    if (c.ResY <= 0) c.ResY = 96;

    AnsiString text = DecodeTextEntities(Text);
    text = ShowHashPlaceholders(text);
    text = LineBreaksToBR(text, true);

    TPassState measure, draw;
    measure.Font.Assign(Canvas->Font());
    draw.Font.Assign(Canvas->Font());

    bool result = false;
    bool anyLine = false;
    Int64 top = Rect.Top, height = 0;
    // With y growing upward (a print canvas) the lines follow one another downward all the same.
    const int down = GetMapMode(Canvas) == MM_LOMETRIC ? -1 : 1;
    size_t pos = 0;
    int h = Canvas->TextHeight("gh");
    // A placed block is laid out whole before any line is drawn: the lines as measured, each
    // with its left edge and the text height it starts with.
    const bool placed = PlaceTop && !CheckHotSpot && !CheckHeight;
    const bool measureOnly = CheckHeight || placed;
    struct TLaidLine {
        size_t Pos;
        TLineInfo Info;
        int Left, Height, TextH;
    };
    std::vector<TLaidLine> laid;
    auto pastBottom = [&](int textH) { return down > 0 ? textH + top > Rect.Bottom : top - textH < Rect.Bottom; };
    try {
        while (pos < text.size()) {
            Canvas->Font()->Assign(&measure.Font);
            h = Canvas->TextHeight("gh");

            // First pass: measure one line from the layout's left edge.
            TRect line(c.LayoutLeft, LineCoord(top), c.LayoutRight, Rect.Bottom);
            TEngine first(c, measure, text, pos, text.size(), line, true, CheckHeight, nullptr);
            TLineInfo info = first.Run();
            if (info.End <= pos) {   // nothing consumed: skip one character rather than loop
                info.End = pos + 1;
            }
            XSize = std::max(XSize, info.Width);

            int left = c.LayoutLeft;
            const int layoutWidth = c.LayoutRight - c.LayoutLeft;
            if (measure.Align == THAlign::Right && c.LayoutRight - info.Width > left)
                left = c.LayoutRight - info.Width;
            else if (measure.Align == THAlign::Center && layoutWidth - info.Width > 0)
                left = c.LayoutLeft + (layoutWidth - info.Width) / 2;
            left += measure.Indent;
            const int lineHeight = info.Height + info.ExtraAbove + info.ExtraBelow;
            TRect lineRect(left, LineCoord(top), c.LayoutRight, LineCoord(top + Int64(down) * lineHeight));

            if (placed)
                laid.push_back({pos, info, left, lineHeight, h});
            if (!measureOnly) {
                TEngine second(c, draw, text, pos, info.End, lineRect, false, true, &info);
                TLineInfo drawn = second.Run();
                const int bottom = lineRect.Bottom - info.PicOffset;
                if ((drawn.TextHit && bottom - h < YPos && YPos < bottom) || drawn.PicHit) result = true;
            }
            pos = info.End;
            anyLine = true;
            top += Int64(down) * lineHeight;
            height += lineHeight;
            if (!measureOnly && pastBottom(h)) break;
        }
    } catch (const Exception&) {
        // painting never fails: what was laid out so far stands
    }
    YSize = int(std::min<Int64>(height, INT_MAX));
    if (!anyLine || YSize < h) YSize = h;
    if (placed) {
        // The lines drawn where the block is placed, as a drawing call from there would draw them.
        c.Rect.Top = PlaceTop(YSize);
        top = c.Rect.Top;
        try {
            for (const TLaidLine& l : laid) {
                const TRect lineRect(l.Left, LineCoord(top), c.LayoutRight, LineCoord(top + Int64(down) * l.Height));
                TEngine second(c, draw, text, l.Pos, l.Info.End, lineRect, false, true, &l.Info);
                second.Run();
                top += Int64(down) * l.Height;
                if (pastBottom(l.TextH)) break;
            }
        } catch (const Exception&) {
            // painting never fails: what was drawn so far stands
        }
    }
    HyperLinks = CheckHeight ? measure.Anchors : draw.Anchors;

    Canvas->Font()->Assign(&savedFont);
    Canvas->Pen()->Assign(&savedPen);
    Canvas->Brush()->Assign(&savedBrush);
    return result;
}
