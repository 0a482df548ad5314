#include "shell/appwindows.h"

#include "shell/placeholderwindow.h"

#include <QDialog>

const std::vector<AppWindows::Entry> &AppWindows::order()
{
    static const std::vector<Entry> entries = {
        {"fmServer", "News Servers"},
        {"fmEditServer", "Server Properties"},
        {"fmNewsgroup", "Newsgroups"},
        {"fmCategories", "Expert Category Manager"},
        {"fmCategoryEdit", "Categories"},
        {"fmAccountProperty", "Account Properties"},
        {"fmAccount", "Accounts"},
        {"fmRecNewsgroup", "Loading Newsgroups"},
        {"fmReply", "Reply"},
        {"fmCategChoice", "Choose  Expert Category"},
        {"fmSendGroup", "Sending..."},
        {"fmQuestion", "Question"},
    };
    return entries;
}

AppWindows::AppWindows(QWidget *owner)
{
    for (const Entry &entry : order()) {
        auto *window = new PlaceholderWindow(QLatin1String(entry.name), QLatin1String(entry.caption), owner);
        window->hide();
        m_windows.push_back(window);
    }
}

QDialog *AppWindows::window(const QString &name) const
{
    for (QDialog *window : m_windows) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

QStringList AppWindows::names() const
{
    QStringList result;
    for (const QDialog *window : m_windows)
        result << window->objectName();
    return result;
}

int AppWindows::showModal(const QString &name)
{
    QDialog *dialog = window(name);
    return dialog ? dialog->exec() : -1;
}
