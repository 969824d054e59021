// Smart recognition stage by stage: a line's kind (every row of the classifier table gives its
// own example that kind), what the header's readers propose for each field, and how the
// precedence table chooses among proposals.
#include "smart/candidates.h"
#include "smart/infotext.h"
#include "smart/showheader.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace tapewright::smart;
using namespace testsupport;

namespace {

const DateLocale &dates()
{
    return DateLocale::of(UnitedStatesLocale());
}

std::optional<FieldRule> ruleNamed(QStringView name)
{
    for (int r = 0; r <= int(FieldRule::StackedLines); ++r) {
        if (RuleName(FieldRule(r)) == name)
            return FieldRule(r);
    }
    return std::nullopt;
}

std::optional<ShowField> fieldNamed(QStringView name)
{
    for (int f = 0; f <= int(ShowField::Place); ++f) {
        if (FieldName(ShowField(f)) == name)
            return ShowField(f);
    }
    return std::nullopt;
}

QString refusedMark(const FieldCandidate &c)
{
    return c.refused.isEmpty() ? QString() : u" (refused)"_qs;
}

} // namespace

class TestSmartStages : public QObject
{
    Q_OBJECT

private slots:
    void classifierTable_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("kind");
        for (const LineRule &rule : LineRules()) {
            QTest::newRow(qPrintable(QString::fromUtf16(rule.rule)))
                << QString::fromUtf16(rule.example) << KindName(rule.kind).toString();
        }
    }

    // Each rule's example is classified by that rule's kind: a rule shadowed by one above it,
    // or an example that no longer fits its rule, fails here.
    void classifierTable()
    {
        QFETCH(QString, example);
        QFETCH(QString, kind);
        const InfoText text(example, dates());
        QCOMPARE(KindName(text.kind(0)).toString(), kind);
    }

    void lineKinds_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kind");
        for (const TextCase &c : TextCases(u"smart/linekinds.txt"_qs))
            QTest::newRow(qPrintable(c.name)) << c.lines.value(0) << c.expected;
    }

    void lineKinds()
    {
        QFETCH(QString, line);
        QFETCH(QString, kind);
        const InfoText text(line, dates());
        QCOMPARE(KindName(text.kind(0)).toString(), kind);
    }

    void candidates_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("proposed");
        for (const TextCase &c : TextCases(u"smart/candidates.txt"_qs))
            QTest::newRow(qPrintable(c.name)) << c.lines << c.expected.split(u" ;; "_qs);
    }

    void candidates()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, proposed);
        const InfoText text(CrlfLines(lines), dates());
        FieldCandidates all;
        ReadShowHeader(text, dates(), &all);
        QStringList told;
        for (const FieldCandidate &c : all.all()) {
            told << QStringLiteral("%1|%2|%3|%4%5")
                        .arg(FieldName(c.field), RuleName(c.rule),
                             c.line >= 0 ? QString::number(c.line + 1) : u"-"_qs, c.value,
                             refusedMark(c));
        }
        for (const QString &candidate : std::as_const(proposed)) {
            if (!told.contains(candidate))
                QFAIL(qPrintable(u"not proposed: "_qs + candidate + u"\n"_qs + told.join(u'\n')));
        }
    }

    void choice_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("winner");
        for (const TextCase &c : TextCases(u"smart/choices.txt"_qs))
            QTest::newRow(qPrintable(c.name)) << c.lines << c.expected;
    }

    void choice()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, winner);
        FieldCandidates candidates;
        std::optional<ShowField> first;
        for (const QString &line : std::as_const(lines)) {
            if (line.isEmpty())
                continue;
            const QStringList parts = line.split(u'|');
            QCOMPARE(parts.size(), 4);
            const auto field = fieldNamed(parts[0]);
            const auto rule = ruleNamed(parts[1]);
            QVERIFY2(field && rule, qPrintable(line));
            QString value = parts[3];
            const bool refused = value.endsWith(u" (refused)");
            if (refused)
                value.chop(10);
            const qsizetype at =
                candidates.propose({*field, *rule, value, -1, parts[2].toInt(), {}, {}});
            if (refused)
                candidates.refuse(at, u"as the case says"_qs);
            first = first.value_or(*field);
        }
        candidates.takePlaceWhole();
        const FieldCandidate *chosen = candidates.chosen(*first);
        QCOMPARE(chosen ? RuleName(chosen->rule).toString() : u"(none)"_qs, winner);
    }
};

QTEST_GUILESS_MAIN(TestSmartStages)
#include "tst_smartstages.moc"
