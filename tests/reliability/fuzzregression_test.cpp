// The fuzzers' seed inputs and every input that ever broke a property, run
// through the same checks as in the fuzzers.

#include "fuzzcheck.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {
using Check = std::function<QStringList(const QByteArray &)>;

// Checks every file in fuzz/corpus/<target> and fuzz/regressions/<target>;
// returns how many there were.
int checkSavedInputs(const char *target, const Check &check)
{
    int count = 0;
    for (const char *kind : {"corpus", "regressions"}) {
        const QDir folder(QStringLiteral(DESKALARM_FUZZ_DIR "/%1/%2")
                              .arg(QLatin1String(kind), QLatin1String(target)));
        for (const QString &name : folder.entryList(QDir::Files)) {
            QFile file(folder.filePath(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QStringList broken = check(file.readAll());
            EXPECT_TRUE(broken.isEmpty())
                << kind << "/" << target << "/" << name.toStdString() << ":\n"
                << broken.join(QLatin1Char('\n')).toStdString();
            ++count;
        }
    }
    return count;
}
} // namespace

TEST(FuzzInputs, DataFile)
{
    EXPECT_GT(checkSavedInputs("datafile", checkDataFileBytes), 0);
}

TEST(FuzzInputs, NumberValue)
{
    EXPECT_GT(checkSavedInputs("numbervalue", checkNumberValueText), 0);
}

TEST(FuzzInputs, DateReader)
{
    EXPECT_GT(checkSavedInputs("datereader", checkDateReaderText), 0);
}
