// The dial-up check's decisions, against a scripted dial-up service.

#include "transport/dialup.h"
#include "transport/dialupservice.h"
#include "transport/nodialupservice.h"

#include <QSet>
#include <QSharedPointer>
#include <QTest>

using Library = DialUpService::Library;
using Function = DialUpService::Function;

namespace {

constexpr quint32 bufferTooSmall = 603; // ERROR_BUFFER_TOO_SMALL

Library libraryOf(Function function)
{
    switch (function) {
    case Function::EnumEntries:
    case Function::EnumConnections:
        return Library::RasApi;
    case Function::PhonebookDialog:
        return Library::RasDialog;
    case Function::RnaDial:
        break;
    }
    return Library::RnaUi;
}

// A system's dial-up networking as a test describes it; it records what the
// check did with it and flags any use of a library the check does not hold.
class FakeDialUp : public DialUpService
{
public:
    QSet<Library> inProcess; // loaded before the check runs
    QSet<Library> loadable; // can be loaded
    QSet<Function> functions; // present in their libraries
    int entries = 0;
    int connections = 0;
    quint32 entriesError = 0;
    quint32 connectionsError = 0;
    bool userConnects = false;

    QList<Library> loads;
    QList<Library> releases;
    int dialogs = 0;
    int rnaDials = 0;
    QStringList misuse;

    bool isLoaded(Library library) override { return inProcess.contains(library); }
    bool load(Library library) override
    {
        if (!loadable.contains(library))
            return false;
        loads.append(library);
        return true;
    }
    void release(Library library) override
    {
        if (!loads.contains(library) || releases.contains(library))
            misuse << QStringLiteral("released a library it did not load");
        releases.append(library);
    }
    bool hasFunction(Function function) override
    {
        if (!held(libraryOf(function)))
            misuse << QStringLiteral("looked up a function without its library");
        return functions.contains(function);
    }
    quint32 enumEntries(quint32 *count) override
    {
        use(Function::EnumEntries);
        if (entries > entryCapacity) {
            *count = entryCapacity;
            return bufferTooSmall;
        }
        *count = quint32(entries);
        return entriesError;
    }
    quint32 enumConnections(quint32 *count) override
    {
        use(Function::EnumConnections);
        if (connections > connectionCapacity) {
            *count = connectionCapacity;
            return bufferTooSmall;
        }
        *count = quint32(connections);
        return connectionsError;
    }
    bool phonebookDialog() override
    {
        use(Function::PhonebookDialog);
        ++dialogs;
        return userConnects;
    }
    void rnaDial() override
    {
        use(Function::RnaDial);
        ++rnaDials;
    }

private:
    bool held(Library library) const
    {
        return inProcess.contains(library) || (loads.contains(library) && !releases.contains(library));
    }
    void use(Function function)
    {
        if (!functions.contains(function) || !held(libraryOf(function)))
            misuse << QStringLiteral("called a function it had not found");
    }
};

const QSet<Function> allFunctions{Function::EnumEntries, Function::EnumConnections, Function::PhonebookDialog,
                                  Function::RnaDial};
const QSet<Library> allLibraries{Library::RasApi, Library::RasDialog, Library::RnaUi};

} // namespace

using FakePtr = QSharedPointer<FakeDialUp>;
Q_DECLARE_METATYPE(FakePtr)

class tst_DialUp : public QObject
{
    Q_OBJECT

private slots:
    void decision_data();
    void decision();
    void librariesAlreadyLoadedAreLeftAlone();
    void linuxHasNoDialUpServiceSoTheCheckGoesOn();
};

void tst_DialUp::decision_data()
{
    QTest::addColumn<FakePtr>("fake");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("rnaDials");
    QTest::addColumn<int>("loaded"); // libraries the check loaded itself

    // Dial-up configured, nothing connected: the dialog's turn.
    auto configured = [] {
        FakePtr f(new FakeDialUp);
        f->loadable = allLibraries;
        f->functions = allFunctions;
        f->entries = 2;
        return f;
    };

    FakePtr f = configured();
    f->loadable.clear();
    QTest::newRow("no rasapi32: true at once") << f << true << 0 << 0 << 0;

    f = configured();
    f->functions.remove(Function::EnumEntries);
    QTest::newRow("no RasEnumEntriesA") << f << true << 0 << 0 << 1;

    f = configured();
    f->entriesError = 1;
    QTest::newRow("entry enumeration fails") << f << true << 0 << 0 << 1;

    f = configured();
    f->entries = 26;
    QTest::newRow("26 entries do not fit: enumeration fails, no dialog") << f << true << 0 << 0 << 1;

    f = configured();
    f->entries = 0;
    QTest::newRow("no entry configured") << f << true << 0 << 0 << 1;

    f = configured();
    f->functions.remove(Function::EnumConnections);
    QTest::newRow("no RasEnumConnectionsA") << f << true << 0 << 0 << 1;

    f = configured();
    f->connectionsError = 1;
    QTest::newRow("connection enumeration fails") << f << true << 0 << 0 << 1;

    f = configured();
    f->connections = 16;
    QTest::newRow("16 connections do not fit") << f << true << 0 << 0 << 1;

    f = configured();
    f->connections = 1;
    QTest::newRow("already connected: true without dialog") << f << true << 0 << 0 << 1;

    f = configured();
    f->entries = 25;
    f->userConnects = true;
    QTest::newRow("25 entries fit; user connects") << f << true << 1 << 0 << 2;

    f = configured();
    QTest::newRow("user cancels the dialog: false") << f << false << 1 << 0 << 2;

    f = configured();
    f->functions.remove(Function::PhonebookDialog);
    QTest::newRow("no phonebook dialog: RnaDial, then true") << f << true << 0 << 1 << 3;

    f = configured();
    f->loadable.remove(Library::RasDialog);
    QTest::newRow("no rasdlg: RnaDial, then true") << f << true << 0 << 1 << 2;

    f = configured();
    f->loadable.remove(Library::RasDialog);
    f->loadable.remove(Library::RnaUi);
    QTest::newRow("neither dialog library") << f << true << 0 << 0 << 1;

    f = configured();
    f->loadable.remove(Library::RasDialog);
    f->functions.remove(Function::RnaDial);
    QTest::newRow("rnaui without RnaDial") << f << true << 0 << 0 << 2;
}

void tst_DialUp::decision()
{
    QFETCH(FakePtr, fake);
    QFETCH(bool, answer);
    QFETCH(int, dialogs);
    QFETCH(int, rnaDials);
    QFETCH(int, loaded);

    QCOMPARE(DialUpCheck(*fake), answer);
    QCOMPARE(fake->dialogs, dialogs);
    QCOMPARE(fake->rnaDials, rnaDials);
    QVERIFY2(fake->misuse.isEmpty(), qPrintable(fake->misuse.join(QLatin1String("; "))));
    // Every library the check loaded is released, once, whichever way it left.
    QCOMPARE(QSet<Library>(fake->releases.cbegin(), fake->releases.cend()),
             QSet<Library>(fake->loads.cbegin(), fake->loads.cend()));
    QCOMPARE(fake->releases.size(), fake->loads.size());
    QCOMPARE(fake->loads.size(), loaded);
}

void tst_DialUp::librariesAlreadyLoadedAreLeftAlone()
{
    FakeDialUp fake;
    fake.inProcess = {Library::RasApi, Library::RasDialog};
    fake.loadable = allLibraries;
    fake.functions = allFunctions - QSet<Function>{Function::PhonebookDialog};
    fake.entries = 3;

    QVERIFY(DialUpCheck(fake));
    QCOMPARE(fake.rnaDials, 1);
    QCOMPARE(fake.loads, QList<Library>{Library::RnaUi});
    QCOMPARE(fake.releases, QList<Library>{Library::RnaUi});
    QVERIFY2(fake.misuse.isEmpty(), qPrintable(fake.misuse.join(QLatin1String("; "))));
}

void tst_DialUp::linuxHasNoDialUpServiceSoTheCheckGoesOn()
{
    NoDialUpService none;
    QVERIFY(!none.isLoaded(Library::RasApi));
    QVERIFY(!none.load(Library::RasApi));
    QVERIFY(DialUpCheck());
    // No state between calls.
    QVERIFY(DialUpCheck());
}

QTEST_GUILESS_MAIN(tst_DialUp)
#include "tst_dialup.moc"
