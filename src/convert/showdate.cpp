// The show's date, looked for in lines 1 to 6 in three passes: a line that begins with "date",
// a line that is a date once ordinal suffixes are gone, and a date inside a line. A pass runs
// only when the passes before it found nothing.
#include "convert/showdate.h"

#include "convert/daterecogniser.h"
#include "convert/textterms.h"

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
//
// The three passes run as one: each holds back one character to see whether the next makes its
// pair with it, and hands on what it keeps to the next. That is exactly a pass from left to right
// that removes each pair it meets and never looks at what a removal joins; the next pass does.
QStringView cleaned(QStringView lower, const std::array<QStringView, 3> &suffixes, bool dashes,
                    UnitBuffer &buffer)
{
    char16_t *const out = buffer.reserve(lower.size());
    qsizetype size = 0;
    struct Pass
    {
        char16_t first;
        char16_t second;
        char16_t held = 0;
        bool holding = false;
    };
    std::array<Pass, 3> passes;
    for (size_t k = 0; k < passes.size(); ++k)
        passes[k] = {suffixes[k][0].unicode(), suffixes[k][1].unicode()};
    const auto keep = [&](char16_t c) {
        out[size++] = c == u'.' || (dashes && c == u'-') ? u'/' : c;
    };
    const auto feed = [&](auto &self, size_t k, char16_t c) -> void {
        if (k == passes.size()) {
            keep(c);
            return;
        }
        Pass &pass = passes[k];
        if (pass.holding) {
            if (pass.held == pass.first && c == pass.second) {
                pass.holding = false; // the pair goes
                return;
            }
            self(self, k + 1, pass.held);
        }
        pass.held = c;
        pass.holding = true;
    };
    for (QChar c : lower)
        feed(feed, 0, c.unicode());
    for (size_t k = 0; k < passes.size(); ++k) {
        if (passes[k].holding) {
            passes[k].holding = false;
            feed(feed, k + 1, passes[k].held);
        }
    }
    return QStringView(out, size);
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

// Whether the line, once cleaned, could be a date as a whole: the characters that are neither
// blanks nor letters of the suffixes all stay, and a date has only so many besides its blanks.
// A long line of text is no date and is not cleaned.
bool mayBeWholeDate(QStringView lower, const DateLocale &locale)
{
    qsizetype kept = 0;
    for (QChar c : lower) {
        switch (c.unicode()) {
        case u' ':
        case u't':
        case u'h':
        case u'r':
        case u'd':
        case u's':
            break;
        default:
            if (++kept > locale.longestDate)
                return false;
        }
    }
    return true;
}

HeaderField wholeLines(const InfoLines &lines, const FirstLines &lower, const DateLocale &locale,
                       UnitBuffer &buffer)
{
    for (qsizetype n = 1; n <= DateLines; ++n) {
        if (!hasDigit(lower.lower(n)) || !mayBeWholeDate(lower.lower(n), locale))
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
