// Qt's standard dialogs speak Japanese once the start-up translation is in.
#include "platform/Translations.h"

#include <QColorDialog>
#include <QtTest>

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogTexts_data();
    void dialogTexts();
    void colorDialogTitle();
};

void TestTranslations::initTestCase()
{
    // The tests run in the C locale: the texts must not depend on the user's.
    QVERIFY(InstallQtTranslations());
}

void TestTranslations::dialogTexts_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("english");
    QTest::newRow("colour dialog title")
        << QByteArray("QColorDialog") << QByteArray("Select Color");
    QTest::newRow("file dialog folder") << QByteArray("QFileDialog") << QByteArray("Look in:");
    QTest::newRow("save button") << QByteArray("QPlatformTheme") << QByteArray("Save");
    QTest::newRow("cancel button") << QByteArray("QPlatformTheme") << QByteArray("Cancel");
    QTest::newRow("print dialog title") << QByteArray("QPrintDialog") << QByteArray("Print");
}

void TestTranslations::dialogTexts()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, english);
    const QString shown = QCoreApplication::translate(context.constData(), english.constData());
    // Japanese (kana or kanji), not merely different from the English.
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"));
    QVERIFY2(shown.contains(japanese), qPrintable(shown));
}

void TestTranslations::colorDialogTitle()
{
    // The dialog the settings window opens for the text colour.
    const QColorDialog dialog;
    QVERIFY2(dialog.windowTitle() != QStringLiteral("Select Color"),
             qPrintable(dialog.windowTitle()));
}

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
