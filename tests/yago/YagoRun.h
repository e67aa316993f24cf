#pragma once
// Running the built converter as the rules model does, keeping what it says on both outputs.
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::test {

struct YagoRun {
    int status = -1;  // exit status; -1 when it could not run or died from a signal
    std::string out;
    std::string err;
};

// The converter in the build tree's resource folder.
std::filesystem::path yagoExecutable();

// Our rule files under tests/yago/.
std::filesystem::path yagoTestFiles(const std::string& folder);

YagoRun runYago(const std::vector<std::string>& args);

// The converter's usual call: fileName <path> --validJSON.
YagoRun convert(const std::filesystem::path& file);

}  // namespace tarnwick::test
