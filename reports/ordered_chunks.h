// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work cut into chunks that several threads compute at once and that come back in chunk order.

#include <functional>

namespace umbrivista {

// The threads to use for `threads` asked: 0 takes one per core (std::thread::hardware_concurrency,
// 1 when unknown); the result is at least 1.
int WorkerCount(int threads);

// Computes chunks 0 … count-1 on up to `threads` threads (WorkerCount; the calling thread is one
// of them) and takes them back in order on the calling thread.
//
// `compute(chunk)` may run on any of the threads, for different chunks at once; it returns true
// when it did the whole chunk and false when it stopped early (a cancel). `take(chunk, whole)`
// runs on the calling thread only, in chunk order, as soon as a chunk and every chunk before it
// are computed; it returns false to end the work. The work also ends after the first chunk
// computed only in part (taken with whole = false). Once it ends no chunk is started and none is
// taken. An exception thrown by `compute` or `take` stops the work and is thrown again from here
// once every thread has ended.
void RunChunksInOrder(int count, int threads, const std::function<bool(int chunk)>& compute,
                      const std::function<bool(int chunk, bool whole)>& take);

}  // namespace umbrivista
