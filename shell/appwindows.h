#pragma once
// The program's dialogs, each made once at start-up, in a fixed order, and
// kept hidden until a command shows it modally. They belong to the main
// window, so they are centred on it and go with it.

#include <QString>
#include <QStringList>
#include <vector>

class QDialog;
class QWidget;

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

    explicit AppWindows(QWidget *owner);

    QDialog *window(const QString &name) const;
    QStringList names() const;
    // Shows a dialog modally; returns its result, or -1 when there is none.
    int showModal(const QString &name);

private:
    std::vector<QDialog *> m_windows;
};
