// Start-up without a display, up to the first tick: the data file is loaded and
// the clock panel is built, which runs its first tick (time, caption and due
// check). Measured with an empty table and with a full one of 32,767 items.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "alarmtable.h"
#include "artwork.h"
#include "datafile.h"
#include "frmmain.h"

#include <QApplication>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>
#include <vector>

namespace {
// Mixed ASCII and Chinese texts of typical lengths; nothing due in the run.
QList<AlarmItem> itemsForStartUp(int count)
{
    QList<AlarmItem> items;
    items.reserve(count);
    for (int n = 0; n < count; ++n) {
        AlarmItem item;
        const bool chinese = n % 2 == 0;
        item.Title =
            chinese ? QStringLiteral("每日提醒 %1").arg(n) : QStringLiteral("Reminder %1").arg(n);
        item.AlarmDate = 36614.0 + n % 3000;
        item.AlarmTime = QStringLiteral("%1:%2:%3")
                             .arg(n % 24, 2, 10, QLatin1Char('0'))
                             .arg(n / 24 % 60, 2, 10, QLatin1Char('0'))
                             .arg(n / 1440 % 60, 2, 10, QLatin1Char('0'));
        item.RepeatKind = qint16(n % 5); // once .. yearly
        item.Message = chinese
                           ? QStringLiteral("该去开会了，会议室在三楼东侧。第%1项。").arg(n)
                           : QStringLiteral("Time for the meeting, room 3 east. Item %1.").arg(n);
        item.Enabled = n % 10 == 0 ? kFalse : kTrue;
        item.Action = qint16(n % 3);
        if (item.Action != ShowMessage)
            item.FilePath = QStringLiteral("/home/user/sounds/alarm%1.wav").arg(n % 50);
        items.append(item);
    }
    return items;
}

// A data file of `count` items in a folder of its own, used as the program's.
class DataFolder
{
public:
    explicit DataFolder(int count)
    {
        const QString path = m_folder.filePath(QStringLiteral("MSGINI.DDT"));
        setDataFilePath(path);
        setStoreFailureReporter(
            [](const QString &reason) { qFatal("%s", qUtf8Printable(reason)); });
        if (count > 0 && !writeItemsFile(path, itemsForStartUp(count)))
            qFatal("cannot write %s", qUtf8Printable(path));
    }
    ~DataFolder()
    {
        AlarmItems.clear();
        setStoreFailureReporter({});
        setDataFilePath({});
    }

private:
    QTemporaryDir m_folder;
};

// How many libraries whose file name contains `part` the process has mapped.
int mappedLibrariesLike(const char *part)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return -1;
    QSet<QByteArray> files;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QByteArray file = line.mid(line.lastIndexOf(' ') + 1);
        if (file.contains(part))
            files.insert(file);
    }
    return int(files.size());
}

// The first panel of the process, with an empty table: it pays what only a
// program's first window pays (style, fonts, artwork source, thread pools), as
// the real start-up does. One sample per run of this program; registered first.
void BM_ColdStartUpToFirstTick(benchmark::State &state)
{
    DataFolder folder(0);
    std::optional<frmMain> clock;
    for (auto _ : state) {
        LoadAlarmItems();
        clock.emplace();
        benchmark::DoNotOptimize(clock->lblCurTime[0]);
    }
    // What start-up must not bring in yet: other windows (menu, dialogs) and the
    // sound libraries, which only a later action needs.
    state.counters["windows"] = double(QApplication::topLevelWidgets().size());
    state.counters["sound_libs"] = double(mappedLibrariesLike("libSDL2"));
}
BENCHMARK(BM_ColdStartUpToFirstTick)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The tables of earlier iterations, freed after the timed loop: at start-up
// there is no earlier table, and freeing 32,767 items leaves the allocator work
// that the next load would otherwise pay for.
class TableGraveyard
{
public:
    void bury()
    {
        m_tables.push_back(AlarmItems.items()); // shares the list, so clear() frees nothing
        AlarmItems.clear();
    }

private:
    std::vector<QList<AlarmItem>> m_tables;
};

// What Main does before the event loop takes over: load, build the panel (its
// loading runs the first tick). Tearing the panel down is not timed.
void BM_StartUpToFirstTick(benchmark::State &state)
{
    DataFolder folder(int(state.range(0)));
    TableGraveyard graveyard;
    std::optional<frmMain> clock;
    for (auto _ : state) {
        LoadAlarmItems();
        clock.emplace();
        benchmark::DoNotOptimize(clock->lblCurTime[0]);
        state.PauseTiming();
        state.counters["items"] = AlarmItems.count();
        clock.reset();
        graveyard.bury();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstTick)
    ->Arg(0)
    ->Arg(kMaxItems)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same, then shown and painted once, as far as the offscreen platform goes.
void BM_StartUpShown(benchmark::State &state)
{
    DataFolder folder(int(state.range(0)));
    TableGraveyard graveyard;
    std::optional<frmMain> clock;
    for (auto _ : state) {
        LoadAlarmItems();
        clock.emplace();
        clock->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        clock.reset();
        graveyard.bury();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpShown)
    ->Arg(0)
    ->Arg(kMaxItems)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The parts of the panel's construction, to see where its time goes.
void BM_PanelArtwork(benchmark::State &state)
{
    for (auto _ : state) {
        QPixmap background = Artwork::panelBackground(1.0);
        for (int i = 0; i < 3; ++i) {
            benchmark::DoNotOptimize(Artwork::rightPanelFrame(i, 1, 1.0));
            benchmark::DoNotOptimize(Artwork::rightPanelFrame(1, i, 1.0));
        }
        benchmark::DoNotOptimize(background);
    }
}
BENCHMARK(BM_PanelArtwork)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProgramIcon(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Artwork::programIcon());
}
BENCHMARK(BM_ProgramIcon)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
