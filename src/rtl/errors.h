// Run-time errors of the program. An event handler catches them and shows
// their text in a message box; the program then goes on.
#pragma once
#include <stdexcept>
#include <string>

namespace rtl {

// Message texts are code page 1251, like every text inside the program.
class ERuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that should have been a number.
class EConvertError : public ERuntimeError {
public:
    using ERuntimeError::ERuntimeError;
};

// A value outside the range of the field or array it is meant for.
class ERangeError : public ERuntimeError {
public:
    using ERuntimeError::ERuntimeError;
    ERangeError() : ERuntimeError("Ошибка проверки диапазона") {}
};

// A file that cannot be opened, read or written.
class EInOutError : public ERuntimeError {
public:
    using ERuntimeError::ERuntimeError;
};

}  // namespace rtl
