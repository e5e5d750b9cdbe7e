// A METAR or TAF read group by group into the Japan Meteorological Agency's terms (pure).
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

/// What a group of a report is.
enum class GroupKind {
    Product,             ///< METAR, SPECI, TAF
    Amendment,           ///< AMD, COR, CCA...
    Station,             ///< the ICAO code
    Time,                ///< DDHHMMZ: observation or issue
    Nil,                 ///< NIL: no report
    Cancelled,           ///< CNL: the forecast is cancelled
    Auto,                ///< AUTO: observed without an observer
    Validity,            ///< DDHH/DDHH of a TAF or of one of its changes
    Wind,                ///< dddffGffKT, VRB, calm
    WindVariation,       ///< dddVddd
    Visibility,          ///< 4 digits, statute miles, a minimum with its direction
    Cavok,               ///< CAVOK
    Rvr,                 ///< Rnn/...: runway visual range
    Weather,             ///< present or forecast weather
    NoWeather,           ///< NSW
    RecentWeather,       ///< RExx
    Cloud,               ///< FEW/SCT/BKN/OVC with base and type
    NoCloud,             ///< NSC, NCD, SKC, CLR
    VerticalVisibility,  ///< VVnnn
    Temperature,         ///< TT/DD
    Pressure,            ///< Qnnnn or Annnn
    WindShear,           ///< WS RWYnn, WS ALL RWY
    RunwayState,         ///< Rnn/EcddBB
    SeaState,            ///< Wtt/Sn
    TemperatureForecast, ///< TXtt/DDHHZ, TNtt/DDHHZ
    Trend,               ///< NOSIG, BECMG, TEMPO (METAR)
    TrendTime,           ///< FMhhmm, TLhhmm, AThhmm (METAR trend)
    Change,              ///< BECMG, TEMPO, PROBnn, FMDDHHMM (TAF)
    Remark,              ///< RMK
    RemarkCloud,         ///< 1CU015: a Japanese station's cloud layer
    RemarkPhrase,        ///< CB 40KM E MOV NE and the like, several words read as one
    RemarkText,          ///< a remark word that is kept as written
    Unknown,             ///< a group that cannot be read: kept as written, never guessed
};

/// One group of the report as written and what it means.
struct DecodedGroup
{
    GroupKind kind = GroupKind::Unknown;
    qsizetype start = 0;  ///< in the report's text
    qsizetype length = 0; ///< a few groups (WS RWY22, 1 1/2SM, remark phrases) span blanks
    QString text;         ///< as written
    QString meaning;      ///< in Japanese
    int change = -1;      ///< index of the TAF change or METAR trend it belongs to; -1: the body
};

struct DecodedWind
{
    std::optional<int> direction; ///< degrees; none when variable or not given
    bool variable = false;        ///< VRB
    std::optional<int> speed;     ///< none when not given ("//")
    std::optional<int> gust;
    bool speedAbove = false; ///< P99: more than the figure
    bool gustAbove = false;
    QString unit;            ///< KT, MPS or KMH
    std::optional<int> from; ///< the dddVddd range
    std::optional<int> to;
};

struct DecodedVisibility
{
    std::optional<int> metres; ///< as reported (9999 stays 9999; statute miles converted)
    bool cavok = false;
};

struct DecodedRvr
{
    QString runway;
    std::optional<int> metres; ///< the (lowest) value as reported
    QString trend;             ///< U, D, N or empty
};

struct DecodedCloud
{
    QString amount;            ///< FEW, SCT, BKN, OVC; empty when not observed (///)
    std::optional<int> baseFt; ///< none when not observed
    QString type;              ///< CB, TCU or empty
};

/// The weather a report observes or forecasts, for one period.
struct DecodedConditions
{
    std::optional<DecodedWind> wind;
    std::optional<DecodedVisibility> visibility;
    QList<DecodedRvr> rvr;
    QStringList weather; ///< each group as written
    QStringList recent;
    QList<DecodedCloud> clouds;
    std::optional<int> verticalVisibilityFt;
};

struct DecodedMetar
{
    QString raw;  ///< the report as given, without the trailing blanks and line breaks
    QString kind; ///< METAR or SPECI
    QString station;
    std::optional<QDateTime> time; ///< UTC
    DecodedConditions conditions;
    std::optional<int> temperature;
    std::optional<int> dewpoint;
    std::optional<int> humidity; ///< percent, from temperature and dew point (Magnus)
    std::optional<int> qnhHpa;   ///< an A group converted when there is no Q group
    QStringList trend;           ///< NOSIG, or each BECMG / TEMPO forecast as written
    QStringList unknown;         ///< groups that could not be read, as written
    QList<DecodedGroup> groups;
};

struct DecodedChange
{
    QString kind; ///< BECMG, TEMPO, FM or PROB
    std::optional<int> probability;
    std::optional<QDateTime> from;
    std::optional<QDateTime> to; ///< none for FM
    DecodedConditions conditions;
};

struct DecodedTaf
{
    QString raw;
    QString station;
    std::optional<QDateTime> time;
    std::optional<QDateTime> validFrom;
    std::optional<QDateTime> validTo;
    DecodedConditions base;
    QList<DecodedChange> changes;
    QStringList unknown;
    QList<DecodedGroup> groups;
};

struct DecodeOptions
{
    bool utcFirst = false; ///< UTC before JST in the times written out (the ticker's 時差)
    bool speci = false;    ///< the source marked the METAR a SPECI
};

/// A METAR or SPECI report (the text after the station file's time line). `fileTimeUtc`, the
/// station file's "YYYY/MM/DD HH:MM", gives the month and year of the report's day: a day after
/// its day belongs to the month before. Without it the moments are none.
DecodedMetar DecodeMetar(const QString &report, const QDateTime &fileTimeUtc,
                         const DecodeOptions &options = {});

/// A TAF (the text after the station file's time line, its continuation lines included). Its
/// periods are the moments nearest the issue time with their day and hour.
DecodedTaf DecodeTaf(const QString &report, const QDateTime &fileTimeUtc,
                     const DecodeOptions &options = {});

/// One airport's decoding, as the window and the command line show it.
struct ReportDecoding
{
    QString station;
    std::optional<DecodedMetar> metar; ///< none when no station file came
    std::optional<DecodedTaf> taf;
    DecodeOptions options; ///< as it was decoded with
};

/// Both station files of `station` decoded; a file that is empty or no station file gives none.
ReportDecoding DecodeStationFiles(const QString &station, const QString &metarFile,
                                  const QString &tafFile, const DecodeOptions &options = {});

/// The Japanese text of a moment, "31日 18:00 JST（31日 09:00 UTC）" or UTC first.
QString MomentText(const QDateTime &utc, bool utcFirst);
