// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scratch folder per test: named by prefix, process and test so that test processes running in
// parallel never share one; removed after the test even when a test took its write permission.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace umbrivista {

inline std::filesystem::path UniqueTestDir(const std::string& prefix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::filesystem::path(::testing::TempDir()) /
         (prefix + "_" + std::to_string(::getpid()) + "_" + (info ? info->name() : "none"));
}

class ScratchDirTest : public ::testing::Test {
 protected:
  explicit ScratchDirTest(std::string prefix) : prefix_(std::move(prefix)) {}
  void SetUp() override {
    dir_ = UniqueTestDir(prefix_);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_;

 private:
  std::string prefix_;
};

}  // namespace umbrivista
