#pragma once
// The answers of tests/data/answers, as real mail and news programs write
// them: each NAME.msg (an article as posted) with NAME.txt (what a reader
// should see of it: the text, then a line per attached file).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace AnswerCorpus {

struct Answer
{
    QByteArray article; // as posted, lines ending in LF
    QByteArray header; // as retrieval keeps it: lines ending in CR LF
    QByteArray body; // as retrieval stores it: lines ending in CR LF
    QString expected; // what the preview shows
};

QString directory();
// The names of the answers (without ".msg"), sorted.
QStringList names();
Answer load(const QString &name);

// Statements that keep a header block for an Article row.
QString headerRow(int articleCode, const QByteArray &header);

} // namespace AnswerCorpus
