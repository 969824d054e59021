// Reading info text files: decoding whatever encoding a show's text came in and normalising its
// line ends, for the window and the command-line program alike.
#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace tapewright {

enum class TextEncoding
{
    Utf8,         // no byte-order mark; a byte that is not UTF-8 is read as Windows-1252
    Utf8Bom,      // UTF-8 with a byte-order mark, read as Utf8 is
    Utf16LE,      // with its byte-order mark
    Utf16BE,      // with its byte-order mark
    Windows1252,  // 8-bit text without a single UTF-8 sequence of two bytes or more
    Utf16LENoBom, // without a byte-order mark: a NUL in every other byte tells it
    Utf16BENoBom,
};

// Largest file ReadTextFile accepts. No info text comes near it; a bigger file is almost
// certainly a wrong pick (a video, an archive) and would only freeze the window.
inline constexpr qint64 MaxTextFileSize = 16 * 1024 * 1024;

struct DecodedText
{
    QString text;                               // every line followed by CR LF
    TextEncoding encoding = TextEncoding::Utf8; // how the bytes were decoded
};

// Decodes raw bytes: BOMs first, then UTF-16 without a mark (a NUL in nearly every other byte),
// then UTF-8, where a byte that is no part of a UTF-8 sequence is a Windows-1252 character (a
// word typed into a UTF-8 file by an older editor), so Windows-1252 text reads as it is too.
// The last byte of UTF-16 of odd length is U+FFFD. Lines end at CR LF, a lone CR or a lone LF;
// each line of the result, the last included, is followed by CR LF.
DecodedText DecodeTextFile(const QByteArray &bytes);

// Bytes read as DecodeTextFile reads 8-bit text (UTF-8, a byte that is not UTF-8 as
// Windows-1252), their line ends left as they are. *encoding, when asked for, is what
// DecodeTextFile would call them: Windows1252 or Utf8.
QString DecodeUtf8OrWindows1252(QByteArrayView bytes, TextEncoding *encoding = nullptr);

// Reads and decodes a whole file. Failures carry a message naming the file and the reason.
Result<DecodedText> ReadTextFile(const QString &fileName);

// Reads device to its end, but never more than limit + 1 bytes, so that a caller can refuse
// what is larger than limit. The bytes come in pieces: QIODevice::read(limit + 1) would
// allocate the whole limit at once, for a file of any size.
QByteArray ReadAtMost(QIODevice &device, qint64 limit);

// Turns text back into bytes of the given encoding (with its byte-order mark, if any). Fails
// when a character cannot be written in that encoding.
Result<QByteArray> EncodeText(const QString &text, TextEncoding encoding);

// text as UTF-8, with U+FFFD for what UTF-8 cannot hold: half of a pair of UTF-16 units, as a
// UTF-16 file may bring. (QString::toUtf8 writes "?" for it.)
QByteArray Utf8Bytes(QStringView text);

} // namespace tapewright
