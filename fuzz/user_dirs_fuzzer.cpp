// Feeds arbitrary bytes to the reader of the user's folder settings as the
// text of "user-dirs.dirs", and checks that every folder it answers is an
// absolute path whose item-id list names the same path again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/win/shell/ItemIdLists.h"
#include "platform/rtl/UserFolders.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (TUserFolder folder : {TUserFolder::ufDesktop, TUserFolder::ufDocuments, TUserFolder::ufDownload,
                               TUserFolder::ufMusic, TUserFolder::ufPictures, TUserFolder::ufVideos,
                               TUserFolder::ufTemplates}) {
        const String path = ParseUserFolder(text, folder, u"/home/用户");
        if (path.empty()) continue;
        Require(path[0] == u'/');
        ITEMIDLIST* list = ItemIdListFromPath(path);
        String back;
        if (list && GetPathFromIDList(list, back)) {
            ITEMIDLIST* again = ItemIdListFromPath(back);
            String twice;
            Require(again && GetPathFromIDList(again, twice) && twice == back);
            ILFree(again);
        }
        ILFree(list);
    }
    return 0;
}
