#include "smart/lexicon.h"

#include <algorithm>
#include <bitset>
#include <string_view>

#include <unordered_set>

namespace tapewright::smart {

namespace {

using Words = std::unordered_set<std::u16string_view>;

// The lists are written for people to read; they become hash sets on first use. Every line of
// an info text asks several of them, and a hash costs less than a binary search's comparisons.
Words wordSet(std::initializer_list<std::u16string_view> words)
{
    return Words(words);
}

bool contains(const Words &words, QStringView lower)
{
    return words.count(std::u16string_view(lower.utf16(), size_t(lower.size()))) != 0;
}

const Words &stateNames()
{
    static const Words w = wordSet({
        // United States
        u"alabama",
        u"alaska",
        u"arizona",
        u"arkansas",
        u"california",
        u"colorado",
        u"connecticut",
        u"delaware",
        u"florida",
        u"georgia",
        u"hawaii",
        u"idaho",
        u"illinois",
        u"indiana",
        u"iowa",
        u"kansas",
        u"kentucky",
        u"louisiana",
        u"maine",
        u"maryland",
        u"massachusetts",
        u"michigan",
        u"minnesota",
        u"mississippi",
        u"missouri",
        u"montana",
        u"nebraska",
        u"nevada",
        u"new hampshire",
        u"new jersey",
        u"new mexico",
        u"new york",
        u"north carolina",
        u"north dakota",
        u"ohio",
        u"oklahoma",
        u"oregon",
        u"pennsylvania",
        u"rhode island",
        u"south carolina",
        u"south dakota",
        u"tennessee",
        u"texas",
        u"utah",
        u"vermont",
        u"virginia",
        u"washington",
        u"west virginia",
        u"wisconsin",
        u"wyoming",
        u"washington dc",
        u"washington d.c.",
        u"d.c.",
        // Canada
        u"alberta",
        u"british columbia",
        u"manitoba",
        u"new brunswick",
        u"newfoundland",
        u"nova scotia",
        u"ontario",
        u"prince edward island",
        u"quebec",
        u"québec",
        u"saskatchewan",
    });
    return w;
}

const Words &countryNames()
{
    static const Words w = wordSet({// countries and nations shows are taped in
                                    u"argentina",       u"australia",
                                    u"austria",         u"belgium",
                                    u"brazil",          u"canada",
                                    u"chile",           u"china",
                                    u"croatia",         u"czech republic",
                                    u"czechia",         u"denmark",
                                    u"england",         u"estonia",
                                    u"finland",         u"france",
                                    u"germany",         u"greece",
                                    u"hungary",         u"iceland",
                                    u"ireland",         u"israel",
                                    u"italy",           u"japan",
                                    u"korea",           u"latvia",
                                    u"lithuania",       u"luxembourg",
                                    u"mexico",          u"netherlands",
                                    u"the netherlands", u"holland",
                                    u"new zealand",     u"northern ireland",
                                    u"norway",          u"poland",
                                    u"portugal",        u"romania",
                                    u"russia",          u"scotland",
                                    u"serbia",          u"singapore",
                                    u"slovakia",        u"slovenia",
                                    u"south africa",    u"spain",
                                    u"sweden",          u"switzerland",
                                    u"turkey",          u"uk",
                                    u"united kingdom",  u"usa",
                                    u"u.s.a.",          u"united states",
                                    u"wales",           u"deutschland",
                                    u"españa",          u"italia",
                                    u"österreich",      u"schweiz",
                                    u"suisse"});
    return w;
}

const Words &venueWords()
{
    static const Words w = wordSet(
        {u"amphitheater", u"amphitheatre", u"arena",    u"auditorium", u"ballroom",   u"bar",
         u"bowl",         u"cafe",         u"café",     u"casino",     u"center",     u"centre",
         u"church",       u"club",         u"coliseum", u"college",    u"colosseum",  u"dome",
         u"fairgrounds",  u"fairground",   u"festival", u"field",      u"fieldhouse", u"forum",
         u"garden",       u"gardens",      u"grounds",  u"gymnasium",  u"hall",       u"halle",
         u"hotel",        u"house",        u"inn",      u"lounge",     u"opera",      u"palace",
         u"palladium",    u"park",         u"pavilion", u"playhouse",  u"pub",        u"saloon",
         u"speedway",     u"stadium",      u"tavern",   u"theater",    u"theatre",    u"university",
         u"velodrome",    u"hippodrome",   u"odeon",    u"barn",       u"winery",     u"cathedral",
         u"chapel",       u"academy",      u"armory",   u"armoury"});
    return w;
}

// The words that end a venue's name and hardly ever a band's ("Autzen Stadium").
const Words &venueEndWords()
{
    static const Words w = wordSet(
        {u"amphitheater", u"amphitheatre", u"arena",      u"auditorium",  u"ballroom",   u"center",
         u"centre",       u"coliseum",     u"colosseum",  u"fairgrounds", u"fieldhouse", u"forum",
         u"gymnasium",    u"hall",         u"palladium",  u"pavilion",    u"stadium",    u"theater",
         u"theatre",      u"velodrome",    u"hippodrome", u"armory",      u"armoury",    u"bowl"});
    return w;
}

const Words &gearWords()
{
    static const Words w = wordSet(
        {u"sbd",      u"aud",          u"dat",       u"dats",        u"cdr",        u"cdrs",
         u"cd",       u"cds",          u"eac",       u"wav",         u"wave",       u"flac",
         u"shn",      u"mic",          u"mics",      u"microphones", u"cassette",   u"cass",
         u"tape",     u"tapes",        u"reel",      u"reels",       u"master",     u"masters",
         u"minidisc", u"md",           u"tlh",       u"xld",         u"soundforge", u"audacity",
         u"cooledit", u"cooledit2000", u"hd",        u"pcm",         u"soundboard", u"audience",
         u"matrix",   u"fm",           u"dsd",       u"zoom",        u"edirol",     u"tascam",
         u"sony",     u"marantz",      u"nakamichi", u"dpa",         u"akg",        u"schoeps",
         u"neumann",  u"sennheiser",   u"spdif",     u"cdwav",       u"foobar",     u"wavelab",
         u"vinyl",    u"lp",           u"dime",      u"mp3",         u"ape",        u"eq",
         u"sbe",      u"sbes",         u"adc",       u"dac",         u"preamp",     u"recorder",
         u"laptop",   u"sd",           u"card",      u"wavs",        u"traders",    u"dbpoweramp",
         u"audition", u"zoomh4n",      u"zoomh5",    u"zoomh6",      u"r-09",       u"r09",
         u"h4n",      u"h5",           u"h6",        u"d8",          u"stereo",     u"mono",
         u"cdrw",     u"hdd",          u"usb",       u"sbm1"});
    return w;
}

const Words &eventWords()
{
    static const Words w = wordSet(
        {u"rehearsal", u"rehearsals", u"session", u"sessions", u"soundcheck", u"soundchecks",
         u"outtakes", u"tour", u"interview", u"interviews", u"broadcast", u"demos", u"demo", u"jam",
         u"jams", u"compilation", u"bootleg", u"tribute", u"benefit"});
    return w;
}

const Words &instrumentWords()
{
    static const Words w = wordSet(
        {u"guitar",     u"guitars",   u"bass",     u"drums",     u"drum",        u"vocals",
         u"vocal",      u"keyboards", u"keyboard", u"keys",      u"piano",       u"organ",
         u"harp",       u"harmonica", u"sax",      u"saxophone", u"trumpet",     u"trombone",
         u"percussion", u"mandolin",  u"violin",   u"fiddle",    u"banjo",       u"steel",
         u"cello",      u"flute",     u"horns",    u"synth",     u"synthesizer", u"backing",
         u"accordion",  u"clarinet",  u"dobro",    u"lead",      u"rhythm",      u"upright",
         u"electric",   u"acoustic",  u"standup"});
    return w;
}

const Words &connectorWords()
{
    static const Words w =
        wordSet({u"a",   u"an",   u"the",  u"and", u"or",  u"of", u"in", u"on",  u"at",  u"to",
                 u"for", u"with", u"from", u"by",  u"de",  u"la", u"le", u"les", u"del", u"du",
                 u"des", u"der",  u"die",  u"das", u"y",   u"et", u"n",  u"'n",  u"vs",  u"vs.",
                 u"w/",  u"am",   u"im",   u"van", u"von", u"da", u"di", u"e"});
    return w;
}

const Words &weekdayWords()
{
    static const Words w = wordSet({u"monday", u"tuesday", u"wednesday", u"thursday", u"friday",
                                    u"saturday", u"sunday", u"mon", u"tue", u"tues", u"wed", u"thu",
                                    u"thur", u"thurs", u"fri", u"sat", u"sun"});
    return w;
}

const Words &monthWords()
{
    static const Words w = wordSet(
        {u"january",   u"february", u"march",    u"april",    u"may",  u"june", u"july", u"august",
         u"september", u"october",  u"november", u"december", u"jan",  u"feb",  u"mar",  u"apr",
         u"jun",       u"jul",      u"aug",      u"sep",      u"sept", u"oct",  u"nov",  u"dec"});
    return w;
}

struct Act
{
    std::u16string_view key; // lower case
    std::u16string_view name;
};

// Short names traders use in folder and file names and in titles ("Dylan & Dead Rehearsals").
// Only acts whose short name says nothing else are listed.
constexpr Act ShortNames[] = {
    {u"abb", u"The Allman Brothers Band"},
    {u"allmans", u"The Allman Brothers Band"},
    {u"dead", u"Grateful Dead"},
    {u"dmb", u"Dave Matthews Band"},
    {u"dylan", u"Bob Dylan"},
    {u"floyd", u"Pink Floyd"},
    {u"gd", u"Grateful Dead"},
    {u"hendrix", u"Jimi Hendrix"},
    {u"jgb", u"Jerry Garcia Band"},
    {u"petty", u"Tom Petty"},
    {u"ph", u"Phish"},
    {u"sci", u"The String Cheese Incident"},
    {u"springsteen", u"Bruce Springsteen"},
    {u"stones", u"The Rolling Stones"},
    {u"wsp", u"Widespread Panic"},
    {u"zappa", u"Frank Zappa"},
    {u"the dead", u"Grateful Dead"},
};

bool equalsLower(std::u16string_view name, QStringView lower)
{
    if (qsizetype(name.size()) != lower.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (QChar::toLower(name[i]) != lower[qsizetype(i)].unicode())
            return false;
    }
    return true;
}

} // namespace

namespace {

constexpr std::u16string_view TrackWords[] = {u"track", u"trk"};

constexpr std::u16string_view DiscWords[] = {u"disc", u"disk", u"cd", u"volume", u"vol"};

constexpr std::u16string_view SetAnchorWords[] = {
    u"set",   u"sets",      u"encore",  u"encores",    u"filler", u"fillers",
    u"bonus", u"tracklist", u"setlist", u"soundcheck", u"show",   u"tracks"};
constexpr std::u16string_view SetBesideWords[] = {
    u"first", u"second", u"third", u"fourth",  u"1st",   u"2nd",   u"3rd",      u"4th",
    u"one",   u"two",    u"three", u"four",    u"i",     u"ii",    u"iii",      u"iv",
    u"the",   u"main",   u"list",  u"track",   u"break", u"and",   u"acoustic", u"electric",
    u"late",  u"early",  u"final", u"listing", u"trk",   u"songs", u"material"};

// The first characters of a list's words, worked out from the list itself: a word added to
// the list can never be turned away by the guard.
template <size_t N> std::bitset<128> firstLetters(const std::u16string_view (&words)[N])
{
    std::bitset<128> b;
    for (const std::u16string_view w : words) {
        Q_ASSERT(!w.empty() && w[0] < 128);
        b.set(w[0]);
    }
    return b;
}

bool startsAny(const std::bitset<128> &letters, QChar c)
{
    return c.unicode() < 128 && letters.test(c.unicode());
}

} // namespace

qsizetype DiscWordAt(QStringView lower)
{
    if (lower.isEmpty() || !MayStartDiscWord(lower[0]))
        return 0;
    qsizetype best = 0;
    for (const std::u16string_view w : DiscWords) {
        const qsizetype n = qsizetype(w.size());
        if (n > best && lower.size() >= n && std::u16string_view(lower.utf16(), w.size()) == w &&
            (lower.size() == n || !lower[n].isLetter()))
            best = n;
    }
    return best;
}

qsizetype TrackWordAt(QStringView s)
{
    static const std::bitset<128> letters = firstLetters(TrackWords);
    if (s.isEmpty() || !startsAny(letters, s[0].toLower()))
        return 0;
    for (const std::u16string_view w : TrackWords) {
        const QStringView word(w.data(), qsizetype(w.size()));
        if (s.startsWith(word, Qt::CaseInsensitive))
            return word.size();
    }
    return 0;
}

std::span<const std::u16string_view> TrackWordList()
{
    return TrackWords;
}

bool MayStartDiscWord(QChar c)
{
    static const std::bitset<128> letters = firstLetters(DiscWords);
    return startsAny(letters, c);
}

SetWord SetHeadingWord(QStringView lowerWord)
{
    static const std::bitset<128> letters =
        firstLetters(SetAnchorWords) | firstLetters(SetBesideWords);
    if (lowerWord.isEmpty() || !startsAny(letters, lowerWord[0]))
        return SetWord::None;
    const std::u16string_view w(lowerWord.utf16(), size_t(lowerWord.size()));
    if (std::find(std::begin(SetAnchorWords), std::end(SetAnchorWords), w) !=
        std::end(SetAnchorWords))
        return SetWord::Anchor;
    if (std::find(std::begin(SetBesideWords), std::end(SetBesideWords), w) !=
        std::end(SetBesideWords))
        return SetWord::Beside;
    return SetWord::None;
}

std::span<const std::u16string_view> DiscWordList()
{
    return DiscWords;
}

std::span<const std::u16string_view> SetAnchorWordList()
{
    return SetAnchorWords;
}

std::span<const std::u16string_view> SetBesideWordList()
{
    return SetBesideWords;
}

bool IsGuestWord(QStringView lowerWord)
{
    static constexpr std::u16string_view GuestWords[] = {u"with", u"feat", u"featuring", u"and",
                                                         u"plus", u"w",    u"ft"};
    const std::u16string_view w(lowerWord.utf16(), size_t(lowerWord.size()));
    return std::find(std::begin(GuestWords), std::end(GuestWords), w) != std::end(GuestWords);
}

bool IsStateName(QStringView lower)
{
    return contains(stateNames(), lower) || contains(countryNames(), lower);
}

bool IsCountryName(QStringView lower)
{
    return contains(countryNames(), lower);
}

bool IsStateCode(QStringView text)
{
    return text.size() == 2 && text[0].isUpper() && text[1].isUpper() && text[0].unicode() < 128 &&
           text[1].unicode() < 128;
}

bool IsVenueWord(QStringView lowerWord)
{
    return contains(venueWords(), lowerWord);
}

bool IsVenueEndWord(QStringView lowerWord)
{
    return contains(venueEndWords(), lowerWord);
}

bool IsGearWord(QStringView lowerWord)
{
    return contains(gearWords(), lowerWord);
}

bool IsEventWord(QStringView lowerWord)
{
    return contains(eventWords(), lowerWord);
}

bool IsInstrumentWord(QStringView lowerWord)
{
    return contains(instrumentWords(), lowerWord);
}

bool IsConnectorWord(QStringView lowerWord)
{
    if (lowerWord.size() > 4) // "with", "from": none is longer
        return false;
    return contains(connectorWords(), lowerWord);
}

bool IsWeekdayWord(QStringView lowerWord)
{
    if (lowerWord.size() < 3 || lowerWord.size() > 9)
        return false;
    return contains(weekdayWords(), lowerWord);
}

bool IsMonthWord(QStringView lowerWord)
{
    if (lowerWord.size() < 3 || lowerWord.size() > 9)
        return false;
    return contains(monthWords(), lowerWord);
}

QString ActForShortName(QStringView lower)
{
    for (const Act &a : ShortNames) {
        if (std::u16string_view(lower.utf16(), size_t(lower.size())) == a.key)
            return QString::fromUtf16(a.name.data(), qsizetype(a.name.size()));
    }
    return {};
}

QString ActNamed(QStringView lower)
{
    for (const Act &a : ShortNames) {
        if (equalsLower(a.name, lower))
            return QString::fromUtf16(a.name.data(), qsizetype(a.name.size()));
    }
    return {};
}

} // namespace tapewright::smart
