// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "quit_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <iterator>

namespace umbrivista {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_pending = 0;
struct sigaction g_previous[std::size(kSignals)];

extern "C" void OnTerminationSignal(int signal) {
  if (g_pending) {
    // The window did not close after the first signal: act as before this handler was there.
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
      if (kSignals[i] == signal) ::sigaction(signal, &g_previous[i], nullptr);
    ::raise(signal);
    return;
  }
  g_pending = 1;
  const char byte = static_cast<char>(signal);
  // Async-signal-safe: the event loop reads the byte and closes the window.
  [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget* window) {
  if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
  ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
  auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(g_pipe[0], &byte, 1);
    window->close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &action, &g_previous[i]);
}

}  // namespace umbrivista
