#pragma once
// What the drag-and-drop tests share: the units started around each test,
// data objects holding given blocks, and block builders.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/UnicodeStrings.h"
#include "platform/win/dataxfer/StoredDataObject.h"

class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override { StartDragDropUnits(); }
    void TearDown() override { StopDragDropUnits(); }
};

struct TOfferedBlock {
    CLIPFORMAT format;
    std::string bytes;
};

inline TIntfPtr<TStoredDataObject> DataObjectOffering(const std::vector<TOfferedBlock>& blocks) {
    TIntfPtr<TStoredDataObject> data = MakeIntf<TStoredDataObject>();
    for (const TOfferedBlock& block : blocks) data->SetBytes(block.format, block.bytes);
    return data;
}

inline std::string BytesOf(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline std::string WideBytes(std::u16string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

inline std::vector<String> StringsOf(const TUnicodeStrings& list) {
    std::vector<String> strings;
    for (int i = 0; i < list.Count(); ++i) strings.push_back(list[i]);
    return strings;
}
