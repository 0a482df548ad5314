#pragma once
// What the message tests share: the real program on a scratch store (main
// window, dialogs and message commands as start-up makes them), rows to seed
// it with, and ways to reach the windows' controls by objectName.

#include "messages/messageactions.h"
#include "messages/question.h"
#include "messages/reply.h"
#include "shell/appwindows.h"
#include "shell/articleitem.h"
#include "shell/desktopopener.h"
#include "shell/main.h"
#include "shell/mainactions.h"
#include "shell/messagetree.h"
#include "shell/program.h"
#include "store/dmod.h"
#include "tests/support/scratchstore.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <memory>

class QuietOpener : public DesktopOpener
{
public:
    bool available() const override { return true; }
    void open(const QUrl &) override {}
};

inline QString sqlText(const QString &text)
{
    return text.isNull()
        ? QStringLiteral("NULL")
        : QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// One Article row, built up by its columns; account 0 stands for NULL.
class ArticleSeed
{
public:
    explicit ArticleSeed(int code)
        : m_code(code)
    {}
    ArticleSeed &parent(int parent)
    {
        m_parent = parent;
        return *this;
    }
    ArticleSeed &folder(int folder)
    {
        m_folder = folder;
        return *this;
    }
    ArticleSeed &question(bool question = true)
    {
        m_question = question;
        return *this;
    }
    ArticleSeed &subject(const QString &subject)
    {
        m_subject = subject;
        return *this;
    }
    ArticleSeed &body(const QString &body)
    {
        m_body = body;
        return *this;
    }
    ArticleSeed &source(const QString &source)
    {
        m_source = source;
        return *this;
    }
    ArticleSeed &account(int account)
    {
        m_account = account;
        return *this;
    }
    // Stored as the bytes received, as retrieval keeps answers: the subject
    // as a BLOB of its text, the body as a BLOB of these bytes when given.
    ArticleSeed &received(bool received)
    {
        m_received = received;
        return *this;
    }
    ArticleSeed &bodyBytes(const QByteArray &bytes)
    {
        m_bodyBytes = bytes;
        return *this;
    }

    QString sql() const
    {
        const auto blob
            = [](const QByteArray &bytes) { return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex())); };
        const QString subjectValue = m_received ? blob(m_subject.toUtf8()) : sqlText(m_subject);
        const QString bodyValue = !m_bodyBytes.isNull() ? blob(m_bodyBytes) : sqlText(m_body);
        return QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, "
                              "Source, Account, SentDate) VALUES (%1, %2, %3, %4, -1, %5, %6, %7, %8, "
                              "'2024-03-01 10:00:00');")
            .arg(m_code)
            .arg(m_parent)
            .arg(m_folder)
            .arg(m_question ? -1 : 0)
            .arg(subjectValue, bodyValue, sqlText(m_source),
                 m_account == 0 ? QStringLiteral("NULL") : QString::number(m_account));
    }

private:
    int m_code;
    int m_parent = 0;
    int m_folder = 0;
    bool m_question = false;
    QString m_subject;
    QString m_body;
    QString m_source;
    int m_account = 0;
    bool m_received = false;
    QByteArray m_bodyBytes;
};

inline QString serverRow(int code = 1)
{
    return QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (%1, 'News', "
                          "'news.example', 119);")
        .arg(code);
}

inline QString accountRow(int code, const QString &name, const QString &user, const QString &address, bool isDefault)
{
    return QStringLiteral("INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\", DefaultAccount) "
                          "VALUES (%1, %2, %3, %4, %5);")
        .arg(code)
        .arg(sqlText(name), sqlText(user), sqlText(address))
        .arg(isDefault ? -1 : 0);
}

struct ProgramFixture
{
    ScratchStore store;
    QuietOpener opener;
    std::unique_ptr<QuorbicProgram> program;

    explicit ProgramFixture(const QString &seed = {}, const QString &trigger = {})
    {
        if (!seed.isEmpty())
            store.exec(seed);
        if (!trigger.isEmpty())
            store.execWhole(trigger);
        program = std::make_unique<QuorbicProgram>(opener, store.path());
        program->start();
    }
    ~ProgramFixture() { program->shutdown(); }

    TfmMain &main() const { return *program->fmMain(); }
    Tdm &dm() const { return *program->dm(); }
    MainActions &actions() const { return main().actions(); }
    TfmQuestion &question() const
    {
        return *qobject_cast<TfmQuestion *>(program->windows()->window(QStringLiteral("fmQuestion")));
    }
    TfmReply &reply() const { return *qobject_cast<TfmReply *>(program->windows()->window(QStringLiteral("fmReply"))); }
    QTreeWidget *tree() const { return main().messageTree().widget(); }

    void showFolder(int folder) const { main().selectFolder(folder); }
    void select(int code) const
    {
        ArticleItem *node = main().FindArticleNode(code);
        Q_ASSERT(node);
        tree()->setCurrentItem(node, 0, QItemSelectionModel::ClearAndSelect);
    }
    // The codes of the top-level nodes, in display order, with their
    // children in brackets: "1[2,3[4]] 5".
    QString shape() const
    {
        main().messageTree().makeAllNodes(); // the answers of threads never opened too
        return shapeOf(tree()->invisibleRootItem(), QLatin1Char(' '));
    }

    // What another process sees of the store: committed rows only.
    QStringList committed(const QString &query) const { return store.rows(query); }

private:
    static QString shapeOf(QTreeWidgetItem *item, QChar separator)
    {
        QStringList parts;
        for (int i = 0; i < item->childCount(); ++i) {
            auto *child = ArticleItem::from(item->child(i));
            QString part = QString::number(child->rec().Code);
            if (child->childCount() > 0)
                part += QLatin1Char('[') + shapeOf(child, QLatin1Char(',')) + QLatin1Char(']');
            parts << part;
        }
        return parts.join(separator);
    }
};

template<typename T = QWidget>
T *child(const QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no %s", qPrintable(window->objectName()), name);
    return found;
}

inline QAction *actionOf(const QWidget *window, const char *name)
{
    return child<QAction>(window, name);
}

// The named controls among the given ones in the order Tab visits them,
// starting at the first.
inline QStringList tabOrder(QWidget *first, const QStringList &names)
{
    QStringList visited;
    QWidget *w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && names.contains(w->objectName())
            && !visited.contains(w->objectName()))
            visited << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first);
    return visited;
}

// Types into a line edit as the user does, so that its edit signals fire.
inline void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    edit->insert(text);
}
