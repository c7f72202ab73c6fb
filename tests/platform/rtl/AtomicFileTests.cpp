#include "platform/rtl/AtomicFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "FreshTestFolder.h"
#include "ResourceLimit.h"
#include "platform/rtl/Exceptions.h"

namespace {

namespace fs = std::filesystem;

class AtomicFile : public testing::Test {
protected:
    void SetUp() override {
        folder_ = FreshTestFolder();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Contents(const String& file) {
        std::ifstream in(file.ToUtf8(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder_;
};

TEST_F(AtomicFile, FailuresNameTheStepAndLeaveNoTrace) {
    fs::create_directories(folder_ / "dir" / "inside");
    const String missing((folder_ / "missing" / "f").string());
    const String dir((folder_ / "dir").string());

    try {
        WriteFileAtomically(missing, "x");
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\". No such file or directory");
    }
    try {
        WriteFileAtomically(dir, "x");
        ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Cannot write file \"" + dir + "\". Is a directory");
    }
    EXPECT_EQ(Files(), std::vector<std::string>{"dir"});

    const String file((folder_ / "f").string());
    WriteFileAtomically(file, "old");
    WriteFileAtomically(file, std::string_view("n\0w", 3));
    EXPECT_EQ(Contents(file), std::string("n\0w", 3));

    // No temporary file can be created next to an existing target.
    {
        const TScopedResourceLimit limit(RLIMIT_NOFILE, TScopedResourceLimit::NoFileLeft());
        try {
            WriteFileAtomically(file, "new");
            ADD_FAILURE() << "no error";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + file + "\". Too many open files");
        }
    }
    EXPECT_EQ(Contents(file), std::string("n\0w", 3));
    EXPECT_EQ(Files(), (std::vector<std::string>{"dir", "f"}));
}

TEST_F(AtomicFile, TemporaryFilesOfDeadWritersAreRemovedByTheNextWriter) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child); // from here on, a process that no longer runs
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(::getppid());
    const std::string self = std::to_string(::getpid());

    const std::vector<std::string> stale = {"f.tmp" + dead + "-0", "f.tmp" + dead + "-17", "f.tmp" + self + "-999999"};
    std::vector<std::string> kept = {"f.tmp" + alive + "-0", "g.tmp" + dead + "-0", "ff.tmp" + dead + "-0",
                                     "f.tmp" + dead,         "f.tmp" + dead + "-", "f.tmp" + dead + "-1x",
                                     "f.tmpx-1",             "f.tmp-1-1"};
    for (const auto& names : {stale, kept})
        for (const std::string& name : names) std::ofstream(folder_ / name) << "partial";

    WriteFileAtomically(String((folder_ / "f").string()), "new");
    kept.push_back("f");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Files(), kept);
}

// Writers of one file in this process, whatever name they give it, never take
// each other's temporary file for a stale one.
TEST_F(AtomicFile, ConcurrentWritersOfOneFileAllSucceed) {
    const fs::path saved = fs::current_path();
    fs::current_path(folder_);
    const String names[] = {"f", "./f", String((folder_ / "f").string())};
    std::atomic<int> failures{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                try {
                    WriteFileAtomically(names[(t + i) % 3], std::string(1000, static_cast<char>('a' + t)));
                } catch (const Exception&) {
                    ++failures;
                }
            }
        });
    for (std::thread& writer : writers) writer.join();
    fs::current_path(saved);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(Files(), std::vector<std::string>{"f"});
    EXPECT_EQ(Contents(String((folder_ / "f").string())).size(), 1000u);
}

} // namespace
