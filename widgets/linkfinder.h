#pragma once
// Finds the web and mail addresses in plain text, as a rich-text control
// detects them by itself: text starting with a scheme (http://, https://,
// ftp://, news:, nntp://, mailto:) or with "www.", up to the next blank, less
// the punctuation that ends the sentence around it. Only these schemes: an
// answer is written by a stranger, and file: or a desktop's own schemes would
// open local files or programs with one click.

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

// An address as the user is shown it before following it: the characters
// that reorder text (bidirectional embeddings, overrides, isolates and marks,
// U+202A-U+202E, U+2066-U+2069, U+200E, U+200F) as visible marks such as
// "[U+202E]", so that a link cannot pose as another address.
QString shownAddress(const QString &address);

} // namespace LinkFinder
