#include "datafilebytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {
struct ToolRun
{
    int exitCode = -1;
    QString out, err;
};
ToolRun runTool(const QStringList &arguments, const QString &program = DESKALARM_ITEMS_PATH)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit)
        return {};
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}
QJsonArray jsonOf(const QString &text) // empty for a text that is no JSON array
{
    return QJsonDocument::fromJson(text.toUtf8()).array();
}

// A data file and a partial record, which the tool never changes (36614 is 2000-03-29).
TEST(DeskalarmItems, ListsItemsWhatIsDueAndWhatComesNext)
{
    const QList<AlarmItem> items{
        // clang-format off
        {"开会", 36614.0, "07:30:00", Daily, "到三楼会议室", kTrue, SoundAndMessage, "/音乐/tune.mid"},
        {"Once", 36614.0, "07:30:00", Once, {}, kFalse, ShowMessage, {}},
        {"  Odd one", std::numeric_limits<double>::quiet_NaN(), "7:30:00", Daily, {}, 1, 5, {}},
        {"Half past", 0.0, {}, HalfPast, "  half  ", kTrue, 9, " /bin/true "},
        {"Hourly", 0.0, {}, OnTheHour, {}, kTrue, ShowMessage, {}},
        {"Blank message", 36614.0, "07:30:00", Once, {}, kTrue, RunFile, "/usr/bin/xterm"},
        // clang-format on
    };
    QTemporaryDir folder;
    const QString path = folder.filePath("MSGINI.DDT"), missing = folder.filePath("missing");
    const QByteArray bytes = recordsOf(items) + "stray";
    ASSERT_TRUE(writeBytes(path, bytes));

    const QStringList lines = runTool({"list", path}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), items.size());
    EXPECT_EQ(lines.at(0), "1 title=\"开会\" date=2000/03/29 time=[07:30:00] repeat=1 enabled=-1 "
                           "action=1 message=\"到三楼会议室\" path=\"/音乐/tune.mid\"");
    EXPECT_TRUE(lines.at(2).startsWith("3 title=\"Odd one\" date=(not a date"));
    EXPECT_TRUE(lines.at(3).contains("date=1899/12/30 time=[        ]"));
    const QJsonValue odd = jsonOf(runTool({"list", path, "--json"}).out).at(2);
    EXPECT_TRUE(odd["date"].isNull() && odd["time"] == "7:30:00 " && odd["enabled"] == 1);

    EXPECT_EQ(runTool({"due", path, "2000-03-29 07:30:00"}).out,
              "1 action=1 (sound and message) message=\"到三楼会议室\" path=\"/音乐/tune.mid\"\n"
              "4 action=9 (nothing, unknown action) message=\"half\" path=\"/bin/true\"\n"
              "6 action=2 (run file) message=\"标题：Blank message(无提示信息)。\" "
              "path=\"/usr/bin/xterm\"\n");
    EXPECT_EQ(runTool({"due", "--json", path, "2000-03-30 08:00:01"}).out.trimmed(), "[\n]");

    // The next firings in time order, ties in table order, an item again and again.
    EXPECT_EQ(runTool({"next", "--count", "3", path, "2000-03-29 07:30:00"}).out,
              "2000-03-29 07:30:00 1 title=\"开会\" action=1 (sound and message) "
              "message=\"到三楼会议室\"\n"
              "2000-03-29 07:30:00 4 title=\"Half past\" action=9 (nothing, unknown action) "
              "message=\"half\"\n"
              "2000-03-29 07:30:00 6 title=\"Blank message\" action=2 (run file) "
              "message=\"标题：Blank message(无提示信息)。\"\n");
    EXPECT_EQ(jsonOf(runTool({"next", "--json", path, "2000-03-29 23:59:59", "--count=2"}).out),
              jsonOf(R"([{"when":"2000-03-30 00:00:00","item":5,"title":"Hourly","action":0,)"
                     R"("message":"标题：Hourly(无提示信息)。","path":""},)"
                     R"({"when":"2000-03-30 00:30:00","item":4,"title":"Half past","action":9,)"
                     R"("message":"half","path":"/bin/true"}])"));
    EXPECT_EQ(runTool({"next", path}).out.count('\n'), 10);

    // Files that cannot be read: 1; wrong arguments: 2; a message either way.
    const std::pair<QStringList, int> rows[] = {
        // clang-format off
        {{"list", missing}, 1}, {{"list", folder.path()}, 1}, {{"due", missing, "2000-03-29 07:30:00"}, 1},
        {{"next", missing}, 1}, {{}, 2}, {{"list", path, path}, 2}, {{"show", path}, 2}, {{"due", path}, 2},
        {{"list", "2000-03-29 07:30:00"}, 2}, {{"list", "--csv", path}, 2}, {{"due", path, "2000-02-30 07:30:00"}, 2},
        {{"due", path, "2000-03-29 7:30:00"}, 2}, {{"due", path, "2000-03-29 24:00:00"}, 2},
        {{"next", path, "now"}, 2}, {{"next", "--count", "0", path}, 2}, {{"next", path, "--count"}, 2},
        {{"due", "--count=3", path, "2000-03-29 07:30:00"}, 2},
        // clang-format on
    };
    for (const auto &[arguments, exitCode] : rows) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty() && !run.err.isEmpty()) << arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(runTool({"list", missing}).err.contains(missing));

    // Without FILE, a copy of the tool reads the data file beside it, as the clock would.
    const QString copy = folder.filePath("deskalarm-items");
    ASSERT_TRUE(QFile::copy(DESKALARM_ITEMS_PATH, copy));
    for (const QStringList &arguments : {QStringList{"list", "--json"},
                                         {"due", "2000-03-29 07:30:00"},
                                         {"next", "--count=3", "2000-03-29 07:30:00"}}) {
        QStringList withFile = arguments;
        withFile.insert(1, path);
        const QString out = runTool(arguments, copy).out;
        EXPECT_TRUE(!out.isEmpty() && out == runTool(withFile).out)
            << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              QStringList({"deskalarm-items", "MSGINI.DDT"}));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
