// Test equipment for running the Windows build under Wine against the device
// emulator: preloaded into the Wine process (LD_PRELOAD), it makes a
// pseudo-terminal look enough like a serial port for Wine's COM emulation.
// Wine learns that a byte has arrived from the modem lines (TIOCMGET) and
// the interrupt counts (TIOCGICOUNT), which a pseudo-terminal refuses; a
// refused TIOCGICOUNT cancels every pending WaitCommEvent at once. For a
// terminal whose driver refuses them, this answers the modem-line requests
// as a port with its lines up, gives the bytes waiting to be read (FIONREAD)
// as the received count, and refuses TIOCMIWAIT, which would block for ever.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>

typedef int (*ioctl_function)(int, unsigned long, ...);

static ioctl_function real_ioctl(void)
{
    static ioctl_function real;
    if (!real)
        real = (ioctl_function)dlsym(RTLD_NEXT, "ioctl");
    return real;
}

// Through the real ioctl: isatty() calls ioctl and would come back here.
static int is_terminal(int fd)
{
    struct termios t;
    return real_ioctl()(fd, TCGETS, &t) == 0;
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void *arg = va_arg(args, void *);
    va_end(args);

    const int result = real_ioctl()(fd, request, arg);
    const int error = errno;
    if (result == 0 || (error != EINVAL && error != ENOTTY && error != EIO) || !is_terminal(fd)) {
        errno = error;
        return result;
    }
    switch (request) {
    case TIOCMGET:
        *(int *)arg = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
        return 0;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC:
        return 0;
    case TIOCGICOUNT: {
        struct serial_icounter_struct *count = arg;
        int waiting = 0;
        memset(count, 0, sizeof *count);
        if (real_ioctl()(fd, FIONREAD, &waiting) == 0)
            count->rx = waiting;
        return 0;
    }
    case TIOCMIWAIT:
        errno = EINVAL;
        return -1;
    default:
        errno = error;
        return result;
    }
}
