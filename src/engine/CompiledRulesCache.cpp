#include "engine/CompiledRulesCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarnwick {
namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<FILE, FileCloser>;

// Opens a rule file for reading without ever blocking on a FIFO or a device, and answers why
// not when it is not a regular file that can be read.
OpenFile openRuleFile(const std::string& path, struct stat& info, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return nullptr;
    }
    FILE* file = ::fdopen(fd, "r");
    if (!file) {
        error = errno;
        ::close(fd);
        return nullptr;
    }
    error = 0;
    return OpenFile(file);
}

}  // namespace

CompiledRulesCache& CompiledRulesCache::shared() {
    static CompiledRulesCache* cache = new CompiledRulesCache;
    return *cache;
}

uint64_t CompiledRulesCache::compilations() const {
    std::lock_guard lock(mutex_);
    return compilations_;
}

std::shared_ptr<const CompiledRules> CompiledRulesCache::rulesFor(const std::map<std::string, std::string>& ruleFiles,
                                                                  const std::vector<std::string>& ruleStrings) {
    // The identity of each file is taken from the very stream that would be compiled, so an entry
    // never holds rules of content other than its key says.
    Key key;
    key.strings = ruleStrings;
    std::vector<OpenFile> files;
    std::vector<std::string> openErrors;
    for (const auto& [nameSpace, path] : ruleFiles) {
        struct stat info {};
        Identity identity;
        OpenFile file = openRuleFile(path, info, identity.openError);
        if (file) {
            identity.device = info.st_dev;
            identity.inode = info.st_ino;
            identity.size = info.st_size;
            identity.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        } else {
            openErrors.push_back(path + ": " + std::strerror(identity.openError));
        }
        key.files.emplace_back(nameSpace, path);
        key.identities.push_back(identity);
        files.push_back(std::move(file));
    }

    std::promise<std::shared_ptr<const CompiledRules>> promise;
    {
        std::unique_lock lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->key == key) {
                entries_.splice(entries_.begin(), entries_, it);
                auto rules = it->rules;
                lock.unlock();
                return rules.get();  // waits while another scan compiles it
            }
        }
        entries_.push_front(Entry{key, promise.get_future().share()});
        if (entries_.size() > capacity_) entries_.pop_back();
        ++compilations_;
    }

    std::vector<CompiledRules::Source> sources;
    for (size_t i = 0; i < files.size(); ++i)
        sources.push_back({key.files[i].first, key.files[i].second, files[i].get(), {}});
    for (size_t i = 0; i < ruleStrings.size(); ++i)
        sources.push_back({"rule text " + std::to_string(i + 1), {}, nullptr, ruleStrings[i]});
    std::shared_ptr<const CompiledRules> rules;
    try {
        rules = CompiledRules::compile(sources, openErrors);
    } catch (...) {
        // Scans waiting for this compilation get the failure; later ones try again.
        promise.set_exception(std::current_exception());
        std::lock_guard lock(mutex_);
        entries_.remove_if([&](const Entry& entry) { return entry.key == key; });
        throw;
    }
    promise.set_value(rules);
    return rules;
}

}  // namespace tarnwick
