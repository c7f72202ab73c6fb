#pragma once
// A clipboard format knows one format of a data object: its identifier, the
// media it travels on, and how to read and write its bytes. A data format
// (DataFormat.h) gets its content from whichever of its compatible
// clipboard formats a data object offers.

#include <memory>
#include <vector>

#include "controls/dragdrop/DragDropTypes.h"
#include "platform/rtl/TObject.h"
#include "platform/win/dataxfer/DataTransfer.h"

class TCustomDataFormat;

class TClipboardFormat : public TObject {
    RTL_CLASS(TClipboardFormat, TObject);

public:
    // The identifier comes from the class; ptd none, content aspect, lindex -1.
    TClipboardFormat(CLIPFORMAT format, DWORD tymed);
    explicit TClipboardFormat(const FORMATETC& formatEtc) : formatEtc_(formatEtc) {}

    CLIPFORMAT ClipboardFormat() const noexcept { return formatEtc_.cfFormat; }
    void SetClipboardFormat(CLIPFORMAT value) noexcept { formatEtc_.cfFormat = value; }
    // The registered name; empty for the predefined formats.
    String ClipboardFormatName() const;
    // Raises "%s.ClipboardFormat is read-only".
    void SetClipboardFormatName(const String& value);
    const FORMATETC& FormatEtc() const noexcept { return formatEtc_; }
    TCustomDataFormat* DataFormat() const noexcept { return dataFormat_; }
    void SetDataFormat(TCustomDataFormat* value) noexcept { dataFormat_ = value; }

    // The medium bits of ours that the object answers QueryGetData for.
    DWORD AvailableMedia(IDataObject& data) const;
    // Whether the object answers QueryGetData for any one of our medium bits.
    bool HasValidFormats(IDataObject& data) const;
    // Same format, no target device, same aspect, a shared medium bit.
    bool AcceptFormat(const FORMATETC& format) const;

    // Clears, then reads our format on the media the object offers.
    virtual bool GetData(IDataObject& data);
    // Clears and reads Medium when it is one of ours; releases it in every case.
    bool GetDataFromMedium(IDataObject& data, STGMEDIUM& medium);
    // Writes a medium for Format and hands it to the object; released here on failure.
    bool SetData(IDataObject& data, const FORMATETC& format, STGMEDIUM& medium);
    // A zeroed medium, then WriteToMedium when Format is ours.
    bool SetDataToMedium(const FORMATETC& format, STGMEDIUM& medium);

    virtual bool ReadFromMedium(IDataObject& data, STGMEDIUM& medium);
    virtual bool WriteToMedium(const FORMATETC& format, STGMEDIUM& medium);
    // From or into a data format; false when this format cannot.
    virtual bool Assign(TCustomDataFormat& source);
    virtual bool AssignTo(TCustomDataFormat& dest);
    virtual void Clear() = 0;
    virtual bool HasData() const { return true; }
    static TDataDirections DataDirection() { return {ddRead}; }

protected:
    FORMATETC& MutableFormatEtc() noexcept { return formatEtc_; }

private:
    TCustomDataFormat* dataFormat_ = nullptr;
    FORMATETC formatEtc_;
};

// The identifier of a registered format name, registered on first use.
#define DRAGDROP_REGISTERED_FORMAT(name)                                                    \
    [] {                                                                                    \
        static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); \
        return format;                                                                      \
    }()

// An ordered list of clipboard formats belonging to one data format.
class TClipboardFormats {
public:
    TClipboardFormats(TCustomDataFormat* dataFormat, bool ownsObjects)
        : dataFormat_(dataFormat), ownsObjects_(ownsObjects) {}
    ~TClipboardFormats() { Clear(); }
    TClipboardFormats(const TClipboardFormats&) = delete;
    TClipboardFormats& operator=(const TClipboardFormats&) = delete;

    // An owning list with a data format makes it the format's data format.
    void Add(TClipboardFormat* format);
    void Add(std::unique_ptr<TClipboardFormat> format) { Add(format.release()); }
    // The first of Class or a descendant; null when none.
    TClipboardFormat* FindFormat(TClass formatClass) const;
    // The same; raises when none is found.
    TClipboardFormat* GetFormat(TClass formatClass) const;
    template <class C>
    C& Get() const {
        return static_cast<C&>(*GetFormat(C::StaticClass()));
    }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TClipboardFormat* operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    TCustomDataFormat* DataFormat() const noexcept { return dataFormat_; }
    bool OwnsObjects() const noexcept { return ownsObjects_; }
    // An owning list frees its formats, the last first.
    void Clear();

private:
    TCustomDataFormat* dataFormat_;
    bool ownsObjects_;
    std::vector<TClipboardFormat*> items_;
};

// A format identifier as text: the predefined names, else the registered name.
String ClipboardFormatToString(UINT format);
