#include "directories/categed.h"

#include "store/categoryposting.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "widgets/errorbox.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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
    m_crossPost = new QCheckBox(QStringLiteral("&Post as one cross-post"), this);
    m_crossPost->setObjectName(QStringLiteral("cbCrossPost"));
    m_crossPost->setAccessibleName(QStringLiteral("Post as one cross-post"));
    m_crossPost->setAccessibleDescription(
        QStringLiteral("A question goes to the category's newsgroups as one article per server instead of one copy "
                       "per newsgroup, which spam filters refuse after five"));
    m_crossPost->hide();
    createButtons();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_name);
    layout->addWidget(m_crossPost);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    m_binding.bindText(m_name, QStringLiteral("Name"));
    setFirstField(m_name);
    setTabOrder(m_name, m_crossPost);
    setTabOrder(m_crossPost, okButton());
}

std::optional<PropertyDialog::FieldProblem> TfmCategoryEdit::checkRow()
{
    if (!row().asString(Column::Name).isEmpty())
        return std::nullopt;
    // One carriage return between the two lines, as everywhere the program
    // reports an empty field; the box shows it as a line break.
    const QString text = row().asBool(Column::Kind)
        ? QStringLiteral("The Category Name field is empty\rPlease, enter the category name")
        : QStringLiteral("The Folder Name field is empty\rPlease, enter the folder name");
    return FieldProblem{QStringLiteral("Warning"), text, m_name};
}

bool TfmCategoryEdit::confirmRow()
{
    const QString name = row().asString(Column::Name);
    const QVariant code = row().value(Column::Code);
    SqlCommand siblings(dm().MainConnection(),
                        QStringLiteral("SELECT Code, Name, Kind FROM Categories WHERE Parent = :Parent"));
    siblings.bind(QStringLiteral("Parent"), row().asInt(Column::Parent));
    siblings.exec();
    bool twin = false;
    bool twinIsCategory = false;
    while (siblings.next() && !twin) {
        // The row itself, when it is being renamed, is no twin.
        if (!code.isNull() && siblings.value(0).toInt() == code.toInt())
            continue;
        twin = QString::compare(siblings.value(1).toString(), name, Qt::CaseInsensitive) == 0;
        twinIsCategory = siblings.value(2).toInt() != 0;
    }
    siblings.finish();
    if (!twin)
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                    QStringLiteral("There is already %1 named \"%2\" in this place.\r\rStore another one of that "
                                   "name?")
                        .arg(twinIsCategory ? QStringLiteral("a category") : QStringLiteral("a folder"), name),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() == QMessageBox::Yes)
        return true;
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
    return false;
}

TfmCategoryEdit::~TfmCategoryEdit() = default;

void TfmCategoryEdit::rowShown()
{
    // Whether the store keeps posting modes is known once it is open.
    m_modes = std::make_unique<CategoryPosting>(dm().MainConnection());
    RowSet &category = row();
    const bool shown = m_modes->available() && category.isOpen() && category.asBool(Column::Kind);
    m_crossPost->setVisible(shown);
    if (!shown)
        return;
    // A new category starts as one cross-post; an existing one shows its mode.
    m_crossPost->setChecked(true);
    if (category.state() != RowSet::State::Insert) {
        runWindowCommand(this, [&] { m_crossPost->setChecked(m_modes->crossPost(category.asInt(Column::Code))); });
    }
}

void TfmCategoryEdit::rowStored()
{
    if (m_modes && !m_crossPost->isHidden())
        m_modes->setCrossPost(row().asInt(Column::Code), m_crossPost->isChecked());
}

void TfmCategoryEdit::setTexts(const QString &caption, const QString &label)
{
    setWindowTitle(caption);
    m_label->setText(label);
}
