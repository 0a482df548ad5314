#include "articletext/shownarticle.h"

#include "articletext/mimereader.h"
#include "transport/displaytext.h"

#include <QLocale>
#include <QVariant>

QString Attachment::description() const
{
    const QString sizeText = QLocale::c().formattedDataSize(size(), 1, QLocale::DataSizeTraditionalFormat);
    return QStringLiteral("%1 (%2, %3)").arg(name, type, sizeText);
}

QString ShownArticle::displayText() const
{
    if (attachments.isEmpty())
        return text;
    QString shown = text;
    if (!shown.isEmpty() && !shown.endsWith(QLatin1Char('\n')))
        shown += QLatin1Char('\n');
    shown += QLatin1Char('\n');
    for (const Attachment &file : attachments)
        shown += QStringLiteral("Attachment: ") + file.description() + QLatin1Char('\n');
    return shown;
}

namespace ArticleText {

ShownArticle shown(const QByteArray &header, const QByteArray &body)
{
    if (header.isEmpty())
        return {DisplayText::body(body), {}};
    QByteArray article = header;
    article.replace("\r\n", "\n");
    if (!article.endsWith('\n'))
        article += '\n';
    article += '\n';
    article += body;
    article.replace("\r\n", "\n");
    return MimeReader().read(article);
}

ShownArticle shown(const QVariant &storedHeader, const QVariant &storedBody)
{
    if (storedHeader.isNull() || storedBody.typeId() != QMetaType::QByteArray)
        return {DisplayText::body(storedBody), {}};
    return shown(storedHeader.toByteArray(), storedBody.toByteArray());
}

} // namespace ArticleText
