// The picture store over real files and a stand-in decoder: what is decoded again, and when.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/services.h"
#include "support/tempdir.h"

using namespace zarn;
using namespace zarn::platform;
namespace fs = std::filesystem;

namespace {

std::string bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Files hold "<header>|<pixels>": the header "W x H" or "?" when it does not tell the size, the
// pixels "W x H" or nothing the decoder can read.
class TextStore final : public ImageStore {
 protected:
  std::optional<std::pair<int, int>> measure(const fs::path& file) override {
    const std::string s = bytes(file);
    if (s.rfind('?', 0) == 0) return std::pair{0, 0};
    return size(s);
  }
  ui::PictureRef decode(const fs::path& file) override {
    const std::string s = bytes(file);
    const auto wh = size(s.substr(s.find('|') + 1));
    if (!wh) return nullptr;
    auto pic = std::make_shared<ui::Picture>();
    std::tie(pic->width, pic->height) = *wh;
    return pic;
  }

 private:
  static std::optional<std::pair<int, int>> size(const std::string& s) {
    int w = 0, h = 0;
    if (std::sscanf(s.c_str(), "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0) return std::nullopt;
    return std::pair{w, h};
  }
};

struct PictureStore : ::testing::Test {
  PictureStore() {
    store.setscreen([] { return ScreenArea{0, 0, 3840, 2160}; });
    store.tellrefusals([this](const std::string& s) { told.push_back(s); });
  }
  fs::path dated(const std::string& name, const std::string& bytes, std::chrono::seconds offset) {
    const fs::path f = dir.put(name, bytes);
    fs::last_write_time(f, fs::file_time_type::clock::now() + offset);
    return f;
  }
  zarn::testing::TempDir dir;
  TextStore store;
  std::vector<std::string> told;
};

TEST_F(PictureStore, OneCopyWhateverTheFilesDate) {
  const auto ahead = dated("AHEAD.BMP", "3840x2160|3840x2160", std::chrono::hours(24));
  const auto fresh = dated("FRESH.ICO", "32x32|32x32", std::chrono::seconds(0));
  const auto first = store.load(ahead), icon = store.load(fresh);
  ASSERT_TRUE(first && icon);
  int others = 0;
  for (int i = 0; i < 99; ++i) others += (store.load(ahead) != first) + (store.load(fresh) != icon);
  EXPECT_EQ(std::pair(others, store.decodes()), std::pair(0, std::size_t{2}))
      << "a day ahead and just written: each decoded once and shared";

  // Once the files have settled they are looked at again, and still shared.
  struct stat st {};
  ASSERT_EQ(::stat(ahead.c_str(), &st), 0);
  const auto changed = std::chrono::system_clock::time_point(std::chrono::seconds(st.st_ctim.tv_sec));
  while (std::chrono::system_clock::now() < changed + std::chrono::seconds(4))
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(store.load(ahead), first);
  EXPECT_EQ(store.load(fresh), icon);
  EXPECT_EQ(store.decodes(), 2u);
}

TEST_F(PictureStore, AFileReplacedWithItsDateSetBackIsReadAfresh) {
  const auto f = dated("WP.BMP", "40x30|40x30", -std::chrono::hours(1));
  const auto was = fs::last_write_time(f);
  ASSERT_EQ(store.load(f)->width, 40);
  auto ctime = [&f] {
    struct stat st {};
    ::stat(f.c_str(), &st);
    return std::pair{st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
  };

  // Another picture of the same size renamed over it, dated as the old one.
  dir.put("NEW.BMP", "30x40|30x40");
  fs::last_write_time(dir / "NEW.BMP", was);
  fs::rename(dir / "NEW.BMP", f);
  ASSERT_EQ(fs::last_write_time(f), was);
  EXPECT_EQ(store.load(f)->width, 30);

  // Written over in place, its date set back: the change time still moves (on a file system
  // whose times step coarsely, only once its clock has moved on).
  const auto before = ctime();
  do {
    dir.put("WP.BMP", "41x29|41x29");
    fs::last_write_time(f, was);
  } while (ctime() == before && (std::this_thread::sleep_for(std::chrono::milliseconds(1)), true));
  EXPECT_EQ(store.load(f)->width, 41);
  EXPECT_EQ(store.decodes(), 3u);
}

TEST_F(PictureStore, AChangeOfModeOrOwnerAloneDecodesNothingAgain) {
  const auto f = dated("BIG.BMP", "3840x2160|3840x2160", -std::chrono::hours(1));
  const auto ctime = [&f] {
    struct stat st {};
    ::stat(f.c_str(), &st);
    return std::pair{st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
  };
  // Twenty users, the file's mode or owner changed before each (the change time then moves, on
  // a file system whose times step coarsely once its clock has moved on).
  std::vector<ui::PictureRef> users;
  for (int i = 0; i < 20; ++i) {
    const auto before = ctime();
    do {
      if (i % 2) ASSERT_EQ(::chown(f.c_str(), ::geteuid(), static_cast<gid_t>(i)), 0);
      else ASSERT_EQ(::chmod(f.c_str(), i % 4 ? 0644 : 0600), 0);
    } while (ctime() == before && (std::this_thread::sleep_for(std::chrono::milliseconds(1)), true));
    users.push_back(store.load(f));
    ASSERT_TRUE(users.back());
  }
  EXPECT_EQ(std::count(users.begin(), users.end(), users.front()), 20);
  EXPECT_EQ(store.decodes(), 1u);

  // A write of the same size with its date set back also moves only the change time: read afresh.
  const auto was = fs::last_write_time(f);
  const auto before = ctime();
  do {
    dir.put("BIG.BMP", "3840x2159|3840x2159");
    fs::last_write_time(f, was);
  } while (ctime() == before && (std::this_thread::sleep_for(std::chrono::milliseconds(1)), true));
  const auto again = store.load(f);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->height, 2159);
  EXPECT_EQ(store.decodes(), 2u);
}

TEST_F(PictureStore, APictureWhoseSizeOnlyDecodingTellsIsDecodedOnceAndARefusalNamedOnce) {
  // Neither lies about a size: the one that cannot be decoded (a picture too large for the
  // decoder) and one whose decoded size is too large to show.
  const auto unread = dated("NOPIX.BMP", "?|", -std::chrono::hours(1));
  const auto huge = dated("HUGE.BMP", "?|30000x30000", -std::chrono::hours(1));
  const auto damaged = dated("CUT.BMP", "20x20|", -std::chrono::hours(1));
  for (int redraw = 0; redraw < 120; ++redraw)
    for (const auto& f : {unread, huge, damaged})
      for (const PictureUse use : {PictureUse::map, PictureUse::shown}) EXPECT_FALSE(store.load(f, use));
  EXPECT_EQ(store.decodes(), 3u);
  EXPECT_EQ(told, (std::vector<std::string>{"NOPIX.BMP is too large or damaged: no picture could be read from it",
                                            "HUGE.BMP is too large to draw: 30000 x 30000 pixels"}));
  std::string why;
  EXPECT_FALSE(store.load(unread, PictureUse::map, &why));
  EXPECT_EQ(why, "is too large or damaged: no picture could be read from it") << "told to the reader who asks";
  EXPECT_EQ(store.decodes(), 3u);

  // Changed, it is judged afresh.
  dir.put("NOPIX.BMP", "?|64x64");
  EXPECT_TRUE(store.load(unread));
  EXPECT_EQ(store.decodes(), 4u);
}

}  // namespace
