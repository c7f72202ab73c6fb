#include <gtest/gtest.h>

#include "PublishedProps.h"
#include "engine/ConversionSettings.h"
#include "platform/rtl/UnitRegistry.h"
#include "support/xml/XmlDomPersistent.h"

namespace {

TEST(ConversionSettingsXml, FilledSettingsSurviveTextRoundTrip) {
    InitializeUnits();
    TConversionSettings source;
    FillDistinct(&source, {{"ConvertOptions.VideoOptions.TopFieldFirst", 0},
                            {"ConvertOptions.VideoOptions.VideoSyncMethod", 2},
                            {"ConvertOptions.VideoOptions.Pass", 1}});
    source.SourceFiles()->Add(u"/media/\u4e2d\u6587 <a&b>.avi");
    const String xml = TXmlDomWriter::SaveToString(&source);
    EXPECT_EQ(xml.find(u'\n'), String::npos);
    EXPECT_EQ(xml.rfind(u"<data PropFormat=\"node\"><TConversionSettings>", 0), 0u) << xml.ToUtf8();

    TConversionSettings back;
    TXmlDomReader::LoadFromString(&back, xml);
    for (const String& path : LeafPaths(&source))
        EXPECT_EQ(PropText(&back, path), PropText(&source, path)) << path.ToUtf8();
    EXPECT_EQ(TXmlDomWriter::SaveToString(&back), xml);
    FinalizeUnits();
}

TEST(ConversionSettingsXml, IncompleteRecordKeepsIntegersWithoutDefault) {
    TConversionSettings settings;
    settings.SetDvdTitle(3);
    settings.SetCategoryId(7);
    TXmlDomReader::LoadFromString(&settings, u"<data PropFormat=\"node\"><TConversionSettings>"
                                             u"<CategoryId>9</CategoryId></TConversionSettings></data>");
    EXPECT_EQ(settings.DvdTitle(), 3);
    EXPECT_EQ(settings.CategoryId(), 9);
}

} // namespace
