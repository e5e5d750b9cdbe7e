// The installed-like program in a scratch folder: binary, plugin and database beside each other,
// its servers a loopback stand-in, started and stopped as a user would.
#pragma once

#include "support/LoopbackHttpServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <memory>

class TickerApp final
{
public:
    /// Copies the program and its database and serves three airports' reports; false (with
    /// the test failed) when something is missing.
    bool prepare();
    /// Runs SQL on the program's database; the output of its last statement.
    QString sql(const QString &statements) const;
    /// Starts the program with `environment` added to the test's own; standard error is kept.
    QProcess *start(const QStringList &environment = {});
    QProcess *process() const { return m_process.get(); }
    /// Stops the program as a logout does, and waits for its end.
    bool terminate();
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    LoopbackHttpServer m_server;
    std::unique_ptr<QProcess> m_process;
};
