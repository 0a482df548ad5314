#pragma once
// The one way the preview, quorbic-cli and the reply editor read a stored
// message: its body as stored with the header block kept beside it (when the
// store keeps headers and has one for it), decoded as ShownArticle says.

#include "articletext/shownarticle.h"

class QVariant;
class StoreConnection;

namespace ArticleText {

// code: the message's Article Code; body: its Body column as read.
ShownArticle ofStored(StoreConnection &connection, int code, const QVariant &body);

} // namespace ArticleText
