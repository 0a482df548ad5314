#include "messages/messageactions.h"
#include "store/columns.h"
#include "store/folders.h"

#include "articletext/storedanswer.h"
#include "messages/firstusecheck.h"
#include "messages/memotext.h"
#include "messages/messagefolder.h"
#include "messages/question.h"
#include "messages/reply.h"
#include "messages/replysubject.h"
#include "messages/subtree.h"
#include "store/articleheaders.h"
#include "store/dmod.h"
#include "transport/displaytext.h"
#include "widgets/errorbox.h"

#include <QMessageBox>

namespace {

const QString kCode = QStringLiteral("Code");
const QString kFolder = QStringLiteral("Folder");

} // namespace

MessageActions::MessageActions(Tdm &dm, MessageFolder &folder, Windows windows, QObject *parent)
    : QObject(parent)
    , m_dm(dm)
    , m_folder(folder)
    , m_windows(windows)
    , m_firstUse(new FirstUseCheck(dm, *windows.fmEditServer, *windows.fmAccountProperty))
{
    setObjectName(QStringLiteral("MessageActions"));
}

MessageActions::~MessageActions()
{
    delete m_firstUse;
}

QString MessageActions::noSelectionText()
{
    return QStringLiteral("Please select the message you want to reply to");
}

QString MessageActions::deleteQuestion()
{
    return QStringLiteral("You want to delete the message?");
}

void MessageActions::acNewQuestionExecute()
{
    runWindowCommand(m_folder.window(), [this] { newQuestion(); });
}

void MessageActions::acReplyExecute()
{
    runWindowCommand(m_folder.window(), [this] { reply(); });
}

void MessageActions::acEditExecute()
{
    runWindowCommand(m_folder.window(), [this] { edit(); });
}

void MessageActions::acDeleteExecute()
{
    runWindowCommand(m_folder.window(), [this] { remove(); });
}

RowSet &MessageActions::openEditRow(int code)
{
    RowSet &row = m_dm.qryArticleEdit();
    row.close();
    row.setParam(kCode, code);
    row.open();
    return row;
}

void MessageActions::newQuestion()
{
    if (!m_firstUse->run(m_folder.window()))
        return;
    RowSet &row = openEditRow(0);
    row.append();
    row.setValue(kFolder, folderCode(Folder::Drafts));
    row.setValue(Column::ArticleType, true);
    row.setValue(Column::IsRead, true);
    m_windows.fmQuestion->exec();
}

void MessageActions::reply()
{
    const int selected = m_folder.selectedCode();
    if (selected == 0) {
        // A plain box: the program's title, no icon, one OK button.
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorbic"), noSelectionText(), QMessageBox::Ok,
                        m_folder.window());
        box.exec();
        return;
    }
    RowSet &read = m_folder.qryReadArticle();
    read.close();
    read.setParam(QStringLiteral("Id"), selected);
    read.open();
    if (read.isEmpty())
        return; // the message went from the store since the tree was loaded

    // Answers keep their subject and body as received; the reply takes the
    // readable text (without the list of attached files), which posting
    // encodes again as its own.
    const QString subject = ReplySubject::of(DisplayText::header(read.value(Column::Subject)));
    const QString body = MemoText::toEditor(
        ArticleText::ofStored(m_dm.MainConnection(), read.asInt(kCode), read.value(Column::Body)).text);

    RowSet &row = openEditRow(0);
    row.append();
    row.setValue(kFolder, folderCode(Folder::Drafts));
    row.setValue(Column::ArticleType, false);
    row.setValue(Column::Subject, subject);
    row.setValue(Column::Newsgroup, read.asString(Column::Source));
    row.setValue(Column::Parent, read.asInt(kCode));
    row.setValue(Column::Account, read.value(Column::Account));
    row.setValue(Column::IsRead, true);

    TfmReply &editor = *m_windows.fmReply;
    editor.setBodyText(body);
    editor.quoteBody();
    editor.exec();
}

void MessageActions::edit()
{
    const int selected = m_folder.selectedCode();
    if (m_folder.currentFolder() == folderCode(Folder::Inbox) || selected == 0)
        return;
    RowSet &row = openEditRow(selected);
    row.edit();
    row.setValue(kFolder, folderCode(Folder::Drafts));
    if (row.asBool(Column::ArticleType)) {
        m_windows.fmQuestion->exec();
        return;
    }
    TfmReply &editor = *m_windows.fmReply;
    editor.setBodyText(MemoText::toEditor(DisplayText::body(row.value(Column::Body))));
    editor.exec();
}

void MessageActions::remove()
{
    const int selected = m_folder.selectedCode();
    if (selected == 0)
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), deleteQuestion(),
                    QMessageBox::Yes | QMessageBox::No, m_folder.window());
    if (box.exec() != QMessageBox::Yes)
        return;
    const int folder = m_folder.currentFolder();
    if (!isFolderCode(folder))
        return;
    const QList<int> order = Subtree::deepestFirst(selected, [this](int code) { return m_folder.childCodes(code); });
    try {
        for (int code : order) {
            if (folder == folderCode(Folder::DeletedMessages))
                deleteForGood(code);
            else
                moveToDeleted(code);
        }
    } catch (...) {
        // What was moved or deleted before the failure stays so, durably.
        m_dm.checkpoint();
        throw;
    }
    m_dm.checkpoint();
}

void MessageActions::moveToDeleted(int code)
{
    RowSet &row = openEditRow(code);
    if (!row.isEmpty()) {
        row.edit();
        row.setValue(kFolder, folderCode(Folder::DeletedMessages));
        row.post();
    }
    m_folder.deleteArticleNode(code);
}

void MessageActions::deleteForGood(int code)
{
    RowSet &row = openEditRow(code);
    if (!row.isEmpty())
        row.remove();
    // An answer's header goes with it: nothing of a deleted message stays behind.
    ArticleHeaders(m_dm.MainConnection()).forget(code);
    m_folder.deleteArticleNode(code);
}
