#include "tests/support/answercorpus.h"

#include <QDir>
#include <QFile>

namespace AnswerCorpus {
namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("answer corpus: cannot read %s", qPrintable(path));
    return file.readAll();
}

} // namespace

QString directory()
{
    return QStringLiteral(QUORBIC_SOURCE_DIR "/tests/data/answers");
}

QStringList names()
{
    QStringList names = QDir(directory()).entryList({QStringLiteral("*.msg")}, QDir::Files, QDir::Name);
    for (QString &name : names)
        name.chop(4);
    return names;
}

Answer load(const QString &name)
{
    Answer answer;
    answer.article = readFile(directory() + QLatin1Char('/') + name + QStringLiteral(".msg"));
    QByteArray crlf = answer.article;
    crlf.replace("\r\n", "\n").replace("\n", "\r\n");
    const qsizetype blank = crlf.indexOf("\r\n\r\n");
    answer.header = crlf.left(blank + 2);
    answer.body = crlf.mid(blank + 4);
    answer.expected = QString::fromUtf8(readFile(directory() + QLatin1Char('/') + name + QStringLiteral(".txt")));
    return answer;
}

QString headerRow(int articleCode, const QByteArray &header)
{
    return QStringLiteral("INSERT INTO ArticleHeader (ArticleId, Header) VALUES (%1, X'%2');")
        .arg(articleCode)
        .arg(QString::fromLatin1(header.toHex()));
}

} // namespace AnswerCorpus
