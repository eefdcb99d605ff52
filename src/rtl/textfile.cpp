#include "rtl/textfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "rtl/errors.h"

namespace rtl {
namespace {

std::string DefaultMapping(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    if (out.size() >= 2 && (out[0] == 'Z' || out[0] == 'z') && out[1] == ':') out.erase(0, 2);
    return out;
}

PathMapper& Mapper() {
    static PathMapper mapper = DefaultMapping;
    return mapper;
}

std::string ErrnoText() { return std::strerror(errno); }

}  // namespace

void SetPathMapper(PathMapper mapper) { Mapper() = mapper ? std::move(mapper) : PathMapper(DefaultMapping); }

std::string HostPath(const std::string& programPath) { return Mapper()(programPath); }

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(HostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return stat(HostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TextFileReader::TextFileReader(const std::string& path) : path_(path) {
    FILE* f = std::fopen(HostPath(path).c_str(), "rb");
    if (!f) throw EInOutError("Не удается открыть файл " + path + ": " + ErrnoText());
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data_.append(buf, n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw EInOutError("Ошибка чтения файла " + path);
}

std::string TextFileReader::ReadLine() {
    if (Eof()) return {};
    size_t end = data_.find('\n', pos_);
    if (end == std::string::npos) end = data_.size();
    size_t stop = end;
    if (stop > pos_ && data_[stop - 1] == '\r') --stop;
    std::string line = data_.substr(pos_, stop - pos_);
    pos_ = end < data_.size() ? end + 1 : end;
    ++line_;
    return line;
}

TextFileWriter::TextFileWriter(std::string path, bool atomic)
    : path_(std::move(path)), atomic_(atomic), uncaughtAtStart_(std::uncaught_exceptions()) {}

TextFileWriter::~TextFileWriter() {
    // Unwinding from an exception: the lines are only part of the text.
    if (!closed_ && std::uncaught_exceptions() == uncaughtAtStart_) {
        try {
            Close();
        } catch (...) {
            // A destructor cannot report; callers that care call Close themselves.
        }
    }
}

void TextFileWriter::WriteLine(std::string_view line) {
    data_.append(line);
    data_ += "\r\n";
}

void TextFileWriter::Close() {
    if (closed_) return;
    closed_ = true;
    std::string target = HostPath(path_);
    std::string file = atomic_ ? target + ".tmp" : target;
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) throw EInOutError("Не удается создать файл " + path_ + ": " + ErrnoText());
    bool ok = std::fwrite(data_.data(), 1, data_.size(), f) == data_.size();
    ok = std::fflush(f) == 0 && ok;
    if (atomic_) ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::string why = ErrnoText();
        if (atomic_) std::remove(file.c_str());
        throw EInOutError("Ошибка записи файла " + path_ + ": " + why);
    }
    if (atomic_ && std::rename(file.c_str(), target.c_str()) != 0) {
        std::string why = ErrnoText();
        std::remove(file.c_str());
        throw EInOutError("Ошибка записи файла " + path_ + ": " + why);
    }
}

std::vector<std::string> ReadAllLines(const std::string& path) {
    TextFileReader reader(path);
    std::vector<std::string> lines;
    while (!reader.Eof()) lines.push_back(reader.ReadLine());
    return lines;
}

void WriteAllLines(const std::string& path, const std::vector<std::string>& lines, bool atomic) {
    TextFileWriter writer(path, atomic);
    for (const auto& line : lines) writer.WriteLine(line);
    writer.Close();
}

}  // namespace rtl
