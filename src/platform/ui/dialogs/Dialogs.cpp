#include "platform/ui/dialogs/Dialogs.h"

#include <algorithm>

#include "platform/rtl/Files.h"
#include "platform/ui/dialogs/DialogStrings.h"
#include "platform/ui/dialogs/FileDialogForm.h"
#include "platform/ui/dialogs/FolderListing.h"
#include "platform/ui/graphics/Graphic.h"
#include "platform/ui/graphics/PictureFormats.h"
#include "platform/ui/Screen.h"
#include "platform/win/shell/FileChooser.h"
#include "platform/win/User.h"

RTL_PUBLISHED(TCommonDialog, c) {
    c.Property("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).Default(0);
    c.Property("OnClose", &TCommonDialog::OnClose, &TCommonDialog::OnClose);
    c.Property("OnShow", &TCommonDialog::OnShow, &TCommonDialog::OnShow);
}

RTL_PUBLISHED(TOpenDialog, c) {
    c.Property("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
    c.Property("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
    c.Property("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
    c.Property("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
    c.Property("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
    c.Property("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
        .Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    c.Property("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
    c.Property("HistoryList", &TOpenDialog::HistoryList, &TOpenDialog::SetHistoryList);
    c.Property("FileEditStyle", &TOpenDialog::FileEditStyle, &TOpenDialog::SetFileEditStyle).Default(fsEdit);
}

RTL_PUBLISHED_NONE(TSaveDialog);
RTL_PUBLISHED_NONE(TOpenPictureDialog);
RTL_PUBLISHED_NONE(TSavePictureDialog);

namespace {

// The owner's top-level window: the active one of the thread.
HWND DialogOwner() { return GetActiveWindow(); }

} // namespace

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner), files_(std::make_unique<TStringList>()), historyList_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() { return ExecuteFor(false); }

bool TOpenDialog::ExecuteFor(bool save) {
    const std::vector<TFileFilter> filters = ParseFileFilter(filter_);
    const int filterIndex = filters.empty() ? 0 : std::clamp(filterIndex_ - 1, 0, int(filters.size()) - 1);
    const String startFolder = FileDialogStartFolder(initialDir_, fileName_);
    const String startName = ExtractFileName(fileName_);
    DoShow();
    bool accepted = false;
    bool shown = false;
    if (FileDialogMode() == TFileDialogMode::fdDesktopThenOwn && FileChooser()) {
        TFileChooserRequest request;
        request.save = save;
        request.owner = DialogOwner();
        request.title = title_.IsEmpty() ? LoadResString(save ? SSaveCaption : SOpenCaption) : title_;
        request.multiple = options_.Contains(ofAllowMultiSelect);
        for (const TFileFilter& filter : filters) request.filters.push_back({filter.description, filter.masks});
        request.currentFilter = filterIndex;
        request.currentFolder = startFolder;
        if (save) {
            request.currentName = startName;
            if (fileName_.starts_with(u'/') && FileExists(fileName_)) request.currentFile = fileName_;
        }
        const TFileChooserAnswer answer = FileChooser()->Choose(request);
        if (answer.outcome != TFileChooserOutcome::Unavailable) {
            shown = true;
            if (answer.outcome == TFileChooserOutcome::Chosen)
                accepted = Accept(answer.files, answer.filter >= 0 ? answer.filter : filterIndex, save,
                                  save && options_.Contains(ofOverwritePrompt));
        }
    }
    if (!shown) {
        TFileDialogSettings settings;
        settings.save = save;
        settings.title = title_;
        settings.filters = filters;
        settings.filterIndex = filterIndex;
        settings.folder = startFolder;
        settings.fileName = startName;
        settings.multiSelect = options_.Contains(ofAllowMultiSelect);
        settings.fileMustExist = options_.Contains(ofFileMustExist);
        settings.pathMustExist = options_.Contains(ofPathMustExist);
        settings.overwritePrompt = options_.Contains(ofOverwritePrompt);
        settings.defaultExt = defaultExt_;
        if (fileEditStyle_ == fsComboBox) settings.history = historyList_.get();
        TFileDialogForm form(nullptr, settings);
        if (form.ShowModal() == mrOk) accepted = Accept(form.Chosen(), form.FilterIndex(), save, false);
    }
    DoClose();
    return accepted;
}

bool TOpenDialog::Accept(const std::vector<String>& names, int filterIndex, bool save, bool askOverwrite) {
    std::vector<String> files;
    for (String name : names) {
        if (save && !defaultExt_.IsEmpty() && ExtractFileExt(name).IsEmpty()) {
            name += u"." + defaultExt_;
            // The desktop's dialog confirmed another name: this one is asked here.
            if (askOverwrite && FileExists(name) && !ConfirmReplace(name, title_)) return false;
        }
        files.push_back(name);
    }
    if (files.empty()) return false;
    files_->Clear();
    for (const String& name : files) files_->Add(name);
    fileName_ = files.front();
    filterIndex_ = filterIndex + 1;
    RememberFileDialogFolder(ExtractFileDir(fileName_));
    return true;
}

String PictureDialogFilter() { return GraphicFilter(TGraphic::StaticClass()); }

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) { SetFilter(PictureDialogFilter()); }

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TSaveDialog(owner) { SetFilter(PictureDialogFilter()); }
