#include "smart/showheader.h"

#include "convert/textterms.h"
#include "smart/bandname.h"
#include "smart/explain.h"
#include "smart/headerplace.h"
#include "smart/headersource.h"
#include "smart/headfields.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QList>
#include <QVarLengthArray>

#include <string_view>
#include <tuple>

namespace tapewright::smart {

namespace {

// How far below its first line the header block may reach.
constexpr qsizetype HeaderReach = 40;

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

class HeaderReader
{
public:
    HeaderReader(const InfoText &text, const DateLocale &locale, FieldTrace *trace)
        : t(text), loc(locale), trace(trace)
    {
    }

    ShowHeader read()
    {
        findZone();
        readKeywordFields();
        readFirstLine();
        readZoneLines();
        chooseBand();
        chooseDate();
        choosePlace();
        h.source = ReadSource(t);
        h.notes = ReadNotes(t);
        return h;
    }

private:
    const InfoText &t;
    const DateLocale &loc;
    FieldTrace *trace; // told every candidate when given
    ShowHeader h;
    qsizetype zoneStart = -1;
    qsizetype headLine = -1; // the header's first line: the block's first, but for a remark
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
        // A remark of several sentences above the header ("Here's both sets. Listen loud.") is
        // no header line: the next line of the block is.
        headLine = zoneStart;
        while (headLine + 1 < zoneEnd && t.kind(headLine) == LineKind::Prose &&
               HasSentenceEnd(t.line(headLine))) {
            ++headLine;
            while (headLine + 1 < zoneEnd && !t.isContent(headLine))
                ++headLine;
        }
        const qsizetype i = headLine;
        const LineKind k = t.kind(i);
        if (k != LineKind::Text && k != LineKind::Prose && k != LineKind::Place)
            return;
        const QStringView s = t.line(i);
        QList<HeadField> fields;
        const QStringView low = t.lower(i);
        const auto classified = [&](QStringView f) {
            return ClassifyHeadField(f, low.sliced(f.data() - s.data(), f.size()), loc);
        };
        for (const QStringView f : HeadFields(s, FindDateIn(s, low, loc)))
            fields.append(classified(f));
        // "Bob Dylan 1966-05-17 Free Trade Hall, ...": a date splits the first field. A place
        // line is a header line only so ("Mansfield, Massachusetts 1986-07-10" is a place).
        const bool splitByDate = !fields.isEmpty() && fields[0].date &&
                                 HasLetter(fields[0].text.first(fields[0].date->start)) &&
                                 HasLetter(fields[0].text.sliced(fields[0].date->end));
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
            // A line ending in a colon introduces what follows ("Information from:"), and one
            // ending in a full stop is a sentence ("Bob Dylan opened, Van Morrison closed."):
            // neither is a band's name.
            const bool sentence = band.size() == s.size() && (s.endsWith(u':') || s.endsWith(u'.'));
            if (k == LineKind::Text && CountWords(band).words <= MaxBandWords &&
                !EndsInVenueWord(band) && !sentence) {
                firstBand = TrimmedName(band);
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
            firstBand = TrimmedName(s.sliced(from, to - from));
            while (bandEnd < fields.size() && fields[bandEnd].text.data() < s.data() + to)
                ++bandEnd;
        } else if (bandFirst < fields.size()) {
            QStringList band;
            while (bandEnd < fields.size() && fields[bandEnd].part == HeadPart::Other)
                ++bandEnd;
            // "Bob Dylan, Winston Farm, Saugerties, NY": names running into a state are the
            // band, then the venue and city.
            if (bandEnd < fields.size() && fields[bandEnd].part == HeadPart::State &&
                bandEnd - bandFirst >= 2)
                bandEnd = bandFirst + qMax<qsizetype>(1, bandEnd - bandFirst - 2);
            for (qsizetype f = bandFirst; f < bandEnd; ++f)
                band.append(TrimmedName(fields[f].text));
            if (band.isEmpty())
                band.append(TrimmedName(fields[bandEnd++].text)); // an event: "Dylan & Dead ..."
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
                // "Providence July 10th 1986": the place before the date counts, and so does
                // the place after it ("2024 08 03 @ Shoreline Amphitheatre").
                if (const QStringView before = hf.text.first(hf.date->start).trimmed();
                    HasLetter(before))
                    placeFields.append(before);
                if (QStringView after = hf.text.sliced(hf.date->end).trimmed(); HasLetter(after)) {
                    while (!after.isEmpty() && !after[0].isLetterOrNumber())
                        after = after.sliced(1);
                    placeFields.append(after);
                }
                break;
            case HeadPart::Event:
                if (const QString partner = PartnerIn(hf.text, firstBand); !partner.isEmpty())
                    partners.append(partner);
                tour = tour || LowerCased(hf.text).contains(u"tour");
                break;
            case HeadPart::Other:
            case HeadPart::State:
                if (HasLetter(hf.text))
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
        if (const auto p = PlaceOfFields(placeFields, &withState))
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
                    (oneLineHeader && i == headLine))
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
            // "Ontario, Canada" under the city's line: a state and its country, no city.
            if (parts.venue.isEmpty() && IsStateName(LowerCased(parts.city)) &&
                IsCountryName(LowerCased(parts.state))) {
                parts.state = parts.city;
                parts.city.clear();
            }
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
            if (HasVenueWord(t.line(i)))
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

    QString keywordValue(qsizetype line) const
    {
        return line >= 0 ? TrimmedName(t.value(line)) : QString();
    }

    void chooseBand()
    {
        const qsizetype reach = qMin(t.count(), qMax<qsizetype>(zoneStart, 0) + HeaderReach);
        QString band = Weigh(
            trace, ShowField::Band,
            {{u"keyword line: artist", artistLine, [&] { return keywordValue(artistLine); }},
             {u"keyword line: band", bandLine, [&] { return keywordValue(bandLine); }},
             {u"the first line, before its date or place", firstLineBand,
              [&] { return firstBand; }},
             {u"a known act's name on a line", -1, [&] { return KnownActLine(t, reach); }},
             {u"keyword line: title, before its dash", titleLine,
              [&] {
                  const QStringView v = titleLine >= 0 ? t.value(titleLine) : QStringView();
                  const qsizetype dash = v.indexOf(u" - ");
                  return TrimmedName(dash > 0 ? v.first(dash) : v);
              }},
             {u"the names of concatenated files", -1, [&] { return BandFromFileHeaders(t, loc); }},
             {u"the names in a file listing", -1, [&] { return BandFromListing(t); }},
             {u"the lineup's first musician", -1, [&] { return LineupLeader(t); }}});
        band = WrittenOutBand(band);
        for (const QString &partner : std::as_const(partners)) {
            if (!LowerCased(band).contains(LowerCased(partner)))
                band += QStringLiteral(" & ") + partner;
        }
        h.band = band;
    }

    void chooseDate()
    {
        // Each source's date as written; the first source that has one wins.
        const auto keyword = [&] {
            const QStringView v = t.value(dateLine);
            const std::optional<FoundDate> d = FindDateIn(v, t.lowerValue(dateLine), loc);
            return std::pair{d->date, v.sliced(d->start, d->end - d->start).toString()};
        };
        const auto zone = [&] {
            const QStringView s = t.line(zoneDateLine);
            return t.kind(zoneDateLine) == LineKind::Date
                       ? s.toString()
                       : s.sliced(zoneDate->start, zoneDate->end - zoneDate->start).toString();
        };
        if (trace) {
            trace->candidate(ShowField::Date, u"keyword line: date", dateLine,
                             dateLine >= 0 ? keyword().second : QString());
            trace->candidate(ShowField::Date, u"the first line's date", headLine,
                             firstDate ? firstDateText : QString());
            trace->candidate(ShowField::Date, u"a date of the header block", zoneDateLine,
                             zoneDate ? zone() : QString());
        }
        if (dateLine >= 0) {
            std::tie(h.date, h.literalDate) = keyword();
        } else if (firstDate) {
            h.date = firstDate->date;
            h.literalDate = firstDateText;
        } else if (zoneDate) {
            h.date = zoneDate->date;
            h.literalDate = zone();
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
                keywordVenue = TrimmedName(v);
        }
        if (locationLine >= 0) {
            const QStringView v = t.value(locationLine);
            if (const auto p = ReadPlace(v, t.lowerValue(locationLine), loc))
                consider(place, *p, 3, locationLine);
        }
        if (place.strength > 0 && place.line >= zoneStart && place.line < zoneEnd)
            use(place.line);
        h.venue = !keywordVenue.isEmpty() ? keywordVenue : place.parts.venue;
        h.city = cityLine >= 0 ? TrimmedName(t.value(cityLine)) : place.parts.city;
        h.state = stateLine >= 0 ? TrimmedName(t.value(stateLine)) : place.parts.state;
        if (trace) {
            trace->candidate(ShowField::Venue, u"keyword line: venue", venueLine, keywordVenue);
            trace->candidate(ShowField::City, u"keyword line: city", cityLine,
                             keywordValue(cityLine));
            trace->candidate(ShowField::State, u"keyword line: state", stateLine,
                             keywordValue(stateLine));
            TellPlace(trace,
                      place.strength == 3 ? u"keyword line: venue or location" : u"a place line",
                      place.line, place.parts);
        }
        if (h.venue.isEmpty() || h.city.isEmpty()) {
            const PlaceParts stack = stackPlace();
            TellPlace(trace, u"the header's lines, one field a line", -1, stack);
            for (auto [field, value] :
                 {std::pair{&h.venue, &stack.venue}, std::pair{&h.city, &stack.city},
                  std::pair{&h.state, &stack.state}}) {
                if (field->isEmpty())
                    *field = *value;
            }
        }
    }

    // A header written one field a line ("Bob Dylan" / "Maple Leaf Gardens" / "Toronto" / "12
    // October 1978"): the names in the paragraphs of the band and date lines, and what a date
    // line holds beside its date ("1991-11-16 New Haven, Connecticut (Woolsey Hall)"), give the
    // place; each line fills only what the ones above it left empty.
    PlaceParts stackPlace()
    {
        PlaceParts merged;
        QList<qsizetype> lines;
        for (const qsizetype anchor : {headLine, zoneDateLine}) {
            if (anchor < 0)
                continue;
            const auto [a, b] = paragraph(anchor);
            for (qsizetype i = a; i < b; ++i) {
                if (!lines.contains(i))
                    lines.append(i);
            }
        }
        std::sort(lines.begin(), lines.end());
        for (const qsizetype i : std::as_const(lines)) {
            if (i == firstLineBand || i == zonePlaceLine || t.kind(i) != LineKind::Text ||
                t.at(i).decorated || t.line(i).endsWith(u'.') || t.line(i).endsWith(u':') ||
                t.line(i).compare(h.band, Qt::CaseInsensitive) == 0)
                continue; // sentences, headings and the band's own line name no place
            QString s = t.line(i).toString();
            if (i == zoneDateLine && zoneDate)
                s = s.first(zoneDate->start) + QStringLiteral("  ") + s.sliced(zoneDate->end);
            else if (HasDigit(s))
                continue;
            // A line the first line's reader takes for media, an event or a time of day ("New
            // Year's Eve Run", "Early Show") names no place.
            const QString lower = LowerCased(s);
            const HeadPart part = ClassifyHeadField(s, lower, loc).part;
            if (part != HeadPart::Other && part != HeadPart::State && part != HeadPart::Date)
                continue;
            const PlaceParts p = ReadHeaderPlace(s);
            bool used = false;
            for (auto [field, value] :
                 {std::pair{&merged.venue, &p.venue}, std::pair{&merged.city, &p.city},
                  std::pair{&merged.state, &p.state}}) {
                if (field->isEmpty() && !value->isEmpty()) {
                    *field = *value;
                    used = true;
                }
            }
            if (used)
                use(i);
        }
        return merged;
    }
};

} // namespace

ShowHeader ReadShowHeader(const InfoText &text, const DateLocale &locale, FieldTrace *trace)
{
    return HeaderReader(text, locale, trace).read();
}

} // namespace tapewright::smart
