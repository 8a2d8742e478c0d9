// A scratch directory for the file, program, picture and sound tests, removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace zarn::testing {

class TempDir {
 public:
  TempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "zarn-test-XXXXXX").string();
    if (::mkdtemp(t.data())) path_ = t;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& rel) const { return path_ / rel; }
  // Writes bytes exactly as given (directories made as needed); mode 0755 for scripts.
  std::filesystem::path put(const std::filesystem::path& rel, std::string_view bytes, bool executable = false) const {
    std::filesystem::create_directories((path_ / rel).parent_path());
    std::ofstream(path_ / rel, std::ios::binary) << bytes;
    std::filesystem::permissions(path_ / rel, std::filesystem::perms(executable ? 0755 : 0644));
    return path_ / rel;
  }
  std::string get(const std::filesystem::path& rel) const {
    std::ifstream in(path_ / rel, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool has(const std::filesystem::path& rel) const { return std::filesystem::exists(path_ / rel); }

 private:
  std::filesystem::path path_;
};

}  // namespace zarn::testing
