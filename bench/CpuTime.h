#pragma once
// CPU time for benchmarks on a machine shared with other work: what a process or a thread
// spent computing, whatever share of the cores it got.
#include <ctime>
#include <sys/resource.h>

namespace kalvex::bench {

// User and system time in a resource record (of this process, or of a child from wait4), s.
inline double cpuSeconds(const rusage& usage)
{
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// User and system time of all threads of this process, s.
inline double processCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

// CPU time of the calling thread, s.
inline double threadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

}  // namespace kalvex::bench
