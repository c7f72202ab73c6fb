#include "engine/AVConverter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>

#include "TestMedia.h"
#include "engine/AVUtils.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace std::chrono_literals;

// Runs posted calls until Done holds; false when it does not within 30 s.
bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        CheckSynchronize(10);
    }
    return true;
}

// Waits, without running posted calls, until Done holds; false after 30 s.
bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

// Counts the free slots by taking them, and gives them back.
int FreeSlots(TSemaphore& semaphore) {
    int free = 0;
    while (semaphore.WaitFor(0) == wrSignaled) ++free;
    for (int i = 0; i < free; ++i) semaphore.Release();
    return free;
}

// An in-memory file whose first read waits until the test lets it go on.
class TGateStream : public TBytesStream {
public:
    using TBytesStream::TBytesStream;
    int64_t Read(void* buffer, int64_t count) override {
        if (!passed_.exchange(true)) {
            reading.SetEvent();
            proceed.WaitFor();
        }
        return TBytesStream::Read(buffer, count);
    }
    TEvent reading;
    TEvent proceed;

private:
    std::atomic<bool> passed_ = false;
};

// What a converter raised, from whichever thread.
struct TRaised {
    std::mutex mutex;
    std::vector<String> errors;
    std::vector<String> errorLogs;
    std::vector<std::thread::id> errorThreads;
    std::atomic<int> completions = 0;

    size_t ErrorCount() {
        std::lock_guard lock(mutex);
        return errors.size();
    }
};

class ConverterFixture : public testing::Test {
protected:
    void SetUp() override {
        folder_ = TestFolder();
        source_ = folder_ + "in.nut";
        WriteTestMedia(source_, {VideoTrack(64, 48), AudioTrack(1)});
        SetAVErrorHandler([this](const String& text) {
            boxes_.push_back(text);
            boxThreads_.push_back(std::this_thread::get_id());
        });
    }
    void TearDown() override { SetAVErrorHandler(nullptr); }

    // A converter whose errors (handled) and completions go to Raised.
    std::unique_ptr<TAVConverter> MakeConverter(const String& input, const String& output, TRaised& raised) {
        auto converter = std::make_unique<TAVConverter>(nullptr);
        if (!input.empty()) converter->InputFiles()->Add(input);
        converter->OutputFiles()->Add(output);
        converter->OnError = [&raised](TObject*, const String& message, const String& log, bool& handled) {
            std::lock_guard lock(raised.mutex);
            raised.errors.push_back(message);
            raised.errorLogs.push_back(log);
            raised.errorThreads.push_back(std::this_thread::get_id());
            handled = true;
        };
        converter->OnComplete = [&raised](TObject*) { ++raised.completions; };
        return converter;
    }
    std::unique_ptr<TAVConverter> MakeConverter(const String& input, const String& output) {
        return MakeConverter(input, output, raised_);
    }

    String folder_;
    String source_;
    TRaised raised_;
    std::vector<String> boxes_;
    std::vector<std::thread::id> boxThreads_;
};

// The converter tests that take slots run with a semaphore of this process and with a named one.
class ConverterTest : public ConverterFixture, public testing::WithParamInterface<const char*> {
protected:
    std::unique_ptr<TSemaphore> MakeSemaphore(int initial, int maximum) {
        return std::make_unique<TSemaphore>(initial, maximum, String(GetParam()));
    }
};

INSTANTIATE_TEST_SUITE_P(LocalAndNamedSemaphore, ConverterTest, testing::Values("", "ThreadSem"),
                         [](const auto& info) { return std::string(info.param[0] ? "Named" : "Local"); });

TEST_P(ConverterTest, AConversionRunsUnderASlotAndGivesItBackBeforeCompleting) {
    const auto semaphore = MakeSemaphore(1, 1);
    const String output = folder_ + "sub/out.nut";
    auto converter = MakeConverter(source_, output);
    int stateAtCompletion = -1, freeAtCompletion = -1;
    converter->OnComplete = [&](TObject* sender) {
        EXPECT_EQ(sender, converter.get());
        EXPECT_TRUE(IsMainThread());
        stateAtCompletion = converter->State();
        freeAtCompletion = FreeSlots(*semaphore);
        ++raised_.completions;
    };
    converter->StartConversion(semaphore.get());
    ASSERT_TRUE(PumpUntil([&] { return raised_.completions > 0; }));
    EXPECT_EQ(stateAtCompletion, cvIdle);
    EXPECT_EQ(freeAtCompletion, 1);
    EXPECT_TRUE(FileExists(output));
    EXPECT_NEAR(converter->Duration(), 0.3, 0.15);
    EXPECT_EQ(converter->ProgressPercent(), 0);
    EXPECT_EQ(converter->ElapsedSeconds(), 0);
    converter.reset();
    EXPECT_EQ(raised_.completions, 1);
    EXPECT_EQ(raised_.ErrorCount(), 0u);
    EXPECT_TRUE(boxes_.empty());
}

// Failures found before the slot wait end the run at once: they are reported
// on the worker, and no slot is waited for, so a full semaphore does not hold
// them up.
TEST_P(ConverterTest, FailuresBeforeTheSlotWaitAreReportedWithoutASlot) {
    struct TCase {
        bool withInput;
        const char* outputFormat;
        const char* message;
    };
    for (const TCase& c : {TCase{false, "", "At least one input file must be specified"},
                           TCase{true, "nosuchmuxer", "Unknown Output format nosuchmuxer"}}) {
        SCOPED_TRACE(c.message);
        TRaised raised;
        const auto semaphore = MakeSemaphore(0, 1);
        auto converter = MakeConverter(c.withInput ? source_ : String(), folder_ + "out.nut", raised);
        converter->ConvertOptions()->SetOutputFormat(c.outputFormat);
        converter->StartConversion(semaphore.get());
        ASSERT_TRUE(PumpUntil([&] { return raised.ErrorCount() > 0 && converter->State() == cvIdle; }));
        converter.reset();
        ASSERT_EQ(raised.errors, std::vector<String>{c.message});
        EXPECT_NE(raised.errorThreads[0], std::this_thread::get_id());
        EXPECT_EQ(raised.completions, 0);
        EXPECT_EQ(FreeSlots(*semaphore), 0);
    }
}

TEST_P(ConverterTest, WaitsForASlotInStateFourUntilOneComesFree) {
    const auto semaphore = MakeSemaphore(0, 1);
    auto converter = MakeConverter(source_, folder_ + "out.nut");
    converter->StartConversion(semaphore.get());
    ASSERT_TRUE(PumpUntil([&] { return converter->State() == cvWaitingForSlot; }));
    converter->StopConversion();
    converter->PauseConversion();
    EXPECT_EQ(converter->State(), cvWaitingForSlot);
    EXPECT_THROW(converter->StartConversion(semaphore.get()), EInvalidOperation);

    semaphore->Release();
    ASSERT_TRUE(PumpUntil([&] { return raised_.completions > 0; }));
    EXPECT_EQ(FreeSlots(*semaphore), 1);
}

TEST_P(ConverterTest, DestroyingAConverterThatWaitsForASlotReturnsAtOnce) {
    const auto semaphore = MakeSemaphore(0, 1);
    auto converter = MakeConverter(source_, folder_ + "out.nut");
    converter->StartConversion(semaphore.get());
    ASSERT_TRUE(PumpUntil([&] { return converter->State() == cvWaitingForSlot; }));
    const auto start = std::chrono::steady_clock::now();
    converter.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(raised_.completions, 0);
    EXPECT_EQ(raised_.ErrorCount(), 0u);
    EXPECT_EQ(FreeSlots(*semaphore), 0);
}

TEST_P(ConverterTest, UnwritableOutputIsReportedAndTheSlotComesBack) {
    const auto semaphore = MakeSemaphore(1, 1);
    const String notAFolder = folder_ + "file.txt";
    std::ofstream(notAFolder.ToUtf8()) << "a file";
    const String output = notAFolder + "/out.mp4";
    auto converter = MakeConverter(source_, output);
    converter->StartConversion(semaphore.get());
    ASSERT_TRUE(PumpUntil([&] { return raised_.ErrorCount() > 0 && converter->State() == cvIdle; }));
    EXPECT_EQ(FreeSlots(*semaphore), 1);
    converter.reset();
    EXPECT_EQ(raised_.errors, std::vector<String>{"Could not write to file " + output});
    EXPECT_NE(raised_.errorThreads[0], std::this_thread::get_id());
    EXPECT_EQ(raised_.completions, 0);
    EXPECT_EQ(FreeSlots(*semaphore), 1);
}

// The old pause gave back a slot on every pause: one right after a resume
// released a slot the worker had not taken again.
TEST_P(ConverterTest, PauseGivesBackOnlyTheSlotItHolds) {
    const auto semaphore = MakeSemaphore(1, 2);
    auto stream = std::make_shared<TGateStream>(ReadFileBytes(source_));
    const int id = RegisterStream(stream);
    auto converter = MakeConverter(StreamURL(id), folder_ + "out.nut");

    converter->PauseConversion();
    EXPECT_EQ(converter->State(), cvIdle);
    EXPECT_EQ(FreeSlots(*semaphore), 1);

    converter->StartConversion(semaphore.get());
    ASSERT_EQ(stream->reading.WaitFor(30000), wrSignaled);
    EXPECT_EQ(converter->State(), cvRunning);
    EXPECT_EQ(FreeSlots(*semaphore), 0);
    converter->PauseConversion();
    EXPECT_EQ(converter->State(), cvPaused);
    EXPECT_EQ(FreeSlots(*semaphore), 1);
    converter->ResumeConversion();
    EXPECT_EQ(converter->State(), cvRunning);
    converter->PauseConversion();
    EXPECT_EQ(FreeSlots(*semaphore), 1);
    converter->StopConversion();
    EXPECT_EQ(converter->State(), cvStopRequested);

    stream->proceed.SetEvent();
    ASSERT_TRUE(PumpUntil([&] { return converter->State() == cvIdle; }));
    converter.reset();
    EXPECT_EQ(raised_.completions, 0);
    EXPECT_EQ(FreeSlots(*semaphore), 1);
}

TEST_P(ConverterTest, DestroyingARunningConverterStopsItAndWaitsForItsWorker) {
    const auto semaphore = MakeSemaphore(1, 1);
    auto stream = std::make_shared<TGateStream>(ReadFileBytes(source_));
    const int id = RegisterStream(stream);
    auto converter = MakeConverter(StreamURL(id), folder_ + "out.nut");
    std::atomic<int> lines = 0;
    converter->OnLog = [&](TObject*, int, const String&) { ++lines; };
    converter->StartConversion(semaphore.get());
    ASSERT_EQ(stream->reading.WaitFor(30000), wrSignaled);
    stream->proceed.SetEvent();
    converter.reset();
    EXPECT_EQ(raised_.completions, 0);
    EXPECT_EQ(raised_.ErrorCount(), 0u);
    EXPECT_EQ(FreeSlots(*semaphore), 1);
}

TEST_P(ConverterTest, ConverterMayBeFreedByItsCompletionHandler) {
    const auto semaphore = MakeSemaphore(1, 1);
    auto* converter = MakeConverter(source_, folder_ + "out.nut").release();
    bool freed = false;
    converter->OnComplete = [&](TObject* sender) {
        EXPECT_EQ(FreeSlots(*semaphore), 1);
        delete static_cast<TAVConverter*>(sender);
        freed = true;
    };
    converter->StartConversion(semaphore.get());
    ASSERT_TRUE(PumpUntil([&] { return freed; }));
    EXPECT_EQ(FreeSlots(*semaphore), 1);
}

TEST_P(ConverterTest, ConverterMayStartAgainFromItsCompletionHandler) {
    const auto semaphore = MakeSemaphore(1, 1);
    auto converter = MakeConverter(source_, folder_ + "out.nut");
    int completions = 0;
    converter->OnComplete = [&](TObject*) {
        if (++completions == 1) converter->StartConversion(semaphore.get());
    };
    converter->StartConversion(semaphore.get());
    ASSERT_TRUE(PumpUntil([&] { return completions == 2; }));
    converter.reset();
    EXPECT_EQ(completions, 2);
    EXPECT_EQ(FreeSlots(*semaphore), 1);
}

// The run is over, but its completion has not reached the main thread yet.
TEST_F(ConverterFixture, CompletionStillToComeKeepsTheConverterBusyAndIsDroppedWithIt) {
    auto converter = MakeConverter(source_, folder_ + "out.nut");
    converter->StartConversion(nullptr);
    ASSERT_TRUE(WaitUntil([&] { return converter->State() == cvIdle; }));
    EXPECT_THROW(converter->StartConversion(nullptr), EInvalidOperation);
    converter.reset();
    CheckSynchronize();
    EXPECT_EQ(raised_.completions, 0);
}

TEST_F(ConverterFixture, UnloadingFFmpegWaitsForARunningConversion) {
    auto stream = std::make_shared<TGateStream>(ReadFileBytes(source_));
    const int id = RegisterStream(stream);
    auto converter = MakeConverter(StreamURL(id), folder_ + "out.nut");
    converter->StartConversion(nullptr);
    ASSERT_EQ(stream->reading.WaitFor(30000), wrSignaled);
    std::thread unload([] { UnloadAVLib(); });
    ASSERT_TRUE(WaitUntil([] { return AVLibUnloadPending(); }));
    EXPECT_TRUE(AVLibLoaded());
    stream->proceed.SetEvent();
    unload.join();
    EXPECT_FALSE(AVLibLoaded());
    ASSERT_TRUE(PumpUntil([&] { return raised_.completions > 0; }));
    EXPECT_EQ(raised_.ErrorCount(), 0u);
    EXPECT_TRUE(FileExists(folder_ + "out.nut"));
}

TEST_F(ConverterFixture, UnhandledFailureShowsTheErrorBoxOnTheMainThread) {
    const String missing = folder_ + "missing.nut";
    auto converter = std::make_unique<TAVConverter>(nullptr);
    converter->InputFiles()->Add(missing);
    converter->OutputFiles()->Add(folder_ + "out.nut");
    converter->StartConversion(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !boxes_.empty() && converter->State() == cvIdle; }));
    converter.reset();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(boxes_[0].starts_with("Input file " + missing + " does not exist or cannot be read:")) << boxes_[0];
    EXPECT_EQ(boxThreads_[0], std::this_thread::get_id());
}

TEST_F(ConverterFixture, ErrorLinesOfFFmpegReachOnLogAndTheErrorEvent) {
    auto converter = MakeConverter(source_, folder_ + "out.nut");
    converter->ConvertOptions()->InputFormats()->Add("rawvideo");
    std::mutex mutex;
    std::vector<std::pair<int, String>> lines;
    converter->OnLog = [&](TObject*, int level, const String& line) {
        std::lock_guard lock(mutex);
        lines.emplace_back(level, line);
    };
    converter->SetLogLevel(llError);
    converter->StartConversion(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return raised_.ErrorCount() > 0 && converter->State() == cvIdle; }));
    converter.reset();
    // The FFmpeg lines, then the converter's own.
    ASSERT_GE(lines.size(), 2u);
    for (const auto& [level, line] : lines) EXPECT_LE(level, AV_LOG_ERROR) << line;
    EXPECT_EQ(lines.back().second, "Conversion failed: " + raised_.errors[0]);
    EXPECT_EQ(raised_.errorLogs[0], lines[lines.size() - 2].second);
}

TEST(Converter, IdleConverterHasNoProgress) {
    TAVConverter converter(nullptr);
    EXPECT_EQ(converter.State(), cvIdle);
    EXPECT_EQ(converter.ProgressPercent(), 0);
    EXPECT_EQ(converter.RemainingSeconds(), 362439);
    EXPECT_EQ(converter.LogLevel(), llInfo);
    EXPECT_EQ(converter.GetLevel(), AV_LOG_INFO);
}

TEST(Converter, PublishedPropertiesInStreamingOrder) {
    std::vector<String> names;
    for (const TPropInfo* prop : TAVConverter::StaticClass()->Properties()) names.push_back(prop->Name());
    EXPECT_EQ(names, (std::vector<String>{"Name", "Tag", "ConvertOptions", "InputFiles", "OutputFiles", "OnLog",
                                          "OnProgress", "OnComplete", "OnStopped", "LogLevel", "OnVideoBuffer",
                                          "OnError", "OnVideoStats"}));
}

} // namespace
