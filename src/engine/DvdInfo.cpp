#include "engine/DvdInfo.h"

#include <string>

#include "platform/rtl/Exceptions.h"

TDvdInfo::TDvdInfo(const String& path, const TDvdNavigationOpener& open) : path_(path) {
    const std::unique_ptr<IDvdNavigation> navigation = open(path);
    if (!navigation) throw Exception("Can not open DVD");
    const int count = navigation->TitleCount();
    for (int title = 1; title <= count; ++title) {
        std::optional<TDvdTitleRecord> record = navigation->ScanTitle(title);
        if (!record || !navigation->Start(*record, 1)) continue;
        record->angleCount = navigation->AngleCount();
        navigation->Stop();
        titles_.push_back(std::make_unique<TDvdTitle>(*record));
    }
}

TDvdTitle* TDvdInfo::Titles(int index) const {
    if (index < 0 || index >= TitleCount())
        throw EListError("List index out of bounds (" + String(std::to_string(index)) + ")");
    return titles_[static_cast<size_t>(index)].get();
}
