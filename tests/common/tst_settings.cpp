// The settings file: profile reading rules, writes that keep the rest of the file, encodings,
// silent failures, and where the file belongs.
#include "settings.h"
#include "smalldisk.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <sys/stat.h>

using namespace tapewright;
using namespace testsupport;

namespace {

const QString Section = QString::fromUtf16(SettingsSection);

QString Repeated(const QString &piece, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // a null array: no file at all
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("expected");

        const QString d = u"dflt"_qs;
        QTest::newRow("no file") << QByteArray() << Section << u"UserName"_qs << d << d;
        QTest::newRow("empty file") << QByteArray("") << Section << u"UserName"_qs << d << d;
        QTest::newRow("other section only")
            << QByteArray("[Other]\nUserName=x\n") << Section << u"UserName"_qs << d << d;
        QTest::newRow("key missing")
            << QByteArray("[Tapewright]\nTemplate=a.doc\n") << Section << u"UserName"_qs << d << d;
        QTest::newRow("empty value beats default") << QByteArray("[Tapewright]\nUserName=\n")
                                                   << Section << u"UserName"_qs << d << QString();
        QTest::newRow("blank value beats default") << QByteArray("[Tapewright]\nUserName=   \n")
                                                   << Section << u"UserName"_qs << d << QString();
        QTest::newRow("plain value") << QByteArray("[Tapewright]\nTemplate=liner.doc\n") << Section
                                     << u"Template"_qs << d << u"liner.doc"_qs;
        QTest::newRow("section in other case") << QByteArray("[TAPEWRIGHT]\nUserName=x\n")
                                               << Section << u"UserName"_qs << d << u"x"_qs;
        QTest::newRow("key in other case") << QByteArray("[Tapewright]\nusername=x\n") << Section
                                           << u"USERNAME"_qs << d << u"x"_qs;
        QTest::newRow("blanks around names and value")
            << QByteArray("[ Tapewright ]\n  UserName  =   Smith   \n") << Section << u"UserName"_qs
            << d << u"Smith"_qs;
        QTest::newRow("double quotes stripped")
            << QByteArray("[Tapewright]\nUserName= \"Smith\" \n") << Section << u"UserName"_qs << d
            << u"Smith"_qs;
        QTest::newRow("single quotes stripped") << QByteArray("[Tapewright]\nUserName='Smith'\n")
                                                << Section << u"UserName"_qs << d << u"Smith"_qs;
        QTest::newRow("only one pair of quotes stripped")
            << QByteArray("[Tapewright]\nUserName=\"\"Smith\"\"\n") << Section << u"UserName"_qs
            << d << u"\"Smith\""_qs;
        QTest::newRow("quotes keep inner blanks")
            << QByteArray("[Tapewright]\nUserName=\" Smith \"\n") << Section << u"UserName"_qs << d
            << u" Smith "_qs;
        QTest::newRow("unmatched quotes kept") << QByteArray("[Tapewright]\nUserName=\"Smith'\n")
                                               << Section << u"UserName"_qs << d << u"\"Smith'"_qs;
        QTest::newRow("comma is no list") << QByteArray("[Tapewright]\nUserName=Smith, John\n")
                                          << Section << u"UserName"_qs << d << u"Smith, John"_qs;
        QTest::newRow("equals sign in value") << QByteArray("[Tapewright]\nUserName=a=b\n")
                                              << Section << u"UserName"_qs << d << u"a=b"_qs;
        QTest::newRow("commented key is no key")
            << QByteArray("[Tapewright]\n;UserName=x\n") << Section << u"UserName"_qs << d << d;
        QTest::newRow("first of a doubled key")
            << QByteArray("[Tapewright]\nUserName=first\nUserName=second\n") << Section
            << u"UserName"_qs << d << u"first"_qs;
        QTest::newRow("stray NUL byte before the section")
            << QByteArray("[Other]\nA=x\0y\n[Tapewright]\nUserName=z\n", 38) << Section
            << u"UserName"_qs << d << u"z"_qs;
        QTest::newRow("crlf line ends")
            << QByteArray("[Tapewright]\r\nTemplate=a.doc\r\nUserName=x\r\n") << Section
            << u"Template"_qs << d << u"a.doc"_qs;
        QTest::newRow("utf8 value") << QByteArray("[Tapewright]\nUserName=\xC5\x81ukasz\n")
                                    << Section << u"UserName"_qs << d << u"Łukasz"_qs;
        QTest::newRow("utf8 with byte-order mark")
            << QByteArray("\xEF\xBB\xBF[Tapewright]\nUserName=J\xC3\xBCrgen\n") << Section
            << u"UserName"_qs << d << u"Jürgen"_qs;
        QTest::newRow("windows-1252 file")
            << QByteArray("[Tapewright]\r\nUserName=J\xFCrgen \x93Pete\x94\r\n") << Section
            << u"UserName"_qs << d << u"Jürgen “Pete”"_qs;
        QTest::newRow("150 characters read as 99")
            << QByteArray("[Tapewright]\nUserName=" + QByteArray(150, 'n') + "\n") << Section
            << u"UserName"_qs << d << QString(99, u'n');
        QTest::newRow("150 non-ascii characters read as 99")
            << ("[Tapewright]\nUserName=" + Repeated(u"ü"_qs, 150).toUtf8() + "\n") << Section
            << u"UserName"_qs << d << Repeated(u"ü"_qs, 99);
        QTest::newRow("default cut to 99 too")
            << QByteArray() << Section << u"UserName"_qs << QString(150, u'd') << QString(99, u'd');
        QTest::newRow("no half character at the cut")
            << ("[Tapewright]\nUserName=" + QByteArray(98, 'n') + "\xF0\x9F\x8E\xB8\n") << Section
            << u"UserName"_qs << d << QString(98, u'n');
    }

    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, defaultValue);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        if (!bytes.isNull())
            WriteBytes(path, bytes);
        QCOMPARE(GetINIString(section, key, defaultValue, path), expected);
    }

    // A file that is no settings file at all (a binary copied over it, a damaged disk) reads
    // as the defaults, and a write into it still stores the value.
    void read_randomBytes_givesDefaults_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("size");
        QTest::newRow("64 KiB, seed 1") << 1u << 65536;
        QTest::newRow("4 KiB, seed 2") << 2u << 4096;
        QTest::newRow("1 MiB, seed 3") << 3u << (1 << 20);
    }

    void read_randomBytes_givesDefaults()
    {
        QFETCH(quint32, seed);
        QFETCH(int, size);
        QRandomGenerator random(seed);
        QByteArray bytes(size, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        WriteBytes(path, bytes);

        for (const QString &key : {u"Template"_qs, u"PrintCollectionName"_qs, u"UserName"_qs})
            QCOMPARE(GetINIString(Section, key, u"dflt"_qs, path), u"dflt"_qs);
        QVERIFY(WriteINIString(Section, u"UserName"_qs, u"Smith"_qs, path));
        QCOMPARE(GetINIString(Section, u"UserName"_qs, u"dflt"_qs, path), u"Smith"_qs);
        QCOMPARE(GetINIString(Section, u"Template"_qs, u"dflt"_qs, path), u"dflt"_qs);
    }

    void write_newFile_layout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        QVERIFY(WriteINIString(Section, u"Template"_qs, u"liner.doc"_qs, path));
        QVERIFY(WriteINIString(Section, u"PrintCollectionName"_qs, u"1"_qs, path));
        QVERIFY(WriteINIString(Section, u"UserName"_qs, u"Smith, John"_qs, path));

        QCOMPARE(ReadBytes(path), QByteArray("[Tapewright]\n"
                                             "Template=liner.doc\n"
                                             "PrintCollectionName=1\n"
                                             "UserName=Smith, John\n"));

        // Other tools read it the same way.
        CSimpleIniA ini;
        QCOMPARE(ini.LoadFile(path.toLocal8Bit().constData()), SI_OK);
        QCOMPARE(ini.GetValue("Tapewright", "Template"), "liner.doc");
        QCOMPARE(ini.GetValue("Tapewright", "PrintCollectionName"), "1");
        QCOMPARE(ini.GetValue("Tapewright", "UserName"), "Smith, John");
    }

    void write_readBack_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");

        QTest::newRow("comma") << u"Smith, John"_qs << u"Smith, John"_qs;
        QTest::newRow("umlaut") << u"Jürgen"_qs << u"Jürgen"_qs;
        QTest::newRow("polish") << u"Łukasz"_qs << u"Łukasz"_qs;
        QTest::newRow("outside the basic plane") << u"Bob 🎸"_qs << u"Bob 🎸"_qs;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("equals and brackets") << u"[a]=b"_qs << u"[a]=b"_qs;
        QTest::newRow("semicolon first") << u";not a comment"_qs << u";not a comment"_qs;
        QTest::newRow("150 characters") << QString(150, u'x') << QString(99, u'x');
        // The profile rules apply to what was written, as with any other tool's file.
        QTest::newRow("outer blanks dropped") << u"  Smith "_qs << u"Smith"_qs;
        QTest::newRow("outer quotes dropped") << u"\"Smith\""_qs << u"Smith"_qs;
        // A line break would otherwise start a key or section of its own.
        QTest::newRow("line break becomes blank") << u"a\nb\r\nc"_qs << u"a b  c"_qs;
    }

    void write_readBack()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        QVERIFY(WriteINIString(Section, u"UserName"_qs, value, path));
        QCOMPARE(GetINIString(Section, u"UserName"_qs, u"dflt"_qs, path), expected);

        // Through SimpleIni and through the plain text the value is the one written, as UTF-8.
        CSimpleIniA ini;
        QCOMPARE(ini.LoadFile(path.toLocal8Bit().constData()), SI_OK);
        const QString raw = QString::fromUtf8(ini.GetValue("Tapewright", "UserName", "missing"));
        QCOMPARE(raw.trimmed(),
                 QString(value).replace(u"\r\n"_qs, u"  "_qs).replace(u'\n', u' ').trimmed());
        const QByteArray bytes = ReadBytes(path);
        QCOMPARE(bytes.count('\n'), 2);
        QVERIFY(bytes.startsWith("[Tapewright]\nUserName="));
        CSimpleIniA::TNamesDepend sections;
        ini.GetAllSections(sections);
        QCOMPARE(sections.size(), size_t(1));
    }

    void write_replacesValueKeepsEverythingElse()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        WriteBytes(path, "; written by hand\r\n"
                         "\r\n"
                         "[Other]\r\n"
                         "Colour=blue\r\n"
                         "UserName=not ours\r\n"
                         "\r\n"
                         "; the cover choices\r\n"
                         "[tapewright]\r\n"
                         "template=liner.doc\r\n"
                         "; who made it\r\n"
                         "username=Old Name\r\n"
                         "USERNAME=doubled\r\n"
                         "\r\n"
                         "[Last]\r\n"
                         "Key=value\r\n"
                         "; end of file\r\n");

        QVERIFY(WriteINIString(Section, u"UserName"_qs, u"Jürgen"_qs, path));
        QVERIFY(WriteINIString(Section, u"PrintCollectionName"_qs, u"0"_qs, path));

        // Names keep their spelling, the doubled key becomes one, comments stay with what they
        // stood before, and the closing comment stays last.
        QCOMPARE(ReadBytes(path), QByteArray("; written by hand\n"
                                             "\n"
                                             "[Other]\n"
                                             "Colour=blue\n"
                                             "UserName=not ours\n"
                                             "\n"
                                             "; the cover choices\n"
                                             "[tapewright]\n"
                                             "template=liner.doc\n"
                                             "\n"
                                             "; who made it\n"
                                             "username=J\xC3\xBCrgen\n"
                                             "PrintCollectionName=0\n"
                                             "\n"
                                             "[Last]\n"
                                             "Key=value\n"
                                             "\n"
                                             "; end of file\n"));

        // A second write leaves the layout as it is.
        const QByteArray once = ReadBytes(path);
        QVERIFY(WriteINIString(Section, u"PrintCollectionName"_qs, u"0"_qs, path));
        QCOMPARE(ReadBytes(path), once);
    }

    void write_onlyCommentsInFile_kept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        WriteBytes(path, "; nothing here yet\n");
        QVERIFY(WriteINIString(Section, u"Template"_qs, u"a.doc"_qs, path));
        QCOMPARE(ReadBytes(path),
                 QByteArray("; nothing here yet\n\n[Tapewright]\nTemplate=a.doc\n"));
    }

    void write_windows1252File_becomesUtf8()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        WriteBytes(path, "[Tapewright]\r\nUserName=J\xFCrgen\r\n[Other]\r\nCity=K\xF6ln\r\n");

        QVERIFY(WriteINIString(Section, u"Template"_qs, u"spine.doc"_qs, path));

        const QByteArray bytes = ReadBytes(path);
        QVERIFY(bytes.contains("UserName=J\xC3\xBCrgen"));
        QVERIFY(bytes.contains("City=K\xC3\xB6ln"));
        QCOMPARE(GetINIString(Section, u"UserName"_qs, QString(), path), u"Jürgen"_qs);
        QCOMPARE(GetINIString(u"Other"_qs, u"City"_qs, QString(), path), u"Köln"_qs);
    }

    void write_createsMissingFolder()
    {
        // The per-user configuration folder does not exist before the first write.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"config/tapewright/tapewright.ini"_qs);
        QVERIFY(WriteINIString(Section, u"UserName"_qs, u"x"_qs, path));
        QCOMPARE(GetINIString(Section, u"UserName"_qs, QString(), path), u"x"_qs);
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
    }
    void write_failure()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        WriteBytes(dir.filePath(u"file.txt"_qs), "not a folder");
        QVERIFY(QDir().mkpath(dir.filePath(u"folder/inside"_qs)));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.ini"_qs)).constData(), 0600), 0);
        const QString path = dir.filePath(name);
        QCOMPARE(GetINIString(Section, u"UserName"_qs, u"dflt"_qs, path), u"dflt"_qs);

        const Result<void> written = WriteINIString(Section, u"UserName"_qs, u"x"_qs, path);
        QVERIFY(!written);
        QVERIFY2(written.error().contains(QuotedPath(path)), qPrintable(written.error()));
        QVERIFY2(written.error().contains(reason), qPrintable(written.error()));

        QCOMPARE(ReadBytes(dir.filePath(u"file.txt"_qs)), QByteArray("not a folder"));
        QVERIFY(QFileInfo(dir.filePath(u"folder/inside"_qs)).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{u"file.txt"_qs, u"folder"_qs, u"pipe.ini"_qs}));
    }

    // On a full disk the write fails with a message, and the file keeps every key it had.
    void write_fullDisk_keepsFile()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(u"disk"_qs);
        QVERIFY(QDir().mkdir(disk));
        const QString path = disk + u"/tapewright.ini"_qs;
        const QByteArray before = "[Tapewright]\nTemplate=Jewel Case.odt\nUserName=Jane\n"
                                  "[Other]\nKey=kept\n";
        QString whyNot;
        const std::optional<QByteArray> answer = RunOnSmallDisk(
            disk, 64,
            [&] {
                WriteBytes(path, before);
                FillDisk(disk);
                const Result<void> written =
                    WriteINIString(Section, u"UserName"_qs, u"Jane Doe"_qs, path);
                return (written ? QByteArray("written") : written.error().toUtf8()) + '\n' +
                       ReadBytes(path);
            },
            &whyNot);
        if (!answer)
            QSKIP(qPrintable(whyNot));
        const qsizetype lineEnd = answer->indexOf('\n');
        QCOMPARE(QString::fromUtf8(answer->left(lineEnd)),
                 u"Cannot save "_qs + QuotedPath(path) + u": the disk is full."_qs);
        QCOMPARE(answer->mid(lineEnd + 1), before);
    }

    // An installed program keeps its settings in the user's folder even where it may write
    // into its own (as in ~/.local/bin); a copy that runs from its own folder keeps them beside
    // it; a file found beside the program is used where it is.
    void locate_data()
    {
        QTest::addColumn<bool>("templatesBeside");
        QTest::addColumn<bool>("fileBeside");
        QTest::addColumn<bool>("besideProgram");

        QTest::newRow("installed program") << false << false << false;
        QTest::newRow("build tree or portable copy") << true << false << true;
        QTest::newRow("installed, file left beside it") << false << true << true;
    }

    void locate()
    {
        QFETCH(bool, templatesBeside);
        QFETCH(bool, fileBeside);
        QFETCH(bool, besideProgram);

        QTemporaryDir dir;
        const QString program = dir.filePath(u"bin"_qs);
        const QString user = dir.filePath(u"user"_qs);
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QDir().mkpath(user));
        WriteBytes(user + u"/tapewright.ini"_qs, "[Tapewright]\n");
        if (templatesBeside)
            QVERIFY(QDir().mkpath(program + u"/template"_qs));
        if (fileBeside)
            WriteBytes(program + u"/tapewright.ini"_qs, "[Tapewright]\n");

        const QString expected =
            besideProgram ? program + u"/tapewright.ini"_qs : user + u"/tapewright.ini"_qs;
        QCOMPARE(LocateSettingsFile(program, user), expected);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
