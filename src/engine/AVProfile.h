#pragma once
// A conversion profile: a named output preset that writes itself into a
// converter's options. Profiles live in a TAVProfileList; the custom kinds
// also save and load themselves in "Profiles.ini", every key followed by the
// profile's index there.

#include "platform/rtl/Component.h"

class TAVConverter;
class TAVProfileList;
class TCustomIniFile;

// The INI section of the profiles.
inline constexpr const char* kProfileSection = "Profile";

class TAVProfile : public TComponent {
    RTL_CLASS(TAVProfile, TComponent);

public:
    explicit TAVProfile(TComponent* owner) : TComponent(owner) {}
    // Leaves its list.
    ~TAVProfile() override;

    // The display name; a task stores it as its profile.
    const String& Description() const { return description_; }
    void SetDescription(const String& value) { description_ = value; }
    // The target file extension with its dot.
    virtual String GetExtension() const { return extension_; }
    virtual void SetExtension(const String& value) { extension_ = value; }
    // A category name of the list.
    const String& Category() const { return category_; }
    void SetCategory(const String& value) { category_ = value; }

    TAVProfileList* ProfileList() const { return profileList_; }
    // Leaves the old list and joins the new one at its end.
    void SetProfileList(TAVProfileList* value);
    // Position in the list; -1 without one.
    int Index() const;
    // Moves the profile within its list, clamped to the list; nothing without a list.
    void SetIndex(int value);

    // The profile's keys with Index after each name, in section kProfileSection.
    void ReadFromIni(const TCustomIniFile& ini, int index) { LoadFromIni(ini, index); }
    void WriteToIni(TCustomIniFile& ini, int index) const { SaveToIni(ini, index); }

    // Writes the profile's settings into the converter's options; true when applied.
    virtual bool ApplyToConverter(TAVConverter& converter) const = 0;

    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return profileList_ != nullptr; }

protected:
    // Description, Extension and Category; a missing key keeps the current value.
    virtual void SaveToIni(TCustomIniFile& ini, int index) const;
    virtual void LoadFromIni(const TCustomIniFile& ini, int index);

private:
    friend class TAVProfileList;

    String description_;
    String extension_;
    String category_;
    TAVProfileList* profileList_ = nullptr;
};

// The INI key Name followed by Index in decimal.
String ProfileKey(const char* name, int index);
