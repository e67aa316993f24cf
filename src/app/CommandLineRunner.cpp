#include "app/CommandLineRunner.h"

#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/BackgroundQueue.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <iostream>

namespace tarnwick {
namespace {

using CheckStep = XProtectUpdate::CheckStep;

// What a check that stopped at this step lacked.
const char* missingFor(CheckStep step) {
    switch (step) {
    case CheckStep::notStarted:
    case CheckStep::catalog: return "no catalog";
    case CheckStep::product: return "no XProtect product";
    case CheckStep::packageInfo:
    case CheckStep::version: return "no package info";
    }
    return "no catalog";
}

void print(std::ostream& out, const nlohmann::json& result) { out << result.dump(2) << '\n'; }

// Runs the main queue until a notification of that name has been posted (or `stopEarly` says the
// wait is pointless, or the bound passes). Answers whether the notification came.
bool waitFor(TarnwickNotificationNames notification, const std::function<bool()>& stopEarly,
             std::chrono::milliseconds bound) {
    bool posted = false;  // posts reach handlers on the main thread, this one
    auto& center = NotificationCenter::defaultCenter();
    const auto token = center.addObserver(name(notification), [&posted](const Notification&) { posted = true; });
    MainQueue::runUntil([&] { return posted || stopEarly(); }, bound);
    center.removeObserver(token);
    return posted;
}

// Forces the update on the shared background queue and waits for its finished notification. No
// bound here: the software-update command may rightly take long, and the finished notification
// always follows once it is done.
void forceUpdateAndWait(XProtectUpdate& checker) {
    bool posted = false;
    auto& center = NotificationCenter::defaultCenter();
    const auto token =
        center.addObserver(name(TarnwickNotificationNames::xProtectUpdateFinishedNotification),
                           [&posted](const Notification&) { posted = true; });
    BackgroundQueue::async([&checker] { checker.forceUpdates(); });
    while (!MainQueue::runUntil([&] { return posted; }, std::chrono::hours(1))) {
    }
    center.removeObserver(token);
}

// The options read versions only: their central models load neither XProtect's rules nor the
// enrichment.
constexpr ModelStart versionsOnly{.xprotectRules = false, .enrichment = false};

// A central model built after a forced update, to read the installed version afresh. Like the
// first one it lives as long as the process.
TarnwickModel& rebuiltModel() {
    static auto* kept = new std::vector<TarnwickModel*>;
    kept->push_back(new TarnwickModel(versionsOnly));
    return *kept->back();
}

}  // namespace

std::string_view text(OptionType option) {
    switch (option) {
    case OptionType::versions: return "v";
    case OptionType::update: return "u";
    case OptionType::help: return "h";
    case OptionType::unknown: return "unknown";
    }
    return "unknown";
}

OptionType optionType(std::string_view argument) {
    if (argument == "--getVersions" || argument == "-g") return OptionType::versions;
    if (argument == "--forceUpdate" || argument == "-f") return OptionType::update;
    if (argument == "--help" || argument == "-h") return OptionType::help;
    return OptionType::unknown;
}

std::optional<int64_t> parseDecimalInteger(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string lastPathComponent(std::string_view path) {
    while (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
    if (path == "/") return "/";
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string usageText(std::string_view programPath) {
    return "\nUsage: " + lastPathComponent(programPath) +
           " [options]\n"
           "Options:\n"
           "-g, --getVersions    Get the currently installed and available XProtect Versions\n"
           "-f, --forceUpdate    Force an update to the latest available version\n"
           "-h, --help           Show this help message and exit\n\n";
}

bool CommandLineRunner::handles(const std::vector<std::string>& arguments) {
    return arguments.size() == 2 && optionType(arguments[1]) != OptionType::unknown;
}

int CommandLineRunner::run(const std::vector<std::string>& arguments) {
    static auto* model = new TarnwickModel(versionsOnly);
    return run(arguments, *model, std::cout, std::cerr);
}

int CommandLineRunner::run(const std::vector<std::string>& arguments, TarnwickModel& model, std::ostream& out,
                           std::ostream& err, std::chrono::milliseconds bound) {
    XProtectUpdate& checker = model._update;

    // The check comes first, whatever the option, help included.
    checker.getXProtectCatalog();
    const auto endedWithoutVersion = [&checker] {
        const auto progress = checker.checkProgress();
        return progress.ended && progress.step != CheckStep::version;
    };
    const bool announced = waitFor(TarnwickNotificationNames::xProtectVersionNotification, endedWithoutVersion, bound);
    const OptionType option = optionType(arguments.size() > 1 ? arguments[1] : "");
    // The usage needs no version: it is printed whatever the check came to.
    const auto help = [&] {
        out << usageText(arguments.empty() ? "" : arguments[0]);
        out.flush();
        return 0;
    };
    // A document read just as the bound passed has its notification still queued: a result all the same.
    if (!announced && checker.checkProgress().step != CheckStep::version) {
        err << lastPathComponent(arguments.empty() ? "tarnwick" : arguments[0])
            << ": XProtect version check failed: " << missingFor(checker.checkProgress().step) << std::endl;
        return option == OptionType::help ? help() : 1;
    }
    if (option == OptionType::help) return help();

    const int64_t installed = model._xprotectMeta.meta.version;
    const auto offered = parseDecimalInteger(checker.xprotectBundleVersion.value_or("0"));
    if (!offered) return 0;

    switch (option) {
    case OptionType::versions:
        print(out, {{"current", installed}, {"available", *offered}});
        break;
    case OptionType::help:
        break;
    case OptionType::update: {
        int64_t after = installed;
        std::string message = "Already up to date";
        if (installed < *offered) {
            forceUpdateAndWait(checker);
            after = rebuiltModel()._xprotectMeta.meta.version;
            message = after == *offered ? "Successfully updated" : "Failed to update properly";
        }
        print(out, {{"pre", installed}, {"post", after}, {"msg", message}});
        break;
    }
    case OptionType::unknown:
        break;
    }
    out.flush();
    return 0;
}

}  // namespace tarnwick
