// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs shared out to several threads against the same runs on one thread, the ordered taking back
// of chunks, and the runner that carries a run on a thread of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "city_list_run.h"
#include "ordered_chunks.h"
#include "place_history_run.h"
#include "places_file.h"
#include "report_runner.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

constexpr int k20240408 = 16690;  // catalogue position of the total eclipse of 2024-04-08

CityListInputs ShippedCityList(int thresholdIndex, int threads) {
  CityListInputs in;
  in.position = k20240408;
  in.thresholdIndex = thresholdIndex;
  in.language = Language::kGerman;
  in.placesFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kGerman);
  in.threads = threads;
  return in;
}

// A run stopped by its own progress callback once `rows` rows are in.
RunControl CancelAt(std::atomic<bool>& cancel, std::size_t rows) {
  RunControl control;
  control.cancel = &cancel;
  control.progress = [&cancel, rows](const ReportRun& run) {
    if (run.rows.size() >= rows) cancel = true;
  };
  return control;
}

void ExpectSameRun(const ReportRun& one, const ReportRun& many) {
  EXPECT_EQ(many.scanned, one.scanned);
  EXPECT_EQ(many.found, one.found);
  EXPECT_EQ(many.status, one.status);
  EXPECT_EQ(many.cancelled, one.cancelled);
  EXPECT_EQ(many.error, one.error);
  EXPECT_TRUE(SavedReportText(many) == SavedReportText(one));  // byte for byte, not printed
}

TEST(ThreadedRuns, CityListOnSeveralThreadsSavesTheFileOfOneThread) {
  const PlacesList places = ReadPlaces(ShippedCityList(0, 1).placesFile);
  ASSERT_EQ(places.error, "");
  const ReportRun one = ComputeCityListOf(ShippedCatalogue(), ShippedCityList(5, 1), places);
  ASSERT_GT(one.scanned, 5000);
  ASSERT_GT(one.found, 1000);
  for (const int threads : {2, 3, 8}) {
    SCOPED_TRACE(threads);
    ExpectSameRun(one, ComputeCityListOf(ShippedCatalogue(), ShippedCityList(5, threads), places));
  }
  // Read from the file by the run itself: the same.
  ExpectSameRun(one, ComputeCityList(ShippedCatalogue(), ShippedCityList(5, 0)));
  // Cancelled by the progress callback: the same place ends the run however many threads.
  std::atomic<bool> cancel1{false}, cancel4{false};
  const ReportRun cut1 =
      ComputeCityListOf(ShippedCatalogue(), ShippedCityList(5, 1), places, CancelAt(cancel1, 700));
  const ReportRun cut4 =
      ComputeCityListOf(ShippedCatalogue(), ShippedCityList(5, 4), places, CancelAt(cancel4, 700));
  EXPECT_TRUE(cut1.cancelled);
  EXPECT_EQ(cut1.rows.size(), 700u);
  ExpectSameRun(cut1, cut4);
}

TEST(ThreadedRuns, PlaceHistoryOnSeveralThreadsSavesTheFileOfOneThread) {
  PlaceHistoryInputs in;
  in.name = "Basel";
  in.country = "Schweiz";
  in.latitude = 47.55;
  in.longitude = 7.59;
  in.height = 254;
  in.language = Language::kFrench;
  in.threads = 1;
  const ReportRun one = ComputePlaceHistory(ShippedCatalogue(), in);
  ASSERT_GT(one.found, 1000);
  in.threads = 3;
  ExpectSameRun(one, ComputePlaceHistory(ShippedCatalogue(), in));
  std::atomic<bool> cancel1{false}, cancel3{false};
  const ReportRun cut3 = ComputePlaceHistory(ShippedCatalogue(), in, CancelAt(cancel3, 500));
  in.threads = 1;
  const ReportRun cut1 = ComputePlaceHistory(ShippedCatalogue(), in, CancelAt(cancel1, 500));
  EXPECT_TRUE(cut1.cancelled);
  ExpectSameRun(cut1, cut3);
}

TEST(OrderedChunks, TakesChunksInOrderAndStopsWhereAsked) {
  for (const int threads : {1, 2, 5}) {
    SCOPED_TRACE(threads);
    std::vector<int> taken;
    std::atomic<int> computed{0};
    // Later chunks are quicker, so that they are done before earlier ones.
    RunChunksInOrder(
        40, threads,
        [&](int chunk) {
          std::this_thread::sleep_for(std::chrono::microseconds(40 - chunk) * 20);
          ++computed;
          return true;
        },
        [&](int chunk, bool whole) {
          EXPECT_TRUE(whole);
          taken.push_back(chunk);
          return chunk != 29;
        });
    ASSERT_EQ(taken.size(), 30u);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)], i);
    if (threads == 1) {
      EXPECT_EQ(computed.load(), 30);  // no chunk starts once the work ended
    }
  }
  // A chunk cut short is the last one taken; an exception comes through to the caller.
  std::vector<std::pair<int, bool>> taken;
  RunChunksInOrder(
      10, 3, [](int chunk) { return chunk != 4; },
      [&](int chunk, bool whole) {
        taken.emplace_back(chunk, whole);
        return true;
      });
  ASSERT_EQ(taken.size(), 5u);
  EXPECT_FALSE(taken.back().second);
  EXPECT_THROW(RunChunksInOrder(
                   10, 3,
                   [](int chunk) {
                     if (chunk == 6) throw std::runtime_error("chunk 6");
                     return true;
                   },
                   [](int, bool) { return true; }),
               std::runtime_error);
}

// A run of `rows` rows, one about every 100 µs, that stops when cancelled.
ReportRunner::Compute SlowRun(int rows, std::atomic<int>* started = nullptr) {
  return [rows, started](const RunControl& control) {
    if (started) ++*started;
    ReportRun run;
    for (int i = 0; i < rows; ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      run.rows.push_back(ReportRow{"row " + std::to_string(i), {}});
      run.status = std::to_string(i + 1);
      if (Cancelled(control)) {
        run.cancelled = true;
        break;
      }
      if (control.progress) control.progress(run);
    }
    return run;
  };
}

TEST(ReportRunner, PublishesRowsInOrderAndHandsOverTheRun) {
  ReportRunner runner;
  std::atomic<int> notices{0};
  runner.Start(SlowRun(1500), [&notices] { ++notices; });
  EXPECT_TRUE(runner.Active());
  std::vector<std::string> lines;
  std::optional<ReportRun> run;
  while (!(run = runner.TakeResult())) {
    const ReportRunner::News news = runner.TakeNews();
    std::istringstream text(news.text);
    std::size_t taken = 0;
    for (std::string line; std::getline(text, line); ++taken) lines.push_back(line);
    EXPECT_EQ(taken, news.lines);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(runner.Active());
  EXPECT_GT(notices.load(), 1);
  ASSERT_EQ(run->rows.size(), 1500u);
  EXPECT_FALSE(run->cancelled);
  ASSERT_GT(lines.size(), 0u);  // some news came while the run went on
  ASSERT_LE(lines.size(), run->rows.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], run->rows[i].list);
  EXPECT_EQ(runner.TakeNews().lines, 0u);  // what was left is in the run
  EXPECT_FALSE(runner.TakeResult());
}

// A window answers the last notice as soon as it comes: the run is there even while the worker's
// thread has yet to return.
TEST(ReportRunner, TheLastNoticeFindsTheRun) {
  ReportRunner runner;
  std::atomic<bool> told{false};
  // A run that publishes nothing: its one notice is the last.
  runner.Start(
      [](const RunControl&) {
        ReportRun run;
        run.status = "done";
        return run;
      },
      [&told] {
        told = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      });
  while (!told.load()) std::this_thread::yield();
  const std::optional<ReportRun> run = runner.TakeResult();
  ASSERT_TRUE(run);
  EXPECT_EQ(run->status, "done");
  EXPECT_FALSE(runner.Active());
}

TEST(ReportRunner, StopCancelsAndANewStartWaitsForTheRunUnderWay) {
  ReportRunner runner;
  EXPECT_FALSE(runner.Stop());
  std::atomic<int> started{0};
  runner.Start(SlowRun(1000000, &started));
  while (started.load() == 0) std::this_thread::yield();
  // A second run: the first is cancelled and waited for, only the second's result comes.
  runner.Start(SlowRun(50, &started));
  std::optional<ReportRun> run;
  while (!(run = runner.TakeResult())) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(started.load(), 2);
  EXPECT_EQ(run->rows.size(), 50u);
  EXPECT_FALSE(run->cancelled);
  // Stopped: the rows found stay.
  runner.Start(SlowRun(1000000));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::optional<ReportRun> stopped = runner.Stop();
  ASSERT_TRUE(stopped);
  EXPECT_TRUE(stopped->cancelled);
  EXPECT_GT(stopped->rows.size(), 0u);
  EXPECT_TRUE(runner.CancelRequested());
  EXPECT_FALSE(runner.Active());
  // A run that throws ends with the message; a runner that goes during a run stops it.
  runner.Start([](const RunControl&) -> ReportRun { throw std::invalid_argument("bad input"); });
  while (!(run = runner.TakeResult())) std::this_thread::yield();
  EXPECT_EQ(run->error, "bad input");
  auto going = std::make_unique<ReportRunner>();
  going->Start(SlowRun(1000000), [] {});
  going.reset();
}

}  // namespace
