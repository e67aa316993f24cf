#include "yago/Source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::yago {

bool readSource(const std::string& path, Source& out, std::string& reason) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        reason = "no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        reason = "not a regular file";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = "not a regular file";
        ::close(fd);
        return false;
    }
    out = Source{};
    if (info.st_size > 0) {
        // Mapped rather than copied, with its pages brought in at once: a large rule file then
        // costs neither a copy nor a page fault per page.
        const size_t size = static_cast<size_t>(info.st_size);
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map == MAP_FAILED) {
            reason = std::strerror(errno);
            ::close(fd);
            return false;
        }
        out.bytes = std::shared_ptr<const char>(static_cast<const char*>(map),
                                                [size](const char* p) { ::munmap(const_cast<char*>(p), size); });
        out.bytesSize = size;
    }
    ::close(fd);
    out.name = path;
    const auto canonical = std::filesystem::weakly_canonical(path, ec);
    out.key = ec ? path : canonical.string();
    return true;
}

bool resolveFromDisk(const Source& from, const std::string& path, Source& found, std::string& reason) {
    std::string full = path;
    if (!path.empty() && path.front() != '/') {
        const auto slash = from.name.rfind('/');
        if (slash != std::string::npos) full = from.name.substr(0, slash + 1) + path;
    }
    std::string why;
    if (readSource(full, found, why)) return true;
    reason = "cannot open included file \"" + path + "\": " + why;
    return false;
}

}  // namespace tarnwick::yago
