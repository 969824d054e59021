// The shipped cover templates: sound packages holding every bookmark the cover filler writes,
// exactly once, and covers that print on one or two A4 or Letter pages with every value visible.
#include "coverfiller.h"
#include "filecoverdocument.h"
#include "office.h"

#include <pugixml.hpp>
#include <zip.h>

#include "testsupport.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QString TemplatePath(const QString &fileName)
{
    return QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR "/") + fileName;
}

// The entries of a zip package, in their order, with their contents.
struct PackageEntry
{
    QString name;
    bool stored = false;
    QByteArray data;
};

QList<PackageEntry> ReadPackage(const QString &path, QString *error)
{
    QList<PackageEntry> entries;
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        *error = QStringLiteral("not a zip package (libzip error %1)").arg(code);
        return entries;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_file_t *file = nullptr;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0 ||
            (file = zip_fopen_index(archive, zip_uint64_t(i), 0)) == nullptr) {
            *error = QStringLiteral("entry %1 cannot be read").arg(i);
            break;
        }
        PackageEntry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.stored = stat.comp_method == ZIP_CM_STORE;
        entry.data.resize(qsizetype(stat.size));
        const zip_int64_t read = zip_fread(file, entry.data.data(), stat.size);
        zip_fclose(file);
        if (read != zip_int64_t(stat.size)) {
            *error = QStringLiteral("entry %1 is truncated").arg(entry.name);
            break;
        }
        entries << entry;
    }
    zip_discard(archive);
    return entries;
}

// How often each bookmark name starts in an XML part: OpenDocument text:bookmark (a point) and
// text:bookmark-start, Word w:bookmarkStart.
void CountBookmarks(const pugi::xml_node &node, QMap<QString, int> &counts)
{
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "text:bookmark" || name == "text:bookmark-start")
            ++counts[QString::fromUtf8(child.attribute("text:name").value())];
        else if (name == "w:bookmarkStart")
            ++counts[QString::fromUtf8(child.attribute("w:name").value())];
        CountBookmarks(child, counts);
    }
}

// Every bookmark range has its end: text:bookmark-end by name, w:bookmarkEnd by id.
void CollectBookmarkEnds(const pugi::xml_node &node, QStringList &starts, QStringList &ends)
{
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "text:bookmark-start")
            starts << QString::fromUtf8(child.attribute("text:name").value());
        else if (name == "text:bookmark-end")
            ends << QString::fromUtf8(child.attribute("text:name").value());
        else if (name == "w:bookmarkStart")
            starts << QString::fromUtf8(child.attribute("w:id").value());
        else if (name == "w:bookmarkEnd")
            ends << QString::fromUtf8(child.attribute("w:id").value());
        CollectBookmarkEnds(child, starts, ends);
    }
}

// A long show as the converter writes it: four discs of 25 tracks, every third title a long
// segue that wraps in its column, and long names everywhere else too.
QString FourDiscShow()
{
    static const QStringList songs{u"Morning Dew"_qs,
                                   u"Scarlet Begonias"_qs,
                                   u"Fire on the Mountain"_qs,
                                   u"Sugar Magnolia"_qs,
                                   u"Eyes of the World"_qs,
                                   u"Help on the Way"_qs,
                                   u"Slipknot!"_qs,
                                   u"Franklin's Tower"_qs,
                                   u"Playing in the Band"_qs,
                                   u"Uncle John's Band"_qs,
                                   u"The Other One"_qs,
                                   u"Wharf Rat"_qs,
                                   u"Dark Star"_qs,
                                   u"St. Stephen"_qs,
                                   u"Not Fade Away"_qs,
                                   u"Going Down the Road Feeling Bad"_qs};
    QStringList lines{
        u"<?xml version=\"1.0\"?>"_qs,
        u"<CDR_Track_List>"_qs,
        u"<BAND>The Midnight Lantern Orchestra</BAND>"_qs,
        u"<DATE>9/24/1976</DATE>"_qs,
        u"<VENUE>Municipal Auditorium and Convention Center</VENUE>"_qs,
        u"<CITY>Williamsburg</CITY>"_qs,
        u"<STATE>VA</STATE>"_qs,
        u"<SOURCE>Source: SBD > MR (master reel) > DAT (48 kHz) > CD-R > EAC (secure) > "
        u"FLAC level 8</SOURCE>"_qs,
        u"<DISCS>4</DISCS>"_qs};
    int song = 0;
    for (int disc = 1; disc <= 4; ++disc)
        lines << QStringLiteral("<TRACKSD%1>25</TRACKSD%1>").arg(disc);
    for (int disc = 1; disc <= 4; ++disc) {
        for (int track = 1; track <= 25; ++track) {
            QString title = songs.at(song++ % songs.size());
            if (track % 3 == 0) {
                const QString second = songs.at(song++ % songs.size());
                const QString third = songs.at(song++ % songs.size());
                title += u" > "_qs + second + u" > "_qs + third;
            }
            lines << QStringLiteral("<D%1T%2>%2. %3</D%1T%2>").arg(disc).arg(track).arg(title);
        }
    }
    lines << u"<NOTES>Disc 1 track 3: a short cut in the first minute, patched."_qs
          << u"Disc 3 has the second set; the encore closes disc 4."_qs
          << u"Thanks to the taper and to everyone who kept this in circulation for forty "
             u"years.</NOTES>"_qs
          << u"</CDR_Track_List>"_qs;
    return lines.join(u"\r\n"_qs);
}

// Text as pdftotext gives it and as a value reads: titles wrap in their column and the spines
// run across lines, so only the sequence of words counts.
QString Words(const QString &text)
{
    return text.simplified();
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private slots:
    void package_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("OpenDocument") << u"Jewel Case.odt"_qs;
        QTest::newRow("Word") << u"Jewel Case.docx"_qs;
    }

    void package()
    {
        QFETCH(QString, fileName);
        QString error;
        const QList<PackageEntry> entries = ReadPackage(TemplatePath(fileName), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!entries.isEmpty());

        QMap<QString, int> counts;
        QStringList starts;
        QStringList ends;
        for (const PackageEntry &entry : entries) {
            if (!entry.name.endsWith(u".xml"_qs) && !entry.name.endsWith(u".rels"_qs))
                continue;
            pugi::xml_document document;
            const pugi::xml_parse_result parsed =
                document.load_buffer(entry.data.constData(), size_t(entry.data.size()));
            QVERIFY2(parsed,
                     qPrintable(entry.name + u": "_qs + QString::fromUtf8(parsed.description())));
            CountBookmarks(document, counts);
            CollectBookmarkEnds(document, starts, ends);
        }
        if (fileName.endsWith(u".odt"_qs)) {
            // Readers find the type at a fixed offset: first entry, uncompressed.
            QCOMPARE(entries.first().name, u"mimetype"_qs);
            QVERIFY(entries.first().stored);
            QCOMPARE(entries.first().data, QByteArray("application/vnd.oasis.opendocument.text"));
        } else {
            const bool hasTypes = std::any_of(entries.begin(), entries.end(), [](const auto &e) {
                return e.name == u"[Content_Types].xml"_qs;
            });
            QVERIFY(hasTypes);
        }

        for (const QString &name : CoverBookmarkNames())
            QVERIFY2(
                counts.value(name) == 1,
                qPrintable(QStringLiteral("%1 occurs %2 times").arg(name).arg(counts.value(name))));
        const QStringList expected = CoverBookmarkNames();
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            QVERIFY2(expected.contains(it.key()), qPrintable(u"stray bookmark "_qs + it.key()));
        starts.sort();
        ends.sort();
        QCOMPARE(ends, starts);
    }

    // Fills each template, has LibreOffice print it, and reads the pages back.
    void print_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("show");
        QTest::newRow("OpenDocument, worked example") << u"Jewel Case.odt"_qs << 0;
        QTest::newRow("OpenDocument, four discs of 25 tracks") << u"Jewel Case.odt"_qs << 1;
        QTest::newRow("Word, worked example") << u"Jewel Case.docx"_qs << 0;
        QTest::newRow("Word, four discs of 25 tracks") << u"Jewel Case.docx"_qs << 1;
    }

    void print()
    {
        QFETCH(QString, fileName);
        QFETCH(int, show);
        const QString office = FindOfficeProgram();
        if (office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_qs);
        QVERIFY2(!pdfinfo.isEmpty(), "poppler-utils are not installed");

        const QString xml = show == 0 ? WorkedExampleXml() : FourDiscShow();
        QVERIFY(xml.contains(u"<DISCS>"_qs));
        const QString name = show == 0 ? u"worked-example"_qs : u"four-discs"_qs;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FileCoverOptions options;
        options.cacheFolder = dir.filePath(u"cache"_qs);
        FileCoverDocument document(options);
        const CoverChoices choices{fileName, 1, u"Pat Keeper"_qs};
        const CoverFillOptions fill{UnitedStatesLocale(), QDate(2024, 3, 14)};
        const Result<void> filled = FillCover(document, TemplatePath(fileName), xml, choices, fill);
        QVERIFY2(filled, qPrintable(filled.error()));
        // What went into the bookmarks is what must be printed.
        QMap<QString, QString> values;
        for (const QString &bookmark : CoverBookmarkNames())
            values[bookmark] = document.bookmarkText(bookmark).value_or(QString());
        QCOMPARE(values.value(u"TrayCollection"_qs), u"From the collection of Pat Keeper"_qs);
        QVERIFY(values.value(u"SpineBand"_qs).endsWith(u"Lantern"_qs) ||
                values.value(u"SpineBand"_qs).endsWith(u"Orchestra"_qs));
        QVERIFY(values.value(u"TrayDisc2Tracks"_qs)
                    .contains(show == 0 ? u"2. Encore: Closer 3:30"_qs : u"25. "_qs));

        const QString suffix = QFileInfo(fileName).suffix();
        const QString cover = dir.filePath(name + u"."_qs + suffix);
        const Result<void> saved = document.saveAs(cover);
        QVERIFY2(saved, qPrintable(saved.error()));

        // A loaded machine may take long over four discs of tracks.
        const Result<QString> pdf =
            ConvertWithOffice(office, cover, u"pdf"_qs, dir.path(), 600 * 1000);
        QVERIFY2(pdf, qPrintable(pdf.error()));

        const QString infoText = QString::fromUtf8(RunProcess(pdfinfo, {*pdf}).out);
        const QRegularExpressionMatch pages =
            QRegularExpression(u"^Pages:\\s+(\\d+)"_qs, QRegularExpression::MultilineOption)
                .match(infoText);
        QVERIFY2(pages.hasMatch(), qPrintable(infoText));
        const int pageCount = pages.captured(1).toInt();
        QVERIFY2(pageCount >= 1 && pageCount <= 2, qPrintable(infoText));
        const QRegularExpressionMatch size =
            QRegularExpression(u"^Page size:.*\\((A4|letter)\\)"_qs,
                               QRegularExpression::MultilineOption)
                .match(infoText);
        QVERIFY2(size.hasMatch(), qPrintable(infoText));

        const QString printed = Words(PdfText(*pdf, {u"-raw"_qs}));
        QVERIFY(!printed.isEmpty());
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            // Each line of a value on its own: the track lists stand side by side.
            for (const QString &line : it.value().split(u"\r\n"_qs, Qt::SkipEmptyParts)) {
                const QString words = Words(line);
                QVERIFY2(printed.contains(words),
                         qPrintable(it.key() + u": \""_qs + words + u"\" is not on the pages"_qs));
            }
        }
        // A state the show lacks keeps the template's own word for it.
        if (show == 0)
            QVERIFY(printed.contains(u"Springfield, State"_qs));
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
