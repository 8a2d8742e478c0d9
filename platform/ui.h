// The window model: forms and their controls as plain data.
//
// Logic reads and writes these structs (captions, colours, positions, visibility); the Qt
// views in platform/qt/ only show them and turn user input back into the callbacks below.
// Nothing here includes Qt, so logic and its tests run without a screen.
#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn::ui {

// 24-bit colour with red in the low byte (0x0000FF is red), as the configuration files hold them.
using Colour = std::uint32_t;
inline constexpr Colour black = 0x000000;
inline constexpr Colour red = 0x0000FF;
inline constexpr Colour green = 0x00FF00;
inline constexpr Colour yellow = 0x00FFFF;
inline constexpr Colour cyan = 0xFFFF00;
inline constexpr Colour white = 0xFFFFFF;
inline constexpr Colour lightgrey = 0xC0C0C0;

inline constexpr int twips_per_pixel = 15;
constexpr int twipstopix(double twips) { return static_cast<int>(twips / twips_per_pixel); }
// The nearest whole pixel of a computed position or size, halves away from zero; a position
// far off any screen (or not a number) is held at a billion pixels (or 0).
inline int pixel(double v) {
  constexpr double far = 1e9;
  if (!(std::fabs(v) < far)) return v > 0 ? static_cast<int>(far) : v < 0 ? -static_cast<int>(far) : 0;
  return static_cast<int>(std::lround(v));
}

// Mouse buttons and shift mask as the handlers receive them.
inline constexpr int button_left = 1, button_right = 2, button_middle = 4;
inline constexpr int shift_shift = 1, shift_ctrl = 2, shift_alt = 4;

struct MouseEvent {
  int button = 0;  // button_left / button_right / button_middle
  int shift = 0;   // shift_shift | shift_ctrl | shift_alt
  double x = 0;    // pixels, relative to the control (or the form for form handlers)
  double y = 0;
};

// A decoded picture (BMP, ICO). The image store that made it knows how to draw it; logic only
// needs the natural size.
struct Picture {
  virtual ~Picture() = default;
  std::string path;  // resolved file it came from
  int width = 0;
  int height = 0;
};
using PictureRef = std::shared_ptr<const Picture>;

enum class Kind { Label, Button, TextBox, ListBox, CheckBox, Image, Line, Shape, PictureBox };

class Form;

struct Control {
  explicit Control(Kind k) : kind(k) {}
  Control(const Control&) = default;
  Control& operator=(const Control&) = default;
  virtual ~Control() = default;

  Kind kind;
  std::string name;
  int index = -1;  // element number inside a control array, -1 for a plain control
  Form* form = nullptr;
  bool visible = true;
  bool enabled = true;
  int left = 0, top = 0, width = 0, height = 0;  // pixels in the form's client area
  long z = 0;                                    // stacking order: larger is drawn later
  std::string tag;

  std::function<void()> onClick;
  std::function<void()> onDblClick;
  std::function<void(const MouseEvent&)> onMouseDown;
  std::function<void(const MouseEvent&)> onMouseMove;
  std::function<void(const MouseEvent&)> onMouseUp;
  // Dragging: with dragmode on, a press on the control and a move of the pointer drag it (its
  // picture follows the pointer) instead of pressing it; a press and release in place is still a
  // click. Whatever lies under the pointer at the release takes the drop: a control through
  // onDragDrop (x, y relative to it), the bare window through the form's.
  bool dragmode = false;
  std::function<void(Control& source, double x, double y)> onDragDrop;

  void move(int l, int t) { left = l; top = t; }
  void move(int l, int t, int w, int h) { left = l; top = t; width = w; height = h; }
  // 0 brings the control to the front of its form, 1 sends it to the back.
  void zorder(int position = 0);
  bool contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};

struct Font {
  double size = 8.25;  // points
  bool bold = false;
  bool fixedpitch = false;  // every character as wide as the next: columns of text line up
};

// A text longer than max characters cut at its last blank within them (blanks before the cut
// dropped), or at max when the only blank is in the first half; a shorter text as it is.
std::string cutatword(std::string_view text, std::size_t max);

struct Label : Control {
  Label() : Control(Kind::Label) {}
  std::string caption;
  Colour forecolor = black;
  Colour backcolor = white;
  bool transparent = false;  // back style 0
  int alignment = 0;         // 0 left, 1 right, 2 centre
  bool autosize = false;     // width (and height) follow the caption
  bool border = false;
  bool wordwrap = false;
  Font font;

  // No label holds more than two or three lines of text: a longer caption (a message line made
  // from a hostile file) is cut to this many characters at a word, so that it costs nothing to
  // measure and draw.
  static constexpr std::size_t captionmax = 400;
  // Sets the caption (cut to captionmax) and, when auto-sized, the width and height from the
  // form's text metrics.
  void set(std::string text);
  void setfontsize(double pt);
};

struct Button : Control {
  Button() : Control(Kind::Button) {}
  std::string caption;
  Colour backcolor = lightgrey;
  Font font;
};

struct TextBox : Control {
  TextBox() : Control(Kind::TextBox) {}
  std::string text;
  Colour forecolor = black;
  Colour backcolor = white;
  bool multiline = false;
  bool locked = false;
  Font font;
  std::function<void()> onChange;
  // A key going down in the box (key codes as the window's onKeyDown has them); the box keeps
  // its keys whatever this does.
  std::function<void(int& keycode, int shift)> onKeyDown;
};

struct ListBox : Control {
  ListBox() : Control(Kind::ListBox) {}
  std::vector<std::string> items;
  int listindex = -1;  // selected row, -1 none
  Font font;
  void additem(std::string item) { items.push_back(std::move(item)); }
  void clear() { items.clear(); listindex = -1; }
};

struct CheckBox : Control {
  CheckBox() : Control(Kind::CheckBox) {}
  std::string caption;
  int value = 0;  // 0 unchecked, 1 checked
  Font font;
};

struct Image : Control {
  Image() : Control(Kind::Image) {}
  PictureRef picture;    // null: nothing shown
  bool stretch = false;  // false: width and height follow the picture
  bool underlay = false; // a map picture or tile: drawn below the form's drawing layer
  // Shows a picture; at natural size unless stretched.
  void setpicture(PictureRef pic);
};

struct Line : Control {
  Line() : Control(Kind::Line) {}
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Colour bordercolor = black;
  int borderwidth = 1;
  int borderstyle = 1;  // 0 transparent, 1 solid, 2 dash, 3 dot
  void set(int ax1, int ay1, int ax2, int ay2) { x1 = ax1; y1 = ay1; x2 = ax2; y2 = ay2; }
};

struct Shape : Control {
  Shape() : Control(Kind::Shape) {}
  enum Form_ { rectangle = 0, square = 1, oval = 2, circle = 3, rounded_rectangle = 4, rounded_square = 5 };
  int shape = rectangle;
  Colour bordercolor = black;
  int borderwidth = 1;
  int borderstyle = 1;  // 0 transparent, 1 solid
  Colour fillcolor = black;
  int fillstyle = 1;    // 0 solid, 1 transparent
  Colour backcolor = white;
  bool backopaque = false;
};

// Retained drawing: the old persistent picture box, and a form's own drawing layer.
// Operations are kept in user-scale coordinates converted to pixels when recorded.
struct DrawOp {
  enum Type { Clear, Line, Box, FilledBox, Circle, Point, Text };
  Type type = Line;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // pixels; a circle's radii are x2 across and y2 down
  Colour colour = black;
  int width = 1;
  std::string text;
  double fontsize = 8.25;
};

class DrawSurface {
 public:
  void cls();
  void line(double x1, double y1, double x2, double y2, std::optional<Colour> c = {});
  void lineto(double x, double y, std::optional<Colour> c = {});  // from the current point
  void box(double x1, double y1, double x2, double y2, std::optional<Colour> c = {});
  void filledbox(double x1, double y1, double x2, double y2, std::optional<Colour> c = {});
  void circle(double x, double y, double r, std::optional<Colour> c = {});
  // A circle on a map stretched unevenly: rx across, ry down.
  void ellipse(double x, double y, double rx, double ry, std::optional<Colour> c = {});
  void pset(double x, double y, std::optional<Colour> c = {});
  void print(std::string_view text);  // at the current point, then to the start of the next line
  void scale(double left, double top, double right, double bottom);  // user scale; unset = pixels
  void noscale();

  Colour forecolor = black;
  Colour backcolor = white;
  int drawwidth = 1;
  double fontsize = 8.25;
  double currentx = 0, currenty = 0;  // user units

  const std::vector<DrawOp>& ops() const { return ops_; }
  std::uint64_t generation() const { return generation_; }  // bumps on every change
  int pixelwidth = 0, pixelheight = 0;                        // set by the owner

 private:
  double px(double x) const;
  double py(double y) const;
  void add(DrawOp op);
  std::vector<DrawOp> ops_;
  std::uint64_t generation_ = 0;
  bool scaled_ = false;
  double sl_ = 0, st_ = 0, sw_ = 1, sh_ = 1;
};

struct PictureBox : Control {
  PictureBox() : Control(Kind::PictureBox) {}
  DrawSurface surface;
  Colour backcolor = white;
  bool border = true;
  PictureRef picture;  // a loaded picture: shown at the top left in place of the surface
};

// Width and height in pixels of a text in a given font. The Qt layer supplies real metrics;
// without it an estimate is used.
struct TextMetrics {
  std::function<int(std::string_view text, const Font& f)> width;
  std::function<int(const Font& f)> height;
};
int textwidth(const TextMetrics* m, std::string_view text, const Font& f);
int textheight(const TextMetrics* m, const Font& f);

// A control array whose elements are created at run time. Element 0 is the template:
// load(i) copies its properties (hidden, as the old runtime did) into a new element.
template <class T>
class ControlArray {
 public:
  ControlArray() = default;
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  T& operator[](int i) { return *elements_.at(i); }
  const T& operator[](int i) const { return *elements_.at(i); }
  bool exists(int i) const { return elements_.count(i) != 0; }
  // The element, or null when it is not loaded: one look-up where exists() and [] take two.
  T* find(int i) {
    auto it = elements_.find(i);
    return it == elements_.end() ? nullptr : it->second.get();
  }
  int count() const { return static_cast<int>(elements_.size()); }
  int ubound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }
  T& load(int i);    // no-op returning the element when it already exists
  void unload(int i);
  template <class F> void each(F f) { for (auto& [i, e] : elements_) f(*e); }

 private:
  friend class Form;
  Form* form_ = nullptr;
  std::string name_;
  std::map<int, std::unique_ptr<T>> elements_;
};

// Key codes the key-down handlers see (the old virtual key codes).
namespace key {
inline constexpr int back = 8, tab = 9, enter = 13, shift = 16, control = 17, escape = 27, space = 32;
inline constexpr int pageup = 33, pagedown = 34, end = 35, home = 36, left = 37, up = 38, right = 39,
                     down = 40, insert = 45, del = 46, f1 = 112;
}  // namespace key

class Form {
 public:
  explicit Form(std::string name);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form() = default;

  const std::string& name() const { return name_; }
  std::string caption;
  int left = 0, top = 0, width = 640, height = 480;  // pixels; client area
  bool visible = false;
  bool topmost = false;
  bool modal = false;
  bool borderless = false;
  Colour backcolor = lightgrey;
  PictureRef picture;  // the form's background picture, drawn at its top left
  enum class Pointer { arrow, cross };
  Pointer mousepointer = Pointer::arrow;  // the mouse pointer over the window
  DrawSurface surface; // the drawing layer over underlay images, below the other controls
  const TextMetrics* metrics = nullptr;

  void show() { visible = true; }
  void hide() { visible = false; }
  // Asks for the keyboard focus: taken from another of the program's windows; from another
  // program's window only when forced.
  void takefocus(bool force = false) { ++focusrequest, focusforce = focusforce || force; }
  long focusrequest = 0;
  bool focusforce = false;
  // The user has put the keys into one of the window's text boxes that take typing (clicked or
  // tabbed into it, or typed in it) and they are there now; kept by the view.
  bool boxfocus = false;
  void movetwips(double l, double t, double w, double h);  // positions given in twips

  // Key press: the old character code (Enter 13, Backspace 8, Escape 27, Ctrl+A..Z 1..26,
  // Latin-1 above 127). A handler may set the code to 0 to swallow the key.
  std::function<void(int& keyascii)> onKeyPress;
  std::function<void(int& keycode, int shift)> onKeyDown;
  std::function<void(int& keycode, int shift)> onKeyUp;
  std::function<void(const MouseEvent&)> onMouseDown;
  std::function<void(const MouseEvent&)> onMouseMove;
  std::function<void(const MouseEvent&)> onMouseUp;
  std::function<void()> onClick;
  std::function<void()> onDblClick;
  // The window has taken the keys from another window.
  std::function<void()> onGotFocus;
  // A key typed into one of the window's entry boxes, which keeps it, or a click into such a box:
  // onKeyPress never sees such a key, but the user is at work in the window all the same.
  std::function<void()> onBoxKey;
  // A dragged control dropped on the bare window (x, y in the window's pixels).
  std::function<void(Control& source, double x, double y)> onDragDrop;
  // The close box of a secondary window: the window is hidden, then this runs.
  std::function<void()> onClose;
  // The window was resized from outside to this client size (pixels); the handler may lay the
  // window out again for it. The window then keeps the size the form has.
  std::function<void(int width, int height)> onResize;

  // All controls, array elements included, in drawing order (back to front).
  std::vector<Control*> controls() const;
  Control* find(std::string_view name, int index = -1) const;
  // The front-most visible, enabled control under a point, or null.
  Control* hit(int x, int y) const;
  long nextz() { return ++zcounter_; }
  long backz() { return --zback_; }
  std::uint64_t generation() const { return generation_; }
  void touch() { ++generation_; }  // marks the form as needing a repaint

 protected:
  void add(Control& c, std::string name);
  template <class T> void add(ControlArray<T>& a, std::string name) {
    a.form_ = this;
    a.name_ = std::move(name);
    a.load(0).visible = true;
  }

 private:
  template <class T> friend class ControlArray;
  void attach(Control& c);
  void detach(Control& c);
  std::string name_;
  std::vector<Control*> controls_;
  long zcounter_ = 0, zback_ = 0;
  std::uint64_t generation_ = 0;
};

template <class T>
T& ControlArray<T>::load(int i) {
  auto it = elements_.find(i);
  if (it != elements_.end()) return *it->second;
  auto e = elements_.count(0) ? std::make_unique<T>(*elements_.at(0)) : std::make_unique<T>();
  e->index = i;
  e->name = name_;
  e->visible = false;
  T& ref = *e;
  elements_.emplace(i, std::move(e));
  if (form_) form_->attach(ref);
  return ref;
}

template <class T>
void ControlArray<T>::unload(int i) {
  if (i == 0) return;  // the template element stays, as in the old runtime
  auto it = elements_.find(i);
  if (it == elements_.end()) return;
  if (form_) form_->detach(*it->second);
  elements_.erase(it);
}

}  // namespace zarn::ui
