// TProStringGrid: the cell stream, the content of the grid's own clipboard
// format "TProStringGrid Cells". It carries a rectangle of cells with their
// texts, cell properties and the cell graphics that own their content, so
// that two grids (also in two running copies of the program) exchange cells
// with their formats.
//
// Layout (all numbers little-endian): the magic "VGCS" and a 16-bit version,
// then records, each a tag byte, a 32-bit payload length and the payload:
//   'H' header: column and row count (32-bit), whole-grid flag, the source's
//       process id and window id, the column widths and the row heights
//   'C' cell: column, row (32-bit, display positions), text, properties flag
//   'P' properties: every field of the cell's TCellProperties, graphic flag
//   'G' graphic: every field of the TCellGraphic, then by its type one of
//   'B' bitmap (PNG), 'I' icon (ICO), 'X' picture (PNG), 'F' file picture
//       (name, width, height) or 'S' strings (radio captions; image indices
//       as one comma text)
// One header, then a cell record for every cell of the rectangle, row by row.
// Reading checks the whole stream before it changes anything.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "grid/ProGrid.h"
#include "grid/services/GridFiles_p.h"
#include "platform/gui/Clipbrd.h"

namespace {
constexpr char Magic[4] = {'V', 'G', 'C', 'S'};
constexpr std::uint16_t StreamVersion = 1;
// The smallest cell record: tag, length, column, row, text length, flag.
constexpr std::uint64_t MinCellRecord = 1 + 4 + 4 + 4 + 4 + 1;
// Widths and heights a stream may set.
constexpr int MaxExtent = 100000;
// Positions in a cell's text (the marked error).
constexpr int MaxTextPos = 1 << 24;

const char* const DamagedStream = "Invalid cell stream";

[[noreturn]] void Damaged()
{
    throw EProGridError(DamagedStream);
}

// ---------------------------------------------------------------- writing
class TRecordWriter {
public:
    void U8(std::uint8_t V) { FBuf += char(V); }
    void U16(std::uint16_t V) { Raw(V, 2); }
    void U32(std::uint32_t V) { Raw(V, 4); }
    void I32(std::int32_t V) { Raw(std::uint32_t(V), 4); }
    void U64(std::uint64_t V) { Raw(V, 8); }
    void Bool(bool V) { U8(V ? 1 : 0); }
    void Double(double V)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &V, 8);
        U64(bits);
    }
    void Str(const std::string& S)
    {
        U32(std::uint32_t(S.size()));
        FBuf += S;
    }
    // A record of this tag with the payload written so far by Payload.
    void Record(char Tag, const TRecordWriter& Payload)
    {
        U8(std::uint8_t(Tag));
        U32(std::uint32_t(Payload.FBuf.size()));
        FBuf += Payload.FBuf;
    }
    void Bytes(const char* P, std::size_t N) { FBuf.append(P, N); }
    const std::string& Data() const { return FBuf; }

private:
    void Raw(std::uint64_t V, int N)
    {
        for (int i = 0; i < N; ++i)
            FBuf += char((V >> (8 * i)) & 0xFF);
    }
    std::string FBuf;
};

// ---------------------------------------------------------------- reading
// A cursor over bytes that never reads past its end: every short read is a damaged stream.
class TRecordReader {
public:
    TRecordReader(const char* P, std::size_t N) : FP(P), FEnd(P + N) {}
    std::size_t Left() const { return std::size_t(FEnd - FP); }
    bool AtEnd() const { return FP == FEnd; }
    std::uint8_t U8() { return std::uint8_t(Take(1)[0]); }
    std::uint16_t U16() { return std::uint16_t(Raw(2)); }
    std::uint32_t U32() { return std::uint32_t(Raw(4)); }
    std::int32_t I32() { return std::int32_t(std::uint32_t(Raw(4))); }
    std::uint64_t U64() { return Raw(8); }
    bool Bool()
    {
        std::uint8_t v = U8();
        if (v > 1)
            Damaged();
        return v == 1;
    }
    // A finite number.
    double Double()
    {
        std::uint64_t bits = U64();
        double v = 0;
        std::memcpy(&v, &bits, 8);
        if (!std::isfinite(v))
            Damaged();
        return v;
    }
    std::string Str()
    {
        std::uint32_t n = U32();
        const char* p = Take(n);
        return std::string(p, n);
    }
    // An int32 within Lo..Hi.
    int Int(int Lo, int Hi)
    {
        std::int32_t v = I32();
        if (v < Lo || v > Hi)
            Damaged();
        return v;
    }
    // The next record: its tag and a reader over its payload.
    TRecordReader Record(char& Tag)
    {
        Tag = char(U8());
        std::uint32_t n = U32();
        const char* p = Take(n);
        return TRecordReader(p, n);
    }
    // The payload was read to its end.
    void Finish() const
    {
        if (!AtEnd())
            Damaged();
    }

private:
    const char* Take(std::size_t N)
    {
        if (N > Left())
            Damaged();
        const char* p = FP;
        FP += N;
        return p;
    }
    std::uint64_t Raw(int N)
    {
        const char* p = Take(std::size_t(N));
        std::uint64_t v = 0;
        for (int i = 0; i < N; ++i)
            v |= std::uint64_t(std::uint8_t(p[i])) << (8 * i);
        return v;
    }
    const char* FP;
    const char* FEnd;
};

// ---------------------------------------------------------------- cell properties
struct TPropFields {
    int BrushStyle = bsSolid;
    TColor BrushColor = clNone, BrushColorTo = clNone, FontColor = clNone, BorderColor = 0;
    int FontSize = 0;
    unsigned FontStyle = 0;
    int SpanX = -1, SpanY = -1, BorderWidth = 0;
    int Alignment = taLeftJustify, VAlignment = vtaTop;
    bool WordWrap = true, IsBaseCell = true, ReadOnly = false;
    int NodeLevel = 0, Editor = edNormal, GradientDirection = GradientVertical, CalcType = 0;
    std::string FontName;
};

TPropFields PropFieldsOf(const TCellProperties* P)
{
    TPropFields f;
    f.BrushStyle = P->BrushStyle();
    f.BrushColor = P->BrushColor();
    f.BrushColorTo = P->BrushColorTo();
    f.FontColor = P->FontColor();
    f.BorderColor = P->BorderColor();
    f.FontSize = P->FontSize();
    f.FontStyle = P->FontStyle();
    f.SpanX = P->CellSpanX();
    f.SpanY = P->CellSpanY();
    f.BorderWidth = P->BorderWidth();
    f.Alignment = P->Alignment();
    f.VAlignment = P->VAlignment();
    f.WordWrap = P->WordWrap();
    f.IsBaseCell = P->IsBaseCell();
    f.ReadOnly = P->ReadOnly();
    f.NodeLevel = P->NodeLevel();
    f.Editor = P->Editor();
    f.GradientDirection = P->GradientDirection();
    f.CalcType = P->CalcType();
    f.FontName = P->FontName();
    return f;
}

void WriteProps(TRecordWriter& W, const TPropFields& F)
{
    W.I32(F.BrushStyle);
    W.I32(F.BrushColor);
    W.I32(F.BrushColorTo);
    W.I32(F.FontColor);
    W.I32(F.BorderColor);
    W.I32(F.FontSize);
    W.U32(F.FontStyle);
    W.I32(F.SpanX);
    W.I32(F.SpanY);
    W.I32(F.BorderWidth);
    W.I32(F.Alignment);
    W.I32(F.VAlignment);
    W.Bool(F.WordWrap);
    W.Bool(F.IsBaseCell);
    W.Bool(F.ReadOnly);
    W.I32(F.NodeLevel);
    W.I32(F.Editor);
    W.I32(F.GradientDirection);
    W.I32(F.CalcType);
    W.Str(F.FontName);
}

constexpr int IntMaxV = std::numeric_limits<int>::max();
constexpr int IntMinV = std::numeric_limits<int>::min();

TPropFields ReadProps(TRecordReader& R)
{
    TPropFields f;
    f.BrushStyle = R.Int(bsSolid, bsDiagCross);
    f.BrushColor = R.I32();
    f.BrushColorTo = R.I32();
    f.FontColor = R.I32();
    f.BorderColor = R.I32();
    f.FontSize = R.Int(-1000, 1000);
    f.FontStyle = R.U32();
    if (f.FontStyle & ~unsigned(fsBold | fsItalic | fsUnderline | fsStrikeOut))
        Damaged();
    f.SpanX = R.Int(-1, IntMaxV - 1);
    f.SpanY = R.Int(-1, IntMaxV - 1);
    f.BorderWidth = R.Int(0, 100);
    f.Alignment = R.Int(taLeftJustify, taCenter);
    f.VAlignment = R.Int(vtaTop, vtaBottom);
    f.WordWrap = R.Bool();
    f.IsBaseCell = R.Bool();
    f.ReadOnly = R.Bool();
    f.NodeLevel = R.Int(0, 1000);
    f.Editor = R.Int(edNormal, edDateTimeEdit);
    f.GradientDirection = R.Int(GradientVertical, GradientHorizontal);
    f.CalcType = R.Int(0, 255);
    f.FontName = R.Str();
    return f;
}

void ApplyProps(TCellProperties* P, const TPropFields& F)
{
    P->SetBrushStyle(TBrushStyle(F.BrushStyle));
    P->SetBrushColor(F.BrushColor);
    P->SetBrushColorTo(F.BrushColorTo);
    P->SetFontColor(F.FontColor);
    P->SetBorderColor(F.BorderColor);
    P->SetFontSize(F.FontSize);
    P->SetFontStyle(F.FontStyle);
    P->SetCellSpanX(F.SpanX);
    P->SetCellSpanY(F.SpanY);
    P->SetBorderWidth(F.BorderWidth);
    P->SetAlignment(TAlignment(F.Alignment));
    P->SetVAlignment(TVAlignment(F.VAlignment));
    P->SetWordWrap(F.WordWrap);
    P->SetIsBaseCell(F.IsBaseCell);
    P->SetReadOnly(F.ReadOnly);
    P->SetNodeLevel(F.NodeLevel);
    P->SetEditor(TEditorType(F.Editor));
    P->SetGradientDirection(TCellGradientDirection(F.GradientDirection));
    P->SetCalcType(Byte(F.CalcType));
    P->SetFontName(F.FontName);
}

// ---------------------------------------------------------------- cell graphics
// The content record a graphic of this type carries; 0 for none.
char ContentTag(TCellType T)
{
    switch (T) {
    case ctBitmap:
    case ctBitButton: return 'B';
    case ctIcon: return 'I';
    case ctRadio:
    case ctImages: return 'S';
    case ctPicture: return 'X';
    case ctFilePicture: return 'F';
    default: return 0;
    }
}

// Only graphics that own their content travel; an image index list is always the graphic's own.
bool GraphicTravels(const TCellGraphic* G)
{
    if (!G || G->CellType == ctEmpty)
        return false;
    if (G->CellType == ctImages)
        return true;
    return ContentTag(G->CellType) == 0 || G->CellCreated;
}

void WriteGraphic(TRecordWriter& W, const TCellGraphic& G)
{
    W.I32(G.CellType);
    W.I32(G.CellVAlign);
    W.I32(G.CellHAlign);
    W.I32(G.CellIndex);
    W.Bool(G.CellTransparent);
    W.Bool(G.CellBoolean);
    W.I32(G.CellAngle);
    W.Double(G.CellValue);
    W.I32(G.CellErrFrom);
    W.I32(G.CellErrLen);
    W.Str(G.CellText);
    W.U8(std::uint8_t(G.CellVar.index()));
    if (auto* i = std::get_if<int>(&G.CellVar))
        W.I32(*i);
    else if (auto* d = std::get_if<double>(&G.CellVar))
        W.Double(*d);
    else if (auto* s = std::get_if<AnsiString>(&G.CellVar))
        W.Str(*s);
    W.I32(G.CellCompleteFontColor);
    W.I32(G.CellUnCompleteFontColor);
}

void ReadGraphic(TRecordReader& R, TCellGraphic& G)
{
    G.CellType = TCellType(R.Int(ctBitmap, ctInterface));
    G.CellVAlign = TCellVAlign(R.Int(vaTop, vaFull));
    G.CellHAlign = TCellHAlign(R.Int(haLeft, haFull));
    G.CellIndex = R.I32();
    G.CellTransparent = R.Bool();
    G.CellBoolean = R.Bool();
    G.CellAngle = R.I32();
    G.CellValue = R.Double();
    G.CellErrFrom = R.Int(0, MaxTextPos);
    G.CellErrLen = R.Int(0, MaxTextPos);
    G.CellText = R.Str();
    switch (R.U8()) {
    case 0: G.CellVar = std::monostate(); break;
    case 1: G.CellVar = int(R.I32()); break;
    case 2: G.CellVar = R.Double(); break;
    case 3: G.CellVar = AnsiString(R.Str()); break;
    default: Damaged();
    }
    G.CellCompleteFontColor = R.I32();
    G.CellUnCompleteFontColor = R.I32();
}

std::string PngOf(TGraphic* G)
{
    if (!G || G->Empty())
        return std::string();
    TRasterImage png("PNG");
    png.Assign(G);
    return png.SaveToData();
}

void WriteContent(TRecordWriter& Out, const TCellGraphic& G)
{
    TRecordWriter w;
    char tag = ContentTag(G.CellType);
    switch (tag) {
    case 'B':
    case 'X': w.Str(PngOf(G.PictureGraphic())); break;
    case 'I': w.Str(G.CellIcon && !G.CellIcon->Empty() ? G.CellIcon->SaveToData() : std::string()); break;
    case 'F': {
        auto* f = dynamic_cast<TFilePicture*>(G.CellObject);
        w.Str(f ? f->Filename() : AnsiString());
        w.I32(f ? f->Width() : 0);
        w.I32(f ? f->Height() : 0);
        break;
    }
    case 'S': {
        std::vector<AnsiString> items;
        if (G.CellType == ctImages) {
            if (auto* l = dynamic_cast<TIntList*>(G.CellObject))
                items.push_back(l->GetCommaText());
        } else if (auto* s = dynamic_cast<TStrings*>(G.CellObject)) {
            for (int i = 0; i < s->Count(); ++i)
                items.push_back(s->Strings(i));
        }
        w.U32(std::uint32_t(items.size()));
        for (const AnsiString& item : items)
            w.Str(item);
        break;
    }
    default: return;
    }
    Out.Record(tag, w);
}

// Reads the content record of G's type and gives G the object made from it (owned by G).
void ReadContent(TRecordReader& R, TCellGraphic& G, int ACol, int ARow)
{
    char want = ContentTag(G.CellType);
    G.CellCreated = false;
    if (!want)
        return;
    char tag = 0;
    TRecordReader p = R.Record(tag);
    if (tag != want)
        Damaged();
    try {
        switch (tag) {
        case 'B':
        case 'X': {
            std::string data = p.Str();
            std::unique_ptr<TGraphic> g;
            if (tag == 'B')
                g = std::make_unique<TBitmap>();
            else
                g = std::make_unique<TRasterImage>("PNG");
            if (!data.empty())
                g->LoadFromData(data);
            G.CellObject = g.release();
            break;
        }
        case 'I': {
            std::string data = p.Str();
            auto icon = std::make_unique<TIcon>();
            if (!data.empty())
                icon->LoadFromData(data);
            G.CellIcon = icon.release();
            break;
        }
        case 'F': {
            auto f = std::make_unique<TFilePicture>();
            AnsiString name = p.Str();
            int w = p.Int(0, IntMaxV), h = p.Int(0, IntMaxV);
            f->SetStoredPicture(name, w, h);
            G.CellObject = f.release();
            break;
        }
        case 'S': {
            std::uint32_t n = p.U32();
            if (n > p.Left() / 4)
                Damaged();
            if (G.CellType == ctImages) {
                if (n != 1)
                    Damaged();
                auto list = std::make_unique<TIntList>(ACol, ARow);
                list->SetCommaText(p.Str());
                G.CellObject = list.release();
            } else {
                auto list = std::make_unique<TStringList>();
                for (std::uint32_t i = 0; i < n; ++i)
                    list->Add(p.Str());
                G.CellObject = list.release();
            }
            break;
        }
        }
    } catch (const EProGridError&) {
        throw;
    } catch (const Exception&) {
        // A picture that does not decode or an index that is not a number.
        Damaged();
    }
    G.CellCreated = true;
    p.Finish();
}

// ---------------------------------------------------------------- the whole stream
struct TStreamCell {
    int Col = 0, Row = 0;
    AnsiString Text;
    bool HasProps = false;
    TPropFields Props;
    std::unique_ptr<TCellGraphic> Graphic;
};

struct TCellStreamContent {
    int ColCount = 0, RowCount = 0;
    bool FullGrid = false;
    std::uint32_t ProcessId = 0;
    std::uint64_t WindowId = 0;
    std::vector<int> ColWidths, RowHeights;
    // The source position of the rectangle's top-left cell.
    int SourceCol = 0, SourceRow = 0;
    std::vector<TStreamCell> Cells;
};

// Checks and reads the whole stream; EProGridError when anything is wrong.
void ParseCellStream(const std::string& Data, TCellStreamContent& C)
{
    TRecordReader r(Data.data(), Data.size());
    if (r.Left() < 6 || std::memcmp(Data.data(), Magic, 4) != 0)
        Damaged();
    r.U32();
    if (r.U16() != StreamVersion)
        Damaged();
    char tag = 0;
    TRecordReader h = r.Record(tag);
    if (tag != 'H')
        Damaged();
    C.ColCount = h.Int(1, IntMaxV);
    C.RowCount = h.Int(1, IntMaxV);
    C.FullGrid = h.Bool();
    C.ProcessId = h.U32();
    C.WindowId = h.U64();
    // Every cell of the rectangle has its record: the counts are bounded by the stream's length.
    const std::uint64_t cells = std::uint64_t(C.ColCount) * std::uint64_t(C.RowCount);
    if (cells > r.Left() / MinCellRecord || std::uint64_t(C.ColCount) + C.RowCount > h.Left() / 4)
        Damaged();
    C.ColWidths.resize(std::size_t(C.ColCount));
    for (int& w : C.ColWidths)
        w = h.Int(0, MaxExtent);
    C.RowHeights.resize(std::size_t(C.RowCount));
    for (int& v : C.RowHeights)
        v = h.Int(0, MaxExtent);
    h.Finish();

    C.Cells.resize(std::size_t(cells));
    for (std::size_t i = 0; i < C.Cells.size(); ++i) {
        TStreamCell& cell = C.Cells[i];
        TRecordReader cr = r.Record(tag);
        if (tag != 'C')
            Damaged();
        cell.Col = cr.Int(0, IntMaxV);
        cell.Row = cr.Int(0, IntMaxV);
        cell.Text = cr.Str();
        cell.HasProps = cr.Bool();
        cr.Finish();
        if (i == 0) {
            C.SourceCol = cell.Col;
            C.SourceRow = cell.Row;
        }
        // Every cell lies in the rectangle that starts at the first one.
        const Int64 dx = Int64(cell.Col) - C.SourceCol, dy = Int64(cell.Row) - C.SourceRow;
        if (dx < 0 || dy < 0 || dx >= C.ColCount || dy >= C.RowCount)
            Damaged();
        if (!cell.HasProps)
            continue;
        TRecordReader pr = r.Record(tag);
        if (tag != 'P')
            Damaged();
        cell.Props = ReadProps(pr);
        bool hasGraphic = pr.Bool();
        pr.Finish();
        // A merged region stays inside the rectangle: a base cell's span and a covered cell's
        // offset from its base.
        const TPropFields& f = cell.Props;
        if (f.IsBaseCell ? (dx + std::max(f.SpanX, 0) >= C.ColCount || dy + std::max(f.SpanY, 0) >= C.RowCount)
                         : (f.SpanX < 0 || f.SpanY < 0 || f.SpanX > dx || f.SpanY > dy))
            Damaged();
        if (!hasGraphic)
            continue;
        TRecordReader gr = r.Record(tag);
        if (tag != 'G')
            Damaged();
        cell.Graphic = std::make_unique<TCellGraphic>();
        ReadGraphic(gr, *cell.Graphic);
        gr.Finish();
        ReadContent(r, *cell.Graphic, cell.Col, cell.Row);
    }
    r.Finish();
}

// Closes the smart-paste bracket also when the paste fails.
class TSmartPasteBracket {
public:
    explicit TSmartPasteBracket(TProStringGrid* Grid) : FGrid(Grid) { FGrid->BeginSmartPaste(); }
    ~TSmartPasteBracket() { FGrid->EndSmartPaste(); }
    TSmartPasteBracket(const TSmartPasteBracket&) = delete;
    TSmartPasteBracket& operator=(const TSmartPasteBracket&) = delete;

private:
    TProStringGrid* FGrid;
};

std::uint32_t OwnProcessId()
{
    return std::uint32_t(::getpid());
}

AnsiString ReadRest(TStream* Stream)
{
    Int64 n = Stream->Size() - Stream->Position();
    if (n <= 0)
        return AnsiString();
    AnsiString data(std::size_t(n), '\0');
    Stream->ReadBuffer(data.data(), n);
    return data;
}
}  // namespace

// ---------------------------------------------------------------- TProStringGrid
void TProStringGrid::WriteCellObjects(const TGridRect& R, TStream* Stream)
{
    const int left = std::max(R.Left, 0), top = std::max(R.Top, 0);
    const int right = std::min(R.Right, ColCount() - 1), bottom = std::min(R.Bottom, RowCount() - 1);
    if (right < left || bottom < top)
        return;
    const bool full = ExportFixedCells()
                          ? (left == 0 && top == 0 && right == ColCount() - 1 && bottom == RowCount() - 1)
                          : (left == FixedCols() && top == FixedRows() && right == ColCount() - 1 &&
                             bottom == RowCount() - 1);
    TRecordWriter out;
    out.Bytes(Magic, 4);
    out.U16(StreamVersion);
    TRecordWriter h;
    h.I32(right - left + 1);
    h.I32(bottom - top + 1);
    h.Bool(full);
    h.U32(OwnProcessId());
    h.U64(HandleAllocated() ? std::uint64_t(Handle()) : 0);
    for (int c = left; c <= right; ++c)
        h.I32(ColWidths(c));
    for (int r = top; r <= bottom; ++r)
        h.I32(RowHeights(r));
    out.Record('H', h);

    DoProgress(0, -1);
    int lastPercent = -1;
    for (int r = top; r <= bottom; ++r) {
        DoProgress(1, r);
        for (int c = left; c <= right; ++c) {
            const int real = RealColIndex(c);
            const bool hasProps = HasCellProperties(real, r);
            TRecordWriter cw;
            cw.I32(c);
            cw.I32(r);
            cw.Str(Cells(real, r));
            cw.Bool(hasProps);
            out.Record('C', cw);
            if (!hasProps)
                continue;
            TCellGraphic* g = GetCellGraphic(real, r);
            const bool travels = GetCellType(real, r) != ctEmpty && GraphicTravels(g);
            TRecordWriter pw;
            TPropFields f = PropFieldsOf(CellProperties(real, r));
            if (f.SpanX != -1 && f.SpanY != -1) {
                // A merged region as shown: its first shown column stands for a hidden base column.
                const TGridRect m = ShownMergedRegion(c, r);
                f.IsBaseCell = c == m.Left && r == m.Top;
                f.SpanX = f.IsBaseCell ? m.Right - m.Left : c - m.Left;
                f.SpanY = f.IsBaseCell ? m.Bottom - m.Top : r - m.Top;
            }
            WriteProps(pw, f);
            pw.Bool(travels);
            out.Record('P', pw);
            if (!travels)
                continue;
            TRecordWriter gw;
            WriteGraphic(gw, *g);
            out.Record('G', gw);
            WriteContent(out, *g);
        }
        if (OnFileProgress) {
            int percent = int(std::lround(double(r - top) / std::max(1, bottom - top) * 100.0));
            if (percent != lastPercent) {
                lastPercent = percent;
                OnFileProgress(this, percent);
            }
        }
    }
    Stream->WriteBuffer(out.Data().data(), Int64(out.Data().size()));
    DoProgress(2, -1);
}

namespace {
// The stream's cells at Origin: the grid is sized first for a whole-grid stream.
struct TCellStreamReader {
    static void Apply(TProStringGrid* G, TPoint Origin, TCellStreamContent& C)
    {
        G->EndCellEdit();
        // A whole grid's stream changes every row, another the rows it lands on.
        TGridRestorePoint restore(G, C.FullGrid ? 0 : Origin.Y,
                                  C.FullGrid ? TGridRestorePoint::AllRows : int(std::min<Int64>(Int64(Origin.Y) + C.RowCount - 1, IntMaxV)));
        TGridUpdate update(G);
        if (C.FullGrid) {
            // The whole grid of the source: cleared and sized to hold the rectangle at Origin.
            G->ClearAll();
            G->SetColCount(int(std::min<Int64>(Int64(Origin.X) + C.ColCount, IntMaxV)));
            G->SetRowCount(int(std::min<Int64>(Int64(Origin.Y) + C.RowCount, IntMaxV)));
            for (int i = 0; i < C.ColCount && Origin.X + i < G->ColCount(); ++i)
                G->SetColWidths(Origin.X + i, C.ColWidths[std::size_t(i)]);
            for (int i = 0; i < C.RowCount && Origin.Y + i < G->RowCount(); ++i)
                G->SetRowHeights(Origin.Y + i, C.RowHeights[std::size_t(i)]);
        }
        for (TStreamCell& cell : C.Cells) {
            const Int64 x = Int64(Origin.X) + cell.Col - C.SourceCol;
            const Int64 y = Int64(Origin.Y) + cell.Row - C.SourceRow;
            // Cells beyond the grid are left out.
            if (x < 0 || y < 0 || x >= G->ColCount() || y >= G->RowCount())
                continue;
            const int col = G->RealColIndex(int(x)), row = int(y);
            G->SetMergedCellText(col, row, cell.Text);
            if (!cell.HasProps)
                continue;
            TCellProperties* p = G->CellProperties(col, row);
            if (!p)
                continue;   // the program keeps an object of its own in the cell
            TPropFields f = cell.Props;
            if (f.IsBaseCell) {
                // A region that would reach past the grid ends at its edge. Its columns are shown
                // ones: it is kept by stored column, over the hidden ones among them.
                if (f.SpanX > 0)
                    f.SpanX = G->RealColIndex(int(std::min<Int64>(x + f.SpanX, G->ColCount() - 1))) - col;
                if (f.SpanY > 0)
                    f.SpanY = int(std::min<Int64>(f.SpanY, G->RowCount() - 1 - y));
            } else if (f.SpanX > 0) {
                f.SpanX = col - G->RealColIndex(int(x) - f.SpanX);
            }
            ApplyProps(p, f);
            p->SetOwnerCol(col);
            p->SetOwnerRow(row);
            if (!cell.Graphic)
                continue;
            TCellGraphic* g = G->CreateCellGraphic(col, row);
            if (!g)
                continue;
            TCellGraphic& src = *cell.Graphic;
            g->Assign(&src);
            if (auto* read = dynamic_cast<TIntList*>(src.CellObject)) {
                // The image index list belongs to its cell.
                auto* list = new TIntList(col, row);
                list->SetCommaText(read->GetCommaText());
                delete read;
                src.CellObject = list;
            }
            g->CellObject = src.CellObject;
            g->CellIcon = src.CellIcon;
            g->CellCreated = src.CellCreated;
            src.CellObject = nullptr;
            src.CellIcon = nullptr;
            src.CellCreated = false;
        }
        G->CellsChanged(TRect(Origin.X, Origin.Y, Origin.X + C.ColCount - 1, Origin.Y + C.RowCount - 1));
        restore.Keep();
    }
};
}  // namespace

void TProStringGrid::ReadCellObjects(TPoint Origin, TStream* Stream)
{
    TCellStreamContent content;
    ParseCellStream(ReadRest(Stream), content);
    TCellStreamReader::Apply(this, Origin, content);
}

void TProStringGrid::CopyRectAsCells(const TGridRect& R)
{
    TMemoryStream stream;
    WriteCellObjects(R, &stream);
    if (stream.Size() == 0)
        return;
    Clipboard()->SetFormatData(GridClipboardFormat(), AnsiString(stream.Memory(), std::size_t(stream.Size())));
}

int TProStringGrid::PasteCellStream(int ACol, int ARow, const AnsiString& Data)
try {
    TCellStreamContent content;
    try {
        ParseCellStream(Data, content);
    } catch (const EProGridError&) {
        return -1;
    }
    TSmartPasteBracket bracket(this);
    // Growth that the grid could not count is refused before anything changes.
    const Int64 needCols = Int64(ACol) + content.ColCount, needRows = Int64(ARow) + content.RowCount;
    if (needCols > IntMaxV || needRows > IntMaxV)
        throw EProGridError(DamagedStream);
    CheckGrowth(FNavigation->AllowClipboardColGrow() ? needCols : 0, FNavigation->AllowClipboardRowGrow() ? needRows : 0);
    EndCellEdit();
    TGridRestorePoint restore(this, ARow, int(needRows) - 1);
    TGridUpdate update(this);
    if (FNavigation->AllowClipboardColGrow() && needCols > ColCount())
        SetColCount(int(needCols));
    if (FNavigation->AllowClipboardRowGrow() && needRows > RowCount())
        SetRowCount(int(needRows));
    TCellStreamReader::Apply(this, TPoint(ACol, ARow), content);
    FPasteExtent = TPoint(content.ColCount, content.RowCount);
    const bool sameGrid = content.ProcessId == OwnProcessId() && content.WindowId != 0 && HandleAllocated() &&
                          content.WindowId == std::uint64_t(Handle());
    MarkRangeModified(sameGrid ? FCopyOrigin : TPoint(-1, -1),
                      TRect(ACol, ARow, int(needCols) - 1, int(needRows) - 1), FCopyFlag);
    restore.Keep();
    return int(std::min<Int64>(Int64(content.ColCount) * content.RowCount, IntMaxV));
} catch (const std::bad_alloc&) {
    RefuseGrowth();
}
