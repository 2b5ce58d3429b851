// The clipboard on the toolkit's clipboard. Registered formats travel as
// private MIME types ("application/x-velmarok-<name>"), so they reach other
// instances of the program; "Rich Text Format" is the standard "text/rtf".
#include "platform/gui/Clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd_p.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/QtText_p.h"

namespace {

std::mutex g_formatsLock;
std::vector<AnsiString> g_formatNames;   // index i is format 0xC000 + i

constexpr UINT FirstRegistered = 0xC000;

}  // namespace

QString FormatMime(UINT format)
{
    AnsiString name = GetClipboardFormatName(format);
    if (name.empty())
        return QString();
    if (AnsiSameText(name, "Rich Text Format"))
        return QStringLiteral("text/rtf");
    QByteArray enc = QUrl::toPercentEncoding(ToQString(name).toLower());
    return QStringLiteral("application/x-velmarok-") + QString::fromLatin1(enc);
}

UINT FormatOfMime(const QString& mime)
{
    if (mime == QStringLiteral("text/rtf"))
        return RegisterClipboardFormat("Rich Text Format");
    const QString prefix = QStringLiteral("application/x-velmarok-");
    if (!mime.startsWith(prefix))
        return 0;
    return RegisterClipboardFormat(FromQString(QUrl::fromPercentEncoding(mime.mid(prefix.size()).toLatin1())));
}

namespace {

QClipboard* SystemClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

QMimeData* CopyMime(const QMimeData* src)
{
    auto* m = new QMimeData;
    if (src)
        for (const QString& f : src->formats())
            m->setData(f, src->data(f));
    if (src && src->hasImage())
        m->setImageData(src->imageData());
    return m;
}

}  // namespace

UINT RegisterClipboardFormat(const AnsiString& Name)
{
    if (Name.empty())
        return 0;
    std::lock_guard<std::mutex> lock(g_formatsLock);
    for (size_t i = 0; i < g_formatNames.size(); ++i)
        if (AnsiSameText(g_formatNames[i], Name))
            return FirstRegistered + UINT(i);
    if (g_formatNames.size() >= 0x3FFF)
        return 0;
    g_formatNames.push_back(Name);
    return FirstRegistered + UINT(g_formatNames.size() - 1);
}

AnsiString GetClipboardFormatName(UINT Format)
{
    std::lock_guard<std::mutex> lock(g_formatsLock);
    if (Format < FirstRegistered || Format - FirstRegistered >= g_formatNames.size())
        return AnsiString();
    return g_formatNames[Format - FirstRegistered];
}

struct TClipboard::Impl {
    int OpenCount = 0;
    // What is being put together inside Open ... Close.
    QMimeData* Pending = nullptr;
    bool Emptied = false;

    const QMimeData* Current() const
    {
        if (Pending)
            return Pending;
        QClipboard* cb = SystemClipboard();
        return cb ? cb->mimeData() : nullptr;
    }
    // The data to add to: inside a bracket the pending data (emptied on first
    // use), else new data that replaces the clipboard's.
    QMimeData* Adding()
    {
        if (OpenCount == 0)
            return new QMimeData;
        if (!Pending)
            Pending = new QMimeData;
        if (!Emptied) {
            Emptied = true;
            for (const QString& f : Pending->formats())
                Pending->removeFormat(f);
        }
        return Pending;
    }
    void Done(QMimeData* m)
    {
        if (m == Pending)
            return;
        if (QClipboard* cb = SystemClipboard())
            cb->setMimeData(m);
        else
            delete m;
    }
};

TClipboard::TClipboard() : FImpl(std::make_unique<Impl>()) {}

TClipboard::~TClipboard()
{
    delete FImpl->Pending;
}

void TClipboard::Open()
{
    if (FImpl->OpenCount++ == 0) {
        FImpl->Emptied = false;
        delete FImpl->Pending;
        QClipboard* cb = SystemClipboard();
        FImpl->Pending = CopyMime(cb ? cb->mimeData() : nullptr);
    }
}

void TClipboard::Close()
{
    if (FImpl->OpenCount == 0)
        return;
    if (--FImpl->OpenCount == 0) {
        QMimeData* m = FImpl->Pending;
        FImpl->Pending = nullptr;
        if (FImpl->Emptied) {
            if (QClipboard* cb = SystemClipboard())
                cb->setMimeData(m);
            else
                delete m;
        } else {
            delete m;
        }
    }
}

void TClipboard::Clear()
{
    if (FImpl->OpenCount > 0) {
        FImpl->Emptied = false;
        FImpl->Adding();   // empties what is being put together
        return;
    }
    if (QClipboard* cb = SystemClipboard())
        cb->clear();
}

bool TClipboard::HasFormat(UINT Format) const
{
    const QMimeData* m = FImpl->Current();
    if (!m)
        return false;
    switch (Format) {
    case CF_TEXT:
    case CF_OEMTEXT:
    case CF_UNICODETEXT: return m->hasText();
    case CF_BITMAP: return m->hasImage();
    default: {
        QString mime = FormatMime(Format);
        return !mime.isEmpty() && m->hasFormat(mime);
    }
    }
}

AnsiString TClipboard::AsText() const
{
    const QMimeData* m = FImpl->Current();
    return m && m->hasText() ? FromQString(m->text()) : AnsiString();
}

void TClipboard::SetAsText(const AnsiString& Value)
{
    QMimeData* m = FImpl->Adding();
    m->setText(ToQString(Value));
    FImpl->Done(m);
}

void TClipboard::SetTextBuf(const char* Buffer)
{
    SetAsText(Buffer ? AnsiString(Buffer) : AnsiString());
}

int TClipboard::GetTextBuf(char* Buffer, int BufSize) const
{
    if (!Buffer || BufSize <= 0)
        return 0;
    AnsiString s = AsText();
    int n = std::min<int>(int(s.size()), BufSize - 1);
    std::memcpy(Buffer, s.data(), size_t(n));
    Buffer[n] = 0;
    return n;
}

AnsiString TClipboard::GetFormatData(UINT Format) const
{
    if (Format == CF_TEXT || Format == CF_UNICODETEXT || Format == CF_OEMTEXT)
        return AsText();
    const QMimeData* m = FImpl->Current();
    QString mime = FormatMime(Format);
    if (!m || mime.isEmpty() || !m->hasFormat(mime))
        return AnsiString();
    QByteArray b = m->data(mime);
    return AnsiString(b.constData(), size_t(b.size()));
}

void TClipboard::SetFormatData(UINT Format, const AnsiString& Data)
{
    if (Format == CF_TEXT || Format == CF_UNICODETEXT || Format == CF_OEMTEXT) {
        // Up to the terminating zero, as the system reads text.
        SetAsText(AnsiString(Data.c_str()));
        return;
    }
    QString mime = FormatMime(Format);
    if (mime.isEmpty())
        throw Exception("Cannot open clipboard: unknown format " + IntToStr(Format));
    QMimeData* m = FImpl->Adding();
    m->setData(mime, QByteArray(Data.data(), qsizetype(Data.size())));
    FImpl->Done(m);
}

void TClipboard::Assign(TPersistent* Source)
{
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        QMimeData* m = FImpl->Adding();
        m->setImageData(GraphicImage(*g));
        FImpl->Done(m);
        return;
    }
    if (auto* s = dynamic_cast<TStrings*>(Source)) {
        SetAsText(s->Text());
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest)
{
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        const QMimeData* m = FImpl->Current();
        if (!m || !m->hasImage())
            throw Exception("Unsupported clipboard format");
        QImage img = qvariant_cast<QImage>(m->imageData());
        SetBitmapImage(*b, img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        return;
    }
    if (auto* s = dynamic_cast<TStrings*>(Dest)) {
        s->SetText(AsText());
        return;
    }
    TPersistent::AssignTo(Dest);
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
