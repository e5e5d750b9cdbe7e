// Starting tarnbeck-web, the lines to and from it, its end and its faults.
#include "web/WebWindowsProcess.h"

#include "desktop/MessageBox.h"
#include "desktop/Platform.h"
#include "platform/ErrorOutput.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <utility>

using namespace WebProtocol;

namespace {

constexpr auto programName = "tarnbeck-web";
constexpr int errorBytesKept = 4000;
constexpr int errorLinesTold = 5;
constexpr int maxLineBytes = 1024 * 1024;
// The whole exit waits this long: the engine ends its own processes first when it can.
constexpr int endMs = 1000;
constexpr int reapMs = 200; // of it, kept for the process to go once killed

Screen screenOf(QScreen *screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? Screen{screen->name(), screen->geometry()} : Screen{};
}

Command command(Command::Kind kind, const SourceHosts &hosts = {}, QScreen *screen = nullptr)
{
    Command command;
    command.kind = kind;
    command.hosts = hosts;
    if (kind == Command::Chart || kind == Command::Camera)
        command.screen = screenOf(screen);
    return command;
}

/// What the browser engine says of itself whatever went wrong: its log lines
/// ("[1234:1234:0312/101010.123456:WARNING:…] …"), its script engine's words on its flags
/// ("Warning: disabling flag --expose_wasm …") and the pages' console ("js: …").
bool engineNoise(const QString &line)
{
    static const QRegularExpression noise(QStringLiteral(
        R"(^\[\d+:\d+:\d{4}/\d{6}\.\d+:[A-Z]+\d*:|^(Warning|Error): .*--\w|^Try --help|^js: )"));
    return noise.match(line).hasMatch();
}

/// The last lines of what the process said on standard error, without the engine's noise.
QString lastLines(const QByteArray &errors)
{
    QStringList lines = QString::fromLocal8Bit(errors).split(QLatin1Char('\n'));
    lines.removeIf(
        [](const QString &line) { return line.trimmed().isEmpty() || engineNoise(line); });
    return lines.mid(qMax(0, int(lines.size()) - errorLinesTold)).join(QLatin1Char('\n'));
}

QString cannotStart(const QString &program, const QString &reason)
{
    return QStringLiteral(
               "天気図とライブカメラのウィンドウを開けませんでした。%1 を起動できません。"
               "\n\n%2")
        .arg(program, reason);
}

} // namespace

WebWindowsProcess::WebWindowsProcess(QObject *parent) : QObject(parent) {}

WebWindowsProcess::~WebWindowsProcess()
{
    // Whoever listened may be going too.
    disconnect(this, nullptr, nullptr, nullptr);
    end();
    delete m_cameraStandIn;
}

QStringList WebWindowsProcess::programCandidates()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {QDir(here).filePath(QLatin1String(programName)),
            QDir::cleanPath(here + QLatin1Char('/') + QLatin1String(TARNBECK_WEB_RELDIR) +
                            QLatin1Char('/') + QLatin1String(programName))};
}

QString WebWindowsProcess::program() const
{
    if (!m_program.isEmpty())
        return m_program;
    for (const QString &candidate : programCandidates()) {
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return {};
}

qint64 WebWindowsProcess::processId() const
{
    return m_process ? m_process->processId() : 0;
}

void WebWindowsProcess::showChart(const SourceHosts &hosts, const QList<ChartTarget> &targets,
                                  QScreen *screen)
{
    Command chart = command(Command::Chart, hosts, screen);
    chart.targets = targets;
    send(QLatin1String(chartWindow), chart);
}

QDialog *WebWindowsProcess::showCamera(const SourceHosts &hosts, QScreen *screen)
{
    if (m_cameraStandIn) {
        raiseCamera();
        return m_cameraStandIn;
    }
    m_camera = command(Command::Camera, hosts, screen);
    if (!send(QLatin1String(cameraWindow), m_camera))
        return nullptr;
    m_cameraStandIn = new QDialog;
    m_cameraStandIn->setObjectName(QStringLiteral("cameraStandIn"));
    return m_cameraStandIn;
}

void WebWindowsProcess::raiseCamera()
{
    if (m_process && m_cameraStandIn)
        send(QLatin1String(cameraWindow), m_camera);
}

void WebWindowsProcess::hostsChanged(const SourceHosts &hosts)
{
    m_camera.hosts = hosts;
    for (Command &pending : m_pending)
        pending.hosts = hosts;
    if (m_process)
        m_process->write(Encode(command(Command::Hosts, hosts)));
}

void WebWindowsProcess::targetsChanged(const QList<ChartTarget> &targets)
{
    for (Command &pending : m_pending)
        pending.targets = targets;
    if (!m_process)
        return;
    Command command;
    command.kind = Command::Targets;
    command.targets = targets;
    m_process->write(Encode(command));
}

void WebWindowsProcess::end()
{
    m_ending = true;
    QProcess *process = m_process;
    if (!process)
        return;
    process->write(Encode(command(Command::Bye)));
    process->closeWriteChannel();
    // No event loop: the ticker is ending and has nothing else to do meanwhile. A process that
    // has not closed within the second is ended; its browser processes follow it.
    const QDeadlineTimer deadline(endMs);
    if (process->waitForFinished(endMs - reapMs))
        return;
    process->kill();
    process->waitForFinished(int(qMax<qint64>(0, deadline.remainingTime())));
}

bool WebWindowsProcess::send(const QString &window, const Command &command)
{
    if (m_ending || (!m_process && !startProcess()))
        return false;
    m_pending.insert(window, command);
    m_process->write(Encode(command));
    return true;
}

bool WebWindowsProcess::startProcess()
{
    const QString path = program();
    m_told = false;
    if (path.isEmpty()) {
        failedToStart(QStringLiteral("見つかりません: %1")
                          .arg(programCandidates().join(QStringLiteral(", "))));
        return false;
    }
    auto *process = new QProcess(this);
    m_process = process;
    m_ready = false;
    m_fault.clear();
    m_errors.clear();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The browser's sandbox cannot run as root, and the browser refuses to start with it on.
    if (RunningAsRoot() && !environment.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")))
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    process->setProcessEnvironment(environment);
    connect(process, &QProcess::readyReadStandardOutput, this, &WebWindowsProcess::readEvents);
    connect(process, &QProcess::readyReadStandardError, this, &WebWindowsProcess::readErrors);
    connect(process, &QProcess::finished, this,
            [this, process](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                if (process == m_process)
                    finished(exitCode, status == QProcess::CrashExit);
            });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || process != m_process)
            return;
        process->deleteLater();
        failedToStart(process->errorString());
    });
    // On the ticker's own platform: X11 in a Wayland session too, where windows may be placed.
    process->start(path, {QStringLiteral("-platform"), QGuiApplication::platformName()});
    return m_process != nullptr;
}

void WebWindowsProcess::readEvents()
{
    if (m_process && !m_fault.isEmpty()) { // ended already: nothing it says counts
        m_process->readAllStandardOutput();
        return;
    }
    while (m_process && m_process->canReadLine()) {
        const QByteArray line = m_process->readLine();
        QString refused;
        const Event event = ParseEvent(line, &refused);
        if (event.kind != Event::Unknown)
            handle(event);
        else if (!refused.isEmpty())
            WriteErrorOutput("tarnbeck: refused from tarnbeck-web (" + refused.toUtf8() +
                             "): " + line.trimmed().left(200) + '\n');
        else // something else wrote to its output
            WriteErrorOutput(line);
    }
    if (m_process && m_process->bytesAvailable() > maxLineBytes) {
        // A line without an end would hold the ticker's memory without limit.
        m_fault = QStringLiteral("1 MB を超える行");
        m_process->readAllStandardOutput();
        m_process->kill();
    }
}

void WebWindowsProcess::readErrors()
{
    // Passed on, as the process's own output, and kept to say what went wrong.
    const QByteArray bytes = m_process ? m_process->readAllStandardError() : QByteArray();
    WriteErrorOutput(bytes);
    m_errors = (m_errors.right(errorBytesKept) + bytes.right(errorBytesKept)).right(errorBytesKept);
}

void WebWindowsProcess::handle(const Event &event)
{
    switch (event.kind) {
    case Event::Ready:
        if (event.protocol != version) {
            tell(cannotStart(program(), QStringLiteral("この Tarnbeck とは版が違います。")));
            m_process->kill();
            return;
        }
        m_ready = true;
        break;
    case Event::Open:
        m_pending.remove(event.name);
        m_open.insert(event.name);
        m_resent = false;
        emit windowOpened(event.name);
        break;
    case Event::Closed:
        m_open.remove(event.name);
        if (event.name == QLatin1String(cameraWindow) && !m_pending.contains(event.name))
            finishCameraStandIn();
        emit windowClosed(event.name);
        break;
    case Event::Edit:
        emit sourceEditRequested(event.name);
        break;
    case Event::Frames:
        m_frames = event.frames;
        emit windowFramesChanged();
        break;
    case Event::Unknown:
        break;
    }
}

void WebWindowsProcess::finished(int exitCode, bool crashed)
{
    const QMap<QString, Command> pending = std::exchange(m_pending, {});
    const bool lost = !m_open.isEmpty() || !pending.isEmpty();
    const bool clean = !crashed && exitCode == 0;
    m_process = nullptr;
    m_open.clear();
    if (clean && m_ready && !pending.isEmpty() && !m_resent && !m_ending) {
        // It was closing its last window as more was asked of it: a new one takes the request.
        m_resent = true;
        for (auto command = pending.cbegin(); command != pending.cend(); ++command) {
            if (!send(command.key(), command.value()))
                break;
        }
        return;
    }
    if ((lost || !m_fault.isEmpty()) && !m_ending) {
        const QString how = !m_fault.isEmpty() ? m_fault
                            : crashed          ? QStringLiteral("シグナル %1").arg(exitCode)
                                               : QStringLiteral("終了コード %1").arg(exitCode);
        const QString said = lastLines(m_errors);
        if (!m_ready)
            tell(cannotStart(program(), said.isEmpty() ? how : how + QLatin1Char('\n') + said));
        else
            tell(QStringLiteral("天気図とライブカメラのウィンドウが異常終了しました (%1)。\n"
                                "次に開くときは新しく起動します。")
                     .arg(how) +
                 (said.isEmpty() ? QString() : QStringLiteral("\n\n") + said));
    } else if (!clean) {
        WriteErrorOutput(QStringLiteral("tarnbeck-web ended with %1 %2\n")
                             .arg(crashed ? QStringLiteral("signal") : QStringLiteral("status"))
                             .arg(exitCode)
                             .toLocal8Bit());
    }
    forget();
}

void WebWindowsProcess::failedToStart(const QString &reason)
{
    m_process = nullptr;
    tell(cannotStart(program().isEmpty() ? QLatin1String(programName) : program(), reason));
    forget();
}

void WebWindowsProcess::forget()
{
    m_pending.clear();
    m_open.clear();
    m_ready = false;
    finishCameraStandIn();
    if (!m_frames.isEmpty()) { // its windows went with it
        m_frames.clear();
        emit windowFramesChanged();
    }
    emit processEnded();
}

void WebWindowsProcess::finishCameraStandIn()
{
    if (QDialog *standIn = m_cameraStandIn) {
        m_cameraStandIn = nullptr;
        standIn->done(QDialog::Rejected); // the ticker stops waiting
        standIn->deleteLater();
    }
}

void WebWindowsProcess::tell(const QString &text)
{
    if (m_told || m_ending)
        return;
    m_told = true;
    ShowMessage(nullptr, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), text);
}
