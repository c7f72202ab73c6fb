#include "supportui/XcFormPlacement.h"

#include <algorithm>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/win/User.h"
#include "support/storage/XcAppStorage.h"
#include "support/storage/XcUtils.h"
#include "supportui/XcFormPlacementLink.h"

RTL_PUBLISHED(TXcWinMinMaxInfo, c) {
    const auto field = [&c](const char* name, int index) {
        c.Property(name, &TXcWinMinMaxInfo::Field, &TXcWinMinMaxInfo::SetField).Index(index).Default(0);
    };
    field("MaxPosLeft", TXcWinMinMaxInfo::MaxPosLeft);
    field("MaxPosTop", TXcWinMinMaxInfo::MaxPosTop);
    field("MaxSizeHeight", TXcWinMinMaxInfo::MaxSizeHeight);
    field("MaxSizeWidth", TXcWinMinMaxInfo::MaxSizeWidth);
    field("MaxTrackHeight", TXcWinMinMaxInfo::MaxTrackHeight);
    field("MaxTrackWidth", TXcWinMinMaxInfo::MaxTrackWidth);
    field("MinTrackHeight", TXcWinMinMaxInfo::MinTrackHeight);
    field("MinTrackWidth", TXcWinMinMaxInfo::MinTrackWidth);
}

RTL_PUBLISHED(TXcFormPlacement, c) {
    c.Property("Active", &TXcFormPlacement::Active, &TXcFormPlacement::SetActive).Default(true);
    c.Property("AppStorage", &TXcFormPlacement::AppStorage, &TXcFormPlacement::SetAppStorage);
    c.Property("AppStoragePath", &TXcFormPlacement::AppStoragePath, &TXcFormPlacement::SetAppStoragePath);
    c.Property("MinMaxInfo", &TXcFormPlacement::MinMaxInfo, &TXcFormPlacement::SetMinMaxInfo);
    c.Property("Options", &TXcFormPlacement::Options, &TXcFormPlacement::SetOptions);
    c.Property("PreventResize", &TXcFormPlacement::PreventResize, &TXcFormPlacement::SetPreventResize).Default(false);
    c.Property("Version", &TXcFormPlacement::Version, &TXcFormPlacement::SetVersion).Default(0);
    c.Property("VersionCheck", &TXcFormPlacement::VersionCheck, &TXcFormPlacement::SetVersionCheck)
        .Default(fpvcCheckGreaterEqual);
    c.Property("BeforeSavePlacement", &TXcFormPlacement::BeforeSavePlacement);
    c.Property("OnSavePlacement", &TXcFormPlacement::OnSavePlacement);
    c.Property("AfterSavePlacement", &TXcFormPlacement::AfterSavePlacement);
    c.Property("BeforeRestorePlacement", &TXcFormPlacement::BeforeRestorePlacement);
    c.Property("OnRestorePlacement", &TXcFormPlacement::OnRestorePlacement);
    c.Property("AfterRestorePlacement", &TXcFormPlacement::AfterRestorePlacement);
}

namespace {

void Notify(const TNotifyEvent& event, TObject* sender) {
    if (event) event(sender);
}

// The frame width a maximized window keeps off the screen, by border style.
POINT FrameSize(TFormBorderStyle style) {
    switch (style) {
    case bsSingle:
    case bsToolWindow: return {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    case bsSizeable:
    case bsSizeToolWin: return {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    case bsDialog: return {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
    case bsNone: break;
    }
    return {0, 0};
}

} // namespace

// --- TXcWinMinMaxInfo -------------------------------------------------------------------

void TXcWinMinMaxInfo::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TXcWinMinMaxInfo*>(source);
    if (!other) return TPersistent::Assign(source);
    fields_ = other->fields_;
    if (placement_) placement_->MinMaxInfoModified();
}

void TXcWinMinMaxInfo::SetField(int index, int value) {
    int& field = fields_.at(size_t(index));
    if (field == value) return;
    field = value;
    if (placement_) placement_->MinMaxInfoModified();
}

bool TXcWinMinMaxInfo::IsDefault() const noexcept {
    for (int field : fields_)
        if (field != 0) return false;
    return true;
}

void TXcWinMinMaxInfo::ApplyTo(MINMAXINFO& info) const {
    const auto copy = [this](LONG& target, TField field) {
        if (fields_[field] != 0) target = fields_[field];
    };
    copy(info.ptMinTrackSize.x, MinTrackWidth);
    copy(info.ptMinTrackSize.y, MinTrackHeight);
    copy(info.ptMaxTrackSize.x, MaxTrackWidth);
    copy(info.ptMaxTrackSize.y, MaxTrackHeight);
    copy(info.ptMaxSize.x, MaxSizeWidth);
    copy(info.ptMaxSize.y, MaxSizeHeight);
    copy(info.ptMaxPosition.x, MaxPosLeft);
    copy(info.ptMaxPosition.y, MaxPosTop);
}

// --- TXcFormPlacement -------------------------------------------------------------------

TXcFormPlacement::TXcFormPlacement(TComponent* owner)
    : TXcComponent(owner), minMaxInfo_(std::make_unique<TXcWinMinMaxInfo>(this)),
      hook_(std::make_unique<TXcWindowHook>(nullptr)) {
    if (dynamic_cast<TCustomForm*>(owner)) options_ = {fpState, fpSize, fpLocation};
    hook_->SetActive(false);
    hook_->SetAfterMessage([this](TObject* sender, TMessage& message, bool& handled) { WndMessage(sender, message, handled); });
}

TXcFormPlacement::~TXcFormPlacement() {
    destroying_ = true;
    for (TXcFormPlacementLink* link : links_) link->placement_ = nullptr;
    if (!Designing()) {
        hook_->SetActive(false);
        GiveBackFormEvents();
    }
    hook_.reset();
}

TCustomForm* TXcFormPlacement::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TXcFormPlacement::SetAppStorage(TXcCustomAppStorage* value) {
    TXcCustomAppStorage* current = appStorage_;
    AssignComponentReference(this, value, current);
    appStorage_ = current;
}

void TXcFormPlacement::SetAppStoragePath(const String& value) {
    appStoragePath_ = !value.empty() && value.back() != u'\\' ? value + u"\\" : value;
    if (!Loading()) ResolveStoragePath();
}

void TXcFormPlacement::ResolveStoragePath() {
    static const String macro = u"%FORM_NAME%";
    if (UpperCase(appStoragePath_).find(macro) == String::npos) return;
    String name;
    if (TCustomForm* form = Form()) {
        name = form->Name();
    } else if (dynamic_cast<TFrame*>(Owner())) {
        for (TComponent* c = Owner(); c; c = c->Owner()) {
            name = name.empty() ? c->Name() : c->Name() + u"." + name;
            if (dynamic_cast<TCustomForm*>(c)) break;
        }
    } else {
        return;
    }
    appStoragePath_ = StringReplace(appStoragePath_, macro, name, rfIgnoreCase);
}

// --- Values ----------------------------------------------------------------------------

String TXcFormPlacement::PlacementPath(const String& name, bool reading) {
    return TXcCustomAppStorage::JoinPaths({appStoragePath_, appStorage_->TranslatePropertyName(this, name, reading)});
}

String TXcFormPlacement::PlacementReadString(const String& name, const String& defaultValue) {
    if (!appStorage_ || name.empty()) return defaultValue;
    return appStorage_->ReadString(PlacementPath(name, true), defaultValue);
}

void TXcFormPlacement::PlacementWriteString(const String& name, const String& value) {
    if (appStorage_ && !name.empty()) appStorage_->WriteString(PlacementPath(name, false), value);
}

bool TXcFormPlacement::PlacementReadBool(const String& name, bool defaultValue) {
    if (!appStorage_ || name.empty()) return defaultValue;
    return appStorage_->ReadBool(PlacementPath(name, true), defaultValue);
}

void TXcFormPlacement::PlacementWriteBool(const String& name, bool value) {
    if (appStorage_ && !name.empty()) appStorage_->WriteBool(PlacementPath(name, false), value);
}

double TXcFormPlacement::PlacementReadFloat(const String& name, double defaultValue) {
    if (!appStorage_ || name.empty()) return defaultValue;
    return appStorage_->ReadFloat(PlacementPath(name, true), defaultValue);
}

void TXcFormPlacement::PlacementWriteFloat(const String& name, double value) {
    if (appStorage_ && !name.empty()) appStorage_->WriteFloat(PlacementPath(name, false), value);
}

int TXcFormPlacement::PlacementReadInteger(const String& name, int defaultValue) {
    if (!appStorage_ || name.empty()) return defaultValue;
    return appStorage_->ReadInteger(PlacementPath(name, true), defaultValue);
}

void TXcFormPlacement::PlacementWriteInteger(const String& name, int value) {
    if (appStorage_ && !name.empty()) appStorage_->WriteInteger(PlacementPath(name, false), value);
}

TDateTime TXcFormPlacement::PlacementReadDateTime(const String& name, TDateTime defaultValue) {
    if (!appStorage_ || name.empty()) return defaultValue;
    return appStorage_->ReadDateTimeValue(PlacementPath(name, true), defaultValue);
}

void TXcFormPlacement::PlacementWriteDateTime(const String& name, TDateTime value) {
    if (appStorage_ && !name.empty()) appStorage_->WriteDateTimeValue(PlacementPath(name, false), value);
}

// --- Saving and restoring ----------------------------------------------------------------

void TXcFormPlacement::StorePlacement() {
    if (!appStorage_) return;
    ResolveStoragePath();
    Notify(BeforeSavePlacement, this);
    if (versionCheck_ != fpvcNocheck) PlacementWriteInteger(u"FormVersion", version_);
    DoSavePlacement();
    WritePlacement();
    Notify(AfterSavePlacement, this);
    saved_ = true;
}

void TXcFormPlacement::LoadPlacement() {
    if (appStorage_) {
        ResolveStoragePath();
        saved_ = false;
        const int stored = PlacementReadInteger(u"FormVersion", 0);
        const bool restore = versionCheck_ == fpvcNocheck || (versionCheck_ == fpvcCheckGreaterEqual && stored >= version_) ||
                             (versionCheck_ == fpvcCheckEqual && stored == version_);
        if (restore) {
            Notify(BeforeRestorePlacement, this);
            ReadPlacement();
            DoRestorePlacement();
            TCustomForm* form = Form();
            if (options_.Contains(fpActiveControl) && form) {
                const String name = appStorage_->ReadString(appStoragePath_ + u"ActiveControl", String());
                auto* control = dynamic_cast<TWinControl*>(form->FindComponent(name));
                if (control && control->CanFocus()) form->SetActiveControl(control);
            }
            Notify(AfterRestorePlacement, this);
        }
        // A version that does not match still counts as this life's restore.
        restored_ = true;
    }
    UpdatePlacement();
}

void TXcFormPlacement::WritePlacement() {
    if (TCustomForm* form = Form()) {
        if (options_ != TPlacementOptions{fpActiveControl})
            SaveFormPlacement(*form, *appStorage_, appStoragePath_, options_);
        if (options_.Contains(fpActiveControl) && form->ActiveControl())
            appStorage_->WriteString(appStoragePath_ + u"ActiveControl", form->ActiveControl()->Name());
    }
    NotifyLinks(true);
}

void TXcFormPlacement::ReadPlacement() {
    if (TCustomForm* form = Form()) RestoreFormPlacement(*form, *appStorage_, appStoragePath_, options_);
    restored_ = true;
    NotifyLinks(false);
}

void TXcFormPlacement::RemoveLink(TXcFormPlacementLink* link) { std::erase(links_, link); }

void TXcFormPlacement::NotifyLinks(bool saved) {
    for (TXcFormPlacementLink* link : std::vector(links_)) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
        if (saved) link->SaveNotify();
        else link->LoadNotify();
    }
}

void TXcFormPlacement::DoSavePlacement() { Notify(OnSavePlacement, this); }

void TXcFormPlacement::DoRestorePlacement() { Notify(OnRestorePlacement, this); }

void TXcFormPlacement::UpdatePlacement() {
    TCustomForm* form = Form();
    if (!form || !form->HandleAllocated() || Loading() || preventResize_ || !minMaxInfo_->IsDefault()) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(form->Handle(), &placement);
    if (!IsWindowVisible(form->Handle())) placement.showCmd = SW_HIDE;
    const POINT frame = FrameSize(form->BorderStyle());
    placement.ptMaxPosition = {-frame.x, -frame.y};
    SetWindowPlacement(form->Handle(), &placement);
}

// --- The form ------------------------------------------------------------------------

void TXcFormPlacement::Loaded() {
    const bool wasLoading = Loading();
    TXcComponent::Loaded();
    if (Designing()) return;
    ResolveStoragePath();
    if (wasLoading) TakeOverFormEvents();
    AttachOrDetachHook();
}

void TXcFormPlacement::TakeOverFormEvents() {
    TCustomForm* form = Form();
    if (!form || formEventsTaken_) return;
    formEventsTaken_ = true;
    savedShow_ = std::exchange(form->OnShow, [this](TObject* sender) { FormShow(sender); });
    savedCloseQuery_ =
        std::exchange(form->OnCloseQuery, [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); });
    savedDestroy_ = std::exchange(form->OnDestroy, [this](TObject* sender) { FormDestroy(sender); });
    formHadMaximize_ = form->BorderIcons().Contains(biMaximize);
    if (preventResize_) ApplyPreventResize();
}

void TXcFormPlacement::GiveBackFormEvents() {
    TCustomForm* form = Form();
    // A form being freed has lost its events already.
    if (!form || !formEventsTaken_ || form->ComponentState().Contains(csDestroying)) return;
    formEventsTaken_ = false;
    form->OnShow = std::move(savedShow_);
    form->OnCloseQuery = std::move(savedCloseQuery_);
    form->OnDestroy = std::move(savedDestroy_);
}

void TXcFormPlacement::FormShow(TObject* sender) {
    if (active_ && appStorage_ && !restored_) {
        try {
            LoadPlacement();
        } catch (const std::exception& error) {
            Application().HandleException(error);
        }
    }
    Notify(savedShow_, sender);
}

void TXcFormPlacement::FormCloseQuery(TObject* sender, bool& canClose) {
    if (savedCloseQuery_) savedCloseQuery_(sender, canClose);
    TCustomForm* form = Form();
    if (!canClose || !active_ || !appStorage_ || !form || !form->HandleAllocated()) return;
    try {
        StorePlacement();
    } catch (const std::exception& error) {
        Application().HandleException(error);
    }
}

void TXcFormPlacement::FormDestroy(TObject* sender) {
    if (active_ && appStorage_ && !saved_) {
        destroying_ = true;
        try {
            StorePlacement();
        } catch (const std::exception& error) {
            Application().HandleException(error);
        }
        destroying_ = false;
    }
    Notify(savedDestroy_, sender);
}

void TXcFormPlacement::Notification(TComponent* component, TOperation operation) {
    TXcComponent::Notification(component, operation);
    if (operation == opRemove && component == appStorage_) appStorage_ = nullptr;
}

// --- Sizing --------------------------------------------------------------------------

void TXcFormPlacement::SetPreventResize(bool value) {
    if (!Form() || value == preventResize_) return;
    preventResize_ = value;
    UpdatePlacement();
    // While loading, Loaded applies it once the form's maximize button is known.
    if (!Designing() && !Loading()) ApplyPreventResize();
}

void TXcFormPlacement::ApplyPreventResize() {
    TCustomForm* form = Form();
    if (!form) return;
    if (preventResize_) formHadMaximize_ = form->BorderIcons().Contains(biMaximize);
    const bool wasActive = std::exchange(active_, false);
    TBorderIcons icons = form->BorderIcons();
    if (preventResize_ || !formHadMaximize_ || form->BorderStyle() == bsDialog)
        icons.Exclude(biMaximize);
    else
        icons.Include(biMaximize);
    form->SetBorderIcons(icons);
    active_ = wasActive;
    if (!Loading()) AttachOrDetachHook();
}

void TXcFormPlacement::MinMaxInfoModified() {
    UpdatePlacement();
    if (!Loading()) AttachOrDetachHook();
}

void TXcFormPlacement::AttachOrDetachHook() {
    TCustomForm* form = Form();
    const bool wasHooked = hook_->Active();
    if (form && (preventResize_ || !minMaxInfo_->IsDefault())) {
        hook_->SetControl(form);
        hook_->SetActive(true);
    } else {
        hook_->SetActive(false);
    }
    // A changed frame makes the window answer its tracking sizes again, so
    // the desktop learns the new limits.
    if ((wasHooked || hook_->Active()) && form && form->HandleAllocated())
        SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TXcFormPlacement::WndMessage(TObject*, TMessage& message, bool&) {
    TCustomForm* form = Form();
    if (!form) return;
    if (preventResize_) {
        switch (message.Msg) {
        case WM_GETMINMAXINFO:
            if (form->HandleAllocated() && IsWindowVisible(form->Handle())) {
                auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
                info->ptMinTrackSize = {form->Width(), form->Height()};
                info->ptMaxTrackSize = {form->Width(), form->Height()};
                message.Result = 1;
            }
            break;
        case WM_NCHITTEST:
            if (message.Result >= HTSIZEFIRST && message.Result <= HTSIZELAST) message.Result = HTNOWHERE;
            break;
        case WM_INITMENUPOPUP:
            // The form's own menu handling has run; the window menu loses sizing.
            if (HIWORD(message.LParam)) {
                const auto menu = reinterpret_cast<HMENU>(message.WParam);
                EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
                EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
                message.Result = 1;
            }
            break;
        default: break;
        }
    } else if (message.Msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
        if (!minMaxInfo_->IsDefault())
            minMaxInfo_->ApplyTo(*info);
        else
            info->ptMaxPosition = {0, 0};
        message.Result = 1;
    }
}
