#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"

namespace {

// Sets or clears an environment variable for the scope.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DataFolder, FollowsTheEnvironment) {
    struct Case {
        const char* ostrelHome;
        const char* xdgDataHome;
        const char* expected;
    };
    const Case cases[] = {
        {"/srv/ostrel/", "/xdg", "/srv/ostrel"},
        {nullptr, "/xdg", "/xdg/ostrel-converter"},
        {"", "/xdg/", "/xdg/ostrel-converter"},
        {nullptr, nullptr, "/home/u/.local/share/ostrel-converter"},
        {nullptr, "relative", "/home/u/.local/share/ostrel-converter"},
    };
    TScopedEnv home("HOME", "/home/u");
    for (const Case& c : cases) {
        TScopedEnv own("OSTREL_HOME", c.ostrelHome);
        TScopedEnv xdg("XDG_DATA_HOME", c.xdgDataHome);
        EXPECT_EQ(DataFolder(), c.expected) << (c.ostrelHome ? c.ostrelHome : "-") << " "
                                            << (c.xdgDataHome ? c.xdgDataHome : "-");
    }
    EXPECT_EQ(DefaultOutputFolder(), "/home/u/Conversion");
}

TEST(DataFolder, EnterCreatesItAndMakesItCurrent) {
    const String saved = GetCurrentDir();
    const String home = IncludeTrailingPathDelimiter(DataFolder()) + "fresh/home";
    {
        TScopedEnv own("OSTREL_HOME", home.ToUtf8().c_str());
        EnterDataFolder();
        EXPECT_TRUE(DirectoryExists(home + "/Config"));
        EXPECT_EQ(GetCurrentDir(), home);
    }
    SetCurrentDir(saved);
}

} // namespace
