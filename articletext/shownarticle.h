#pragma once
// What a reader sees of a received answer: the text to read and the files
// that came with it. Built from the raw header block and the body as stored
// (ArticleText::shown); decoded only when the answer is shown, quoted or
// listed, never while the tree is built.

#include <QByteArray>
#include <QList>
#include <QString>

class QVariant;

struct Attachment
{
    QString name; // as the sender named it, without any folder; made up when none was given
    QString type; // "image/jpeg"
    QByteArray data; // the decoded content, as a saved file holds it

    qint64 size() const { return data.size(); }
    // "photo.jpg (image/jpeg, 12.1 KB)"
    QString description() const;
};

struct ShownArticle
{
    QString text; // lines separated by LF
    QList<Attachment> attachments;

    // The text with one line per attachment below it: what the preview and
    // quorbic-cli show.
    QString displayText() const;
};

namespace ArticleText {

// header: the header block as received (lines ending in CR LF), empty for an
// answer stored without it; body: as stored. Without a header the body is
// shown as before headers were kept: UTF-8 when valid, else Windows-1252.
ShownArticle shown(const QByteArray &header, const QByteArray &body);
// The same for the store's columns (a NULL header is an absent one; a body
// the user typed is text and is returned as it is).
ShownArticle shown(const QVariant &storedHeader, const QVariant &storedBody);

} // namespace ArticleText
