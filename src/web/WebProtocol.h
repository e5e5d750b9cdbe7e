// The lines the ticker and its web windows' process (tarnbeck-web) exchange over the latter's
// standard input and output: one JSON object a line, UTF-8.
//
//   ticker → web   {"do":"chart","screen":{...},"hosts":{...},   open the chart window, or bring
//                   "targets":[...]}                             the open one forward, with the
//                                                                targets of its menu "気象庁"
//                  {"do":"camera","screen":{...},"hosts":{...}}  the camera window, the same
//                  {"do":"hosts","hosts":{...}}                  addresses just saved
//                  {"do":"targets","targets":[...]}              the target list just saved
//                  {"do":"bye"}                                  close everything and end
//   web → ticker   {"is":"ready","protocol":2}                   listening
//                  {"is":"open","window":"chart"}                shown
//                  {"is":"closed","window":"camera"}             closed by the user
//                  {"is":"edit","source":"chart3"}               the link "接続先を設定..."
//                  {"is":"frames","frames":[{"x":...,"y":...,    where its shown windows stand,
//                   "width":...,"height":...},...]}              frames included, at each change
//
// The screen is the ticker's, as {"name":..., "x":..., "y":..., "width":..., "height":...}; the
// frames are in the same logical pixels of the desktop (both run on X11, a Wayland session's
// XWayland too): where it bypasses the window manager, the ticker stands aside from them. The
// targets are the target airports in the list's order, as {"icao":"RJTT", "name":"東京(羽田)",
// "area":"東日本"}, the one the ticker shows marked "shown":true and carrying "briefing", its
// reports read out: the web process has no airport catalogue and fetches no report.
// An event with a field missing or of another type is refused, never taken for another.
#pragma once

#include "web/DocumentAddress.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

namespace WebProtocol {

/// Raised whenever a line changes meaning; both sides must speak the same.
inline constexpr int version = 4;

inline constexpr auto chartWindow = "chart";
inline constexpr auto cameraWindow = "camera";

/// The screen a window opens on, as the ticker sees it: the web process has no ticker to ask.
struct Screen
{
    QString name;
    QRect geometry;
};

struct Command
{
    enum Kind { Unknown, Chart, Camera, Hosts, Targets, Bye };
    Kind kind = Unknown;
    Screen screen;              ///< Chart, Camera
    SourceHosts hosts;          ///< Chart, Camera, Hosts
    QList<ChartTarget> targets; ///< Chart, Targets
};

struct Event
{
    enum Kind { Unknown, Ready, Open, Closed, Edit, Frames };
    Kind kind = Unknown;
    QString name; ///< the window (Open, Closed) or the source (Edit)
    int protocol = 0;
    QList<QRect> frames; ///< Frames: every shown window's, none when none is shown
};

/// One line, ending in '\n'.
QByteArray Encode(const Command &command);
QByteArray Encode(const Event &event);

/// Unknown for anything else than a line of this protocol.
Command ParseCommand(const QByteArray &line);
/// Unknown for anything else than a line of this protocol; `refused` then says what was wrong
/// with a line that names an event, and stays empty for a line that does not.
Event ParseEvent(const QByteArray &line, QString *refused = nullptr);

} // namespace WebProtocol
