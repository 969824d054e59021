// The date scanners of textscan.h: a show date inside a line, a line that is a date alone, a
// partial date, a date as trading lists write it.
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QVarLengthArray>

namespace tapewright::smart {

namespace {

// A month as the locale writes it: its abbreviation, or three or more letters of its name.
bool isLocaleMonth(QStringView word, const DateLocale &locale)
{
    if (word.isEmpty() || !locale.mayStartMonth(word[0].unicode()))
        return false;
    for (const DateLocale::MonthWord &m : locale.monthWords) {
        if (m.text[0] != word[0])
            continue;
        if (m.prefix ? word.size() >= 3 && BeginsWith(m.text, word) : m.text == word)
            return true;
    }
    return false;
}

// "July 10th 1986", "2. Mai 1981": the ordinal's suffix or dot becomes a blank, so positions
// stay those of the text.
void blankOrdinals(char16_t *t, qsizetype size)
{
    for (qsizetype i = 0; i + 2 < size; ++i) {
        if (!IsAsciiDigit(t[i]))
            continue;
        // "30.September 1987": the day's dot may touch the month.
        if (t[i + 1] == u'.' && (t[i + 2] == u' ' || QChar::isLetter(t[i + 2]))) {
            qsizetype first = i;
            while (first > 0 && IsAsciiDigit(t[first - 1]))
                --first;
            if (i - first < 2) // a day, one or two digits
                t[i + 1] = u' ';
            continue;
        }
        const QStringView suffix(t + i + 1, 2);
        if ((suffix == u"st" || suffix == u"nd" || suffix == u"rd" || suffix == u"th") &&
            (i + 3 >= size || !QChar::isLetter(t[i + 3]))) {
            t[i + 1] = u' ';
            t[i + 2] = u' ';
        }
    }
}

int monthOfWord(QStringView word, const DateLocale &locale)
{
    if (word.isEmpty())
        return 0;
    for (const DateLocale::MonthWord &m : locale.monthWordsFrom(word[0].unicode())) {
        if (m.prefix ? word.size() >= 3 && BeginsWith(m.text, word) : m.text == word)
            return m.month;
    }
    return 0;
}

// A run of digits at i, without digits on either side: its value, or -1.
int numberAt(const char16_t *t, qsizetype size, qsizetype i, qsizetype *end)
{
    if (i >= size || !IsAsciiDigit(t[i]) || (i > 0 && IsAsciiDigit(t[i - 1])))
        return -1;
    qsizetype e = i;
    int value = 0;
    while (e < size && IsAsciiDigit(t[e]) && e - i < 5)
        value = value * 10 + (t[e++] - u'0');
    if (e < size && IsAsciiDigit(t[e]))
        return -1;
    *end = e;
    return value;
}

// "2024 08 03", "2024-November-13", "2024 March 17": a date that begins with its four-digit year
// is written year, month, day in every locale (no one writes year, day, month), whatever
// separates them; the locale's short-date order does not apply to it.
std::optional<FoundDate> yearFirstDate(const char16_t *t, qsizetype size, const DateLocale &locale)
{
    const auto isSeparator = [](char16_t c) {
        return c == u' ' || c == u'-' || c == u'/' || c == u'.' || c == u'_';
    };
    for (qsizetype i = 0; i + 8 <= size; ++i) {
        qsizetype e = 0;
        const int year = numberAt(t, size, i, &e);
        if (year < 1900 || year > 2099 || e - i != 4) {
            if (year >= 0)
                i = e;
            continue;
        }
        qsizetype m = e;
        while (m < size && m - e < 3 && isSeparator(t[m]))
            ++m;
        if (m == e)
            continue;
        int month = 0;
        qsizetype me = m;
        if (m < size && QChar::isLetter(t[m])) {
            while (me < size && QChar::isLetter(t[me]))
                ++me;
            month = monthOfWord(QStringView(t + m, me - m), locale);
        } else if (const int n = numberAt(t, size, m, &me); n >= 1 && me - m <= 2) {
            month = n;
        }
        if (month < 1 || month > 12)
            continue;
        qsizetype d = me;
        while (d < size && d - me < 3 && isSeparator(t[d]))
            ++d;
        qsizetype de = 0;
        const int day = d > me ? numberAt(t, size, d, &de) : -1;
        if (day < 1 || de - d > 2 || (de < size && QChar::isLetterOrNumber(t[de])))
            continue;
        const QDate date(year, month, day);
        if (date.isValid())
            return FoundDate{date, i, de};
    }
    return std::nullopt;
}

} // namespace

std::optional<FoundDate> FindDateIn(QStringView s, QStringView lower, const DateLocale &locale)
{
    bool digit = false;
    for (QChar c : lower) {
        if (IsAsciiDigit(c)) {
            digit = true;
            break;
        }
    }
    if (!digit)
        return std::nullopt;
    QVarLengthArray<char16_t, 256> copy(lower.utf16(), lower.utf16() + lower.size());
    blankOrdinals(copy.data(), copy.size());
    const auto t = [&copy](qsizetype k) { return copy[k]; };
    const qsizetype size = copy.size();
    const std::optional<DateInside> found =
        FindDateInside(QStringView(copy.data(), size), locale, 6);
    if (const auto yearFirst = yearFirstDate(copy.data(), size, locale);
        yearFirst && (!found || yearFirst->start <= found->start + 2))
        return yearFirst;
    if (!found)
        return std::nullopt;
    qsizetype start = found->start;
    qsizetype end = found->end;
    while (start < end && t(start) == u' ')
        ++start;
    while (end > start && t(end - 1) == u' ')
        --end;
    // The blanked suffix of the last number belongs to the date as written.
    if (end + 2 <= s.size() && s[end].isLetter() && end >= 1 && IsAsciiDigit(s[end - 1]))
        end += 2;
    return FoundDate{found->date, start, end};
}

std::optional<FoundDate> WholeDate(QStringView s, QStringView lower, const DateLocale &locale)
{
    Q_UNUSED(s);
    if (lower.size() > 48)
        return std::nullopt;
    // A weekday may stand before the date: "Wednesday, May 21, 2008".
    qsizetype start = 0;
    while (start < lower.size() && lower[start].isLetter())
        ++start;
    if (start > 0 && IsWeekdayWord(lower.first(start))) {
        while (start < lower.size() &&
               (lower[start] == u' ' || lower[start] == u',' || lower[start] == u'.'))
            ++start;
    } else {
        start = 0;
    }
    qsizetype end = lower.size();
    while (end > start && (lower[end - 1] == u' ' || lower[end - 1] == u',' ||
                           lower[end - 1] == u'.' || lower[end - 1] == u';'))
        --end;
    if (end - start < 6)
        return std::nullopt;
    // A date alone begins with a number followed by a separator and a number ("07-02-22") or
    // by a month ("19 July 1987", "2. Mai 1981"), or with a month.
    const QChar first = lower[start];
    if (IsAsciiDigit(first)) {
        qsizetype e = start;
        while (e < end && IsAsciiDigit(lower[e]))
            ++e;
        const bool numeric = e + 1 < end && !lower[e].isLetterOrNumber() && lower[e] != u' ' &&
                             IsAsciiDigit(lower[e + 1]);
        if (!numeric) {
            while (e < end && (lower[e] == u' ' || lower[e] == u'.' || lower[e] == u',' ||
                               lower[e] == u'-' || lower[e] == u'/'))
                ++e;
            qsizetype w = e;
            while (w < end && lower[w].isLetter())
                ++w;
            const QStringView word = lower.sliced(e, w - e);
            const bool suffix = word == u"st" || word == u"nd" || word == u"rd" || word == u"th";
            if (!suffix && !IsMonthWord(word) && !isLocaleMonth(word, locale))
                return std::nullopt;
        }
    } else {
        if (!locale.mayStartMonth(first.unicode())) // every month's first letter is there
            return std::nullopt;
        qsizetype e = start;
        while (e < end && lower[e].isLetter())
            ++e;
        const QStringView word = lower.sliced(start, e - start);
        if (!IsMonthWord(word) && !isLocaleMonth(word, locale))
            return std::nullopt;
    }
    QVarLengthArray<char16_t, 64> copy(lower.utf16() + start, lower.utf16() + end);
    blankOrdinals(copy.data(), copy.size());
    if (const auto yearFirst = yearFirstDate(copy.data(), copy.size(), locale);
        yearFirst && yearFirst->start == 0 && yearFirst->end == copy.size())
        return FoundDate{yearFirst->date, start, end};
    const std::optional<QDate> date = RecogniseDate(QStringView(copy.data(), copy.size()), locale);
    if (!date)
        return std::nullopt;
    return FoundDate{*date, start, end};
}

bool IsPartialDate(QStringView lower)
{
    int digits = 0;
    bool separator = false;
    for (QChar c : lower) {
        if (IsAsciiDigit(c))
            ++digits;
        else if (c == u'/' || c == u'-' || c == u'.')
            separator = true;
        else if (c != u'x' && c != u'?' && c != u' ')
            return false;
    }
    if (digits == 4 && !separator)
        return lower.trimmed().size() == 4; // a year alone
    return digits >= 2 && separator;
}

bool HasIsoDate(QStringView s)
{
    const auto digits = [&s](qsizetype at, qsizetype count) {
        for (qsizetype k = at; k < at + count; ++k) {
            if (!IsAsciiDigit(s[k]))
                return false;
        }
        return true;
    };
    for (qsizetype i = 0; i + 10 <= s.size(); ++i) {
        if (digits(i, 4) && s[i + 4] == u'-' && digits(i + 5, 2) && s[i + 7] == u'-' &&
            digits(i + 8, 2) && (i == 0 || !IsAsciiDigit(s[i - 1])) &&
            (i + 10 == s.size() || !IsAsciiDigit(s[i + 10])))
            return true;
    }
    return false;
}

} // namespace tapewright::smart
