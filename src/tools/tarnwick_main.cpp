// tarnwick: with exactly one of -g/--getVersions, -f/--forceUpdate or -h/--help it runs the
// command-line face and ends; any other argument list starts the window.
#include "app/CommandLineRunner.h"
#include "ui/AppDelegate.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace tarnwick;
    const std::vector<std::string> arguments(argv, argv + argc);
    if (CommandLineRunner::handles(arguments)) {
        const int status = CommandLineRunner().run(arguments);
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        // Requests the central model sent (the lists' enrichment) may still be running on
        // background threads; end here rather than let a normal exit tear down the libraries
        // under them.
        std::_Exit(status);
    }
    ui::AppDelegate delegate;
    return delegate.run(argc, argv);
}
