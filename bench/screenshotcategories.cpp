// "Expert Category Manager" on a small tree of folders and categories, with
// the category "C++" selected: the newsgroup list marks its groups.

#include "screenshots.h"

#include "directories/categ.h"
#include "directories/categorytreemodel.h"
#include "directories/categorytreeview.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/scratchstore.h"

#include <QStringList>

namespace {

constexpr int kShownCategory = 3;

QString seed()
{
    QString sql = fill::category(1, 0, false, QStringLiteral("Programming"))
        + fill::category(2, 0, false, QStringLiteral("Hobbies")) + fill::category(3, 1, true, QStringLiteral("C++"))
        + fill::category(4, 1, true, QStringLiteral("Networking"))
        + fill::category(5, 1, false, QStringLiteral("Scripting"))
        + fill::category(6, 5, true, QStringLiteral("Python"))
        + fill::category(7, 2, true, QStringLiteral("Photography"))
        + fill::category(8, 0, true, QStringLiteral("Usenet"));
    const QStringList groups{
        QStringLiteral("alt.comp.lang.cpp"),
        QStringLiteral("alt.photography"),
        QStringLiteral("comp.lang.c"),
        QStringLiteral("comp.lang.c++"),
        QStringLiteral("comp.lang.c++.moderated"),
        QStringLiteral("comp.lang.python"),
        QStringLiteral("comp.os.linux.networking"),
        QStringLiteral("comp.protocols.tcp-ip"),
        QStringLiteral("comp.std.c++"),
        QStringLiteral("de.comp.lang.iso-c++"),
        QStringLiteral("de.comp.lang.python"),
        QStringLiteral("news.software.readers"),
        QStringLiteral("rec.photo.digital"),
        QStringLiteral("rec.photo.equipment.35mm"),
    };
    for (int i = 0; i < groups.size(); ++i)
        sql += fill::group(i + 1, groups.at(i));
    const auto in = [&](const QString &group, int category) {
        sql += fill::groupCategory(int(groups.indexOf(group)) + 1, category);
    };
    for (const char *group :
         {"alt.comp.lang.cpp", "comp.lang.c++", "comp.lang.c++.moderated", "comp.std.c++", "de.comp.lang.iso-c++"})
        in(QLatin1String(group), kShownCategory);
    in(QStringLiteral("comp.os.linux.networking"), 4);
    in(QStringLiteral("comp.protocols.tcp-ip"), 4);
    in(QStringLiteral("comp.lang.python"), 6);
    in(QStringLiteral("de.comp.lang.python"), 6);
    in(QStringLiteral("alt.photography"), 7);
    in(QStringLiteral("rec.photo.digital"), 7);
    in(QStringLiteral("news.software.readers"), 8);
    return sql;
}

} // namespace

int shootCategoryManager(const QString &out)
{
    ScratchStore store;
    store.exec(seed());
    Tdm dm(store.path());
    dm.DataModuleCreate();
    TfmCategories window(dm);
    window.show();
    auto *tree = window.findChild<CategoryTreeView *>(QStringLiteral("treeCategory"));
    if (!tree)
        return 1;
    tree->expandAll();
    tree->selectNode(tree->tree().findCode(kShownCategory));
    const int code = saveWhenDrawn(window, out);
    window.close();
    dm.close();
    return code;
}
