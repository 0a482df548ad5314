#include "exchange/runfailure.h"

#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/newsclient.h"

RunFailure RunFailure::of(std::exception_ptr error)
{
    // Most derived first: ConnectionRefused is a ReplyError, every one a ClientError.
    try {
        std::rethrow_exception(error);
    } catch (const SocketError &e) {
        return {Kind::Unreachable, e.text(), e.errorNumber()};
    } catch (const ConnectionRefused &e) {
        return {Kind::Refused, e.text()};
    } catch (const ConnectionClosed &e) {
        return {Kind::Dropped, e.text()};
    } catch (const ReplyError &e) {
        return {Kind::Reply, e.text()};
    } catch (const ClientError &e) {
        return {Kind::Client, e.text()};
    } catch (const StoreError &e) {
        return {Kind::Store, e.text()};
    } catch (const std::exception &e) {
        return {Kind::Other, QString::fromUtf8(e.what())};
    } catch (...) {
        return {Kind::Other, QStringLiteral("Unknown error")};
    }
}

RunFailure::Next RunFailure::next(Purpose purpose) const
{
    switch (m_kind) {
    case Kind::Unreachable:
        return Next::SkipHost;
    case Kind::Refused:
        return purpose == Purpose::Posting ? Next::SkipHost : Next::NextServer;
    case Kind::Dropped:
    case Kind::Reply:
    case Kind::Client:
        return Next::NextServer;
    case Kind::Store:
    case Kind::Other:
        break;
    }
    return Next::EndRun;
}

QString RunFailure::reason() const
{
    if (m_kind == Kind::Unreachable)
        return SocketError::describe(m_errorNumber);
    return words(Stage::Working);
}

QString RunFailure::connectionErrorLead(Stage stage, Purpose purpose) const
{
    return (stage == Stage::Connecting && purpose == Purpose::Posting ? QStringLiteral(" ") : QString())
        + QStringLiteral("Connection Error: ");
}

QString RunFailure::words(Stage stage, Purpose purpose) const
{
    if (isConnectionError())
        return connectionErrorLead(stage, purpose) + m_text;
    if (m_kind == Kind::Dropped)
        return QStringLiteral("The server broke off the connection");
    return stage == Stage::Connecting ? QLatin1Char(' ') + m_text : m_text;
}

QString RunFailure::wordsAt(const NewsClientSettings &server, Stage stage, Purpose purpose) const
{
    if (!isConnectionError())
        return words(stage, purpose);
    return connectionErrorLead(stage, purpose) + atServer(server, m_text);
}

QString RunFailure::atServer(const NewsClientSettings &server, const QString &reason)
{
    return QStringLiteral("News Server %1:%2: %3").arg(server.Host).arg(server.Port).arg(reason.trimmed());
}
