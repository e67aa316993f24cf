#include "engine/CompiledRulesCache.h"

#include <cstring>

namespace tarnwick {

CompiledRulesCache& CompiledRulesCache::shared() {
    static CompiledRulesCache* cache = new CompiledRulesCache;
    return *cache;
}

uint64_t CompiledRulesCache::compilations() const {
    std::lock_guard lock(mutex_);
    return compilations_;
}

std::list<CompiledRulesCache::Entry>::iterator CompiledRulesCache::find(const Key& key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->key == key) return it;
    return entries_.end();
}

std::shared_ptr<const CompiledRules> CompiledRulesCache::rulesFor(const std::map<std::string, std::string>& ruleFiles,
                                                                  const std::vector<std::string>& ruleStrings) {
    // The identity of each file is taken from the very descriptor that would be compiled, so an
    // entry never holds rules of content other than its key says.
    Key key;
    key.strings = ruleStrings;
    std::vector<UniqueFd> files;
    std::vector<std::string> openErrors;
    for (const auto& [nameSpace, path] : ruleFiles) {
        FileIdentity identity;
        UniqueFd file = FileIdentity::open(path, identity);
        if (!file) openErrors.push_back(path + ": " + std::strerror(identity.openError));
        key.files.emplace_back(nameSpace, path);
        key.identities.push_back(identity);
        files.push_back(std::move(file));
    }

    std::promise<std::shared_ptr<const CompiledRules>> promise;
    {
        std::unique_lock lock(mutex_);
        for (auto it = find(key); it != entries_.end(); it = find(key)) {
            entries_.splice(entries_.begin(), entries_, it);
            const uint64_t generation = it->generation;
            auto rules = it->rules;
            lock.unlock();
            std::shared_ptr<const CompiledRules> compiled = rules.get();  // waits while another scan compiles it
            // The files included are not in the key: they are known only once compiled.
            if (compiled->includesUnchanged()) return compiled;
            lock.lock();
            it = find(key);
            // Stale: replaced here, unless another scan has replaced it meanwhile (then its
            // compilation is looked at in turn).
            if (it != entries_.end() && it->generation == generation) {
                entries_.erase(it);
                break;
            }
        }
        entries_.push_front(Entry{key, nextGeneration_++, promise.get_future().share()});
        if (entries_.size() > capacity_) entries_.pop_back();
        ++compilations_;
    }

    std::vector<CompiledRules::Source> sources;
    for (size_t i = 0; i < files.size(); ++i)
        sources.push_back({key.files[i].first, key.files[i].second, files[i].get(), {}});
    for (size_t i = 0; i < ruleStrings.size(); ++i)
        sources.push_back({"rule text " + std::to_string(i + 1), {}, -1, ruleStrings[i]});
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
