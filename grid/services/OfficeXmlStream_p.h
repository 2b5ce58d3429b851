#pragma once
// A part's XML read as a stream of elements and texts, piece by piece from the package: what
// is held at any time is the open elements' names, one tag and the text asked for, however
// much the part unpacks to. For the parts that carry a workbook's cells.
#include <string>
#include <vector>

#include "grid/ProGrid.h"

class TPartReader;

// The part is no XML the stream can read (its message names what could not be read).
VELMAROK_EXCEPTION(EXmlStreamError, EProGridError)

class TXmlStream {
public:
    // A tag longer than this, or elements nested deeper, are no part of a real workbook.
    static constexpr std::size_t MaxTagBytes = std::size_t(1) << 20;
    static constexpr int MaxDepth = 1000;

    // Unreadable: the message of EXmlStreamError for what is not well-formed XML (an end tag
    // that closes another element, an element left open, no element at all) or passes a limit.
    TXmlStream(TPartReader& In, const AnsiString& Unreadable);

    enum TEvent { xeStart, xeEnd, xeText, xeDone };
    // The next event. An empty element gives its start and then its end. Text is given only
    // while KeepText is set (entities decoded, line ends as LF; CDATA as it stands); otherwise
    // it is passed over. Comments, processing instructions and the document type are passed over.
    TEvent Next();
    bool KeepText = false;

    // The element of the last start or end event.
    const std::string& Name() const { return FName; }
    // The element's name without the prefix the part gives its main namespace (see SetPrefix).
    std::string LocalName() const;
    // An attribute of the last start tag, decoded; Found tells whether the tag has it.
    std::string Attr(const char* AName, bool* Found = nullptr) const;
    // The text of the last text event.
    const std::string& Text() const { return FText; }
    // The elements open now (after a start, the started one counts).
    int Depth() const { return int(FOpen.size()); }
    // Names that begin with Prefix ("x:") are read without it.
    void SetPrefix(const std::string& Prefix) { FPrefix = Prefix; }

private:
    bool Fill();
    bool Ensure(std::size_t N);
    // Passes over the bytes up to and including Terminator.
    void SkipPast(const char* Terminator);
    // The bytes up to Terminator (not kept: Keep false), Terminator passed over.
    void TakeUntil(const char* Terminator, bool Keep, std::string& Out);
    std::string ReadTag();
    // The attributes of Tag from I on into FAttrs; true when the tag ends with "/".
    bool ReadAttributes(const std::string& Tag, std::size_t I);
    [[noreturn]] void Fail() const;

    TPartReader& FIn;
    AnsiString FUnreadable;
    std::string FBuf, FPiece;
    std::size_t FAt = 0;
    bool FEnd = false, FStarted = false, FSeenElement = false, FPendingEnd = false;
    // UTF-16 parts are read as UTF-8: 0 none, 1 little-endian, 2 big-endian.
    int FWide = 0;
    std::string FWideRest;
    char16_t FHighSurrogate = 0;
    std::vector<std::string> FOpen;
    std::string FName, FTag, FText, FPrefix;
    std::vector<std::pair<std::string, std::string>> FAttrs;
};
