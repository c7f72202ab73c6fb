#include "support/sqlite/SQLiteBlobStream.h"

#include <algorithm>
#include <exception>

#include "platform/data/FieldValue.h"
#include "platform/rtl/AppServices.h"
#include "support/sqlite/SQLiteDataset.h"

TSQLiteBlobStream::TSQLiteBlobStream(TSQLite3CustomDataset& dataSet, TField& field, TBlobStreamMode mode)
    : dataSet_(&dataSet), fieldIndex_(field.Index()) {
    if (mode != bmRead) {
        if (field.ReadOnly()) throw EDatabaseError("Field '" + field.DisplayName() + "' cannot be modified");
        if (dataSet.State() != dsEdit && dataSet.State() != dsInsert)
            throw EDatabaseError("Dataset not in edit or insert mode");
    }
    if (mode != bmWrite && !field.IsNull()) {
        if (field.DataType() == ftWideMemo) {
            const String text = field.AsString();
            TMemoryStream::Write(text.data(), static_cast<int64_t>(text.size() * 2));
        } else {
            const std::string bytes = field.AsBytes();
            TMemoryStream::Write(bytes.data(), static_cast<int64_t>(bytes.size()));
        }
        SetPosition(0);
    }
    modified_ = mode == bmWrite; // loading the value is no change
    dataSet.blobStreams_.push_back(this);
}

TSQLiteBlobStream::~TSQLiteBlobStream() {
    if (dataSet_) std::erase(dataSet_->blobStreams_, this);
    if (!modified_) return;
    try {
        if (!dataSet_) throw EDatabaseError("Cannot perform this operation on a closed dataset");
        TField& field = dataSet_->Fields(fieldIndex_);
        const auto* bytes = static_cast<const char*>(Memory());
        const auto size = static_cast<size_t>(Size());
        if (field.DataType() == ftWideMemo) {
            String text(size / 2, u'\0');
            std::copy_n(bytes, size / 2 * 2, reinterpret_cast<char*>(text.data()));
            field.SetValue(Variant(text));
        } else {
            field.SetValue(BytesValue(std::string(bytes ? bytes : "", size)));
        }
    } catch (const std::exception& error) {
        AppServices().HandleException(error);
    }
}

int64_t TSQLiteBlobStream::Write(const void* buffer, int64_t count) {
    modified_ = true;
    return TMemoryStream::Write(buffer, count);
}

void TSQLiteBlobStream::SetSize(int64_t newSize) {
    modified_ = true;
    TMemoryStream::SetSize(newSize);
}
