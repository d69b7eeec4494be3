#include "clock.h"

#include <cmath>

namespace {
std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> s;
    return s;
}

const QDate kOleEpoch(1899, 12, 30);
// 0100-01-01 and 9999-12-31 as OLE dates.
constexpr double kOleMin = -657434.0;
constexpr double kOleMax = 2958465.0;
} // namespace

namespace Clock {
QDateTime now()
{
    if (source())
        return source()();
    return QDateTime::currentDateTime();
}

QDate today() { return now().date(); }

void setSourceForTesting(std::function<QDateTime()> s) { source() = std::move(s); }
} // namespace Clock

double oleDateOf(const QDate &date) { return double(kOleEpoch.daysTo(date)); }

QDate dateOfOle(double value)
{
    if (!std::isfinite(value) || value < kOleMin || value >= kOleMax + 1.0)
        return {};
    // The whole part counts days; for negative values the fraction still means the
    // time of that day, so the day is found by cutting towards zero.
    return kOleEpoch.addDays(qint64(std::trunc(value)));
}
