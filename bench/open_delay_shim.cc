// LD_PRELOAD shim for list_bench: every open of a path under
// PALETTOR_DELAY_PREFIX waits PALETTOR_OPEN_DELAY_US microseconds (1000 when
// unset) first, as an open on a network share does. Folder listings are not
// delayed.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

namespace {

void delayFor(const char *path)
{
    static const char *prefix = getenv("PALETTOR_DELAY_PREFIX");
    static const long micros = getenv("PALETTOR_OPEN_DELAY_US") ? atol(getenv("PALETTOR_OPEN_DELAY_US")) : 1000;
    if (!prefix || !path || strncmp(path, prefix, strlen(prefix)) != 0)
        return;
    timespec wait{micros / 1000000, (micros % 1000000) * 1000};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

} // namespace

extern "C" {

int open(const char *path, int flags, ...)
{
    using Open = int (*)(const char *, int, ...);
    static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open"));
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(args, int)) : 0;
    va_end(args);
    delayFor(path);
    return real(path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    using Open = int (*)(const char *, int, ...);
    static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open64"));
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(args, int)) : 0;
    va_end(args);
    delayFor(path);
    return real(path, flags, mode);
}
}
