// What a collector knows before reading a file: the names of states, provinces and countries,
// the words venue names, recording chains and event titles are made of, and the short names
// traders give the most traded acts. Every lookup takes a lower-cased word or phrase.
#pragma once

#include <QString>
#include <QStringView>

#include <span>
#include <string_view>

namespace tapewright::smart {

// What the key of a "Key: value" line names.
enum class FieldKey : quint8
{
    None,
    Artist,
    Band,
    Title, // a torrent or release title, "Artist - Title"
    Date,
    Venue,
    Location,
    City,
    State,
    Source,
    Notes,
    Lineup, // "The Band:", "Personnel:": the musicians follow
    Other,
};

struct KeyName
{
    std::u16string_view key; // lower case
    FieldKey field;
};

// The lists themselves, for tests that every entry is read.
std::span<const KeyName> FieldKeyList();
std::span<const std::u16string_view> DiscWordList();
std::span<const std::u16string_view> SetAnchorWordList();
std::span<const std::u16string_view> SetBesideWordList();

// The field a key names ("venue", "show date", "lineage"), lower-cased and trimmed;
// FieldKey::None for a key collectors do not use.
FieldKey FieldKeyOf(QStringView lowerKey);
// Where the value of a line that begins with a key written without its colon starts ("Venue
// Town Hall", "City Boston", "Notes" alone), or -1. Only the keys a line has always been read
// by are taken so ("band", "venue", "city", "state", "notes", "source", "lineage"), and not
// where a longer key begins ("Band Members") or a small word follows ("City of New Orleans",
// "State of Grace": titles), nor where the key begins a venue's name ("City Winery", "State
// Theatre").
qsizetype BareKeyValueAt(QStringView lower);
// The word a disc heading begins with ("disc", "disk", "cd", "volume", "vol"), as the length of
// the word at the start of lower, 0 when none; the word must end there ("cds" is none).
qsizetype DiscWordAt(QStringView lower);
// Whether c (lower-cased) can begin a disc word: the fast guard of DiscWordAt, made from its
// list.
bool MayStartDiscWord(QChar c);

// The word before a track's number ("Track 01", "Trk 3"), in any letter case: its length at the
// start of s, 0 when none.
qsizetype TrackWordAt(QStringView s);
std::span<const std::u16string_view> TrackWordList();

// A word of a set heading: a heading's own word ("set", "encore", "filler"), a word that may
// stand beside one ("second", "ii", "acoustic"), or neither.
enum class SetWord : quint8
{
    None,
    Anchor,
    Beside,
};
SetWord SetHeadingWord(QStringView lowerWord);

// The words that bill a guest beside an act: "with", "feat", "featuring", "and", "plus", "w".
bool IsGuestWord(QStringView lowerWord);
// A heading alone on its line that notes follow ("Notes", "Comments", "Legend", "Key"), with or
// without its colon or decoration.
bool IsNoteHeading(QStringView lower);
// A lineup's heading alone on its line, with or without its colon or decoration: "Band
// Members", "*Personnel*", "The Band:".
bool IsLineupHeading(QStringView lower);

// A US state, Canadian province, British nation or country, written out ("california",
// "rhode island", "new brunswick", "germany"); abbreviations are IsStateCode's.
bool IsStateName(QStringView lower);
// Two capital letters ("CA", "NS", "UK"), as a state or country is abbreviated after a city.
bool IsStateCode(QStringView text);
// A country or nation ("canada", "england", "usa"): of IsStateName's names, those that hold
// states.
bool IsCountryName(QStringView lower);

bool IsVenueWord(QStringView lowerWord);      // "hall", "theatre", "club", "house" ...
bool IsVenueEndWord(QStringView lowerWord);   // "stadium", "arena": never a band's last word
bool IsGearWord(QStringView lowerWord);       // "sbd", "dat", "mics", "flac" ...
bool IsEventWord(QStringView lowerWord);      // "rehearsals", "tour", "soundcheck" ...
bool IsInstrumentWord(QStringView lowerWord); // "guitar", "drums", "vocals" ...
bool IsConnectorWord(QStringView lowerWord);  // "and", "of", "the" ...: lower case in titles too
bool IsWeekdayWord(QStringView lowerWord);    // "wednesday", "wed" ...
bool IsMonthWord(QStringView lowerWord);      // "may", "july", "sept" ...

// The act a trader's short name stands for: "dylan" is Bob Dylan, "dead" and "gd" the Grateful
// Dead. Empty for any other word.
QString ActForShortName(QStringView lower);
// The act's name as it is usually written when lower is its full name ("bob dylan"), else empty.
QString ActNamed(QStringView lower);

} // namespace tapewright::smart
