// Message boxes without a shown owner, on a real X display with a window manager: where they open.
#include "WindowManager.h"
#include "desktop/MessageBox.h"
#include "desktop/WindowPlacement.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QtTest>
#include <TarnbeckVersion.h>

namespace {

/// The window's frame once it has held still for several looks. The manager may still move a
/// window it has just framed, and nothing it sends says which move is the last.
QRect settledFrame(const QWidget &window)
{
    constexpr int stillLooks = 10; // each look at least 10 ms after the one before
    QRect last;
    int still = 0;
    (void)QTest::qWaitFor(
        [&] {
            const QRect now = window.frameGeometry();
            still = now == last ? still + 1 : 0;
            last = now;
            return still >= stillLooks;
        },
        5000);
    return still >= stillLooks ? last : QRect();
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutShownOwnerCentredOnTheScreen_data();
    void withoutShownOwnerCentredOnTheScreen();

private:
    DisplayProgram m_windowManager{QStringLiteral("openbox")};
    QWidget m_ticker; ///< stands in a corner of the screen, as a ticker may
};

void TestMessageBox::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    if (!StartWindowManager(m_windowManager))
        QSKIP("needs openbox");
    SetAnchorWindow(&m_ticker);
    m_ticker.setWindowFlag(Qt::FramelessWindowHint);
    m_ticker.setGeometry(0, 0, 160, 80);
    m_ticker.show();
}

void TestMessageBox::withoutShownOwnerCentredOnTheScreen_data()
{
    QTest::addColumn<bool>("hiddenOwner");
    QTest::newRow("no owner") << false;
    QTest::newRow("hidden owner, as the settings window of the version item") << true;
}

void TestMessageBox::withoutShownOwnerCentredOnTheScreen()
{
    QFETCH(bool, hiddenOwner);
    QWidget owner(&m_ticker, Qt::Dialog);
    owner.resize(400, 300);
    // The box opens without a loop of its own: look at it once the manager has framed it.
    QPointer<QMessageBox> box = ShowMessage(
        hiddenOwner ? &owner : nullptr, QMessageBox::Information, QStringLiteral(" Tarnbeck"),
        QStringLiteral("Tarnbeck ver ") + QLatin1String(programVersion));
    QVERIFY(box);
    QTRY_VERIFY(box->isVisible() && box->frameGeometry() != box->geometry());
    const QRect frame = settledFrame(*box);
    box->close();
    const QRect screen = m_ticker.screen()->geometry();
    QVERIFY(frame.isValid());
    QCOMPARE(frame.topLeft(),
             QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));
}

QTEST_MAIN(TestMessageBox)
#include "test_messagebox.moc"
