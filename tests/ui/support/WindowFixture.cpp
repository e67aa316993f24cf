#include "support/WindowFixture.h"

#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "ui/QtMainQueue.h"

#include <QTest>

#include <cstdlib>

static void initImages() { Q_INIT_RESOURCE(tarnwick_images); }

namespace tarnwick::test {

WindowFixture::WindowFixture(int64_t installedVersion) : mac_(installedVersion) {
    mac_.dir().write("Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.yara",
                     "rule Fixture_Rule { strings: $a = \"fixture\" condition: $a }\n");
    catalog_.setCatalog(typicalCatalog(catalog_));
    offerVersion(std::to_string(installedVersion));
    // The indexes answer with nothing to merge.
    enrichment_.server().Get(".*", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("{}", "application/json");
    });
    enrichment_.start();

    setenv("TARNWICK_ROOT", mac_.root().c_str(), 1);
    setenv("TARNWICK_HOME", (mac_.root() / "Users/u").c_str(), 1);
    setenv("TARNWICK_CATALOG_URL", catalog_.catalogURL().c_str(), 1);
    setenv("TARNWICK_ENRICH_URL", enrichment_.url().c_str(), 1);
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

void WindowFixture::offerVersion(const std::optional<std::string>& version) {
    catalog_.setPackage("xprotect-a.pkm", packageInfoDocument(version));
    catalog_.setPackage("xprotect-b.pkm", packageInfoDocument(version));
}

namespace {
WindowFixture* running = nullptr;
}

WindowFixture& windowFixture() { return *running; }

int runWindowTest(int argc, char** argv, int64_t installedVersion, const std::function<int(int, char**)>& tests) {
    auto* fixture = new WindowFixture(installedVersion);
    running = fixture;
    QApplication application(argc, argv);
    initImages();
    auto queue = std::make_shared<ui::QtMainQueue>(&application);
    MainQueue::setBackend(queue);
    const int status = tests(argc, argv);
    queue->detach();
    // Nothing may still be talking to the servers when the process tears its globals down: end
    // the transfers, then the servers (their destructors join their threads).
    http::stopTransfers();
    running = nullptr;
    delete fixture;
    return status;
}


}  // namespace tarnwick::test
