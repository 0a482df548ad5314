#pragma once
// ExpandCategory: turns a question's category, or a folder of categories, into
// the newsgroups it is posted to. Holds the main window's two queries for it.

#include "store/rowset.h"

#include <functional>

class NameList;
class StoreConnection;

class CategoryExpander
{
public:
    explicit CategoryExpander(StoreConnection &connection);

    // Closes and reopens the category tree, so that expansion sees the
    // categories as they are now.
    void reopen();

    // Adds to list the newsgroups of category code, or of every category below
    // folder code (folders expanded recursively). An unknown code adds
    // nothing. Each node is expanded once, so a tree whose Parent links form a
    // loop still ends.
    void ExpandCategory(NameList &list, int code);
    // The same, and every group of a category for which crossPost answers
    // true also goes into crossPosted: each category under a folder keeps its
    // own posting mode.
    void ExpandCategory(NameList &list, int code, NameList &crossPosted, const std::function<bool(int)> &crossPost);

    RowSet qryCat; // the tree, children of a folder kept together
    RowSet qryNews; // Id: a category's Code; its newsgroup names

private:
    void expand(NameList &list, int code, QList<int> &seen, NameList *crossPosted,
                const std::function<bool(int)> &crossPost);
};
