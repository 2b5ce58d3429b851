#pragma once
// The grid's own small Office Open XML support: a package (a zip archive of
// parts) read into memory, changed part by part and written back whole, and
// the cell addresses of spreadsheets. A new file starts as an empty package,
// so new and existing files take the same path. Parts keep their bytes and
// their order unless they are replaced.
#include <memory>
#include <string>

#include "platform/core/Types.h"

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
    // The part's bytes; empty when there is no such part.
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
    struct TImpl;
    std::unique_ptr<TImpl> F;
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
