#pragma once
// The files of the message shown in the preview, offered in the preview's
// pop-up menu: a "Save Attachment" submenu with one entry per file ("name
// (type, size)..."), hidden while the message has none. An entry asks where
// to save (the file chooser, the standard save dialog unless replaced) and
// writes the decoded file there; a failure is shown in a warning box.

#include "articletext/shownarticle.h"

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

class AttachmentMenu : public QObject
{
    Q_OBJECT
public:
    // Returns the chosen file name, empty when the user cancelled.
    using FileChooser = std::function<QString(QWidget *parent, const QString &proposedName)>;

    // Adds its submenu at the end of menu.
    AttachmentMenu(QMenu *menu, QWidget *dialogParent);

    void setAttachments(const QList<Attachment> &attachments);
    void clear() { setAttachments({}); }
    const QList<Attachment> &attachments() const { return m_attachments; }
    QMenu *submenu() const { return m_submenu; }

    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    // Saves the attachment at index as the chooser says; false when not saved.
    bool save(int index);

private:
    QMenu *m_submenu;
    QAction *m_separator;
    QAction *m_submenuAction;
    QWidget *m_dialogParent;
    QList<Attachment> m_attachments;
    FileChooser m_chooser;
};
