#include "../ControlFixture.h"
#include "../DibFixture.h"

#include "platform/ui/comctrls/DriveComboBox.h"
#include "platform/win/User.h"

namespace {

// A drive list of its own, as an application builds one: the letter in the
// list's case, then the volume's label.
class TDriveBoxWithDisc : public TDriveComboBox {
public:
    explicit TDriveBoxWithDisc(TComponent* owner) : TDriveComboBox(owner) {}

protected:
    void BuildList() override {
        const String letter = TextCase() == tcUpperCase ? u"E" : u"e";
        Items()->AddObject(letter + u": [MOVIE]", DrivePicture(TDriveType::dtOptical));
    }
};

TEST(DriveVolumesTest, TheRootAndRealVolumesOfTheMountTable) {
    const std::string table =
        "sysfs /sys sysfs rw,nosuid 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sda2 / ext4 rw,relatime 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "/dev/sr0 /media/ann/MOVIE\\040DISC udf ro 0 0\n"
        "/dev/sdb1 /run/media/ann/STICK vfat rw 0 0\n"
        "server:/export /mnt/share nfs4 rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "broken line\n";
    const std::vector<TMountedVolume> volumes = MountedVolumes(table);
    const std::vector<std::pair<String, TDriveType>> expected = {
        {u"/", TDriveType::dtFixed},
        {u"/boot/efi", TDriveType::dtFixed},
        {u"/media/ann/MOVIE DISC", TDriveType::dtOptical},
        {u"/run/media/ann/STICK", TDriveType::dtRemovable},
        {u"/mnt/share", TDriveType::dtNetwork},
    };
    ASSERT_EQ(volumes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(volumes[i].path, expected[i].first);
        EXPECT_EQ(volumes[i].type, expected[i].second);
    }
}

class DriveComboBoxTest : public FormTest {
protected:
    TForm* form = ShownForm({100, 100, 400, 300});
};

TEST_F(DriveComboBoxTest, TheBaseListStartsWithTheRoot) {
    auto* box = new TDriveComboBox(form);
    box->SetParent(form);
    ASSERT_GE(box->Items()->Count(), 1);
    EXPECT_EQ(box->Items()->Strings(0), u"/");
    EXPECT_EQ(box->Items()->Objects(0), box->DrivePicture(TDriveType::dtFixed));
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(box->Drive(), u'/');
}

TEST_F(DriveComboBoxTest, AnOwnListShowsInTheChosenCaseWithItsPictureFirst) {
    auto* box = new TDriveBoxWithDisc(form);
    box->SetBounds(10, 10, 200, 22);
    box->SetParent(form);
    box->SetDrive(u'E');
    EXPECT_EQ(box->Items()->Strings(0), u"e: [MOVIE]");
    box->SetTextCase(tcUpperCase);
    ASSERT_EQ(box->Items()->Count(), 1);
    EXPECT_EQ(box->Items()->Strings(0), u"E: [MOVIE]");
    EXPECT_EQ(box->ItemIndex(), 0) << "the drive stays chosen";
    EXPECT_EQ(box->Drive(), u'E');

    // Drawn as the list draws it: the disc, then the text in the font's colour.
    TDibDc dib(200, 20);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = box->Handle();
    item.hDC = dib.dc;
    item.rcItem = {0, 0, 200, 20};
    box->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(dib.At(2 + 3, 2 + 8), ColorToRGB(clSilver)) << "the disc";
    EXPECT_EQ(dib.At(2 + 7, 2 + 7), ColorToRGB(clWhite)) << "its hole";
    const COLORREF ink = ColorToRGB(box->Font()->Color());
    int firstInk = -1;
    for (int x = 18; x < 200 && firstInk < 0; ++x)
        for (int y = 0; y < 20; ++y)
            if (dib.At(x, y) == ink) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 2 + 16 + 4) << "the text after the picture";
    EXPECT_LT(firstInk, 40);
}

} // namespace
