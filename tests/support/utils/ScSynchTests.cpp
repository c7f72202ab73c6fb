#include "support/utils/ScSynch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/utils/ScSysUtils.h"
#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScSysUtilsUnit;

namespace {

using namespace std::chrono_literals;

// Whether another thread gets through Take within a second (a loaded machine
// may be slow to run it); the thread is joined before the answer (Take must
// then succeed after Unblock).
template <class Take>
bool OtherThreadPasses(Take take, const std::function<void()>& unblock) {
    std::atomic<bool> passed{false};
    std::thread other([&] {
        take();
        passed = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + 1s;
    while (!passed && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    const bool early = passed;
    unblock();
    other.join();
    EXPECT_TRUE(passed);
    return early;
}

TEST(ScCriticalSection, CreateAndEnterHoldsItUntilLeft) {
    const auto section = TScCriticalSection::CreateAndEnter();
    section->Enter(); // recursive
    section->Leave();
    EXPECT_FALSE(OtherThreadPasses(
        [&] {
            section->Enter();
            section->Leave();
        },
        [&] { section->Leave(); }));
}

TEST(ScIntfCriticalSection, AReferenceHoldsTheLockAndCountingNeverFreesIt) {
    TScIntfCriticalSection section;
    TIntfPtr<IInterface> held(&section);
    EXPECT_EQ(section._AddRef(), 0);
    EXPECT_EQ(section._Release(), 0);
    EXPECT_FALSE(OtherThreadPasses([&] { TIntfPtr<IInterface> other(&section); }, [&] { held.Reset(); }));

    void* answer = nullptr;
    EXPECT_EQ(section.QueryInterface(IInterface::IID, &answer), S_OK);
    EXPECT_EQ(answer, static_cast<IInterface*>(&section));
    static_cast<IInterface*>(answer)->_Release();
    EXPECT_EQ(section.QueryInterface(TGUID::Parse("{5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6D}"), &answer), E_NOINTERFACE);
    // Still usable after every reference went.
    EXPECT_TRUE(OtherThreadPasses([&] { TIntfPtr<IInterface> other(&section); }, [] {}));
}

TEST(ScSharedListLock, OneRecursiveLockForTheProcessHeldByTheReference) {
    ScSysUtilsUnit.Start(); // after another test's finish of the units
    TIntfPtr<IInterface> held = SharedListLock();
    ASSERT_TRUE(held);
    EXPECT_EQ(SharedListLock(), held) << "taken again by the same thread";
    void* view = nullptr;
    EXPECT_FALSE(OtherThreadPasses([&] { OpenSharedMemory(view, u"ostrel-test-list-lock", 16); },
                                   [&] { held.Reset(); }));
    EXPECT_TRUE(CloseSharedView(view));
}

TEST(ScSharedListLock, NoneAfterTheUnitHasFinishedAndViewsStillClose) {
    ScSysUtilsUnit.Start();
    void* view = nullptr;
    OpenSharedMemory(view, u"ostrel-test-after-finish", 16);
    ScSysUtilsUnit.Finish();
    EXPECT_FALSE(SharedListLock());
    EXPECT_TRUE(CloseSharedView(view));
    ScSysUtilsUnit.Start();
    EXPECT_TRUE(SharedListLock());
}

TEST(ScMutex, OpenFindsOnlyANameInUseAndSharesItsMutex) {
    const String name = u"ostrel-test-open";
    EXPECT_EQ(TScMutex::Open(name), nullptr);
    TScMutex creator(true, name);
    const auto opened = TScMutex::Open(name);
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->Existed());
    EXPECT_EQ(opened->Name(), name);
    std::thread([&] { EXPECT_FALSE(opened->Acquire(0)); }).join();
    EXPECT_TRUE(creator.Release());
    std::thread([&] {
        EXPECT_TRUE(opened->Acquire(20));
        EXPECT_TRUE(opened->Release());
    }).join();
}

TEST(ScMutex, AnAttachedObjectWaitsOnTheSameMutex) {
    TScMutex mutex(false, String());
    const auto attached = TScMutex::Attach(mutex.Handle());
    ASSERT_EQ(mutex.WaitForever(), wrSignaled);
    std::thread([&] { EXPECT_EQ(attached->WaitAlertable(0), wrTimeout); }).join();
    EXPECT_TRUE(mutex.Release());
    std::thread([&] {
        EXPECT_EQ(attached->WaitForever(), wrSignaled);
        EXPECT_TRUE(attached->Release());
    }).join();
}

TEST(ScMutex, SignalAndWaitReleasesOneAndTakesTheOther) {
    TScMutex first(true, String());
    TScMutex second(false, String());
    EXPECT_EQ(first.SignalAndWait(second, 0), wrSignaled);
    std::thread([&] {
        EXPECT_TRUE(first.Acquire(0)) << "released";
        EXPECT_FALSE(second.Acquire(0)) << "taken";
        // A mutex this thread does not hold cannot be signalled.
        EXPECT_EQ(second.SignalAndWait(first, 0), wrError);
        first.Release();
    }).join();
    EXPECT_TRUE(second.Release());
}

} // namespace
