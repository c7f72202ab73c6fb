#include "platform/win/shell/SpecialFolders.h"

#include <cstring>
#include <optional>

#include "platform/rtl/Files.h"
#include "platform/win/Constants.h"
#include "platform/win/shell/ItemIdLists.h"
#include "platform/win/shell/UserFolders.h"

namespace {

std::optional<String> SpecialFolderPath(int folder) {
    switch (folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return UserFolder(TUserFolder::Desktop);
    case CSIDL_PERSONAL:
    case CSIDL_MYDOCUMENTS: return UserFolder(TUserFolder::Documents);
    case CSIDL_MYMUSIC: return UserFolder(TUserFolder::Music);
    case CSIDL_MYVIDEO: return UserFolder(TUserFolder::Videos);
    case CSIDL_MYPICTURES: return UserFolder(TUserFolder::Pictures);
    case CSIDL_TEMPLATES: return UserFolder(TUserFolder::Templates);
    case CSIDL_PROFILE: return HomeFolder();
    case CSIDL_APPDATA: return ConfigHomeFolder();
    case CSIDL_LOCAL_APPDATA: return DataHomeFolder();
    case CSIDL_FONTS: return DataHomeFolder() + u"/fonts";
    }
    return std::nullopt;
}

} // namespace

HRESULT SHGetSpecialFolderLocation(HWND, int folder, ITEMIDLIST** list) {
    if (!list) return E_POINTER;
    *list = nullptr;
    const std::optional<String> path = SpecialFolderPath(folder);
    if (!path) return E_INVALIDARG;
    *list = ItemIdListFromPath(*path);
    return *list ? S_OK : E_FAIL;
}

HRESULT SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR buffer) {
    if (!buffer) return E_POINTER;
    buffer[0] = u'\0';
    const std::optional<String> path = SpecialFolderPath(folder & ~CSIDL_FLAG_MASK);
    if (!path) return E_INVALIDARG;
    if (path->size() >= size_t(MAX_PATH)) return E_FAIL;
    if ((folder & CSIDL_FLAG_CREATE) && !DirectoryExists(*path) && !ForceDirectories(*path)) return E_FAIL;
    std::memcpy(buffer, path->c_str(), (path->size() + 1) * sizeof(char16_t));
    return S_OK;
}
