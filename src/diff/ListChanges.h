#pragma once
// What changed between two versions of a list whose entries are known by a key (a rule's name, a
// plug-in's identifier): entries only in the new list, entries only in the old one, and entries
// under the same key that differ otherwise.
//
// Keys need not be unique (a blacklist may name one extension under two developers): an old entry
// equal to a new one under its key is taken first, then the rest under each key are paired in
// list order as changed, and what is left over on either side is added or removed.
#include <cstddef>
#include <map>
#include <type_traits>
#include <vector>

namespace tarnwick {

template <class Entry>
struct ListChanges {
    struct Change {
        Entry before;
        Entry after;
    };
    std::vector<Entry> added;     // in the new list's order
    std::vector<Entry> removed;   // in the old list's order
    std::vector<Change> changed;  // in the new list's order

    bool empty() const { return added.empty() && removed.empty() && changed.empty(); }
};

// `key(entry)` gives an ordered key; `same(a, b)` tells whether two entries under one key are
// equal in every field that counts.
template <class Entry, class KeyOf, class Same>
ListChanges<Entry> compareLists(const std::vector<Entry>& before, const std::vector<Entry>& after, KeyOf key,
                                Same same) {
    using Key = std::decay_t<std::invoke_result_t<KeyOf&, const Entry&>>;
    // The old entries not yet matched, by key, in list order.
    std::map<Key, std::vector<size_t>> unmatched;
    for (size_t i = 0; i < before.size(); ++i) unmatched[key(before[i])].push_back(i);

    std::vector<bool> oldTaken(before.size(), false);
    std::vector<bool> newTaken(after.size(), false);
    auto take = [&](std::vector<size_t>& candidates, size_t at) {
        oldTaken[candidates[at]] = true;
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(at));
    };
    for (size_t j = 0; j < after.size(); ++j) {
        auto found = unmatched.find(key(after[j]));
        if (found == unmatched.end()) continue;
        std::vector<size_t>& candidates = found->second;
        for (size_t at = 0; at < candidates.size(); ++at) {
            if (same(before[candidates[at]], after[j])) {
                take(candidates, at);
                newTaken[j] = true;
                break;
            }
        }
    }

    ListChanges<Entry> changes;
    for (size_t j = 0; j < after.size(); ++j) {
        if (newTaken[j]) continue;
        auto found = unmatched.find(key(after[j]));
        if (found != unmatched.end() && !found->second.empty()) {
            changes.changed.push_back({before[found->second.front()], after[j]});
            take(found->second, 0);
        } else {
            changes.added.push_back(after[j]);
        }
    }
    for (size_t i = 0; i < before.size(); ++i)
        if (!oldTaken[i]) changes.removed.push_back(before[i]);
    return changes;
}

}  // namespace tarnwick
