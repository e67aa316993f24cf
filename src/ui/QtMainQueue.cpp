#include "ui/QtMainQueue.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

namespace tarnwick::ui {

QtMainQueue::QtMainQueue(QObject* receiver) : receiver_(receiver) {}

void QtMainQueue::post(MainQueue::Task task) {
    std::lock_guard guard(mutex_);
    if (!receiver_) return;
    QMetaObject::invokeMethod(receiver_, std::move(task), Qt::QueuedConnection);
}

void QtMainQueue::detach() {
    std::lock_guard guard(mutex_);
    receiver_ = nullptr;
}

void QtMainQueue::run() { runUntil(std::chrono::steady_clock::time_point::max()); }

bool QtMainQueue::runUntil(std::chrono::steady_clock::time_point deadline) {
    {
        std::lock_guard guard(mutex_);
        if (stops_ > 0) {
            --stops_;
            return true;
        }
    }
    QEventLoop loop;
    QTimer timer;
    if (deadline != std::chrono::steady_clock::time_point::max()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
        timer.start(left);
    }
    loops_.push_back(&loop);
    const int result = loop.exec();
    loops_.pop_back();
    return result == 0;
}

void QtMainQueue::stop() {
    std::lock_guard guard(mutex_);
    ++stops_;
    // The loop is ended on its own thread; a stop with no loop running waits for the next run.
    if (receiver_) QMetaObject::invokeMethod(receiver_, [this] { stopInnermost(); }, Qt::QueuedConnection);
}

void QtMainQueue::stopInnermost() {
    if (loops_.empty()) return;
    {
        std::lock_guard guard(mutex_);
        if (stops_ == 0) return;
        --stops_;
    }
    loops_.back()->exit(0);
}

void QtMainQueue::runPending(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    // A timer at the deadline wakes the wait when no task comes.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(std::max<std::chrono::milliseconds::rep>(0, left.count()));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

}  // namespace tarnwick::ui
