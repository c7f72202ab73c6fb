#include "support/utils/ScRegistry.h"

#include <gtest/gtest.h>

#include <string>

#include "RegistryHome.h"

namespace {

class ScRegistry : public testing::Test {
protected:
    static std::string Raw(const String& key, const String& name, DWORD& type) {
        uint8_t buffer[64];
        DWORD size = 0;
        ReadRegBinaryEx(HKEY_CURRENT_USER, key, name, buffer, sizeof buffer, size, true);
        GetRegValueType(HKEY_CURRENT_USER, key, name, type);
        return std::string(reinterpret_cast<char*>(buffer), size);
    }

    TRegistryHome home_;
};

TEST_F(ScRegistry, ReadsIntegersOfEveryKindOrTheDefault) {
    const uint8_t two[] = {0x34, 0x12};
    const uint8_t nine[9] = {};
    const uint8_t qword[] = {1, 0, 0, 0, 2, 0, 0, 0};
    WriteRegString(HKEY_CURRENT_USER, u"Ints", u"text42", u"42");
    WriteRegString(HKEY_CURRENT_USER, u"Ints", u"garbage", u"4x2");
    WriteRegBinary(HKEY_CURRENT_USER, u"Ints", u"nine", nine, sizeof nine);
    WriteRegBinary(HKEY_CURRENT_USER, u"Ints", u"two", two, sizeof two);
    HKEY key = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Ints", 0, KEY_WRITE, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"qword", 0, REG_QWORD, qword, sizeof qword));
    RegCloseKey(key);

    struct {
        const char16_t* Key;
        const char16_t* Name;
        int32_t Expected;
    } cases[] = {
        {u"Missing", u"v", -7}, {u"Ints", u"missing", -7}, {u"Ints", u"text42", 42},  {u"Ints", u"garbage", -7},
        {u"Ints", u"nine", -7}, {u"Ints", u"qword", 1},    {u"Ints", u"two", 0x1234},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, ReadRegIntegerDef(HKEY_CURRENT_USER, c.Key, c.Name, -7)) << String(c.Name);
    int32_t value = 0;
    EXPECT_THROW(ReadRegIntegerEx(HKEY_CURRENT_USER, u"Ints", u"nine", value, true), EScRegistryError);
    EXPECT_THROW(ReadRegIntegerEx(HKEY_CURRENT_USER, u"Ints", u"garbage", value, true), EConvertError);
}

TEST_F(ScRegistry, ReadsTextsWithoutDroppingTheirLastCharacter) {
    WriteRegInteger(HKEY_CURRENT_USER, u"Texts", u"dword", 5);
    WriteRegString(HKEY_CURRENT_USER, u"Texts", u"empty", u"");
    WriteRegString(HKEY_CURRENT_USER, u"Texts", u"chinese", u"转换");
    const uint8_t noNul[] = {'a', 0, 'b', 0};
    const uint8_t oneByte[] = {'a'};
    WriteRegBinary(HKEY_CURRENT_USER, u"Texts", u"nonul", noNul, sizeof noNul);
    WriteRegBinary(HKEY_CURRENT_USER, u"Texts", u"onebyte", oneByte, sizeof oneByte);
    WriteRegBinary(HKEY_CURRENT_USER, u"Texts", u"zero", nullptr, 0);
    HKEY key = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Texts", 0, KEY_WRITE, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"sznonul", 0, REG_SZ, noNul, sizeof noNul));
    RegCloseKey(key);

    DWORD type = 0;
    EXPECT_EQ(std::string(2, '\0'), Raw(u"Texts", u"empty", type));
    EXPECT_EQ(REG_SZ, type);
    struct {
        const char16_t* Name;
        const char16_t* Expected;
    } cases[] = {{u"dword", u"def"}, {u"empty", u""}, {u"chinese", u"转换"}, {u"nonul", u"ab"},
                 {u"sznonul", u"ab"}, {u"onebyte", u""},  {u"zero", u""},  {u"missing", u"def"}};
    for (const auto& c : cases)
        EXPECT_EQ(String(c.Expected), ReadRegStringDef(HKEY_CURRENT_USER, u"Texts", c.Name, u"def")) << String(c.Name);
    EXPECT_THROW(ReadRegString(HKEY_CURRENT_USER, u"Texts", u"dword"), EScRegistryError);
}

TEST_F(ScRegistry, WritesNumbersInTheRequestedKind) {
    WriteRegIntegerAs(HKEY_CURRENT_USER, u"A\\B\\C", u"q", -1, REG_QWORD);
    WriteRegCardinalAs(HKEY_CURRENT_USER, u"A\\B\\C", u"c", 0xFFFFFFFF, REG_QWORD);
    WriteRegIntegerAs(HKEY_CURRENT_USER, u"A\\B\\C", u"s", -3, REG_SZ);
    WriteRegCardinalAs(HKEY_CURRENT_USER, u"A\\B\\C", u"u", 0xFFFFFFFF, REG_EXPAND_SZ);
    DWORD type = 0;
    EXPECT_EQ(std::string(8, '\xff'), Raw(u"A\\B\\C", u"q", type));
    EXPECT_EQ(REG_QWORD, type);
    EXPECT_EQ(std::string(4, '\xff') + std::string(4, '\0'), Raw(u"A\\B\\C", u"c", type));
    EXPECT_EQ(String(u"-3"), ReadRegString(HKEY_CURRENT_USER, u"A\\B\\C", u"s"));
    EXPECT_EQ(String(u"4294967295"), ReadRegString(HKEY_CURRENT_USER, u"A\\B\\C", u"u"));
    EXPECT_EQ(-1, ReadRegIntegerDef(HKEY_CURRENT_USER, u"A\\B\\C", u"u", 0));
    EXPECT_THROW(WriteRegIntegerAs(HKEY_CURRENT_USER, u"A", u"x", 1, REG_MULTI_SZ), EScRegistryError);
    EXPECT_THROW(WriteRegStringAs(HKEY_CURRENT_USER, u"A", u"x", u"", REG_DWORD), EScRegistryError);
}

TEST_F(ScRegistry, ChecksTheRootNamedInThePath) {
    try {
        WriteRegInteger(HKEY_CURRENT_USER, u"HKEY_LOCAL_MACHINE\\Software", u"v", 1);
        FAIL() << "no error";
    } catch (const EScRegistryError& e) {
        EXPECT_EQ(String(u"\"HKEY_LOCAL_MACHINE\\Software\" does not match RootKey"), e.Message());
    }
    WriteRegInteger(HKEY_LOCAL_MACHINE, u"\\HKEY_LOCAL_MACHINE\\Software", u"v", 9);
    EXPECT_EQ(9, ReadRegIntegerDef(HKEY_LOCAL_MACHINE, u"Software", u"v", 0));
    EXPECT_EQ(9, ReadRegIntegerDef(HKEY_LOCAL_MACHINE, u"HKLM\\Software", u"v", 0));
    EXPECT_EQ(String(u"HKEY_CURRENT_USER"), RootKeyDisplayName(HKEY_CURRENT_USER));
    try {
        ReadRegString(HKEY_CURRENT_USER, u"Nowhere", u"v");
        FAIL() << "no error";
    } catch (const EScRegistryError& e) {
        EXPECT_EQ(String(u"Unable to open key \"HKEY_CURRENT_USER\\Nowhere\" for read"), e.Message());
    }
}

TEST_F(ScRegistry, DeletesValuesAndWholeKeyTrees) {
    for (const char16_t* key : {u"Tree\\a\\x", u"Tree\\a\\y\\z", u"Tree\\b"}) WriteRegInteger(HKEY_CURRENT_USER, key, u"v", 1);
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, u"Tree\\b", u"v"));
    EXPECT_THROW(DeleteRegValue(HKEY_CURRENT_USER, u"Tree\\b", u"v"), EScRegistryError);
    EXPECT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, u"Tree"));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, u"Tree"));
    EXPECT_EQ("OSTREL-REGISTRY 2\nEND\n", TRegistryHome::ReadFile(home_.Hive("HKEY_CURRENT_USER")));
}

} // namespace
