#pragma once
// The installed XProtect version, read from XProtect's meta property list.
#include "platform/PropertyList.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tarnwick {

struct XProtectMeta {
    int64_t version = 0;                                  // 0 when the file gives none
    std::string JavaWebComponentVersionMinimum = "N/A";   // "N/A" when the file gives none
    std::string bundlePath;                               // the bundle the file was read from
};

// Reads the meta property list; never fails (missing or malformed files give 0 and "N/A").
XProtectMeta loadMeta(const std::filesystem::path& metaPlist);
XProtectMeta loadMeta();  // the installed bundle's, with its path
// The same from a meta property list already read (its top-level dictionary).
XProtectMeta metaFromPlist(const PlistValue& root);

// A snapshot of the metadata taken when the model is made.
class XProtectModel {
public:
    XProtectModel() : meta(loadMeta()) {}
    explicit XProtectModel(const std::filesystem::path& metaPlist) : meta(loadMeta(metaPlist)) {}
    const XProtectMeta meta;
};

}  // namespace tarnwick
