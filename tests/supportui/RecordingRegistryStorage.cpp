#include "RecordingRegistryStorage.h"

#include "support/storage/XcAppRegistryStorage.h"

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
