#pragma once
// The user's answers about server certificates that failed verification, kept
// by host so that a run asks once per host. A No holds for the host; a Yes
// holds only for the certificate it was given for, so a different certificate
// from the same host (someone else answering in its name) is asked about again.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

class CertificateAnswers
{
public:
    // The kept answer for host and the certificate's digest; without one, ask()
    // is called and its answer kept.
    bool trusted(const QString &host, const QByteArray &certificateDigest, const std::function<bool()> &ask);
    void clear() { m_answers.clear(); }

private:
    struct Answer
    {
        QByteArray digest;
        bool yes = false;
    };
    QHash<QString, Answer> m_answers; // by lower-case host
};
