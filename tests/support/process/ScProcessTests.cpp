#include "support/process/ScProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/PowerOff.h"
#include "platform/rtl/CommandLine.h"

namespace fs = std::filesystem;

namespace {

// Process ids of this process's children that still exist (zombies included).
std::vector<int> Children() {
    std::vector<int> result;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        int pid = std::atoi(entry->d_name);
        if (pid <= 0) continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // "pid (comm) state ppid ...": comm may hold blanks, so read after the last ')'.
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char state = 0;
        int ppid = 0;
        rest >> state >> ppid;
        if (ppid == getpid()) result.push_back(pid);
    }
    closedir(proc);
    return result;
}

int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

template <typename Condition>
bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class TEnvironmentVariable {
public:
    TEnvironmentVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~TEnvironmentVariable() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class RunCommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ostrel-process-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        EXPECT_TRUE(Eventually([] { return Children().empty(); }));
        fs::remove_all(folder_);
    }

    // The helper's report, once it has written it completely.
    std::vector<std::string> HelperReport(const fs::path& output) {
        EXPECT_TRUE(Eventually([&] { return fs::exists(output); }));
        std::ifstream file(output);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }

    fs::path folder_;
};

TEST_F(RunCommandLineTest, StartedProgramIsReapedWithoutLeavingAZombie) {
    EXPECT_TRUE(RunCommandLine(u"true", 1));
    EXPECT_TRUE(Eventually([] { return Children().empty(); }));
}

TEST_F(RunCommandLineTest, MissingOrNonExecutableProgramStartsNothingAndLeaksNoDescriptor) {
    const fs::path plainFile = folder_ / "not-a-program";
    std::ofstream(plainFile) << "data";
    const int before = OpenDescriptorCount();
    for (const std::string& line : {std::string("ostrel-no-such-program-here"), std::string("/nonexistent/folder/program"),
                                    plainFile.string(), folder_.string()}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(RunCommandLine(String(line), 1));
    }
    EXPECT_TRUE(Children().empty());
    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(RunCommandLineTest, HelperBesideTheProgramWinsOverPathAndGetsSplitArgumentsAndOnlyStandardDescriptors) {
    // A program of the same name on PATH would report "impostor".
    const fs::path impostor = folder_ / "ostrel_spawn_helper";
    std::ofstream(impostor) << "#!/bin/sh\necho impostor > \"$SPAWN_HELPER_OUTPUT\"\n";
    fs::permissions(impostor, fs::perms::owner_all);
    TEnvironmentVariable path("PATH", folder_.string() + ":" + std::getenv("PATH"));
    const fs::path output = folder_ / "report";
    TEnvironmentVariable report("SPAWN_HELPER_OUTPUT", output.string());
    const int inheritable = open("/dev/null", O_RDONLY);
    ASSERT_GE(inheritable, 3);

    EXPECT_TRUE(RunCommandLine(u"ostrel_spawn_helper \"a b\" c\\\"d 视频", 1));
    close(inheritable);

    const std::vector<std::string> lines = HelperReport(output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"arg a b", "arg c\"d", "arg 视频", "fd 0", "fd 1", "fd 2", "end"}));
}

TEST_F(RunCommandLineTest, ReturnsWhileTheProgramStillRuns) {
    const fs::path output = folder_ / "report";
    const fs::path fifo = folder_ / "release";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    TEnvironmentVariable report("SPAWN_HELPER_OUTPUT", output.string());
    TEnvironmentVariable wait("SPAWN_HELPER_FIFO", fifo.string());

    EXPECT_TRUE(RunCommandLine(u"ostrel_spawn_helper", 1));
    const std::vector<std::string> lines = HelperReport(output);
    ASSERT_FALSE(lines.empty());
    const int pid = std::atoi(lines.front().substr(4).c_str());
    // The helper blocks until the FIFO is opened for writing, which only happens below.
    EXPECT_EQ(Children(), std::vector<int>{pid});
    close(open(fifo.c_str(), O_WRONLY));
    EXPECT_TRUE(Eventually([] { return Children().empty(); }));
}

TEST(RunCommandLine, ShowCommandAbove65535IsARangeError) {
    EXPECT_THROW(RunCommandLine(u"ostrel-no-such-program-here", 65536), ERangeError);
    EXPECT_FALSE(RunCommandLine(u"ostrel-no-such-program-here", 65535));
}

TEST(SplitCommandLine, FollowsTheWindowsQuotingRules) {
    struct Case {
        const char16_t* line;
        std::vector<String> arguments;
    };
    const Case cases[] = {
        {u"", {}},
        {u"   ", {}},
        {u"prog", {u"prog"}},
        {u"  prog  a\tb  ", {u"prog", u"a", u"b"}},
        {u"\"C:\\Program Files\\p.exe\" x", {u"C:\\Program Files\\p.exe", u"x"}},
        {u"p \"a b\" c\\\"d", {u"p", u"a b", u"c\"d"}},
        {u"p a\\\\b", {u"p", u"a\\\\b"}},
        {u"p a\\\\\"b c\"", {u"p", u"a\\b c"}},
        {u"p a\\\\\\\"b", {u"p", u"a\\\"b"}},
        {u"p \"a \"\"b\"\" c\"", {u"p", u"a \"b\" c"}},
        {u"p \"\"", {u"p", u""}},
        {u"p \"unterminated arg", {u"p", u"unterminated arg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(String(c.line).ToUtf8());
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments);
    }
}

class TRecordingExecutor : public IPowerOffExecutor {
public:
    explicit TRecordingExecutor(bool answer) : answer_(answer) {}
    bool PowerOff(uint32_t flags, uint32_t reason) override {
        calls.push_back({flags, reason});
        return answer_;
    }
    std::vector<std::pair<uint32_t, uint32_t>> calls;

private:
    bool answer_;
};

TEST(ShutdownComputer, PassesTheKillLevelsFlagsAndTheApplicationReasonToTheExecutor) {
    const std::pair<int, uint32_t> cases[] = {{0, 1}, {1, 5}, {2, 17}};
    for (auto [level, flags] : cases) {
        TRecordingExecutor executor(true);
        TPowerOffExecutorScope scope(executor);
        EXPECT_TRUE(ShutdownComputer(level));
        EXPECT_EQ(executor.calls, (std::vector<std::pair<uint32_t, uint32_t>>{{flags, 0x40000u}})) << level;
    }
}

TEST(ShutdownComputer, RefusedRequestAnswersFalse) {
    TRecordingExecutor executor(false);
    TPowerOffExecutorScope scope(executor);
    EXPECT_FALSE(ShutdownComputer(0));
    EXPECT_EQ(executor.calls.size(), 1u);
}

TEST(ShutdownComputer, WithoutAnExecutorNothingIsAskedAndTheAnswerIsFalse) {
    TRecordingExecutor executor(true);
    {
        TPowerOffExecutorScope scope(executor);
    }
    ASSERT_EQ(PowerOffExecutor(), nullptr);
    EXPECT_FALSE(ShutdownComputer(0));
    EXPECT_TRUE(executor.calls.empty());
}

} // namespace
