#include "shell/storeprivacybox.h"

#include "store/dmod.h"
#include "store/storeprivacy.h"
#include "widgets/errorbox.h"

#include <QFileInfo>
#include <QMessageBox>

namespace StorePrivacyBox {

void offer(QWidget *owner, Tdm &dm)
{
    if (!StorePrivacy::exposed(dm.fileName(), dm.MainConnection()))
        return;
    const QString file = QFileInfo(dm.fileName()).absoluteFilePath();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorbic"),
                    QStringLiteral("The store %1 holds your news server passwords, and other users of this "
                                   "computer can read it.\n\nMake it private, so that only you can read it?")
                        .arg(file),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setObjectName(QStringLiteral("StorePrivacyBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes)
        return;
    if (!StorePrivacy::makePrivate(dm.fileName()))
        ErrorBox::show(owner, QStringLiteral("The mode of %1 could not be changed").arg(file));
}

} // namespace StorePrivacyBox
