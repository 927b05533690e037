// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a file that the program reads: only a regular file (symbolic links followed) is opened.
// A named pipe, a device, a socket or a folder is refused before it is opened, since opening a
// named pipe for reading waits until something writes to it.

#include <string>

namespace umbrivista {

// What `path` is when it exists and is not a regular file ("a folder", "a named pipe (FIFO)",
// …); empty for a regular file and for a path that cannot be examined.
std::string NonRegularKind(const std::string& path);

// Opens `path` read-only. Returns the descriptor, or −1 with `problem` set to
// "PATH: cannot open: REASON", "PATH: is a folder, not a file" or
// "PATH: is not a regular file but KIND".
int OpenRegularFile(const std::string& path, std::string& problem);

}  // namespace umbrivista
