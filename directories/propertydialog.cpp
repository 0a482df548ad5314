#include "directories/propertydialog.h"

#include "directories/rowpost.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "widgets/errorbox.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

bool pending(const RowSet &row)
{
    return row.state() == RowSet::State::Insert || row.state() == RowSet::State::Edit;
}

} // namespace

PropertyDialog::PropertyDialog(Tdm &dm, RowSet &row, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_row(row)
{}

void PropertyDialog::createButtons()
{
    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setAutoDefault(false);
    connect(m_btnOk, &QPushButton::clicked, this, &PropertyDialog::btnOkClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &PropertyDialog::reject);
}

void PropertyDialog::showEvent(QShowEvent *event)
{
    // The dialog is made once and reused: each showing starts from the row.
    if (m_row.isOpen())
        runWindowCommand(this, [this] { m_binding.load(m_row); });
    rowShown();
    if (m_firstField)
        m_firstField->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void PropertyDialog::btnOkClick()
{
    m_btnOk->setFocus(Qt::OtherFocusReason);
    if (!pending(m_row)) {
        accept();
        return;
    }
    const RequiredField *missing = nullptr;
    std::optional<FieldProblem> problem;
    const bool prepared = runWindowCommand(this, [&] {
        m_binding.writeBack(m_row);
        prepareRow();
        missing = m_required.firstMissing(m_row);
        if (!missing)
            problem = checkRow();
    });
    if (!prepared) {
        cancelPending();
        QDialog::reject();
        return;
    }
    if (missing) {
        report(missing->title, missing->text, missing->focus);
        return;
    }
    if (problem) {
        report(problem->title, problem->text, problem->focus);
        return;
    }
    bool confirmed = false;
    runWindowCommand(this, [&] { confirmed = confirmRow(); });
    if (!confirmed)
        return;
    const RowPostResult result = postRow(m_dm.MainConnection(), m_row);
    if (!result.error.isEmpty())
        ErrorBox::show(this, result.error);
    if (!result.stored) {
        cancelPending();
        QDialog::reject();
        return;
    }
    runWindowCommand(this, [this] {
        rowStored();
        m_dm.checkpoint();
    });
    accept();
}

void PropertyDialog::report(const QString &title, const QString &text, QWidget *focus)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box.exec();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

void PropertyDialog::reject()
{
    cancelPending();
    QDialog::reject();
}

void PropertyDialog::cancelPending()
{
    if (pending(m_row))
        runWindowCommand(this, [this] { m_row.cancel(); });
}

QLabel *PropertyDialog::buddyLabel(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}
