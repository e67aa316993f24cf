#pragma once
// The XProtect update checker and forcer. The check finds the newest XProtect configuration-data
// version in Apple's software-update catalog and announces it with "xProtectVersionNotification";
// the forced update makes the system's software-update command install it now. One instance lives
// in the central model.
#include "platform/Lifetime.h"
#include "platform/PropertyList.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

class XProtectUpdate {
public:
    // How far the latest check has come. A check that ends without a version stays at the step it
    // ended in; one that read a package-info document reaches `version`.
    enum class CheckStep { notStarted, catalog, product, packageInfo, version };
    struct CheckProgress {
        CheckStep step = CheckStep::notStarted;
        bool ended = false;
        bool operator==(const CheckProgress&) const = default;
    };

    XProtectUpdate();
    XProtectUpdate(const XProtectUpdate&) = delete;
    XProtectUpdate& operator=(const XProtectUpdate&) = delete;

    // The newest offered bundle version as text; absent after a package-info document without one.
    std::optional<std::string> xprotectBundleVersion;
    // When the last check that got a package-info document ended.
    std::optional<std::chrono::system_clock::time_point> checkTime;
    // The catalog's product entry chosen as the XProtect configuration-data product.
    std::optional<PlistValue> xprotectCatalog;

    // "MetadataURL" of the chosen product's first package, when there is one.
    std::optional<std::string> metadataURL() const;

    // Starts a check and returns at once; the rest happens in completions on the main thread. The
    // fields are written and read on the main thread only.
    void getXProtectCatalog();
    // Fetches the package-info document of the chosen product.
    void getPackageInfo();
    // Reads the version out of a fetched package-info document, stores it and announces it.
    // No body changes nothing.
    void getXProtectMeta(const std::optional<std::string>& body);

    CheckProgress checkProgress() const { return progress_; }

    // Lists the available updates with the software-update command and installs every XProtect
    // configuration-data label in it, between "xProtectUpdateStartedNotification" and
    // "xProtectUpdateFinishedNotification". Blocks until the command is done, so run it on a
    // background queue. Touches no field.
    void forceUpdates();

    // The software-update catalog: TARNWICK_CATALOG_URL when set (a lab's own catalog), else the
    // catalog Apple serves the macOS version of the Mac under the root (see SoftwareUpdateCatalog.h).
    static std::string softwareUpdateCatalogURL();

    // The software-update command: TARNWICK_SOFTWAREUPDATE when set (on Linux there is none).
    static std::string softwareUpdateCommand();

private:
    void choose(uint64_t check, const std::optional<PlistValue>& catalog);
    void getPackageInfo(uint64_t check);
    void getXProtectMeta(uint64_t check, const std::optional<std::string>& body);
    void reach(uint64_t check, CheckStep step, bool ended);

    uint64_t latestCheck_ = 0;
    CheckProgress progress_;
    // Completions are guarded: an answer that comes after the checker is gone is dropped.
    Lifetime lifetime_;
};

}  // namespace tarnwick
