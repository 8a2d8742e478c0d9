// Runs a reference tool (cs2cs, GeoConvert, ...) with an argument vector, never through a shell,
// feeding it a text on standard input and returning what it wrote on standard output.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace zarn::testing {

// nullopt when the tool cannot be started or does not exit with 0.
inline std::optional<std::string> runtool(const std::vector<std::string>& args, const std::string& input) {
  char tmpl[] = "/tmp/zarn-tool-XXXXXX";
  if (args.empty() || !mkdtemp(tmpl)) return std::nullopt;
  const std::filesystem::path dir = tmpl, in = dir / "in.txt", out = dir / "out.txt";
  std::ofstream(in, std::ios::binary) << input;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = 0;
  std::optional<std::string> result;
  if (posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0 && waitpid(pid, &status, 0) == pid &&
      WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    std::ifstream f(out, std::ios::binary);
    result = std::string(std::istreambuf_iterator<char>(f), {});
  }
  posix_spawn_file_actions_destroy(&fa);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return result;
}

// True when the program is found on the PATH.
inline bool havetool(const std::string& name) {
  std::stringstream ss(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
  for (std::string d; std::getline(ss, d, ':');)
    if (!d.empty() && access((std::filesystem::path(d) / name).c_str(), X_OK) == 0) return true;
  return false;
}

// The numbers of each output line, line by line.
inline std::vector<std::vector<double>> numberlines(const std::string& text) {
  std::vector<std::vector<double>> rows;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    std::stringstream ls(line);
    rows.emplace_back();
    for (std::string w; ls >> w;) {
      char* end = nullptr;
      const double v = std::strtod(w.c_str(), &end);
      if (end != w.c_str()) rows.back().push_back(v);
    }
  }
  return rows;
}

// Feeds a tool one line of numbers (full precision) per row; the numbers of its lines, none if it fails.
inline std::vector<std::vector<double>> toolrows(const std::vector<std::string>& args,
                                                 const std::vector<std::vector<double>>& rows) {
  std::ostringstream in;
  in.precision(17);
  for (const auto& row : rows) {
    for (double v : row) in << v << ' ';
    in << '\n';
  }
  const auto out = runtool(args, in.str());
  return out ? numberlines(*out) : std::vector<std::vector<double>>{};
}

}  // namespace zarn::testing
