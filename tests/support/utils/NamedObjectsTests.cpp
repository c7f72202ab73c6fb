#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <optional>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Files.h"
#include "support/utils/NamedObjectFile.h"
#include "support/utils/ScSynch.h"
#include "support/utils/ScSysUtils.h"

namespace {

using TKind = TNamedObjectFile::TKind;

bool NameFileExists(TKind kind, const String& name) { return FileExists(TNamedObjectFile::FileNameOf(kind, name)); }

// Holds a mutex on another thread until released.
class THolderThread {
public:
    explicit THolderThread(TScMutex& mutex)
        : thread_([this, &mutex] {
              held_.set_value(mutex.WaitFor(INFINITE));
              release_.get_future().wait();
              mutex.Release();
          }) {}
    ~THolderThread() {
        release_.set_value();
        thread_.join();
    }
    TScWaitResult Held() { return held_.get_future().get(); }

private:
    std::promise<TScWaitResult> held_;
    std::promise<void> release_;
    std::thread thread_;
};

TEST(ScMutex, SecondOpenerInAnotherProcessSeesExistedAndTheNameGoesWithTheLastUser) {
    const String name = u"ostrel test mutex/existed";
    {
        TScMutex mutex(false, name);
        EXPECT_FALSE(mutex.Existed());
        EXPECT_EQ(mutex.Name(), name);
        TChildProcess child([&](TChildProcess& self) {
            TScMutex other(false, name);
            self.Report(other.Existed() ? "existed" : "created");
        });
        EXPECT_EQ(child.ReadLine(), "existed");
        EXPECT_EQ(child.Finish(), 0);
        EXPECT_TRUE(NameFileExists(TKind::Mutex, name));
    }
    EXPECT_FALSE(NameFileExists(TKind::Mutex, name));
    // Created afresh, not found again.
    TScMutex again(false, name);
    EXPECT_FALSE(again.Existed());
}

TEST(ScMutex, KillingTheHoldingProcessAbandonsIt) {
    const String name = u"ostrel-test-killed-holder";
    {
        TScMutex mutex(false, name);
        TChildProcess child([&](TChildProcess& self) {
            TScMutex other(false, name);
            self.Report(other.WaitFor(INFINITE) == wrSignaled ? "held" : "not held");
            self.WaitUntilLetGo();
        });
        ASSERT_EQ(child.ReadLine(), "held");
        EXPECT_EQ(mutex.WaitFor(0), wrTimeout);
        child.Kill();
        EXPECT_EQ(mutex.WaitFor(10000), wrAbandoned);
        EXPECT_TRUE(mutex.Release());
        EXPECT_EQ(mutex.WaitFor(0), wrSignaled);
        EXPECT_TRUE(mutex.Release());
    }
    EXPECT_FALSE(NameFileExists(TKind::Mutex, name));
}

TEST(ScMutex, AThreadEndingWhileHoldingAbandonsIt) {
    for (const String& name : {String(), String(u"ostrel-test-thread-holder")}) {
        TScMutex mutex(false, name);
        std::thread([&] { EXPECT_EQ(mutex.WaitFor(INFINITE), wrSignaled); }).join();
        EXPECT_EQ(mutex.WaitFor(0), wrAbandoned) << name;
        EXPECT_EQ(mutex.WaitFor(0), wrSignaled) << name; // recursive
        EXPECT_TRUE(mutex.Release());
        EXPECT_TRUE(mutex.Release());
        EXPECT_FALSE(mutex.Release()) << "released more often than taken";
    }
    EXPECT_FALSE(NameFileExists(TKind::Mutex, u"ostrel-test-thread-holder"));
}

TEST(ScMutex, WaitTimesOutWhileAnotherThreadHoldsIt) {
    TScMutex mutex(false, u"ostrel-test-time-out");
    {
        THolderThread holder(mutex);
        ASSERT_EQ(holder.Held(), wrSignaled);
        EXPECT_EQ(mutex.WaitFor(0), wrTimeout);
        EXPECT_EQ(mutex.WaitFor(20), wrTimeout);
        EXPECT_FALSE(mutex.Release());
    }
    EXPECT_EQ(mutex.WaitFor(20), wrSignaled);
    EXPECT_TRUE(mutex.Release());
}

TEST(ScMutex, InitialOwnerTakesOnlyAMutexItCreates) {
    const String name = u"ostrel-test-initial-owner";
    TScMutex creator(true, name);
    TScMutex opener(true, name);
    EXPECT_TRUE(opener.Existed());
    std::thread([&] { EXPECT_EQ(opener.WaitFor(0), wrTimeout); }).join();
    EXPECT_TRUE(creator.Release());
    EXPECT_FALSE(creator.Release());
}

// Each thread opens the name itself, as separate processes would; the name's
// file comes and goes under them, and one mutex must still exclude them all.
TEST(ScMutex, OpeningAndClosingConcurrentlyKeepsOneMutexPerName) {
    const String name = u"ostrel-test-churn";
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                TScMutex mutex(false, name);
                mutex.WaitFor(INFINITE);
                if (inside.fetch_add(1) != 0) overlapped = true;
                std::this_thread::yield();
                inside.fetch_sub(1);
                mutex.Release();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(NameFileExists(TKind::Mutex, name));
}

TEST(ScMutex, CreationFailureCarriesTheSystemError) {
    const String file = GetTempFileName(GetTempDir(), u"ostrel-not-a-folder");
    const std::string home = std::getenv("OSTREL_HOME");
    setenv("OSTREL_HOME", (file + u"/home").ToUtf8().c_str(), 1);
    std::optional<EScMutexError> error;
    try {
        TScMutex mutex(false, u"ostrel-test-no-folder");
    } catch (const EScMutexError& e) {
        error = e;
    }
    setenv("OSTREL_HOME", home.c_str(), 1);
    DeleteFile(file);
    ASSERT_TRUE(error);
    const uint32_t code = error->LastError();
    EXPECT_NE(code, 0u);
    EXPECT_EQ(error->Message(), String(u"Win32 error: ") + SysErrorMessage(static_cast<int>(code)) + u" (" +
                                    IntToStr(static_cast<int>(code)) + u")\r\nFailed to create mutex");
}

TEST(SharedMemory, ASecondOpenInTheProcessSharesTheViewUntilBothAreClosed) {
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(OpenSharedMemory(first, u"Ostrel-Test-Shm", 100), 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OpenSharedMemory(second, u"OSTREL-TEST-SHM", 0), ERROR_ALREADY_EXISTS) << "letter case aside";
    EXPECT_EQ(second, first);
    EXPECT_FALSE(NameFileExists(TKind::SharedMemory, u"OSTREL-TEST-SHM")) << "one object, under the first name";

    static_cast<char*>(first)[99] = 'x';
    EXPECT_TRUE(CloseSharedView(first));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(static_cast<char*>(second)[99], 'x') << "still mapped";
    EXPECT_TRUE(NameFileExists(TKind::SharedMemory, u"Ostrel-Test-Shm"));
    EXPECT_TRUE(FreeSharedMemory(second));
    EXPECT_FALSE(NameFileExists(TKind::SharedMemory, u"Ostrel-Test-Shm"));
}

TEST(SharedMemory, AnotherProcessSharesTheContentAndSizeZeroMapsItWhole) {
    const String name = u"ostrel-test-shared-content";
    TChildProcess child([&](TChildProcess& self) {
        void* view = nullptr;
        const int result = OpenSharedMemory(view, name, 10000);
        static_cast<char*>(view)[9999] = 'z';
        self.Report(std::to_string(result));
        self.WaitUntilLetGo();
        self.Report(std::string(1, static_cast<char*>(view)[0]));
        CloseSharedView(view);
    });
    ASSERT_EQ(child.ReadLine(), "0");
    void* view = nullptr;
    EXPECT_EQ(OpenSharedMemory(view, name, 0), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(static_cast<char*>(view)[9999], 'z');
    static_cast<char*>(view)[0] = 'a';
    EXPECT_EQ(child.Finish(), 0);
    EXPECT_EQ(child.ReadLine(), "a") << "the child sees what the test wrote";
    EXPECT_TRUE(CloseSharedView(view));
    EXPECT_FALSE(NameFileExists(TKind::SharedMemory, name)) << "the last user removes it";
}

TEST(SharedMemory, SizeZeroForANewNameIsRefusedAndLeavesNothing) {
    void* view = reinterpret_cast<void*>(1);
    try {
        OpenSharedMemory(view, u"ostrel-test-empty", 0);
        FAIL() << "created an empty object";
    } catch (const ESharedMemError& e) {
        EXPECT_EQ(e.Message(), u"The MMF named \"ostrel-test-empty\" cannot be created empty");
    }
    EXPECT_EQ(view, nullptr);
    EXPECT_FALSE(NameFileExists(TKind::SharedMemory, u"ostrel-test-empty"));
}

TEST(SharedMemory, ClosingWhatItDidNotOpenAnswersFalse) {
    int local = 0;
    void* view = &local;
    EXPECT_FALSE(CloseSharedView(view));
    EXPECT_EQ(view, &local);
    void* none = nullptr;
    EXPECT_TRUE(CloseSharedView(none));
}

TEST(SharedMemory, AnyTextIsAName) {
    const String longName(1000, u'n');
    const String names[] = {u"", u"a/b\\c:..", u"\u540d\u5b57 with blanks", u"100%", longName, longName + u"2"};
    std::vector<void*> views;
    for (const String& name : names) {
        void* view = nullptr;
        EXPECT_EQ(OpenSharedMemory(view, name, 8), 0) << name;
        *static_cast<const String**>(view) = &name;
        views.push_back(view);
        EXPECT_TRUE(NameFileExists(TKind::SharedMemory, name)) << name;
    }
    for (size_t i = 0; i < views.size(); ++i) EXPECT_EQ(*static_cast<const String**>(views[i]), &names[i]) << "distinct objects";
    for (void*& view : views) EXPECT_TRUE(CloseSharedView(view));
    for (const String& name : names) EXPECT_FALSE(NameFileExists(TKind::SharedMemory, name)) << name;
}

} // namespace
