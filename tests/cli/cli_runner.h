// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the built umbrivista-cli (or a shell line around it) and captures what it prints.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace umbrivista {

struct Result {
  int status;  // the exit status; −1 when the command did not exit normally
  std::string out;
};

inline std::string CliPath() {
  return std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli";
}

// Runs a shell command line; its standard output is captured.
inline Result RunShell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// Runs the CLI with `args`; stdout is captured, stderr appended when `withStderr`.
inline Result RunCli(const std::string& args, bool withStderr = false) {
  return RunShell(CliPath() + " " + args + (withStderr ? " 2>&1" : " 2>/dev/null"));
}

}  // namespace umbrivista
