// The errors that handlers raise and the exception box shows, with the program's own texts.
#pragma once

#include <QString>
#include <stdexcept>

class QorError : public std::runtime_error {
public:
    explicit QorError(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// A text that should be a whole number is not one.
class EConvertError : public QorError {
public:
    using QorError::QorError;
    static EConvertError NotAnInteger(const QString& text);  // "'%s' is not a valid integer value"
};

// A list position that does not exist.
class EListError : public QorError {
public:
    using QorError::QorError;
    static EListError OutOfBounds(int index);  // "List index out of bounds (%d)"
};

// A file that cannot be written.
class EWriteError : public QorError {
public:
    using QorError::QorError;
    static EWriteError UnableToWrite(const QString& path);  // "Unable to write to %s"
};

// A component used where it needs a window above it.
class EComponentError : public QorError {
public:
    using QorError::QorError;
    static EComponentError NoParent();  // "Component has no parent."
};

// Integer division by zero in a settings computation.
class EDivByZero : public QorError {
public:
    EDivByZero();  // "Division by zero"
};
