#pragma once
// The program's own files: the running executable, and the resources shipped beside it
// (<prefix>/share/tarnwick next to <prefix>/bin, in the build tree as after installation).
// Found from /proc/self/exe, never through PATH or the working directory.
#include <filesystem>
#include <optional>
#include <string>

namespace tarnwick::resources {

std::filesystem::path executablePath();
std::filesystem::path resourceDirectory();

// The resource file "name.type" when it exists.
std::optional<std::filesystem::path> path(const std::string& name, const std::string& type);

// The image resource of that name (images/name.png or .svg) when it exists.
std::optional<std::filesystem::path> image(const std::string& name);

// A resource read whole; absent when missing or unreadable.
std::optional<std::string> read(const std::string& name, const std::string& type);

}  // namespace tarnwick::resources
