// Text files as the program reads and writes them: lines of code page 1251
// text; CR LF or LF accepted on reading, CR LF written. Paths may be written
// with '\' as the program builds them; they are mapped to the host's form.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace rtl {

// Turns a program path ("logs\x.txt", "Z:\dir\x.txt") into a host path.
// The default mapping turns '\' into '/' and drops a "Z:" drive; the Win32
// side installs the real mapping of its drives.
using PathMapper = std::function<std::string(const std::string&)>;
void SetPathMapper(PathMapper mapper);
std::string HostPath(const std::string& programPath);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// No file the program reads comes near this; a larger one is refused
// before it is read (it would only exhaust the memory).
inline constexpr size_t kMaxTextFileBytes = size_t{64} << 20;

// True when the line holds no control character but the tab: a line of
// text, not the bytes of a damaged or binary file.
bool PlainTextLine(std::string_view line);

// Reads a whole file at open; then line by line. The end-of-file test works
// like the classic one: true once no character is left, so a last line
// without a line end is still read, and reading at the end gives "".
class TextFileReader {
public:
    // Throws EInOutError naming the file when it cannot be opened or read,
    // or when it is larger than kMaxTextFileBytes.
    explicit TextFileReader(const std::string& path);

    bool Eof() const { return pos_ >= data_.size(); }
    // The next line without its end; "" at end of file.
    std::string ReadLine();
    // Lines read so far (1 after the first ReadLine).
    size_t LineNumber() const { return line_; }
    // Whether the line read last ended with a line feed.
    bool LineEnded() const { return lineEnded_; }
    const std::string& Path() const { return path_; }
    // The whole file as it was read, byte for byte.
    const std::string& Contents() const { return data_; }

private:
    std::string path_;
    std::string data_;
    size_t pos_ = 0;
    size_t line_ = 0;
    bool lineEnded_ = false;
};

// Collects lines and writes them at Close: CR LF after every line.
// With `atomic`, the text goes to a temporary file beside the target that is
// renamed over it, so a failed write leaves the previous file whole: a
// symbolic link is followed to the file it names, the file keeps its
// permissions, and a read-only file is refused. A writer left by an
// exception before Close writes nothing: its text is incomplete.
class TextFileWriter {
public:
    explicit TextFileWriter(std::string path, bool atomic = false);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    void WriteLine(std::string_view line);
    // Bytes as they are, with no line end added.
    void WriteRaw(std::string_view bytes) { data_.append(bytes); }
    void Reserve(size_t bytes) { data_.reserve(bytes); }
    // Throws EInOutError naming the file and the first failure of the
    // system when it cannot be written (a file written in place may then
    // be cut short: the message says so).
    void Close();

private:
    std::string path_;
    std::string data_;
    bool atomic_;
    bool closed_ = false;
    int uncaughtAtStart_;
};

// Keeps a byte-for-byte copy of a file beside it, before it is replaced:
// in the first of `path`.bak, `path`.bak2, ... `path`.bak9 that is free or
// already holds the same bytes (a file damaged the same way at every start
// is kept once). Returns the copy's path; throws EInOutError naming the
// file when no copy could be made.
std::string KeepBackupCopy(const std::string& path);

// Whole-file helpers.
std::vector<std::string> ReadAllLines(const std::string& path);
void WriteAllLines(const std::string& path, const std::vector<std::string>& lines, bool atomic = false);

}  // namespace rtl
