#pragma once
// The reply editor `fmReply` ("Reply"): a reply to a message of the Inbox, or
// any message of the user's that is no question, outside the Inbox. It shows
// the newsgroups the reply goes to (`Newsgroup`, read only) instead of a
// category, and its body is put in by the caller, quoted or not, before it is
// shown. See MessageEditor for what both editors share.
//
// Opening fills the default account only when the row has none; an account
// the row already has is kept. Post checks the subject and the body, then that
// there is an account to send from. The body has no pop-up menu.

#include "messages/messageeditor.h"

class TfmReply : public MessageEditor
{
    Q_OBJECT
public:
    TfmReply(Tdm &dm, FolderView &folders, QWidget *parent = nullptr);

    QLineEdit *newsgroups() const { return m_edNews; }

    // Empties the body and puts the text in, unquoted.
    void setBodyText(const QString &text);
    // Replaces every line the body shows by ">" and the line.
    void quoteBody();
    // The width in pixels the body lays its text out in; a window not shown
    // yet is laid out first, so the lines are those the user will see.
    qreal bodyTextWidth();

protected:
    void openRow() override;
    PostChecks::Failure check(const PostChecks::Message &message) const override;

private:
    QLineEdit *m_edNews;
};
