#include "describeaction.h"

#include "alarmitem.h"
#include "fileexists.h"

namespace {
const char kShowMessage[] = "正常文字提示：到时弹出提示时间已到对话框。";
const char kSoundAndMessage[] =
    "声音及文字提示：到时播放指定的声音文件，并弹出提示时间已到对话框。";
const char kNoSoundFile[] = "(但你未指定声音文件)。";
const char kNotASoundFile[] = "(但指定的文件不存在或非“声音”文件。)";
const char kRunFile[] = "不提示而运行指定的文件。";
const char kNoFile[] = "(但你未指定文件)。";
const char kMissingFile[] = "(但指定的文件不存在)。";
const char kRestart[] = "提示20秒后重新启动计算机。非常危险! 如果不注意， "
                        "无论你正在干何活都重新启动，要小心使用。不然，"
                        "辛苦的活儿会由于未存盘而呜呼！";
const char kShutDown[] = "提示20秒后关闭计算机。非常危险! 如果不注意，"
                         "无论你正在干何活都关机，要小心使用。不然，"
                         "辛苦的活儿会由于未存盘而呜呼！";
} // namespace

ActionDescription DescribeAction(qint16 action, const QString &filePath)
{
    ActionDescription description{QString::fromUtf8(kShowMessage), false};
    const QString p = trimBlanks(filePath);
    switch (action) {
    case SoundAndMessage:
        description.text = QString::fromUtf8(kSoundAndMessage);
        if (p.isEmpty())
            description.text += QString::fromUtf8(kNoSoundFile);
        else if (!fileExistsRule(p) || p.right(4).toUpper() != QLatin1String(".WAV"))
            description.text += QString::fromUtf8(kNotASoundFile);
        break;
    case RunFile:
        description.text = QString::fromUtf8(kRunFile);
        if (p.isEmpty())
            description.text += QString::fromUtf8(kNoFile);
        else if (!fileExistsRule(p))
            description.text += QString::fromUtf8(kMissingFile);
        break;
    case Restart:
        description.text = QString::fromUtf8(kRestart);
        description.red = true;
        break;
    case ShutDown:
        description.text = QString::fromUtf8(kShutDown);
        description.red = true;
        break;
    default:
        break; // 0 and any unknown action: the plain reminder
    }
    return description;
}
