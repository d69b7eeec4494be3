#pragma once

#include "missedfirings.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;
class frmMain;

// 错过的提醒: the items that fell due while the clock was not checking, one row
// each, in time order. Modeless and owned by the clock panel; it neither stops
// the heartbeat nor disables the panel. A later gap adds rows to the open window
// or updates an item's row. It deletes itself when closed.
class frmMissed : public QDialog
{
    Q_OBJECT
public:
    explicit frmMissed(frmMain &main);

    QLabel *lblPrompt = nullptr;
    QTreeWidget *lstMissed = nullptr;
    QLabel *lblOlder = nullptr;
    QPushButton *cmdOK = nullptr;

    // `olderLeftOut`: the gap reached further back than the search looks.
    void addMissed(const QList<MissedFiring> &more, bool olderLeftOut);
    const QList<MissedFiring> &missed() const { return m_missed; }
    // Shown above other windows and activated, as a reminder is.
    void present();

    // What a row says was not done, by action.
    static QString notDoneText(qint16 action);

private:
    void FillMissedList();

    QList<MissedFiring> m_missed;
};
