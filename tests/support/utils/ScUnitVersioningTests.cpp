#include "support/utils/ScUnitVersioning.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/UnitRegistry.h"
#include "support/utils/NamedObjectFile.h"
#include "support/utils/SupportUnit.h"
#include "support/utils/SupportUnits.h"

namespace {

constexpr TUnitVersionInfo RecordA{u"$URL: a $", u"$Revision: 1 $", u"", u"tests", u"", nullptr};
constexpr TUnitVersionInfo RecordB{u"$URL: b $", u"$Revision: 2 $", u"", u"tests", u"", nullptr};

const TModuleInstance ThisProgram = ModuleOfAddress(&RecordA);

// The library of tests/support/utils/UnitVersionLibrary.c, loaded for the fixture's life or until Unload.
class UnitVersionLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        handle_ = dlopen(UNIT_VERSION_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        using TRecordFn = const void* (*)();
        record_ = static_cast<const TUnitVersionInfo*>(reinterpret_cast<TRecordFn>(dlsym(handle_, "UnitVersionLibraryRecord"))());
        instance_ = ModuleOfAddress(record_);
    }
    void TearDown() override { Unload(); }
    void Unload() {
        if (handle_) dlclose(std::exchange(handle_, nullptr));
    }

    void* handle_ = nullptr;
    const TUnitVersionInfo* record_ = nullptr;
    TModuleInstance instance_ = 0;
};

class TRecordingProvider : public TCustomUnitVersioningProvider {
public:
    explicit TRecordingProvider(std::vector<TModuleInstance>& released) : released_(released) {}
    void ReleaseModuleUnitVersioningInfo(TModuleInstance instance) override { released_.push_back(instance); }

private:
    std::vector<TModuleInstance>& released_;
};

bool Holds(TUnitVersioning& registry, TModuleInstance instance, const TUnitVersionInfo* info) {
    for (int m = 0; m < registry.ModuleCount(); ++m) {
        const TUnitVersioningModule& module = registry.Modules(m);
        if (module.Instance() == instance && module.IndexOfInfo(info) >= 0) return true;
    }
    return false;
}

bool RegistryNamesExist() {
    const String key = IntToStr(static_cast<int>(getpid()));
    return FileExists(TNamedObjectFile::FileNameOf(TNamedObjectFile::TKind::Mutex, u"MutexNPA_UnitVersioning_" + key)) ||
           FileExists(TNamedObjectFile::FileNameOf(TNamedObjectFile::TKind::SharedMemory, u"ShmNPA_UnitVersioning_" + key));
}

TEST(UnitVersioning, RecordsOfOneModuleKeepTheirOrderAndAreStoredOnce) {
    TUnitVersioning registry;
    registry.AddInfo(ThisProgram, &RecordA);
    registry.AddInfo(ThisProgram, &RecordB);
    registry.AddInfo(ThisProgram, &RecordA);
    ASSERT_EQ(registry.ModuleCount(), 1);
    const TUnitVersioningModule& module = registry.Modules(0);
    EXPECT_EQ(module.Instance(), ThisProgram);
    ASSERT_EQ(module.Count(), 2);
    EXPECT_EQ(module.Items(0).Info(), &RecordA);
    EXPECT_EQ(module.Items(1).Info(), &RecordB);
    EXPECT_EQ(module.Items(1).Revision(), u"$Revision: 2 $");
    EXPECT_EQ(registry.Count(), 2);
}

TEST_F(UnitVersionLibrary, DroppingOneModuleKeepsTheOthersRecordsAndTellsTheProviders) {
    TUnitVersioning registry;
    std::vector<TModuleInstance> released;
    registry.RegisterProvider(std::make_unique<TRecordingProvider>(released));
    registry.AddInfo(ThisProgram, &RecordA);
    registry.AddInfo(instance_, record_);
    registry.AddInfo(ThisProgram, &RecordB);
    EXPECT_EQ(registry.ModuleCount(), 2);
    EXPECT_EQ(registry.Count(), 3);

    registry.DropModule(instance_);
    EXPECT_EQ(registry.ModuleCount(), 1);
    EXPECT_TRUE(Holds(registry, ThisProgram, &RecordA));
    EXPECT_TRUE(Holds(registry, ThisProgram, &RecordB));
    registry.DropModule(instance_); // nothing left to drop: the providers still hear of it
    EXPECT_EQ(released, (std::vector<TModuleInstance>{instance_, instance_}));
}

TEST_F(UnitVersionLibrary, CountForgetsAModuleWhoseLibraryWasUnloaded) {
    EXPECT_EQ(ModulePath(instance_), String(UNIT_VERSION_LIBRARY));
    TUnitVersioning registry;
    registry.AddInfo(ThisProgram, &RecordA);
    registry.AddInfo(instance_, record_);
    EXPECT_EQ(registry.Count(), 2);
    Unload();
    EXPECT_EQ(ModulePath(instance_), u"");
    EXPECT_EQ(registry.Count(), 1);
    EXPECT_EQ(registry.ModuleCount(), 1);
    EXPECT_EQ(registry.Modules(0).Instance(), ThisProgram);
}

TEST(ModulePath, IsTheWholePathHoweverLong) {
    String folder = IncludeTrailingPathDelimiter(String(std::getenv("OSTREL_HOME")));
    for (int i = 0; i < 3; ++i) folder += String(100, static_cast<char16_t>(u'a' + i)) + u"/";
    ASSERT_TRUE(ForceDirectories(folder));
    const String copy = folder + u"libunit_version_copy.so";
    std::filesystem::copy_file(UNIT_VERSION_LIBRARY, copy.ToUtf8());
    void* handle = dlopen(copy.ToUtf8().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const auto record = reinterpret_cast<const void* (*)()>(dlsym(handle, "UnitVersionLibraryRecord"))();
    EXPECT_GT(copy.Length(), 300);
    EXPECT_EQ(ModulePath(ModuleOfAddress(record)), copy);
    dlclose(handle);
    EXPECT_EQ(ModulePath(ThisProgram), ProgramFileName());
}

TEST(ModuleUnitVersioning, ASecondModuleFindsTheRegistryThroughTheSlotAndLeavesItToItsCreator) {
    {
        TModuleUnitVersioning first;
        TModuleUnitVersioning second;
        TUnitVersioning* registry = first.Instance();
        ASSERT_NE(registry, nullptr);
        EXPECT_TRUE(first.OwnsRegistry());
        EXPECT_TRUE(RegistryNamesExist());

        EXPECT_EQ(second.Instance(), registry) << "the slot holds the whole address";
        EXPECT_FALSE(second.OwnsRegistry());
        second.Add(ThisProgram, &RecordA);
        EXPECT_TRUE(Holds(*registry, ThisProgram, &RecordA));

        second.Shutdown();
        EXPECT_EQ(second.Instance(), nullptr);
        EXPECT_NO_THROW(second.Add(ThisProgram, &RecordB));
        EXPECT_NO_THROW(second.Remove(ThisProgram));
        // Its creator keeps it, records and all.
        EXPECT_EQ(first.Instance(), registry);
        EXPECT_TRUE(Holds(*registry, ThisProgram, &RecordA));
        EXPECT_FALSE(Holds(*registry, ThisProgram, &RecordB));
    }
    EXPECT_FALSE(RegistryNamesExist()) << "the last module removes the names";
}

TEST(ModuleUnitVersioning, AModuleSeesNoRegistryOnceItsCreatorHasFinished) {
    TModuleUnitVersioning first;
    TModuleUnitVersioning second;
    ASSERT_NE(first.Instance(), nullptr);
    ASSERT_NE(second.Instance(), nullptr);
    first.Shutdown();
    EXPECT_EQ(second.Instance(), nullptr) << "the creator cleared the slot before freeing it";
    EXPECT_NO_THROW(second.Add(ThisProgram, &RecordA));
}

TEST(SupportUnits, EachRecordIsPresentAfterInitializeUnitsAndGoneAfterFinalizeUnits) {
    // Another module of the process that created the registry, to look on.
    TModuleUnitVersioning observer;
    TUnitVersioning* registry = observer.Instance();
    ASSERT_NE(registry, nullptr);
    InitializeUnits();
    EXPECT_EQ(UnitVersioningInstance(), registry);
    for (const TSupportUnit* unit : SupportUnits())
        EXPECT_TRUE(Holds(*registry, ModuleOfAddress(&unit->Version), &unit->Version)) << String(unit->Name);
    FinalizeUnits();
    EXPECT_EQ(UnitVersioningInstance(), nullptr);
    EXPECT_EQ(registry->Count(), 0);
}

TEST(SupportUnits, ResourceStringsAreLoadableByIdentifierWhileStartedAndNeverShareOne) {
    std::vector<int> identifiers;
    for (const TSupportUnit* unit : SupportUnits())
        for (const TResStringRec* rec : unit->ResStrings) identifiers.push_back(rec->Identifier);
    std::vector<int> sorted = identifiers;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "two records share an identifier";

    InitializeUnits();
    for (const TSupportUnit* unit : SupportUnits())
        for (const TResStringRec* rec : unit->ResStrings) EXPECT_EQ(LoadStr(rec->Identifier), String(rec->Default));
    FinalizeUnits();
    for (int identifier : identifiers) EXPECT_EQ(LoadStr(identifier), u"") << identifier;
}

} // namespace
