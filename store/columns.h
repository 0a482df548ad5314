#pragma once
// Names of the store's columns that several parts of the program read,
// written once. The store compares names without regard to case.

#include <QString>

namespace Column {

inline const QString Account = QStringLiteral("Account");
inline const QString ArticleId = QStringLiteral("ArticleId");
inline const QString ArticleType = QStringLiteral("ArticleType");
inline const QString Body = QStringLiteral("Body");
inline const QString Category = QStringLiteral("Category");
inline const QString Code = QStringLiteral("Code");
inline const QString EMailAddress = QStringLiteral("E-mail address");
inline const QString Folder = QStringLiteral("Folder");
inline const QString From = QStringLiteral("From");
inline const QString GroupName = QStringLiteral("GroupName");
inline const QString IsProxy = QStringLiteral("IsProxy");
inline const QString IsRead = QStringLiteral("IsRead");
inline const QString Kind = QStringLiteral("Kind");
inline const QString MessageId = QStringLiteral("MessageId");
inline const QString Name = QStringLiteral("Name");
inline const QString Newsgroup = QStringLiteral("Newsgroup");
inline const QString Parent = QStringLiteral("Parent");
inline const QString Port = QStringLiteral("Port");
inline const QString RequiresLogin = QStringLiteral("RequiresLogin");
inline const QString ServerName = QStringLiteral("ServerName");
inline const QString Source = QStringLiteral("Source");
inline const QString Subject = QStringLiteral("Subject");
inline const QString UserName = QStringLiteral("UserName");

} // namespace Column
