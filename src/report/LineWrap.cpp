// Wrapping of report lines that would run off the screen.
#include "report/LineWrap.h"

#include <QStringList>

namespace {

/// Where `line` is broken: the last blank before which it fits, else the first blank (it then
/// stays too wide, but as little as it can). -1 when there is no blank after the indentation.
qsizetype breakAt(QStringView line, const std::function<bool(QStringView)> &fits)
{
    qsizetype start = 0;
    while (start < line.size() && line[start] == QLatin1Char(' '))
        ++start;
    qsizetype first = -1;
    qsizetype best = -1;
    for (qsizetype i = start; i < line.size(); ++i) {
        if (line[i] != QLatin1Char(' ') || line[i - 1] == QLatin1Char(' '))
            continue;
        if (first < 0)
            first = i;
        if (!fits(line.left(i)))
            break;
        best = i;
    }
    return best >= 0 ? best : first;
}

/// One line, without breaks of its own, broken into lines that fit, joined by CR.
QString wrapLine(QString rest, const std::function<bool(QStringView)> &fits)
{
    QStringList out;
    while (!fits(rest)) {
        const qsizetype at = breakAt(rest, fits);
        if (at < 0)
            break;
        qsizetype next = at;
        while (next < rest.size() && rest[next] == QLatin1Char(' '))
            ++next;
        if (next == rest.size())
            break; // only blanks follow: nothing to continue
        out.append(rest.left(at));
        rest = QLatin1String(continuationIndent) + rest.mid(next);
    }
    out.append(rest);
    return out.join(QLatin1Char('\r'));
}

} // namespace

QString WrapLongLines(const QString &text, const std::function<bool(QStringView)> &fits)
{
    // A section's lines end in CR, a TAF's own lines in the station file's LF: both end a line.
    QString out;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        out += wrapLine(text.mid(from, i - from), fits);
        if (i < text.size())
            out += text[i];
        from = i + 1;
    }
    return out;
}
