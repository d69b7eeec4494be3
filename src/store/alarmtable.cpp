#include "alarmtable.h"

AlarmTable AlarmItems;

void AlarmTable::setItem(int k, const AlarmItem &item)
{
    m_items[k - 1] = item;
    ++m_revision;
}

void AlarmTable::setEnabled(int k, qint16 enabled)
{
    m_items[k - 1].Enabled = enabled;
    ++m_revision;
}

bool AlarmTable::append(const AlarmItem &item)
{
    if (m_items.size() >= kMaxItems)
        return false;
    m_items.append(item);
    ++m_revision;
    return true;
}

void AlarmTable::remove(int k)
{
    m_items.removeAt(k - 1);
    ++m_revision;
}

void AlarmTable::replaceAll(QList<AlarmItem> items)
{
    if (items.size() > kMaxItems)
        items.resize(kMaxItems);
    m_items = std::move(items);
    ++m_revision;
}
