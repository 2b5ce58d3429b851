#include "platform/gui/Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

#include "platform/gui/Controls_p.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/QtText_p.h"

namespace {
TDialogHook g_hook;

QWidget* ActiveWindowWidget()
{
    TCustomForm* f = Screen ? Screen->ActiveForm() : nullptr;
    return f && f->HandleAllocated() ? ControlWidget(f) : nullptr;
}

// The platform's message box, with Polish buttons.
int RealMessageBox(TDialogRequest& r)
{
    QMessageBox box(ActiveWindowWidget());
    box.setWindowTitle(ToQString(r.Caption));
    box.setText(ToQString(r.Text));
    // A topmost box is kept above all other windows.
    if (r.Flags & MB_TOPMOST)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (r.Flags & MB_ICONMASK) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B { const char* text; int id; QMessageBox::ButtonRole role; };
    std::vector<B> buttons;
    switch (r.Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{"OK", IDOK, QMessageBox::AcceptRole}, {"Anuluj", IDCANCEL, QMessageBox::RejectRole}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{"Przerwij", IDABORT, QMessageBox::RejectRole}, {"Ponów próbę", IDRETRY, QMessageBox::AcceptRole},
                   {"Ignoruj", IDIGNORE, QMessageBox::AcceptRole}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{"Tak", IDYES, QMessageBox::YesRole}, {"Nie", IDNO, QMessageBox::NoRole},
                   {"Anuluj", IDCANCEL, QMessageBox::RejectRole}};
        break;
    case MB_YESNO: buttons = {{"Tak", IDYES, QMessageBox::YesRole}, {"Nie", IDNO, QMessageBox::NoRole}}; break;
    case MB_RETRYCANCEL:
        buttons = {{"Ponów próbę", IDRETRY, QMessageBox::AcceptRole}, {"Anuluj", IDCANCEL, QMessageBox::RejectRole}};
        break;
    default: buttons = {{"OK", IDOK, QMessageBox::AcceptRole}}; break;
    }
    std::vector<QPushButton*> made;
    for (auto& b : buttons)
        made.push_back(box.addButton(ToQString(b.text), b.role));
    size_t def = (r.Flags & MB_DEFMASK) >> 8;
    if (def < made.size())
        box.setDefaultButton(made[def]);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i])
            return buttons[i].id;
    // Closed by the window's button: Cancel where there is one.
    for (auto& b : buttons)
        if (b.id == IDCANCEL)
            return IDCANCEL;
    return buttons.size() == 1 ? buttons[0].id : IDNO;
}

int RealInputQuery(TDialogRequest& r)
{
    QInputDialog dlg(ActiveWindowWidget());
    dlg.setWindowTitle(ToQString(r.Caption));
    dlg.setLabelText(ToQString(r.Text));
    dlg.setTextValue(ToQString(r.Values.empty() ? AnsiString() : r.Values[0]));
    dlg.setOkButtonText(ToQString("OK"));
    dlg.setCancelButtonText(ToQString("Anuluj"));
    if (dlg.exec() != QDialog::Accepted)
        return IDCANCEL;
    r.Values.assign(1, FromQString(dlg.textValue()));
    return IDOK;
}
}  // namespace

TDialogHook SetDialogHook(TDialogHook Hook)
{
    TDialogHook old = std::move(g_hook);
    g_hook = std::move(Hook);
    return old;
}

int RunDialog(TDialogRequest& Request)
{
    // A control that holds the mouse (the press or double click that opened the dialog) ends what
    // the press began and lets go of it: its release goes to the dialog's window now, and the
    // clicks inside the dialog are the dialog's.
    if (HWND held = GetCapture())
        SendMessage(held, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    if (g_hook)
        return g_hook(Request);
    return Request.Run ? Request.Run(Request) : 0;
}

int MessageBox(HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags)
{
    TDialogRequest r;
    r.Kind = dkMessageBox;
    r.Text = Text;
    r.Caption = Caption;
    r.Flags = Flags;
    r.Run = RealMessageBox;
    return RunDialog(r);
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    static const char* const captions[] = {"Ostrzeżenie", "Błąd", "Informacja", "Potwierdź", ""};
    TDialogRequest r;
    r.Kind = dkMessageDlg;
    r.Text = Msg;
    r.Caption = DlgType == mtCustom && Application ? Application->Title() : AnsiString(captions[DlgType]);
    r.Flags = Buttons;
    r.Run = [DlgType](TDialogRequest& req) -> int {
        // The same box with the buttons asked for.
        QMessageBox box(ActiveWindowWidget());
        box.setWindowTitle(ToQString(req.Caption));
        box.setText(ToQString(req.Text));
        static const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                                  QMessageBox::Information, QMessageBox::Question,
                                                  QMessageBox::NoIcon};
        box.setIcon(icons[DlgType]);
        struct B { TMsgDlgBtn btn; const char* text; int mr; };
        static const B all[] = {{mbYes, "Tak", mrYes}, {mbNo, "Nie", mrNo}, {mbOK, "OK", mrOk},
                                {mbCancel, "Anuluj", mrCancel}, {mbAbort, "Przerwij", mrAbort},
                                {mbRetry, "Ponów próbę", mrRetry}, {mbIgnore, "Ignoruj", mrIgnore},
                                {mbAll, "Wszystkie", mrAll}, {mbNoToAll, "Nie dla wszystkich", mrNoToAll},
                                {mbYesToAll, "Tak dla wszystkich", mrYesToAll}};
        std::vector<std::pair<QPushButton*, int>> made;
        for (auto& b : all)
            if (req.Flags & b.btn)
                made.push_back({box.addButton(ToQString(b.text), QMessageBox::ActionRole), b.mr});
        box.exec();
        for (auto& [btn, mr] : made)
            if (box.clickedButton() == btn)
                return mr;
        return mrCancel;
    };
    return RunDialog(r);
}

void LoadMessageIcon(TMsgDlgType DlgType, TBitmap* Bitmap)
{
    if (!Bitmap)
        return;
    static const QStyle::StandardPixmap pictures[] = {QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical,
                                                      QStyle::SP_MessageBoxInformation,
                                                      QStyle::SP_MessageBoxQuestion};
    QImage image;
    if (DlgType != mtCustom) {
        QStyle* style = QApplication::style();
        const int size = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
        image = style->standardIcon(pictures[DlgType]).pixmap(size, size).toImage();
    }
    SetBitmapImage(*Bitmap, image);
}

void ShowMessage(const AnsiString& Msg)
{
    MessageBox(0, Msg, Application ? Application->Title() : AnsiString(), MB_OK);
}

bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value)
{
    TDialogRequest r;
    r.Kind = dkInputQuery;
    r.Caption = ACaption;
    r.Text = APrompt;
    r.Values.push_back(Value);
    r.Run = RealInputQuery;
    if (RunDialog(r) != IDOK)
        return false;
    if (!r.Values.empty())
        Value = r.Values[0];
    return true;
}

AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault)
{
    AnsiString v = ADefault;
    return InputQuery(ACaption, APrompt, v) ? v : ADefault;
}
