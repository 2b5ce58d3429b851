// TProStringGrid: the HTML (optionally XHTML 1.0 Strict) table document, with
// cell styles as CSS classes, merged cells as spans, links for addresses and
// cell images written as JPEG files into an "images" folder beside it. The
// file is written in UTF-8; as XHTML, line breaks, images and "nowrap" are
// written in their XML forms.
#include <cctype>
#include <cstring>
#include <map>
#include <memory>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ShellApi.h"

namespace {
// A new file can be made where FileName lies, and FileName itself may be written.
bool FileCanBeWritten(const AnsiString& FileName)
{
    try {
        DeleteFile(SaveBytesToScratchFile(ExtractFilePath(FileName), ".", ".tmp", AnsiString()));
    } catch (const Exception&) {
        return false;
    }
    return MayReplaceOs(ToOsPath(FileName));
}

AnsiString HexColor(TColor C)
{
    TColor rgb = ColorToRGB(C);
    return Format("%.2X%.2X%.2X", {int(GetRValue(rgb)), int(GetGValue(rgb)), int(GetBValue(rgb))});
}

// A Unicode cell as Windows-1250 text with character references for what has no byte.
AnsiString HtmlCellText(const AnsiString& S)
{
    if (S.size() < 2 || S[0] != '|' || S[1] != '\\')
        return S;
    AnsiString r;
    for (char16_t u : DecodeUnicodeCell(S)) {
        unsigned char b = UnicodeToWin1250(u);
        if (b == '?' && u != u'?')
            r += "&#" + IntToStr(int(u)) + ";";
        else
            r += char(b);
    }
    return r;
}

// "&" that does not start a character reference becomes "&amp;"; quotes and angle brackets are escaped.
AnsiString EscapeAttribute(const AnsiString& S)
{
    AnsiString r;
    for (std::size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        if (c == '&') {
            std::size_t j = i + 1;
            if (j < S.size() && S[j] == '#')
                ++j;
            std::size_t k = j;
            while (k < S.size() && std::isalnum(static_cast<unsigned char>(S[k])))
                ++k;
            r += (k > j && k < S.size() && S[k] == ';') ? "&" : "&amp;";
        } else if (c == '"') {
            r += "&quot;";
        } else if (c == '<') {
            r += "&lt;";
        } else if (c == '>') {
            r += "&gt;";
        } else {
            r += c;
        }
    }
    return r;
}

// "&", "<" and ">" as character references; the character references a Unicode cell became stay.
AnsiString EscapeXmlText(const AnsiString& S)
{
    if (S.find_first_of("&<>") == AnsiString::npos)
        return S;
    AnsiString r;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const char c = S[i];
        if (c == '&' && S.compare(i, 2, "&#") == 0) {
            std::size_t k = i + 2;
            while (k < S.size() && std::isdigit(static_cast<unsigned char>(S[k])))
                ++k;
            if (k > i + 2 && k < S.size() && S[k] == ';') {
                r.append(S, i, k + 1 - i);
                i = k;
                continue;
            }
        }
        r += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : AnsiString(1, c);
    }
    return r;
}

// Text holding Marker (and no closing tag) becomes a link to itself.
AnsiString MakeLink(const AnsiString& Text, const char* Marker, bool Full)
{
    auto p = Text.find(Marker);
    if (p == AnsiString::npos || Text.find("</") != AnsiString::npos)
        return Text;
    AnsiString shown = Full ? Text : Text.substr(p + std::strlen(Marker), 255);
    return "<a href=\"" + EscapeAttribute(Text) + "\">" + shown + "</a>";
}

AnsiString ReadTextFileLines(const AnsiString& FileName)
{
    AnsiString r;
    if (FileName.empty() || !FileExists(FileName))
        return r;
    try {
        TStringList lines;
        lines.LoadFromFile(FileName);
        r = lines.Text();
    } catch (const Exception&) {
    }
    return r;
}

// The picture a cell shows as an image: a bitmap, an image of the grid's list, a picture.
TGraphic* CellPicture(TProStringGrid* Grid, TCellGraphic* G, std::unique_ptr<TBitmap>& Scratch)
{
    switch (G->CellType) {
    case ctBitmap:
    case ctPicture:
    case ctInterface:
        return G->PictureGraphic();
    case ctImageList:
        if (Grid->GridImages() && G->CellIndex >= 0 && G->CellIndex < Grid->GridImages()->Count()) {
            Scratch = std::make_unique<TBitmap>();
            Grid->GridImages()->GetBitmap(G->CellIndex, Scratch.get());
            return Scratch.get();
        }
        return nullptr;
    default: return nullptr;
    }
}
}

// ---------------------------------------------------------------- the file
void TProStringGrid::SaveToHtmlFile(const AnsiString& FileName, bool OpenAfter)
{
    WriteHtmlFile(FileName, false);
    if (OpenAfter) {
        ShellRegisterWrittenFile(FileName);
        ShellExecute(Application ? Application->Handle() : 0, "open",
                     FileName, "", "", SW_SHOWNORMAL);
    }
}

void TProStringGrid::WriteHtmlFile(const AnsiString& FileName, bool Append)
{
    THourGlass hourGlass;
    // The file is made sure of before the pictures are written beside it.
    if (!FileCanBeWritten(FileName))
        throw EProGridError("Cannot Create file " + FileName);
    AnsiString doc = ReadTextFileLines(FHTMLSettings->HeaderFile());
    doc += BuildHtmlTable(ExtractFilePath(FileName));
    doc += ReadTextFileLines(FHTMLSettings->FooterFile());
    std::string bytes;
    if (Append && FileExists(FileName)) {
        try {
            bytes = LoadBytesFromFile(FileName);
        } catch (const Exception&) {
        }
    }
    bytes += AnsiToUtf8(doc);
    try {
        SaveBytesToFile(FileName, bytes);
    } catch (const Exception&) {
        throw EProGridError("Cannot Create file " + FileName);
    }
}

// ---------------------------------------------------------------- the document
AnsiString TProStringGrid::BuildHtmlTable(const AnsiString& ImageFolder)
{
    THTMLSettings* hs = FHTMLSettings.get();
    const bool xhtml = hs->XHTML();
    const AnsiString lineBreak = xhtml ? "<br/>" : "<br>";
    const bool header = FixedRows() > 0 && FExportFixedCells;
    std::vector<int> cols = ExportColumns(FExportFixedCells ? 0 : FixedCols(), ColCount() - 1);

    std::map<AnsiString, int> styleIndex;
    std::vector<AnsiString> styles;
    AnsiString table;
    int imageNumber = 0;
    auto brush = std::make_unique<TBrush>();
    auto font = std::make_unique<TFont>();

    auto row = [&](int r, bool isHeader) {
        table += "<tr>\r\n";
        for (std::size_t i = 0; i < cols.size(); ++i) {
            // A merged region is one cell over its columns written, its base cell's.
            const int span = ExportedSpan(cols, i, r);
            if (span == 0)
                continue;
            const int c = GetBaseCell(cols[i], r).X;
            TGridDrawState state = 0;
            TColor colorTo, mirror, mirrorTo;
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            bool wrap = true;
            TCellGradientDirection direction;
            GetCellStyle(c, r, state, false, false, false, brush.get(), colorTo, mirror, mirrorTo, font.get(), ha,
                         va, wrap, direction);
            AnsiString css = CellCssText(font.get(), isHeader ? FixedColor() : brush->Color(), ha, va);
            auto found = styleIndex.find(css);
            int style = found != styleIndex.end() ? found->second : int(styles.size());
            if (found == styleIndex.end()) {
                styleIndex[css] = style;
                styles.push_back(css);
            }
            table += "<td class=\"c" + IntToStr(style) + "\"";
            if (span > 1)
                table += " colspan=\"" + IntToStr(span) + "\"";
            if (const int rows = CellSpan(c, r).Y; rows > 0)
                table += " rowspan=\"" + IntToStr(rows + 1) + "\"";
            if (!wrap)
                table += xhtml ? " nowrap=\"nowrap\"" : " nowrap";
            if (int(i) < hs->ColWidths()->Count())
                table += " width=" + IntToStr(hs->ColWidths()->GetItem(int(i)));
            table += ">";

            AnsiString s;
            SaveCell(c, r, s);
            const bool markup = ClassifyCellText(s, FP.EnableHTML) == 1;
            s = HtmlCellText(s);
            const bool encode = !isHeader && hs->ConvertSpecialChars();
            if (encode)
                s = HtmlEncodeEntities(s);
            else if (xhtml && !markup)
                s = EscapeXmlText(s);   // as XML a plain text's "&" and "<" must not stand bare
            if (!isHeader && hs->NonBreakingText())
                s = SpacesToNbsp(s);
            s = StringReplace(StringReplace(s, "\r\n", lineBreak, rfReplaceAll), "\r", lineBreak, rfReplaceAll);
            s = LinkCellText(s);
            if (isHeader ? s.empty() : Trim(s).empty())
                s = lineBreak;
            table += s;

            TCellGraphic* g = GetCellGraphic(c, r);
            std::unique_ptr<TBitmap> scratch;
            if (TGraphic* picture = g ? CellPicture(this, g, scratch) : nullptr) {
                AnsiString file;
                SaveCellImages(picture, ++imageNumber, ImageFolder, file);
                table += "<img src= \"file://" + EscapeAttribute(FromOsPath(ToOsPath(file))) + (xhtml ? "\"/>" : "\">");
            }
            table += "</td>\r\n";
        }
        table += "</tr>\r\n";
    };

    table += "<table border=\"" + IntToStr(hs->BorderSize()) + "\" cellspacing=\"" + IntToStr(hs->CellSpacing()) +
             "\" cellpadding=\"" + IntToStr(hs->CellPadding()) + "\" ";
    if (!hs->TableStyle().empty())
        table += " " + hs->TableStyle() + " ";
    table += "width=\"" + IntToStr(hs->Width()) + "%\">\r\n";
    if (header)
        row(0, true);
    DoProgress(0, -1);
    for (int r = header ? 1 : (FExportFixedCells ? 0 : FixedRows()); r < RowCount(); ++r) {
        row(r, false);
        DoProgress(1, r);
    }
    DoProgress(2, -1);
    table += "</table>\r\n";
    if (!hs->SuffixTag().empty())
        table += hs->SuffixTag() + "\r\n";
    if (xhtml)
        table += "</html>\r\n";

    AnsiString doc;
    if (xhtml) {
        doc += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
        doc += "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\r\n";
        doc += "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n";
        doc += "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n";
    }
    if (!hs->PrefixTag().empty())
        doc += hs->PrefixTag() + "\r\n";
    doc += "<style>\r\n";
    for (std::size_t i = 0; i < styles.size(); ++i)
        doc += ".c" + IntToStr(int(i)) + " {" + styles[i] + "}\r\n";
    doc += "</style>\r\n";
    return doc + table;
}

AnsiString TProStringGrid::CellCssText(TFont* AFont, TColor AColor, TAlignment AAlignment, TVAlignment AVAlignment)
{
    THTMLSettings* hs = FHTMLSettings.get();
    std::vector<AnsiString> decl;
    if (AColor != clNone && hs->SaveColor()) {
        decl.push_back("background-color: #" + HexColor(AColor));
        decl.push_back("color: #" + HexColor(AFont->Color()));
    }
    if (hs->SaveFonts()) {
        decl.push_back("font-size:" + IntToStr(AFont->Size()) + "pt");
        if (AFont->Style() & fsItalic)
            decl.push_back("font-style: italic");
        if (AFont->Style() & fsBold)
            decl.push_back("font-weight: bold");
        decl.push_back("font-family: " + AFont->Name());
    }
    if (AAlignment == taRightJustify)
        decl.push_back("text-align: right");
    else if (AAlignment == taCenter)
        decl.push_back("text-align: center");
    decl.push_back(AVAlignment == vtaCenter   ? "vertical-align: middle"
                   : AVAlignment == vtaBottom ? "vertical-align: bottom"
                                              : "vertical-align: top");
    AnsiString r;
    for (std::size_t i = 0; i < decl.size(); ++i)
        r += (i ? ";" : "") + decl[i];
    return r;
}

AnsiString TProStringGrid::LinkCellText(const AnsiString& Text)
{
    if (!FP.URLShow)
        return Text;
    return MakeLink(MakeLink(Text, "://", FP.URLFull), "mailto:", FP.URLFull);
}

void TProStringGrid::SaveCellImages(TGraphic* Graphic, int Number, const AnsiString& ImageFolder,
                                    AnsiString& FileName)
{
    AnsiString folder = ImageFolder + "images";
    if (!DirectoryExists(folder) && !ForceDirectories(folder))
        throw Exception("Cannot create " + folder);
    FileName = IncludeTrailingPathDelimiter(folder) + "img" + IntToStr(Number) + ".jpg";
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Graphic)) {
        SaveBytesToFile(FileName, jpeg->SaveToData());
        return;
    }
    TBitmap bitmap;
    bitmap.SetSize(std::max(1, Graphic->Width()), std::max(1, Graphic->Height()));
    Graphic->Draw(bitmap.Canvas(), TRect(0, 0, Graphic->Width(), Graphic->Height()));
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    SaveBytesToFile(FileName, jpeg.SaveToData());
}
