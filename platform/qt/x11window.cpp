#include "platform/qt/x11window.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

#if ZARN_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace zarn::qt {

namespace {
#if ZARN_HAVE_XCB
xcb_connection_t* connection() {
  const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}
#endif
}  // namespace

// Qt gives its windows a colormap of their own, even on the screen's default visual. A screen
// capture that reads the screen window by window, each through its colormap (xwd), then shows
// a window stacked over another of ours inside a window manager's frame as a title bar over
// black. A window on the default visual takes the screen's default colormap instead, as the
// windows of most programs have.
void usedefaultcolormap(WId id) {
#if ZARN_HAVE_XCB
  xcb_connection_t* c = connection();
  if (!c || !id) return;
  const auto w = static_cast<xcb_window_t>(id);
  const xcb_get_geometry_cookie_t gc = xcb_get_geometry(c, w);
  const xcb_get_window_attributes_cookie_t ac = xcb_get_window_attributes(c, w);
  const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> g(xcb_get_geometry_reply(c, gc, nullptr),
                                                                          &std::free);
  const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> a(
      xcb_get_window_attributes_reply(c, ac, nullptr), &std::free);
  if (!g || !a) return;
  for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(xcb_get_setup(c)); s.rem; xcb_screen_next(&s)) {
    if (s.data->root != g->root) continue;
    if (a->visual == s.data->root_visual && a->colormap != s.data->default_colormap) {
      const std::uint32_t cmap = s.data->default_colormap;
      xcb_change_window_attributes(c, w, XCB_CW_COLORMAP, &cmap);
      xcb_flush(c);
    }
    return;
  }
#else
  (void)id;
#endif
}

// The toolkit gives the keys to a window whose own window (kept on top) has them by setting the
// focus itself, dated by the last event it read. A window manager that moved the keys since then
// (fluxbox hands them to a new window kept on top) set them later than that date, and the display
// ignores a request dated before the last change: the keys would stay where they are until the
// program next reads an event of the user's. Dated now, the request always takes.
void focusnow(WId id) {
#if ZARN_HAVE_XCB
  xcb_connection_t* c = connection();
  if (!c || !id) return;
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(id), XCB_CURRENT_TIME);
  xcb_flush(c);
#else
  (void)id;
#endif
}

}  // namespace zarn::qt
