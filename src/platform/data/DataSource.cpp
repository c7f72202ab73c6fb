#include "platform/data/DataSource.h"

#include <algorithm>

#include "platform/data/DataSet.h"

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    for (TDataLink* link : std::vector(links_)) link->source_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* value) {
    if (value == dataSet_) return;
    if (dataSet_) std::erase(dataSet_->sources_, this);
    dataSet_ = value;
    if (dataSet_) dataSet_->sources_.push_back(this);
    for (TDataLink* link : std::vector(links_)) link->ActiveChanged();
}

void TDataSource::Notify(TDataEvent event, TField* field) {
    // A link may leave, or free others, while it is told.
    for (TDataLink* link : std::vector(links_)) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
        switch (event) {
        case TDataEvent::deActiveChange: link->ActiveChanged(); break;
        case TDataEvent::deDataSetScroll: link->DataSetScrolled(); break;
        case TDataEvent::deDataSetChange: link->DataSetChanged(); break;
        case TDataEvent::deFieldChange: link->RecordChanged(field); break;
        }
    }
}

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* value) {
    if (value == source_) return;
    if (source_) std::erase(source_->links_, this);
    source_ = value;
    if (source_) source_->links_.push_back(this);
    ActiveChanged();
}

TDataSet* TDataLink::DataSet() const { return source_ ? source_->DataSet() : nullptr; }

bool TDataLink::Active() const {
    const TDataSet* dataSet = DataSet();
    return dataSet && dataSet->Active();
}
