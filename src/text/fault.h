#pragma once

#include <string>

// Why something could not be done: one message for the user (the message box, or the first line
// on standard error) and, where it helps, where exactly it happened (a terminal, a log).
struct Fault {
    std::string message;
    std::string detail;

    bool operator==(const Fault&) const = default;
};
