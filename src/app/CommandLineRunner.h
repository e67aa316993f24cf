#pragma once
// The command-line face: with exactly one of its options the program prints the installed and the
// offered XProtect versions, forces an XProtect update, or prints its usage, and ends.
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class TarnwickModel;

enum class OptionType { versions, update, help, unknown };

// The option's text value: "v", "u", "h" or "unknown".
std::string_view text(OptionType option);

// The option an argument selects: exact, case-sensitive equality with the whole argument.
OptionType optionType(std::string_view argument);

// A decimal integer with an optional sign and nothing else around it; absent otherwise.
std::optional<int64_t> parseDecimalInteger(std::string_view text);

// The last component of a path ("/usr/bin/tarnwick" gives "tarnwick").
std::string lastPathComponent(std::string_view path);

// The usage text for a program path.
std::string usageText(std::string_view programPath);

class CommandLineRunner {
public:
    // The longest wait for the version check. A catalog that cannot be reached, holds no XProtect
    // product or whose package-info document cannot be fetched would otherwise hold the terminal
    // for ever.
    static constexpr std::chrono::milliseconds versionCheckBound = std::chrono::seconds(60);

    // Whether the process arguments (program path first) select the command-line mode: exactly
    // one argument after the path, and one of the options.
    static bool handles(const std::vector<std::string>& arguments);

    // Runs the option named by the second argument with a central model of its own (without
    // XProtect's rules or the enrichment, which no option shows) and prints the
    // result on standard output. Answers the exit status: 0 for every outcome of a check that
    // ended with a version, 1 (and one line on standard error) when the check got none. Help
    // prints the usage and answers 0 either way, after that line.
    int run(const std::vector<std::string>& arguments);

    // The same with the central model, the output streams and the bound given.
    int run(const std::vector<std::string>& arguments, TarnwickModel& model, std::ostream& out, std::ostream& err,
            std::chrono::milliseconds bound = versionCheckBound);
};

}  // namespace tarnwick
