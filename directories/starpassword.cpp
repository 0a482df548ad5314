#include "directories/starpassword.h"

#include <QApplication>
#include <QLineEdit>
#include <QProxyStyle>

namespace {

// Follows the application's style in everything but the mask character.
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle *starPasswordStyle()
{
    // One style for all such fields, living as long as the application.
    static QStyle *style = [] {
        auto *s = new StarPasswordStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

} // namespace

void showPasswordAsStars(QLineEdit *edit)
{
    edit->setStyle(starPasswordStyle());
    edit->setEchoMode(QLineEdit::Password);
}
