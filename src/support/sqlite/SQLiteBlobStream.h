#pragma once
// A stream over the value of one blob or memo field of a data set's current
// row: a wide memo as its UTF-16 bytes, anything else as its bytes. When a
// stream that was written to is freed, its bytes become the field's value;
// a failure there goes to the application's exception handler.

#include <cstdint>

#include "platform/rtl/Streams.h"

class TField;
class TSQLite3CustomDataset;

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

class TSQLiteBlobStream : public TMemoryStream {
public:
    // For writing, raises EDatabaseError "Field '%s' cannot be modified" for a
    // read-only field and "Dataset not in edit or insert mode" outside editing.
    // bmWrite starts empty.
    TSQLiteBlobStream(TSQLite3CustomDataset& dataSet, TField& field, TBlobStreamMode mode);
    ~TSQLiteBlobStream() override;

    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t newSize) override;

private:
    friend class TSQLite3CustomDataset;
    // The data set closes: the field is gone.
    void Detach() noexcept { dataSet_ = nullptr; }

    TSQLite3CustomDataset* dataSet_;
    int fieldIndex_;
    bool modified_ = false;
};
