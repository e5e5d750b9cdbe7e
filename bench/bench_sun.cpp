// Sun-time throughput of the table form: one place for a year, and the whole catalogue for a year.
#include "sun/AirportCatalogue.h"
#include "sun/SunTimes.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

struct Place
{
    float latitude;
    float longitude;
};

struct Day
{
    qint16 year;
    qint16 month;
    qint16 day;
};

std::vector<Day> daysOf(int year)
{
    std::vector<Day> days;
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1))
        days.push_back({qint16(date.year()), qint16(date.month()), qint16(date.day())});
    return days;
}

std::vector<Place> cataloguePlaces()
{
    std::vector<Place> places;
    for (const QString &name : catalogueNames()) {
        const std::optional<CatalogueEntry> entry = findCatalogueEntry(name);
        places.push_back({entry->latitude, entry->longitude});
    }
    return places;
}

void yearForOnePlace(benchmark::State &state)
{
    const std::vector<Day> days = daysOf(2026);
    const Place place = cataloguePlaces().at(13); // 新千歳
    for (auto _ : state) {
        for (const Day &d : days) {
            benchmark::DoNotOptimize(
                Calsunrise(d.year, d.month, d.day, place.latitude, place.longitude));
            benchmark::DoNotOptimize(
                Calsunset(d.year, d.month, d.day, place.latitude, place.longitude));
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(days.size()) * 2);
}

void yearForWholeCatalogue(benchmark::State &state)
{
    const std::vector<Day> days = daysOf(2026);
    const std::vector<Place> places = cataloguePlaces();
    for (auto _ : state) {
        for (const Place &place : places) {
            for (const Day &d : days) {
                benchmark::DoNotOptimize(
                    Calsunrise(d.year, d.month, d.day, place.latitude, place.longitude));
                benchmark::DoNotOptimize(
                    Calsunset(d.year, d.month, d.day, place.latitude, place.longitude));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(places.size() * days.size()) * 2);
}

} // namespace

BENCHMARK(yearForOnePlace)->Unit(benchmark::kMicrosecond);
BENCHMARK(yearForWholeCatalogue)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
