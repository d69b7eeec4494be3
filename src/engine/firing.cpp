#include "firing.h"

#include "alarmitem.h"

void FireItem(const QString &message, qint16 action, const QString &path, FireTarget &target)
{
    const QString text = trimBlanks(message);
    switch (action) {
    case ShowMessage:
        target.showReminder(text);
        break;
    case SoundAndMessage: {
        if (path.isEmpty() || !target.fileExists(path))
            break;
        // The extension test looks at the last four characters and nothing else.
        const QString extension = path.right(4).toUpper();
        if (extension == QLatin1String(".WAV")) {
            target.playWave(path);
            target.showReminder(text);
        } else if (extension == QLatin1String(".MID")) {
            target.playTune(path);
            target.showReminder(text);
        }
        break;
    }
    case RunFile:
        if (path.isEmpty() || !target.fileExists(path))
            break;
        target.openFile(path);
        break;
    case Restart:
        target.stopHeartbeat();
        target.startCountdown(true);
        break;
    case ShutDown:
        target.startCountdown(false);
        break;
    default:
        break; // an unknown action does nothing
    }
}
