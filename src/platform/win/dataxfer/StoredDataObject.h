#pragma once
// A data object that owns its data: one byte block per clipboard format, in
// the order they were set. It hands out copies on global blocks or streams,
// accepts SetData for the formats it was told to remember, and has no advise
// connections. Incoming drags and clipboard offers become such objects, so
// nothing refers to the desktop's data after the event that carried it.

#include <optional>
#include <string_view>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/Media.h"

class TStoredDataObject : public TImplements<TInterfacedObject, IDataObject> {
public:
    TStoredDataObject() = default;

    // Adds or replaces the data of Format; false when it cannot be stored.
    bool SetBytes(CLIPFORMAT format, std::string_view bytes);
    // CF_UNICODETEXT (UTF-16) and CF_TEXT (UTF-8), each with its terminator.
    bool SetText(const String& text);
    // CF_HDROP: a wide DROPFILES block of Names.
    bool SetFiles(const std::vector<String>& names);
    // SetData of Format is accepted and remembered from now on.
    void AcceptSetData(CLIPFORMAT format);

    bool HasFormat(CLIPFORMAT format) const;
    std::optional<TBytes> Bytes(CLIPFORMAT format) const;
    std::vector<CLIPFORMAT> Formats() const;

    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& format, FORMATETC& canonical) override;
    HRESULT SetData(const FORMATETC& format, STGMEDIUM& medium, BOOL release) override;
    HRESULT EnumFormatEtc(DWORD direction, TIntfPtr<IEnumFORMATETC>& formats) override;
    HRESULT DAdvise(const FORMATETC& format, DWORD advf, IAdviseSink* sink, DWORD& connection) override;
    HRESULT DUnadvise(DWORD connection) override;
    HRESULT EnumDAdvise(TIntfPtr<IEnumSTATDATA>& advises) override;

private:
    struct TEntry {
        CLIPFORMAT format;
        TBytes bytes;
    };
    const TEntry* Find(CLIPFORMAT format) const;
    // S_OK or why Format cannot be answered.
    HRESULT Check(const FORMATETC& format) const;

    std::vector<TEntry> entries_;
    std::vector<CLIPFORMAT> settable_;
};

// An enumerator over a copy of Formats (ptd must be null in each).
TIntfPtr<IEnumFORMATETC> CreateFormatEnumerator(std::vector<FORMATETC> formats);
