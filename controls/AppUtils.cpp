#include "controls/AppUtils.h"

#include "controls/VCLUtils.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"

AnsiString IniReadString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident,
                         const AnsiString& Default)
{
    if (auto* ini = dynamic_cast<TCustomIniFile*>(IniFile))
        return ini->ReadString(Section, Ident, Default);
    if (auto* reg = dynamic_cast<TRegIniFile*>(IniFile))
        return reg->ReadString(Section, Ident, Default);
    return Default;
}

void IniWriteString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    if (auto* ini = dynamic_cast<TCustomIniFile*>(IniFile)) {
        AnsiString s = Value;
        if (s.size() > 1 && ((s.front() == '"' && s.back() == '"') || (s.front() == '\'' && s.back() == '\'')))
            s = "\"" + s + "\"";
        ini->WriteString(Section, Ident, s);
    } else if (auto* reg = dynamic_cast<TRegIniFile*>(IniFile)) {
        reg->WriteString(Section, Ident, Value);
    }
}

int IniReadInteger(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, int Default)
{
    if (auto* ini = dynamic_cast<TCustomIniFile*>(IniFile))
        return ini->ReadInteger(Section, Ident, Default);
    if (auto* reg = dynamic_cast<TRegIniFile*>(IniFile))
        return reg->ReadInteger(Section, Ident, Default);
    return Default;
}

void IniWriteInteger(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, int Value)
{
    if (auto* ini = dynamic_cast<TCustomIniFile*>(IniFile))
        ini->WriteInteger(Section, Ident, Value);
    else if (auto* reg = dynamic_cast<TRegIniFile*>(IniFile))
        reg->WriteInteger(Section, Ident, Value);
}

void IniEraseSection(TObject* IniFile, const AnsiString& Section)
{
    if (auto* ini = dynamic_cast<TCustomIniFile*>(IniFile))
        ini->EraseSection(Section);
    else if (auto* reg = dynamic_cast<TRegIniFile*>(IniFile))
        reg->EraseSection(Section);
}

AnsiString ResolutionSuffix()
{
    return Format("(%dx%d)", {Screen ? Screen->Width() : 0, Screen ? Screen->Height() : 0});
}

AnsiString IniReadResString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident,
                            const AnsiString& Default)
{
    AnsiString s = IniReadString(IniFile, Section, Ident + ResolutionSuffix(), "");
    return s.empty() ? IniReadString(IniFile, Section, Ident, Default) : s;
}

void IniWriteResString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    IniWriteString(IniFile, Section, Ident + ResolutionSuffix(), Value);
    IniWriteString(IniFile, Section, Ident, Value);
}

AnsiString GetDefaultSection(TComponent* Component)
{
    if (!Component)
        return AnsiString();
    if (dynamic_cast<TCustomForm*>(Component))
        return Component->ClassName();
    if (auto* control = dynamic_cast<TControl*>(Component)) {
        if (TCustomForm* form = GetParentForm(control))
            return form->ClassName() + Component->Name();
        if (control->Parent())
            return control->Parent()->Name() + Component->Name();
        return Component->Name();
    }
    if (auto* form = dynamic_cast<TCustomForm*>(Component->Owner()))
        return Format("%s.%s", {form->ClassName(), Component->Name()});
    return Component->Name();
}

AnsiString GetDefaultIniName()
{
    AnsiString exe = Application ? Application->ExeName() : AnsiString();
    return ChangeFileExt(ExtractFileName(exe), ".INI");
}

AnsiString GetDefaultIniRegKey()
{
    AnsiString title = Application ? Application->Title() : AnsiString();
    if (title.empty() && Application)
        title = ChangeFileExt(ExtractFileName(Application->ExeName()), "");
    return "Software\\" + title;
}

namespace {
// Flags of a stored window placement.
constexpr int WPF_SETMINPOSITION = 1;
constexpr int WPF_RESTORETOMAXIMIZED = 2;

// The four comma-separated numbers of a stored value; a missing word keeps its default.
void ReadFourInts(const AnsiString& Value, int* const (&Fields)[4])
{
    TCharSet comma{','};
    for (int i = 0; i < 4; ++i)
        *Fields[i] = StrToIntDef(Trim(ExtractWord(i + 1, Value, comma)), *Fields[i]);
}
}  // namespace

void WriteFormPlacement(TCustomForm* Form, TObject* IniFile, const AnsiString& Section)
{
    if (!Form)
        return;
    // The window's state, shown or not: a form hidden before it is destroyed
    // keeps its maximised or normal state for the next showing.
    const bool minimized = Form->WindowState() == wsMinimized;
    int show = minimized                               ? SW_SHOWMINIMIZED
               : Form->WindowState() == wsMaximized ? SW_SHOWMAXIMIZED
                                                      : SW_SHOWNORMAL;
    int flags = 0;
    if (minimized && Form->RestoresMaximized())
        flags |= WPF_RESTORETOMAXIMIZED;
    if (Form->FormStyle() == fsMDIChild && Form->WindowState() == wsMinimized)
        flags |= WPF_SETMINPOSITION;
    // The normal position, also of a maximised or minimised form.
    const TRect norm = Form->RestoredBounds();
    const TPoint maxPos = Form->MaximizedPos();
    IniWriteInteger(IniFile, Section, "Flags", flags);
    IniWriteInteger(IniFile, Section, "ShowCmd", show);
    IniWriteInteger(IniFile, Section, "PixelsPerInch", Screen ? Screen->PixelsPerInch() : 96);
    // No minimised-window position exists on this desktop: it stays unset (-1, -1).
    IniWriteResString(IniFile, Section, "MinMaxPos", Format("%d,%d,%d,%d", {-1, -1, maxPos.X, maxPos.Y}));
    IniWriteResString(IniFile, Section, "NormPos", Format("%d,%d,%d,%d", {norm.Left, norm.Top, norm.Right, norm.Bottom}));
}

void ReadFormPlacement(TCustomForm* Form, TObject* IniFile, const AnsiString& Section, bool LoadState,
                       bool LoadPosition)
{
    if (!Form)
        return;
    int flags = 0;
    if (LoadPosition) {
        flags = IniReadInteger(IniFile, Section, "Flags", 0);
        AnsiString minMax = IniReadResString(IniFile, Section, "MinMaxPos", "");
        AnsiString norm = IniReadResString(IniFile, Section, "NormPos", "");
        TRect r = Form->RestoredBounds();
        ReadFourInts(norm, {&r.Left, &r.Top, &r.Right, &r.Bottom});
        TPoint minPos(0, 0), maxPos(0, 0);
        ReadFourInts(minMax, {&minPos.X, &minPos.Y, &maxPos.X, &maxPos.Y});
        int ppi = IniReadInteger(IniFile, Section, "PixelsPerInch", Screen ? Screen->PixelsPerInch() : 96);
        if (ppi == (Screen ? Screen->PixelsPerInch() : 96)) {
            if (!minMax.empty())
                Form->SetMaximizedPos(maxPos);
            if (!norm.empty() && r.Width() > 0) {
                if (Form->Position() == poScreenCenter || Form->Position() == poDesktopCenter)
                    Form->SetPosition(poDesigned);
                bool sizeable = Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin;
                const TRect now = Form->RestoredBounds();
                if (!sizeable)
                    r = TRect(r.Left, r.Top, r.Left + now.Width(), r.Top + now.Height());
                // A placement saved on a larger or another screen comes back where the user reaches it.
                MakeRectVisible(r);
                Form->SetRestoredBounds(r);
            }
        }
    }
    if (LoadState) {
        // Without a stored command: normal, or maximised for a main form that
        // is an MDI parent or a normal form placed by the system.
        TWindowState state = wsNormal;
        const bool mainForm = Application && Application->MainForm() == Form;
        if (mainForm && (Form->FormStyle() == fsMDIForm
                         || (Form->FormStyle() == fsNormal && Form->Position() == poDefault)))
            state = wsMaximized;
        int show = IniReadInteger(IniFile, Section, "ShowCmd", 0);
        switch (show) {
        case 1: case 5: case 9: state = wsNormal; break;
        case 2: case 6: case 7: state = wsMinimized; break;
        case 3: state = wsMaximized; break;
        default: break;
        }
        if (mainForm && state == wsMinimized) {
            // The main form comes back normal and the program's window is minimised after it,
            // by a posted system command.
            Form->SetWindowState(wsNormal);
            PostMessage(Form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        Form->SetWindowState(state);
        if (state == wsMinimized && (flags & WPF_RESTORETOMAXIMIZED))
            Form->SetRestoresMaximized(true);
    }
    Form->Update();
}
