#include "platform/rtl/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::string Sys(const String& name) { return name.ToUtf8(); }

bool Stat(const String& name, struct stat& st) { return stat(Sys(name).c_str(), &st) == 0; }

bool IsRoot(const String& path) { return path.Length() == 1 && path[0] == PathDelim; }

TDateTime LocalDateTime(time_t utc) {
    tm local;
    localtime_r(&utc, &local);
    return UnixToDateTime(static_cast<int64_t>(utc) + local.tm_gmtoff);
}

// Index of the last '/', or npos.
String::size_type LastDelim(const String& path) { return path.rfind(PathDelim); }

} // namespace

bool FileExists(const String& fileName) {
    struct stat st;
    return Stat(fileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& directory) {
    struct stat st;
    return Stat(directory, st) && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const String& dir) {
    if (dir.IsEmpty()) throw EInOutError("Unable to create directory");
    const String path = ExcludeTrailingPathDelimiter(dir);
    if (DirectoryExists(path)) return true;
    const String parent = ExtractFileDir(path);
    if (parent != path && !parent.IsEmpty() && !ForceDirectories(parent)) return false;
    return CreateDir(path) || (errno == EEXIST && DirectoryExists(path));
}

bool CreateDir(const String& dir) { return mkdir(Sys(dir).c_str(), 0777) == 0; }

bool RemoveDir(const String& dir) { return rmdir(Sys(dir).c_str()) == 0; }

bool DeleteFile(const String& fileName) { return unlink(Sys(fileName).c_str()) == 0; }

bool RenameFile(const String& oldName, const String& newName) {
    const std::string from = Sys(oldName), to = Sys(newName);
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // The file system cannot refuse to replace; check first.
    struct stat st;
    if (lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

bool KeepDamagedCopy(const String& fileName) {
    const std::string from = Sys(fileName);
    for (int n = 0; n < 1000; ++n) {
        const String copy = fileName + u".damaged" + (n ? u"." + IntToStr(n) : String());
        if (link(from.c_str(), Sys(copy).c_str()) == 0 || errno == ENOENT) return true;
        // No hard links on this file system, or none to a file of another owner.
        if (errno == EPERM || errno == EOPNOTSUPP) return RenameFile(fileName, copy) || errno == ENOENT;
        if (errno != EEXIST) return false;
    }
    return false;
}

int64_t FileSize(const String& fileName) {
    struct stat st;
    return Stat(fileName, st) ? static_cast<int64_t>(st.st_size) : -1;
}

bool FileAge(const String& fileName, TDateTime& fileDateTime) {
    struct stat st;
    if (!Stat(fileName, st)) return false;
    fileDateTime = LocalDateTime(st.st_mtime);
    return true;
}

String ExtractFilePath(const String& fileName) {
    const auto i = LastDelim(fileName);
    return i == String::npos ? String() : fileName.substr(0, i + 1);
}

String ExtractFileDir(const String& fileName) {
    const auto i = LastDelim(fileName);
    if (i == String::npos) return String();
    return fileName.substr(0, i == 0 ? 1 : i);
}

String ExtractFileName(const String& fileName) {
    const auto i = LastDelim(fileName);
    return i == String::npos ? fileName : fileName.substr(i + 1);
}

String ExtractFileExt(const String& fileName) {
    const auto dot = fileName.rfind(u'.');
    const auto delim = LastDelim(fileName);
    if (dot == String::npos || (delim != String::npos && dot < delim)) return String();
    return fileName.substr(dot);
}

String ChangeFileExt(const String& fileName, const String& extension) {
    return fileName.substr(0, fileName.Length() - ExtractFileExt(fileName).Length()) + extension;
}

String IncludeTrailingPathDelimiter(const String& path) {
    return path.ends_with(PathDelim) ? path : path + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& path) {
    return path.ends_with(PathDelim) && !IsRoot(path) ? path.substr(0, path.size() - 1) : path;
}

String ExpandFileName(const String& fileName) {
    const String full =
        fileName.starts_with(PathDelim) ? fileName : IncludeTrailingPathDelimiter(GetCurrentDir()) + fileName;
    std::vector<String> parts;
    String::size_type start = 1;
    while (start <= full.size()) {
        auto end = full.find(PathDelim, start);
        if (end == String::npos) end = full.size();
        const String part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.IsEmpty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    String result;
    for (const String& part : parts) result += PathDelim + part;
    if (result.IsEmpty() || full.ends_with(PathDelim)) result += PathDelim;
    return result;
}

String GetCurrentDir() {
    std::unique_ptr<char, decltype(&std::free)> dir(getcwd(nullptr, 0), &std::free);
    if (!dir) RaiseLastOSError();
    return String(dir.get());
}

bool SetCurrentDir(const String& dir) { return chdir(Sys(dir).c_str()) == 0; }

String GetTempDir() {
    const char* dir = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(String(dir && *dir ? dir : "/tmp"));
}

String GetTempFileName(const String& dir, const String& prefix) {
    std::string name = Sys(IncludeTrailingPathDelimiter(dir) + prefix) + "XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) RaiseLastOSError(errno, "Cannot create a file in " + dir);
    close(fd);
    return String(name);
}

namespace {

bool Matches(const char16_t* name, const char16_t* nameEnd, const char16_t* mask, const char16_t* maskEnd) {
    // Greedy match with backtracking to the last '*'.
    const char16_t* star = nullptr;
    const char16_t* resume = nullptr;
    while (name != nameEnd) {
        if (mask != maskEnd && *mask == u'*') {
            star = mask++;
            resume = name;
        } else if (mask != maskEnd && (*mask == u'?' || LoCase(*mask) == LoCase(*name))) {
            ++mask;
            ++name;
        } else if (star) {
            mask = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (mask != maskEnd && *mask == u'*') ++mask;
    return mask == maskEnd;
}

} // namespace

bool MatchesMask(const String& name, const String& mask) {
    if (mask == "*.*") return true;
    return Matches(name.data(), name.data() + name.size(), mask.data(), mask.data() + mask.size());
}

struct TSearchRec::TFindState {
    DIR* dir = nullptr;
    String folder;  // with trailing '/'
    String mask;
    int excluded = 0;
    ~TFindState() {
        if (dir) closedir(dir);
    }
};

namespace {

// -1 when the entry is gone.
int Attributes(const std::string& path, const String& name, int64_t& size, TDateTime& time) {
    struct stat st, link;
    if (lstat(path.c_str(), &link) != 0) return -1;
    const bool isLink = S_ISLNK(link.st_mode);
    if (!isLink || stat(path.c_str(), &st) != 0) st = link;
    size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
    time = LocalDateTime(st.st_mtime);
    int attr = S_ISDIR(st.st_mode) ? faDirectory : S_ISREG(st.st_mode) ? faArchive : faSysFile;
    if (!(st.st_mode & S_IWUSR)) attr |= faReadOnly;
    if (name.starts_with(u'.')) attr |= faHidden;
    if (isLink) attr |= faSymLink;
    return attr;
}

} // namespace

int FindNext(TSearchRec& f) {
    TSearchRec::TFindState* state = f.FindHandle.get();
    if (!state || !state->dir) return EBADF;
    while (const dirent* entry = readdir(state->dir)) {
        const String name(entry->d_name);
        if (name == "." || name == ".." || !MatchesMask(name, state->mask)) continue;
        int64_t size;
        TDateTime time;
        const int attr = Attributes(Sys(state->folder + name), name, size, time);
        if (attr < 0 || (attr & state->excluded)) continue;
        f.Name = name;
        f.Size = size;
        f.Attr = attr;
        f.Time = time;
        return 0;
    }
    return ENOENT;
}

int FindFirst(const String& path, int attr, TSearchRec& f) {
    auto state = std::make_shared<TSearchRec::TFindState>();
    state->folder = ExtractFilePath(path);
    state->mask = ExtractFileName(path);
    state->excluded = ~attr & (faHidden | faSysFile | faDirectory);
    state->dir = opendir(state->folder.IsEmpty() ? "." : Sys(state->folder).c_str());
    if (!state->dir) return errno;
    f.FindHandle = std::move(state);
    const int rc = FindNext(f);
    if (rc != 0) FindClose(f);
    return rc;
}

void FindClose(TSearchRec& f) { f.FindHandle.reset(); }
