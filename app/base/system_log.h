#pragma once

#include <syslog.h>

// Options of the program's system log: connect at once; host builds also
// copy every message to standard error, where tests and the demo read it.
#if DW_HOST_PLATFORM
constexpr int kSystemLogOptions = LOG_NDELAY | LOG_PERROR;
#else
constexpr int kSystemLogOptions = LOG_NDELAY;
#endif
