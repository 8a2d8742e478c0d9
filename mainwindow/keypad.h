// The touch windows: the picture key pad "kform" and the on-screen keyboard "qkform".
//
// The key pad's sixteen pictures each send one single-key command, or, in lesson mode (the
// learner-driver pictures, ldriver.h), write a time-stamped line to the lesson files. The
// keyboard types into its own box and passes every character to the main window's key handler.
#pragma once

#include <string>

#include "platform/ui.h"

namespace zarn {
struct App;

class KForm : public ui::Form {
 public:
  static constexpr const char* formname = "kform";
  static constexpr int keys = 16;
  static constexpr int keysize = 64;  // pixels of a square key
  KForm();
  ui::ControlArray<ui::Image> Picture1;  // picture keys 0..15
  // The press frame of each key: every drawing turns it over, so the key shows framed while
  // held and plain again once released.
  ui::ControlArray<ui::Shape> press;
  ui::Button Command1;  // "X": hides the key pad
};

class QkForm : public ui::Form {
 public:
  static constexpr const char* formname = "qkform";
  static constexpr int keys = 62;
  static constexpr int spacebar = 57;
  static constexpr int closekey = 61;  // captioned "X", as the letter key 44 is
  QkForm();
  ui::ControlArray<ui::Button> qk;  // the keys 0..61; each types its caption
  ui::TextBox qkt;                  // the text typed so far
  ui::Button ownremotecmd;          // "Own Car" / "Remote Car": chase on or off
};

// Shows the key pad or the keyboard (made on first use, with their handlers), above the map.
void showkform(App& app);
void showqkform(App& app);
// Gives the key pad and the keyboard their handlers (made if need be); handlers set before are
// replaced, since the plain key forwarding start-up gives every window is not enough here.
void wirekeypad(App& app);

// The single-key command of a picture key in normal mode: "" for the empty key 14 and for key
// 12, which opens the keyboard instead, and for a key outside the pad.
std::string padcommand(int key);

// The two lesson records of a touch: the LESSON.LOG line and the LESSON.TXT sentence, from the
// time of day "hh:mm:ss", the key's label, the position and the road of the road details.
struct LessonLines {
  std::string log, sentence;
};
LessonLines lessonlines(const std::string& time, const std::string& label, const std::string& pos,
                        const std::string& road);

// The handlers, as the windows call them.
namespace kform {
void Picture1_MouseDown(App& app, int index);  // also the double click
void Picture1_MouseUp(App& app, int index);
void Command1_Click(App& app);
void Form_KeyPress(App& app, int& key);
}  // namespace kform
namespace qkform {
void qk_Click(App& app, int index);
void ownremotecmd_Click(App& app);
}  // namespace qkform

}  // namespace zarn
