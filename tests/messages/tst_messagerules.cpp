// The rules behind the message commands, on their own: the "Re:" subject, the
// quoting of the answered text by displayed lines, the order a thread is
// deleted in, and the checks of Post in their order.

#include "messages/memotext.h"
#include "messages/postchecks.h"
#include "messages/quotedbody.h"
#include "messages/replysubject.h"
#include "messages/subtree.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPlainTextDocumentLayout>
#include <QTest>
#include <QTextDocument>

namespace {

// A document as the reply's body editor holds it.
struct PlainDocument
{
    explicit PlainDocument(const QString &text)
    {
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        document.setPlainText(text);
    }
    QTextDocument document;
};

} // namespace

class tst_MessageRules : public QObject
{
    Q_OBJECT

private slots:
    void replySubject_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain subject gets Re: without a blank") << "Hello"
                                                                << "Re:Hello";
        QTest::newRow("Re: with a blank stays") << "Re: Hello"
                                                << "Re: Hello";
        QTest::newRow("Re: without a blank stays") << "Re:Hello"
                                                   << "Re:Hello";
        QTest::newRow("RE: is another prefix") << "RE: Hello"
                                               << "Re:RE: Hello";
        QTest::newRow("re: is another prefix") << "re: Hello"
                                               << "Re:re: Hello";
        QTest::newRow("empty subject") << ""
                                       << "Re:";
        QTest::newRow("shorter than the prefix") << "Re"
                                                 << "Re:Re";
        QTest::newRow("exactly the prefix") << "Re:"
                                            << "Re:";
        QTest::newRow("Re: not at the start") << " Re: Hello"
                                              << "Re: Re: Hello";
    }
    void replySubject()
    {
        QFETCH(QString, subject);
        QFETCH(QString, expected);
        QCOMPARE(ReplySubject::of(subject), expected);
    }

    void quotingByLines_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty body has no line") << ""
                                                << "";
        QTest::newRow("one line") << "Hello"
                                  << ">Hello";
        QTest::newRow("empty middle line becomes >") << "first\nsecond is empty\n\nthird"
                                                     << ">first\n>second is empty\n>\n>third";
        QTest::newRow("three lines, second empty") << "one\n\nthree"
                                                   << ">one\n>\n>three";
        QTest::newRow("final line break adds no line") << "one\ntwo\n"
                                                       << ">one\n>two";
        QTest::newRow("two final breaks keep one empty line") << "one\n\n"
                                                              << ">one\n>";
        QTest::newRow("a lone line break is one empty line") << "\n"
                                                             << ">";
        QTest::newRow("blanks are kept after >") << "  indented"
                                                 << ">  indented";
        QTest::newRow("quoted lines get another >") << ">old\n> older"
                                                    << ">>old\n>> older";
    }
    void quotingByLines()
    {
        QFETCH(QString, body);
        QFETCH(QString, expected);
        PlainDocument doc(body);
        QCOMPARE(QuotedBody::quote(QuotedBody::displayedLines(doc.document, 2000)), expected);
    }

    // A paragraph wider than the editor is quoted one displayed line at a
    // time: nothing is lost, and every quoted piece fits the width it was
    // laid out in.
    void longParagraphQuotedPerDisplayedLine()
    {
        QStringList words;
        for (int i = 0; i < 60; ++i)
            words << QStringLiteral("word%1").arg(i);
        const QString paragraph = words.join(QLatin1Char(' '));
        PlainDocument doc(paragraph + QStringLiteral("\nshort"));
        const qreal width = 300;
        const QStringList lines = QuotedBody::displayedLines(doc.document, width);
        QVERIFY2(lines.size() > 3, qPrintable(lines.join(QLatin1Char('|'))));
        QCOMPARE(lines.last(), QStringLiteral("short"));
        QCOMPARE(lines.mid(0, lines.size() - 1).join(QString()), paragraph);
        const QFontMetricsF metrics(doc.document.defaultFont());
        const qreal available = width - 2 * doc.document.documentMargin();
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line.trimmed()) <= available, qPrintable(line));
        const QStringList quoted = QuotedBody::quote(lines).split(QLatin1Char('\n'));
        QCOMPARE(quoted.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(quoted[i], QLatin1Char('>') + lines[i]);
    }

    void memoLineBreaks_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("storedAgain");
        QTest::newRow("CR LF") << "a\r\nb\r\n"
                               << "a\nb\n"
                               << "a\r\nb\r\n";
        QTest::newRow("lone CR and LF") << "a\rb\nc"
                                        << "a\nb\nc"
                                        << "a\r\nb\r\nc";
        QTest::newRow("empty line kept") << "a\r\n\r\nb"
                                         << "a\n\nb"
                                         << "a\r\n\r\nb";
        QTest::newRow("no break") << "a"
                                  << "a"
                                  << "a";
    }
    void memoLineBreaks()
    {
        QFETCH(QString, memo);
        QFETCH(QString, editor);
        QFETCH(QString, storedAgain);
        QCOMPARE(MemoText::toEditor(memo), editor);
        QCOMPARE(MemoText::toMemo(editor), storedAgain);
    }

    // Children completely before their parent, first child first: the order
    // in which a thread goes to Deleted messages.
    void subtreeDeepestFirst()
    {
        // 1 ─ 2 ─ 4
        //   │   └ 5 ─ 7
        //   └ 3 ─ 6
        const QHash<int, QList<int>> children{{1, {2, 3}}, {2, {4, 5}}, {5, {7}}, {3, {6}}};
        const auto lookup = [&](int code) { return children.value(code); };
        QCOMPARE(Subtree::deepestFirst(1, lookup), (QList<int>{4, 7, 5, 2, 6, 3, 1}));
        QCOMPARE(Subtree::deepestFirst(5, lookup), (QList<int>{7, 5}));
        QCOMPARE(Subtree::deepestFirst(9, lookup), (QList<int>{9}));
    }

    void postChecks_data()
    {
        QTest::addColumn<bool>("reply");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("account");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("reason");
        using F = PostChecks::Field;
        QTest::newRow("question: all empty reports the category only")
            << false << 0 << 0 << false << ""
            << "" << int(F::Category) << PostChecks::kNoCategory;
        QTest::newRow("question: no category, no subject reports the category")
            << false << 0 << 3 << true << ""
            << "text" << int(F::Category) << PostChecks::kNoCategory;
        QTest::newRow("question: no account") << false << 5 << 0 << false << "S"
                                              << "B" << int(F::Account) << PostChecks::kNoAccount;
        QTest::newRow("question: an account no longer listed") << false << 5 << 9 << false << "S"
                                                               << "B" << int(F::Account) << PostChecks::kNoAccount;
        QTest::newRow("question: no subject") << false << 5 << 3 << true << ""
                                              << "B" << int(F::Subject) << PostChecks::kNoSubject;
        QTest::newRow("question: no body") << false << 5 << 3 << true << "S"
                                           << "" << int(F::Body) << PostChecks::kNoBody;
        QTest::newRow("question: blanks pass") << false << 5 << 3 << true << " "
                                               << " " << int(F::None) << "";
        QTest::newRow("question: a folder's code passes") << false << 1 << 3 << true << "S"
                                                          << "B" << int(F::None) << "";
        QTest::newRow("reply: no category needed") << true << 0 << 3 << true << "S"
                                                   << "B" << int(F::None) << "";
        QTest::newRow("reply: no subject before no body") << true << 0 << 3 << true << ""
                                                          << "" << int(F::Subject) << PostChecks::kNoSubject;
        QTest::newRow("reply: no body") << true << 0 << 3 << true << "Re:"
                                        << "" << int(F::Body) << PostChecks::kNoBody;
        QTest::newRow("reply: no subject before no account") << true << 0 << 0 << false << ""
                                                             << "B" << int(F::Subject) << PostChecks::kNoSubject;
        QTest::newRow("reply: no account at all") << true << 0 << 0 << false << "Re:"
                                                  << ">B" << int(F::Account) << PostChecks::kNoAccount;
        QTest::newRow("reply: blanks pass") << true << 0 << 3 << true << " "
                                            << " " << int(F::None) << "";
    }
    void postChecks()
    {
        QFETCH(bool, reply);
        QFETCH(int, category);
        QFETCH(int, account);
        QFETCH(bool, listed);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(int, field);
        QFETCH(QString, reason);
        const PostChecks::Message message{category, account, listed, subject, body};
        const PostChecks::Failure failure = reply ? PostChecks::reply(message) : PostChecks::question(message);
        QCOMPARE(int(failure.field), field);
        QCOMPARE(failure.reason, reason);
    }

    void boxTextHasTwoCarriageReturns()
    {
        QCOMPARE(PostChecks::boxText(QStringLiteral("This message has no subject.")),
                 QStringLiteral("The message could not be sent\r\rThis message has no subject."));
    }
};

QTEST_MAIN(tst_MessageRules)
#include "tst_messagerules.moc"
