// The main window's resize rule, in twips.
#include "mainlayout.h"

#include <QTest>

using namespace tapewright;

class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void resizeRule_data();
    void resizeRule();
    void resizeRule_neverNegative_data();
    void resizeRule_neverNegative();
};

void TestMainLayout::resizeRule_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("paneWidth");
    QTest::addColumn<double>("paneHeight");
    QTest::addColumn<double>("outputLeft");
    QTest::addColumn<double>("statusLeft");

    QTest::newRow("designed size") << 10680.0 << 5790.0 << 5250.0 << 5310.0 << 5370.0 << 8895.0;
    QTest::newRow("wider") << 15000.0 << 5790.0 << 7410.0 << 5310.0 << 7530.0 << 13215.0;
    QTest::newRow("taller only") << 10680.0 << 9000.0 << 5250.0 << 8520.0 << 5370.0 << 8895.0;
    // W - 3m odd: the halving keeps its half twip.
    QTest::newRow("odd width halves exactly")
        << 10681.0 << 5790.0 << 5250.5 << 5310.0 << 5370.5 << 8895.0 + 1.0;
    QTest::newRow("fractional client rounds")
        << 10680.4 << 5789.6 << 5250.0 << 5310.0 << 5370.0 << 8895.0;
}

void TestMainLayout::resizeRule()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, paneWidth);
    QFETCH(double, paneHeight);
    QFETCH(double, outputLeft);
    QFETCH(double, statusLeft);

    const LayoutInput in{width, height, 60, 360, 360, 1725};
    const PaneLayout out = ComputePaneLayout(in);
    QCOMPARE(out.inputWidth, paneWidth);
    QCOMPARE(out.outputWidth, paneWidth);
    QCOMPARE(out.inputHeight, paneHeight);
    QCOMPARE(out.outputHeight, paneHeight);
    QCOMPARE(out.outputLeft, outputLeft);
    QCOMPARE(out.outputLabelLeft, outputLeft);
    QCOMPARE(out.statusLeft, statusLeft);
    // The status label's right edge is the output pane's right edge.
    QCOMPARE(out.statusLeft + in.statusWidth, out.outputLeft + out.outputWidth);
}

void TestMainLayout::resizeRule_neverNegative_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("paneWidth");
    QTest::addColumn<double>("paneHeight");

    QTest::newRow("minimised, empty client") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("narrower than the margins") << 150.0 << 5790.0 << 0.0 << 5310.0;
    QTest::newRow("exactly the margins") << 180.0 << 480.0 << 0.0 << 0.0;
    QTest::newRow("lower than the tops") << 10680.0 << 300.0 << 5250.0 << 0.0;
}

void TestMainLayout::resizeRule_neverNegative()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, paneWidth);
    QFETCH(double, paneHeight);

    const PaneLayout out = ComputePaneLayout({width, height, 60, 360, 360, 1725});
    QCOMPARE(out.inputWidth, paneWidth);
    QCOMPARE(out.outputWidth, paneWidth);
    QCOMPARE(out.inputHeight, paneHeight);
    QCOMPARE(out.outputHeight, paneHeight);
    QCOMPARE(out.outputLeft, paneWidth + 120);
}

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
