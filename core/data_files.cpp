// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data_files.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace umbrivista {

std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.parent_path().empty()) return ".";
  return exe.parent_path().string();
}

std::string HelperPath(const std::string& programFolder, const std::string& installedFolder,
                       const std::string& name) {
  const std::filesystem::path folder(programFolder);
  const std::filesystem::path candidates[] = {
      (folder / ".." / installedFolder / name).lexically_normal(),
      folder / name,
  };
  for (const auto& candidate : candidates) {
    struct stat st;
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate.string();
  }
  return candidates[1].string();
}

void* LoadModuleEntry(const std::string& path, const char* entry, const std::string& what) {
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  void* found = module ? ::dlsym(module, entry) : nullptr;
  if (!found) {
    const char* why = ::dlerror();
    throw std::runtime_error("cannot load " + what + ": " + (why ? why : "no entry point"));
  }
  return found;
}

std::vector<std::string> DataFolders(const std::string& given, const std::string& programFolder) {
  std::vector<std::string> folders;
  if (!given.empty()) {
    folders.push_back(given);
  } else if (const char* env = std::getenv(kDataFolderVariable); env && *env) {
    folders.push_back(env);
  }
  if (!programFolder.empty()) {
    folders.push_back(programFolder);
    folders.push_back((std::filesystem::path(programFolder) / ".." / "share" / "umbrivista")
                          .lexically_normal()
                          .string());
  }
  folders.push_back(".");
  return folders;
}

std::string FindDataFile(const std::string& name, const std::string& given) {
  const std::vector<std::string> folders = DataFolders(given, ProgramFolder());
  std::string other;  // the first candidate that exists but is no regular file
  for (const std::string& folder : folders) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    if (std::filesystem::is_regular_file(path, ec)) return path.string();
    if (other.empty() && std::filesystem::exists(path, ec)) other = path.string();
  }
  return other.empty() ? (std::filesystem::path(folders.front()) / name).string() : other;
}

}  // namespace umbrivista
