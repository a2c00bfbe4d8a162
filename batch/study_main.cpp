// kalvex-study: design studies of the interior ballistic model from a JSON study file.

#include "batch/StudyRun.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

// Set by Ctrl+C. A signal handler can reach nothing else: the one flag of the process.
std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int)
{
    interrupted.store(true);
}

}  // namespace

int main(int argc, char** argv)
{
    static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch a lock-free flag");
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const kalvex::batch::StudyStreams streams{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
    return kalvex::batch::studyMain(args, streams, interrupted);
}
