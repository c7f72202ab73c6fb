// The complete example of src/platform/rtl/ObjectModel.md, kept compiling and true.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"

namespace {

// --- header ---
enum class TScaleMode { smNone, smFit, smStretch };
using enum TScaleMode;
RTL_ENUM(TScaleMode, smNone, smFit, smStretch);

enum class TOutputFlag { ofOverwrite, ofOpenFolder, ofShutdown };
using enum TOutputFlag;
RTL_ENUM(TOutputFlag, ofOverwrite, ofOpenFolder, ofShutdown);
using TOutputFlags = TSet<TOutputFlag>;

class TOutputSettings : public TPersistent {
    RTL_CLASS(TOutputSettings, TPersistent);

public:
    TOutputSettings() = default;
    void Assign(TPersistent* source) override;

    int Width() const { return width_; }
    void SetWidth(int value) { width_ = value; }
    TScaleMode Scale() const { return scale_; }
    void SetScale(TScaleMode value) { scale_ = value; }
    TOutputFlags Flags() const { return flags_; }
    void SetFlags(TOutputFlags value) { flags_ = value; }
    const String& Folder() const { return folder_; }
    void SetFolder(const String& value) { folder_ = value; }
    double LastRun() const { return lastRun_; }
    void SetLastRun(double value) { lastRun_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    TStringList* Extensions() const { return extensions_.get(); }
    void SetExtensions(TStringList* value) { extensions_->Assign(value); }

private:
    bool IsFolderStored() const { return !folder_.empty(); }

    int width_ = 640;
    TScaleMode scale_ = smFit;
    TOutputFlags flags_{ofOverwrite};
    String folder_;
    double lastRun_ = 0;
    bool enabled_ = true;
    std::unique_ptr<TStringList> extensions_ = std::make_unique<TStringList>();
};

// --- .cpp ---
RTL_PUBLISHED(TOutputSettings, c) {
    c.Property("Width", &TOutputSettings::Width, &TOutputSettings::SetWidth).Default(640);
    c.Property("Scale", &TOutputSettings::Scale, &TOutputSettings::SetScale).Default(smFit);
    c.Property("Flags", &TOutputSettings::Flags, &TOutputSettings::SetFlags).Default(TOutputFlags{ofOverwrite});
    c.Property("Folder", &TOutputSettings::Folder, &TOutputSettings::SetFolder)
        .Stored(&TOutputSettings::IsFolderStored);
    c.Property("LastRun", &TOutputSettings::LastRun, &TOutputSettings::SetLastRun).AsDateTime();
    c.Property("Enabled", &TOutputSettings::Enabled, &TOutputSettings::SetEnabled).Default(true);
    c.Property("Extensions", &TOutputSettings::Extensions, &TOutputSettings::SetExtensions);
}

void TOutputSettings::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TOutputSettings*>(source);
    if (!other) return TPersistent::Assign(source); // raises for foreign classes
    SetWidth(other->Width());
    SetScale(other->Scale());
    SetFlags(other->Flags());
    SetFolder(other->Folder());
    SetLastRun(other->LastRun());
    SetEnabled(other->Enabled());
    SetExtensions(other->Extensions());
}

// --- use ---
TEST(ObjectModelGuideTest, WalkingThePublishedProperties) {
    RegisterClass(TOutputSettings::StaticClass());
    std::unique_ptr<TObject> obj = FindClass("TOutputSettings")->Create();

    // What a writer of settings would visit: stored properties that differ from their default.
    String listing;
    for (const TPropInfo* prop : GetPropList(obj.get(), tkProperties - TTypeKinds{tkClass})) {
        if (!prop->IsStored(*obj) || IsDefaultOrdValue(obj.get(), prop)) continue;
        listing += prop->Name() + ";";
    }
    EXPECT_EQ(listing, "LastRun;"); // no default declared: always visited

    SetPropValue(obj.get(), "Flags", Variant("[ofOverwrite,ofShutdown]"));
    SetPropValue(obj.get(), "folder", Variant("/tmp/out"));
    EXPECT_EQ(GetSetProp(obj.get(), "Flags", true), "[ofOverwrite,ofShutdown]");
    EXPECT_TRUE(IsStoredProp(obj.get(), "Folder"));

    TOutputSettings copy;
    copy.Assign(static_cast<TPersistent*>(obj.get()));
    EXPECT_EQ(copy.Folder(), "/tmp/out");
    UnRegisterClass(TOutputSettings::StaticClass());
}

} // namespace
