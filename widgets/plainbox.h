#pragma once
// Message boxes and tooltips for texts that may come from outside: server
// replies and greetings, group names, subjects, names, bodies. Qt would take
// such a text for markup when it looks like HTML (Qt::AutoText), so a reply
// holding "<a href=...>" or "<img src=...>" would show a link or a local
// picture. These show every text as written.

#include <QMessageBox>
#include <QString>

class QWidget;

namespace PlainBox {

// A modal box with the text as plain text; returns the button pressed.
QMessageBox::StandardButton show(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A tooltip that shows text as written: tooltips have no text format of their
// own and take anything that might be rich text for markup.
QString toolTip(const QString &text);

} // namespace PlainBox
