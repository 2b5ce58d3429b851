// TProStringGrid: the XML file, one element per row and one per cell. The
// file is written in the encoding its declaration names: UTF-8 and
// Windows-1250 as they are, any other as ASCII with character references.
#include <cctype>

#include "grid/ProGrid.h"
#include "grid/PsgHTMLE.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {
// The declared encoding holds every character of the program's text.
bool EncodingHoldsAnsi(const AnsiString& Encoding)
{
    AnsiString e = UpperCase(Encoding);
    return e.empty() || e == "UTF-8" || e == "UTF8" || e == "WINDOWS-1250" || e == "CP1250";
}

// Characters a name may not hold become "_" (letters beyond ASCII too when the encoding cannot
// hold them: names cannot be character references); empty when the name does not start with a letter.
AnsiString ElementName(const AnsiString& S, bool AsciiOnly)
{
    auto letter = [&](char C) {
        unsigned char u = static_cast<unsigned char>(C);
        return IsAnsiLetter(u) && (u < 0x80 || !AsciiOnly);
    };
    if (S.empty() || !letter(S[0]))
        return AnsiString();
    AnsiString r = S;
    for (char& c : r)
        if (!letter(c) && !std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '.' && c != '_')
            c = '_';
    return r;
}

std::string EncodeXml(const AnsiString& Doc, const AnsiString& Encoding)
{
    AnsiString e = UpperCase(Encoding);
    if (e == "WINDOWS-1250" || e == "CP1250")
        return Doc;
    if (EncodingHoldsAnsi(Encoding))
        return AnsiToUtf8(Doc);
    std::string r;
    for (char16_t u : AnsiToWide(Doc)) {
        if (u < 0x80)
            r += char(u);
        else
            r += "&#" + std::to_string(int(u)) + ";";
    }
    return r;
}
}

void TProStringGrid::SaveToXmlFile(const AnsiString& FileName, const AnsiString& ListName,
                                   const AnsiString& RecordName, TStrings* FieldNames, bool ExportEmptyCells)
{
    THourGlass hourGlass;
    const bool ascii = !EncodingHoldsAnsi(FXMLEncoding);
    AnsiString listName = ElementName(ListName, ascii), recordName = ElementName(RecordName, ascii);
    if (listName.empty())
        listName = "LIST";
    if (recordName.empty())
        recordName = "RECORD";
    AnsiString doc = "<?xml version=\"1.0\" encoding=\"" + (FXMLEncoding.empty() ? "UTF-8" : FXMLEncoding) + "\" ?>\r\n";
    doc += "<" + listName + ">\r\n";
    std::vector<int> cols = ExportColumns(SaveColStart(), SaveColEnd());
    DoProgress(0, -1);
    for (int r = SaveRowStart(); r <= SaveRowEnd(); ++r) {
        doc += "<" + recordName + ">\r\n";
        for (std::size_t i = 0; i < cols.size(); ++i) {
            if (ExportedSpan(cols, i, r) == 0)
                continue;
            AnsiString s;
            SaveCell(GetBaseCell(cols[i], r).X, r, s);
            s = CellTextAsAnsi(s);
            if (s.empty() && !ExportEmptyCells)
                continue;
            if (s.empty() && FQuoteEmptyFields)
                s = "\"\"";
            AnsiString name;
            if (FieldNames && int(i) < FieldNames->Count())
                name = ElementName(FieldNames->Strings(int(i)), ascii);
            if (name.empty())
                name = "FIELD" + IntToStr(int(i));
            doc += "<" + name + ">" + HtmlEncodeEntities(s) + "</" + name + ">\r\n";
        }
        doc += "</" + recordName + ">\r\n";
        DoProgress(1, r);
    }
    doc += "</" + listName + ">\r\n";
    DoProgress(2, -1);
    try {
        SaveBytesToFile(FileName, EncodeXml(doc, FXMLEncoding));
    } catch (const Exception&) {
        throw EProGridError("Cannot Create file " + FileName);
    }
}
