#include "smart/showheader.h"

#include "convert/textterms.h"
#include "smart/collectorterms.h"
#include "smart/textscan.h"

#include <QList>
#include <QVarLengthArray>

#include <string_view>

namespace tapewright::smart {

namespace {

// How far below its first line the header block may reach.
constexpr qsizetype HeaderReach = 40;

enum class HeadPart : quint8
{
    Other,
    Date,
    PartialDate,
    Media,
    TimeOfDay,
    Event,
    State,
};

struct HeadField
{
    QStringView text;
    HeadPart part = HeadPart::Other;
    std::optional<FoundDate> date;
};

QString trimmedName(QStringView s)
{
    s = s.trimmed();
    while (!s.isEmpty() && (s.back() == u',' || s.back() == u'-' || s.back() == u':' ||
                            s.back() == u';' || s.back() == u'_'))
        s.chop(1);
    return CollapsedBlanks(s);
}

// The first line cut into its fields: at commas, at spaced dashes and at runs of blanks.
QList<QStringView> headFields(QStringView s)
{
    QList<QStringView> out;
    qsizetype from = 0;
    const qsizetype n = s.size();
    const auto cut = [&](qsizetype end, qsizetype next) {
        const QStringView f = s.sliced(from, end - from).trimmed();
        if (!f.isEmpty())
            out.append(f);
        from = next;
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u',') {
            cut(i, i + 1);
        } else if (s[i] == u' ' && i + 2 < n && s[i + 1] == u'-' && s[i + 2] == u' ') {
            cut(i, i + 3);
            i += 2;
        } else if (s[i] == u' ' && i + 1 < n && s[i + 1] == u' ') {
            qsizetype e = i;
            while (e < n && s[e] == u' ')
                ++e;
            cut(i, e);
            i = e - 1;
        }
    }
    cut(n, n);
    return out;
}

bool isMediaField(QStringView lower)
{
    qsizetype i = 0;
    while (i < lower.size() && IsAsciiDigit(lower[i]))
        ++i;
    const QStringView rest = lower.sliced(i);
    if (i > 0 && (rest.startsWith(u"cd") || rest.startsWith(u"dvd") || rest.startsWith(u"disc") ||
                  rest.startsWith(u" cd") || rest.startsWith(u" disc")))
        return true;
    if (lower.contains(u"min+") || (lower.startsWith(u'(') && lower.contains(u"min")))
        return true;
    return IsGearWord(lower);
}

bool isTimeOfDay(QStringView lower)
{
    return lower == u"afternoon" || lower == u"evening" || lower == u"matinee" ||
           lower == u"early show" || lower == u"late show" || lower == u"night" ||
           lower == u"morning" || lower == u"afternoon show" || lower == u"evening show";
}

bool hasEventWord(QStringView lower)
{
    qsizetype i = 0;
    while (i < lower.size()) {
        if (!lower[i].isLetter()) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < lower.size() && lower[e].isLetter())
            ++e;
        const QStringView w = lower.sliced(i, e - i);
        if (IsEventWord(w) || w == u"with")
            return true;
        i = e;
    }
    return false;
}

bool hasLetter(QStringView s)
{
    for (QChar c : s) {
        if (c.isLetter())
            return true;
    }
    return false;
}

bool hasVenueWord(QStringView s)
{
    const QString lower = LowerCased(s);
    qsizetype i = 0;
    while (i < lower.size()) {
        if (!lower[i].isLetter()) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < lower.size() && lower[e].isLetter())
            ++e;
        if (IsVenueWord(QStringView(lower).sliced(i, e - i)))
            return true;
        i = e;
    }
    return false;
}

bool endsInVenueWord(QStringView s)
{
    qsizetype e = s.size();
    while (e > 0 && !s[e - 1].isLetter())
        --e;
    qsizetype b = e;
    while (b > 0 && s[b - 1].isLetter())
        --b;
    return IsVenueEndWord(LowerCased(s.sliced(b, e - b)));
}

HeadField classifyHeadField(QStringView f, QStringView lower, const DateLocale &locale)
{
    HeadField h;
    h.text = f;
    if ((h.date = FindDateIn(f, lower, locale)))
        h.part = HeadPart::Date;
    else if (IsPartialDate(lower))
        h.part = HeadPart::PartialDate;
    else if (isMediaField(lower))
        h.part = HeadPart::Media;
    else if (isTimeOfDay(lower))
        h.part = HeadPart::TimeOfDay;
    else if (hasEventWord(lower))
        h.part = HeadPart::Event;
    else if (IsStateCode(f) || IsStateName(lower))
        h.part = HeadPart::State;
    return h;
}

// "Dylan-Bob": a name written surname first, as folder names have it.
QString unreversedName(const QString &band)
{
    const qsizetype dash = band.indexOf(u'-');
    if (dash <= 0 || band.contains(u' ') || band.indexOf(u'-', dash + 1) >= 0)
        return {};
    const QString turned = LowerCased(QString(band.sliced(dash + 1) + u' ' + band.first(dash)));
    return ActNamed(turned);
}

// "Blind Boy Grunt (Bob Dylan)": an act playing under another name, named in brackets.
QString nameInBrackets(const QString &band)
{
    if (!band.endsWith(u')'))
        return {};
    const qsizetype open = band.lastIndexOf(u'(');
    if (open <= 0)
        return {};
    return ActNamed(LowerCased(QStringView(band).sliced(open + 1, band.size() - open - 2)));
}

// "Dylan & Dead Rehearsals" is "Bob Dylan & Grateful Dead": a band written only in traders'
// short names is written out; anything else stays as the file writes it.
QString writtenOut(const QString &band)
{
    if (const QString named = unreversedName(band); !named.isEmpty())
        return named;
    if (const QString named = nameInBrackets(band); !named.isEmpty())
        return named;
    const QString lower = LowerCased(band);
    QVarLengthArray<QStringView, 16> words;
    for (qsizetype i = 0; i < lower.size();) {
        qsizetype e = lower.indexOf(u' ', i);
        if (e < 0)
            e = lower.size();
        if (e > i)
            words.append(QStringView(lower).sliced(i, e - i));
        i = e + 1;
    }
    while (!words.isEmpty() && IsEventWord(words.back()))
        words.removeLast();
    // Names between the joining words, each a stretch of the lower-cased band.
    QStringList acts;
    qsizetype from = -1;
    qsizetype to = -1;
    const auto flush = [&]() {
        if (from < 0)
            return false;
        const QStringView part = QStringView(lower).sliced(from, to - from);
        QString named = ActForShortName(part);
        if (named.isEmpty())
            named = ActNamed(part);
        if (named.isEmpty())
            return false;
        acts.append(named);
        from = -1;
        return true;
    };
    for (const QStringView w : words) {
        if (w == u"&" || w == u"and" || w == u"+" || w == u"/") {
            if (!flush())
                return band;
            continue;
        }
        if (from < 0)
            from = w.data() - lower.data();
        to = w.data() - lower.data() + w.size();
    }
    if (!flush() || acts.isEmpty())
        return band;
    return acts.join(QStringLiteral(" & "));
}

// A second act named in an event field of the first line: "US tour with Grateful Dead",
// "Dead Dylan Rehearsals" (the band being Bob Dylan).
QString partnerIn(QStringView field, const QString &band)
{
    const QString lower = LowerCased(field);
    const QString bandLower = LowerCased(band);
    qsizetype with = lower.indexOf(u"with ");
    if (with >= 0 && (with == 0 || lower[with - 1] == u' ')) {
        const QString act = trimmedName(field.sliced(with + 5));
        if (!act.isEmpty() && act[0].isUpper()) {
            const QString shortAct = ActForShortName(LowerCased(act));
            return shortAct.isEmpty() ? act : shortAct;
        }
    }
    for (const QString &w : lower.split(u' ', Qt::SkipEmptyParts)) {
        const QString act = ActForShortName(w);
        if (!act.isEmpty() && !bandLower.contains(LowerCased(act)))
            return act;
    }
    return {};
}

struct PlaceCandidate
{
    PlaceParts parts;
    int strength = 0; // 0: none; 1: a place without a state; 2: with one; 3: from a keyword
    qsizetype line = -1;
};

void consider(PlaceCandidate &best, const PlaceParts &parts, int strength, qsizetype line)
{
    if (strength > best.strength)
        best = {parts, strength, line};
}

// What the one-line header's place fields give: "Warfield, San Francisco, CA", "Oakland, CA",
// "Marseilles".
std::optional<PlaceParts> placeOfFields(const QList<QStringView> &fields, bool *withState)
{
    QList<QStringView> names;
    qsizetype state = -1;
    for (const QStringView f : fields) {
        if (state >= 0)
            break;
        names.append(f);
        if (IsStateCode(f) || IsStateName(LowerCased(f)))
            state = names.size() - 1;
    }
    *withState = state >= 0;
    PlaceParts p;
    if (state >= 0) {
        p.state = names[state].toString();
        names.resize(state);
    }
    if (names.isEmpty())
        return state >= 0 ? std::optional<PlaceParts>(p) : std::nullopt;
    p.city = trimmedName(names.back());
    names.removeLast();
    QStringList venue;
    for (const QStringView v : std::as_const(names))
        venue.append(trimmedName(v));
    p.venue = venue.join(QStringLiteral(", "));
    return p;
}

class HeaderReader
{
public:
    HeaderReader(const InfoText &text, const DateLocale &locale) : t(text), loc(locale) {}

    ShowHeader read()
    {
        findZone();
        readKeywordFields();
        readFirstLine();
        readZoneLines();
        chooseBand();
        chooseDate();
        choosePlace();
        readSource();
        readNotes();
        return h;
    }

private:
    const InfoText &t;
    const DateLocale &loc;
    ShowHeader h;
    qsizetype zoneStart = -1;
    qsizetype zoneEnd = 0;

    // keyword fields, the first of each
    qsizetype artistLine = -1, bandLine = -1, titleLine = -1, dateLine = -1, venueLine = -1,
              locationLine = -1, cityLine = -1, stateLine = -1;
    // the first line
    QString firstBand;
    QStringList partners;
    std::optional<FoundDate> firstDate;
    QString firstDateText;
    PlaceCandidate place;
    qsizetype firstLineBand = -1;
    bool oneLineHeader = false; // the first line holds the header's fields, read above
    // lines of the header block
    qsizetype zoneDateLine = -1;
    std::optional<FoundDate> zoneDate;
    qsizetype zonePlaceLine = -1;

    void use(qsizetype line) { h.lastLine = qMax(h.lastLine, line); }

    void findZone()
    {
        for (qsizetype i = 0; i < t.count(); ++i) {
            if (t.isContent(i)) {
                zoneStart = i;
                break;
            }
        }
        if (zoneStart < 0)
            return;
        int blanks = 0;
        zoneEnd = zoneStart + 1;
        for (qsizetype i = zoneStart + 1; i < t.count() && i < zoneStart + HeaderReach; ++i) {
            const LineKind k = t.kind(i);
            if (k == LineKind::Items || k == LineKind::FileHeader)
                break;
            blanks = k == LineKind::Blank ? blanks + 1 : 0;
            if (blanks >= 2)
                break;
            zoneEnd = i + 1;
        }
    }

    void readKeywordFields()
    {
        for (qsizetype i = 0; i < t.count(); ++i) {
            if (t.kind(i) != LineKind::Field || t.value(i).isEmpty())
                continue;
            qsizetype *slot = nullptr;
            switch (t.at(i).key) {
            case FieldKey::Artist:
                slot = &artistLine;
                break;
            case FieldKey::Band:
                slot = &bandLine;
                break;
            case FieldKey::Title:
                slot = &titleLine;
                break;
            case FieldKey::Date:
                if (!FindDateIn(t.value(i), t.lowerValue(i), loc))
                    continue;
                slot = &dateLine;
                break;
            case FieldKey::Venue:
                slot = &venueLine;
                break;
            case FieldKey::Location:
                slot = &locationLine;
                break;
            case FieldKey::City:
                slot = &cityLine;
                break;
            case FieldKey::State:
                slot = &stateLine;
                break;
            default:
                continue;
            }
            if (*slot < 0)
                *slot = i;
        }
    }

    void readFirstLine()
    {
        if (zoneStart < 0)
            return;
        const qsizetype i = zoneStart;
        const LineKind k = t.kind(i);
        if (k != LineKind::Text && k != LineKind::Prose && k != LineKind::Place)
            return;
        const QStringView s = t.line(i);
        QList<HeadField> fields;
        const QStringView low = t.lower(i);
        const auto classified = [&](QStringView f) {
            return classifyHeadField(f, low.sliced(f.data() - s.data(), f.size()), loc);
        };
        for (const QStringView f : headFields(s))
            fields.append(classified(f));
        // "Bob Dylan 1966-05-17 Free Trade Hall, ...": a date splits the first field. A place
        // line is a header line only so ("Mansfield, Massachusetts 1986-07-10" is a place).
        const bool splitByDate = !fields.isEmpty() && fields[0].date &&
                                 hasLetter(fields[0].text.first(fields[0].date->start)) &&
                                 hasLetter(fields[0].text.sliced(fields[0].date->end));
        if (k == LineKind::Place && !splitByDate)
            return;
        if (!fields.isEmpty() && fields[0].date && fields[0].date->start > 0) {
            const HeadField whole = fields.takeFirst();
            const FoundDate d = *whole.date;
            qsizetype at = 0;
            for (const QStringView part :
                 {whole.text.first(d.start), whole.text.sliced(d.start, d.end - d.start),
                  whole.text.sliced(d.end)}) {
                if (!part.trimmed().isEmpty())
                    fields.insert(at++, classified(part.trimmed()));
            }
        }
        bool typed = false;
        for (qsizetype k2 = 1; k2 < fields.size(); ++k2) {
            const HeadPart p = fields[k2].part;
            typed = typed || p == HeadPart::Date || p == HeadPart::PartialDate ||
                    p == HeadPart::Media || p == HeadPart::State;
        }
        const qsizetype dash = s.indexOf(u" - ");
        if (!typed || fields.size() < 2) {
            // A band line, perhaps with a title behind a dash: "Bob Dylan - A Bird's Nest ...".
            const QStringView band = dash > 0 ? s.first(dash) : s;
            if (k == LineKind::Text && CountWords(band).words <= 8 && !endsInVenueWord(band)) {
                firstBand = trimmedName(band);
                firstLineBand = i;
                use(i);
            }
            return;
        }
        use(i);
        firstLineBand = i;
        oneLineHeader = true;
        // The band: the first field that is a name ("1977-05-08 - Grateful Dead - ..." puts the
        // date first), with what shares its part of the line between spaced dashes, else with
        // the names that follow it up to the first typed field.
        qsizetype bandFirst = 0;
        while (bandFirst < fields.size() && fields[bandFirst].part != HeadPart::Other &&
               fields[bandFirst].part != HeadPart::Event)
            ++bandFirst;
        qsizetype bandEnd = bandFirst; // behind the band's last field
        if (bandFirst < fields.size() && dash > 0) {
            const qsizetype at = fields[bandFirst].text.data() - s.data();
            const qsizetype from = at >= 3 ? s.first(at).lastIndexOf(u" - ") + 3 : 0;
            qsizetype to = s.indexOf(u" - ", at);
            if (to < 0)
                to = s.size();
            firstBand = trimmedName(s.sliced(from, to - from));
            while (bandEnd < fields.size() && fields[bandEnd].text.data() < s.data() + to)
                ++bandEnd;
        } else if (bandFirst < fields.size()) {
            QStringList band;
            while (bandEnd < fields.size() && fields[bandEnd].part == HeadPart::Other)
                band.append(trimmedName(fields[bandEnd++].text));
            if (band.isEmpty())
                band.append(trimmedName(fields[bandEnd++].text)); // an event: "Dylan & Dead ..."
            firstBand = band.join(QStringLiteral(", "));
        }
        QList<QStringView> placeFields;
        bool tour = false;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (f == bandFirst)
                f = bandEnd;
            if (f >= fields.size())
                break;
            const HeadField &hf = fields[f];
            switch (hf.part) {
            case HeadPart::Date:
                if (!firstDate) {
                    firstDate = hf.date;
                    firstDateText =
                        hf.text.sliced(hf.date->start, hf.date->end - hf.date->start).toString();
                }
                // "Providence July 10th 1986": the place before the date counts.
                if (const QStringView before = hf.text.first(hf.date->start).trimmed();
                    hasLetter(before))
                    placeFields.append(before);
                break;
            case HeadPart::Event:
                if (const QString partner = partnerIn(hf.text, firstBand); !partner.isEmpty())
                    partners.append(partner);
                tour = tour || LowerCased(hf.text).contains(u"tour");
                break;
            case HeadPart::Other:
            case HeadPart::State:
                if (hasLetter(hf.text))
                    placeFields.append(hf.text);
                break;
            default:
                break;
            }
        }
        // A set from a tour ("US tour with Grateful Dead") spans several shows: the date on
        // its title line is the tour's, no show's.
        if (tour)
            firstDate.reset();
        bool withState = false;
        if (const auto p = placeOfFields(placeFields, &withState))
            consider(place, *p, withState ? 2 : 1, i);
    }

    // The header block one field a line: date lines, place lines, the venue beside them.
    void readZoneLines()
    {
        for (qsizetype i = zoneStart; i >= 0 && i < zoneEnd; ++i) {
            const LineKind k = t.kind(i);
            if (k == LineKind::Date && zoneDateLine < 0) {
                zoneDateLine = i;
                zoneDate = FindDateIn(t.line(i), t.lower(i), loc);
            } else if (k == LineKind::Place && zonePlaceLine < 0) {
                zonePlaceLine = i;
            }
        }
        if (zoneDateLine < 0) {
            // A date inside a line of the block: "Marriott Inn, Mansfield, Massachusetts
            // 1986-07-10".
            for (qsizetype i = zoneStart; i >= 0 && i < zoneEnd; ++i) {
                const LineKind k = t.kind(i);
                if ((k != LineKind::Text && k != LineKind::Place) ||
                    (oneLineHeader && i == zoneStart))
                    continue;
                const QStringView low = t.lower(i);
                if (low.contains(u"transfer") || low.contains(u"download") ||
                    low.contains(u"generated") || low.contains(u"updated") ||
                    low.contains(u"posted") || low.contains(u"ripped") ||
                    low.contains(u"uploaded") || low.contains(u"seeded"))
                    continue;
                if ((zoneDate = FindDateIn(t.line(i), low, loc))) {
                    zoneDateLine = i;
                    break;
                }
            }
        }
        if (zonePlaceLine >= 0) {
            const auto p = ReadPlace(t.line(zonePlaceLine), t.lower(zonePlaceLine), loc);
            PlaceParts parts = *p;
            if (parts.venue.isEmpty())
                parts.venue = zoneVenue();
            consider(place, parts, 2, zonePlaceLine);
        }
    }

    // The paragraph (lines without a blank between) around line i.
    std::pair<qsizetype, qsizetype> paragraph(qsizetype i) const
    {
        qsizetype a = i;
        qsizetype b = i + 1;
        while (a > zoneStart && t.kind(a - 1) != LineKind::Blank)
            --a;
        while (b < zoneEnd && t.kind(b) != LineKind::Blank)
            ++b;
        return {a, b};
    }

    bool venueCandidate(qsizetype i) const
    {
        if (i == firstLineBand || t.kind(i) != LineKind::Text)
            return false;
        const QStringView s = t.line(i);
        return IsTitleLike(s) && s.compare(firstBand, Qt::CaseInsensitive) != 0;
    }

    // The venue lines of a header block written one field a line: the names in the paragraph of
    // the date or place line, or a name standing alone right after them. Names with a venue
    // word ("Hall", "Theatre") win over others; two lines are joined.
    QString zoneVenue()
    {
        QList<qsizetype> lines;
        qsizetype lastAnchor = -1;
        for (const qsizetype anchor : {zonePlaceLine, zoneDateLine}) {
            if (anchor < 0)
                continue;
            const auto [a, b] = paragraph(anchor);
            lastAnchor = qMax(lastAnchor, b);
            for (qsizetype i = a; i < b; ++i) {
                if (venueCandidate(i) && !lines.contains(i))
                    lines.append(i);
            }
        }
        if (lines.isEmpty() && lastAnchor >= 0) {
            qsizetype i = lastAnchor;
            while (i < zoneEnd && t.kind(i) == LineKind::Blank)
                ++i;
            if (i < zoneEnd && venueCandidate(i) &&
                (i + 1 >= t.count() || t.kind(i + 1) == LineKind::Blank))
                lines.append(i);
        }
        std::sort(lines.begin(), lines.end());
        QList<qsizetype> named;
        for (const qsizetype i : std::as_const(lines)) {
            if (hasVenueWord(t.line(i)))
                named.append(i);
        }
        if (!named.isEmpty())
            lines = named;
        QStringList venue;
        for (qsizetype k = 0; k < lines.size() && k < 2; ++k) {
            venue.append(CollapsedBlanks(t.line(lines[k])));
            use(lines[k]);
        }
        return venue.join(QStringLiteral(", "));
    }

    QString bandFromFileHeaders() const
    {
        for (qsizetype i = 0; i < t.count(); ++i) {
            if (t.kind(i) != LineKind::FileHeader)
                continue;
            const QStringView name = t.fileName(i);
            const QString lower = LowerCased(name);
            const std::optional<FoundDate> d = FindDateIn(name, lower, loc);
            if (!d || d->start == 0)
                continue;
            QStringView band = name.first(d->start);
            if (const qsizetype dash = band.indexOf(u" - "); dash > 0)
                band = band.first(dash);
            const QString b = trimmedName(band);
            if (hasLetter(b))
                return b;
        }
        return {};
    }

    // "01 Grateful Dead - Maggie's Farm.flac" in every listed file name: the artist.
    QString bandFromListing() const
    {
        QString found;
        int seen = 0;
        for (qsizetype i = 0; i < t.count() && seen < 3; ++i) {
            if (t.kind(i) != LineKind::Listing)
                continue;
            QStringView name = AudioFileName(t.line(i), t.lower(i));
            if (name.isEmpty())
                continue;
            const qsizetype slash = qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
            name = name.sliced(slash + 1);
            const qsizetype dash = name.indexOf(u" - ");
            if (dash <= 0)
                return {};
            QStringView artist = name.first(dash);
            while (!artist.isEmpty() && (IsAsciiDigit(artist[0]) || !artist[0].isLetter()))
                artist = artist.sliced(1);
            const QString a = trimmedName(artist);
            if (a.isEmpty() || (!found.isEmpty() && a != found))
                return {};
            found = a;
            ++seen;
        }
        return seen >= 2 ? found : QString();
    }

    void chooseBand()
    {
        QString band;
        if (artistLine >= 0)
            band = trimmedName(t.value(artistLine));
        else if (bandLine >= 0)
            band = trimmedName(t.value(bandLine));
        else if (!firstBand.isEmpty())
            band = firstBand;
        else if (titleLine >= 0) {
            const QStringView v = t.value(titleLine);
            const qsizetype dash = v.indexOf(u" - ");
            band = trimmedName(dash > 0 ? v.first(dash) : v);
        }
        if (band.isEmpty())
            band = bandFromFileHeaders();
        if (band.isEmpty())
            band = bandFromListing();
        band = writtenOut(band);
        for (const QString &partner : std::as_const(partners)) {
            if (!LowerCased(band).contains(LowerCased(partner)))
                band += QStringLiteral(" & ") + partner;
        }
        h.band = band;
    }

    void chooseDate()
    {
        if (dateLine >= 0) {
            const QStringView v = t.value(dateLine);
            const std::optional<FoundDate> d = FindDateIn(v, t.lowerValue(dateLine), loc);
            h.date = d->date;
            h.literalDate = v.sliced(d->start, d->end - d->start).toString();
        } else if (firstDate) {
            h.date = firstDate->date;
            h.literalDate = firstDateText;
        } else if (zoneDate) {
            const QStringView s = t.line(zoneDateLine);
            h.date = zoneDate->date;
            h.literalDate =
                t.kind(zoneDateLine) == LineKind::Date
                    ? s.toString()
                    : s.sliced(zoneDate->start, zoneDate->end - zoneDate->start).toString();
            use(zoneDateLine);
        }
    }

    void choosePlace()
    {
        QString keywordVenue;
        if (venueLine >= 0) {
            const QStringView v = t.value(venueLine);
            if (const auto p = ReadPlace(v, t.lowerValue(venueLine), loc); p && !p->venue.isEmpty())
                consider(place, *p, 3, venueLine);
            else
                keywordVenue = trimmedName(v);
        }
        if (locationLine >= 0) {
            const QStringView v = t.value(locationLine);
            if (const auto p = ReadPlace(v, t.lowerValue(locationLine), loc))
                consider(place, *p, 3, locationLine);
        }
        if (place.strength > 0 && place.line >= zoneStart && place.line < zoneEnd)
            use(place.line);
        h.venue = !keywordVenue.isEmpty() ? keywordVenue : place.parts.venue;
        h.city = cityLine >= 0 ? trimmedName(t.value(cityLine)) : place.parts.city;
        h.state = stateLine >= 0 ? trimmedName(t.value(stateLine)) : place.parts.state;
    }

    // Joins a line that ends in an arrow, or a keyword with nothing behind it, with the next;
    // *next is the line joined, -1 when none.
    QString withContinuation(qsizetype i, QString piece, qsizetype *next) const
    {
        *next = -1;
        const bool open = piece.endsWith(u'>') || t.value(i).isEmpty();
        if (!open)
            return piece;
        for (qsizetype k = i + 1; k < t.count(); ++k) {
            if (t.kind(k) == LineKind::Blank)
                continue;
            if (t.isContent(k) && t.kind(k) != LineKind::Items && t.kind(k) != LineKind::Field) {
                piece += u' ' + t.line(k).toString();
                *next = k;
            }
            break;
        }
        return piece;
    }

    // "LB-6124, (62min+47min), Taper: ..., Source: A > B, Transfer: C > D, Notes:, ...": in a
    // line of comma-joined keyword fields, the source fields alone.
    QString sourceFieldsOf(QStringView s) const
    {
        static constexpr std::u16string_view keys[] = {u"source:", u"lineage:", u"transfer:",
                                                       u"genealogy:", u"recording:"};
        const auto sourceKeyAt = [&](QStringView segment) {
            for (const auto &k : keys) {
                if (segment.startsWith(QStringView(k.data(), qsizetype(k.size())),
                                       Qt::CaseInsensitive))
                    return true;
            }
            return false;
        };
        const auto keyAt = [](QStringView segment) {
            const qsizetype colon = segment.indexOf(u':');
            if (colon <= 0 || colon > 24)
                return false;
            for (QChar c : segment.first(colon)) {
                if (!(c.isLetter() || c == u' '))
                    return false;
            }
            return true;
        };
        qsizetype from = -1;
        qsizetype to = s.size();
        qsizetype at = 0;
        while (at < s.size()) {
            const QStringView segment = s.sliced(at);
            if (from < 0 && sourceKeyAt(segment))
                from = at;
            else if (from >= 0 && keyAt(segment) && !sourceKeyAt(segment)) {
                to = at;
                break;
            }
            const qsizetype comma = s.indexOf(u", ", at);
            if (comma < 0)
                break;
            at = comma + 2;
        }
        if (from < 0)
            return s.toString();
        QStringView piece = s.sliced(from, to - from).trimmed();
        while (piece.endsWith(u','))
            piece.chop(1);
        return piece.toString();
    }

    void readSource()
    {
        QStringList pieces;
        const auto add = [&](const QString &piece) {
            if (!piece.isEmpty() && !pieces.contains(piece))
                pieces.append(piece);
        };
        qsizetype joined = -1; // the line a piece took in as its continuation
        for (qsizetype i = 0; i < t.count(); ++i) {
            const LineKind k = t.kind(i);
            if (i == joined)
                continue;
            if (k == LineKind::Field && t.at(i).key == FieldKey::Source) {
                add(withContinuation(i, t.line(i).toString(), &joined));
            } else if (k == LineKind::Source) {
                add(withContinuation(i, sourceFieldsOf(t.line(i)), &joined));
            } else if (k == LineKind::Field && t.at(i).key == FieldKey::Other &&
                       IsSourceLine(t.lowerValue(i))) {
                add(t.line(i).toString()); // "Quality : audience recording"
            } else if (k == LineKind::Items) {
                const TrackItem &first = t.item(i, 0);
                if (first.kind == TrackItem::Kind::Disc && !first.title.isEmpty() &&
                    IsSourceLine(LowerCased(first.title)))
                    add(first.title); // "CD1 (sbd cassette master > dats > cdrs)"
            }
        }
        h.source = pieces.join(QStringLiteral(" | "));
    }

    void readNotes()
    {
        for (qsizetype i = 0; i < t.count(); ++i) {
            if (t.kind(i) != LineKind::Field || t.at(i).key != FieldKey::Notes)
                continue;
            QStringList parts;
            if (!t.value(i).isEmpty())
                parts.append(t.value(i).toString());
            qsizetype k = i + 1;
            if (parts.isEmpty()) {
                while (k < t.count() && t.kind(k) == LineKind::Blank)
                    ++k;
            }
            for (; k < t.count() && t.isContent(k); ++k)
                parts.append(t.line(k).toString());
            h.notes = CollapsedBlanks(parts.join(u' '));
            return;
        }
    }
};

} // namespace

ShowHeader ReadShowHeader(const InfoText &text, const DateLocale &locale, FieldTrace *)
{
    return HeaderReader(text, locale).read();
}

} // namespace tapewright::smart
