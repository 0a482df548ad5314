#pragma once
// The About box `fmAbout`: the artwork, the product name and version, the
// maker's notice and two links handed to the desktop. A box of the same class,
// without title bar and OK button, is the splash shown while the program starts.

#include <QDialog>

class DesktopOpener;
class QFrame;
class QLabel;
class QPushButton;

class TfmAbout : public QDialog
{
    Q_OBJECT
public:
    static constexpr char kWebAddress[] = "https://quorbic.example.org/";
    static constexpr char kSupportAddress[] = "support@quorbic.example.org";

    explicit TfmAbout(DesktopOpener &opener, QWidget *parent = nullptr);

    // Shows a new box as the splash: no owner, no title bar, no OK button,
    // caption "Quorbic"; it is painted before this returns.
    static TfmAbout *ShowSplash(DesktopOpener &opener);
    bool isSplash() const { return m_splash; }

    QPushButton *okButton() const { return m_ok; }
    QLabel *webLink() const { return m_web; }
    QLabel *mailLink() const { return m_mail; }

    void openWebLink();
    void openMailLink();

private:
    void makeSplash();

    DesktopOpener &m_opener;
    QFrame *m_frame;
    QLabel *m_web;
    QLabel *m_mail;
    QPushButton *m_ok;
    bool m_splash = false;
};
