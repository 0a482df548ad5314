#include "shell/program.h"
#include "exchange/newsaccess.h"

#include "exchange/certificatequestions.h"
#include "shell/about.h"
#include "shell/appwindows.h"
#include "shell/helpcontents.h"
#include "shell/icons.h"
#include "shell/main.h"
#include "shell/unhandlederror.h"
#include "store/dmod.h"

#include <QApplication>

QuorbicProgram::QuorbicProgram(DesktopOpener &opener, QString storeFile)
    : m_opener(opener)
    , m_storeFile(std::move(storeFile))
{}

QuorbicProgram::~QuorbicProgram()
{
    shutdown();
}

void QuorbicProgram::start()
{
    // 1. The help viewer is the desktop's handler; without one, say so and go on.
    m_helpAvailable = HelpContents::prepare(m_opener);
    // 2. The application's title.
    QApplication::setApplicationName(QStringLiteral("Quorbic"));
    QApplication::setWindowIcon(Icons::icon(Icons::Role::Application));
    // 3. The splash stays up exactly while the store opens and the windows are made.
    std::unique_ptr<TfmAbout> splash(TfmAbout::ShowSplash(m_opener));
    // 4. The data module opens the store.
    m_dm = std::make_unique<Tdm>(m_storeFile);
    preferEncryption(NewsAccess::of(*m_dm).client());
    runCommand([&] { m_dm->DataModuleCreate(); });
    // 5. The main window selects and loads the Inbox before it first shows.
    m_fmMain = std::make_unique<TfmMain>(*m_dm, m_opener);
    // 6. The other windows, hidden.
    m_windows = std::make_unique<AppWindows>(*m_dm, m_fmMain.get());
    m_fmMain->setWindows(m_windows.get());
    // 7. The splash goes; the About box for the rest of the run takes its place.
    splash.reset();
    m_fmAbout = new TfmAbout(m_opener, m_fmMain.get());
    m_fmMain->setAboutBox(m_fmAbout);
    // 8. The main window shows; the caller runs the message loop.
    m_fmMain->show();
}

void QuorbicProgram::shutdown()
{
    m_windows.reset();
    m_fmAbout = nullptr;
    m_fmMain.reset();
    if (m_dm) {
        runCommand([&] { m_dm->close(); });
        m_dm.reset();
    }
}
