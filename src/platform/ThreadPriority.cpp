#include "platform/ThreadPriority.h"

#include <linux/ioprio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::threadPriority {

bool enterBackground() {
    // On Linux both priorities belong to the thread (the task) named by its id.
    const pid_t thread = static_cast<pid_t>(::syscall(SYS_gettid));
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
    bool ok = errno == 0;
    if (ok && current < backgroundNice) ok = ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), backgroundNice) == 0;
    const int io = IOPRIO_PRIO_VALUE(IOPRIO_CLASS_BE, backgroundIoLevel);
    ok = ::syscall(SYS_ioprio_set, IOPRIO_WHO_PROCESS, thread, io) == 0 && ok;
    return ok;
}

}  // namespace tarnwick::threadPriority
