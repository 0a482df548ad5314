#include "messages/reply.h"

#include "messages/quotedbody.h"
#include "store/columns.h"
#include "store/rowset.h"

#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>

TfmReply::TfmReply(Tdm &dm, FolderView &folders, QWidget *parent)
    : MessageEditor(dm, folders, "fmReply", "Reply", "dblFrom",
                    QStringLiteral("Place  the message into the Outbox folder"), QStringLiteral("replying"), parent)
{
    m_edNews = new QLineEdit(fields()->parentWidget());
    m_edNews->setObjectName(QStringLiteral("edNews"));
    m_edNews->setReadOnly(true);
    m_edNews->setEnabled(false);
    fields()->addWidget(fieldLabel("Newsgroups", m_edNews), 0, 0);
    fields()->addWidget(m_edNews, 0, 1, 1, 2);
    body()->setContextMenuPolicy(Qt::NoContextMenu);
}

void TfmReply::setBodyText(const QString &text)
{
    loadBody(QString());
    loadBody(text);
}

qreal TfmReply::bodyTextWidth()
{
    QPlainTextEdit *edit = body();
    if (isVisible() || !edit->viewport()->testAttribute(Qt::WA_PendingResizeEvent))
        return edit->viewport()->width();
    // Not shown yet: the layout places the body now; its viewport is what is
    // left inside the frame beside the vertical scroll bar, which is always on.
    layout()->activate();
    int width = edit->contentsRect().width();
    width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, edit->verticalScrollBar());
    return qMax(width, 1);
}

void TfmReply::quoteBody()
{
    const QStringList lines = QuotedBody::displayedLines(*body()->document(), bodyTextWidth());
    loadBody(QuotedBody::quote(lines));
}

void TfmReply::openRow()
{
    RowSet &row = editRow();
    m_edNews->setText(row.asString(Column::Newsgroup));
    if (row.value(Column::Account).isNull())
        takeDefaultAccount();
    body()->setFocus(Qt::OtherFocusReason);
}

PostChecks::Failure TfmReply::check(const PostChecks::Message &message) const
{
    return PostChecks::reply(message);
}
