// Files in the working directory, with the old runtime's rules: names resolved without regard
// to case and with "\" read as "/", Latin-1 text read with CR, LF or CR LF line ends and written
// with CR LF, and the comma-separated field reader.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn::platform {

class Files {
 public:
  explicit Files(std::filesystem::path workdir = std::filesystem::current_path());

  const std::filesystem::path& workdir() const { return workdir_; }
  void setworkdir(std::filesystem::path dir) { workdir_ = std::move(dir); }

  // The existing file a name refers to (relative names from the working directory, each path
  // part matched without regard to case); for a name that does not exist, the path it would be
  // created at (existing directories matched, the last part kept as given).
  std::filesystem::path resolve(std::string_view name) const;
  // True when a file or directory of that name exists; "*" and "?" match as in DOS patterns.
  bool exists(std::string_view name) const;
  // What tells one version of a file from the next: its size and the time of its last change.
  struct Stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    bool operator==(const Stamp&) const = default;
  };
  // The stamp of the file of that name now; nullopt when it is not there.
  std::optional<Stamp> stamp(std::string_view name) const;
  // Names (as found on disk) matching a DOS pattern such as "*.DES" in a directory.
  std::vector<std::string> list(std::string_view pattern) const;
  bool remove(std::string_view name) const;
  // Removes what saves cut short left in the working folder: the temporary files a whole-file
  // save writes before renaming (".NAME.zarn-save.xxxxxxxx", our own word in the name; for a
  // name near the longest the folder takes, NAME cut short or left out), when
  // unchanged for at least `age` and not locked by the save that made them (a save under way in
  // another copy of the program is left alone, however long it holds its lines). The number removed.
  std::size_t clearleftovers(std::chrono::seconds age = std::chrono::minutes(1)) const;
  bool rename(std::string_view from, std::string_view to) const;

  // Size limits for the readers; each caller passes the one suited to its file.
  static constexpr std::size_t smalllimit = std::size_t{1} << 20;  // configuration and list files
  static constexpr std::size_t datalimit = std::size_t{16} << 20;  // map descriptions, places, landmarks
  static constexpr std::size_t loglimit = std::size_t{256} << 20;  // a recorded drive to replay

  // Whole file as bytes. Only a regular file of at most `limit` bytes is read (a FIFO or device
  // never blocks or fills memory); otherwise nullopt, and `why` gets "NAME: not a regular file",
  // "NAME: too large (N bytes, limit M)" or "NAME: unreadable: <reason>" - or stays empty when
  // the file is simply missing.
  std::optional<std::string> read(std::string_view name, std::size_t limit = smalllimit,
                                  std::string* why = nullptr) const;
  // Lines of a text file, line ends (CR, LF, CR LF) removed; nullopt as read gives it.
  std::optional<std::vector<std::string>> readlines(std::string_view name, std::size_t limit = smalllimit,
                                                    std::string* why = nullptr) const;
  // The first line of the file's first 64 KB, however long the file; empty when missing.
  std::string readfirstline(std::string_view name, std::string* why = nullptr) const;
  // Why read would refuse the file with that limit; empty when it can be read or is missing.
  std::string refusal(std::string_view name, std::size_t limit = smalllimit) const;
  // True when a name read from a data file stays inside the working folder, or inside `extra`
  // (the configured extra-maps folder) when it begins with it: no "..", no other absolute path.
  bool confined(std::string_view name, std::string_view extra = {}) const;
  // How many names looked up (resolved, tested, listed, read) led outside the working folder:
  // absolute or through "..". The readers of names taken from data files confine them first, so
  // for them this stays 0.
  std::size_t outsidelookups() const { return outside_; }
  // Replace a file whole, as OutputFile's Mode::Output does: text as given (the caller supplies
  // CR LF through OutputFile or writelines). False, with the reason in `error` when one is asked
  // for, when it could not be written; the old file is then as it was.
  bool write(std::string_view name, std::string_view bytes, std::string* error = nullptr) const;
  bool writelines(std::string_view name, const std::vector<std::string>& lines, std::string* error = nullptr) const;

  // Where a file that could not be written is told when its writer did not ask for the reason
  // itself: the text names the file and says why ("NEW.NME not written: No space left on
  // device"). Unset, the failure is only returned.
  void tellfailures(std::function<void(const std::string&)> tell) { tell_ = std::move(tell); }
  const std::function<void(const std::string&)>& teller() const { return tell_; }

 private:
  // The names of a directory by their upper-case Latin-1 form (the first on disk of names
  // that differ only in case), kept while the directory is unchanged: a lookup of a name that
  // is not spelt as on disk would otherwise read the whole directory every time.
  struct Listing {
    std::filesystem::file_time_type time{};
    bool kept = false;  // read while the folder was settled
    std::map<std::string, std::string, std::less<>> names;
  };
  // The name on disk in dir of the name whose upper-case form is key, when there is one.
  std::optional<std::string> diskname(const std::filesystem::path& dir, const std::string& key) const;
  std::filesystem::path workdir_;
  // One Files may be shared by threads that save side by side: the cache is theirs together.
  mutable std::mutex listlock_;
  mutable std::map<std::string, Listing, std::less<>> listings_;
  mutable std::atomic<std::size_t> outside_ = 0;
  std::function<void(const std::string&)> tell_;
};

// True when a file or folder last changed at time t long enough ago that, while its time stays
// t, what was read of it still holds. Times move in steps of a few milliseconds, so one changed
// within the last two seconds may change again without its time moving.
bool settled(std::filesystem::file_time_type t);

// Sequential input in the manner of the old Input # and Line Input # statements.
class InputFile {
 public:
  InputFile() = default;
  explicit InputFile(std::string contents) : data_(std::move(contents)) {}
  // As Files::read reads it (limit and reason alike).
  static std::optional<InputFile> open(const Files& files, std::string_view name,
                                       std::size_t limit = Files::smalllimit, std::string* why = nullptr);
  // Back to the first byte, for a second pass over the same text.
  void rewind() { pos_ = 0; }

  bool eof() const;
  // Line Input: the rest of the current line, without its end.
  std::string lineinput();
  // Input # of a text field: leading blanks skipped; a quoted field runs to the closing quote;
  // otherwise the field ends at a comma or the line end and trailing blanks are dropped.
  std::string field();
  // Input # of a number: the leading number of the next field, 0 when there is none.
  double number();
  std::size_t position() const { return pos_; }
  // Moves the read position (0 is the first byte; past the end reads as the end).
  void seek(std::size_t pos) { pos_ = pos < data_.size() ? pos : data_.size(); }
  std::size_t size() const { return data_.size(); }

 private:
  void skipseparator();
  std::string data_;
  std::size_t pos_ = 0;
};

// Sequential output: Print # lines end with CR LF; Write # quotes texts and separates with
// commas. Only a regular file is written, or one made afresh: a FIFO, a device, a socket or a
// folder of the name (or a link to one) is refused with what it is, never waited on or replaced;
// a link to a regular file is written through and stays a link.
// - Output replaces a file whole. The text goes to a new file beside the old one, which close()
//   syncs to disk and renames over the old, so a crash, a kill or a full disk leaves the old file
//   or the new one, never a cut one. The new file keeps the old one's owner and permissions where
//   the process may keep them. A link to a file still to be made makes it, when the link names
//   it as a data file may (beside the link or below, no ".."); one elsewhere is refused. An Output file dropped without close() (an early return, an
//   exception) is thrown away and the old file stays.
// - Log starts a file afresh and writes it in place as it grows; Append adds to the end of a
//   file. What is written between two flushes is one record: flush(), close() and the end of
//   the object write it whole, or - when the disk is full - cut the file back to where it began,
//   so a record is whole or absent. A failed record does not stop later ones.
// A failure is given to the caller that asks for the reason (`error`); otherwise it is told
// through the Files' tellfailures, once until a record goes through again.
class OutputFile {
 public:
  enum class Mode { Output, Log, Append };
  // Null, with the reason in `error` when one is asked for, when the file cannot be opened.
  static std::unique_ptr<OutputFile> open(const Files& files, std::string_view name, Mode mode,
                                          std::string* error = nullptr);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool print(std::string_view line);   // the text and CR LF
  bool printpart(std::string_view s);  // the text alone (Print # with a trailing ";")
  bool writefields(const std::vector<std::string>& quoted_or_numbers);  // already formatted
  // Output: no write has failed. Log and Append: the last record was written.
  bool good() const { return ok_; }
  // Log and Append: writes the record; Output: passes on what is held so far.
  bool flush(std::string* error = nullptr);
  // Ends the file: an Output file becomes the file of its name. False, with the reason in `error`
  // when one is asked for, when a write, the sync, the close or the rename failed.
  bool close(std::string* error = nullptr);
  const std::filesystem::path& path() const { return path_; }

 private:
  OutputFile(const Files& files, int fd, Mode mode, std::string name, std::filesystem::path p,
             std::filesystem::path temp)
      : files_(files), fd_(fd), mode_(mode), name_(std::move(name)), path_(std::move(p)), temp_(std::move(temp)) {}
  bool commit(std::string* error);  // Log and Append: the record gathered since the last one
  bool pass();                      // Output: the held text to the new file
  bool fail(std::string why);       // notes the first reason; false
  bool failed(std::string* error);  // gives or tells the reason; false
  const Files& files_;  // lives longer than the files it opened: tells their failures
  int fd_ = -1;
  Mode mode_;
  std::string name_;  // as the program named it, for messages
  std::filesystem::path path_;
  std::filesystem::path temp_;  // Output: the new file until close() renames it
  std::string held_;            // written, not yet passed to the file
  bool ok_ = true;
  bool told_ = false;  // a failure was told; the next is told only after a record went through
  std::string error_;
};

// Splits text into lines at CR, LF or CR LF.
std::vector<std::string> splitlines(std::string_view text);

// True when nothing at the path, or a regular file: what a reader may open without blocking on
// a FIFO or reading a device without end.
bool regularorabsent(const std::filesystem::path& p);

// Write # items for OutputFile::writefields: a text in double quotes, a number as Str$ gives it
// but without the leading blank.
std::string writeitem(std::string_view text);
std::string writeitem(float v);
std::string writeitem(double v);
std::string writeitem(long long v);
inline std::string writeitem(long v) { return writeitem(static_cast<long long>(v)); }
inline std::string writeitem(int v) { return writeitem(static_cast<long long>(v)); }

// The next line of a settings file: its first 20 characters, trailing blanks removed. False at
// the end of the file (the line is then emptied).
bool readcfgline(InputFile& f, std::string& line);

}  // namespace zarn::platform
