// The window "拡張設定": the settings Tarnbeck adds, starting with its sources.
#pragma once

#include "store/Sources.h"

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
/// "確認" (or Enter in the address) to fetch the source's first document, and the answer, cut to
/// its column with the whole of it as a tool tip. "保存" checks every address, marks each bad
/// one, writes them together and says so on the status line; "閉じる" and Escape ask before they
/// drop changes.
class ExtendedSettingsWindow final : public QDialog
{
    Q_OBJECT
public:
    ExtendedSettingsWindow(SettingsStore &store, QWidget *owner = nullptr);
    ~ExtendedSettingsWindow() override;

    /// Shows the window application-modal, centred on the screen and as tall as its rows within
    /// the screen's room, with the row of `hostName` (if given) in view and its address focused.
    void openAt(const QString &hostName = {});

    QLineEdit *address(const QString &hostName) const;
    QPushButton *checkButton(const QString &hostName) const;
    /// The answer as shown, cut to its column; its tool tip holds the whole.
    QLabel *answer(const QString &hostName) const;
    /// The line beside the buttons: "保存しました。" after a save, empty after a change.
    QLabel *status() const { return m_status; }

    /// "確認": fetches the first document of the source as its address now reads.
    void check(const QString &hostName);
    /// "保存": false, writing nothing, when an address is bad (its row is marked and named).
    bool save();
    /// The addresses differ from what is stored.
    bool changed() const;

    /// The label of a host row, e.g. "天気図 5: 放送局のファクシミリ天気図 (PDF)".
    static QString rowLabel(const QString &hostName);
    /// The address of the first document of a source, from its host's address.
    CheckDocument firstDocument(const Source &source, const QString &host);

signals:
    /// The addresses were written: whoever uses them reads them again.
    void hostsSaved();
    /// "文字を縁取る" was written.
    void outlineChanged(bool outlined);

public slots:
    void reject() override;

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
    void showAnswer(const QString &hostName, const QString &text);
    /// Fetches `url` for the check of `hostName`; on a 404, `fallback` once when given.
    void fetchFirst(const QString &hostName, const QString &url, const QString &fallback,
                    bool wantsImage);
    void edited(const QString &hostName);
    void askToDiscard();

    SettingsStore &m_store;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_status = nullptr;
    QHash<QString, Row> m_rows;
    QHash<QString, QString> m_stored;
    QHash<QString, QPointer<QNetworkReply>> m_checks;
    bool m_discardAnswered = false;
};
