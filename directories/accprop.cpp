#include "directories/accprop.h"

#include "directories/accountrules.h"
#include "directories/addresscheck.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "widgets/errorbox.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The column sizes of Account.
constexpr int kShortText = 50;
constexpr int kLongText = 100;

QLineEdit *lineEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

TfmAccountProperty::TfmAccountProperty(Tdm &dm, QWidget *parent)
    : PropertyDialog(dm, dm.qryAccount(), parent)
{
    AccountRules::install(dm);
    setObjectName(QStringLiteral("fmAccountProperty"));
    setWindowTitle(QStringLiteral("Account Properties"));

    QLineEdit *accountName = lineEdit(this, "dbeAccountName", kShortText);
    auto *group = new QGroupBox(QStringLiteral("User Information"), this);
    group->setObjectName(QStringLiteral("gbUserInfo"));
    QLineEdit *userName = lineEdit(group, "dbeUserName", kLongText);
    QLineEdit *organization = lineEdit(group, "dbeOrganization", kShortText);
    QLineEdit *email = lineEdit(group, "dbeEmail", kLongText);
    QLineEdit *replyAddress = lineEdit(group, "dbeReplyAddress", kLongText);
    auto *isDefault = new QCheckBox(QStringLiteral("Default"), group);
    isDefault->setObjectName(QStringLiteral("dbcDefault"));
    createButtons();

    auto *top = new QFormLayout;
    top->addRow(buddyLabel(QStringLiteral("&Account Name:"), accountName), accountName);
    auto *fields = new QFormLayout(group);
    fields->addRow(buddyLabel(QStringLiteral("&Name:"), userName), userName);
    fields->addRow(buddyLabel(QStringLiteral("&Organization:"), organization), organization);
    fields->addRow(buddyLabel(QStringLiteral("E-&mail address:"), email), email);
    fields->addRow(buddyLabel(QStringLiteral("&Reply address:"), replyAddress), replyAddress);
    fields->addRow(isDefault);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addLayout(buttons);

    const QList<QWidget *> tabOrder{accountName,  userName,  organization, email,
                                    replyAddress, isDefault, okButton(),   cancelButton()};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    m_binding.bindText(accountName, QStringLiteral("AccountName"));
    m_binding.bindText(userName, QStringLiteral("UserName"));
    m_binding.bindText(organization, QStringLiteral("Organization"));
    m_binding.bindText(email, QStringLiteral("E-mail address"));
    m_binding.bindText(replyAddress, QStringLiteral("ReplyAddress"));
    m_binding.bindCheck(isDefault, QStringLiteral("DefaultAccount"));

    m_required.add({QStringLiteral("AccountName"), QStringLiteral("The Account Name field is empty"),
                    QStringLiteral("Please, enter Account Name"), accountName});
    m_required.add({QStringLiteral("UserName"), QStringLiteral("The User Name field is empty"),
                    QStringLiteral("Please, enter User Name"), userName});
    m_required.add({QStringLiteral("E-mail address"), QStringLiteral("The E-mail field is empty"),
                    QStringLiteral("Please, enter E-mail"), email});
    setFirstField(accountName);
    m_email = email;
}

std::optional<PropertyDialog::FieldProblem> TfmAccountProperty::checkRow()
{
    const QString problem = AddressCheck::problem(row().asString(Column::EMailAddress));
    if (problem.isEmpty())
        return std::nullopt;
    // Two lines in one text, as in the boxes of the other account checks.
    return FieldProblem{QStringLiteral("The E-mail address is not valid"), problem, m_email};
}

bool TfmAccountProperty::runOnNewAccount()
{
    const bool started = runWindowCommand(parentWidget(), [this] { row().append(); });
    return started && exec() == QDialog::Accepted;
}
