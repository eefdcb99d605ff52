// A log line assembled in a reused buffer, so that writing the full log
// does not allocate once the buffer has grown.
#pragma once
#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>

namespace battle {

class LogLine {
public:
    LogLine& Start() {
        text_.clear();
        return *this;
    }
    LogLine& operator<<(std::string_view s) {
        text_.append(s);
        return *this;
    }
    LogLine& operator<<(const char* s) { return *this << std::string_view(s); }
    LogLine& operator<<(const std::string& s) { return *this << std::string_view(s); }
    template <class T>
        requires std::is_integral_v<T>
    LogLine& operator<<(T value) {
        char buf[24];
        auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value)).ptr;
        text_.append(buf, end);
        return *this;
    }
    std::string_view View() const { return text_; }

private:
    std::string text_;
};

}  // namespace battle
