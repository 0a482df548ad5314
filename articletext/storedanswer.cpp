#include "articletext/storedanswer.h"

#include "store/articleheaders.h"

#include <QVariant>

namespace ArticleText {

ShownArticle ofStored(StoreConnection &connection, int code, const QVariant &body)
{
    ArticleHeaders headers(connection);
    return shown(headers.of(code), body);
}

} // namespace ArticleText
