// The preview's link detection and the read-only view that shows it.

#include "widgets/linkfinder.h"
#include "widgets/linkview.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

class tst_LinkView : public QObject
{
    Q_OBJECT

private slots:
    void findsLinks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("plain web address")
            << "see http://example.org/a?b=1&c=2 now" << QStringList{"http://example.org/a?b=1&c=2"};
        QTest::newRow("full stop after the address")
            << "Go to https://example.org/docs." << QStringList{"https://example.org/docs"};
        QTest::newRow("www without scheme") << "try www.example.com, it helps" << QStringList{"www.example.com"};
        QTest::newRow("mailto") << "write mailto:me@example.org!" << QStringList{"mailto:me@example.org"};
        QTest::newRow("in brackets") << "(see http://example.org/x)" << QStringList{"http://example.org/x"};
        QTest::newRow("bracket belonging to the address")
            << "http://en.example.org/wiki/Foo_(bar) here" << QStringList{"http://en.example.org/wiki/Foo_(bar)"};
        QTest::newRow("news and ftp") << "news:comp.lang.c and ftp://ftp.example.org/pub"
                                      << QStringList{"news:comp.lang.c", "ftp://ftp.example.org/pub"};
        QTest::newRow("quoted in angle brackets") << "<http://example.org/q>" << QStringList{"http://example.org/q"};
        QTest::newRow("scheme alone") << "the http:// prefix" << QStringList{};
        QTest::newRow("mail address is not a www link") << "user@www.example.org" << QStringList{};
        QTest::newRow("inside a word") << "xhttp://example.org" << QStringList{};
        QTest::newRow("upper case") << "HTTP://EXAMPLE.ORG" << QStringList{"HTTP://EXAMPLE.ORG"};
        QTest::newRow("no links") << "nothing to see here." << QStringList{};
        QTest::newRow("nntp") << "nntp://news.example.org/comp.lang.c"
                              << QStringList{"nntp://news.example.org/comp.lang.c"};
        // Schemes that open local files or programs are text, not links.
        QTest::newRow("file") << "see file:///etc/passwd now" << QStringList{};
        QTest::newRow("file upper case") << "FILE:///home/ann/.ssh/id_rsa" << QStringList{};
        QTest::newRow("javascript") << "javascript:alert(1)" << QStringList{};
        QTest::newRow("smb and desktop schemes") << "smb://host/share help:kde settings://x" << QStringList{};
    }
    void findsLinks()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, links);
        QStringList found;
        for (const LinkFinder::Link &link : LinkFinder::find(text))
            found << text.mid(link.start, link.length);
        QCOMPARE(found, links);
    }

    // A link's real address, with the characters that reorder text made
    // visible, in its tooltip and in what the view reports while the mouse is
    // on it.
    void linkShowsItsRealAddress_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "http://example.org/a"
                               << "http://example.org/a";
        QTest::newRow("right-to-left override")
            << QString::fromUtf8("http://example.org/\u202Eexe.txt") << "http://example.org/[U+202E]exe.txt";
        QTest::newRow("embedding and pop")
            << QString::fromUtf8("https://\u202Bexample.org\u202C/x") << "https://[U+202B]example.org[U+202C]/x";
        QTest::newRow("isolates") << QString::fromUtf8("http://a\u2066b\u2067c\u2068d\u2069.org")
                                  << "http://a[U+2066]b[U+2067]c[U+2068]d[U+2069].org";
        QTest::newRow("marks") << QString::fromUtf8("http://a\u200Eb\u200F.org") << "http://a[U+200E]b[U+200F].org";
    }
    void linkShowsItsRealAddress()
    {
        QFETCH(QString, link);
        QFETCH(QString, shown);
        QCOMPARE(LinkFinder::shownAddress(link), shown);

        LinkView view;
        view.resize(600, 200);
        view.setText(link + QStringLiteral("\nnow"));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTextCursor cursor(view.document());
        cursor.setPosition(2);
        QVERIFY(cursor.charFormat().isAnchor());
        QTextDocument tip;
        tip.setHtml(cursor.charFormat().toolTip());
        QCOMPARE(tip.toPlainText(), shown);

        QSignalSpy hovered(&view, &LinkView::linkHovered);
        // The middle of the link's third character, "t" of its scheme.
        QTextCursor next(cursor);
        next.setPosition(3);
        const QPoint onLink((view.cursorRect(cursor).left() + view.cursorRect(next).left()) / 2,
                            view.cursorRect(cursor).center().y());
        QTest::mouseMove(view.viewport(), onLink);
        QTRY_VERIFY(!hovered.isEmpty());
        QCOMPARE(hovered.last().at(0).toString(), shown);
        QTest::mouseMove(view.viewport(), QPoint(view.viewport()->width() - 2, view.viewport()->height() - 2));
        QTRY_COMPARE(hovered.last().at(0).toString(), QString());
    }

    void linkTextBecomesAnAddress()
    {
        QCOMPARE(LinkFinder::toUrl(QStringLiteral("www.example.com/a")),
                 QUrl(QStringLiteral("http://www.example.com/a")));
        QCOMPARE(LinkFinder::toUrl(QStringLiteral("mailto:me@example.org")).scheme(), QStringLiteral("mailto"));
        QCOMPARE(LinkFinder::toUrl(QStringLiteral("https://example.org/x")),
                 QUrl(QStringLiteral("https://example.org/x")));
    }

    // Markup in a message is text; line ends of the store become lines.
    void showsTextAsWritten()
    {
        LinkView view;
        view.setText(QStringLiteral("<b>not bold</b>\r\nsecond line\r\n\r\nhttp://example.org/x"));
        QCOMPARE(view.text(), QStringLiteral("<b>not bold</b>\nsecond line\n\nhttp://example.org/x"));
        QVERIFY(view.isReadOnly());
        QCOMPARE(view.lineWrapMode(), QTextEdit::WidgetWidth);
        const QTextBlock last = view.document()->lastBlock();
        QTextCursor cursor(last);
        cursor.setPosition(last.position() + 3);
        QVERIFY(cursor.charFormat().isAnchor());
        QCOMPARE(cursor.charFormat().anchorHref(), QStringLiteral("http://example.org/x"));
        QTextCursor plain(view.document()->firstBlock());
        plain.setPosition(2);
        QVERIFY(!plain.charFormat().isAnchor());
    }

    void clickingALinkReportsItsText()
    {
        LinkView view;
        view.resize(400, 200);
        view.setText(QStringLiteral("Answer at www.example.org/answer for you"));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy clicked(&view, &LinkView::linkClicked);
        QTextCursor cursor(view.document());
        cursor.setPosition(14);
        const QPoint onLink = view.cursorRect(cursor).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toString(), QStringLiteral("www.example.org/answer"));
    }
};

QTEST_MAIN(tst_LinkView)
#include "tst_linkview.moc"
