// Folding of header lines longer than 78 characters.

#include "transport/headerfolding.h"

#include <QTest>

using HeaderFolding::fold;

namespace {

// "References: " followed by n Message-IDs of 20 characters each.
QByteArray references(int n)
{
    QByteArray line = "References:";
    for (int i = 0; i < n; ++i)
        line += " <" + QByteArray::number(1000000 + i) + "@example.net>";
    return line;
}

} // namespace

class tst_HeaderFolding : public QObject
{
    Q_OBJECT

private slots:
    void fold_data();
    void fold();
    void unfoldingGivesTheLineBack_data();
    void unfoldingGivesTheLineBack();
};

void tst_HeaderFolding::fold_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<QByteArray>>("expected");

    const QByteArray seventyEight = "Subject: " + QByteArray(69, 'x');
    QTest::newRow("78 characters stay on one line") << seventyEight << QList<QByteArray>{seventyEight};
    QTest::newRow("trailing blanks removed from a short line")
        << QByteArray("Subject: hello   ") << QList<QByteArray>{"Subject: hello"};

    const QByteArray words = "Subject: " + QByteArray(60, 'a') + " " + QByteArray(20, 'b') + " end";
    QTest::newRow("broken at the last blank that keeps 78")
        << words << QList<QByteArray>{"Subject: " + QByteArray(60, 'a'), " " + QByteArray(20, 'b') + " end"};

    const QByteArray exact = "Subject: " + QByteArray(69, 'a') + " next";
    QTest::newRow("a blank right at column 79 still gives 78")
        << exact << QList<QByteArray>{"Subject: " + QByteArray(69, 'a'), " next"};

    const QByteArray blanks = "Subject: " + QByteArray(60, 'a') + "    " + QByteArray(20, 'b');
    QTest::newRow("run of blanks goes to the continuation whole")
        << blanks << QList<QByteArray>{"Subject: " + QByteArray(60, 'a'), "    " + QByteArray(20, 'b')};

    const QByteArray longWord = "Subject: " + QByteArray(90, 'w') + " tail";
    QTest::newRow("word longer than the limit stays whole, broken after it")
        << longWord << QList<QByteArray>{"Subject: " + QByteArray(90, 'w'), " tail"};

    const QByteArray noBlank = "Newsgroups: " + QByteArray(100, 'g');
    QTest::newRow("no blank at all: not broken") << noBlank << QList<QByteArray>{noBlank};

    const QByteArray firstWordLong = "Subject: " + QByteArray(80, 'x');
    QTest::newRow("never broken between the colon and the first word")
        << firstWordLong << QList<QByteArray>{firstWordLong};

    const QByteArray three = "Subject: " + QByteArray(68, 'a') + " " + QByteArray(76, 'b') + " " + QByteArray(10, 'c');
    QTest::newRow("three pieces") << three
                                  << QList<QByteArray>{"Subject: " + QByteArray(68, 'a'), " " + QByteArray(76, 'b'),
                                                       " " + QByteArray(10, 'c')};
}

void tst_HeaderFolding::fold()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<QByteArray>, expected);
    QCOMPARE(HeaderFolding::fold(line), expected);
}

void tst_HeaderFolding::unfoldingGivesTheLineBack_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("long References") << references(12);
    QTest::newRow("very long References") << references(60);
    QTest::newRow("encoded-words") << QByteArray("Subject: =?UTF-8?Q?=D0=9F=D1=80=D0=B8=D0=B2=D0=B5=D1=82?= "
                                                 "=?UTF-8?Q?=D0=9F=D1=80=D0=B8=D0=B2=D0=B5=D1=82?= "
                                                 "=?UTF-8?Q?=D0=9F=D1=80=D0=B8=D0=B2=D0=B5=D1=82?= plain words");
}

void tst_HeaderFolding::unfoldingGivesTheLineBack()
{
    QFETCH(QByteArray, line);
    const QList<QByteArray> pieces = HeaderFolding::fold(line);
    QVERIFY(pieces.size() > 1);
    QVERIFY(pieces.first().startsWith(line.left(line.indexOf(' ') + 1)));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QVERIFY2(pieces[i].size() <= 78, pieces[i].constData());
        QVERIFY2(!pieces[i].endsWith(' '), pieces[i].constData());
        if (i > 0)
            QVERIFY2(pieces[i].startsWith(' '), pieces[i].constData());
    }
    // RFC 822 unfolding removes the line breaks and nothing else.
    QCOMPARE(pieces.join(QByteArray()), line);
}

QTEST_GUILESS_MAIN(tst_HeaderFolding)
#include "tst_headerfolding.moc"
