#pragma once
// A folder listed as the main window's message tree shows it: the Inbox as
// threads (each message below the one it answers, rows whose parent is not
// reached left out), the other folders flat; the children of every node, and
// the top level, in the order of the "Sent" column (no date first, equal dates
// in load order); a node bold when its message or one below it is unread.
//
// One line per message: "* " for bold or two blanks, two blanks per level,
// then Subject, Sent, From and Source separated by tabs. Subject and From are
// shown decoded; with bodies, each body line follows its message's line,
// indented below it behind "| ".
//
// Below a message that did not reach some of its newsgroups, one line per
// such group behind "! Not posted to ", with the server's reply, and for a
// message in the Inbox the command that posts it to them again.

#include "store/unpostedgroups.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

class RowSet;
class StoreConnection;

class FolderListing
{
public:
    // The stored Body of a message, by its Code.
    using BodyReader = std::function<QVariant(int code)>;

    // Reads every row of the open folder query (ordered by Parent), once,
    // from first to last; bodies are not read.
    void load(RowSet &query, bool threads);
    // The unreached newsgroups of every message, by Article Code; inbox: the
    // folder listed is the Inbox, from where Post Again is offered.
    void setUnposted(QMap<int, QList<UnpostedGroups::Group>> unposted, bool inbox)
    {
        m_unposted = std::move(unposted);
        m_postAgain = inbox;
    }
    QStringList lines() const;
    // Hands each line to `write` in turn, with each message's body below its
    // line when `bodies` is given: a body is read as its lines are written, so
    // no more than one is held at a time.
    void writeLines(const std::function<void(const QString &)> &write, const BodyReader &bodies = {}) const;

private:
    struct Node
    {
        int code = 0;
        int depth = 0;
        bool isRead = true;
        bool bold = false;
        std::optional<qint64> sentKey;
        QString subject;
        QString sent;
        QString from;
        QString source;
        std::vector<int> children;
    };

    void sortByDate(std::vector<int> &nodes) const;

    std::vector<Node> m_nodes;
    std::vector<int> m_top;
    QMap<int, QList<UnpostedGroups::Group>> m_unposted;
    bool m_postAgain = false;
};
