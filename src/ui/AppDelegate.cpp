#include "ui/AppDelegate.h"

#include "app/Configuration.h"
#include "app/TarnwickModel.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "ui/MainWindowController.h"
#include "ui/QtMainQueue.h"
#include "ui/theme/FontSubstitution.h"
#include "ui/theme/Images.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

static void initTarnwickResources() { Q_INIT_RESOURCE(tarnwick_images); }

namespace tarnwick::ui {
namespace {

// SIGINT and SIGTERM reach the event loop through a socket pair: the handler writes one byte, the
// loop reads it and quits, so the program ends through the normal path.
int signalSockets[2] = {-1, -1};

extern "C" void onQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

void quitOnSignals(QApplication& application) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalSockets[1], &byte, 1);
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

AppDelegate::AppDelegate() {
    if (!std::getenv("TARNWICK_LOG")) log::disableAll();
    TW_LOG_INFO("Logging enabled");
}

int AppDelegate::run(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setOrganizationDomain(QStringLiteral("velmora.io"));
    QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    QApplication application(argc, argv);
    initTarnwickResources();
    application.setWindowIcon(image(QStringLiteral("tarnwick")));

    // Before anything touches the central model: its constructor already queues main-queue work.
    auto mainQueue = std::make_shared<QtMainQueue>(&application);
    MainQueue::setBackend(mainQueue);
    Configuration::setFontAvailability([](const Font& font) { return fontFaceResolves(font); });
    quitOnSignals(application);

    int status = 0;
    {
        MainWindowController window;
        window.show();
        // Launch finished: bring the window to the front.
        window.raise();
        window.activateWindow();
        status = QApplication::exec();
    }
    mainQueue->detach();
    return status;
}

}  // namespace tarnwick::ui
