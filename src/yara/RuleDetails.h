#pragma once
// The texts the rule detail view shows beside the rule's YARA text.
#include "yara/YaraRule.h"

#include <string>
#include <vector>

namespace tarnwick {

// A text shown as a link to an address.
struct Link {
    std::string text;
    std::string url;
    bool operator==(const Link&) const = default;
};

// The texts joined with "," (no space).
std::string commaJoined(const std::vector<std::string>& list);

// "(A,B)" for the other names A and B; "" when there are none.
std::string otherNamesText(const YaraRule& rule);

// The tags joined with ",".
std::string tagsText(const YaraRule& rule);

// Each reference that holds an address: the whole entry, linked to the address from its first
// "http" on. Entries without one, or whose address is not valid, are left out.
std::vector<Link> referenceLinks(const YaraRule& rule);

// Each sample hash, linked to its detection report on the malware-report site.
std::vector<Link> hashLinks(const YaraRule& rule);

// The public malware-report site; a file hash's report is at <site>/#/file/<hash>/detection.
inline constexpr const char* malwareReportSite = "https://www.virustotal.com";

// The report page of a file hash.
std::string hashReportURL(const std::string& hash);

}  // namespace tarnwick
