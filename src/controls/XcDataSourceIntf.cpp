#include "controls/XcDataSourceIntf.h"

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED(TXcDataConnector, c) {
    c.Property("DataSource", &TXcDataConnector::DataSource, &TXcDataConnector::SetDataSource);
}

RTL_PUBLISHED(TXcFieldDataConnector, c) {
    c.Property("DataField", &TXcFieldDataConnector::DataField, &TXcFieldDataConnector::SetDataField);
}

namespace {

TIntfPtr<IXcDataSourceConnectorRegistration> RegistrationOf(const TIntfPtr<IXcDataSource>& source) {
    TIntfPtr<IXcDataSourceConnectorRegistration> registration;
    if (source) Supports(source, registration);
    return registration;
}

} // namespace

void TXcDataConnectorField::Rebind(IXcDataSource* source) {
    source_ = source;
    handle_ = source_ && source_->Active() ? source_->FindField(name_) : nullptr;
}

bool TXcDataConnectorField::IsValid() {
    if (source_ && !handle_) handle_ = source_->FindField(name_);
    return source_ && handle_;
}

bool TXcDataConnectorField::CanModify() { return IsValid() && source_->FieldCanModify(handle_); }

bool TXcDataConnectorField::IsNull() { return !IsValid() || source_->FieldIsNull(handle_); }

String TXcDataConnectorField::AsText() { return IsValid() ? source_->FieldText(handle_) : String(); }

void TXcDataConnectorField::SetAsText(const String& value) {
    if (IsValid()) source_->SetFieldText(handle_, value);
}

Variant TXcDataConnectorField::Value() { return IsValid() ? source_->FieldValue(handle_) : Variant(); }

void TXcDataConnectorField::SetValue(const Variant& value) {
    if (IsValid()) source_->SetFieldValue(handle_, value);
}

TXcDataConnector::~TXcDataConnector() {
    if (const auto registration = RegistrationOf(source_)) registration->RemoveConnector(this);
}

void TXcDataConnector::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TXcDataConnector*>(source);
    if (!other) return TPersistent::Assign(source);
    SetDataSource(other->DataSource());
}

void TXcDataConnector::SetDataSource(TIntfPtr<IXcDataSource> value) {
    if (value == source_) return;
    if (source_) {
        if (const auto registration = RegistrationOf(source_)) registration->RemoveConnector(this);
        source_.Reset();
        SourceDetached();
    }
    source_ = std::move(value);
    if (const auto registration = RegistrationOf(source_)) {
        registration->AddConnector(this);
        SourceAttached();
    } else {
        source_.Reset();
    }
}

TXcDataConnectorField* TXcDataConnector::FieldByName(const String& name) {
    for (const auto& field : fields_)
        if (field->Name() == name) return field.get();
    fields_.push_back(std::make_unique<TXcDataConnectorField>(name));
    fields_.back()->Rebind(source_.get());
    return fields_.back().get();
}

bool TXcDataConnector::SourceActive() const { return source_ && source_->Active(); }

void TXcDataConnector::NoteModified() {
    if (!active_ || Locked()) return;
    BeginSourceEdit();
    modified_ = true;
}

void TXcDataConnector::BeginSourceEdit() {
    if (CanStartEdit() && !Locked()) UnderLock([&] { source_->Edit(); });
}

bool TXcDataConnector::CanStartEdit() { return active_ && source_; }

void TXcDataConnector::CommitChanges() {
    if (!SourceActive() || !modified_ || !active_) return;
    UnderLock([&] { WriteBack(); });
    modified_ = false;
}

void TXcDataConnector::RevertChanges() {
    if (!source_ || !active_) return;
    active_ = false;
    try {
        DispatchNotification(XC_DS_RECORDCHANGED);
    } catch (...) {
        active_ = true;
        throw;
    }
    active_ = true;
    modified_ = false;
}

void TXcDataConnector::DispatchNotification(int message) {
    HandleNotification(message);
    if (master_) master_->DispatchNotification(message);
}

void TXcDataConnector::HandleNotification(int message) {
    switch (message) {
    case XC_DS_ACTIVECHANGED:
        if (Locked()) return;
        SourceStateChanged();
        break;
    case XC_DS_RECORDCHANGED:
        if (Locked()) return;
        UnderLock([&] { CurrentRecordChanged(); });
        break;
    case XC_DS_UPDATEDATA:
        if (!active_) return;
        UnderLock([&] { WriteBack(); });
        break;
    case XC_DS_LAYOUTCHANGED:
        fields_.clear();
        if (Locked()) return;
        SourceLayoutChanged();
        break;
    default:
        return;
    }
    modified_ = false;
}

void TXcDataConnector::SourceAttached() {
    modified_ = false;
    active_ = true;
    DispatchNotification(XC_DS_ACTIVECHANGED);
}

void TXcDataConnector::SourceDetached() {
    DispatchNotification(XC_DS_ACTIVECHANGED);
    active_ = false;
    modified_ = false;
    fields_.clear();
}

void TXcDataConnector::SourceStateChanged() { DispatchNotification(XC_DS_RECORDCHANGED); }

void TXcDataConnector::SourceLayoutChanged() { DispatchNotification(XC_DS_RECORDCHANGED); }

void TXcFieldDataConnector::Assign(TPersistent* source) {
    TXcDataConnector::Assign(source);
    if (auto* other = dynamic_cast<TXcFieldDataConnector*>(source)) SetDataField(other->DataField());
}

void TXcFieldDataConnector::SetDataField(const String& value) {
    field_.SetName(value);
    RebindField();
    DispatchNotification(XC_DS_RECORDCHANGED);
}

void TXcFieldDataConnector::RebindField() { field_.Rebind(DataSource().get()); }

void TXcFieldDataConnector::SourceAttached() {
    RebindField();
    TXcDataConnector::SourceAttached();
}

void TXcFieldDataConnector::SourceDetached() {
    RebindField();
    TXcDataConnector::SourceDetached();
}

void TXcFieldDataConnector::SourceStateChanged() {
    RebindField();
    TXcDataConnector::SourceStateChanged();
}

void TXcFieldDataConnector::SourceLayoutChanged() {
    RebindField();
    TXcDataConnector::SourceLayoutChanged();
}

bool TXcFieldDataConnector::CanStartEdit() { return TXcDataConnector::CanStartEdit() && field_.CanModify(); }
