// The bold mark: a node is bold exactly when its message or one below it is
// unread, through additions, the read timer's marks and removals.

#include "shell/articleitem.h"
#include "shell/unreadmark.h"

#include <QTest>
#include <map>

namespace {

// What HasUnread means, walked out in full.
bool unreadAtOrBelow(const ArticleItem *node)
{
    if (!node->rec().IsRead)
        return true;
    for (int i = 0; i < node->childCount(); ++i) {
        if (unreadAtOrBelow(node->childNode(i)))
            return true;
    }
    return false;
}

// A thread given as "code:parent:r|u" triples, added in that order as the tree
// adds rows: attach, then SetUnreadMark with the row's unread flag.
struct Thread
{
    std::map<int, ArticleItem *> nodes;
    QList<ArticleItem *> roots;

    explicit Thread(const QString &spec)
    {
        for (const QString &triple : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList bits = triple.split(QLatin1Char(':'));
            TItemRec rec{bits[0].toInt(), bits[2] == QLatin1String("r")};
            auto *node = new ArticleItem(rec);
            node->setText(0, bits[0]);
            const int parent = bits[1].toInt();
            if (parent == 0)
                roots << node;
            else
                nodes.at(parent)->addChild(node);
            nodes[rec.Code] = node;
            UnreadMark::attached(node);
            UnreadMark::SetUnreadMark(node, !rec.IsRead);
        }
    }
    ~Thread() { qDeleteAll(roots); }

    // The codes of the bold nodes, in code order.
    QString bold() const
    {
        QStringList codes;
        for (const auto &[code, node] : nodes) {
            if (node->isBold())
                codes << QString::number(code);
        }
        return codes.join(QLatin1Char(' '));
    }
    bool consistent() const
    {
        for (const auto &[code, node] : nodes) {
            if (UnreadMark::HasUnread(node) != unreadAtOrBelow(node) || node->isBold() != unreadAtOrBelow(node))
                return false;
        }
        return true;
    }
    void remove(int code)
    {
        ArticleItem *node = nodes.at(code);
        ArticleItem *parent = node->parentNode();
        UnreadMark::detaching(node);
        std::function<void(ArticleItem *)> forget = [&](ArticleItem *n) {
            for (int i = 0; i < n->childCount(); ++i)
                forget(n->childNode(i));
            nodes.erase(n->rec().Code);
        };
        forget(node);
        roots.removeAll(node);
        delete node;
        UnreadMark::refreshUpFrom(parent);
    }
};

} // namespace

class tst_UnreadMark : public QObject
{
    Q_OBJECT

private slots:
    void marksThroughAThread_data()
    {
        QTest::addColumn<QString>("thread");
        QTest::addColumn<QString>("boldAfterLoad");
        QTest::addColumn<QList<int>>("markedRead");
        QTest::addColumn<QString>("boldAfterMarks");

        // Question 1, answer 2, reply 3 below it, answer 4 beside 2.
        QTest::newRow("unread deep in the thread, then read") << "1:0:r 2:1:r 3:2:u 4:1:r"
                                                              << "1 2 3" << QList<int>{3} << "";
        QTest::newRow("another unread message keeps its path bold") << "1:0:r 2:1:r 3:2:u 4:1:u"
                                                                    << "1 2 3 4" << QList<int>{3} << "1 4";
        QTest::newRow("unread node stays bold when all below is read") << "1:0:r 2:1:u 3:2:u"
                                                                       << "1 2 3" << QList<int>{3} << "1 2";
        QTest::newRow("reading the middle leaves the unread below bold") << "1:0:r 2:1:u 3:2:u"
                                                                         << "1 2 3" << QList<int>{2} << "1 2 3";
        QTest::newRow("all read in any order") << "1:0:u 2:1:u 3:2:u"
                                               << "1 2 3" << QList<int>{1, 3, 2} << "";
        QTest::newRow("read thread is plain") << "1:0:r 2:1:r 3:2:r"
                                              << "" << QList<int>{} << "";
        QTest::newRow("separate threads do not touch") << "1:0:r 2:1:u 5:0:r 6:5:r"
                                                       << "1 2" << QList<int>{2} << "";
    }
    void marksThroughAThread()
    {
        QFETCH(QString, thread);
        QFETCH(QString, boldAfterLoad);
        QFETCH(QList<int>, markedRead);
        QFETCH(QString, boldAfterMarks);
        Thread t(thread);
        QCOMPARE(t.bold(), boldAfterLoad);
        QVERIFY(t.consistent());
        for (int code : markedRead) {
            UnreadMark::markRead(t.nodes.at(code));
            QVERIFY(t.consistent());
        }
        QCOMPARE(t.bold(), boldAfterMarks);
    }

    // SetUnreadMark(node, false) changes nothing while something below is unread.
    void clearingStopsAtUnreadBelow()
    {
        Thread t(QStringLiteral("1:0:r 2:1:r 3:2:u"));
        UnreadMark::SetUnreadMark(t.nodes.at(2), false);
        QCOMPARE(t.bold(), QStringLiteral("1 2 3"));
    }

    // Removing the only unread message of a thread takes the bold off the
    // nodes above it.
    void removingTheUnreadSubtreeUnboldsAbove()
    {
        Thread t(QStringLiteral("1:0:r 2:1:r 3:2:u 4:1:r"));
        t.remove(2);
        QCOMPARE(t.bold(), QString());
        QVERIFY(t.consistent());
        Thread u(QStringLiteral("1:0:r 2:1:r 3:2:u 4:1:u"));
        u.remove(2);
        QCOMPARE(u.bold(), QStringLiteral("1 4"));
        QVERIFY(u.consistent());
    }
};

QTEST_MAIN(tst_UnreadMark)
#include "tst_unreadmark.moc"
