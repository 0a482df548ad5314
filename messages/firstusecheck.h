#pragma once
// Before the first question can be written there must be a news server to
// post it through and an account to send it from. The check asks to add the
// missing one (the server first) and opens its properties dialog on a new
// row; refusing a question or leaving a dialog other than with OK ends New
// Question silently, keeping whatever was stored up to then.

#include <QString>

class QWidget;
class TfmAccountProperty;
class TfmEditServer;
class Tdm;

class FirstUseCheck
{
public:
    FirstUseCheck(Tdm &dm, TfmEditServer &fmEditServer, TfmAccountProperty &fmAccountProperty);

    // True when a server and an account exist, or were just added. Store
    // errors propagate as StoreError.
    bool run(QWidget *owner);

    static QString serverQuestion();
    static QString accountQuestion();

private:
    static bool ask(QWidget *owner, const QString &text);

    Tdm &m_dm;
    TfmEditServer &m_fmEditServer;
    TfmAccountProperty &m_fmAccountProperty;
};
