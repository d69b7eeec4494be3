// One tick's due check over a full table of 32,767 items, and the searches for
// the next firings and for the missed ones of such a table.
#include "clock.h"
#include "duecheck.h"
#include "missedfirings.h"
#include "nextfirings.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {
// A plausible table: mostly daily, weekly and one-shot reminders spread over the
// day, some of the other kinds, a few disabled; a handful due at 07:30:00.
AlarmTable fullTable()
{
    QRandomGenerator random(42);
    AlarmTable table;
    for (int k = 1; k <= kMaxItems; ++k) {
        AlarmItem item;
        item.Title = QStringLiteral("提醒 %1").arg(k);
        item.Message = QStringLiteral("该做第 %1 件事了").arg(k);
        item.AlarmDate = 36500.0 + random.bounded(4000);
        const int second = int(random.bounded(86400));
        item.AlarmTime = QTime(0, 0).addSecs(second).toString(QStringLiteral("HH:mm:ss"));
        static const qint16 kinds[] = {0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 4, 4};
        item.RepeatKind = kinds[random.bounded(int(std::size(kinds)))];
        if (random.bounded(200) == 0)
            item.RepeatKind = random.bounded(2) ? OnTheHour : HalfPast;
        if (k % 10000 == 0) { // the few due at the benchmark's second
            item.RepeatKind = Daily;
            item.AlarmTime = QStringLiteral("07:30:17");
        }
        item.Enabled = random.bounded(10) == 0 && k % 10000 != 0 ? kFalse : kTrue;
        item.Action = qint16(random.bounded(5));
        table.append(item);
    }
    return table;
}

class NullHost : public DueScanHost
{
public:
    int fired = 0;
    void stopHeartbeat() override {}
    void startHeartbeat() override {}
    void fireItem(const QString &, qint16, const QString &) override { ++fired; }
};

void BM_CheckDueItems(benchmark::State &state)
{
    const AlarmTable table = fullTable();
    const TimeSample sample = takeTimeSample(QDateTime(QDate(2000, 3, 29), QTime(7, 30, 17)));
    NullHost host;
    CheckDueItems(table, sample, host); // builds the index once, as the first tick does
    for (auto _ : state) {
        CheckDueItems(table, sample, host);
        benchmark::DoNotOptimize(host.fired);
    }
    state.counters["due"] = double(dueFirings(table, sample).size());
}
BENCHMARK(BM_CheckDueItems)->Unit(benchmark::kMicrosecond);

// The first scan after the table changed, which rebuilds the index.
void BM_FirstScanAfterAChange(benchmark::State &state)
{
    AlarmTable table = fullTable();
    const TimeSample sample = takeTimeSample(QDateTime(QDate(2000, 3, 29), QTime(7, 30, 17)));
    NullHost host;
    for (auto _ : state) {
        state.PauseTiming();
        table.setEnabled(1, kTrue);
        state.ResumeTiming();
        CheckDueItems(table, sample, host);
    }
}
BENCHMARK(BM_FirstScanAfterAChange)->Unit(benchmark::kMicrosecond);
// `deskalarm-items next`: the next 10 firings of a full table.
void BM_NextFirings(benchmark::State &state)
{
    const AlarmTable table = fullTable();
    const qint64 from = QDateTime(QDate(2000, 3, 29), QTime(7, 30, 17)).toSecsSinceEpoch();
    for (auto _ : state)
        benchmark::DoNotOptimize(nextFirings(table, from, 10));
    state.counters["firings"] = double(nextFirings(table, from, 10).size());
}
BENCHMARK(BM_NextFirings)->Unit(benchmark::kMillisecond);

// A computer off for weeks: what a full table missed over the whole look-back.
void BM_MissedFirings(benchmark::State &state)
{
    const AlarmTable table = fullTable();
    const qint64 before = QDateTime(QDate(2000, 3, 29), QTime(7, 30, 17)).toSecsSinceEpoch();
    const auto exists = [](const QString &) { return true; };
    for (auto _ : state)
        benchmark::DoNotOptimize(missedFirings(table, before - 60 * 86400, before, exists));
    state.counters["items"] = double(missedFirings(table, 0, before, exists).size());
}
BENCHMARK(BM_MissedFirings)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
