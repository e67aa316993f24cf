#pragma once
// Small operations between the models and the operating system.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// Runs the executable with the arguments (no shell) and returns all of its standard output, or
// nothing when it cannot be started or its output is not UTF-8. Blocks until end of file.
std::optional<std::string> launchAndReturnStdOut(const std::string& command, const std::vector<std::string>& args);

// Starts a shell that sleeps `delay` seconds and then starts this program's own executable again,
// then calls `terminate` (the application's normal quit path). The delay and the path travel as
// separate arguments of the shell, never inside its command text:
//   sh -c 'sleep "$1"; exec "$2"' sh 0.5 /path/to/program
void relaunchAfterDelay(double delay, const std::function<void()>& terminate);

// The shell arguments `relaunchAfterDelay` uses, for the given program path.
std::vector<std::string> relaunchShellArguments(double delay, const std::string& program);

// The shortest decimal text of a real, with ".0" on whole numbers (0.5 gives "0.5", 1 gives "1.0").
std::string shortestDecimal(double value);

class UserDefaults;

// True exactly once per user account: on the first call ever; false on every later call. When the
// defaults cannot be written, true on the first call of each run.
bool isFirstLaunch();
// The same with the given defaults in place of the user's standard ones.
bool isFirstLaunch(UserDefaults& defaults);

// The home directory whose plug-ins and Safari extensions are the user's. TARNWICK_HOME when it is
// set. Else, on a Mac read under TARNWICK_ROOT, the Mac's own user's folder: the one entry of
// `macUserFolders`, and absent when there are none or several (the Linux account running the
// program is no user of that Mac). Else the user database's entry for the process's user.
std::optional<std::filesystem::path> realHomeDirectoryForCurrentUser();

// The users' folders of the Mac under TARNWICK_ROOT, by name in byte order: the folders directly
// under Users/ other than Shared, Guest and hidden ones. Links are not followed.
std::vector<std::string> macUserFolders();

}  // namespace tarnwick
