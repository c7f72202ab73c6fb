#include "engine/AVLib.h"

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/AVLogger.h"
#include "platform/rtl/DynamicLibrary.h"

namespace {

class TRecordingLogger : public TImplements<TInterfacedObject, IAVLogger> {
public:
    explicit TRecordingLogger(int level) : level_(level) {}
    void Log(int level, const String& message) override { lines.emplace_back(level, message); }
    int GetLevel() override { return level_; }

    std::vector<std::pair<int, String>> lines;

private:
    int level_;
};

std::atomic<int> foreignLines{0};
void ForeignCallback(void*, int, const char*, va_list) { ++foreignLines; }

void Log(int level, const char* text) { avlib::av_log(nullptr, level, "%s", text); }

TEST(AVLib, MissingLibraryOrEntryIsReportedByName) {
    try {
        LoadAVDll("libavnothing.so.99");
        FAIL() << "no exception";
    } catch (const EAVLibError& e) {
        EXPECT_EQ(e.Message(), String("Can not load libavnothing.so.99"));
        EXPECT_EQ(e.Library(), String("libavnothing.so.99"));
        EXPECT_EQ(e.EntryPoint(), String());
    }
    const auto avutil = LoadAVDll("libavutil.so.57");
    EXPECT_NE(ResolveExport(*avutil, "av_malloc"), nullptr);
    try {
        ResolveExport(*avutil, "av_no_such_entry");
        FAIL() << "no exception";
    } catch (const EAVLibError& e) {
        EXPECT_EQ(e.Message(), String("Load av_no_such_entry failed!"));
        EXPECT_EQ(e.Library(), String("libavutil.so.57"));
        EXPECT_EQ(e.EntryPoint(), String("av_no_such_entry"));
    }
}

// In the process it runs in: loads, and on failure writes what EAVLibError
// names and how many libraries stayed loaded.
[[noreturn]] void LoadAndReport() {
    try {
        LoadAVLib();
    } catch (const EAVLibError& e) {
        std::fprintf(stderr, "%s | %s | %s | %zu loaded\n", e.what(), e.Library().ToUtf8().c_str(),
                     e.EntryPoint().ToUtf8().c_str(), LoadedAVLibs().size());
        std::_Exit(1);
    }
    std::_Exit(0);
}

// Each case runs in a fresh process whose library path puts a stand-in for
// the last library, libavdevice, first.
TEST(AVLibDeathTest, AFailedLoadNamesWhatFailedAndKeepsWhatLoadedBefore) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(std::getenv("OSTREL_HOME")) / "stand-ins";
    const fs::path standIn = folder / "libavdevice.so.59";
    fs::create_directories(folder);
    const auto avutil = LoadAVDll("libavutil.so.57");
    Dl_info avutilFile{};
    ASSERT_NE(dladdr(ResolveExport(*avutil, "av_malloc"), &avutilFile), 0);

    const struct {
        std::function<void()> make;
        const char* expected;
    } cases[] = {
        {[&] { std::ofstream(standIn) << "not a library"; },
         "Can not load libavdevice.so.59 | libavdevice.so.59 |  | 6 loaded"},
        {[&] { fs::create_symlink(avutilFile.dli_fname, standIn); },
         "Load avdevice_version failed! | libavdevice.so.59 | avdevice_version | 6 loaded"},
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a new process reads the library path
    setenv("LD_LIBRARY_PATH", folder.c_str(), 1);
    setenv("TMPDIR", folder.c_str(), 1); // the child's own data folder goes with ours
    for (const auto& c : cases) {
        fs::remove(standIn);
        c.make();
        EXPECT_EXIT(LoadAndReport(), testing::ExitedWithCode(1), testing::HasSubstr(c.expected));
    }
    unsetenv("LD_LIBRARY_PATH");
    unsetenv("TMPDIR");
}

TEST(AVLib, LoadsOnceAndLoadsAgainAfterUnload) {
    LoadAVLib();
    ASSERT_TRUE(AVLibLoaded());
    ASSERT_NE(avlib::avformat_open_input, nullptr);
    const std::vector<std::pair<std::string, unsigned>> sonames = {
        {"libavutil.so.57", 57}, {"libswresample.so.4", 4}, {"libswscale.so.6", 6}, {"libavcodec.so.59", 59},
        {"libavformat.so.59", 59}, {"libavfilter.so.8", 8}, {"libavdevice.so.59", 59}};
    const std::vector<TAVLibVersion> loaded = LoadedAVLibs();
    ASSERT_EQ(loaded.size(), sonames.size());
    for (size_t i = 0; i < loaded.size(); ++i) {
        EXPECT_EQ(loaded[i].soname.ToUtf8(), sonames[i].first);
        EXPECT_EQ(AV_VERSION_MAJOR(loaded[i].version), sonames[i].second) << sonames[i].first;
    }

    // A second load must not register again, so a callback set in between stays.
    avlib::av_log_set_callback(ForeignCallback);
    LoadAVLib();
    const auto logger = MakeIntf<TRecordingLogger>(AV_LOG_DEBUG);
    {
        TAVLoggerRegistration registration(logger);
        const int before = foreignLines;
        Log(AV_LOG_ERROR, "kept\n");
        EXPECT_EQ(foreignLines, before + 1);
        EXPECT_TRUE(logger->lines.empty());
    }

    UnloadAVLib();
    EXPECT_FALSE(AVLibLoaded());
    EXPECT_TRUE(LoadedAVLibs().empty());
    EXPECT_EQ(avlib::av_malloc, nullptr);
    EXPECT_EQ(avlib::avcodec_open2, nullptr);
    EXPECT_EQ(avlib::avdevice_register_all, nullptr);
    UnloadAVLib();

    LoadAVLib();
    ASSERT_TRUE(AVLibLoaded());
    TAVLoggerRegistration registration(logger);
    Log(AV_LOG_ERROR, "routed again\n");
    ASSERT_EQ(logger->lines.size(), 1u);
    EXPECT_EQ(logger->lines[0].second, String("routed again\n"));
}

TEST(AVLibUse, UnloadWaitsUntilEveryUseHasEnded) {
    auto use = std::make_unique<TAVLibUse>();
    std::atomic<bool> unloaded{false};
    std::thread unloader([&] {
        UnloadAVLib();
        unloaded = true;
    });
    while (!AVLibUnloadPending() && !unloaded) std::this_thread::yield();
    EXPECT_FALSE(unloaded);
    {
        TAVLibUse nested; // a thread that already uses FFmpeg may take more uses
        EXPECT_TRUE(AVLibLoaded());
        void* memory = avlib::av_malloc(16);
        EXPECT_NE(memory, nullptr);
        avlib::av_free(memory);
    }
    EXPECT_FALSE(unloaded);
    use.reset();
    unloader.join();
    EXPECT_FALSE(AVLibLoaded());
    EXPECT_EQ(avlib::av_malloc, nullptr);

    TAVLibUse again; // loads again
    EXPECT_TRUE(AVLibLoaded());
    EXPECT_NE(avlib::av_malloc, nullptr);
}

TEST(AVLibUse, UnloadIsRefusedToAThreadThatUsesFFmpegAndAcceptedOnceItsUseEndedElsewhere) {
    auto use = std::make_unique<TAVLibUse>();
    EXPECT_THROW(UnloadAVLib(), EAssertionFailed);
    EXPECT_TRUE(AVLibLoaded());
    EXPECT_FALSE(AVLibUnloadPending());

    std::thread([moved = std::move(use)]() mutable { moved.reset(); }).join();
    UnloadAVLib();
    EXPECT_FALSE(AVLibLoaded());
}

TEST(AVLog, LinesReachOnlyTheProducingThreadsLoggerUpToItsLevel) {
    LoadAVLib();
    const auto mine = MakeIntf<TRecordingLogger>(AV_LOG_WARNING);
    const auto other = MakeIntf<TRecordingLogger>(AV_LOG_DEBUG);
    TAVLoggerRegistration registration(mine);
    Log(AV_LOG_WARNING, "warning\n");
    Log(AV_LOG_INFO, "info\n");
    Log(AV_LOG_ERROR, "error\n");
    avlib::av_log(nullptr, AV_LOG_WARNING | AV_LOG_C(134), "tinted\n");
    std::thread([&] {
        Log(AV_LOG_PANIC, "from a thread without logger\n");
        TAVLoggerRegistration theirs(other);
        Log(AV_LOG_DEBUG, "debug on the other thread\n");
    }).join();
    std::thread([] { Log(AV_LOG_PANIC, "unregistered again\n"); }).join();

    const std::vector<std::pair<int, String>> expectMine = {{AV_LOG_WARNING, "warning\n"},
                                                            {AV_LOG_ERROR, "error\n"},
                                                            {AV_LOG_WARNING, "tinted\n"}};
    const std::vector<std::pair<int, String>> expectOther = {{AV_LOG_DEBUG, "debug on the other thread\n"}};
    EXPECT_EQ(mine->lines, expectMine);
    EXPECT_EQ(other->lines, expectOther);
}

TEST(AVLog, LongLinesAreCutAndLoggerFailuresStayInside) {
    LoadAVLib();
    class TThrowingLogger : public TImplements<TInterfacedObject, IAVLogger> {
        void Log(int, const String&) override { throw Exception("boom"); }
        int GetLevel() override { return AV_LOG_DEBUG; }
    };
    {
        TAVLoggerRegistration registration(MakeIntf<TThrowingLogger>());
        EXPECT_NO_THROW(Log(AV_LOG_ERROR, "x\n"));
    }
    const auto logger = MakeIntf<TRecordingLogger>(AV_LOG_DEBUG);
    TAVLoggerRegistration registration(logger);
    Log(AV_LOG_ERROR, std::string(1500, 'x').c_str());
    ASSERT_EQ(logger->lines.size(), 1u);
    EXPECT_EQ(logger->lines[0].second, String(std::string(1024, 'x')));
}

TEST(AVLog, TheRegistryHoldsItsLoggerUntilRemoved) {
    LoadAVLib();
    class TSelfRemovingLogger : public TImplements<TInterfacedObject, IAVLogger> {
    public:
        explicit TSelfRemovingLogger(bool& destroyed) : destroyed_(destroyed) {}
        ~TSelfRemovingLogger() override { destroyed_ = true; }
        void Log(int, const String&) override {
            UnregisterAVLogger();
            EXPECT_FALSE(destroyed_);
        }
        int GetLevel() override { return AV_LOG_DEBUG; }

    private:
        bool& destroyed_;
    };
    bool destroyed = false;
    RegisterAVLogger(MakeIntf<TSelfRemovingLogger>(destroyed));
    EXPECT_FALSE(destroyed);
    Log(AV_LOG_ERROR, "last line\n");
    EXPECT_TRUE(destroyed);
}

TEST(AVLog, LevelMapping) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 8}, {2, 16}, {3, 24}, {4, 32}, {5, 40}, {6, 48}, {7, 48}, {200, 48}};
    for (const auto& [ordinal, expected] : cases)
        EXPECT_EQ(LogLevelToAV(static_cast<TAVLogLevel>(ordinal)), expected) << ordinal;
}

} // namespace
