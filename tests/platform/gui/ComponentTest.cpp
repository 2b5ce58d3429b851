#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/Component.h"

namespace {
std::vector<AnsiString> g_deleted;

std::vector<AnsiString> g_heard;   // "A:B": A heard that B goes

class TTracked : public TComponent {
public:
    TTracked(TComponent* owner, const AnsiString& name) : TComponent(owner) { SetName(name); }
    ~TTracked() override { g_deleted.push_back(Name()); }
    std::vector<std::pair<AnsiString, TOperation>> Heard;
    TComponent* Watched = nullptr;
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        Heard.push_back({c->Name(), op});
        if (op == opRemove)
            g_heard.push_back(Name() + ":" + c->Name());
        if (op == opRemove && c == Watched)
            Watched = nullptr;
    }
};

class TItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Value = 0;
    void Assign(TPersistent* src) override { Value = static_cast<TItem*>(src)->Value; }
};

class TItems : public TCollection {
public:
    TItems() : TCollection([](TCollection* c) { return new TItem(c); }) {}
    int Updates = 0;

protected:
    void Update(TCollectionItem*) override { ++Updates; }
};
}  // namespace

TEST(Component, OwnerDeletesWhatItOwnsAndNotifiesFreeNotification)
{
    g_deleted.clear();
    auto* owner = new TTracked(nullptr, "Owner");
    auto* a = new TTracked(owner, "A");
    new TTracked(owner, "B");
    auto* c = new TTracked(a, "C");
    auto* observer = new TTracked(nullptr, "Observer");
    observer->Watched = c;
    c->FreeNotification(observer);
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(1)->Name(), "B");
    EXPECT_EQ(owner->FindComponent("b"), owner->Components(1));
    EXPECT_EQ(owner->FindComponent("C"), nullptr);
    EXPECT_THROW(new TTracked(owner, "a"), EComponentError);
    EXPECT_EQ(owner->ComponentCount(), 2) << "the rejected component is not kept";

    delete owner;
    // The owner's own part goes first, then what it owns, the last inserted first;
    // what A owns goes with A.
    EXPECT_EQ(g_deleted, (std::vector<AnsiString>{"Owner", "B", "A", "C"}));
    EXPECT_EQ(observer->Watched, nullptr);
    delete observer;
}

TEST(Component, AnOwnerGoingTellsEachComponentOnlyOfTheOnesItWatches)
{
    // Each component goes without being told of every other: a window of thousands of
    // components closes in time linear in their number.
    auto* owner = new TTracked(nullptr, "Owner");
    auto* a = new TTracked(owner, "A");
    new TTracked(owner, "B");
    auto* c = new TTracked(owner, "C");
    a->Watched = c;
    c->FreeNotification(a);
    // D and E each asked to hear of the other's end; E taking back its part leaves D's.
    auto* d = new TTracked(owner, "D");
    auto* e = new TTracked(owner, "E");
    d->Watched = e;
    e->FreeNotification(d);
    d->FreeNotification(e);
    d->RemoveFreeNotification(e);
    g_heard.clear();
    delete owner;
    EXPECT_EQ(g_heard, (std::vector<AnsiString>{"D:E", "A:C"}));
}

TEST(Component, RemovingAndMovingComponentsTellsTheOwner)
{
    TTracked owner(nullptr, "Owner");
    TTracked other(nullptr, "Other");
    auto* x = new TTracked(&owner, "X");
    other.InsertComponent(x);
    EXPECT_EQ(x->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 0);
    ASSERT_GE(owner.Heard.size(), 2u);
    EXPECT_EQ(owner.Heard[0].second, opInsert);   // inserted while being made, before it had a name
    EXPECT_EQ(owner.Heard.back(), (std::pair<AnsiString, TOperation>{"X", opRemove}));
    // A sibling hears of a sibling's removal through the owner.
    auto* y = new TTracked(&other, "Y");
    delete x;
    EXPECT_EQ(y->Heard.back(), (std::pair<AnsiString, TOperation>{"X", opRemove}));
    EXPECT_THROW(other.Components(5), EListError);
}

TEST(Collection, ItemsAddInsertDeleteAndUpdateOnceAfterABracket)
{
    TItems items;
    auto* a = static_cast<TItem*>(items.Add());
    a->Value = 1;
    auto* b = static_cast<TItem*>(items.Add());
    b->Value = 2;
    auto* c = static_cast<TItem*>(items.Insert(0));
    c->Value = 3;
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(static_cast<TItem*>(items.Items(0))->Value, 3);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_NE(a->ID(), b->ID());
    items.Delete(1);
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.FindItemID(b->ID()), b);
    EXPECT_THROW(items.Delete(2), EListError);

    items.Updates = 0;
    items.BeginUpdate();
    items.Add();
    items.Add();
    items.EndUpdate();
    EXPECT_EQ(items.Updates, 1);

    TItems copy;
    copy.Assign(&items);
    ASSERT_EQ(copy.Count(), 4);
    EXPECT_EQ(static_cast<TItem*>(copy.Items(1))->Value, 2);
    delete b;   // an item leaves its collection when freed
    EXPECT_EQ(items.Count(), 3);
}
