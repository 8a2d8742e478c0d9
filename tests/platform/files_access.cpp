// Files of the working directory: DOS names on a case-sensitive file system, DOS line ends,
// and the comma-separated field reader every list file goes through.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/files_tempdir.h"

namespace fs = std::filesystem;
using zarn::platform::Files;
using zarn::platform::InputFile;
using zarn::platform::OutputFile;
using zarn::platform::splitlines;
using zarn::platform::writeitem;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  zarn_test::TempDir dir;
  Files files{dir.path()};
};

TEST_F(FilesTest, ResolvesEachPartWithoutCase) {
  const auto f = dir.put("Maps/Sub/File.Txt", "x");
  EXPECT_EQ(files.resolve("MAPS\\SUB\\FILE.TXT"), f) << "backslashes and upper case";
  EXPECT_EQ(files.resolve("maps/sub/file.txt"), f);
  EXPECT_EQ(files.resolve(".\\Maps\\.\\sub\\FILE.txt"), f);
  EXPECT_EQ(files.resolve((dir.path() / "MAPS/SUB/FILE.TXT").string()), f) << "absolute names too";
  EXPECT_EQ(files.resolve("C:" + (dir.path() / "MAPS/SUB/FILE.TXT").string()), f) << "drive letter dropped";
  EXPECT_EQ(files.resolve("MAPS \\SUB\\FILE.TXT   "), f) << "trailing blanks of a fixed-width line";
  EXPECT_EQ(files.resolve("MAPS\\SUB.\\FILE.TXT."), f) << "trailing dots, as DOS ignored them";
}

TEST_F(FilesTest, NewNamesKeepExistingDirectories) {
  dir.put("Maps/a.des", "x");
  EXPECT_EQ(files.resolve("MAPS\\NEW.DES"), dir.path() / "Maps" / "NEW.DES");
  EXPECT_EQ(files.resolve("nodir\\x.txt"), dir.path() / "nodir" / "x.txt");
  EXPECT_EQ(files.resolve(""), dir.path());
}

TEST_F(FilesTest, ExactCaseWinsOverOtherMatches) {
  dir.put("zarn.cfg", "lower");
  dir.put("ZARN.CFG", "upper");
  EXPECT_EQ(files.resolve("ZARN.CFG"), dir.path() / "ZARN.CFG");
  EXPECT_EQ(files.resolve("zarn.cfg"), dir.path() / "zarn.cfg");
  EXPECT_EQ(files.resolve("Zarn.Cfg"), dir.path() / "ZARN.CFG") << "the same pick every time";
}

TEST_F(FilesTest, ExistsForFilesDirectoriesAndPatterns) {
  dir.put("nosound.cfg", "");
  dir.put("Maps/london.des", "x");
  dir.put("zarn", "no extension");
  EXPECT_TRUE(files.exists("NOSOUND.CFG"));
  EXPECT_FALSE(files.exists("TAIP.CFG"));
  EXPECT_FALSE(files.exists(""));
  EXPECT_TRUE(files.exists("MAPS")) << "a directory counts as found";
  EXPECT_TRUE(files.exists("MAPS\\"));
  EXPECT_TRUE(files.exists("MAPS\\*.DES"));
  EXPECT_TRUE(files.exists("maps\\LOND?N.*"));
  EXPECT_FALSE(files.exists("MAPS\\*.BMP"));
  EXPECT_TRUE(files.exists("M*")) << "a directory matched by a pattern counts";
  EXPECT_TRUE(files.exists("ZARN.*")) << "DOS .* also matches a name without extension";
  EXPECT_FALSE(files.exists("NOMAPS\\*.DES"));
}

TEST_F(FilesTest, ListsMatchingFilesInOrder) {
  dir.put("b.DES", "");
  dir.put("A.des", "");
  dir.put("c.bmp", "");
  fs::create_directories(dir.path() / "dir.des");
  EXPECT_EQ(files.list("*.DES"), (std::vector<std::string>{"A.des", "b.DES"})) << "directories left out";
  EXPECT_EQ(files.list("*.*").size(), 3u);
  EXPECT_EQ(files.list("?.BMP"), std::vector<std::string>{"c.bmp"});
  EXPECT_TRUE(files.list("nowhere\\*.*").empty());
}

TEST_F(FilesTest, Latin1NamesAreUtf8OnDisk) {
  ASSERT_TRUE(files.write("Caf\xE9.txt", "x"));
  EXPECT_TRUE(dir.has("Caf\xC3\xA9.txt"));
  EXPECT_TRUE(files.exists("CAF\xC9.TXT")) << "Latin-1 letters matched without case";
  EXPECT_EQ(files.list("*.TXT"), std::vector<std::string>{"Caf\xE9.txt"});
  EXPECT_EQ(files.read("caf\xE9.txt").value_or(""), "x");
}

TEST_F(FilesTest, RemoveAndRename) {
  dir.put("a.tmp", "");
  dir.put("B.TMP", "");
  dir.put("keep.txt", "keep");
  fs::create_directories(dir.path() / "sub");
  EXPECT_TRUE(files.remove("*.TMP"));
  EXPECT_FALSE(dir.has("a.tmp"));
  EXPECT_FALSE(dir.has("B.TMP"));
  EXPECT_FALSE(files.remove("*.TMP")) << "nothing left to remove";
  EXPECT_FALSE(files.remove("SUB")) << "directories are not removed";
  EXPECT_FALSE(files.remove("missing.txt"));

  dir.put("new.txt", "new");
  EXPECT_FALSE(files.rename("NEW.TXT", "KEEP.TXT")) << "an existing file is never overwritten";
  EXPECT_EQ(dir.get("keep.txt"), "keep");
  EXPECT_TRUE(files.rename("NEW.TXT", "Other.txt"));
  EXPECT_EQ(dir.get("Other.txt"), "new");
  EXPECT_TRUE(files.rename("other.txt", "OTHER.TXT")) << "a change of case only";
  EXPECT_EQ(dir.get("OTHER.TXT"), "new");
  EXPECT_FALSE(dir.has("Other.txt"));
  EXPECT_FALSE(files.rename("missing.txt", "x.txt"));
  EXPECT_TRUE(files.remove("keep.txt"));
}

TEST(SplitLines, EveryLineEnd) {
  EXPECT_EQ(splitlines("a\rb\nc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitlines("a\r\n"), std::vector<std::string>{"a"}) << "no empty line after the last end";
  EXPECT_EQ(splitlines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"})) << "blank lines kept";
  EXPECT_EQ(splitlines("\n\r"), (std::vector<std::string>{"", ""})) << "LF CR is two ends";
  EXPECT_TRUE(splitlines("").empty());
}

TEST_F(FilesTest, ReadsTextAndBytes) {
  dir.put("mixed.txt", "one\rtwo\nthree\r\nfour\r\n\x1A" "garbage");
  EXPECT_EQ(files.readlines("MIXED.TXT").value(), (std::vector<std::string>{"one", "two", "three", "four"}))
      << "text ends at Ctrl+Z";
  EXPECT_EQ(files.readfirstline("mixed.txt"), "one");
  EXPECT_EQ(files.readfirstline("missing.txt"), "");
  EXPECT_FALSE(files.readlines("missing.txt").has_value());
  EXPECT_FALSE(files.read("missing.txt").has_value());
  dir.put("empty.txt", "");
  EXPECT_EQ(files.readfirstline("empty.txt"), "");
  EXPECT_TRUE(files.readlines("empty.txt").value().empty());
  const std::string bin("\0\x1A\r\n\xFF", 5);
  dir.put("data.bin", bin);
  EXPECT_EQ(files.read("DATA.BIN").value(), bin) << "bytes read unchanged";
  fs::create_directories(dir.path() / "adir");
  EXPECT_FALSE(files.read("adir").has_value());
}

TEST_F(FilesTest, WritesWithCrLf) {
  ASSERT_TRUE(files.writelines("OUT.TXT", {"a", "", "b\xE9"}));
  EXPECT_EQ(dir.get("OUT.TXT"), "a\r\n\r\nb\xE9\r\n");
  ASSERT_TRUE(files.write("out.txt", "raw"));
  EXPECT_EQ(dir.get("OUT.TXT"), "raw") << "same file whatever the case of the name";
  EXPECT_FALSE(files.write("nodir\\x.txt", "x")) << "a missing directory is a failure, not a crash";
}

TEST_F(FilesTest, OutputAndAppend) {
  {
    auto f = OutputFile::open(files, "LOG.NME", OutputFile::Mode::Output);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->print("$GPGGA,1"));
    EXPECT_TRUE(f->printpart("part"));
    EXPECT_TRUE(f->printpart(" 12 "));
    EXPECT_TRUE(f->print(""));
  }
  {
    auto f = OutputFile::open(files, "log.nme", OutputFile::Mode::Append);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->path(), dir.path() / "LOG.NME");
    EXPECT_TRUE(f->writefields({writeitem("Smith, J"), writeitem(0.5f), writeitem(-3), writeitem(12.25),
                                writeitem("say \"hi\"")}));
  }
  EXPECT_EQ(dir.get("LOG.NME"), "$GPGGA,1\r\npart 12 \r\n\"Smith, J\",.5,-3,12.25,\"say 'hi'\"\r\n");
  EXPECT_FALSE(OutputFile::open(files, "nodir\\x.txt", OutputFile::Mode::Append));
}

TEST_F(FilesTest, WrittenFieldsReadBack) {
  {
    auto f = OutputFile::open(files, "T.DAT", OutputFile::Mode::Output);
    ASSERT_TRUE(f);
    f->writefields({writeitem("Crewe, Cheshire"), writeitem(53.1f), writeitem(-2.4f)});
  }
  auto in = InputFile::open(files, "t.dat");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->field(), "Crewe, Cheshire");
  EXPECT_FLOAT_EQ(static_cast<float>(in->number()), 53.1f);
  EXPECT_FLOAT_EQ(static_cast<float>(in->number()), -2.4f);
  EXPECT_TRUE(in->eof());
}

TEST(InputFields, QuotedFieldsNumbersAndEmptyFields) {
  InputFile in("\"Smith, John\",12, abc  ,\r\n-3.5E1x,\"q\" junk,last");
  EXPECT_EQ(in.field(), "Smith, John") << "a quoted field holds commas";
  EXPECT_EQ(in.number(), 12);
  EXPECT_EQ(in.field(), "abc") << "leading and trailing blanks dropped";
  EXPECT_EQ(in.field(), "") << "empty field before the line end";
  EXPECT_EQ(in.number(), -35) << "leading number of the field";
  EXPECT_EQ(in.field(), "q") << "text after the closing quote skipped";
  EXPECT_FALSE(in.eof());
  EXPECT_EQ(in.field(), "last");
  EXPECT_TRUE(in.eof());
}

TEST(InputFields, LineEndsSeparateFieldsAndRecordsSpanLines) {
  InputFile in("1\r2\n3\r\n4");
  EXPECT_EQ(in.number(), 1);
  EXPECT_EQ(in.number(), 2);
  EXPECT_EQ(in.number(), 3);
  EXPECT_EQ(in.number(), 4);
  EXPECT_TRUE(in.eof());

  InputFile rec("London\r\n 51.5\r\n-0.1\r\n");
  EXPECT_EQ(rec.field(), "London");
  EXPECT_EQ(rec.number(), 51.5);
  EXPECT_EQ(rec.number(), -0.1);
  EXPECT_TRUE(rec.eof()) << "the last line end leaves nothing to read";
}

TEST(InputFields, ReadingPastTheEndIsHarmless) {
  InputFile empty("");
  EXPECT_TRUE(empty.eof());
  EXPECT_EQ(empty.field(), "");
  EXPECT_EQ(empty.number(), 0);
  EXPECT_EQ(empty.lineinput(), "");
  EXPECT_TRUE(empty.eof());

  InputFile one("7");
  EXPECT_EQ(one.number(), 7);
  EXPECT_TRUE(one.eof());
  EXPECT_EQ(one.number(), 0);
  EXPECT_EQ(one.field(), "");
}

TEST(InputFields, OddRecords) {
  InputFile open("\"abc\r\nnext");
  EXPECT_EQ(open.field(), "abc") << "an unclosed quote ends at the line end";
  EXPECT_EQ(open.field(), "next");

  InputFile blanks("\t  x\t,  ,\"\"");
  EXPECT_EQ(blanks.field(), "x");
  EXPECT_EQ(blanks.field(), "") << "a field of blanks only";
  EXPECT_EQ(blanks.field(), "") << "an empty quoted field";
  EXPECT_TRUE(blanks.eof());

  InputFile nonum("x,&HFF,1D2");
  EXPECT_EQ(nonum.number(), 0) << "no number in the field";
  EXPECT_EQ(nonum.number(), 255);
  EXPECT_EQ(nonum.number(), 100);
}

TEST(InputFields, LineInputTakesTheRestOfTheLine) {
  InputFile in("a,rest of, \"line\"\r\n\r\nnext\rlast\n");
  EXPECT_EQ(in.field(), "a");
  EXPECT_EQ(in.lineinput(), "rest of, \"line\"") << "unchanged, commas and quotes included";
  EXPECT_EQ(in.lineinput(), "");
  EXPECT_EQ(in.lineinput(), "next");
  EXPECT_EQ(in.lineinput(), "last");
  EXPECT_TRUE(in.eof());
}

TEST_F(FilesTest, InputFileOpen) {
  dir.put("MAPS.CCC", "2\r\n\"SJ\",3,3\r\nSK,4,3\r\n\x1A");
  auto in = InputFile::open(files, "maps.ccc");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->number(), 2);
  EXPECT_EQ(in->field(), "SJ");
  EXPECT_EQ(in->number(), 3);
  EXPECT_EQ(in->number(), 3);
  EXPECT_EQ(in->field(), "SK");
  EXPECT_EQ(in->number(), 4);
  EXPECT_EQ(in->number(), 3);
  EXPECT_TRUE(in->eof()) << "Ctrl+Z ends the text";
  EXPECT_FALSE(InputFile::open(files, "missing.ccc"));
}

}  // namespace
