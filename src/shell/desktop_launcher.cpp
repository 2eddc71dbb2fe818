// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop_launcher.h"

#include "launch_command.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <memory>

#ifdef Q_OS_WIN
#include <QDir>
#include <QRegularExpression>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;
#endif

namespace {

QString CouldNotRun(const LaunchCommand& command, const QString& reason)
{
    return QStringLiteral("%1 could not be run: %2.").arg(ShownCommand(command), reason);
}

} // namespace

#ifdef Q_OS_WIN

namespace {

// The system's error code for a value of 32 or less that ShellExecuteW returns, as
// ShellExecuteExW sets it: the value itself is the reason (GetLastError() is not), but from
// 26 on it is a code of its own that means another thing as a system error code (28 would
// read "The printer is out of paper").
DWORD ShellExecuteError(INT_PTR result)
{
    switch (result) {
    case 0: // out of memory or resources
        return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE:
        return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
        return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
        return ERROR_DLL_NOT_FOUND;
    default: // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_BAD_FORMAT, SE_ERR_ACCESSDENIED
        return static_cast<DWORD>(result); // and SE_ERR_OOM are system error codes themselves
    }
}

} // namespace

void DesktopLauncher::start(const LaunchCommand& command,
                            std::function<void(const QString& failure)> done)
{
    // A program on its own is opened by the shell, as Explorer opens it: the "open" verb,
    // a normal window, the program's folder as its working folder.
    if (command.arguments.isEmpty() && command.environment.isEmpty()) {
        const std::wstring program = QDir::toNativeSeparators(command.program).toStdWString();
        const std::wstring folder = QDir::toNativeSeparators(command.workingFolder).toStdWString();
        const auto result = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(nullptr, L"open", program.c_str(), nullptr,
                            folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
        done(result > 32
                 ? QString()
                 : CouldNotRun(command, qt_error_string(static_cast<int>(ShellExecuteError(result)))
                                            .remove(QRegularExpression("[.\\s]+$"))));
        return;
    }
    // The player's own command (TUNEDECK_LAUNCH), with its arguments and variables.
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setWorkingDirectory(command.workingFolder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& setting : command.environment)
        environment.insert(setting.section(QLatin1Char('='), 0, 0),
                           setting.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    done(process.startDetached() ? QString() : CouldNotRun(command, process.errorString()));
}

#else

namespace {

// xdg-open's exit code when nothing on the desktop opens the file.
constexpr int NoMethodAvailable = 3;

// What an early end of the program says: nothing when it ended with success.
QString EarlyExitFailure(const LaunchCommand& command, int status)
{
    if (WIFSIGNALED(status))
        return QStringLiteral("%1 was ended by signal %2 (%3).")
            .arg(ShownCommand(command))
            .arg(WTERMSIG(status))
            .arg(QString::fromLocal8Bit(::strsignal(WTERMSIG(status))));
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 0)
        return {};
    QString text = QStringLiteral("%1 ended with exit code %2.")
                       .arg(ShownCommand(command))
                       .arg(WEXITSTATUS(status));
    if (WEXITSTATUS(status) == NoMethodAvailable &&
        QFileInfo(command.program).fileName() == QLatin1String("xdg-open"))
        text += QStringLiteral(" Nothing on this desktop opens that kind of file: install Wine, "
                               "or name a command in TUNEDECK_LAUNCH.");
    return text;
}

// Starts the command in a session of its own; returns 0, or the error number of what failed
// (the program or the working folder).
int Spawn(const LaunchCommand& command, pid_t& pid)
{
    std::vector<QByteArray> words{QFile::encodeName(command.program)};
    for (const QString& argument : command.arguments)
        words.push_back(QFile::encodeName(argument));
    // Tunedeck's environment byte for byte, with the command's own variables in place.
    std::vector<QByteArray> settings;
    for (const QString& setting : command.environment)
        settings.push_back(QFile::encodeName(setting));
    const size_t own = settings.size();
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray setting(*entry);
        bool replaced = false;
        for (size_t i = 0; i < own; ++i)
            replaced =
                replaced || setting.startsWith(settings[i].left(settings[i].indexOf('=') + 1));
        if (!replaced)
            settings.push_back(setting);
    }
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (QByteArray& setting : settings)
        envp.push_back(setting.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const QByteArray folder = QFile::encodeName(command.workingFolder);
    posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int error = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

} // namespace

void DesktopLauncher::start(const LaunchCommand& command,
                            std::function<void(const QString& failure)> done)
{
    pid_t pid = 0;
    if (const int error = Spawn(command, pid)) {
        done(CouldNotRun(command, QString::fromLocal8Bit(std::strerror(error))));
        return;
    }
    // The end of the program and the end of the wait race; the first one reports.
    auto pending = std::make_shared<std::function<void(const QString&)>>(std::move(done));
    const auto report = [pending](const QString& failure) {
        if (!*pending)
            return;
        const auto caller = std::move(*pending);
        *pending = nullptr;
        caller(failure); // may destroy this launcher, so it comes last
    };
    auto* watch = new QObject(&watches_);
    // Collects the program's exit status once it ended, so it leaves no zombie behind.
    const auto reap = [watch, pid, command, report] {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR))
            return;
        watch->deleteLater();
        // Collected by someone else: its status is unknown, so it counts as started.
        report(ended == pid ? EarlyExitFailure(command, status) : QString());
    };
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        auto* ending = new QSocketNotifier(pidfd, QSocketNotifier::Read, watch);
        QObject::connect(ending, &QSocketNotifier::activated, watch, reap);
        QObject::connect(watch, &QObject::destroyed, [ending, pidfd] {
            delete ending;
            ::close(pidfd);
        });
    } else { // a kernel older than 5.3
        auto* poll = new QTimer(watch);
        QObject::connect(poll, &QTimer::timeout, watch, reap);
        poll->start(100);
    }
    QTimer::singleShot(EarlyExitMilliseconds, watch, [report] { report(QString()); });
}

#endif
