#include "ui/NotificationObserver.h"

#include <QMetaObject>
#include <QThread>

namespace tarnwick::ui {

NotificationObserver::NotificationObserver(const std::string& name, QObject* context,
                                           std::function<void(const Notification&)> handler) {
    QPointer<QObject> target(context);
    token_ = NotificationCenter::defaultCenter().addObserver(
        name, [target, handler = std::move(handler)](const Notification& notification) {
            if (!target) return;
            if (QThread::currentThread() == target->thread()) {
                handler(notification);
                return;
            }
            QMetaObject::invokeMethod(
                target.data(),
                [target, handler, notification] {
                    if (target) handler(notification);
                },
                Qt::QueuedConnection);
        });
}

NotificationObserver::~NotificationObserver() { NotificationCenter::defaultCenter().removeObserver(token_); }

}  // namespace tarnwick::ui
