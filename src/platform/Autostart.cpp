// The XDG autostart entry of the program.
#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>

namespace {

/// The escapes every string value of a desktop entry takes; applied after the Exec quoting.
QString escapeString(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString folderAdvice(const QString &path)
{
    return QStringLiteral("フォルダー %1 に書き込めるか確かめてください。")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

} // namespace

QString AutostartEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value is invalid and to be ignored.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart/tarnbeck.desktop"));
}

bool StartsAtLogin()
{
    QFile file(AutostartEntryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // Desktops switch a user's entry off inside it instead of deleting it.
    bool inEntry = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().remove(QLatin1Char(' '));
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[DesktopEntry]");
        else if (inEntry && (line == QLatin1String("Hidden=true") ||
                             line == QLatin1String("X-GNOME-Autostart-enabled=false")))
            return false;
    }
    return true;
}

QString DesktopExecValue(const QString &program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#`()");
    const bool quote =
        std::any_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); });
    QString arg;
    for (const QChar c : program) {
        if (quote && QStringLiteral("\"`$\\").contains(c))
            arg += QLatin1Char('\\');
        arg += c;
        if (c == QLatin1Char('%')) // a field code otherwise
            arg += QLatin1Char('%');
    }
    return escapeString(quote ? QLatin1Char('"') + arg + QLatin1Char('"') : arg);
}

QString SetStartAtLogin(bool on, const QString &program)
{
    const QString path = AutostartEntryPath();
    const QString shown = QDir::toNativeSeparators(path);
    if (!on) {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return {};
        return QStringLiteral("自動起動ファイル %1 を削除できません。\n%2")
            .arg(shown, folderAdvice(path));
    }
    // The window gets Japanese alone; the system's own words go to the log.
    const auto cannotWrite = [&](const QString &why, const QString &english) {
        qWarning("cannot write the autostart entry %s: %s", qPrintable(shown), qPrintable(english));
        return QStringLiteral("自動起動ファイル %1 を作成できません (%2)。\n%3")
            .arg(shown, why, folderAdvice(path));
    };
    const auto fileFailed = [&](const QSaveFile &file) {
        return cannotWrite(file.error() == QFileDevice::PermissionsError
                               ? QStringLiteral("書き込みが許可されていません")
                               : QStringLiteral("書き込めません"),
                           file.errorString());
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return cannotWrite(QStringLiteral("フォルダーを作成できません"),
                           QStringLiteral("the folder cannot be made"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return fileFailed(file);
    // TryExec: a build deleted since makes the session skip the entry instead of failing.
    const QString entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Tarnbeck\n"
                       "Comment=METAR and TAF of Japanese airports, standing on "
                       "the desktop\n"
                       "Comment[ja]=日本の空港の METAR・TAF をデスクトップに表示します\n"
                       "TryExec=%1\n"
                       "Exec=%2\n"
                       "Icon=tarnbeck\n"
                       "Terminal=false\n"
                       "StartupNotify=false\n")
            .arg(escapeString(program), DesktopExecValue(program));
    file.write(entry.toUtf8());
    if (!file.commit())
        return fileFailed(file);
    return {};
}
