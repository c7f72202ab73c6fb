#pragma once
// Test helpers for the shell: a temporary folder tree that goes away with the
// test, an environment variable set for a scope, and owners for item-id lists.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "platform/rtl/String.h"
#include "platform/win/shell/ItemIdLists.h"

// A fresh folder under the system's temporary folder, removed at the end.
class TShellTempTree {
public:
    TShellTempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "shell-test-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
    }
    ~TShellTempTree() {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    TShellTempTree(const TShellTempTree&) = delete;
    TShellTempTree& operator=(const TShellTempTree&) = delete;

    // The absolute path of a relative name (UTF-8) inside the tree.
    String Path(const std::string& relative = {}) const {
        return String::FromUtf8(relative.empty() ? root_.string() : (root_ / relative).string());
    }
    void Folder(const std::string& relative) const { std::filesystem::create_directories(root_ / relative); }
    void File(const std::string& relative, const std::string& content = {}) const {
        std::ofstream(root_ / relative, std::ios::binary) << content;
    }

private:
    std::filesystem::path root_;
};

// Sets (or with nullopt, unsets) a variable and restores it afterwards.
class TShellEnvironmentScope {
public:
    TShellEnvironmentScope(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Apply(value);
    }
    ~TShellEnvironmentScope() { Apply(old_); }
    TShellEnvironmentScope(const TShellEnvironmentScope&) = delete;
    TShellEnvironmentScope& operator=(const TShellEnvironmentScope&) = delete;

private:
    void Apply(const std::optional<std::string>& value) {
        if (value)
            setenv(name_, value->c_str(), 1);
        else
            unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

struct TItemIdListFree {
    void operator()(ITEMIDLIST* list) const { ILFree(list); }
};
using TItemIdListPtr = std::unique_ptr<ITEMIDLIST, TItemIdListFree>;

inline String PathOfList(const ITEMIDLIST* list) {
    String path;
    return GetPathFromIDList(list, path) ? path : String(u"<invalid>");
}
