// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "glog.h"

#include <QtGlobal>
#include <exception>
#include <utility>
#include <vector>

namespace umbrivista {

namespace {

struct Target {
  int id;
  TGLogTarget write;
};

std::vector<Target>& Targets() {
  static std::vector<Target> targets;
  return targets;
}

int nextId = 1;

}  // namespace

int AddLogTarget(TGLogTarget target) {
  const int id = nextId++;
  if (target) Targets().push_back({id, std::move(target)});
  return id;
}

void RemoveLogTarget(int id) {
  auto& targets = Targets();
  std::erase_if(targets, [id](const Target& t) { return t.id == id; });
}

bool LogActive() {
  return !Targets().empty();
}

void GlobeLog(const std::string& line) {
  // A copy, so that a target may add or remove targets while the line goes out.
  const std::vector<Target> targets = Targets();
  for (const Target& t : targets) {
    try {
      t.write(line);
    } catch (const std::exception& e) {
      qWarning("globe: a log target failed: %s", e.what());
    } catch (...) {
      qWarning("globe: a log target failed");
    }
  }
}

}  // namespace umbrivista
