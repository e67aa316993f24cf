#pragma once
// The generic list behind every list the program shows. It holds the elements, a filter text, the
// name of the notification it posts when it changes and the address of a remote index to enrich
// its elements from. A concurrent queue guards the elements and the filter: reads are `sync`
// tasks on it, writes are barrier tasks.
#include "models/NotificationNames.h"
#include "platform/ConcurrentQueue.h"
#include "platform/HttpClient.h"
#include "platform/Lifetime.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <concepts>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

template <class T>
concept Filterable = requires(const T& element, const std::string& filter) {
    { element.matchesFilter(filter) } -> std::convertible_to<bool>;
};

template <class T>
concept Enrichable = requires(T& element, const nlohmann::json& index) { element.enrichFromIndex(index); };

// Elements are values with an equality, an order and a name for the queue label.
template <class T>
concept ListElement = Filterable<T> && Enrichable<T> && std::equality_comparable<T> && requires(const T& a, const T& b) {
    { a < b } -> std::convertible_to<bool>;
    { T::typeName } -> std::convertible_to<const char*>;
};

// Elements whose order is that of a key they can give cheaply; the list then sorts the keys
// rather than comparing the elements themselves. `a < b` must equal `a.sortKey() < b.sortKey()`.
template <class T>
concept SortKeyed = requires(const T& element) {
    { element.sortKey() } -> std::totally_ordered;
};

// Elements held by pointer that can ask for their memory ahead of use. Searching a long list
// then waits on memory once rather than once per element.
template <class T>
concept Prefetchable = requires(const T& element) { element.prefetch(0); };

template <ListElement T>
class XPArrayModel {
public:
    using Element = T;

    XPArrayModel(std::vector<T> data, TarnwickNotificationNames notification, std::string enrichURL)
        : concurrentQueue(std::string("com.velmora.concurrent") + T::typeName + "Queue") {
        TW_LOG_INFO(concurrentQueue.label());
        _data = std::move(data);
        _notification = notification;
        _enrichURL = std::move(enrichURL);
    }
    virtual ~XPArrayModel() = default;
    XPArrayModel(const XPArrayModel&) = delete;
    XPArrayModel& operator=(const XPArrayModel&) = delete;

    // The list as the user sees it: a sorted, filtered copy. Run inside `concurrentQueue.sync`.
    std::vector<T> data() const {
        if (!_filter.empty()) TW_LOG_INFO("Filtering data by " + _filter);
        // Filtering first, in the stored order, walks the elements front to back; sorting only
        // what is shown then gives the same list as sorting all of it and filtering after.
        std::vector<T> list;
        list.reserve(_data.size());
        if (_filter.empty()) {
            list = _data;
        } else {
            for (size_t i = 0; i < _data.size(); ++i) {
                if constexpr (Prefetchable<T>) {
                    // Elements held by pointer: ask for later ones while this one is read.
                    if (i + 16 < _data.size()) _data[i + 16].prefetch(0);
                    if (i + 8 < _data.size()) _data[i + 8].prefetch(1);
                }
                if (_data[i].matchesFilter(_filter)) list.push_back(_data[i]);
            }
        }
        // Greatest first under the element order. A stable merge sort stays within bounds even
        // for an order that mixes byte and collation comparisons.
        if constexpr (SortKeyed<T>) {
            // Sorting (key, position) pairs and then moving the elements into place never
            // reaches into an element during the sort, which counts for large lists of records
            // held by pointer, like the rules.
            using Key = decltype(std::declval<const T&>().sortKey());
            std::vector<std::pair<Key, size_t>> keys;
            keys.reserve(list.size());
            for (size_t i = 0; i < list.size(); ++i) keys.emplace_back(list[i].sortKey(), i);
            std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return b.first < a.first; });
            std::vector<T> sorted;
            sorted.reserve(list.size());
            for (const auto& key : keys) sorted.push_back(std::move(list[key.second]));
            return sorted;
        } else {
            std::stable_sort(list.begin(), list.end(), [](const T& a, const T& b) { return b < a; });
            return list;
        }
    }

    // Replaces the filter and announces it. Run inside a barrier task on `concurrentQueue`.
    void setFilter(std::string filter) {
        _filter = std::move(filter);
        MainQueue::async(lifetime_.guard([this] { notify(UpdateReason::Filter); }));
    }

    // The filter in force. Read it inside a task on `concurrentQueue`, as `data()` is.
    const std::string& filter() const { return _filter; }

    // Fetches the index document and merges it into every element. Announces "Enriched" once at
    // once and once more after a successful merge. An answer that comes after the model is gone
    // is dropped.
    void enrich() {
        ++pendingEnrichments_;
        // Queued before the request is sent, so it always reaches observers before the merge.
        MainQueue::async(lifetime_.guard([this] { notify(UpdateReason::Enriched); }));
        http::getJSON(_enrichURL, http::Options{.noCache = true},
                      lifetime_.guard([this](http::Result<nlohmann::json> result) {
                          concurrentQueue.barrierAsync([this, value = std::move(result.value)] {
                              if (value) {
                                  for (T& element : _data) element.enrichFromIndex(*value);
                                  MainQueue::async(lifetime_.guard([this] {
                                      notify(UpdateReason::Enriched);
                                      --pendingEnrichments_;
                                  }));
                              } else {
                                  --pendingEnrichments_;
                              }
                          });
                      }));
    }

    // Enrichments whose answer has not yet been merged or given up on.
    int pendingEnrichments() const { return pendingEnrichments_.load(); }

    // Posts the list's notification; the object is this model as an `XPArrayModel<T>*`.
    void notify(UpdateReason reason) {
        NotificationCenter::defaultCenter().post(name(_notification), this, {{"reason", name(reason)}});
    }

    // Convenience read from any thread: `data()` inside a sync task.
    std::vector<T> read() const {
        return concurrentQueue.sync([this] { return data(); });
    }

    TarnwickNotificationNames notificationName() const { return _notification; }
    const std::string& enrichURL() const { return _enrichURL; }

protected:
    std::vector<T> _data;
    std::string _filter;
    TarnwickNotificationNames _notification{};
    std::string _enrichURL;

private:
    std::atomic<int> pendingEnrichments_{0};

public:
    // Destroyed before the fields above: the writes still queued run while they exist.
    mutable ConcurrentQueue concurrentQueue;

private:
    // Last, so that it ends first: no deferred task of this model runs once destruction begins.
    Lifetime lifetime_;
};

}  // namespace tarnwick
