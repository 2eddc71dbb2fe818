// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_size_limit.h"

#include <csignal>

void IgnoreFileSizeLimitSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
