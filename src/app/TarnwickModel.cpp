#include "app/TarnwickModel.h"

#include "app/Constants.h"
#include "platform/DateFormatter.h"
#include "platform/MacPaths.h"

namespace tarnwick {
namespace {

template <class Model>
void queueFilter(Model& model, const std::string& filter) {
    model.concurrentQueue.barrierAsync([&model, filter] { model.setFilter(filter); });
}

}  // namespace

TarnwickModel::TarnwickModel(ModelStart start)
    : configuration(),
      _installedPlugins(loadInstalledPlugins(), TarnwickNotificationNames::installedPluginsUpdateNotification, ""),
      _installedExtensions(loadInstalledExtensions(), TarnwickNotificationNames::installedExtensionsUpdateNotification,
                           ""),
      _gkchecks(loadGKChecks(), TarnwickNotificationNames::gkChecksUpdateNotification, ""),
      _extensions(loadBlacklistedExtensions(), TarnwickNotificationNames::extensionsUpdateNotification,
                  constants::extensionIndexURL()),
      _plugins(loadBlacklistedPlugins(), TarnwickNotificationNames::pluginsUpdateNotification,
               constants::pluginIndexURL()),
      _yara({}, TarnwickNotificationNames::yaraRulesUpdateNotification, constants::signatureIndexURL()),
      _scanHistory(),
      _yaraScans(_yara, _scanHistory, static_cast<int>(configuration.yara_scan_timeout)),
      _update(),
      _xprotectMeta() {
    if (start.xprotectRules)
        _yara.queueAddRuleFile(macpaths::xprotectResource("XProtect.yara").string(), start.enrichment);
    if (!start.enrichment) return;
    _plugins.enrich();
    _extensions.enrich();
}

void TarnwickModel::setYaraFilter(const std::string& filter) { queueFilter(_yara, filter); }
void TarnwickModel::setPluginsFilter(const std::string& filter) { queueFilter(_plugins, filter); }
void TarnwickModel::setExtensionsFilter(const std::string& filter) { queueFilter(_extensions, filter); }
void TarnwickModel::setGKChecksFilter(const std::string& filter) { queueFilter(_gkchecks, filter); }

std::string TarnwickModel::lastUpdateCheck() const {
    if (!_update.checkTime) return "Not Available";
    const std::string text = DateFormatter(displayDatePattern).string(*_update.checkTime);
    return text.empty() ? "Not Available" : text;
}

TarnwickModel& sharedModel() {
    static TarnwickModel* model = new TarnwickModel;  // magic statics: built once, even under races
    return *model;
}

}  // namespace tarnwick
