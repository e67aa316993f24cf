// Inputs the fuzzer once broke the converter with, and others of the same family. Each must be
// parsed or refused, without a crash, and what is accepted must render to valid JSON.
#include "yago/Parser.h"
#include "yago/RuleDocument.h"
#include "yago/YagoRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tarnwick {
namespace {

TEST(YagoRegressions, EverySavedInputIsParsedOrRefused) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(test::yagoTestFiles("regressions")))
        if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        // Includes resolve to nothing, as in the fuzz target: the saved input is all there is.
        const auto result = yago::parseSource(yago::Source{file.filename().string(), file.string(), bytes.str()},
                                              nullptr);
        if (result.ok()) {
            EXPECT_TRUE(nlohmann::json::accept(yago::renderDocument(result.rules)));
        } else {
            EXPECT_FALSE(result.error->message.empty());
        }
    }
}

}  // namespace
}  // namespace tarnwick
