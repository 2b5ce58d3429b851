#pragma once
// System drag and drop of the grid: the protocol objects (a drop target and a drop source whose
// grid-specific work is left to virtual operations, the data object a drag offers and its format
// list, a reader of dropped data) and the grid's own target and source built on them.
#include <memory>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/gui/OleDragDrop.h"

class TProStringGrid;
class TForm;

// The formats of the grid's drags: rich text, a grid column (one 32-bit column index) and links.
UINT RtfDragFormat();
UINT ColumnDragFormat();
UINT UrlDragFormat();
// Whether rich text is offered by drags and taken by drops (false at start).
void SetOleDropRTF(bool Value);
// Copy with Control held; otherwise move when allowed, else copy.
DWORD StandardEffect(DWORD KeyState, DWORD OkEffects);

// Bits of the formats present in a dragged object.
constexpr int dfText = 1, dfFiles = 2, dfColumn = 4, dfRtf = 8, dfUrl = 16;

// ---------------------------------------------------------------- reading a dropped object
class TEnumFormats {
public:
    // EAssertionFailed "Cannot get the format enumerator" when the object has no format list.
    explicit TEnumFormats(IDataObject* DataObject);
    ~TEnumFormats();
    TEnumFormats(const TEnumFormats&) = delete;
    TEnumFormats& operator=(const TEnumFormats&) = delete;

    bool HasFormat(UINT Format);
    // Zero-terminated ANSI text of the format, read no further than the block's size.
    AnsiString Text(UINT Format = 1);
    // The dragged column; -1 when absent or unreadable.
    int Column();
    // The names of a file drop (ANSI or UTF-16 by the block's wide flag).
    std::vector<AnsiString> Files();
    // dfText | dfFiles | ... of what the object holds.
    int Present();

private:
    // The block of the entry found for Format (nullptr when it cannot be had); the caller releases it.
    bool ReadBlock(UINT Format, std::string& Bytes);
    IDataObject* FData;
    IEnumFORMATETC* FEnum = nullptr;
    FORMATETC FCurrent;
    bool FValid = false;
    int FCount = 0;
};

// ---------------------------------------------------------------- data object of a drag
class TSourceDataObject : public TInterfacedObject, public IDataObject {
public:
    TSourceDataObject(const AnsiString& Text, int Column, const AnsiString& Rtf);
    HRESULT GetData(const FORMATETC& FormatIn, STGMEDIUM& Medium) override;
    HRESULT GetDataHere(const FORMATETC& Format, STGMEDIUM& Medium) override;
    HRESULT QueryGetData(const FORMATETC& Format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& FormatIn, FORMATETC& FormatOut) override;
    HRESULT SetData(const FORMATETC& Format, STGMEDIUM& Medium, bool Release) override;
    HRESULT EnumFormatEtc(DWORD Direction, IEnumFORMATETC*& EnumFormat) override;
    HRESULT DAdvise(const FORMATETC& Format, DWORD Advf, IUnknown* AdvSink, DWORD& Connection) override;
    HRESULT DUnadvise(DWORD Connection) override;
    HRESULT EnumDAdvise(IUnknown*& EnumAdvise) override;

private:
    AnsiString FText, FRtf;
    int FColumn;
};

class TSourceEnumFormatEtc : public TInterfacedObject, public IEnumFORMATETC {
public:
    explicit TSourceEnumFormatEtc(bool HasColumn) : FHasColumn(HasColumn) {}
    HRESULT Next(ULONG Celt, FORMATETC* Elt, ULONG* Fetched) override;
    HRESULT Skip(ULONG Celt) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFORMATETC*& Enum) override;

private:
    ULONG Count() const { return FHasColumn ? 4 : 3; }
    ULONG FPos = 0;
    bool FHasColumn;
};

// ---------------------------------------------------------------- drop target and source
class TPSGDropTarget : public TInterfacedObject, public IDropTarget {
public:
    HRESULT DragEnter(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) override;
    HRESULT DragOver(DWORD KeyState, TPoint Pt, DWORD& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) override;

    bool AcceptText = true;
    bool AcceptFiles = true;
    bool AcceptCols = false;
    bool AcceptURLs = true;

protected:
    virtual void DropText(TPoint Pt, const AnsiString& Text) {}
    virtual void DropCol(TPoint Pt, int Column) {}
    virtual void DropRTF(TPoint Pt, const AnsiString& Rtf) {}
    virtual void DropFiles(TPoint Pt, const std::vector<AnsiString>& Files) {}
    virtual void DropURL(TPoint Pt, const AnsiString& Url) {}
    virtual void DragMouseMove(TPoint Pt, bool& Allow, int Formats) {}
    virtual void DragMouseEnter() {}
    virtual void DragMouseLeave() {}
    // What a drop operation did with the data: taken or not, and whether the drop may be no more
    // than a copy (files are only read, never moved). The drop reports no effect when its
    // operations took nothing (a moving source keeps what it dragged), a copy when one asked for no
    // more, and the effect rule's effect otherwise or when they report nothing.
    void DropTaken(bool Taken, bool CopyOnly = false)
    {
        FReported = true;
        FTaken = FTaken || Taken;
        FCopyOnly = FCopyOnly || CopyOnly;
    }

private:
    bool FAllowed = false;
    int FFormats = 0;
    bool FReported = false, FTaken = false, FCopyOnly = false;
};

class TPSGDropSource : public TInterfacedObject, public IDropSource {
public:
    HRESULT QueryContinueDrag(bool EscapePressed, DWORD KeyState) override;
    HRESULT GiveFeedback(DWORD Effect) override;
    bool NoDrop() const { return FNoDrop; }

protected:
    virtual void QueryDrop() {}
    virtual void CurrentEffect(DWORD Effect) {}
    virtual void DragMouseMove() {}

private:
    bool FNoDrop = false;
};

// Runs the system drag of Text (and Rtf); DRAGDROP_S_CANCEL when the last feedback had no effect.
HRESULT StartTextDrag(TPSGDropSource* DropSource, const AnsiString& Text, const AnsiString& Rtf, DWORD OkEffects,
                      DWORD& Effect);
HRESULT StartColumnDrag(TPSGDropSource* DropSource, int Column, DWORD OkEffects, DWORD& Effect);

// ---------------------------------------------------------------- the grid's target and source
class TGridDropTarget : public TPSGDropTarget {
public:
    explicit TGridDropTarget(TProStringGrid* AGrid) : FGrid(AGrid) {}
    TProStringGrid* Grid() const { return FGrid; }
    HRESULT DragEnter(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) override;

protected:
    void DropText(TPoint Pt, const AnsiString& Text) override;
    void DropCol(TPoint Pt, int Column) override;
    void DropRTF(TPoint Pt, const AnsiString& Rtf) override;
    void DropFiles(TPoint Pt, const std::vector<AnsiString>& Files) override;
    void DropURL(TPoint Pt, const AnsiString& Url) override;
    void DragMouseMove(TPoint Pt, bool& Allow, int Formats) override;
    void DragMouseLeave() override;

private:
    // OnOleDrop for a whole text (rich text or link) put into the cell under Pt.
    void DropWholeText(TPoint Pt, const AnsiString& Text, bool Url);
    TProStringGrid* FGrid;
};

class TGridDropSource : public TPSGDropSource {
public:
    explicit TGridDropSource(TProStringGrid* AGrid) : FGrid(AGrid) {}
    TProStringGrid* Grid() const { return FGrid; }
    // The last copy or move effect the target offered (0 before any).
    DWORD LastEffect() const { return FLastEffect; }
    // The picture that follows the pointer while ShowCells is on (owned by the grid).
    void SetDragImage(TForm* Form) { FImage = Form; }
    TForm* DragImage() const { return FImage; }

protected:
    void QueryDrop() override;
    void CurrentEffect(DWORD Effect) override;
    void DragMouseMove() override;

private:
    TProStringGrid* FGrid;
    DWORD FLastEffect = 0;
    TForm* FImage = nullptr;
};

// True while this program runs a column drag (a dropped column is taken only from one of its grids).
bool ColumnDragRunning();
