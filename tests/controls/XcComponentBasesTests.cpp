#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/XcBaseDlg.h"
#include "controls/XcHotTrackPersistent.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Properties.h"
#include "support/storage/XcTypes.h"

namespace {

// The notifications of options, in order: "<" and ">" for the whole object,
// "<Name" and ">Name" for a property.
struct TNotedOptions {
    TNotedOptions() : options(nullptr) {
        options.OnBeforeChange = [this](TObject*) { events.push_back(u"<"); };
        options.OnAfterChange = [this](TObject*) { events.push_back(u">"); };
        options.OnBeforePropertyChange = [this](TObject*, const String& name) { events.push_back(u"<" + name); };
        options.OnAfterPropertyChange = [this](TObject*, const String& name) { events.push_back(u">" + name); };
    }
    TXcHotTrackOptions options;
    std::vector<String> events;
};

class TTestDialog : public TXcCommonDialogP {
public:
    using TXcCommonDialogP::TXcCommonDialogP;
    bool Execute() override {
        ++executed;
        return true;
    }
    int executed = 0;
};

} // namespace

TEST(XcHotTrackOptionsTest, ASetterNotifiesOnlyWhenTheValueChanges) {
    TNotedOptions noted;
    noted.options.SetColor(TXcHotTrackOptions::kDefaultColor);
    EXPECT_TRUE(noted.events.empty());
    noted.options.SetFrameVisible(true);
    EXPECT_EQ(noted.events, (std::vector<String>{u"<", u"<FrameVisible", u">FrameVisible", u">"}));
}

TEST(XcHotTrackOptionsTest, AssignNotifiesOnceAndPerChangedProperty) {
    TXcHotTrackOptions source(nullptr);
    source.SetEnabled(true);
    source.SetFrameColor(0x123456);
    TNotedOptions noted;
    noted.options.Assign(&source);
    EXPECT_EQ(noted.events,
              (std::vector<String>{u"<", u"<Enabled", u">Enabled", u"<FrameColor", u">FrameColor", u">"}));
    EXPECT_TRUE(noted.options.Enabled());
    EXPECT_EQ(noted.options.FrameColor(), 0x123456);
}

TEST(XcHotTrackOptionsTest, AssignClosesItsBracketWhenASetterRaises) {
    TXcHotTrackOptions source(nullptr);
    source.SetEnabled(true);
    source.SetColor(0x00FF00);
    source.SetFrameVisible(true);
    TNotedOptions noted;
    auto after = noted.options.OnAfterPropertyChange;
    noted.options.OnAfterPropertyChange = [&](TObject* sender, const String& name) {
        after(sender, name);
        if (name == u"Color") throw EXCLException(u"refused");
    };
    EXPECT_THROW(noted.options.Assign(&source), EXCLException);
    EXPECT_EQ(noted.events, (std::vector<String>{u"<", u"<Enabled", u">Enabled", u"<Color", u">Color", u">"}));
    noted.events.clear();
    noted.options.SetFrameColor(0);
    EXPECT_EQ(noted.events.back(), String(u">")) << "the bracket is closed";
}

TEST(XcHotTrackOptionsTest, AssignFromAnotherClassRaises) {
    TXcHotTrackOptions options(nullptr);
    TPersistent foreign;
    EXPECT_THROW(options.Assign(&foreign), EConvertError);
}

TEST(XcHotTrackOptionsTest, PublishedDefaultsReadBackThroughTypeInformation) {
    const TClass cls = TXcHotTrackOptions::StaticClass();
    struct Case {
        const char* name;
        int32_t defaultValue;
    };
    const Case cases[] = {{"Enabled", 0}, {"FrameVisible", 0}, {"Color", 0xD2BDB6}, {"FrameColor", 0x6A240A}};
    for (const Case& c : cases) {
        const TPropInfo* prop = GetPropInfo(cls, c.name);
        ASSERT_NE(prop, nullptr) << c.name;
        EXPECT_EQ(prop->Default(), c.defaultValue) << c.name;
    }
    TXcHotTrackOptions options(nullptr);
    for (const Case& c : cases) EXPECT_EQ(GetOrdProp(&options, GetPropInfo(cls, c.name)), c.defaultValue) << c.name;
    EXPECT_EQ(GetPropInfo(cls, "AboutXCL"), nullptr);
}

TEST(XcPersistentTest, ANonComponentOwnerIsReportedButDoesNotOwn) {
    TPersistent holder;
    TXcPersistent persistent(&holder);
    EXPECT_EQ(persistent.Owner(), nullptr);
    EXPECT_EQ(persistent.GetOwner(), &holder);
    EXPECT_TRUE(persistent.ComponentStyle().Contains(csSubComponent));
}

TEST(XcPersistentTest, NamePathFollowsTheOwners) {
    TComponent form(nullptr);
    form.SetName(u"MainForm");
    auto* label = new TComponent(&form);
    label->SetName(u"Label1");
    auto* hotTrack = new TXcPersistent(label);
    hotTrack->SetName(u"HotTrack");
    EXPECT_EQ(hotTrack->Owner(), label);
    EXPECT_EQ(hotTrack->GetNamePath(), String(u"Label1.HotTrack"));
    auto* nested = new TXcPersistent(hotTrack);
    nested->SetName(u"Frame");
    EXPECT_EQ(nested->GetNamePath(), String(u"Label1.HotTrack.Frame"));
    TComponent unnamed(nullptr);
    TXcPersistent alone(&unnamed);
    alone.SetName(u"Alone");
    EXPECT_EQ(alone.GetNamePath(), String(u"Alone"));
}

TEST(XcCommonDialogTest, ADescendantIsACommonDialogWithItsOwnExecute) {
    TComponent owner(nullptr);
    auto* dialog = new TTestDialog(&owner);
    TCommonDialog* common = dialog;
    EXPECT_TRUE(common->Execute());
    EXPECT_EQ(dialog->executed, 1);
    EXPECT_TRUE(dialog->InheritsFrom(TCommonDialog::StaticClass()));
    EXPECT_TRUE(dialog->InheritsFrom(TXcCommonDialog::StaticClass()));
    EXPECT_FALSE(dialog->InheritsFrom(TXcCommonDialogF::StaticClass()));
}
