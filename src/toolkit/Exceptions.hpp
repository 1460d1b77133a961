// The program's error type: a failing lower layer throws one with its fixed text, and the
// application's default error report shows that text in a message box.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return "Kestrum error"; }
    std::wstring Message;
};

// A write to an INI file that the system refused.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};
