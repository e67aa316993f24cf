#pragma once
// One XProtect release as a comparison reads it: the rules of its XProtect.yara, each as RAW
// text, and what its XProtect.meta.plist says (version, Java minimum, the plug-in and extension
// blacklists, the Gatekeeper checks). Descriptions and enrichment play no part: only what the
// release itself holds is read.
#include "models/BlacklistedExtension.h"
#include "models/BlacklistedPlugin.h"
#include "models/GKCheck.h"
#include "models/XProtectMeta.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// A rule known by its name, with its text as renderRule writes it in RAW: strings, condition,
// meta, tags and the private and global flags all show in it.
struct ReleaseRule {
    std::string name;
    std::string text;
};

struct XProtectRelease {
    std::filesystem::path resources;  // the folder the two files were read from
    XProtectMeta meta;
    std::vector<ReleaseRule> rules;  // in file order
    std::vector<BlacklistedPlugin> plugins;
    std::vector<BlacklistedExtension> extensions;
    std::vector<GKCheck> gkChecks;
};

// A release, or why it could not be read.
struct ReleaseReading {
    std::optional<XProtectRelease> release;
    std::string error;  // "" when read: the file and what is wrong with it
};

// Finds the bundle's files from the folder given (see BundleFiles), reads the meta property list,
// checks the rule file with the YARA engine and reads its rules through the converter at
// `converter`. Fails on no bundle, a meta property list that is missing or not a dictionary, a
// rule file that is missing or does not validate, or a converter that gives nothing.
ReleaseReading readRelease(const std::filesystem::path& given, const std::string& converter);

}  // namespace tarnwick
