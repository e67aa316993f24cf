// Time from process start to the first paint of the main window after XProtect's rules are known
// to the model: the moment a user sees the window with its data behind it. Prints one line of
// JSON: {"rules": N, "firstPaintMs": ..., "rulesKnownMs": ..., "readyMs": ...}.
#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/MainQueue.h"
#include "ui/AppDelegate.h"
#include "ui/MainWindowController.h"
#include "ui/NotificationObserver.h"
#include "ui/QtMainQueue.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Milliseconds since this process was started by the kernel.
double sinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22) startTicks = std::stoull(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

class PaintWatch : public QObject {
public:
    bool rulesKnown = false;
    double rulesKnownMs = -1, firstPaintMs = -1, readyMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            if (firstPaintMs < 0) firstPaintMs = sinceProcessStart();
            if (rulesKnown && readyMs < 0) {
                readyMs = sinceProcessStart();
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    ui::AppDelegate delegate;
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(tarnwick_images);
    auto queue = std::make_shared<ui::QtMainQueue>(&application);
    MainQueue::setBackend(queue);

    PaintWatch watch;
    application.installEventFilter(&watch);
    ui::MainWindowController window;
    ui::NotificationObserver rules(name(TarnwickNotificationNames::yaraRulesUpdateNotification), &window,
                                   [&](const Notification&) {
                                       if (watch.rulesKnown || sharedModel().yaraRules().empty()) return;
                                       watch.rulesKnown = true;
                                       watch.rulesKnownMs = sinceProcessStart();
                                       // The views repaint on the news; make sure one comes.
                                       window.update();
                                       window.centralWidget()->update();
                                   });
    window.show();
    QTimer::singleShot(120000, &application, &QCoreApplication::quit);
    QApplication::exec();
    std::cout << "{\"rules\": " << sharedModel().yaraRules().size() << ", \"firstPaintMs\": " << watch.firstPaintMs
              << ", \"rulesKnownMs\": " << watch.rulesKnownMs << ", \"readyMs\": " << watch.readyMs << "}\n";
    queue->detach();
    return watch.readyMs < 0 ? 1 : 0;
}
