// When the info text is converted as it is edited: at once, or after a pause and on another
// thread, and only the XML of the latest edit is taken. The sizes are given, not typed, so that
// a few lines stand for a text of megabytes.
#include "app/conversionsession.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

#include <utility>

using namespace tapewright;
using namespace testsupport;

namespace {

constexpr qsizetype Deferred = 1000; // characters above which the pause is waited for

// A session converting "Band N" and five more lines, N counted up by next().
struct Fixture
{
    int n = 0;
    ConversionSession session{[this] { return text(); }};
    QSignalSpy changed{&session, &ConversionSession::xmlChanged};
    QSignalSpy parsing{&session, &ConversionSession::parsing};

    Fixture()
    {
        session.setLocale(UnitedStatesLocale());
        session.setDeferredSize(Deferred);
    }
    static QString textOf(int band)
    {
        return CrlfLines({u"Band %1"_qs.arg(band), u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs});
    }
    QString text() const { return textOf(n); }
    static QString xmlOf(int band)
    {
        return ConvertInfoText(textOf(band), {UnitedStatesLocale(), nullptr});
    }
    void edit(qsizetype characters, qsizetype lines = 6)
    {
        ++n;
        session.edited(characters, lines);
    }
};

} // namespace

class TestConversionSession : public QObject
{
    Q_OBJECT

private slots:
    // Up to the size (and up to 100,000 lines) the text is converted as the edit comes; above
    // it, once the pause is over, "parsing" meanwhile.
    void edited_data()
    {
        QTest::addColumn<qsizetype>("characters");
        QTest::addColumn<qsizetype>("lines");
        QTest::addColumn<bool>("deferred");
        QTest::newRow("small") << qsizetype(50) << qsizetype(6) << false;
        QTest::newRow("exactly the size") << Deferred << qsizetype(6) << false;
        QTest::newRow("a character more") << Deferred + 1 << qsizetype(6) << true;
        QTest::newRow("100,000 lines") << qsizetype(50) << qsizetype(100'000) << false;
        QTest::newRow("a line more") << qsizetype(50) << qsizetype(100'001) << true;
    }
    void edited()
    {
        QFETCH(qsizetype, characters);
        QFETCH(qsizetype, lines);
        QFETCH(bool, deferred);
        Fixture f;
        f.edit(characters, lines);
        QCOMPARE(f.changed.size(), deferred ? 0 : 1);
        QCOMPARE(f.session.isSettled(), !deferred);
        if (deferred)
            QVERIFY(f.changed.wait());
        QCOMPARE(f.session.xml(), f.xmlOf(1));
        QCOMPARE(f.changed.size(), 1);
        QStringList parsing;
        for (const QList<QVariant> &busy : std::as_const(f.parsing))
            parsing << (busy.at(0).toBool() ? u"on"_qs : u"off"_qs);
        QCOMPARE(parsing.join(u' '), deferred ? u"on off"_qs : QString());
        QVERIFY(f.session.isSettled());
    }

    // Edits during the pause start it again, and an edit or a load once the conversion has taken
    // its text drops its result: only the XML of the latest text is taken.
    void deferred_takesOnlyTheLatestText_data()
    {
        QTest::addColumn<bool>("load");
        QTest::addColumn<int>("changes");
        QTest::newRow("edit") << false << 1;
        QTest::newRow("load, then edit") << true << 2;
    }
    void deferred_takesOnlyTheLatestText()
    {
        QFETCH(bool, load);
        QFETCH(int, changes);
        Fixture f;
        bool once = true;
        connect(&f.session, &ConversionSession::parsing, this, [&](bool busy) {
            if (!busy || !std::exchange(once, false))
                return;
            if (load) // text 2 is taken; loaded, and 3 typed
                f.session.loaded(u"loaded"_qs);
            f.edit(Deferred + 1);
        });
        f.edit(Deferred + 1);
        f.edit(Deferred + 1);
        QTRY_VERIFY(f.session.isSettled());
        QCOMPARE(f.changed.size(), changes);
        QCOMPARE(f.session.xml(), f.xmlOf(3));
    }

    // Before a save, a cover or the closing question, and when a file is loaded, what waits for
    // the pause is done with at once: nothing comes of it afterwards.
    void waitingConversion_endedBy_data()
    {
        QTest::addColumn<bool>("load");
        QTest::newRow("settle") << false;
        QTest::newRow("load") << true;
    }
    void waitingConversion_endedBy()
    {
        QFETCH(bool, load);
        Fixture f;
        f.edit(Deferred + 1);
        if (load)
            f.session.loaded(u"loaded"_qs);
        else
            f.session.settle();
        QCOMPARE(f.session.xml(), load ? u"loaded"_qs : f.xmlOf(1));
        QVERIFY(f.session.isSettled());
        QVERIFY(!f.parsing.wait(600)); // the pause is 300 ms
        QCOMPARE(f.changed.size(), 1);
    }

    // The recognition of the XML taken is told when it changes, also when the XML does not.
    void recognition_toldWhenItChanges()
    {
        Fixture f;
        QSignalSpy recognition(&f.session, &ConversionSession::recognitionChanged);
        f.session.setSmart(true);
        f.edit(Deferred + 1);
        QVERIFY(recognition.wait());
        QVERIFY(f.session.xmlIsSmart());
        f.session.setSmart(false);
        f.session.loaded(f.session.xml());
        QCOMPARE(recognition.size(), 2);
        QVERIFY(!f.session.xmlIsSmart());
        QCOMPARE(f.changed.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestConversionSession)
#include "tst_conversionsession.moc"
