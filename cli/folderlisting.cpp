#include "cli/folderlisting.h"

#include "cli/commandline.h"
#include "messagelist/sentdate.h"
#include "messagelist/folderorder.h"
#include "store/columns.h"
#include "store/rowset.h"
#include "transport/displaytext.h"

#include <algorithm>

void FolderListing::load(RowSet &query, bool threads)
{
    m_nodes.clear();
    m_top.clear();

    // Every row as a node, in the query's one walk; then which row each node
    // shows and the node it hangs below (-1: top level).
    std::vector<Node> read;
    const std::vector<ThreadBuilder::Entry> entries = FolderOrder::read(query, threads, [&] {
        Node node;
        node.code = query.asInt(Column::Code);
        node.isRead = query.asBool(Column::IsRead);
        node.subject = DisplayText::header(query.value(Column::Subject));
        QDate date;
        QTime time;
        if (SentDate::fromStored(query.value(QStringLiteral("SentDate")), date, time)) {
            node.sent = SentDate::format(date, time);
            node.sentKey = SentDate::key(date, time);
        }
        node.from = DisplayText::header(query.value(Column::From));
        node.source = query.asString(Column::Source);
        read.push_back(std::move(node));
    });

    m_nodes.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        Node &node = m_nodes[i];
        node = std::move(read[entries[i].row]);
        if (entries[i].parent < 0) {
            m_top.push_back(int(i));
        } else {
            node.depth = m_nodes[entries[i].parent].depth + 1;
            m_nodes[entries[i].parent].children.push_back(int(i));
        }
    }

    // A parent's entry always comes before its children's, so walking back
    // carries every unread message's mark up to the top of its thread.
    for (int i = int(entries.size()) - 1; i >= 0; --i) {
        Node &node = m_nodes[i];
        node.bold = node.bold || !node.isRead;
        if (node.bold && entries[i].parent >= 0)
            m_nodes[entries[i].parent].bold = true;
    }

    sortByDate(m_top);
    for (Node &node : m_nodes)
        sortByDate(node.children);
}

void FolderListing::sortByDate(std::vector<int> &nodes) const
{
    std::stable_sort(nodes.begin(), nodes.end(), [this](int a, int b) {
        const std::optional<qint64> &left = m_nodes[a].sentKey;
        const std::optional<qint64> &right = m_nodes[b].sentKey;
        if (!left || !right)
            return !left && right;
        return *left < *right;
    });
}

QStringList FolderListing::lines() const
{
    QStringList lines;
    writeLines([&lines](const QString &line) { lines << line; });
    return lines;
}

void FolderListing::writeLines(const std::function<void(const QString &)> &write, const BodyReader &bodies) const
{
    // Depth first without recursion: a long chain of answers is a deep tree.
    std::vector<int> stack(m_top.rbegin(), m_top.rend());
    while (!stack.empty()) {
        const Node &node = m_nodes[stack.back()];
        stack.pop_back();
        const QString indent(2 * node.depth, QLatin1Char(' '));
        write((node.bold ? QStringLiteral("* ") : QStringLiteral("  ")) + indent + Cli::oneLine(node.subject)
              + QLatin1Char('\t') + node.sent + QLatin1Char('\t') + Cli::oneLine(node.from) + QLatin1Char('\t')
              + Cli::oneLine(node.source));
        const QList<UnpostedGroups::Group> unposted = m_unposted.value(node.code);
        for (const UnpostedGroups::Group &group : unposted)
            write(QStringLiteral("  ") + indent + QStringLiteral("  ! Not posted to ") + Cli::oneLine(group.name)
                  + QStringLiteral(": ") + Cli::oneLine(group.reply));
        if (!unposted.isEmpty() && m_postAgain)
            write(QStringLiteral("  ") + indent + QStringLiteral("  ! Post again: quorbic-cli post --again ")
                  + QString::number(node.code));
        QString body = bodies ? DisplayText::body(bodies(node.code)) : QString();
        if (!body.isEmpty()) {
            body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (body.endsWith(QLatin1Char('\n')))
                body.chop(1);
            for (const QString &line : body.split(QLatin1Char('\n')))
                write(QStringLiteral("  ") + indent + QStringLiteral("  | ") + Cli::oneLine(line));
        }
        stack.insert(stack.end(), node.children.rbegin(), node.children.rend());
    }
}
