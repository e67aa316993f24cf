#include "yago/Source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = std::strerror(errno);
        return false;
    }
    std::string text;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) text.resize(static_cast<size_t>(size));  // one allocation for the whole file
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || static_cast<size_t>(in.gcount()) != text.size()) {
        reason = "read error";
        return false;
    }
    out.name = path;
    const auto canonical = std::filesystem::weakly_canonical(path, ec);
    out.key = ec ? path : canonical.string();
    out.text = std::move(text);
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
