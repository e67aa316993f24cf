#pragma once
// The world a window test runs in: a fixture Mac (XProtect of a given version, a rule file),
// loopback servers for the update catalog and the enrichment indexes, and a fresh configuration
// folder, all set in the environment before the central model is first touched. Then the Qt
// application with the main queue on its event loop.
#include "support/UpdateFixtures.h"

#include <QApplication>

#include <memory>
#include <string>

namespace tarnwick::test {

class WindowFixture {
public:
    explicit WindowFixture(int64_t installedVersion);

    CatalogServer& catalog() { return catalog_; }
    const FixtureMac& mac() const { return mac_; }
    const TempDir& config() const { return config_; }
    // Serves a package-info document of that version (none: a document without one) to every
    // XProtect product of the catalog.
    void offerVersion(const std::optional<std::string>& version);

private:
    FixtureMac mac_;
    TempDir config_;
    CatalogServer catalog_;
    LoopbackServer enrichment_;
};

// The fixture of the running test.
WindowFixture& windowFixture();

// Makes the fixture, the application and the main queue, then runs the Qt Test class.
int runWindowTest(int argc, char** argv, int64_t installedVersion, const std::function<int(int, char**)>& tests);

}  // namespace tarnwick::test

// main() for a window test class: the fixture Mac has XProtect `version`.
#define TARNWICK_WINDOW_TEST_MAIN(TestClass, version)                                                 \
    int main(int argc, char** argv) {                                                                 \
        return ::tarnwick::test::runWindowTest(argc, argv, version, [](int n, char** args) {          \
            TestClass test;                                                                           \
            return QTest::qExec(&test, n, args);                                                      \
        });                                                                                           \
    }
