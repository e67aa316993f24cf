#pragma once
// Guards the work an object defers (tasks for the main queue, HTTP completions) against the
// object going away first. The object keeps a `Lifetime` as its last member, so it ends before
// anything else of the object is destroyed, and hands `guard(task)` instead of the task itself:
// a guarded task runs only while the lifetime lasts, and the end waits for guarded tasks that
// are running at that moment.
//
//   MainQueue::async(lifetime_.guard([this] { notify(); }));
//
// An object must not end its own lifetime from inside one of its guarded tasks.
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>

namespace tarnwick {

class Lifetime {
public:
    Lifetime() : state_(std::make_shared<State>()) {}
    ~Lifetime() { end(); }
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;

    // From here on no guarded task runs; waits for those running now. Called again, does nothing.
    void end() {
        std::unique_lock lock(state_->mutex);
        state_->alive = false;
    }

    // The task, made to do nothing once the lifetime has ended.
    template <class Task>
    auto guard(Task task) const {
        return [state = state_, task = std::move(task)](auto&&... arguments) mutable {
            std::shared_lock lock(state->mutex);
            if (state->alive) task(std::forward<decltype(arguments)>(arguments)...);
        };
    }

private:
    struct State {
        std::shared_mutex mutex;
        bool alive = true;
    };
    std::shared_ptr<State> state_;
};

}  // namespace tarnwick
