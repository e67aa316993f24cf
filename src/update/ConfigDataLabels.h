#pragma once
// Reading the XProtect configuration-data labels out of the software-update command's listing.
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The listing's words, split at every white-space and line-break character. Each separator ends a
// word, so a run of separators gives empty words.
std::vector<std::string> listingWords(std::string_view listing);

// Whether a listing word names XProtect's configuration data. Older systems list
// "XProtectPlistConfigData-1.0"; macOS 10.15 and later list "XProtectPlistConfigData_10_15-2166",
// which the older prefix test alone would never find.
bool isConfigDataLabel(std::string_view word);

// Every label in the listing, in order, as often as it occurs.
std::vector<std::string> configDataLabels(std::string_view listing);

}  // namespace tarnwick
