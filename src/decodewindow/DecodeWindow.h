// The window "解読": one airport's METAR and TAF read out group by group in Japanese.
#pragma once

#include "report/ReportBuilder.h"
#include "report/ReportDecode.h"
#include "report/ReportSource.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QTableWidget;
class SettingsStore;

/// At the top the reports as received, in the fixed-pitch font; below, one row per group: the
/// group as written and its meaning. Hovering a row marks its group in the text and hovering a
/// group marks its row. It shows the airport the ticker shows and follows it; the list `target`
/// picks another target instead, decoded from what the ticker last fetched of it or fetched
/// here when the ticker has nothing of it.
class DecodeWindow final : public QDialog
{
    Q_OBJECT
public:
    DecodeWindow(SettingsStore &store, const ReportBuilder &builder, QWidget *owner = nullptr);
    ~DecodeWindow() override;

    /// The ticker shows `airport` now: shown here too unless the user picked another target.
    void tickerShows(const QString &airport);
    /// The target list was saved: the list follows, the pick kept while it is still a target.
    void targetsChanged();
    /// The airport whose decoding is shown or being fetched.
    QString airport() const { return m_airport; }
    /// Whether a fetch of its own is under way.
    bool isFetching() const { return m_source.isFetching(); }

    QComboBox *targetList() const { return m_target; }
    QPlainTextEdit *reportText() const { return m_text; }
    QTableWidget *groupRows() const { return m_rows; }
    QLabel *status() const { return m_status; }
    /// The row marked by the pointer, in the rows and in the text; -1 for none.
    int markedRow() const { return m_marked; }
    /// Marks row `row` and its group in the text (a heading row or -1: nothing).
    void mark(int row);

signals:
    /// The decoding of `airport` is shown, the one of the ticker's files at once or one
    /// fetched here.
    void decodingShown(const QString &airport);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    /// Where a row's group stands in the text; a heading row has none.
    struct Span
    {
        qsizetype start = -1;
        qsizetype length = 0;
    };

    void fillTargets();
    void targetPicked(int index);
    /// `keepOwn`: what this window fetched of the same airport stays (the ticker's next build
    /// of it); a pick starts afresh.
    void showAirport(const QString &airport, bool keepOwn);
    /// Fetches whichever of the two station files is still missing, then shows them.
    void fetchMissing();
    void fetched(ReportSource::Product product, const FetchedReport &report);
    void showDecoding();
    void addHeading(const QString &text);
    void addGroups(const QList<DecodedGroup> &groups, qsizetype offset);
    /// The row whose group holds the character at `position` of the text; -1 for none.
    int rowAtText(qsizetype position) const;
    /// The character of the text under `point` of its viewport; -1 past a line's end.
    qsizetype characterAt(const QPoint &point) const;

    SettingsStore &m_store;
    const ReportBuilder &m_builder;
    ReportSource m_source;
    QString m_tickerAirport;
    QString m_airport;
    QString m_decodedAirport;             ///< whose decoding the rows hold
    std::optional<FetchedReport> m_metar; ///< none while neither the ticker nor this window has it
    std::optional<FetchedReport> m_taf;
    QStringList m_failed; ///< the products this window's own fetches got nothing for
    QComboBox *m_target;
    QLabel *m_status;
    QPlainTextEdit *m_text;
    QTableWidget *m_rows;
    QList<Span> m_spans; ///< one per row
    int m_marked = -1;
    bool m_placed = false;
};
