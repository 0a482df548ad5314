#include "messages/editorhelp.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

// The manual's section on the help window itself.
const QString kHelpSection = QStringLiteral("help");

QAction *makeItem(QWidget *editor, const char *name, const char *caption)
{
    auto *action = new QAction(QLatin1String(caption), editor);
    action->setObjectName(QLatin1String(name));
    action->setEnabled(false);
    return action;
}

} // namespace

EditorHelp::EditorHelp(QWidget *editor, QString section)
    : QObject(editor)
    , Contents1(makeItem(editor, "Contents1", "&Contents"))
    , SearchforHelpOn1(makeItem(editor, "SearchforHelpOn1", "&Search for Help On..."))
    , HowtoUseHelp1(makeItem(editor, "HowtoUseHelp1", "&How to Use Help"))
    , About1(makeItem(editor, "About1", "&About..."))
    , m_editor(editor)
    , m_section(std::move(section))
{
    // F1 anywhere in the editor, as in the main window.
    Contents1->setShortcut(QKeySequence(Qt::Key_F1));
    Contents1->setShortcutContext(Qt::WindowShortcut);
    editor->addAction(Contents1);
    connect(Contents1, &QAction::triggered, this, [this] { showManual(m_section); });
    connect(SearchforHelpOn1, &QAction::triggered, this, [this] { showManual(QString()); });
    connect(HowtoUseHelp1, &QAction::triggered, this, [this] { showManual(kHelpSection); });
    connect(About1, &QAction::triggered, this, [this] {
        if (m_shows.about)
            m_shows.about();
    });
}

void EditorHelp::addMenu(QMenuBar *menuBar)
{
    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addActions({Contents1, SearchforHelpOn1, HowtoUseHelp1, About1});
}

void EditorHelp::setShows(Shows shows)
{
    m_shows = std::move(shows);
    const bool manual = bool(m_shows.manual);
    Contents1->setEnabled(manual);
    SearchforHelpOn1->setEnabled(manual);
    HowtoUseHelp1->setEnabled(manual);
    About1->setEnabled(bool(m_shows.about));
}

void EditorHelp::showManual(const QString &section)
{
    if (m_shows.manual)
        m_shows.manual(section, m_editor);
}
