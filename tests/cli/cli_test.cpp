// Runs the built umbrivista-cli and checks what it prints and its exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out;
};

// Runs the CLI with `args`; stdout is captured, stderr appended when `withStderr`.
Result RunCli(const std::string& args, bool withStderr = false) {
  const std::string cmd = std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli " + args +
                          (withStderr ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("umbrivista_cli_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST(CliDeltaT, PrintsSeconds) {
  EXPECT_EQ(RunCli("deltat 2016 3").out, "68.0\n");
  EXPECT_EQ(RunCli("deltat 2016 4").out, "68.3964\n");
  EXPECT_EQ(RunCli("deltat 2021 1").out.substr(0, 5), "69.95");
  EXPECT_EQ(RunCli("deltat -1000 6").status, 0);
  EXPECT_EQ(RunCli("deltat 2016 13").status, 2);
  EXPECT_EQ(RunCli("deltat 2016.5 3").status, 2);
}

TEST_F(Cli, ConvertShowFindInfo) {
  const std::string text = (dir_ / "cat.txt").string();
  const std::string bin = (dir_ / "cat.bin").string();
  {
    std::ofstream out(text);
    const int years[] = {-4999, -10, 2024, 2024, 7000};
    const int saros[] = {5, 139, 120, 139, 200};
    for (int i = 0; i < 5; ++i) {
      out << years[i] << " 3 1" << (i == 0 ? "0" : "") << " 1 0.5 -0.25 1000000.5 7 " << saros[i]
          << " 12";
      for (int c = 0; c < 32; ++c) out << " " << c * 0.125;
      out << " " << i + 1 << " 71\n";
    }
  }
  auto r = RunCli("catalogue convert " + text + " " + bin);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "records\t5\n");
  EXPECT_EQ(fs::file_size(bin), 5 * kEclipseRecordSize);

  const std::string cat = " --catalogue " + bin;
  EXPECT_EQ(RunCli("catalogue info" + cat).out,
            "records\t5\nfirst\t-4999-03-10\nlast\t7000-03-01\nsaros_min\t5\nsaros_max\t200\n");
  EXPECT_EQ(RunCli("catalogue find --year 0" + cat).out, "3\n");
  EXPECT_EQ(RunCli("catalogue find --year -20000" + cat).out, "1\n");
  EXPECT_EQ(RunCli("catalogue find --saros 139" + cat).out, "2\n");
  EXPECT_EQ(RunCli("catalogue find --saros 400" + cat).out, "5\n");
  EXPECT_EQ(RunCli("catalogue find --saros 6" + cat).status, 1);
  const std::string line = RunCli("catalogue show 2" + cat).out;
  EXPECT_EQ(line.substr(0, 30), "-10 3 1 1 0.5 -0.25 1000000.5 ");
  EXPECT_EQ(line.substr(line.size() - 6), " 2 71\n");
  EXPECT_EQ(RunCli("catalogue show 0" + cat).status, 2);
  EXPECT_EQ(RunCli("catalogue show 6" + cat).status, 2);
}

TEST_F(Cli, ErrorsNameTheFile) {
  const std::string odd = (dir_ / "odd.bin").string();
  std::ofstream(odd, std::ios::binary) << std::string(171, 'x');
  auto r = RunCli("catalogue info --catalogue " + odd, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(odd), std::string::npos) << r.out;

  const std::string text = (dir_ / "bad.txt").string();
  std::ofstream(text) << "2024 4 x\n";
  r = RunCli("catalogue convert " + text + " " + (dir_ / "out.bin").string(), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(text + ":1: field day is not an integer"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(dir_ / "out.bin"));

  // Converting a file onto itself would destroy the only copy of the text form.
  const std::string same = (dir_ / "same.txt").string();
  std::string sameText = "2024 4 8 2 0 0 0 0 139 18";
  for (int c = 0; c < 32; ++c) sameText += " 0.5";
  sameText += " 30 71\n";
  std::ofstream(same) << sameText;
  r = RunCli("catalogue convert " + same + " " + same, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(same + ": cannot write: it is the same file as the source"),
            std::string::npos)
      << r.out;
  std::ifstream in(same);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), sameText);

  EXPECT_EQ(RunCli("nonsense").status, 2);
  EXPECT_EQ(RunCli("catalogue find --year 2000 --saros 3 --catalogue " + odd).status, 1);
}

}  // namespace
