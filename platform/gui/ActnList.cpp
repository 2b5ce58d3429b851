#include "platform/gui/ActnList.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>

#include "platform/core/SysUtils.h"
#include "platform/gui/Controls_p.h"

namespace {
// Every action alive, for the idle update.
std::vector<TBasicAction*>& AllActions()
{
    static std::vector<TBasicAction*> list;
    return list;
}

// The event loop's idle moment updates the actions (once connected).
void ConnectIdle()
{
    static bool connected = false;
    auto* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr);
    if (connected || !dispatcher)
        return;
    connected = true;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher,
                     [] { RunGuarded([] { UpdateActionsIdle(); }); });
}
}

// ---------------------------------------------------------------- TBasicAction
TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner)
{
    AllActions().push_back(this);
    ConnectIdle();
}

TBasicAction::~TBasicAction()
{
    Destroying();
    auto& all = AllActions();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    // The controls hear of it through their free notification; links left over forget the action.
    while (!FClients.empty())
        FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* v)
{
    SetReference(FActionComponent, v);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent)
        FActionComponent = nullptr;
}

void UpdateActionsIdle()
{
    // A handler may free actions: walk a copy and skip the ones gone.
    std::vector<TBasicAction*> list = AllActions();
    for (TBasicAction* a : list) {
        auto& all = AllActions();
        if (std::find(all.begin(), all.end(), a) == all.end())
            continue;
        if (!(a->ComponentState() & (csDestroying | csLoading)))
            a->Update();
    }
}

// ---------------------------------------------------------------- TBasicActionLink
TBasicActionLink::~TBasicActionLink()
{
    if (FAction) {
        auto& c = FAction->FClients;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
}

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (Value == FAction)
        return;
    if (FAction) {
        auto& c = FAction->FClients;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    FAction = Value;
    if (FAction)
        FAction->FClients.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
    if (!FAction)
        return false;
    FAction->SetActionComponent(AComponent);
    bool result = false;
    try {
        result = FAction->Execute();
    } catch (...) {
        if (FAction)
            FAction->SetActionComponent(nullptr);
        throw;
    }
    if (FAction)
        FAction->SetActionComponent(nullptr);
    return result;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }


// ---------------------------------------------------------------- TContainedAction
TContainedAction::~TContainedAction()
{
    if (FActionList) {
        auto& a = FActionList->FActions;
        a.erase(std::remove(a.begin(), a.end(), this), a.end());
    }
}

void TContainedAction::SetActionList(TCustomActionList* v)
{
    if (v == FActionList)
        return;
    if (FActionList) {
        auto& a = FActionList->FActions;
        a.erase(std::remove(a.begin(), a.end(), this), a.end());
    }
    FActionList = v;
    if (v)
        v->FActions.push_back(this);
}

int TContainedAction::Index() const
{
    if (!FActionList)
        return -1;
    auto& a = FActionList->FActions;
    auto it = std::find(a.begin(), a.end(), this);
    return it == a.end() ? -1 : int(it - a.begin());
}

bool TContainedAction::Execute()
{
    if (FActionList && FActionList->ExecuteAction(this))
        return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update()
{
    if (FActionList && FActionList->UpdateAction(this))
        return true;
    return TBasicAction::Update();
}

// ---------------------------------------------------------------- TCustomAction
TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}
TCustomAction::~TCustomAction() = default;

// Each link sees the new value while the action still holds the old one, so
// that it can tell whether its control followed the action until now.
template <class F>
void TCustomAction::ForLinks(F&& f)
{
    std::vector<TBasicActionLink*> links = FClients;
    for (TBasicActionLink* l : links)
        if (auto* al = dynamic_cast<TActionLink*>(l))
            f(al);
}

void TCustomAction::SetCaption(const AnsiString& v)
{
    if (v == FCaption)
        return;
    ForLinks([&](TActionLink* l) { l->SetCaption(v); });
    FCaption = v;
}

void TCustomAction::SetChecked(bool v)
{
    if (v == FChecked)
        return;
    ForLinks([&](TActionLink* l) { l->SetChecked(v); });
    FChecked = v;
    if (v && FGroupIndex > 0) {
        // The others of the group go unchecked: in the list, else among the owner's components.
        std::vector<TCustomAction*> group;
        if (ActionList()) {
            for (int i = 0; i < ActionList()->ActionCount(); ++i)
                if (auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i)))
                    group.push_back(a);
        } else if (Owner()) {
            for (int i = 0; i < Owner()->ComponentCount(); ++i)
                if (auto* a = dynamic_cast<TCustomAction*>(Owner()->Components(i)); a && !a->ActionList())
                    group.push_back(a);
        }
        for (TCustomAction* a : group)
            if (a != this && a->FGroupIndex == FGroupIndex)
                a->SetChecked(false);
    }
}

void TCustomAction::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    ForLinks([&](TActionLink* l) { l->SetEnabled(v); });
    FEnabled = v;
}

void TCustomAction::SetGroupIndex(int v)
{
    if (v == FGroupIndex)
        return;
    ForLinks([&](TActionLink* l) { l->SetGroupIndex(v); });
    FGroupIndex = v;
}

void TCustomAction::SetHint(const AnsiString& v)
{
    if (v == FHint)
        return;
    ForLinks([&](TActionLink* l) { l->SetHint(v); });
    FHint = v;
}

void TCustomAction::SetImageIndex(int v)
{
    if (v == FImageIndex)
        return;
    ForLinks([&](TActionLink* l) { l->SetImageIndex(v); });
    FImageIndex = v;
}

void TCustomAction::SetShortCut(TShortCut v)
{
    if (v == FShortCut)
        return;
    ForLinks([&](TActionLink* l) { l->SetShortCut(v); });
    FShortCut = v;
}

void TCustomAction::SetVisible(bool v)
{
    if (v == FVisible)
        return;
    ForLinks([&](TActionLink* l) { l->SetVisible(v); });
    FVisible = v;
}

bool TCustomAction::Execute()
{
    Update();
    if (!FEnabled)
        return false;
    if (FAutoCheck)
        SetChecked(!FChecked);
    return TContainedAction::Execute();
}

// ---------------------------------------------------------------- links
TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TActionLink::IsCaptionLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsOnExecuteLinked() const { return FAction != nullptr; }

bool TControlActionLink::IsCaptionLinked() const
{
    return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const
{
    return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const
{
    return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const
{
    return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}

// A control with its own OnClick runs that instead of the action.
bool TControlActionLink::IsOnExecuteLinked() const { return TActionLink::IsOnExecuteLinked() && !FClient->OnClick; }

void TControlActionLink::SetCaption(const AnsiString& Value)
{
    if (IsCaptionLinked())
        FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value)
{
    if (IsEnabledLinked())
        FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const AnsiString& Value)
{
    if (IsHintLinked())
        FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value)
{
    if (IsVisibleLinked())
        FClient->SetVisible(Value);
}

// ---------------------------------------------------------------- TCustomActionList
TCustomActionList::~TCustomActionList()
{
    Destroying();
    SetImages(nullptr);
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
        a->SetActionList(nullptr);
}

void TCustomActionList::SetImages(TImageList* Value) { SetReference(FImages, Value); }

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

TContainedAction* TCustomActionList::Actions(int Index) const
{
    if (Index < 0 || Index >= ActionCount())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FActions[size_t(Index)];
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action)
{
    bool handled = false;
    if (OnExecute)
        OnExecute(Action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action)
{
    bool handled = false;
    if (OnUpdate)
        OnUpdate(Action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(Word Key, TShiftState Shift)
{
    TShortCut sc = ::ShortCut(Key, Shift);
    if (sc == scNone)
        return false;
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
        auto* ca = dynamic_cast<TCustomAction*>(a);
        if (!ca || ca->ShortCut() != sc)
            continue;
        ca->Update();
        if (ca->Enabled() && ca->Visible())
            return ca->Execute();
    }
    return false;
}

// ---------------------------------------------------------------- TControl's action
TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value)
{
    if (Value == Action())
        return;
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink.reset(CreateActionLink());
    else if (TBasicAction* old = FActionLink->Action())
        old->RemoveFreeNotification(this);
    FActionLink->SetAction(Value);
    Value->FreeNotification(this);
    ActionChange(Value, (Value->ComponentState() & csLoading) != 0);
}

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::InitiateAction()
{
    if (FActionLink)
        FActionLink->Update();
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    if (!CheckDefaults || Caption().empty() || Caption() == Name())
        SetCaption(a->Caption());
    if (!CheckDefaults || Enabled())
        SetEnabled(a->Enabled());
    if (!CheckDefaults || Hint().empty())
        SetHint(a->Hint());
    if (!CheckDefaults || Visible())
        SetVisible(a->Visible());
    // The click executes the action from now on (an OnClick assigned later wins).
    if (!CheckDefaults)
        OnClick = nullptr;
}
