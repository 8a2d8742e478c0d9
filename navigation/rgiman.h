// The guidance editor "rgimanform": instructions made by pointing at the map and appended to
// NEW.RGI.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;
struct GeoState;

class RgimanForm : public ui::Form {
 public:
  static constexpr const char* formname = "rgimanform";
  static constexpr int turns = 13;
  RgimanForm();
  ui::Label gg;          // position text
  ui::TextBox ggrad;     // trigger radius, metres
  ui::Label hdg;         // direction, whole degrees
  ui::TextBox hdgd;      // heading tolerance, degrees
  ui::TextBox wavfile;   // prompt
  ui::TextBox bmpfile;   // sign
  ui::TextBox Text1;     // message line
  ui::ControlArray<ui::Image> Image1;  // the turn types 0..12
  ui::Image Image2;      // the chosen turn type
  ui::Button Command1, Command2, Command3;
  ui::ControlArray<ui::Label> Label1;  // what each field is
  bool pictured = false;               // the pictures have been read
  bool placed = false;                 // a left click has placed the instruction
};

// The turn type of an Image1 picture ("TL", "TLT", ... "BR"); its sign is "RGI$" and the type.
const char* turntype(int index);

// Opens the editor: it takes map clicks from now on.
void showrgiman(App& app);
// A map click while the editor is open, at frame position (x, y) km: the left button places
// the instruction, another button gives its direction.
void rgimanclick(RgimanForm& f, GeoState& geo, int button, float x, float y);

}  // namespace zarn
