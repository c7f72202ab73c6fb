#pragma once
// Binding an edit to one field of a data source reached only through
// IXcDataSource. The source tells its connectors of its changes by calling
// their DispatchNotification with one of the four notification numbers; each
// connector passes every notification on to its master after handling it.
// Only sources that also offer IXcDataSourceConnectorRegistration are taken.

#include <memory>
#include <vector>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Variant.h"

class TXcDataConnector;

// A field of a source, as the source hands it out; null for none.
using TXcFieldHandle = void*;

// The operations of a data source that the connectors call.
class IXcDataSource : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{6F0ECE0E-0B77-4EC1-8E62-1C5ADE76D6B9}");
    // Starts editing the current record.
    virtual void Edit() = 0;
    virtual bool Active() = 0;
    virtual TXcFieldHandle FindField(const String& name) = 0;
    virtual bool FieldCanModify(TXcFieldHandle field) = 0;
    virtual bool FieldIsNull(TXcFieldHandle field) = 0;
    virtual String FieldText(TXcFieldHandle field) = 0;
    virtual void SetFieldText(TXcFieldHandle field, const String& value) = 0;
    virtual Variant FieldValue(TXcFieldHandle field) = 0;
    virtual void SetFieldValue(TXcFieldHandle field, const Variant& value) = 0;
};

class IXcDataSourceConnectorRegistration : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{CCAB936A-6CB4-4047-95C8-7EBFC5DC4B9F}");
    virtual void AddConnector(TXcDataConnector* connector) = 0;
    virtual void RemoveConnector(TXcDataConnector* connector) = 0;
};

// The notifications a source sends its connectors.
constexpr int XC_DS_ACTIVECHANGED = 100;
constexpr int XC_DS_RECORDCHANGED = 101;
constexpr int XC_DS_UPDATEDATA = 102;
constexpr int XC_DS_LAYOUTCHANGED = 103;

// One field of a source, bound by name.
class TXcDataConnectorField {
public:
    explicit TXcDataConnectorField(const String& name = String()) : name_(name) {}

    const String& Name() const noexcept { return name_; }
    void SetName(const String& value) { name_ = value; }
    IXcDataSource* Source() const noexcept { return source_; }
    // Takes Source and, while it is active, looks the field up by name.
    void Rebind(IXcDataSource* source);
    // A source and a field (a missing field is looked up once more first).
    bool IsValid();
    bool CanModify();
    bool IsNull();
    String AsText();
    void SetAsText(const String& value);
    Variant Value();
    void SetValue(const Variant& value);

private:
    String name_;
    IXcDataSource* source_ = nullptr;
    TXcFieldHandle handle_ = nullptr;
};

class TXcDataConnector : public TPersistent {
    RTL_CLASS(TXcDataConnector, TPersistent);

public:
    TXcDataConnector() = default;
    ~TXcDataConnector() override;

    // From another connector: its data source.
    void Assign(TPersistent* source) override;

    TIntfPtr<IXcDataSource> DataSource() const { return source_; }
    // A source without the registration interface is refused (DataSource stays empty).
    void SetDataSource(TIntfPtr<IXcDataSource> value);
    // Receives every notification after this connector has handled it.
    TXcDataConnector* MasterConnector() const noexcept { return master_; }
    void SetMasterConnector(TXcDataConnector* value) noexcept { master_ = value; }
    bool Active() const noexcept { return active_; }
    bool Modified() const noexcept { return modified_; }

    // The binding of a field by name, kept in the field list until the layout
    // changes or the source goes.
    TXcDataConnectorField* FieldByName(const String& name);
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }

    // The edit's text changed: editing starts and the connector is modified.
    void NoteModified();
    // The edit lost the focus: a modified value is written back.
    void CommitChanges();
    // Escape in the edit: the record is read again (also while the source's
    // data set is inactive).
    void RevertChanges();
    void BeginSourceEdit();

    virtual void DispatchNotification(int message);

protected:
    virtual void SourceAttached();
    virtual void SourceDetached();
    virtual void SourceStateChanged();
    virtual void CurrentRecordChanged() {}
    virtual void WriteBack() {}
    virtual void SourceLayoutChanged();
    virtual bool CanStartEdit();

    bool Locked() const noexcept { return lock_ > 0; }
    // Runs Work with record-change notifications locked out.
    template <class Work>
    void UnderLock(Work&& work) {
        ++lock_;
        try {
            work();
        } catch (...) {
            --lock_;
            throw;
        }
        --lock_;
    }

private:
    void HandleNotification(int message);
    // The source is connected and its data set active.
    bool SourceActive() const;

    TIntfPtr<IXcDataSource> source_;
    std::vector<std::unique_ptr<TXcDataConnectorField>> fields_;
    TXcDataConnector* master_ = nullptr;
    bool active_ = false;
    bool modified_ = false;
    int lock_ = 0;
};

// A connector bound to the field named DataField.
class TXcFieldDataConnector : public TXcDataConnector {
    RTL_CLASS(TXcFieldDataConnector, TXcDataConnector);

public:
    TXcFieldDataConnector() = default;

    // From another connector: its data source, and from a field connector its field too.
    void Assign(TPersistent* source) override;

    const String& DataField() const noexcept { return field_.Name(); }
    // Looks the field up again, then notifies record-changed.
    void SetDataField(const String& value);
    TXcDataConnectorField& Field() noexcept { return field_; }

protected:
    void SourceAttached() override;
    void SourceDetached() override;
    void SourceStateChanged() override;
    void SourceLayoutChanged() override;
    bool CanStartEdit() override;
    virtual void RebindField();

private:
    TXcDataConnectorField field_;
};
