#pragma once

#include <string>

// Reads the whole file at path ("-": standard input) into out, or says why
// not in error, as the system words it. With regularOnly anything but a
// regular file (a FIFO, a device, a socket) is refused, with "not a regular
// file", before it is opened, so that nothing blocks on it. Running out of
// memory is a failure like any other, never an abort.
bool ReadWholeInput(const std::string& path, bool regularOnly, std::string& out,
                    std::string& error);
