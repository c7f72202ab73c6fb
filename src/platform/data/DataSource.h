#pragma once
// Links between data sets and what follows them. A data source names a data
// set; data links attach to a source and hear when the data set opens or
// closes, moves to another row, has a field changed, or posts, cancels or
// deletes a row. A link, a source and a data set may go in any order.

#include <vector>

#include "platform/rtl/TObject.h"

class TDataSet;
class TDataLink;
class TField;

// What happened to a data set.
enum class TDataEvent { deActiveChange, deDataSetScroll, deDataSetChange, deFieldChange };

class TDataSource : public TObject {
public:
    TDataSource() = default;
    ~TDataSource() override;

    TDataSet* DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet* value);

private:
    friend class TDataLink;
    friend class TDataSet;
    // The data set's event, passed to every link.
    void Notify(TDataEvent event, TField* field);

    TDataSet* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
};

class TDataLink {
public:
    TDataLink() = default;
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;
    virtual ~TDataLink();

    TDataSource* DataSource() const noexcept { return source_; }
    void SetDataSource(TDataSource* value);
    // The source's data set; null without one.
    TDataSet* DataSet() const;
    // Whether that data set is open.
    bool Active() const;

protected:
    friend class TDataSource;
    // The data set opened or closed, or the link got another source.
    virtual void ActiveChanged() {}
    // The data set moved to another row.
    virtual void DataSetScrolled() {}
    // Rows changed: posted, cancelled or deleted.
    virtual void DataSetChanged() {}
    // A field of the current row got a value.
    virtual void RecordChanged(TField*) {}

private:
    TDataSource* source_ = nullptr;
};
