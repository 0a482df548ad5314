// Which recorded Message-ID an article's References answer: the fast matcher
// must give exactly what searching every record, newest first, for an exact
// substring gives.

#include "exchange/referencematcher.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

struct Entry
{
    QString id;
    ReferenceMatcher::Record record;
};

// The rule as stated: the first record, newest first, whose Message-ID occurs
// in the References; an empty Message-ID matches nothing.
std::optional<ReferenceMatcher::Record> bySearching(std::vector<Entry> entries, const QString &references)
{
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.record.code > b.record.code; });
    for (const Entry &entry : entries) {
        if (!entry.id.isEmpty() && references.contains(entry.id, Qt::CaseSensitive))
            return entry.record;
    }
    return std::nullopt;
}

int articleOf(const std::optional<ReferenceMatcher::Record> &record)
{
    return record ? record->articleId : 0;
}

} // namespace

class tst_ReferenceMatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cases_data();
    void cases();
    void agreesWithSearchingEveryRecord();
};

void tst_ReferenceMatcher::cases_data()
{
    // Records: code 1 <q@x> (article 10), code 2 <a@y> (article 11), code 3
    // <Q@x> (article 12), code 4 "odd id" (article 13), code 5 "" (article 14).
    QTest::addColumn<QString>("references");
    QTest::addColumn<int>("article");
    QTest::newRow("the question's ID alone") << "<q@x>" << 10;
    QTest::newRow("inside a longer list") << "<first@z> <q@x> <last@z>" << 10;
    QTest::newRow("without blanks between IDs") << "<first@z><q@x><last@z>" << 10;
    QTest::newRow("newest record wins") << "<q@x> <a@y>" << 11;
    QTest::newRow("newest wins in any order") << "<a@y> <q@x>" << 11;
    QTest::newRow("case counts") << "<Q@x>" << 12;
    QTest::newRow("ID cut short is no match") << "<q@x" << 0;
    QTest::newRow("bracket inside the text before it") << "<broken <q@x>" << 10;
    QTest::newRow("ID of another form, as a substring") << "see odd id here" << 13;
    QTest::newRow("no references") << "" << 0;
    QTest::newRow("unrelated") << "<other@z>" << 0;
}

void tst_ReferenceMatcher::cases()
{
    QFETCH(QString, references);
    QFETCH(int, article);
    ReferenceMatcher matcher;
    matcher.add(QStringLiteral("<q@x>"), {1, 10});
    matcher.add(QStringLiteral("<a@y>"), {2, 11});
    matcher.add(QStringLiteral("<Q@x>"), {3, 12});
    matcher.add(QStringLiteral("odd id"), {4, 13});
    matcher.add(QString(), {5, 14});
    QCOMPARE(articleOf(matcher.newestIn(references)), article);
}

void tst_ReferenceMatcher::agreesWithSearchingEveryRecord()
{
    // Short IDs over a small alphabet, so that overlaps, repeats, nested
    // brackets and IDs inside IDs occur often.
    QRandomGenerator random(20240305);
    const QString alphabet = QStringLiteral("ab<>@ ");
    auto text = [&](int maxLength) {
        QString s;
        const int length = random.bounded(maxLength + 1);
        for (int i = 0; i < length; ++i)
            s += alphabet.at(random.bounded(alphabet.size()));
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<Entry> entries;
        ReferenceMatcher matcher;
        const int count = random.bounded(1, 12);
        for (int i = 0; i < count; ++i) {
            // Mostly IDs of the usual form, some of any form.
            const QString id = random.bounded(4) == 0
                ? text(5)
                : QLatin1Char('<') + text(3).remove(QLatin1Char('<')).remove(QLatin1Char('>')) + QLatin1Char('>');
            const ReferenceMatcher::Record record{random.bounded(1, 1000), 100 + i};
            entries.push_back({id, record});
            matcher.add(id, record);
        }
        for (int line = 0; line < 50; ++line) {
            const QString references = text(24);
            const auto expected = bySearching(entries, references);
            const auto got = matcher.newestIn(references);
            QVERIFY2(bool(expected) == bool(got) && (!got || got->code == expected->code),
                     qPrintable(QStringLiteral("round %1, references \"%2\"").arg(round).arg(references)));
        }
    }
}

QTEST_GUILESS_MAIN(tst_ReferenceMatcher)
#include "tst_referencematcher.moc"
