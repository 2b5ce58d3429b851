// The protocol side of the grid's system drag and drop: formats, the data object a drag offers,
// its format list, the reader of dropped objects, and the drop target and source whose grid work
// is left to virtual operations.
#include <algorithm>
#include <cstring>

#include "grid/ProGridSettings.h"
#include "grid/editing/GridDragDrop.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"

VELMAROK_EXCEPTION(EAssertionFailed, Exception)

namespace {
bool gColumnDragRunning = false;

HGLOBAL BlockOf(const void* Data, std::size_t Bytes, std::size_t Size)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, Size);
    if (!h)
        return nullptr;
    std::memcpy(GlobalLock(h), Data, std::min(Bytes, Size));
    GlobalUnlock(h);
    return h;
}

// The zero-terminated text at the start of a block of Size bytes.
AnsiString TextOfBlock(const char* P, std::size_t Size)
{
    return AnsiString(P, strnlen(P, Size));
}
} // namespace

UINT RtfDragFormat()
{
    static const UINT f = RegisterClipboardFormat("Rich Text Format");
    return f;
}

UINT ColumnDragFormat()
{
    static const UINT f = RegisterClipboardFormat("Grid Column");
    return f;
}

UINT UrlDragFormat()
{
    static const UINT f = RegisterClipboardFormat("UniformResourceLocator");
    return f;
}

void SetOleDropRTF(bool Value)
{
    RichTextDropAllowed() = Value;
}

DWORD StandardEffect(DWORD KeyState, DWORD OkEffects)
{
    if (KeyState & MK_CONTROL)
        return DROPEFFECT_COPY;
    return (OkEffects & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

bool ColumnDragRunning()
{
    return gColumnDragRunning;
}

// ---------------------------------------------------------------- TEnumFormats
TEnumFormats::TEnumFormats(IDataObject* DataObject) : FData(DataObject)
{
    RtfDragFormat();
    ColumnDragFormat();
    UrlDragFormat();
    if (!FData || FAILED(FData->EnumFormatEtc(DATADIR_GET, FEnum)) || !FEnum)
        throw EAssertionFailed("Cannot get the format enumerator");
}

TEnumFormats::~TEnumFormats()
{
    if (FEnum)
        FEnum->Release();
}

bool TEnumFormats::HasFormat(UINT Format)
{
    FEnum->Reset();
    FValid = false;
    FCount = 0;
    FORMATETC f;
    ULONG fetched = 0;
    while (FEnum->Next(1, &f, &fetched) == S_OK && fetched == 1) {
        ++FCount;
        if (f.cfFormat == Format) {
            FCurrent = f;
            FValid = true;
            return true;
        }
    }
    return false;
}

bool TEnumFormats::ReadBlock(UINT Format, std::string& Bytes)
{
    if (!HasFormat(Format) || !(FCurrent.tymed & TYMED_HGLOBAL))
        return false;
    FORMATETC f = FCurrent;
    f.tymed = TYMED_HGLOBAL;
    STGMEDIUM m;
    if (FAILED(FData->GetData(f, m)) || !m.hGlobal)
        return false;
    // Never beyond the block's own size, whatever its contents claim.
    const std::size_t size = GlobalSize(m.hGlobal);
    const char* p = static_cast<const char*>(GlobalLock(m.hGlobal));
    Bytes.assign(p ? p : "", p ? size : 0);
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(m);
    return true;
}

AnsiString TEnumFormats::Text(UINT Format)
{
    std::string b;
    if (!ReadBlock(Format, b))
        return AnsiString();
    return TextOfBlock(b.data(), b.size());
}

int TEnumFormats::Column()
{
    std::string b;
    if (!ReadBlock(ColumnDragFormat(), b) || b.size() < 4)
        return -1;
    std::int32_t c;
    std::memcpy(&c, b.data(), 4);
    return c;
}

std::vector<AnsiString> TEnumFormats::Files()
{
    std::vector<AnsiString> names;
    std::string b;
    if (!ReadBlock(CF_HDROP, b) || b.size() < sizeof(DROPFILES))
        return names;
    DROPFILES head;
    std::memcpy(&head, b.data(), sizeof head);
    std::size_t pos = head.pFiles;
    while (pos < b.size()) {
        if (head.fWide) {
            std::u16string name;
            while (pos + 1 < b.size()) {
                char16_t ch;
                std::memcpy(&ch, b.data() + pos, 2);
                pos += 2;
                if (ch == 0)
                    break;
                name += ch;
            }
            if (name.empty())
                break;
            names.push_back(WideToAnsi(name));
        } else {
            AnsiString name = TextOfBlock(b.data() + pos, b.size() - pos);
            pos += name.size() + 1;
            if (name.empty())
                break;
            names.push_back(name);
        }
    }
    return names;
}

int TEnumFormats::Present()
{
    int set = 0;
    if (HasFormat(CF_TEXT))
        set |= dfText;
    if (HasFormat(CF_HDROP))
        set |= dfFiles;
    if (HasFormat(ColumnDragFormat()))
        set |= dfColumn;
    if (HasFormat(RtfDragFormat()))
        set |= dfRtf;
    if (HasFormat(UrlDragFormat()))
        set |= dfUrl;
    return set;
}

// ---------------------------------------------------------------- TSourceDataObject
TSourceDataObject::TSourceDataObject(const AnsiString& Text, int Column, const AnsiString& Rtf)
    : FText(Text), FRtf(Rtf), FColumn(Column)
{
}

HRESULT TSourceDataObject::QueryGetData(const FORMATETC& Format)
{
    if (Format.dwAspect != DVASPECT_CONTENT || !(Format.tymed & TYMED_HGLOBAL))
        return DV_E_FORMATETC;
    if ((Format.cfFormat == CF_TEXT || Format.cfFormat == CF_UNICODETEXT) && !FText.empty())
        return S_OK;
    if (Format.cfFormat == RtfDragFormat() && !FText.empty() && RichTextDropAllowed())
        return S_OK;
    if (Format.cfFormat == ColumnDragFormat() && FColumn != -1)
        return S_OK;
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const FORMATETC& FormatIn, STGMEDIUM& Medium)
{
    Medium = STGMEDIUM();
    if (QueryGetData(FormatIn) != S_OK)
        return DV_E_FORMATETC;
    HGLOBAL h = nullptr;
    if (FormatIn.cfFormat == CF_TEXT) {
        h = BlockOf(FText.c_str(), FText.size() + 1, FText.size() + 1);
    } else if (FormatIn.cfFormat == CF_UNICODETEXT) {
        WideString w = AnsiToWide(FText);
        h = BlockOf(w.c_str(), (w.size() + 1) * 2, 2 * FText.size() + 2);
    } else if (FormatIn.cfFormat == RtfDragFormat()) {
        if (FRtf.empty())
            return DV_E_FORMATETC;
        h = BlockOf(FRtf.c_str(), FRtf.size() + 1, FRtf.size() + 1);
    } else {
        const std::int32_t c = FColumn;
        h = BlockOf(&c, 4, 4);
    }
    if (!h)
        return DV_E_FORMATETC;
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = h;
    return S_OK;
}

HRESULT TSourceDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&)
{
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& FormatOut)
{
    FormatOut.ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::SetData(const FORMATETC&, STGMEDIUM&, bool)
{
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC*& EnumFormat)
{
    EnumFormat = nullptr;
    if (Direction != DATADIR_GET)
        return E_NOTIMPL;
    auto* e = new TSourceEnumFormatEtc(FColumn != -1);
    e->AddRef();
    EnumFormat = e;
    return S_OK;
}

HRESULT TSourceDataObject::DAdvise(const FORMATETC&, DWORD, IUnknown*, DWORD&)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TSourceDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TSourceDataObject::EnumDAdvise(IUnknown*& EnumAdvise)
{
    EnumAdvise = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---------------------------------------------------------------- TSourceEnumFormatEtc
HRESULT TSourceEnumFormatEtc::Next(ULONG Celt, FORMATETC* Elt, ULONG* Fetched)
{
    const UINT formats[4] = {CF_TEXT, CF_UNICODETEXT, RtfDragFormat(), ColumnDragFormat()};
    ULONG n = 0;
    while (n < Celt && FPos < Count() && Elt) {
        FORMATETC f;
        f.cfFormat = formats[FPos++];
        Elt[n++] = f;
    }
    if (Fetched)
        *Fetched = n;
    return n == Celt ? S_OK : S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Skip(ULONG Celt)
{
    // Measured against what is left, so that no count wraps the position.
    if (Celt <= Count() - FPos) {
        FPos += Celt;
        return S_OK;
    }
    FPos = Count();
    return S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Reset()
{
    FPos = 0;
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(IEnumFORMATETC*& Enum)
{
    auto* e = new TSourceEnumFormatEtc(false);
    e->AddRef();
    Enum = e;
    return S_OK;
}

// ---------------------------------------------------------------- TPSGDropTarget
HRESULT TPSGDropTarget::DragEnter(IDataObject* DataObj, DWORD KeyState, TPoint, DWORD& Effect)
{
    TEnumFormats reader(DataObj);
    FFormats = reader.Present();
    // A column is taken only from a grid of this program.
    if (!ColumnDragRunning())
        FFormats &= ~dfColumn;
    FAllowed = ((FFormats & dfText) && AcceptText) || ((FFormats & dfFiles) && AcceptFiles) ||
               ((FFormats & dfRtf) && RichTextDropAllowed() && AcceptText) ||
               ((FFormats & dfColumn) && AcceptCols) || ((FFormats & dfUrl) && AcceptURLs);
    Effect = FAllowed ? StandardEffect(KeyState, Effect) : DROPEFFECT_NONE;
    DragMouseEnter();
    return S_OK;
}

HRESULT TPSGDropTarget::DragOver(DWORD KeyState, TPoint Pt, DWORD& Effect)
{
    Effect = FAllowed ? StandardEffect(KeyState, Effect) : DROPEFFECT_NONE;
    bool allow = Effect != DROPEFFECT_NONE;
    DragMouseMove(Pt, allow, FFormats);
    if (!allow)
        Effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TPSGDropTarget::DragLeave()
{
    DragMouseLeave();
    return S_OK;
}

HRESULT TPSGDropTarget::Drop(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect)
{
    // Taken only where dragging over would take it.
    bool allow = FAllowed;
    if (allow)
        DragMouseMove(Pt, allow, FFormats);
    if (!allow) {
        DragMouseLeave();
        Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    TEnumFormats reader(DataObj);
    const DWORD offered = Effect;
    FReported = FTaken = FCopyOnly = false;
    if ((FFormats & dfColumn) && reader.HasFormat(ColumnDragFormat())) {
        DropCol(Pt, reader.Column());
    } else {
        // Rich text that cannot be read is taken as the plain text it comes with.
        const AnsiString rtf =
            RichTextDropAllowed() && reader.HasFormat(RtfDragFormat()) ? reader.Text(RtfDragFormat()) : AnsiString();
        if (!rtf.empty())
            DropRTF(Pt, rtf);
        else if (reader.HasFormat(CF_TEXT))
            DropText(Pt, reader.Text(CF_TEXT));
        if (reader.HasFormat(CF_HDROP))
            DropFiles(Pt, reader.Files());
        if (reader.HasFormat(UrlDragFormat()))
            DropURL(Pt, reader.Text(CF_TEXT));
    }
    Effect = !FReported ? StandardEffect(KeyState, offered)
             : !FTaken  ? DROPEFFECT_NONE
             : FCopyOnly ? offered & DROPEFFECT_COPY
                         : StandardEffect(KeyState, offered);
    return S_OK;
}

// ---------------------------------------------------------------- TPSGDropSource
HRESULT TPSGDropSource::QueryContinueDrag(bool EscapePressed, DWORD KeyState)
{
    HRESULT r = S_OK;
    if (EscapePressed) {
        r = DRAGDROP_S_CANCEL;
    } else if (!(KeyState & MK_LBUTTON)) {
        r = DRAGDROP_S_DROP;
        QueryDrop();
    }
    DragMouseMove();
    return r;
}

HRESULT TPSGDropSource::GiveFeedback(DWORD Effect)
{
    FNoDrop = (Effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE;
    CurrentEffect(Effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

namespace {
HRESULT RunDrag(TPSGDropSource* DropSource, TSourceDataObject* Data, DWORD OkEffects, DWORD& Effect)
{
    Data->AddRef();
    DropSource->AddRef();
    HRESULT r = E_FAIL;
    try {
        r = DoDragDrop(Data, DropSource, OkEffects, Effect);
    } catch (...) {
        Data->Release();
        DropSource->Release();
        throw;
    }
    if (DropSource->NoDrop())
        r = DRAGDROP_S_CANCEL;
    Data->Release();
    DropSource->Release();
    return r;
}
} // namespace

HRESULT StartTextDrag(TPSGDropSource* DropSource, const AnsiString& Text, const AnsiString& Rtf, DWORD OkEffects,
                      DWORD& Effect)
{
    return RunDrag(DropSource, new TSourceDataObject(Text, -1, Rtf), OkEffects, Effect);
}

HRESULT StartColumnDrag(TPSGDropSource* DropSource, int Column, DWORD OkEffects, DWORD& Effect)
{
    gColumnDragRunning = true;
    HRESULT r = E_FAIL;
    try {
        r = RunDrag(DropSource, new TSourceDataObject(AnsiString(), Column, AnsiString()), OkEffects, Effect);
    } catch (...) {
        gColumnDragRunning = false;
        throw;
    }
    gColumnDragRunning = false;
    return r;
}
