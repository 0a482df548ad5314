#pragma once
// The texts the posting run shows in its rows and boxes.

#include <QString>

namespace PostingTexts {

inline const QString kAbortCaption = QStringLiteral("Abort");
inline const QString kCloseCaption = QStringLiteral("Close");
inline const QString kSuccessful = QStringLiteral("Successful");
inline const QString kPostedBefore = QStringLiteral("Successful (posted in an earlier run)");
inline const QString kGroupNotFound = QStringLiteral("Error: The group is not found");
inline const QString kNoServerReached = QStringLiteral("Error: no server could be reached");
inline const QString kNotTried = QStringLiteral("Not tried: posting was stopped");
inline const QString kConnectionError = QStringLiteral(" Connection Error: ");
inline const QString kBrokeOff = QStringLiteral("The server broke off the connection");
inline const QString kUnhandled = QStringLiteral("Unhandled error: ");
inline const QString kServerBoxTitle = QStringLiteral("News Server ");
inline const QString kAppTitle = QStringLiteral("Quorbic");

} // namespace PostingTexts
