#include "messages/messageeditor.h"
#include "store/columns.h"
#include "store/folders.h"

#include "exchange/folderview.h"
#include "messages/accountlist.h"
#include "messages/actionhint.h"
#include "messages/editcommands.h"
#include "messages/memotext.h"
#include "messages/treeupdate.h"
#include "store/dmod.h"
#include "transport/displaytext.h"
#include "widgets/errorbox.h"

#include <QFontDatabase>
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kAccount = QStringLiteral("Account");
const QString kBody = QStringLiteral("Body");
const QString kSubject = QStringLiteral("Subject");
constexpr int kWidth = 620; // at 96 pixels per inch
constexpr int kHeight = 460;

QAction *makeAction(QWidget *window, const char *name, const char *caption, const QString &hint)
{
    auto *action = new QAction(QLatin1String(caption), window);
    action->setObjectName(QLatin1String(name));
    setActionHint(action, hint);
    window->addAction(action);
    return action;
}

} // namespace

MessageEditor::MessageEditor(Tdm &dm, FolderView &folders, const char *name, const char *caption,
                             const char *accountName, const QString &postHint, const QString &helpSection,
                             QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_folders(folders)
    , m_help(new EditorHelp(this, helpSection))
{
    setObjectName(QLatin1String(name));
    setWindowTitle(QLatin1String(caption));
    setModal(true);
    setSizeGripEnabled(true);

    m_edit = new EditCommands(this);
    buildCommands(postHint);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setAccessibleName(QStringLiteral("Tool bar"));
    buildToolBar(bar);
    layout->addWidget(bar);

    auto *fieldArea = new QWidget(this);
    m_fields = new QGridLayout(fieldArea);
    m_fields->setContentsMargins(8, 6, 8, 6);
    m_fields->setColumnStretch(1, 1);

    m_account = new QComboBox(fieldArea);
    m_account->setObjectName(QLatin1String(accountName));
    m_account->setEditable(false);
    m_fields->addWidget(fieldLabel("From:", m_account), 1, 0);
    m_fields->addWidget(m_account, 1, 1, 1, 2);

    m_dbeSubject = new QLineEdit(fieldArea);
    m_dbeSubject->setObjectName(QStringLiteral("dbeSubject"));
    m_fields->addWidget(fieldLabel("Subject:", m_dbeSubject), 2, 0);
    m_fields->addWidget(m_dbeSubject, 2, 1, 1, 2);
    layout->addWidget(fieldArea);

    m_reQuestion = new QPlainTextEdit(this);
    m_reQuestion->setObjectName(QStringLiteral("reQuestion"));
    m_reQuestion->setAccessibleName(QStringLiteral("Message text"));
    m_reQuestion->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the body as it leaves every other field; the keyboard never
    // gets caught in it.
    m_reQuestion->setTabChangesFocus(true);
    // Fixed width, as newsreaders show news: quoted text and tables line up.
    m_reQuestion->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_reQuestion, 1);

    setTabOrder(m_account, m_dbeSubject);
    setTabOrder(m_dbeSubject, m_reQuestion);

    connect(m_account, &QComboBox::activated, this, &MessageEditor::accountChosen);
    connect(m_dbeSubject, &QLineEdit::textEdited, this, &MessageEditor::dbeSubjectChange);
    connect(m_reQuestion, &QPlainTextEdit::textChanged, this, &MessageEditor::bodyChange);
    connect(m_reQuestion, &QPlainTextEdit::undoAvailable, acUndo, &QAction::setEnabled);
    connect(m_reQuestion, &QPlainTextEdit::redoAvailable, acRedo, &QAction::setEnabled);

    // The width follows the screen's pixels per inch, as the fonts do.
    resize(kWidth * logicalDpiX() / 96, kHeight * logicalDpiY() / 96);
}

MessageEditor::~MessageEditor() = default;

void MessageEditor::buildCommands(const QString &postHint)
{
    Send = makeAction(this, "Send", "&Post", postHint);
    acSave = makeAction(this, "acSave", "&Save", QStringLiteral("Saves the message"));
    Send->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    acSave->setShortcut(QKeySequence::Save);
    acClose = makeAction(this, "acClose", "&Close", QStringLiteral("Close the window"));
    acUndo = makeAction(this, "acUndo", "Undo", QStringLiteral("Undo the last command"));
    acRedo = makeAction(this, "acRedo", "Redo", QString());
    acUndo->setEnabled(false);
    acRedo->setEnabled(false);

    connect(Send, &QAction::triggered, this, &MessageEditor::SendExecute);
    connect(acSave, &QAction::triggered, this, [this] { acSaveExecute(); });
    connect(acClose, &QAction::triggered, this, &QWidget::close);
    connect(acUndo, &QAction::triggered, this, [this] {
        if (m_reQuestion->document()->isUndoAvailable())
            m_reQuestion->undo();
    });
    connect(acRedo, &QAction::triggered, this, [this] {
        if (m_reQuestion->document()->isRedoAvailable())
            m_reQuestion->redo();
    });
}

void MessageEditor::buildMenus()
{
    auto *menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    layout()->setMenuBar(menuBar);

    QMenu *file = menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addAction(Send);
    file->addSeparator();
    file->addAction(acSave);
    file->addSeparator();
    file->addAction(acClose);

    QMenu *edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->addActions({acUndo, acRedo});
    edit->addSeparator();
    edit->addActions({m_edit->EditCut1, m_edit->EditCopy1, m_edit->EditPaste1});
    edit->addSeparator();
    edit->addAction(m_edit->EditSelectAll1);
    edit->addSeparator();
    edit->addAction(m_edit->EditDelete1);

    m_help->addMenu(menuBar);
}

void MessageEditor::buildToolBar(QToolBar *bar)
{
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addActions({Send, acSave});
    bar->addSeparator();
    bar->addActions({m_edit->EditCut1, m_edit->EditCopy1, m_edit->EditPaste1, acUndo, acRedo});
    bar->addSeparator();
    bar->addAction(acClose);
}

QLabel *MessageEditor::fieldLabel(const char *caption, QWidget *field)
{
    auto *label = new QLabel(QLatin1String(caption), field->parentWidget());
    label->setBuddy(field);
    // The caption without its colon names the field for screen readers.
    field->setAccessibleName(QString(QLatin1String(caption)).remove(QLatin1Char(':')).trimmed());
    return label;
}

RowSet &MessageEditor::editRow() const
{
    return m_dm.qryArticleEdit();
}

void MessageEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only a showing by the program opens the row again; the window coming
    // back into view after a dialog of its own does not.
    if (!event->spontaneous())
        opening();
}

void MessageEditor::opening()
{
    m_modified = false;
    runWindowCommand(this, [this] {
        openRow();
        loadAccounts();
        m_dbeSubject->setText(DisplayText::header(editRow().value(kSubject)));
    });
    m_reQuestion->moveCursor(QTextCursor::Start);
    updateUndoRedo();
    m_edit->update();
    m_modified = false;
}

void MessageEditor::loadAccounts()
{
    RowSet &list = m_dm.qryAccount1();
    AccountList::ensureOpen(list);
    const int standing = list.row();
    m_account->clear();
    for (int row = 0; row < list.rowCount(); ++row) {
        list.setRow(row);
        m_account->addItem(list.asString(QStringLiteral("AccountName")), list.asInt(Column::Code));
    }
    if (standing >= 0)
        list.setRow(standing);
    const int code = editRow().asInt(kAccount);
    m_account->setCurrentIndex(code == 0 ? -1 : m_account->findData(code));
    if (m_account->currentIndex() >= 0)
        AccountList::locate(list, code);
}

void MessageEditor::takeDefaultAccount()
{
    RowSet &list = m_dm.qryAccount1();
    const int code = AccountList::defaultAccount(list);
    if (code != 0)
        editRow().setValue(kAccount, code);
}

void MessageEditor::loadBody(const QString &text)
{
    m_loading = true;
    m_reQuestion->setPlainText(text);
    m_loading = false;
    updateUndoRedo();
}

void MessageEditor::dbeSubjectChange(const QString &text)
{
    m_modified = true;
    runWindowCommand(this, [&] { editRow().setValue(kSubject, text.isEmpty() ? QVariant() : QVariant(text)); });
}

void MessageEditor::accountChosen(int index)
{
    if (index < 0)
        return;
    m_modified = true;
    const int code = m_account->itemData(index).toInt();
    runWindowCommand(this, [&] {
        editRow().setValue(kAccount, code);
        AccountList::locate(m_dm.qryAccount1(), code);
    });
}

void MessageEditor::bodyChange()
{
    if (!m_loading)
        m_modified = true;
    updateUndoRedo();
}

void MessageEditor::updateUndoRedo()
{
    acUndo->setEnabled(m_reQuestion->document()->isUndoAvailable());
    acRedo->setEnabled(m_reQuestion->document()->isRedoAvailable());
}

void MessageEditor::writeBody()
{
    const QString text = m_reQuestion->toPlainText();
    editRow().setValue(kBody, text.isEmpty() ? QVariant() : QVariant(MemoText::toMemo(text)));
}

bool MessageEditor::acSaveExecute()
{
    int code = 0;
    const bool stored = runWindowCommand(this, [&] {
        RowSet &row = editRow();
        writeBody();
        row.post();
        row.edit();
        m_modified = false;
        code = row.asInt(Column::Code);
        m_dm.checkpoint();
    });
    if (stored)
        runWindowCommand(this, [&] { TreeUpdate::afterSave(m_folders, code); });
    return stored;
}

QWidget *MessageEditor::fieldFor(PostChecks::Field field) const
{
    switch (field) {
    case PostChecks::Field::Account:
        return m_account;
    case PostChecks::Field::Subject:
        return m_dbeSubject;
    case PostChecks::Field::Body:
        return m_reQuestion;
    default:
        return nullptr;
    }
}

void MessageEditor::SendExecute()
{
    // The focus leaves the field being typed in before the row is read.
    m_reQuestion->setFocus(Qt::OtherFocusReason);

    RowSet &row = editRow();
    RowSet &list = m_dm.qryAccount1();
    PostChecks::Failure failure;
    if (!runWindowCommand(this, [&] {
            PostChecks::Message message;
            message.category = row.asInt(Column::Category);
            message.account = row.asInt(kAccount);
            message.accountListed = AccountList::locate(list, message.account);
            message.subject = row.asString(kSubject);
            message.body = m_reQuestion->toPlainText();
            failure = check(message);
        }))
        return;
    if (failure.field != PostChecks::Field::None) {
        QMessageBox box(QMessageBox::Warning, QLatin1String(PostChecks::kBoxTitle), PostChecks::boxText(failure.reason),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        if (QWidget *field = fieldFor(failure.field))
            field->setFocus(Qt::OtherFocusReason);
        return;
    }

    // A refused row must not keep the Outbox's columns in its buffer: a Save
    // after it would otherwise store the message in the Outbox.
    const QStringList outboxColumns = {QStringLiteral("Folder"), QStringLiteral("From"), QStringLiteral("SentDate")};
    QVariantList before;
    int code = 0;
    const bool stored = runWindowCommand(this, [&] {
        for (const QString &column : outboxColumns)
            before << row.value(column);
        try {
            row.setValue(outboxColumns[0], folderCode(Folder::Outbox));
            writeBody();
            row.setValue(outboxColumns[1], AccountList::fromValue(list));
            row.setValue(outboxColumns[2], QDateTime::currentDateTime());
            row.post();
        } catch (...) {
            for (int i = 0; i < int(before.size()); ++i)
                row.setValue(outboxColumns[i], before[i]);
            throw;
        }
        row.edit();
        m_modified = false;
        code = row.asInt(Column::Code);
        m_dm.checkpoint();
    });
    if (!stored)
        return;
    accept();
    runWindowCommand(parentWidget(), [&] { TreeUpdate::afterPost(m_folders, code); });
}

void MessageEditor::reject()
{
    if (m_modified) {
        QMessageBox box(QMessageBox::Warning, QString(), QStringLiteral("Do you want to save changes to this message?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
        switch (box.exec()) {
        case QMessageBox::Yes:
            if (!acSaveExecute())
                return;
            break;
        case QMessageBox::No:
            if (!runWindowCommand(this, [this] { editRow().cancel(); }))
                return;
            m_modified = false;
            break;
        default:
            return;
        }
    }
    QDialog::reject();
}
