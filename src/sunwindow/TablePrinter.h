// Paper output of the annual window: the positioned table and the window's image on A4 landscape.
#pragma once

#include "sun/SunYearTable.h"
#include "sunwindow/PrinterSelect.h"

#include <QPixmap>
#include <QStringList>
#include <memory>

class QPrinter;

/// The border of a PDF file's printable area, in points on every side.
inline constexpr double sunPdfMarginPoints = 18;

/// A printer for `target`, A4 landscape, positions from the printable area's corner.
std::unique_ptr<QPrinter> makeSunPrinter(const PrintTarget &target);

/// The table at its twip positions: title line, month names over the "*" columns, rule, cells.
/// Returns false when the printer could not be opened or reported an error.
bool printSunTable(QPrinter &printer, const QString &title, const QStringList &monthNames,
                   const SunGrid &grid);

/// The window's image at its screen size (15 twips a pixel). Returns false as above.
bool printWindowImage(QPrinter &printer, const QPixmap &image);
