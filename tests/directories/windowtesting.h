#pragma once
// What the directory window tests share: a data module on a scratch store,
// and finding and filling the controls of a window by objectName.

#include "store/dmod.h"
#include "tests/support/scratchstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

// An empty store, optionally seeded (statements run on the file before the
// program opens it) and given a trigger by which the store refuses rows,
// open in a data module.
struct StoreFixture
{
    explicit StoreFixture(const QString &seed = {}, const QString &trigger = {})
    {
        if (!seed.isEmpty())
            store.exec(seed);
        if (!trigger.isEmpty())
            store.execWhole(trigger);
        dm.DataModuleCreate();
    }
    // What another process sees: only what was committed.
    QStringList committed(const QString &query) const { return store.rows(query); }

    ScratchStore store;
    Tdm dm{store.path()};
};

// Shows the window and waits until the application takes it as the active
// window, which window shortcuts (Insert, Delete) need. Offscreen there is no
// window manager to hand the activation back when a dialog closes, and the
// platform window can report active before the application has caught up.
inline bool activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

template<typename T = QWidget>
T *child(const QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no %s", qPrintable(window->objectName()), name);
    return found;
}

inline QString textOf(const QWidget *window, const char *name)
{
    return child<QLineEdit>(window, name)->text();
}

inline void fill(const QWidget *window, const char *name, const QString &text)
{
    child<QLineEdit>(window, name)->setText(text);
}

inline void click(const QWidget *window, const char *name)
{
    child<QAbstractButton>(window, name)->click();
}

// The objectNames of the named controls in the order Tab visits them,
// starting at the first.
inline QStringList tabOrder(QWidget *first, int count)
{
    QStringList names;
    QWidget *w = first;
    while (names.size() < count) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
            names << w->objectName();
        w = w->nextInFocusChain();
        if (w == first)
            break;
    }
    return names;
}
