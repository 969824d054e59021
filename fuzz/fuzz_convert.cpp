// The converter on any text: no crash, no hang, and a document of the right shape.
//
// The inputs are read as fuzzsupport.h says, with pieces of info texts the converter looks for
// (keywords, disc headers, dates, track lines).
#include "convert/convertinfotext.h"
#include "fuzzsupport.h"

using namespace tapewright;
using namespace tapewright::fuzz;

namespace {

constexpr std::array<const char16_t *, 40> Pieces = {
    u"Band: ",        u"Date ",       u"Venue ",     u"City ",
    u"State ",        u"Source: SBD", u"Lineage: ",  u"Notes:",
    u"Disc 1",        u"Disc 2",      u"Disc III",   u"DISK #4",
    u"d100",          u"d3t01 ",      u"CD 2",       u"Set I",
    u"Encore:",       u"E: ",         u"filler",     u"total",
    u"May 8th, 1977", u"5/8/77",      u"1977-05-08", u"8 may 1977",
    u"aug. 8 77",     u"13/5/1977",   u"Sept",       u"01. Opener ",
    u"4:56",          u"(10:02)",     u"[7:15]",     u"1:02:33",
    u"grateful dead", u"\t",          u"  ",         u"\r\n",
    u"\r\n\r\n",      u"\r",          u"\n",         u"date",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<InfoTextInput> in = ReadInfoTextInput(data, size, Pieces);
    if (!in)
        return 0;
    const QString xml = ConvertInfoText(in->text, in->options);
    if (xml.isEmpty())
        return 0;
    CheckTrackListShape(xml, 4);
    check(ConvertInfoText(in->text, in->options) == xml);
    return 0;
}
