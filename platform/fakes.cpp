#include "platform/fakes.h"

#include <algorithm>
#include <fstream>
#include <utility>

#include "platform/files.h"
#include "platform/wav.h"

namespace zarn::platform {

int RecordingWavPlayer::play(const std::filesystem::path& wav, bool sync) {
  std::ifstream in(wav, std::ios::binary);
  char riff[12] = {};
  if (!in.read(riff, sizeof riff)) return 0;
  if (std::string_view(riff, 4) != "RIFF" || std::string_view(riff + 8, 4) != "WAVE") return 0;
  const auto sound = readwav(wav);
  played.push_back({wav.filename().string(), sync, sound ? sound->seconds() : -1});
  if (clock_) until_ = std::max<double>(until_, clock_->timer()) + lasts_;
  return 1;
}

bool RecordingWavPlayer::playing() { return clock_ && clock_->timer() < until_; }

int ScriptedDialogs::msgbox(const std::string& prompt, int buttons, const std::string& title) {
  shown.push_back({prompt, buttons, title});
  if (onshow) onshow();
  if (!answers.empty()) {
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  switch (buttons & 7) {
    case mb::yesnocancel:
    case mb::yesno: return mb::idyes;
    default: return mb::idok;
  }
}

bool RecordingPrograms::start(const std::filesystem::path& program, const std::vector<std::string>& args,
                              bool wait, std::string* error) {
  started.push_back({program, args, wait});
  if (!succeed && error) *error = "cannot start " + program.string();
  return succeed;
}

namespace {
unsigned le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
long le32s(const unsigned char* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                   (static_cast<std::uint32_t>(p[2]) << 16) |
                                   (static_cast<std::uint32_t>(p[3]) << 24));
}
}  // namespace

std::optional<std::pair<int, int>> HeaderImageStore::measure(const std::filesystem::path& file) {
  const auto pic = decode(file);
  if (!pic) return std::nullopt;
  return std::pair{pic->width, pic->height};
}

ui::PictureRef HeaderImageStore::decode(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char h[26] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return nullptr;
  auto pic = std::make_shared<ui::Picture>();
  pic->path = file.string();
  if (h[0] == 'B' && h[1] == 'M') {
    const long hdr = le32s(h + 14);
    if (hdr == 12) {
      pic->width = static_cast<int>(le16(h + 18));
      pic->height = static_cast<int>(le16(h + 20));
    } else {
      pic->width = static_cast<int>(le32s(h + 18));
      const long ht = le32s(h + 22);
      pic->height = static_cast<int>(ht < 0 ? -ht : ht);
    }
  } else if (le16(h) == 0 && le16(h + 2) == 1 && le16(h + 4) >= 1) {
    pic->width = h[6] ? h[6] : 256;
    pic->height = h[7] ? h[7] : 256;
  } else {
    return nullptr;
  }
  if (pic->width <= 0 || pic->height <= 0) return nullptr;
  return pic;
}

double FakeModemLine::now() const {
  if (!clock_) return 0;
  const DateTime t = clock_->now();
  return t.hour * 3600.0 + t.minute * 60.0 + t.second + t.fraction;
}

int FakeModemLine::inbuffercount() {
  ++polls;
  if (clock_) clock_->advance(step);
  const double t = now();
  // Replies fall due in the order of their times, those due together in the order made.
  std::stable_sort(pending_.begin(), pending_.end(), [](const Timed& a, const Timed& b) { return a.t < b.t; });
  auto due = pending_.begin();
  for (; due != pending_.end() && due->t <= t; ++due) ready_ += due->text;
  pending_.erase(pending_.begin(), due);
  return static_cast<int>(ready_.size());
}

std::string FakeModemLine::input() { return std::exchange(ready_, {}); }

bool FakeModemLine::output(std::string_view bytes) {
  sent.append(bytes);
  for (const char c : bytes) {
    if (c != '\r') {
      partial_ += c;
      continue;
    }
    const std::string command = std::exchange(partial_, {});
    const double t = now();
    commands.push_back({t, command});
    for (Rule& r : rules_) {
      if (r.uses == 0 || !command.starts_with(r.command)) continue;
      if (r.uses > 0) --r.uses;
      for (const Reply& reply : r.replies) pending_.push_back({t + reply.after, reply.text});
      break;
    }
  }
  return true;
}

void FakeModemLine::setdtr(bool on) {
  dtr.push_back({now(), on});
  if (!on) pending_.clear();
}

}  // namespace zarn::platform
