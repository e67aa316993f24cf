#include "yara/RuleDetails.h"

#include "platform/Url.h"

namespace tarnwick {
std::string commaJoined(const std::vector<std::string>& list) {
    std::string out;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) out += ",";
        out += list[i];
    }
    return out;
}

std::string otherNamesText(const YaraRule& rule) {
    const std::string names = commaJoined(rule->otherNames);
    return names.empty() ? "" : "(" + names + ")";
}

std::string tagsText(const YaraRule& rule) { return commaJoined(rule->tags); }

std::vector<Link> referenceLinks(const YaraRule& rule) {
    std::vector<Link> list;
    for (const std::string& entry : rule->links) {
        const size_t at = entry.find("http");
        if (at == std::string::npos) continue;
        std::string address = entry.substr(at);
        if (url::isValid(address)) list.push_back({entry, std::move(address)});
    }
    return list;
}

std::string hashReportURL(const std::string& hash) {
    return std::string(malwareReportSite) + "/#/file/" + hash + "/detection";
}

std::vector<Link> hashLinks(const YaraRule& rule) {
    std::vector<Link> list;
    for (const std::string& hash : rule->hashes) {
        std::string address = hashReportURL(hash);
        if (url::isValid(address)) list.push_back({hash, std::move(address)});
    }
    return list;
}

}  // namespace tarnwick
