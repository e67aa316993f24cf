#include "app/TarnwickModel.h"

#include "app/Constants.h"
#include "platform/DateFormatter.h"

namespace tarnwick {
namespace {

template <class Model>
void queueFilter(Model& model, const std::string& filter) {
    model.concurrentQueue.barrierAsync([&model, filter] { model.setFilter(filter); });
}

}  // namespace

TarnwickModel::TarnwickModel()
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
      _xprotectMeta() {
    const std::string systemRules = constants::xprotectResource("XProtect.yara").string();
    _yara.concurrentQueue.barrierAsync([this, systemRules] { _yara.addRuleFile(systemRules, true); });
    _plugins.enrich();
    _extensions.enrich();
}

void TarnwickModel::setYaraFilter(const std::string& filter) { queueFilter(_yara, filter); }
void TarnwickModel::setPluginsFilter(const std::string& filter) { queueFilter(_plugins, filter); }
void TarnwickModel::setExtensionsFilter(const std::string& filter) { queueFilter(_extensions, filter); }
void TarnwickModel::setGKChecksFilter(const std::string& filter) { queueFilter(_gkchecks, filter); }

std::string TarnwickModel::lastUpdateCheck() const {
    if (!_update.checkTime) return "Not Available";
    const std::string text = DateFormatter(constants::datePattern).string(*_update.checkTime);
    return text.empty() ? "Not Available" : text;
}

TarnwickModel& sharedModel() {
    static TarnwickModel* model = new TarnwickModel;  // magic statics: built once, even under races
    return *model;
}

}  // namespace tarnwick
