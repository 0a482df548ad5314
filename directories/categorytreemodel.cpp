#include "directories/categorytreemodel.h"

#include "directories/categoryimages.h"
#include "store/columns.h"
#include "store/rowset.h"

#include <QIcon>

struct CategoryTreeModel::Node
{
    int code = 0;
    CategoryImages::Index image = CategoryImages::Category;
    bool expanded = false;
    QString caption;
    Node *parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    int row() const
    {
        if (!parent)
            return 0;
        for (size_t i = 0; i < parent->children.size(); ++i) {
            if (parent->children[i].get() == this)
                return int(i);
        }
        return 0;
    }
};

CategoryTreeModel::CategoryTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
{}

CategoryTreeModel::~CategoryTreeModel() = default;

void CategoryTreeModel::BuildCategoryTree(RowSet &tbCategory)
{
    tbCategory.reopen();
    std::vector<CategoryRow> rows;
    rows.reserve(size_t(tbCategory.rowCount()));
    for (tbCategory.first(); !tbCategory.eof(); tbCategory.next()) {
        rows.push_back({tbCategory.asInt(Column::Code), tbCategory.asInt(Column::Parent),
                        tbCategory.asBool(Column::Kind), tbCategory.asString(Column::Name)});
    }
    tbCategory.first();
    build(rows);
}

void CategoryTreeModel::build(const std::vector<CategoryRow> &rows)
{
    if (m_root)
        reportDeletion(m_root.get());
    auto root = std::make_unique<Node>();
    root->code = 0;
    root->image = CategoryImages::Root;
    root->caption = QStringLiteral("All");
    AddChildNodes(root.get(), rows);
    beginResetModel();
    m_root = std::move(root);
    endResetModel();
}

void CategoryTreeModel::AddChildNodes(Node *node, const std::vector<CategoryRow> &rows)
{
    // The rows of one parent lie together; the first of them starts the run.
    size_t i = 0;
    while (i < rows.size() && rows[i].parent != node->code)
        ++i;
    for (; i < rows.size() && rows[i].parent == node->code; ++i) {
        auto child = std::make_unique<Node>();
        child->code = rows[i].code;
        child->image = rows[i].kind ? CategoryImages::Category : CategoryImages::ClosedFolder;
        child->caption = rows[i].name;
        child->parent = node;
        node->children.push_back(std::move(child));
    }
    // Only folders hold nodes: a row whose parent is a category is never shown.
    for (const auto &child : node->children) {
        if (child->image == CategoryImages::ClosedFolder)
            AddChildNodes(child.get(), rows);
    }
}

void CategoryTreeModel::clear()
{
    if (!m_root)
        return;
    reportDeletion(m_root.get());
    beginResetModel();
    m_root.reset();
    endResetModel();
}

void CategoryTreeModel::reportDeletion(const Node *node) const
{
    for (const auto &child : node->children)
        reportDeletion(child.get());
    if (nodeDeletion)
        nodeDeletion(node->code);
}

CategoryTreeModel::Node *CategoryTreeModel::node(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    return static_cast<Node *>(index.internalPointer());
}

QModelIndex CategoryTreeModel::indexOf(const Node *node) const
{
    if (!node)
        return {};
    return createIndex(node->row(), 0, const_cast<Node *>(node));
}

QModelIndex CategoryTreeModel::rootIndex() const
{
    return indexOf(m_root.get());
}

int CategoryTreeModel::nodeCode(const QModelIndex &index) const
{
    const Node *n = node(index);
    return n ? n->code : 0;
}

CategoryTreeModel::Kind CategoryTreeModel::kind(const QModelIndex &index) const
{
    const Node *n = node(index);
    if (!n || !n->parent || n->code == 0)
        return Kind::Root;
    return n->image == CategoryImages::Category ? Kind::Category : Kind::Folder;
}

QString CategoryTreeModel::caption(const QModelIndex &index) const
{
    const Node *n = node(index);
    return n ? n->caption : QString();
}

QString CategoryTreeModel::pathText(const QStringList &captionsFromRoot)
{
    QString path;
    for (const QString &caption : captionsFromRoot)
        path += QLatin1Char('\\') + caption;
    return path;
}

QString CategoryTreeModel::pathText(const QModelIndex &index) const
{
    QStringList captions;
    for (const Node *n = node(index); n; n = n->parent)
        captions.prepend(n->caption);
    return pathText(captions);
}

QModelIndex CategoryTreeModel::findCode(int code) const
{
    std::vector<const Node *> pending;
    if (m_root)
        pending.push_back(m_root.get());
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (n->code == code)
            return indexOf(n);
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            pending.push_back(it->get());
    }
    return {};
}

QModelIndex CategoryTreeModel::addChild(const QModelIndex &parent, int code, bool isCategory, const QString &caption)
{
    Node *p = node(parent);
    if (!p)
        return {};
    auto child = std::make_unique<Node>();
    child->code = code;
    child->image = isCategory ? CategoryImages::Category : CategoryImages::ClosedFolder;
    child->caption = caption;
    child->parent = p;
    const int row = int(p->children.size());
    beginInsertRows(parent, row, row);
    p->children.push_back(std::move(child));
    endInsertRows();
    return index(row, 0, parent);
}

void CategoryTreeModel::setCaption(const QModelIndex &index, const QString &caption)
{
    if (Node *n = node(index)) {
        n->caption = caption;
        emit dataChanged(index, index, {Qt::DisplayRole});
    }
}

void CategoryTreeModel::setExpanded(const QModelIndex &index, bool expanded)
{
    Node *n = node(index);
    if (!n || n->expanded == expanded)
        return;
    n->expanded = expanded;
    emit dataChanged(index, index, {Qt::DecorationRole});
}

void CategoryTreeModel::removeNode(const QModelIndex &index)
{
    Node *n = node(index);
    if (!n)
        return;
    if (!n->parent) {
        clear();
        return;
    }
    reportDeletion(n);
    const int row = n->row();
    beginRemoveRows(index.parent(), row, row);
    n->parent->children.erase(n->parent->children.begin() + row);
    endRemoveRows();
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_root ? indexOf(m_root.get()) : QModelIndex();
    const Node *p = node(parent);
    if (!p || row >= int(p->children.size()))
        return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex CategoryTreeModel::parent(const QModelIndex &child) const
{
    const Node *n = node(child);
    return n ? indexOf(n->parent) : QModelIndex();
}

int CategoryTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return m_root ? 1 : 0;
    return int(node(parent)->children.size());
}

int CategoryTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant CategoryTreeModel::data(const QModelIndex &index, int role) const
{
    const Node *n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return n->caption;
    case Qt::DecorationRole:
        if (n->image == CategoryImages::ClosedFolder && n->expanded)
            return CategoryImages::icon(CategoryImages::OpenFolder);
        return CategoryImages::icon(n->image);
    case Qt::AccessibleDescriptionRole:
        switch (kind(index)) {
        case Kind::Root:
            return QStringLiteral("All categories");
        case Kind::Folder:
            return QStringLiteral("Folder");
        case Kind::Category:
            return QStringLiteral("Expert category");
        }
        return {};
    case CodeRole:
        return n->code;
    case ImageRole:
        return int(n->image);
    default:
        return {};
    }
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
