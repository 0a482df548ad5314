// The reader of the NNTP byte stream, fed from buffers: replies, data blocks,
// line limits and a stream that ends early.

#include "tests/support/piecefeed.h"
#include "transport/clienterrors.h"
#include "transport/replyreader.h"

#include <QTest>

class tst_ReplyReader : public QObject
{
    Q_OBJECT

private slots:
    void reply_data();
    void reply();
    void replyInPieces_data();
    void replyInPieces();
    void dataBlock_data();
    void dataBlock();
    void streamEndsBeforeTheEnd_data();
    void streamEndsBeforeTheEnd();
    void lineLimit_data();
    void lineLimit();
    void bytesAfterReplyStayForNextRead();
    void replyCode_data();
    void replyCode();
};

void tst_ReplyReader::reply_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<QByteArray>>("lines");

    QTest::newRow("single line") << QByteArray("211 5 1 5 misc.test\r\n") << 211
                                 << QList<QByteArray>{"211 5 1 5 misc.test"};
    QTest::newRow("bare LF line end") << QByteArray("200 ready\n") << 200 << QList<QByteArray>{"200 ready"};
    QTest::newRow("blank lines before the reply skipped")
        << QByteArray("\r\n   \r\n\t\r\n340 send it\r\n") << 340 << QList<QByteArray>{"340 send it"};
    QTest::newRow("surrounding blanks removed") << QByteArray("  281 ok  \r\n") << 281 << QList<QByteArray>{"281 ok"};
    QTest::newRow("multi-line reply read whole") << QByteArray("200-first\r\n200-second\r\n\r\n200 last\r\n") << 200
                                                 << QList<QByteArray>{"200-first", "200-second", "200 last"};
    QTest::newRow("multi-line reply: other codes inside do not end it")
        << QByteArray("480-a\r\n200 not the end\r\n480 end\r\n") << 480
        << QList<QByteArray>{"480-a", "200 not the end", "480 end"};
    QTest::newRow("multi-line reply ended by the bare code")
        << QByteArray("200-a\r\n200\r\n") << 200 << QList<QByteArray>{"200-a", "200"};
    QTest::newRow("no code") << QByteArray("hello there\r\n") << 0 << QList<QByteArray>{"hello there"};
    QTest::newRow("code with a letter") << QByteArray("2x0 odd\r\n") << 0 << QList<QByteArray>{"2x0 odd"};
    QTest::newRow("short line") << QByteArray("20\r\n") << 0 << QList<QByteArray>{"20"};
}

void tst_ReplyReader::reply()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, code);
    QFETCH(QList<QByteArray>, lines);

    QBuffer buffer(&stream);
    buffer.open(QIODevice::ReadOnly);
    ReplyReader reader(&buffer);
    const NntpReply reply = reader.readReply();
    QCOMPARE(reply.code, code);
    QCOMPARE(reply.lines, lines);
    QCOMPARE(reply.line(), lines.last());
}

void tst_ReplyReader::replyInPieces_data()
{
    QTest::addColumn<qsizetype>("pieceSize");
    QTest::newRow("one byte at a time") << qsizetype(1);
    QTest::newRow("CR and LF in different pieces") << qsizetype(5);
    QTest::newRow("all at once") << qsizetype(4096);
}

void tst_ReplyReader::replyInPieces()
{
    QFETCH(qsizetype, pieceSize);
    PieceFeed feed("224 overview\r\n1\tsubject\r\n..dot\r\n.\r\n205 bye\r\n", pieceSize);
    ReplyReader reader(feed.device(), [&feed] { return feed.more(); });

    QCOMPARE(reader.readReply().code, 224);
    QCOMPARE(reader.readDataBlock(), (QList<QByteArray>{"1\tsubject", ".dot"}));
    QCOMPARE(reader.readReply().line(), QByteArray("205 bye"));
    QVERIFY(feed.waits() > 0);
}

void tst_ReplyReader::dataBlock_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QByteArray>>("lines");

    QTest::newRow("empty block") << QByteArray(".\r\n") << QList<QByteArray>{};
    QTest::newRow("plain lines") << QByteArray("a\r\nb\r\n.\r\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("empty lines are data") << QByteArray("a\r\n\r\nb\r\n.\r\n") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("dot-stuffed lines lose one dot")
        << QByteArray("..\r\n...\r\n..x\r\n.\r\n") << QList<QByteArray>{".", "..", ".x"};
    QTest::newRow("a dot with text after it is not the end")
        << QByteArray(". \r\n.x\r\n.\r\n") << QList<QByteArray>{". ", ".x"};
    QTest::newRow("blanks in data kept") << QByteArray("  indented  \r\n.\r\n") << QList<QByteArray>{"  indented  "};
}

void tst_ReplyReader::dataBlock()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<QByteArray>, lines);

    stream += "211 after\r\n";
    QBuffer buffer(&stream);
    buffer.open(QIODevice::ReadOnly);
    ReplyReader reader(&buffer);
    QCOMPARE(reader.readDataBlock(), lines);
    QCOMPARE(reader.readReply().code, 211);
}

void tst_ReplyReader::streamEndsBeforeTheEnd_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<bool>("dataBlock");

    QTest::newRow("nothing at all") << QByteArray() << false;
    QTest::newRow("only blank lines") << QByteArray("\r\n\r\n") << false;
    QTest::newRow("reply line without line end") << QByteArray("200 ready") << false;
    QTest::newRow("multi-line reply without its last line") << QByteArray("200-a\r\n200-b\r\n") << false;
    QTest::newRow("data block without the lone dot") << QByteArray("a\r\nb\r\n") << true;
    QTest::newRow("data block cut inside the final dot line") << QByteArray("a\r\n.") << true;
}

// A block cut short must never pass for a complete, shorter one.
void tst_ReplyReader::streamEndsBeforeTheEnd()
{
    QFETCH(QByteArray, stream);
    QFETCH(bool, dataBlock);

    QBuffer buffer(&stream);
    buffer.open(QIODevice::ReadOnly);
    ReplyReader reader(&buffer);
    if (dataBlock)
        QVERIFY_THROWS_EXCEPTION(ConnectionClosed, reader.readDataBlock());
    else
        QVERIFY_THROWS_EXCEPTION(ConnectionClosed, reader.readReply());
}

void tst_ReplyReader::lineLimit_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("at the limit, CR LF") << 100 << QByteArray("\r\n") << true;
    QTest::newRow("at the limit, LF") << 100 << QByteArray("\n") << true;
    QTest::newRow("one over, CR LF") << 101 << QByteArray("\r\n") << false;
    QTest::newRow("far over, no line end at all") << 100000 << QByteArray() << false;
}

void tst_ReplyReader::lineLimit()
{
    QFETCH(int, length);
    QFETCH(QByteArray, lineEnd);
    QFETCH(bool, accepted);

    // Served in small pieces, so the limit must hold while the line grows.
    PieceFeed feed(QByteArray(length, 'x') + lineEnd + "200 next\r\n", 7);
    ReplyReader reader(
        feed.device(), [&feed] { return feed.more(); }, 100);
    if (accepted) {
        QCOMPARE(reader.readLine().size(), length);
        QCOMPARE(reader.readReply().code, 200);
        return;
    }
    try {
        reader.readLine();
        QFAIL("an overlong line was accepted");
    } catch (const ConnectionClosed &) {
        QFAIL("an overlong line was reported as a closed connection");
    } catch (const ClientError &e) {
        QVERIFY2(e.text().contains(QLatin1String("longer than 100 bytes")), qPrintable(e.text()));
    }
    // The reader stopped taking bytes soon after the limit.
    QVERIFY2(feed.waits() * 7 < 200, qPrintable(QString::number(feed.waits())));
}

void tst_ReplyReader::bytesAfterReplyStayForNextRead()
{
    QByteArray stream("\x05\x00"
                      "200 hello\r\n",
                      13);
    QBuffer buffer(&stream);
    buffer.open(QIODevice::ReadOnly);
    ReplyReader reader(&buffer);
    QCOMPARE(reader.readBytes(2), QByteArray("\x05\x00", 2));
    QCOMPARE(reader.readReply().code, 200);
    QVERIFY_THROWS_EXCEPTION(ConnectionClosed, reader.readBytes(1));
}

void tst_ReplyReader::replyCode_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("code");
    QTest::newRow("plain") << QByteArray("480 login") << 480;
    QTest::newRow("code alone") << QByteArray("205") << 205;
    QTest::newRow("code glued to text") << QByteArray("215list") << 215;
    QTest::newRow("sign") << QByteArray("-12 x") << 0;
    QTest::newRow("blank inside") << QByteArray("2 0 x") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void tst_ReplyReader::replyCode()
{
    QFETCH(QByteArray, line);
    QFETCH(int, code);
    QCOMPARE(ReplyReader::replyCode(line), code);
}

QTEST_GUILESS_MAIN(tst_ReplyReader)
#include "tst_replyreader.moc"
