#pragma once
// The main queue on Qt's event loop: tasks queued from any thread are delivered as queued calls
// on the application object, so they run on the GUI thread between events, in order. The waits
// of the core (a run until stopped, a run with a deadline) run nested event loops.
#include "platform/MainQueue.h"

#include <QPointer>

#include <mutex>
#include <vector>

class QEventLoop;
class QObject;

namespace tarnwick::ui {

class QtMainQueue final : public MainQueue::Backend {
public:
    // `receiver` lives on the GUI thread; tasks queued after `detach()` are dropped.
    explicit QtMainQueue(QObject* receiver);

    void post(MainQueue::Task task) override;
    void run() override;
    bool runUntil(std::chrono::steady_clock::time_point deadline) override;
    void stop() override;
    void runPending(std::chrono::steady_clock::time_point deadline) override;

    // Called as the application goes down: nothing is delivered from here on.
    void detach();

private:
    void stopInnermost();

    std::mutex mutex_;
    QObject* receiver_;      // guarded by mutex_
    int stops_ = 0;          // stop requests not yet taken by a run; guarded by mutex_
    std::vector<QEventLoop*> loops_;  // running loops, innermost last; GUI thread only
};

}  // namespace tarnwick::ui
