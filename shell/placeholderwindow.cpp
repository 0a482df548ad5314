#include "shell/placeholderwindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

PlaceholderWindow::PlaceholderWindow(const QString &name, const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(QStringLiteral("This window is not available in this version."), this);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
