// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ordered_chunks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace umbrivista {

int WorkerCount(int threads) {
  if (threads > 0) return threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min(cores, 256u));
}

namespace {

enum ChunkState : int { kPending = 0, kWhole = 1, kPart = 2 };

}  // namespace

void RunChunksInOrder(int count, int threads, const std::function<bool(int)>& compute,
                      const std::function<bool(int, bool)>& take) {
  if (count <= 0) return;
  const int workers = std::min(WorkerCount(threads), count);
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};  // a chunk ended early: no chunk starts any more
  const std::unique_ptr<std::atomic<int>[]> state(new std::atomic<int>[count]);
  for (int c = 0; c < count; ++c) state[c].store(kPending, std::memory_order_relaxed);
  std::mutex failureMutex;
  std::exception_ptr failure;

  // Takes one chunk and computes it; false when there is none left to take.
  auto computeOne = [&]() -> bool {
    if (stop.load(std::memory_order_acquire)) return false;
    const int chunk = next.fetch_add(1, std::memory_order_relaxed);
    if (chunk >= count) return false;
    bool whole = false;
    try {
      whole = compute(chunk);
    } catch (...) {
      const std::lock_guard lock(failureMutex);
      if (!failure) failure = std::current_exception();
    }
    if (!whole) stop.store(true, std::memory_order_release);
    state[chunk].store(whole ? kWhole : kPart, std::memory_order_release);
    return true;
  };

  int taken = 0;
  bool ended = false;
  auto takeReady = [&] {
    while (!ended && taken < count) {
      const int s = state[taken].load(std::memory_order_acquire);
      if (s == kPending) return;
      if (s == kPart) {
        ended = true;
        const std::lock_guard lock(failureMutex);
        if (failure) return;  // a failed chunk is not taken
      }
      if (!take(taken, s == kWhole)) {
        ended = true;
        stop.store(true, std::memory_order_release);
      }
      ++taken;
    }
  };

  {
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(workers - 1));
    for (int i = 1; i < workers; ++i) {
      helpers.emplace_back([&computeOne] {
        while (computeOne()) {
        }
      });
    }
    try {
      while (computeOne()) takeReady();
    } catch (...) {
      // `take` failed: the helpers stop at their next chunk and are joined below.
      stop.store(true, std::memory_order_release);
      throw;
    }
  }  // the helpers are joined here
  if (failure) std::rethrow_exception(failure);
  takeReady();
}

}  // namespace umbrivista
