#include "exchange/categoryexpander.h"

#include "exchange/namelist.h"
#include "store/columns.h"

CategoryExpander::CategoryExpander(StoreConnection &connection)
    : qryCat(connection, QStringLiteral("SELECT * FROM Categories ORDER BY Parent, Kind"), QStringLiteral("qryCat"))
    , qryNews(connection,
              QStringLiteral("SELECT groupname FROM groupcategory cat , groups gr "
                             "WHERE Category=:Id and gr.code=cat.newsgroup"),
              QStringLiteral("qryNews"))
{}

void CategoryExpander::reopen()
{
    qryCat.close();
    qryCat.open();
}

void CategoryExpander::ExpandCategory(NameList &list, int code)
{
    QList<int> seen;
    expand(list, code, seen, nullptr, {});
}

void CategoryExpander::ExpandCategory(NameList &list, int code, NameList &crossPosted,
                                      const std::function<bool(int)> &crossPost)
{
    QList<int> seen;
    expand(list, code, seen, &crossPosted, crossPost);
}

void CategoryExpander::expand(NameList &list, int code, QList<int> &seen, NameList *crossPosted,
                              const std::function<bool(int)> &crossPost)
{
    if (seen.contains(code))
        return;
    seen << code;
    qryCat.first();
    if (!qryCat.locate(Column::Code, code))
        return;
    if (qryCat.asBool(Column::Kind)) {
        qryNews.close();
        qryNews.setParam(QStringLiteral("Id"), code);
        qryNews.open();
        const bool crossPosting = crossPosted && crossPost && crossPost(code);
        for (qryNews.first(); !qryNews.eof(); qryNews.next()) {
            list.add(qryNews.asString(Column::GroupName));
            if (crossPosting)
                crossPosted->add(qryNews.asString(Column::GroupName));
        }
        return;
    }
    // The order by Parent keeps a folder's children together: collect them
    // first, since expanding moves the cursor.
    QList<int> children;
    if (qryCat.locate(Column::Parent, code)) {
        for (; !qryCat.eof() && qryCat.asInt(Column::Parent) == code; qryCat.next())
            children << qryCat.asInt(Column::Code);
    }
    for (int child : children)
        expand(list, child, seen, crossPosted, crossPost);
}
