#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/XcDataSourceIntf.h"
#include "platform/rtl/Exceptions.h"

namespace {

// A source of one record with the fields "Title" and "Locked" (not modifiable).
class TFakeSourceBase : public TImplements<TInterfacedObject, IXcDataSource> {
public:
    void Edit() override { ++edits; }
    bool Active() override { return active; }
    TXcFieldHandle FindField(const String& name) override {
        ++lookups;
        if (name == u"Title") return &title;
        if (name == u"Locked") return &locked;
        return nullptr;
    }
    bool FieldCanModify(TXcFieldHandle field) override { return field == &title; }
    bool FieldIsNull(TXcFieldHandle field) override { return static_cast<String*>(field)->empty(); }
    String FieldText(TXcFieldHandle field) override { return *static_cast<String*>(field); }
    void SetFieldText(TXcFieldHandle field, const String& value) override { *static_cast<String*>(field) = value; }
    Variant FieldValue(TXcFieldHandle field) override { return Variant(FieldText(field)); }
    void SetFieldValue(TXcFieldHandle field, const Variant& value) override { SetFieldText(field, value.AsString()); }

    bool active = true;
    int edits = 0;
    int lookups = 0;
    String title = u"clip.mp4";
    String locked = u"fixed";
};

class TFakeSource : public TImplements<TFakeSourceBase, IXcDataSourceConnectorRegistration> {
public:
    void AddConnector(TXcDataConnector* connector) override { connectors.push_back(connector); }
    void RemoveConnector(TXcDataConnector* connector) override { std::erase(connectors, connector); }
    std::vector<TXcDataConnector*> connectors;
};

// A field connector that writes its edit text back and records what it handles.
class TRecordingConnector : public TXcFieldDataConnector {
public:
    void DispatchNotification(int message) override {
        log.push_back(message);
        TXcFieldDataConnector::DispatchNotification(message);
    }
    std::vector<int> log;
    String editText;
    int reads = 0;
    int writes = 0;
    bool failRead = false;

protected:
    void CurrentRecordChanged() override {
        ++reads;
        if (failRead) throw EXCLException(u"read failed");
        editText = Field().AsText();
    }
    void WriteBack() override {
        ++writes;
        Field().SetAsText(editText);
    }
};

struct TBoundConnector {
    TBoundConnector() : source(MakeIntf<TFakeSource>()) {
        connector.SetDataField(u"Title");
        connector.SetDataSource(source);
    }
    TIntfPtr<TFakeSource> source;
    TRecordingConnector connector;
};

} // namespace

TEST(XcDataConnectorTest, WithoutASourceNothingHappens) {
    TRecordingConnector connector;
    connector.NoteModified();
    connector.CommitChanges();
    connector.RevertChanges();
    EXPECT_FALSE(connector.Active());
    EXPECT_FALSE(connector.Modified());
    EXPECT_EQ(connector.reads, 0);
    EXPECT_EQ(connector.writes, 0);
}

TEST(XcDataConnectorTest, ASourceWithoutRegistrationIsRefused) {
    TRecordingConnector connector;
    connector.SetDataSource(MakeIntf<TFakeSourceBase>());
    EXPECT_FALSE(connector.DataSource());
    EXPECT_FALSE(connector.Active());
}

TEST(XcDataConnectorTest, AttachingRegistersAndReadsTheRecord) {
    TBoundConnector bound;
    EXPECT_EQ(bound.source->connectors, std::vector<TXcDataConnector*>{&bound.connector});
    EXPECT_TRUE(bound.connector.Active());
    EXPECT_EQ(bound.connector.editText, String(u"clip.mp4"));
    bound.connector.SetDataSource(nullptr);
    EXPECT_TRUE(bound.source->connectors.empty());
    EXPECT_FALSE(bound.connector.Active());
    {
        TRecordingConnector gone;
        gone.SetDataSource(bound.source);
        EXPECT_EQ(bound.source->connectors.size(), 1u);
    }
    EXPECT_TRUE(bound.source->connectors.empty()) << "a freed connector leaves its source";
}

TEST(XcDataConnectorTest, NoteModifiedStartsEditingOnce) {
    TBoundConnector bound;
    bound.connector.NoteModified();
    EXPECT_EQ(bound.source->edits, 1);
    EXPECT_TRUE(bound.connector.Modified());

    bound.connector.SetDataField(u"Locked");
    bound.connector.NoteModified();
    EXPECT_EQ(bound.source->edits, 1) << "a field that cannot be modified starts no editing";
}

TEST(XcDataConnectorTest, CommitWritesBackOnlyWhenModifiedAndActive) {
    TBoundConnector bound;
    bound.connector.editText = u"new.mp4";
    bound.connector.CommitChanges();
    EXPECT_EQ(bound.connector.writes, 0);

    bound.connector.NoteModified();
    bound.source->active = false;
    bound.connector.CommitChanges();
    EXPECT_EQ(bound.connector.writes, 0);

    bound.source->active = true;
    bound.connector.CommitChanges();
    EXPECT_EQ(bound.connector.writes, 1);
    EXPECT_EQ(bound.source->title, String(u"new.mp4"));
    EXPECT_FALSE(bound.connector.Modified());
}

TEST(XcDataConnectorTest, RevertRereadsAndRestoresTheActiveFlagEvenWhenReadingFails) {
    TBoundConnector bound;
    bound.connector.editText = u"typed";
    bound.connector.NoteModified();
    bound.connector.RevertChanges();
    EXPECT_EQ(bound.connector.editText, String(u"clip.mp4"));
    EXPECT_TRUE(bound.connector.Active());
    EXPECT_FALSE(bound.connector.Modified());

    bound.connector.failRead = true;
    EXPECT_THROW(bound.connector.RevertChanges(), EXCLException);
    EXPECT_TRUE(bound.connector.Active());
}

TEST(XcDataConnectorTest, RevertRereadsAlsoWhileTheDataSetIsInactive) {
    TBoundConnector bound;
    bound.source->active = false;
    bound.connector.editText = u"typed";
    bound.connector.RevertChanges();
    EXPECT_EQ(bound.connector.editText, String(u"clip.mp4"));
}

TEST(XcDataConnectorTest, LayoutChangeClearsTheFieldsAndRebinds) {
    TBoundConnector bound;
    bound.connector.FieldByName(u"Locked");
    EXPECT_EQ(bound.connector.FieldCount(), 1);
    const int lookups = bound.source->lookups;
    bound.source->title = u"other.mp4";
    bound.connector.DispatchNotification(XC_DS_LAYOUTCHANGED);
    EXPECT_EQ(bound.connector.FieldCount(), 0);
    EXPECT_GT(bound.source->lookups, lookups);
    EXPECT_EQ(bound.connector.editText, String(u"other.mp4"));
}

TEST(XcDataConnectorTest, UpdateDataWritesBackWhileActive) {
    TBoundConnector bound;
    bound.connector.editText = u"saved.mp4";
    bound.connector.DispatchNotification(XC_DS_UPDATEDATA);
    EXPECT_EQ(bound.source->title, String(u"saved.mp4"));
}

TEST(XcDataConnectorTest, TheMasterSeesEveryNotificationAfterTheConnector) {
    TBoundConnector bound;
    TRecordingConnector master;
    bound.connector.SetMasterConnector(&master);
    bound.connector.log.clear();
    bound.connector.DispatchNotification(XC_DS_ACTIVECHANGED);
    EXPECT_EQ(bound.connector.log, (std::vector<int>{XC_DS_ACTIVECHANGED, XC_DS_RECORDCHANGED}));
    // The master's own state change then reads its record.
    EXPECT_EQ(master.log, (std::vector<int>{XC_DS_RECORDCHANGED, XC_DS_ACTIVECHANGED, XC_DS_RECORDCHANGED}));
    for (int message : {XC_DS_RECORDCHANGED, XC_DS_UPDATEDATA}) {
        master.log.clear();
        bound.connector.DispatchNotification(message);
        EXPECT_EQ(master.log, std::vector<int>{message});
    }
}

TEST(XcDataConnectorTest, AssignCopiesSourceAndField) {
    TBoundConnector bound;
    TXcFieldDataConnector copy;
    copy.Assign(&bound.connector);
    EXPECT_EQ(copy.DataSource().get(), static_cast<IXcDataSource*>(bound.source.get()));
    EXPECT_EQ(copy.DataField(), String(u"Title"));
    EXPECT_EQ(bound.source->connectors.size(), 2u);
    copy.SetDataSource(nullptr);
}
