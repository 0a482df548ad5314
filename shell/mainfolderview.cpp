#include "shell/mainfolderview.h"

#include "shell/articleitem.h"
#include "shell/main.h"
#include "shell/mainqueries.h"
#include "shell/messagetree.h"
#include "store/dmod.h"

MainFolderView::MainFolderView(TfmMain &main)
    : m_main(main)
    , m_row(main.dm().MainConnection(), QStringLiteral("SELECT * FROM Article WHERE Code=:Code"))
{}

int MainFolderView::currentFolder() const
{
    return m_main.currentFolder();
}

void MainFolderView::addArticleNode(int code, int parentCode)
{
    m_row.close();
    m_row.setParam(QStringLiteral("Code"), code);
    m_row.open();
    if (!m_row.isEmpty())
        m_main.AddArticleNode(parentCode != 0 ? m_main.FindArticleNode(parentCode) : nullptr, m_row);
    m_row.close();
}

void MainFolderView::deleteArticleNode(int code)
{
    m_main.DeleteArticleNode(code);
}

void MainFolderView::expandArticleNode(int code)
{
    if (ArticleItem *node = m_main.FindArticleNode(code))
        node->setExpanded(true);
}

QWidget *MainFolderView::window() const
{
    return &m_main;
}

int MainFolderView::selectedCode() const
{
    const ArticleItem *node = m_main.messageTree().selectedNode();
    return node ? node->rec().Code : 0;
}

QList<int> MainFolderView::childCodes(int code) const
{
    QList<int> codes;
    if (ArticleItem *node = m_main.FindArticleNode(code)) {
        m_main.messageTree().makeChildren(node);
        for (int i = 0; i < node->childCount(); ++i)
            codes << node->childNode(i)->rec().Code;
    }
    return codes;
}

RowSet &MainFolderView::qryReadArticle()
{
    return m_main.queries().qryReadArticle;
}
