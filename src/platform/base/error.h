#pragma once
// A failure with a description and a number, reported as "description(number)". Every layer throws
// it, from the platform layers up to the jobs, so it lives at the bottom.

#include <QString>
#include <exception>
#include <string>

namespace kemnoa {

class Error : public std::exception {
public:
    Error(QString description, long number) : description_(std::move(description)), number_(number) {
        what_ = description_.toStdString();
    }
    const QString& description() const { return description_; }
    long number() const { return number_; }
    const char* what() const noexcept override { return what_.c_str(); }
    // The text of a trapped error in a message box: description, "(", number, ")".
    QString text() const {
        return description_ + QStringLiteral("(") + QString::number(number_) + QStringLiteral(")");
    }

private:
    QString description_;
    long number_;
    std::string what_;
};

// Error numbers of our own failures, in the range Visual Basic leaves to applications.
namespace errnum {
inline constexpr long General = 5;       // invalid procedure call or argument
inline constexpr long TypeMismatch = 13; // a value that does not convert
inline constexpr long FileNotFound = 53;
inline constexpr long FileExists = 58;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathFileAccess = 75;
inline constexpr long PathNotFound = 76;
inline constexpr long Database = 3000; // a database failure without a number of its own
} // namespace errnum

inline QString errorText(const QString& description, long number) {
    return description + QStringLiteral("(") + QString::number(number) + QStringLiteral(")");
}

} // namespace kemnoa
