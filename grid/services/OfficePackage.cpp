// The Office Open XML package on libzip, kept in memory: a copy of the file's
// bytes is the archive's source, replaced parts are added over it, and the
// archive is written back into memory and saved through the layer's file routine.
#include "grid/services/OfficePackage.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <pugixml.hpp>
#include <utility>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/services/OfficeXml_p.h"
#include "platform/core/Classes.h"

struct TOfficePackage::TImpl {
    zip_source_t* Src = nullptr;
    zip_t* Zip = nullptr;
    std::vector<std::pair<std::string, std::string>> Changed;   // replaced or added parts, in order
    std::vector<std::string> Deleted;

    // The archive reads its own copy of Bytes.
    void Open(const std::string& Bytes, bool Create, const AnsiString& What)
    {
        zip_error_t error;
        zip_error_init(&error);
        // The archive owns its copy of the bytes: libzip may reuse and free that memory while it writes.
        // An empty package gets no buffer at all: libzip skips an empty fragment and would never free it.
        void* data = Bytes.empty() ? nullptr : std::malloc(Bytes.size());
        if (data)
            std::memcpy(data, Bytes.data(), Bytes.size());
        Src = (data || Bytes.empty()) ? zip_source_buffer_create(data, Bytes.size(), data ? 1 : 0, &error) : nullptr;
        if (!Src)
            std::free(data);
        if (Src)
            Zip = zip_open_from_source(Src, Create ? ZIP_CREATE | ZIP_TRUNCATE : ZIP_CHECKCONS, &error);
        zip_error_fini(&error);
        if (!Zip) {
            if (Src)
                zip_source_free(Src);
            Src = nullptr;
            throw EProGridError("The file " + What + " is not an Office Open XML file");
        }
        zip_source_keep(Src);
    }

    void Close()
    {
        if (Zip)
            zip_discard(Zip);
        Zip = nullptr;
        if (Src)
            zip_source_free(Src);
        Src = nullptr;
    }

    const std::string* ChangedPart(const std::string& Name) const
    {
        for (const auto& p : Changed)
            if (p.first == Name)
                return &p.second;
        return nullptr;
    }

    bool IsDeleted(const std::string& Name) const
    {
        for (const auto& d : Deleted)
            if (d == Name)
                return true;
        return false;
    }
};

TOfficePackage::TOfficePackage() : F(std::make_unique<TImpl>())
{
    F->Open(std::string(), true, "");
}

TOfficePackage::~TOfficePackage()
{
    F->Close();
}

void TOfficePackage::LoadFromFile(const AnsiString& FileName, const AnsiString& Kind)
{
    std::string bytes = LoadBytesFromFile(FileName);
    if (bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0)
        throw EProGridError("The file " + FileName + " is " + Kind +
                            " of the old binary format, which is not read (save it in the Office Open XML format)");
    F->Close();
    F->Changed.clear();
    F->Deleted.clear();
    F->Open(bytes, false, FileName);
}

bool TOfficePackage::HasPart(const std::string& Name) const
{
    if (F->IsDeleted(Name))
        return false;
    return F->ChangedPart(Name) || zip_name_locate(F->Zip, Name.c_str(), ZIP_FL_ENC_GUESS) >= 0;
}

std::string TOfficePackage::Part(const std::string& Name) const
{
    TPartReader reader(*this, Name);
    std::string data;
    for (;;) {
        const std::size_t at = data.size();
        data.resize(at + (std::size_t(1) << 16));
        const std::size_t got = reader.Read(data.data() + at, data.size() - at);
        data.resize(at + got);
        if (got == 0)
            return data;
        if (data.size() > MaxWholePartBytes)
            throw EProGridError("The part " + Name + " cannot be read");
    }
}

TPartReader::TPartReader(const TOfficePackage& Package, const std::string& Name) : FName(Name)
{
    if (Package.F->IsDeleted(Name))
        return;
    if ((FChanged = Package.F->ChangedPart(Name)))
        return;
    zip_int64_t index = zip_name_locate(Package.F->Zip, Name.c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0)
        return;
    FFile = zip_fopen_index(Package.F->Zip, zip_uint64_t(index), 0);
    if (!FFile)
        throw EProGridError("The part " + Name + " cannot be read");
}

TPartReader::~TPartReader()
{
    if (FFile)
        zip_fclose(FFile);
}

std::size_t TPartReader::Read(char* Buffer, std::size_t Size)
{
    if (FChanged) {
        const std::size_t n = std::min(Size, FChanged->size() - FAt);
        std::memcpy(Buffer, FChanged->data() + FAt, n);
        FAt += n;
        return n;
    }
    if (!FFile || Size == 0)
        return 0;
    const zip_int64_t got = zip_fread(FFile, Buffer, Size);
    if (got < 0)
        throw EProGridError("The part " + FName + " cannot be read");
    return std::size_t(got);
}

void TOfficePackage::SetPart(const std::string& Name, std::string&& Data)
{
    std::erase(F->Deleted, Name);
    for (auto& p : F->Changed)
        if (p.first == Name) {
            p.second = std::move(Data);
            return;
        }
    F->Changed.emplace_back(Name, std::move(Data));
}

void TOfficePackage::DeletePart(const std::string& Name)
{
    std::erase_if(F->Changed, [&](const auto& p) { return p.first == Name; });
    F->Deleted.push_back(Name);
}

void TOfficePackage::SaveToFile(const AnsiString& FileName)
{
    zip_t* zip = F->Zip;
    for (const std::string& name : F->Deleted) {
        zip_int64_t index = zip_name_locate(zip, name.c_str(), ZIP_FL_ENC_GUESS);
        if (index >= 0)
            zip_delete(zip, zip_uint64_t(index));
    }
    for (const auto& [name, data] : F->Changed) {
        zip_source_t* s = zip_source_buffer(zip, data.data(), data.size(), 0);
        zip_int64_t index = s ? zip_file_add(zip, name.c_str(), s, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (s)
                zip_source_free(s);
            throw EProGridError("The part " + name + " cannot be written");
        }
        // Large sheets compress much faster at the lowest level, for a little more size.
        zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(zip) < 0)
        throw EProGridError(AnsiString("The package cannot be written: ") + zip_strerror(zip));
    F->Zip = nullptr;
    std::string out;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(F->Src, &st) == 0 && zip_source_open(F->Src) == 0) {
        out.resize(std::size_t(st.size));
        zip_int64_t got = out.empty() ? 0 : zip_source_read(F->Src, out.data(), out.size());
        zip_source_close(F->Src);
        if (got != zip_int64_t(out.size()))
            out.clear();
    }
    if (out.empty())
        throw EProGridError("The package cannot be written");
    SaveBytesToFile(FileName, out);
}

std::string TOfficePackage::RelationshipTarget(const std::string& SourcePart, const std::string& TypeSuffix) const
{
    pugi::xml_document rels;
    std::string data = Part(RelationshipsPartName(SourcePart));
    if (!rels.load_buffer(data.data(), data.size()))
        return std::string();
    for (pugi::xml_node r : rels.document_element().children("Relationship")) {
        std::string type = r.attribute("Type").value();
        if (type.size() >= TypeSuffix.size() && type.compare(type.size() - TypeSuffix.size(), TypeSuffix.size(), TypeSuffix) == 0 &&
            std::string(r.attribute("TargetMode").value()) != "External")
            return ResolvePartName(SourcePart, r.attribute("Target").value());
    }
    return std::string();
}

// ---------------------------------------------------------------- names
std::string RelationshipsPartName(const std::string& SourcePart)
{
    auto slash = SourcePart.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : SourcePart.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? SourcePart : SourcePart.substr(slash + 1);
    return folder + "_rels/" + name + ".rels";
}

std::string ResolvePartName(const std::string& SourcePart, const std::string& Target)
{
    std::string path;
    if (!Target.empty() && Target[0] == '/') {
        path = Target.substr(1);
    } else {
        auto slash = SourcePart.rfind('/');
        path = (slash == std::string::npos ? std::string() : SourcePart.substr(0, slash + 1)) + Target;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string piece = path.substr(start, end - start);
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = end + 1;
    }
    std::string r;
    for (const auto& p : parts)
        r += (r.empty() ? "" : "/") + p;
    return r;
}

// ---------------------------------------------------------------- addresses
AnsiString ColumnLetters(int Col)
{
    AnsiString r;
    for (; Col > 0; Col = (Col - 1) / 26)
        r.insert(r.begin(), char('A' + (Col - 1) % 26));
    return r;
}

int ColumnNumber(const AnsiString& Letters)
{
    int n = 0;
    for (char c : Letters) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
        if (c < 'A' || c > 'Z' || n > MaxSheetColumns)
            return 0;
        n = n * 26 + (c - 'A' + 1);
    }
    return n <= MaxSheetColumns ? n : 0;
}

namespace {
// "$B$2" -> column 2, row 2; a missing part gives 0.
bool ParseCellAddress(const AnsiString& S, int& Col, int& Row)
{
    AnsiString letters, digits;
    for (char c : S) {
        if (c == '$')
            continue;
        if (std::isalpha(static_cast<unsigned char>(c)) && digits.empty())
            letters += c;
        else if (std::isdigit(static_cast<unsigned char>(c)) && digits.size() < 8)
            digits += c;
        else
            return false;
    }
    Col = letters.empty() ? 0 : ColumnNumber(letters);
    Row = digits.empty() ? 0 : std::stoi(digits);
    return (letters.empty() || Col > 0) && (!letters.empty() || !digits.empty()) && Row <= MaxSheetRows;
}
}

bool ParseRangeAddress(const AnsiString& Address, TRect& Range)
{
    auto colon = Address.find(':');
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    if (!ParseCellAddress(Address.substr(0, colon), c1, r1))
        return false;
    if (colon == AnsiString::npos) {
        c2 = c1;
        r2 = r1;
    } else if (!ParseCellAddress(Address.substr(colon + 1), c2, r2)) {
        return false;
    }
    if (r1 <= 0 || r2 <= 0)
        return false;   // whole columns are not a used range
    if (c1 == 0 && c2 == 0) {
        c1 = 1;
        c2 = 256;
    }
    if (c1 <= 0 || c2 <= 0)
        return false;
    Range = TRect(std::min(c1, c2), std::min(r1, r2), std::max(c1, c2), std::max(r1, r2));
    return true;
}

// ---------------------------------------------------------------- text
namespace {
bool IsHex(char C)
{
    return std::isxdigit(static_cast<unsigned char>(C)) != 0;
}

bool IsEscapeAt(const std::string& S, std::size_t I)
{
    return I + 7 <= S.size() && S[I] == '_' && S[I + 1] == 'x' && IsHex(S[I + 2]) && IsHex(S[I + 3]) &&
           IsHex(S[I + 4]) && IsHex(S[I + 5]) && S[I + 6] == '_';
}

const char HexDigits[] = "0123456789ABCDEF";
}

std::string EscapeOfficeText(const std::string& Utf8)
{
    std::string r;
    r.reserve(Utf8.size());
    for (std::size_t i = 0; i < Utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(Utf8[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || IsEscapeAt(Utf8, i)) {
            unsigned v = c < 0x20 ? c : '_';
            r += "_x00";
            r += HexDigits[v >> 4];
            r += HexDigits[v & 15];
            r += '_';   // for "_" itself: _x005F_, and the rest of the look-alike follows as it is
        } else {
            r += char(c);
        }
    }
    return r;
}

std::string UnescapeOfficeText(const std::string& Utf8)
{
    if (Utf8.find("_x") == std::string::npos)
        return Utf8;
    std::string r;
    for (std::size_t i = 0; i < Utf8.size(); ++i) {
        if (IsEscapeAt(Utf8, i)) {
            AppendUtf8(r, char16_t(std::stoul(Utf8.substr(i + 2, 4), nullptr, 16)));
            i += 6;
            continue;
        }
        r += Utf8[i];
    }
    return r;
}

// ---------------------------------------------------------------- XML parts

namespace {
struct TStringWriter : pugi::xml_writer {
    std::string Data;
    void write(const void* Bytes, size_t Size) override { Data.append(static_cast<const char*>(Bytes), Size); }
};

const char* const ContentTypesPart = "[Content_Types].xml";
}

const char* const OfficeXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
const char* const OfficeRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

void StartOfficePackage(TOfficePackage& Package, const std::string& MainPart, const char* MainContentType,
                        const std::string& MainXml)
{
    const std::string decl = OfficeXmlDeclaration;
    Package.SetPart(ContentTypesPart,
                    decl + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                           "<Default Extension=\"rels\" "
                           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                           "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    SetPartContentType(Package, MainPart, MainContentType);
    AddRelationship(Package, "", (std::string(OfficeRelationships) + "/officeDocument").c_str(), MainPart);
    Package.SetPart(MainPart, decl + MainXml);
}

bool LoadOfficeXml(pugi::xml_document& Doc, const std::string& Data)
{
    return Doc.load_buffer(Data.data(), Data.size(),
                           pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single) &&
           Doc.document_element();
}

std::string SaveOfficeXml(const pugi::xml_document& Doc)
{
    TStringWriter w;
    Doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.Data;
}

void SetPartContentType(TOfficePackage& Package, const std::string& PartName, const char* ContentType)
{
    pugi::xml_document types;
    if (!LoadOfficeXml(types, Package.Part(ContentTypesPart)))
        throw EProGridError("The package has no content types");
    pugi::xml_node root = types.document_element();
    std::string name = "/" + PartName;
    pugi::xml_node o = root.find_child_by_attribute("Override", "PartName", name.c_str());
    if (!o) {
        o = root.append_child("Override");
        o.append_attribute("PartName") = name.c_str();
        o.append_attribute("ContentType");
    }
    o.attribute("ContentType") = ContentType;
    Package.SetPart(ContentTypesPart, SaveOfficeXml(types));
}

std::string PartContentType(const TOfficePackage& Package, const std::string& PartName)
{
    pugi::xml_document types;
    if (!LoadOfficeXml(types, Package.Part(ContentTypesPart)))
        return std::string();
    std::string name = "/" + PartName;
    return types.document_element().find_child_by_attribute("Override", "PartName", name.c_str())
        .attribute("ContentType").value();
}

std::string AddRelationship(TOfficePackage& Package, const std::string& SourcePart, const char* Type,
                            const std::string& Target)
{
    std::string relsName = RelationshipsPartName(SourcePart);
    pugi::xml_document rels;
    if (!LoadOfficeXml(rels, Package.Part(relsName)))
        rels.load_string((std::string(OfficeXmlDeclaration) +
                          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>")
                             .c_str(),
                         pugi::parse_default | pugi::parse_declaration);
    pugi::xml_node root = rels.document_element();
    int n = 1;
    std::string id;
    do
        id = "rId" + std::to_string(n++);
    while (root.find_child_by_attribute("Relationship", "Id", id.c_str()));
    pugi::xml_node r = root.append_child("Relationship");
    r.append_attribute("Id") = id.c_str();
    r.append_attribute("Type") = Type;
    r.append_attribute("Target") = Target.c_str();
    Package.SetPart(relsName, SaveOfficeXml(rels));
    return id;
}
