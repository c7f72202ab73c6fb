#pragma once
// File system faults a test provokes in a forked child (TChildProcess), without
// touching the machine: a folder that fills up or turns read-only (a file system
// mounted in a mount namespace of the child's own; when the child is not root,
// in a user namespace first, which the kernel grants only to a process with one
// thread), and permissions that hold even for root. Each raises
// std::runtime_error naming the step that failed.

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace file_system_faults_detail {

inline void Fail(const std::string& step) { throw std::runtime_error(step + ": " + std::strerror(errno)); }

inline void WriteProcFile(const char* name, const std::string& text) {
    const int fd = ::open(name, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (fd >= 0) ::close(fd);
    if (!written) Fail(std::string("writing ") + name);
}

inline void EnterMountNamespace() {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) Fail("unshare(CLONE_NEWNS)");
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) Fail("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
        WriteProcFile("/proc/self/setgroups", "deny");
        WriteProcFile("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1");
        WriteProcFile("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
    }
    // Nothing mounted from here on reaches the other namespaces.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) Fail("making / private");
}

} // namespace file_system_faults_detail

// Mounts an empty memory file system of Bytes bytes over Folder.
inline void MountPrivateTmpfs(const std::filesystem::path& folder, size_t bytes) {
    file_system_faults_detail::EnterMountNamespace();
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        file_system_faults_detail::Fail("mounting tmpfs on " + folder.string());
}

// Makes the file system mounted over Folder read-only.
inline void RemountReadOnly(const std::filesystem::path& folder) {
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        file_system_faults_detail::Fail("remounting " + folder.string() + " read-only");
}

// Lets file permissions bind the calling process even when it is root, by
// dropping the capabilities that override them.
inline void ObeyFilePermissions() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) file_system_faults_detail::Fail("capget");
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[capability / 32].effective &= ~(1u << (capability % 32));
    if (::syscall(SYS_capset, &header, data) != 0) file_system_faults_detail::Fail("capset");
}
