#pragma once
// The grid's own small Office Open XML support: a package (a zip archive of
// parts) read into memory, changed part by part and written back whole, and
// the cell addresses of spreadsheets. A new file starts as an empty package,
// so new and existing files take the same path. Parts keep their bytes and
// their order unless they are replaced.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/core/Types.h"

struct zip_file;

// The most a part read whole may unpack to: far beyond the sheet of a 100,000 x 7 catalogue
// (about 40 MB), and still within what a document tree of it can take.
constexpr std::size_t MaxWholePartBytes = std::size_t(256) << 20;

class TOfficePackage {
public:
    // An empty package.
    TOfficePackage();
    ~TOfficePackage();
    TOfficePackage(const TOfficePackage&) = delete;
    TOfficePackage& operator=(const TOfficePackage&) = delete;

    // Reads the package in FileName; the file's errors propagate, and a file
    // that is no package raises EProGridError (Kind names the file in the message).
    void LoadFromFile(const AnsiString& FileName, const AnsiString& Kind);
    // Part names as in the archive, without a leading "/".
    bool HasPart(const std::string& Name) const;
    // The part's bytes; empty when there is no such part. A part that unpacks beyond
    // MaxWholePartBytes, or cannot be read, raises EProGridError "The part ... cannot be read".
    std::string Part(const std::string& Name) const;
    void SetPart(const std::string& Name, const std::string& Data) { SetPart(Name, std::string(Data)); }
    void SetPart(const std::string& Name, std::string&& Data);
    void DeletePart(const std::string& Name);
    // Writes the package to a temporary file beside FileName and renames it over
    // FileName. The package is spent afterwards.
    void SaveToFile(const AnsiString& FileName);

    // The target of the first relationship of Type in the relationships part
    // of SourcePart ("" for the package), as a part name; "" when there is none.
    std::string RelationshipTarget(const std::string& SourcePart, const std::string& TypeSuffix) const;

private:
    friend class TPartReader;
    struct TImpl;
    std::unique_ptr<TImpl> F;
};

// A part read piece by piece, whatever it unpacks to; the package must outlive the reader.
class TPartReader {
public:
    // Reads nothing when the package has no such part.
    TPartReader(const TOfficePackage& Package, const std::string& Name);
    ~TPartReader();
    TPartReader(const TPartReader&) = delete;
    TPartReader& operator=(const TPartReader&) = delete;

    // The next bytes of the part into Buffer (at most Size); 0 at its end. EProGridError
    // "The part ... cannot be read" when the archive fails.
    std::size_t Read(char* Buffer, std::size_t Size);

private:
    std::string FName;
    zip_file* FFile = nullptr;
    const std::string* FChanged = nullptr;   // a part replaced in memory
    std::size_t FAt = 0;
};

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelationshipsPartName(const std::string& SourcePart);
// A relationship target relative to its source part as a part name.
std::string ResolvePartName(const std::string& SourcePart, const std::string& Target);

// The last column (XFD) and the last row a spreadsheet has.
constexpr int MaxSheetColumns = 16384;
constexpr int MaxSheetRows = 1048576;

// Spreadsheet columns: 1 -> "A", 26 -> "Z", 27 -> "AA", 703 -> "AAA"; and back (0 for no letters
// and for a column beyond MaxSheetColumns).
AnsiString ColumnLetters(int Col);
int ColumnNumber(const AnsiString& Letters);
// "$B$2:$D$5", "B2:D5", "$B$2" (one cell) and "$2:$5" (whole rows: columns 1 to 256) as a
// rectangle of 1-based columns (Left, Right) and rows (Top, Bottom); false for anything else,
// a cell beyond the last column or row of a sheet included.
bool ParseRangeAddress(const AnsiString& Address, TRect& Range);

// Text of a cell or paragraph for XML: characters XML does not allow (controls other than
// TAB and LF) and text that looks like such an escape are written as "_xHHHH_".
std::string EscapeOfficeText(const std::string& Utf8);
std::string UnescapeOfficeText(const std::string& Utf8);
