#include "engine/RuleIncludes.h"

#include <yara.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace tarnwick {
namespace {

// The whole file as a NUL-terminated text for libyara, which gives it back to `release`; null
// with errno set when it could not be read.
char* readText(int fd) {
    std::string bytes;
    char chunk[16384];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return nullptr;
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    char* text = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (!text) {
        errno = ENOMEM;
        return nullptr;
    }
    std::memcpy(text, bytes.data(), bytes.size());
    text[bytes.size()] = '\0';
    return text;
}

}  // namespace

void RuleIncludes::install(YR_COMPILER* compiler) { yr_compiler_set_include_callback(compiler, provide, release, this); }

void RuleIncludes::beginSource(const std::string& path) {
    if (!path.empty()) reading_.erase(path);  // libyara knows a rule file by the path it was given
}

std::string RuleIncludes::pathOf(const std::string& name) const {
    const auto found = reading_.find(name);
    return found == reading_.end() ? name : found->second;
}

std::string RuleIncludes::resolve(const std::string& name, const std::string& includingPath) {
    if (name.starts_with('/')) return name;
    const size_t slash = includingPath.rfind('/');
    return slash == std::string::npos ? name : includingPath.substr(0, slash + 1) + name;
}

bool RuleIncludes::unchanged(const std::vector<Included>& included) {
    for (const Included& file : included)
        if (FileIdentity::now(file.path) != file.identity) return false;
    return true;
}

const char* RuleIncludes::provide(const char* name, const char* includingFile, const char*, void* self) {
    try {
        return static_cast<RuleIncludes*>(self)->provide(std::string(name ? name : ""), includingFile);
    } catch (...) {
        return nullptr;  // libyara reports the include as not provided
    }
}

void RuleIncludes::release(const char* text, void*) { std::free(const_cast<char*>(text)); }

const char* RuleIncludes::provide(const std::string& name, const char* includingFile) {
    const std::string path = resolve(name, includingFile ? pathOf(includingFile) : std::string());
    Included looked{path, {}};
    std::unique_ptr<char, void (*)(void*)> text(nullptr, std::free);
    if (UniqueFd fd = FileIdentity::open(path, looked.identity)) {
        text.reset(readText(fd.get()));
        // Kept as a failure, so that the next look finds it changed and compiles again.
        if (!text) looked.identity.openError = errno;
    }
    included_.insert(looked);
    if (text) reading_[name] = path;
    return text.release();
}

}  // namespace tarnwick
