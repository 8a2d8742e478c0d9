// The icon control panel "controls": for touch screens, one command at a time as a picture, a
// line of text and a spoken prompt, stepped through with back, next and start, or reached by
// one of nine page icons; OK (or the picture) runs it. The commands come from CONTROLS.CFG
// (the language's first), read by readcontrol (language.h).
#pragma once

#include <string>

#include "platform/ui.h"

namespace zarn {
struct App;
struct SpeechState;
namespace platform {
class Files;
}

class ControlsForm : public ui::Form {
 public:
  static constexpr const char* formname = "controls";
  static constexpr int pageicons = 9;
  ControlsForm();
  ui::ControlArray<ui::Image> conticon;  // the page icons 0..8, pictures from the language's icon file
  ui::Image Image1;                      // the current entry's picture: touching it runs the entry
  ui::Label Label1;                      // the current entry's text
  ui::Button conback, connext, constart, conok;
  bool wired = false;  // the buttons are handed to the application's procedures
};

// The panel, made on first use with its buttons, icons and keys handed to the handlers below,
// and the main window's read-outs made to show it; not shown.
ControlsForm& controlswindow(App& app);

// The command file readcontrol reads: the language's controls.cfg, else the plain one; empty
// when there is neither.
std::string controlsfile(const platform::Files& files, const SpeechState& speech);
// How many entries the command file holds, its END record counted (title records are not);
// 1 without a file, for the built-in entry.
int controlcount(const platform::Files& files, const SpeechState& speech);

// Shows entry ctlindex: its picture, its text, and its prompt spoken whatever the sound setting.
void showcontrol(App& app);
// Makes the first entry whose key is `title` (in any case) current and shows it; entry 1 when
// none is. Nothing without a command file.
void gotocontrol(App& app, const std::string& title);

namespace controls {
void constart_Click(App& app);
void conback_Click(App& app);
// The next entry, up to the last one (the END record where there is one).
void connext_Click(App& app);
// Runs the current entry: "HIDE" (and any entry while there is no command file) hides the
// panel, "KEYS" shows the keyboard and the key pad, "~" and the grave accent the keyboard with
// typed text begun, anything else goes to the single-key commands.
void conok_Click(App& app);
void Image1_Click(App& app);
// An icon dropped on OK: the same, but "KEYS" shows only the keyboard and "~" and the grave
// accent are keys like any other.
void conok_DragDrop(App& app);
// Page icon `index` (0..8): its entry made current, and run at once when the icon says so.
void conticon_Click(App& app, int index);
void Form_KeyPress(App& app, int& key);
}  // namespace controls

}  // namespace zarn
