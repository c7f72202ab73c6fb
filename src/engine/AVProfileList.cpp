#include "engine/AVProfileList.h"

#include <algorithm>

#include "engine/AVProfiles.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/IniFiles.h"

RTL_PUBLISHED(TAVProfileList, c) {
    c.Property("Categories", &TAVProfileList::Categories, &TAVProfileList::SetCategories);
}

namespace {

bool IsCustomKind(const TAVProfile* profile) { return dynamic_cast<const TAVCustomAudioProfile*>(profile); }

// Whether the file holds any key of the profile at Index.
bool HasProfileKeys(const TCustomIniFile& ini, int index) {
    for (const char* name : {"Description", "Extension", "Category", "IsVideo"})
        if (ini.ValueExists(kProfileSection, ProfileKey(name, index))) return true;
    return false;
}

} // namespace

TAVProfileList::~TAVProfileList() {
    while (!profiles_.empty()) delete profiles_.back();
}

TAVProfile* TAVProfileList::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return profiles_[static_cast<size_t>(index)];
}

int TAVProfileList::IndexOf(const TAVProfile* profile) const {
    const auto found = std::find(profiles_.begin(), profiles_.end(), profile);
    return found == profiles_.end() ? -1 : static_cast<int>(found - profiles_.begin());
}

void TAVProfileList::AddProfile(TAVProfile* profile) {
    if (profile->profileList_ == this) return;
    if (profile->profileList_) profile->profileList_->RemoveProfile(profile);
    profiles_.push_back(profile);
    profile->profileList_ = this;
    profile->FreeNotification(this);
}

void TAVProfileList::RemoveProfile(TAVProfile* profile) {
    const auto found = std::find(profiles_.begin(), profiles_.end(), profile);
    if (found == profiles_.end()) return;
    profiles_.erase(found);
    profile->RemoveFreeNotification(this);
    profile->profileList_ = nullptr;
}

void TAVProfileList::ClearCustomProfiles() {
    for (int i = Count() - 1; i >= 0; --i)
        if (TAVProfile* profile = profiles_[static_cast<size_t>(i)]; IsCustomKind(profile)) delete profile;
}

void TAVProfileList::LoadCustomProfiles(const TCustomIniFile& ini) {
    ClearCustomProfiles();
    const int count = ini.ReadInteger(kProfileSection, "ProfileCount", 0);
    for (int i = 0; i < count && HasProfileKeys(ini, i); ++i) {
        TAVProfile* profile = nullptr;
        if (ini.ReadBool(kProfileSection, ProfileKey("IsVideo", i), false))
            profile = new TAVCustomVideoProfile(this);
        else
            profile = new TAVCustomAudioProfile(this);
        profile->ReadFromIni(ini, i);
        profile->SetProfileList(this);
    }
}

void TAVProfileList::SaveCustomProfiles(TCustomIniFile& ini) const {
    int written = 0;
    for (const TAVProfile* profile : profiles_)
        if (IsCustomKind(profile)) profile->WriteToIni(ini, written++);
    ini.WriteInteger(kProfileSection, "ProfileCount", written);
}

void TAVProfileList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    // The component may be half destroyed: compare it only.
    const auto found = std::find(profiles_.begin(), profiles_.end(), component);
    if (found != profiles_.end()) profiles_.erase(found);
}

void TAVProfileList::Move(TAVProfile* profile, int newIndex) {
    const int current = IndexOf(profile);
    if (current < 0) return;
    newIndex = std::clamp(newIndex, 0, Count() - 1);
    profiles_.erase(profiles_.begin() + current);
    profiles_.insert(profiles_.begin() + newIndex, profile);
}
