#pragma once

#include <string>

// The reason a system call failed with, for the messages of failed saves and
// reads: the common reasons in Russian with the system's own text after them
// ("нет места на диске (No space left on device)"), any other reason in the
// system's text alone.
std::string SystemReasonText(int code);
