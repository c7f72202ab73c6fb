#include <gtest/gtest.h>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Persistent.h"
#include "support/xml/XmlDomPersistent.h"

namespace {

enum class TChannel : uint8_t {};
RTL_SUBRANGE(TChannel, 1, 16);
enum class TDriveLetter : char {};
RTL_SUBRANGE(TDriveLetter, 'A', 'Z');
using TChannels = TSet<TChannel>;
using TDrives = TSet<TDriveLetter>;

class TMixer : public TPersistent {
    RTL_CLASS(TMixer, TPersistent);

public:
    TChannels channels{TChannel(1), TChannel(2)};
    TDrives drives;
};

RTL_PUBLISHED(TMixer, c) {
    c.Property("Channels", &TMixer::channels, &TMixer::channels).Default(TChannels{TChannel(1), TChannel(2)});
    c.Property("Drives", &TMixer::drives, &TMixer::drives);
}

TEST(XmlDomPersistentRangeSets, IntegerAndCharacterSetsRoundTripThroughXml) {
    for (TPropFormat format : {pfNode, pfAttr}) {
        TMixer mixer;
        mixer.channels = TChannels{TChannel(3), TChannel(16)};
        mixer.drives = TDrives{TDriveLetter('C'), TDriveLetter('D'), TDriveLetter('Z')};
        const String xml = TXmlDomWriter::SaveToString(&mixer, format);
        EXPECT_NE(xml.find(u"[3,16]"), String::npos) << xml;
        EXPECT_NE(xml.find(u"[67,68,90]"), String::npos) << xml;

        TMixer read;
        read.drives = TDrives{TDriveLetter('A')};
        TXmlDomReader::LoadFromString(&read, xml);
        EXPECT_EQ(read.channels, mixer.channels);
        EXPECT_EQ(read.drives, mixer.drives);
    }
}

TEST(XmlDomPersistentRangeSets, ADefaultSetIsNotWrittenAndReadsBack) {
    TMixer mixer;
    const String xml = TXmlDomWriter::SaveToString(&mixer);
    EXPECT_EQ(xml.find(u"Channels"), String::npos) << xml;
    TMixer read;
    read.channels = TChannels{TChannel(9)};
    TXmlDomReader::LoadFromString(&read, xml);
    EXPECT_EQ(read.channels, (TChannels{TChannel(1), TChannel(2)}));
}

TEST(XmlDomPersistentRangeSets, AnElementOutsideTheRangeIsRefused) {
    TMixer mixer;
    mixer.drives = TDrives{TDriveLetter('A')};
    String xml = TXmlDomWriter::SaveToString(&mixer);
    const auto at = xml.find(u"[65]");
    ASSERT_NE(at, String::npos) << xml;
    xml.replace(at, 4, u"[65,200]");
    TMixer read;
    EXPECT_THROW(TXmlDomReader::LoadFromString(&read, xml), ERangeError);
    EXPECT_TRUE(read.drives.IsEmpty());
}

} // namespace
