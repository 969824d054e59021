// The lexicon's keys: the keys of "Key: value" lines, the few written without a colon, and the
// headings notes and lineups stand under.
#include "smart/lexicon.h"

#include <algorithm>
#include <string_view>

namespace tapewright::smart {

namespace {

// The keys of "Key: value" lines, as collectors write them.
constexpr KeyName Keys[] = {
    {u"artist", FieldKey::Artist},
    {u"artists", FieldKey::Artist},
    {u"performer", FieldKey::Artist},
    {u"performers", FieldKey::Artist},
    {u"band name", FieldKey::Artist},
    {u"band", FieldKey::Band},
    {u"group", FieldKey::Band},
    {u"torrent title", FieldKey::Title},
    {u"title", FieldKey::Title},
    {u"torrent", FieldKey::Title},
    {u"album", FieldKey::Title},
    {u"bootleg", FieldKey::Title},
    {u"date", FieldKey::Date},
    {u"show date", FieldKey::Date},
    {u"concert date", FieldKey::Date},
    {u"performance date", FieldKey::Date},
    {u"date of show", FieldKey::Date},
    {u"date of concert", FieldKey::Date},
    {u"event date", FieldKey::Date},
    {u"venue", FieldKey::Venue},
    {u"venue name", FieldKey::Venue},
    {u"concert venue", FieldKey::Venue},
    {u"place", FieldKey::Venue},
    {u"where", FieldKey::Venue},
    {u"location", FieldKey::Location},
    {u"city", FieldKey::City},
    {u"town", FieldKey::City},
    {u"city/state", FieldKey::City},
    {u"state", FieldKey::State},
    {u"province", FieldKey::State},
    {u"country", FieldKey::State},
    {u"source", FieldKey::Source},
    {u"src", FieldKey::Source},
    {u"lineage", FieldKey::Source},
    {u"genealogy", FieldKey::Source},
    {u"gen", FieldKey::Source},
    {u"transfer", FieldKey::Source},
    {u"transfers", FieldKey::Source},
    {u"cd transfer", FieldKey::Source},
    {u"transferred", FieldKey::Source},
    {u"recording", FieldKey::Source},
    {u"recording type", FieldKey::Source},
    {u"recorded with", FieldKey::Source},
    {u"taped with", FieldKey::Source},
    {u"equipment", FieldKey::Source},
    {u"gear", FieldKey::Source},
    {u"mics", FieldKey::Source},
    {u"microphones", FieldKey::Source},
    {u"recorder", FieldKey::Source},
    {u"setup", FieldKey::Source},
    {u"chain", FieldKey::Source},
    {u"this upload", FieldKey::Source},
    {u"conversion", FieldKey::Source},
    {u"notes", FieldKey::Notes},
    {u"note", FieldKey::Notes},
    {u"comments", FieldKey::Notes},
    {u"comment", FieldKey::Notes},
    {u"taper notes", FieldKey::Notes},
    {u"remarks", FieldKey::Notes},
    {u"the band", FieldKey::Lineup},
    {u"band members", FieldKey::Lineup},
    {u"members", FieldKey::Lineup},
    {u"lineup", FieldKey::Lineup},
    {u"line-up", FieldKey::Lineup},
    {u"line up", FieldKey::Lineup},
    {u"personnel", FieldKey::Lineup},
    {u"musicians", FieldKey::Lineup},
};

FieldKey fieldKeyIn(QStringView keyLower)
{
    const std::u16string_view k(keyLower.utf16(), size_t(keyLower.size()));
    for (const KeyName &n : Keys) {
        if (n.key == k)
            return n.field;
    }
    return FieldKey::None;
}

} // namespace

std::span<const KeyName> FieldKeyList()
{
    return Keys;
}

FieldKey FieldKeyOf(QStringView lowerKey)
{
    return fieldKeyIn(lowerKey);
}

qsizetype BareKeyValueAt(QStringView lower)
{
    static constexpr std::u16string_view BareKeys[] = {u"band",  u"venue",  u"city",   u"state",
                                                       u"notes", u"source", u"lineage"};
    qsizetype e = 0;
    while (e < lower.size() && lower[e].isLetter())
        ++e;
    const std::u16string_view word(lower.utf16(), size_t(e));
    if (std::find(std::begin(BareKeys), std::end(BareKeys), word) == std::end(BareKeys))
        return -1;
    if (e == lower.size())
        return word == u"notes" ? e : -1; // "Notes" alone: the notes follow
    if (lower[e] != u' ')
        return -1;
    qsizetype v = e;
    while (v < lower.size() && lower[v] == u' ')
        ++v;
    qsizetype w = v;
    while (w < lower.size() && lower[w] != u' ' && lower[w] != u':')
        ++w;
    const QStringView next = lower.sliced(v, w - v);
    if (next.isEmpty() || IsConnectorWord(next))
        return -1;
    const QStringView twoWords = lower.first(w);
    const FieldKey longer = fieldKeyIn(twoWords);
    if (longer != FieldKey::None && longer != fieldKeyIn(lower.first(e)))
        return -1; // "Band Members", "Band Name"
    // "City Winery, New York, NY", "State Theatre": a keyword that begins a venue's name.
    if (word != u"venue") {
        for (qsizetype a = v; a < lower.size() && lower[a] != u',';) {
            qsizetype b = a;
            while (b < lower.size() && lower[b].isLetter())
                ++b;
            if (b > a && IsVenueWord(lower.sliced(a, b - a)))
                return -1;
            a = b + 1;
        }
    }
    return v;
}

namespace {

// The words of a heading, without the decoration or colon around them.
QStringView headingWords(QStringView lower)
{
    const auto decoration = [](QChar c) { return !c.isLetter(); };
    qsizetype a = 0;
    qsizetype b = lower.size();
    while (a < b && decoration(lower[a]))
        ++a;
    while (b > a && decoration(lower[b - 1]))
        --b;
    return lower.sliced(a, b - a);
}

// Headings of a key to the marks of a set list: they are no field keys ("Key: value" is any
// field), but alone on a line they head notes.
constexpr std::u16string_view MarkKeyHeadings[] = {u"legend", u"key", u"symbols"};

} // namespace

bool IsNoteHeading(QStringView lower)
{
    const QStringView w = headingWords(lower);
    if (w.isEmpty())
        return false;
    const std::u16string_view v(w.utf16(), size_t(w.size()));
    return fieldKeyIn(w) == FieldKey::Notes ||
           std::find(std::begin(MarkKeyHeadings), std::end(MarkKeyHeadings), v) !=
               std::end(MarkKeyHeadings);
}

bool IsLineupHeading(QStringView lower)
{
    const QStringView w = headingWords(lower);
    return !w.isEmpty() && fieldKeyIn(w) == FieldKey::Lineup;
}

} // namespace tapewright::smart
