#pragma once
// One observation of the core's notification centre, owned by the widget that reacts: it
// registers when made and removes itself when destroyed, so no handler outlives its widget. The
// core posts on the main thread; a post from another thread is handed to the context's thread.
#include "platform/NotificationCenter.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

namespace tarnwick::ui {

class NotificationObserver {
public:
    NotificationObserver(const std::string& name, QObject* context, std::function<void(const Notification&)> handler);
    ~NotificationObserver();
    NotificationObserver(const NotificationObserver&) = delete;
    NotificationObserver& operator=(const NotificationObserver&) = delete;

private:
    NotificationCenter::Token token_;
};

}  // namespace tarnwick::ui
