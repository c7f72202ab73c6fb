#include "controls/dragdrop/ContentLists.h"

void TStreamList::Changing() {
    if (OnChanging) OnChanging(nullptr);
}

void TStreamList::AddNamed(std::unique_ptr<TStream> stream, const String& name) {
    Changing();
    items_.push_back(TNamedStream{name, std::move(stream)});
}

void TStreamList::Clear() {
    Changing();
    items_.clear();
}

void TStreamList::Assign(TStreamList& source) {
    Clear();
    items_ = std::move(source.items_);
    source.items_.clear();
}

void TNamedInterfaceList::Changing() {
    if (OnChanging) OnChanging(nullptr);
}

void TNamedInterfaceList::AddNamed(TIntfPtr<IInterface> item, const String& name) {
    Changing();
    items_.push_back(TNamedItem{name, std::move(item)});
}

void TNamedInterfaceList::Clear() {
    Changing();
    items_.clear();
}

int TMemoryList::Add(TBlock block) {
    blocks_.push_back(std::move(block));
    return Count() - 1;
}

void TMemoryList::Delete(int index) {
    blocks_.at(static_cast<size_t>(index)).clear();
    blocks_.erase(blocks_.begin() + index);
}

void TMemoryList::Clear() {
    while (!blocks_.empty()) blocks_.pop_back();
}
