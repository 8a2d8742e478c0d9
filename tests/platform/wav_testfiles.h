// Real sound files for the sound and speech tests, made at test time by espeak-ng and sox.
#pragma once

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "support/runtool.h"
#include "support/tempdir.h"

namespace zarn::testing {

// Speech for a text written by the espeak-ng program; false when it could not be made.
inline bool espeakwav(const std::filesystem::path& file, const std::string& text) {
  return runtool({"espeak-ng", "-v", "en-gb", "-w", file.string(), text}, "").has_value() &&
         std::filesystem::exists(file);
}

// sox converting a file; extra arguments describe the output.
inline bool soxconvert(const std::filesystem::path& in, const std::vector<std::string>& outopts,
                       const std::filesystem::path& out) {
  std::vector<std::string> args{"sox", "-D", in.string()};  // -D: no dither, so values are exact
  args.insert(args.end(), outopts.begin(), outopts.end());
  args.push_back(out.string());
  return runtool(args, "").has_value() && std::filesystem::exists(out);
}

template <class Sample>
double rms(const std::vector<Sample>& s) {
  double sum = 0;
  for (auto v : s) sum += static_cast<double>(v) * v;
  return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

}  // namespace zarn::testing
