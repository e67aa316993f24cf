#include "yago/YagoRun.h"

#include "platform/Resources.h"
#include "support/ProgramRun.h"

namespace tarnwick::test {

std::filesystem::path yagoExecutable() { return resources::resourceDirectory() / "yago"; }

std::filesystem::path yagoTestFiles(const std::string& folder) {
    return std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests" / "yago" / folder;
}

YagoRun runYago(const std::vector<std::string>& args) {
    const ProgramRun run = runProgram(yagoExecutable(), args);
    return YagoRun{run.status, run.out, run.err};
}

YagoRun convert(const std::filesystem::path& file) { return runYago({"fileName", file.string(), "--validJSON"}); }

}  // namespace tarnwick::test
