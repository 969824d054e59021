// The main window's resize rule, in twips.
#include "app/mainlayout.h"

#include <QTest>

using namespace tapewright;

class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void resizeRule_data();
    void resizeRule();
    void restoredPlacement_data();
    void restoredPlacement();
};

// The panes share the client's width less three margins and keep theirs below; nothing is ever
// negative.
void TestMainLayout::resizeRule_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("paneWidth");
    QTest::addColumn<double>("paneHeight");
    QTest::addColumn<double>("outputLeft");

    QTest::newRow("designed size") << 10680.0 << 5790.0 << 5250.0 << 5310.0 << 5370.0;
    QTest::newRow("wider") << 15000.0 << 5790.0 << 7410.0 << 5310.0 << 7530.0;
    QTest::newRow("taller only") << 10680.0 << 9000.0 << 5250.0 << 8520.0 << 5370.0;
    // W - 3m odd: the halving keeps its half twip.
    QTest::newRow("odd width halves exactly") << 10681.0 << 5790.0 << 5250.5 << 5310.0 << 5370.5;
    QTest::newRow("fractional client rounds") << 10680.4 << 5789.6 << 5250.0 << 5310.0 << 5370.0;
    QTest::newRow("minimised, empty client") << 0.0 << 0.0 << 0.0 << 0.0 << 120.0;
    QTest::newRow("narrower than the margins") << 150.0 << 5790.0 << 0.0 << 5310.0 << 120.0;
    QTest::newRow("exactly the margins") << 180.0 << 480.0 << 0.0 << 0.0 << 120.0;
    QTest::newRow("lower than the tops") << 10680.0 << 300.0 << 5250.0 << 0.0 << 5370.0;
}

void TestMainLayout::resizeRule()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, paneWidth);
    QFETCH(double, paneHeight);
    QFETCH(double, outputLeft);

    const LayoutInput in{width, height, 60, 360, 360, 1725};
    const PaneLayout out = ComputePaneLayout(in);
    QCOMPARE(out.inputWidth, paneWidth);
    QCOMPARE(out.outputWidth, paneWidth);
    QCOMPARE(out.inputHeight, paneHeight);
    QCOMPARE(out.outputHeight, paneHeight);
    QCOMPARE(out.outputLeft, outputLeft);
    QCOMPARE(out.outputLabelLeft, outputLeft);
    // The status label's right edge is the output pane's right edge.
    QCOMPARE(out.statusLeft + in.statusWidth, out.outputLeft + out.outputWidth);
}

// The window reopens where it was, but always wholly on a screen that is still there.
void TestMainLayout::restoredPlacement_data()
{
    QTest::addColumn<QRect>("last");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("placed"); // a null rectangle: designed size, centred

    const QList<QRect> one{{0, 0, 1280, 1024}};
    const QList<QRect> two{{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
    QTest::newRow("on the screen") << QRect(100, 80, 712, 410) << one << QRect(100, 80, 712, 410);
    QTest::newRow("on the second screen")
        << QRect(1500, 80, 712, 410) << two << QRect(1500, 80, 712, 410);
    QTest::newRow("second screen unplugged") << QRect(1500, 80, 712, 410) << one << QRect();
    QTest::newRow("partly off the right edge")
        << QRect(1000, 80, 712, 410) << one << QRect(568, 80, 712, 410);
    QTest::newRow("partly above the top")
        << QRect(100, -200, 712, 410) << one << QRect(100, 0, 712, 410);
    QTest::newRow("partly below the bottom")
        << QRect(100, 900, 712, 410) << one << QRect(100, 614, 712, 410);
    QTest::newRow("mostly on the second screen")
        << QRect(1000, 80, 712, 410) << two << QRect(1280, 80, 712, 410);
    QTest::newRow("larger than the screen")
        << QRect(-50, -50, 1500, 1200) << one << QRect(0, 0, 1280, 1024);
    QTest::newRow("nothing stored") << QRect(0, 0, 0, 0) << one << QRect();
}

void TestMainLayout::restoredPlacement()
{
    QFETCH(QRect, last);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, placed);
    QCOMPARE(RestoredPlacement(last, screens).value_or(QRect()), placed);
}

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
