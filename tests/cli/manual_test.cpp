// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The manual page and the bash completion know every command of umbrivista-cli and every option
// its help names.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli_runner.h"

namespace umbrivista {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::set<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
    found.insert((*it)[1]);
  return found;
}

// The options a completion offers for one command: its case branch, up to the next ";;".
std::string CompletionBranch(const std::string& script, const std::string& command) {
  const auto at = script.find("\n    " + command + ")");
  if (at == std::string::npos) return {};
  return script.substr(at, script.find(";;", at) - at);
}

TEST(CliManual, EveryCommandAndOptionIsInThePageAndTheCompletion) {
  const std::string page = ReadAll(UMBRIVISTA_MAN_PAGE);
  const std::string completion = ReadAll(UMBRIVISTA_COMPLETION);
  ASSERT_FALSE(page.empty());
  ASSERT_FALSE(completion.empty());
  const std::set<std::string> commands =
      Matches(RunCli("--help").out, std::regex("\n  ([a-z]+) "));
  ASSERT_GE(commands.size(), 12u);
  const std::regex option("(--[a-z][a-z-]*)");
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    EXPECT_NE(page.find(".SS " + command + "\n"), std::string::npos);
    const std::string branch = CompletionBranch(completion, command);
    EXPECT_FALSE(branch.empty());
    const std::string help = RunCli(command + " --help").out;
    for (const std::string& o : Matches(help, option)) {
      // The page quotes the help; roff writes each "-" as it stands.
      EXPECT_NE(page.find(o), std::string::npos) << o;
      if (o == "--catalogue" || o == "--data-dir") continue;  // offered for every command
      EXPECT_NE(branch.find(o), std::string::npos) << o;
    }
  }
}

}  // namespace
}  // namespace umbrivista
