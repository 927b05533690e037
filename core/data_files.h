// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the data files (catalogue, places files, textures, help) are found. One lookup for the
// program and the command-line front end, in this order:
//   1. the folder named by --data-dir, else by the environment variable UMBRIVISTA_DATA;
//   2. the folder of the running program;
//   3. ../share/umbrivista/ relative to the program's folder (an installed program);
//   4. the current folder.

#include <string>
#include <vector>

namespace umbrivista {

inline constexpr const char* kDataFolderVariable = "UMBRIVISTA_DATA";

// The folder that holds the running program ("." when it cannot be told).
std::string ProgramFolder();

// A part of the program loaded or started on demand (a module, a helper program), for a program
// in `programFolder`: installed, it is in ../`installedFolder`/ (relative to the prefix beside
// bin/ or libexec/: "libexec", "lib/umbrivista/modules"); in the build tree, beside the program.
// The first of the two that is a regular file, else the second (so that an error names a
// sensible place).
std::string HelperPath(const std::string& programFolder, const std::string& installedFolder,
                       const std::string& name);
// Loads the shared module at `path` for good (it is never unloaded) and returns its entry point
// `entry`. Throws std::runtime_error("cannot load " + `what` + ": " + the loader's reason).
void* LoadModuleEntry(const std::string& path, const char* entry, const std::string& what);

// The folders searched, in order. `given` is a folder named on the command line ("" for none);
// `programFolder` the folder of the program. Empty entries are left out.
std::vector<std::string> DataFolders(const std::string& given, const std::string& programFolder);

// The path of data file `name` (a file name, or a relative path such as "help/x.html") in the
// first folder that holds it as a regular file (symbolic links followed); a named pipe, folder or
// device of that name is passed over. When no folder holds the file, the first such other thing
// found, else the path it would have in the first folder, so that the reader's error message
// names a sensible place.
std::string FindDataFile(const std::string& name, const std::string& given = "");

}  // namespace umbrivista
