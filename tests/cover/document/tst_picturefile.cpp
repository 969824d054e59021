// The picture of a cover's front: PNG and JPEG files as Qt's writers make them, read for their
// size, and what is no such picture, is damaged or is too large refused with its reason.
#include "cover/document/picturefile.h"
#include "testsupport.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QByteArray Encoded(int width, int height, const char *format, bool progressive = false)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 90, 20));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot write a %s picture: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

QByteArray Png(int width, int height)
{
    return Encoded(width, height, "png");
}

QByteArray Jpeg(int width, int height, bool progressive = false)
{
    return Encoded(width, height, "jpeg", progressive);
}

// Where a JPEG's frame header segment starts (its marker's 0xFF).
qsizetype FrameAt(const QByteArray &jpeg)
{
    for (const char *sof : {"\xFF\xC0", "\xFF\xC2"}) {
        if (const qsizetype at = jpeg.indexOf(sof); at >= 0)
            return at;
    }
    qFatal("no frame header");
}

// An application segment holding text, as cameras put Exif data and editors their notes
// before the frame header.
QByteArray AppSegment(char marker, const QByteArray &text)
{
    const int length = int(text.size()) + 2;
    return QByteArray("\xFF") + marker + char(length >> 8) + char(length & 0xFF) + text;
}

QByteArray Patched(QByteArray bytes, qsizetype at, const QByteArray &with)
{
    return bytes.replace(at, with.size(), with);
}

} // namespace

class tst_PictureFile : public QObject
{
    Q_OBJECT

private slots:
    void header_read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("png");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("png") << Png(300, 2) << true << 300 << 2;
        QTest::newRow("png largest") << Png(MaxPictureSide, 1) << true << MaxPictureSide << 1;
        const QByteArray jpeg = Jpeg(640, 480);
        // Exif and a comment, then the JFIF segment the writer made, then the frame.
        QTest::newRow("jpeg, segments before the frame")
            << jpeg.left(2) + AppSegment('\xE1', "Exif\0\0MM\0*"_qba) +
                   AppSegment('\xFE', "taken at the show"_qba) + jpeg.mid(2)
            << false << 640 << 480;
        QTest::newRow("jpeg progressive") << Jpeg(33, 1000, true) << false << 33 << 1000;
        QTest::newRow("jpeg with bytes after its end")
            << jpeg + "trailing"_qba << false << 640 << 480;
    }
    void header_read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, png);
        QFETCH(int, width);
        QFETCH(int, height);
        const Result<PictureInfo> info = ReadPictureHeader(bytes);
        QVERIFY2(info, qPrintable(info.error()));
        QCOMPARE(info->type == PictureType::Png, png);
        QCOMPARE(info->width, width);
        QCOMPARE(info->height, height);
    }

    void header_refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray png = Png(40, 30);
        const QByteArray jpeg = Jpeg(40, 30);
        const qsizetype frame = FrameAt(jpeg);
        QTest::newRow("empty") << QByteArray() << u"it is empty"_qs;
        QTest::newRow("gif") << "GIF89a\x01\0\x01\0"_qba << u"it is a GIF picture;"_qs;
        QTest::newRow("text") << "Blue Lantern 1977"_qba << u"it is no PNG or JPEG picture"_qs;
        QTest::newRow("png cut short") << png.left(png.size() - 13) << u"cut short"_qs;
        QTest::newRow("png header only") << png.left(33) << u"cut short"_qs;
        QTest::newRow("png checksum")
            << Patched(png, png.indexOf("IDAT") + 6, "\x55"_qba) << u"a checksum does not match"_qs;
        QTest::newRow("png zero width")
            << Patched(png, 16, "\0\0\0\0"_qba) << u"no width or no height"_qs;
        QTest::newRow("png too wide")
            << Patched(png, 16, "\0\0\x27\x11"_qba) << u"10001 × 30 pixels"_qs;
        QTest::newRow("png bad bit depth") << Patched(png, 24, "\x03"_qba) << u"header"_qs;
        QTest::newRow("jpeg cut short") << jpeg.left(jpeg.size() - 2) << u"cut short"_qs;
        QTest::newRow("jpeg cut in a segment") << jpeg.left(frame + 6) << u"cut short"_qs;
        QTest::newRow("jpeg without frame") << "\xFF\xD8\xFF\xD9"_qba << u"no frame header"_qs;
        QTest::newRow("jpeg zero height")
            << Patched(jpeg, frame + 5, "\0\0"_qba) << u"no width or no height"_qs;
        QTest::newRow("jpeg too tall")
            << Patched(jpeg, frame + 5, "\x27\x11"_qba) << u"40 × 10001 pixels"_qs;
        QTest::newRow("jpeg arithmetic")
            << Patched(jpeg, frame + 1, "\xC9"_qba) << u"arithmetic-coded"_qs;
        QTest::newRow("jpeg 12-bit") << Patched(jpeg, frame + 4, "\x0C"_qba) << u"12-bit"_qs;
        // The byte after the writer's first segment, where the next marker belongs.
        const qsizetype second = 4 + (quint8(jpeg[4]) << 8 | quint8(jpeg[5]));
        QTest::newRow("jpeg no marker") << Patched(jpeg, second, "\x00"_qba) << u"marker"_qs;
    }
    void header_refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const Result<PictureInfo> info = ReadPictureHeader(bytes);
        QVERIFY(!info);
        QVERIFY2(info.error().contains(reason), qPrintable(info.error()));
    }

    // A failure names the file; a large file is refused before it is read.
    void file_refused()
    {
        QTemporaryDir dir;
        const QString large = dir.filePath(u"poster.png"_qs);
        QFile f(large);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(Png(2, 2)) > 0 &&
                f.resize(MaxPictureFileSize + 1));
        f.close();
        for (const auto &[path, reason] :
             {std::pair{large, u"larger than 20 MiB"_qs},
              std::pair{dir.filePath(u"none.jpg"_qs), u"no such file"_qs},
              std::pair{WriteFile(dir, u"notes.png"_qs, "notes"), u"no PNG or JPEG"_qs}}) {
            const Result<Picture> read = ReadPictureFile(path);
            QVERIFY(!read);
            QVERIFY2(read.error().startsWith(u"Cannot use the picture "_qs + QuotedPath(path)) &&
                         read.error().contains(reason),
                     qPrintable(read.error()));
        }
        const Result<Picture> read =
            ReadPictureFile(WriteFile(dir, u"front.jpeg"_qs, Jpeg(20, 10)));
        QVERIFY2(read, qPrintable(read.error()));
        QCOMPARE(read->info.width, 20);
        QCOMPARE(read->bytes, ReadBytes(dir.filePath(u"front.jpeg"_qs)));
    }
};

QTEST_GUILESS_MAIN(tst_PictureFile)
#include "tst_picturefile.moc"
