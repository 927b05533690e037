// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A report run on a thread of its own, followed and stopped from the thread that started it
// (a window's): the window stays free to answer the user while the run computes.
//
// The worker publishes what is new about every 20 ms (the list lines of the rows found since, and
// the status line) and tells the starting side through `notify`, called on the worker thread; the
// starting side then takes the news and, once the run has ended, the run itself. Cancel() asks
// the run to stop at its next step; Stop() also waits for it. Only one run goes at a time: a new
// Start cancels and waits for the one under way, whose result is dropped. The destructor stops a
// run under way, so nothing of the runner is used after it is gone.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "report_run.h"

namespace umbrivista {

// Work on a thread of its own with a cancel flag: one at a time, waited for before the next starts
// and when the owner goes.
class BackgroundWork {
 public:
  BackgroundWork() = default;
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;
  ~BackgroundWork() { Stop(); }

  // Runs `work(cancel)` on a new thread once the work under way, if any, has stopped. `work` must
  // not throw.
  void Start(std::function<void(const std::atomic<bool>& cancel)> work);
  // Asks the work to stop at its next check (the flag stays set until the next Start).
  void Cancel() { cancel_.store(true); }
  bool CancelRequested() const { return cancel_.load(); }
  // Started and not yet waited for.
  bool Active() const { return thread_.joinable(); }
  // The work has returned (Join() then no longer waits).
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Waits for the work to return.
  void Join();
  // Cancel() and Join().
  void Stop();

 private:
  std::thread thread_;
  std::atomic<bool> cancel_ = false;
  std::atomic<bool> finished_ = false;
};

class ReportRunner {
 public:
  using Compute = std::function<ReportRun(const RunControl&)>;

  ReportRunner() = default;
  ReportRunner(const ReportRunner&) = delete;
  ReportRunner& operator=(const ReportRunner&) = delete;
  ~ReportRunner() { work_.Stop(); }

  // Runs `compute` on the worker thread after stopping a run under way (its result is dropped).
  // An exception from `compute` ends the run with its message in ReportRun::error. `notify`
  // (may be empty) is called on the worker thread when news is waiting and when the run ended.
  void Start(Compute compute, std::function<void()> notify = {});
  void Cancel() { work_.Cancel(); }
  bool CancelRequested() const { return work_.CancelRequested(); }
  // A run was started and its result not yet taken.
  bool Active() const { return work_.Active(); }

  struct News {
    // The list lines of the rows found since the last call, each ending with '\n', joined on the
    // worker's side so that the taker only adds them.
    std::string text;
    std::size_t lines = 0;  // how many
    std::string status;     // the latest status line ("" when none yet)
  };
  // What the run published since the last call.
  News TakeNews();
  // The run once it has ended (the worker joined); nullopt while it goes on or when none was
  // started. The rows whose lines TakeNews handed out are the first rows of the run; news not
  // taken by then is dropped (its rows are in the run).
  std::optional<ReportRun> TakeResult();
  // Cancel, wait for the end, and hand out the run (nullopt when none was active).
  std::optional<ReportRun> Stop();

 private:
  // Worker side: publishes the rows of `run` not yet published and its status.
  void Publish(const ReportRun& run);
  void Notify();

  BackgroundWork work_;
  std::function<void()> notify_;
  std::atomic<bool> notifyPending_ = false;
  std::mutex mutex_;
  News news_;
  ReportRun result_;
  bool ended_ = false;  // result_ holds the run
  // Worker only.
  std::size_t published_ = 0;
  std::chrono::steady_clock::time_point lastPublish_;
};

}  // namespace umbrivista
