// Any bytes decode to text whose every line ends in CR LF, never a crash.
#include "common/textfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const tapewright::DecodedText r = tapewright::DecodeTextFile(bytes);
    if (!r.text.isEmpty() && !r.text.endsWith(u"\r\n"))
        std::abort();
    // No lone CR or LF survives: every CR is followed by LF and every LF preceded by CR.
    for (qsizetype i = 0; i < r.text.size(); ++i) {
        if (r.text[i] == u'\r' && (i + 1 >= r.text.size() || r.text[i + 1] != u'\n'))
            std::abort();
        if (r.text[i] == u'\n' && (i == 0 || r.text[i - 1] != u'\r'))
            std::abort();
    }
    // Text that fits its encoding writes back and reads again as the same text: text read
    // cleanly, that is. Bytes that were no text of their encoding (U+FFFD stands for them) or
    // held NULs, which no info text has, may be told apart differently once written back: UTF-16
    // without a byte-order mark is recognised by a NUL in nearly every other byte.
    if (r.text.contains(QChar(0)) || r.text.contains(QChar::ReplacementCharacter))
        return 0;
    if (const auto again = tapewright::EncodeText(r.text, r.encoding)) {
        const tapewright::DecodedText back = tapewright::DecodeTextFile(*again);
        if (back.text != r.text)
            std::abort();
    }
    return 0;
}
