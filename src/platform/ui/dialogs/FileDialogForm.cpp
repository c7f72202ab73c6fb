#include "platform/ui/dialogs/FileDialogForm.h"

#include <fstream>
#include <sstream>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/UserFolders.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/ui/comctrls/DriveComboBox.h"
#include "platform/ui/comctrls/ListView.h"
#include "platform/ui/dialogs/DialogStrings.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/stdctrls/ComboBox.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/Label.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/ui/stdctrls/Panel.h"
#include "platform/ui/stdctrls/StdButtons.h"
#include "platform/win/User.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/shell/FileIcons.h"
#include "platform/win/controls/folderdialog/FolderTree.h"

namespace {

String lastFolder;

constexpr int kIconSize = 16;
// A places row: the picture and a line of text with a little air around both.
constexpr int kPlaceRowHeight = kIconSize + 6;
constexpr int kPlaceMargin = 4;

// Adds Icon (destroyed then) to List; its index.
int AddToList(TImageList* list, HICON icon) {
    const int index = ImageList_AddIcon(list->Handle(), icon);
    DestroyIcon(icon);
    return index;
}

String SizeText(const TFolderEntry& entry) {
    if (entry.folder) return String();
    return Format(u"%d KB", {int64_t((entry.size + 1023) / 1024)});
}

// An absolute path without "." and ".." parts and without a trailing '/' (but "/").
String Normalized(const String& path) {
    std::vector<String> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find(u'/', start);
        if (end == String::npos) end = path.size();
        const String part = path.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.IsEmpty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    String result;
    for (const String& part : parts) result += u"/" + part;
    return result.IsEmpty() ? String(u"/") : result;
}

// A name typed relative to Folder ("~" is the home folder).
String Resolved(const String& folder, const String& name) {
    if (name.starts_with(u'/')) return Normalized(name);
    if (name == u"~" || name.starts_with(u"~/")) return Normalized(HomeFolder() + name.substr(1));
    return Normalized(IncludeTrailingPathDelimiter(folder) + name);
}

String ParentOf(const String& folder) {
    if (folder == u"/") return folder;
    const size_t slash = folder.rfind(u'/');
    return slash == 0 || slash == String::npos ? String(u"/") : folder.substr(0, slash);
}

std::string MountTable() {
    std::ifstream in("/proc/self/mounts");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

template <class T>
T* Child(TWinControl* parent, TComponent* owner) {
    auto* control = new T(owner);
    control->SetParent(parent);
    return control;
}

} // namespace

String FileDialogStartFolder(const String& initial, const String& fileName) {
    if (initial.starts_with(u'/') && DirectoryExists(initial)) return Normalized(initial);
    if (fileName.starts_with(u'/')) {
        const String folder = ExtractFileDir(fileName);
        if (!folder.IsEmpty() && DirectoryExists(folder)) return Normalized(folder);
    }
    if (!lastFolder.IsEmpty() && DirectoryExists(lastFolder)) return lastFolder;
    return HomeFolder();
}

void RememberFileDialogFolder(const String& folder) { lastFolder = folder; }

bool ConfirmReplace(const String& fileName, const String& caption) {
    return ShowMessageBox(Format(LoadResString(SConfirmOverwrite), {fileName}), caption, MB_YESNO | MB_ICONWARNING) ==
           IDYES;
}

TFileDialogForm::TFileDialogForm(TComponent* owner, const TFileDialogSettings& settings)
    : TForm(owner), settings_(settings) {
    BeginLoading();
    Build();
    SetActiveControl(nameControl_);
    EndLoading();
    Navigate(settings_.folder.IsEmpty() ? HomeFolder() : settings_.folder);
    nameControl_->SetText(settings_.fileName);
}

void TFileDialogForm::Build() {
    const bool save = settings_.save;
    SetCaption(settings_.title.IsEmpty() ? LoadResString(save ? SSaveCaption : SOpenCaption) : settings_.title);
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    SetClientWidth(640);
    SetClientHeight(420);
    Constraints()->SetMinWidth(420);
    Constraints()->SetMinHeight(260);

    auto* top = Child<TPanel>(this, this);
    top->SetBevelOuter(bvNone);
    top->SetAlign(alTop);
    top->SetHeight(34);
    pathEdit_ = Child<TEdit>(top, this);
    pathEdit_->SetReadOnly(true);
    pathEdit_->SetTabStop(false);
    pathEdit_->SetBounds(8, 6, 640 - 8 - 96, pathEdit_->Height());
    pathEdit_->SetAnchors({akLeft, akTop, akRight});
    upButton_ = Child<TButton>(top, this);
    upButton_->SetCaption(LoadResString(SUpButton));
    upButton_->SetBounds(640 - 84, 5, 76, 25);
    upButton_->SetAnchors({akTop, akRight});
    upButton_->OnClick = [this](TObject*) { GoUp(); };

    auto* bottom = Child<TPanel>(this, this);
    bottom->SetBevelOuter(bvNone);
    bottom->SetAlign(alBottom);
    bottom->SetHeight(70);
    auto* nameLabel = Child<TLabel>(bottom, this);
    nameLabel->SetCaption(LoadResString(SFileNameLabel));
    nameLabel->SetBounds(8, 12, 90, 17);
    if (settings_.history) {
        auto* combo = Child<TComboBox>(bottom, this);
        combo->Items()->Assign(*settings_.history);
        nameControl_ = combo;
    } else {
        nameControl_ = Child<TEdit>(bottom, this);
    }
    nameControl_->SetBounds(104, 8, 640 - 104 - 96, 23);
    nameControl_->SetAnchors({akLeft, akTop, akRight});
    nameLabel->SetFocusControl(nameControl_);
    auto* typeLabel = Child<TLabel>(bottom, this);
    typeLabel->SetCaption(LoadResString(SFileTypeLabel));
    typeLabel->SetBounds(8, 42, 90, 17);
    filterCombo_ = Child<TComboBox>(bottom, this);
    filterCombo_->SetStyle(csDropDownList);
    filterCombo_->SetBounds(104, 38, 640 - 104 - 96, 23);
    filterCombo_->SetAnchors({akLeft, akTop, akRight});
    typeLabel->SetFocusControl(filterCombo_);
    for (const TFileFilter& filter : settings_.filters) filterCombo_->Items()->Add(filter.description);
    if (!settings_.filters.empty())
        filterCombo_->SetItemIndex(std::clamp(settings_.filterIndex, 0, int(settings_.filters.size()) - 1));
    filterCombo_->OnChange = [this](TObject*) { ShowEntries(); };
    okButton_ = Child<TButton>(bottom, this);
    okButton_->SetCaption(LoadResString(save ? SSaveButton : SOpenButton));
    okButton_->SetBounds(640 - 84, 7, 76, 25);
    okButton_->SetAnchors({akTop, akRight});
    okButton_->SetDefault(true);
    okButton_->OnClick = [this](TObject*) { AcceptClicked(); };
    cancelButton_ = Child<TButton>(bottom, this);
    cancelButton_->SetCaption(LoadResString(SCancelButton));
    cancelButton_->SetBounds(640 - 84, 37, 76, 25);
    cancelButton_->SetAnchors({akTop, akRight});
    cancelButton_->SetCancel(true);
    cancelButton_->SetModalResult(mrCancel);

    icons_ = new TImageList(this);
    icons_->SetSize(kIconSize, kIconSize);

    places_ = Child<TListBox>(this, this);
    places_->SetAlign(alLeft);
    places_->SetWidth(128);
    places_->SetStyle(lbOwnerDrawFixed);
    places_->SetItemHeight(kPlaceRowHeight);
    places_->OnDrawItem = [this](TWinControl*, int index, TRect rect, TOwnerDrawState) { DrawPlace(index, rect); };
    AddPlaces();
    places_->OnClick = [this](TObject*) {
        const int index = places_->ItemIndex();
        if (index >= 0 && index < int(placeFolders_.size())) Navigate(placeFolders_[size_t(index)]);
    };

    list_ = Child<TListView>(this, this);
    list_->SetAlign(alClient);
    list_->SetRowSelect(true);
    list_->SetReadOnly(true);
    list_->SetHideSelection(false);
    list_->SetMultiSelect(settings_.multiSelect);
    list_->SetSmallImages(icons_);
    const std::pair<const TResStringRec*, int> columns[] = {{&SNameColumn, 260}, {&SSizeColumn, 90}, {&SModifiedColumn, 130}};
    for (const auto& [caption, width] : columns) {
        TListColumn* column = list_->Columns()->Add();
        column->SetCaption(LoadResString(*caption));
        column->SetWidth(width);
    }
    list_->Columns()->Items(1)->SetAlignment(taRightJustify);
    list_->OnSelectItem = [this](TObject*, TListItem*, bool) { SelectionChanged(); };
    list_->OnDblClick = [this](TObject*) { AcceptClicked(); };
    list_->OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) {
        if (key == VK_BACK) {
            GoUp();
            key = 0;
        } else if (key == VK_RETURN) {
            AcceptClicked();
            key = 0;
        }
    };
}

void TFileDialogForm::AddPlaces() {
    const auto add = [this](const String& caption, const String& folder, const char16_t* iconName) {
        places_->Items()->Add(caption);
        placeFolders_.push_back(folder);
        placeImages_.push_back(AddToList(icons_, PlaceIcon(iconName, kIconSize)));
    };
    const struct {
        const TResStringRec* caption;
        String folder;
        const char16_t* iconName; // freedesktop's name of the picture
    } places[] = {
        {&SPlaceHome, HomeFolder(), u"user-home"},
        {&SPlaceDesktop, UserFolder(TUserFolder::ufDesktop), u"user-desktop"},
        {&SPlaceVideos, UserFolder(TUserFolder::ufVideos), u"folder-videos"},
        {&SPlaceMusic, UserFolder(TUserFolder::ufMusic), u"folder-music"},
        {&SPlacePictures, UserFolder(TUserFolder::ufPictures), u"folder-pictures"},
        {&SPlaceDownloads, UserFolder(TUserFolder::ufDownload), u"folder-download"},
        {&SPlaceRoot, u"/", u"drive-harddisk"},
    };
    for (const auto& place : places)
        if (place.folder == u"/" || DirectoryExists(place.folder))
            add(LoadResString(*place.caption), place.folder, place.iconName);
    for (const TMountedVolume& volume : MountedVolumes(MountTable())) {
        if (volume.path == u"/") continue;
        const String name = ExtractFileName(volume.path);
        add(name.IsEmpty() ? volume.path : name, volume.path, u"drive-removable-media");
    }
}

void TFileDialogForm::DrawPlace(int index, const TRect& rect) {
    TCanvas* canvas = places_->Canvas();
    canvas->FillRect(rect);
    icons_->Draw(canvas, rect.Left + kPlaceMargin, rect.Top + (rect.Height() - kIconSize) / 2, PlaceImage(index));
    const String& caption = places_->Items()->Strings(index);
    const int textLeft = rect.Left + kPlaceMargin * 2 + kIconSize;
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(textLeft, rect.Top + (rect.Height() - canvas->TextHeight(caption)) / 2, caption);
}

int TFileDialogForm::ImageOfType(const String& mimeType) {
    const auto [found, added] = typeImages_.try_emplace(mimeType, -1);
    if (added) found->second = AddToList(icons_, MimeTypeIcon(mimeType, kIconSize));
    return found->second;
}

int TFileDialogForm::FilterIndex() { return std::max(filterCombo_->ItemIndex(), 0); }

void TFileDialogForm::SetFilterIndex(int index) {
    filterCombo_->SetItemIndex(index);
    ShowEntries();
}

bool TFileDialogForm::Navigate(const String& folder) {
    const String target = Normalized(folder);
    if (!DirectoryExists(target)) return false;
    folder_ = target;
    entries_ = ReadFolder(folder_);
    pathEdit_->SetText(folder_);
    upButton_->SetEnabled(folder_ != u"/");
    ShowEntries();
    return true;
}

void TFileDialogForm::GoUp() {
    if (folder_ != u"/") Navigate(ParentOf(folder_));
}

void TFileDialogForm::ShowEntries() {
    const int filter = filterCombo_->ItemIndex();
    static const std::vector<String> everything;
    shown_ = FilterFolder(entries_, filter >= 0 && filter < int(settings_.filters.size())
                                        ? settings_.filters[size_t(filter)].masks
                                        : everything);
    filling_ = true;
    TListItems* items = list_->Items();
    items->BeginUpdate();
    items->Clear();
    for (size_t i = 0; i < shown_.size(); ++i) {
        const TFolderEntry& entry = *shown_[i];
        TListItem* item = items->Add();
        item->SetCaption(entry.name);
        item->SetImageIndex(ImageOfType(FileMimeType(JoinPath(folder_, entry.name), entry.folder)));
        item->SubItems()->Add(SizeText(entry));
        item->SubItems()->Add(FormatDateTime(u"yyyy-mm-dd hh:nn", entry.modified));
        item->SetData(reinterpret_cast<void*>(i));
    }
    items->EndUpdate();
    filling_ = false;
}

const TFolderEntry* TFileDialogForm::EntryOf(TListItem* item) const {
    const size_t index = reinterpret_cast<size_t>(item->Data());
    return index < shown_.size() ? shown_[index] : nullptr;
}

const TFolderEntry* TFileDialogForm::SingleSelectedFolder() const {
    if (list_->SelCount() != 1) return nullptr;
    const TFolderEntry* entry = EntryOf(list_->Selected());
    return entry && entry->folder ? entry : nullptr;
}

void TFileDialogForm::SelectionChanged() {
    if (filling_) return;
    std::vector<String> files;
    TListItems* items = list_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        if (!item->Selected()) continue;
        const TFolderEntry* entry = EntryOf(item);
        if (entry && !entry->folder) files.push_back(entry->name);
    }
    if (files.empty()) return;
    if (files.size() == 1) {
        nameControl_->SetText(files.front());
        return;
    }
    String text;
    for (const String& name : files) text += (text.IsEmpty() ? u"\"" : u" \"") + name + u"\"";
    nameControl_->SetText(text);
}

std::vector<String> TFileDialogForm::TypedNames() const {
    const String text = nameControl_->Text();
    std::vector<String> names;
    if (settings_.multiSelect && text.find(u'"') != String::npos) {
        size_t at = 0;
        while ((at = text.find(u'"', at)) != String::npos) {
            const size_t end = text.find(u'"', at + 1);
            const String name = text.substr(at + 1, (end == String::npos ? text.size() : end) - at - 1);
            if (!name.IsEmpty()) names.push_back(name);
            if (end == String::npos) break;
            at = end + 1;
        }
        return names;
    }
    size_t first = 0, last = text.size();
    while (first < last && text[first] == u' ') ++first;
    while (last > first && text[last - 1] == u' ') --last;
    if (last > first) names.push_back(text.substr(first, last - first));
    return names;
}

void TFileDialogForm::AcceptClicked() {
    const bool listFocused = ActiveControl() == list_;
    if (const TFolderEntry* folder = SingleSelectedFolder(); folder && listFocused) {
        Navigate(IncludeTrailingPathDelimiter(folder_) + folder->name);
        return;
    }
    std::vector<String> names;
    for (const String& typed : TypedNames()) names.push_back(Resolved(folder_, typed));
    if (names.empty()) {
        if (const TFolderEntry* folder = SingleSelectedFolder())
            Navigate(IncludeTrailingPathDelimiter(folder_) + folder->name);
        return;
    }
    if (names.size() == 1 && DirectoryExists(names.front())) {
        Navigate(names.front());
        nameControl_->SetText(String());
        return;
    }
    if (!Confirm(names)) return;
    chosen_ = std::move(names);
    RememberFileDialogFolder(folder_);
    SetModalResult(mrOk);
}

bool TFileDialogForm::Confirm(std::vector<String>& names) {
    for (String& name : names) {
        if (settings_.save && !settings_.defaultExt.IsEmpty() && ExtractFileExt(name).IsEmpty())
            name += u"." + settings_.defaultExt;
        const String folder = ExtractFileDir(name);
        if ((settings_.pathMustExist || settings_.fileMustExist) && !DirectoryExists(folder)) {
            ShowMessageBox(Format(LoadResString(SPathNotFound), {folder}), Caption(), MB_OK | MB_ICONWARNING);
            return false;
        }
        if (settings_.fileMustExist && !FileExists(name)) {
            ShowMessageBox(Format(LoadResString(SFileNotFound), {name}), Caption(), MB_OK | MB_ICONWARNING);
            return false;
        }
        if (settings_.save && settings_.overwritePrompt && FileExists(name) && !ConfirmReplace(name, Caption()))
            return false;
    }
    return true;
}
