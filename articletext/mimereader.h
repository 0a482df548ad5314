#pragma once
// Reads a whole article (header block and body) with GMime and collects what
// a reader sees: the text parts a mail program would show, in order, and every
// other part as an attachment.

#include "articletext/shownarticle.h"

#include <QByteArray>
#include <QStringList>

typedef struct _GMimeObject GMimeObject;
typedef struct _GMimeMultipart GMimeMultipart;
typedef struct _GMimePart GMimePart;
typedef struct _GMimeMessage GMimeMessage;

class MimeReader
{
public:
    // article: header block, empty line, body; lines ending in LF.
    ShownArticle read(const QByteArray &article);

private:
    void object(GMimeObject *object, int depth);
    void multipart(GMimeMultipart *multipart, int depth);
    void alternative(GMimeMultipart *multipart, int depth);
    void part(GMimePart *part);
    void enclosedMessage(GMimeMessage *message, int depth);
    void attachment(GMimePart *part);
    void addText(const QString &text);

    QStringList m_texts;
    // While set, only files are collected: the versions of an alternative
    // that are not shown may still hold the pictures the shown text names.
    bool m_filesOnly = false;
    QList<Attachment> m_attachments;
};
