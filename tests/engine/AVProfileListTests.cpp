#include "engine/AVProfileList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestMedia.h"
#include "engine/AVProfiles.h"
#include "engine/BuiltinProfiles.h"
#include "platform/rtl/IniFiles.h"

namespace {

// Profiles that note, by description, when they are freed.
std::vector<String> freed;

template <class Base>
class TNoted : public Base {
public:
    TNoted(TComponent* owner, const String& description) : Base(owner) { this->SetDescription(description); }
    ~TNoted() override { freed.push_back(this->Description()); }
};

class ProfileList : public testing::Test {
protected:
    void SetUp() override { freed.clear(); }

    template <class Base>
    TAVProfile* Add(const String& description, TComponent* owner = nullptr) {
        auto* profile = new TNoted<Base>(owner ? owner : &list_, description);
        profile->SetProfileList(&list_);
        return profile;
    }

    std::vector<String> Descriptions() const {
        std::vector<String> result;
        for (int i = 0; i < list_.Count(); ++i) result.push_back(list_.Items(i)->Description());
        return result;
    }

    TAVProfileList list_{nullptr};
};

using Names = std::vector<String>;

TEST_F(ProfileList, ProfilesJoinMoveAndLeave) {
    TAVProfile* a = Add<TAVVcdProfile>("a");
    TAVProfile* b = Add<TAVDvdProfile>("b");
    TAVProfile* c = Add<TAVImageProfile>("c");
    EXPECT_EQ(Descriptions(), (Names{"a", "b", "c"}));
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(c->GetParentComponent(), &list_);

    c->SetIndex(-5);
    EXPECT_EQ(Descriptions(), (Names{"c", "a", "b"}));
    c->SetIndex(99);
    EXPECT_EQ(Descriptions(), (Names{"a", "b", "c"}));

    TAVProfileList other(nullptr);
    a->SetProfileList(&other);
    EXPECT_EQ(Descriptions(), (Names{"b", "c"}));
    EXPECT_EQ(other.Count(), 1);
    EXPECT_EQ(a->Index(), 0);
    other.RemoveProfile(a);
    EXPECT_EQ(a->ProfileList(), nullptr);
    EXPECT_EQ(a->Index(), -1);
    EXPECT_FALSE(a->HasParent());
    a->SetIndex(3); // no list: nothing

    delete b;
    EXPECT_EQ(Descriptions(), (Names{"c"}));
    EXPECT_THROW(list_.Items(1), EListError);
    EXPECT_THROW(list_.Items(-1), EListError);
    delete a;
}

TEST_F(ProfileList, FreeingTheListFreesItsProfilesLastFirst) {
    TComponent owner(nullptr);
    {
        TAVProfileList list(nullptr);
        (new TNoted<TAVVcdProfile>(&owner, "owned elsewhere"))->SetProfileList(&list);
        (new TNoted<TAVDvProfile>(&list, "owned by the list"))->SetProfileList(&list);
        (new TNoted<TAVCustomAudioProfile>(&owner, "last"))->SetProfileList(&list);
    }
    EXPECT_EQ(freed, (Names{"last", "owned by the list", "owned elsewhere"}));
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(ProfileList, ClearCustomProfilesFreesExactlyTheCustomKindsLastFirst) {
    TComponent dataModule(nullptr);
    Add<TAVVcdProfile>("vcd");
    Add<TAVCustomVideoProfile>("video 1", &dataModule);
    Add<TAVSVcdProfile>("svcd");
    Add<TAVDvdProfile>("dvd");
    Add<TAVCustomAudioProfile>("audio");
    Add<TAVDvProfile>("dv");
    Add<TAVDv50Profile>("dv50");
    Add<TAVImageProfile>("image");
    Add<TAVCustomVideoProfile>("video 2");

    list_.ClearCustomProfiles();
    EXPECT_EQ(Descriptions(), (Names{"vcd", "svcd", "dvd", "dv", "dv50", "image"}));
    EXPECT_EQ(freed, (Names{"video 2", "audio", "video 1"}));
    EXPECT_EQ(dataModule.ComponentCount(), 0);
}

// --- Profiles.ini ---

class ProfilesIni : public ProfileList {
protected:
    // The list's custom profiles as written, key by key.
    static Names Written(const TAVProfileList& list) {
        TMemIniFile ini("");
        list.SaveCustomProfiles(ini);
        TStringList lines;
        ini.GetStrings(lines);
        Names result;
        for (int i = 0; i < lines.Count(); ++i) result.push_back(lines[i]);
        return result;
    }
};

TEST_F(ProfilesIni, SaveAndLoadRestoreEveryCustomProfile) {
    AddBuiltinProfiles(list_);
    auto* user = static_cast<TAVCustomVideoProfile*>(Add<TAVCustomVideoProfile>("我的 [配置]; #1"));
    user->SetCategory(ProfileCategoryNames.back());
    user->SetExtension(".mkv");
    user->SetFrameWidth(1366);
    user->SetFrameHeight(768);
    user->SetAudioBitrate(12.2);
    user->Options()->SetCommaText("\"x264-params=keyint=60:min-keyint=30\",tune=film");
    const String file = TestFolder() + "Profiles.ini";
    {
        TIniFile ini(file);
        list_.SaveCustomProfiles(ini);
        ini.UpdateFile();
    }

    TAVProfileList loaded(nullptr);
    AddBuiltinProfiles(loaded);
    loaded.LoadCustomProfiles(TMemIniFile(file));
    EXPECT_EQ(Written(loaded), Written(list_));
    EXPECT_EQ(loaded.Count(), list_.Count());

    // The fixed profiles stay in front, the loaded ones follow in file order.
    int firstCustom = -1;
    for (int i = 0; i < loaded.Count(); ++i) {
        const bool custom = dynamic_cast<TAVCustomAudioProfile*>(loaded.Items(i)) != nullptr;
        if (custom && firstCustom < 0) firstCustom = i;
        if (firstCustom >= 0) {
            EXPECT_TRUE(custom) << i;
        }
        if (custom) {
            EXPECT_EQ(loaded.Items(i)->Owner(), &loaded);
        }
    }
    TAVProfile* last = loaded.Items(loaded.Count() - 1);
    EXPECT_EQ(last->Description(), "我的 [配置]; #1");
    EXPECT_EQ(static_cast<TAVCustomVideoProfile*>(last)->Options()->Values("x264-params"), "keyint=60:min-keyint=30");
}

TEST_F(ProfilesIni, AProfileCountOfZeroLeavesOnlyTheFixedProfiles) {
    AddBuiltinProfiles(list_);
    TMemIniFile ini("");
    ini.WriteInteger(kProfileSection, "ProfileCount", 0);
    list_.LoadCustomProfiles(ini);
    ASSERT_GT(list_.Count(), 0);
    for (int i = 0; i < list_.Count(); ++i)
        EXPECT_EQ(dynamic_cast<TAVCustomAudioProfile*>(list_.Items(i)), nullptr) << i;
}

TEST_F(ProfilesIni, SavingFewerProfilesLeavesTheHigherIndexesInTheFile) {
    TMemIniFile ini("");
    for (const char* name : {"1", "2", "3", "4", "5"}) Add<TAVCustomAudioProfile>(name);
    list_.SaveCustomProfiles(ini);
    delete list_.Items(4);
    delete list_.Items(3);
    Add<TAVDvdProfile>("fixed");
    list_.SaveCustomProfiles(ini);

    EXPECT_EQ(ini.ReadInteger(kProfileSection, "ProfileCount", -1), 3);
    EXPECT_EQ(ini.ReadString(kProfileSection, "Description2", ""), "3");
    EXPECT_EQ(ini.ReadString(kProfileSection, "Description4", ""), "5");
    EXPECT_FALSE(ini.ValueExists(kProfileSection, "Target3"));

    TAVProfileList loaded(nullptr);
    loaded.LoadCustomProfiles(ini);
    EXPECT_EQ(loaded.Count(), 3);
}

TEST_F(ProfilesIni, KindFollowsIsVideoAndAnInflatedCountStopsAtTheFirstMissingProfile) {
    TMemIniFile ini("");
    TStringList lines;
    lines.SetText("[Profile]\nProfileCount=2000000000\nIsVideo0=1\nFrameWidth0=640\n"
                  "Description1=audio only\nDescription3=after a gap\n");
    ini.SetStrings(lines);
    list_.LoadCustomProfiles(ini);
    ASSERT_EQ(list_.Count(), 2);
    auto* video = dynamic_cast<TAVCustomVideoProfile*>(list_.Items(0));
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->FrameWidth(), 640);
    EXPECT_EQ(dynamic_cast<TAVCustomVideoProfile*>(list_.Items(1)), nullptr);
    EXPECT_EQ(list_.Items(1)->Description(), "audio only");
}

} // namespace
