// Real sound files for the sound and speech tests, made at test time by espeak-ng and sox.
#pragma once

#include "support/runtool.h"
#include "support/tempdir.h"

namespace zarn::testing {

// Speech for a text written by the espeak-ng program; false when it could not be made.
inline bool espeakwav(const std::filesystem::path& file, const std::string& text) {
  return runtool({"espeak-ng", "-v", "en-gb", "-w", file.string(), text}, "") && std::filesystem::exists(file);
}

// sox converting a file; extra arguments describe the output. -D: no dither, so values are exact.
inline bool soxconvert(const std::filesystem::path& in, std::vector<std::string> args,
                       const std::filesystem::path& out) {
  args.insert(args.begin(), {"sox", "-D", in.string()});
  args.push_back(out.string());
  return runtool(args, "") && std::filesystem::exists(out);
}

}  // namespace zarn::testing
