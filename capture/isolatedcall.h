#pragma once

#include <functional>
#include <string>

// Runs a piece of work in a forked child process and returns the bytes it produced, so that a
// library that aborts or hangs on some input cannot take this process with it. The work must
// not log, lock or start threads: only this thread exists in the child.
struct IsolatedCall
{
    enum Status { Done, Crashed, TimedOut, NotStarted };

    Status status = NotStarted;
    std::string output;

    static IsolatedCall run(const std::function<std::string()> &work, int timeoutMs);
};
