#pragma once
// "Server Properties" (`fmEditServer`): edits the current row of the data
// module's server row set `tbServer`, which the caller has put into insert or
// edit mode. Result OK exactly when the row was stored (see PropertyDialog).
//
// The groups "Login Information" and "Proxy SOCKS5" are enabled exactly while
// their check boxes are ticked; a disabled group keeps its values and they are
// stored with the row all the same. The host is stored without leading and
// trailing blanks.

#include "directories/propertydialog.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

class TfmEditServer : public PropertyDialog
{
    Q_OBJECT
public:
    TfmEditServer(Tdm &dm, QWidget *parent = nullptr);

    // For the first-use check: starts a new server row with only RequiresLogin
    // preset (false), shows the dialog on it and returns true when it was stored.
    bool runOnNewServer();

protected:
    void rowShown() override;
    void prepareRow() override;
    // Ports from 1 to 65535; an empty Port means the news port.
    std::optional<FieldProblem> checkRow() override;

private:
    void dbeLoginRequireClick();
    void dbProxyClick();

    QLineEdit *m_profileName;
    QLineEdit *m_serverName;
    QLineEdit *m_port;
    QLineEdit *m_proxyPort;
    QCheckBox *m_loginRequire;
    QGroupBox *m_gbLogin;
    QCheckBox *m_proxy;
    QGroupBox *m_gbProxy;
};
