// The briefing page as HTML: headings, the reports as text and the charts as images.
#include "web/BriefingPage.h"

#include "web/FailurePages.h"

namespace {

QString chartSection(const BriefingChart &chart)
{
    const QStringList urls = chart.address.urls();
    QString heading = chart.heading.toHtmlEscaped();
    if (!chart.issued.isEmpty())
        heading += QStringLiteral(" <span class=\"issued\">%1</span>").arg(chart.issued.first());
    return QStringLiteral("<section class=\"chart\"><h2>%1</h2>"
                          "<img src=\"%2\" alt=\"%3\" data-urls=\"%4\" data-issued=\"%5\">"
                          "</section>\n")
        .arg(heading, urls.first().toHtmlEscaped(), chart.heading.toHtmlEscaped(),
             urls.join(QLatin1Char(' ')).toHtmlEscaped(),
             chart.issued.join(QLatin1Char('|')).toHtmlEscaped());
}

// An image that fails is tried at its next address (the run before); the last failure is said
// in words, where the chart would stand.
constexpr const char *fallbackScript = R"(<script>
for (const img of document.images) {
  const urls = img.dataset.urls.split(' ');
  const issued = img.dataset.issued ? img.dataset.issued.split('|') : [];
  let next = 1;
  img.addEventListener('error', () => {
    const heading = img.parentElement.querySelector('.issued');
    if (next < urls.length) {
      if (heading && issued[next]) heading.textContent = issued[next];
      img.src = urls[next++];
      return;
    }
    const failed = document.createElement('p');
    failed.className = 'failed';
    failed.textContent = 'この図を読み込めませんでした: ' + urls.join(' , ');
    img.replaceWith(failed);
  });
}
</script>)";

} // namespace

BriefingPage MakeBriefingPage(const JmaChoice &choice, const SourceHosts &hosts,
                              const QDateTime &utcNow)
{
    const ChartTarget &target = choice.target;
    BriefingPage page;
    page.title = choice.title;
    const BriefingCharts entries = briefingCharts();
    for (const JmaItem *item : entries.items) {
        BriefingChart chart;
        chart.address = jmaAddress(hosts, *item, utcNow, target.icao, choice.areaCode);
        switch (item->file) {
        case JmaFile::Airport:
            chart.heading = jmaAirportCaption(target, *item);
            break;
        case JmaFile::Area:
            // An airport outside the catalogue has no area: its chart is left out.
            if (choice.areaCode.isEmpty())
                continue;
            chart.heading = QStringLiteral("下層悪天予想図 %1 - %2")
                                .arg(target.area, QString::fromUtf8(item->caption));
            break;
        case JmaFile::ThreeHourly:
            chart.heading = QString::fromUtf8(item->caption);
            chart.issued.append(jmaIssueText(chart.address.path));
            for (const QString &path : chart.address.fallbackPaths)
                chart.issued.append(jmaIssueText(path));
            break;
        default:
            chart.heading = QString::fromUtf8(item->caption);
            break;
        }
        page.charts.append(chart);
    }
    if (!page.charts.isEmpty() && !page.charts.first().address.configured()) {
        page.html = notConfiguredPage(page.charts.first().address, page.title);
        return page;
    }

    const QString report =
        target.briefing.isEmpty()
            ? QStringLiteral("<p>この飛行場の通報はまだ取得されていません。ティッカーが表示した"
                             "あとで開き直してください。</p>")
            : QStringLiteral("<pre>%1</pre>").arg(target.briefing.toHtmlEscaped());
    QString sections;
    for (const BriefingChart &chart : page.charts)
        sections += chartSection(chart);
    if (choice.areaCode.isEmpty())
        sections += QStringLiteral("<p>この飛行場の下層悪天予想図の地域が分からないため、"
                                   "その図は載せていません。</p>");
    page.html =
        QStringLiteral(
            "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"><title>%1</title>"
            "<style>"
            "body { font-family: 'IPAPGothic', 'Noto Sans CJK JP', sans-serif; margin: 1em; }"
            "pre { font-family: 'IPAGothic', 'Noto Sans Mono CJK JP', monospace;"
            " white-space: pre-wrap; }"
            "h1 { font-size: 1.3em; } h2 { font-size: 1.1em; }"
            "img { display: block; max-width: 100%; }"
            ".failed { color: #a00000; }"
            "@media print { section.chart { break-before: page; }"
            " img { max-height: 23cm; object-fit: contain; } }"
            "</style></head><body>"
            "<h1>%1</h1><p>作成: %2 UTC（出典：気象庁）</p>"
            "<h2>METAR・TAF の解読</h2>%3\n%4%5</body></html>")
            .arg(page.title.toHtmlEscaped(),
                 utcNow.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm")), report, sections,
                 QString::fromUtf8(fallbackScript));
    return page;
}
