// What the command line writes of a built report: the text for a terminal, a status bar's line.
#pragma once

#include <QByteArray>
#include <QString>

/// The ticker's text of one airport as a terminal shows it: its CR line breaks as newlines,
/// no blanks at a line's end, nothing wrapped to a screen.
QString PrintedText(const QString &reportText);

/// Whether the text shows the fixed "NO OBSERVATION" or "NO FORECAST" in place of a report.
bool HasFixedText(const QString &reportText);

/// The age the ticker's header adds to an old METAR ("95 MIN OLD", "3 HR OLD", "2 DAYS OLD"),
/// present only when the report is old by the user's setting; else empty.
QString AgeMark(const QString &reportText);

/// One line of JSON as waybar's and polybar's custom modules read it:
/// {"text": "RJTT IFR 95 MIN OLD", "tooltip": <the whole text>, "class": "ifr", "alt": "ifr"}.
/// `metar` is the report of the METAR that came (empty when none did); its flight category is
/// given whatever the display options say. The class is vfr, mvfr, ifr, lifr or unknown.
QByteArray StatusLine(const QString &airport, const QString &reportText, const QString &metar);
