#include "support/utils/NamedObjectFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

namespace {

// Byte ranges locked with open-file-description locks: the guard is held
// exclusively while a user opens or closes, the user lock shared while open.
constexpr off_t kGuardByte = 0;
constexpr off_t kUserByte = 1;

constexpr char kMagic[8] = {'O', 's', 't', 'r', 'e', 'l', 'N', 'O'};

// The start of every file; the name's UTF-8 bytes follow, the data starts at
// the next page.
struct TFileHeader {
    char magic[8];
    uint32_t kind;
    uint32_t nameLength;
    uint64_t dataOffset;
    uint64_t dataSize;
};

// Longest encoded name kept whole in a file name; longer ones are cut and
// completed by a hash, the stored name telling them apart.
constexpr size_t kMaxEncodedName = 200;

[[noreturn]] void Fail(int error, const std::string& path) { RaiseLastOSError(error, String(path)); }

class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd() {
        if (fd_ >= 0) close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const noexcept { return fd_; }
    int Release() noexcept { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// False when another description holds a conflicting lock and Wait is false.
bool SetLock(int fd, off_t byte, short type, bool wait) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    while (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR) continue;
        return false;
    }
    return true;
}

void Lock(int fd, off_t byte, short type, const std::string& path) {
    if (!SetLock(fd, byte, type, true)) Fail(errno, path);
}

bool TryLock(int fd, off_t byte, short type, const std::string& path) {
    if (SetLock(fd, byte, type, false)) return true;
    if (errno != EAGAIN && errno != EACCES) Fail(errno, path);
    return false;
}

// The opened file is still the one the path names (its last user may have
// removed it between the open and the lock).
bool IsFileAt(int fd, const std::string& path) {
    struct stat opened {}, named {};
    if (fstat(fd, &opened) != 0) Fail(errno, path);
    if (stat(path.c_str(), &named) != 0) {
        if (errno == ENOENT) return false;
        Fail(errno, path);
    }
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

uint64_t PageSize() { return static_cast<uint64_t>(sysconf(_SC_PAGESIZE)); }

uint64_t DataOffsetFor(size_t nameLength) {
    const uint64_t page = PageSize();
    return (sizeof(TFileHeader) + nameLength + page - 1) / page * page;
}

void* Map(int fd, uint64_t offset, size_t size, TNamedObjectFile::TView view, const std::string& path) {
    int protection = PROT_READ | PROT_WRITE;
    int flags = MAP_SHARED;
    if (view == TNamedObjectFile::TView::ReadOnly) protection = PROT_READ;
    if (view == TNamedObjectFile::TView::CopyOnWrite) flags = MAP_PRIVATE;
    void* data = mmap(nullptr, size, protection, flags, fd, static_cast<off_t>(offset));
    if (data == MAP_FAILED) Fail(errno, path);
    return data;
}

void WriteAll(int fd, const void* bytes, size_t count, off_t offset, const std::string& path) {
    const ssize_t written = pwrite(fd, bytes, count, offset);
    if (written < 0) Fail(errno, path);
    if (static_cast<size_t>(written) != count) Fail(ENOSPC, path);
}

// Writes the header and reserves the zeroed data, so a full disk shows here
// rather than as a fault when the mapping is first touched.
uint64_t SetUp(int fd, TNamedObjectFile::TKind kind, const std::string& name, size_t size, const std::string& path) {
    if (ftruncate(fd, 0) != 0) Fail(errno, path);
    TFileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.kind = static_cast<uint32_t>(kind);
    header.nameLength = static_cast<uint32_t>(name.size());
    header.dataOffset = DataOffsetFor(name.size());
    header.dataSize = size;
    WriteAll(fd, &header, sizeof header, 0, path);
    WriteAll(fd, name.data(), name.size(), sizeof header, path);
    if (const int error = posix_fallocate(fd, 0, static_cast<off_t>(header.dataOffset + size))) Fail(error, path);
    return header.dataOffset;
}

// The header of an object in use; raises when the file is not one of ours for this name.
TFileHeader ReadHeader(int fd, TNamedObjectFile::TKind kind, const std::string& name, const std::string& path) {
    TFileHeader header{};
    std::string stored(name.size(), '\0');
    struct stat info {};
    const bool valid = fstat(fd, &info) == 0 && pread(fd, &header, sizeof header, 0) == sizeof header &&
                       std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
                       header.kind == static_cast<uint32_t>(kind) && header.nameLength == name.size() &&
                       pread(fd, stored.data(), stored.size(), sizeof header) == static_cast<ssize_t>(stored.size()) &&
                       stored == name && header.dataOffset == DataOffsetFor(name.size()) && header.dataSize > 0 &&
                       static_cast<uint64_t>(info.st_size) == header.dataOffset + header.dataSize;
    if (!valid) Fail(EINVAL, path);
    return header;
}

std::string EncodedName(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
            c == '.') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    if (encoded.size() <= kMaxEncodedName) return encoded;
    uint64_t hash = 0xcbf29ce484222325u; // FNV-1a
    for (const unsigned char c : name) hash = (hash ^ c) * 0x100000001b3u;
    encoded.resize(kMaxEncodedName - 20);
    if (const auto escape = encoded.find('%', encoded.size() - 2); escape != std::string::npos) encoded.resize(escape);
    encoded += '~';
    for (int shift = 60; shift >= 0; shift -= 4) encoded += kHex[(hash >> shift) & 15];
    return encoded;
}

} // namespace

String TNamedObjectFile::FileNameOf(TKind kind, const String& name) {
    const char* suffix = kind == TKind::Mutex ? ".mutex" : ".shm";
    return IncludeTrailingPathDelimiter(DataFolder()) + "Locks/" + String(EncodedName(name.ToUtf8()) + suffix);
}

std::unique_ptr<TNamedObjectFile> TNamedObjectFile::Open(TKind kind, const String& name, size_t size, TView view,
                                                         const std::function<void(void* data)>& initialize) {
    const String folder = IncludeTrailingPathDelimiter(DataFolder()) + "Locks";
    if (!ForceDirectories(folder)) Fail(errno, folder.ToUtf8());
    const std::string path = FileNameOf(kind, name).ToUtf8();
    const std::string utf8Name = name.ToUtf8();
    for (;;) {
        TFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (fd.Get() < 0) Fail(errno, path);
        Lock(fd.Get(), kGuardByte, F_WRLCK, path);
        if (!IsFileAt(fd.Get(), path)) continue;

        void* data = nullptr;
        bool existed = false;
        if (TryLock(fd.Get(), kUserByte, F_WRLCK, path)) {
            // Nobody else uses the name: set the object up afresh, or leave no file behind.
            if (size == 0) {
                unlink(path.c_str());
                return nullptr;
            }
            try {
                data = Map(fd.Get(), SetUp(fd.Get(), kind, utf8Name, size, path), size, view, path);
                if (initialize) initialize(data);
            } catch (...) {
                if (data) munmap(data, size);
                unlink(path.c_str());
                throw;
            }
            Lock(fd.Get(), kUserByte, F_RDLCK, path);
        } else {
            Lock(fd.Get(), kUserByte, F_RDLCK, path);
            const TFileHeader header = ReadHeader(fd.Get(), kind, utf8Name, path);
            if (size > header.dataSize) Fail(EINVAL, path);
            if (size == 0) size = header.dataSize;
            data = Map(fd.Get(), header.dataOffset, size, view, path);
            existed = true;
        }
        SetLock(fd.Get(), kGuardByte, F_UNLCK, false);
        return std::unique_ptr<TNamedObjectFile>(new TNamedObjectFile(fd.Release(), path, existed, data, size));
    }
}

TNamedObjectFile::TNamedObjectFile(int fd, std::string path, bool existed, void* data, size_t size)
    : fd_(fd), path_(std::move(path)), existed_(existed), data_(data), size_(size), openerPid_(getpid()) {}

TNamedObjectFile::~TNamedObjectFile() {
    munmap(data_, size_);
    // A forked child shares its parent's locks: it only lets go of its copy.
    if (getpid() == openerPid_ && SetLock(fd_, kGuardByte, F_WRLCK, true)) {
        SetLock(fd_, kUserByte, F_UNLCK, false);
        if (SetLock(fd_, kUserByte, F_WRLCK, false)) unlink(path_.c_str());
    }
    close(fd_);
}
