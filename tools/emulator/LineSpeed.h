#pragma once
// Reads the baud rate that the terminal behind `fd` is set to (Linux: also custom
// rates); -1 when it cannot be read.
int lineSpeed(int fd);
