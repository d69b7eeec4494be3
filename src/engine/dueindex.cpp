#include "dueindex.h"

#include "clock.h"
#include "duecheck.h"
#include "timeofday.h"

#include <algorithm>

bool DueIndex::isCurrent(const AlarmTable &table) const
{
    return m_table == &table && m_revision == table.revision() &&
           m_items.constData() == table.items().constData() &&
           m_items.size() == table.items().size();
}

void DueIndex::update(const AlarmTable &table)
{
    if (isCurrent(table))
        return;
    m_timed.clear();
    m_onTheHour.clear();
    m_halfPast.clear();
    m_table = &table;
    m_revision = table.revision();
    m_items = table.items();
    m_timed.reserve(size_t(m_items.size()));

    for (int k = 1; k <= int(m_items.size()); ++k) {
        const AlarmItem &item = m_items.at(k - 1);
        if (item.Enabled != kTrue)
            continue;
        switch (item.RepeatKind) {
        case OnTheHour:
            m_onTheHour.push_back(k);
            continue;
        case HalfPast:
            m_halfPast.push_back(k);
            continue;
        case Once:
        case Daily:
        case Weekly:
        case Monthly:
        case Yearly:
            break;
        default:
            continue; // never due
        }
        const int second = dueSecondOfDay(item);
        if (second < 0)
            continue; // can never equal a time of the clock
        TimedEntry entry{second, k, item.AlarmDate, item.RepeatKind, 0, 0, 0};
        // Weekly, monthly and yearly items look at the parts of their date.
        const QDate date = item.RepeatKind >= Weekly ? dateOfOle(item.AlarmDate) : QDate();
        if (date.isValid()) {
            entry.month = quint8(date.month());
            entry.day = quint8(date.day());
            entry.weekday = quint8(date.dayOfWeek());
        }
        m_timed.push_back(entry);
    }
    std::sort(m_timed.begin(), m_timed.end(), [](const TimedEntry &a, const TimedEntry &b) {
        return a.second != b.second ? a.second < b.second : a.item < b.item;
    });
}

std::vector<int> DueIndex::dueItems(double today, int nowSeconds, bool timed,
                                    bool everyHalfHour) const
{
    std::vector<int> due;
    const QDate todayDate = dateOfOle(today);
    const int month = todayDate.isValid() ? todayDate.month() : -1;
    const int day = todayDate.isValid() ? todayDate.day() : -1;
    const int weekday = todayDate.isValid() ? todayDate.dayOfWeek() : -1;

    const auto bySecond = [](const TimedEntry &e, int s) { return e.second < s; };
    const auto first = timed
                           ? std::lower_bound(m_timed.begin(), m_timed.end(), nowSeconds, bySecond)
                           : m_timed.end();
    for (auto it = first; it != m_timed.end() && it->second == nowSeconds; ++it) {
        bool isDue = false;
        switch (it->kind) {
        case Once:
            isDue = it->alarmDate == today;
            break;
        case Daily:
            isDue = true;
            break;
        case Weekly:
            isDue = it->weekday == weekday;
            break;
        case Monthly:
            isDue = it->month == month;
            break;
        case Yearly:
            isDue = it->month == month && it->day == day;
            break;
        }
        if (isDue)
            due.push_back(it->item);
    }

    const std::vector<int> *everyHour = nullptr;
    if (nowSeconds % 3600 == 0)
        everyHour = &m_onTheHour;
    else if (nowSeconds % 3600 == 1800)
        everyHour = &m_halfPast;
    if (everyHalfHour && everyHour != nullptr && !everyHour->empty()) {
        const auto middle = due.insert(due.end(), everyHour->begin(), everyHour->end());
        std::inplace_merge(due.begin(), middle, due.end());
    }
    return due;
}
