#pragma once
// A notification centre: `post` delivers a notification synchronously, on the posting thread, to
// every handler registered for its name. Handlers may register and remove observers while a post
// is being delivered; an observer removed during a delivery is not called after its removal, and
// one added during a delivery first hears the next post.
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// Text keys to values of any type ("item" carries a record, "index" an integer, ...).
using UserInfo = std::map<std::string, std::any>;

struct Notification {
    std::string name;
    std::any object;   // the sender, or data such as an offered version; empty when none
    UserInfo userInfo;

    // The value under `key` when it holds a T.
    template <class T>
    std::optional<T> info(const std::string& key) const {
        auto it = userInfo.find(key);
        if (it == userInfo.end()) return std::nullopt;
        if (const T* value = std::any_cast<T>(&it->second)) return *value;
        return std::nullopt;
    }
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    struct Token {
        uint64_t id = 0;
        bool operator==(const Token&) const = default;
    };

    static NotificationCenter& defaultCenter();

    Token addObserver(const std::string& name, Handler handler);
    void removeObserver(Token token);
    void post(const std::string& name, std::any object = {}, UserInfo userInfo = {});

private:
    struct Observer {
        uint64_t id;
        std::string name;
        Handler handler;
        bool removed = false;  // guarded by mutex_
    };

    bool stillRegistered(const std::shared_ptr<Observer>& observer);

    std::mutex mutex_;
    uint64_t nextId_ = 1;
    std::multimap<std::string, std::shared_ptr<Observer>> observers_;  // in registration order per name
};

}  // namespace tarnwick
