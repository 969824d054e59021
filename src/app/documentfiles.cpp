#include "app/documentfiles.h"

#include "common/formhelpers.h"
#include "common/productinfo.h"

#include <algorithm>
#include <bit>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

QString WindowCaption(const QString &infoFileName)
{
    const QString title = QString::fromUtf16(ProductName);
    if (infoFileName.isEmpty())
        return title;
    return title + QStringLiteral(" - ") + ExtractFileName(infoFileName);
}

namespace {

// The characters a pane takes as the end of a line (QTextCursor::insertText makes a block break
// of each; CR LF is taken as one LF here, as PaneTextFromDocument writes it).
bool endsPaneLine(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == 0xFDD0 ||
           c == 0xFDD1; // the beginning and end of a frame
}

// Calls f(i) for each position i in text that holds a character matching `wanted`, eight units
// at a time: `test` gives the units of one block that may match (a superset), `wanted` decides.
template <class Test, class Wanted, class F>
void forEachMarked(QStringView text, Test &&test, Wanted &&wanted, F &&f)
{
    const char16_t *const p = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        for (unsigned mask = unsigned(_mm_movemask_epi8(test(units))); mask != 0;
             mask &= mask - 1, mask &= mask - 1) {
            const qsizetype at = i + std::countr_zero(mask) / 2;
            if (wanted(p[at]))
                f(at);
        }
    }
#endif
    for (; i < size; ++i) {
        if (wanted(p[i]))
            f(i);
    }
}

#if defined(__SSE2__)
// Units 0 to 13 (LF and CR among them), U+2029 and U+FDD0/U+FDD1.
__m128i mayEndPaneLine(__m128i units)
{
    const __m128i low =
        _mm_cmpeq_epi16(_mm_subs_epu16(units, _mm_set1_epi16(13)), _mm_setzero_si128());
    const __m128i paragraph = _mm_cmpeq_epi16(units, _mm_set1_epi16(short(0x2029)));
    const __m128i frame = _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(short(0xFFFE))),
                                          _mm_set1_epi16(short(0xFDD0)));
    return _mm_or_si128(low, _mm_or_si128(paragraph, frame));
}

// LF, U+2028 and U+2029.
__m128i mayBreakRawLine(__m128i units)
{
    return _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')),
                        _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(short(0xFFFE))),
                                        _mm_set1_epi16(short(0x2028))));
}
#else
template <class T> T mayEndPaneLine(T)
{
    return {};
}
template <class T> T mayBreakRawLine(T)
{
    return {};
}
#endif

} // namespace

PaneContent PaneContentFromDocument(const QString &documentText, qsizetype longestLine,
                                    int linesPerBlock)
{
    // Loaded texts are large and this runs on every load: the line ends are found eight units
    // at a time and the text between them copied whole.
    const QStringView text(documentText);
    const qsizetype size = text.size();
    PaneContent pane;
    // A cut adds one unit per longestLine; a CR LF becomes one unit.
    QString out(size + size / qMax<qsizetype>(longestLine, 1) + 1, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *d = begin;
    int line = 0;          // the pane block that what is written next belongs to
    int linesInBlock = 1;  // the lines of the document in that block
    bool cutLine = false;  // the line being written has been cut
    qsizetype run = 0;     // the units written into the line so far (into its last piece)
    qsizetype from = 0;    // where the text not yet written begins
    qsizetype skipLf = -1; // the LF of a CR LF, written with its CR
    // Writes text[from, to), a part of one line, starting a new piece whenever the line has
    // grown to longestLine; a surrogate pair is never cut in two.
    const auto copy = [&](qsizetype to) {
        while (from < to) {
            if (run == longestLine) {
                *d++ = u'\n';
                pane.continuations.append(++line);
                run = 0;
                cutLine = true;
            }
            qsizetype n = qMin(to - from, longestLine - run);
            const bool cut = n < to - from;
            if (cut && (n > 1 || run > 0) && QChar::isHighSurrogate(text[from + n - 1].unicode()) &&
                QChar::isLowSurrogate(text[from + n].unicode()))
                --n;
            d = std::copy_n(text.utf16() + from, n, d);
            from += n;
            run = cut ? longestLine : run + n;
        }
    };
    forEachMarked(text, mayEndPaneLine, endsPaneLine, [&](qsizetype at) {
        if (at == skipLf) {
            from = at + 1;
            return;
        }
        copy(at);
        const char16_t c = text[at].unicode();
        const bool lineEnd = c == u'\r' || c == u'\n';
        if (c == u'\r' && at + 1 < size && text[at + 1] == u'\n')
            skipLf = at + 1;
        from = at + 1;
        run = 0;
        if (lineEnd && !cutLine && linesInBlock < linesPerBlock) {
            *d++ = QChar::LineSeparator;
            ++linesInBlock;
            return;
        }
        // Every line end (CR LF, a lone CR, a lone LF) is one LF; the other breaks stay.
        *d++ = lineEnd ? u'\n' : c;
        ++line;
        linesInBlock = 1;
        cutLine = false;
    });
    copy(size);
    out.truncate(d - begin);
    pane.text = std::move(out);
    return pane;
}

QString PaneTextFromDocument(const QString &documentText)
{
    return PaneContentFromDocument(documentText, std::numeric_limits<qsizetype>::max()).text;
}

QString DocumentTextFromPane(const QString &rawPaneText)
{
    return DocumentTextFromPane(rawPaneText, false);
}

QString DocumentTextFromPane(const QString &rawPaneText, bool lineSeparatorsEndLines)
{
    // Runs on every edit of a pane of up to megabytes: counted first, so that the text is made
    // at its size, then copied eight units at a time, a block with a break in it unit by unit.
    const QStringView raw(rawPaneText);
    const char16_t *const p = raw.utf16();
    const qsizetype size = raw.size();
    const auto isBreak = [lineSeparatorsEndLines](char16_t c) {
        return c == QChar::ParagraphSeparator || c == u'\n' ||
               (lineSeparatorsEndLines && c == QChar::LineSeparator);
    };
    qsizetype breaks = 0;
    forEachMarked(raw, mayBreakRawLine, isBreak, [&breaks](qsizetype) { ++breaks; });
    QString text(size + breaks, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(text.data());
    qsizetype i = 0;
    const auto unit = [&](char16_t c) {
        if (isBreak(c)) {
            *d++ = u'\r';
            *d++ = u'\n';
        } else {
            *d++ = c;
        }
    };
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        if (_mm_movemask_epi8(mayBreakRawLine(units)) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d), units);
            d += 8;
            continue;
        }
        for (qsizetype k = i; k < i + 8; ++k)
            unit(p[k]);
    }
#endif
    for (; i < size; ++i)
        unit(p[i]);
    return text;
}

TextSplice SpliceBetween(QStringView before, QStringView after)
{
    const qsizetype common = qMin(before.size(), after.size());
    qsizetype head = 0;
    while (head < common && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {head, before.size() - tail - head, after.size() - tail - head};
}

QString UnloadQuestionText(const QString &fileName)
{
    return fileName + QStringLiteral("\n\nThis file has changed. Do you wish to save it?");
}

QByteArray EncodeInfoText(const QString &text, std::optional<TextEncoding> loadedEncoding)
{
    if (loadedEncoding) {
        if (Result<QByteArray> bytes = EncodeText(text, *loadedEncoding))
            return *std::move(bytes);
    }
    return Utf8Bytes(text);
}

QByteArray EncodeXmlText(const QString &xml)
{
    return Utf8Bytes(xml);
}

} // namespace tapewright
