// The options of the tab "表示" in the table `option` of a real SQLCipher file.
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "support/TestDatabase.h"

#include <QtTest>

class TestDisplayOptions : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void writtenTogetherOrNotAtAll_data();
    void writtenTogetherOrNotAtAll();
};

void TestDisplayOptions::roundTrip()
{
    TestDatabase db;
    SettingsStore store(db.directory());
    QVERIFY(store.OpenSettings());
    QCOMPARE(LoadDisplayOptions(store), DisplayOptions{});
    const DisplayOptions on{true, true, 135, true, true};
    QVERIFY(SaveDisplayOptions(store, on));
    QCOMPARE(LoadDisplayOptions(store), on);
}

void TestDisplayOptions::writtenTogetherOrNotAtAll_data()
{
    QTest::addColumn<QString>("refused");
    for (const char *name : {"showcategory", "markold", "oldminutes", "notifyworse", "outline"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestDisplayOptions::writtenTogetherOrNotAtAll()
{
    QFETCH(QString, refused);
    TestDatabase db;
    // The file refuses one of the rows, as a full disk or a lock would at any of them.
    QVERIFY(db.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON option "
                                      "WHEN NEW.name = '%1' BEGIN SELECT RAISE(ABORT, 'refused'); "
                                      "END")
                           .arg(refused)));
    SettingsStore store(db.directory());
    QVERIFY(store.OpenSettings());
    QVERIFY(!SaveDisplayOptions(store, {true, true, 135, true, true}));
    QVERIFY2(store.errorString().contains(store.databasePath()), qPrintable(store.errorString()));
    QCOMPARE(LoadDisplayOptions(store), DisplayOptions{});
}

QTEST_MAIN(TestDisplayOptions)
#include "test_displayoptions.moc"
