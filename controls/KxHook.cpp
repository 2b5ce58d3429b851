#include "controls/KxHook.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/gui/Forms.h"

// One record per hooked control: it holds the control's single message hook
// and runs the components' handlers in their order.
struct TKxHookRecord {
    TWinControl* Control = nullptr;
    int HookId = 0;
    // The control's window went with the control: its hook list is gone too.
    bool ControlGone = false;
    std::vector<TKxWindowHook*> Hooks;

    bool Contains(TKxWindowHook* h) const { return std::find(Hooks.begin(), Hooks.end(), h) != Hooks.end(); }
    bool Run(TMessage& m, const TMessageNext& Next);
};

namespace {
std::map<TWinControl*, std::shared_ptr<TKxHookRecord>>& Records()
{
    static std::map<TWinControl*, std::shared_ptr<TKxHookRecord>> records;
    return records;
}

bool ControlDestroying(TWinControl* c) { return (c->ComponentState() & csDestroying) != 0; }
}  // namespace

bool TKxHookRecord::Run(TMessage& m, const TMessageNext& Next)
{
    if (m.Msg == WM_QUIT)
        return false;
    // Newest first; a handler may unhook any of them (or itself) meanwhile.
    std::vector<TKxWindowHook*> order(Hooks.rbegin(), Hooks.rend());
    bool handled = false;
    for (TKxWindowHook* h : order) {
        if (!Contains(h) || !h->BeforeMessage)
            continue;
        h->BeforeMessage(h, m, handled);
        if (handled)
            break;
    }
    if (handled && m.Msg != WM_DESTROY)
        return true;
    const bool destroying = m.Msg == WM_DESTROY && ControlDestroying(Control);
    Next(m);
    if (destroying)
        ControlGone = true;
    handled = false;
    for (TKxWindowHook* h : order) {
        if (!Contains(h) || !h->AfterMessage)
            continue;
        h->AfterMessage(h, m, handled);
        if (handled)
            break;
    }
    return true;
}

TKxWindowHook::TKxWindowHook(TComponent* AOwner) : TComponent(AOwner) {}

TKxWindowHook::~TKxWindowHook()
{
    Destroying();
    UnhookControl();
    if (FWinControl)
        FWinControl->RemoveFreeNotification(this);
    FWinControl = nullptr;
}

void TKxWindowHook::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    if (Value)
        HookControl();
    else
        UnhookControl();
}

void TKxWindowHook::SetWinControl(TWinControl* Value)
{
    if (FWinControl == Value)
        return;
    UnhookControl();
    if (FWinControl && !ControlDestroying(FWinControl))
        FWinControl->RemoveFreeNotification(this);
    FWinControl = Value;
    if (FWinControl) {
        FWinControl->FreeNotification(this);
        if (FActive)
            HookControl();
    }
}

bool TKxWindowHook::IsForm() const
{
    return FWinControl && FWinControl == dynamic_cast<TCustomForm*>(Owner());
}

void TKxWindowHook::HookControl()
{
    if (FHooked || !FWinControl || !FActive || (ComponentState() & (csDesigning | csDestroying))
        || ControlDestroying(FWinControl))
        return;
    auto& records = Records();
    std::shared_ptr<TKxHookRecord>& rec = records[FWinControl];
    if (!rec) {
        rec = std::make_shared<TKxHookRecord>();
        rec->Control = FWinControl;
        std::weak_ptr<TKxHookRecord> weak = rec;
        rec->HookId = FWinControl->AddMessageHook([weak](TMessage& m, const TMessageNext& Next) {
            // The record stays alive while it runs, even when its last hook goes.
            std::shared_ptr<TKxHookRecord> r = weak.lock();
            return r ? r->Run(m, Next) : false;
        });
    }
    rec->Hooks.push_back(this);
    FHooked = true;
}

void TKxWindowHook::UnhookControl()
{
    if (!FHooked)
        return;
    FHooked = false;
    auto& records = Records();
    auto it = records.find(FWinControl);
    if (it == records.end())
        return;
    std::shared_ptr<TKxHookRecord> rec = it->second;
    std::erase(rec->Hooks, this);
    if (!rec->Hooks.empty())
        return;
    if (!rec->ControlGone && !ControlDestroying(rec->Control))
        rec->Control->RemoveMessageHook(rec->HookId);
    records.erase(it);
}

void TKxWindowHook::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FWinControl && FWinControl) {
        UnhookControl();
        FWinControl = nullptr;
    }
}
