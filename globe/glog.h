// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The globe engine's log: short lines about what the engine does (a database opened or closed, a
// layer created or deleted). Nothing is written, and no line is even built, while no target is
// registered, which is how the program runs.

#include <functional>
#include <string>

namespace umbrivista {

using TGLogTarget = std::function<void(const std::string& line)>;

// Registers a target that receives every further line; returns the id that removes it again.
int AddLogTarget(TGLogTarget target);
// Removes a target; an unknown id does nothing.
void RemoveLogTarget(int id);
// True while at least one target is registered.
bool LogActive();
// Hands the line to every target in the order they were registered. A target that throws is
// skipped; the others still get the line and the caller never sees the failure.
void GlobeLog(const std::string& line);

// Registers a target for its lifetime.
class TGScopedLogTarget {
 public:
  explicit TGScopedLogTarget(TGLogTarget target) : id_(AddLogTarget(std::move(target))) {}
  ~TGScopedLogTarget() { RemoveLogTarget(id_); }
  TGScopedLogTarget(const TGScopedLogTarget&) = delete;
  TGScopedLogTarget& operator=(const TGScopedLogTarget&) = delete;

 private:
  int id_;
};

}  // namespace umbrivista
