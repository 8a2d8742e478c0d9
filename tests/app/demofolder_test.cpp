// The demo folder that scripts/start.sh runs the program in, made and refreshed from a small demo
// set of its own: what the user saved there outlives a new demo set, and --afresh puts the set
// back as it came.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "support/runtool.h"
#include "support/tempdir.h"

namespace zarn {
namespace {

class DemoFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"scripts/demofolder.sh", "tools/demo_shipped.sh"}) {
      std::ifstream script(std::string(ZARN_SOURCE_DIR "/") + f, std::ios::binary);
      top.put(f, std::string(std::istreambuf_iterator<char>(script), {}), true);
    }
    for (const char* f : {"ZARN.CFG", "ZARN.LOC", "MAP.DES", "AUTORESO.CFG", "fleet/ZARN.MCV", "fleet/ZARNDIAL.CFG"})
      top.put(std::string("data/demo/") + f, std::string("as the set has it: ") + f);
    ship();
  }
  // The set as it is now noted among the versions shipped, as with every change to it.
  void ship() { ASSERT_TRUE(testing::runtool({(top / "tools/demo_shipped.sh").string()}, "")); }
  // What the script said, or nullopt when it failed.
  // `env` goes before the script's command ("PATH=... ").
  std::optional<std::string> make(const std::string& kind, bool afresh = false, std::string folder = {},
                                  const std::string& env = {}) {
    std::vector<std::string> args{"bash", "-c", env + "\"$0\" \"$@\" 2>&1", (top / "scripts/demofolder.sh").string()};
    if (afresh) args.push_back("--afresh");
    args.insert(args.end(), {kind, (user / (folder.empty() ? kind : folder)).string()});
    return testing::runtool(args, "");
  }
  static bool says(const std::optional<std::string>& said, const std::string& what) {
    return said && said->find(what) != std::string::npos;
  }
  // Runs a bash script with the demo folder script as "$0", the user's folders' folder as $1.
  std::optional<std::string> shell(const std::string& script) {
    return testing::runtool({"bash", "-c", script, (top / "scripts/demofolder.sh").string(), user.path().string()}, "");
  }
  // The stand-ins of tools/ first on the PATH, before the script's command.
  std::string standins() const { return "PATH=" + (top / "bin").string() + ":$PATH "; }
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
  user.put("demo/ZARN.CFG", "as the set has it: ZARN.CFG");  // an older version put back on purpose
  top.put("data/demo/ZARN.CFG", "a later set");
  EXPECT_TRUE(says(make("demo"), "replacing ZARN.CFG with the demo's"));
  EXPECT_EQ(user.get("demo/ZARN.CFG"), "a later set");
}

TEST_F(DemoFolder, AFleetFolderHasTheFleetsFilesOnTopAndNoScreenLayoutAfreshToo) {
  for (bool afresh : {false, true}) {
    // Without --afresh, a file in a new folder that the set never had would be the user's.
    if (afresh) user.put("fleet/ZARN.MCV", "changed");
    ASSERT_TRUE(make("fleet", afresh));
    EXPECT_EQ(std::tuple(user.get("fleet/ZARN.MCV"), user.get("fleet/ZARNDIAL.CFG"), user.has("fleet/AUTORESO.CFG")),
              std::tuple("as the set has it: fleet/ZARN.MCV", "as the set has it: fleet/ZARNDIAL.CFG", false))
        << afresh;
  }
}

TEST_F(DemoFolder, AFileNoVersionOfTheSetHadIsTheUsersWhateverStateTheListIsIn) {
  namespace fs = std::filesystem;
  const auto list = [&](const std::string& folder) { return user.get(folder + "/.demo-files"); };
  // The list of what was copied in, as folders have it: none yet, or damaged in every way seen.
  const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> damages = {
      {"none", [&](const std::string& f) { fs::remove(user / f / ".demo-files"); }},
      {"empty", [&](const std::string& f) { user.put(f + "/.demo-files", ""); }},
      {"folder", [&](const std::string& f) { fs::remove(user / f / ".demo-files"), user.put(f + "/.demo-files/x", "x"); }},
      {"crlf", [&](const std::string& f) {
         std::string s = list(f);
         for (std::size_t i = 0; (i = s.find('\n', i)) != std::string::npos; i += 2) s.insert(i, "\r");
         user.put(f + "/.demo-files", s);
       }},
      {"cut", [&](const std::string& f) { user.put(f + "/.demo-files", list(f).substr(0, 100)); }},
      {"garbage", [&](const std::string& f) { user.put(f + "/.demo-files", "garbage\n" + list(f)); }},
  };
  for (const auto& [folder, damage] : damages) {
    ASSERT_TRUE(make("demo", false, folder));
    user.put(folder + "/ZARN.CFG", "mine");
    damage(folder);
  }
  // A folder made before the list was kept gets one while the set is unchanged.
  EXPECT_TRUE(says(make("demo", false, "none"), "keeping ZARN.CFG"));
  EXPECT_TRUE(user.has("none/.demo-files"));
  fs::remove(user / "none/.demo-files");
  // A folder where the set has a file, holding the user's own file of that name; a file where
  // the set has a folder.
  ASSERT_TRUE(make("fleet", false, "shapes"));
  fs::remove(user / "shapes/ZARN.CFG");
  user.put("shapes/ZARN.CFG/ZARN.CFG", "mine");
  fs::remove_all(user / "shapes/fleet");
  user.put("shapes/fleet", "mine");

  for (const char* f : {"ZARN.CFG", "MAP.DES", "fleet/ZARN.MCV"})
    top.put(std::string("data/demo/") + f, std::string("a new set: ") + f);
  ship();
  for (const auto& [folder, damage] : damages) {
    const auto said = make("demo", false, folder);
    ASSERT_TRUE(said) << folder;
    EXPECT_TRUE(says(said, "keeping ZARN.CFG as you changed it")) << folder << ": " << *said;
    EXPECT_TRUE(says(said, "replacing MAP.DES with the demo's") && !says(said, "keeping MAP.DES")) << folder;
    EXPECT_EQ(std::tuple(user.get(folder + "/ZARN.CFG"), user.get(folder + "/MAP.DES")),
              std::tuple("mine", "a new set: MAP.DES")) << folder;
    if (folder != "folder") {
      EXPECT_EQ(make("demo", false, folder), "") << folder << ": the list was made whole";
    }
  }
  EXPECT_EQ(user.get("folder/.demo-files/x"), "x");
  for (bool afresh : {false, true}) {
    const auto said = make("fleet", afresh, "shapes");
    EXPECT_TRUE(says(said, "keeping ZARN.CFG as you made it, a folder") && says(said, "keeping fleet as you made it"))
        << said.value_or("failed");
    EXPECT_EQ(std::tuple(user.get("shapes/ZARN.CFG/ZARN.CFG"), user.get("shapes/fleet"), user.get("shapes/ZARN.MCV")),
              std::tuple("mine", "mine", "a new set: fleet/ZARN.MCV"));
  }

  const auto said = make("demo", true, "cut");
  EXPECT_TRUE(says(said, "replacing ZARN.CFG with the demo's")) << said.value_or("failed");
  EXPECT_EQ(user.get("cut/ZARN.CFG"), "a new set: ZARN.CFG");
}

TEST_F(DemoFolder, ACopyCutShortLeavesNoHalfFileAndIsFinishedAtTheNextStart) {
  // A cp that copies one file, writes part of the next (a full disk) and fails.
  top.put("bin/cp", "#!/bin/bash\nto=$2; shift 3\ncat \"$1\" > \"$to/${1##*/}\"\n"
                    "head -c 5 \"$2\" > \"$to/${2##*/}\"\nexit 1\n", true);
  const std::string failing = "PATH=" + (top / "bin").string() + ":$PATH ";
  const auto whole = [&](const std::string& folder) {
    for (const char* f : {"ZARN.CFG", "ZARN.LOC", "MAP.DES", "AUTORESO.CFG"})
      if (user.get(folder + "/" + f) != std::string("as the set has it: ") + f) return false;
    return true;
  };
  const auto half = [&](const std::string& folder) {
    for (const char* f : {"ZARN.CFG", "ZARN.LOC", "MAP.DES", "AUTORESO.CFG", "fleet/ZARN.MCV", "fleet/ZARNDIAL.CFG"})
      if (user.has(folder + "/" + f) && user.get(folder + "/" + f).size() == 5) return true;
    return false;
  };
  // The first copy, and an update over a file the user changed asked afresh: each cut short.
  EXPECT_TRUE(says(make("demo", false, "first", failing), "not all of the demo's files could be copied"));
  ASSERT_TRUE(make("demo", false, "update"));
  user.put("update/ZARN.CFG", "mine");
  top.put("data/demo/AUTORESO.CFG", "a new set: AUTORESO.CFG");
  top.put("data/demo/MAP.DES", "a new set: MAP.DES");
  ship();
  EXPECT_TRUE(says(make("demo", true, "update", failing), "not all of the demo's files could be copied"));
  EXPECT_EQ(user.get("update/ZARN.CFG"), "mine") << "not reached by the copy: still the user's";
  for (const char* folder : {"first", "update"}) {
    EXPECT_FALSE(half(folder)) << folder;
    EXPECT_FALSE(user.has(std::string(folder) + "/.demo-set")) << folder << ": not noted as done";
  }
  // The next start finishes the copy, taking nothing the set put there for the user's.
  top.put("data/demo/AUTORESO.CFG", "as the set has it: AUTORESO.CFG");
  top.put("data/demo/MAP.DES", "as the set has it: MAP.DES");
  ship();
  const auto said = make("demo", false, "first");
  EXPECT_TRUE(said && !says(said, "keeping")) << said.value_or("failed");
  EXPECT_TRUE(whole("first"));
  EXPECT_EQ(make("demo", false, "first"), "") << "done, and noted so";
}

TEST_F(DemoFolder, ACopyKilledAtAnyMomentLeavesEachFileWholeOrAsItWasAndIsFinishedAtTheNextStart) {
  // A cp that copies $WHOLE files, begins the next (as a large one takes its time) and is killed with the copy.
  top.put("bin/cp", "#!/bin/bash\nto=$2; shift 3\nfor f in \"${@:1:WHOLE}\"; do cat \"$f\" > \"$to/${f##*/}\"; done\n"
                    "f=${*:WHOLE+1:1}; head -c 5 \"$f\" > \"$to/${f##*/}\"; kill -s $SIG 0\n"
                    "while kill -0 $PPID; do sleep 0.01; done\n", true);
  const auto copying = [&](const std::string& folder) {  // the folders of files on their way in
    return std::ranges::count_if(std::filesystem::recursive_directory_iterator(user / folder),
                                 [](const auto& e) { return e.path().filename().string().starts_with(".demo-copy."); });
  };
  const std::vector<std::string> sigs{"INT", "TERM", "KILL"};
  for (const auto& sig : sigs) ASSERT_TRUE(make("demo", false, "update" + sig));
  for (const char* f : {"ZARN.CFG", "ZARN.LOC", "MAP.DES", "AUTORESO.CFG"})
    top.put(std::string("data/demo/") + f, std::string("a new set: ") + f);
  ship();
  for (int i = 0; i < 6; ++i) {
    // A first copy and an update, each in a process group of its own as from a terminal, where Ctrl-C signals it.
    const std::string sig = sigs[i % 3], folder = (i < 3 ? "first" : "update") + sig;
    make("demo", false, folder, "set -m; SIG=" + sig + " WHOLE=" + std::to_string(i % 3) + " " + standins());
    EXPECT_EQ(copying(folder), sig == "KILL") << folder << ": what was on its way in goes, but on SIGKILL";
    const auto said = make("demo", false, folder);
    EXPECT_TRUE(said && !says(said, "keeping") && !copying(folder) && make("demo", false, folder) == "") << folder;
    EXPECT_EQ(user.get(folder + "/MAP.DES"), "a new set: MAP.DES") << folder;
  }
}

TEST_F(DemoFolder, OnAFullDiskTheListsLeftAsTheyWereAreSaidSo) {
  top.put("bin/mktemp", "#!/bin/bash\nln -s /dev/full \"$1.FULL\" && echo \"$1.FULL\"\n", true);
  ASSERT_TRUE(make("demo"));
  std::filesystem::remove(user / "demo/.demo-files");
  EXPECT_TRUE(says(make("demo", false, {}, standins()), "could not be updated (No space left on device); the next"));
  EXPECT_FALSE(user.has("demo/.demo-files.XXXXXX.FULL"));
  EXPECT_TRUE(make("demo") && user.has("demo/.demo-files"));
}

TEST_F(DemoFolder, StartsAtOnceTakeTurns) {
  ASSERT_TRUE(make("demo"));
  // The first start's cp stops halfway through a file until the second has said it waits, or is over.
  const std::string said = (user / "said").string();
  top.put("bin/cp", "#!/bin/bash\nhead -c 5 \"$4\" > \"$2/${4##*/}\"; : > " + said +
                    "\nuntil grep -qe waiting -e over " + said + "; do sleep 0.01; done\nexec /bin/cp \"$@\"\n", true);
  top.put("data/demo/ZARN.LOC", "a new set: ZARN.LOC");
  ship();
  const auto second = shell(standins() + "\"$0\" demo \"$1/demo\" 2>/dev/null & first=$!\n"
                            "until [ -e \"$1/said\" ] || ! kill -0 $first; do sleep 0.01; done\n"
                            "\"$0\" demo \"$1/demo\" 2>>\"$1/said\"; echo over >>\"$1/said\"\n"
                            "wait $first; cat \"$1/said\"");
  EXPECT_TRUE(says(second, "waiting for another start") && !says(second, "keeping")) << second.value_or("failed");
  EXPECT_EQ(user.get("demo/ZARN.LOC"), "a new set: ZARN.LOC");
}

TEST(DemoSet, EveryFileOfTheSetIsAmongTheVersionsShipped) {
  // Otherwise a demo folder would take the new version of a file for one the user changed.
  EXPECT_TRUE(testing::runtool({ZARN_SOURCE_DIR "/tools/demo_shipped.sh", "--check"}, ""))
      << "data/demo changed: run tools/demo_shipped.sh";
}

}  // namespace
}  // namespace zarn
