// Files of the working directory: DOS names on a case-sensitive file system, DOS line ends,
// and the comma-separated field reader every list file goes through.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <atomic>
#include <random>
#include <thread>

#include "platform/files.h"
#include "support/tempdir.h"

using namespace zarn::platform;
using strings = std::vector<std::string>;

namespace {

struct FilesTest : ::testing::Test {
  zarn::testing::TempDir dir;
  Files files{dir.path()};
};

TEST_F(FilesTest, DosNamesAndWildcardsWithoutCase) {
  const auto f = dir.put("Maps/Sub/File.Txt", "x");
  const std::string abs = (dir / "MAPS/SUB/FILE.TXT").string();
  for (const auto& name : strings{"MAPS\\SUB\\FILE.TXT", ".\\Maps\\.\\sub\\FILE.txt", abs, "C:" + abs,
                                  "MAPS \\SUB\\FILE.TXT   " /* fixed-width line */, "MAPS\\SUB.\\FILE.TXT." /* DOS */})
    EXPECT_EQ(files.resolve(name), f) << name;
  EXPECT_EQ(files.resolve("MAPS\\NEW.DES"), dir / "Maps" / "NEW.DES") << "new names keep existing directories";
  for (const char* n : {"zarn.cfg", "ZARN.CFG", "nosound.cfg", "Maps/london.des", "Maps/b.DES", "Maps/A.des", "notes"})
    dir.put(n, n);
  EXPECT_EQ(files.resolve("zarn.cfg"), dir / "zarn.cfg") << "exact case wins";
  EXPECT_EQ(files.resolve("Zarn.Cfg"), dir / "ZARN.CFG") << "the same pick every time";
  std::filesystem::create_directories(dir / "Maps/dir.des");
  for (const char* yes : {"NOSOUND.CFG", "MAPS", "MAPS\\", "maps\\LOND?N.*", "M*", "NOTES.*" /* no extension */})
    EXPECT_TRUE(files.exists(yes)) << yes;
  for (const char* no : {"TAIP.CFG", "", "MAPS\\*.BMP", "NOMAPS\\*.DES"}) EXPECT_FALSE(files.exists(no)) << no;
  EXPECT_EQ(files.list("MAPS\\*.DES"), (strings{"A.des", "b.DES", "london.des"})) << "sorted, directories left out";
  ASSERT_TRUE(files.write("Caf\xE9.txt", "x"));
  EXPECT_TRUE(dir.has("Caf\xC3\xA9.txt")) << "Latin-1 names are UTF-8 on disk";
  EXPECT_EQ(files.list("C*.TXT"), strings{"Caf\xE9.txt"});
  EXPECT_EQ(files.read("CAF\xC9.TXT").value_or(""), "x") << "Latin-1 letters matched without case";

  EXPECT_TRUE(files.remove("MAPS\\*.DES") && !dir.has("Maps/A.des"));
  EXPECT_FALSE(files.remove("MAPS\\*.DES")) << "nothing left to remove, directories are not removed";
  EXPECT_FALSE(files.rename("ZARN.CFG", "NOSOUND.CFG")) << "an existing file is never overwritten";
  EXPECT_TRUE(files.rename("NOSOUND.CFG", "Other.txt") && files.rename("other.txt", "OTHER.TXT")) << "case only";
  EXPECT_TRUE(dir.get("OTHER.TXT") == "nosound.cfg" && !dir.has("Other.txt") && !dir.has("nosound.cfg"));
  // A folder unchanged for a while is listed once; a name put there later is still found.
  std::filesystem::last_write_time(dir.path(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  EXPECT_EQ(files.resolve("later.txt"), dir / "later.txt");
  dir.put("LATER.TXT", "x");
  EXPECT_EQ(files.resolve("later.txt"), dir / "LATER.TXT");
}

TEST_F(FilesTest, LinesInAndOut) {
  EXPECT_EQ(splitlines("a\rb\nc\r\nd"), (strings{"a", "b", "c", "d"})) << "every line end, the last line kept";
  EXPECT_EQ(splitlines("a\r\n\r\nb\r\n\n\r"), (strings{"a", "", "b", "", ""})) << "blank lines kept; LF CR is two";
  dir.put("mixed.txt", "one\rtwo\nthree\r\nfour\r\n\x1A" "garbage");
  EXPECT_EQ(files.readlines("MIXED.TXT").value(), (strings{"one", "two", "three", "four"})) << "text ends at Ctrl+Z";
  EXPECT_EQ(files.readfirstline("mixed.txt"), "one");
  EXPECT_FALSE(files.readlines("missing.txt"));
  dir.put("data.bin", std::string("\0\x1A\r\n\xFF", 5));
  EXPECT_EQ(files.read("DATA.BIN").value(), std::string("\0\x1A\r\n\xFF", 5)) << "bytes read unchanged";
  auto in = InputFile::open(files, "mixed.txt").value();
  for (int i = 0; i < 4; ++i) in.lineinput();
  EXPECT_TRUE(in.eof()) << "Ctrl+Z ends the text for the field reader too";

  ASSERT_TRUE(files.writelines("OUT.TXT", {"a", "", "b\xE9"}));
  EXPECT_EQ(dir.get("OUT.TXT"), "a\r\n\r\nb\xE9\r\n");
  EXPECT_TRUE(files.write("out.txt", "raw") && dir.get("OUT.TXT") == "raw") << "the same file whatever the case";
  EXPECT_FALSE(files.write("nodir\\x.txt", "x")) << "a missing directory is a failure, not a crash";
  EXPECT_FALSE(OutputFile::open(files, "nodir\\x.txt", OutputFile::Mode::Append));
  std::filesystem::permissions(dir / "OUT.TXT", std::filesystem::perms(0600));
  OutputFile::open(files, "OUT.TXT", OutputFile::Mode::Output)->print("dropped unfinished");
  EXPECT_EQ(dir.get("OUT.TXT"), "raw") << "a save dropped unfinished leaves the old file";
  EXPECT_TRUE(files.write("OUT.TXT", "new") &&
              std::filesystem::status(dir / "OUT.TXT").permissions() == std::filesystem::perms(0600)) << "mode kept";
  if (auto f = OutputFile::open(files, "LOG.NME", OutputFile::Mode::Output)) {
    EXPECT_TRUE(f->print("$GPGGA,1") && f->printpart("part") && f->printpart(" 12 ") && f->print("") && f->close());
  }
  if (auto f = OutputFile::open(files, "log.nme", OutputFile::Mode::Append)) {
    EXPECT_TRUE(f->writefields({writeitem("Smith, J"), writeitem(53.1f), writeitem(-3), writeitem(0.25),
                                writeitem("say \"hi\"")}));
  }
  EXPECT_EQ(dir.get("LOG.NME"), "$GPGGA,1\r\npart 12 \r\n\"Smith, J\",53.1,-3,.25,\"say 'hi'\"\r\n");
  in = InputFile::open(files, "log.nme").value();
  in.lineinput();
  EXPECT_EQ((std::pair{in.lineinput(), in.field()}), (std::pair<std::string, std::string>{"part 12 ", "Smith, J"}));
  EXPECT_EQ(static_cast<float>(in.number()), 53.1f) << "a written single reads back the same";
}

TEST_F(FilesTest, AKillDuringASaveLeavesTheOldFileOrTheNewOneWhole) {
  constexpr std::size_t size = 2 << 20;  // each save writes one letter throughout
  dir.put("BIG.DAT", std::string(size, 'a'));
  std::mt19937 rnd(7);
  int saved = 0;
  for (int run = 0; run < 30; ++run) {
    const pid_t pid = ::fork();
    for (char c = 'b'; pid == 0; c = c == 'z' ? 'b' : static_cast<char>(c + 1)) files.write("BIG.DAT", std::string(size, c));
    ::usleep(2000 + rnd() % 30000);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string got = dir.get("BIG.DAT");
    ASSERT_TRUE(got.size() == size && got.find_first_not_of(got[0]) == std::string::npos) << run << ": " << got.size();
    saved += got[0] != 'a';
  }
  EXPECT_GT(saved, 5) << "kills between saves as well as during them";
}

TEST_F(FilesTest, WhatKilledSavesLeftIsClearedOnceItIsAMinuteOld) {
  const auto temps = [&] {
    std::vector<std::filesystem::path> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      if (e.path().filename().string().starts_with(".SAVED.TXT.")) out.push_back(e.path());
    return out;
  };
  ASSERT_TRUE(files.write("SAVED.TXT", std::string(1 << 20, 'x')));
  // Saves killed part-way until one has left its temporary file.
  for (int run = 0; run < 200 && temps().empty(); ++run) {
    const pid_t pid = ::fork();
    while (pid == 0) files.write("SAVED.TXT", std::string(1 << 20, 'x'));
    ::usleep(1000 + 500 * static_cast<unsigned>(run % 20));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  const auto left = temps();
  ASSERT_FALSE(left.empty());
  // Names that only look alike, and a link to another folder's file, are never ours to remove.
  const strings keep = {"SAVED.TXT.abcdefgh", ".SAVED.TXT.abcdefg", ".SAVED.TXT.ABCDEFGH", ".abcdefgh", "ZARN.ROO"};
  for (const auto& n : keep) dir.put(n, "keep");
  zarn::testing::TempDir other;
  std::filesystem::create_symlink(other.put("target", "keep"), dir / ".LINK.TXT.abcdefgh");
  EXPECT_EQ(files.clearleftovers(), 0u) << "one just written may be a save under way";
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) std::filesystem::last_write_time(e.path(), old);
  EXPECT_EQ(files.clearleftovers(), left.size());
  for (const auto& p : left) EXPECT_FALSE(std::filesystem::exists(p)) << p;
  for (const auto& n : keep) EXPECT_TRUE(dir.has(n)) << n;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / ".LINK.TXT.abcdefgh") && other.has("target"));
  EXPECT_EQ(dir.get("SAVED.TXT").size(), std::size_t{1} << 20) << "the saved file itself stays";
}

TEST_F(FilesTest, TheCleanUpTakesOnlyOurOwnLeftoversAndNeverASaveUnderWay) {
  namespace fs = std::filesystem;
  // Other programs' files of every shape near ours: backups, dated copies, the old form of our
  // own temporary names, in the folder and in a sub-folder.
  const strings users = {".vimrc.original", ".notes.20261201", ".bash_history.backup01", "...abcdefgh",
                         ".SAVED.TXT.abcdefgh", "..zarn-save.abcdefgh", ".X.zarn-save.abcdefg",
                         "X.zarn-save.abcdefgh", ".X.zarn-save.ABCDEFGH"};
  for (const auto& n : users) {
    dir.put(n, "keep");
    dir.put("sub/" + n, "keep");
  }
  dir.put("sub/.X.zarn-save.abcdefgh", "keep");
  fs::create_directory(dir / ".DIR.zarn-save.abcdefgh");
  zarn::testing::TempDir other;
  fs::create_symlink(other.put("target", "keep"), dir / ".LINK.zarn-save.abcdefgh");
  // A save that holds its lines for minutes without touching its temporary file...
  auto held = OutputFile::open(files, "HELD.TXT", OutputFile::Mode::Output);
  ASSERT_TRUE(held && held->print("the held save"));
  ASSERT_TRUE(held->flush());
  // ... and what a save killed part-way left, the only file to go.
  const fs::path gone = dir.put(".GONE.TXT.zarn-save.k3x9a0zq", "cut short");
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const auto& e : fs::recursive_directory_iterator(dir.path())) fs::last_write_time(e.path(), old);

  // Another copy of the program starting in the folder meanwhile.
  const pid_t pid = ::fork();
  if (pid == 0) _exit(static_cast<int>(Files(dir.path()).clearleftovers()));
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_FALSE(fs::exists(gone));
  for (const auto& n : users) EXPECT_TRUE(dir.has(n) && dir.has("sub/" + n)) << n;
  EXPECT_TRUE(dir.has("sub/.X.zarn-save.abcdefgh"));
  EXPECT_TRUE(fs::is_directory(dir / ".DIR.zarn-save.abcdefgh"));
  EXPECT_TRUE(fs::is_symlink(dir / ".LINK.zarn-save.abcdefgh") && other.has("target"));
  EXPECT_EQ(files.clearleftovers(), 0u) << "the save is still held in this process too";

  std::string error;
  EXPECT_TRUE(held->close(&error)) << error;
  EXPECT_EQ(dir.get("HELD.TXT"), "the held save\r\n");
}

TEST_F(FilesTest, NamesNearTheLongestAndDotFilesAreSavedAndWhatTheirKilledSavesLeftIsCleared) {
  namespace fs = std::filesystem;
  const strings names = {std::string(255, 'L'), std::string(236, 'N'), ".hidden"};
  // A copy of the program ending in the middle of its saves, their temporary files left behind.
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (const auto& n : names) {
      auto f = OutputFile::open(files, n, OutputFile::Mode::Output);
      if (!f || !f->print("cut short") || !f->flush()) _exit(1);
      f.release();
    }
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const auto count = [&] { return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()); };
  EXPECT_EQ(count(), 3);
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const auto& e : fs::directory_iterator(dir.path())) fs::last_write_time(e.path(), old);
  EXPECT_EQ(files.clearleftovers(), 3u);
  for (const auto& n : names) {
    std::string error;
    EXPECT_TRUE(files.write(n, "saved", &error)) << n.size() << ": " << error;
    EXPECT_EQ(dir.get(n), "saved");
  }
  EXPECT_EQ(count(), 3);
}

TEST_F(FilesTest, ASaveIsNeverTakenByTheCleanUpOfAnotherCopyOfTheProgram) {
  // Other copies starting in the folder again and again, each taking what it finds at once,
  // while saves go on side by side.
  std::atomic<bool> done = false;
  std::vector<std::thread> others, savers;
  for (int i = 0; i < 2; ++i)
    others.emplace_back([&] {
      const Files theirs(dir.path());
      while (!done) theirs.clearleftovers(std::chrono::seconds(0));
    });
  std::vector<strings> failed(4);
  for (std::size_t s = 0; s < failed.size(); ++s)
    savers.emplace_back([&, s] {
      for (int i = 0; i < 100; ++i)
        if (std::string error; !files.write("SAVE" + std::to_string(s), std::to_string(i), &error))
          failed[s].push_back(error);
    });
  for (auto& t : savers) t.join();
  done = true;
  for (auto& t : others) t.join();
  for (std::size_t s = 0; s < failed.size(); ++s) {
    EXPECT_EQ(failed[s], strings{}) << failed[s].size() << " of 100 failed";
    EXPECT_EQ(dir.get("SAVE" + std::to_string(s)), "99");
  }
}

TEST_F(FilesTest, ASaveKeepsTheFilesOwnerAndPermissions) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser may give a file to another user";
  const auto f = dir.put("ZARN.CFG", "old");
  ASSERT_EQ(::chown(f.c_str(), 12345, 23456), 0);
  ASSERT_EQ(::chmod(f.c_str(), 02640), 0);
  ASSERT_TRUE(files.write("ZARN.CFG", "new"));
  struct stat st {};
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777), std::tuple(12345u, 23456u, 02640u));
}

TEST_F(FilesTest, ALinkToAFileStillToBeMadeIsFollowedAsALinkToAnExistingOne) {
  namespace fs = std::filesystem;
  fs::create_directory(dir / "real");
  fs::create_symlink("real/ZARN.LOC", dir / "ZARN.LOC");
  fs::create_symlink("B.TXT", dir / "A.TXT");  // a link to a link to a file still to be made
  fs::create_symlink("real/B.TXT", dir / "B.TXT");
  for (const char* n : {"ZARN.LOC", "A.TXT"}) {
    std::string error;
    EXPECT_TRUE(files.write(n, std::string("saved ") + n, &error)) << n << ": " << error;
  }
  const auto type = [&](const char* n) { return fs::symlink_status(dir / n).type(); };
  using T = fs::file_type;
  EXPECT_EQ(std::tuple(dir.get("real/ZARN.LOC"), dir.get("real/B.TXT"), type("ZARN.LOC"), type("A.TXT"), type("B.TXT")),
            std::tuple("saved ZARN.LOC", "saved A.TXT", T::symlink, T::symlink, T::symlink));

  // Not outside the folder, as a name read from a data file could not name it either.
  zarn::testing::TempDir other;
  fs::create_symlink(other / "x", dir / "OUT.TXT");
  fs::create_symlink("../x", dir / "real/UP.TXT");
  std::string why;
  EXPECT_FALSE(files.write("OUT.TXT", "x", &why));
  EXPECT_EQ(why, "a link to a missing file outside its folder (" + (other / "x").string() + ")");
  EXPECT_FALSE(files.write("real/UP.TXT", "x", &why));
  EXPECT_EQ(why, "a link to a missing file outside its folder (../x)");
  EXPECT_EQ(std::tuple(type("OUT.TXT"), type("real/UP.TXT"), other.has("x"), dir.has("x")),
            std::tuple(T::symlink, T::symlink, false, false));
}

// A socket bound at the path, as a sound server or a display leaves one.
void makesocket(const std::filesystem::path& p) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::snprintf(a.sun_path, sizeof a.sun_path, "%s", p.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ::close(fd);
}

TEST_F(FilesTest, OnlyRegularFilesAreWrittenAndALinkStaysALink) {
  using Mode = OutputFile::Mode;
  ::mkfifo((dir / "NEW.NME").c_str(), 0644);
  // A reader is there, so that a plain open would not wait for one but take the FIFO.
  const int reader = ::open((dir / "NEW.NME").c_str(), O_RDONLY | O_NONBLOCK);
  makesocket(dir / "NEW.SCK");
  std::filesystem::create_symlink("NEW.NME", dir / "ZARN.LOC");
  std::filesystem::create_symlink(dir / "NEW.SCK", dir / "RGI.TXT");
  std::vector<std::string> told;
  files.tellfailures([&told](const std::string& t) { told.push_back(t); });
  for (const auto& [name, what] : {std::pair<std::string, std::string>{"NEW.NME", "a FIFO"}, {"ZARN.LOC", "a FIFO"},
                                   {"NEW.SCK", "a socket"}, {"RGI.TXT", "a socket"}})
    for (const Mode mode : {Mode::Output, Mode::Log, Mode::Append}) {
      std::string why;
      EXPECT_FALSE(OutputFile::open(files, name, mode, &why)) << name;
      EXPECT_EQ(why, what + ", not a regular file") << name << " " << static_cast<int>(mode);
      EXPECT_FALSE(files.writelines(name, {"x"}));
      EXPECT_FALSE(OutputFile::open(files, name, mode)) << name;
      EXPECT_EQ(told.back(), name + " not written: " + what + ", not a regular file");
    }
  EXPECT_EQ(told.size(), 24u) << "told whenever the caller did not ask why";
  char buf[8];
  EXPECT_LE(::read(reader, buf, sizeof buf), 0) << "nothing went into the FIFO";
  ::close(reader);
  const auto type = [&](const char* n) { return std::filesystem::symlink_status(dir / n).type(); };
  using T = std::filesystem::file_type;
  EXPECT_EQ(std::tuple(type("NEW.NME"), type("ZARN.LOC"), type("NEW.SCK"), type("RGI.TXT")),
            std::tuple(T::fifo, T::symlink, T::socket, T::symlink)) << "nothing replaced";

  dir.put("real/SHOWMAPS.TXT", "old");
  std::filesystem::create_symlink("real/SHOWMAPS.TXT", dir / "SHOWMAPS.TXT");
  std::filesystem::create_symlink("real/NEW.WAW", dir / "NEW.WAW");  // names a file still to be made
  EXPECT_TRUE(files.write("SHOWMAPS.TXT", "new") && OutputFile::open(files, "NEW.WAW", Mode::Append)->print("a"));
  EXPECT_EQ(std::tuple(dir.get("real/SHOWMAPS.TXT"), dir.get("real/NEW.WAW"), type("SHOWMAPS.TXT"), type("NEW.WAW")),
            std::tuple("new", "a\r\n", T::symlink, T::symlink)) << "a link to a regular file is written through";
}

// Lowers the largest file this process may write, as a full disk would stop it; EFBIG, not
// SIGXFSZ, tells the writer.
struct DiskRoom {
  explicit DiskRoom(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old);
    oldsig = ::signal(SIGXFSZ, SIG_IGN);
    set(bytes);
  }
  ~DiskRoom() {
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldsig);
  }
  void set(rlim_t bytes) const {
    const rlimit lim{bytes, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lim);
  }
  rlimit old{};
  void (*oldsig)(int) = nullptr;
};

TEST_F(FilesTest, OnAFullDiskARecordIsWholeOrAbsentAndLaterOnesGoOn) {
  std::vector<std::string> told;
  files.tellfailures([&told](const std::string& t) { told.push_back(t); });
  const std::string line(38, 'x');  // 40 bytes with its line end
  dir.put("NEW.RGI", std::string(90, 'o'));
  {
    DiskRoom room(100);
    std::string why;
    auto rgi = OutputFile::open(files, "NEW.RGI", OutputFile::Mode::Append, &why);
    EXPECT_FALSE(rgi->print("SJ 75128 78480,1,2,3,a.wav,b") && rgi->print("turn left") && rgi->close(&why));
    EXPECT_EQ(why, "File too large");
    EXPECT_EQ(dir.get("NEW.RGI"), std::string(90, 'o')) << "the two lines of the record, or neither";

    auto log = OutputFile::open(files, "TRIP.NME", OutputFile::Mode::Log);
    bool written[6];
    for (int i = 0; i < 6; ++i) {
      room.set(i == 4 ? RLIM_INFINITY : 100);  // space comes back for the fifth line
      written[i] = log->print(line.substr(0, 37) + char('0' + i)) && log->flush();
      if (i == 4) {
        EXPECT_EQ(dir.get("TRIP.NME").size(), 120u) << "flushed as it is written, once there is space again";
      }
    }
    EXPECT_EQ(std::vector<bool>(written, written + 6), (std::vector<bool>{true, true, false, false, true, false}));
  }
  EXPECT_EQ(dir.get("TRIP.NME"), line.substr(0, 37) + "0\r\n" + line.substr(0, 37) + "1\r\n" + line.substr(0, 37) + "4\r\n");
  EXPECT_EQ(told, (strings{"TRIP.NME not written: File too large", "TRIP.NME not written: File too large"}))
      << "once for each run of failed records";
}

TEST_F(FilesTest, ReadsWithinTheLimitAndSaysWhyNot) {
  std::filesystem::create_symlink("LOOP.CFG", dir / "LOOP.CFG");
  dir.put("FOUR.CFG", "1234");
  for (const auto& [name, limit, why] : {std::tuple{"FOUR.CFG", 3, "FOUR.CFG: too large (4 bytes, limit 3)"},
                                         {"LOOP.CFG", 9, "LOOP.CFG: unreadable: Too many levels of symbolic links"},
                                         {".", 9, ".: not a regular file"}, {"missing.txt", 9, ""}}) {
    std::string got = "x";
    EXPECT_TRUE(!InputFile::open(files, name, limit, &got) && got == why && files.refusal(name, limit) == why) << got;
  }
  EXPECT_EQ(files.read("FOUR.CFG", 4).value_or(""), "1234") << "the limit itself is allowed";
  std::filesystem::resize_file(dir.put("ZARN.LOG", "TEST\r\n"), std::uintmax_t{1} << 30);
  EXPECT_EQ(files.readfirstline("ZARN.LOG"), "TEST") << "only the start of a growing log is read";
  for (const auto& [name, inside] : {std::pair{"X.BMP", true}, {"MAPS\\X.BMP", true}, {"./A..B.WAV", true},
                                     {"/srv/maps/LONDON", true}, {"\\SRV\\MAPS\\x", true}, {"../X", false},
                                     {"MAPS\\..\\..\\X", false}, {"..", false}, {"/etc/passwd", false},
                                     {"C:\\X.BMP", false}, {"/srv/maps/../../x", false}, {"/srv/mapsX/Y", false}})
    EXPECT_EQ(files.confined(name, "/srv/maps/"), inside) << name;
}

TEST(InputFields, RecordsAsTheOldReaderReadThem) {
  // Each step reads one item and names what it must give: f field, n number, l line input, e at the end.
  const struct { const char* guards; std::string text; strings steps; } cases[] = {
      {"quoted commas, blanks dropped, empty field, leading number, text after a quote skipped",
       "\"Smith, John\",12, abc  ,\r\n-3.5E1x,\"q\" junk,last",
       {"fSmith, John", "n12", "fabc", "f", "n-35", "fq", "flast", "e"}},
      {"every line end separates fields; the last leaves nothing to read", "1\r2\nLondon\r\n 51.5\r\n",
       {"n1", "n2", "fLondon", "n51.5", "e"}},
      {"reading past the end is harmless", "7", {"n7", "e", "n0", "f", "l", "e"}},
      {"an unclosed quote ends at the line end", "\"abc\r\nnext", {"fabc", "fnext"}},
      {"blank and empty quoted fields", "\t  x\t,  ,\"\"", {"fx", "f", "f", "e"}},
      {"no number, hex, D exponent", "x,&HFF,1D2", {"n0", "n255", "n100"}},
      {"line input takes the rest of the line unchanged", "a,rest of, \"line\"\r\n\r\nnext\rlast\n",
       {"fa", "lrest of, \"line\"", "l", "lnext", "llast", "e"}},
  };
  for (const auto& c : cases) {
    InputFile in(c.text);
    strings got;
    for (const auto& s : c.steps)
      got.push_back(s[0] == 'f' ? "f" + in.field() : s[0] == 'l' ? "l" + in.lineinput()
                    : s[0] == 'n' ? "n" + writeitem(in.number()) : in.eof() ? "e" : "not at the end");
    EXPECT_EQ(got, c.steps) << c.guards;
  }
}

}  // namespace
