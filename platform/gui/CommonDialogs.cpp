// The common dialogs on the toolkit's file, colour, font and print dialogs,
// each behind the dialog hook.
#include "platform/gui/CommonDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#include "platform/core/SysUtils.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/Printers_p.h"
#include "platform/gui/QtText_p.h"

namespace {

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

TDialogRequest Request(TComponent* dialog, const char* className, const AnsiString& caption)
{
    TDialogRequest r;
    r.Kind = dkCommonDialog;
    r.Dialog = dialog;
    r.Name = dialog && !dialog->Name().empty() ? dialog->Name() : AnsiString(className);
    r.Caption = caption;
    return r;
}

bool Accepted(int result)
{
    return result == IDOK;
}

QString OsName(const AnsiString& name)
{
    return QString::fromStdString(ToOsPath(name));
}

AnsiString FromOsName(const QString& name)
{
    return FromOsPath(name.toStdString());
}

// "Text|*.txt;*.csv|All|*.*" as the toolkit's name filters ("Text (*.txt *.csv)").
QStringList NameFilters(const AnsiString& filter)
{
    QStringList parts = ToQString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(';', ' ');
        out << parts[i] + " (" + masks.simplified() + ")";
    }
    return out;
}

TColor ParseColor(const AnsiString& s, TColor fallback)
{
    try {
        return StringToColor(Trim(s));
    } catch (const Exception&) {
        return fallback;
    }
}

}  // namespace

void TCommonDialog::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCommonDialog::DoClose()
{
    if (OnClose)
        OnClose(this);
}

bool TCommonDialog::RunShown(TDialogRequest& Request)
{
    DoShow();
    int result = RunDialog(Request);
    DoClose();
    return Accepted(result);
}

// ---------------------------------------------------------------- files
TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

namespace {
// The one extension that the masks of the filter's entry Index (1-based) name: "csv" for "*.csv";
// "" for "*.*", "*.bmp;*.ico" or an entry that is not there.
AnsiString FilterExtension(const AnsiString& Filter, int Index)
{
    std::vector<AnsiString> parts;
    for (size_t at = 0;;) {
        const size_t bar = Filter.find('|', at);
        parts.push_back(Filter.substr(at, bar == AnsiString::npos ? AnsiString::npos : bar - at));
        if (bar == AnsiString::npos)
            break;
        at = bar + 1;
    }
    const size_t masks = size_t(2 * Index - 1);
    if (Index < 1 || masks >= parts.size())
        return AnsiString();
    const AnsiString mask = Trim(parts[masks]);
    if (mask.size() < 3 || mask.compare(0, 2, "*.") != 0 || mask.find_first_of("*?;. ", 2) != AnsiString::npos)
        return AnsiString();
    return mask.substr(2);
}
}  // namespace

AnsiString TOpenDialog::ExtensionToAdd(int AFilterIndex) const
{
    AnsiString ext = FDefaultExt;
    while (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    if (ext.empty())
        return ext;   // without DefaultExt a name stays as typed
    const AnsiString chosen = FilterExtension(FFilter, AFilterIndex);
    return chosen.empty() ? ext : chosen;
}

AnsiString TOpenDialog::WithDefaultExt(const AnsiString& name) const
{
    const AnsiString ext = ExtensionToAdd(FFilterIndex);
    if (ext.empty() || name.empty() || !ExtractFileExt(name).empty())
        return name;
    return name + "." + ext;
}

bool TOpenDialog::Execute()
{
    TDialogRequest r = Request(this, DialogName(), FTitle);
    r.Text = FFilter;
    r.Flags = FOptions;
    r.Values.push_back(FFileName);
    bool save = IsSave();
    r.Run = [this, save](TDialogRequest& req) -> int {
        QFileDialog d(DialogParent(), ToQString(req.Caption));
        d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        if (save)
            d.setFileMode(QFileDialog::AnyFile);
        else
            d.setFileMode(FOptions & ofAllowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        if (!(FOptions & ofOverwritePrompt))
            d.setOption(QFileDialog::DontConfirmOverwrite);
        QStringList filters = NameFilters(FFilter);
        if (!filters.isEmpty()) {
            d.setNameFilters(filters);
            d.selectNameFilter(filters.value(std::clamp(FFilterIndex, 1, int(filters.size())) - 1));
        }
        // Without InitialDir (and without a folder in FileName) in the user's home folder.
        d.setDirectory(FInitialDir.empty() ? QDir::homePath() : OsName(FInitialDir));
        if (!FFileName.empty()) {
            QString f = OsName(FFileName);
            if (FInitialDir.empty() || f.contains('/'))
                d.selectFile(f);
            else
                d.selectFile(QDir(OsName(FInitialDir)).filePath(f));
        }
        // A name typed without an extension takes the chosen filter's, as the dialog shows it.
        auto suffix = [this, &d, filters](const QString& Filter) {
            d.setDefaultSuffix(ToQString(ExtensionToAdd(int(filters.indexOf(Filter)) + 1)));
        };
        suffix(d.selectedNameFilter());
        QObject::connect(&d, &QFileDialog::filterSelected, &d, suffix);
        if (d.exec() != QDialog::Accepted)
            return IDCANCEL;
        req.Values.clear();
        for (const QString& f : d.selectedFiles())
            req.Values.push_back(FromOsName(f));
        int index = int(filters.indexOf(d.selectedNameFilter()));
        if (index >= 0)
            FFilterIndex = index + 1;
        return IDOK;
    };
    if (!RunShown(r) || r.Values.empty() || r.Values[0].empty())
        return false;
    FFiles->Clear();
    for (const AnsiString& f : r.Values)
        if (!f.empty())
            FFiles->Add(WithDefaultExt(f));
    if (FFiles->Count() == 0)
        return false;
    FFileName = FFiles->Strings(0);
    if (!(FOptions & ofNoChangeDir)) {
        AnsiString dir = ExtractFileDir(FFileName);
        if (!dir.empty())
            SetCurrentDir(dir);
    }
    return true;
}

// ---------------------------------------------------------------- colour
TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>())
{
}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute()
{
    TDialogRequest r = Request(this, "TColorDialog", AnsiString());
    r.Flags = FOptions;
    r.Values.push_back(IntToStr(FColor));
    r.Run = [this](TDialogRequest& req) -> int {
        // The custom colours "ColorA" .. "ColorP" are the dialog's 16 custom cells.
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            AnsiString v = FCustomColors->Values(AnsiString("Color") + char('A' + i));
            if (!v.empty())
                QColorDialog::setCustomColor(i, ToQColor(ParseColor("$" + v, clWhite)));
        }
        QColorDialog d(ToQColor(FColor), DialogParent());
        if (d.exec() != QDialog::Accepted)
            return IDCANCEL;
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            TColor c = FromQColor(QColorDialog::customColor(i));
            FCustomColors->SetValues(AnsiString("Color") + char('A' + i), IntToHex(c & 0xFFFFFF, 6));
        }
        req.Values.assign(1, IntToStr(FromQColor(d.selectedColor())));
        return IDOK;
    };
    if (!RunShown(r))
        return false;
    if (!r.Values.empty())
        FColor = ParseColor(r.Values[0], FColor);
    return true;
}

// ---------------------------------------------------------------- font
TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    TDialogRequest r = Request(this, "TFontDialog", AnsiString());
    r.Flags = FOptions;
    r.Values = {FFont->Name(), IntToStr(FFont->Size()), IntToStr(FFont->Style()), IntToStr(FFont->Color())};
    r.Run = [this](TDialogRequest& req) -> int {
        QFont initial = ToQFont(*FFont);
        initial.setPointSize(std::max(1, FFont->Size()));
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, initial, DialogParent());
        if (!ok)
            return IDCANCEL;
        TFontStyles st = 0;
        if (f.bold())
            st |= fsBold;
        if (f.italic())
            st |= fsItalic;
        if (f.underline())
            st |= fsUnderline;
        if (f.strikeOut())
            st |= fsStrikeOut;
        int size = f.pointSize() > 0 ? f.pointSize() : FFont->Size();
        req.Values = {FromQString(f.family()), IntToStr(size), IntToStr(st), IntToStr(FFont->Color())};
        return IDOK;
    };
    if (!RunShown(r))
        return false;
    const auto& v = r.Values;
    if (v.size() > 0 && !v[0].empty())
        FFont->SetName(v[0]);
    int n = 0;
    if (v.size() > 1 && TryStrToInt(v[1], n) && n > 0)
        FFont->SetSize(n);
    if (v.size() > 2 && TryStrToInt(v[2], n))
        FFont->SetStyle(TFontStyles(n) & (fsBold | fsItalic | fsUnderline | fsStrikeOut));
    if (v.size() > 3)
        FFont->SetColor(ParseColor(v[3], FFont->Color()));
    return true;
}

// ---------------------------------------------------------------- printing
bool TPrintDialog::Execute()
{
    TPrinter* printer = Printer();
    TDialogRequest r = Request(this, DialogName(), AnsiString());
    r.Values.push_back(printer->Orientation() == poLandscape ? "landscape" : "portrait");
    // The answer: the orientation, and the PDF file when the user prints to a file.
    r.Run = [this, printer](TDialogRequest& req) -> int {
        QPrinter* device = PrinterDevice(printer);
        device->setCopyCount(FCopies);
        ProposePrinterFile(printer);
        QPrintDialog d(device, DialogParent());
        if (d.exec() != QDialog::Accepted)
            return IDCANCEL;
        FCopies = std::max(1, device->copyCount());
        req.Values.assign(1, device->pageLayout().orientation() == QPageLayout::Landscape ? "landscape" : "portrait");
        if (device->outputFormat() == QPrinter::PdfFormat)
            req.Values.push_back(FromOsName(device->outputFileName()));
        return IDOK;
    };
    if (!RunShown(r))
        return false;
    if (!r.Values.empty())
        printer->SetOrientation(SameText(r.Values[0], "landscape") ? poLandscape : poPortrait);
    SetPrinterDialogFile(printer, r.Values.size() > 1 ? r.Values[1] : AnsiString());
    printer->SetCopies(FCopies);
    return true;
}

// ---------------------------------------------------------------- folders
bool SelectDirectory(const AnsiString& Caption, const AnsiString& Root, AnsiString& Directory)
{
    TDialogRequest r = Request(nullptr, "SelectDirectory", Caption);
    r.Text = Root;
    r.Values.push_back(Directory);
    r.Run = [](TDialogRequest& req) -> int {
        QString start = OsName(req.Values.empty() || req.Values[0].empty() ? req.Text : req.Values[0]);
        QString dir = QFileDialog::getExistingDirectory(DialogParent(), ToQString(req.Caption), start);
        if (dir.isEmpty())
            return IDCANCEL;
        req.Values.assign(1, FromOsName(dir));
        return IDOK;
    };
    int result = RunDialog(r);
    if (!Accepted(result) || r.Values.empty() || r.Values[0].empty())
        return false;
    Directory = r.Values[0];
    return true;
}

bool BrowseDirectory(const AnsiString& Caption, const AnsiString& Root, bool Centre,
                     const std::function<bool(const AnsiString& Folder)>& SelChanged, AnsiString& Directory)
{
    TDialogRequest r = Request(nullptr, "SelectDirectory", Caption);
    r.Text = Root;
    r.Values.push_back(Directory);
    r.Run = [&](TDialogRequest& req) -> int {
        QString start = OsName(req.Values.empty() || req.Values[0].empty() ? req.Text : req.Values[0]);
        QFileDialog d(DialogParent(), ToQString(req.Caption), start);
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly, true);
        if (SelChanged)
            QObject::connect(&d, &QFileDialog::currentChanged, &d, [&](const QString& path) {
                RunGuarded([&] { SelChanged(FromOsName(path)); });
            });
        if (Centre)
            if (QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect g = screen->availableGeometry();
                d.move(g.center() - QPoint(d.width() / 2, d.height() / 2));
            }
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
            return IDCANCEL;
        req.Values.assign(1, FromOsName(d.selectedFiles().front()));
        return IDOK;
    };
    int result = RunDialog(r);
    if (!Accepted(result) || r.Values.empty() || r.Values[0].empty())
        return false;
    // The folder the user ends on is a selection too; one refused cannot be taken.
    if (SelChanged && !SelChanged(r.Values[0]))
        return false;
    Directory = r.Values[0];
    return true;
}

AnsiString GraphicFilter()
{
    struct TType {
        const char* Name;
        const char* Mask;
    };
    const TType types[] = {{"Bitmaps", "*.bmp"},          {"Icons", "*.ico"},
                           {"JPEG Image File", "*.jpg"},  {"JPEG Image File", "*.jpeg"},
                           {"GIF Image", "*.gif"},        {"Portable Network Graphics", "*.png"}};
    AnsiString all, each;
    for (const TType& t : types) {
        all += (all.empty() ? "" : ";") + AnsiString(t.Mask);
        each += "|" + AnsiString(t.Name) + " (" + t.Mask + ")|" + t.Mask;
    }
    return "All (" + all + ")|" + all + each;
}
