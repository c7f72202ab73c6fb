#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/UnitRegistry.h"

namespace {

// Units whose start and finish work append "+name" and "-name" to a log.
class UnitRegistryTest : public testing::Test {
protected:
    void Add(const char* name, std::vector<String> dependsOn = {}, bool failing = false) {
        registry_.Register(
            name,
            [this, name, failing] {
                if (failing) throw EInOutError(String("cannot start ") + name);
                log_.push_back(String("+") + name);
            },
            [this, name] { log_.push_back(String("-") + name); }, std::move(dependsOn));
    }
    using Log = std::vector<String>;

    TUnitRegistry registry_;
    Log log_;
};

TEST_F(UnitRegistryTest, StartsInDependencyOrderAndFinishesInReverse) {
    Add("app", {"ui", "engine"});
    Add("ui", {"rtl"});
    Add("engine", {"rtl"});
    Add("rtl");
    registry_.Initialize();
    EXPECT_EQ(log_, (Log{"+rtl", "+ui", "+engine", "+app"}));
    log_.clear();
    registry_.Finalize();
    EXPECT_EQ(log_, (Log{"-app", "-engine", "-ui", "-rtl"}));
}

TEST_F(UnitRegistryTest, NestedCallsRunTheWorkOnce) {
    Add("a");
    registry_.Initialize();
    registry_.Initialize();
    registry_.Finalize();
    EXPECT_EQ(log_, (Log{"+a"}));
    registry_.Finalize();
    registry_.Finalize(); // unbalanced: nothing more
    EXPECT_EQ(log_, (Log{"+a", "-a"}));
}

TEST_F(UnitRegistryTest, AFailingStartFinishesWhatStarted) {
    Add("a");
    Add("b", {"a"});
    Add("c", {"b"}, true);
    Add("d");
    EXPECT_THROW(registry_.Initialize(), EInOutError);
    EXPECT_EQ(log_, (Log{"+a", "+b", "-b", "-a"}));
    EXPECT_FALSE(registry_.Initialized());
}

TEST_F(UnitRegistryTest, FinishingGoesOnPastAFailure) {
    Add("a");
    registry_.Register("b", [] {}, [] { throw EInOutError("cannot finish b"); });
    registry_.Initialize();
    EXPECT_THROW(registry_.Finalize(), EInOutError);
    EXPECT_EQ(log_, (Log{"+a", "-a"}));
}

TEST_F(UnitRegistryTest, BrokenRegistrationsRunNothing) {
    Add("a", {"missing"});
    EXPECT_THROW(registry_.Initialize(), EInvalidOperation);
    EXPECT_THROW(Add("a"), EInvalidOperation);

    TUnitRegistry cyclic;
    cyclic.Register("x", [this] { log_.push_back("+x"); }, nullptr, {"y"});
    cyclic.Register("y", nullptr, nullptr, {"x"});
    EXPECT_THROW(cyclic.Initialize(), EInvalidOperation);
    EXPECT_TRUE(log_.empty());
}

TEST_F(UnitRegistryTest, NoRegistrationWhileStarted) {
    registry_.Initialize();
    EXPECT_THROW(Add("late"), EInvalidOperation);
    registry_.Finalize();
}

} // namespace
