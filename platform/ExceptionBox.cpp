#include "platform/ExceptionBox.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/Dialogs.h"

namespace platform {

QString ExceptionText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.'))
        return message + '.';
    return message;
}

QString ApplicationTitle() {
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    const qsizetype dot = name.indexOf('.');
    return dot >= 0 ? name.left(dot) : name;
}

void ShowException(const QString& message) {
    dialogs().MessageBox(nullptr, ExceptionText(message), ApplicationTitle(), BoxIcon::Error);
}

void ShowException(const std::exception& error) {
    ShowException(QString::fromUtf8(error.what()));
}

}  // namespace platform
