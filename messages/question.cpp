#include "messages/question.h"

#include "messages/editcommands.h"
#include "messages/memotext.h"
#include "store/columns.h"
#include "store/rowset.h"
#include "transport/displaytext.h"
#include "widgets/errorbox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kCategory = QStringLiteral("Category");
const QString kCategoryPath = QStringLiteral("CategoryPath");
} // namespace

TfmQuestion::TfmQuestion(Tdm &dm, FolderView &folders, CategoryChooser chooser, QWidget *parent)
    : MessageEditor(dm, folders, "fmQuestion", "Question", "dbeAccount",
                    QStringLiteral("Place the message into the Outbox folder"), QStringLiteral("asking"), parent)
    , m_chooser(std::move(chooser))
{
    QWidget *area = fields()->parentWidget();
    m_dbeTo = new QLineEdit(area);
    m_dbeTo->setObjectName(QStringLiteral("dbeTo"));
    m_dbeTo->setReadOnly(true);
    m_button1 = new QPushButton(QStringLiteral("..."), area);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setAccessibleName(QStringLiteral("Choose expert category"));
    m_button1->setToolTip(QStringLiteral("Choose expert category"));
    m_button1->setAutoDefault(false);
    m_button1->setMaximumWidth(m_button1->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 4);
    fields()->addWidget(fieldLabel("Expert Category:", m_dbeTo), 0, 0);
    fields()->addWidget(m_dbeTo, 0, 1);
    fields()->addWidget(m_button1, 0, 2);
    setTabOrder(m_dbeTo, m_button1);
    setTabOrder(m_button1, accountChooser());
    connect(m_button1, &QPushButton::clicked, this, &TfmQuestion::Button1Click);

    // The body's pop-up menu: Cut, Copy, Paste.
    auto *popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("PopupMenu1"));
    popup->addActions({editCommands()->EditCut1, editCommands()->EditCopy1, editCommands()->EditPaste1});
    body()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(body(), &QWidget::customContextMenuRequested, this, [this, popup](const QPoint &pos) {
        editCommands()->update();
        popup->popup(body()->viewport()->mapToGlobal(pos));
    });
}

void TfmQuestion::openRow()
{
    RowSet &row = editRow();
    loadBody(MemoText::toEditor(DisplayText::body(row.value(Column::Body))));
    if (row.state() == RowSet::State::Insert)
        takeDefaultAccount();
    m_dbeTo->setText(row.asString(kCategoryPath));
    subject()->setFocus(Qt::OtherFocusReason);
}

void TfmQuestion::Button1Click()
{
    int preselected = 0;
    if (!runWindowCommand(this, [&] { preselected = editRow().asInt(kCategory); }))
        return;
    QString path;
    const int code = m_chooser ? m_chooser(path, preselected) : -1;
    // Cancelled, nothing selected, or the root "All": nothing changes.
    if (code <= 0)
        return;
    runWindowCommand(this, [&] {
        editRow().setValue(kCategory, code);
        editRow().setValue(kCategoryPath, path);
        m_dbeTo->setText(path);
        setModified();
    });
}

PostChecks::Failure TfmQuestion::check(const PostChecks::Message &message) const
{
    return PostChecks::question(message);
}

QWidget *TfmQuestion::fieldFor(PostChecks::Field field) const
{
    return field == PostChecks::Field::Category ? m_dbeTo : MessageEditor::fieldFor(field);
}
