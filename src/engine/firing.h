#pragma once

#include <QString>

// The effects an item's action may have; the clock window provides them.
class FireTarget
{
public:
    virtual ~FireTarget() = default;
    virtual bool fileExists(const QString &path) = 0;
    // Modal: returns when the user has closed the reminder.
    virtual void showReminder(const QString &message) = 0;
    virtual void playWave(const QString &path) = 0;
    // Plays a tune under the alias "tune" and enables the menu's stop entry.
    virtual void playTune(const QString &path) = 0;
    virtual void openFile(const QString &path) = 0;
    virtual void stopHeartbeat() = 0;
    virtual void startCountdown(bool reboot) = 0;
};

// Carries out one due item's action.
void FireItem(const QString &message, qint16 action, const QString &path, FireTarget &target);
