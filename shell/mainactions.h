#pragma once
// The main window's actions (`ActionList1`), each with its caption, hint,
// shortcut, category and picture. The hint is stored whole; its short text,
// before "|", is the tooltip. Menus, tool bar and pop-up menus all show these
// same actions; what they run is wired by the window.

#include <QObject>
#include <QString>

class QAction;

class MainActions : public QObject
{
    Q_OBJECT
public:
    explicit MainActions(QObject *parent);

    QAction *acNewQuestion;
    QAction *acReply;
    QAction *acSend;
    QAction *acReceive;
    QAction *acPostAgain;
    QAction *acEdit;
    QAction *acDelete;
    QAction *EditCopy1;
    QAction *EditSelectAll1;
    QAction *actServers;
    QAction *acAccount;
    QAction *acNewsgroups;
    QAction *acCategories;
    QAction *HelpContents1;
    QAction *acAbout;
    // "E&xit" is a plain menu item in the Message menu, not one of the list.
    QAction *Exit1;

    QList<QAction *> all() const;

    static QString category(const QAction *action);
    static QString hint(const QAction *action);
};
