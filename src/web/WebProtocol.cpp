// The protocol's lines to and from JSON.
#include "web/WebProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace WebProtocol {

namespace {

struct Name
{
    const char *text;
    int kind;
};

constexpr Name commandNames[] = {{"chart", Command::Chart},
                                 {"camera", Command::Camera},
                                 {"hosts", Command::Hosts},
                                 {"targets", Command::Targets},
                                 {"bye", Command::Bye}};
constexpr Name eventNames[] = {{"ready", Event::Ready},
                               {"open", Event::Open},
                               {"closed", Event::Closed},
                               {"edit", Event::Edit},
                               {"frames", Event::Frames}};

template <size_t N> QString nameOf(const Name (&names)[N], int kind)
{
    for (const Name &name : names) {
        if (name.kind == kind)
            return QLatin1String(name.text);
    }
    return {};
}

template <size_t N> int kindOf(const Name (&names)[N], const QString &text)
{
    for (const Name &name : names) {
        if (text == QLatin1String(name.text))
            return name.kind;
    }
    return 0; // Unknown in both
}

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject object(const QByteArray &line)
{
    return QJsonDocument::fromJson(line.trimmed()).object();
}

QJsonObject hostsObject(const SourceHosts &hosts)
{
    QJsonObject object;
    for (auto host = hosts.cbegin(); host != hosts.cend(); ++host)
        object.insert(host.key(), host.value());
    return object;
}

SourceHosts hostsOf(const QJsonObject &object)
{
    SourceHosts hosts;
    for (auto host = object.begin(); host != object.end(); ++host)
        hosts.insert(host.key(), host.value().toString());
    return hosts;
}

QJsonArray targetsArray(const QList<ChartTarget> &targets)
{
    QJsonArray array;
    for (const ChartTarget &target : targets) {
        QJsonObject object{{QStringLiteral("icao"), target.icao},
                           {QStringLiteral("name"), target.name}};
        if (target.shown)
            object.insert(QStringLiteral("shown"), true);
        if (!target.area.isEmpty())
            object.insert(QStringLiteral("area"), target.area);
        if (!target.briefing.isEmpty())
            object.insert(QStringLiteral("briefing"), target.briefing);
        array.append(object);
    }
    return array;
}

QList<ChartTarget> targetsOf(const QJsonArray &array)
{
    QList<ChartTarget> targets;
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        const QString icao = object.value(QStringLiteral("icao")).toString();
        if (!icao.isEmpty())
            targets.append({icao, object.value(QStringLiteral("name")).toString(),
                            object.value(QStringLiteral("shown")).toBool(),
                            object.value(QStringLiteral("area")).toString(),
                            object.value(QStringLiteral("briefing")).toString()});
    }
    return targets;
}

QJsonArray framesArray(const QList<QRect> &frames)
{
    QJsonArray array;
    for (const QRect &frame : frames)
        array.append(QJsonObject{{QStringLiteral("x"), frame.x()},
                                 {QStringLiteral("y"), frame.y()},
                                 {QStringLiteral("width"), frame.width()},
                                 {QStringLiteral("height"), frame.height()}});
    return array;
}

/// A whole number that a coordinate can be.
bool coordinate(const QJsonValue &value, int *number)
{
    const double d = value.toDouble();
    if (!value.isDouble() || d != std::trunc(d) || std::abs(d) > 1e6)
        return false;
    *number = int(d);
    return true;
}

/// The frames of `value`, an array of rectangles; false for anything else.
bool framesOf(const QJsonValue &value, QList<QRect> *frames)
{
    if (!value.isArray())
        return false;
    for (const QJsonValue &item : value.toArray()) {
        const QJsonObject object = item.toObject();
        int x = 0, y = 0, width = 0, height = 0;
        if (!coordinate(object.value(QStringLiteral("x")), &x) ||
            !coordinate(object.value(QStringLiteral("y")), &y) ||
            !coordinate(object.value(QStringLiteral("width")), &width) ||
            !coordinate(object.value(QStringLiteral("height")), &height) || width < 0 || height < 0)
            return false;
        frames->append(QRect(x, y, width, height));
    }
    return true;
}

} // namespace

QByteArray Encode(const Command &command)
{
    QJsonObject object{{QStringLiteral("do"), nameOf(commandNames, command.kind)}};
    if (command.kind == Command::Chart || command.kind == Command::Camera) {
        const QRect &place = command.screen.geometry;
        object.insert(QStringLiteral("screen"),
                      QJsonObject{{QStringLiteral("name"), command.screen.name},
                                  {QStringLiteral("x"), place.x()},
                                  {QStringLiteral("y"), place.y()},
                                  {QStringLiteral("width"), place.width()},
                                  {QStringLiteral("height"), place.height()}});
    }
    if (command.kind == Command::Chart || command.kind == Command::Camera ||
        command.kind == Command::Hosts)
        object.insert(QStringLiteral("hosts"), hostsObject(command.hosts));
    if (command.kind == Command::Chart || command.kind == Command::Targets)
        object.insert(QStringLiteral("targets"), targetsArray(command.targets));
    return line(object);
}

QByteArray Encode(const Event &event)
{
    QJsonObject object{{QStringLiteral("is"), nameOf(eventNames, event.kind)}};
    switch (event.kind) {
    case Event::Ready:
        object.insert(QStringLiteral("protocol"), event.protocol);
        break;
    case Event::Open:
    case Event::Closed:
        object.insert(QStringLiteral("window"), event.name);
        break;
    case Event::Edit:
        object.insert(QStringLiteral("source"), event.name);
        break;
    case Event::Frames:
        object.insert(QStringLiteral("frames"), framesArray(event.frames));
        break;
    case Event::Unknown:
        break;
    }
    return line(object);
}

Command ParseCommand(const QByteArray &text)
{
    const QJsonObject object = WebProtocol::object(text);
    Command command;
    command.kind =
        Command::Kind(kindOf(commandNames, object.value(QStringLiteral("do")).toString()));
    const QJsonObject screen = object.value(QStringLiteral("screen")).toObject();
    command.screen.name = screen.value(QStringLiteral("name")).toString();
    command.screen.geometry =
        QRect(screen.value(QStringLiteral("x")).toInt(), screen.value(QStringLiteral("y")).toInt(),
              screen.value(QStringLiteral("width")).toInt(),
              screen.value(QStringLiteral("height")).toInt());
    command.hosts = hostsOf(object.value(QStringLiteral("hosts")).toObject());
    command.targets = targetsOf(object.value(QStringLiteral("targets")).toArray());
    return command;
}

Event ParseEvent(const QByteArray &text, QString *refused)
{
    const QJsonObject object = WebProtocol::object(text);
    const QJsonValue is = object.value(QStringLiteral("is"));
    Event event;
    event.kind = Event::Kind(kindOf(eventNames, is.toString()));
    QString wrong;
    if (event.kind == Event::Ready) {
        // A number that is not a whole one is no version at all.
        const QJsonValue protocol = object.value(QStringLiteral("protocol"));
        const double number = protocol.toDouble();
        if (!protocol.isDouble() || number != std::trunc(number) || std::abs(number) > 1e9)
            wrong = QStringLiteral("\"protocol\" is not a whole number");
        else
            event.protocol = int(number);
    } else if (event.kind == Event::Frames) {
        if (!framesOf(object.value(QStringLiteral("frames")), &event.frames))
            wrong = QStringLiteral("\"frames\" is missing or not a list of rectangles");
    } else if (event.kind != Event::Unknown) {
        const QString field =
            event.kind == Event::Edit ? QStringLiteral("source") : QStringLiteral("window");
        const QJsonValue name = object.value(field);
        event.name = name.toString();
        const bool window =
            event.name == QLatin1String(chartWindow) || event.name == QLatin1String(cameraWindow);
        if (!name.isString() || event.name.isEmpty() || (event.kind != Event::Edit && !window))
            wrong = QStringLiteral("\"%1\" is missing or not one").arg(field);
    } else if (is.isString()) {
        wrong = QStringLiteral("no such event");
    } else if (object.contains(QStringLiteral("is"))) {
        wrong = QStringLiteral("\"is\" is not a text");
    }
    if (wrong.isEmpty())
        return event;
    if (refused)
        *refused = wrong;
    return {};
}

} // namespace WebProtocol
