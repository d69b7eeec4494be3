#pragma once
#include <QStringList>
// Each fuzz target's check of one input: the properties it breaks, none when it passes.
QStringList checkDataFile(const QByteArray &bytes);
QStringList checkNumberValue(const QByteArray &bytes);
QStringList checkDateReader(const QByteArray &bytes);
