#include "cover/layout/placefit.h"

#include <algorithm>

namespace tapewright {

namespace {

// Removes the blanks that part the fields of a line where they end up at its start or end, the
// fields beside them being empty: word processors disagree on whether trailing blanks count
// when a line is centred. Bookmarks and the filled text are kept.
void TrimEdgeBlanks(const PartMarkup &markup, pugi::xml_node paragraph)
{
    for (const bool fromEnd : {false, true}) {
        for (pugi::xml_node n = fromEnd ? paragraph.last_child() : paragraph.first_child(); n;) {
            const pugi::xml_node next = fromEnd ? n.previous_sibling() : n.next_sibling();
            if (markup.printsBlanks(n))
                paragraph.remove_child(n);
            else if (!markup.printsNothing(n))
                break;
            n = next;
        }
    }
}

// Cuts the text of a block's bookmark short, with an ellipsis, where it fills the box at the
// smallest size: the most words that fit, or of a single word the most characters.
void CutToFit(PartMarkup &markup, BookmarkSite site, const std::vector<TextRun> &runs,
              const Place &place, const MeasureText &measure)
{
    QString text;
    for (const TextRun &run : runs)
        text += run.text;
    const bool bold = place.face.bold || (!runs.empty() && runs.front().bold);
    const auto fits = [&](const QString &candidate) {
        return FitBlock({{{candidate, bold}}}, place.width, place.height,
                        {place.sizes.smallest, place.sizes.smallest, 0.5}, Pitch, measure)
            .fits;
    };
    const QString ellipsis(u'\u2026');
    // The longest prefix that fits with its ellipsis, by halving: a prefix that fits has only
    // shorter ones that fit too.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(text.first(mid).trimmed() + ellipsis))
            low = mid;
        else
            high = mid - 1;
    }
    // Back to the end of a word when one ends in what fits.
    qsizetype end = low;
    if (end < text.size() && !text.at(end).isSpace()) {
        const qsizetype blank = text.lastIndexOf(u' ', end - 1);
        if (blank > 0)
            end = blank;
    }
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    (void)SetBookmarkText(site, markup.names(), text.first(end).trimmed() + ellipsis);
}

} // namespace

void FitPlace(PartMarkup &markup, const Sites &sites, const Place &place, LayoutFonts &fonts,
              LayoutFit *result)
{
    const auto first = sites.constFind(QString::fromLatin1(place.bookmark));
    if (first == sites.constEnd())
        return;
    std::vector<pugi::xml_node> paragraphs{markup.paragraphOf(first->start)};
    if (place.secondBookmark) {
        const auto second = sites.constFind(QString::fromLatin1(place.secondBookmark));
        if (second != sites.constEnd())
            paragraphs.push_back(markup.paragraphOf(second->start));
    }
    if (std::find(paragraphs.begin(), paragraphs.end(), pugi::xml_node()) != paragraphs.end())
        return;
    const MeasureText measure = fonts.measure(place.face);
    if (!measure)
        return;
    std::vector<std::vector<TextRun>> texts;
    for (const pugi::xml_node &p : paragraphs) {
        if (place.fit == Fit::OneLine)
            TrimEdgeBlanks(markup, p);
        std::vector<TextRun> runs = markup.runs(p);
        if (place.face.bold) {
            for (TextRun &run : runs)
                run.bold = true;
        }
        texts.push_back(std::move(runs));
    }
    ParagraphFormat format;
    if (place.fit == Fit::OneLine) {
        format.size =
            FitOneLine(texts.front(), place.width, place.sizes, OneLineFloor, measure).size;
    } else {
        const LineFit fit = FitBlock(texts, place.width, place.height, place.sizes, Pitch, measure);
        format.size = fit.size;
        format.pitch = LinePitch(fit.size, Pitch);
        if (!fit.fits && place.crowdedName)
            result->crowded << QString::fromLatin1(place.crowdedName);
        if (!fit.fits && place.fit == Fit::CutBlock)
            CutToFit(markup, *first, texts.front(), place, measure);
    }
    for (const pugi::xml_node &p : paragraphs)
        markup.formatParagraph(p, format);
}

} // namespace tapewright
