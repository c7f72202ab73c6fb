#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/rtl/Exceptions.h"

// --- TCustomMemoryStream ---------------------------------------------------

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || position_ >= size_) return 0;
    const int64_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, static_cast<const char*>(memory_) + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    switch (origin) {
    case soBeginning: base = 0; break;
    case soCurrent: base = position_; break;
    case soEnd: base = size_; break;
    }
    if (offset < -base || offset > std::numeric_limits<int64_t>::max() - base)
        throw EStreamError("Invalid stream position");
    position_ = base + offset;
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const String& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

void TCustomMemoryStream::SetPointer(void* memory, int64_t size) noexcept {
    memory_ = memory;
    size_ = size;
}

// --- TMemoryStream ---------------------------------------------------------

TMemoryStream::TMemoryStream(TBytes bytes) : data_(std::move(bytes)) {
    SetPointer(data_.data(), static_cast<int64_t>(data_.size()));
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    const int64_t pos = Position();
    if (count <= 0 || count > std::numeric_limits<int64_t>::max() - pos) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (pos == Size()) { // appending: no zero fill of what is written over at once
        data_.insert(data_.end(), bytes, bytes + count);
        SetPointer(data_.data(), pos + count);
        Seek(count, soCurrent);
        return count;
    }
    if (pos + count > Size()) {
        data_.resize(static_cast<size_t>(pos + count));
        SetPointer(data_.data(), pos + count);
    }
    std::memcpy(data_.data() + pos, bytes, static_cast<size_t>(count));
    Seek(count, soCurrent);
    return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EStreamError("Invalid stream size");
    const int64_t pos = Position();
    data_.resize(static_cast<size_t>(newSize));
    SetPointer(data_.data(), newSize);
    if (pos > newSize) Seek(0, soEnd);
}

void TMemoryStream::Clear() {
    TBytes().swap(data_);
    SetPointer(nullptr, 0);
    Seek(0, soBeginning);
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    SetSize(size);
    stream.ReadBuffer(data_.data(), size);
    Seek(0, soBeginning);
}

void TMemoryStream::LoadFromFile(const String& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

// --- TStringStream ---------------------------------------------------------

namespace {

TBytes EncodeBytes(const String& text, int codePage) {
    const std::string bytes = EncodeCodePage(text, codePage);
    return TBytes(bytes.begin(), bytes.end());
}

std::string_view AsChars(const uint8_t* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

} // namespace

TStringStream::TStringStream(const String& text, int codePage)
    : TBytesStream(EncodeBytes(text, codePage)), codePage_(codePage) {}

String TStringStream::DataString() const { return DecodeCodePage(AsChars(Bytes().data(), Bytes().size()), codePage_); }

String TStringStream::ReadString(int64_t count) {
    const int64_t pos = Position();
    const int64_t n = std::clamp<int64_t>(Size() - pos, 0, std::max<int64_t>(count, 0));
    Seek(n, soCurrent);
    return DecodeCodePage(AsChars(Bytes().data() + pos, static_cast<size_t>(n)), codePage_);
}

void TStringStream::WriteString(const String& text) {
    const std::string bytes = EncodeCodePage(text, codePage_);
    WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// --- TFileStream -----------------------------------------------------------

TFileStream::TFileStream(const String& fileName, uint16_t mode) : fileName_(fileName) {
    const std::string path = fileName.ToUtf8();
    if ((mode & fmCreate) == fmCreate) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(errno));
        return;
    }
    int flags = O_RDONLY;
    switch (mode & 0x0003) {
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: break;
    }
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd_ < 0) throw EFOpenError("Cannot open file \"" + fileName + "\". " + SysErrorMessage(errno));
    // A folder opens for reading, then reads fail and its size is bogus.
    struct stat st;
    if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + SysErrorMessage(EISDIR));
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (pos < 0) throw EStreamError("Invalid stream position: " + SysErrorMessage(errno));
    return pos;
}

void TFileStream::SetSize(int64_t newSize) {
    if (::ftruncate(fd_, static_cast<off_t>(newSize)) != 0)
        throw EStreamError("Cannot change the size of \"" + fileName_ + "\". " + SysErrorMessage(errno));
    if (Position() > newSize) Seek(0, soEnd);
}
