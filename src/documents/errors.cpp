// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

#include "interfaces.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

QString SystemErrorText(int code)
{
#ifdef Q_OS_WIN
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString words = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    ::LocalFree(text);
    return words.isEmpty() ? QStringLiteral("Unknown error %1").arg(code) : words;
#else
    return QString::fromLocal8Bit(std::strerror(code));
#endif
}

int LastSystemError()
{
#ifdef Q_OS_WIN
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
#else
    return errno != 0 ? errno : EIO;
#endif
}

int FileTooLargeError()
{
#ifdef Q_OS_WIN
    return ERROR_FILE_TOO_LARGE;
#else
    return EFBIG;
#endif
}

bool RunGuarded(Messages& messages, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const SilentAbort&) {
    } catch (const FileError& error) {
        messages.report(error.text());
    } catch (const std::exception& error) {
        messages.report(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
