#pragma once
// The program's dialogs, each made once at start-up, in a fixed order, and
// kept hidden until a command shows it modally. They belong to the main
// window, so they are centred on it and go with it. A dialog that another one
// owns (a list's property dialog, the newsgroups dialog's loading window) is
// taken from its owner when its turn comes.
//
// The message commands (New Question, Reply, Edit, Delete) are wired here to
// the main window's actions, since they open these dialogs.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class MainFolderView;
class MessageActions;
class QDialog;
class TfmAccount;
class Tdm;
class TfmMain;

class AppWindows
{
public:
    struct Entry
    {
        const char *name;
        const char *caption;
    };
    // The dialogs in the order they are made.
    static const std::vector<Entry> &order();

    AppWindows(Tdm &dm, TfmMain *owner);
    ~AppWindows();

    QDialog *window(const QString &name) const;
    QStringList names() const;
    // Shows a dialog modally; returns its result, or -1 when there is none.
    int showModal(const QString &name);

    // The main window's tree as commands and runs keep it in step.
    MainFolderView &folders() const { return *m_folders; }
    MessageActions &messageActions() const { return *m_messageActions; }

private:
    QDialog *make(const Entry &entry, Tdm &dm, TfmMain *owner);
    void wireMessageCommands(Tdm &dm, TfmMain *owner);

    std::unique_ptr<MainFolderView> m_folders;
    std::vector<QDialog *> m_windows;
    TfmAccount *m_accounts = nullptr;
    std::unique_ptr<MessageActions> m_messageActions;
};
