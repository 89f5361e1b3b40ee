#include "emulator/LineSpeed.h"

// termios2 lives in the kernel's header, which clashes with <termios.h>; this file
// includes only the former.
#ifdef __linux__
#include <asm/termbits.h>
#include <sys/ioctl.h>

int lineSpeed(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return -1;
    return int(tio.c_ospeed);
}
#else
int lineSpeed(int) {
    return -1;
}
#endif
