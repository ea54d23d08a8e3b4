#include "gui/platform/WindowRoles.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <string>
#include <vector>

namespace qgm::gui {
namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::char_traits<char>::length(name)), name),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

}  // namespace

void KeepOffTaskbar(QWidget& window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return;  // Wayland: the compositor decides
  // Set on the window before it is mapped; Qt adds its own states to
  // what it finds there when it shows the window.
  const auto id = static_cast<xcb_window_t>(window.winId());
  std::vector<xcb_atom_t> states = {Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                    Atom(c, "_NET_WM_STATE_SKIP_PAGER")};
  xcb_change_property(c, XCB_PROP_MODE_APPEND, id, Atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                      static_cast<uint32_t>(states.size()), states.data());
  xcb_flush(c);
}

}  // namespace qgm::gui
