#include "engine/ScanMessages.h"

namespace tarnwick {

void ScanMessages::addTo(List& list, std::string message) {
    if (list.messages.size() < limit)
        list.messages.push_back(std::move(message));
    else
        ++list.dropped;
}

void ScanMessages::error(std::string message) {
    std::lock_guard lock(mutex_);
    addTo(errors_, std::move(message));
}

void ScanMessages::warning(std::string message) {
    std::lock_guard lock(mutex_);
    addTo(warnings_, std::move(message));
}

void ScanMessages::add(Level level, std::string message) {
    if (level == Level::error)
        error(std::move(message));
    else
        warning(std::move(message));
}

void ScanMessages::appendList(const List& list, std::vector<std::string>& out) {
    out.insert(out.end(), list.messages.begin(), list.messages.end());
    if (list.dropped > 0) out.push_back("... and " + std::to_string(list.dropped) + " more");
}

void ScanMessages::appendTo(std::vector<std::string>& errors, std::vector<std::string>& warnings) const {
    std::lock_guard lock(mutex_);
    appendList(errors_, errors);
    appendList(warnings_, warnings);
}

}  // namespace tarnwick
