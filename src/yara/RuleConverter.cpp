#include "yara/RuleConverter.h"

#include "platform/PlatformHelpers.h"
#include "platform/Resources.h"
#include "yara/ConverterDocument.h"

namespace tarnwick {

std::optional<std::string> shippedConverterPath() {
    if (auto found = resources::path("yago", "")) return found->string();
    return std::nullopt;
}

std::optional<std::vector<YaraRule>> convertRuleFile(const std::string& converter, const std::string& path,
                                                     const nlohmann::json& malwareList) {
    auto output = launchAndReturnStdOut(converter, {"fileName", path, "--validJSON"});
    if (!output || output->empty()) return std::nullopt;
    std::vector<YaraRule> rules;
    for (YaraRuleFields& fields : readConverterText(*output)) {
        fields.filepath = path;
        enrichFields(fields, malwareList);
        rules.emplace_back(std::move(fields));
    }
    return rules;
}

}  // namespace tarnwick
