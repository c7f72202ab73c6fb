#include "engine/AVProfile.h"

#include "engine/AVProfileList.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/IniFiles.h"

RTL_PUBLISHED(TAVProfile, c) {
    using T = TAVProfile;
    c.Property("Description", &T::Description, &T::SetDescription);
    c.Property("Extension", &T::GetExtension, &T::SetExtension);
    c.Property("Category", &T::Category, &T::SetCategory);
}

String ProfileKey(const char* name, int index) { return String(name) + IntToStr(index); }

TAVProfile::~TAVProfile() { SetProfileList(nullptr); }

void TAVProfile::SetProfileList(TAVProfileList* value) {
    if (value == profileList_) return;
    if (profileList_) profileList_->RemoveProfile(this);
    if (value) value->AddProfile(this);
}

int TAVProfile::Index() const { return profileList_ ? profileList_->IndexOf(this) : -1; }

void TAVProfile::SetIndex(int value) {
    if (profileList_) profileList_->Move(this, value);
}

TComponent* TAVProfile::GetParentComponent() const { return profileList_; }

void TAVProfile::SaveToIni(TCustomIniFile& ini, int index) const {
    ini.WriteString(kProfileSection, ProfileKey("Description", index), Description());
    ini.WriteString(kProfileSection, ProfileKey("Extension", index), GetExtension());
    ini.WriteString(kProfileSection, ProfileKey("Category", index), Category());
}

void TAVProfile::LoadFromIni(const TCustomIniFile& ini, int index) {
    SetDescription(ini.ReadString(kProfileSection, ProfileKey("Description", index), Description()));
    SetExtension(ini.ReadString(kProfileSection, ProfileKey("Extension", index), GetExtension()));
    SetCategory(ini.ReadString(kProfileSection, ProfileKey("Category", index), Category()));
}
