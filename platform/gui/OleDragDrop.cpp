// The system drag and drop on the toolkit's. A registered window gets an event
// filter that turns the toolkit's drag events into the drop target's calls,
// with the dragged MIME data seen as a data object. DoDragDrop turns the
// source's data object into MIME data and runs the toolkit's drag, asking the
// drop source on every move. The test support runs the same drag along
// scripted steps: it sends the same drag events to the windows under the
// steps' points, so the target side is the same code either way.
#include "platform/gui/OleDragDrop.h"
#include "platform/gui/OleDragDrop_p.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd_p.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/QtText_p.h"

// ---------------------------------------------------------------- references
ULONG TInterfacedObject::AddRef()
{
    return ++FRefCount;
}

ULONG TInterfacedObject::Release()
{
    ULONG n = --FRefCount;
    if (n == 0)
        delete this;
    return n;
}

// ---------------------------------------------------------------- global memory
namespace {
struct TGlobalBlock {
    std::size_t Size = 0;
    int Locks = 0;
    std::vector<char> Bytes;
};

HGLOBAL NewBlock(const std::string& bytes)
{
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    if (h && !bytes.empty())
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

std::string BlockBytes(HGLOBAL h)
{
    const char* p = static_cast<const char*>(GlobalLock(h));
    std::string s = p ? std::string(p, GlobalSize(h)) : std::string();
    GlobalUnlock(h);
    return s;
}
}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t Bytes)
{
    auto* b = new (std::nothrow) TGlobalBlock;
    if (!b)
        return nullptr;
    try {
        b->Bytes.assign(std::max<std::size_t>(Bytes, 1), 0);
    } catch (const std::bad_alloc&) {
        delete b;
        return nullptr;
    }
    b->Size = Bytes;
    return b;
}

void* GlobalLock(HGLOBAL Mem)
{
    if (!Mem)
        return nullptr;
    auto* b = static_cast<TGlobalBlock*>(Mem);
    ++b->Locks;
    return b->Bytes.data();
}

bool GlobalUnlock(HGLOBAL Mem)
{
    if (!Mem)
        return false;
    auto* b = static_cast<TGlobalBlock*>(Mem);
    if (b->Locks > 0)
        --b->Locks;
    return b->Locks > 0;
}

std::size_t GlobalSize(HGLOBAL Mem)
{
    return Mem ? static_cast<TGlobalBlock*>(Mem)->Size : 0;
}

HGLOBAL GlobalFree(HGLOBAL Mem)
{
    delete static_cast<TGlobalBlock*>(Mem);
    return nullptr;
}

void ReleaseStgMedium(STGMEDIUM& Medium)
{
    if (Medium.pUnkForRelease)
        Medium.pUnkForRelease->Release();
    else if (Medium.tymed == TYMED_HGLOBAL && Medium.hGlobal)
        GlobalFree(Medium.hGlobal);
    Medium = STGMEDIUM();
}

// ---------------------------------------------------------------- effects and keys
DWORD DropEffectFromKeys(DWORD KeyState, DWORD OkEffects)
{
    const bool ctrl = KeyState & MK_CONTROL, shift = KeyState & MK_SHIFT;
    DWORD wanted = ctrl && shift ? DROPEFFECT_LINK : ctrl ? DROPEFFECT_COPY : shift ? DROPEFFECT_MOVE : 0;
    if (wanted)
        return OkEffects & wanted;
    for (DWORD e : {DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_LINK})
        if (OkEffects & e)
            return e;
    return DROPEFFECT_NONE;
}

namespace {

DWORD EffectsOf(Qt::DropActions a)
{
    DWORD e = 0;
    if (a & Qt::CopyAction)
        e |= DROPEFFECT_COPY;
    if (a & Qt::MoveAction)
        e |= DROPEFFECT_MOVE;
    if (a & Qt::LinkAction)
        e |= DROPEFFECT_LINK;
    return e;
}

Qt::DropActions ActionsOf(DWORD e)
{
    Qt::DropActions a;
    if (e & DROPEFFECT_COPY)
        a |= Qt::CopyAction;
    if (e & DROPEFFECT_MOVE)
        a |= Qt::MoveAction;
    if (e & DROPEFFECT_LINK)
        a |= Qt::LinkAction;
    return a;
}

// One action for an effect (a target may answer several; the keys choose among them).
Qt::DropAction ActionOf(DWORD effect, DWORD keys)
{
    switch (DropEffectFromKeys(keys, effect)) {
    case DROPEFFECT_COPY: return Qt::CopyAction;
    case DROPEFFECT_MOVE: return Qt::MoveAction;
    case DROPEFFECT_LINK: return Qt::LinkAction;
    default: return Qt::IgnoreAction;
    }
}

DWORD KeysOf(Qt::MouseButtons b, Qt::KeyboardModifiers m)
{
    DWORD k = 0;
    if (b & Qt::LeftButton)
        k |= MK_LBUTTON;
    if (b & Qt::RightButton)
        k |= MK_RBUTTON;
    if (b & Qt::MiddleButton)
        k |= MK_MBUTTON;
    if (m & Qt::ShiftModifier)
        k |= MK_SHIFT;
    if (m & Qt::ControlModifier)
        k |= MK_CONTROL;
    if (m & Qt::AltModifier)
        k |= MK_ALT;
    return k;
}

Qt::MouseButtons ButtonsOf(DWORD k)
{
    Qt::MouseButtons b;
    if (k & MK_LBUTTON)
        b |= Qt::LeftButton;
    if (k & MK_RBUTTON)
        b |= Qt::RightButton;
    if (k & MK_MBUTTON)
        b |= Qt::MiddleButton;
    return b;
}

Qt::KeyboardModifiers ModifiersOf(DWORD k)
{
    Qt::KeyboardModifiers m;
    if (k & MK_SHIFT)
        m |= Qt::ShiftModifier;
    if (k & MK_CONTROL)
        m |= Qt::ControlModifier;
    if (k & MK_ALT)
        m |= Qt::AltModifier;
    return m;
}

UINT UrlFormat()
{
    return RegisterClipboardFormat("UniformResourceLocator");
}

// ---------------------------------------------------------------- format enumerator
class TFormatList : public TInterfacedObject, public IEnumFORMATETC {
public:
    explicit TFormatList(std::vector<FORMATETC> formats) : FFormats(std::move(formats)) {}

    HRESULT Next(ULONG Celt, FORMATETC* Elt, ULONG* Fetched) override
    {
        ULONG n = 0;
        while (n < Celt && FPos < FFormats.size() && Elt)
            Elt[n++] = FFormats[FPos++];
        if (Fetched)
            *Fetched = n;
        return n == Celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG Celt) override
    {
        FPos += Celt;
        if (FPos <= FFormats.size())
            return S_OK;
        FPos = FFormats.size();
        return S_FALSE;
    }
    HRESULT Reset() override
    {
        FPos = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumFORMATETC*& Enum) override
    {
        auto* c = new TFormatList(FFormats);
        c->FPos = FPos;
        c->AddRef();
        Enum = c;
        return S_OK;
    }

private:
    std::vector<FORMATETC> FFormats;
    std::size_t FPos = 0;
};

// ---------------------------------------------------------------- dragged MIME data as a data object
// The block of each format is made when the data object is made: the MIME data of a
// drag lives only while the toolkit's event does.
class TMimeDataObject : public TInterfacedObject, public IDataObject {
public:
    explicit TMimeDataObject(const QMimeData& m)
    {
        std::vector<AnsiString> files;
        QString link;
        for (const QUrl& u : m.urls()) {
            if (u.isLocalFile())
                files.push_back(FromOsPath(u.toLocalFile().toStdString()));
            else if (link.isEmpty())
                link = u.toString();
        }
        // Plain text of its own (the toolkit also calls a list of addresses text: not so here).
        bool hasText = false;
        for (const QString& f : m.formats())
            hasText = hasText || f.startsWith(QStringLiteral("text/plain"));
        if (hasText || !link.isEmpty()) {
            // Text, or the link's address as its text.
            const QString text = hasText ? m.text() : link;
            Add(CF_TEXT, FromQString(text) + '\0');
            std::u16string w(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
            Add(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(w.c_str()), (w.size() + 1) * 2));
        }
        if (!files.empty())
            Add(CF_HDROP, FileDropBlock(files));
        if (!link.isEmpty())
            Add(UrlFormat(), FromQString(link) + '\0');
        for (const QString& f : m.formats()) {
            UINT format = FormatOfMime(f);
            if (format && format != UrlFormat()) {
                QByteArray b = m.data(f);
                Add(format, std::string(b.constData(), std::size_t(b.size())) + '\0');
            }
        }
    }

    HRESULT GetData(const FORMATETC& FormatIn, STGMEDIUM& Medium) override
    {
        const std::string* data = Find(FormatIn);
        if (!data)
            return DV_E_FORMATETC;
        Medium = STGMEDIUM();
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = NewBlock(*data);
        return Medium.hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT GetDataHere(const FORMATETC&, STGMEDIUM&) override { return DV_E_FORMATETC; }
    HRESULT QueryGetData(const FORMATETC& Format) override { return Find(Format) ? S_OK : DV_E_FORMATETC; }
    HRESULT GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& FormatOut) override
    {
        FormatOut.ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT SetData(const FORMATETC&, STGMEDIUM&, bool) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD Direction, IEnumFORMATETC*& EnumFormat) override
    {
        EnumFormat = nullptr;
        if (Direction != DATADIR_GET)
            return E_NOTIMPL;
        std::vector<FORMATETC> list;
        for (const auto& [format, data] : FData) {
            FORMATETC f;
            f.cfFormat = format;
            list.push_back(f);
        }
        auto* e = new TFormatList(std::move(list));
        e->AddRef();
        EnumFormat = e;
        return S_OK;
    }
    HRESULT DAdvise(const FORMATETC&, DWORD, IUnknown*, DWORD&) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IUnknown*& EnumAdvise) override
    {
        EnumAdvise = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    void Add(UINT format, std::string data)
    {
        for (const auto& entry : FData)
            if (entry.first == format)
                return;
        FData.emplace_back(format, std::move(data));
    }
    const std::string* Find(const FORMATETC& f) const
    {
        if (f.dwAspect != DVASPECT_CONTENT || !(f.tymed & TYMED_HGLOBAL))
            return nullptr;
        for (const auto& [format, data] : FData)
            if (format == f.cfFormat)
                return &data;
        return nullptr;
    }
    // The file-drop block: the structure, then the names in UTF-16, each ended by a
    // zero, and an empty name.
    static std::string FileDropBlock(const std::vector<AnsiString>& files)
    {
        DROPFILES head;
        head.fWide = 1;
        std::string block(reinterpret_cast<const char*>(&head), sizeof head);
        for (const AnsiString& f : files) {
            QString name = QString::fromStdString(ToOsPath(f));
            block.append(reinterpret_cast<const char*>(name.utf16()), std::size_t(name.size()) * 2);
            block.append(2, '\0');
        }
        block.append(2, '\0');
        return block;
    }

    std::vector<std::pair<UINT, std::string>> FData;
};

// ---------------------------------------------------------------- a data object as MIME data
// Text up to its terminating zero.
std::string UpToZero(const std::string& s)
{
    return s.substr(0, s.find('\0'));
}

std::vector<QUrl> DroppedFileUrls(const std::string& block)
{
    std::vector<QUrl> urls;
    if (block.size() < sizeof(DROPFILES))
        return urls;
    DROPFILES head;
    std::memcpy(&head, block.data(), sizeof head);
    std::size_t at = head.pFiles;
    while (at < block.size()) {
        QString name;
        if (head.fWide) {
            std::u16string w;
            while (at + 1 < block.size()) {
                char16_t c;
                std::memcpy(&c, block.data() + at, 2);
                at += 2;
                if (!c)
                    break;
                w += c;
            }
            name = QString::fromUtf16(w.data(), qsizetype(w.size()));
        } else {
            std::string a = UpToZero(block.substr(at));
            at += a.size() + 1;
            name = QString::fromStdString(ToOsPath(a));
        }
        if (name.isEmpty())
            break;
        urls.push_back(QUrl::fromLocalFile(name));
    }
    return urls;
}

QMimeData* MimeOfDataObject(IDataObject* obj)
{
    auto* m = new QMimeData;
    IEnumFORMATETC* formats = nullptr;
    if (!obj || FAILED(obj->EnumFormatEtc(DATADIR_GET, formats)) || !formats)
        return m;
    QList<QUrl> urls;
    bool unicodeText = false;
    FORMATETC f;
    ULONG got = 0;
    while (formats->Next(1, &f, &got) == S_OK && got == 1) {
        STGMEDIUM medium;
        f.tymed = TYMED_HGLOBAL;
        if (FAILED(obj->GetData(f, medium)))
            continue;   // listed but not given (the format check refuses it)
        std::string bytes = medium.tymed == TYMED_HGLOBAL ? BlockBytes(medium.hGlobal) : std::string();
        ReleaseStgMedium(medium);
        if (f.cfFormat == CF_UNICODETEXT) {
            std::u16string w;
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                char16_t c;
                std::memcpy(&c, bytes.data() + i, 2);
                if (!c)
                    break;
                w += c;
            }
            m->setText(QString::fromUtf16(w.data(), qsizetype(w.size())));
            unicodeText = true;
        } else if (f.cfFormat == CF_TEXT || f.cfFormat == CF_OEMTEXT) {
            if (!unicodeText)
                m->setText(ToQString(UpToZero(bytes)));
        } else if (f.cfFormat == CF_HDROP) {
            for (const QUrl& u : DroppedFileUrls(bytes))
                urls << u;
        } else if (f.cfFormat == UrlFormat()) {
            urls << QUrl(ToQString(UpToZero(bytes)));
        } else if (QString mime = FormatMime(f.cfFormat); !mime.isEmpty()) {
            if (mime == QStringLiteral("text/rtf"))
                bytes = UpToZero(bytes);
            m->setData(mime, QByteArray(bytes.data(), qsizetype(bytes.size())));
        }
    }
    formats->Release();
    if (!urls.isEmpty()) {
        const QString text = m->text();
        m->setUrls(urls);   // the URL list replaces the text: keep both
        if (!text.isEmpty())
            m->setText(text);
    }
    return m;
}

// ---------------------------------------------------------------- drop targets of windows
class TDropTargetFilter;
std::map<HWND, TDropTargetFilter*> g_targets;

// The toolkit's drag events of a registered window, as the drop target's calls.
class TDropTargetFilter : public QObject {
public:
    TDropTargetFilter(QWidget* w, HWND wnd, IDropTarget* target) : QObject(w), FWnd(wnd), FTarget(target)
    {
        FTarget->AddRef();
        g_targets[wnd] = this;
    }
    ~TDropTargetFilter() override
    {
        if (FData)
            FData->Release();
        FTarget->Release();
        auto it = g_targets.find(FWnd);
        if (it != g_targets.end() && it->second == this)
            g_targets.erase(it);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            const DWORD keys = KeysOf(d->buttons(), d->modifiers());
            const TPoint pt = ScreenPoint(d->position().toPoint());
            const DWORD allowed = EffectsOf(d->possibleActions());
            DWORD effect = allowed;
            if (e->type() == QEvent::DragEnter) {
                NewData(*d->mimeData());
                RunGuarded([&] { FTarget->DragEnter(FData, keys, pt, effect); });
                FEntered = true;
                FEnterPoint = pt;
            } else if (e->type() == QEvent::DragMove) {
                if (FEntered && pt == FEnterPoint) {
                    // The toolkit follows an enter with a move to the same point: the enter answered it.
                    effect = FEffect;
                } else {
                    RunGuarded([&] { FTarget->DragOver(keys, pt, effect); });
                }
                FEntered = false;
            } else {
                if (!FData)
                    NewData(*d->mimeData());
                RunGuarded([&] { FTarget->Drop(FData, keys, pt, effect); });
                ReleaseData();
                FEntered = false;
            }
            FEffect = effect & allowed;
            Qt::DropAction action = ActionOf(FEffect, keys);
            d->setDropAction(action);
            d->setAccepted(action != Qt::IgnoreAction);
            return true;
        }
        case QEvent::DragLeave:
            RunGuarded([&] { FTarget->DragLeave(); });
            ReleaseData();
            FEntered = false;
            return true;
        default: return QObject::eventFilter(watched, e);
        }
    }

private:
    TPoint ScreenPoint(const QPoint& local) const
    {
        TWinControl* c = FindControl(FWnd);
        return c ? c->ClientToScreen(TPoint(local.x(), local.y())) : TPoint(local.x(), local.y());
    }
    void NewData(const QMimeData& m)
    {
        ReleaseData();
        FData = new TMimeDataObject(m);
        FData->AddRef();
    }
    void ReleaseData()
    {
        if (FData)
            FData->Release();
        FData = nullptr;
    }

    HWND FWnd;
    IDropTarget* FTarget;
    TMimeDataObject* FData = nullptr;
    DWORD FEffect = DROPEFFECT_NONE;
    bool FEntered = false;
    TPoint FEnterPoint;
};

// The registered window under a screen point (the window under it or its nearest parent with a target).
QWidget* DropWindowAt(const TPoint& screen, TWinControl** control)
{
    TControl* c = FindDragTarget(screen, false);
    TWinControl* w = dynamic_cast<TWinControl*>(c);
    if (!w && c)
        w = c->Parent();
    for (; w; w = w->Parent())
        if (w->HandleAllocated() && g_targets.count(w->Handle())) {
            *control = w;
            return WinImpl(w).Widget.data();
        }
    *control = nullptr;
    return nullptr;
}

// ---------------------------------------------------------------- the drag loop along steps
// The same toolkit events a drag sends to the windows it passes, sent along the steps.
class TStepDrag {
public:
    TStepDrag(const QMimeData& data, DWORD okEffects, IDropSource* source)
        : FData(data), FOk(okEffects), FSource(source)
    {
    }

    // The loop's result; Effect the drop's effect.
    HRESULT Run(std::vector<TOleDragStep> steps, DWORD& Effect)
    {
        Effect = DROPEFFECT_NONE;
        if (steps.empty())
            return DRAGDROP_S_CANCEL;
        if (steps.back().KeyState & MK_LBUTTON) {
            TOleDragStep release = steps.back();
            release.KeyState &= ~DWORD(MK_LBUTTON);
            steps.push_back(release);
        }
        for (const TOleDragStep& s : steps) {
            HRESULT hr;
            gui_state::NoteCursorPos(s.Screen);   // the pointer is where the drag is
            if (FSource)
                hr = FSource->QueryContinueDrag(s.Escape, s.KeyState);
            else
                hr = s.Escape ? DRAGDROP_S_CANCEL : (s.KeyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
            gui_state::RethrowPending();
            if (hr == DRAGDROP_S_CANCEL) {
                Leave();
                return DRAGDROP_S_CANCEL;
            }
            if (hr == DRAGDROP_S_DROP) {
                if (!FWidget || FEffect == DROPEFFECT_NONE) {
                    Leave();
                    return DRAGDROP_S_CANCEL;
                }
                QDropEvent drop(Local(s.Screen), ActionsOf(FOk), &FData, ButtonsOf(s.KeyState),
                                ModifiersOf(s.KeyState));
                Send(drop);
                FWidget = nullptr;
                Effect = drop.isAccepted() ? EffectsOf(drop.dropAction()) : DROPEFFECT_NONE;
                return Effect == DROPEFFECT_NONE ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
            }
            MoveTo(s);
            if (FSource)
                FSource->GiveFeedback(FEffect);
            gui_state::RethrowPending();
        }
        Leave();
        return DRAGDROP_S_CANCEL;
    }

private:
    void MoveTo(const TOleDragStep& s)
    {
        TWinControl* control = nullptr;
        QWidget* w = DropWindowAt(s.Screen, &control);
        if (w != FWidget) {
            Leave();
            FWidget = w;
            FControl = control;
            if (!w)
                return;
            QDragEnterEvent enter(Local(s.Screen).toPoint(), ActionsOf(FOk), &FData, ButtonsOf(s.KeyState),
                                  ModifiersOf(s.KeyState));
            Answer(enter, s.KeyState);
            Send(enter);
        }
        if (!FWidget)
            return;
        QDragMoveEvent move(Local(s.Screen).toPoint(), ActionsOf(FOk), &FData, ButtonsOf(s.KeyState), ModifiersOf(s.KeyState));
        Answer(move, s.KeyState);
        Send(move);
        FEffect = move.isAccepted() ? EffectsOf(move.dropAction()) : DROPEFFECT_NONE;
    }
    void Leave()
    {
        if (FWidget) {
            QDragLeaveEvent leave;
            Send(leave);
        }
        FWidget = nullptr;
        FControl = nullptr;
        FEffect = DROPEFFECT_NONE;
    }
    // The action the keys propose, as the toolkit's drag proposes it.
    void Answer(QDropEvent& e, DWORD keys)
    {
        e.setDropAction(ActionOf(FOk, keys));
        e.ignore();
    }
    QPointF Local(const TPoint& screen) const
    {
        if (!FControl)
            return QPointF(screen.X, screen.Y);
        TPoint p = FControl->ScreenToClient(screen);
        return QPointF(p.X, p.Y);
    }
    void Send(QEvent& e)
    {
        if (FWidget)
            QCoreApplication::sendEvent(FWidget, &e);
        gui_state::RethrowPending();
    }

    const QMimeData& FData;
    DWORD FOk;
    IDropSource* FSource;
    QPointer<QWidget> FWidget;
    TWinControl* FControl = nullptr;
    DWORD FEffect = DROPEFFECT_NONE;
};

std::vector<TOleDragStep> g_script;
bool g_scripted = false;
TSize g_lastImage;

// ---------------------------------------------------------------- the toolkit's modal drag
// Asks the drop source on the moves, keys and release the drag loop sees.
class TDragSourceWatch : public QObject {
public:
    explicit TDragSourceWatch(IDropSource* s) : FSource(s) {}
    bool Cancelled = false;

    bool eventFilter(QObject* o, QEvent* e) override
    {
        bool escape = false;
        DWORD keys = KeysOf(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
        switch (e->type()) {
        case QEvent::KeyPress:
            escape = static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape;
            break;
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            keys = KeysOf(m->buttons(), m->modifiers());
            const QPoint p = m->globalPosition().toPoint();
            gui_state::NoteCursorPos(TPoint(p.x(), p.y()));   // GetCursorPos follows the drag
            break;
        }
        default: return QObject::eventFilter(o, e);
        }
        HRESULT hr = S_OK;
        RunGuarded([&] { hr = FSource->QueryContinueDrag(escape, keys); });
        if (hr == DRAGDROP_S_CANCEL && !Cancelled) {
            Cancelled = true;
            QDrag::cancel();
        }
        return false;
    }

private:
    IDropSource* FSource;
};

}  // namespace

// ---------------------------------------------------------------- registration
HRESULT RegisterDragDrop(HWND Wnd, IDropTarget* DropTarget)
{
    TWinControl* c = FindControl(Wnd);
    if (!c || !DropTarget)
        return c ? E_INVALIDARG : DRAGDROP_E_INVALIDHWND;
    if (g_targets.count(Wnd))
        return DRAGDROP_E_ALREADYREGISTERED;
    QWidget* w = ControlWidget(c);
    if (!w)
        return DRAGDROP_E_INVALIDHWND;
    w->setAcceptDrops(true);
    w->installEventFilter(new TDropTargetFilter(w, Wnd, DropTarget));
    return S_OK;
}

HRESULT RevokeDragDrop(HWND Wnd)
{
    auto it = g_targets.find(Wnd);
    if (it == g_targets.end())
        return DRAGDROP_E_NOTREGISTERED;
    TDropTargetFilter* f = it->second;
    if (auto* w = qobject_cast<QWidget*>(f->parent())) {
        w->removeEventFilter(f);
        w->setAcceptDrops(false);
    }
    delete f;
    return S_OK;
}

// ---------------------------------------------------------------- the drag
HRESULT DoDragDrop(IDataObject* DataObj, IDropSource* DropSource, DWORD OkEffects, DWORD& Effect)
{
    return DoDragDrop(DataObj, DropSource, OkEffects, Effect, nullptr, TPoint());
}

HRESULT DoDragDrop(IDataObject* DataObj, IDropSource* DropSource, DWORD OkEffects, DWORD& Effect,
                   TBitmap* Image, TPoint HotSpot)
{
    Effect = DROPEFFECT_NONE;
    if (!DataObj || !DropSource)
        return E_INVALIDARG;
    DataObj->AddRef();
    DropSource->AddRef();
    std::unique_ptr<QMimeData> mime(MimeOfDataObject(DataObj));
    g_lastImage = Image && !Image->Empty() ? TSize{Image->Width(), Image->Height()} : TSize{};
    HRESULT hr;
    try {
        if (g_scripted) {
            g_scripted = false;
            std::vector<TOleDragStep> steps = std::move(g_script);
            g_script.clear();
            hr = TStepDrag(*mime, OkEffects, DropSource).Run(std::move(steps), Effect);
        } else if (gui_state::TestMode) {
            throw Exception("A system drag started that the test did not script");
        } else {
            QObject* owner = GetCapture() ? static_cast<QObject*>(WinImpl(FindControl(GetCapture())).Widget.data())
                                          : static_cast<QObject*>(QApplication::activeWindow());
            auto* drag = new QDrag(owner ? owner : qApp);
            drag->setMimeData(mime.release());
            if (Image && !Image->Empty()) {
                drag->setPixmap(QPixmap::fromImage(BitmapImage(*Image)));
                drag->setHotSpot(QPoint(HotSpot.X, HotSpot.Y));
            }
            TDragSourceWatch watch(DropSource);
            QObject::connect(drag, &QDrag::actionChanged, [&](Qt::DropAction a) {
                RunGuarded([&] { DropSource->GiveFeedback(EffectsOf(a)); });
            });
            // Installed once the drag loop runs, so that it sees the input before the loop's own filter.
            QTimer::singleShot(0, &watch, [&watch] { qApp->installEventFilter(&watch); });
            const DWORD keys = KeysOf(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
            Qt::DropAction result = drag->exec(ActionsOf(OkEffects), ActionOf(OkEffects, keys));
            qApp->removeEventFilter(&watch);
            drag->deleteLater();
            Effect = watch.Cancelled ? DROPEFFECT_NONE : EffectsOf(result) & OkEffects;
            hr = Effect == DROPEFFECT_NONE ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
        }
    } catch (...) {
        DataObj->Release();
        DropSource->Release();
        throw;
    }
    DataObj->Release();
    DropSource->Release();
    return hr;
}

// ---------------------------------------------------------------- test support
void ScriptNextOleDrag(std::vector<TOleDragStep> Steps)
{
    g_script = std::move(Steps);
    g_scripted = true;
}

bool OleDragScriptPending()
{
    return g_scripted;
}

DWORD RunForeignOleDrag(const QMimeData& Data, DWORD OkEffects, const std::vector<TOleDragStep>& Steps)
{
    DWORD effect = DROPEFFECT_NONE;
    TStepDrag(Data, OkEffects, nullptr).Run(Steps, effect);
    return effect;
}

TSize LastOleDragImageSize()
{
    return g_lastImage;
}
