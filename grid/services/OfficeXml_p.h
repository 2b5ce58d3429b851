#pragma once
// pugixml helpers shared by the workbook and document files.
#include <pugixml.hpp>

#include <string>

// Parses a part, keeping its declaration and the whitespace of text-only elements; false when it is no XML.
bool LoadOfficeXml(pugi::xml_document& Doc, const std::string& Data);
// The document as UTF-8 bytes, without added indentation.
std::string SaveOfficeXml(const pugi::xml_document& Doc);
// Adds an Override for PartName with ContentType to the package's content types (replacing an old one).
class TOfficePackage;
void SetPartContentType(TOfficePackage& Package, const std::string& PartName, const char* ContentType);
// The Override content type of a part, "" when none.
std::string PartContentType(const TOfficePackage& Package, const std::string& PartName);
// A relationship of Type to Target added to the relationships of SourcePart; its new id.
std::string AddRelationship(TOfficePackage& Package, const std::string& SourcePart, const char* Type,
                            const std::string& Target);
