// Long report lines broken at blanks, continued the way the report server indents them.
#pragma once

#include <QString>
#include <QStringView>
#include <functional>

/// Blanks that start a continuation line.
inline constexpr auto continuationIndent = "      ";

/// `text` (lines broken by CR) with every line that does not `fit` broken at a blank, as late
/// as it fits, and continued on a line of its own after six blanks. Lines that fit stay exactly
/// as they are; a line without a blank to break at stays whole.
QString WrapLongLines(const QString &text, const std::function<bool(QStringView)> &fits);
