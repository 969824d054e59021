// Font metrics read through fontconfig and FreeType, checked against the published advance
// widths of Liberation Sans (those of Arial, whose metrics it copies; 2048 units to the em).
#include "cover/layout/fontmetrics.h"

#include <QTest>

using namespace tapewright;

class TestFontMetrics : public QObject
{
    Q_OBJECT

private slots:
    void width_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("units");

        QTest::newRow("regular") << false << u"Hello"_qs << 1479 + 1139 + 455 + 455 + 1139;
        QTest::newRow("bold") << true << u"Hello"_qs << 1479 + 1139 + 569 + 569 + 1251;
        QTest::newRow("blank") << false << u" "_qs << 569;
        QTest::newRow("beyond Latin") << false << u"\u2026"_qs << 2048; // horizontal ellipsis
        // Private use: no glyph in the face, set from another font, counted as one em; a
        // character outside the BMP counts once, not as two halves.
        QTest::newRow("missing glyph") << false << u"\uE000"_qs << 2048;
        QTest::newRow("surrogate pair") << false << QString::fromUcs4(U"\U000F0000") << 2048;
    }

    void width()
    {
        QFETCH(bool, bold);
        QFETCH(QString, text);
        QFETCH(int, units);
        QString error;
        const auto metrics = FontMetrics::load({u"Liberation Sans"_qs, bold, false}, &error);
        QVERIFY2(metrics, qPrintable(error));
        if (metrics->family() != u"Liberation Sans"_qs)
            QSKIP("Liberation Sans is not installed");
        QCOMPARE(metrics->width(text), units / 2048.0);
    }
};

QTEST_GUILESS_MAIN(TestFontMetrics)
#include "tst_fontmetrics.moc"
