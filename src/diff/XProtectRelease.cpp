#include "diff/XProtectRelease.h"

#include "diff/BundleFiles.h"
#include "engine/YaraEngine.h"
#include "platform/PropertyList.h"
#include "yara/RuleConverter.h"
#include "yara/RuleRendering.h"

namespace tarnwick {
namespace {

ReleaseReading failure(std::string error) { return ReleaseReading{std::nullopt, std::move(error)}; }

std::string joined(const std::vector<std::string>& texts, const std::string& separator) {
    std::string out;
    for (const std::string& text : texts) out += (out.empty() ? "" : separator) + text;
    return out;
}

}  // namespace

ReleaseReading readRelease(const std::filesystem::path& given, const std::string& converter) {
    const auto files = findBundleFiles(given);
    if (!files) return failure(given.string() + ": no XProtect bundle found");

    XProtectRelease release;
    release.resources = files->resources;
    const auto root = plist::readDictionaryFile(files->meta());
    if (!root) return failure(files->meta().string() + ": missing, or not a property list holding a dictionary");
    release.meta = metaFromPlist(*root);
    release.plugins = blacklistedPluginsFromPlist(*root, nullptr);
    release.extensions = blacklistedExtensionsFromPlist(*root, nullptr);
    release.gkChecks = gkChecksFromPlist(*root);

    const std::string rulesPath = files->rules().string();
    std::error_code ec;
    if (!std::filesystem::exists(rulesPath, ec)) return failure(rulesPath + ": does not exist");
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    if (!YaraEngine().validateRulesAtPath(rulesPath, errors, warnings) || !errors.empty())
        return failure(rulesPath + ": does not validate: " + joined(errors, "; "));
    auto rules = convertRuleFile(converter, rulesPath, nullptr);
    if (!rules) return failure(rulesPath + ": the rule converter " + converter + " gave nothing");
    release.rules.reserve(rules->size());
    for (const YaraRule& rule : *rules) release.rules.push_back({rule->name, renderRule(DisplayType::RAW, rule)});
    return ReleaseReading{std::move(release), ""};
}

}  // namespace tarnwick
