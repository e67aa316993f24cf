#pragma once
// Where the Mac's files are read from. On Linux there is no XProtect: every absolute macOS path is
// read under a root directory the user names in TARNWICK_ROOT (a mounted Mac volume, a copied
// bundle), "/" by default. TARNWICK_HOME, when set, stands for the user's home directory.
#include <filesystem>
#include <optional>
#include <string>

namespace tarnwick::macfs {

std::filesystem::path root();

// Whether TARNWICK_ROOT names a root (set and not empty): the Mac is then not this machine.
bool rootGiven();

// The absolute macOS path `macPath` under the root.
std::filesystem::path resolve(const std::string& macPath);

// TARNWICK_HOME when it is set and not empty.
std::optional<std::filesystem::path> homeOverride();

}  // namespace tarnwick::macfs
