// SPDX-License-Identifier: GPL-3.0-or-later
// Makes system calls fail as a full, broken or limited disk makes them fail, for files below
// one folder, so that tests see what the program does where the failure really happens.
// Loaded with LD_PRELOAD into a program under test, or linked into a test program; inert
// until TUNEDECK_FAULT is set:
//
//   TUNEDECK_FAULT=<call>,<errno>,<bytes>,<folder>
//
//   write      writes succeed for <bytes> bytes in all (the last one short), then fail
//   short      no failure: every write transfers at most <bytes> bytes
//   read       every read fails
//   fsync, fdatasync, close, rename
//              every call fails (close closes the file all the same, as Linux does)
//   rename-after
//              every rename fails after the first <bytes>
//   folder-fsync
//              every fsync of a folder fails
//   kill-after-rename
//              SIGKILL right after the <bytes>-th rename, as a crash stops a program
//
// Only calls on files below <folder> fail (a rename: its new name). The byte count starts
// again whenever the value of TUNEDECK_FAULT changes.

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fault {
    std::string call;
    int error = 0;
    long long bytes = 0;
    std::string folder;
};

std::mutex Lock;
std::string LastSetting;
long long Written = 0;
long long Renamed = 0;
void (*BeforeFirstWrite)() = nullptr;

// The fault in force for `call`, if any; the byte count of a new setting starts at 0.
bool FaultFor(const char* call, Fault& fault)
{
    const char* setting = std::getenv("TUNEDECK_FAULT");
    std::lock_guard<std::mutex> guard(Lock);
    if (!setting || !*setting) {
        LastSetting.clear();
        return false;
    }
    if (LastSetting != setting) {
        LastSetting = setting;
        Written = 0;
        Renamed = 0;
    }
    char name[32] = {};
    int consumed = 0;
    if (std::sscanf(setting, "%31[^,],%d,%lld,%n", name, &fault.error, &fault.bytes, &consumed) <
            3 ||
        consumed == 0)
        return false;
    fault.call = name;
    fault.folder = setting + consumed;
    return fault.call == call || (fault.call == "short" && std::strcmp(call, "write") == 0);
}

bool Below(const std::string& path, const std::string& folder)
{
    return !folder.empty() && path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool FileBelow(int fd, const std::string& folder)
{
    char link[64];
    char path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    return n > 0 && Below(std::string(path, static_cast<size_t>(n)), folder);
}

template <typename Function> Function Real(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// Fails the call when a fault for it is in force on the file.
bool FailsOnFile(const char* call, int fd)
{
    Fault fault;
    if (!FaultFor(call, fault) || !FileBelow(fd, fault.folder))
        return false;
    errno = fault.error;
    return true;
}

} // namespace

extern "C" {

// Runs `hook` once, before the next write to a file below the folder of a fault in force.
void tunedeck_fault_before_first_write(void (*hook)())
{
    BeforeFirstWrite = hook;
}

ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    Fault fault;
    if (!FaultFor("write", fault) || !FileBelow(fd, fault.folder))
        return real(fd, data, size);
    if (BeforeFirstWrite) {
        void (*hook)() = BeforeFirstWrite;
        BeforeFirstWrite = nullptr;
        hook();
    }
    if (fault.call == "short")
        return real(fd, data, std::min<size_t>(size, static_cast<size_t>(fault.bytes)));
    long long room;
    {
        std::lock_guard<std::mutex> guard(Lock);
        room = fault.bytes - Written;
    }
    if (room <= 0) {
        errno = fault.error;
        return -1;
    }
    const ssize_t done = real(fd, data, std::min<size_t>(size, static_cast<size_t>(room)));
    if (done > 0) {
        std::lock_guard<std::mutex> guard(Lock);
        Written += done;
    }
    return done;
}

ssize_t read(int fd, void* data, size_t size)
{
    static const auto real = Real<ssize_t (*)(int, void*, size_t)>("read");
    return FailsOnFile("read", fd) ? -1 : real(fd, data, size);
}

int fsync(int fd)
{
    static const auto real = Real<int (*)(int)>("fsync");
    struct stat file {};
    const bool folder = ::fstat(fd, &file) == 0 && S_ISDIR(file.st_mode);
    return FailsOnFile("fsync", fd) || (folder && FailsOnFile("folder-fsync", fd)) ? -1 : real(fd);
}

int fdatasync(int fd)
{
    static const auto real = Real<int (*)(int)>("fdatasync");
    return FailsOnFile("fdatasync", fd) ? -1 : real(fd);
}

int close(int fd)
{
    static const auto real = Real<int (*)(int)>("close");
    if (!FailsOnFile("close", fd))
        return real(fd);
    const int error = errno;
    real(fd);
    errno = error;
    return -1;
}

int rename(const char* from, const char* to)
{
    static const auto real = Real<int (*)(const char*, const char*)>("rename");
    Fault fault;
    if ((FaultFor("rename", fault) || fault.call == "rename-after") && Below(to, fault.folder)) {
        std::lock_guard<std::mutex> guard(Lock);
        if (fault.call == "rename" || ++Renamed > fault.bytes) {
            errno = fault.error;
            return -1;
        }
    }
    const int result = real(from, to);
    if (result == 0 && FaultFor("kill-after-rename", fault) && Below(to, fault.folder)) {
        std::lock_guard<std::mutex> guard(Lock);
        if (++Renamed == fault.bytes)
            ::raise(SIGKILL);
    }
    return result;
}

} // extern "C"
