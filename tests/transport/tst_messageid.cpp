// Message-IDs of posted copies.

#include "transport/messageid.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

class tst_MessageId : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void everyCallGivesANewOne();
};

void tst_MessageId::form()
{
    static const QRegularExpression shape(
        QStringLiteral("^<[0-9A-F]{8}\\.[0-9A-F]{4}\\.[0-9A-F]{4}@[0-9A-F]{4}\\.[0-9A-F]{12}>$"));
    for (int i = 0; i < 50; ++i) {
        const QString id = NewMessageId();
        QCOMPARE(id.size(), 38);
        QVERIFY2(shape.match(id).hasMatch(), qPrintable(id));
        // The version digit of a random UUID: the UUID itself went in, in order.
        QCOMPARE(id.at(15), QLatin1Char('4'));
    }
}

void tst_MessageId::everyCallGivesANewOne()
{
    QSet<QString> seen;
    for (int i = 0; i < 10000; ++i)
        seen.insert(NewMessageId());
    QCOMPARE(seen.size(), 10000);
}

QTEST_GUILESS_MAIN(tst_MessageId)
#include "tst_messageid.moc"
