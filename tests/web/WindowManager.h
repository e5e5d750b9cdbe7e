// A window manager for the tests that place windows on a real X display.
#pragma once

#include "desktop/WindowPlacement.h"
#include "desktop/X11Connection.h"
#include "support/DisplayProgram.h"

#include <QWidget>

/// Whether a window manager runs on the display, as it says on the root window.
inline bool WindowManagerRuns()
{
    xcb_connection_t *c = X11Connection();
    if (!c)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, root, InternAtom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0,
                         1),
        nullptr);
    const bool runs = reply && xcb_get_property_value_length(reply) == 4;
    free(reply);
    return runs;
}

/// Starts `manager` (openbox) on the test's display, as a user's desktop has a window manager,
/// and waits until it answers for frames; where another manager runs (a desktop of the test
/// matrix), that one serves. False when none is installed or none answers.
inline bool StartWindowManager(DisplayProgram &manager)
{
    if (!manager.installed())
        return WindowManagerRuns();
    QWidget probe;
    // openbox exits at once where another manager runs.
    return manager.start(
        [&] {
            return !WindowFrame(&probe).isNull() || (!manager.running() && WindowManagerRuns());
        },
        10000);
}
