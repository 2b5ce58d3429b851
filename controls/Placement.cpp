#include "controls/Placement.h"

#include <algorithm>

#include "controls/AppUtils.h"
#include "controls/KxHook.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/SysInfo.h"

// ---------------------------------------------------------------- TWinMinMaxInfo
void TWinMinMaxInfo::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TWinMinMaxInfo*>(Source)) {
        std::copy(std::begin(other->FValues), std::end(other->FValues), std::begin(FValues));
        if (OnChange)
            OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

void TWinMinMaxInfo::SetValue(int Index, int Value)
{
    if (FValues[Index] == Value)
        return;
    FValues[Index] = Value;
    if (OnChange)
        OnChange(this);
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const
{
    return std::all_of(std::begin(FValues), std::end(FValues), [](int v) { return v == 0; });
}

// ---------------------------------------------------------------- TIniLink
TIniLink::~TIniLink() { SetStorage(nullptr); }

void TIniLink::SetStorage(TFormPlacement* Value)
{
    if (FStorage == Value)
        return;
    if (FStorage)
        std::erase(FStorage->FLinks, this);
    FStorage = Value;
    if (FStorage)
        FStorage->FLinks.push_back(this);
}

AnsiString TIniLink::RootSection() const
{
    if (!FStorage)
        return AnsiString();
    AnsiString s = FStorage->IniSection();
    return s.empty() ? s : s + "\\";
}

TObject* TIniLink::IniObject() const { return FStorage ? FStorage->IniFileObject() : nullptr; }

void TIniLink::SaveToIni()
{
    if (OnSave)
        OnSave(this);
}

void TIniLink::LoadFromIni()
{
    if (OnLoad)
        OnLoad(this);
}

// ---------------------------------------------------------------- TFormPlacement
TFormPlacement::TFormPlacement(TComponent* AOwner)
    : TComponent(AOwner), FMinMaxInfo(std::make_unique<TWinMinMaxInfo>()),
      FWinHook(std::make_unique<TKxWindowHook>(nullptr))
{
    FWinHook->SetActive(false);
    FWinHook->AfterMessage = [this](TObject* s, TMessage& m, bool& h) { WndMessage(s, m, h); };
    FWinHook->BeforeMessage = [this](TObject* s, TMessage& m, bool& h) { WndMessageBefore(s, m, h); };
    FMinMaxInfo->OnChange = [this](TObject*) { CheckMinMaxInfo(); };
    if (Form()) {
        FOptions = fpState | fpPosition;
        HookForm();
    }
}

TFormPlacement::~TFormPlacement()
{
    Destroying();
    UnhookForm();
    FWinHook.reset();
    for (TIniLink* link : std::vector<TIniLink*>(FLinks))
        link->SetStorage(nullptr);
}

TCustomForm* TFormPlacement::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TFormPlacement::Loaded()
{
    TComponent::Loaded();
    if (Form() && !FHooked)
        HookForm();
}

void TFormPlacement::HookForm()
{
    TCustomForm* f = Form();
    if (!f || FHooked || (ComponentState() & csDesigning))
        return;
    FHooked = true;
    FSaveFormShow = f->OnShow;
    FSaveFormCloseQuery = f->OnCloseQuery;
    FSaveFormDestroy = f->OnDestroy;
    f->OnShow = [this](TObject* s) { FormShow(s); };
    f->OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    f->OnDestroy = [this](TObject* s) { FormDestroy(s); };
    FWinHook->SetWinControl(f);
    CheckMinMaxInfo();
}

void TFormPlacement::UnhookForm()
{
    TCustomForm* f = Form();
    if (!f || !FHooked)
        return;
    FHooked = false;
    f->OnShow = FSaveFormShow;
    f->OnCloseQuery = FSaveFormCloseQuery;
    f->OnDestroy = FSaveFormDestroy;
    FWinHook->SetActive(false);
    FWinHook->SetWinControl(nullptr);
}

void TFormPlacement::FormShow(TObject* Sender)
{
    if (IsActive()) {
        try {
            RestorePlacement();
        } catch (const Exception&) {
            // an unreadable store leaves the designed placement
        }
    }
    ApplyLimits();
    if (FSaveFormShow)
        FSaveFormShow(Sender);
}

void TFormPlacement::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    if (FSaveFormCloseQuery)
        FSaveFormCloseQuery(Sender, CanClose);
    if (CanClose && IsActive() && Form() && Form()->HandleAllocated()) {
        try {
            SavePlacement();
        } catch (const Exception&) {
        }
    }
}

void TFormPlacement::FormDestroy(TObject* Sender)
{
    if (IsActive() && !FSaved) {
        FDestroying = true;
        try {
            SavePlacement();
        } catch (const Exception&) {
        }
        FDestroying = false;
    }
    if (FSaveFormDestroy)
        FSaveFormDestroy(Sender);
}

// ---------------------------------------------------------------- size limits
void TFormPlacement::CheckMinMaxInfo()
{
    TCustomForm* f = Form();
    if (!f || !FHooked)
        return;
    const bool limits = FPreventResize || !FMinMaxInfo->DefaultMinMaxInfo();
    FWinHook->SetActive(limits);
    ApplyLimits();
}

// The window's size limits: with PreventResize the size it has now (it cannot be
// sized or maximised), else the set values of MinMaxInfo. The maximised position is the
// window manager's.
void TFormPlacement::ApplyLimits()
{
    TCustomForm* f = Form();
    if (!f || !FHooked)
        return;
    if (FPreventResize) {
        if (f->MaximizeBox()) {
            FHadMaximizeBox = true;
            f->SetMaximizeBox(false);
        }
        // The size is pinned once the form shows: until then the program may size it.
        const TRect r = f->RestoredBounds();
        if (f->Visible())
            f->SetSizeLimits(r.Width(), r.Height(), r.Width(), r.Height());
        else
            f->SetSizeLimits(0, 0, 0, 0);
        return;
    }
    if (FHadMaximizeBox && f->BorderStyle() != bsDialog)
        f->SetMaximizeBox(true);
    FHadMaximizeBox = false;
    const TWinMinMaxInfo& m = *FMinMaxInfo;
    // The window manager maximises a window within its largest size: the maximised size is
    // one more bound of it.
    auto least = [](int a, int b) { return !a ? b : !b ? a : std::min(a, b); };
    f->SetSizeLimits(m.MinTrackWidth(), m.MinTrackHeight(), least(m.MaxTrackWidth(), m.MaxSizeWidth()),
                     least(m.MaxTrackHeight(), m.MaxSizeHeight()));
    if (m.MaxPosLeft() || m.MaxPosTop())
        f->SetMaximizedPos(TPoint(m.MaxPosLeft() ? m.MaxPosLeft() : f->MaximizedPos().X,
                                  m.MaxPosTop() ? m.MaxPosTop() : f->MaximizedPos().Y));
}

// With PreventResize the form cannot be maximised and its sizing borders are no borders.
void TFormPlacement::WndMessageBefore(TObject*, TMessage& Msg, bool& Handled)
{
    if (FPreventResize && Msg.Msg == WM_SYSCOMMAND
        && ((Msg.WParam & 0xFFF0) == SC_MAXIMIZE || (Msg.WParam & 0xFFF0) == SC_SIZE))
        Handled = true;
}

// After the form handled a message: a hit on a sizing border is no hit while
// PreventResize is set.
void TFormPlacement::WndMessage(TObject*, TMessage& Msg, bool&)
{
    if (FPreventResize && Msg.Msg == WM_NCHITTEST && Msg.Result >= HTLEFT && Msg.Result <= HTBOTTOMRIGHT)
        Msg.Result = HTNOWHERE;
}

void TFormPlacement::SetPreventResize(bool Value)
{
    if (FPreventResize == Value)
        return;
    FPreventResize = Value;
    if (Value && Form() && Form()->WindowState() == wsMaximized)
        Form()->SetWindowState(wsNormal);
    CheckMinMaxInfo();
}

AnsiString TFormPlacement::IniSection() const
{
    if (!FIniSection.empty())
        return FIniSection;
    // While the form is destroyed it no longer knows its own class: the
    // section it had before is the one its placement is saved in.
    TComponent* owner = Owner();
    if (owner && (owner->ComponentState() & csDestroying) && !FFormSection.empty())
        return FFormSection;
    FFormSection = GetDefaultSection(owner);
    return FFormSection;
}

void TFormPlacement::IniNeeded(bool ReadOnly)
{
    if (FIniRefs++ > 0)
        return;
    if (FUseRegistry) {
        AnsiString key = FIniFileName.empty() ? GetDefaultIniRegKey() : FIniFileName;
        static const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CURRENT_CONFIG,
                                     HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_DYN_DATA};
        if (FRegistryRoot == prCurrentUser) {
            FIniFile = std::make_unique<TRegIniFile>(key, ReadOnly ? KEY_READ : KEY_ALL_ACCESS);
        } else {
            auto reg = std::make_unique<TRegIniFile>(AnsiString(), ReadOnly ? KEY_READ : KEY_ALL_ACCESS);
            reg->SetRootKey(roots[FRegistryRoot]);
            reg->OpenKey(key, !ReadOnly);
            FIniFile = std::move(reg);
        }
    } else {
        FIniFile = std::make_unique<TIniFile>(FIniFileName.empty() ? GetDefaultIniName() : FIniFileName);
    }
}

void TFormPlacement::IniFree()
{
    if (FIniRefs > 0 && --FIniRefs == 0)
        FIniFile.reset();
}

void TFormPlacement::SavePlacement()
{
    if (IsActive() && !FRestored)
        return;
    IniNeeded(false);
    try {
        AnsiString section = IniSection();
        IniWriteInteger(FIniFile.get(), section, "FormVersion", FVersion);
        if (Form() && (FOptions & (fpState | fpPosition))) {
            WriteFormPlacement(Form(), FIniFile.get(), section);
            IniWriteInteger(FIniFile.get(), section, "Visible", FDestroying ? 1 : 0);
        }
        if ((FOptions & fpActiveControl) && Form() && Form()->ActiveControl())
            IniWriteString(FIniFile.get(), section, "ActiveControl", Form()->ActiveControl()->Name());
        for (TIniLink* link : std::vector<TIniLink*>(FLinks))
            link->SaveToIni();
        if (OnSavePlacement)
            OnSavePlacement(this);
        FSaved = true;
    } catch (...) {
        IniFree();
        throw;
    }
    IniFree();
}

void TFormPlacement::RestorePlacement()
{
    FSaved = false;
    IniNeeded(true);
    try {
        AnsiString section = IniSection();
        if (IniReadInteger(FIniFile.get(), section, "FormVersion", 0) >= FVersion) {
            if (Form())
                ReadFormPlacement(Form(), FIniFile.get(), section, FOptions & fpState, FOptions & fpPosition);
            for (TIniLink* link : std::vector<TIniLink*>(FLinks))
                link->LoadFromIni();
            if (OnRestorePlacement)
                OnRestorePlacement(this);
            if ((FOptions & fpActiveControl) && Form()) {
                AnsiString name = IniReadString(FIniFile.get(), section, "ActiveControl", "");
                if (auto* c = dynamic_cast<TWinControl*>(Form()->FindComponent(name)))
                    if (c->CanFocus())
                        Form()->SetActiveControl(c);
            }
        }
        FRestored = true;
    } catch (...) {
        IniFree();
        throw;
    }
    IniFree();
    // Without limits a maximised form puts its frame just off the screen.
    if (TCustomForm* f = Form(); f && !FPreventResize && FMinMaxInfo->DefaultMinMaxInfo()) {
        const TBorderStyle b = f->BorderStyle();
        const bool sizing = b == bsSizeable || b == bsSizeToolWin;
        const int fx = b == bsNone ? 0 : GetSystemMetrics(sizing ? SM_CXFRAME : SM_CXFIXEDFRAME);
        const int fy = b == bsNone ? 0 : GetSystemMetrics(sizing ? SM_CYFRAME : SM_CYFIXEDFRAME);
        f->SetMaximizedPos(TPoint(-fx, -fy));
    }
}

AnsiString TFormPlacement::ReadString(const AnsiString& Ident, const AnsiString& Default)
{
    IniNeeded(true);
    AnsiString s = IniReadString(FIniFile.get(), IniSection(), Ident, Default);
    IniFree();
    return s;
}

void TFormPlacement::WriteString(const AnsiString& Ident, const AnsiString& Value)
{
    IniNeeded(false);
    IniWriteString(FIniFile.get(), IniSection(), Ident, Value);
    IniFree();
}

int TFormPlacement::ReadInteger(const AnsiString& Ident, int Default)
{
    IniNeeded(true);
    int v = IniReadInteger(FIniFile.get(), IniSection(), Ident, Default);
    IniFree();
    return v;
}

void TFormPlacement::WriteInteger(const AnsiString& Ident, int Value)
{
    IniNeeded(false);
    IniWriteInteger(FIniFile.get(), IniSection(), Ident, Value);
    IniFree();
}
