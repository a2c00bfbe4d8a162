#pragma once
// A program run as a child process and measured as the kernel accounts for it: its own CPU
// time, peak memory and page faults, not those of the benchmark around it.
#include "CpuTime.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace kalvex::bench {

struct ChildFigures {
    bool succeeded = false;  // started, and ended with status 0
    double cpuMs = 0;        // user + system time
    double realMs = 0;       // from start to exit
    long peakKb = 0;         // peak resident set
    long minorFaults = 0;
};

// Runs `args` (the program's path first) with standard output on /dev/null and waits for it.
inline ChildFigures runProgram(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    ChildFigures f;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
        return f;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    f.realMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    f.cpuMs = cpuSeconds(usage) * 1e3;
    f.peakKb = usage.ru_maxrss;
    f.minorFaults = usage.ru_minflt;
    f.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return f;
}

}  // namespace kalvex::bench
