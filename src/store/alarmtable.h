#pragma once

#include "alarmitem.h"

#include <QList>

// The one table of alarm items. Items are numbered 1 to count(), in file order
// (item k is record k of the data file); an empty table has count() 0.
//
// Every change goes through the methods below, which bump revision(), so that
// readers such as the due check can keep derived data and notice when it is stale.
class AlarmTable
{
public:
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }

    // Item k, 1 <= k <= count().
    const AlarmItem &item(int k) const { return m_items.at(k - 1); }
    const QList<AlarmItem> &items() const { return m_items; }

    void setItem(int k, const AlarmItem &item);
    void setEnabled(int k, qint16 enabled);
    // Appends at the end; refuses (returns false, changes nothing) when the table
    // already holds kMaxItems items.
    bool append(const AlarmItem &item);
    void remove(int k);
    void replaceAll(QList<AlarmItem> items);
    void clear() { replaceAll({}); }

    quint64 revision() const { return m_revision; }

private:
    QList<AlarmItem> m_items;
    quint64 m_revision = 0;
};

// The table shared by the whole program.
extern AlarmTable AlarmItems;
