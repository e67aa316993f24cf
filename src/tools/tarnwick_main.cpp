// tarnwick: with exactly one of -g/--getVersions, -f/--forceUpdate or -h/--help it runs the
// command-line face and ends; any other argument list starts the window.
#include "app/CommandLineRunner.h"
#include "platform/HttpClient.h"
#include "ui/AppDelegate.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace tarnwick;
    const std::vector<std::string> arguments(argv, argv + argc);
    if (CommandLineRunner::handles(arguments)) {
        const int status = CommandLineRunner().run(arguments);
        // A check still waiting for an answer must not be inside the transfer library while the
        // process ends.
        http::stopTransfers();
        return status;
    }
    ui::AppDelegate delegate;
    const int status = delegate.run(argc, argv);
    // The window's requests (the update check, the lists' enrichment) may still be waiting.
    http::stopTransfers();
    return status;
}
