#include "datafilebytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(DESKALARM_ITEMS_PATH), arguments);
    if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit)
        return {};
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

QJsonArray jsonOf(const QString &text) // empty for a text that is no JSON array
{
    return QJsonDocument::fromJson(text.toUtf8()).array();
}

// 2000-03-29 is OLE date 36614; it is a Wednesday.
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const QList<AlarmItem> kItems{
    // clang-format off
    {"开会", 36614.0, "07:30:00", Daily, "到三楼会议室", kTrue, SoundAndMessage, "/音乐/tune.mid"},
    {"Once", 36614.0, "07:30:00", Once, {}, kFalse, ShowMessage, {}},
    {"  Odd one", kNaN, "7:30:00", Daily, {}, 1, 5, {}},
    {"Half past", 0.0, {}, HalfPast, "  half  ", kTrue, 9, " /bin/true "},
    {"Hourly", 0.0, {}, OnTheHour, {}, kTrue, ShowMessage, {}},
    {"Blank message", 36614.0, "07:30:00", Once, {}, kTrue, RunFile, "/usr/bin/xterm"},
    // clang-format on
};

// A data file of kItems and a partial record, which the tool must never change.
class ToolTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(writeBytes(path, bytes)); }
    void TearDown() override
    {
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("MSGINI.DDT"));
    const QByteArray bytes = recordsOf(kItems) + "stray";
};

TEST_F(ToolTest, ListShowsEveryItemAsTextOrJson)
{
    const ToolRun run = runTool({"list", path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kItems.size());
    EXPECT_EQ(lines.at(0), QStringLiteral("1 title=\"开会\" date=2000/03/29 time=[07:30:00] "
                                          "repeat=1 enabled=-1 action=1 message=\"到三楼会议室\" "
                                          "path=\"/音乐/tune.mid\""));
    EXPECT_TRUE(lines.at(2).startsWith("3 title=\"Odd one\" date=(not a date"));
    EXPECT_TRUE(lines.at(2).contains("time=[7:30:00 ]"));
    EXPECT_TRUE(lines.at(3).contains("date=1899/12/30 time=[        ]"));

    // As JSON, with the stored numbers; --json may come before or after the file.
    const QJsonArray expected = jsonOf(QStringLiteral(
        R"([{"item":1,"title":"开会","date":36614,"time":"07:30:00","repeat":1,)"
        R"("message":"到三楼会议室","enabled":-1,"action":1,"path":"/音乐/tune.mid"},)"
        R"({"item":3,"title":"Odd one","date":null,"time":"7:30:00 ","repeat":1,)"
        R"("message":"","enabled":1,"action":5,"path":""}])"));
    for (const QStringList &arguments :
         {QStringList{"list", "--json", path}, QStringList{"list", path, "--json"}}) {
        const ToolRun json = runTool(arguments);
        ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
        const QJsonArray items = jsonOf(json.out);
        ASSERT_EQ(items.size(), kItems.size());
        EXPECT_EQ(items.at(0), expected.at(0));
        EXPECT_EQ(items.at(2), expected.at(1));
    }
}

TEST_F(ToolTest, DueListsTheFiringsInTableOrder)
{
    const ToolRun run = runTool({"due", path, "2000-03-29 07:30:00"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("1 action=1 (sound and message) message=\"到三楼会议室\" "
                                      "path=\"/音乐/tune.mid\"\n"
                                      "4 action=9 (nothing, unknown action) message=\"half\" "
                                      "path=\"/bin/true\"\n"
                                      "6 action=2 (run file) message=\"标题：Blank "
                                      "message(无提示信息)。\" path=\"/usr/bin/xterm\"\n"));
    const ToolRun json = runTool({"due", "--json", path, "2000-03-30 08:00:00"});
    EXPECT_EQ(jsonOf(json.out),
              jsonOf(QStringLiteral(R"([{"item":5,"action":0,)"
                                    R"("message":"标题：Hourly(无提示信息)。","path":""}])")));
    const ToolRun none = runTool({"due", path, "2000-03-30 08:00:01", "--json"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out.trimmed(), "[\n]");
}

TEST_F(ToolTest, FailsWith1ForFilesAnd2ForArguments)
{
    const QString missing = folder.filePath(QStringLiteral("missing.ddt"));
    const QString moment = QStringLiteral("2000-03-29 07:30:00");
    const std::pair<QStringList, int> rows[] = {
        // clang-format off
        {{"list", missing}, 1}, {{"list", folder.path()}, 1}, {{"due", missing, moment}, 1},
        {{}, 2}, {{"list"}, 2}, {{"list", path, path}, 2}, {{"show", path}, 2},
        {{"list", "--csv", path}, 2}, {{"due", path}, 2}, {{"due", path, "2000-02-30 07:30:00"}, 2},
        {{"due", path, "2000-03-29 7:30:00"}, 2}, {{"due", path, "2000-03-29T07:30:00"}, 2},
        {{"due", path, "2000-03-29 24:00:00"}, 2},
        // clang-format on
    };
    for (const auto &[arguments, exitCode] : rows) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_TRUE(runTool({"list", missing}).err.contains(missing));
    EXPECT_FALSE(QFile::exists(missing));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
