// The tab "表示": its controls, and the option rows behind them.
#include "settings/DisplayTab.h"

#include "desktop/MessageBox.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setContentsMargins(20, 0, 0, 6);
    return label;
}

} // namespace

DisplayTab::DisplayTab(SettingsStore &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    setObjectName(QStringLiteral("display"));
    m_showCategory = new QCheckBox(QStringLiteral("飛行区分を表示"), this);
    m_showCategory->setObjectName(QStringLiteral("showCategory"));
    m_markOld = new QCheckBox(QStringLiteral("古い METAR に経過時間を表示"), this);
    m_markOld->setObjectName(QStringLiteral("markOld"));
    m_oldMinutes = new QComboBox(this);
    m_oldMinutes->setObjectName(QStringLiteral("oldMinutes"));
    for (int minutes : DisplayOptions::oldMinuteChoices)
        m_oldMinutes->addItem(QStringLiteral("%1 分").arg(minutes), minutes);
    m_notifyWorse = new QCheckBox(QStringLiteral("飛行区分の悪化を通知"), this);
    m_notifyWorse->setObjectName(QStringLiteral("notifyWorse"));
    m_outline = new QCheckBox(QStringLiteral("文字を縁取る"), this);
    m_outline->setObjectName(QStringLiteral("outline"));

    // The minutes stand inside the sentence that tells what they do.
    auto *oldRow = new QHBoxLayout;
    oldRow->setContentsMargins(20, 0, 0, 6);
    oldRow->addWidget(new QLabel(QStringLiteral("観測から"), this));
    oldRow->addWidget(m_oldMinutes);
    oldRow->addWidget(new QLabel(
        QStringLiteral("を過ぎた METAR の時刻の後に、経過時間を出します (例:「95 MIN OLD」)。"),
        this));
    oldRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_showCategory);
    layout->addWidget(
        note(QStringLiteral("METAR の時刻の後に VFR・MVFR・IFR・LIFR を出し、ハンドルをその色"
                            "（緑・青・赤・紫）にします。"),
             this));
    layout->addWidget(m_markOld);
    layout->addLayout(oldRow);
    layout->addWidget(m_notifyWorse);
    // Station files carry no "SPECI" before the report: only the second source's can be told.
    layout->addWidget(
        note(QStringLiteral("チェックした空港の新しい METAR の飛行区分が前より悪くなったとき、"
                            "デスクトップに通知します。SPECI (特別観測) も通知しますが、SPECI "
                            "と分かるのは予備の通報サーバー (Data API) から取得した報告だけです。"),
             this));
    layout->addWidget(m_outline);
    layout->addWidget(note(QStringLiteral("文字とハンドルを黒か白 (文字色から見やすい方) で縁取り、"
                                          "明るい壁紙や黄色い壁紙の上でも読めるようにします。"),
                           this));
    layout->addStretch();

    load();
    for (QCheckBox *box : {m_showCategory, m_markOld, m_notifyWorse, m_outline})
        connect(box, &QCheckBox::toggled, this, &DisplayTab::apply);
    connect(m_oldMinutes, &QComboBox::currentIndexChanged, this, &DisplayTab::apply);
}

void DisplayTab::load()
{
    m_loading = true;
    const DisplayOptions options = LoadDisplayOptions(m_store);
    m_showCategory->setChecked(options.showCategory);
    m_markOld->setChecked(options.markOld);
    m_oldMinutes->setCurrentIndex(m_oldMinutes->findData(options.oldMinutes));
    m_oldMinutes->setEnabled(options.markOld);
    m_notifyWorse->setChecked(options.notifyWorse);
    m_outline->setChecked(options.outline);
    m_loading = false;
}

void DisplayTab::apply()
{
    if (m_loading)
        return;
    DisplayOptions options;
    options.showCategory = m_showCategory->isChecked();
    options.markOld = m_markOld->isChecked();
    options.oldMinutes = m_oldMinutes->currentData().toInt();
    options.notifyWorse = m_notifyWorse->isChecked();
    options.outline = m_outline->isChecked();
    m_oldMinutes->setEnabled(options.markOld);
    const bool outlineWas = LoadDisplayOptions(m_store).outline;
    if (SaveDisplayOptions(m_store, options)) {
        if (options.outline != outlineWas)
            emit outlineChanged(options.outline);
        return;
    }
    const QString error = m_store.errorString();
    load();
    ShowMessage(window(), QMessageBox::Warning, window()->windowTitle(), error);
}
