#pragma once
// The profiles of the application and the names of their categories. The
// list frees its profiles, last first, when it is freed; a profile freed
// elsewhere leaves it.

#include <memory>
#include <vector>

#include "engine/AVProfile.h"
#include "platform/rtl/StringList.h"

class TAVProfileList : public TComponent {
    RTL_CLASS(TAVProfileList, TComponent);

public:
    explicit TAVProfileList(TComponent* owner) : TComponent(owner) {}
    ~TAVProfileList() override;

    TStrings* Categories() const { return categories_.get(); }
    void SetCategories(TStrings* value) { categories_->Assign(value); }

    int Count() const { return static_cast<int>(profiles_.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TAVProfile* Items(int index) const;
    // -1 when the profile is not in the list.
    int IndexOf(const TAVProfile* profile) const;

    // Appends Profile (taking it out of another list first).
    void AddProfile(TAVProfile* profile);
    // Takes Profile out without freeing it.
    void RemoveProfile(TAVProfile* profile);
    // Takes out and frees, last first, every profile of the custom kinds.
    void ClearCustomProfiles();

    // Replaces the profiles of the custom kinds by those of the INI file's
    // section kProfileSection: "ProfileCount" profiles, each created by its
    // "IsVideo" key as a video or an audio profile owned by this list and
    // appended. Reading stops early at an index that has none of the keys.
    void LoadCustomProfiles(const TCustomIniFile& ini);
    // Writes every profile of the custom kinds, in list order, with the next
    // index from 0, then "ProfileCount". Keys of higher indexes stay.
    void SaveCustomProfiles(TCustomIniFile& ini) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TAVProfile;

    void Move(TAVProfile* profile, int newIndex);

    std::unique_ptr<TStringList> categories_ = std::make_unique<TStringList>();
    std::vector<TAVProfile*> profiles_;
};
