// The tab "起動": the autostart entry comes and goes with its check box, in XDG_CONFIG_HOME.
#include "desktop/MessageBox.h"
#include "platform/Autostart.h"
#include "settings/ExtendedSettingsWindow.h"
#include "settings/StartupTab.h"
#include "store/DatabaseLocation.h"
#include "store/SettingsStore.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QtTest>

class TestStartupTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void entryFollowsTheBox();
    void folderThatCannotBeWritten_data();
    void folderThatCannotBeWritten();
    void entryThatIsAFolder();
    void switchedOffByTheDesktop_data();
    void switchedOffByTheDesktop();
    void execOfAnyProgramPath_data();
    void execOfAnyProgramPath();

private:
    QString entry() const
    {
        return m_config->filePath(QStringLiteral("autostart/tarnbeck.desktop"));
    }
    /// No Latin word in a message once the entry and its folder are taken out of it.
    bool japaneseAlone(QString text) const
    {
        return !text.remove(entry())
                    .remove(QFileInfo(entry()).absolutePath())
                    .contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
    }
    /// desktop-file-validate's complaints about the entry; empty without the tool.
    QString validation() const;

    std::unique_ptr<QTemporaryDir> m_config;
    QList<ShownMessage> m_shown;
    std::unique_ptr<MessageSink> m_sink;
};

void TestStartupTab::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
    m_shown.clear();
    m_sink = std::make_unique<MessageSink>([this](const ShownMessage &m) { m_shown.append(m); });
}

void TestStartupTab::cleanup()
{
    QFile::setPermissions(m_config->filePath(QStringLiteral("autostart")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_sink.reset();
    m_config.reset();
}

QString TestStartupTab::validation() const
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (tool.isEmpty())
        return {};
    QProcess validate;
    validate.start(tool, {entry()});
    validate.waitForFinished();
    return QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
}

void TestStartupTab::entryFollowsTheBox()
{
    TestDatabase db;
    SettingsStore store(db.directory());
    QVERIFY(store.OpenSettings());
    ExtendedSettingsWindow window(store);
    auto *tabs = window.findChild<QTabWidget *>();
    const int startup = tabs->indexOf(window.findChild<StartupTab *>());
    QCOMPARE(tabs->tabText(startup), QStringLiteral("起動"));
    tabs->setCurrentIndex(startup);
    window.show();
    auto *box = window.findChild<QCheckBox *>(QStringLiteral("startAtLogin"));
    QCOMPARE(box->text(), QStringLiteral("ログイン時に起動する"));
    QCOMPARE(window.findChild<StartupTab *>()->findChild<QLabel *>()->text(),
             QStringLiteral("チェックすると自動起動ファイル %1 を作成し、外すと削除します。")
                 .arg(entry()));
    QVERIFY(!box->isChecked());

    box->click();
    QVERIFY(QFileInfo::exists(entry()));
    QFile file(entry());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains(
        "\nExec=" + DesktopExecValue(QCoreApplication::applicationFilePath()).toUtf8() + "\n"));
    QCOMPARE(validation(), QString());
    // Shown again, the tab reads the entry: removed meanwhile by the desktop's own manager.
    QVERIFY(QFile::remove(entry()));
    window.hide();
    window.show();
    QVERIFY(!box->isChecked());
    box->click();
    QVERIFY(box->isChecked());
    box->click();
    QVERIFY(!QFileInfo::exists(entry()));
    QVERIFY(m_shown.isEmpty());
}

void TestStartupTab::folderThatCannotBeWritten_data()
{
    QTest::addColumn<bool>("wasOn");
    QTest::addColumn<bool>("fileForFolder");
    QTest::newRow("a file where the folder goes") << false << true;
    QTest::newRow("read-only, turning on") << false << false;
    QTest::newRow("read-only, turning off") << true << false;
}

void TestStartupTab::folderThatCannotBeWritten()
{
    QFETCH(bool, wasOn);
    QFETCH(bool, fileForFolder);
    const QString folder = m_config->filePath(QStringLiteral("autostart"));
    if (wasOn)
        QCOMPARE(SetStartAtLogin(true, QStringLiteral("/usr/bin/tarnbeck")), QString());
    if (fileForFolder) {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (IsWritableDirectory(folder))
            QSKIP("root may write to any folder");
    }
    StartupTab tab;
    tab.show();
    QCOMPARE(tab.startAtLogin()->isChecked(), wasOn);
    tab.startAtLogin()->click();
    QCOMPARE(tab.startAtLogin()->isChecked(), wasOn); // back to its state
    QCOMPARE(StartsAtLogin(), wasOn);
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].icon, QMessageBox::Warning);
    QVERIFY2(m_shown[0].text.contains(folder), qPrintable(m_shown[0].text));
    const QString told = wasOn ? QStringLiteral("自動起動ファイル %1 を削除できません。")
                         : fileForFolder ? QStringLiteral("自動起動ファイル %1 を作成できません "
                                                          "(フォルダーを作成できません)。")
                                         : QStringLiteral("自動起動ファイル %1 を作成できません (");
    QVERIFY2(m_shown[0].text.startsWith(told.arg(entry())), qPrintable(m_shown[0].text));
    QVERIFY2(japaneseAlone(m_shown[0].text), qPrintable(m_shown[0].text));
}

void TestStartupTab::entryThatIsAFolder()
{
    // Root cannot write it either; the system says why in English, which goes to the log.
    QVERIFY(QDir().mkpath(entry()));
    StartupTab tab;
    tab.show();
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("cannot write the autostart entry .+")));
    tab.startAtLogin()->click();
    QVERIFY(!tab.startAtLogin()->isChecked());
    QCOMPARE(m_shown.size(), 1);
    QVERIFY2(japaneseAlone(m_shown[0].text), qPrintable(m_shown[0].text));
}

void TestStartupTab::switchedOffByTheDesktop_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("on");
    QTest::newRow("plain") << QByteArray("[Desktop Entry]\nExec=x\n") << true;
    QTest::newRow("Hidden") << QByteArray("[Desktop Entry]\nExec=x\nHidden=true\n") << false;
    QTest::newRow("Hidden, blanks") << QByteArray("[Desktop Entry]\nHidden = true\n") << false;
    QTest::newRow("GNOME") << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n")
                           << false;
    QTest::newRow("another group")
        << QByteArray("[Desktop Entry]\nExec=x\n[Desktop Action a]\nHidden=true\n") << true;
}

void TestStartupTab::switchedOffByTheDesktop()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, on);
    QVERIFY(QDir().mkpath(QFileInfo(entry()).absolutePath()));
    QFile file(entry());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    StartupTab tab;
    tab.show();
    QCOMPARE(tab.startAtLogin()->isChecked(), on);
    if (!on) { // ticking it starts the program again
        tab.startAtLogin()->click();
        QVERIFY(StartsAtLogin());
    }
}

void TestStartupTab::execOfAnyProgramPath_data()
{
    // What the file holds: the Exec quoting first, then the escapes of every string value.
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << "/usr/bin/tarnbeck"
                           << "/usr/bin/tarnbeck";
    QTest::newRow("blank") << "/home/a b/tarnbeck"
                           << "\"/home/a b/tarnbeck\"";
    QTest::newRow("percent") << "/opt/100%/tarnbeck"
                             << "/opt/100%%/tarnbeck";
    QTest::newRow("dollar") << "/x/$HOME/tarnbeck"
                            << "\"/x/\\\\$HOME/tarnbeck\"";
    QTest::newRow("quote") << "/x/a\"b/tarnbeck"
                           << "\"/x/a\\\\\"b/tarnbeck\"";
    QTest::newRow("backslash") << "/x/a\\b/tarnbeck"
                               << "\"/x/a\\\\\\\\b/tarnbeck\"";
    QTest::newRow("bracket") << "/x/(1)/tarnbeck"
                             << "\"/x/(1)/tarnbeck\"";
}

void TestStartupTab::execOfAnyProgramPath()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QCOMPARE(DesktopExecValue(program), exec);
    QCOMPARE(SetStartAtLogin(true, program), QString());
    QCOMPARE(validation(), QString());
}

QTEST_MAIN(TestStartupTab)
#include "test_startuptab.moc"
