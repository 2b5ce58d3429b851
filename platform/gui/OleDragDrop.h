#pragma once
// The system's drag and drop between windows and programs, in the protocol's
// own terms: a window registers a drop target; a drag offers a data object
// whose formats (text, Unicode text, registered formats such as "Rich Text
// Format", dropped files) the target reads into global memory blocks; source
// and target agree on an effect (copy, move, link) from the keys held.
// Underneath it is the toolkit's drag and drop: formats travel as the
// clipboard's (registered names as their MIME types), so drops from other
// programs (files, text, links) arrive in the same terms.
#include <cstddef>
#include <cstdint>

#include "platform/core/Types.h"
#include "platform/gui/Messages.h"

class TBitmap;

// HRESULT, S_OK, S_FALSE, E_FAIL, E_OUTOFMEMORY and SUCCEEDED / FAILED come with the messages.
using ULONG = std::uint32_t;
using HGLOBAL = void*;

constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HRESULT(0x80040003u);
constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
constexpr HRESULT DV_E_TYMED = HRESULT(0x80040069u);
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = HRESULT(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = HRESULT(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = HRESULT(0x80040102u);

// Drop effects.
constexpr DWORD DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4,
                DROPEFFECT_SCROLL = 0x80000000u;
// Key state of the drag (grfKeyState): the MK_ flags of the mouse messages and Alt.
constexpr DWORD MK_ALT = 0x0020;

// The file-drop format and the structure that starts its block: the names follow at
// pFiles, each ended by a zero, the list by an empty name; UTF-16 when fWide.
constexpr UINT CF_HDROP = 15;
struct DROPFILES {
    DWORD pFiles = sizeof(DROPFILES);
    TPoint pt;
    BOOL fNC = 0;
    BOOL fWide = 0;
};

// Format descriptions: data is exchanged as the content aspect in global memory.
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD TYMED_NULL = 0, TYMED_HGLOBAL = 1;
constexpr DWORD DATADIR_GET = 1, DATADIR_SET = 2;
struct DVTARGETDEVICE;
struct FORMATETC {
    UINT cfFormat = 0;
    DVTARGETDEVICE* ptd = nullptr;
    DWORD dwAspect = DVASPECT_CONTENT;
    std::int32_t lindex = -1;
    DWORD tymed = TYMED_HGLOBAL;
};
class IUnknown;
struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    HGLOBAL hGlobal = nullptr;
    IUnknown* pUnkForRelease = nullptr;
};

// ---------------------------------------------------------------- global memory
constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040, GMEM_SHARE = 0x2000,
               GMEM_DDESHARE = 0x2000, GHND = 0x0042;
// A block of Bytes (always zero-filled); nullptr when it cannot be had.
HGLOBAL GlobalAlloc(UINT Flags, std::size_t Bytes);
// The block's bytes (the handle stays valid while locked and after).
void* GlobalLock(HGLOBAL Mem);
bool GlobalUnlock(HGLOBAL Mem);
std::size_t GlobalSize(HGLOBAL Mem);
// Frees the block; nullptr on success.
HGLOBAL GlobalFree(HGLOBAL Mem);
// Frees what a medium holds: its release object when it has one, else its memory block.
void ReleaseStgMedium(STGMEDIUM& Medium);

// ---------------------------------------------------------------- interfaces
// Reference-counted objects handed between program and platform: whoever keeps a
// pointer holds a reference; a pointer handed out (as an out parameter) is counted.
class IUnknown {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Counts references and frees itself at the last Release (start it with one AddRef).
class TInterfacedObject : public virtual IUnknown {
public:
    ULONG AddRef() override;
    ULONG Release() override;
    ULONG RefCount() const { return FRefCount; }

protected:
    ~TInterfacedObject() override = default;

private:
    ULONG FRefCount = 0;
};

class IEnumFORMATETC : public virtual IUnknown {
public:
    // Hands out up to Celt entries; Fetched (may be null) gets how many. S_OK when all were.
    virtual HRESULT Next(ULONG Celt, FORMATETC* Elt, ULONG* Fetched) = 0;
    virtual HRESULT Skip(ULONG Celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFORMATETC*& Enum) = 0;
};

class IDataObject : public virtual IUnknown {
public:
    // A new block in Medium (the caller releases it with ReleaseStgMedium).
    virtual HRESULT GetData(const FORMATETC& FormatIn, STGMEDIUM& Medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& Format, STGMEDIUM& Medium) = 0;
    // S_OK when GetData would give the format.
    virtual HRESULT QueryGetData(const FORMATETC& Format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& FormatIn, FORMATETC& FormatOut) = 0;
    virtual HRESULT SetData(const FORMATETC& Format, STGMEDIUM& Medium, bool Release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD Direction, IEnumFORMATETC*& EnumFormat) = 0;
    virtual HRESULT DAdvise(const FORMATETC& Format, DWORD Advf, IUnknown* AdvSink, DWORD& Connection) = 0;
    virtual HRESULT DUnadvise(DWORD Connection) = 0;
    virtual HRESULT EnumDAdvise(IUnknown*& EnumAdvise) = 0;
};

// Receives drags over its window. Points are screen coordinates; Effect comes in as the
// effects the source allows and goes back as the one the target would take (DROPEFFECT_NONE:
// no drop here).
class IDropTarget : public virtual IUnknown {
public:
    virtual HRESULT DragEnter(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) = 0;
    virtual HRESULT DragOver(DWORD KeyState, TPoint Pt, DWORD& Effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) = 0;
};

// The dragging side: asked on every move whether to go on (S_OK), drop (DRAGDROP_S_DROP)
// or cancel (DRAGDROP_S_CANCEL), and told the effect the target under the pointer offers.
class IDropSource : public virtual IUnknown {
public:
    virtual HRESULT QueryContinueDrag(bool EscapePressed, DWORD KeyState) = 0;
    virtual HRESULT GiveFeedback(DWORD Effect) = 0;
};

// ---------------------------------------------------------------- the protocol
// The window's drop target (the window holds a reference until RevokeDragDrop or its end).
// DRAGDROP_E_INVALIDHWND for an unknown window, DRAGDROP_E_ALREADYREGISTERED when it has one.
HRESULT RegisterDragDrop(HWND Wnd, IDropTarget* DropTarget);
// DRAGDROP_E_NOTREGISTERED when the window has none.
HRESULT RevokeDragDrop(HWND Wnd);
// The modal drag: returns DRAGDROP_S_DROP with the target's effect in Effect, or
// DRAGDROP_S_CANCEL with DROPEFFECT_NONE (cancelled, or released where no target took it).
// The image, when given, follows the pointer with its HotSpot under it.
HRESULT DoDragDrop(IDataObject* DataObj, IDropSource* DropSource, DWORD OkEffects, DWORD& Effect);
HRESULT DoDragDrop(IDataObject* DataObj, IDropSource* DropSource, DWORD OkEffects, DWORD& Effect,
                   TBitmap* Image, TPoint HotSpot);
// The system's rule for the effect of the keys held among the allowed ones: Ctrl and Shift
// link, Ctrl copies, Shift moves; no key moves when moving is allowed, else copies, else links.
DWORD DropEffectFromKeys(DWORD KeyState, DWORD OkEffects);
