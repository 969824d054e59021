#include "cover/layout/tracktimes.h"

#include <QList>

namespace tapewright {

namespace {

// A run of one to three digits (hours and minutes need no more), or none.
std::optional<int> number(QStringView digits, qsizetype maxDigits)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

constexpr int FramesPerSecond = 75; // a CD's frames

} // namespace

std::optional<int> TrackSeconds(QStringView time)
{
    time = time.trimmed();
    // "4:35.50": the frames after the seconds.
    int frames = 0;
    if (const qsizetype dot = time.lastIndexOf(u'.'); dot >= 0 && time.contains(u':')) {
        const std::optional<int> f = number(time.sliced(dot + 1), 2);
        if (!f || *f >= FramesPerSecond)
            return std::nullopt;
        frames = *f;
        time.truncate(dot);
    }
    QList<QStringView> parts = time.split(u':');
    if (parts.size() == 1) // "4.35": a dot where the colon belongs
        parts = time.split(u'.');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int seconds = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        // Seconds, and the minutes after hours, are two digits below 60; the first part is free.
        const std::optional<int> value = number(parts.at(i), i == 0 ? 3 : 2);
        if (!value || (i > 0 && (parts.at(i).size() != 2 || *value >= 60)))
            return std::nullopt;
        seconds = seconds * 60 + *value;
        if (last && frames * 2 >= FramesPerSecond)
            ++seconds;
    }
    return seconds;
}

std::optional<int> DiscSeconds(const QStringList &times)
{
    if (times.isEmpty())
        return std::nullopt;
    int total = 0;
    for (const QString &time : times) {
        const std::optional<int> seconds = TrackSeconds(time);
        if (!seconds)
            return std::nullopt;
        total += *seconds;
    }
    return total;
}

QString RunningTime(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace tapewright
