#pragma once

#include <QString>

// The sentence that tells what an item with this action and file will do when
// it falls due, with a warning for a missing or unsuitable file; `red` is set for
// the actions that restart or shut down the computer.
struct ActionDescription
{
    QString text;
    bool red = false;
};
ActionDescription DescribeAction(qint16 action, const QString &filePath);
