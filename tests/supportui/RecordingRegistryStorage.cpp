#include "RecordingRegistryStorage.h"

#include "support/storage/XcAppRegistryStorage.h"
#include "support/utils/ScRegistry.h"

namespace {

class TRecordingRegistryStorage : public TXcAppRegistryStorage {
public:
    TRecordingRegistryStorage(TComponent* owner, std::vector<std::string>& written)
        : TXcAppRegistryStorage(owner), written_(written) {}

protected:
    void TypedWriteInteger(const String& path, int32_t value) override {
        Note(path);
        TXcAppRegistryStorage::TypedWriteInteger(path, value);
    }
    void TypedWriteString(const String& path, const String& value) override {
        Note(path);
        TXcAppRegistryStorage::TypedWriteString(path, value);
    }

private:
    void Note(const String& path) { written_.push_back(String(path.substr(path.rfind(u'\\') + 1)).ToUtf8()); }

    std::vector<std::string>& written_;
};

} // namespace

TXcCustomAppStorage* NewRecordingRegistryStorage(TComponent* owner, std::vector<std::string>& written) {
    auto* storage = new TRecordingRegistryStorage(owner, written);
    storage->SetRoot(u"Ostrel");
    return storage;
}

uint32_t RegistryValueType(const String& key, const String& name) {
    DWORD type = 0;
    GetRegValueType(HKEY_CURRENT_USER, key, name, type);
    return type;
}
