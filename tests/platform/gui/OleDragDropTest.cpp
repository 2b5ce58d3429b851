// The system drag and drop: drops from other programs (text, files, links, a grid
// column) and drags between windows of the program, through the test support's
// scripted drags, onto drop targets registered for windows.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "platform/core/CodePage.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/OleDragDrop.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {

std::string Block(IDataObject* obj, UINT format)
{
    FORMATETC f;
    f.cfFormat = format;
    STGMEDIUM m;
    if (obj->GetData(f, m) != S_OK)
        return "<none>";
    std::string s(static_cast<const char*>(GlobalLock(m.hGlobal)), GlobalSize(m.hGlobal));
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(m);
    return s;
}

// A drop target that writes down the calls, the formats offered and what a drop carried.
class TRecordingTarget : public TInterfacedObject, public IDropTarget {
public:
    AnsiString Log;
    std::vector<UINT> Formats;
    std::map<UINT, std::string> Dropped;
    TPoint DropPoint;

    HRESULT DragEnter(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) override
    {
        Log += "enter;";
        Formats.clear();
        IEnumFORMATETC* e = nullptr;
        if (DataObj->EnumFormatEtc(DATADIR_GET, e) == S_OK) {
            FORMATETC f;
            while (e->Next(1, &f, nullptr) == S_OK)
                Formats.push_back(f.cfFormat);
            e->Release();
        }
        Effect = DropEffectFromKeys(KeyState, Effect);
        return S_OK;
    }
    HRESULT DragOver(DWORD KeyState, TPoint, DWORD& Effect) override
    {
        Effect = DropEffectFromKeys(KeyState, Effect);
        return S_OK;
    }
    HRESULT DragLeave() override { Log += "leave;"; return S_OK; }
    HRESULT Drop(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect) override
    {
        Log += "drop;";
        DropPoint = Pt;
        for (UINT f : Formats)
            Dropped[f] = Block(DataObj, f);
        Effect = DropEffectFromKeys(KeyState, Effect);
        return S_OK;
    }
};

// A drag source's data object: the formats it lists, some of which it refuses to give.
class TSourceData : public TInterfacedObject, public IDataObject {
public:
    std::vector<std::pair<UINT, std::string>> Data;
    std::vector<UINT> Refused;

    HRESULT GetData(const FORMATETC& F, STGMEDIUM& M) override
    {
        for (const auto& [format, bytes] : Data)
            if (format == F.cfFormat && std::find(Refused.begin(), Refused.end(), format) == Refused.end()) {
                M.tymed = TYMED_HGLOBAL;
                M.hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, bytes.size());
                std::memcpy(GlobalLock(M.hGlobal), bytes.data(), bytes.size());
                GlobalUnlock(M.hGlobal);
                return S_OK;
            }
        return DV_E_FORMATETC;
    }
    HRESULT GetDataHere(const FORMATETC&, STGMEDIUM&) override { return DV_E_FORMATETC; }
    HRESULT QueryGetData(const FORMATETC&) override { return DV_E_FORMATETC; }
    HRESULT GetCanonicalFormatEtc(const FORMATETC&, FORMATETC&) override { return E_NOTIMPL; }
    HRESULT SetData(const FORMATETC&, STGMEDIUM&, bool) override { return DV_E_FORMATETC; }
    HRESULT EnumFormatEtc(DWORD Direction, IEnumFORMATETC*& Enum) override;
    HRESULT DAdvise(const FORMATETC&, DWORD, IUnknown*, DWORD&) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IUnknown*&) override { return OLE_E_ADVISENOTSUPPORTED; }
};

class TListEnum : public TInterfacedObject, public IEnumFORMATETC {
public:
    std::vector<UINT> List;
    size_t Pos = 0;
    HRESULT Next(ULONG Celt, FORMATETC* Elt, ULONG* Fetched) override
    {
        ULONG n = 0;
        for (; n < Celt && Pos < List.size(); ++n)
            Elt[n].cfFormat = List[Pos++];
        if (Fetched)
            *Fetched = n;
        return n == Celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG) override { return S_FALSE; }
    HRESULT Reset() override { Pos = 0; return S_OK; }
    HRESULT Clone(IEnumFORMATETC*&) override { return E_NOTIMPL; }
};

HRESULT TSourceData::EnumFormatEtc(DWORD Direction, IEnumFORMATETC*& Enum)
{
    auto* e = new TListEnum;
    for (const auto& d : Data)
        e->List.push_back(d.first);
    e->AddRef();
    Enum = e;
    return S_OK;
}

// A source that drops when the button is let go and cancels on Escape.
class TRecordingSource : public TInterfacedObject, public IDropSource {
public:
    AnsiString Log;
    HRESULT QueryContinueDrag(bool Escape, DWORD Keys) override
    {
        return Escape ? DRAGDROP_S_CANCEL : (Keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD Effect) override { Log += IntToStr(int(Effect)); return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// Two panels; B has a drop target, A none.
struct SystemDrop : TFormTest {
    TPanel* A = nullptr;
    TPanel* B = nullptr;
    TRecordingTarget* Target = nullptr;
    void SetUp() override
    {
        MakeForm(400, 200);
        A = Place<TPanel>(10, 10, 100, 100);
        B = Place<TPanel>(200, 10, 100, 100);
        Form->Show();
        Target = new TRecordingTarget;
        Target->AddRef();
        ASSERT_EQ(S_OK, RegisterDragDrop(B->Handle(), Target));
    }
    void TearDown() override
    {
        RevokeDragDrop(B->Handle());
        Target->Release();
        TFormTest::TearDown();
    }
    std::vector<TSystemDragStep> OntoB(TShiftState Shift = 0)
    {
        return {{A, 50, 50, Shift}, {B, 20, 20, Shift}, {B, 30, 40, Shift}};
    }
};

std::string Utf16z(const char16_t* s)
{
    std::u16string w(s);
    return std::string(reinterpret_cast<const char*>(w.c_str()), (w.size() + 1) * 2);
}

}  // namespace

TEST(SystemDragKeys, EffectFollowsTheKeysAmongTheAllowedOnes)
{
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    struct Case { DWORD Keys, Ok, Effect; } cases[] = {
        {0, all, DROPEFFECT_MOVE},
        {MK_CONTROL, all, DROPEFFECT_COPY},
        {MK_SHIFT, all, DROPEFFECT_MOVE},
        {MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
        {0, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {MK_CONTROL, DROPEFFECT_NONE, DROPEFFECT_NONE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Effect, DropEffectFromKeys(c.Keys, c.Ok)) << c.Keys << " " << c.Ok;
}

TEST_F(SystemDrop, TextFilesAndLinksFromOtherProgramsArriveInTheirFormats)
{
    const UINT url = RegisterClipboardFormat("UniformResourceLocator");
    const UINT rtf = RegisterClipboardFormat("Rich Text Format");
    TSystemDropData text;
    text.Text = "Zażółć gęślą jaźń";
    TSystemDropData files;
    files.Files = {"/tmp/Wykaz norm ąę.csv", "/tmp/druga.xls"};
    TSystemDropData link;
    link.Url = "https://sklep.pkn.pl/norma";
    TSystemDropData rich;
    rich.Text = "Norma";
    rich.Rtf = "{\\rtf1 Norma}";

    // Text: Windows-1250 and UTF-16, each ended by a zero; Ctrl copies, no key moves.
    EXPECT_EQ(DROPEFFECT_COPY, DropFromOutside(text, OntoB(ssCtrl)));
    EXPECT_EQ("enter;drop;", Target->Log);
    EXPECT_EQ(AnsiString("Zażółć gęślą jaźń") + '\0', Target->Dropped[CF_TEXT]);
    EXPECT_EQ(Utf16z(u"Zażółć gęślą jaźń"), Target->Dropped[CF_UNICODETEXT]);
    EXPECT_EQ(B->ClientToScreen(TPoint(30, 40)), Target->DropPoint);
    EXPECT_EQ(DROPEFFECT_MOVE, DropFromOutside(text, OntoB()));

    // Files: the file-drop block with the names in UTF-16.
    Target->Log.clear();
    EXPECT_EQ(DROPEFFECT_MOVE, DropFromOutside(files, OntoB()));
    EXPECT_EQ(std::vector<UINT>{CF_HDROP}, Target->Formats);
    const std::string& block = Target->Dropped[CF_HDROP];
    ASSERT_GE(block.size(), sizeof(DROPFILES));
    DROPFILES head;
    std::memcpy(&head, block.data(), sizeof head);
    EXPECT_EQ(1, head.fWide);
    EXPECT_EQ(Utf16z(u"/tmp/Wykaz norm ąę.csv") + Utf16z(u"/tmp/druga.xls") + std::string(2, '\0'),
              block.substr(head.pFiles));

    // A link: its own format and the address as text.
    EXPECT_EQ(DROPEFFECT_MOVE, DropFromOutside(link, OntoB()));
    EXPECT_EQ(AnsiString("https://sklep.pkn.pl/norma") + '\0', Target->Dropped[url]);
    EXPECT_EQ(AnsiString("https://sklep.pkn.pl/norma") + '\0', Target->Dropped[CF_TEXT]);

    // Rich text beside the plain text.
    EXPECT_EQ(DROPEFFECT_MOVE, DropFromOutside(rich, OntoB()));
    EXPECT_EQ(AnsiString("{\\rtf1 Norma}") + '\0', Target->Dropped[rtf]);

    // Dropped where no window takes drops: nothing.
    Target->Log.clear();
    EXPECT_EQ(DROPEFFECT_NONE, DropFromOutside(text, {{A, 20, 20}, {A, 30, 30}}));
    EXPECT_EQ("", Target->Log);
}

TEST_F(SystemDrop, GridColumnDraggedBetweenWindowsOfTheProgram)
{
    const UINT column = RegisterClipboardFormat("Grid Column");
    const UINT rtf = RegisterClipboardFormat("Rich Text Format");
    auto* data = new TSourceData;
    data->AddRef();
    const std::int32_t three = 3;
    data->Data = {{CF_TEXT, std::string(1, '\0')}, {rtf, "{\\rtf1 x}"}, {column, std::string(reinterpret_cast<const char*>(&three), 4)}};
    data->Refused = {CF_TEXT, rtf};   // listed, but an empty text and rich text are not given
    auto* source = new TRecordingSource;
    source->AddRef();

    struct Case {
        const char* Name;
        bool Escape;
        TShiftState Shift;
        HRESULT Result;
        DWORD Effect;
        const char* TargetLog;
        const char* Feedback;   // effects the source was shown, step by step
    } cases[] = {
        {"dropped on the other window", false, 0, DRAGDROP_S_DROP, DROPEFFECT_MOVE, "enter;drop;", "022"},
        {"copied with Ctrl", false, ssCtrl, DRAGDROP_S_DROP, DROPEFFECT_COPY, "enter;drop;", "011"},
        {"cancelled with Escape", true, 0, DRAGDROP_S_CANCEL, DROPEFFECT_NONE, "enter;leave;", "02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Target->Log.clear();
        Target->Dropped.clear();
        source->Log.clear();
        std::vector<TSystemDragStep> steps = OntoB(c.Shift);
        steps.back().Escape = c.Escape;
        ScriptSystemDrag(steps);
        DWORD effect = 12345;
        EXPECT_EQ(c.Result, DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect));
        EXPECT_FALSE(SystemDragPending());
        EXPECT_EQ(c.Effect, effect);
        EXPECT_EQ(AnsiString(c.TargetLog), Target->Log);
        EXPECT_EQ(AnsiString(c.Feedback), source->Log);
        if (c.Result == DRAGDROP_S_DROP) {
            EXPECT_EQ(std::vector<UINT>{column}, Target->Formats);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&three), 4) + '\0', Target->Dropped[column]);
        }
    }
    // A drag image goes along with the drag.
    TBitmap image;
    image.SetSize(32, 16);
    ScriptSystemDrag(OntoB());
    DWORD effect = 0;
    DoDragDrop(data, source, DROPEFFECT_COPY, effect, &image, TPoint(4, 4));
    EXPECT_EQ(32, LastSystemDragImageSize().cx);
    EXPECT_EQ(16, LastSystemDragImageSize().cy);
    // Unscripted, a test cannot drag (the real drag would wait for a mouse).
    EXPECT_THROW(DoDragDrop(data, source, DROPEFFECT_COPY, effect), Exception);
    EXPECT_EQ(1u, data->RefCount());
    EXPECT_EQ(1u, source->RefCount());
    data->Release();
    source->Release();
}

TEST_F(SystemDrop, RegistrationHoldsTheTargetUntilRevokedOrTheWindowGoes)
{
    EXPECT_EQ(2u, Target->RefCount());   // ours and the window's
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(B->Handle(), Target));
    EXPECT_EQ(DRAGDROP_E_INVALIDHWND, RegisterDragDrop(HWND(0x7FFFFFF0), Target));
    EXPECT_EQ(S_OK, RevokeDragDrop(B->Handle()));
    EXPECT_EQ(1u, Target->RefCount());
    EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, RevokeDragDrop(B->Handle()));
    TSystemDropData text;
    text.Text = "x";
    EXPECT_EQ(DROPEFFECT_NONE, DropFromOutside(text, OntoB()));

    ASSERT_EQ(S_OK, RegisterDragDrop(A->Handle(), Target));
    EXPECT_EQ(2u, Target->RefCount());
    delete A;
    A = nullptr;
    EXPECT_EQ(1u, Target->RefCount());
}
