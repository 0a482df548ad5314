#pragma once
// The common part of the property dialogs: one row of a shared row set, which
// the caller has put into insert or edit mode, edited through bound controls.
//
// OK takes the focus (so the field being typed in is done), writes the changed
// controls into the row, lets the dialog prepare the row (trimming), checks the
// required fields in their order and reports only the first missing one,
// keeping the dialog open with the focus on that field; otherwise it stores the
// row and closes with OK. Cancel, Esc and the title-bar close button cancel the
// pending change and close with Cancel. The result is OK exactly when the row
// was stored: a row the store refuses is reported in the standard error box,
// cancelled, and the dialog closes with Cancel.
//
// A stored row is made durable at once (the data module's checkpoint), so that
// a crash later in the session does not lose it.

#include "directories/requiredfields.h"
#include "directories/rowbinding.h"

#include <QDialog>

#include <optional>

class QPushButton;
class RowSet;
class Tdm;

class QLabel;

class PropertyDialog : public QDialog
{
    Q_OBJECT
public:
    PropertyDialog(Tdm &dm, RowSet &row, QWidget *parent);

    RowSet &row() { return m_row; }
    QPushButton *okButton() const { return m_btnOk; }
    QPushButton *cancelButton() const { return m_btnCancel; }

    void reject() override;

protected:
    // A label for a field, with the field as its buddy: its key moves the
    // focus there and screen readers name the field by it.
    static QLabel *buddyLabel(const QString &text, QWidget *buddy);

    // Builds the OK and Cancel buttons (objectNames btnOk, btnCancel); OK is the
    // default button, Cancel answers Esc through reject().
    void createButtons();
    // The control that gets the focus when the dialog is shown.
    void setFirstField(QWidget *field) { m_firstField = field; }
    // Called after load() each time the dialog shows a row.
    virtual void rowShown() {}
    // Called after the controls were written into the row, before the checks.
    virtual void prepareRow() {}
    // A value that is there but cannot be right, reported like a missing one.
    struct FieldProblem
    {
        QString title;
        QString text;
        QWidget *focus = nullptr;
    };
    // Checks after the required fields: the first problem, if any.
    virtual std::optional<FieldProblem> checkRow() { return std::nullopt; }
    // The last word before the row is stored: false keeps the dialog open
    // (a question the user answered No).
    virtual bool confirmRow() { return true; }
    // Called once the row is stored, before it is made durable: what the
    // dialog keeps outside the row goes into the store here.
    virtual void rowStored() {}

    Tdm &dm() const { return m_dm; }

    void showEvent(QShowEvent *event) override;

    RowBinding m_binding;
    RequiredFields m_required;

private:
    void btnOkClick();
    void cancelPending();
    void report(const QString &title, const QString &text, QWidget *focus);

    Tdm &m_dm;
    RowSet &m_row;
    QPushButton *m_btnOk = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QWidget *m_firstField = nullptr;
};
