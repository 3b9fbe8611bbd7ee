#include "SensordControl.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "Installation.h"
#include "Paths.h"
#include "PlatformLog.h"

namespace ostra {

namespace {

constexpr int kWaitStepUs = 20000;
constexpr int kWaitSteps = 250;  // five seconds

bool waitUntilRunning(bool running) {
    for (int i = 0; i < kWaitSteps; ++i) {
        if ((SensordControl::runningPid() != 0) == running) {
            return true;
        }
        g_usleep(kWaitStepUs);
    }
    return false;
}

struct flock wholeFile(short type) {
    struct flock lock;
    memset(&lock, 0, sizeof lock);
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

}  // namespace

std::string SensordControl::daemonPath() {
    const char* path = getenv("OSTRA_SENSORD");
    if (path && *path) {
        return path;
    }
    return Installation::inBuildTree() ? OSTRA_SENSORD_PATH
                                       : Installation::path(OSTRA_INSTALL_SENSORD_PATH);
}

std::string SensordControl::lockPath() {
    return systemDir() + "/ostra-sensord.lock";
}

std::string SensordControl::logPath() {
    return systemDir() + "/ostra-sensord.log";
}

int SensordControl::runningPid() {
    int fd = ::open(lockPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    // F_GETLK asks without taking the lock, so a daemon starting right now never
    // finds it briefly held by someone who only wanted to look.
    struct flock probe = wholeFile(F_WRLCK);
    int pid = 0;
    if (fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) {
        pid = probe.l_pid;
    }
    close(fd);
    return pid;
}

int SensordControl::acquireLock() {
    if (!makeStateDir(systemDir())) {
        return -1;
    }
    int fd = ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        OSTRA_LOGE("recorder lock %s cannot be opened: %s", lockPath().c_str(), strerror(errno));
        return -1;
    }
    struct flock lock = wholeFile(F_WRLCK);
    if (fcntl(fd, F_SETLK, &lock) != 0) {
        close(fd);
        return -1;
    }
    std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd, 0) != 0 || write(fd, pid.data(), pid.size()) < 0) {
        OSTRA_LOGW("recorder lock %s: pid not written", lockPath().c_str());
    }
    return fd;
}

bool SensordControl::start(int retentionHours) {
    if (!makeStateDir(systemDir())) {
        return false;
    }
    std::string path = daemonPath();
    if (access(path.c_str(), X_OK) != 0) {
        OSTRA_LOGE("recorder daemon %s cannot be run: %s", path.c_str(), strerror(errno));
        return false;
    }
    std::string retention = std::to_string(retentionHours);
    std::string log = logPath();
    char* const argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("--retention"),
                          const_cast<char*>(retention.c_str()), nullptr};
    pid_t child = fork();
    if (child < 0) {
        OSTRA_LOGE("recorder daemon: fork failed: %s", strerror(errno));
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here: the caller may run threads.
        setsid();
        if (fork() != 0) {
            _exit(0);
        }
        int in = ::open("/dev/null", O_RDONLY);
        int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (in >= 0) {
            dup2(in, STDIN_FILENO);
        }
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        // Inherited pipes (a test runner's output, say) must not stay open for the
        // daemon's lifetime.
        for (int fd = 3; fd < 1024; ++fd) {
            close(fd);
        }
        execv(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!waitUntilRunning(true)) {
        OSTRA_LOGE("recorder daemon %s did not start, see %s", path.c_str(), log.c_str());
        return false;
    }
    OSTRA_LOGI("recorder daemon started, pid %d", runningPid());
    return true;
}

bool SensordControl::stop() {
    int pid = runningPid();
    if (pid == 0) {
        return true;
    }
    if (kill(pid, SIGTERM) != 0) {
        OSTRA_LOGE("recorder daemon %d cannot be stopped: %s", pid, strerror(errno));
        return false;
    }
    if (!waitUntilRunning(false)) {
        OSTRA_LOGE("recorder daemon %d did not finish", pid);
        return false;
    }
    OSTRA_LOGI("recorder daemon %d stopped", pid);
    return true;
}

}  // namespace ostra
