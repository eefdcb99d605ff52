#include "rtl/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
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

// What the system said, in the program's language where it is a failure
// a player can meet and mend.
std::string SystemErrorText(int code) {
    switch (code) {
    case ENOENT: return "нет такого файла или папки";
    case EACCES:
    case EPERM: return "нет прав доступа";
    case ENOSPC: return "нет места на диске";
    case EDQUOT: return "исчерпана квота диска";
    case EROFS: return "диск доступен только для чтения";
    case EISDIR: return "это папка, а не файл";
    case ENOTDIR: return "часть пути не папка";
    case EIO: return "ошибка ввода-вывода";
    case EMFILE:
    case ENFILE: return "открыто слишком много файлов";
    case ENAMETOOLONG: return "слишком длинное имя";
    case EFBIG: return "файл слишком велик";
    default: return std::strerror(code);
    }
}

std::string ErrnoText() { return SystemErrorText(errno); }

std::string Megabytes(size_t bytes) { return std::to_string(bytes >> 20) + " МБ"; }

// The file a path finally names: links followed, so that a rename replaces
// the file and not the link. A path that names nothing yet stays as it is.
std::string ResolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) return resolved;
    return path;
}

std::string FolderOfHostPath(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A file without write permission for its user: the player has protected it.
bool ReadOnlyFile(const std::string& path, const struct stat& st) {
    if (access(path.c_str(), W_OK) != 0) return errno == EACCES || errno == EROFS || errno == EPERM;
    // The superuser may write anything; a file nobody may write is still meant to stay.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Makes the rename itself survive a crash of the system.
void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

bool PlainTextLine(std::string_view line) {
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
    return true;
}

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
    auto tooLarge = [&] {
        std::fclose(f);
        return EInOutError("Файл " + path + " слишком велик (больше " + Megabytes(kMaxTextFileBytes) +
                           "): это не файл программы или он поврежден. Файл не прочитан.");
    };
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<uint64_t>(st.st_size) > kMaxTextFileBytes) throw tooLarge();
        data_.reserve(static_cast<size_t>(st.st_size));
    }
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        // The size may grow while it is read, or not be known at all.
        if (data_.size() + n > kMaxTextFileBytes) throw tooLarge();
        data_.append(buf, n);
    }
    int error = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (error) throw EInOutError("Ошибка чтения файла " + path + ": " + SystemErrorText(error));
}

std::string TextFileReader::ReadLine() {
    if (Eof()) {
        lineEnded_ = false;
        return {};
    }
    size_t end = data_.find('\n', pos_);
    if (end == std::string::npos) end = data_.size();
    size_t stop = end;
    if (stop > pos_ && data_[stop - 1] == '\r') --stop;
    std::string line = data_.substr(pos_, stop - pos_);
    lineEnded_ = end < data_.size();
    pos_ = lineEnded_ ? end + 1 : end;
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
    const std::string target = atomic_ ? ResolvedTarget(HostPath(path_)) : HostPath(path_);
    struct stat existing;
    const bool exists = atomic_ && stat(target.c_str(), &existing) == 0;
    if (exists && S_ISREG(existing.st_mode) && ReadOnlyFile(target, existing))
        throw EInOutError("Файл " + path_ + " защищен от записи (только для чтения); он не перезаписан");
    const std::string file = atomic_ ? target + ".tmp" : target;
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) throw EInOutError("Не удается создать файл " + path_ + ": " + ErrnoText());
    // The first failure is the one that tells what went wrong; later ones follow from it.
    int error = 0;
    auto step = [&error](bool ok) {
        if (!ok && error == 0) error = errno ? errno : EIO;
    };
    errno = 0;
    step(std::fwrite(data_.data(), 1, data_.size(), f) == data_.size());
    step(std::fflush(f) == 0);
    if (atomic_ && exists) step(fchmod(fileno(f), existing.st_mode & 07777) == 0);
    if (atomic_) step(fsync(fileno(f)) == 0);
    step(std::fclose(f) == 0);
    if (error) {
        if (atomic_) {
            std::remove(file.c_str());
            throw EInOutError("Ошибка записи файла " + path_ + ": " + SystemErrorText(error));
        }
        throw EInOutError("Ошибка записи файла " + path_ + ": " + SystemErrorText(error) +
                          "; файл записан не полностью");
    }
    if (atomic_) {
        if (std::rename(file.c_str(), target.c_str()) != 0) {
            error = errno;
            std::remove(file.c_str());
            throw EInOutError("Ошибка записи файла " + path_ + ": " + SystemErrorText(error));
        }
        SyncFolder(FolderOfHostPath(target));
    }
}

std::string KeepBackupCopy(const std::string& path) {
    const std::string bytes = TextFileReader(path).Contents();
    std::string why;
    for (int n = 1; n <= 9; ++n) {
        const std::string copy = path + ".bak" + (n == 1 ? std::string() : std::to_string(n));
        if (FileExists(copy)) {
            try {
                if (TextFileReader(copy).Contents() == bytes) return copy;
            } catch (const EInOutError&) {
                // An unreadable copy is not ours to replace: the next name.
            }
            continue;
        }
        try {
            TextFileWriter writer(copy, /*atomic=*/true);
            writer.WriteRaw(bytes);
            writer.Close();
            return copy;
        } catch (const EInOutError& error) {
            why = error.what();
            break;
        }
    }
    throw EInOutError("Копию файла " + path + " сделать не удалось: " +
                      (why.empty() ? "имена " + path + ".bak .. " + path + ".bak9 заняты другими файлами" : why));
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
