// Feeds arbitrary bytes to the component stream reader as a component with
// every kind of property, nested objects, collections, string lists,
// references, owned components and a tree of data items with extensions and
// sub-lists. What reads without error must write the same bytes again after
// one more reading.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/UnitRegistry.h"
#include "support/dataproviders/XcDataItems.h"
#include "support/utils/SupportUnits.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

enum class TFuzzMode { fmOff, fmSlow, fmFast };
using enum TFuzzMode;
RTL_ENUM(TFuzzMode, fmOff, fmSlow, fmFast);

class TFuzzFrame : public TPersistent {
    RTL_CLASS(TFuzzFrame, TPersistent);

public:
    int Width() const { return width_; }
    void SetWidth(int value) { width_ = value; }
    TSet<TFuzzMode> Modes() const { return modes_; }
    void SetModes(TSet<TFuzzMode> value) { modes_ = value; }

private:
    int width_ = 0;
    TSet<TFuzzMode> modes_;
};

class TFuzzEntry : public TCollectionItem {
    RTL_CLASS(TFuzzEntry, TCollectionItem);

public:
    explicit TFuzzEntry(TCollection* collection) : TCollectionItem(collection) {}
    const String& Caption() const { return caption_; }
    void SetCaption(const String& value) { caption_ = value; }
    TComponent* Link() const { return link_; }
    void SetLink(TComponent* value) { link_ = value; }

private:
    String caption_;
    TComponent* link_ = nullptr;
};

class TFuzzRoot : public TComponent {
    RTL_CLASS(TFuzzRoot, TComponent);

public:
    explicit TFuzzRoot(TComponent* owner) : TComponent(owner) {}

    int Count() const { return count_; }
    void SetCount(int value) { count_ = value; }
    TFuzzMode Mode() const { return mode_; }
    void SetMode(TFuzzMode value) { mode_ = value; }
    bool Flag() const { return flag_; }
    void SetFlag(bool value) { flag_ = value; }
    char16_t Letter() const { return letter_; }
    void SetLetter(char16_t value) { letter_ = value; }
    const String& Title() const { return title_; }
    void SetTitle(const String& value) { title_ = value; }
    double Ratio() const { return ratio_; }
    void SetRatio(double value) { ratio_ = value; }
    int64_t Big() const { return big_; }
    void SetBig(int64_t value) { big_ = value; }
    Variant Extra() const { return extra_; }
    void SetExtra(Variant value) { extra_ = value; }
    TFuzzFrame* Frame() const { return frame_.get(); }
    TOwnedCollection* Entries() const { return entries_.get(); }
    TStringList* Lines() const { return lines_.get(); }
    void SetLines(TStringList* value) { lines_->Assign(value); }
    TComponent* Buddy() const { return buddy_; }
    void SetBuddy(TComponent* value) { buddy_ = value; }
    TIntfPtr<IInterface> Partner() const { return partner_; }
    void SetPartner(TIntfPtr<IInterface> value) { partner_ = value; }
    TXcDataItemsList* Items() const { return dynamic_cast<TXcDataItemsList*>(items_->Implementer()); }

private:
    int count_ = 3;
    TFuzzMode mode_ = fmOff;
    bool flag_ = true;
    char16_t letter_ = u'a';
    String title_;
    double ratio_ = 0;
    int64_t big_ = 0;
    Variant extra_;
    std::unique_ptr<TFuzzFrame> frame_ = std::make_unique<TFuzzFrame>();
    std::unique_ptr<TOwnedCollection> entries_ = std::make_unique<TOwnedCollection>(this, TFuzzEntry::StaticClass());
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
    TComponent* buddy_ = nullptr;
    TIntfPtr<IInterface> partner_;
    TIntfPtr<IXcDataItems> items_{XcCreate<TXcDataItemsList>()};
};

RTL_PUBLISHED(TFuzzFrame, c) {
    c.Property("Width", &TFuzzFrame::Width, &TFuzzFrame::SetWidth).Default(0);
    c.Property("Modes", &TFuzzFrame::Modes, &TFuzzFrame::SetModes).Default(TSet<TFuzzMode>{});
}

RTL_PUBLISHED(TFuzzEntry, c) {
    c.Property("Caption", &TFuzzEntry::Caption, &TFuzzEntry::SetCaption);
    c.Property("Link", &TFuzzEntry::Link, &TFuzzEntry::SetLink);
}

RTL_PUBLISHED(TFuzzRoot, c) {
    c.Property("Count", &TFuzzRoot::Count, &TFuzzRoot::SetCount).Default(3);
    c.Property("Mode", &TFuzzRoot::Mode, &TFuzzRoot::SetMode).Default(fmOff);
    c.Property("Flag", &TFuzzRoot::Flag, &TFuzzRoot::SetFlag).Default(true);
    c.Property("Letter", &TFuzzRoot::Letter, &TFuzzRoot::SetLetter).Default(u'a');
    c.Property("Title", &TFuzzRoot::Title, &TFuzzRoot::SetTitle);
    c.Property("Ratio", &TFuzzRoot::Ratio, &TFuzzRoot::SetRatio);
    c.Property("Big", &TFuzzRoot::Big, &TFuzzRoot::SetBig);
    c.Property("Extra", &TFuzzRoot::Extra, &TFuzzRoot::SetExtra);
    c.Property("Frame", &TFuzzRoot::Frame);
    c.Property("Entries", &TFuzzRoot::Entries);
    c.Property("Lines", &TFuzzRoot::Lines, &TFuzzRoot::SetLines);
    c.Property("Buddy", &TFuzzRoot::Buddy, &TFuzzRoot::SetBuddy);
    c.Property("Partner", &TFuzzRoot::Partner, &TFuzzRoot::SetPartner);
    c.Property("Items", &TFuzzRoot::Items);
}

// The framework's classes are registered by its unit, which ends before the
// process's own data goes.
void StartOnce() {
    static const bool started = [] {
        RegisterSupportUnits();
        InitializeUnits();
        std::atexit(FinalizeUnits);
        RegisterClass(TFuzzRoot::StaticClass());
        return true;
    }();
    Require(started);
}

TBytes Written(TFuzzRoot& root) {
    TBytesStream stream;
    WriteComponent(stream, &root);
    return stream.Bytes();
}

// Reads Bytes into a fresh root; null when they do not read. A stream that
// does not read raises a filer error (EReadError, EClassNotFound) or, for a
// component name that is not valid or taken, EComponentError; anything else
// is a finding.
std::unique_ptr<TFuzzRoot> Read(const TBytes& bytes) {
    auto root = std::make_unique<TFuzzRoot>(nullptr);
    TBytesStream stream(bytes);
    try {
        ReadComponent(stream, root.get());
    } catch (const EFilerError&) {
        return nullptr;
    } catch (const EComponentError&) {
        return nullptr;
    }
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartOnce();
    const std::unique_ptr<TFuzzRoot> first = Read(TBytes(data, data + size));
    if (!first) return 0;
    const TBytes written = Written(*first);
    const std::unique_ptr<TFuzzRoot> second = Read(written);
    Require(second != nullptr);
    Require(Written(*second) == written);
    return 0;
}
