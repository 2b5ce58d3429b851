#pragma once
// pugixml helpers shared by the workbook and document files.
#include <pugixml.hpp>

#include <string>

// The XML declaration that starts every part the grid writes (with its line break).
extern const char* const OfficeXmlDeclaration;
// "http://schemas.openxmlformats.org/officeDocument/2006/relationships", the base of relationship types.
extern const char* const OfficeRelationships;
class TOfficePackage;
// An empty package's content types and relationships: MainPart with MainContentType as its
// main part, and MainXml as that part.
void StartOfficePackage(TOfficePackage& Package, const std::string& MainPart, const char* MainContentType,
                        const std::string& MainXml);

// The value of a decimal digit, or with Hex of a hexadecimal one; -1 for another character.
inline int XmlDigit(char C, bool Hex)
{
    return C >= '0' && C <= '9'          ? C - '0'
           : Hex && C >= 'a' && C <= 'f' ? C - 'a' + 10
           : Hex && C >= 'A' && C <= 'F' ? C - 'A' + 10
                                         : -1;
}

// A UTF-16 unit appended as UTF-8 (one to three bytes).
inline void AppendUtf8(std::string& Out, char16_t U)
{
    if (U < 0x80) {
        Out += char(U);
    } else if (U < 0x800) {
        Out += char(0xC0 | (U >> 6));
        Out += char(0x80 | (U & 0x3F));
    } else {
        Out += char(0xE0 | (U >> 12));
        Out += char(0x80 | ((U >> 6) & 0x3F));
        Out += char(0x80 | (U & 0x3F));
    }
}

// Parses a part, keeping its declaration and the whitespace of text-only elements; false when it is no XML.
bool LoadOfficeXml(pugi::xml_document& Doc, const std::string& Data);
// The document as UTF-8 bytes, without added indentation.
std::string SaveOfficeXml(const pugi::xml_document& Doc);
// Adds an Override for PartName with ContentType to the package's content types (replacing an old one).
void SetPartContentType(TOfficePackage& Package, const std::string& PartName, const char* ContentType);
// The Override content type of a part, "" when none.
std::string PartContentType(const TOfficePackage& Package, const std::string& PartName);
// A relationship of Type to Target added to the relationships of SourcePart; its new id.
std::string AddRelationship(TOfficePackage& Package, const std::string& SourcePart, const char* Type,
                            const std::string& Target);
