#include "support/RuleFiles.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick::test {

std::vector<std::string> addRuleFiles(YaraModel& model, const std::vector<std::string>& paths) {
    const std::string filesNote = name(TarnwickNotificationNames::yaraFilesUpdateNotification);
    NotificationRecorder recorder({filesNote});
    for (const std::string& path : paths) model.queueAddRuleFile(path, false);
    EXPECT_TRUE(runMainUntil([&] { return recorder.count(filesNote) >= paths.size(); }, std::chrono::seconds(60)));
    return recorder.texts(filesNote, "error");
}

}  // namespace tarnwick::test
