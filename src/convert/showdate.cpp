// The show's date, looked for in lines 1 to 6 in three passes: a line that begins with "date",
// a line that is a date once ordinal suffixes are gone, and a date inside a line. A pass runs
// only when the passes before it found nothing.
#include "showdate.h"

#include "daterecogniser.h"
#include "textterms.h"

#include <array>

namespace tapewright {

namespace {

constexpr qsizetype DateLines = 6;
constexpr qsizetype ShortestDateInside = 7;

HeaderField dateField(QStringView literal, QDate date, const DateLocale &locale)
{
    HeaderField field;
    field.Element = Joined({u"<LITERALDATE>", literal, u"</LITERALDATE>"});
    field.SecondElement = Joined({u"<DATE>", ShortDateText(date, locale), u"</DATE>"});
    field.Found = true;
    return field;
}

// The ordinal suffixes removed and "." (and for the search inside a line "-") read as "/", into
// buffer. The suffixes go one after the other, each pass over what the last one left: pass 2
// removes "th", "rd", "st" in this order, pass 3 "th", "st", "rd", and the two orders differ on
// texts such as "srdt".
QStringView cleaned(QStringView lower, std::initializer_list<QStringView> suffixes, bool dashes,
                    UnitBuffer &buffer)
{
    char16_t *const w = buffer.reserve(lower.size());
    std::copy_n(lower.utf16(), lower.size(), w);
    qsizetype size = lower.size();
    for (QStringView suffix : suffixes)
        size = RemoveAll(w, size, suffix);
    ReplaceChar(w, size, u'.', u'/');
    if (dashes)
        ReplaceChar(w, size, u'-', u'/');
    return QStringView(w, size);
}

QStringView cleanedForSearch(QStringView lower, UnitBuffer &buffer)
{
    return cleaned(lower, {u"th", u"st", u"rd"}, true, buffer);
}

// Every form of date holds a year, so a line without a digit holds no date; the cleaning cannot
// make one. Most lines of an info text are like that, and are passed over at once.
bool hasDigit(QStringView s)
{
    for (QChar c : s) {
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            return true;
    }
    return false;
}

// Lines 1 to 6 lower-cased once for all three passes.
class FirstLines
{
public:
    explicit FirstLines(const InfoLines &lines)
    {
        qsizetype size = 0;
        for (qsizetype n = 1; n <= DateLines; ++n)
            size += lines.line(n).size();
        char16_t *p = m_buffer.reserve(size);
        for (qsizetype n = 1; n <= DateLines; ++n) {
            const QStringView line = lines.line(n);
            LowerCasedInto(line, p);
            m_lower[size_t(n - 1)] = QStringView(p, line.size());
            p += line.size();
        }
    }
    QStringView lower(qsizetype n) const { return m_lower[size_t(n - 1)]; }

private:
    UnitBuffer m_buffer;
    std::array<QStringView, DateLines> m_lower;
};

HeaderField keywordLines(const FirstLines &lines, const DateLocale &locale, UnitBuffer &buffer)
{
    HeaderField found;
    // Every line is examined: a later "date" line replaces what an earlier one gave.
    for (qsizetype n = 1; n <= DateLines; ++n) {
        const QStringView w = lines.lower(n);
        if (!BeginsWith(w, u"date"))
            continue;
        const QStringView rest = RestAfter(w, 4);
        if (const std::optional<QDate> date = RecogniseDate(rest, locale)) {
            found = dateField(Trimmed(rest), *date, locale);
            continue;
        }
        // "Date: Sunday, May 8th 1977": the rest as a whole is no date, but one stands in it.
        if (const std::optional<DateInside> inside =
                FindDateInside(cleanedForSearch(rest, buffer), locale, ShortestDateInside))
            found = dateField(Trimmed(rest), inside->date, locale);
    }
    return found;
}

HeaderField wholeLines(const InfoLines &lines, const FirstLines &lower, const DateLocale &locale,
                       UnitBuffer &buffer)
{
    for (qsizetype n = 1; n <= DateLines; ++n) {
        if (!hasDigit(lower.lower(n)))
            continue;
        // "th", "rd", "st" in this order: "August 8th" is tested as "augu 8", which the month
        // prefixes still read as August.
        const QStringView w = cleaned(lower.lower(n), {u"th", u"rd", u"st"}, false, buffer);
        if (const std::optional<QDate> date = RecogniseDate(w, locale))
            return dateField(lines.line(n), *date, locale);
    }
    return {};
}

HeaderField datesInsideLines(const FirstLines &lines, const DateLocale &locale, UnitBuffer &buffer)
{
    for (qsizetype n = 1; n <= DateLines; ++n) {
        if (!hasDigit(lines.lower(n)))
            continue;
        const QStringView w = cleanedForSearch(lines.lower(n), buffer);
        if (!w.isEmpty() && w[0] >= u'1' && w[0] <= u'9') {
            // A line that begins with a date: "5/8/77 town hall" is cut to "5/8/77 ".
            QStringView cut = w;
            const qsizetype blank = FindChar(cut, 0, u' ');
            if (blank >= 0)
                cut = cut.first(blank + 1);
            const qsizetype comma = FindChar(cut, 0, u',');
            if (comma >= 0)
                cut = cut.first(comma);
            if (const std::optional<QDate> date = RecogniseDate(cut, locale))
                return dateField(cut, *date, locale);
        }
        // The whole line is searched, not only the cut: "5 may 1977 town hall" cuts to "5 ",
        // and searching that alone would miss the show's date.
        if (const std::optional<DateInside> inside = FindDateInside(w, locale, ShortestDateInside))
            return dateField(inside->trimmed, inside->date, locale);
    }
    return {};
}

} // namespace

HeaderField FindShowDate(const InfoLines &lines, const QLocale &locale)
{
    if (lines.count() < DateLines)
        return {};
    const DateLocale &dates = DateLocale::of(locale);
    const FirstLines lower(lines);
    UnitBuffer buffer;
    HeaderField field = keywordLines(lower, dates, buffer);
    if (!field.Found)
        field = wholeLines(lines, lower, dates, buffer);
    if (!field.Found)
        field = datesInsideLines(lower, dates, buffer);
    return field;
}

} // namespace tapewright
