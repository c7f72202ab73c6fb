#include "platform/ui/comctrls/DriveComboBox.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/ui/Colors.h"

RTL_PUBLISHED(TDriveComboBox, c) {
    c.Property("TextCase", &TDriveComboBox::TextCase, &TDriveComboBox::SetTextCase).Default(tcLowerCase);
}

// --- The mount table ---------------------------------------------------------------------------

namespace {

// A field of the mount table with its octal escapes (\040 for a space) decoded.
std::string Unescape(std::string_view field) {
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            text += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool IsNetworkFileSystem(std::string_view type) {
    static constexpr std::string_view kTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p"};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

TDriveType DriveTypeOf(std::string_view path, std::string_view type) {
    if (IsNetworkFileSystem(type)) return TDriveType::dtNetwork;
    if (type == "iso9660" || type == "udf") return TDriveType::dtOptical;
    if (path.starts_with("/media/") || path.starts_with("/run/media/")) return TDriveType::dtRemovable;
    return TDriveType::dtFixed;
}

} // namespace

std::vector<TMountedVolume> MountedVolumes(std::string_view mountTable) {
    std::vector<TMountedVolume> volumes{{u"/", TDriveType::dtFixed}};
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source, path, type;
        if (!(fields >> source >> path >> type)) continue;
        path = Unescape(path);
        const bool volume = (source.starts_with("/dev/") && type != "squashfs") || IsNetworkFileSystem(type);
        const String name = String::FromUtf8(path);
        if (!volume || std::any_of(volumes.begin(), volumes.end(), [&](const auto& v) { return v.path == name; }))
            continue;
        volumes.push_back({name, DriveTypeOf(path, type)});
    }
    return volumes;
}

// --- The pictures ------------------------------------------------------------------------------

namespace {

constexpr int kPictureSize = 16;
using TPattern = std::array<const char*, kPictureSize>;

// '.' transparent (white), 'k' black, 's' silver, 'g' grey, 'n' navy, 'l' lime.
constexpr TPattern kFixed = {
    "................", "................", "................", "................", "................",
    "kkkkkkkkkkkkkkkk", "kggggggggggggggk", "kggggggggggggggk", "kgggggggggggllgk", "kggggggggggggggk",
    "kkkkkkkkkkkkkkkk", "................", "................", "................", "................",
    "................"};
constexpr TPattern kRemovable = {
    "................", ".....kkkkkk.....", ".....kssssk.....", ".....kskksk.....", ".....kssssk.....",
    "....kkkkkkkk....", "....knnnnnnk....", "....knnnnnnk....", "....knnnnnnk....", "....knnnnnnk....",
    "....knnnnnnk....", "....knnnnnnk....", "....knnnnnnk....", "....knnnnnnk....", "....kkkkkkkk....",
    "................"};
constexpr TPattern kNetwork = {
    "................", "................", "kkkkkkkkkkkkkkkk", "kggggggggggggggk", "kggggggggggggggk",
    "kgggggggggggllgk", "kggggggggggggggk", "kkkkkkkkkkkkkkkk", ".......kk.......", ".......kk.......",
    ".......kk.......", "..kkkkkkkkkkkk..", "..kkkkkkkkkkkk..", "................", "................",
    "................"};
constexpr TPattern kOptical = {
    ".....kkkkkk.....", "...kkssssssk....", "..kssssssssssk..", ".kssssssssssssk.", ".kssssssssssssk.",
    "kssssskkkksssssk", "ksssssk..ksssssk", "ksssssk..ksssssk", "ksssssk..ksssssk", "kssssskkkksssssk",
    ".kssssssssssssk.", ".kssssssssssssk.", "..kssssssssssk..", "...kkssssssk....", ".....kkkkkk.....",
    "................"};

const TPattern& PatternOf(TDriveType type) {
    switch (type) {
    case TDriveType::dtRemovable: return kRemovable;
    case TDriveType::dtNetwork: return kNetwork;
    case TDriveType::dtOptical: return kOptical;
    case TDriveType::dtFixed: break;
    }
    return kFixed;
}

TColor ColorOf(char key) {
    switch (key) {
    case 'k': return clBlack;
    case 's': return clSilver;
    case 'g': return clGray;
    case 'n': return clNavy;
    case 'l': return clLime;
    default: return clWhite;
    }
}

std::unique_ptr<TBitmap> DrawPicture(TDriveType type) {
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(pf32bit);
    picture->SetSize(kPictureSize, kPictureSize);
    TCanvas* canvas = picture->Canvas();
    const TPattern& pattern = PatternOf(type);
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x) canvas->SetPixel(x, y, ColorOf(pattern[size_t(y)][x]));
    picture->SetTransparentColor(clWhite);
    picture->SetTransparent(true);
    return picture;
}

} // namespace

// --- The control -------------------------------------------------------------------------------

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    TCustomComboBox::SetStyle(csOwnerDrawFixed);
    for (TDriveType type : {TDriveType::dtFixed, TDriveType::dtRemovable, TDriveType::dtNetwork, TDriveType::dtOptical})
        pictures_[size_t(type)] = DrawPicture(type);
}

TDriveComboBox::~TDriveComboBox() {
    // The items point at the pictures: they go first.
    Items()->Clear();
}

void TDriveComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    ResetItems();
}

void TDriveComboBox::BuildList() {
    std::ifstream file("/proc/self/mounts");
    std::stringstream table;
    table << file.rdbuf();
    for (const TMountedVolume& volume : MountedVolumes(table.str()))
        Items()->AddObject(volume.path, DrivePicture(volume.type));
}

void TDriveComboBox::ResetItems() {
    const char16_t chosen = Drive();
    Items()->BeginUpdate();
    Items()->Clear();
    BuildList();
    Items()->EndUpdate();
    SetDrive(chosen);
}

char16_t TDriveComboBox::Drive() {
    const int index = ItemIndex();
    if (index < 0) return drive_;
    const String item = Items()->Strings(index);
    return item.empty() ? drive_ : item[0];
}

void TDriveComboBox::SetDrive(char16_t value) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    for (int i = 0; i < Items()->Count(); ++i) {
        const String item = Items()->Strings(i);
        if (!item.empty() && lower(item[0]) == lower(value)) {
            drive_ = value;
            SetItemIndex(i);
            return;
        }
    }
}

void TDriveComboBox::SetTextCase(TTextCase value) {
    if (textCase_ == value) return;
    textCase_ = value;
    if (HandleAllocated()) ResetItems();
}

// The item's picture, then its text.
void TDriveComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    if (OnDrawItem) return OnDrawItem(this, index, rect, state);
    TCanvas* canvas = Canvas();
    canvas->FillRect(rect);
    if (index < 0) return;
    int x = rect.Left + 2;
    if (auto* picture = dynamic_cast<TGraphic*>(Items()->Objects(index))) {
        canvas->Draw(x, rect.Top + (rect.Bottom - rect.Top - picture->Height()) / 2, picture);
        x += picture->Width() + 4;
    }
    canvas->TextOut(x, rect.Top + (rect.Bottom - rect.Top - canvas->TextHeight(u"Wg")) / 2,
                    Items()->Strings(index));
}
