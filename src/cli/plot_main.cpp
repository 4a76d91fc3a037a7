#include <unistd.h>

#include <iostream>
#include <new>

#include "cli/headless_plotter.h"
#include "cli/interrupt_stop.h"
#include "platform/user_locale.h"
#include "system/process_tuning.h"
#include "text/messages.h"

int main(int argc, char** argv) {
    tuneProcess();
    InterruptStop::install();
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return HeadlessPlotter(userDecimalSeparator())
            .run(args, std::cout, std::cerr, ::isatty(2) != 0);
    } catch (const std::bad_alloc&) {
        std::cerr << Messages::outOfMemory() << '\n';
        return HeadlessPlotter::kStopped;
    }
}
