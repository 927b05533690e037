// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a piece of a test in a child process that the alarm stops after a time limit, so that a
// call that waits for ever (opening a named pipe for reading) fails the test instead of hanging
// the test program.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace umbrivista {

// Success when `body` returns within `seconds` in a child process (what it returns is not
// looked at: the parent repeats the checks once it knows they end).
inline ::testing::AssertionResult FinishesWithin(unsigned seconds,
                                                 const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(seconds);
    try {
      body();
    } catch (...) {
    }
    ::_exit(0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) {
    return ::testing::AssertionFailure() << "cannot start a child process";
  }
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) {
    return ::testing::AssertionFailure() << "still waiting after " << seconds << " s";
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return ::testing::AssertionFailure() << "the child ended with status " << status;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace umbrivista
