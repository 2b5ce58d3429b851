#include "grid/PsgHTMLE.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ShellApi.h"

namespace {

struct TNamedColor {
    const char* Name;
    TColor Value;
};

const TNamedColor FixedColors[] = {
    {"clred", clRed},     {"clblack", clBlack},   {"clblue", clBlue},       {"clgreen", clGreen},
    {"claqua", clAqua},   {"clyellow", clYellow}, {"clfuchsia", clFuchsia}, {"clwhite", clWhite},
    {"cllime", clLime},   {"clsilver", clSilver}, {"clgray", clGray},       {"clolive", clOlive},
    {"clnavy", clNavy},   {"clpurple", clPurple}, {"clteal", clTeal},       {"clmaroon", clMaroon},
};

const TNamedColor SystemColors[] = {
    {"clbackground", TColor(0xFF000001)},         {"clactivecaption", TColor(0xFF000002)},
    {"clinactivecaption", TColor(0xFF000003)},    {"clmenu", TColor(0xFF000004)},
    {"clwindow", TColor(0xFF000005)},             {"clwindowframe", TColor(0xFF000006)},
    {"clmenutext", TColor(0xFF000007)},           {"clwindowtext", TColor(0xFF000008)},
    {"clcaptiontext", TColor(0xFF000009)},        {"clactiveborder", TColor(0xFF00000A)},
    {"clinactiveborder", TColor(0xFF00000B)},     {"clappworkspace", TColor(0xFF00000C)},
    {"clhighlight", TColor(0xFF00000D)},          {"clhighlighttext", TColor(0xFF00000E)},
    {"clbtnface", TColor(0xFF00000F)},            {"clbtnshadow", TColor(0xFF000010)},
    {"clgraytext", TColor(0xFF000011)},           {"clbtntext", TColor(0xFF000012)},
    {"clinactivecaptiontext", TColor(0xFF000013)}, {"clbtnhighlight", TColor(0xFF000014)},
    {"cl3ddkshadow", TColor(0xFF000015)},         {"cl3dlight", TColor(0xFF000016)},
    {"clinfotext", TColor(0xFF000017)},           {"clinfobk", TColor(0xFF000018)},
};

int HexDigit(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return 0;
}

AnsiString Upper(const AnsiString& s) { return AnsiUpperCase(s); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Positions (0-based) of the characters outside tags, as HtmlStripTags sees them.
std::vector<int> VisibleIndices(const AnsiString& s)
{
    std::vector<int> out;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t lt = s.find('<', pos);
        size_t gt = s.find('>', pos);
        if (lt != AnsiString::npos && gt != AnsiString::npos && lt < gt) {
            for (size_t i = pos; i < lt; ++i) out.push_back(int(i));
            pos = gt + 1;
        } else {
            for (size_t i = pos; i < s.size(); ++i) out.push_back(int(i));
            break;
        }
    }
    return out;
}

// One located <CONTROL ...> tag: 0-based start and one past its ">".
struct TControlTag {
    size_t Start = 0;
    size_t End = 0;
    AnsiString Type, ID, MaxLen, Prop, Width, Value;
};

std::vector<TControlTag> ControlTags(const AnsiString& html)
{
    std::vector<TControlTag> out;
    const AnsiString up = Upper(html);
    size_t pos = 0;
    for (;;) {
        size_t p = up.find("<CONTROL ", pos);
        if (p == AnsiString::npos) break;
        size_t e = html.find('>', p);
        if (e == AnsiString::npos) break;   // an unfinished tag is no control
        TControlTag t;
        t.Start = p;
        t.End = e + 1;
        ParseControlTag(html.substr(p, e + 1 - p), t.Type, t.ID, t.MaxLen, t.Prop, t.Width, t.Value);
        out.push_back(std::move(t));
        pos = e + 1;
    }
    return out;
}

AnsiString ControlTagText(const TControlTag& t, const AnsiString& value)
{
    AnsiString s = "<CONTROL ID=\"" + t.ID + "\" VALUE=\"" + HtmlEncodeEntities(value) + "\" WIDTH=\"" +
                   t.Width + "\" TYPE=\"" + t.Type + "\"";
    if (!t.Prop.empty()) s += " PROP=\"" + t.Prop + "\"";
    if (!t.MaxLen.empty()) s += " MAXLEN=\"" + t.MaxLen + "\"";
    return s + ">";
}

const TControlTag* FindControl(const std::vector<TControlTag>& tags, const AnsiString& id)
{
    for (const auto& t : tags)
        if (t.ID == id) return &t;
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- colours

TColor HtmlColorByName(const AnsiString& Name)
{
    TColor result = 0;
    for (const auto& c : FixedColors)
        if (Name == c.Name) {
            result = c.Value;
            break;
        }
    if (result == 0)
        for (const auto& c : SystemColors)
            if (Name == c.Name) return c.Value;
    return result;
}

int HtmlHexByte(const AnsiString& S)
{
    if (S.size() < 2) return 0;
    return 16 * HexDigit(S[0]) + HexDigit(S[1]);
}

TColor HtmlHexColor(const AnsiString& S)
{
    int r = HtmlHexByte(Copy(S, 2, 2));
    int g = HtmlHexByte(Copy(S, 4, 2));
    int b = HtmlHexByte(Copy(S, 6, 2));
    return RGB(r, g, b);
}

int HtmlStrToInt(const AnsiString& S)
{
    int v = 0;
    size_t i = 0;
    if (S.empty()) return 0;
    if (S[0] == '+' || S[0] == '-') i = 1;
    if (i >= S.size()) return 0;
    for (size_t k = i; k < S.size(); ++k)
        if (S[k] < '0' || S[k] > '9') return 0;
    return TryStrToInt(S, v) ? v : 0;
}

int HtmlLeadingInt(const AnsiString& S)
{
    size_t i = 0;
    while (i < S.size() && S[i] == ' ') ++i;
    bool neg = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) neg = S[i++] == '-';
    long long v = 0;
    bool any = false;
    while (i < S.size() && S[i] >= '0' && S[i] <= '9') {
        any = true;
        if (v < 100000000) v = v * 10 + (S[i] - '0');   // keeps huge numbers bounded
        ++i;
    }
    if (!any) return 0;
    return int(neg ? -v : v);
}

// ---------------------------------------------------------------- searching

int PosNoCase(const AnsiString& Sub, const AnsiString& S) { return Pos(Upper(Sub), Upper(S)); }

int PosOut(const AnsiString& Sub, const AnsiString& S, int& Res)
{
    Res = Pos(Sub, S);
    return Res;
}

int PosUpperOut(const AnsiString& Sub, const AnsiString& S, int& Res)
{
    Res = Pos(Sub, Upper(S));
    return Res;
}

bool ReplaceFirstNoCase(const AnsiString& Find, const AnsiString& Repl, AnsiString& S)
{
    if (Find.empty()) return false;
    int p = PosNoCase(Find, S);
    if (p == 0) return false;
    S.replace(size_t(p - 1), Find.size(), Repl);
    return true;
}

int FindTextFrom(const AnsiString& Sub, const AnsiString& S, int From, bool MatchCase, int& Res)
{
    Res = 0;
    if (Sub.empty() || From < 0 || size_t(From) >= S.size()) return 0;
    AnsiString rest = S.substr(size_t(From));
    int p = MatchCase ? Pos(Sub, rest) : Pos(Upper(Sub), Upper(rest));
    if (p == 0) return 0;
    Res = From + p;
    return Res;
}

AnsiString HtmlTagAttr(const AnsiString& Tag, const AnsiString& Name, bool* Found)
{
    if (Found) *Found = false;
    const AnsiString up = Upper(Tag);
    const AnsiString name = Upper(Name);
    if (name.empty()) return "";
    bool inQuote = false;
    for (size_t i = 0; i < up.size(); ++i) {
        char c = up[i];
        if (c == '"') {
            inQuote = !inQuote;
            continue;
        }
        if (inQuote) continue;
        if (up.compare(i, name.size(), name) != 0) continue;
        if (i > 0 && !IsBlank(up[i - 1]) && up[i - 1] != '<' && up[i - 1] != '"') continue;
        size_t after = i + name.size();
        // The name must end there: "=" may follow after blanks, a letter may not.
        size_t k = after;
        while (k < up.size() && IsBlank(up[k])) ++k;
        if (name.back() != '=' && (k >= up.size() || up[k] != '=')) continue;
        if (Found) *Found = true;
        size_t q1 = Tag.find('"', after);
        if (q1 == AnsiString::npos) return "";
        size_t q2 = Tag.find('"', q1 + 1);
        if (q2 == AnsiString::npos) return "";
        return Tag.substr(q1 + 1, q2 - q1 - 1);
    }
    return "";
}

// ---------------------------------------------------------------- entities and text

AnsiString HtmlEncodeEntities(const AnsiString& S)
{
    AnsiString out;
    out.reserve(S.size());
    for (char c : S) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

AnsiString HtmlDecodeEntities(const AnsiString& S)
{
    static const struct {
        const char* Entity;
        char Ch;
    } entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}};
    AnsiString out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size();) {
        bool done = false;
        if (S[i] == '&')
            for (const auto& e : entities) {
                size_t n = std::char_traits<char>::length(e.Entity);
                if (S.compare(i, n, e.Entity) == 0) {
                    out += e.Ch;
                    i += n;
                    done = true;
                    break;
                }
            }
        if (!done) out += S[i++];
    }
    return out;
}

AnsiString SpacesToNbsp(const AnsiString& S)
{
    AnsiString out;
    for (char c : S) {
        if (c == ' ')
            out += "&nbsp;";
        else
            out += c;
    }
    return out;
}

AnsiString ShowHashPlaceholders(const AnsiString& S)
{
    AnsiString s = S;
    size_t pos = 0;
    for (;;) {
        size_t p = s.find("<#", pos);
        if (p == AnsiString::npos) break;
        s.erase(p, 1);
        size_t g = s.find('>', p);
        if (g == AnsiString::npos) break;
        s.erase(g, 1);
        pos = g;
    }
    return s;
}

AnsiString LineBreaksToBR(const AnsiString& S, bool CRToBR)
{
    AnsiString out;
    for (char c : S) {
        if (c == '\r') {
            if (CRToBR) out += "<BR>";
        } else if (c != '\n') {
            out += c;
        }
    }
    return out;
}

AnsiString HtmlStripTags(const AnsiString& S)
{
    AnsiString out = S;
    StripHtmlTags(out);
    return out;
}

void StripHtmlTags(AnsiString& S)
{
    // The characters VisibleIndices gives: from each place on, the text up to a "<" that
    // comes before the next ">", then on after that ">"; the rest whole once no such pair is left.
    const size_t n = S.size();
    size_t kept = 0;
    for (size_t pos = 0; pos < n;) {
        size_t lt = S.find('<', pos);
        const size_t gt = lt == AnsiString::npos ? AnsiString::npos : S.find('>', pos);
        const bool tag = lt != AnsiString::npos && gt != AnsiString::npos && lt < gt;
        const size_t end = tag ? lt : n;
        // Moved left over the tags left out (kept <= pos).
        std::copy(S.begin() + std::ptrdiff_t(pos), S.begin() + std::ptrdiff_t(end), S.begin() + std::ptrdiff_t(kept));
        kept += end - pos;
        pos = tag ? gt + 1 : n;
    }
    S.resize(kept);
}

AnsiString HtmlToPlainText(const AnsiString& S)
{
    AnsiString s = StringReplace(S, "<BR>", "\r\n", rfReplaceAll | rfIgnoreCase);
    s = StringReplace(s, "<HR>", "\r\n", rfReplaceAll | rfIgnoreCase);
    return HtmlStripTags(s);
}

int HtmlCharPos(const AnsiString& Html, int N)
{
    if (N < 1) return 0;
    std::vector<int> vis = VisibleIndices(Html);
    if (size_t(N) <= vis.size()) return vis[size_t(N - 1)] + 1;
    if (size_t(N) == vis.size() + 1) return int(Html.size()) + 1;
    return 0;
}

namespace {
// The characters a plain text is given as when the highlight makes it mini-HTML.
void AppendEncoded(AnsiString& Out, const AnsiString& S, size_t From, size_t Count)
{
    for (size_t i = From; i < From + Count; ++i) {
        switch (S[i]) {
        case '<': Out += "&lt;"; break;
        case '>': Out += "&gt;"; break;
        case '&': Out += "&amp;"; break;
        default: Out += S[i]; break;
        }
    }
}

// Back from AppendEncoded, in one pass ("&amp;lt;" is "&lt;" again).
AnsiString DecodeHighlighted(const AnsiString& S)
{
    AnsiString out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size();) {
        if (S.compare(i, 4, "&lt;") == 0) {
            out += '<';
            i += 4;
        } else if (S.compare(i, 4, "&gt;") == 0) {
            out += '>';
            i += 4;
        } else if (S.compare(i, 5, "&amp;") == 0) {
            out += '&';
            i += 5;
        } else {
            out += S[i++];
        }
    }
    return out;
}
}  // namespace

AnsiString HtmlHighlight(const AnsiString& Html, const AnsiString& Sub, const AnsiString& Tag, bool MatchCase)
{
    if (Sub.empty() || Tag.empty()) return Html;
    // A plain text shows every character as it is (entities too): it is searched as it stands and,
    // when it is hit, its "<", ">" and "&" are written as entities so that it stays what it showed.
    const bool html = ClassifyCellText(Html, true) == 1;
    // The visible text, with "&lt;" and "&gt;" of mini-HTML read as the characters they show,
    // and for each visible character its first and last byte in Html.
    AnsiString plain;
    std::vector<std::pair<int, int>> span;
    if (html) {
        std::vector<int> vis = VisibleIndices(Html);
        for (size_t k = 0; k < vis.size(); ++k) {
            int i = vis[k];
            if (Html[size_t(i)] == '&' && k + 3 < vis.size() && vis[k + 3] == i + 3) {
                AnsiString e = Upper(Html.substr(size_t(i), 4));
                if (e == "&LT;" || e == "&GT;") {
                    plain += e == "&LT;" ? '<' : '>';
                    span.emplace_back(i, i + 3);
                    k += 3;
                    continue;
                }
            }
            plain += Html[size_t(i)];
            span.emplace_back(i, i);
        }
    } else {
        plain = Html;
        for (int i = 0; i < int(Html.size()); ++i) span.emplace_back(i, i);
    }
    AnsiString sub = html ? HtmlDecodeEntities(Sub) : Sub;   // "&lt;" in the pattern means "<" as shown
    if (sub.empty()) return Html;

    // Folded once: a text with many hits is searched in one pass, not folded again from every hit.
    const AnsiString hay = MatchCase ? plain : Upper(plain);
    const AnsiString needle = MatchCase ? sub : Upper(sub);
    std::vector<std::pair<int, int>> hits;      // byte ranges [first, last] in Html
    for (size_t first = hay.find(needle); first != AnsiString::npos; first = hay.find(needle, first + needle.size())) {
        size_t last = first + needle.size() - 1;
        hits.emplace_back(span[first].first, span[last].second);
    }
    if (hits.empty()) return Html;
    const AnsiString open = "<" + Tag + ">", close = "</" + Tag + ">";
    auto append = [&](AnsiString& out, size_t from, size_t count) {
        if (html)
            out.append(Html, from, count);
        else
            AppendEncoded(out, Html, from, count);
    };
    AnsiString out;
    size_t pos = 0;
    for (const auto& h : hits) {
        append(out, pos, size_t(h.first) - pos);
        out += open;
        append(out, size_t(h.first), size_t(h.second - h.first + 1));
        out += close;
        pos = size_t(h.second) + 1;
    }
    append(out, pos, Html.size() - pos);
    return out;
}

AnsiString HtmlUnhighlight(const AnsiString& Html, const AnsiString& Tag)
{
    if (Tag.empty()) return Html;
    AnsiString s = StringReplace(Html, "<" + Tag + ">", "", rfReplaceAll | rfIgnoreCase);
    s = StringReplace(s, "</" + Tag + ">", "", rfReplaceAll | rfIgnoreCase);
    // A plain text the highlight wrote as mini-HTML has no "<" of its own left: its entities are its characters.
    if (s.size() != Html.size() && s.find('<') == AnsiString::npos) return DecodeHighlighted(s);
    return s;
}

AnsiString PasswordMask(const AnsiString& S) { return AnsiString(S.size(), '*'); }

// ---------------------------------------------------------------- form controls

bool HasHtmlControl(const AnsiString& S) { return PosNoCase("<CONTROL", S) > 0; }

void ParseControlTag(const AnsiString& Tag, AnsiString& Type, AnsiString& ID, AnsiString& MaxLen,
                     AnsiString& Prop, AnsiString& Width, AnsiString& Value)
{
    Type = Upper(HtmlTagAttr(Tag, "TYPE"));
    ID = HtmlTagAttr(Tag, "ID");
    MaxLen = HtmlTagAttr(Tag, "MAXLEN");
    Prop = HtmlTagAttr(Tag, "PROP");
    Width = HtmlTagAttr(Tag, "WIDTH");
    Value = HtmlDecodeEntities(HtmlTagAttr(Tag, "VALUE"));
}

AnsiString HtmlNextEditControlID(const AnsiString& Html, const AnsiString& ID)
{
    std::vector<TControlTag> tags = ControlTags(Html);
    size_t start = 0;
    if (!ID.empty()) {
        size_t k = 0;
        while (k < tags.size() && tags[k].ID != ID) ++k;
        if (k == tags.size()) return "";
        start = k + 1;
    }
    for (size_t k = start; k < tags.size(); ++k) {
        const AnsiString& t = tags[k].Type;
        if (t != "BUTTON" && t != "CHECK" && t != "RADIO") return tags[k].ID;
    }
    return "";
}

AnsiString HtmlClearRadioValues(const AnsiString& Html)
{
    std::vector<TControlTag> tags = ControlTags(Html);
    AnsiString out;
    size_t pos = 0;
    for (const auto& t : tags) {
        if (t.Type != "RADIO") continue;
        out.append(Html, pos, t.Start - pos);
        out += ControlTagText(t, "FALSE");
        pos = t.End;
    }
    out.append(Html, pos, AnsiString::npos);
    return out;
}

AnsiString HtmlControlGetProp(const AnsiString& Html, const AnsiString& ID)
{
    std::vector<TControlTag> tags = ControlTags(Html);
    const TControlTag* t = FindControl(tags, ID);
    return t ? t->Prop : AnsiString();
}

int HtmlControlGetMaxLen(const AnsiString& Html, const AnsiString& ID)
{
    std::vector<TControlTag> tags = ControlTags(Html);
    const TControlTag* t = FindControl(tags, ID);
    return t ? HtmlStrToInt(t->MaxLen) : 0;
}

bool HtmlControlSetValue(AnsiString& Html, const AnsiString& ID, const AnsiString& NewValue)
{
    std::vector<TControlTag> tags = ControlTags(Html);
    const TControlTag* t = FindControl(tags, ID);
    if (!t) return false;
    Html = Html.substr(0, t->Start) + ControlTagText(*t, NewValue) + Html.substr(t->End);
    return true;
}

// ---------------------------------------------------------------- drawing helpers

bool IsDirectory(const AnsiString& Path) { return !Path.empty() && DirectoryExists(Path); }

bool HtmlThemesPossible() { return true; }   // the platform reports Windows 5.1 with visual styles

namespace {
// Orientations saved by SelectRotatedFont, per canvas, latest last.
std::map<TCanvas*, std::vector<int>>& SavedOrientations()
{
    static std::map<TCanvas*, std::vector<int>> saved;
    return saved;
}
}  // namespace

void SelectRotatedFont(TCanvas* Canvas, int Angle)
{
    if (!Canvas) return;
    SavedOrientations()[Canvas].push_back(Canvas->Font()->Orientation());
    Canvas->Font()->SetOrientation(Angle * 10);
}

void RestoreRotatedFont(TCanvas* Canvas)
{
    if (!Canvas) return;
    auto& all = SavedOrientations();
    auto it = all.find(Canvas);
    if (it == all.end() || it->second.empty()) return;
    Canvas->Font()->SetOrientation(it->second.back());
    it->second.pop_back();
    if (it->second.empty()) all.erase(it);
}

void DrawSystemIcon(TCanvas* Canvas, int X, int Y, double Scale, bool Large, bool Draw, bool Print,
                    const AnsiString& Name, int& W, int& H)
{
    W = 0;
    H = 0;
    TImageList* list = SystemImageList(Large);
    const AnsiString name = Trim(Name);
    int index = -1;
    if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        index = name.size() <= 9 ? std::atoi(name.c_str()) : -1;
    else
        index = SystemFileIconIndex(name);
    if (index < 0 || index >= list->Count()) return;
    W = list->Width();
    H = list->Height();
    if (!Draw || !Canvas) return;
    if (!Print) {
        list->Draw(Canvas, X, Y, index, true);
        return;
    }
    TBitmap icon;
    list->GetBitmap(index, &icon);
    Canvas->StretchDraw(TRect(X, Y, X + int(std::lround(W * Scale)), Y + int(std::lround(H * Scale))), &icon);
}

void StretchBitmapToCanvas(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap)
{
    if (!Canvas || !Bitmap || Bitmap->Empty()) return;
    // The bits as they are: a transparent colour of the bitmap is copied too.
    StretchBlt(Canvas, R.Left, R.Top, R.Width(), R.Height(), Bitmap->Canvas(), 0, 0, Bitmap->Width(),
               Bitmap->Height(), SRCCOPY);
}
