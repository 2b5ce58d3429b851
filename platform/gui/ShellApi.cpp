// Shell services on the desktop's opener and the standard folders. Opening
// is limited to web and mail addresses and the program's own files, so that
// no text from a data file can make the program run something else.
#include "platform/gui/ShellApi.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>
#include <QWidget>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/core/SysUtils.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/ShellApi_p.h"

extern char** environ;

namespace {

std::mutex g_lock;
std::set<QString> g_writtenFiles;
std::set<QString> g_programFolders;
TShellOpenHook g_openHook;

bool StartsWithNoCase(const AnsiString& s, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return s.size() >= n && SameText(s.substr(0, n), prefix);
}

// The absolute, cleaned name; the real name (links resolved) when it exists.
QString RealName(const QString& name)
{
    QFileInfo fi(name);
    QString canon = fi.canonicalFilePath();
    return canon.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : canon;
}

bool Inside(const QString& name, const QString& folder)
{
    if (folder.isEmpty())
        return false;
    return name == folder || name.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// Mail programs attach files named in "attach=" or "attachment=".
bool HasAttachment(const QUrl& url)
{
    for (const auto& item : QUrlQuery(url).queryItems())
        if (item.first.compare(QStringLiteral("attach"), Qt::CaseInsensitive) == 0 ||
            item.first.compare(QStringLiteral("attachment"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The desktop's opener, xdg-open, with the address or the file's name. It has done its part when
// it ends without an error, or when it still runs after a while (where it waits for the program it
// started); it is missing, or it ends with an error, when nothing could open the target.
bool DesktopOpen(const std::string& target)
{
    posix_spawn_file_actions_t io;
    ::posix_spawn_file_actions_init(&io);
    for (int fd : {0, 1, 2})
        ::posix_spawn_file_actions_addopen(&io, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    std::string program = "xdg-open", argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, program.c_str(), &io, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&io);
    if (spawned != 0)
        return false;
    // A thread of its own waits for the opener's end, however long it runs.
    auto ended = std::make_shared<std::promise<int>>();
    std::future<int> status = ended->get_future();
    std::thread([pid, ended] {
        int st = 0;
        while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
        }
        ended->set_value(st);
    }).detach();
    if (status.wait_for(std::chrono::seconds(3)) != std::future_status::ready)
        return true;
    const int st = status.get();
    return WIFEXITED(st) && WEXITSTATUS(st) == 0;
}

bool Open(const AnsiString& target, const std::string& osTarget)
{
    TShellOpenHook hook;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        hook = g_openHook;
    }
    if (hook)
        return hook(target);
    return DesktopOpen(osTarget);
}

}  // namespace

std::intptr_t ShellExecute(HWND Owner, const AnsiString& Operation, const AnsiString& File,
                           const AnsiString& Parameters, const AnsiString& Directory, int ShowCmd)
{
    if (!Operation.empty() && !SameText(Operation, "open"))
        return SE_ERR_NOASSOC;
    AnsiString file = Trim(File);
    if (file.empty())
        return SE_ERR_FNF;
    if (StartsWithNoCase(file, "http://") || StartsWithNoCase(file, "https://") ||
        StartsWithNoCase(file, "mailto:")) {
        QUrl url(ToQString(file));
        if (!url.isValid())
            return SE_ERR_FNF;
        if (StartsWithNoCase(file, "mailto:") && HasAttachment(url))
            return SE_ERR_ACCESSDENIED;   // a mail address must not send files along
        return Open(file, url.toString(QUrl::FullyEncoded).toStdString()) ? 42 : SE_ERR_NOASSOC;
    }
    // Any other address (file:, javascript: ...) is refused; "C:" style names are not addresses.
    size_t colon = file.find(':');
    if (colon != AnsiString::npos && colon > 1 && file.find_first_of("\\/") > colon)
        return SE_ERR_ACCESSDENIED;

    QString name = QString::fromStdString(ToOsPath(file));
    if (QFileInfo(name).isRelative()) {
        QString dir = Directory.empty() ? QDir::currentPath() : QString::fromStdString(ToOsPath(Directory));
        name = QDir(dir).absoluteFilePath(name);
    }
    QFileInfo fi(name);
    if (!fi.exists())
        return SE_ERR_FNF;
    QString real = RealName(name);
    bool allowed = Inside(real, RealName(QCoreApplication::applicationDirPath()));
    if (!allowed) {
        std::lock_guard<std::mutex> lock(g_lock);
        allowed = g_writtenFiles.count(real) > 0 ||
                  std::any_of(g_programFolders.begin(), g_programFolders.end(),
                              [&](const QString& folder) { return Inside(real, folder); });
    }
    if (!allowed)
        return SE_ERR_ACCESSDENIED;
    return Open(FromOsPath(real.toStdString()), real.toStdString()) ? 42 : SE_ERR_NOASSOC;
}

void ShellRegisterWrittenFile(const AnsiString& FileName)
{
    if (FileName.empty())
        return;
    QString name = RealName(QString::fromStdString(ToOsPath(FileName)));
    std::lock_guard<std::mutex> lock(g_lock);
    g_writtenFiles.insert(name);
}

void ShellRegisterProgramFolder(const AnsiString& Folder)
{
    if (Folder.empty())
        return;
    QString name = RealName(QString::fromStdString(ToOsPath(Folder)));
    std::lock_guard<std::mutex> lock(g_lock);
    g_programFolders.insert(name);
}

bool ShellIsWrittenFile(const QString& LocalName)
{
    if (LocalName.isEmpty() || !QFileInfo(LocalName).isFile())
        return false;
    QString name = RealName(LocalName);
    std::lock_guard<std::mutex> lock(g_lock);
    return g_writtenFiles.count(name) > 0;
}

TShellOpenHook SetShellOpenHook(TShellOpenHook Hook)
{
    std::lock_guard<std::mutex> lock(g_lock);
    TShellOpenHook old = std::move(g_openHook);
    g_openHook = std::move(Hook);
    return old;
}

bool SHGetSpecialFolderPath(HWND Owner, AnsiString& Path, int Folder, bool Create)
{
    QString dir;
    switch (Folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); break;
    case CSIDL_PERSONAL: dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); break;
    case CSIDL_APPDATA: dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); break;
    case CSIDL_LOCAL_APPDATA:
    case CSIDL_COMMON_APPDATA: dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); break;
    case CSIDL_MYPICTURES: dir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation); break;
    case CSIDL_PROFILE: dir = QDir::homePath(); break;
    case CSIDL_FONTS: dir = QStandardPaths::writableLocation(QStandardPaths::FontsLocation); break;
    case CSIDL_PROGRAMS: dir = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation); break;
    default: return false;
    }
    // A login need not have a desktop folder (the user folders name it, else ~/Desktop): where
    // there is none, and none is made, the home folder stands for it.
    if ((Folder == CSIDL_DESKTOP || Folder == CSIDL_DESKTOPDIRECTORY) && !Create && !QFileInfo(dir).isDir())
        dir = QDir::homePath();
    if (dir.isEmpty())
        return false;
    // Without Create the name is given even when the folder is missing.
    if (Create && !QFileInfo(dir).isDir() && !QDir().mkpath(dir))
        return false;
    Path = FromOsPath(QDir::cleanPath(dir).toStdString());
    return true;
}

// ---------------------------------------------------------------- dropped files
namespace {

class TDropFilter : public QObject {
public:
    TDropFilter(QWidget* w, TWinControl* c, TDropFilesEvent h) : QObject(w), Control(c), Handler(std::move(h)) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            if (HasFiles(d->mimeData())) {
                d->acceptProposedAction();
                return true;
            }
            return false;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            if (!HasFiles(d->mimeData()))
                return false;
            std::vector<AnsiString> files;
            for (const QUrl& u : d->mimeData()->urls())
                if (u.isLocalFile())
                    files.push_back(FromOsPath(u.toLocalFile().toStdString()));
            d->acceptProposedAction();
            QPoint p = d->position().toPoint();
            try {
                Deliver(files, TPoint(p.x(), p.y()));
            } catch (...) {
                gui_state::HandleException();
            }
            return true;
        }
        default: return QObject::eventFilter(watched, e);
        }
    }

    void Deliver(const std::vector<AnsiString>& files, TPoint pos)
    {
        TStringList list;
        for (const AnsiString& f : files)
            list.Add(f);
        if (Handler)
            Handler(Control, &list, pos);
        else
            Control->Perform(WM_DROPFILES, WPARAM(static_cast<TStrings*>(&list)), 0);
    }

    static bool HasFiles(const QMimeData* m)
    {
        if (!m || !m->hasUrls())
            return false;
        for (const QUrl& u : m->urls())
            if (u.isLocalFile())
                return true;
        return false;
    }

    TWinControl* Control;
    TDropFilesEvent Handler;
};

TDropFilter* FilterOf(TWinControl* c)
{
    QWidget* w = c ? WinImpl(c).Widget.data() : nullptr;
    if (!w)
        return nullptr;
    for (QObject* child : w->children())
        if (auto* f = dynamic_cast<TDropFilter*>(child))
            return f;
    return nullptr;
}

}  // namespace

void DragAcceptFiles(TWinControl* Control, bool Accept, TDropFilesEvent OnDropFiles)
{
    if (!Control)
        return;
    if (TDropFilter* old = FilterOf(Control)) {
        old->parent()->removeEventFilter(old);
        delete old;
    }
    QWidget* w = ControlWidget(Control);
    if (!w)
        return;
    w->setAcceptDrops(Accept);
    if (Accept)
        w->installEventFilter(new TDropFilter(w, Control, std::move(OnDropFiles)));
}

bool DropFilesOn(TWinControl* Control, const std::vector<AnsiString>& Files, TPoint Pos)
{
    TDropFilter* f = FilterOf(Control);
    if (!f)
        return false;
    f->Deliver(Files, Pos);
    return true;
}

// ---------------------------------------------------------------- the system's file icons
namespace {
struct TSystemIcons {
    TImageList Small{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    TImageList Large{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    std::map<QString, int> Indexes;   // by the file's path or the type's name
};

TSystemIcons& SystemIcons()
{
    static TSystemIcons icons;
    return icons;
}

void AddSystemIcon(TImageList& List, const QIcon& Icon)
{
    QImage image(List.Width(), List.Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Icon.paint(&p, image.rect());
    p.end();
    TBitmap bitmap;
    SetBitmapImage(bitmap, image);
    List.Add(&bitmap, nullptr);
}
}  // namespace

TImageList* SystemImageList(bool Large)
{
    return Large ? &SystemIcons().Large : &SystemIcons().Small;
}

int SystemFileIconIndex(const AnsiString& FileName)
{
    if (FileName.empty())
        return -1;
    const QFileInfo info(RealName(QString::fromStdString(ToOsPath(FileName))));
    // A name that does not exist stands for its type, known by the extension alone.
    const bool exists = info.exists();
    const QMimeType type = exists ? QMimeType() : QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    const QString key = exists ? "file:" + info.absoluteFilePath() : "type:" + type.name();
    TSystemIcons& icons = SystemIcons();
    if (auto it = icons.Indexes.find(key); it != icons.Indexes.end())
        return it->second;
    QFileIconProvider provider;
    QIcon icon = exists ? provider.icon(info) : QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull() && !exists)
        icon = provider.icon(QAbstractFileIconProvider::File);
    if (icon.isNull())
        return -1;
    AddSystemIcon(icons.Small, icon);
    AddSystemIcon(icons.Large, icon);
    const int index = icons.Small.Count() - 1;
    icons.Indexes.emplace(key, index);
    return index;
}
