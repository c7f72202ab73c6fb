#pragma once
// TXcFormPlacement: a component on a form that remembers the form's window
// placement (and optionally its active control and a version number) in an
// application storage below AppStoragePath, and puts it back when the form is
// first shown. Built in the form's loading bracket, it takes over the form's
// OnShow (restore, then the form's handler), OnCloseQuery (the form's
// handler, then save when the form may close) and OnDestroy (save when
// nothing was saved yet, then the form's handler), and gives them back when
// it goes.
//
// Links (XcFormPlacementLink.h) are told after every WritePlacement and
// ReadPlacement.
//
// PreventResize keeps the user from sizing or maximizing the form; a
// MinMaxInfo with non-zero fields limits its tracking sizes. Both work
// through a window hook on the form that answers after the form's own
// handling.

#include <array>
#include <memory>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/ui/Forms.h"
#include "support/storage/XcTypes.h"
#include "supportui/XcPlacementValues.h"
#include "supportui/XcWindowHook.h"

class TXcCustomAppStorage;
class TXcFormPlacement;
class TXcFormPlacementLink;

enum class TXcFormPlacementVersionCheck { fpvcNocheck, fpvcCheckGreaterEqual, fpvcCheckEqual };
using enum TXcFormPlacementVersionCheck;
RTL_ENUM(TXcFormPlacementVersionCheck, fpvcNocheck, fpvcCheckGreaterEqual, fpvcCheckEqual);

// Limits for the form's window; 0 leaves a field as the window system has it.
class TXcWinMinMaxInfo : public TPersistent {
    RTL_CLASS(TXcWinMinMaxInfo, TPersistent);

public:
    enum TField { MaxPosLeft, MaxPosTop, MaxSizeHeight, MaxSizeWidth, MaxTrackHeight, MaxTrackWidth, MinTrackHeight, MinTrackWidth };

    explicit TXcWinMinMaxInfo(TXcFormPlacement* placement = nullptr) : placement_(placement) {}
    void Assign(TPersistent* source) override;

    int Field(int index) const { return fields_.at(size_t(index)); }
    void SetField(int index, int value);
    // All fields 0.
    bool IsDefault() const noexcept;
    // Copies the non-zero fields into the record.
    void ApplyTo(MINMAXINFO& info) const;

private:
    TXcFormPlacement* placement_;
    std::array<int, 8> fields_{};
};

class TXcFormPlacement : public TXcComponent {
    RTL_CLASS(TXcFormPlacement, TXcComponent);

public:
    explicit TXcFormPlacement(TComponent* owner);
    ~TXcFormPlacement() override;

    bool Active() const noexcept { return active_; }
    void SetActive(bool value) { active_ = value; }
    TXcCustomAppStorage* AppStorage() const noexcept { return appStorage_; }
    void SetAppStorage(TXcCustomAppStorage* value);
    const String& AppStoragePath() const noexcept { return appStoragePath_; }
    // "\" is appended to a path without one; at run time the path is resolved at once.
    void SetAppStoragePath(const String& value);
    TXcWinMinMaxInfo* MinMaxInfo() const noexcept { return minMaxInfo_.get(); }
    void SetMinMaxInfo(TXcWinMinMaxInfo* value) { minMaxInfo_->Assign(value); }
    TPlacementOptions Options() const noexcept { return options_; }
    void SetOptions(TPlacementOptions value) { options_ = value; }
    bool PreventResize() const noexcept { return preventResize_; }
    // Only with a form as owner.
    void SetPreventResize(bool value);
    int Version() const noexcept { return version_; }
    void SetVersion(int value) { version_ = value; }
    TXcFormPlacementVersionCheck VersionCheck() const noexcept { return versionCheck_; }
    void SetVersionCheck(TXcFormPlacementVersionCheck value) { versionCheck_ = value; }

    // The whole save and the whole restore the form's events run.
    void StorePlacement();
    void LoadPlacement();
    // Replaces "%FORM_NAME%" in AppStoragePath by the form's name (a frame's
    // dotted chain of names).
    void ResolveStoragePath();
    // Puts the form's maximized position just off its frame (only without
    // PreventResize and limits).
    void UpdatePlacement();
    bool Restored() const noexcept { return restored_; }
    bool Saved() const noexcept { return saved_; }
    // The owner when it is a form.
    TCustomForm* Form() const;

    // Values below AppStoragePath; without storage or name reads give their default.
    String PlacementReadString(const String& name, const String& defaultValue);
    void PlacementWriteString(const String& name, const String& value);
    bool PlacementReadBool(const String& name, bool defaultValue);
    void PlacementWriteBool(const String& name, bool value);
    double PlacementReadFloat(const String& name, double defaultValue);
    void PlacementWriteFloat(const String& name, double value);
    int PlacementReadInteger(const String& name, int defaultValue);
    void PlacementWriteInteger(const String& name, int value);
    TDateTime PlacementReadDateTime(const String& name, TDateTime defaultValue);
    void PlacementWriteDateTime(const String& name, TDateTime value);

    TNotifyEvent BeforeSavePlacement;
    TNotifyEvent OnSavePlacement;
    TNotifyEvent AfterSavePlacement;
    TNotifyEvent BeforeRestorePlacement;
    TNotifyEvent OnRestorePlacement;
    TNotifyEvent AfterRestorePlacement;

protected:
    virtual void WritePlacement();
    virtual void ReadPlacement();
    virtual void DoSavePlacement();
    virtual void DoRestorePlacement();
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool Destroying() const noexcept { return destroying_; }
    void MarkRestored() { restored_ = true; }

private:
    friend class TXcWinMinMaxInfo;
    friend class TXcFormPlacementLink;

    void AddLink(TXcFormPlacementLink* link) { links_.push_back(link); }
    void RemoveLink(TXcFormPlacementLink* link);
    // Tells every link; one may leave the list meanwhile.
    void NotifyLinks(bool saved);

    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool Loading() const { return ComponentState().Contains(csLoading); }
    String PlacementPath(const String& name, bool reading);
    void MinMaxInfoModified();
    void TakeOverFormEvents();
    void GiveBackFormEvents();
    void ApplyPreventResize();
    void AttachOrDetachHook();
    void FormShow(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormDestroy(TObject* sender);
    void WndMessage(TObject* sender, TMessage& message, bool& handled);

    bool active_ = true;
    TXcCustomAppStorage* appStorage_ = nullptr;
    String appStoragePath_ = u"%FORM_NAME%";
    std::unique_ptr<TXcWinMinMaxInfo> minMaxInfo_;
    TPlacementOptions options_;
    bool preventResize_ = false;
    int version_ = 0;
    TXcFormPlacementVersionCheck versionCheck_ = fpvcCheckGreaterEqual;
    std::unique_ptr<TXcWindowHook> hook_;
    bool saved_ = false;
    bool restored_ = false;
    bool destroying_ = false;
    bool formEventsTaken_ = false;
    bool formHadMaximize_ = true;
    TNotifyEvent savedShow_;
    TCloseQueryEvent savedCloseQuery_;
    TNotifyEvent savedDestroy_;
    std::vector<TXcFormPlacementLink*> links_;
};
