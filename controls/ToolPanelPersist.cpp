// Saving and loading the arrangement of a strip's panels, in an ini file or
// in the registry.
#include "controls/ToolPanels.h"
#include "controls/VCLUtils.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/gui/Forms.h"

// The section/key/value store both locations offer.
class TPanelStore {
public:
    virtual ~TPanelStore() = default;
    virtual AnsiString ReadString(const AnsiString& S, const AnsiString& K, const AnsiString& D) = 0;
    virtual int ReadInteger(const AnsiString& S, const AnsiString& K, int D) = 0;
    virtual void WriteString(const AnsiString& S, const AnsiString& K, const AnsiString& V) = 0;
    virtual void WriteInteger(const AnsiString& S, const AnsiString& K, int V) = 0;
    // The ini file names each panel's strip; the registry does not.
    virtual bool WithTab() const = 0;
};

namespace {

// The store on an ini file (TIniFile) or on a registry key (TRegIniFile): both read and write alike.
template <class TFile>
class TFilePanelStore : public TPanelStore {
public:
    TFilePanelStore(const AnsiString& Name, bool WithTab) : FFile(Name), FWithTab(WithTab) {}
    AnsiString ReadString(const AnsiString& S, const AnsiString& K, const AnsiString& D) override
    {
        return FFile.ReadString(S, K, D);
    }
    int ReadInteger(const AnsiString& S, const AnsiString& K, int D) override { return FFile.ReadInteger(S, K, D); }
    void WriteString(const AnsiString& S, const AnsiString& K, const AnsiString& V) override
    {
        FFile.WriteString(S, K, V);
    }
    void WriteInteger(const AnsiString& S, const AnsiString& K, int V) override { FFile.WriteInteger(S, K, V); }
    bool WithTab() const override { return FWithTab; }

private:
    TFile FFile;
    bool FWithTab;
};

} // namespace

std::unique_ptr<TPanelStore> TProToolPanelTab::OpenStore() const
{
    if (FPersist->Location() == pplINIFile) {
        if (FPersist->INIFile().empty())
            return nullptr;
        return std::make_unique<TFilePanelStore<TIniFile>>(FPersist->INIFile(), true);
    }
    if (FPersist->RegistryUserKey().empty())
        return nullptr;
    return std::make_unique<TFilePanelStore<TRegIniFile>>(FPersist->RegistryUserKey(), false);
}

void TProToolPanelTab::WritePanels(TPanelStore& Store)
{
    const AnsiString n = Name();
    Store.WriteInteger(n + "PANELS", "COUNT", FPanels->Count());
    for (int k = 1; k <= FPanels->Count(); ++k) {
        const TToolPanel* e = FPanels->Items(k - 1);
        TProToolPanel* p = e->Panel();
        const AnsiString sec = n + "PANEL" + IntToStr(k);
        Store.WriteString(sec, "NAME", p ? p->Name() : AnsiString());
        Store.WriteInteger(sec, "OPENWIDTH", e->OpenWidth());
        if (!p)
            continue;
        const bool floating = p->Floating();
        Store.WriteInteger(sec, "LOCKED", p->Locked() ? 1 : 0);
        Store.WriteInteger(sec, "HIDDEN", p->Hidden() ? 1 : 0);
        // A floating panel is stored as docked off its strip, so that it floats again.
        Store.WriteInteger(sec, "DOCKED", (p->Docked() || floating) ? 1 : 0);
        Store.WriteInteger(sec, "VISIBLE", p->Visible() ? 1 : 0);
        if (Store.WithTab() && p->ToolPanelTab())
            Store.WriteString(sec, "TAB", p->ToolPanelTab()->Name());
        if (floating) {
            TForm* f = p->FloatingForm();
            Store.WriteInteger(sec, "LEFT", f->Left());
            Store.WriteInteger(sec, "TOP", f->Top());
            Store.WriteInteger(sec, "WIDTH", f->Width());
            Store.WriteInteger(sec, "HEIGHT", f->Height());
        } else {
            Store.WriteInteger(sec, "LEFT", p->Left());
            Store.WriteInteger(sec, "TOP", p->Top());
            int width = p->OpenWidth();
            if (p->Locked())
                width = Vertical() ? p->Width() : p->Height();
            Store.WriteInteger(sec, "WIDTH", width);
        }
    }
}

void TProToolPanelTab::SavePanels()
{
    std::unique_ptr<TPanelStore> store = OpenStore();
    if (store)
        WritePanels(*store);
    FLoaded = false;
}

bool TProToolPanelTab::ReadPanels(TPanelStore& Store)
{
    const AnsiString n = Name();
    const int count = Store.ReadInteger(n + "PANELS", "COUNT", 0);
    if (count <= 0)
        return false;
    FOpenIndex = -1;
    for (int k = 1; k <= count; ++k) {
        const AnsiString sec = n + "PANEL" + IntToStr(k);
        TProToolPanel* p = PanelByName(Store.ReadString(sec, "NAME", ""));
        if (!p || p->PanelLoaded())
            continue;
        p->SetPanelLoaded(true);
        TToolPanel* e = FPanels->Items(IndexOfPanel(p));
        const int openWidth = Store.ReadInteger(sec, "OPENWIDTH", 0);
        e->SetOpenWidth(openWidth);
        const bool docked = Store.ReadInteger(sec, "DOCKED", 0) == 1;
        const bool visible = Store.ReadInteger(sec, "VISIBLE", 0) == 1;
        const bool hidden = Store.ReadInteger(sec, "HIDDEN", 0) == 1;
        const bool locked = Store.ReadInteger(sec, "LOCKED", 0) == 1;
        p->FDocked = docked;
        p->SetVisible(visible);
        p->SetHidden(hidden);
        // A missing or zero width keeps the one the panel has.
        const int width = locked ? Store.ReadInteger(sec, "WIDTH", 0) : openWidth;
        if (width > 0)
            p->SetOpenWidth(width);
        if (locked != p->Locked() && !hidden && !docked) {
            if (locked) {
                if (FPosition == ppLeft)
                    p->SetLeft(FTabWidth);
                p->SetAlign(alNone);
                if (Vertical())
                    p->SetBounds(p->Left(), Top(), p->OpenWidth(), Height());
                else
                    p->SetBounds(p->Left(), FTabWidth, Width(), p->OpenWidth());
                p->SetVisible(true);
                p->SetLocked(true);
            } else {
                p->SetLocked(false);
                p->Hide();
            }
        }
        if (docked && visible) {
            const int l = Store.ReadInteger(sec, "LEFT", 0), t = Store.ReadInteger(sec, "TOP", 0);
            // A missing or broken size would leave an empty window: the panel keeps its own then.
            int w = Store.ReadInteger(sec, "WIDTH", 0), h = Store.ReadInteger(sec, "HEIGHT", 0);
            if (w <= 0)
                w = p->Width() > 0 ? p->Width() : p->OpenWidth();
            if (h <= 0)
                h = p->Height() > 0 ? p->Height() : Height();
            // A window saved on a larger or another screen floats where the user reaches it.
            TRect r(l, t, l + w, t + h);
            MakeRectVisible(r);
            p->FloatAt(r);
            // The numbers are the floating window's own, as saved.
            if (TForm* f = p->FloatingForm())
                f->SetBounds(r.Left, r.Top, w, h);
        }
    }
    SetThickness(HasTabs() ? FTabWidth : 2);
    FOpenIndex = -1;
    return true;
}

void TProToolPanelTab::LoadPanels()
{
    std::unique_ptr<TPanelStore> store = OpenStore();
    if (!store || !ReadPanels(*store))
        return;
    bool took = false;
    TWinControl* parent = Parent();
    if (parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* p = dynamic_cast<TProToolPanel*>(parent->Controls(i));
            if (!p || p->PanelLoaded() || p->ToolPanelTab() == this)
                continue;
            if (p->ToolPanelTab())
                p->ToolPanelTab()->RemovePanel(p);
            // The strip owns what it takes over (its old owner's notice takes it off every strip).
            InsertComponent(p);
            AddPanel(p);
            took = true;
        }
    }
    FLoaded = true;
    if (!took)
        return;
    ReadPanels(*store);
    store.reset();
    if (!parent)
        return;
    std::vector<TProToolPanelTab*> others;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* t = dynamic_cast<TProToolPanelTab*>(parent->Controls(i)))
            if (t != this && !t->StripLoaded())
                others.push_back(t);
    for (TProToolPanelTab* t : others)
        t->LoadPanels();
}
