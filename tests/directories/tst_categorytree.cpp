// The category tree as both category windows load it: the order under each
// parent, the rows that are never shown, kinds read back from the images, the
// path text, and nodes leaving the tree bottom-up.

#include "categorytesting.h"
#include "directories/categoryimages.h"
#include "directories/categorytreemodel.h"
#include "store/rowset.h"
#include "windowtesting.h"

#include <QAbstractItemModelTester>
#include <QIcon>

using namespace CategoryTesting;
using Kind = CategoryTreeModel::Kind;

namespace {

const QString kTreeOrder = QStringLiteral("SELECT * FROM categories ORDER BY Parent, Kind desc, Name");

struct LoadedTree
{
    explicit LoadedTree(const QString &seed)
        : f(seed)
    {
        tree.BuildCategoryTree(rows);
    }
    StoreFixture f;
    RowSet rows{f.dm.MainConnection(), kTreeOrder, QStringLiteral("tbCategory")};
    CategoryTreeModel tree;
    QAbstractItemModelTester tester{&tree, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

qint64 iconKey(const QVariant &decoration)
{
    return decoration.value<QIcon>().cacheKey();
}

} // namespace

class tst_CategoryTree : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadsFoldersFirstThenCategoriesByName_data();
    void loadsFoldersFirstThenCategoriesByName();
    void kindsAreReadBackFromTheImages();
    void openFolderImageOnlyWhileExpanded();
    void pathText_data();
    void pathText();
    void addedNodesGoLastAndRenamedNodesStay();
    void findsNodesByCode();
    void nodesLeaveBottomUp();
    void aRefusedDeletionLeavesTheTreeAsItWas();
    void clearingReportsEveryNode();
};

void tst_CategoryTree::loadsFoldersFirstThenCategoriesByName_data()
{
    QTest::addColumn<QString>("seed");
    QTest::addColumn<QString>("tree");
    QTest::newRow("a new store shows only the root") << QString() << "All";
    QTest::newRow("folders before categories whatever the codes") << category(1, 0, true, "b")
            + category(2, 0, true, "a") + category(3, 0, false, "B")
            + category(4, 0, false, "A") << "All(A/,B/,a,b)";
    QTest::newRow("each run by name without regard to case") << category(1, 0, false, "beta")
            + category(2, 0, true, "Zeta") + category(3, 0, false, "Alpha") + category(4, 0, true, "apple")
            + category(5, 0, false, "Gamma") << "All(Alpha/,beta/,Gamma/,apple,Zeta)";
    QTest::newRow("children under their folders, deeper folders too") << category(6, 5, true, "SCSI")
            + category(2, 1, true, "Misc") + category(3, 0, true, "Databases") + category(5, 1, false, "Disks")
            + category(1, 0, false, "Hardware") << "All(Hardware/(Disks/(SCSI),Misc),Databases)";
    QTest::newRow("a row under a missing folder is never shown")
        << category(1, 0, true, "Kept") + category(2, 99, true, "Orphan") << "All(Kept)";
    QTest::newRow("a category holds no nodes")
        << category(1, 0, true, "Leaf") + category(2, 1, true, "Stray") + category(3, 1, false, "StrayFolder")
        << "All(Leaf)";
    QTest::newRow("an empty folder") << category(1, 0, false, "Empty") << "All(Empty/)";
}

void tst_CategoryTree::loadsFoldersFirstThenCategoriesByName()
{
    QFETCH(QString, seed);
    QFETCH(QString, tree);
    LoadedTree loaded(seed);
    QCOMPARE(describe(loaded.tree), tree);
    // Loading again replaces the nodes rather than adding to them.
    loaded.tree.BuildCategoryTree(loaded.rows);
    QCOMPARE(describe(loaded.tree), tree);
    QCOMPARE(loaded.rows.state(), RowSet::State::Browse);
}

void tst_CategoryTree::kindsAreReadBackFromTheImages()
{
    LoadedTree loaded(sampleTree());
    const CategoryTreeModel &tree = loaded.tree;
    const struct
    {
        QStringList path;
        Kind kind;
        CategoryImages::Index image;
        int code;
    } nodes[] = {
        {{}, Kind::Root, CategoryImages::Root, 0},
        {{"Hardware"}, Kind::Folder, CategoryImages::ClosedFolder, 1},
        {{"Hardware", "Misc"}, Kind::Category, CategoryImages::Category, 2},
        {{"Hardware", "Disks", "SCSI"}, Kind::Category, CategoryImages::Category, 6},
        {{"Software"}, Kind::Folder, CategoryImages::ClosedFolder, 4},
    };
    for (const auto &n : nodes) {
        const QModelIndex node = nodeAt(tree, n.path);
        QVERIFY2(node.isValid(), qPrintable(n.path.join('/')));
        QCOMPARE(tree.kind(node), n.kind);
        QCOMPARE(node.data(CategoryTreeModel::ImageRole).toInt(), int(n.image));
        QCOMPARE(iconKey(node.data(Qt::DecorationRole)), CategoryImages::icon(n.image).cacheKey());
        QCOMPARE(tree.nodeCode(node), n.code);
        QCOMPARE(node.data(CategoryTreeModel::CodeRole).toInt(), n.code);
    }
    QVERIFY(!(tree.flags(tree.rootIndex()) & Qt::ItemIsEditable));
}

void tst_CategoryTree::openFolderImageOnlyWhileExpanded()
{
    LoadedTree loaded(sampleTree());
    CategoryTreeModel &tree = loaded.tree;
    const QModelIndex hardware = nodeAt(tree, {"Hardware"});
    const QModelIndex misc = nodeAt(tree, {"Hardware", "Misc"});
    const qint64 open = CategoryImages::icon(CategoryImages::OpenFolder).cacheKey();
    const qint64 closed = CategoryImages::icon(CategoryImages::ClosedFolder).cacheKey();

    tree.setExpanded(hardware, true);
    QCOMPARE(iconKey(hardware.data(Qt::DecorationRole)), open);
    QCOMPARE(tree.kind(hardware), Kind::Folder);
    tree.setExpanded(misc, true); // a category keeps its image
    QCOMPARE(iconKey(misc.data(Qt::DecorationRole)), CategoryImages::icon(CategoryImages::Category).cacheKey());
    tree.setExpanded(hardware, false);
    QCOMPARE(iconKey(hardware.data(Qt::DecorationRole)), closed);
}

void tst_CategoryTree::pathText_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("path");
    QTest::newRow("the root") << QStringList{} << "\\All";
    QTest::newRow("a category under the root") << QStringList{"Databases"} << "\\All\\Databases";
    QTest::newRow("a folder") << QStringList{"Hardware"} << "\\All\\Hardware";
    QTest::newRow("a category in a folder") << QStringList{"Hardware", "Misc"} << "\\All\\Hardware\\Misc";
    QTest::newRow("two folders deep") << QStringList{"Hardware", "Disks", "SCSI"} << "\\All\\Hardware\\Disks\\SCSI";
}

void tst_CategoryTree::pathText()
{
    QFETCH(QStringList, node);
    QFETCH(QString, path);
    LoadedTree loaded(sampleTree());
    QCOMPARE(loaded.tree.pathText(nodeAt(loaded.tree, node)), path);
}

void tst_CategoryTree::addedNodesGoLastAndRenamedNodesStay()
{
    LoadedTree loaded(sampleTree());
    CategoryTreeModel &tree = loaded.tree;
    const QModelIndex hardware = nodeAt(tree, {"Hardware"});
    const QModelIndex added = tree.addChild(hardware, 40, true, "Audio");
    QCOMPARE(tree.kind(added), Kind::Category);
    QCOMPARE(tree.nodeCode(added), 40);
    tree.addChild(tree.rootIndex(), 41, false, "Archive");
    tree.setCaption(nodeAt(tree, {"Databases"}), "Zoo");
    QCOMPARE(describe(tree), "All(Hardware/(Disks/(SCSI),Misc,Audio),Software/,Zoo,Archive/)");
    QCOMPARE(tree.pathText(added), "\\All\\Hardware\\Audio");
}

void tst_CategoryTree::findsNodesByCode()
{
    LoadedTree loaded(sampleTree());
    const CategoryTreeModel &tree = loaded.tree;
    for (int code : {1, 2, 3, 4, 5, 6})
        QCOMPARE(tree.nodeCode(tree.findCode(code)), code);
    QCOMPARE(tree.findCode(6), nodeAt(tree, {"Hardware", "Disks", "SCSI"}));
    QCOMPARE(tree.findCode(0), tree.rootIndex());
    QVERIFY(!tree.findCode(77).isValid());
}

void tst_CategoryTree::nodesLeaveBottomUp()
{
    // Hardware(1) holds Disks(5) with SCSI(6) and Misc(2); SCSI gets a sibling.
    LoadedTree loaded(sampleTree() + category(7, 5, true, "IDE"));
    CategoryTreeModel &tree = loaded.tree;
    QList<int> left;
    tree.nodeDeletion = [&](int code) { left << code; };
    tree.removeNode(nodeAt(tree, {"Hardware"}));
    QCOMPARE(left, (QList<int>{7, 6, 5, 2, 1}));
    QCOMPARE(describe(tree), "All(Software/,Databases)");
}

void tst_CategoryTree::aRefusedDeletionLeavesTheTreeAsItWas()
{
    LoadedTree loaded(sampleTree());
    CategoryTreeModel &tree = loaded.tree;
    const QString before = describe(tree);
    tree.nodeDeletion = [](int code) {
        if (code == 5)
            throw std::runtime_error("refused");
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, tree.removeNode(nodeAt(tree, {"Hardware"})));
    QCOMPARE(describe(tree), before);
}

void tst_CategoryTree::clearingReportsEveryNode()
{
    LoadedTree loaded(sampleTree());
    CategoryTreeModel &tree = loaded.tree;
    QList<int> left;
    tree.nodeDeletion = [&](int code) { left << code; };
    tree.clear();
    QCOMPARE(left, (QList<int>{6, 5, 2, 1, 4, 3, 0}));
    QCOMPARE(tree.rowCount(), 0);
    QCOMPARE(describe(tree), QString());
    left.clear();
    tree.BuildCategoryTree(loaded.rows); // loading drops the old nodes the same way
    tree.BuildCategoryTree(loaded.rows);
    QCOMPARE(left.size(), 7);
}

QTEST_MAIN(tst_CategoryTree)
#include "tst_categorytree.moc"
