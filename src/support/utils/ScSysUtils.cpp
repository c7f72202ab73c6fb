#include "support/utils/ScSysUtils.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/rtl/Format.h"
#include "support/utils/NamedObjectFile.h"
#include "support/utils/ScSynch.h"
#include "support/utils/SupportUnit.h"

namespace {

// Identifiers 0xF020-0xF02F.
constexpr TResStringRec SCannotCreateEmptyMMF{0xF020, u"The MMF named \"%s\" cannot be created empty"};

constexpr const TResStringRec* ScSysUtilsStrings[] = {&SCannotCreateEmptyMMF};

struct TSharedView {
    String name;
    std::unique_ptr<TNamedObjectFile> file;
    int references;
};

// The views this process has open, newest first, under SharedListLock.
class TSharedViews {
public:
    std::vector<TSharedView> items;

    auto FindName(const String& name) {
        return std::find_if(items.begin(), items.end(), [&](const TSharedView& item) { return SameText(item.name, name); });
    }
    auto FindView(const void* view) {
        return std::find_if(items.begin(), items.end(), [&](const TSharedView& item) { return item.file->Data() == view; });
    }
};

TSharedViews& SharedViews() {
    static TSharedViews views;
    return views;
}

TNamedObjectFile::TView ViewFor(uint32_t desiredAccess) {
    if (desiredAccess == FILE_MAP_COPY) return TNamedObjectFile::TView::CopyOnWrite;
    return desiredAccess & FILE_MAP_WRITE ? TNamedObjectFile::TView::ReadWrite : TNamedObjectFile::TView::ReadOnly;
}

std::atomic<TScIntfCriticalSection*> ListLock{nullptr};
std::atomic<bool> Finished{false};

void StartSysUtils() { Finished = false; }

void FinishSysUtils() {
    Finished = true;
    delete ListLock.exchange(nullptr);
}

} // namespace

extern const TSupportUnit ScSysUtilsUnit{u"ScSysUtils", SC_UNIT_VERSION("src/support/utils/ScSysUtils.cpp"), ScSysUtilsStrings,
                                         StartSysUtils, FinishSysUtils};

TIntfPtr<IInterface> SharedListLock() {
    if (Finished) return nullptr;
    TScIntfCriticalSection* lock = ListLock.load();
    if (!lock) {
        auto made = std::make_unique<TScIntfCriticalSection>();
        if (ListLock.compare_exchange_strong(lock, made.get())) lock = made.release();
    }
    return TIntfPtr<IInterface>(lock);
}

void ZeroFill(void* buffer, ptrdiff_t size) {
    if (size > 0) std::memset(buffer, 0, static_cast<size_t>(size));
}

int OpenSharedMemory(void*& view, const String& name, size_t size, uint32_t desiredAccess) {
    view = nullptr;
    TSharedViews& views = SharedViews();
    const TIntfPtr<IInterface> lock = SharedListLock();
    if (auto item = views.FindName(name); item != views.items.end()) {
        ++item->references;
        view = item->file->Data();
        return ERROR_ALREADY_EXISTS;
    }
    auto file = TNamedObjectFile::Open(TNamedObjectFile::TKind::SharedMemory, name, size, ViewFor(desiredAccess));
    if (!file) throw ESharedMemError(Format(LoadResString(SCannotCreateEmptyMMF), {name}));
    const int result = file->Existed() ? ERROR_ALREADY_EXISTS : 0;
    view = file->Data();
    views.items.insert(views.items.begin(), TSharedView{name, std::move(file), 1});
    return result;
}

bool CloseSharedView(void*& view) {
    if (!view) return true;
    TSharedViews& views = SharedViews();
    const TIntfPtr<IInterface> lock = SharedListLock();
    const auto item = views.FindView(view);
    if (item == views.items.end()) return false;
    if (--item->references == 0) views.items.erase(item);
    view = nullptr;
    return true;
}
