// The window "拡張設定": what Tarnbeck adds to the original, starting with its sources.
#pragma once

#include <QDialog>
#include <QHash>
#include <QNetworkReply>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class SettingsStore;

/// Its first tab "接続先" lists every `host` row: a label naming the kind of site, the address,
/// "確認" to fetch the source's first document, and the answer. "保存" checks every address and
/// writes them together; "閉じる" asks before it drops changes.
class ExtendedSettingsWindow final : public QDialog
{
    Q_OBJECT
public:
    ExtendedSettingsWindow(SettingsStore &store, QWidget *owner = nullptr);
    ~ExtendedSettingsWindow() override;

    /// Shows the window application-modal, centred on the screen, with the row of `hostName`
    /// (if given) in view and its address focused.
    void openAt(const QString &hostName = {});

    QLineEdit *address(const QString &hostName) const;
    QPushButton *checkButton(const QString &hostName) const;
    QLabel *answer(const QString &hostName) const;

    /// "確認": fetches the first document of the source as its address now reads.
    void check(const QString &hostName);
    /// "保存": false, writing nothing, when an address is bad (its row is marked and named).
    bool save();
    /// The addresses differ from what is stored.
    bool changed() const;

    /// The label of a host row, e.g. "天気図 5: 放送局のファクシミリ天気図 (PDF)".
    static QString rowLabel(const QString &hostName);
    /// The address of the first document of a source, from its host's address.
    QString firstDocument(const QString &hostName, const QString &host);

signals:
    /// The addresses were written: whoever uses them reads them again.
    void hostsSaved();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Row
    {
        QLineEdit *address = nullptr;
        QPushButton *check = nullptr;
        QLabel *answer = nullptr;
    };
    QWidget *buildSourcesTab();
    void mark(const QString &hostName, bool bad);

    SettingsStore &m_store;
    QTabWidget *m_tabs = nullptr;
    QHash<QString, Row> m_rows;
    QHash<QString, QString> m_stored;
    QHash<QString, QPointer<QNetworkReply>> m_checks;
    bool m_discardAnswered = false;
};
