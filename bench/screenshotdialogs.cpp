// The dialogs the manual shows: Server Properties and Account Properties
// filled in, the question editor on a question filed under "C++", and the help
// window at the manual's first page.

#include "screenshots.h"

#include "directories/accprop.h"
#include "directories/srvedit.h"
#include "messages/question.h"
#include "shell/desktopopener.h"
#include "shell/helpwindow.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/scratchstore.h"

#include <QTextBrowser>

namespace {

class NoDesktop : public DesktopOpener
{
public:
    bool available() const override { return true; }
    void open(const QUrl &) override {}
};

} // namespace

int shootServerDialog(const QString &out)
{
    ScratchStore store;
    Tdm dm(store.path());
    dm.DataModuleCreate();
    RowSet &row = dm.tbServer();
    row.open();
    row.append();
    row.setValue(QStringLiteral("ProfileName"), QStringLiteral("Example News"));
    row.setValue(QStringLiteral("ServerName"), QStringLiteral("news.example.org"));
    row.setValue(QStringLiteral("Port"), 563);
    row.setValue(QStringLiteral("RequiresLogin"), true);
    row.setValue(QStringLiteral("Login"), QStringLiteral("jane"));
    row.setValue(QStringLiteral("Password"), QStringLiteral("secret"));
    row.setValue(QStringLiteral("IsProxy"), false);
    TfmEditServer dialog(dm);
    dialog.show();
    return saveWhenDrawn(dialog, out);
}

int shootAccountDialog(const QString &out)
{
    ScratchStore store;
    Tdm dm(store.path());
    dm.DataModuleCreate();
    TfmAccountProperty dialog(dm);
    RowSet &row = dialog.row();
    row.open();
    row.append();
    row.setValue(QStringLiteral("AccountName"), QStringLiteral("Home"));
    row.setValue(QStringLiteral("UserName"), QStringLiteral("Jane Miller"));
    row.setValue(QStringLiteral("Organization"), QStringLiteral("Miller Consulting"));
    row.setValue(QStringLiteral("E-mail address"), QStringLiteral("jane@example.org"));
    row.setValue(QStringLiteral("DefaultAccount"), true);
    dialog.show();
    return saveWhenDrawn(dialog, out);
}

int shootQuestionEditor(const QString &out)
{
    ScratchStore store;
    store.exec(fill::account(1, QStringLiteral("Jane Miller"), QStringLiteral("jane@example.org"), {})
               + QStringLiteral("UPDATE Account SET AccountName='Home', DefaultAccount=-1;")
               + fill::category(1, 0, false, QStringLiteral("Programming"))
               + fill::category(2, 1, true, QStringLiteral("C++"))
               + QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, "
                                "Category, CategoryPath, Account) VALUES (1, 0, 2, -1, -1, "
                                "'Reading a file line by line?', 'Hello all,\r\n\r\nwhat is the idiomatic way to "
                                "read a text file line by line\r\nin C++20? std::getline in a loop, or do "
                                "ranges make it shorter now?\r\n\r\nJane', 2, '\\Programming\\C++', 1);"));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    RowSet &row = dm.qryArticleEdit();
    row.close();
    row.setParam(QStringLiteral("Code"), 1);
    row.open();
    row.edit();
    RecordingFolders folders{2};
    TfmQuestion editor(dm, folders, [](QString &, int preselected) { return preselected; });
    editor.show();
    return saveWhenDrawn(editor, out);
}

int shootHelpWindow(const QString &out)
{
    NoDesktop desktop;
    TfmHelp help(desktop);
    help.resize(760, 560);
    help.showContents();
    return saveWhenDrawn(help, out);
}
