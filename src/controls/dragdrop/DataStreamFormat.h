#pragma once
// Named content streams as a data format: what the file-content stream
// format hands over.

#include "controls/dragdrop/ContentLists.h"
#include "controls/dragdrop/DataFormat.h"

class TDataStreamDataFormat : public TCustomDataFormat {
    RTL_CLASS(TDataStreamDataFormat, TCustomDataFormat);

public:
    explicit TDataStreamDataFormat(TDragDropComponent* owner);
    // It declares no conversions; the file-content stream format declares itself.
    static void DeclareConversions() {}

    TStreamList& Streams() noexcept { return streams_; }

    void Clear() override;
    bool HasData() const override { return streams_.Count() > 0; }

private:
    TStreamList streams_;
};
