#include "platform/core/Errors.h"

QorError::QorError(const QString& message) : std::runtime_error(message.toStdString()) {}

EConvertError EConvertError::NotAnInteger(const QString& text) {
    return EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

EListError EListError::OutOfBounds(int index) {
    return EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

EWriteError EWriteError::UnableToWrite(const QString& path) {
    return EWriteError(QStringLiteral("Unable to write to %1").arg(path));
}

EComponentError EComponentError::NoParent() {
    return EComponentError(QStringLiteral("Component has no parent."));
}

EDivByZero::EDivByZero() : QorError(QStringLiteral("Division by zero")) {}
