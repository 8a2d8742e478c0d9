// The searches of the current search list (a text list, a binary ".GED" list or the
// population centres): the typed name, and the next nearest place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zarn {
struct App;

// The place whose name begins with (or, after "*", holds) the search box's text, nearest the
// car and not yet reported: found, marked, shown on its map and spoken.
void typedsearch(App& app);
// The next nearest place of the list around the car (or the destination) not yet reported.
void nearestsearch(App& app);

// A binary list as read from its bytes: a count, the positions (km), and for each entry a text
// "code,name,..." at an offset into the text area. Only what lies inside the bytes is used: a
// count whose tables do not fit makes the list empty, and an entry whose text lies outside has
// none.
class GedList {
 public:
  explicit GedList(std::string bytes);
  int count() const { return n_; }
  // Entry i's position (0-based); false when it is not a finite number.
  bool position(int i, float& x, float& y) const;
  // Entry i's kind code and name, the program's character substitution undone.
  void entry(int i, std::string& code, std::string& name) const;

 private:
  std::int32_t le32(std::size_t at) const;
  std::string data_;
  int n_ = 0;
  std::size_t texts_ = 0;  // where the text area begins
};

}  // namespace zarn
