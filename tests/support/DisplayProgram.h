// A program that takes the test's X display beside the program under test: a window manager, a
// compositor.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <utility>

/// Started when installed, waited for until it has taken the display, ended with the test.
class DisplayProgram
{
public:
    explicit DisplayProgram(QString program) : m_program(std::move(program)) {}
    ~DisplayProgram() { stop(); }

    bool installed() const { return !QStandardPaths::findExecutable(m_program).isEmpty(); }
    bool running() const { return m_process.state() != QProcess::NotRunning; }

    /// Starts the program unless it runs, then waits until `taken` holds; false when it is not
    /// installed or `taken` does not hold within `timeoutMs`.
    template <typename Taken> bool start(Taken taken, int timeoutMs)
    {
        if (!installed())
            return false;
        if (!running())
            m_process.start(m_program, {});
        return QTest::qWaitFor(taken, timeoutMs);
    }

    void stop()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QString m_program;
    QProcess m_process;
};
