#include "platform/gui/Component.h"

#include <algorithm>

#include "platform/gui/EraseLast_p.h"

// ---------------------------------------------------------------- TComponent
TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Those that asked to hear of our end, and those we asked; each may remove itself meanwhile.
    FListeners.clear();
    while (!FFreeNotifies.empty()) {
        TComponent* c = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        EraseLast(c->FFreeNotifies, this);
        EraseLast(c->FListeners, this);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::Destroying()
{
    if (FComponentState & csDestroying)
        return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::SetComponentStateFlag(unsigned Flag, bool On)
{
    if (On)
        FComponentState |= Flag;
    else
        FComponentState &= ~Flag;
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= int(FComponents.size()))
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    auto& v = FOwner->FComponents;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TComponent::SetName(const AnsiString& Value)
{
    if (Value == FName)
        return;
    if (!Value.empty() && FOwner) {
        TComponent* other = FOwner->FindComponent(Value);
        if (other && other != this)
            throw EComponentError("A component named " + Value + " already exists");
    }
    if (FOwner)
        FOwner->UnnameOwned(this);
    FName = Value;
    if (FOwner)
        FOwner->NameOwned(this);
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const
{
    if (AName.empty())
        return nullptr;
    auto it = FNamed.find(UpperCase(AName));
    return it == FNamed.end() ? nullptr : it->second;
}

void TComponent::NameOwned(TComponent* AComponent)
{
    if (!AComponent->FName.empty())
        FNamed.emplace(UpperCase(AComponent->FName), AComponent);
}

void TComponent::UnnameOwned(TComponent* AComponent)
{
    if (AComponent->FName.empty())
        return;
    auto it = FNamed.find(UpperCase(AComponent->FName));
    if (it != FNamed.end() && it->second == AComponent)
        FNamed.erase(it);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
        throw EComponentError("A component named " + AComponent->FName + " already exists");
    FComponents.push_back(AComponent);
    NameOwned(AComponent);
    AComponent->FOwner = this;
    if (FComponentState & csDesigning)
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    EraseLast(FComponents, AComponent);
    UnnameOwned(AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        // Taken out first, so that its destructor does not look for us.
        FComponents.pop_back();
        UnnameOwned(c);
        c->FOwner = nullptr;
        Notification(c, opRemove);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end())
        theirs.push_back(this);
    if (std::find(FListeners.rbegin(), FListeners.rend(), AComponent) == FListeners.rend())
        FListeners.push_back(AComponent);
    FComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    EraseLast(FListeners, AComponent);
    // Two that each asked to hear of the other's end (a grid and its editor link) stay paired
    // until both have taken back what they asked.
    const auto& theirs = AComponent->FListeners;
    if (std::find(theirs.rbegin(), theirs.rend(), this) != theirs.rend())
        return;
    EraseLast(FFreeNotifies, AComponent);
    EraseLast(AComponent->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation != opRemove)
        return;
    if (AComponent)
        RemoveFreeNotification(AComponent);
    // While this component goes, all it owns goes with it and nothing more is told them: one
    // that keeps a pointer to another has asked to hear of its end (FreeNotification), and
    // hears it from that one.
    if (FComponentState & csDestroying)
        return;
    // Owned components hear of it too (a copy: a handler may change the list).
    std::vector<TComponent*> owned = FComponents;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        if (*it != AComponent)
            (*it)->Notification(AComponent, Operation);
}

void TComponent::BeginLoading()
{
    FComponentState |= csLoading;
    for (TComponent* c : FComponents)
        c->BeginLoading();
}

void TComponent::EndLoading()
{
    std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
        c->EndLoading();
    Loaded();
}

void TComponent::SetDesigning(bool Value)
{
    SetComponentStateFlag(csDesigning, Value);
    for (TComponent* c : FComponents)
        c->SetDesigning(Value);
}

void TComponent::Loaded()
{
    FComponentState &= ~csLoading;
}

// ---------------------------------------------------------------- TCollectionItem
TCollectionItem::TCollectionItem(TCollection* ACollection)
{
    SetCollection(ACollection);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    auto& v = FCollection->FItems;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    int cur = Index();
    if (cur < 0 || Value == cur)
        return;
    auto& v = FCollection->FItems;
    Value = std::clamp(Value, 0, int(v.size()) - 1);
    v.erase(v.begin() + cur);
    v.insert(v.begin() + Value, this);
    Changed(true);
}

AnsiString TCollectionItem::DisplayName() const
{
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------- TCollection
TCollection::TCollection(TItemFactory Factory) : FFactory(std::move(Factory)) {}

TCollection::~TCollection()
{
    FUpdateCount = 1;
    Clear();
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    Notify(Item, cnExtracting);
    EraseLast(FItems, Item);
    Item->FCollection = nullptr;
    Changed();
}

TCollectionItem* TCollection::Add()
{
    if (!FFactory)
        throw EInvalidOperation("The collection cannot make items");
    return FFactory(this);
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::DeleteItems(int Index, int ACount)
{
    if (ACount <= 0)
        return;
    if (Index < 0 || Index > int(FItems.size()) - ACount)
        throw EListError(Format("List index out of bounds (%d)", {Index < 0 ? Index : Index + ACount - 1}));
    const auto from = FItems.begin() + Index, to = from + ACount;
    const std::vector<TCollectionItem*> gone(from, to);
    for (TCollectionItem* item : gone) {
        Notify(item, cnDeleting);
        Notify(item, cnExtracting);
    }
    FItems.erase(from, to);
    for (TCollectionItem* item : gone) {
        item->FCollection = nullptr;
        delete item;
    }
    Changed();
}

void TCollection::SortItems(const std::function<bool(const TCollectionItem* A, const TCollectionItem* B)>& ALess)
{
    std::stable_sort(FItems.begin(), FItems.end(), ALess);
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= int(FItems.size()))
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[size_t(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* i : FItems)
        if (i->FID == ID)
            return i;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TCollection*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* i : src->FItems)
            Add()->Assign(i);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}
