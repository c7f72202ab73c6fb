#include "platform/rtl/Spawn.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/rtl/DynamicLibrary.h"

extern char** environ;

namespace {

bool IsExecutableFile(const std::string& path) { return !path.empty() && access(path.c_str(), X_OK) == 0; }

// The file to execute for Program, or empty when there is none.
std::string LocateProgram(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return program;
    std::string own = ProgramFolder().ToUtf8() + "/" + program;
    if (IsExecutableFile(own)) return own;
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        size_t colon = folders.find(':');
        std::string_view folder = folders.substr(0, colon);
        std::string candidate = (folder.empty() ? std::string(".") : std::string(folder)) + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return {};
        folders.remove_prefix(colon + 1);
    }
}

std::mutex hookLock;
TSpawnHook& Hook() {
    static auto* hook = new TSpawnHook;
    return *hook;
}

TSpawnHook InstalledHook() {
    std::lock_guard lock(hookLock);
    return Hook();
}

TSpawnHook ExchangeHook(TSpawnHook hook) {
    std::lock_guard lock(hookLock);
    std::swap(Hook(), hook);
    return hook;
}

class TSpawnActions {
public:
    TSpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~TSpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    TSpawnActions(const TSpawnActions&) = delete;
    TSpawnActions& operator=(const TSpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace

TSpawnHookScope::TSpawnHookScope(TSpawnHook hook) : previous_(ExchangeHook(std::move(hook))) {}

TSpawnHookScope::~TSpawnHookScope() { ExchangeHook(std::move(previous_)); }

bool Spawn(const String& program, const std::vector<String>& arguments, const String& folder) {
    if (const TSpawnHook hook = InstalledHook()) return hook(program, arguments, folder);
    std::string file = LocateProgram(program.ToUtf8());
    if (file.empty()) return false;

    std::vector<std::string> argumentsUtf8;
    argumentsUtf8.reserve(arguments.size() + 1);
    argumentsUtf8.push_back(program.ToUtf8());
    for (const String& argument : arguments) argumentsUtf8.push_back(argument.ToUtf8());
    std::vector<char*> argv;
    for (std::string& argument : argumentsUtf8) argv.push_back(argument.data());
    argv.push_back(nullptr);

    TSpawnActions actions;
    if (posix_spawn_file_actions_addclosefrom_np(actions.Get(), 3) != 0) return false;
    std::string folderUtf8 = folder.ToUtf8();
    if (!folder.empty() && posix_spawn_file_actions_addchdir_np(actions.Get(), folderUtf8.c_str()) != 0) return false;

    // glibc's posix_spawn reports a failed exec (or chdir) as its result.
    pid_t child = 0;
    if (posix_spawn(&child, file.c_str(), actions.Get(), nullptr, argv.data(), environ) != 0) return false;
    std::thread([child] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
    }).detach();
    return true;
}
