// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_runner.h"

#include <exception>
#include <utility>

namespace umbrivista {

void BackgroundWork::Start(std::function<void(const std::atomic<bool>& cancel)> work) {
  Stop();
  cancel_.store(false);
  finished_.store(false);
  thread_ = std::thread([this, work = std::move(work)] {
    work(cancel_);
    finished_.store(true, std::memory_order_release);
  });
}

void BackgroundWork::Join() {
  if (thread_.joinable()) thread_.join();
}

void BackgroundWork::Stop() {
  Cancel();
  Join();
}

void ReportRunner::Start(Compute compute, std::function<void()> notify) {
  work_.Stop();
  notify_ = std::move(notify);
  notifyPending_.store(false);
  news_ = {};
  result_ = {};
  ended_ = false;
  published_ = 0;
  lastPublish_ = std::chrono::steady_clock::now();
  work_.Start([this, compute = std::move(compute)](const std::atomic<bool>& cancel) {
    RunControl control;
    control.cancel = &cancel;
    control.progress = [this](const ReportRun& run) {
      // About fifty times a second: often enough for the list to fill as rows come.
      const auto now = std::chrono::steady_clock::now();
      if (now - lastPublish_ < std::chrono::milliseconds(20)) return;
      lastPublish_ = now;
      Publish(run);
    };
    ReportRun run;
    try {
      run = compute(control);
    } catch (const std::exception& e) {
      run = ReportRun{};
      run.error = e.what();
    }
    {
      const std::lock_guard lock(mutex_);
      result_ = std::move(run);
      ended_ = true;
    }
    if (notify_) notify_();
  });
}

void ReportRunner::Publish(const ReportRun& run) {
  {
    const std::lock_guard lock(mutex_);
    news_.lines += run.rows.size() - published_;
    published_ = AppendListLines(run.rows, published_, news_.text);
    news_.status = run.status;
  }
  Notify();
}

void ReportRunner::Notify() {
  // One notice until the news is taken: a slow taker is not flooded.
  if (notify_ && !notifyPending_.exchange(true)) notify_();
}

ReportRunner::News ReportRunner::TakeNews() {
  notifyPending_.store(false);
  const std::lock_guard lock(mutex_);
  News news = std::move(news_);
  news_ = {};
  return news;
}

std::optional<ReportRun> ReportRunner::TakeResult() {
  if (!work_.Active()) return std::nullopt;
  {
    // The run has ended once it is stored: the last notice comes after that but before the
    // worker's thread returns, and whoever answers it must find the run.
    const std::lock_guard lock(mutex_);
    if (!ended_) return std::nullopt;
  }
  work_.Join();
  const std::lock_guard lock(mutex_);
  news_ = {};
  return std::move(result_);
}

std::optional<ReportRun> ReportRunner::Stop() {
  if (!work_.Active()) return std::nullopt;
  work_.Stop();
  const std::lock_guard lock(mutex_);
  news_ = {};
  return std::move(result_);
}

}  // namespace umbrivista
