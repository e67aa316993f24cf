// Reading the rules while a large rule file loads, as the rules panel and every scan's stop check
// do: the engine's check and the converter run with nothing held, so a read waits for the swap
// at most, never for the whole load. Prints the load's time (what a read waited for when the
// load ran inside the barrier) and the reads' times during it.
//
//   read_during_load RULEFILE CONVERTER
#include "platform/MainQueue.h"
#include "yara/YaraModel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    using namespace tarnwick;
    using Clock = std::chrono::steady_clock;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s RULEFILE CONVERTER\n", argv[0]);
        return 2;
    }
    YaraModel model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "");
    model.setConverterPath(argv[2]);
    const auto started = Clock::now();
    model.queueAddRuleFile(argv[1], false);

    // Read as a panel would, every few milliseconds, until the file is in.
    std::vector<double> millis;
    while (model.pendingRuleFileOperations() > 0) {
        const auto start = Clock::now();
        const size_t shown = model.read().size();
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (shown > 0) break;
        MainQueue::runUntil([&] { return model.pendingRuleFileOperations() == 0; }, std::chrono::milliseconds(5));
    }
    MainQueue::runUntil([&] { return model.pendingRuleFileOperations() == 0; }, std::chrono::minutes(10));
    const double loadSeconds = std::chrono::duration<double>(Clock::now() - started).count();
    const size_t rules = model.read().size();

    std::sort(millis.begin(), millis.end());
    std::printf("load of %zu rules: %.2f s (a read queued behind it waited that long when the load held the queue)\n",
                rules, loadSeconds);
    if (!millis.empty())
        std::printf("  %zu reads during the load: median %.3f ms, slowest %.3f ms\n", millis.size(),
                    millis[millis.size() / 2], millis.back());
    return rules > 0 ? 0 : 1;
}
