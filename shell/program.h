#pragma once
// The program's life: start-up in its fixed order (help check, splash, data
// module, main window, the other windows, the About box) and the shutdown that
// commits the store as it closes. The message loop runs between the two.
//
// Everything made here lives until shutdown(): the data module, the main
// window (which owns the dialogs) and the About box.

#include <QString>
#include <memory>

class AppWindows;
class DesktopOpener;
class TfmAbout;
class TfmMain;
class Tdm;

class QuorbicProgram
{
public:
    // The store file is the given name in the working directory.
    explicit QuorbicProgram(DesktopOpener &opener, QString storeFile = QStringLiteral("qa.mdb"));
    ~QuorbicProgram();

    // Start-up up to, not including, the message loop; the main window is
    // shown. False when there is no usable store: the program is to end.
    bool start();
    // Destroys the windows, then commits and closes the store.
    void shutdown();

    // Where the main window's size, splitters and column widths are kept
    // between runs (WindowState); empty, as by default, keeps them nowhere.
    void setWindowStateFile(const QString &file) { m_windowStateFile = file; }

    Tdm *dm() const { return m_dm.get(); }
    TfmMain *fmMain() const { return m_fmMain.get(); }
    AppWindows *windows() const { return m_windows.get(); }
    TfmAbout *fmAbout() const { return m_fmAbout; }
    bool helpAvailable() const { return m_helpAvailable; }

private:
    DesktopOpener &m_opener;
    QString m_storeFile;
    QString m_windowStateFile;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<TfmMain> m_fmMain;
    std::unique_ptr<AppWindows> m_windows;
    TfmAbout *m_fmAbout = nullptr; // owned by the main window
    bool m_helpAvailable = false;
};
