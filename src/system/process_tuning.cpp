#include "system/process_tuning.h"

#include <csignal>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void tuneProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
#if defined(__GLIBC__)
    mallopt(M_TOP_PAD, 16 << 20);
#endif
}
