#pragma once
// TDriveComboBox: a drop-down list of the places files live on, each drawn
// as a picture of its kind before its name. The base list holds the
// file-system root and the mounted volumes; a descendant may build its own
// list (BuildList), using the pictures (DrivePicture) as item objects.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/stdctrls/ComboBox.h"

enum class TTextCase { tcLowerCase, tcUpperCase };
using enum TTextCase;
RTL_ENUM(TTextCase, tcLowerCase, tcUpperCase);

enum class TDriveType { dtFixed, dtRemovable, dtNetwork, dtOptical };

// A mounted volume: where it is mounted and what kind of drive holds it.
struct TMountedVolume {
    String path;
    TDriveType type;
};

// The volumes of a mount table (the text of /proc/self/mounts): the root
// first, then the volumes of block devices and network file systems in the
// table's order; kernel and memory file systems are left out.
std::vector<TMountedVolume> MountedVolumes(std::string_view mountTable);

class TDriveComboBox : public TCustomComboBox {
    RTL_CLASS(TDriveComboBox, TCustomComboBox);

public:
    explicit TDriveComboBox(TComponent* owner);
    ~TDriveComboBox() override;

    // The first character of the chosen item ('/' for the root).
    char16_t Drive();
    // Chooses the first item starting with Value, in either case.
    void SetDrive(char16_t value);
    // The case a list builder gives drive letters; a change builds the list again.
    TTextCase TextCase() const noexcept { return textCase_; }
    void SetTextCase(TTextCase value);
    // The picture of a kind of drive, owned by the control.
    TBitmap* DrivePicture(TDriveType type) const { return pictures_[size_t(type)].get(); }

protected:
    void CreateWnd() override;
    // Fills Items with the drives, each with its picture as the item object.
    virtual void BuildList();
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override;

private:
    // Builds the list again, keeping the chosen drive.
    void ResetItems();

    std::array<std::unique_ptr<TBitmap>, 4> pictures_;
    TTextCase textCase_ = tcLowerCase;
    char16_t drive_ = u'/';
};
