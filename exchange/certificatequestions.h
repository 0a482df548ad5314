#pragma once
// For the length of one run, a server certificate that fails verification is
// put to the user through the run's RunUi, once per host; the answers are
// forgotten when the run ends. So is a login that would go out in plain text
// because the server refused the encryption it offered (the client keeps a Yes
// for the host until the program ends). Also the status text of a made
// connection.

#include <QString>

class NewsClient;
class RunUi;

class CertificateQuestions
{
public:
    CertificateQuestions(NewsClient &client, RunUi &ui);
    ~CertificateQuestions();
    CertificateQuestions(const CertificateQuestions &) = delete;
    CertificateQuestions &operator=(const CertificateQuestions &) = delete;

private:
    NewsClient &m_client;
};

// Has the client switch to TLS wherever a server offers STARTTLS (port 563 is
// TLS from the first byte in any case). The program and the command-line tool
// call it once; the client's own default keeps to the plain exchange.
void preferEncryption(NewsClient &client);

// The greeting state's words, and " (encrypted)" when the connection is.
QString connectedStatusText(const NewsClient &client);
