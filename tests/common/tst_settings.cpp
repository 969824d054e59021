// The settings file: profile reading rules, writes that keep the rest of the file, encodings,
// failures that change nothing, and where the file belongs.
#include "common/settings.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tapewright;
using namespace testsupport;

namespace {

const QString Section = QString::fromUtf16(SettingsSection);
const QString Key = u"UserName"_qs;

// A file holding only the key read by the tests, with this value.
QByteArray user(const QByteArray &value)
{
    return "[Tapewright]\nUserName=" + value + "\n";
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // a null array: no file at all
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &expected) {
            QTest::newRow(name) << bytes << expected;
        };
        const QString d = u"dflt"_qs;
        row("no file", QByteArray(), d);
        row("empty file", "", d);
        row("other section only", "[Other]\nUserName=x\n", d);
        row("key missing", "[Tapewright]\nTemplate=a.doc\n", d);
        row("commented key is no key", "[Tapewright]\n;UserName=x\n", d);
        row("empty value beats default", user(""), QString());
        row("blank value beats default", user("   "), QString());
        row("section and key in other case", "[TAPEWRIGHT]\nusername=x\n", u"x"_qs);
        row("blanks around names and value", "[ Tapewright ]\n  UserName  =   Smith   \n",
            u"Smith"_qs);
        row("double quotes stripped", user(" \"Smith\" "), u"Smith"_qs);
        row("single quotes stripped", user("'Smith'"), u"Smith"_qs);
        row("empty quotes", user("\"\""), QString());
        row("only one pair of quotes stripped", user("\"\"Smith\"\""), u"\"Smith\""_qs);
        row("quotes keep inner blanks", user("\" Smith \""), u" Smith "_qs);
        row("unmatched quotes kept", user("\"Smith'"), u"\"Smith'"_qs);
        row("same letter at both ends kept", user("x=x"), u"x=x"_qs);
        row("comma is no list", user("Smith, John"), u"Smith, John"_qs);
        row("no multi-line values", user("<<<END\nx\nEND"), u"<<<END"_qs);
        row("first of a doubled key", user("first\nUserName=second"), u"first"_qs);
        row("stray NUL byte before the section", QByteArray("[Other]\nA=x\0y\n", 14) + user("z"),
            u"z"_qs);
        row("crlf line ends", "[Tapewright]\r\nTemplate=a.doc\r\nUserName=x\r\n", u"x"_qs);
        row("utf8 with byte-order mark", "\xEF\xBB\xBF" + user("J\xC3\xBCrgen"), u"Jürgen"_qs);
        row("windows-1252 file", user("J\xFCrgen \x93Pete\x94 \x80"), u"Jürgen “Pete” €"_qs);
        row("key before any section", "UserName=x\n[Tapewright]\nTemplate=a\n", d);
        row("utf-16 file",
            QStringEncoder(QStringConverter::Utf16BE)(
                u"\uFEFF[Tapewright]\r\nUserName=Jürgen\r\n"_qs),
            u"Jürgen"_qs);
        row("key in the second section of the name",
            "[Tapewright]\nTemplate=a\n[Other]\nUserName=no\n[tapewright]\nUserName=x\n", u"x"_qs);
        // The largest file read (one larger is refused, below).
        row("exactly 1 MiB", user("x") + QByteArray(1024 * 1024 - user("x").size(), ';'), u"x"_qs);
        row("150 characters read as 99", user(QByteArray(150, 'n')), QString(99, u'n'));
        row("150 non-ascii characters read as 99", user(QString(150, u'ü').toUtf8()),
            QString(99, u'ü'));
        row("no half character at the cut", user(QByteArray(98, 'n') + "\xF0\x9F\x8E\xB8"),
            QString(98, u'n'));
    }

    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        if (!bytes.isNull())
            WriteBytes(path, bytes);
        QCOMPARE(GetINIString(Section, Key, u"dflt"_qs, path), expected);
    }

    // The default obeys the length rule too; half of a pair of units is cut only at the cut.
    void read_defaultCut()
    {
        const QString none = u"/nonexistent/tapewright.ini"_qs;
        QCOMPARE(GetINIString(Section, Key, QString(150, u'd'), none), QString(99, u'd'));
        const QString lone = QString(98, u'd') + QChar(0xD83C);
        QCOMPARE(GetINIString(Section, Key, lone, none), lone);
    }

    // Two keys written into a file change their values or add their lines and nothing else: the
    // file keeps its encoding, its line ends, its spacing, names in their spelling, comments
    // and other sections, and writing it again changes nothing. A value that a read would trim
    // is quoted. A line break in a value would start a key or section of its own, a NUL would
    // end the value: both become blanks.
    void write_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("before"); // a null array: no file
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QString jurgen = u"Jürgen"_qs;
        const auto row = [](const char *tag, const QByteArray &before, const QString &value,
                            const QByteArray &after, const QString &name = u"tapewright.ini"_qs) {
            QTest::newRow(tag) << name << before << value << after;
        };
        const auto fresh = [](const QByteArray &value) {
            return "[Tapewright]\nUserName=" + value + "\nPrintCollectionName=0\n";
        };
        const QByteArray none, j = "J\xC3\xBCrgen";
        row("new file", none, jurgen, fresh(j));
        // The per-user configuration folder does not exist before the first write.
        row("missing folder made", none, jurgen, fresh(j), u"config/tw/tapewright.ini"_qs);
        row("written by hand", TestData(u"settings/handwritten.ini"_qs), jurgen,
            TestData(u"settings/handwritten-saved.ini"_qs));
        row("windows-1252 file with crlf ends", "[Other]\r\nCity=K\xF6ln\r\n", jurgen,
            "[Other]\r\nCity=K\xF6ln\r\n\r\n[Tapewright]\r\nUserName=J\xFCrgen\r\n"
            "PrintCollectionName=0\r\n");
        row("windows-1252 file, a value it cannot hold", "[Tapewright]\r\nUserName=K\xF6ln\r\n",
            u"Bob 🎸"_qs,
            "[Tapewright]\r\nUserName=Bob \xF0\x9F\x8E\xB8\r\nPrintCollectionName=0\r\n");
        const auto utf16 = [](const QString &text) {
            return QByteArray(QStringEncoder(QStringConverter::Utf16LE)(u"\uFEFF"_qs + text));
        };
        row("utf-16 file", utf16(u"[Tapewright]\r\nUserName=x\r\n"_qs), jurgen,
            utf16(u"[Tapewright]\r\nUserName=Jürgen\r\nPrintCollectionName=0\r\n"_qs));
        row("spacing around the value", "[Tapewright]\n  username\t=  Old  \n", jurgen,
            "[Tapewright]\n  username\t=  " + j + "  \nPrintCollectionName=0\n");
        row("last line without its end", "[Tapewright]\nTemplate=a", jurgen,
            "[Tapewright]\nTemplate=a\nUserName=" + j + "\nPrintCollectionName=0");
        row("heading as the last line without its end", "[Tapewright]", jurgen,
            "[Tapewright]\nUserName=" + j + "\nPrintCollectionName=0");
        row("new section after a last line without its end", "[Other]\nKey=x", jurgen,
            "[Other]\nKey=x\n\n" + fresh(j));
        row("new section after an empty line", "[Other]\nKey=x\n\n", jurgen,
            "[Other]\nKey=x\n\n" + fresh(j));
        row("empty", none, QString(), fresh(""));
        row("equals and brackets", none, u"[a]=b"_qs, fresh("[a]=b"));
        row("blanks at the ends", none, u" Smith "_qs, fresh("\" Smith \""));
        row("quotes of its own", none, u"'x'"_qs, fresh("\"'x'\""));
        row("line breaks", none, u"a\nb\r\nc"_qs, fresh("a b  c"));
        row("NUL", none, QString(u"a\0b"_qs), fresh("a b"));
    }

    void write()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!before.isNull())
            WriteBytes(path, before);
        QVERIFY(WriteINIString(Section, Key, value, path));
        QVERIFY(WriteINIString(Section, u"PrintCollectionName"_qs, u"0"_qs, path));
        QCOMPARE(ReadBytes(path), after);
        QCOMPARE(GetINIString(Section, Key, QString(), path),
                 value.replace(u'\n', u' ').replace(u'\r', u' ').replace(QChar(0), u' '));
        QVERIFY(WriteINIString(Section, u"PrintCollectionName"_qs, u"0"_qs, path));
        QCOMPARE(ReadBytes(path), after);
    }

    // A write that cannot be made says which file and why, and changes nothing; a read gives
    // the default, at once.
    void write_failure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        // A folder that cannot exist (its parent is a file) stops even root.
        QTest::newRow("parent is a file") << u"file.txt/tapewright.ini"_qs << u"folder"_qs;
        QTest::newRow("path is a folder") << u"folder"_qs << u"it is a folder, not a file"_qs;
        QTest::newRow("path is a named pipe")
            << u"pipe.ini"_qs << u"it is a named pipe, not a file"_qs;
        QTest::newRow("larger than any settings file")
            << u"big.ini"_qs << u"too large for a settings file"_qs;
    }

    void write_failure()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        WriteFile(dir, u"file.txt"_qs, "not a folder");
        QVERIFY(QDir().mkpath(dir.filePath(u"folder/inside"_qs)));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.ini"_qs)).constData(), 0600), 0);
        const QByteArray big = user("x") + QByteArray(1024 * 1024, ';');
        WriteFile(dir, u"big.ini"_qs, big);
        const QString path = dir.filePath(name);
        QCOMPARE(GetINIString(Section, Key, u"dflt"_qs, path), u"dflt"_qs);

        const Result<void> written = WriteINIString(Section, Key, u"x"_qs, path);
        QVERIFY(!written);
        QVERIFY2(written.error().contains(QuotedPath(path)), qPrintable(written.error()));
        QVERIFY2(written.error().contains(reason), qPrintable(written.error()));
        QCOMPARE(ReadBytes(dir.filePath(u"file.txt"_qs)), QByteArray("not a folder"));
        QVERIFY(ReadBytes(dir.filePath(u"big.ini"_qs)) == big);
        QVERIFY(QFileInfo(dir.filePath(u"folder/inside"_qs)).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{u"big.ini"_qs, u"file.txt"_qs, u"folder"_qs, u"pipe.ini"_qs}));
    }

    // On a full disk the write fails with a message, and the file keeps every key it had.
    void write_fullDisk_keepsFile()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(u"disk"_qs);
        QVERIFY(QDir().mkdir(disk));
        const QString path = disk + u"/tapewright.ini"_qs;
        const QByteArray before = "[Tapewright]\nUserName=Jane\n[Other]\nKey=kept\n";
        const auto work = [&] {
            WriteBytes(path, before);
            FillDisk(disk);
            const Result<void> written = WriteINIString(Section, Key, u"Jane Doe"_qs, path);
            return (written ? QByteArray("written") : written.error().toUtf8()) + '\n' +
                   ReadBytes(path);
        };
        QString whyNot;
        const std::optional<QByteArray> answer = RunOnSmallDisk(disk, 64, work, &whyNot);
        if (!answer)
            QSKIP(qPrintable(whyNot));
        const QString expected =
            u"Cannot save "_qs + QuotedPath(path) + u": the disk is full.\n"_qs;
        QCOMPARE(QString::fromUtf8(*answer), expected + QString::fromUtf8(before));
    }

    // An installed program keeps its settings in the user's folder even where it may write
    // into its own (as in ~/.local/bin); a copy that runs from its own folder keeps them beside
    // it; a file found beside the program is used where it is.
    void locate_data()
    {
        QTest::addColumn<QString>("beside"); // made beside the program; a folder ends in "/"
        QTest::addColumn<QString>("expected");
        QTest::newRow("installed program") << QString() << u"user/tapewright.ini"_qs;
        QTest::newRow("build tree or portable copy") << u"template/"_qs << u"bin/tapewright.ini"_qs;
        QTest::newRow("installed, file left beside it")
            << u"tapewright.ini"_qs << u"bin/tapewright.ini"_qs;
    }
    void locate()
    {
        QFETCH(QString, beside);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"bin/"_qs + (beside.endsWith(u'/') ? beside : QString())));
        QVERIFY(QDir(dir.path()).mkpath(u"user"_qs));
        WriteFile(dir, u"user/tapewright.ini"_qs, "[Tapewright]\n");
        if (!beside.isEmpty() && !beside.endsWith(u'/'))
            WriteFile(dir, u"bin/"_qs + beside, "[Tapewright]\n");
        QCOMPARE(LocateSettingsFile(dir.filePath(u"bin"_qs), dir.filePath(u"user"_qs)),
                 dir.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
