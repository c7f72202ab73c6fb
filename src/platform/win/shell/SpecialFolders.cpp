#include "platform/win/shell/SpecialFolders.h"

#include <cstring>
#include <optional>

#include <cstdlib>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/UserFolders.h"
#include "platform/win/Constants.h"
#include "platform/win/shell/ItemIdLists.h"

namespace {

// An absolute folder from the environment, else Fallback under the home folder.
String XdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return ExcludeTrailingPathDelimiter(String::FromUtf8(value));
    return HomeFolder() + u"/" + String::FromUtf8(fallback);
}

std::optional<String> SpecialFolderPath(int folder) {
    switch (folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return UserFolder(TUserFolder::ufDesktop);
    case CSIDL_PERSONAL:
    case CSIDL_MYDOCUMENTS: return UserFolder(TUserFolder::ufDocuments);
    case CSIDL_MYMUSIC: return UserFolder(TUserFolder::ufMusic);
    case CSIDL_MYVIDEO: return UserFolder(TUserFolder::ufVideos);
    case CSIDL_MYPICTURES: return UserFolder(TUserFolder::ufPictures);
    case CSIDL_TEMPLATES: return UserFolder(TUserFolder::ufTemplates);
    case CSIDL_PROFILE: return HomeFolder();
    case CSIDL_APPDATA: return XdgFolder("XDG_CONFIG_HOME", ".config");
    case CSIDL_LOCAL_APPDATA: return XdgFolder("XDG_DATA_HOME", ".local/share");
    case CSIDL_FONTS: return XdgFolder("XDG_DATA_HOME", ".local/share") + u"/fonts";
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
