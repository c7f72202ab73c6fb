#include "engine/AVLib.h"

#include <gtest/gtest.h>

#include <atomic>
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
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), String("Can not load libavnothing.so.99"));
    }
    const auto avutil = LoadAVDll("libavutil.so.57");
    EXPECT_NE(ResolveExport(*avutil, "av_malloc"), nullptr);
    try {
        ResolveExport(*avutil, "av_no_such_entry");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), String("Load av_no_such_entry failed!"));
    }
}

TEST(AVLib, LoadsOnceAndLoadsAgainAfterUnload) {
    LoadAVLib();
    ASSERT_TRUE(AVLibLoaded());
    ASSERT_NE(avlib::avformat_open_input, nullptr);

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
