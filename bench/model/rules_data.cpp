// Reading the rules model's list with a one-letter search, as every keystroke in the rules
// search field does, on 50,000 rules of realistic shape. Prints the median of the reads and the
// target.
#include "yara/YaraModel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tarnwick;

std::string hexWord(std::mt19937& random, int bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += digits[random() % 16];
        out += digits[random() % 16];
        out += ' ';
    }
    return out;
}

// Made as the loader makes them: every rule's fields read first, then each rule wrapped.
std::vector<YaraRule> makeRules(size_t count) {
    std::mt19937 random(20261210);
    const char* families[] = {"Adload", "Bundlore", "Pirrit", "Genieo", "Shlayer", "Dok", "Proton", "XLoader"};
    std::vector<YaraRuleFields> read;
    read.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        YaraRuleFields rule;
        rule.name = std::string("XProtect_MACOS_") + families[i % 8] + "_" + std::to_string(i);
        rule.filepath = "/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.yara";
        rule.meta = {{"description", std::string("MACOS.") + families[i % 8]},
                     {"reference", "https://example.org/report/" + std::to_string(i)},
                     {"score", std::to_string(i % 100)}};
        rule.tags = {"macos"};
        const int strings = 3 + static_cast<int>(random() % 6);
        for (int s = 0; s < strings; ++s) {
            if (s % 2)
                rule.strings.push_back({"$s" + std::to_string(s), "sample string number " + std::to_string(random()),
                                        {"ascii", "wide"}, YaraString::textType});
            else
                rule.strings.push_back({"$h" + std::to_string(s), "{" + hexWord(random, 24) + "}", {}, YaraString::hexType});
        }
        rule.condition = "Macho and filesize < 2MB and (2 of ($s*) or all of ($h*))";
        rule.summary = "Adware that injects advertisements into web browsers.";
        rule.date = "2022-03-17";
        rule.version = 2081 + static_cast<int64_t>(random() % 80);
        read.push_back(std::move(rule));
    }
    std::vector<YaraRule> rules;
    rules.reserve(count);
    for (YaraRuleFields& fields : read) rules.emplace_back(std::move(fields));
    return rules;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50000;
    const int reads = 31;
    YaraModel model(makeRules(count), TarnwickNotificationNames::yaraRulesUpdateNotification, "");
    model.concurrentQueue.barrierSync([&] { model.setFilter("a"); });

    std::vector<double> millis;
    size_t shown = 0;
    for (int i = 0; i < reads; ++i) {
        const auto start = std::chrono::steady_clock::now();
        shown = model.read().size();
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(millis.begin(), millis.end());
    const double median = millis[millis.size() / 2];
    std::printf("rules model: %zu rules, filter \"a\" shows %zu\n", count, shown);
    std::printf("  median read %.2f ms over %d reads (fastest %.2f, slowest %.2f); target under 20 ms: %s\n", median,
                reads, millis.front(), millis.back(), median < 20 ? "PASS" : "FAIL");
    return 0;
}
