// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#include "generator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "eclipse_search.h"
#include "julian_day.h"
#include "saros.h"

namespace umbrivista {

namespace catalogue_tool {

namespace {

constexpr double kMeanSynodicMonth = 29.530588861;
constexpr std::int64_t kChunk = 64;  // lunations handed to a thread at a time
constexpr int kGapProbes = 2;        // lunations looked at beyond each end of a series

Lunation LunationNear(double jd) {
  return static_cast<Lunation>(std::floor((jd - MeanNewMoon(0)) / kMeanSynodicMonth));
}

Lunation FirstLunationOfYear(int year) {
  return LunationNear(CalendarToJD(year, 1, 1, 0, 0, 0)) - 2;
}
Lunation LastLunationOfYear(int year) {
  return LunationNear(CalendarToJD(year + 1, 1, 1, 0, 0, 0)) + 2;
}

std::string Date(const EclipseRecord& r) {
  return std::to_string(r.year) + "-" + std::to_string(r.month) + "-" + std::to_string(r.day);
}

struct Chunk {
  std::vector<EclipseSolution> solutions;
};

// Searches lunations [first, last] on `threads` threads, each moving forward in date order.
// Marks eclipses in `eclipse` (index k − first) and solves those whose T0 year lies in range.
std::vector<Chunk> Search(const GeneratorOptions& options, Lunation first, Lunation last,
                          std::vector<std::uint8_t>& eclipse) {
  const std::int64_t count = last - first + 1;
  const std::int64_t chunks = (count + kChunk - 1) / kChunk;
  std::vector<Chunk> results(static_cast<std::size_t>(chunks));
  eclipse.assign(static_cast<std::size_t>(count), 0);
  std::atomic<std::int64_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr error;
  std::mutex errorMutex;

  auto work = [&] {
    try {
      Ephemeris ephemeris(options.ephemerisPath);
      EclipseFinder finder(ephemeris);
      for (std::int64_t c = next++; c < chunks && !failed; c = next++) {
        const Lunation begin = first + c * kChunk;
        const Lunation end = std::min(last + 1, begin + kChunk);
        for (Lunation k = begin; k < end; ++k) {
          const GreatestEclipse g = finder.FindGreatest(k);
          if (!g.eclipse) continue;
          eclipse[static_cast<std::size_t>(k - first)] = 1;
          std::int32_t year, month, day, hour;
          EclipseFinder::T0Of(g.jdTT, year, month, day, hour);
          if (year < options.firstYear || year > options.lastYear) continue;
          results[static_cast<std::size_t>(c)].solutions.push_back(finder.Solve(k, g));
        }
      }
    } catch (...) {
      std::lock_guard lock(errorMutex);
      if (!error) error = std::current_exception();
      failed = true;
    }
  };
  const int threads = std::max(1, options.threads);
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) pool.emplace_back(work);
  work();
  for (auto& thread : pool) thread.join();
  if (error) std::rethrow_exception(error);
  return results;
}

// Whether lunation k has an eclipse: from the search where it covered k, else computed here.
class EclipseOracle {
 public:
  EclipseOracle(const GeneratorOptions& options, Lunation first,
                const std::vector<std::uint8_t>& eclipse)
      : options_(options), first_(first), eclipse_(eclipse) {}

  bool operator()(Lunation k) {
    if (k >= first_ && k - first_ < static_cast<Lunation>(eclipse_.size())) {
      return eclipse_[static_cast<std::size_t>(k - first_)] != 0;
    }
    if (auto it = extra_.find(k); it != extra_.end()) return it->second;
    if (!finder_) {
      ephemeris_ = std::make_unique<Ephemeris>(options_.ephemerisPath);
      finder_ = std::make_unique<EclipseFinder>(*ephemeris_);
    }
    const bool result = finder_->FindGreatest(k).eclipse;
    extra_.emplace(k, result);
    return result;
  }
  std::int64_t computed() const { return static_cast<std::int64_t>(extra_.size()); }

 private:
  const GeneratorOptions& options_;
  Lunation first_;
  const std::vector<std::uint8_t>& eclipse_;
  std::unordered_map<Lunation, bool> extra_;
  std::unique_ptr<Ephemeris> ephemeris_;
  std::unique_ptr<EclipseFinder> finder_;
};

struct Series {
  std::int64_t firstInRange = 0, lastInRange = 0;  // J of the members in range
  std::int64_t membersInRange = 0;
  std::int64_t first = 0, last = 0;  // J of the whole series
};

}  // namespace

GeneratorResult GenerateCatalogue(const GeneratorOptions& options) {
  GeneratorResult result;
  const Lunation first = FirstLunationOfYear(options.firstYear - options.sarosMarginYears);
  const Lunation last = LastLunationOfYear(options.lastYear + options.sarosMarginYears);
  std::vector<std::uint8_t> eclipse;
  std::vector<Chunk> chunks = Search(options, first, last, eclipse);
  result.lunationsSearched = last - first + 1;
  result.eclipsesSearched = std::count(eclipse.begin(), eclipse.end(), 1);

  std::vector<EclipseSolution> solutions;
  for (auto& chunk : chunks) {
    for (auto& s : chunk.solutions) solutions.push_back(std::move(s));
  }

  // Saros series: the members in range, then each series followed to both ends.
  std::map<std::int64_t, Series> series;
  for (const auto& s : solutions) {
    const SarosPosition p = DecomposeLunation(s.record.reservedInt);
    auto [it, inserted] = series.try_emplace(p.inex);
    Series& entry = it->second;
    if (inserted) entry.firstInRange = entry.lastInRange = p.saros;
    entry.firstInRange = std::min(entry.firstInRange, p.saros);
    entry.lastInRange = std::max(entry.lastInRange, p.saros);
    ++entry.membersInRange;
  }
  EclipseOracle isEclipse(options, first, eclipse);
  for (auto& [inex, entry] : series) {
    const int number = kSarosAnchorSeries + static_cast<int>(inex);
    if (entry.membersInRange != entry.lastInRange - entry.firstInRange + 1) {
      result.problems.push_back("Saros " + std::to_string(number) + " has a gap in the range");
    }
    // Follows the series in direction `step` from J = `from` while there are eclipses; returns
    // the last J with an eclipse.
    auto follow = [&, inex = inex](std::int64_t from, int step) {
      std::int64_t j = from;
      for (;;) {
        const Lunation k = LunationOf({inex, j + step});
        if (!isEclipse(k)) break;
        if (DecomposeLunation(k) != SarosPosition{inex, j + step}) {
          result.problems.push_back("Saros " + std::to_string(number) + " is split: lunation " +
                                    std::to_string(k) + " is numbered in another series");
          break;
        }
        j += step;
      }
      for (int probe = 2; probe <= 1 + kGapProbes; ++probe) {
        const SarosPosition beyond{inex, j + probe * step};
        const Lunation k = LunationOf(beyond);
        if (isEclipse(k) && DecomposeLunation(k) == beyond) {
          result.problems.push_back("Saros " + std::to_string(number) + " has a gap at lunation " +
                                    std::to_string(k));
        }
      }
      return j;
    };
    entry.first = follow(entry.firstInRange, -1);
    entry.last = follow(entry.lastInRange, +1);
    if (entry.last - entry.first + 1 > 255) {
      result.problems.push_back("Saros " + std::to_string(number) + " has more than 255 members");
    }
  }
  result.lunationsFollowed = isEclipse.computed();
  if (options.sarosMarginYears > 0 && result.lunationsFollowed > 0) {
    result.problems.push_back(std::to_string(result.lunationsFollowed) +
                              " lunations of series lay beyond the searched years");
  }
  // Over the whole search: an eclipse one saros after another belongs to the same series.
  for (Lunation k = first; k + 223 <= last; ++k) {
    if (!eclipse[k - first] || !eclipse[k + 223 - first]) continue;
    const SarosPosition a = DecomposeLunation(k), b = DecomposeLunation(k + 223);
    if (a.inex != b.inex || a.saros + 1 != b.saros) {
      result.problems.push_back("lunations " + std::to_string(k) + " and " +
                                std::to_string(k + 223) + " fall into different series");
    }
  }

  result.records.reserve(solutions.size());
  for (const auto& s : solutions) {
    EclipseRecord r = s.record;
    const SarosPosition p = DecomposeLunation(r.reservedInt);
    const Series& entry = series.at(p.inex);
    r.sarosNumber = p.Series();
    r.sarosMember =
        static_cast<std::uint8_t>(std::min<std::int64_t>(255, p.saros - entry.first + 1));
    r.sarosMemberCount =
        static_cast<std::uint8_t>(std::min<std::int64_t>(255, entry.last - entry.first + 1));
    for (int g = 0; g < 8; ++g) {
      if (s.residual[g] > result.maxResidual[g]) {
        result.maxResidual[g] = s.residual[g];
        if (g < 2) result.maxResidualIndex[g] = result.records.size();
      }
    }
    result.records.push_back(r);
  }
  for (std::size_t i = 1; i < result.records.size(); ++i) {
    if (result.records[i].julianDay < result.records[i - 1].julianDay) {
      result.problems.push_back("records out of date order at " + Date(result.records[i]));
    }
  }
  return result;
}

}  // namespace catalogue_tool

}  // namespace umbrivista
