#include "platform/rtl/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/RegistryHive.h"

namespace {

const char16_t* const RootNames[] = {u"HKEY_CLASSES_ROOT",     u"HKEY_CURRENT_USER",   u"HKEY_LOCAL_MACHINE",
                                     u"HKEY_USERS",            u"HKEY_PERFORMANCE_DATA", u"HKEY_CURRENT_CONFIG",
                                     u"HKEY_DYN_DATA"};

bool IsUsableRoot(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA && key != HKEY_PERFORMANCE_DATA && key != HKEY_DYN_DATA;
}

struct TFileIdentity {
    dev_t Device;
    ino_t Inode;
    off_t Size;
    timespec Modified;
    bool operator==(const TFileIdentity& o) const {
        return Device == o.Device && Inode == o.Inode && Size == o.Size && Modified.tv_sec == o.Modified.tv_sec &&
               Modified.tv_nsec == o.Modified.tv_nsec;
    }
};

TFileIdentity IdentityOf(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }

// One root's hive as last read.
struct THive {
    String FileName;
    std::optional<TFileIdentity> Identity; // none: missing, or not read yet
    bool Loaded = false;
    bool Damaged = false;
    std::unique_ptr<TRegKey> Tree = std::make_unique<TRegKey>();
};

struct TOpenKey {
    HKEY Root;
    std::vector<String> Path;
};

std::mutex Lock;
std::map<HKEY, THive> Hives;
std::map<HKEY, TOpenKey> OpenKeys;
HKEY NextHandle = 0x1000;

String HiveFileName(HKEY root) { return DataFolder() + u"/Registry/" + RootNames[root - HKEY_CLASSES_ROOT] + u".hive"; }

void Forget(THive& hive) {
    hive.Identity.reset();
    hive.Loaded = false;
}

// Brings the hive up to date with its file.
THive& Load(HKEY root) {
    THive& hive = Hives[root];
    const String fileName = HiveFileName(root);
    if (hive.FileName != fileName) {
        hive.FileName = fileName;
        Forget(hive);
    }
    const int fd = ::open(fileName.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (!hive.Loaded || hive.Identity) hive.Tree = std::make_unique<TRegKey>();
        hive.Identity.reset();
        hive.Loaded = true;
        hive.Damaged = false;
        return hive;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && hive.Loaded && hive.Identity && *hive.Identity == IdentityOf(st)) {
        ::close(fd);
        return hive;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    try {
        hive.Tree = ReadRegistryHive(text);
        hive.Damaged = false;
    } catch (const EReadError&) {
        hive.Tree = std::make_unique<TRegKey>();
        hive.Damaged = true;
    }
    hive.Identity = IdentityOf(st);
    hive.Loaded = true;
    return hive;
}

// The system error code a failed file operation answers for its errno value.
LONG ErrorCodeOf(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOLCK: return ERROR_LOCK_VIOLATION;
    default: return ERROR_WRITE_FAULT;
    }
}

class TFileLock {
public:
    explicit TFileLock(const String& fileName) {
        fd_ = ::open(fileName.ToUtf8().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = ErrorCodeOf(errno);
        } else if (::flock(fd_, LOCK_EX) != 0) {
            error_ = ERROR_LOCK_VIOLATION;
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~TFileLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;
    // ERROR_SUCCESS while the lock is held.
    LONG Error() const { return error_; }

private:
    int fd_;
    LONG error_ = ERROR_SUCCESS;
};

LONG ResolveRoot(HKEY key, HKEY& root, std::vector<String>& path) {
    if (IsUsableRoot(key)) {
        root = key;
        path.clear();
        return ERROR_SUCCESS;
    }
    auto it = OpenKeys.find(key);
    if (it == OpenKeys.end()) return ERROR_INVALID_HANDLE;
    root = it->second.Root;
    path = it->second.Path;
    return ERROR_SUCCESS;
}

// Appends the components of SubKey to Path.
LONG AppendPath(std::vector<String>& path, const char16_t* subKey) {
    if (!subKey) return ERROR_SUCCESS;
    const std::u16string_view text(subKey);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\\', start);
        if (end == std::u16string_view::npos) end = text.size();
        if (end > start) {
            if (end - start > RegMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
            path.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return path.size() > RegMaxKeyDepth ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

TRegKey* Find(TRegKey& root, const std::vector<String>& path) {
    TRegKey* key = &root;
    for (const String& name : path)
        if (!(key = key->FindSubKey(name))) return nullptr;
    return key;
}

String ValueNameOf(const char16_t* name) { return name ? String(name) : String(); }

// Runs Read on the key Handle names in the current hive.
template <class Fn>
LONG ReadKey(HKEY handle, Fn read) {
    std::lock_guard guard(Lock);
    HKEY root;
    std::vector<String> path;
    if (LONG rc = ResolveRoot(handle, root, path)) return rc;
    TRegKey* key = Find(*Load(root).Tree, path);
    return key ? read(*key) : ERROR_KEY_DELETED;
}

// Runs Change on the key Handle names under the hive's lock and writes the hive
// when Change succeeds and reports a change.
template <class Fn>
LONG ChangeKey(HKEY handle, Fn change) {
    std::lock_guard guard(Lock);
    HKEY root;
    std::vector<String> path;
    if (LONG rc = ResolveRoot(handle, root, path)) return rc;
    const String fileName = HiveFileName(root);
    ForceDirectories(ExtractFileDir(fileName));
    const TFileLock fileLock(fileName + u".lock");
    if (const LONG error = fileLock.Error()) return error;
    THive& hive = Load(root);
    TRegKey* key = Find(*hive.Tree, path);
    if (!key) return ERROR_KEY_DELETED;
    bool changed = false;
    const LONG rc = change(*key, changed);
    if (rc != ERROR_SUCCESS || !changed) return rc;
    const std::string text = WriteRegistryHive(*hive.Tree);
    Forget(hive);
    if (hive.Damaged && !KeepDamagedCopy(fileName)) return ErrorCodeOf(errno);
    if (const auto failure = TryWriteFileAtomically(fileName, text)) return ErrorCodeOf(failure->error);
    struct stat st {};
    if (::stat(fileName.ToUtf8().c_str(), &st) == 0) {
        hive.Identity = IdentityOf(st);
        hive.Loaded = true;
        hive.Damaged = false;
    }
    return ERROR_SUCCESS;
}

HKEY NewHandle(HKEY root, std::vector<String> path) {
    while (OpenKeys.count(NextHandle) || NextHandle >= HKEY_CLASSES_ROOT) NextHandle = NextHandle >= HKEY_CLASSES_ROOT ? 0x1000 : NextHandle + 4;
    const HKEY handle = NextHandle;
    NextHandle += 4;
    OpenKeys.emplace(handle, TOpenKey{root, std::move(path)});
    return handle;
}

// Copies Text with its NUL into a buffer of Length units; Length becomes the text's length.
LONG CopyName(const String& text, char16_t* buffer, DWORD* length) {
    if (!length) return ERROR_INVALID_PARAMETER;
    if (!buffer || static_cast<DWORD>(text.size()) >= *length) {
        if (!buffer) *length = static_cast<DWORD>(text.size());
        return ERROR_MORE_DATA;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    *length = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

LONG CopyData(const TRegValue& value, DWORD* type, uint8_t* data, DWORD* dataSize) {
    if (type) *type = value.Type;
    if (!dataSize) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const DWORD available = *dataSize;
    *dataSize = static_cast<DWORD>(value.Data.size());
    if (!data) return ERROR_SUCCESS;
    if (value.Data.size() > available) return ERROR_MORE_DATA;
    std::memcpy(data, value.Data.data(), value.Data.size());
    return ERROR_SUCCESS;
}

} // namespace

const char16_t* RegRootName(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA ? RootNames[key - HKEY_CLASSES_ROOT] : u"";
}

LONG RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD, REGSAM, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    std::lock_guard guard(Lock);
    HKEY root;
    std::vector<String> path;
    if (LONG rc = ResolveRoot(key, root, path)) return rc;
    TRegKey* base = Find(*Load(root).Tree, path);
    if (!base) return ERROR_KEY_DELETED;
    if (LONG rc = AppendPath(path, subKey)) return rc;
    if (!Find(*Load(root).Tree, path)) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(root, std::move(path));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD, char16_t*, DWORD, REGSAM, void*, HKEY* result,
                     DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    std::vector<String> relative;
    if (LONG rc = AppendPath(relative, subKey)) return rc;
    bool created = false;
    const LONG rc = ChangeKey(key, [&](TRegKey& base, bool& changed) {
        TRegKey* k = &base;
        for (const String& name : relative) {
            bool added = false;
            k = &k->AddSubKey(name, &added);
            created = created || added;
        }
        changed = created;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    std::lock_guard guard(Lock);
    HKEY root;
    std::vector<String> path;
    if (LONG rc2 = ResolveRoot(key, root, path)) return rc2;
    if (path.size() + relative.size() > RegMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    path.insert(path.end(), relative.begin(), relative.end());
    *result = NewHandle(root, std::move(path));
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    std::lock_guard guard(Lock);
    if (IsUsableRoot(key)) return ERROR_SUCCESS;
    return OpenKeys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD*, DWORD* type, uint8_t* data, DWORD* dataSize) {
    const String name = ValueNameOf(valueName);
    return ReadKey(key, [&](TRegKey& k) {
        const TRegValue* value = k.FindValue(name);
        return value ? CopyData(*value, type, data, dataSize) : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD, DWORD type, const uint8_t* data, DWORD dataSize) {
    const String name = ValueNameOf(valueName);
    if (name.Length() > RegMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    if (!data && dataSize) return ERROR_INVALID_PARAMETER;
    std::string bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
    return ChangeKey(key, [&](TRegKey& k, bool& changed) {
        const TRegValue* old = k.FindValue(name);
        changed = !old || old->Type != type || old->Data != bytes;
        if (changed) k.SetValue(name, type, std::move(bytes));
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueW(HKEY key, const char16_t* valueName) {
    const String name = ValueNameOf(valueName);
    return ChangeKey(key, [&](TRegKey& k, bool& changed) {
        changed = k.RemoveValue(name);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKeyW(HKEY key, const char16_t* subKey) {
    std::vector<String> relative;
    if (LONG rc = AppendPath(relative, subKey)) return rc;
    if (relative.empty()) return ERROR_ACCESS_DENIED;
    const String last = relative.back();
    relative.pop_back();
    return ChangeKey(key, [&](TRegKey& base, bool& changed) {
        TRegKey* parent = Find(base, relative);
        TRegKey* target = parent ? parent->FindSubKey(last) : nullptr;
        if (!target) return ERROR_FILE_NOT_FOUND;
        if (!target->SubKeys().empty()) return ERROR_ACCESS_DENIED;
        changed = parent->RemoveSubKey(last);
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExW(HKEY key, DWORD index, char16_t* name, DWORD* nameLength, DWORD*, char16_t*, DWORD* classLength,
                   void*) {
    return ReadKey(key, [&](TRegKey& k) {
        if (index >= k.SubKeys().size()) return ERROR_NO_MORE_ITEMS;
        if (classLength) *classLength = 0;
        return CopyName(k.SubKeys()[index]->Name(), name, nameLength);
    });
}

LONG RegEnumValueW(HKEY key, DWORD index, char16_t* valueName, DWORD* valueNameLength, DWORD*, DWORD* type,
                   uint8_t* data, DWORD* dataSize) {
    return ReadKey(key, [&](TRegKey& k) {
        if (index >= k.Values().size()) return ERROR_NO_MORE_ITEMS;
        const TRegValue& value = k.Values()[index];
        if (LONG rc = CopyName(value.Name, valueName, valueNameLength)) return rc;
        return CopyData(value, type, data, dataSize);
    });
}

LONG RegQueryInfoKeyW(HKEY key, char16_t* keyClass, DWORD* classLength, DWORD*, DWORD* subKeys, DWORD* maxSubKeyLength,
                      DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD*,
                      void*) {
    return ReadKey(key, [&](TRegKey& k) {
        if (keyClass && classLength && *classLength) keyClass[0] = 0;
        if (classLength) *classLength = 0;
        if (maxClassLength) *maxClassLength = 0;
        if (subKeys) *subKeys = static_cast<DWORD>(k.SubKeys().size());
        if (values) *values = static_cast<DWORD>(k.Values().size());
        DWORD longestKey = 0, longestName = 0, longestData = 0;
        for (const auto& sub : k.SubKeys()) longestKey = std::max<DWORD>(longestKey, sub->Name().size());
        for (const TRegValue& v : k.Values()) {
            longestName = std::max<DWORD>(longestName, v.Name.size());
            longestData = std::max<DWORD>(longestData, v.Data.size());
        }
        if (maxSubKeyLength) *maxSubKeyLength = longestKey;
        if (maxValueNameLength) *maxValueNameLength = longestName;
        if (maxValueLength) *maxValueLength = longestData;
        return ERROR_SUCCESS;
    });
}
