#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace golden {

namespace {

std::string GoldenPath(const std::string& name) {
    const char* root = std::getenv("NORVIX_SOURCE_DIR");
    return std::string(root ? root : ".") + "/tests/native/golden/" + name + ".txt";
}

}  // namespace

void ExpectRecorded(const std::string& name, const std::string& text) {
    const std::string path = GoldenPath(name);
    if (std::getenv("NORVIX_GOLDEN_RECORD")) {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    std::stringstream recorded;
    recorded << file.rdbuf();
    const std::string expected = recorded.str();
    if (expected == text) return;
    // Name the first line that differs rather than print whole texts.
    size_t at = 0, line = 1;
    while (at < expected.size() && at < text.size() && expected[at] == text[at])
        if (expected[at++] == '\n') ++line;
    const size_t from = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t start = from == std::string::npos ? 0 : from + 1;
    ADD_FAILURE() << name << ": first difference in line " << line << "\n  recorded: "
                  << expected.substr(start, expected.find('\n', start) - start)
                  << "\n  now:      " << text.substr(start, text.find('\n', start) - start);
}

}  // namespace golden
