#pragma once
// Our own file dialog: places on the left (the user's folders, the root,
// mounted volumes), the current folder's path with an "up" button, the
// folder's entries in a report list (folders first, files that match the
// chosen filter), the file-name edit (or a combo with a history), the filter
// combo and the accept and cancel buttons. Entries and places show the
// desktop's pictures (platform/win/shell/FileIcons.h): an entry that of its
// MIME type, a place that of its kind of folder.
//
// Double click or Enter opens a folder or accepts a file, Backspace in the
// list goes up, a typed folder path navigates and a typed file path accepts.
// The process's current folder is never changed.

#include <map>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/dialogs/FolderListing.h"

class TButton;
class TComboBox;
class TEdit;
class TImageList;
class TListBox;
class TListItem;
class TListView;

struct TFileDialogSettings {
    bool save = false;
    String title;
    std::vector<TFileFilter> filters;
    int filterIndex = 0; // into filters
    String folder;       // an existing folder to start in
    String fileName;     // the name shown in the file-name edit at first
    bool multiSelect = false;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool overwritePrompt = false;
    String defaultExt;                  // appended to a saved name without extension
    const TStrings* history = nullptr; // with one, the file name is a combo offering it
};

class TFileDialogForm : public TForm {
public:
    TFileDialogForm(TComponent* owner, const TFileDialogSettings& settings);

    // After mrOk: the absolute names chosen, in list order.
    const std::vector<String>& Chosen() const noexcept { return chosen_; }
    // The filter chosen, an index into the settings' filters; choosing one lists again.
    int FilterIndex();
    void SetFilterIndex(int index);
    String Folder() const { return folder_; }
    // Shows Folder's entries; false when it is no folder that can be read.
    bool Navigate(const String& folder);
    void GoUp();

    // The parts, for the program's tests and for focus.
    TListView* FileList() const noexcept { return list_; }
    TWinControl* FileNameControl() const noexcept { return nameControl_; }
    TComboBox* FilterCombo() const noexcept { return filterCombo_; }
    TListBox* Places() const noexcept { return places_; }
    TButton* UpButton() const noexcept { return upButton_; }
    TButton* OkButton() const noexcept { return okButton_; }
    TButton* CancelButton() const noexcept { return cancelButton_; }
    // The places' folders, in the places list's order.
    const std::vector<String>& PlaceFolders() const noexcept { return placeFolders_; }
    // The pictures of the list's items (their ImageIndex) and of the places.
    TImageList* Icons() const noexcept { return icons_; }
    int PlaceImage(int place) const { return placeImages_.at(size_t(place)); }

private:
    void Build();
    void AddPlaces();
    void DrawPlace(int index, const TRect& rect);
    // The picture of a MIME type in Icons, added when first asked for.
    int ImageOfType(const String& mimeType);
    // Fills the list from the folder's entries under the chosen filter.
    void ShowEntries();
    void SelectionChanged();
    // The accept button, Enter and a double click on a file.
    void AcceptClicked();
    // Names typed into the file-name edit: one, or several in double quotes.
    std::vector<String> TypedNames() const;
    // Checks the names as the options ask; false when the dialog stays open.
    bool Confirm(std::vector<String>& names);
    const TFolderEntry* EntryOf(TListItem* item) const;
    const TFolderEntry* SingleSelectedFolder() const;

    TFileDialogSettings settings_;
    String folder_;
    std::vector<TFolderEntry> entries_;
    std::vector<const TFolderEntry*> shown_;
    std::vector<String> chosen_;
    std::vector<String> placeFolders_;
    std::vector<int> placeImages_;
    std::map<String, int> typeImages_;
    TImageList* icons_ = nullptr;
    TEdit* pathEdit_ = nullptr;
    TButton* upButton_ = nullptr;
    TListBox* places_ = nullptr;
    TListView* list_ = nullptr;
    TWinControl* nameControl_ = nullptr;
    TComboBox* filterCombo_ = nullptr;
    TButton* okButton_ = nullptr;
    TButton* cancelButton_ = nullptr;
    bool filling_ = false; // the list is being filled: no selection events
};

// Where a file dialog starts: Initial when it is an existing folder, else the
// folder of FileName when that exists, else the folder the last dialog ended
// in, else the home folder.
String FileDialogStartFolder(const String& initial, const String& fileName);
// Remembered for the process by every file dialog that ends with a choice.
void RememberFileDialogFolder(const String& folder);
// Asks whether FileName, which exists, may be replaced: true for 是.
bool ConfirmReplace(const String& fileName, const String& caption);
