#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SystemModules.h"

namespace {

int Answer() { return 42; }
int OtherAnswer() { return 43; }

TEST(SystemModulesTest, NamesIgnoreCaseAndTheLibrarySuffix) {
    RegisterSystemModule(u"TestKit.dll", {{"Answer", SystemEntryAddress(&Answer)}}, {{7, u"seven"}});
    for (const char16_t* name : {u"testkit", u"TESTKIT.DLL", u"TestKit.Dll"}) {
        EXPECT_TRUE(IsSystemModule(name)) << String(name);
        EXPECT_EQ(SystemModuleEntry(name, "Answer"), SystemEntryAddress(&Answer));
    }
    EXPECT_FALSE(IsSystemModule(u"testkit.dll.so"));
    EXPECT_EQ(SystemModuleEntry(u"testkit", "answer"), nullptr) << "entry names keep their case";
    std::u16string_view text;
    ASSERT_TRUE(SystemModuleString(u"testkit", 7, text));
    EXPECT_EQ(text, u"seven");
    EXPECT_FALSE(SystemModuleString(u"testkit", 8, text));
}

TEST(SystemModulesTest, LaterRegistrationsAddAndReplace) {
    RegisterSystemModule(u"replacing", {{"Answer", SystemEntryAddress(&Answer)}});
    RegisterSystemModule(u"Replacing.dll", {{"Answer", SystemEntryAddress(&OtherAnswer)}, {"Other", nullptr}});
    EXPECT_EQ(SystemModuleEntry(u"replacing", "Answer"), SystemEntryAddress(&OtherAnswer));
}

TEST(SystemModulesTest, AModuleIsEitherPresentOrAbsent) {
    RegisterAbsentSystemModule(u"Gone.DLL");
    EXPECT_TRUE(IsAbsentSystemModule(u"gone"));
    EXPECT_FALSE(IsSystemModule(u"gone"));
    EXPECT_THROW(RegisterSystemModule(u"gone"), EInvalidOperation);
    RegisterSystemModule(u"here");
    EXPECT_THROW(RegisterAbsentSystemModule(u"HERE.dll"), EInvalidOperation);
    EXPECT_FALSE(IsAbsentSystemModule(u"unknown") || IsSystemModule(u"unknown"));
}

} // namespace
