// The demo folder that scripts/start.sh runs the program in, made and refreshed from a small demo
// set of its own: what the user saved there outlives a new demo set, and --afresh puts the set
// back as it came.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/runtool.h"
#include "support/tempdir.h"

namespace zarn {
namespace {

class DemoFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream script(ZARN_SOURCE_DIR "/scripts/demofolder.sh", std::ios::binary);
    top.put("scripts/demofolder.sh", std::string(std::istreambuf_iterator<char>(script), {}), true);
    for (const char* f : {"ZARN.CFG", "ZARN.LOC", "MAP.DES", "AUTORESO.CFG", "fleet/ZARN.MCV", "fleet/ZARNDIAL.CFG"})
      top.put(std::string("data/demo/") + f, std::string("as the set has it: ") + f);
  }
  // What the script said, or nullopt when it failed.
  std::optional<std::string> make(const std::string& kind, bool afresh = false) {
    std::vector<std::string> args{"bash", "-c", "\"$0\" \"$@\" 2>&1", (top / "scripts/demofolder.sh").string()};
    if (afresh) args.push_back("--afresh");
    args.insert(args.end(), {kind, (user / kind).string()});
    return testing::runtool(args, "");
  }
  testing::TempDir top, user;
};

TEST_F(DemoFolder, WhatTheUserSavedOutlivesANewDemoSetUntilAskedAfresh) {
  ASSERT_TRUE(make("demo"));
  EXPECT_EQ(user.get("demo/MAP.DES"), "as the set has it: MAP.DES");
  // A GPS correction saved, a destination saved, a trip logged.
  user.put("demo/ZARN.CFG", "corrected");
  user.put("demo/ZARN.LOC", "saved destinations");
  user.put("demo/TRIP.NME", "a trip");
  EXPECT_EQ(make("demo"), "") << "an unchanged set is left alone";
  EXPECT_EQ(user.get("demo/ZARN.CFG"), "corrected");

  for (const char* f : {"ZARN.CFG", "ZARN.LOC", "MAP.DES", "NEW.WAV"})
    top.put(std::string("data/demo/") + f, std::string("a new set: ") + f);
  const auto said = make("demo");
  ASSERT_TRUE(said);
  EXPECT_NE(said->find("keeping ZARN.CFG"), std::string::npos) << *said;
  EXPECT_NE(said->find("keeping ZARN.LOC"), std::string::npos) << *said;
  EXPECT_EQ(std::tuple(user.get("demo/ZARN.CFG"), user.get("demo/ZARN.LOC"), user.get("demo/TRIP.NME")),
            std::tuple("corrected", "saved destinations", "a trip"));
  EXPECT_EQ(std::tuple(user.get("demo/MAP.DES"), user.get("demo/NEW.WAV")),
            std::tuple("a new set: MAP.DES", "a new set: NEW.WAV"));

  ASSERT_TRUE(make("demo", true));
  EXPECT_EQ(std::tuple(user.get("demo/ZARN.CFG"), user.get("demo/ZARN.LOC"), user.get("demo/TRIP.NME")),
            std::tuple("a new set: ZARN.CFG", "a new set: ZARN.LOC", "a trip"));
  // Once put back, a later set's changes come in again.
  top.put("data/demo/ZARN.CFG", "a later set");
  ASSERT_TRUE(make("demo"));
  EXPECT_EQ(user.get("demo/ZARN.CFG"), "a later set");
}

TEST_F(DemoFolder, AFleetFolderHasTheFleetsFilesOnTopAndNoScreenLayoutAfreshToo) {
  for (bool afresh : {false, true}) {
    user.put("fleet/ZARN.MCV", "changed");
    ASSERT_TRUE(make("fleet", afresh));
    EXPECT_EQ(std::tuple(user.get("fleet/ZARN.MCV"), user.get("fleet/ZARNDIAL.CFG"), user.has("fleet/AUTORESO.CFG")),
              std::tuple("as the set has it: fleet/ZARN.MCV", "as the set has it: fleet/ZARNDIAL.CFG", false))
        << afresh;
  }
}

}  // namespace
}  // namespace zarn
