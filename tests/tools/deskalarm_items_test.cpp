#include "datafile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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

QJsonArray jsonOf(const ToolRun &run)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.array();
}

AlarmItem item(const QString &title, double date, const QString &time, qint16 kind,
               const QString &message, qint16 enabled, qint16 action, const QString &path)
{
    return AlarmItem{title, date, time, kind, message, enabled, action, path};
}

// 2000-03-29 (a Wednesday) is OLE date 36614.
const QList<AlarmItem> kItems{
    item(QStringLiteral("开会"), 36614.0, QStringLiteral("07:30:00"), Daily,
         QStringLiteral("到三楼会议室"), kTrue, SoundAndMessage, QStringLiteral("/音乐/tune.mid")),
    item(QStringLiteral("Once"), 36614.0, QStringLiteral("07:30:00"), Once, {}, kFalse, ShowMessage,
         {}),
    item(QStringLiteral("  Odd one"), std::numeric_limits<double>::quiet_NaN(),
         QStringLiteral("7:30:00"), Daily, {}, 1, 5, {}),
    item(QStringLiteral("Half past"), 0.0, {}, HalfPast, QStringLiteral("  half  "), kTrue, 9,
         QStringLiteral(" /bin/true ")),
    item(QStringLiteral("Hourly"), 0.0, {}, OnTheHour, {}, kTrue, ShowMessage, {}),
    item(QStringLiteral("Blank message"), 36614.0, QStringLiteral("07:30:00"), Once, {}, kTrue,
         RunFile, QStringLiteral("/usr/bin/xterm")),
};

class ToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("MSGINI.DDT"));
        ASSERT_TRUE(writeItemsFile(path, kItems));
    }

    QTemporaryDir folder;
    QString path;
};
} // namespace

TEST_F(ToolTest, ListShowsOneLinePerItem)
{
    const ToolRun run = runTool({QStringLiteral("list"), path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kItems.size());
    EXPECT_EQ(lines.at(0),
              QStringLiteral("1 title=\"开会\" date=2000/03/29 time=[07:30:00] repeat=1 "
                             "enabled=-1 action=1 message=\"到三楼会议室\" "
                             "path=\"/音乐/tune.mid\""));
    EXPECT_TRUE(lines.at(2).startsWith(QStringLiteral("3 title=\"Odd one\" date=(not a date")));
    EXPECT_TRUE(lines.at(2).contains(QStringLiteral("time=[7:30:00 ]")));
    EXPECT_TRUE(lines.at(3).contains(QStringLiteral("time=[        ]")));
    EXPECT_TRUE(lines.at(3).contains(QStringLiteral("date=1899/12/30")));
}

TEST_F(ToolTest, ListAsJsonKeepsTheStoredNumbers)
{
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("list"), QStringLiteral("--json"), path},
          QStringList{QStringLiteral("list"), path, QStringLiteral("--json")}}) {
        const ToolRun run = runTool(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonArray items = jsonOf(run);
        ASSERT_EQ(items.size(), kItems.size());
        const QJsonObject first = items.at(0).toObject();
        EXPECT_EQ(first.value(QStringLiteral("item")).toInt(), 1);
        EXPECT_EQ(first.value(QStringLiteral("title")).toString(), QStringLiteral("开会"));
        EXPECT_EQ(first.value(QStringLiteral("date")).toDouble(), 36614.0);
        EXPECT_EQ(first.value(QStringLiteral("time")).toString(), QStringLiteral("07:30:00"));
        EXPECT_EQ(first.value(QStringLiteral("repeat")).toInt(), 1);
        EXPECT_EQ(first.value(QStringLiteral("message")).toString(),
                  QStringLiteral("到三楼会议室"));
        EXPECT_EQ(first.value(QStringLiteral("enabled")).toInt(), -1);
        EXPECT_EQ(first.value(QStringLiteral("action")).toInt(), 1);
        EXPECT_EQ(first.value(QStringLiteral("path")).toString(), QStringLiteral("/音乐/tune.mid"));

        const QJsonObject odd = items.at(2).toObject();
        EXPECT_TRUE(odd.value(QStringLiteral("date")).isNull());
        EXPECT_EQ(odd.value(QStringLiteral("title")).toString(), QStringLiteral("Odd one"));
        EXPECT_EQ(odd.value(QStringLiteral("time")).toString(), QStringLiteral("7:30:00 "));
        EXPECT_EQ(odd.value(QStringLiteral("enabled")).toInt(), 1);
        EXPECT_EQ(odd.value(QStringLiteral("action")).toInt(), 5);
    }
}

TEST_F(ToolTest, DueListsTheFiringsInTableOrder)
{
    const ToolRun run =
        runTool({QStringLiteral("due"), path, QStringLiteral("2000-03-29 07:30:00")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("1 action=1 (sound and message) message=\"到三楼会议室\" "
                                      "path=\"/音乐/tune.mid\"\n"
                                      "4 action=9 (nothing, unknown action) message=\"half\" "
                                      "path=\"/bin/true\"\n"
                                      "6 action=2 (run file) message=\"标题：Blank "
                                      "message(无提示信息)。\" path=\"/usr/bin/xterm\"\n"));
}

TEST_F(ToolTest, DueAsJson)
{
    const ToolRun run = runTool({QStringLiteral("due"), QStringLiteral("--json"), path,
                                 QStringLiteral("2000-03-30 08:00:00")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray firings = jsonOf(run);
    ASSERT_EQ(firings.size(), 1);
    const QJsonObject hourly = firings.at(0).toObject();
    EXPECT_EQ(hourly.value(QStringLiteral("item")).toInt(), 5);
    EXPECT_EQ(hourly.value(QStringLiteral("action")).toInt(), 0);
    EXPECT_EQ(hourly.value(QStringLiteral("message")).toString(),
              QStringLiteral("标题：Hourly(无提示信息)。"));
    EXPECT_EQ(hourly.value(QStringLiteral("path")).toString(), QString());

    const ToolRun none = runTool({QStringLiteral("due"), path,
                                  QStringLiteral("2000-03-30 08:00:01"), QStringLiteral("--json")});
    ASSERT_EQ(none.exitCode, 0);
    EXPECT_TRUE(jsonOf(none).isEmpty());
}

TEST_F(ToolTest, BadArgumentsAndUnreadableFilesFail)
{
    const QString missing = folder.filePath(QStringLiteral("missing.ddt"));
    const ToolRun noFile = runTool({QStringLiteral("list"), missing});
    EXPECT_EQ(noFile.exitCode, 1);
    EXPECT_TRUE(noFile.out.isEmpty());
    EXPECT_TRUE(noFile.err.contains(missing));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(runTool({QStringLiteral("list"), folder.path()}).exitCode, 1);
    EXPECT_EQ(
        runTool({QStringLiteral("due"), missing, QStringLiteral("2000-03-29 07:30:00")}).exitCode,
        1);

    const QList<QStringList> wrong{
        {},
        {QStringLiteral("list")},
        {QStringLiteral("list"), path, path},
        {QStringLiteral("show"), path},
        {QStringLiteral("list"), QStringLiteral("--csv"), path},
        {QStringLiteral("due"), path},
        {QStringLiteral("due"), path, QStringLiteral("2000-02-30 07:30:00")},
        {QStringLiteral("due"), path, QStringLiteral("2000-03-29 7:30:00")},
        {QStringLiteral("due"), path, QStringLiteral("2000-03-29T07:30:00")},
        {QStringLiteral("due"), path, QStringLiteral("2000-03-29 24:00:00")},
    };
    for (const QStringList &arguments : wrong) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

TEST_F(ToolTest, NeverChangesTheFile)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("stray"); // a partial record the program would drop at its next save
    file.close();
    const auto digest = [this] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = digest();
    runTool({QStringLiteral("list"), path});
    runTool({QStringLiteral("list"), QStringLiteral("--json"), path});
    runTool({QStringLiteral("due"), path, QStringLiteral("2000-03-29 07:30:00")});
    EXPECT_EQ(digest(), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
