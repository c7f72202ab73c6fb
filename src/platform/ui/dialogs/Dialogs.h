#pragma once
// The common dialogs as components: TOpenDialog and TSaveDialog (also for
// pictures). Execute asks the desktop's file chooser first and shows our own
// file dialog when there is none (or always, as FileDialogMode says); either
// way it is modal, never changes the process's current folder, and answers
// absolute paths.

#include <memory>

#include "platform/rtl/Component.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Events.h"

enum class TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
    ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
    ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
    ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent,
    ofForceShowHidden
};
using enum TOpenOption;
RTL_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
         ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
         ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
         ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden);
using TOpenOptions = TSet<TOpenOption>;

enum class TFileEditStyle { fsEdit, fsComboBox };
using enum TFileEditStyle;
RTL_ENUM(TFileEditStyle, fsEdit, fsComboBox);

class TCommonDialog : public TComponent {
    RTL_CLASS(TCommonDialog, TComponent);

public:
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}

    virtual bool Execute() = 0;
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    void DoShow() {
        if (OnShow) OnShow(this);
    }
    void DoClose() {
        if (OnClose) OnClose(this);
    }

private:
    int helpContext_ = 0;
};

class TOpenDialog : public TCommonDialog {
    RTL_CLASS(TOpenDialog, TCommonDialog);

public:
    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;

    bool Execute() override;

    String Title() const { return title_; }
    void SetTitle(const String& value) { title_ = value; }
    // "description|mask;mask|description|mask".
    String Filter() const { return filter_; }
    void SetFilter(const String& value) { filter_ = value; }
    // 1-based; 0 counts as 1. Execute sets it to the filter chosen.
    int FilterIndex() const noexcept { return filterIndex_; }
    void SetFilterIndex(int value) { filterIndex_ = value; }
    String InitialDir() const { return initialDir_; }
    void SetInitialDir(const String& value) { initialDir_ = value; }
    // The first of Files after Execute; kept as it was when cancelled.
    String FileName() const { return fileName_; }
    void SetFileName(const String& value) { fileName_ = value; }
    TStrings* Files() const noexcept { return files_.get(); }
    // Without the dot; appended to a saved name that has no extension.
    String DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const String& value) { defaultExt_ = value; }
    // The names offered by the file-name combo of our dialog (fsComboBox).
    TStrings* HistoryList() const noexcept { return historyList_.get(); }
    void SetHistoryList(TStrings* value) { historyList_->Assign(value); }
    TFileEditStyle FileEditStyle() const noexcept { return fileEditStyle_; }
    void SetFileEditStyle(TFileEditStyle value) { fileEditStyle_ = value; }
    TOpenOptions Options() const noexcept { return options_; }
    void SetOptions(TOpenOptions value) { options_ = value; }

protected:
    // Execute for opening (false) or saving (true).
    bool ExecuteFor(bool save);

private:
    // The chosen names become Files and FileName; false when none is left.
    bool Accept(const std::vector<String>& names, int filterIndex, bool save, bool askOverwrite);

    String title_;
    String filter_;
    int filterIndex_ = 1;
    String initialDir_;
    String fileName_;
    std::unique_ptr<TStringList> files_;
    String defaultExt_;
    std::unique_ptr<TStringList> historyList_;
    TFileEditStyle fileEditStyle_ = fsEdit;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
    RTL_CLASS(TSaveDialog, TOpenDialog);

public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override { return ExecuteFor(true); }
};

// The open and save dialogs with the picture formats' filter as their default.
class TOpenPictureDialog : public TOpenDialog {
    RTL_CLASS(TOpenPictureDialog, TOpenDialog);

public:
    explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TSaveDialog {
    RTL_CLASS(TSavePictureDialog, TSaveDialog);

public:
    explicit TSavePictureDialog(TComponent* owner);
};

// The filter of every registered picture format: all of them first, then each.
String PictureDialogFilter();
