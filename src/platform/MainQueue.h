#pragma once
// The main queue: tasks queued from any thread run one after another on the main thread, in the
// order queued. The default backend is a run loop: `run()` processes tasks on the calling (main)
// thread until `stop()`; runs may nest, and `stop()` ends the innermost one. A windowed front end
// installs a backend of its own that hands tasks to its event loop.
#include <chrono>
#include <functional>
#include <memory>

namespace tarnwick {

class MainQueue {
public:
    using Task = std::function<void()>;

    // How queued tasks reach the main thread. `run`/`stop` drive the backend's loop.
    class Backend {
    public:
        virtual ~Backend() = default;
        virtual void post(Task task) = 0;
        virtual void run() = 0;
        // Runs until stopped or until the deadline passes; answers true when stopped.
        virtual bool runUntil(std::chrono::steady_clock::time_point deadline) = 0;
        virtual void stop() = 0;
        // Runs the tasks queued now, or waits for one until the deadline; ignores stop requests.
        virtual void runPending(std::chrono::steady_clock::time_point deadline) = 0;
    };

    // Queues a task; safe from any thread, including from inside a running task.
    static void async(Task task);

    // Runs the loop on the calling thread until `stop()` is called (by a task or another thread).
    // A `stop()` that comes while no run is active ends the next run at once.
    static void run();

    // Like `run()` but gives up at the deadline. Answers true when `stop()` ended the run.
    static bool runFor(std::chrono::milliseconds timeout);

    // Processes queued tasks until `done()` is true or the time-out passes; answers `done()`.
    // Used by waits that cannot rely on a stop call (tests, the command-line tools).
    static bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    static void stop();

    // Replaces the backend (for the window's event loop). Tasks already queued stay queued in the
    // old backend; install the backend before anything is queued.
    static void setBackend(std::shared_ptr<Backend> backend);

    // The thread that first loaded this library (the process's main thread).
    static bool isMainThread();
};

}  // namespace tarnwick
