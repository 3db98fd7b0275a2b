// What the Linux layer's file functions share.
#pragma once

// Opens a regular file for reading, never waiting on a FIFO or a device: the descriptor,
// or -1 with errno set (EINVAL for what is not a regular file).
int open_regular_file(const char* name);
