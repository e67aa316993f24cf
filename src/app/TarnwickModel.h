#pragma once
// The central model: owner of the configuration and of every data model for the life of the
// process. Views and the command-line face reach the data through it; the models below it know
// nothing of it.
#include "app/Configuration.h"
#include "models/BlacklistedExtension.h"
#include "models/BlacklistedPlugin.h"
#include "models/GKCheck.h"
#include "models/InstalledExtension.h"
#include "models/InstalledPlugin.h"
#include "models/XProtectMeta.h"
#include "scan/ScanHistory.h"
#include "scan/YaraScans.h"
#include "update/XProtectUpdate.h"
#include "yara/YaraModel.h"

#include <string>
#include <vector>

namespace tarnwick {

// What the central model starts beside reading the lists. The window and tarnwick-dump want all
// of it; tools that never show XProtect's rules or the enriched fields leave out what they would
// not use.
struct ModelStart {
    bool xprotectRules = true;  // load (convert) XProtect's rule file into the rules model
    bool enrichment = true;     // send the enrichment requests, the rules' and both blacklists'
};

class TarnwickModel {
public:
    // Reads the XProtect files and the installed software at once, queues the loading of
    // XProtect's rule file on the rules model's queue, then sends the enrichment requests of both
    // blacklists (each only as `start` asks). Never fails: unreadable files leave their lists empty.
    explicit TarnwickModel(ModelStart start = {});
    TarnwickModel(const TarnwickModel&) = delete;
    TarnwickModel& operator=(const TarnwickModel&) = delete;

    const Configuration configuration;
    InstalledPluginsModel _installedPlugins;
    InstalledExtensionsModel _installedExtensions;
    GKChecksModel _gkchecks;
    ExtensionsModel _extensions;
    PluginsModel _plugins;
    YaraModel _yara;
    ScanHistory _scanHistory;
    // Scans with the rule files of `_yara`, into `_scanHistory`.
    YaraScans _yaraScans;
    XProtectUpdate _update;
    XProtectModel _xprotectMeta;

    // Each list as the user sees it, through its model's filter and order.
    std::vector<YaraRule> yaraRules() const { return _yara.read(); }
    std::vector<BlacklistedPlugin> plugins() const { return _plugins.read(); }
    std::vector<BlacklistedExtension> extensions() const { return _extensions.read(); }
    std::vector<GKCheck> gkChecks() const { return _gkchecks.read(); }
    std::vector<InstalledPlugin> installedPlugins() const { return _installedPlugins.read(); }
    std::vector<InstalledExtension> installedExtensions() const { return _installedExtensions.read(); }

    // Queue the filter change as a barrier task and return at once; the model announces "Filter".
    void setYaraFilter(const std::string& filter);
    void setPluginsFilter(const std::string& filter);
    void setExtensionsFilter(const std::string& filter);
    void setGKChecksFilter(const std::string& filter);

    // When the update checker last got a package-info document, as "yyyy-MM-dd HH:mm:ss" in the
    // machine's time zone; "Not Available" before that. Main thread, like the checker's fields.
    std::string lastUpdateCheck() const;
};

// The process-wide central model, built on first use (once, thread-safe) and never destroyed.
TarnwickModel& sharedModel();

}  // namespace tarnwick
