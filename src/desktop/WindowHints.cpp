// EWMH and compositor hints of the ticker window.
#include "desktop/WindowHints.h"

#include "desktop/Platform.h"
#include "desktop/X11Connection.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace {

void setAtoms(xcb_connection_t *c, xcb_window_t window, const char *property,
              std::initializer_list<const char *> names, uint8_t mode = XCB_PROP_MODE_REPLACE)
{
    std::vector<xcb_atom_t> atoms;
    for (const char *name : names)
        atoms.push_back(InternAtom(c, name));
    xcb_change_property(c, mode, window, InternAtom(c, property), XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());
}

void setCardinals(xcb_connection_t *c, xcb_window_t window, const char *property,
                  const std::vector<uint32_t> &values)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, InternAtom(c, property),
                        XCB_ATOM_CARDINAL, 32, uint32_t(values.size()), values.data());
}

/// ICCCM's "no input" model: the toolkit already says the window takes no input (WM_HINTS), yet
/// it offers WM_TAKE_FOCUS to every window, and a manager then counts it as one it may focus
/// (i3 focuses it when it maps, openbox and KWin hand it the focus back). Without that offer no
/// manager focuses or activates the window, so it need not ask at its map (by a user time of 0)
/// not to be activated, which KWin answers by marking it as demanding attention.
void takeNoFocus(xcb_connection_t *c, xcb_window_t window)
{
    const xcb_atom_t protocols = InternAtom(c, "WM_PROTOCOLS");
    const xcb_atom_t takeFocus = InternAtom(c, "WM_TAKE_FOCUS");
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, protocols, XCB_ATOM_ATOM, 0, 32), nullptr);
    if (reply && reply->format == 32) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        std::vector<xcb_atom_t> kept(atoms, atoms + xcb_get_property_value_length(reply) / 4);
        std::erase(kept, takeFocus);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32,
                            uint32_t(kept.size()), kept.data());
    }
    free(reply);
}

} // namespace

Qt::WindowFlags DesktopGadgetFlags()
{
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (InWaylandSession())
        flags |= Qt::X11BypassWindowManagerHint;
    return flags;
}

void MarkAsDesktopGadget(QWidget *window)
{
    xcb_connection_t *c = X11Connection();
    const auto id = xcb_window_t(window->internalWinId());
    if (!c || !id)
        return;
    // Utility: i3 and sway float it where it asks to stand, and the others leave it undecorated
    // (the toolkit already asks for no decoration). Normal for managers that know no utility.
    setAtoms(c, id, "_NET_WM_WINDOW_TYPE",
             {"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_NORMAL"});
    // Appended: the toolkit adds its own states to these when it maps the window.
    setAtoms(c, id, "_NET_WM_STATE", {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"},
             XCB_PROP_MODE_APPEND);
    // A frame the client draws itself, of no width: mutter, KWin and xfwm4 then draw neither
    // frame nor shadow. picom and compton read their own shadow switch.
    setCardinals(c, id, "_GTK_FRAME_EXTENTS", {0, 0, 0, 0});
    setCardinals(c, id, "_COMPTON_SHADOW", {0});
    takeNoFocus(c, id);
    xcb_flush(c);
}
