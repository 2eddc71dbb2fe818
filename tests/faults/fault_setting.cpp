// SPDX-License-Identifier: GPL-3.0-or-later
#include "fault_injection.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

QString InjectedFault::setting(const char* call, int error, long long bytes, const QString& folder)
{
    // The library compares real paths, as the system reports them for an open file.
    const QString real = QFileInfo(folder).canonicalFilePath();
    return QStringLiteral("%1,%2,%3,%4")
        .arg(QLatin1String(call))
        .arg(error)
        .arg(bytes)
        .arg(real.isEmpty() ? QDir::cleanPath(folder) : real);
}

InjectedFault::InjectedFault(const char* call, int error, long long bytes, const QString& folder)
{
    ::setenv("TUNEDECK_FAULT", setting(call, error, bytes, folder).toLocal8Bit().constData(), 1);
}

InjectedFault::~InjectedFault()
{
    ::unsetenv("TUNEDECK_FAULT");
    tunedeck_fault_before_first_write(nullptr); // a hook that did not run goes with the fault
}
