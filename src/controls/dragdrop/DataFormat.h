#pragma once
// A data format is what the application sees of dropped data (a file list,
// a text): it fills itself from the first of its compatible clipboard
// formats, in the map's order, that a data object offers with content.

#include <memory>
#include <vector>

#include "controls/dragdrop/ClipboardFormat.h"
#include "platform/ui/Events.h"

class TDragDropComponent;

class TCustomDataFormat : public TObject {
    RTL_CLASS(TCustomDataFormat, TObject);

public:
    // With an owner, the format adds itself to the owner's DataFormats.
    explicit TCustomDataFormat(TDragDropComponent* owner);
    ~TCustomDataFormat() override;

    TDragDropComponent* Owner() const noexcept { return owner_; }
    // Built on first use: from the owner, or from the map for a format made
    // without owner (FillCompatibleFormats).
    TClipboardFormats& CompatibleFormats();
    // Fills the compatible formats from the process map: those a consumer
    // can be given (tier source) or those a provider can be read from.
    void FillCompatibleFormats(TDataFormatDirection direction);

    virtual void Clear() = 0;
    // Into this format from a clipboard format, and the other way.
    virtual bool Assign(TClipboardFormat& source) { return source.AssignTo(*this); }
    virtual bool AssignTo(TClipboardFormat& dest) { return dest.Assign(*this); }
    // Fills from the first compatible formats that yield content, while NeedsData.
    virtual bool GetData(IDataObject& data);
    virtual bool HasData() const = 0;
    virtual bool NeedsData() const { return !HasData(); }
    bool HasValidFormats(IDataObject& data);
    bool AcceptFormat(const FORMATETC& format);

    TNotifyEvent OnChanging;

protected:
    // Descendants call it before every change of their content.
    void NotifyChanging();

private:
    TDragDropComponent* owner_;
    std::unique_ptr<TClipboardFormats> compatibleFormats_;
};

// An ordered list of data formats it does not own.
class TDataFormats {
public:
    virtual ~TDataFormats() = default;
    // The index of Format, appended when absent.
    virtual int Add(TCustomDataFormat* format);
    virtual int IndexOf(const TCustomDataFormat* format) const;
    virtual void Remove(TCustomDataFormat* format);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TCustomDataFormat* operator[](int index) const { return items_.at(static_cast<size_t>(index)); }

private:
    std::vector<TCustomDataFormat*> items_;
};
