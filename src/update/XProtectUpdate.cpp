#include "update/XProtectUpdate.h"

#include "models/NotificationNames.h"
#include "platform/HttpClient.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformHelpers.h"
#include "update/ConfigDataLabels.h"
#include "update/PackageInfo.h"
#include "update/SoftwareUpdateCatalog.h"

#include <cstdlib>

namespace tarnwick {
namespace {

constexpr std::string_view productSuffix = "XProtectPlistConfigData.smd";

void postOnMain(TarnwickNotificationNames notification, std::any object = {}) {
    MainQueue::async([notification, object = std::move(object)] {
        NotificationCenter::defaultCenter().post(name(notification), object);
    });
}

}  // namespace

XProtectUpdate::XProtectUpdate() = default;

std::optional<std::string> XProtectUpdate::metadataURL() const {
    if (!xprotectCatalog) return std::nullopt;
    const PlistValue::Array* packages = xprotectCatalog->arrayAt("Packages");
    if (!packages || packages->empty()) return std::nullopt;
    return packages->front().stringAt("MetadataURL");
}

void XProtectUpdate::reach(uint64_t check, CheckStep step, bool ended) {
    // Only the latest check speaks for the progress; every check still writes the fields.
    if (check == latestCheck_) progress_ = CheckProgress{step, ended};
}

void XProtectUpdate::getXProtectCatalog() {
    const uint64_t check = ++latestCheck_;
    reach(check, CheckStep::catalog, false);
    http::getPropertyList(softwareUpdateCatalogURL(), {}, lifetime_.guard([this, check](http::Result<PlistValue> result) {
        choose(check, result.value);
    }));
}

void XProtectUpdate::choose(uint64_t check, const std::optional<PlistValue>& catalog) {
    const PlistValue::Dictionary* products = catalog ? catalog->dictionaryAt("Products") : nullptr;
    if (!products) return reach(check, CheckStep::catalog, true);
    reach(check, CheckStep::product, false);
    for (const auto& [identifier, product] : *products) {
        if (!product.asDictionary()) continue;
        const auto serverMetadata = product.stringAt("ServerMetadataURL");
        if (!serverMetadata || !serverMetadata->ends_with(productSuffix)) continue;
        // The first match in the catalog's order wins; dates and versions are not compared.
        xprotectCatalog = product;
        reach(check, CheckStep::packageInfo, false);
        return getPackageInfo(check);
    }
    reach(check, CheckStep::product, true);
}

void XProtectUpdate::getPackageInfo() { getPackageInfo(latestCheck_); }

void XProtectUpdate::getPackageInfo(uint64_t check) {
    const auto url = metadataURL();
    if (!url) return reach(check, CheckStep::packageInfo, true);
    http::getData(*url, {}, lifetime_.guard([this, check](http::Result<std::string> result) {
        getXProtectMeta(check, result.value);
    }));
}

void XProtectUpdate::getXProtectMeta(const std::optional<std::string>& body) { getXProtectMeta(latestCheck_, body); }

void XProtectUpdate::getXProtectMeta(uint64_t check, const std::optional<std::string>& body) {
    if (!body) return reach(check, CheckStep::packageInfo, true);
    xprotectBundleVersion = packageInfoBundleVersion(*body);
    if (xprotectBundleVersion)
        TW_LOG_INFO("Latest xProtect Bundle Version:" + *xprotectBundleVersion);
    else
        TW_LOG_INFO("Unable to determine latest xProtect Bundle Version");
    checkTime = std::chrono::system_clock::now();
    reach(check, CheckStep::version, true);
    // Queued even though this runs on the main thread already: observers run after this returns.
    postOnMain(TarnwickNotificationNames::xProtectVersionNotification,
               xprotectBundleVersion ? std::any(*xprotectBundleVersion) : std::any());
}

std::string XProtectUpdate::softwareUpdateCatalogURL() {
    const char* value = std::getenv("TARNWICK_CATALOG_URL");
    if (value && *value) return value;
    return softwareUpdateServer() + softwareUpdateCatalogPath(installedMacOSVersion());
}

std::string XProtectUpdate::softwareUpdateCommand() {
    const char* value = std::getenv("TARNWICK_SOFTWAREUPDATE");
    return (value && *value) ? value : "/usr/sbin/softwareupdate";
}

void XProtectUpdate::forceUpdates() {
    postOnMain(TarnwickNotificationNames::xProtectUpdateStartedNotification);
    const std::string command = softwareUpdateCommand();
    if (auto listing = launchAndReturnStdOut(command, {"-l", "--include-config-data"})) {
        // Each label travels as one argument of its own; no shell ever sees it.
        for (const auto& label : configDataLabels(*listing))
            if (auto output = launchAndReturnStdOut(command, {"-i", label, "--include-config-data"}))
                TW_LOG_INFO(*output);
    }
    postOnMain(TarnwickNotificationNames::xProtectUpdateFinishedNotification);
}

}  // namespace tarnwick
