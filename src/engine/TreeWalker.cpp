#include "engine/TreeWalker.h"

#include <fcntl.h>
#include <fts.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tarnwick {
namespace {

// File systems whose files are the kernel's state rather than data: reading them can block,
// never end or touch hardware.
bool isPseudoType(unsigned long type) {
    switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case AUTOFS_SUPER_MAGIC:
    case USBDEVICE_SUPER_MAGIC:
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
    case 0x19800202:  // mqueue
        return true;
    default:
        return false;
    }
}

struct FtsCloser {
    void operator()(FTS* fts) const { fts_close(fts); }
};

// Opens a file the walk found as a regular file, if it still is one. O_NONBLOCK keeps a FIFO put
// in its place from blocking the open; O_NOFOLLOW refuses a symbolic link put in its place.
UniqueFd openRegularFile(const char* path, int& error, bool followLink = false) {
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    // Leave the access times of the volume as they were where the owner allows it.
    int fd = ::open(path, flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path, flags);
    if (fd < 0) {
        error = errno;
        return UniqueFd();
    }
    UniqueFd file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = 0;  // no longer a regular file: passed by like any other
        return UniqueFd();
    }
    return file;
}

}  // namespace

UniqueFd TreeWalker::openFile(const std::string& path, ScanMessages& messages) {
    if (onPseudoFileSystem(path)) {
        messages.error(path + ": on a pseudo file system, not scanned");
        return UniqueFd();
    }
    int error = 0;
    UniqueFd fd = openRegularFile(path.c_str(), error, true);
    if (!fd) messages.error(path + ": " + (error != 0 ? std::strerror(error) : "not a regular file"));
    return fd;
}

bool TreeWalker::onPseudoFileSystem(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0) return false;
    return isPseudoType(static_cast<unsigned long>(info.f_type));
}

void TreeWalker::walk(const std::string& root, const Visit& visit, ScanMessages& messages) {
    std::string rootPath = root;
    char* roots[] = {rootPath.data(), nullptr};
    // FTS_NOCHDIR: the walk must not move the working directory of a process with other threads.
    std::unique_ptr<FTS, FtsCloser> fts(fts_open(roots, FTS_PHYSICAL | FTS_COMFOLLOW | FTS_NOCHDIR, nullptr));
    if (!fts) {
        messages.error(root + ": " + std::strerror(errno));
        return;
    }
    for (;;) {
        errno = 0;
        FTSENT* entry = fts_read(fts.get());
        if (!entry) {
            // A walk that cannot go on leaves the rest of the tree unscanned.
            if (errno != 0) messages.error(root + ": " + std::strerror(errno));
            return;
        }
        // What goes wrong with the root leaves nothing scanned; with an entry below, only that entry.
        const bool atRoot = entry->fts_level == FTS_ROOTLEVEL;
        const ScanMessages::Level level = atRoot ? ScanMessages::Level::error : ScanMessages::Level::warning;
        switch (entry->fts_info) {
        case FTS_D: {
            // A pseudo file system can only begin at the root or where the device changes.
            const bool mountPoint = atRoot || entry->fts_statp->st_dev != entry->fts_parent->fts_statp->st_dev;
            if (mountPoint && onPseudoFileSystem(entry->fts_accpath)) {
                fts_set(fts.get(), entry, FTS_SKIP);
                if (atRoot) messages.error(root + ": on a pseudo file system, not scanned");
            }
            break;
        }
        case FTS_F: {
            int error = 0;
            UniqueFd fd = openRegularFile(entry->fts_accpath, error);
            if (!fd) {
                if (error != 0) messages.add(level, std::string(entry->fts_path) + ": " + std::strerror(error));
                break;
            }
            if (!visit(WalkedFile{entry->fts_path, std::move(fd), atRoot})) return;
            break;
        }
        case FTS_DNR:
        case FTS_ERR:
        case FTS_NS:
            messages.add(level, std::string(entry->fts_path) + ": " + std::strerror(entry->fts_errno));
            break;
        default:
            // FTS_DC (a directory met again: a loop through mounts), FTS_DP (a directory left),
            // FTS_SL/FTS_SLNONE (symbolic links), FTS_DEFAULT (FIFOs, sockets, devices). Below the
            // root they are passed by in silence; as the root they leave nothing to scan.
            if (atRoot && entry->fts_info != FTS_DP)
                messages.error(root + ": " + (entry->fts_info == FTS_SLNONE ? "a symbolic link to nothing"
                                                                            : "neither a regular file nor a folder"));
            break;
        }
    }
}

}  // namespace tarnwick
