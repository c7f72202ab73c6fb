#pragma once
// "FileContents": the bytes of files that need not exist on disk, one
// request index (lindex) per file of the group descriptor that names them.
// Storages do not exist on this platform: no medium ever carries one, so the
// storage branches read nothing and offer nothing.

#include <functional>

#include "controls/dragdrop/BlockFormats.h"
#include "controls/dragdrop/ContentLists.h"

inline CLIPFORMAT FileContentsClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileContents"); }

// The first file's bytes (lindex 0), kept as they are.
class TFileContentsClipboardFormat : public TCustomAnsiStringClipboardFormat {
    RTL_CLASS(TFileContentsClipboardFormat, TCustomAnsiStringClipboardFormat);

public:
    TFileContentsClipboardFormat();
};

// One named memory stream per file, read from streams.
class TFileContentsStreamClipboardFormat : public TClipboardFormat {
    RTL_CLASS(TFileContentsStreamClipboardFormat, TClipboardFormat);

public:
    TFileContentsStreamClipboardFormat();
    // Readable into the data stream format.
    static void DeclareConversions();

    TStreamList& Streams() noexcept { return streams_; }

    // A stream per descriptor of "FileGroupDescriptorW" named after it, or,
    // without one, a single unnamed stream; stops at the first index the
    // object does not answer.
    bool GetData(IDataObject& data) override;
    // Hands the streams over to a data stream format.
    bool AssignTo(TCustomDataFormat& dest) override;
    void Clear() override { streams_.Clear(); }
    bool HasData() const override { return streams_.Count() > 0; }

private:
    TStreamList streams_;
};

class TFileContentsStreamOnDemandClipboardFormat;
// Sender, the file's index; the handler sets Stream to the file's bytes.
using TOnGetStreamEvent =
    std::function<void(TFileContentsStreamOnDemandClipboardFormat& sender, int index, TIntfPtr<IStream>& stream)>;

// Contents produced when a reader asks for them, by OnGetStream.
class TFileContentsStreamOnDemandClipboardFormat : public TClipboardFormat {
    RTL_CLASS(TFileContentsStreamOnDemandClipboardFormat, TClipboardFormat);

public:
    TFileContentsStreamOnDemandClipboardFormat();
    static TDataDirections DataDirection() { return {ddRead, ddWrite}; }

    // The reading side only notes that the object offers contents.
    bool GetData(IDataObject& data) override;
    // A virtual file data format records that contents are asked for.
    bool Assign(TCustomDataFormat& source) override;
    // The handler's stream as it is, or copied whole into a global block.
    bool WriteToMedium(const FORMATETC& format, STGMEDIUM& medium) override;
    void Clear() override { gotData_ = dataRequested_ = false; }
    bool HasData() const override { return gotData_ || dataRequested_; }

    TOnGetStreamEvent OnGetStream;

private:
    bool gotData_ = false, dataRequested_ = false;
};

// One named storage per file.
class TFileContentsStorageClipboardFormat : public TClipboardFormat {
    RTL_CLASS(TFileContentsStorageClipboardFormat, TClipboardFormat);

public:
    TFileContentsStorageClipboardFormat();

    TStorageInterfaceList& Storages() noexcept { return storages_; }

    // Requests every file's storage; whatever medium comes is let go.
    bool GetData(IDataObject& data) override;
    void Clear() override { storages_.Clear(); }
    bool HasData() const override { return storages_.Count() > 0; }

private:
    TStorageInterfaceList storages_;
};
