#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "controls/XcControlsUnits.h"
#include "controls/XcItemRowSizing.h"
#include "support/translation/ScTranslatorInstance.h"
#include "support/utils/SupportUnits.h"

namespace {

// The support units started in a registry of their own, so the controls'
// units can be finished while the unit-version registry still runs.
class XcControlsUnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSupportUnits(support_);
        support_.Initialize();
        RegisterControlsUnits(controls_, {});
    }
    void TearDown() override {
        while (controls_.Initialized()) controls_.Finalize();
        support_.Finalize();
    }
    // The controls' records in the program's module: revision banner by unit address banner.
    static std::map<String, String> ControlsRecords() {
        std::map<String, String> records;
        TUnitVersioning* registry = UnitVersioningInstance();
        for (int m = 0; registry && m < registry->ModuleCount(); ++m) {
            const TUnitVersioningModule& module = registry->Modules(m);
            for (int i = 0; i < module.Count(); ++i)
                if (module.Items(i).LogPath() == String(kXcUnitLogPath))
                    records[module.Items(i).RCSfile()] = module.Items(i).Revision();
        }
        return records;
    }

    TUnitRegistry support_;
    TUnitRegistry controls_;
};

} // namespace

TEST_F(XcControlsUnitsTest, EveryRowRegistersItsRecordOnce) {
    controls_.Initialize();
    controls_.Initialize();
    const std::map<String, String> records = ControlsRecords();
    EXPECT_EQ(records.size(), ControlsUnits().size());
    for (const TXcUnit& unit : ControlsUnits()) {
        const auto found = records.find(unit.Version.RCSfile);
        ASSERT_NE(found, records.end()) << String(unit.Name);
        EXPECT_EQ(found->second, String(unit.Version.Revision));
    }
    const TXcUnit* inspector = &*std::find_if(ControlsUnits().begin(), ControlsUnits().end(),
                                              [](const TXcUnit& u) { return String(u.Name) == u"XcInspector"; });
    EXPECT_EQ(String(inspector->Version.Revision), String(u"$Revision: 130 $"));

    controls_.Finalize();
    EXPECT_EQ(ControlsRecords().size(), ControlsUnits().size()) << "the inner finish does nothing";
    controls_.Finalize();
    EXPECT_TRUE(ControlsRecords().empty());
}

TEST_F(XcControlsUnitsTest, TheComponentUnitAddsTheXclDomainOnce) {
    controls_.Initialize();
    controls_.Finalize();
    controls_.Initialize();
    const std::vector<String> domains = ResourceStringDomains();
    EXPECT_EQ(std::count(domains.begin(), domains.end(), String(u"xcl")), 1);
}

TEST_F(XcControlsUnitsTest, ItemRowSizingIdentifiersMapBothWays) {
    controls_.Initialize();
    const TIdentToInt toInt = FindIdentToInt(TItemRowSizingTypeInfo());
    const TIntToIdent toIdent = FindIntToIdent(TItemRowSizingTypeInfo());
    ASSERT_TRUE(toInt && toIdent);
    for (const auto& [name, value] : {std::pair{u"irsNoReSize", 0}, {u"irsNameHeight", 0x10000000},
                                      {u"irsValueHeight", 0x20000000}, {u"irsItemHeight", 0x40000000}}) {
        int32_t read = -1;
        EXPECT_TRUE(toInt(name, read));
        EXPECT_EQ(read, value);
        String ident;
        EXPECT_TRUE(toIdent(value, ident));
        EXPECT_EQ(ident, String(name));
    }
    int32_t unknown = 0;
    EXPECT_FALSE(toInt(u"irsUnknown", unknown));
}
