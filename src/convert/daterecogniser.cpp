#include "convert/daterecogniser.h"

#include "convert/textterms.h"

#include <QList>
#include <QVarLengthArray>

#include <algorithm>
#include <memory>

namespace tapewright {

namespace {

const char16_t *const EnglishMonths[12] = {u"january",   u"february", u"march",    u"april",
                                           u"may",       u"june",     u"july",     u"august",
                                           u"september", u"october",  u"november", u"december"};

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c)
{
    return int(c - u'0');
}

void appendOnce(QStringList &list, const QString &s)
{
    if (!s.isEmpty() && !list.contains(s))
        list.append(s);
}

// Reads the order of the fields and the separator from a short date format such as "M/d/yy",
// "dd.MM.yy", "yyyy/MM/dd" or "d\u200F/M\u200F/yyyy".
void readShortFormat(const QString &format, DateLocale &out)
{
    qsizetype day = -1;
    qsizetype month = -1;
    qsizetype year = -1;
    qsizetype dayRun = 0;
    qsizetype monthRun = 0;
    char16_t separator = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        const auto runAt = [&](char16_t letter) {
            qsizetype k = i;
            while (k < format.size() && format[k] == letter)
                ++k;
            return k - i;
        };
        if (c == u'd' && day < 0) {
            day = i;
            dayRun = runAt(u'd');
        } else if (c == u'M' && month < 0) {
            month = i;
            monthRun = runAt(u'M');
        } else if (c == u'y' && year < 0) {
            year = i;
        } else if (separator == 0 && (day >= 0 || month >= 0 || year >= 0) &&
                   !c.isLetterOrNumber() && c != u' ' && c != u',' &&
                   c.category() != QChar::Other_Format) {
            separator = c.unicode();
        }
    }
    if (separator != 0)
        out.separator = separator;
    out.padDay = dayRun >= 2;
    out.padMonth = monthRun >= 2;
    if (year >= 0 && (day < 0 || year < day) && (month < 0 || year < month))
        out.order = DateOrder::YearMonthDay;
    else if (day >= 0 && month >= 0 && day < month)
        out.order = DateOrder::DayMonthYear;
    else
        out.order = DateOrder::MonthDayYear;
}

// One forward scan from a start position that reports every end at which a date closes, with
// its value. Token lengths are bounded (one or two digits for day and month, one, two or four
// for the year, month words no longer than the longest name), so a start costs a bounded number
// of steps, apart from runs of blanks, which only the blank-separated forms walk over.
class Scanner
{
public:
    Scanner(QStringView t, const DateLocale &locale) : m_t(t.utf16()), m_n(t.size()), m_loc(locale)
    {
    }

    template <class Report> void from(qsizetype p, Report &&report) const
    {
        if (p >= m_n)
            return;
        const char16_t c0 = m_t[p];
        if (isDigit(c0))
            numberFirst(p, report);
        if (m_loc.mayStartMonth(c0))
            monthFirst(p, report);
    }

private:
    bool isSeparator(char16_t c) const { return c == u'/' || c == u'-' || c == m_loc.separator; }
    char16_t at(qsizetype i) const { return i < m_n ? m_t[i] : char16_t(0); }

    // One or two digits.
    template <class F> void number(qsizetype r, F &&f) const
    {
        int v = 0;
        for (qsizetype len = 1; len <= 2 && r + len <= m_n && isDigit(m_t[r + len - 1]); ++len) {
            v = v * 10 + digitValue(m_t[r + len - 1]);
            f(r + len, v);
        }
    }

    // One, two or four digits. Short years are read in a window: 0-29 is 2000-2029, 30-99 is
    // 1930-1999.
    template <class F> void year(qsizetype r, F &&f) const
    {
        int v = 0;
        for (qsizetype len = 1; len <= 4 && r + len <= m_n && isDigit(m_t[r + len - 1]); ++len) {
            v = v * 10 + digitValue(m_t[r + len - 1]);
            if (len <= 2)
                f(r + len, v < 30 ? 2000 + v : 1900 + v);
            else if (len == 4 && v >= 1000)
                f(r + len, v);
        }
    }

    // One or more blanks, or a comma with any blanks around it; returns r when there is none.
    qsizetype afterW(qsizetype r) const
    {
        qsizetype i = r;
        while (i < m_n && m_t[i] == u' ')
            ++i;
        if (i < m_n && m_t[i] == u',') {
            ++i;
            while (i < m_n && m_t[i] == u' ')
                ++i;
        }
        return i;
    }

    // A month word at r, with and without a "." or "/" behind it. When one text could name
    // several months, the first in calendar order wins.
    template <class F> void month(qsizetype r, F &&f) const
    {
        if (r >= m_n || !m_loc.mayStartMonth(m_t[r]))
            return;
        struct Hit
        {
            qsizetype end;
            int month;
        };
        QVarLengthArray<Hit, 4> hits;
        const auto add = [&](qsizetype end, int m) {
            for (const Hit &h : hits) {
                if (h.end == end)
                    return;
            }
            hits.append({end, m});
        };
        qsizetype letters = 0;
        while (letters <= m_loc.longestFullName && r + letters < m_n &&
               QChar::isLetter(m_t[r + letters]))
            ++letters;
        const bool prefixPossible = letters >= 3 && letters <= m_loc.longestFullName;
        const QStringView word(m_t + r, letters);
        const QStringView rest(m_t + r, m_n - r);
        for (const DateLocale::MonthWord &w : m_loc.monthWordsFrom(m_t[r])) {
            if (w.prefix) {
                if (prefixPossible && BeginsWith(w.text, word))
                    add(r + letters, w.month);
            } else if (BeginsWith(rest, w.text)) {
                add(r + w.text.size(), w.month);
            }
        }
        for (const Hit &h : hits) {
            f(h.end, h.month);
            const char16_t c = at(h.end);
            if (c == u'.' || c == u'/')
                f(h.end + 1, h.month);
        }
    }

    template <class Report>
    static void reportIfValid(Report &report, qsizetype end, int y, int m, int d)
    {
        if (QDate::isValid(y, m, d))
            report(end, QDate(y, m, d));
    }

    // Day and month in the locale's order, or swapped when only that gives a date.
    template <class Report> void numeric(Report &report, qsizetype end, int a, int b, int y) const
    {
        const bool dayFirst = m_loc.order == DateOrder::DayMonthYear;
        const int m = dayFirst ? b : a;
        const int d = dayFirst ? a : b;
        if (QDate::isValid(y, m, d))
            report(end, QDate(y, m, d));
        else if (QDate::isValid(y, d, m))
            report(end, QDate(y, d, m));
    }

    template <class Report> void numberFirst(qsizetype p, Report &report) const
    {
        // N S N S Y, N S M S Y and N W M W Y.
        number(p, [&](qsizetype q, int a) {
            const char16_t s = at(q);
            if (isSeparator(s)) {
                number(q + 1, [&](qsizetype q2, int b) {
                    if (at(q2) == s)
                        year(q2 + 1, [&](qsizetype e, int y) { numeric(report, e, a, b, y); });
                });
                month(q + 1, [&](qsizetype q2, int m) {
                    if (at(q2) == s)
                        year(q2 + 1,
                             [&](qsizetype e, int y) { reportIfValid(report, e, y, m, a); });
                });
            }
            const qsizetype r = afterW(q);
            if (r > q) {
                month(r, [&](qsizetype q2, int m) {
                    const qsizetype r2 = afterW(q2);
                    if (r2 > q2)
                        year(r2, [&](qsizetype e, int y) { reportIfValid(report, e, y, m, a); });
                });
            }
        });
        // Y4 S N S N: year first whenever it has four digits. In a year-first locale this is
        // its own numeric form, so day and month may swap there as in the other orders.
        if (p + 4 < m_n && isDigit(m_t[p + 1]) && isDigit(m_t[p + 2]) && isDigit(m_t[p + 3]) &&
            isSeparator(m_t[p + 4])) {
            const int y = digitValue(m_t[p]) * 1000 + digitValue(m_t[p + 1]) * 100 +
                          digitValue(m_t[p + 2]) * 10 + digitValue(m_t[p + 3]);
            if (y < 1000)
                return;
            const char16_t s = m_t[p + 4];
            number(p + 5, [&](qsizetype q, int a) {
                if (at(q) != s)
                    return;
                number(q + 1, [&](qsizetype e, int b) {
                    if (QDate::isValid(y, a, b))
                        report(e, QDate(y, a, b));
                    else if (m_loc.order == DateOrder::YearMonthDay && QDate::isValid(y, b, a))
                        report(e, QDate(y, b, a));
                });
            });
        }
    }

    template <class Report> void monthFirst(qsizetype p, Report &report) const
    {
        // M W N W Y and M S N S Y.
        month(p, [&](qsizetype q, int m) {
            const qsizetype r = afterW(q);
            if (r > q) {
                number(r, [&](qsizetype q2, int d) {
                    const qsizetype r2 = afterW(q2);
                    if (r2 > q2)
                        year(r2, [&](qsizetype e, int y) { reportIfValid(report, e, y, m, d); });
                });
            }
            const char16_t s = at(q);
            if (isSeparator(s)) {
                number(q + 1, [&](qsizetype q2, int d) {
                    if (at(q2) == s)
                        year(q2 + 1,
                             [&](qsizetype e, int y) { reportIfValid(report, e, y, m, d); });
                });
            }
        });
    }

    const char16_t *m_t;
    qsizetype m_n;
    const DateLocale &m_loc;
};

// Month words ordered by their first letter only, so that a stable sort keeps calendar order
// among the words of one letter: the first month a text can name stays the one found first.
struct FirstLetterOrder
{
    using Word = DateLocale::MonthWord;
    bool operator()(const Word &a, const Word &b) const { return a.text[0] < b.text[0]; }
    bool operator()(const Word &a, char16_t c) const { return a.text[0] < c; }
    bool operator()(char16_t c, const Word &a) const { return c < a.text[0]; }
};

bool needsLowerCasing(QStringView t)
{
    for (QChar c : t) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || u >= 0x80)
            return true;
    }
    return false;
}

} // namespace

QLocale DateLocaleFor(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

QLocale UserDateLocale()
{
    return DateLocaleFor(QLocale());
}

DateLocale::DateLocale(const QLocale &locale)
{
    readShortFormat(locale.dateFormat(QLocale::ShortFormat), *this);
    for (int m = 1; m <= 12; ++m) {
        QStringList full;
        appendOnce(full, QString::fromUtf16(EnglishMonths[m - 1]));
        appendOnce(full, LowerCased(locale.monthName(m, QLocale::LongFormat)));
        appendOnce(full, LowerCased(locale.standaloneMonthName(m, QLocale::LongFormat)));
        QStringList abbreviated;
        appendOnce(abbreviated, LowerCased(locale.monthName(m, QLocale::ShortFormat)));
        appendOnce(abbreviated, LowerCased(locale.standaloneMonthName(m, QLocale::ShortFormat)));
        longNames[m - 1] = locale.monthName(m, QLocale::LongFormat);
        const auto addStart = [this](QChar c) {
            if (c.unicode() < 128)
                asciiMonthStarts.set(c.unicode());
            else if (!otherMonthStarts.contains(c))
                otherMonthStarts.append(c);
        };
        for (const QString &name : full) {
            longestFullName = qMax(longestFullName, name.size());
            // Only names that begin with three letters can be reached by a prefix of letters.
            if (name.size() >= 3 && QChar::isLetter(name[0].unicode())) {
                monthWords.append({name, m, true});
                addStart(name[0]);
            }
        }
        for (const QString &abbreviation : abbreviated) {
            monthWords.append({abbreviation, m, false});
            addStart(abbreviation[0]);
        }
    }
    std::stable_sort(monthWords.begin(), monthWords.end(), FirstLetterOrder());
    qsizetype longestWord = 0;
    for (const MonthWord &w : monthWords)
        longestWord = qMax(longestWord, w.text.size());
    longestDate = longestWord + 1 + 2 + 4 + 2;
}

std::span<const DateLocale::MonthWord> DateLocale::monthWordsFrom(char16_t c) const
{
    const auto [begin, end] =
        std::equal_range(monthWords.begin(), monthWords.end(), c, FirstLetterOrder());
    return {begin, end};
}

const DateLocale &DateLocale::of(const QLocale &locale)
{
    struct Entry
    {
        QLocale locale;
        DateLocale data;
    };
    // A handful of locales at most are ever in use; the newest is looked at first.
    thread_local QList<std::shared_ptr<Entry>> cache;
    for (qsizetype i = 0; i < cache.size(); ++i) {
        if (cache[i]->locale == locale) {
            if (i != 0)
                cache.move(i, 0);
            return cache.first()->data;
        }
    }
    if (cache.size() >= 4)
        cache.removeLast();
    cache.prepend(std::make_shared<Entry>(Entry{locale, DateLocale(locale)}));
    return cache.first()->data;
}

std::optional<QDate> RecogniseDate(QStringView t, const DateLocale &locale)
{
    QString lowered;
    QStringView u = Trimmed(t);
    if (needsLowerCasing(u)) {
        lowered = LowerCased(u);
        u = lowered;
    }
    if (u.isEmpty())
        return std::nullopt;
    std::optional<QDate> found;
    Scanner(u, locale).from(0, [&](qsizetype end, QDate date) {
        if (end == u.size() && !found)
            found = date;
    });
    return found;
}

QString ShortDateText(QDate date, const DateLocale &locale)
{
    // Written into one string: every conversion that finds a date writes one.
    char16_t text[40];
    char16_t *p = text;
    const auto put = [&p](int value, int width) {
        if (value < 0) { // no date the recogniser reads has one; written as QString::number would
            const QString s = QString::number(value).rightJustified(width, u'0');
            p = std::copy_n(QStringView(s).utf16(), s.size(), p);
            return;
        }
        char16_t digits[12];
        int n = 0;
        do {
            digits[n++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value != 0);
        for (int i = n; i < width; ++i)
            *p++ = u'0';
        while (n > 0)
            *p++ = digits[--n];
    };
    struct Field
    {
        int value;
        int width;
    };
    const Field day{date.day(), locale.padDay ? 2 : 1};
    const Field month{date.month(), locale.padMonth ? 2 : 1};
    const Field year{date.year(), 4};
    std::array<Field, 3> fields{month, day, year};
    if (locale.order == DateOrder::DayMonthYear)
        fields = {day, month, year};
    else if (locale.order == DateOrder::YearMonthDay)
        fields = {year, month, day};
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *p++ = locale.separator;
        put(fields[i].value, fields[i].width);
    }
    return QString::fromUtf16(text, p - text);
}

QString LongDateText(QDate date, const DateLocale &locale)
{
    return locale.longNames[date.month() - 1] + QLatin1Char(' ') + QString::number(date.day()) +
           QStringLiteral(", ") + QString::number(date.year()).rightJustified(4, u'0');
}

std::optional<DateInside> FindDateInside(QStringView lower, const DateLocale &locale,
                                         qsizetype minLength)
{
    const qsizetype n = lower.size();
    const Scanner scanner(lower, locale);
    for (qsizetype s = 0; s < n; ++s) {
        if (lower[s] == u' ')
            continue;
        // Every start inside the run of blanks before s trims to the same date as s; the first
        // of them gives the longest substring.
        qsizetype first = s;
        while (first > 0 && lower[first - 1] == u' ')
            --first;
        if (n - first < minLength)
            break;
        qsizetype coreEnd = -1;
        QDate date;
        scanner.from(s, [&](qsizetype end, QDate d) {
            if (end > coreEnd) {
                coreEnd = end;
                date = d;
            }
        });
        if (coreEnd < 0)
            continue;
        // The longest substring from this start also takes the blanks behind the date.
        qsizetype end = coreEnd;
        while (end < n && lower[end] == u' ')
            ++end;
        if (end - first >= minLength)
            return DateInside{first, end, lower.sliced(s, coreEnd - s), date};
    }
    return std::nullopt;
}

} // namespace tapewright
