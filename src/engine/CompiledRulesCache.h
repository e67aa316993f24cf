#pragma once
// Compiled rules kept across scans. An entry is found again by the rule files it was compiled
// from (namespace and path of each) and by each file's identity when it was opened: device,
// inode, size and modification time. A second scan with the same, unchanged files compiles
// nothing; a file that was edited, replaced or deleted since makes a new entry. The files those
// include (at any depth) are known only once compiled: an entry found is used only while each of
// them is as it was then (one that was missing still missing), otherwise it is compiled again
// and replaced.
//
// Safe from any number of threads: scans asking at the same time for rules not yet compiled
// wait for one compilation. The entries used least recently are dropped beyond `capacity`;
// scans still holding them keep them alive.
#include "engine/CompiledRules.h"
#include "engine/FileIdentity.h"

#include <cstdint>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwick {

class CompiledRulesCache {
public:
    explicit CompiledRulesCache(size_t capacity = 4) : capacity_(capacity) {}

    // The process's cache. It is never destroyed, so scans still running when the process
    // ends keep their rules.
    static CompiledRulesCache& shared();

    // The rules of these rule files (namespace to path) and rule texts.
    std::shared_ptr<const CompiledRules> rulesFor(const std::map<std::string, std::string>& ruleFiles,
                                                  const std::vector<std::string>& ruleStrings);

    // How many compilations this cache has run.
    uint64_t compilations() const;

private:
    struct Key {
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<FileIdentity> identities;
        std::vector<std::string> strings;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        uint64_t generation;  // tells an entry from the one that replaced it
        std::shared_future<std::shared_ptr<const CompiledRules>> rules;
    };
    std::list<Entry>::iterator find(const Key& key);  // under mutex_

    const size_t capacity_;
    mutable std::mutex mutex_;
    std::list<Entry> entries_;  // most recently used first
    uint64_t compilations_ = 0;
    uint64_t nextGeneration_ = 0;
};

}  // namespace tarnwick
