#include "platform/NotificationCenter.h"

namespace tarnwick {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter;  // lives as long as the process
    return *center;
}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name, Handler handler) {
    std::lock_guard guard(mutex_);
    auto observer = std::make_shared<Observer>(Observer{nextId_++, name, std::move(handler)});
    observers_.emplace(name, observer);
    return Token{observer->id};
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard guard(mutex_);
    for (auto it = observers_.begin(); it != observers_.end(); ++it) {
        if (it->second->id == token.id) {
            it->second->removed = true;
            observers_.erase(it);
            return;
        }
    }
}

bool NotificationCenter::stillRegistered(const std::shared_ptr<Observer>& observer) {
    std::lock_guard guard(mutex_);
    return !observer->removed;
}

void NotificationCenter::post(const std::string& name, std::any object, UserInfo userInfo) {
    std::vector<std::shared_ptr<Observer>> targets;
    {
        std::lock_guard guard(mutex_);
        auto [first, last] = observers_.equal_range(name);
        for (auto it = first; it != last; ++it) targets.push_back(it->second);
    }
    const Notification notification{name, std::move(object), std::move(userInfo)};
    for (const auto& observer : targets) {
        if (stillRegistered(observer)) observer->handler(notification);
    }
}

}  // namespace tarnwick
