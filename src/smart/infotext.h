// An info text cut into lines, each line classified once: what a collector sees at a glance
// (a heading, a track, a checksum, a keyword field, a lineage chain, a place, a sentence) before
// reading the show's fields and set list from them.
#pragma once

#include "convert/daterecogniser.h"
#include "smart/lexicon.h"
#include "smart/trackitems.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace tapewright::smart {

enum class LineKind : quint8
{
    Blank,
    Rule,       // "=========", "*****", "+++++": decoration
    FileHeader, // "=== info.txt": where one file of a concatenation begins
    Listing,    // checksums, fingerprints, file listings
    Url,
    Items,  // disc and set headings and numbered tracks (TrackItem)
    Date,   // a date and nothing else ("Wednesday, May 21, 2008", "07-02-22")
    Field,  // "Key: value" with a key collectors use
    Source, // a recording chain or type without a keyword ("Aud > CDR > EAC > Flac")
    Place,  // "City, ST", "Venue, City, Country", "City State"
    Prose,  // sentences and remarks
    Text,   // anything else: names, titles, headings
};

struct InfoLine
{
    qsizetype start = 0; // in InfoText's text
    qsizetype length = 0;
    LineKind kind = LineKind::Blank;
    FieldKey key = FieldKey::None;
    qsizetype valueStart = 0; // a field's value, from the line's start
    qsizetype firstItem = 0;
    qsizetype itemCount = 0;
    bool decorated = false; // framed by decoration ("--Disc 2--"): a heading, never a title
    quint8 rule = 0;        // the row of LineRules() that gave the kind
};

struct PlaceParts
{
    QString venue;
    QString city;
    QString state;
};
// "City, ST", "Venue, City, State" or "City State" (a state written out), a date beside it read
// past; nothing when the line is no place.
std::optional<PlaceParts> ReadPlace(QStringView s, QStringView lower, const DateLocale &locale);

// "place", "items": a kind as --explain and the tests name it.
QStringView KindName(LineKind kind);

// A line being classified, with what the rules need to look at it.
struct LineProbe;

// One rule of the line classifier: the kind it gives, what it looks for, and a line it gives
// that kind. holds may note on the line what it found (a keyword, tracks).
struct LineRule
{
    LineKind kind;
    const char16_t *rule;
    const char16_t *example;
    bool (*holds)(LineProbe &);
};

// The classifier's rules in the order they are tried: the first that holds gives a line its
// kind. Adding a rule is a row here and its example, which a test classifies.
std::span<const LineRule> LineRules();

// A recording chain or recording type without a keyword.
bool IsSourceLine(QStringView lower);

class InfoText
{
public:
    // Lines end at CR LF, CR or LF, and the last line needs no end. Tabs become blanks, and
    // blanks at both ends of a line go.
    InfoText(QStringView text, const DateLocale &locale);

    qsizetype count() const { return m_lines.size(); }
    const InfoLine &at(qsizetype i) const { return m_lines[i]; }
    LineKind kind(qsizetype i) const { return m_lines[i].kind; }
    QStringView line(qsizetype i) const
    {
        return QStringView(m_text).sliced(m_lines[i].start, m_lines[i].length);
    }
    QStringView lower(qsizetype i) const
    {
        return QStringView(m_lower).sliced(m_lines[i].start, m_lines[i].length);
    }
    QStringView value(qsizetype i) const { return line(i).sliced(m_lines[i].valueStart); }
    QStringView lowerValue(qsizetype i) const { return lower(i).sliced(m_lines[i].valueStart); }
    QList<TrackItem> items(qsizetype i) const
    {
        return m_items.mid(m_lines[i].firstItem, m_lines[i].itemCount);
    }
    const TrackItem &item(qsizetype i, qsizetype k) const
    {
        return m_items[m_lines[i].firstItem + k];
    }
    // "=== Bob Dylan 2000-06-18.txt" gives "Bob Dylan 2000-06-18.txt".
    QStringView fileName(qsizetype i) const;
    // A line that carries content: not blank, decoration, file header, listing or web address.
    bool isContent(qsizetype i) const;

private:
    void classify(qsizetype i, const DateLocale &locale);
    void markListingSections();

    QString m_text;  // the text with tabs made blanks
    QString m_lower; // m_text lower-cased, same positions
    QList<InfoLine> m_lines;
    QList<TrackItem> m_items;
};

} // namespace tapewright::smart
