#include "directories/categed.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmCategoryEdit::TfmCategoryEdit(Tdm &dm, RowSet &tbCategory, QWidget *parent)
    : PropertyDialog(dm, tbCategory, parent)
{
    setObjectName(QStringLiteral("fmCategoryEdit"));
    setWindowTitle(QStringLiteral("Categories"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edName"));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lbName"));
    m_label->setBuddy(m_name);
    createButtons();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_name);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    m_binding.bindText(m_name, QStringLiteral("Name"));
    // One carriage return between the two lines, as everywhere the program
    // reports an empty field; the box shows it as a line break.
    m_required.add({QStringLiteral("Name"), QStringLiteral("Warning"),
                    QStringLiteral("The Category Name field is empty\rPlease, enter the category name"), m_name});
    setFirstField(m_name);
}

void TfmCategoryEdit::setTexts(const QString &caption, const QString &label)
{
    setWindowTitle(caption);
    m_label->setText(label);
}
