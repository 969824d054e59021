// Smart recognition on any text: no crash, no hang, and a document of the right shape for any
// number of discs.
//
// The inputs are read as fuzzsupport.h says, with pieces of real info texts (headings, numbered
// and run-on tracks, dates, places, keyword lines, checksums, times and marks).
#include "fuzzsupport.h"
#include "smart/recogniseinfotext.h"

#include <limits>

using namespace tapewright;
using namespace tapewright::fuzz;

namespace {

constexpr std::array<const char16_t *, 48> Pieces = {
    u"Bob Dylan",
    u"Disc 1",
    u"CD2",
    u"Disk Two",
    u"d1t01 ",
    u"D3 58:46",
    u"set 1:",
    u"(encore)",
    u"***Filler***",
    u"1. ",
    u"2) ",
    u"3 - ",
    u"01 ",
    u"101 ",
    u", 2 ",
    u" 3. ",
    u"Song",
    u"(5:32)",
    u"[1:02:33]",
    u"4:35.50",
    u" > ",
    u"->",
    u"*",
    u"#",
    u"//",
    u"(1)",
    u"(missing)",
    u"; bonus",
    u"May 21, 2008",
    u"07-02-22",
    u"19 July 1987",
    u"Halifax, NS",
    u"Metro Centre",
    u"Venue: ",
    u"Date: ",
    u"Source: SBD > DAT",
    u"Notes:",
    u"=== info.txt",
    u"=====",
    u"http://x.org",
    u"dfdaa9d4c754c56efd7aa956853ee421 *Disc 1\\D1 Track01.flac",
    u"01.flac:4c58b97712e855a6fc943b986b9273de",
    u"Dylan & Dead",
    u"tour with Grateful Dead",
    u"\t",
    u"  ",
    u"\r\n",
    u"\n",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<InfoTextInput> in = ReadInfoTextInput(data, size, Pieces);
    if (!in)
        return 0;
    const QString &text = in->text;
    const ConvertOptions &options = in->options;
    const QString xml = RecogniseInfoText(text, options);
    if (xml.isEmpty()) {
        for (QChar c : text)
            check(c.isSpace());
        return 0;
    }
    check(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>"));
    CheckTrackListShape(xml, std::numeric_limits<int>::max());
    check(RecogniseInfoText(text, options) == xml);
    return 0;
}
