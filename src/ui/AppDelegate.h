#pragma once
// The windowed application's start and end: logging, the application object, the main queue on
// Qt's event loop, the main window raised and activated, and a clean quit on closing the window
// or on SIGINT and SIGTERM.
namespace tarnwick::ui {

class AppDelegate {
public:
    // Logging is off from here on, except the channels TARNWICK_LOG names.
    AppDelegate();

    // Runs the window until the program quits; answers the exit status.
    int run(int argc, char** argv);
};

}  // namespace tarnwick::ui
