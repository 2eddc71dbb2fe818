// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

#include "interfaces.h"

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
