#include "transport/certificateanswers.h"

bool CertificateAnswers::trusted(const QString &host, const QByteArray &certificateDigest,
                                 const std::function<bool()> &ask)
{
    const QString key = host.toLower();
    const auto kept = m_answers.constFind(key);
    if (kept != m_answers.cend() && (!kept->yes || kept->digest == certificateDigest))
        return kept->yes;
    const bool yes = ask();
    m_answers.insert(key, {certificateDigest, yes});
    return yes;
}
