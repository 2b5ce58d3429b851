// TProStringGrid: spreadsheet workbooks (.xlsx). Loading reads the used range
// of a sheet (shared and inline strings, numbers, booleans, dates in the
// program's date format); saving writes the grid from cell A1 of a new
// workbook's sheet, or of a named sheet of an existing workbook, whose other
// parts stay as they were. Texts that read back as the same number are
// written as numbers (with their decimals as the number format), all others
// as inline strings.
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string_view>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/services/GridFiles_p.h"
#include "grid/services/OfficePackage.h"
#include "grid/services/OfficeXml_p.h"
#include "grid/services/OfficeXmlStream_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {
const char* const RelWorksheet = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char* const SheetContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char* const DefaultSheetName = "Arkusz1";

const char* const MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// Walks the tree without recursion, so a hostile part nested very deep cannot
// exhaust the stack. The new name is copied first: it lies inside the old one.
void Unprefix(pugi::xml_node Node, const std::string& Prefix)
{
    std::vector<pugi::xml_node> pending{Node};
    while (!pending.empty()) {
        pugi::xml_node n = pending.back();
        pending.pop_back();
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element) {
                if (std::strncmp(c.name(), Prefix.c_str(), Prefix.size()) == 0)
                    c.set_name(std::string(c.name() + Prefix.size()).c_str());
                pending.push_back(c);
            }
    }
}

// Parses a spreadsheet part; a part that writes the main namespace with a
// prefix ("x:worksheet") is read as if it used the default namespace.
bool LoadSheetXml(pugi::xml_document& Doc, const std::string& Data)
{
    if (!LoadOfficeXml(Doc, Data))
        return false;
    pugi::xml_node root = Doc.document_element();
    const char* colon = std::strchr(root.name(), ':');
    if (!colon || root.attribute("xmlns"))
        return true;
    std::string prefix(root.name(), std::size_t(colon - root.name()) + 1);
    if (std::string(MainNs) != root.attribute(("xmlns:" + prefix.substr(0, prefix.size() - 1)).c_str()).value())
        return true;
    root.set_name(std::string(colon + 1).c_str());
    root.prepend_attribute("xmlns") = MainNs;
    Unprefix(root, prefix);
    return true;
}

const char* const StylesContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

// A styles part of one font and one cell format, to which number formats are added as needed.
void AddStylesPart(TOfficePackage& P, const std::string& WorkbookPart, const std::string& Part)
{
    const std::string folder = WorkbookPart.substr(0, WorkbookPart.rfind('/') + 1);
    AddRelationship(P, WorkbookPart, (std::string(OfficeRelationships) + "/styles").c_str(),
                    Part.compare(0, folder.size(), folder) == 0 ? Part.substr(folder.size()) : "/" + Part);
    SetPartContentType(P, Part, StylesContentType);
    P.SetPart(Part,
              std::string(OfficeXmlDeclaration) + "<styleSheet xmlns=\"" + MainNs + "\">"
                  "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
                  "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
                  "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
                  "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
                  "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
                  "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
                  "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
                  "</styleSheet>");
}

// The parts of an empty workbook: no sheet yet.
void CreateWorkbookParts(TOfficePackage& P)
{
    StartOfficePackage(P, "xl/workbook.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
                       std::string("<workbook xmlns=\"") + MainNs + "\" xmlns:r=\"" + OfficeRelationships +
                           "\"><sheets/></workbook>");
    AddStylesPart(P, "xl/workbook.xml", "xl/styles.xml");
}

// The workbook part and its sheets.
class TWorkbook {
public:
    explicit TWorkbook(TOfficePackage& P) : FPackage(P)
    {
        FPart = P.RelationshipTarget("", "/officeDocument");
        if (FPart.empty() || !LoadSheetXml(FDoc, P.Part(FPart)) ||
            !LoadOfficeXml(FRels, P.Part(RelationshipsPartName(FPart))))
            throw EProGridError("The file holds no workbook");
        FSheets = FDoc.document_element().child("sheets");
        if (!FSheets)
            FSheets = FDoc.document_element().append_child("sheets");
    }

    const std::string& Part() const { return FPart; }

    // -1 when no sheet has the name (compared as the spreadsheet does, without regard to case).
    int SheetIndex(const AnsiString& Name) const
    {
        int i = 0;
        for (pugi::xml_node s : FSheets.children("sheet")) {
            if (AnsiSameText(Utf8ToAnsi(s.attribute("name").value()), Name))
                return i;
            ++i;
        }
        return -1;
    }

    // The sheet shown when the workbook was saved.
    int ActiveSheet() const
    {
        int tab = FDoc.document_element().child("bookViews").child("workbookView").attribute("activeTab").as_int(0);
        int count = int(std::distance(FSheets.children("sheet").begin(), FSheets.children("sheet").end()));
        return tab >= 0 && tab < count ? tab : 0;
    }

    std::string SheetPart(int Index) const
    {
        int i = 0;
        for (pugi::xml_node s : FSheets.children("sheet")) {
            if (i++ != Index)
                continue;
            const char* id = s.attribute("r:id").value();
            pugi::xml_node rel = FRels.document_element().find_child_by_attribute("Relationship", "Id", id);
            if (rel)
                return ResolvePartName(FPart, rel.attribute("Target").value());
        }
        throw EProGridError("The workbook's sheet cannot be found");
    }

    // Adds an empty sheet at the end; its part name.
    std::string AddSheet(const AnsiString& Name)
    {
        int n = 1;
        while (FPackage.HasPart("xl/worksheets/sheet" + std::to_string(n) + ".xml"))
            ++n;
        std::string part = "xl/worksheets/sheet" + std::to_string(n) + ".xml";
        FPackage.SetPart(part, std::string(OfficeXmlDeclaration) + "<worksheet xmlns=\"" + MainNs +
                                   "\"><sheetData/></worksheet>");
        SetPartContentType(FPackage, part, SheetContentType);
        std::string target = ResolvePartName("", part);
        std::string folder = FPart.substr(0, FPart.rfind('/') + 1);
        if (target.compare(0, folder.size(), folder) == 0)
            target = target.substr(folder.size());
        else
            target = "/" + target;
        std::string id = AddRelationship(FPackage, FPart, RelWorksheet, target);
        // The id after the largest; when that is the largest the format has, the smallest free one.
        std::set<unsigned long long> ids;
        for (pugi::xml_node s : FSheets.children("sheet"))
            ids.insert(s.attribute("sheetId").as_ullong());
        unsigned long long sheetId = ids.empty() ? 1 : *ids.rbegin() + 1;
        if (sheetId > std::numeric_limits<std::uint32_t>::max() || sheetId == 0)
            for (sheetId = 1; ids.count(sheetId); ++sheetId) {
            }
        pugi::xml_node s = FSheets.append_child("sheet");
        s.append_attribute("name") = AnsiToUtf8(Name).c_str();
        s.append_attribute("sheetId") = sheetId;
        s.append_attribute("r:id") = id.c_str();
        FPackage.SetPart(FPart, SaveOfficeXml(FDoc));
        return part;
    }

    // The part a relationship of the workbook of this type names, "" when none.
    std::string Related(const char* TypeSuffix) const { return FPackage.RelationshipTarget(FPart, TypeSuffix); }

private:
    TOfficePackage& FPackage;
    std::string FPart;
    pugi::xml_document FDoc, FRels;
    pugi::xml_node FSheets;
};

const char* const SheetUnreadable = "The workbook's sheet cannot be read";

// "B12" -> column 2, row 12 (0 for a missing part); EProGridError for a column or row
// beyond the sheet's last.
void SplitCellRef(const char* Ref, int& Col, int& Row)
{
    Col = 0;
    Row = 0;
    for (; *Ref >= 'A' && *Ref <= 'Z'; ++Ref)
        if ((Col = Col * 26 + (*Ref - 'A' + 1)) > MaxSheetColumns)
            throw EProGridError(SheetUnreadable);
    for (; *Ref >= '0' && *Ref <= '9'; ++Ref)
        if ((Row = Row * 10 + (*Ref - '0')) > MaxSheetRows)
            throw EProGridError(SheetUnreadable);
}

// A number attribute as the XML reader reads one: blanks before it, a sign, decimal digits or
// "0x" and hexadecimal ones; held at the ends of the range; 0 when it has no digits.
long long XmlInteger(const char* S)
{
    while (*S == ' ' || *S == '\t' || *S == '\r' || *S == '\n')
        ++S;
    const bool negative = *S == '-';
    S += *S == '+' || *S == '-';
    const bool hex = S[0] == '0' && (S[1] == 'x' || S[1] == 'X');
    S += hex ? 2 : 0;
    unsigned long long value = 0;
    bool overflow = false;
    for (;; ++S) {
        const int d = XmlDigit(*S, hex);
        if (d < 0)
            break;
        const unsigned long long base = hex ? 16 : 10;
        overflow = overflow || value > (~0ULL - unsigned(d)) / base;
        value = value * base + unsigned(d);
    }
    constexpr unsigned long long most = std::numeric_limits<long long>::max();
    if (negative)
        return overflow || value > most ? std::numeric_limits<long long>::min() : -(long long)value;
    return overflow || value > most ? std::numeric_limits<long long>::max() : (long long)value;
}

// A row's number: its "r" (nullptr when it has none), else the one after the row before;
// EProGridError for a number a sheet does not have.
int SheetRowNumber(const char* R, int Previous)
{
    const long long r = R ? XmlInteger(R) : Previous + 1LL;
    if (r < 1 || r > MaxSheetRows)
        throw EProGridError(SheetUnreadable);
    return int(r);
}

// A cell's column: from its reference, else the one after the cell before.
int SheetColumnNumber(int RefCol, int Previous)
{
    const int col = RefCol > 0 ? RefCol : Previous + 1;
    if (col > MaxSheetColumns)
        throw EProGridError(SheetUnreadable);
    return col;
}

AnsiString CellRef(int Col, int Row)
{
    return ColumnLetters(Col) + IntToStr(Row);
}

// Inserts a child named Name into Parent before the first child that must follow it.
pugi::xml_node InsertBefore(pugi::xml_node Parent, const char* Name, std::initializer_list<const char*> Preceding)
{
    pugi::xml_node after;
    for (pugi::xml_node c : Parent.children())
        for (const char* p : Preceding)
            if (std::strcmp(c.name(), p) == 0)
                after = c;
    return after ? Parent.insert_child_after(Name, after) : Parent.prepend_child(Name);
}

// ---------------------------------------------------------------- values
struct TCellValue {
    std::string Text;   // UTF-8, escaped for the sheet
    bool Number = false;
    double Value = 0;
    int Decimals = 0;   // shown with this many decimals ("12,50"); 0: the general format
};

// The decimals of a text that is plain digits with a decimal part ("12,50": 2); 0 for others.
int DecimalsOf(const AnsiString& S)
{
    const std::size_t sep = S.find(FormatSettings.DecimalSeparator);
    return sep == AnsiString::npos ? 0 : int(S.size() - sep - 1);
}

// A text goes out as a number when it is the grid's form of one: its general form ("3,14",
// "-4") or its form with a fixed number of decimals ("12,50", "100,00"), which keeps the
// decimals as the cell's number format. Other texts ("007", "1e3", " 12") stay texts.
bool SheetNumber(const AnsiString& S, double& Value, int& Decimals)
{
    Decimals = 0;
    // A text without a digit never reads as a number; plain digits without a leading zero
    // (at most 15, so that the double holds them exactly) are their general form.
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (std::none_of(S.begin(), S.end(), digit))
        return false;
    if (S.size() <= 15 && (S[0] != '0' || S.size() == 1) && std::all_of(S.begin(), S.end(), digit)) {
        std::uint64_t n = 0;
        for (char c : S)
            n = n * 10 + std::uint64_t(c - '0');
        Value = double(n);
        return true;
    }
    double d = 0;
    if (!TryStrToFloat(S, d) || !std::isfinite(d))
        return false;
    const int decimals = DecimalsOf(S);
    if (decimals > 0 && decimals <= 15 && FloatToStrF(d, ffFixed, 15, decimals) == S) {
        Value = d;
        Decimals = decimals;
        return true;
    }
    if (FloatToStr(d) == S) {
        Value = d;
        return true;
    }
    return false;
}

TCellValue CellValue(const AnsiString& S)
{
    TCellValue v;
    if (!S.empty() && SheetNumber(S, v.Value, v.Decimals)) {
        v.Number = true;
        return v;
    }
    v.Text = EscapeOfficeText(CellTextAsUtf8(S));
    return v;
}

// The cell formats that show numbers with a fixed number of decimals ("0.00"), found in the
// workbook's styles or added to them (and the styles part added when the workbook has none);
// their indexes by the number of decimals.
std::map<int, int> DecimalFormats(TOfficePackage& P, const std::string& WorkbookPart, std::string StylesPart,
                                  const std::set<int>& Decimals)
{
    std::map<int, int> formats;
    if (Decimals.empty())
        return formats;
    if (StylesPart.empty()) {
        const std::string folder = WorkbookPart.substr(0, WorkbookPart.rfind('/') + 1);
        StylesPart = folder + "styles.xml";
        for (int n = 1; P.HasPart(StylesPart); ++n)
            StylesPart = folder + "styles" + std::to_string(n) + ".xml";
        AddStylesPart(P, WorkbookPart, StylesPart);
    }
    pugi::xml_document doc;
    if (!LoadSheetXml(doc, P.Part(StylesPart)))
        throw EProGridError("The workbook's styles cannot be read");
    pugi::xml_node root = doc.document_element();
    pugi::xml_node numFmts = root.child("numFmts");
    if (!numFmts)
        numFmts = root.prepend_child("numFmts");
    pugi::xml_node xfs = root.child("cellXfs");
    if (!xfs) {
        xfs = InsertBefore(root, "cellXfs", {"numFmts", "fonts", "fills", "borders", "cellStyleXfs"});
        xfs.append_child("xf").append_attribute("numFmtId") = 0;
    }
    for (int n : Decimals) {
        const std::string code = "0." + std::string(std::size_t(n), '0');
        int id = 0, lastId = 163;
        for (pugi::xml_node f : numFmts.children("numFmt")) {
            lastId = std::max(lastId, f.attribute("numFmtId").as_int());
            if (code == f.attribute("formatCode").value())
                id = f.attribute("numFmtId").as_int();
        }
        if (id == 0) {
            id = lastId + 1;
            pugi::xml_node f = numFmts.append_child("numFmt");
            f.append_attribute("numFmtId") = id;
            f.append_attribute("formatCode") = code.c_str();
        }
        int index = 0, found = -1;
        for (pugi::xml_node xf : xfs.children("xf")) {
            if (found < 0 && xf.attribute("numFmtId").as_int() == id && xf.attribute("fontId").as_int() == 0 &&
                xf.attribute("fillId").as_int() == 0 && xf.attribute("borderId").as_int() == 0)
                found = index;
            ++index;
        }
        if (found < 0) {
            pugi::xml_node xf = xfs.append_child("xf");
            for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"})
                xf.append_attribute(a) = std::strcmp(a, "numFmtId") == 0 ? id : 0;
            xf.append_attribute("applyNumberFormat") = 1;
            found = index;
        }
        formats[n] = found;
    }
    for (auto [list, item] : {std::pair(numFmts, "numFmt"), std::pair(xfs, "xf")}) {
        if (!list.attribute("count"))
            list.append_attribute("count");
        list.attribute("count") = int(std::distance(list.children(item).begin(), list.children(item).end()));
    }
    P.SetPart(StylesPart, SaveOfficeXml(doc));
    return formats;
}

std::string NumberText(double D)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof(buf), D);
    return std::string(buf, r.ptr);
}

void SetSheetDimension(pugi::xml_node ws, int Cols, int Rows);

// Writes Values from A1 on into the sheet (an empty text empties the cell).
void WriteSheetCells(pugi::xml_document& Sheet, const std::vector<std::vector<TCellValue>>& Values, int Cols,
                     const std::map<int, int>& DecimalStyles)
{
    pugi::xml_node ws = Sheet.document_element();
    pugi::xml_node data = ws.child("sheetData");
    if (!data)
        data = InsertBefore(ws, "sheetData", {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols"});
    std::map<int, pugi::xml_node> rows;
    int implicitRow = 0;
    for (pugi::xml_node row : data.children("row")) {
        implicitRow = SheetRowNumber(row.attribute("r") ? row.attribute("r").value() : nullptr, implicitRow);
        if (!row.attribute("r"))
            row.append_attribute("r") = implicitRow;
        rows[implicitRow] = row;
    }
    for (std::size_t i = 0; i < Values.size(); ++i) {
        int r = int(i) + 1;
        auto found = rows.find(r);
        pugi::xml_node row;
        std::map<int, pugi::xml_node> cells;
        if (found == rows.end()) {
            auto next = rows.upper_bound(r);
            row = next == rows.end() ? data.append_child("row") : data.insert_child_before("row", next->second);
            row.append_attribute("r") = r;
            rows.emplace(r, row);
        } else {
            row = found->second;
            row.remove_attribute("spans");
            int implicitCol = 0;
            for (pugi::xml_node c : row.children("c")) {
                int col = 0, rr = 0;
                SplitCellRef(c.attribute("r").value(), col, rr);
                implicitCol = SheetColumnNumber(col, implicitCol);
                if (!c.attribute("r"))
                    c.append_attribute("r") = CellRef(implicitCol, r).c_str();
                cells[implicitCol] = c;
            }
        }
        for (int j = 0; j < Cols; ++j) {
            const TCellValue& v = Values[i][std::size_t(j)];
            int col = j + 1;
            auto at = cells.find(col);
            pugi::xml_node c = at == cells.end() ? pugi::xml_node() : at->second;
            if (c) {
                c.remove_attribute("t");
                while (c.first_child())
                    c.remove_child(c.first_child());
            }
            if (!v.Number && v.Text.empty()) {
                if (c && !c.attribute("s"))
                    row.remove_child(c);
                continue;
            }
            if (!c) {
                auto next = cells.upper_bound(col);
                c = next == cells.end() ? row.append_child("c") : row.insert_child_before("c", next->second);
                c.append_attribute("r") = CellRef(col, r).c_str();
            }
            if (v.Number) {
                if (v.Decimals > 0) {
                    if (!c.attribute("s"))
                        c.append_attribute("s");
                    c.attribute("s") = DecimalStyles.at(v.Decimals);
                }
                c.append_child("v").text() = NumberText(v.Value).c_str();
                continue;
            }
            c.append_attribute("t") = "inlineStr";
            pugi::xml_node t = c.append_child("is").append_child("t");
            if (v.Text.front() == ' ' || v.Text.back() == ' ' || v.Text.find('\n') != std::string::npos ||
                v.Text.find('\t') != std::string::npos)
                t.append_attribute("xml:space") = "preserve";
            t.text() = v.Text.c_str();
        }
    }
    SetSheetDimension(ws, Cols, int(Values.size()));
}

// The dimension covers what was there and what was written (Rows rows of Cols cells from A1).
void SetSheetDimension(pugi::xml_node ws, int Cols, int Rows)
{
    TRect used(1, 1, std::max(Cols, 1), std::max(Rows, 1));
    pugi::xml_node dim = ws.child("dimension");
    TRect old;
    if (dim && ParseRangeAddress(dim.attribute("ref").value(), old))
        used = TRect(1, 1, std::max(used.Right, old.Right), std::max(used.Bottom, old.Bottom));
    if (!dim)
        dim = InsertBefore(ws, "dimension", {"sheetPr"});
    if (!dim.attribute("ref"))
        dim.append_attribute("ref");
    dim.attribute("ref") = (CellRef(used.Left, used.Top) + ":" + CellRef(used.Right, used.Bottom)).c_str();
}


// ---------------------------------------------------------------- rows of a new sheet
// The rows of a sheet that had none are written as text, many rows at once, exactly as
// WriteSheetCells and the XML writer write them.

// Marks the "s" of a number shown with decimals until the cell formats are known; the
// decimals follow as one byte. Never in a cell's text: control characters are escaped there.
constexpr char DecimalsMark = '\x01';

// Text as the XML writer writes it between tags: "&", "<" and ">" escaped.
void AppendXmlText(std::string& Out, std::string_view Text)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char* entity = Text[i] == '&' ? "&amp;" : Text[i] == '<' ? "&lt;" : Text[i] == '>' ? "&gt;" : nullptr;
        if (entity) {
            Out.append(Text, from, i - from);
            Out += entity;
            from = i + 1;
        }
    }
    Out.append(Text, from, std::string_view::npos);
}

// A cell's text (SaveCell's, without CR) as the cell WriteSheetCells makes of it; nothing for an
// empty text. The cell's reference is Letters and Number.
void AppendSheetCell(std::string& Out, std::string_view Letters, std::string_view Number, const AnsiString& Text,
                     unsigned& DecimalsUsed)
{
    if (Text.empty())
        return;
    Out += "<c r=\"";
    Out += Letters;
    Out += Number;
    double value = 0;
    int decimals = 0;
    if (SheetNumber(Text, value, decimals)) {
        if (decimals > 0) {
            Out += "\" s=\"";
            Out += DecimalsMark;
            Out += char(decimals);
            DecimalsUsed |= 1u << decimals;
        }
        char buf[32];
        Out += "\"><v>";
        Out.append(buf, std::to_chars(buf, buf + sizeof(buf), value).ptr);
        Out += "</v></c>";
        return;
    }
    // Texts of the code page without control characters or "_" are the same after
    // EscapeOfficeText: they are converted straight into the sheet.
    bool plain = !(Text.size() >= 2 && Text[0] == '|' && Text[1] == '\\');
    bool tabOrLineFeed = false;
    for (std::size_t i = 0; plain && i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\t' || c == '\n')
            tabOrLineFeed = true;
        else if (static_cast<unsigned char>(c) < 0x20 || c == '_')
            plain = false;
    }
    std::string escaped;
    std::string_view utf8;
    bool preserve = false;
    if (plain) {
        preserve = Text.front() == ' ' || Text.back() == ' ' || tabOrLineFeed;
    } else {
        escaped = EscapeOfficeText(CellTextAsUtf8(Text));
        utf8 = escaped;
        preserve = utf8.front() == ' ' || utf8.back() == ' ' ||
                   std::any_of(utf8.begin(), utf8.end(), [](char c) { return c == '\n' || c == '\t'; });
    }
    Out += preserve ? "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" : "\" t=\"inlineStr\"><is><t>";
    if (plain) {
        std::size_t from = 0;
        for (std::size_t i = 0; i < Text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(Text[i]);
            if (c < 0x80 && c != '&' && c != '<' && c != '>')
                continue;
            Out.append(Text, from, i - from);
            if (c >= 0x80)
                AppendUtf8(Out, Win1250ToUnicode(c));
            else
                AppendXmlText(Out, std::string_view(Text).substr(i, 1));
            from = i + 1;
        }
        Out.append(Text, from, AnsiString::npos);
    } else {
        AppendXmlText(Out, utf8);
    }
    Out += "</t></is></c>";
}

// The sheet's XML around the rows to come in its empty sheetData: what goes before them and after.
std::pair<std::string, std::string> SheetAroundRows(pugi::xml_document& Sheet)
{
    static const char* const Place = "velmarok-sheet-rows";
    pugi::xml_node ws = Sheet.document_element();
    pugi::xml_node data = ws.child("sheetData");
    if (!data)
        data = InsertBefore(ws, "sheetData", {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols"});
    pugi::xml_node place = data.append_child(pugi::node_comment);
    place.set_value(Place);
    std::string xml = SaveOfficeXml(Sheet);
    data.remove_child(place);
    const std::string mark = std::string("<!--") + Place + "-->";
    const std::size_t at = xml.find(mark);
    return {xml.substr(0, at), xml.substr(at + mark.size())};
}

// The decimals marks of a sheet's XML made the cell formats.
void SetDecimalsStyles(std::string& Xml, const std::map<int, int>& DecimalStyles)
{
    std::size_t mark = Xml.find(DecimalsMark);
    if (mark == std::string::npos)
        return;
    std::string out;
    out.reserve(Xml.size());
    std::size_t from = 0;
    for (; mark != std::string::npos; mark = Xml.find(DecimalsMark, from)) {
        out.append(Xml, from, mark - from);
        out += std::to_string(DecimalStyles.at(int(Xml[mark + 1])));
        from = mark + 2;
    }
    out.append(Xml, from, std::string::npos);
    Xml = std::move(out);
}

// ---------------------------------------------------------------- reading
// The parts that hold cells are read as a stream, so that what a part unpacks to never has to
// be held: an element is known by its depth and name.

// The prefix a part writes its main namespace with ("x:" of "x:worksheet"), read as if the
// part used the default namespace; "" otherwise. X is at the root's start.
std::string MainPrefix(const TXmlStream& X)
{
    const std::string& root = X.Name();
    const std::size_t colon = root.find(':');
    bool plain = false;
    X.Attr("xmlns", &plain);
    if (colon == std::string::npos || plain)
        return std::string();
    const std::string prefix = root.substr(0, colon);
    return X.Attr(("xmlns:" + prefix).c_str()) == MainNs ? prefix + ":" : std::string();
}

// The text of a string item (<si>, <is>) as it streams by: its text runs (<t>) and the first
// text of each rich run (<r>), without phonetic runs.
class TItemText {
public:
    bool Active() const { return FDepth > 0; }
    const std::string& Text() const { return FText; }
    void Begin(int Depth)
    {
        FDepth = Depth;
        FText.clear();
        FIn = FRun = 0;
    }
    void Stop() { FDepth = 0; }
    // Told of every event while the item is open.
    void Event(const TXmlStream& X, TXmlStream::TEvent E)
    {
        const int d = X.Depth();
        if (E == TXmlStream::xeText) {
            if (FIn == d)
                FText += X.Text();
        } else if (E == TXmlStream::xeEnd) {
            FIn = d < FIn ? 0 : FIn;
            FRun = d < FRun ? 0 : FRun;
        } else if (d == FDepth + 1) {
            FRun = X.LocalName() == "r" ? d : 0;
            FRunText = false;
            FIn = X.LocalName() == "t" ? d : 0;
        } else if (FRun && d == FRun + 1 && !FRunText && X.LocalName() == "t") {
            FRunText = true;
            FIn = d;
        }
    }
    bool WantsText(const TXmlStream& X) const { return FDepth > 0 && FIn == X.Depth(); }

private:
    int FDepth = 0, FIn = 0, FRun = 0;
    bool FRunText = false;
    std::string FText;
};

AnsiString SheetText(const std::string& Utf8)
{
    AnsiString s = CellTextFromUtf8(UnescapeOfficeText(Utf8));
    if (s.find('\n') == AnsiString::npos || (s.size() >= 2 && s[0] == '|' && s[1] == '\\'))
        return s;
    return AdjustLineBreaks(s);
}

// A number format that shows a date or a time.
bool IsDateFormat(int Id, const std::string& Code)
{
    if ((Id >= 14 && Id <= 22) || (Id >= 45 && Id <= 47))
        return true;
    if (Id < 164 && Code.empty())
        return false;
    bool quoted = false;
    for (std::size_t i = 0; i < Code.size(); ++i) {
        char c = Code[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\' || c == '_' || c == '*')
            ++i;
        else if (c == '[') {
            auto end = Code.find(']', i);
            std::string inner = Code.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            if (inner == "h" || inner == "hh" || inner == "m" || inner == "mm" || inner == "s" || inner == "ss")
                return true;
            i = end == std::string::npos ? Code.size() : end;
        } else if (c != '\0' && std::strchr("dDmMyYhHsS", c))
            return true;
    }
    return false;
}

// The decimals a number format shows when it is a plain fixed-decimals format ("0.00": 2); 0 otherwise.
int FormatDecimals(int Id, const std::string& Code)
{
    if (Id == 2)
        return 2;
    if (Code.size() < 3 || Code.compare(0, 2, "0.") != 0)
        return 0;
    return Code.find_first_not_of('0', 2) == std::string::npos ? int(Code.size() - 2) : 0;
}

// What a cell format tells about how its number reads.
struct TNumberStyle {
    bool Date = false;
    int Decimals = 0;
};

std::vector<TNumberStyle> NumberStyles(const std::string& StylesXml)
{
    std::vector<TNumberStyle> styles;
    pugi::xml_document doc;
    if (!LoadSheetXml(doc, StylesXml))
        return styles;
    std::map<int, std::string> codes;
    for (pugi::xml_node f : doc.document_element().child("numFmts").children("numFmt"))
        codes[f.attribute("numFmtId").as_int()] = f.attribute("formatCode").value();
    for (pugi::xml_node xf : doc.document_element().child("cellXfs").children("xf")) {
        int id = xf.attribute("numFmtId").as_int();
        auto code = codes.find(id);
        const std::string text = code == codes.end() ? std::string() : code->second;
        styles.push_back({IsDateFormat(id, text), FormatDecimals(id, text)});
    }
    return styles;
}

// A number as the grid shows it, with at least the decimals its format shows ("12,50").
AnsiString NumberCellText(double D, int Decimals)
{
    AnsiString s = FloatToStr(D);
    if (Decimals <= 0 || !std::isfinite(D) || s.find_first_of("Ee") != AnsiString::npos)
        return s;
    const int have = DecimalsOf(s);
    if (have == 0)
        s += FormatSettings.DecimalSeparator;
    if (have < Decimals)
        s.append(std::size_t(Decimals - have), '0');
    return s;
}

AnsiString DateText(double D)
{
    if (D < 1 && D >= 0)
        return TimeToStr(D);
    return DateTimeToStr(D);
}

double ParseNumber(const char* S)
{
    double d = 0;
    std::from_chars(S, S + std::strlen(S), d);
    return d;
}

// "2024-03-12T10:20:00" as a date.
bool ParseIsoDate(const std::string& S, double& D)
{
    int y = 0, mo = 0, da = 0, h = 0, mi = 0, se = 0;
    if (std::sscanf(S.c_str(), "%d-%d-%dT%d:%d:%d", &y, &mo, &da, &h, &mi, &se) < 3)
        return false;
    TDateTime date, time;
    if (!TryEncodeDate(Word(y), Word(mo), Word(da), date) || !TryEncodeTime(Word(h), Word(mi), Word(se), 0, time))
        return false;
    D = date + time;
    return true;
}

// What a cell of the sheet shows: of Type, with the text of its <v> (V) or of its string item
// (Item), in the cell format numbered Style. False for an error value and a shared string the
// workbook does not have.
bool SheetCellText(const std::string& Type, const std::string& V, const std::string& Item, const std::string& Style,
                   const std::vector<AnsiString>& Shared, const std::vector<TNumberStyle>& Styles, AnsiString& Text)
{
    const char* v = V.c_str();
    if (Type == "e")
        return false;
    if (Type == "s") {
        const std::size_t i = std::size_t(std::atoi(v));
        if (i >= Shared.size())
            return false;
        Text = Shared[i];
    } else if (Type == "inlineStr") {
        Text = SheetText(Item);
    } else if (Type == "str") {
        Text = SheetText(V);
    } else if (Type == "b") {
        Text = std::atoi(v) ? "True" : "False";
    } else if (Type == "d") {
        double d = 0;
        Text = ParseIsoDate(V, d) ? DateText(d) : SheetText(V);
    } else {
        const double d = ParseNumber(v);
        const long long style = XmlInteger(Style.c_str());
        const TNumberStyle number =
            style >= 0 && style < (long long)Styles.size() ? Styles[std::size_t(style)] : TNumberStyle();
        Text = number.Date ? DateText(d) : NumberCellText(d, number.Decimals);
    }
    return true;
}

// The workbook's shared strings (none when it has no such part); a part that is no XML
// gives none, so that its cells stay empty.
std::vector<AnsiString> SharedStrings(const TOfficePackage& P, const std::string& Part)
{
    std::vector<AnsiString> shared;
    if (Part.empty())
        return shared;
    try {
        TPartReader in(P, Part);
        TXmlStream x(in, SheetUnreadable);
        TItemText item;
        bool rootDone = false;   // what follows the first root is read to its end, and left out
        for (TXmlStream::TEvent e; (e = x.Next()) != TXmlStream::xeDone;) {
            if (rootDone)
                continue;
            if (item.Active())
                item.Event(x, e);
            if (e == TXmlStream::xeStart && x.Depth() == 1) {
                x.SetPrefix(MainPrefix(x));
            } else if (e == TXmlStream::xeStart && x.Depth() == 2 && x.LocalName() == "si") {
                item.Begin(2);
            } else if (e == TXmlStream::xeEnd && x.Depth() == 1 && item.Active()) {
                shared.push_back(SheetText(item.Text()));
                item.Stop();
            } else if (e == TXmlStream::xeEnd && x.Depth() == 0) {
                rootDone = true;
            }
            x.KeepText = item.WantsText(x);
        }
    } catch (const EXmlStreamError&) {
        shared.clear();
    }
    return shared;
}
}

// ---------------------------------------------------------------- loading
void TProStringGrid::LoadFromExcel(const AnsiString& FileName, const AnsiString& SheetName)
try {
    THourGlass hourGlass;
    AnsiString file = FileName;
    if (!FileExists(file) && FileExists(OfficeFileName(FileName, ".xls")))
        file = OfficeFileName(FileName, ".xls");
    TOfficePackage package;
    package.LoadFromFile(file, "a workbook");
    TWorkbook book(package);
    int index = SheetName.empty() ? book.ActiveSheet() : book.SheetIndex(SheetName);
    if (index < 0)
        throw EProGridError("Excel worksheet " + SheetName + " not found");
    const std::string sheetPart = book.SheetPart(index);
    const std::vector<AnsiString> shared = SharedStrings(package, book.Related("/sharedStrings"));
    const std::vector<TNumberStyle> numberStyles = NumberStyles(package.Part(book.Related("/styles")));

    struct TRead {
        int Col, Row;
        AnsiString Text;
    };
    std::vector<TRead> values;
    const int offCol = FExportFixedCells ? 0 : FixedCols();
    const int offRow = FExportFixedCells ? 0 : FixedRows();
    // The used range: what the sheet declares, widened to the cells it holds. A range the grid may
    // not grow to is refused as soon as it is known: from the dimension before the cells are read,
    // else at the cell that widens it too far.
    TRect range(1, 1, 1, 1);
    bool ranged = false;
    const auto widen = [&](const TRect& R) {
        range = !ranged ? R
                        : TRect(std::min(range.Left, R.Left), std::min(range.Top, R.Top),
                                std::max(range.Right, R.Right), std::max(range.Bottom, R.Bottom));
        ranged = true;
        CheckGrowth(Int64(range.Right) - range.Left + 1 + offCol, Int64(range.Bottom) - range.Top + 1 + offRow);
    };
    int implicitRow = 0, implicitCol = 0;
    // The first <dimension> and <sheetData> of the root; rows in that; cells in those; in a
    // cell its first <v> and first <is>.
    bool dimensionSeen = false, dataSeen = false, inData = false, inRow = false, inCell = false, hasV = false,
         hasItem = false;
    std::string type, v, style;
    int cellCol = 0, cellRow = 0, vDepth = 0;
    TItemText item;
    TPartReader in(package, sheetPart);
    TXmlStream x(in, SheetUnreadable);
    bool rootDone = false;   // what follows the first root is read to its end, and left out
    for (TXmlStream::TEvent e; (e = x.Next()) != TXmlStream::xeDone;) {
        if (rootDone)
            continue;
        const int d = x.Depth();
        if (item.Active())
            item.Event(x, e);
        if (e == TXmlStream::xeText) {
            if (vDepth == d)
                v += x.Text();
        } else if (e == TXmlStream::xeStart) {
            const std::string name = d == 1 ? std::string() : x.LocalName();
            if (d == 1) {
                x.SetPrefix(MainPrefix(x));
            } else if (d == 2 && name == "dimension" && !dimensionSeen) {
                dimensionSeen = true;
                if (TRect declared; ParseRangeAddress(x.Attr("ref"), declared))
                    widen(declared);
            } else if (d == 2 && name == "sheetData" && !dataSeen) {
                dataSeen = inData = true;
            } else if (d == 3 && inData && name == "row") {
                bool has = false;
                const std::string r = x.Attr("r", &has);
                implicitRow = SheetRowNumber(has ? r.c_str() : nullptr, implicitRow);
                implicitCol = 0;
                inRow = true;
            } else if (d == 4 && inRow && name == "c") {
                inCell = true;
                hasV = hasItem = false;
                v.clear();
                item = TItemText();
                SplitCellRef(x.Attr("r").c_str(), cellCol, cellRow);
                cellCol = SheetColumnNumber(cellCol, implicitCol);
                cellRow = cellRow > 0 ? cellRow : implicitRow;
                implicitCol = cellCol;
                type = x.Attr("t");
                style = x.Attr("s");
            } else if (d == 5 && inCell && name == "v" && !hasV) {
                hasV = true;
                vDepth = d;
            } else if (d == 5 && inCell && name == "is" && !hasItem) {
                hasItem = true;
                item.Begin(d);
            }
        } else if (d < vDepth) {
            vDepth = 0;
        } else if (d == 4 && item.Active()) {
            item.Stop();
        } else if (d == 3 && inCell) {
            inCell = false;
            if (!ranged || cellCol < range.Left || cellCol > range.Right || cellRow < range.Top ||
                cellRow > range.Bottom)
                widen(TRect(cellCol, cellRow, cellCol, cellRow));
            AnsiString text;
            if ((hasV || type == "inlineStr") && SheetCellText(type, v, item.Text(), style, shared, numberStyles, text))
                values.push_back({cellCol, cellRow, std::move(text)});
            // More values than any grid may grow to: the sheet repeats its cells.
            if (values.size() > std::size_t(MaxGrownCells))
                RefuseGrowth();
        } else if (d == 2 && inRow) {
            inRow = false;
        } else if (d == 1 && inData) {
            inData = false;
        } else if (d == 0) {
            rootDone = true;
        }
        x.KeepText = vDepth == x.Depth() || item.WantsText(x);
    }
    EndCellEdit();
    TGridRestorePoint restore(this);
    TGridUpdate update(this);
    SetRowCountPlain(range.Bottom - range.Top + 1 + offRow);
    // The sheet's columns fill the columns a save of this grid writes, as a CSV file's fields do:
    // a workbook the grid wrote reads back into the same cells, and a hidden column the sheet
    // does not hold keeps its cells.
    const int width = range.Right - range.Left + 1;
    const std::vector<int> cols = ImportColumns(offCol, width);
    // Emptied without a change announced: the one change comes once the sheet is in.
    for (std::size_t i = 0, j = 0; i < cols.size(); i = ++j) {
        while (j + 1 < cols.size() && cols[j + 1] == cols[j] + 1)
            ++j;
        for (int r = offRow; r < std::min(RowCount(), StoredRowCount()); ++r)
            if (RowHasObjects(r))
                ReleaseCellRecords(cols[i], r, cols[j], r);
        EmptyCellTexts(cols[i], offRow, cols[j], RowCount() - 1);
    }
    for (const TRead& v : values)
        LoadCell(cols[std::size_t(v.Col - range.Left)], v.Row - range.Top + offRow, v.Text);
    // The shown columns the sheet does not fill go, but for those before a hidden column.
    int lastHidden = AllColCount() - 1;
    while (lastHidden >= 0 && ColumnVisible(lastHidden))
        --lastHidden;
    SetColCount(std::min(ColCount(), DisplayColumn(std::max(cols[std::size_t(width) - 1] + 1, lastHidden))));
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    restore.Keep();
} catch (const std::bad_alloc&) {
    RefuseGrowth();
}

// ---------------------------------------------------------------- saving
void TProStringGrid::SaveToExcel(const AnsiString& FileName, const AnsiString& SheetName, bool NewWorkbook)
{
    THourGlass hourGlass;
    AnsiString file = OfficeFileName(FileName, ".xls");
    AnsiString name = SheetName.empty() ? AnsiString(DefaultSheetName) : SheetName;
    if (name.size() > 31 || name.find_first_of(":\\/?*[]") != AnsiString::npos || name.front() == '\'' ||
        name.back() == '\'')
        throw EProGridError("Excel worksheet name " + name + " is not allowed");

    TOfficePackage package;
    if (!SheetName.empty() && FileExists(file))
        package.LoadFromFile(file, "a workbook");
    else
        CreateWorkbookParts(package);
    TWorkbook book(package);
    int index = book.SheetIndex(name);
    std::string part = index >= 0 ? book.SheetPart(index) : book.AddSheet(name);
    pugi::xml_document sheet;
    if (!LoadSheetXml(sheet, package.Part(part)))
        throw EProGridError(SheetUnreadable);

    const std::vector<int> cols = ExportColumns(FExportFixedCells ? 0 : FixedCols(), ColCount() - 1);
    const int firstRow = FExportFixedCells ? 0 : FixedRows();
    const int rows = std::max(0, RowCount() - firstRow);
    pugi::xml_node data = sheet.document_element().child("sheetData");
    DoProgress(0, -1);
    if (!PlainWays && rows > 0 && !(data && data.first_child())) {
        // A sheet without rows gets its rows as text, formed on several threads where the grid allows.
        std::vector<std::string> refs(cols.size());
        for (std::size_t j = 0; j < cols.size(); ++j)
            refs[j] = ColumnLetters(int(j) + 1);
        std::atomic<unsigned> decimalsUsed{0};
        SetSheetDimension(sheet.document_element(), int(cols.size()), rows);
        const auto [before, after] = SheetAroundRows(sheet);
        std::string xml = before;
        FormExportRows(
            firstRow, RowCount(),
            [&](int r, bool OwnThread, std::string& out) {
                const std::size_t mark = out.size();
                char digits[16];
                const std::string_view number(digits, std::size_t(std::to_chars(digits, digits + sizeof digits,
                                                                                 r - firstRow + 1).ptr - digits));
                thread_local AnsiString s;
                unsigned used = 0;
                out += "<row r=\"";
                out += number;
                out += "\">";
                const std::size_t empty = out.size();
                for (std::size_t j = 0; j < cols.size(); ++j) {
                    if (!SaveCellText(cols[j], r, s, OwnThread)) {
                        out.resize(mark);
                        return false;
                    }
                    if (s.find('\r') != AnsiString::npos)
                        s = RemoveCRChars(s);
                    AppendSheetCell(out, refs[j], number, s, used);
                }
                if (out.size() == empty) {
                    out.resize(out.size() - 1);
                    out += "/>";
                } else {
                    out += "</row>";
                }
                decimalsUsed.fetch_or(used, std::memory_order_relaxed);
                if (OwnThread)
                    DoProgress(1, r);
                return true;
            },
            [&](std::string& Piece) {
                // Room for all rows once the first run shows how long rows are.
                if (xml.size() == before.size())
                    xml.reserve(before.size() + after.size() + Piece.size() / 8 * 9 * std::size_t(rows / 2048 + 1));
                xml += Piece;
            });
        xml += after;
        DoProgress(2, -1);
        std::set<int> decimals;
        for (int n = 1; n <= 15; ++n)
            if (decimalsUsed & (1u << n))
                decimals.insert(n);
        if (!decimals.empty())
            SetDecimalsStyles(xml, DecimalFormats(package, book.Part(), book.Related("/styles"), decimals));
        package.SetPart(part, std::move(xml));
    } else {
        std::vector<std::vector<TCellValue>> values;
        for (int r = firstRow; r < RowCount(); ++r) {
            std::vector<TCellValue> row;
            row.reserve(cols.size());
            for (int c : cols) {
                AnsiString s;
                SaveCell(c, r, s);
                row.push_back(CellValue(RemoveCRChars(s)));
            }
            values.push_back(std::move(row));
            DoProgress(1, r);
        }
        DoProgress(2, -1);
        std::set<int> decimals;
        for (const auto& row : values)
            for (const TCellValue& v : row)
                if (v.Decimals > 0)
                    decimals.insert(v.Decimals);
        WriteSheetCells(sheet, values, int(cols.size()),
                        DecimalFormats(package, book.Part(), book.Related("/styles"), decimals));
        package.SetPart(part, SaveOfficeXml(sheet));
    }
    // Formulas of the cells written over are gone: the workbook's calculation chain would name them.
    std::string chain = book.Related("/calcChain");
    if (!chain.empty())
        package.DeletePart(chain);
    package.SaveToFile(file);
}
