// Loaded with LD_PRELOAD into a process that a test starts: steps the wall clock of the process (clock_gettime and
// gettimeofday, which Qt reads) by HALVEX_CLOCK_STEP_MS milliseconds (negative: back) once HALVEX_CLOCK_STEP_AFTER_MS
// have passed on the monotonic clock since it was loaded, as NTP or a clock set by hand would, leaving the monotonic
// clock alone; and notes the syncs the process asks for. No Qt: it only wraps functions of the C library.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using ClockGettime = int (*)(clockid_t, struct timespec*);
using GetTimeOfDay = int (*)(struct timeval*, void*);

ClockGettime realClockGettime()
{
    static const auto real = reinterpret_cast<ClockGettime>(::dlsym(RTLD_NEXT, "clock_gettime"));
    return real;
}

long long monotonicNs()
{
    struct timespec now
    {
    };
    realClockGettime()(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

long long environmentMs(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::atoll(value) : 0;
}

const long long loadedNs = monotonicNs();

long long stepNs()
{
    static const long long afterNs = environmentMs("HALVEX_CLOCK_STEP_AFTER_MS") * 1000000LL;
    static const long long step = environmentMs("HALVEX_CLOCK_STEP_MS") * 1000000LL;
    return monotonicNs() - loadedNs >= afterNs ? step : 0;
}

long long shifted(long long seconds, long long fractionNs)
{
    return seconds * 1000000000LL + fractionNs + stepNs();
}

} // namespace

extern "C" int clock_gettime(clockid_t clock, struct timespec* time) noexcept
{
    const int result = realClockGettime()(clock, time);
    if (result != 0 || (clock != CLOCK_REALTIME && clock != CLOCK_REALTIME_COARSE))
        return result;
    const long long ns = shifted(time->tv_sec, time->tv_nsec);
    time->tv_sec = ns / 1000000000LL;
    time->tv_nsec = ns % 1000000000LL;
    return result;
}

extern "C" int gettimeofday(struct timeval* __restrict time, void* __restrict zone) noexcept
{
    static const auto real = reinterpret_cast<GetTimeOfDay>(::dlsym(RTLD_NEXT, "gettimeofday"));
    const int result = real(time, zone);
    if (result != 0)
        return result;
    const long long us = shifted(time->tv_sec, time->tv_usec * 1000LL) / 1000;
    time->tv_sec = us / 1000000LL;
    time->tv_usec = us % 1000000LL;
    return result;
}

// With HALVEX_SYNC_LOG set, every fdatasync of the process is noted in that file: the monotonic milliseconds
// (QElapsedTimer's reference on Linux) at which it was asked for, one a line.
extern "C" int fdatasync(int fd)
{
    using FdataSync = int (*)(int);
    static const auto real = reinterpret_cast<FdataSync>(::dlsym(RTLD_NEXT, "fdatasync"));
    static const char* const log = std::getenv("HALVEX_SYNC_LOG");
    if (log) {
        char line[32];
        const int size = std::snprintf(line, sizeof(line), "%lld\n", monotonicNs() / 1000000LL);
        const int file = ::open(log, O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (file >= 0) {
            ::write(file, line, size_t(size));
            ::close(file);
        }
    }
    return real(fd);
}
