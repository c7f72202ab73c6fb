// Conversions that run at once in one process: what they share (the codec
// lock) and what they share out (encoder and decoder threads).

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ResourceLimit.h"
#include "TestMedia.h"
#include "engine/AVConverter.h"
#include "engine/CodecLock.h"
#include "engine/CodecThreads.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace std::chrono_literals;

// Starts every converter, then runs posted calls until all have completed;
// false when they do not within two minutes.
bool RunConvertersAtOnce(const std::vector<std::unique_ptr<TAVConverter>>& converters) {
    int completed = 0;
    for (const auto& converter : converters) converter->OnComplete = [&](TObject*) { ++completed; };
    for (const auto& converter : converters) converter->StartConversion(nullptr);
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (completed < static_cast<int>(converters.size())) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        CheckSynchronize(10);
    }
    return true;
}

std::vector<std::unique_ptr<TAVConverter>> H264Converters(const String& source, int count) {
    std::vector<std::unique_ptr<TAVConverter>> converters;
    for (int i = 0; i < count; ++i) {
        auto converter = std::make_unique<TAVConverter>(nullptr);
        converter->InputFiles()->Add(source);
        converter->OutputFiles()->Add(TestFolder() + "out" + IntToStr(i) + ".mp4");
        converter->ConvertOptions()->VideoOptions()->SetVideoCodecName("libx264");
        converter->ConvertOptions()->AudioOptions()->SetAudioCodecName("aac");
        converters.push_back(std::move(converter));
    }
    return converters;
}

// Whether the codec lock was held, per FFmpeg call the conversions made (of
// opening and closing, those of codecs that did open): the binding's entry
// points are replaced by recording ones for the recorder's life.
class TCodecLockRecorder {
public:
    TCodecLockRecorder() {
        instance_ = this;
        Replace(avlib::avcodec_open2, saved_.open, [](AVCodecContext* c, const AVCodec* codec, AVDictionary** o) {
            const bool held = CodecLockHeldHere();
            const int result = instance_->saved_.open(c, codec, o);
            if (result >= 0) instance_->Count("open", held);
            return result;
        });
        Replace(avlib::avcodec_free_context, saved_.free, [](AVCodecContext** c) {
            if (*c && avlib::avcodec_is_open(*c)) Record("close");
            instance_->saved_.free(c);
        });
        Replace(avlib::avcodec_send_frame, saved_.sendFrame, [](AVCodecContext* c, const AVFrame* f) {
            Record("encode");
            return instance_->saved_.sendFrame(c, f);
        });
        Replace(avlib::avcodec_receive_packet, saved_.receivePacket, [](AVCodecContext* c, AVPacket* p) {
            Record("encode");
            return instance_->saved_.receivePacket(c, p);
        });
        Replace(avlib::avcodec_send_packet, saved_.sendPacket, [](AVCodecContext* c, const AVPacket* p) {
            Record("decode");
            return instance_->saved_.sendPacket(c, p);
        });
        Replace(avlib::av_packet_unref, saved_.unref, [](AVPacket* p) {
            Record("packet");
            instance_->saved_.unref(p);
        });
        Replace(avlib::avformat_write_header, saved_.writeHeader, [](AVFormatContext* c, AVDictionary** o) {
            Record("header");
            return instance_->saved_.writeHeader(c, o);
        });
        Replace(avlib::avfilter_graph_config, saved_.configureGraph, [](AVFilterGraph* g, void* log) {
            Record("graph");
            return instance_->saved_.configureGraph(g, log);
        });
    }
    ~TCodecLockRecorder() {
        avlib::avcodec_open2 = saved_.open;
        avlib::avcodec_free_context = saved_.free;
        avlib::avcodec_send_frame = saved_.sendFrame;
        avlib::avcodec_receive_packet = saved_.receivePacket;
        avlib::avcodec_send_packet = saved_.sendPacket;
        avlib::av_packet_unref = saved_.unref;
        avlib::avformat_write_header = saved_.writeHeader;
        avlib::avfilter_graph_config = saved_.configureGraph;
        instance_ = nullptr;
    }

    // Calls of each kind, made with and without the lock held.
    struct TCount {
        int locked = 0;
        int unlocked = 0;
    };
    std::map<std::string, TCount> Counts() {
        std::lock_guard lock(mutex_);
        return counts_;
    }

private:
    template <class F, class G>
    static void Replace(F& entry, F& saved, G recording) {
        saved = entry;
        entry = recording;
    }
    static void Record(const std::string& kind) { instance_->Count(kind, CodecLockHeldHere()); }
    void Count(const std::string& kind, bool held) {
        std::lock_guard lock(mutex_);
        TCount& count = counts_[kind];
        ++(held ? count.locked : count.unlocked);
    }

    static inline TCodecLockRecorder* instance_ = nullptr;
    struct {
        decltype(avlib::avcodec_open2) open;
        decltype(avlib::avcodec_free_context) free;
        decltype(avlib::avcodec_send_frame) sendFrame;
        decltype(avlib::avcodec_receive_packet) receivePacket;
        decltype(avlib::avcodec_send_packet) sendPacket;
        decltype(avlib::av_packet_unref) unref;
        decltype(avlib::avformat_write_header) writeHeader;
        decltype(avlib::avfilter_graph_config) configureGraph;
    } saved_{};
    std::mutex mutex_;
    std::map<std::string, TCount> counts_;
};

TEST(ConcurrentConversion, CodecLockCoversOpeningHeadersAndClosingButNoCodingCallOrGraphSetUp) {
    const String source = TestFolder() + "source.nut";
    WriteTestMedia(source, {VideoTrack(160, 120, "mpeg4", 25), AudioTrack(2, "pcm_s16le", 44100)}, 20);
    const auto converters = H264Converters(source, 2);
    std::map<std::string, TCodecLockRecorder::TCount> counts;
    {
        TCodecLockRecorder recorder;
        ASSERT_TRUE(RunConvertersAtOnce(converters));
        counts = recorder.Counts();
    }
    for (const auto& converter : converters) EXPECT_FALSE(converter->Failed()) << converter->ErrorMessage().ToUtf8();
    // Two conversions, each opening and closing an encoder and a decoder per stream.
    EXPECT_EQ(counts["open"].locked, 8);
    EXPECT_EQ(counts["close"].locked, 8);
    EXPECT_EQ(counts["open"].unlocked + counts["close"].unlocked, 0);
    EXPECT_EQ(counts["header"].locked, 2);
    EXPECT_EQ(counts["header"].unlocked, 0);
    // Each stream's simple graph is set up in the initialisation, outside the lock.
    EXPECT_EQ(counts["graph"].unlocked, 4);
    EXPECT_EQ(counts["graph"].locked, 0);
    for (const char* coding : {"encode", "decode", "packet"}) {
        SCOPED_TRACE(coding);
        EXPECT_GT(counts[coding].unlocked, 100);
        EXPECT_EQ(counts[coding].locked, 0);
    }
}

// However a run ends, every codec it opened is closed: an encoder left open
// keeps its threads and frames for ever.
struct TRunEnd {
    const char* name;
    void (*set)(TAVConverter&);
    bool failed;
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

TEST(ConcurrentConversion, EveryOpenedCodecIsClosedHoweverTheRunEnds) {
    const String source = TestFolder() + "source.nut";
    WriteTestMedia(source, {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1)}, 40);
    const TRunEnd ends[] = {
        {"completed", [](TAVConverter&) {}, false},
        {"stopped in the middle",
         [](TAVConverter& converter) {
             converter.OnProgress = [&converter](TObject*) {
                 if (converter.Position() > 1) converter.StopConversion();
             };
         },
         false},
        {"failing after its codecs opened",
         [](TAVConverter& converter) {
             converter.ConvertOptions()->StreamMaps()->SetText("0:v\n0:a");
             converter.ConvertOptions()->AudioOptions()->SetAudioDisable(true);
         },
         true},
        {"failing in the middle with its output full", [](TAVConverter&) {}, true, 16384},
    };
    for (const TRunEnd& end : ends) {
        SCOPED_TRACE(end.name);
        const auto converters = H264Converters(source, 1);
        TAVConverter& converter = *converters[0];
        end.set(converter);
        bool ended = false;
        converter.OnStopped = [&](TObject*) { ended = true; };
        std::map<std::string, TCodecLockRecorder::TCount> counts;
        {
            TCodecLockRecorder recorder;
            const TScopedResourceLimit limit(RLIMIT_FSIZE, end.fileSizeLimit);
            converter.OnComplete = [&](TObject*) { ended = true; };
            converter.StartConversion(nullptr);
            const auto deadline = std::chrono::steady_clock::now() + 120s;
            // A stopped run says so before it has closed its codecs; it is over once idle.
            while (!(ended && converter.State() == cvIdle) && std::chrono::steady_clock::now() < deadline)
                CheckSynchronize(10);
            ASSERT_TRUE(ended);
            counts = recorder.Counts();
        }
        EXPECT_EQ(converter.Failed(), end.failed) << converter.ErrorMessage().ToUtf8();
        EXPECT_GT(counts["open"].locked, 0);
        EXPECT_EQ(counts["close"].locked, counts["open"].locked);
    }
}

TEST(ConcurrentConversion, ThreadsLeftToTheConverterAreSharedOutAmongTheRunningConversions) {
    const struct {
        int running;
        unsigned cores;
        const char* threads;
        int graphThreads;
    } cases[] = {{0, 8, "auto", 0}, {1, 8, "auto", 0}, {2, 8, "5", 5},   {4, 8, "3", 3},
                 {8, 8, "2", 2},     {16, 8, "2", 2},   {2, 32, "17", 17}, {3, 2, "2", 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(SharedThreadCount(c.running, c.cores), c.threads) << c.running << " on " << c.cores;
        EXPECT_EQ(SharedThreads(c.running, c.cores), c.graphThreads) << c.running << " on " << c.cores;
    }
}

// The "threads" option each codec of the conversions was opened with, by codec
// name, and the thread counts their filter graphs were configured with.
class TThreadOptionRecorder {
public:
    TThreadOptionRecorder() : saved_(avlib::avcodec_open2), savedConfig_(avlib::avfilter_graph_config) {
        instance_ = this;
        avlib::avfilter_graph_config = [](AVFilterGraph* graph, void* log) {
            {
                std::lock_guard lock(instance_->mutex_);
                instance_->graphThreads_.insert(graph->nb_threads);
            }
            return instance_->savedConfig_(graph, log);
        };
        avlib::avcodec_open2 = [](AVCodecContext* c, const AVCodec* codec, AVDictionary** options) {
            const AVDictionaryEntry* threads = options ? avlib::av_dict_get(*options, "threads", nullptr, 0) : nullptr;
            {
                std::lock_guard lock(instance_->mutex_);
                instance_->threads_.emplace(codec->name, threads ? threads->value : "");
            }
            return instance_->saved_(c, codec, options);
        };
    }
    ~TThreadOptionRecorder() {
        avlib::avcodec_open2 = saved_;
        avlib::avfilter_graph_config = savedConfig_;
        instance_ = nullptr;
    }
    std::multimap<std::string, std::string> Threads() {
        std::lock_guard lock(mutex_);
        return threads_;
    }
    std::set<int> GraphThreads() {
        std::lock_guard lock(mutex_);
        return graphThreads_;
    }

private:
    static inline TThreadOptionRecorder* instance_ = nullptr;
    decltype(avlib::avcodec_open2) saved_;
    decltype(avlib::avfilter_graph_config) savedConfig_;
    std::mutex mutex_;
    std::multimap<std::string, std::string> threads_;
    std::set<int> graphThreads_;
};

// What the codecs and filter graphs of conversions at once were opened with.
struct TThreadsAtOnce {
    std::multimap<std::string, std::string> codecs;
    std::set<int> graphs;
};

// Runs Converters at once, each opening its codecs only once all of them
// count as running, and none finishing before every one has opened its
// OpensEach codecs (a progress report waits for the main thread, which is not
// served until then); the threads their codecs were opened with.
TThreadsAtOnce ThreadsOfConvertersAtOnce(
    const std::vector<std::unique_ptr<TAVConverter>>& converters, size_t opensEach) {
    TThreadOptionRecorder recorder;
    for (const auto& converter : converters) converter->OnProgress = [](TObject*) {};
    {
        TCodecLocked locked; // the opening phases wait for it
        for (const auto& converter : converters) converter->StartConversion(nullptr);
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (RunningConversions() < static_cast<int>(converters.size()) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    const auto opened = std::chrono::steady_clock::now() + 30s;
    while (recorder.Threads().size() < opensEach * converters.size() && std::chrono::steady_clock::now() < opened)
        std::this_thread::sleep_for(1ms);
    int completed = 0;
    for (const auto& converter : converters) converter->OnComplete = [&](TObject*) { ++completed; };
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (completed < static_cast<int>(converters.size()) && std::chrono::steady_clock::now() < deadline)
        CheckSynchronize(10);
    return {recorder.Threads(), recorder.GraphThreads()};
}

TEST(ConcurrentConversion, CodecsAndGraphsOfConversionsAtOnceShareTheCoresUnlessTheUserChose) {
    const String source = TestFolder() + "source.nut";
    WriteTestMedia(source, {VideoTrack(160, 120, "mpeg4", 25), AudioTrack(2, "pcm_s16le", 44100)}, 5);
    const std::string shared = SharedThreadCount(3, AvailableCores());

    const auto alone = H264Converters(source, 1);
    const TThreadsAtOnce aloneThreads = ThreadsOfConvertersAtOnce(alone, 4);
    for (const auto& [codec, threads] : aloneThreads.codecs) EXPECT_EQ(threads, "auto") << codec;
    // Alone, its graphs are left to FFmpeg: a thread per core and one more.
    const int cores = static_cast<int>(AvailableCores());
    EXPECT_EQ(aloneThreads.graphs, std::set<int>{cores > 1 ? cores + 1 : 1});
    EXPECT_EQ(RunningConversions(), 0);

    const auto three = H264Converters(source, 3);
    three[0]->ConvertOptions()->SetThreadCount(6);
    three[1]->ConvertOptions()->CodecOptions()->Add("threads=7");
    const TThreadsAtOnce atOnce = ThreadsOfConvertersAtOnce(three, 4);
    const auto& threads = atOnce.codecs;
    // Filter graphs take the shared count whatever the codecs were given.
    EXPECT_EQ(atOnce.graphs, std::set<int>{SharedThreads(3, AvailableCores())});
    EXPECT_EQ(RunningConversions(), 0);
    for (const auto& converter : three) EXPECT_FALSE(converter->Failed()) << converter->ErrorMessage().ToUtf8();
    const auto of = [&](const std::string& codec) {
        std::multiset<std::string> values;
        for (auto [it, end] = threads.equal_range(codec); it != end; ++it) values.insert(it->second);
        return values;
    };
    // The user's counts reach the first output's encoders; the rest share.
    EXPECT_EQ(of("libx264"), (std::multiset<std::string>{"6", "7", shared}));
    EXPECT_EQ(of("aac"), (std::multiset<std::string>{"6", "7", shared}));
    EXPECT_EQ(of("mpeg4"), (std::multiset<std::string>{shared, shared, shared}));
    EXPECT_EQ(of("pcm_s16le"), (std::multiset<std::string>{shared, shared, shared}));
}

} // namespace
