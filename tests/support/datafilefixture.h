#pragma once

#include "alarmtable.h"
#include "datafile.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The data file in a temporary folder with the store's routines pointed at it;
// every reported failure is kept, and the shared table starts and ends empty.
class DataFileFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        useDataFile(folder.filePath(QStringLiteral("MSGINI.DDT")));
        setStoreFailureReporter([this](const QString &reason) { failures << reason; });
        AlarmItems.clear();
    }
    void TearDown() override
    {
        setStoreFailureReporter({});
        setDataFilePath({});
        AlarmItems.clear();
    }
    void useDataFile(const QString &file)
    {
        path = file;
        setDataFilePath(file);
    }
    std::string lastFailure() const { return failures.value(failures.size() - 1).toStdString(); }

    QTemporaryDir folder;
    QString path;
    QStringList failures;
};
