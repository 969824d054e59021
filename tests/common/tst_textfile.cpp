// Reading info texts of every encoding and line-end convention, and failing cleanly on bad
// files. (Writing them back is the main window's document rules' part.)
#include "common/textfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

using namespace tapewright;
using namespace testsupport;

Q_DECLARE_METATYPE(tapewright::TextEncoding)

namespace {

// A sequential device that hands out at most 1000 bytes per read, as a pipe may.
class Trickle : public QIODevice
{
public:
    explicit Trickle(const QByteArray &bytes) : m_bytes(bytes) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, qint64(1000), qint64(m_bytes.size() - m_at)});
        std::memcpy(data, m_bytes.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextEncoding>("encoding");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &text,
                            TextEncoding encoding = TextEncoding::Utf8) {
            QTest::newRow(name) << bytes << text << encoding;
        };
        const auto cp1252 = TextEncoding::Windows1252;
        row("empty", QByteArray(), QString());
        row("ascii crlf", "a\r\nb\r\n", u"a\r\nb\r\n"_qs);
        row("lf only", "a\nb\n", u"a\r\nb\r\n"_qs);
        row("lone cr", "a\rb\r", u"a\r\nb\r\n"_qs);
        row("mixed ends", "a\r\nb\nc\rd", u"a\r\nb\r\nc\r\nd\r\n"_qs);
        row("cr cr lf is two lines", "a\r\r\nb", u"a\r\n\r\nb\r\n"_qs);
        row("empty lines kept", "\n\n", u"\r\n\r\n"_qs);
        row("utf8", "D\xC3\xBCsseldorf", u"Düsseldorf\r\n"_qs);
        row("utf8 bom", "\xEF\xBB\xBFSe\xC3\xB1or\n", u"Señor\r\n"_qs, TextEncoding::Utf8Bom);
        row("utf16 le bom", QByteArray("\xFF\xFE\x61\0\xE9\0\n\0", 8), u"aé\r\n"_qs,
            TextEncoding::Utf16LE);
        row("utf16 be bom", QByteArray("\xFE\xFF\0a\0\xE9\0\r\0\n", 10), u"aé\r\n"_qs,
            TextEncoding::Utf16BE);
        row("second byte-order mark is content", QByteArray("\xFF\xFE\xFF\xFE\x61\0", 6),
            u"\uFEFFa\r\n"_qs, TextEncoding::Utf16LE);
        row("cp1252 letters", "Se\xF1or \x93live\x94 \x80\n", u"Señor “live” €\r\n"_qs, cp1252);
        row("cp1252 undefined bytes keep C1 points", "\x81\x8D\x8F\x90\x9D",
            u"\u0081\u008D\u008F\u0090\u009D\r\n"_qs, cp1252);
        row("truncated utf8 is cp1252", "caf\xC3", u"caf\u00C3\r\n"_qs, cp1252);
        // A byte that is no UTF-8 in a UTF-8 file is that byte's Windows-1252 character, and the
        // rest stays UTF-8.
        row("utf8 with stray cp1252 bytes", "Bj\xC3\xB6rk \x96 Caf\xE9 \xC3\xA9\xC3",
            u"Björk – Café é\u00C3\r\n"_qs);
        row("utf16 le without bom", QByteArray("B\0a\0n\0d\0\r\0\n\0\x19\x20s\0", 16),
            u"Band\r\n’s\r\n"_qs, TextEncoding::Utf16LENoBom);
        // The byte without its pair is damage: the text before it is whole.
        row("utf16 le without bom, odd length", QByteArray("B\0a\0n\0d\0\r\0\n\0s\0!", 15),
            u"Band\r\ns\uFFFD\r\n"_qs, TextEncoding::Utf16LENoBom);
        row("utf16 be without bom",
            QStringEncoder(QStringConverter::Utf16BE)(u"Blue Lantern\n\u0100"),
            u"Blue Lantern\r\n\u0100\r\n"_qs, TextEncoding::Utf16BENoBom);
        row("nul bytes survive", QByteArray("a\0b\n", 4), QString(u"a\0b\r\n"_qs));
        // Lines longer than the sixteen bytes decoded at once, every kind of end at every offset.
        row("long lines", "0123456789abcdefghij\r\n0123456789abcdef\nxy\r\r\n0123456789abcde\r",
            u"0123456789abcdefghij\r\n0123456789abcdef\r\nxy\r\n\r\n0123456789abcde\r\n"_qs);
        row("utf8 at the edge of sixteen bytes", "0123456789abcd\xC3\xA9\xF0\x9F\x8E\xB8 last",
            u"0123456789abcdé\U0001F3B8 last\r\n"_qs);
        // What UTF-8 does not allow is read byte by byte.
        row("utf8 surrogate is cp1252", "a\xED\xA0\x80", u"a\u00ED\u00A0\u20AC\r\n"_qs, cp1252);
        row("overlong utf8 is cp1252", "\xE0\x80\xAF", u"\u00E0\u20AC\u00AF\r\n"_qs, cp1252);
        row("utf8 past U+10FFFF is cp1252", "\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC\r\n"_qs,
            cp1252);
        row("stray bytes after a utf8 bom", "\xEF\xBB\xBF\x61\xE9\x62\r", u"aéb\r\n"_qs,
            TextEncoding::Utf8Bom);
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(TextEncoding, encoding);
        const DecodedText r = DecodeTextFile(bytes);
        QCOMPARE(r.text, text);
        QCOMPARE(r.encoding, encoding);
    }

    // A file is read up to the size limit; what is no file, or too large, is refused with the
    // file's name and the reason (a pipe would wait for a writer, a device read for ever).
    void read_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // "" when it is read
        QTest::newRow("file") << u"show.txt"_qs << QString();
        QTest::newRow("exactly the limit") << u"limit.txt"_qs << QString();
        QTest::newRow("over the limit") << u"video.txt"_qs << u"16 MiB"_qs;
        QTest::newRow("missing file") << u"missing.txt"_qs << u"No such file"_qs;
        QTest::newRow("folder") << u"folder"_qs << u"it is a folder, not a file"_qs;
        QTest::newRow("named pipe") << u"pipe.txt"_qs << u"it is a named pipe, not a file"_qs;
        QTest::newRow("device") << u"/dev/zero"_qs << u"it is a device, not a file"_qs;
    }

    void read()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(u"folder"_qs);
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.txt"_qs)).constData(), 0600), 0);
        WriteFile(dir, u"show.txt"_qs, "Band\nDate\n");
        for (const qint64 size : {MaxTextFileSize, MaxTextFileSize + 1}) { // sparse: no disk
            QFile f(dir.filePath(size == MaxTextFileSize ? u"limit.txt"_qs : u"video.txt"_qs));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
        }
        const QString path = QDir(dir.path()).filePath(name); // "/dev/zero" stays as it is
        const Result<DecodedText> r = ReadTextFile(path);
        QCOMPARE(r.ok(), reason.isEmpty());
        if (name == u"show.txt")
            QCOMPARE(r->text, u"Band\r\nDate\r\n"_qs);
        if (!r.ok()) {
            QVERIFY2(r.error().contains(path), qPrintable(r.error()));
            QVERIFY2(r.error().contains(reason, Qt::CaseInsensitive), qPrintable(r.error()));
        }
    }

    // Reading stops one byte past the limit and costs no more than the file: asking a device
    // for the limit at once made every read allocate the whole limit.
    void readAtMost_data()
    {
        QTest::addColumn<bool>("pipe"); // a sequential device, handing out a little per read
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        const int mib = 1024 * 1024;
        for (const bool pipe : {false, true}) {
            const char *kind = pipe ? "pipe" : "file";
            QTest::addRow("%s: under the limit", kind) << pipe << 10 << 100 << 10;
            QTest::addRow("%s: exactly the limit", kind) << pipe << 100 << 100 << 100;
            QTest::addRow("%s: over gives one byte more", kind) << pipe << 5000 << 100 << 101;
            QTest::addRow("%s: megabytes over", kind)
                << pipe << 3 * mib << 2 * mib + 1 << 2 * mib + 2;
            QTest::addRow("%s: huge limit", kind) << pipe << 14 << (1 << 30) << 14;
        }
    }

    void readAtMost()
    {
        QFETCH(bool, pipe);
        QFETCH(int, size);
        QFETCH(int, limit);
        QFETCH(int, expected);
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char(i * 7);
        QTemporaryDir dir;
        QFile file(WriteFile(dir, u"f.txt"_qs, bytes));
        Trickle trickle(bytes);
        QIODevice &device = pipe ? static_cast<QIODevice &>(trickle) : file;
        QVERIFY(device.open(QIODevice::ReadOnly));
        const QByteArray read = ReadAtMost(device, limit);
        QVERIFY(read == bytes.left(expected));
        QVERIFY2(read.capacity() < 4 * 1024 * 1024,
                 QByteArray::number(read.capacity()).constData());
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
