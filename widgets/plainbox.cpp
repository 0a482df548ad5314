#include "widgets/plainbox.h"

#include <QTextDocument>

namespace PlainBox {

QMessageBox::StandardButton show(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text,
                                 QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, QString(), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    return QMessageBox::StandardButton(box.exec());
}

QString toolTip(const QString &text)
{
    // Escaped and wrapped as rich text, line breaks kept: always read as
    // markup, and the markup is the text itself.
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

} // namespace PlainBox
