// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Sets the fault that the fault library (linked into the test, or preloaded into a
// program it starts) injects, for as long as the object lives. See fault_injection.cpp.
class InjectedFault {
public:
    InjectedFault(const char* call, int error, long long bytes, const QString& folder);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    // The value of TUNEDECK_FAULT for a program started while the fault is in force.
    static QString setting(const char* call, int error, long long bytes, const QString& folder);
};

extern "C" void tunedeck_fault_before_first_write(void (*hook)());
