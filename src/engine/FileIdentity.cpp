#include "engine/FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace tarnwick {

UniqueFd FileIdentity::open(const std::string& path, FileIdentity& identity) {
    identity = FileIdentity{};
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        identity.openError = errno;
        return fd;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        identity.openError = errno;
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        identity.openError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return UniqueFd();
    }
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return fd;
}

FileIdentity FileIdentity::now(const std::string& path) {
    FileIdentity identity;
    open(path, identity);
    return identity;
}

}  // namespace tarnwick
