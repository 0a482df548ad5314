#include "directories/grouprowfinder.h"

#include <algorithm>
#include <string>

namespace {

char32_t folded(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

} // namespace

int compareGroupNames(const QString &a, const QString &b)
{
    // Code points, not UTF-16 units: the store compares UTF-8 bytes, which
    // order like code points (surrogate pairs included).
    const std::u32string x = a.toStdU32String();
    const std::u32string y = b.toStdU32String();
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        const char32_t cx = folded(x[i]);
        const char32_t cy = folded(y[i]);
        if (cx != cy)
            return cx < cy ? -1 : 1;
    }
    if (x.size() == y.size())
        return 0;
    return x.size() < y.size() ? -1 : 1;
}

std::optional<int> FindGroupRow(const QString &name, int count, const std::function<QString(int row)> &nameAt)
{
    // The first row that does not sort before the name.
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (compareGroupNames(nameAt(middle), name) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    std::optional<int> found;
    for (int row = low; row < count; ++row) {
        const QString candidate = nameAt(row);
        if (compareGroupNames(candidate, name) != 0)
            break;
        if (candidate == name)
            return row;
        if (!found)
            found = row;
    }
    return found;
}
