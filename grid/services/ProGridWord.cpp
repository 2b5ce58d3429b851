// TProStringGrid: the grid as a table of a word-processor document (.docx):
// a new document, or a copy of a given one with the table at a bookmark or at
// its end. The grid's own text goes before, in a paragraph of its own.
#include <algorithm>
#include <cstring>

#include "grid/ProGrid.h"
#include "grid/services/GridFiles_p.h"
#include "grid/services/OfficePackage.h"
#include "grid/services/OfficeXml_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {
const char* const DocumentContentType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
// A4 less margins of 2.5 cm, in twentieths of a point.
const int DefaultTextWidth = 11906 - 2 * 1417;

void CreateDocumentParts(TOfficePackage& P)
{
    StartOfficePackage(P, "word/document.xml", DocumentContentType,
                       std::string("<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                                   "xmlns:r=\"") + OfficeRelationships + "\"><w:body><w:sectPr>"
                           "<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                           "<w:pgMar w:top=\"1417\" w:right=\"1417\" w:bottom=\"1417\" w:left=\"1417\" "
                           "w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>");
}

// A paragraph's runs for a text: lines joined by breaks.
void AppendRuns(pugi::xml_node Paragraph, const AnsiString& Text)
{
    if (Text.empty())
        return;
    pugi::xml_node run = Paragraph.append_child("w:r");
    std::vector<AnsiString> lines = TextLines(Text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            run.append_child("w:br");
        if (lines[i].empty())
            continue;
        pugi::xml_node t = run.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text() = EscapeOfficeText(CellTextAsUtf8(lines[i])).c_str();
    }
}

// The width of the page's text in the section properties, or that of A4 when they give none
// from half an inch to the widest page the format has (22 inches), in twips.
int TextWidth(pugi::xml_node Body)
{
    pugi::xml_node sect = Body.child("w:sectPr");
    // Each value held far beyond any page, so that the sum cannot overflow.
    auto twips = [](pugi::xml_attribute A, long long Default) {
        return std::clamp(A.as_llong(Default), -(1LL << 40), 1LL << 40);
    };
    const long long width = twips(sect.child("w:pgSz").attribute("w:w"), 11906) -
                            twips(sect.child("w:pgMar").attribute("w:left"), 1417) -
                            twips(sect.child("w:pgMar").attribute("w:right"), 1417);
    return width > 720 && width <= 31680 ? int(width) : DefaultTextWidth;
}

const char* const WordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// The document's settings hide spelling errors: its settings part gets w:hideSpellingErrors (after
// the settings the format puts before it), or a settings part is added holding only that.
void HideSpellingErrors(TOfficePackage& P, const std::string& DocumentPart)
{
    std::string part = P.RelationshipTarget(DocumentPart, "/settings");
    pugi::xml_document doc;
    if (part.empty() || !LoadOfficeXml(doc, P.Part(part)) || !doc.document_element()) {
        const std::string folder = DocumentPart.substr(0, DocumentPart.rfind('/') + 1);
        part = folder + "settings.xml";
        for (int n = 1; P.HasPart(part); ++n)
            part = folder + "settings" + std::to_string(n) + ".xml";
        AddRelationship(P, DocumentPart, (std::string(OfficeRelationships) + "/settings").c_str(),
                        part.substr(folder.size()));
        SetPartContentType(P, part, "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
        doc.reset();
        doc.append_child("w:settings").append_attribute("xmlns:w") = WordNs;
    }
    pugi::xml_node settings = doc.document_element();
    std::string prefix = settings.name();
    prefix = prefix.find(':') == std::string::npos ? std::string() : prefix.substr(0, prefix.find(':') + 1);
    const std::string name = prefix + "hideSpellingErrors";
    pugi::xml_node hide = settings.child(name.c_str());
    if (!hide) {
        static const char* const before[] = {
            "writeProtection", "view", "zoom", "removePersonalInformation", "removeDateAndTime",
            "doNotDisplayPageBoundaries", "displayBackgroundShape", "printPostScriptOverText",
            "printFractionalCharacterWidth", "printFormsData", "embedTrueTypeFonts", "embedSystemFonts",
            "saveSubsetFonts", "saveFormsData", "mirrorMargins", "alignBordersAndEdges",
            "bordersDoNotSurroundHeader", "bordersDoNotSurroundFooter", "gutterAtTop"};
        pugi::xml_node after;
        for (pugi::xml_node c : settings.children())
            for (const char* b : before)
                if (prefix + b == c.name())
                    after = c;
        hide = after ? settings.insert_child_after(name.c_str(), after) : settings.prepend_child(name.c_str());
    }
    for (pugi::xml_attribute a = hide.first_attribute(); a;) {
        pugi::xml_attribute next = a.next_attribute();
        hide.remove_attribute(a);
        a = next;
    }
    P.SetPart(part, SaveOfficeXml(doc));
}

// The first bookmark of that name in document order below Node. The walk keeps no stack, so
// however deep a template nests its elements, the search costs their number.
pugi::xml_node FindBookmark(pugi::xml_node Node, const std::string& Name)
{
    pugi::xml_node c = Node.first_child();
    while (c) {
        if (std::strcmp(c.name(), "w:bookmarkStart") == 0 && Name == c.attribute("w:name").value())
            return c;
        if (c.first_child()) {
            c = c.first_child();
            continue;
        }
        while (c != Node && !c.next_sibling())
            c = c.parent();
        c = c == Node ? pugi::xml_node() : c.next_sibling();
    }
    return pugi::xml_node();
}
}

void TProStringGrid::SaveToWord(const AnsiString& FileName, const AnsiString& TemplateName,
                                const AnsiString& BookmarkName)
{
    THourGlass hourGlass;
    AnsiString file = OfficeFileName(FileName, ".doc");
    TOfficePackage package;
    if (!TemplateName.empty()) {
        AnsiString templ = TemplateName;
        if (!FileExists(templ) && FileExists(OfficeFileName(templ, ".doc")))
            templ = OfficeFileName(templ, ".doc");
        package.LoadFromFile(templ, "a document");
    } else {
        CreateDocumentParts(package);
    }
    std::string part = package.RelationshipTarget("", "/officeDocument");
    pugi::xml_document doc;
    if (part.empty() || !LoadOfficeXml(doc, package.Part(part)) || !doc.document_element().child("w:body"))
        throw EProGridError("The file " + TemplateName + " holds no document");
    pugi::xml_node body = doc.document_element().child("w:body");

    // The grid's own text and a paragraph mark where the document starts.
    pugi::xml_node intro = body.prepend_child("w:p");
    AppendRuns(intro, Text());

    // Where the table goes: at the start of a new document, after the bookmark's paragraph, or at the end.
    pugi::xml_node table;
    pugi::xml_node mark = BookmarkName.empty() ? pugi::xml_node() : FindBookmark(body, AnsiToUtf8(BookmarkName));
    if (TemplateName.empty()) {
        table = body.prepend_child("w:tbl");
    } else if (mark) {
        pugi::xml_node p = mark;
        while (p && std::strcmp(p.name(), "w:p") != 0)
            p = p.parent();
        table = p ? p.parent().insert_child_after("w:tbl", p) : mark.parent().insert_child_after("w:tbl", mark);
    } else if (pugi::xml_node sect = body.child("w:sectPr")) {
        table = body.insert_child_before("w:tbl", sect);
    } else {
        table = body.append_child("w:tbl");
    }
    // A table is followed by a paragraph where its container ends.
    pugi::xml_node next = table.next_sibling();
    if (!next || std::strcmp(next.name(), "w:sectPr") == 0)
        table.parent().insert_child_after("w:p", table);

    // The save range: the fixed cells with ExportFixedCells, the hidden columns with ExportHiddenColumns.
    const std::vector<int> cols = ExportColumns(SaveColStart(), SaveColEnd());
    const int colWidth = TextWidth(body) / std::max(1, int(cols.size()));
    pugi::xml_node props = table.append_child("w:tblPr");
    pugi::xml_node width = props.append_child("w:tblW");
    width.append_attribute("w:w") = 0;
    width.append_attribute("w:type") = "auto";
    pugi::xml_node borders = props.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        pugi::xml_node b = borders.append_child(side);
        b.append_attribute("w:val") = "single";
        b.append_attribute("w:sz") = 4;
        b.append_attribute("w:space") = 0;
        b.append_attribute("w:color") = "auto";
    }
    pugi::xml_node grid = table.append_child("w:tblGrid");
    for (std::size_t c = 0; c < cols.size(); ++c)
        grid.append_child("w:gridCol").append_attribute("w:w") = colWidth;
    DoProgress(0, -1);
    for (int r = SaveRowStart(); r <= SaveRowEnd(); ++r) {
        pugi::xml_node tr = table.append_child("w:tr");
        for (const int c : cols) {
            pugi::xml_node tc = tr.append_child("w:tc");
            pugi::xml_node tcw = tc.append_child("w:tcPr").append_child("w:tcW");
            tcw.append_attribute("w:w") = colWidth;
            tcw.append_attribute("w:type") = "dxa";
            pugi::xml_node p = tc.append_child("w:p");
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            ResolveCellAlignment(c, r, ha, va);
            if (ha == taRightJustify || ha == taCenter)
                p.append_child("w:pPr").append_child("w:jc").append_attribute("w:val") =
                    ha == taRightJustify ? "right" : "center";
            AnsiString s;
            SaveCell(c, r, s);
            AppendRuns(p, s);
        }
        DoProgress(1, r);
    }
    DoProgress(2, -1);
    // A table needs a row and a cell: an empty save range leaves none.
    if (cols.empty() || SaveRowEnd() < SaveRowStart())
        table.parent().remove_child(table);

    package.SetPart(part, SaveOfficeXml(doc));
    HideSpellingErrors(package, part);
    // A template's main part becomes a document's.
    if (PartContentType(package, part) != DocumentContentType)
        SetPartContentType(package, part, DocumentContentType);
    package.SaveToFile(file);
}
