// Loading and saving a full data file of 32,767 items (about 14 MB), the save
// including its flush to disk. Budgets: load under 60 ms, save under 150 ms.
#include "alarmtable.h"
#include "datafile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {
// Half the items in Chinese, half in ASCII, with texts of typical lengths.
QList<AlarmItem> fullTable()
{
    QList<AlarmItem> items;
    items.reserve(kMaxItems);
    for (int n = 0; n < kMaxItems; ++n) {
        AlarmItem item;
        const bool chinese = n % 2 == 0;
        item.Title =
            chinese ? QStringLiteral("开会提醒 %1").arg(n) : QStringLiteral("Meeting %1").arg(n);
        item.AlarmDate = 36614.0 + n % 4000;
        item.AlarmTime = QStringLiteral("%1:%2:%3")
                             .arg(n % 24, 2, 10, QLatin1Char('0'))
                             .arg(n % 60, 2, 10, QLatin1Char('0'))
                             .arg(n / 60 % 60, 2, 10, QLatin1Char('0'));
        item.RepeatKind = qint16(n % 7);
        item.Message =
            chinese ? QStringLiteral("请到三楼会议室参加每周例会，记得带上笔记本。第%1次。").arg(n)
                    : QStringLiteral("Weekly meeting in room 3, bring the notes. No. %1").arg(n);
        item.Enabled = n % 5 == 0 ? kFalse : kTrue;
        item.Action = qint16(n % 5);
        if (n % 3 == 0)
            item.FilePath = chinese ? QStringLiteral("/home/用户/音乐/闹钟%1.mid").arg(n)
                                    : QStringLiteral("/home/user/sounds/alarm%1.wav").arg(n);
        items.append(item);
    }
    return items;
}

// The data file lives in a temporary folder on the disk the tests use.
struct BenchFolder
{
    BenchFolder()
    {
        setDataFilePath(folder.filePath(QStringLiteral("MSGINI.DDT")));
        setStoreFailureReporter(
            [](const QString &reason) { qFatal("%s", qUtf8Printable(reason)); });
    }
    ~BenchFolder()
    {
        setStoreFailureReporter({});
        setDataFilePath({});
    }
    QTemporaryDir folder;
};

void BM_LoadAlarmItems(benchmark::State &state)
{
    BenchFolder folder;
    AlarmItems.replaceAll(fullTable());
    SaveAlarmItems();
    for (auto _ : state) {
        // The program loads once, at start, into an empty table: the table of
        // the previous round is freed, and the heap tidied, outside the timing.
        state.PauseTiming();
        AlarmItems.clear();
        malloc_trim(0);
        state.ResumeTiming();
        LoadAlarmItems();
        benchmark::DoNotOptimize(AlarmItems.count());
    }
    state.counters["items"] = AlarmItems.count();
    // The heap the loaded table takes.
    AlarmItems.clear();
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    LoadAlarmItems();
    state.counters["table_MB"] = double(mallinfo2().uordblks - before) / 1e6;
    AlarmItems.clear();
}
BENCHMARK(BM_LoadAlarmItems)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9);

void BM_SaveAlarmItems(benchmark::State &state)
{
    BenchFolder folder;
    AlarmItems.replaceAll(fullTable());
    for (auto _ : state)
        SaveAlarmItems();
    state.counters["items"] = AlarmItems.count();
    AlarmItems.clear();
}
BENCHMARK(BM_SaveAlarmItems)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9);

// The codec alone, without the file: every record encoded and decoded once.
void BM_RecordCodecRoundTrip(benchmark::State &state)
{
    const QList<AlarmItem> items = fullTable();
    for (auto _ : state) {
        for (const AlarmItem &item : items) {
            const QByteArray record = encodeRecord(item);
            benchmark::DoNotOptimize(decodeRecord(record.constData()));
        }
    }
}
BENCHMARK(BM_RecordCodecRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
} // namespace

BENCHMARK_MAIN();
