#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Component.h"

namespace {

int alive = 0;

// Records what it is told and drops its reference to a removed component.
class TWatcher : public TComponent {
    RTL_CLASS(TWatcher, TComponent);

public:
    explicit TWatcher(TComponent* owner) : TComponent(owner) { ++alive; }
    ~TWatcher() override { --alive; }

    void Watch(TComponent* target) {
        target_ = target;
        if (target) target->FreeNotification(this);
    }
    TComponent* Target() const { return target_; }
    std::vector<std::pair<TComponent*, TOperation>> events;
    int loadedCalls = 0;
    bool readingWhenLoaded = true;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        events.emplace_back(component, operation);
        if (operation == opRemove && component == target_) target_ = nullptr;
    }
    void Loaded() override {
        TComponent::Loaded();
        ++loadedCalls;
        readingWhenLoaded = ComponentState().Contains(csReading);
    }

private:
    TComponent* target_ = nullptr;
};

RTL_PUBLISHED_NONE(TWatcher);

// Forgets to pass removals on to the base.
class TCareless : public TWatcher {
public:
    using TWatcher::TWatcher;

protected:
    void Notification(TComponent*, TOperation) override {}
};

class IProbe : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{2B3C4D5E-6F70-4182-93A4-B5C6D7E8F901}");
};

class ComponentTest : public testing::Test {
protected:
    void SetUp() override { alive = 0; }
};

TEST_F(ComponentTest, OwnerFreesItsComponentsOnce) {
    {
        auto owner = std::make_unique<TWatcher>(nullptr);
        auto* a = new TWatcher(owner.get());
        auto* b = new TWatcher(owner.get());
        new TWatcher(a); // grandchild
        EXPECT_EQ(alive, 4);
        EXPECT_EQ(owner->ComponentCount(), 2);
        EXPECT_EQ(owner->Components(1), b);
        EXPECT_EQ(b->ComponentIndex(), 1);
        b->SetComponentIndex(0);
        EXPECT_EQ(owner->Components(0), b);
        EXPECT_THROW(owner->Components(2), EListError);

        delete b; // leaves its owner
        EXPECT_EQ(owner->ComponentCount(), 1);
        EXPECT_EQ(alive, 3);
        ASSERT_EQ(owner->events.back(), std::make_pair(static_cast<TComponent*>(b), opRemove));
    }
    EXPECT_EQ(alive, 0);
}

TEST_F(ComponentTest, FreeNotificationReachesComponentsOfOtherOwners) {
    auto formA = std::make_unique<TComponent>(nullptr);
    auto formB = std::make_unique<TComponent>(nullptr);
    auto* watcher = new TWatcher(formA.get());
    auto* target = new TWatcher(formB.get());
    watcher->Watch(target);
    EXPECT_TRUE(watcher->ComponentState().Contains(csFreeNotification));
    formB.reset(); // frees target
    EXPECT_EQ(watcher->Target(), nullptr);

    // Mutual: freeing the watcher unlinks it from a target that lives on.
    auto* target2 = new TWatcher(nullptr);
    watcher->Watch(target2);
    delete watcher;
    EXPECT_FALSE(target2->ComponentState().Contains(csFreeNotification));
    delete target2;

    // A partner that ignores the notification does not hold up the freeing.
    auto* careless = new TCareless(nullptr);
    auto* other = new TWatcher(nullptr);
    careless->FreeNotification(other);
    delete other;
    delete careless;
    EXPECT_EQ(alive, 0);
}

// Falls back to another component when its target goes.
class TFallback : public TWatcher {
public:
    using TWatcher::TWatcher;
    TComponent* fallback = nullptr;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        const bool lost = operation == opRemove && component == Target();
        TWatcher::Notification(component, operation);
        if (lost && fallback) Watch(std::exchange(fallback, nullptr));
    }
};

TEST_F(ComponentTest, FreeNotificationWithAComponentBeingFreedHoldsTillItGoes) {
    // The fallback is a sibling freed after the target, or the target's owner,
    // whose own notifications have gone out when the target is freed.
    for (const bool fallbackToOwner : {false, true}) {
        auto form = std::make_unique<TComponent>(nullptr);
        auto* watcher = new TFallback(form.get());
        {
            auto frame = std::make_unique<TWatcher>(nullptr);
            auto* sibling = new TWatcher(frame.get());
            auto* target = new TWatcher(frame.get());
            watcher->Watch(target);
            watcher->fallback = fallbackToOwner ? static_cast<TComponent*>(frame.get()) : sibling;
        }
        EXPECT_EQ(watcher->Target(), nullptr) << fallbackToOwner;
        EXPECT_FALSE(watcher->ComponentState().Contains(csFreeNotification));
        form.reset();
        EXPECT_EQ(alive, 0);
    }
}

// Asks again to be told about the very component whose removal it is told of.
class TClinging : public TWatcher {
public:
    using TWatcher::TWatcher;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TWatcher::Notification(component, operation);
        if (operation == opRemove && component != this) component->FreeNotification(this);
    }
};

TEST_F(ComponentTest, PartnerLinkingAgainWhileToldIsToldOnce) {
    auto form = std::make_unique<TComponent>(nullptr);
    auto* clinging = new TClinging(form.get());
    {
        auto target = std::make_unique<TWatcher>(nullptr);
        clinging->Watch(target.get());
    }
    EXPECT_EQ(clinging->events.size(), 1u);
    EXPECT_EQ(clinging->Target(), nullptr);
    form.reset();
    EXPECT_EQ(alive, 0);
}

TEST_F(ComponentTest, SiblingsLearnOfRemovalEvenWhileTheOwnerIsFreed) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* first = new TWatcher(owner.get());
    auto* second = new TWatcher(owner.get());
    first->Watch(second); // same owner: the owner's notification covers it
    EXPECT_FALSE(first->ComponentState().Contains(csFreeNotification));
    delete second;
    EXPECT_EQ(first->Target(), nullptr);

    auto* third = new TWatcher(owner.get()); // freed first when the owner goes
    first->Watch(third);
    owner.reset(); // first must not be left holding a freed pointer
    EXPECT_EQ(alive, 0);
}

TEST_F(ComponentTest, NamesAreValidatedWithinTheOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Button1");
    EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    const auto message = [](auto action) {
        try {
            action();
        } catch (const EComponentError& e) {
            return e.Message();
        }
        return String("no exception");
    };
    EXPECT_EQ(message([&] { b->SetName("button1"); }), "A component named button1 already exists");
    EXPECT_EQ(message([&] { b->SetName("1st"); }), "'1st' is not a valid component name");
    EXPECT_EQ(message([&] { b->SetName("a b"); }), "'a b' is not a valid component name");
    a->SetName("BUTTON1"); // a case change of its own name
    b->SetName("_Edit2");
    EXPECT_EQ(b->Name(), "_Edit2");
    b->SetName(""); // unnamed is allowed, many times
    a->SetName("");
    EXPECT_EQ(owner.FindComponent("BUTTON1"), nullptr);

    // Moving to another owner checks the name there.
    TComponent other(nullptr);
    auto* c = new TComponent(&other);
    c->SetName("Dup");
    a->SetName("Dup");
    EXPECT_THROW(other.InsertComponent(a), EComponentError);
    b->SetName("Fresh");
    other.InsertComponent(b);
    EXPECT_EQ(b->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(b->GetNamePath(), "Fresh");
}

TEST_F(ComponentTest, RefusedMovesLeaveTheComponentWithItsOwner) {
    // Rejects every name of its own.
    class TStrict : public TComponent {
    public:
        using TComponent::TComponent;

    protected:
        void ValidateRename(TComponent* component, const String& curName, const String& newName) override {
            if (component && !newName.empty()) throw EComponentError("refused");
            TComponent::ValidateRename(component, curName, newName);
        }
    };
    auto owner = std::make_unique<TWatcher>(nullptr);
    auto* child = new TWatcher(owner.get());
    child->SetName("Child");
    TStrict strict(nullptr);
    EXPECT_THROW(strict.InsertComponent(child), EComponentError);
    EXPECT_EQ(child->Owner(), owner.get()); // still owned, so still freed with its owner

    // An owner cycle would free a component twice.
    auto* grandchild = new TWatcher(child);
    EXPECT_THROW(owner->InsertComponent(owner.get()), EAssertionFailed);
    EXPECT_THROW(grandchild->InsertComponent(owner.get()), EAssertionFailed);
    EXPECT_EQ(owner->Owner(), nullptr);
    owner.reset();
    EXPECT_EQ(alive, 0);
}

TEST_F(ComponentTest, LoadingBracketEndsWithLoaded) {
    TWatcher form(nullptr);
    form.BeginLoading();
    auto* child = new TWatcher(&form);
    EXPECT_TRUE(child->ComponentState().Contains(csLoading));
    EXPECT_TRUE(child->ComponentState().Contains(csReading));
    form.EndLoading();
    EXPECT_EQ(form.loadedCalls, 1);
    EXPECT_EQ(child->loadedCalls, 1);
    EXPECT_FALSE(child->readingWhenLoaded);
    EXPECT_FALSE(child->ComponentState().Contains(csLoading));
    auto* late = new TWatcher(&form);
    EXPECT_FALSE(late->ComponentState().Contains(csLoading));
}

TEST_F(ComponentTest, LoadedMayFreeComponentsOfTheSameBatch) {
    // Frees its victim (and what that owns) when loaded.
    class TReaper : public TWatcher {
    public:
        using TWatcher::TWatcher;
        TComponent* victim = nullptr;

    protected:
        void Loaded() override {
            TWatcher::Loaded();
            delete victim;
        }
    };
    TWatcher form(nullptr);
    form.BeginLoading();
    auto* reaper = new TReaper(&form);
    auto* victim = new TWatcher(&form);
    new TWatcher(victim);
    auto* survivor = new TWatcher(&form);
    reaper->victim = victim;
    EXPECT_EQ(alive, 5);
    form.EndLoading();
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(survivor->loadedCalls, 1);
    EXPECT_EQ(reaper->loadedCalls, 1);
}

TEST_F(ComponentTest, DestroyingAndStyles) {
    class TProbe : public TComponent {
    public:
        using TComponent::TComponent;
        bool* destroyingSeen = nullptr;
        ~TProbe() override { *destroyingSeen = ComponentState().Contains(csDestroying); }
    };
    bool seen = false;
    {
        TComponent owner(nullptr);
        auto* probe = new TProbe(&owner);
        probe->destroyingSeen = &seen;
        probe->SetSubComponent(true);
        EXPECT_TRUE(probe->ComponentStyle().Contains(csSubComponent));
        owner.SetDesigning(true);
        EXPECT_TRUE(probe->ComponentState().Contains(csDesigning));
    }
    EXPECT_TRUE(seen);
}

TEST_F(ComponentTest, ComponentAnswersInterfacesWithoutCounting) {
    class TProbe : public TImplements<TComponent, IProbe> {
    public:
        using TImplements::TImplements;
    };
    TComponent owner(nullptr);
    auto* probe = new TProbe(&owner);
    {
        TIntfPtr<IProbe> p;
        EXPECT_TRUE(Supports(static_cast<TComponent*>(probe), p));
        TIntfPtr<IInterface> unknown = IntfCast<IInterface>(p);
    } // dropping the references frees nothing
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_FALSE(Supports(&owner, IProbe::IID));
    EXPECT_TRUE(probe->InheritsFrom(TComponent::StaticClass()));
}

TEST_F(ComponentTest, ComponentsAreCreatedByClassName) {
    RegisterClass(TWatcher::StaticClass());
    TComponent owner(nullptr);
    TComponent* created = FindClass("TWatcher")->CreateComponent(&owner);
    EXPECT_EQ(created->ClassName(), "TWatcher");
    EXPECT_EQ(created->Owner(), &owner);
    EXPECT_THROW(TComponent::StaticClass()->Create(), EInvalidOperation);
    UnRegisterClass(TWatcher::StaticClass());
    const auto props = TComponent::StaticClass()->Properties();
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0]->Name(), "Name");
    EXPECT_FALSE(props[0]->IsStored(owner));
}

} // namespace
