#pragma once
// Components: ownership (an owner deletes what it owns), names, free
// notification; and collections of items that belong to a component.
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/core/Classes.h"

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
    csAncestor = 0x20,
    csUpdating = 0x40,
    csFreeNotification = 0x80,
};
using TComponentState = unsigned;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    // Owned components in the order they were inserted.
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    const AnsiString& Name() const { return FName; }
    // EComponentError "A component named X already exists" when a sibling has the name.
    virtual void SetName(const AnsiString& Value);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }

    // The owned component of that name (case-insensitive), nullptr when none.
    TComponent* FindComponent(const AnsiString& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Deletes every owned component, the last inserted first.
    void DestroyComponents();

    // AComponent's Notification(this, opRemove) runs when this component goes,
    // and this one's when AComponent goes.
    void FreeNotification(TComponent* AComponent);
    // AComponent no longer asks to hear of this component's end; the two stay told of each
    // other's end while this one still asks to hear of AComponent's.
    void RemoveFreeNotification(TComponent* AComponent);

    // Loading brackets: csLoading is set on this component and those it owns;
    // EndLoading clears it and calls Loaded on each, owned ones first.
    void BeginLoading();
    void EndLoading();
    void SetDesigning(bool Value);

    // Called once the component's properties are all set.
    virtual void Loaded();
    // An insertion is told to the owner; a removal also to what the owner owns (which may
    // hold a pointer to the component that goes), unless the owner itself is going.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

protected:
    // Points a field of this component at another component (or none), hearing of that one's
    // end (FreeNotification) and no longer of the one it pointed at before; false when the
    // field pointed at it already.
    template <typename T>
    bool SetReference(T*& AField, T* AValue)
    {
        if (AField == AValue)
            return false;
        if (AField)
            AField->RemoveFreeNotification(this);
        AField = AValue;
        if (AValue)
            AValue->FreeNotification(this);
        return true;
    }
    // Marks the component as going; descendants call it first in their destructors.
    void Destroying();
    void SetComponentStateFlag(unsigned Flag, bool On);

private:
    // Owned components by their names in capitals: a name is looked up without a walk.
    void NameOwned(TComponent* AComponent);
    void UnnameOwned(TComponent* AComponent);
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::unordered_map<AnsiString, TComponent*> FNamed;
    std::vector<TComponent*> FFreeNotifies;
    // Those that asked to hear of this component's end (FreeNotification on it).
    std::vector<TComponent*> FListeners;
    AnsiString FName;
    std::intptr_t FTag = 0;
    TComponentState FComponentState = 0;
};

VELMAROK_EXCEPTION(EComponentError, Exception)

// ---------------------------------------------------------------- collections
class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int Index() const;
    void SetIndex(int Value);
    int ID() const { return FID; }
    virtual AnsiString DisplayName() const;

protected:
    // Tells the collection: AllItems true updates every item, else this one.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
public:
    // Makes the items of the collection (the item class).
    using TItemFactory = std::function<TCollectionItem*(TCollection* Collection)>;
    explicit TCollection(TItemFactory Factory);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    // EListError "List index out of bounds (n)" outside 0..Count-1.
    void Delete(int Index);
    // Deletes ACount items from Index on, each told as Delete tells it, the change told once.
    void DeleteItems(int Index, int ACount);
    // Puts the items in the order ALess gives, items that compare equal keeping theirs.
    void SortItems(const std::function<bool(const TCollectionItem* A, const TCollectionItem* B)>& ALess);
    void Clear();
    TCollectionItem* Items(int Index) const;
    int Count() const { return int(FItems.size()); }
    TCollectionItem* FindItemID(int ID) const;
    void Assign(TPersistent* Source) override;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // What owns the collection (a component for an owned collection).
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    // A change of Item (nullptr: all items or the list); descendants repaint here.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    TItemFactory FFactory;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TItemFactory Factory) : TCollection(std::move(Factory)), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }
    TPersistent* Owner() const { return FOwner; }

private:
    TPersistent* FOwner;
};
