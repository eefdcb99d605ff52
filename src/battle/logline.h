// A log line assembled in a reused buffer, so that writing the full log
// does not allocate once the buffer has grown; and the bound on the lines
// of one battle's log.
#pragma once
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "battle/battleports.h"

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

// The lines one battle writes, within a bound whatever its rounds and its
// fleets: the first kHeadLines go to the log as they come; of the rest only
// the latest kTailLines are kept, and End() writes how many lines were left
// out, then those. The log window, the log file and this buffer thus hold
// the battle's start and its last rounds, and never more than the bound.
// The log window takes in some 30,000 lines a second; at the bound it
// answers again about a second after the battle.
class BoundedLog {
public:
    static constexpr size_t kHeadLines = 30'000, kTailLines = 10'000;

    explicit BoundedLog(BattleOutput& output) : output_(output) {}
    // A new battle.
    void Start() {
        written_ = held_ = next_ = 0;
        leftOut_ = 0;
    }
    void Line(std::string_view line) {
        if (written_ < kHeadLines) {
            ++written_;
            output_.Log(line);
            return;
        }
        if (held_ == kTailLines)
            ++leftOut_;
        else
            ++held_;
        // The strings of the ring are reused: no allocation once it is full.
        if (next_ < tail_.size())
            tail_[next_].assign(line);
        else
            tail_.emplace_back(line);
        next_ = (next_ + 1) % kTailLines;
    }
    // The end of the rounds: what was held back goes to the log.
    void End() {
        if (leftOut_ > 0) {
            LogLine note;
            note.Start() << "... пропущено строк лога: " << leftOut_ << " ...";
            output_.Log(note.View());
        }
        const size_t first = held_ < kTailLines ? 0 : next_;
        for (size_t i = 0; i < held_; ++i) output_.Log(tail_[(first + i) % kTailLines]);
        Start();
    }

private:
    BattleOutput& output_;
    size_t written_ = 0, held_ = 0, next_ = 0;
    uint64_t leftOut_ = 0;
    std::vector<std::string> tail_;
};

}  // namespace battle
