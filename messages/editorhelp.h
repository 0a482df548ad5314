#pragma once
// The editors' Help menu: Contents (and F1) shows the manual at the editor's
// own section, Search for Help On... its first page with the list of
// sections, How to Use Help the section on the help window, About... the
// About box. The help window and the About box belong to the main window,
// which the editors do not know: the program hands them over (setShows).
// Until it does, the items are disabled rather than doing nothing.

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenuBar;
class QWidget;

class EditorHelp : public QObject
{
    Q_OBJECT
public:
    struct Shows
    {
        // The manual at a section (empty: its first page), over the window
        // asking, so that the help window can be used while it is modal.
        std::function<void(const QString &section, QWidget *over)> manual;
        std::function<void()> about;
    };

    // The manual's section for this editor, such as "asking".
    EditorHelp(QWidget *editor, QString section);

    // The "&Help" menu with its four items, at the end of the menu bar.
    void addMenu(QMenuBar *menuBar);
    void setShows(Shows shows);

    QAction *Contents1;
    QAction *SearchforHelpOn1;
    QAction *HowtoUseHelp1;
    QAction *About1;

private:
    void showManual(const QString &section);

    QWidget *m_editor;
    QString m_section;
    Shows m_shows;
};
