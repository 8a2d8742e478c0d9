// Runs a reference tool (cs2cs, GeoConvert, ...) with an argument vector, never through a shell,
// feeding it a text on standard input and returning what it wrote on standard output.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace zarn::testing {

// nullopt when the tool cannot be started or does not exit with 0.
inline std::optional<std::string> runtool(const std::vector<std::string>& args,
                                          const std::string& input) {
  namespace fs = std::filesystem;
  if (args.empty()) return std::nullopt;
  char tmpl[] = "/tmp/zarn-tool-XXXXXX";
  if (!mkdtemp(tmpl)) return std::nullopt;
  const fs::path dir = tmpl;
  const fs::path in = dir / "in.txt", out = dir / "out.txt";
  { std::ofstream(in, std::ios::binary) << input; }

  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  std::optional<std::string> result;
  if (rc == 0) {
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      std::ifstream f(out, std::ios::binary);
      result = std::string(std::istreambuf_iterator<char>(f), {});
    }
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return result;
}

// True when the program is found on the PATH.
inline bool havetool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream ss(path ? path : "/usr/bin:/bin");
  for (std::string d; std::getline(ss, d, ':');)
    if (!d.empty() && access((std::filesystem::path(d) / name).c_str(), X_OK) == 0) return true;
  return false;
}

// The numbers of each output line, line by line.
inline std::vector<std::vector<double>> numberlines(const std::string& text) {
  std::vector<std::vector<double>> rows;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    std::vector<double> row;
    std::stringstream ls(line);
    for (std::string w; ls >> w;) {
      char* end = nullptr;
      const double v = std::strtod(w.c_str(), &end);
      if (end != w.c_str()) row.push_back(v);
    }
    rows.push_back(row);
  }
  return rows;
}

// Feeds a tool one line per row of numbers (full precision, blank-separated) and returns the
// numbers of each line it wrote; empty when the tool fails.
inline std::vector<std::vector<double>> toolrows(const std::vector<std::string>& args,
                                                 const std::vector<std::vector<double>>& rows) {
  std::string in;
  for (const auto& row : rows) {
    for (double v : row) {
      char num[32];
      std::snprintf(num, sizeof num, "%.17g ", v);
      in += num;
    }
    in += '\n';
  }
  const auto out = runtool(args, in);
  return out ? numberlines(*out) : std::vector<std::vector<double>>{};
}

}  // namespace zarn::testing
