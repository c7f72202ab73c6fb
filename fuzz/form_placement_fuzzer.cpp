// Restores a form's placement from arbitrary stored values: the input's lines
// are the texts of NormPos, MinMaxPos and their screen-suffixed names, then
// ShowCmd, Flags and PixelsPerInch; the first byte chooses the options. What
// a fresh form gets restored, saved and restored onto a fresh form again must
// be the same normal rectangle and state.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string_view>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/User.h"
#include "platform/win/message/Messages.h"
#include "support/storage/XcAppStorage.h"
#include "support/storage/XcAppStorageOptions.h"
#include "supportui/SupportUiUnits.h"
#include "supportui/XcPlacementValues.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Values by resolved path, in memory; integers are kept as their text.
class TMemoryStorage final : public TXcCustomAppStorage {
public:
    TMemoryStorage() : TXcCustomAppStorage(nullptr, TXcAppStorageOptions::StaticClass()) {}
    void Clear() { values_.clear(); }

protected:
    void RawEnumFolders(const String&, TStrings& names, bool) override { names.Clear(); }
    void RawEnumValues(const String&, TStrings& names, bool) override { names.Clear(); }
    bool RawIsFolder(const String&, bool) override { return false; }
    bool RawPathExists(const String&) override { return false; }
    bool RawValueExists(const String& path) override { return values_.contains(path); }
    void RawDeleteValue(const String& path) override { values_.erase(path); }
    void RawDeleteSubTree(const String&) override { values_.clear(); }
    int32_t RawReadInteger(const String& path, int32_t defaultValue) override {
        return StrToIntDef(RawReadString(path, String()), defaultValue);
    }
    void RawWriteInteger(const String& path, int32_t value) override { values_[path] = IntToStr(value); }
    double RawReadFloat(const String&, double defaultValue) override { return defaultValue; }
    void RawWriteFloat(const String&, double) override {}
    String RawReadString(const String& path, const String& defaultValue) override {
        const auto found = values_.find(path);
        return found == values_.end() ? defaultValue : found->second;
    }
    void RawWriteString(const String& path, const String& value) override { values_[path] = value; }
    int RawReadBinary(const String&, void*, int) override { return 0; }
    void RawWriteBinary(const String&, const void*, int) override {}

private:
    std::map<String, String> values_;
};

// The framework started once, with one form restored again and again.
struct TFixture {
    TFixture() {
        RegisterUiUnits();
        RegisterSupportUiUnits();
        InitializeUnits();
        form = Application().CreateForm<TForm>();
    }
    TForm* form = nullptr;
    TMemoryStorage storage;
};

TFixture& Fixture() {
    static TFixture* fixture = new TFixture;
    return *fixture;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

struct TPlaced {
    RECT normal;
    TWindowState state;
};

// Restores onto the form shown normal at its first bounds, as a fresh form is.
TPlaced Restored(TForm& form, TXcCustomAppStorage& storage, TPlacementOptions options) {
    form.SetWindowState(wsNormal);
    form.SetBoundsRect({10, 20, 410, 320});
    form.Show();
    PumpMessages();
    RestoreFormPlacement(form, storage, u"P", options);
    PumpMessages();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    Require(GetWindowPlacement(form.Handle(), &placement));
    return {placement.rcNormalPosition, form.WindowState()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TFixture& fixture = Fixture();
    TForm& form = *fixture.form;
    TMemoryStorage& storage = fixture.storage;

    TPlacementOptions options;
    for (TPlacementOption option : {fpState, fpSize, fpLocation, fpActiveControl})
        if (data[0] & 1u << int(option)) options.Include(option);
    TStringList lines;
    lines.SetText(String::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)));
    const String suffix = ScreenSizeSuffix();
    const String names[] = {u"NormPos", u"MinMaxPos", u"NormPos" + suffix, u"MinMaxPos" + suffix,
                            u"ShowCmd", u"Flags", u"PixelsPerInch"};
    storage.Clear();
    for (int i = 0; i < lines.Count() && i < int(std::size(names)); ++i)
        if (!lines[i].empty()) storage.WriteString(u"P\\" + names[i], lines[i]);

    const TPlaced first = Restored(form, storage, options);
    storage.Clear();
    SaveFormPlacement(form, storage, u"P", options);
    const TPlaced again = Restored(form, storage, options);
    Require(again.normal.left == first.normal.left && again.normal.top == first.normal.top &&
            again.normal.right == first.normal.right && again.normal.bottom == first.normal.bottom);
    // A minimized main form is restored normal, the application minimizing instead.
    Require(again.state == first.state);
    return 0;
}
