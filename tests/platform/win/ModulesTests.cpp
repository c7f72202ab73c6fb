#include <gtest/gtest.h>

#include "platform/rtl/String.h"
#include "platform/rtl/SystemModules.h"
#include "platform/win/system/Modules.h"

namespace {

bool LooksLoaded(HMODULE module) { return reinterpret_cast<uintptr_t>(module) > 32; }

TEST(ModulesTest, AbsentSystemModulesDoNotLoad) {
    for (const char16_t* name : {u"msimg32.dll", u"UXTHEME", u"DWMAPI.DLL", u"no-such-library.dll"}) {
        EXPECT_EQ(LoadLibraryW(name), nullptr) << String(name);
        EXPECT_EQ(GetModuleHandleW(name), nullptr) << String(name);
    }
}

TEST(ModulesTest, Kernel32SaysThisIsNotAWow64Process) {
    const HMODULE kernel32 = LoadLibraryW(u"kernel32");
    ASSERT_TRUE(LooksLoaded(kernel32));
    EXPECT_EQ(LoadLibraryW(u"KERNEL32.DLL"), kernel32);
    EXPECT_EQ(GetModuleHandleW(u"Kernel32.dll"), kernel32);
    using IsWow64ProcessFn = BOOL (*)(HANDLE, BOOL*);
    const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(GetProcAddress(kernel32, "IsWow64Process"));
    ASSERT_NE(isWow64, nullptr);
    BOOL wow64 = TRUE;
    EXPECT_EQ(isWow64(GetCurrentProcess(), &wow64), TRUE);
    EXPECT_EQ(wow64, FALSE);
    EXPECT_NE(GetProcAddress(kernel32, "IsDebuggerPresent"), nullptr);
    EXPECT_EQ(GetProcAddress(kernel32, "CreateFileW"), nullptr);
    EXPECT_EQ(FreeLibrary(kernel32), TRUE);
    EXPECT_EQ(GetProcAddress(kernel32, "IsWow64Process"), reinterpret_cast<FARPROC>(&IsWow64Process))
        << "system modules stay loaded";
}

TEST(ModulesTest, SystemStringsTheProgramReadsAreEmpty) {
    struct Case {
        const char16_t* module;
        UINT id;
    };
    for (const Case& c : {Case{u"User32", 900}, Case{u"user32.dll", 905}, Case{u"comctl32.dll", 4163}}) {
        const HMODULE module = LoadLibraryW(c.module);
        ASSERT_TRUE(LooksLoaded(module)) << String(c.module);
        WCHAR buffer[8] = {u'x', u'x'};
        EXPECT_EQ(LoadStringW(module, c.id, buffer, 8), 0);
        EXPECT_EQ(buffer[0], 0);
        FreeLibrary(module);
    }
    EXPECT_EQ(GetProcAddress(LoadLibraryW(u"comctl32.dll"), "InitializeFlatSB"), nullptr);
}

TEST(ModulesTest, LoadStringTruncatesOrLendsTheText) {
    RegisterSystemModule(u"stringkit", {}, {{12, u"视频转换"}});
    const HMODULE module = LoadLibraryW(u"StringKit.dll");
    WCHAR buffer[8];
    EXPECT_EQ(LoadStringW(module, 12, buffer, 8), 4);
    EXPECT_EQ(std::u16string_view(buffer), u"视频转换");
    EXPECT_EQ(LoadStringW(module, 12, buffer, 3), 2);
    EXPECT_EQ(std::u16string_view(buffer), u"视频");
    const WCHAR* lent = nullptr;
    EXPECT_EQ(LoadStringW(module, 12, reinterpret_cast<LPWSTR>(&lent), 0), 4);
    EXPECT_EQ(std::u16string_view(lent, 4), u"视频转换");
    EXPECT_EQ(LoadStringW(module, 13, buffer, 8), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST(ModulesTest, SharedLibrariesAreCountedAndTheirHandlesGoStale) {
    const HMODULE first = LoadLibraryW(u"libm.so.6");
    ASSERT_TRUE(LooksLoaded(first));
    EXPECT_EQ(GetModuleHandleW(u"libm.so.6"), first);
    const HMODULE second = LoadLibraryW(u"libm.so.6");
    EXPECT_EQ(second, first);
    using CosFn = double (*)(double);
    const auto cosine = reinterpret_cast<CosFn>(GetProcAddress(first, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);

    EXPECT_EQ(FreeLibrary(first), TRUE);
    EXPECT_NE(GetProcAddress(first, "cos"), nullptr) << "one load is left";
    EXPECT_EQ(FreeLibrary(first), TRUE);
    EXPECT_EQ(GetProcAddress(first, "cos"), nullptr);
    EXPECT_EQ(FreeLibrary(first), FALSE);
    EXPECT_EQ(GetModuleHandleW(u"libm.so.6"), nullptr);

    const HMODULE again = LoadLibraryW(u"libm.so.6");
    EXPECT_NE(again, first) << "a reloaded library gets a new handle";
    EXPECT_EQ(GetProcAddress(first, "cos"), nullptr);
    FreeLibrary(again);
}

TEST(ModulesTest, TheProgramAndUnknownHandles) {
    const HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_TRUE(LooksLoaded(program));
    EXPECT_EQ(GetModuleHandleW(nullptr), program);
    WCHAR buffer[4] = {u'x'};
    EXPECT_EQ(LoadStringW(program, 900, buffer, 4), 0);
    EXPECT_EQ(buffer[0], 0);
    const HMODULE forged = MakeHandle<HMODULE>(1000, 1);
    EXPECT_EQ(GetProcAddress(forged, "cos"), nullptr);
    EXPECT_EQ(FreeLibrary(forged), FALSE);
    EXPECT_EQ(FreeLibrary(nullptr), FALSE);
}

} // namespace
