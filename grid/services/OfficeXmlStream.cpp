// Reading a part's XML piece by piece (see OfficeXmlStream_p.h).
#include "grid/services/OfficeXmlStream_p.h"

#include <cstring>

#include "grid/services/OfficePackage.h"
#include "grid/services/OfficeXml_p.h"

namespace {
constexpr std::size_t PieceBytes = std::size_t(1) << 16;

bool IsXmlSpace(char C)
{
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

// The characters a name may start with, and those it may go on with.
bool IsNameStart(char C)
{
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_' || C == ':' ||
           static_cast<unsigned char>(C) >= 0x80;
}

bool IsName(const std::string& S)
{
    if (S.empty() || !IsNameStart(S[0]))
        return false;
    for (char c : S)
        if (!IsNameStart(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    return true;
}

// A code point as UTF-8.
void AppendCodePoint(std::string& Out, unsigned long C)
{
    if (C < 0x10000) {
        AppendUtf8(Out, char16_t(C));
        return;
    }
    Out += char(0xF0 | (C >> 18));
    Out += char(0x80 | ((C >> 12) & 0x3F));
    Out += char(0x80 | ((C >> 6) & 0x3F));
    Out += char(0x80 | (C & 0x3F));
}

// The entity at Raw[I] ("&amp;", "&#261;", "&#x105;") as UTF-8 into Out; its length, 0 when
// it is none (the "&" then stands as it is).
std::size_t DecodeEntity(const std::string& Raw, std::size_t I, std::string& Out)
{
    static const struct {
        const char* Name;
        char Value;
    } named[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& e : named)
        if (Raw.compare(I, std::strlen(e.Name), e.Name) == 0) {
            Out += e.Value;
            return std::strlen(e.Name);
        }
    if (Raw.compare(I, 2, "&#") != 0)
        return 0;
    const bool hex = I + 2 < Raw.size() && (Raw[I + 2] == 'x' || Raw[I + 2] == 'X');
    std::size_t j = I + (hex ? 3 : 2);
    unsigned long code = 0;
    const std::size_t digits = j;
    for (; j < Raw.size() && j - digits < 8; ++j) {
        const int d = XmlDigit(Raw[j], hex);
        if (d < 0)
            break;
        code = code * (hex ? 16 : 10) + unsigned(d);
    }
    if (j == digits || j >= Raw.size() || Raw[j] != ';' || code == 0 || code > 0x10FFFF)
        return 0;
    AppendCodePoint(Out, code);
    return j + 1 - I;
}

// Text or an attribute value as the document gives it: entities decoded, line ends as LF (in
// an attribute, every tab and line end a blank).
std::string DecodeXml(const std::string& Raw, bool Attribute)
{
    std::string out;
    out.reserve(Raw.size());
    for (std::size_t i = 0; i < Raw.size(); ++i) {
        const char c = Raw[i];
        if (c == '&') {
            if (const std::size_t n = DecodeEntity(Raw, i, out)) {
                i += n - 1;
                continue;
            }
        } else if (c == '\r') {
            if (i + 1 < Raw.size() && Raw[i + 1] == '\n')
                ++i;
            out += Attribute ? ' ' : '\n';
            continue;
        } else if (Attribute && (c == '\n' || c == '\t')) {
            out += ' ';
            continue;
        }
        out += c;
    }
    return out;
}
}  // namespace

TXmlStream::TXmlStream(TPartReader& In, const AnsiString& Unreadable) : FIn(In), FUnreadable(Unreadable) {}

void TXmlStream::Fail() const
{
    throw EXmlStreamError(FUnreadable);
}

bool TXmlStream::Fill()
{
    if (FEnd)
        return false;
    if (FAt > 0) {
        FBuf.erase(0, FAt);
        FAt = 0;
    }
    // One buffer serves every piece.
    std::string& piece = FPiece;
    piece.resize(PieceBytes);
    piece.resize(FIn.Read(piece.data(), piece.size()));
    if (piece.empty()) {
        FEnd = true;
        return false;
    }
    if (!FStarted) {
        FStarted = true;
        // A byte order mark, or "<" in two bytes, tells UTF-16.
        const auto b = [&](std::size_t i) { return i < piece.size() ? static_cast<unsigned char>(piece[i]) : 0x100; };
        if ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == '<' && b(1) == 0))
            FWide = 1;
        else if ((b(0) == 0xFE && b(1) == 0xFF) || (b(0) == 0 && b(1) == '<'))
            FWide = 2;
        else if (b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF)
            piece.erase(0, 3);
    }
    if (!FWide) {
        // A NUL ends the text for the XML reader: what follows it is no document.
        if (std::memchr(piece.data(), 0, piece.size()))
            Fail();
        FBuf += piece;
        return true;
    }
    FWideRest += piece;
    std::size_t i = 0;
    for (; i + 1 < FWideRest.size(); i += 2) {
        const unsigned char lo = static_cast<unsigned char>(FWideRest[i + (FWide == 1 ? 0 : 1)]);
        const unsigned char hi = static_cast<unsigned char>(FWideRest[i + (FWide == 1 ? 1 : 0)]);
        const char16_t u = char16_t(hi << 8 | lo);
        if (u == 0xFEFF && !FSeenElement && FBuf.empty())
            continue;
        if (u >= 0xD800 && u < 0xDC00) {
            FHighSurrogate = u;
            continue;
        }
        if (u >= 0xDC00 && u < 0xE000 && FHighSurrogate) {
            AppendCodePoint(FBuf, 0x10000 + ((unsigned long)(FHighSurrogate - 0xD800) << 10) + (u - 0xDC00));
            FHighSurrogate = 0;
            continue;
        }
        FHighSurrogate = 0;
        if (u == 0)
            Fail();
        AppendUtf8(FBuf, u);
    }
    FWideRest.erase(0, i);
    return true;
}

bool TXmlStream::Ensure(std::size_t N)
{
    while (FBuf.size() - FAt < N)
        if (!Fill())
            return false;
    return true;
}

void TXmlStream::SkipPast(const char* Terminator)
{
    std::string none;
    TakeUntil(Terminator, false, none);
}

void TXmlStream::TakeUntil(const char* Terminator, bool Keep, std::string& Out)
{
    const std::size_t n = std::strlen(Terminator);
    for (;;) {
        const std::size_t at = FBuf.find(Terminator, FAt);
        if (at != std::string::npos) {
            if (Keep)
                Out.append(FBuf, FAt, at - FAt);
            FAt = at + n;
            return;
        }
        // All but the bytes that could begin the terminator are passed.
        const std::size_t keepFrom = FBuf.size() - std::min(FBuf.size() - FAt, n - 1);
        if (Keep)
            Out.append(FBuf, FAt, keepFrom - FAt);
        FAt = keepFrom;
        if (!Fill())
            Fail();
    }
}

// A start or end tag from "<" to ">" (a ">" inside quotes belongs to a value), without them.
std::string TXmlStream::ReadTag()
{
    std::string tag;
    char quote = 0;
    std::size_t i = FAt + 1;
    for (;;) {
        for (; i < FBuf.size(); ++i) {
            const char c = FBuf[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                tag.assign(FBuf, FAt + 1, i - FAt - 1);
                FAt = i + 1;
                return tag;
            }
        }
        if (i - FAt > MaxTagBytes)
            Fail();
        const std::size_t scanned = i - FAt;
        if (!Fill())
            Fail();
        i = FAt + scanned;
    }
}

TXmlStream::TEvent TXmlStream::Next()
{
    if (FPendingEnd) {
        FPendingEnd = false;
        FOpen.pop_back();
        return xeEnd;
    }
    for (;;) {
        if (!Ensure(1)) {
            if (!FOpen.empty() || !FSeenElement)
                Fail();
            return xeDone;
        }
        if (FBuf[FAt] != '<') {
            if (!KeepText || FOpen.empty()) {
                // Text nobody asked for is passed over without being kept.
                const char* lt = static_cast<const char*>(std::memchr(FBuf.data() + FAt, '<', FBuf.size() - FAt));
                FAt = lt ? std::size_t(lt - FBuf.data()) : FBuf.size();
                continue;
            }
            std::string raw;
            for (;;) {
                const std::size_t lt = FBuf.find('<', FAt);
                raw.append(FBuf, FAt, (lt == std::string::npos ? FBuf.size() : lt) - FAt);
                FAt = lt == std::string::npos ? FBuf.size() : lt;
                if (lt != std::string::npos || !Fill())
                    break;
            }
            FText = DecodeXml(raw, false);
            return xeText;
        }
        if (!Ensure(2))
            Fail();
        const char c = FBuf[FAt + 1];
        if (c == '?') {
            // A processing instruction: its target a name; the declaration's attributes as a tag's.
            FAt += 2;
            std::string pi;
            TakeUntil("?>", true, pi);
            std::size_t i = 0;
            while (i < pi.size() && !IsXmlSpace(pi[i]))
                ++i;
            if (!IsName(pi.substr(0, i)))
                Fail();
            if (pi.compare(0, i, "xml") == 0)
                ReadAttributes(pi, i);
            continue;
        }
        if (c == '!') {
            Ensure(9);
            if (FBuf.compare(FAt, 4, "<!--") == 0) {
                FAt += 4;
                SkipPast("-->");
                continue;
            }
            if (FBuf.compare(FAt, 9, "<![CDATA[") == 0) {
                FAt += 9;
                const bool keep = KeepText && !FOpen.empty();
                FText.clear();
                TakeUntil("]]>", keep, FText);
                if (keep)
                    return xeText;
                continue;
            }
            // The document type: its internal subset may hold ">" inside brackets.
            FAt += 2;
            int brackets = 0;
            for (;;) {
                if (!Ensure(1))
                    Fail();
                const char d = FBuf[FAt++];
                if (d == '[')
                    ++brackets;
                else if (d == ']')
                    --brackets;
                else if (d == '>' && brackets <= 0)
                    break;
            }
            continue;
        }
        FTag = ReadTag();
        if (c == '/') {
            std::size_t end = FTag.size();
            while (end > 1 && IsXmlSpace(FTag[end - 1]))
                --end;
            FName.assign(FTag, 1, end - 1);
            if (FOpen.empty() || FOpen.back() != FName)
                Fail();
            FOpen.pop_back();
            return xeEnd;
        }
        // A start tag: its name, then attributes name="value".
        std::size_t i = 0;
        while (i < FTag.size() && !IsXmlSpace(FTag[i]) && FTag[i] != '/')
            ++i;
        FName.assign(FTag, 0, i);
        if (!IsName(FName))
            Fail();
        FPendingEnd = ReadAttributes(FTag, i);
        if (int(FOpen.size()) >= MaxDepth)
            Fail();
        FOpen.push_back(FName);
        FSeenElement = true;
        return xeStart;
    }
}

bool TXmlStream::ReadAttributes(const std::string& Tag, std::size_t I)
{
    FAttrs.clear();
    for (;;) {
        while (I < Tag.size() && IsXmlSpace(Tag[I]))
            ++I;
        if (I >= Tag.size())
            return false;
        if (Tag[I] == '/') {
            if (I + 1 != Tag.size())
                Fail();
            return true;
        }
        const std::size_t nameStart = I;
        while (I < Tag.size() && !IsXmlSpace(Tag[I]) && Tag[I] != '=' && Tag[I] != '/')
            ++I;
        std::string name = Tag.substr(nameStart, I - nameStart);
        while (I < Tag.size() && IsXmlSpace(Tag[I]))
            ++I;
        if (!IsName(name) || I >= Tag.size() || Tag[I] != '=')
            Fail();
        ++I;
        while (I < Tag.size() && IsXmlSpace(Tag[I]))
            ++I;
        if (I >= Tag.size() || (Tag[I] != '"' && Tag[I] != '\''))
            Fail();
        const std::size_t close = Tag.find(Tag[I], I + 1);
        // Attributes stand apart.
        if (close == std::string::npos ||
            (close + 1 < Tag.size() && !IsXmlSpace(Tag[close + 1]) && Tag[close + 1] != '/'))
            Fail();
        FAttrs.emplace_back(std::move(name), Tag.substr(I + 1, close - I - 1));
        I = close + 1;
    }
}

std::string TXmlStream::LocalName() const
{
    if (!FPrefix.empty() && FName.compare(0, FPrefix.size(), FPrefix) == 0)
        return FName.substr(FPrefix.size());
    return FName;
}

std::string TXmlStream::Attr(const char* AName, bool* Found) const
{
    for (const auto& [name, value] : FAttrs)
        if (name == AName) {
            if (Found)
                *Found = true;
            return DecodeXml(value, true);
        }
    if (Found)
        *Found = false;
    return std::string();
}
