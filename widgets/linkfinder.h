#pragma once
// Finds the web and mail addresses in plain text, as a rich-text control
// detects them by itself: text starting with a scheme (http://, https://,
// ftp://, news:, nntp://, file://, mailto:) or with "www.", up to the next
// blank, less the punctuation that ends the sentence around it.

#include <QString>
#include <QUrl>
#include <vector>

namespace LinkFinder {

struct Link
{
    qsizetype start;
    qsizetype length;
};

std::vector<Link> find(const QString &text);

// The address a link's text stands for: "www." gains "http://"; everything
// else is taken as written.
QUrl toUrl(const QString &linkText);

} // namespace LinkFinder
