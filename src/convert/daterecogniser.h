// The one date recogniser of the program: whether a text is a date, which date it is, and how a
// date is written back (short and long). The converter and the cover filler both use it, so a
// date the converter writes is always read back the same way.
#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <bitset>
#include <optional>
#include <span>

namespace tapewright {

enum class DateOrder
{
    MonthDayYear,
    DayMonthYear,
    YearMonthDay
};

// The locale dates are recognised and written in, for a locale the user runs in: the locale
// itself, except that the C (POSIX) locale (LANG=C.UTF-8 on minimal systems) reads and writes
// dates as en_US does. Month first is that locale's own order (its %x is mm/dd/yy); Qt's C
// locale would read "2/11/74" as 2 November and write "8/05/1977".
QLocale DateLocaleFor(const QLocale &locale);
// DateLocaleFor the user's locale: the one the window and tapewright-cli use by default.
QLocale UserDateLocale();

// What the recogniser needs to know of a locale, worked out once: month names lower-cased, the
// order of the fields and the separator of its short date format.
struct DateLocale
{
    explicit DateLocale(const QLocale &locale);

    // The data of a locale, built on first use and kept for the thread: the converter asks for
    // it on every key release.
    static const DateLocale &of(const QLocale &locale);

    DateOrder order = DateOrder::MonthDayYear;
    char16_t separator = u'/';
    bool padDay = false; // the short format writes 05 rather than 5
    bool padMonth = false;
    // The words a month may be written as, lower-cased: full names (English and the locale's),
    // which a month word may be a prefix of, and the locale's abbreviated names, which must
    // match whole. Sorted by their first letter, and for one first letter January's first.
    struct MonthWord
    {
        QString text;
        int month;   // 1 to 12
        bool prefix; // a full name: three or more of its first letters will do
    };
    QList<MonthWord> monthWords;
    // The month words that begin with c.
    std::span<const MonthWord> monthWordsFrom(char16_t c) const;
    // Month names as written in a long date, in their own case.
    std::array<QString, 12> longNames;
    qsizetype longestFullName = 0;
    // The most characters other than blanks a date can have: a month word and its "." or "/",
    // a day of two digits, a year of four, and a separator or comma between each.
    qsizetype longestDate = 0;
    // First characters a month word can have (abbreviations may begin with a digit: "5月").
    std::bitset<128> asciiMonthStarts;
    QString otherMonthStarts;

    bool mayStartMonth(char16_t c) const
    {
        return c < 128 ? asciiMonthStarts.test(c) : otherMonthStarts.contains(QChar(c));
    }
};

// "is a date" and its value: t lower-cased and trimmed of blanks must be a date as a whole.
std::optional<QDate> RecogniseDate(QStringView t, const DateLocale &locale);
inline std::optional<QDate> RecogniseDate(QStringView t, const QLocale &locale)
{
    return RecogniseDate(t, DateLocale::of(locale));
}

// The date in the locale's short date format, the year always in four digits, so that the text
// is a date again with the same value.
QString ShortDateText(QDate date, const DateLocale &locale);
// "October 4, 2000": the locale's full month name, the day, a comma, the four-digit year.
QString LongDateText(QDate date, const DateLocale &locale);
inline QString ShortDateText(QDate date, const QLocale &locale)
{
    return ShortDateText(date, DateLocale::of(locale));
}
inline QString LongDateText(QDate date, const QLocale &locale)
{
    return LongDateText(date, DateLocale::of(locale));
}

struct DateInside
{
    qsizetype start = 0; // the substring [start, end) that is a date, blanks around included
    qsizetype end = 0;
    QStringView trimmed; // the substring without its blanks at both ends (a view into the text)
    QDate date;
};

// The first substring of lower (a lower-cased text) of at least minLength characters that is a
// date: the leftmost start, and for that start the longest one. One forward scan per start, so
// linear in the text's length.
std::optional<DateInside> FindDateInside(QStringView lower, const DateLocale &locale,
                                         qsizetype minLength = 7);

} // namespace tapewright
