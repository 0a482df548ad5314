#include "articletext/mimereader.h"

#include "articletext/attachmentnames.h"
#include "articletext/flowedtext.h"
#include "articletext/htmltext.h"
#include "articletext/partcharset.h"
#include "articletext/uuencodedblocks.h"
#include "transport/displaytext.h"

#include <gmime/gmime.h>

#include <mutex>

namespace {

// Parts nested deeper than this are not looked into: no mail program nests
// so deep, and a message made to do so must not cost more than it is worth.
constexpr int kMaxDepth = 64;

void initGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Drops a GObject reference when it goes out of scope.
template<typename T>
struct Owned
{
    T *p;
    explicit Owned(T *object)
        : p(object)
    {}
    ~Owned()
    {
        if (p)
            g_object_unref(p);
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
};

bool isType(GMimeObject *object, const char *type, const char *subtype)
{
    GMimeContentType *contentType = g_mime_object_get_content_type(object);
    return contentType && g_mime_content_type_is_type(contentType, type, subtype);
}

QByteArray parameter(GMimeObject *object, const char *name)
{
    return QByteArray(g_mime_object_get_content_type_parameter(object, name));
}

QString mimeType(GMimeObject *object)
{
    GMimeContentType *contentType = g_mime_object_get_content_type(object);
    if (!contentType)
        return QStringLiteral("application/octet-stream");
    char *type = g_mime_content_type_get_mime_type(contentType);
    const QString result = QString::fromUtf8(type).toLower();
    g_free(type);
    return result;
}

// The part's content with its transfer encoding undone.
QByteArray content(GMimePart *part)
{
    GMimeDataWrapper *wrapper = g_mime_part_get_content(part);
    if (!wrapper)
        return {};
    Owned<GMimeStream> stream(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(wrapper, stream.p);
    GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.p));
    return QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
}

// A header of the enclosed message as the program shows headers: encoded-words
// decoded, unfolded.
QString headerValue(GMimeObject *object, const char *name)
{
    GMimeHeader *header = g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
    if (!header)
        return {};
    QByteArray raw(g_mime_header_get_raw_value(header));
    raw.replace("\r\n", "").replace('\n', "");
    return DisplayText::header(raw.trimmed());
}

// Shown where it stands: text/plain, text/html and other text not sent as a file.
bool isInlineText(GMimeObject *object)
{
    if (!isType(object, "text", "*"))
        return false;
    GMimeContentDisposition *disposition = g_mime_object_get_content_disposition(object);
    return !disposition || !g_mime_content_disposition_is_attachment(disposition);
}

// Whether a plain text part is somewhere in the object (for picking an alternative).
bool holdsPlainText(GMimeObject *object, int depth)
{
    if (depth > kMaxDepth)
        return false;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart *multipart = GMIME_MULTIPART(object);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            if (holdsPlainText(g_mime_multipart_get_part(multipart, i), depth + 1))
                return true;
        }
        return false;
    }
    return GMIME_IS_PART(object) && isType(object, "text", "plain");
}

} // namespace

ShownArticle MimeReader::read(const QByteArray &article)
{
    initGMime();
    m_texts.clear();
    m_attachments.clear();
    Owned<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(article.constData(), size_t(article.size())));
    Owned<GMimeParser> parser(g_mime_parser_new_with_stream(stream.p));
    Owned<GMimeMessage> message(g_mime_parser_construct_message(parser.p, nullptr));
    if (message.p) {
        if (GMimeObject *body = g_mime_message_get_mime_part(message.p))
            object(body, 0);
    }
    ShownArticle shown;
    shown.text = m_texts.join(QLatin1Char('\n'));
    shown.attachments = std::move(m_attachments);
    return shown;
}

void MimeReader::object(GMimeObject *object, int depth)
{
    if (depth > kMaxDepth)
        return;
    if (GMIME_IS_MESSAGE_PART(object)) {
        if (GMimeMessage *enclosed = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object)))
            enclosedMessage(enclosed, depth + 1);
    } else if (GMIME_IS_MULTIPART(object)) {
        multipart(GMIME_MULTIPART(object), depth + 1);
    } else if (GMIME_IS_PART(object)) {
        part(GMIME_PART(object));
    }
}

void MimeReader::multipart(GMimeMultipart *multipart, int depth)
{
    GMimeObject *self = GMIME_OBJECT(multipart);
    if (GMIME_IS_MULTIPART_SIGNED(multipart) || isType(self, "multipart", "signed")) {
        // The signed text; the signature is for a program that checks it.
        if (GMimeObject *signedPart = g_mime_multipart_get_part(multipart, GMIME_MULTIPART_SIGNED_CONTENT))
            object(signedPart, depth);
        return;
    }
    if (isType(self, "multipart", "alternative")) {
        alternative(multipart, depth);
        return;
    }
    // mixed, related, digest and any other kind: every part in order.
    for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i)
        object(g_mime_multipart_get_part(multipart, i), depth);
}

void MimeReader::alternative(GMimeMultipart *multipart, int depth)
{
    // The plain text a mail program would show first; else the richest
    // version that holds plain text; else the last one, HTML included. The
    // files of the other versions (an HTML version's inline pictures) are
    // listed too.
    const int count = g_mime_multipart_get_count(multipart);
    GMimeObject *chosen = nullptr;
    for (int i = 0; i < count && !chosen; ++i) {
        GMimeObject *candidate = g_mime_multipart_get_part(multipart, i);
        if (GMIME_IS_PART(candidate) && isType(candidate, "text", "plain"))
            chosen = candidate;
    }
    for (int i = count - 1; i >= 0 && !chosen; --i) {
        GMimeObject *candidate = g_mime_multipart_get_part(multipart, i);
        if (holdsPlainText(candidate, depth))
            chosen = candidate;
    }
    if (!chosen && count > 0)
        chosen = g_mime_multipart_get_part(multipart, count - 1);
    for (int i = 0; i < count; ++i) {
        GMimeObject *version = g_mime_multipart_get_part(multipart, i);
        if (version == chosen) {
            object(version, depth);
        } else {
            const bool filesOnly = m_filesOnly;
            m_filesOnly = true;
            object(version, depth);
            m_filesOnly = filesOnly;
        }
    }
}

void MimeReader::part(GMimePart *part)
{
    GMimeObject *self = GMIME_OBJECT(part);
    if (!isInlineText(self)) {
        attachment(part);
        return;
    }
    if (m_filesOnly)
        return;
    QByteArray bytes = content(part);
    bytes.replace("\r\n", "\n");
    const bool html = isType(self, "text", "html");
    if (!html)
        bytes = UuencodedBlocks::extract(bytes, m_attachments);
    QString text = PartCharset::decode(bytes, parameter(self, "charset"));
    if (html) {
        text = HtmlText::toPlainText(text);
    } else if (parameter(self, "format").compare("flowed", Qt::CaseInsensitive) == 0) {
        text = FlowedText::unflow(text, parameter(self, "delsp").compare("yes", Qt::CaseInsensitive) == 0);
    }
    addText(text);
}

void MimeReader::attachment(GMimePart *part)
{
    const QString type = mimeType(GMIME_OBJECT(part));
    QString name = AttachmentNames::safeName(QString::fromUtf8(g_mime_part_get_filename(part)));
    if (name.isEmpty())
        name = AttachmentNames::madeUpName(int(m_attachments.size()) + 1, type);
    m_attachments.append({name, type, content(part)});
}

void MimeReader::enclosedMessage(GMimeMessage *message, int depth)
{
    GMimeObject *self = GMIME_OBJECT(message);
    if (m_filesOnly) {
        if (GMimeObject *body = g_mime_message_get_mime_part(message))
            object(body, depth);
        return;
    }
    QString heading;
    for (const char *name : {"From", "Subject", "Date"}) {
        const QString value = headerValue(self, name);
        if (!value.isEmpty())
            heading += QLatin1String(name) + QStringLiteral(": ") + value + QLatin1Char('\n');
    }
    addText(heading);
    if (GMimeObject *body = g_mime_message_get_mime_part(message))
        object(body, depth);
}

void MimeReader::addText(const QString &text)
{
    if (text.isEmpty())
        return;
    // Parts follow one another with an empty line between them.
    QString kept = text;
    if (!kept.endsWith(QLatin1Char('\n')))
        kept += QLatin1Char('\n');
    m_texts << kept;
}
