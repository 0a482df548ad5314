#include "shell/attachmentmenu.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>

namespace {

QString standardChooser(QWidget *parent, const QString &proposedName)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Attachment"), QDir::home().filePath(proposedName));
}

} // namespace

AttachmentMenu::AttachmentMenu(QMenu *menu, QWidget *dialogParent)
    : QObject(menu)
    , m_submenu(new QMenu(QStringLiteral("Save &Attachment"), menu))
    , m_dialogParent(dialogParent)
    , m_chooser(standardChooser)
{
    m_submenu->setObjectName(QStringLiteral("pmAttachments"));
    m_separator = menu->addSeparator();
    m_separator->setVisible(false);
    m_submenuAction = menu->addMenu(m_submenu);
    m_submenuAction->setObjectName(QStringLiteral("acSaveAttachment"));
    m_submenuAction->setVisible(false);
}

void AttachmentMenu::setAttachments(const QList<Attachment> &attachments)
{
    m_attachments = attachments;
    m_submenu->clear();
    for (int i = 0; i < m_attachments.size(); ++i) {
        // "&" in a file name is not a mnemonic.
        QString text = m_attachments[i].description();
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *action = m_submenu->addAction(text + QStringLiteral("..."));
        connect(action, &QAction::triggered, this, [this, i] { save(i); });
    }
    m_separator->setVisible(!m_attachments.isEmpty());
    m_submenuAction->setVisible(!m_attachments.isEmpty());
}

bool AttachmentMenu::save(int index)
{
    if (index < 0 || index >= m_attachments.size())
        return false;
    const Attachment &file = m_attachments[index];
    const QString path = m_chooser(m_dialogParent, file.name);
    if (path.isEmpty())
        return false;
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly) && out.write(file.data) == file.data.size() && out.commit())
        return true;
    QMessageBox::warning(m_dialogParent, QStringLiteral("Quorbic"),
                         QStringLiteral("%1 could not be saved: %2")
                             .arg(QDir::toNativeSeparators(path), out.errorString()));
    return false;
}
