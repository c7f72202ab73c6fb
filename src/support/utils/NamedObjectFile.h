#pragma once
// Named objects shared by the processes of one user: a file per name in the
// data folder's Locks/ folder, mapped into memory. Every user holds a shared
// lock on the file; the last one to close it removes it, and an opener checks
// after locking that the file it opened is still the name's file. A file left
// by a process that died is set up afresh by the next opener.

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/rtl/String.h"

class TNamedObjectFile {
public:
    enum class TKind : uint32_t { Mutex = 1, SharedMemory = 2 };
    enum class TView { ReadWrite, ReadOnly, CopyOnWrite };

    // Opens the object Name of that kind (any text is a name). When no process
    // uses the name, creates it with Size zero bytes and hands them to
    // Initialize first; with Size 0 nothing is created and the result is null.
    // An existing object is mapped whole for Size 0, else its first Size bytes.
    // Raises EOSError.
    static std::unique_ptr<TNamedObjectFile> Open(TKind kind, const String& name, size_t size,
                                                  TView view = TView::ReadWrite,
                                                  const std::function<void(void* data)>& initialize = {});
    ~TNamedObjectFile();
    TNamedObjectFile(const TNamedObjectFile&) = delete;
    TNamedObjectFile& operator=(const TNamedObjectFile&) = delete;

    // The object was there before this open.
    bool Existed() const noexcept { return existed_; }
    void* Data() const noexcept { return data_; }
    size_t Size() const noexcept { return size_; }

    // The file that holds the name's object of Kind.
    static String FileNameOf(TKind kind, const String& name);

private:
    TNamedObjectFile(int fd, std::string path, bool existed, void* data, size_t size);

    int fd_;
    std::string path_;
    bool existed_;
    void* data_;
    size_t size_;
    int openerPid_;
};
