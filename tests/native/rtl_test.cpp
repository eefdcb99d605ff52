#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/random.h"
#include "rtl/textfile.h"
#include "rtl/weblink.h"

using namespace rtl;

TEST(Encoding, EveryByteRoundTripsThroughUtf16) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::u16string wide = Cp1251ToUtf16(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(Utf16ToCp1251(wide), all);
    // Distinct bytes give distinct characters.
    EXPECT_EQ(std::set<char16_t>(wide.begin(), wide.end()).size(), 256u);
    // And through UTF-8 as well.
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

// The upper half of the code page, character by character, as the code page
// defines it (0x98, which it leaves out, keeps its own value).
TEST(Encoding, TheUpperHalfIsTheCodePagesOwn) {
    const std::u16string expected =
        u"\u0402\u0403\u201A\u0453\u201E\u2026\u2020\u2021\u20AC\u2030\u0409\u2039\u040A\u040C\u040B\u040F"
        u"\u0452\u2018\u2019\u201C\u201D\u2022\u2013\u2014\x98\u2122\u0459\u203A\u045A\u045C\u045B\u045F"
        u"\u00A0\u040E\u045E\u0408\u00A4\u0490\u00A6\u00A7\u0401\u00A9\u0404\u00AB\u00AC\u00AD\u00AE\u0407"
        u"\u00B0\u00B1\u0406\u0456\u0491\u00B5\u00B6\u00B7\u0451\u2116\u0454\u00BB\u0458\u0405\u0455\u0457"
        u"\u0410\u0411\u0412\u0413\u0414\u0415\u0416\u0417\u0418\u0419\u041A\u041B\u041C\u041D\u041E\u041F"
        u"\u0420\u0421\u0422\u0423\u0424\u0425\u0426\u0427\u0428\u0429\u042A\u042B\u042C\u042D\u042E\u042F"
        u"\u0430\u0431\u0432\u0433\u0434\u0435\u0436\u0437\u0438\u0439\u043A\u043B\u043C\u043D\u043E\u043F"
        u"\u0440\u0441\u0442\u0443\u0444\u0445\u0446\u0447\u0448\u0449\u044A\u044B\u044C\u044D\u044E\u044F";
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) high += static_cast<char>(c);
    EXPECT_EQ(Cp1251ToUtf16(high), expected);
    EXPECT_EQ(Utf16ToCp1251(expected), high);
}

TEST(Encoding, LiteralsAreCompiledTo1251) {
    const std::string text = "Симулятор";
    ASSERT_EQ(text.size(), 9u);  // one byte a character
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xD1);
    EXPECT_EQ(Cp1251ToUtf16(text), u"Симулятор");
    EXPECT_EQ(Cp1251ToUtf8(text), std::string(reinterpret_cast<const char*>(u8"Симулятор")));
    EXPECT_EQ(Cp1251ToUtf16("Ёё№"), u"Ёё№");
}

TEST(Encoding, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf16ToCp1251(u"a\u4E2Db"), "a?b");
    EXPECT_EQ(Utf16ToCp1251(u"x\U0001F600y"), "x?y");  // a surrogate pair is one character
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");
    EXPECT_EQ(Utf8ToCp1251("a\xC3"), "a?");  // cut off in the middle
    EXPECT_EQ(Utf8ToCp1251("a\xF0\x9F\x98\x80" "b"), "a?b");  // four bytes, one character
    // A lead byte followed by a plain letter: the lead alone is broken, the letter stays.
    EXPECT_EQ(Utf8ToCp1251("\xD0" "A"), "?A");
    EXPECT_EQ(Utf8ToCp1251("a\x80\xBF\xFF" "b"), "a???b");  // bytes that start no character
    EXPECT_EQ(Utf16ToCp1251(u"x\xD800y"), "x?y");  // half a pair before a plain letter
}

TEST(Encoding, CaseFoldingCoversCyrillic) {
    EXPECT_EQ(UpperCase1251("abc ёжик"), "ABC ЁЖИК");
    EXPECT_EQ(LowerCase1251("ABC ЁЖИК"), "abc ёжик");
    // Every letter of the alphabet, А to Я and Ё, and nothing else.
    for (int c = 0xC0; c <= 0xDF; ++c) {
        EXPECT_EQ(LowerCase1251(std::string(1, static_cast<char>(c))), std::string(1, static_cast<char>(c + 32))) << c;
        EXPECT_EQ(UpperCase1251(std::string(1, static_cast<char>(c + 32))), std::string(1, static_cast<char>(c))) << c;
    }
    EXPECT_EQ(LowerCase1251("@[`{\xBF\xD7"), "@[`{\xBF\xF7");
    EXPECT_EQ(LowerCase1251("AZaz"), "azaz");
    EXPECT_EQ(UpperCase1251("AZaz"), "AZAZ");
    EXPECT_EQ(UpperCase1251("@[`{\xBF\xA8\xB8"), "@[`{\xBF\xA8\xA8");
    EXPECT_TRUE(SameText1251("Опции", "ОПЦИИ"));
    EXPECT_FALSE(SameText1251("Опции", "Опция"));
}

TEST(Convert, WholeNumbers) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("-15"), -15);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("  42"), 42);
    EXPECT_EQ(StrToInt("\t42"), 42);  // copied out of a table
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", "-", "12a", "1.5", "2147483648", "-2147483649", "0x10", "1 "})
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToIntDef("oops", -1), -1);
    EXPECT_EQ(StrToIntDef("2147483648", -1), -1);  // a number, but not one of 32 bits
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("'abc'"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("не является целым числом"), std::string::npos);
    }
    // One past the 64-bit limit and a number of 20 digits are whole numbers that do not fit.
    for (const char* big : {"9223372036854775808", "-9223372036854775809", "12345678901234567890"}) {
        int64_t value = 0;
        EXPECT_FALSE(TryStrToInt64(big, value)) << big;
        try {
            StrToInt64(big);
            ADD_FAILURE() << big;
        } catch (const EConvertError& e) {
            EXPECT_NE(std::string(e.what()).find("вне допустимых пределов"), std::string::npos) << big;
        }
    }
    try {
        StrToInt("2147483648");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("(от -2147483648 до 2147483647)"), std::string::npos)
            << Cp1251ToUtf8(e.what());
    }
}

TEST(Convert, NarrowingAndCheckedArithmetic) {
    EXPECT_EQ(CheckedNarrow<uint8_t>(255), 255);
    EXPECT_THROW(CheckedNarrow<uint8_t>(256), ERangeError);
    EXPECT_THROW(CheckedNarrow<uint8_t>(-1), ERangeError);
    EXPECT_EQ(CheckedNarrow<int8_t>(-128), -128);
    EXPECT_THROW(CheckedNarrow<int8_t>(128), ERangeError);
    EXPECT_EQ(CheckedNarrow<uint16_t>(65535), 65535);
    EXPECT_THROW(CheckedNarrow<uint16_t>(65536), ERangeError);
    EXPECT_THROW(CheckedAdd(INT64_MAX, 1), ERangeError);
    EXPECT_THROW(CheckedMul(INT64_MAX / 2 + 1, 2), ERangeError);
    EXPECT_EQ(CheckedMul(3000000000LL, 3), 9000000000LL);
}

TEST(Convert, RoundHalvesToEven) {
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(-3.5L), -4);
    EXPECT_EQ(Round(2.5000001L), 3);
    EXPECT_EQ(Round(-0.4L), 0);
    // Extended precision keeps a product of large counts exact before rounding.
    EXPECT_EQ(Round(4000000.0L * 1300000.5L), 5200002000000LL);
    EXPECT_THROW(Round(1e19L), ERangeError);
    EXPECT_THROW(Round(-1e19L), ERangeError);
    EXPECT_EQ(Round(-9223372036854775808.0L), INT64_MIN);  // the lowest bound itself fits
}

TEST(Convert, GeneralFloatFormat) {
    EXPECT_EQ(FloatToStr(12.5L), "12,5");
    EXPECT_EQ(FloatToStr(300.0L), "300");
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(-0.25L), "-0,25");
    EXPECT_EQ(FloatToStr(1.0L / 3.0L), "0,333333333333333");
    EXPECT_EQ(FloatToStr(2.0L / 3.0L), "0,666666666666667");
    EXPECT_EQ(FloatToStr(0.0001L), "0,0001");
    EXPECT_EQ(FloatToStr(0.00001L), "1E-5");
    EXPECT_EQ(FloatToStr(123456789012345.0L), "123456789012345");
    EXPECT_EQ(FloatToStr(1234567890123456.0L), "1,23456789012346E15");
    EXPECT_EQ(FloatToStr(1e20L), "1E20");
    EXPECT_EQ(DateToStr(2026, 3, 7), "07.03.2026");
    EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::infinity()), "INF");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<long double>::infinity()), "-INF");
    EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(Convert, FloatsReadBackWhatTheyWereWrittenAs) {
    // The scores of a fleet selection go through text and are compared again.
    for (long double value : {0.0L, 12.5L, -0.25L, 1e8L, 1e-5L, 1e20L, 1234567890123456.0L, 2.0L / 3.0L}) {
        long double back = -1;
        ASSERT_TRUE(TryStrToFloat(FloatToStr(value), back)) << FloatToStr(value);
        EXPECT_EQ(FloatToStr(back), FloatToStr(value));
    }
    long double value = 0;
    EXPECT_TRUE(TryStrToFloat("  -3,5e+2", value));
    EXPECT_EQ(value, -350.0L);
    value = 7;
    for (const char* bad : {"", " ", "-", ",5", "1,", "1.5", "1E", "1E+", "12a", "1 ", "INF", "NAN", "1E99999"})
        EXPECT_FALSE(TryStrToFloat(bad, value)) << bad;
    EXPECT_EQ(value, 7.0L);  // a refused text leaves the value alone
}

TEST(RandomGenerator, SeededSequencesRepeatAndStayInRange) {
    Random a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        double x = a.NextDouble();
        EXPECT_EQ(x, b.NextDouble());
        differs |= x != c.NextDouble();
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(a.Next(0), 0u);
    EXPECT_EQ(a.Next(1), 0u);
}

TEST(RandomGenerator, WholeNumbersAreUniform) {
    Random r(7);
    const int n = 6, draws = 600000;
    int counts[n] = {};
    for (int i = 0; i < draws; ++i) {
        uint32_t v = r.Next(n);
        ASSERT_LT(v, static_cast<uint32_t>(n));
        ++counts[v];
    }
    for (int k = 0; k < n; ++k) EXPECT_NEAR(counts[k], draws / n, draws / n * 0.02) << k;

    // Near 3 * 2^30 a quarter of the raw draws must be thrown back: without
    // that, every third number would come twice as often as its neighbours.
    const uint32_t wide = 3u << 30;
    int residues[3] = {};
    for (int i = 0; i < 300000; ++i) {
        uint32_t v = r.Next(wide);
        ASSERT_LT(v, wide);
        ++residues[v % 3];
    }
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(residues[k], 100000, 2000) << k;
}

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("norvix_rtl_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string PathOf(const std::string& name) { return (dir_ / name).string(); }
    void WriteRaw(const std::string& name, const std::string& bytes) {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }
    std::string ReadRaw(const std::string& name) {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::path dir_;
};

TEST_F(TextFiles, ReadingAcceptsBothLineEndsAndAnUnendedLastLine) {
    WriteRaw("a.txt", "one\r\ntwo\nthree");
    TextFileReader r(PathOf("a.txt"));
    std::vector<std::string> lines;
    while (!r.Eof()) lines.push_back(r.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(r.LineNumber(), 3u);
    EXPECT_EQ(r.ReadLine(), "");  // reading at the end gives an empty line
}

TEST_F(TextFiles, EndOfFileFollowsTheLastLineEnd) {
    // "a CR LF": the end comes right after the first line, so a read-until-end loop reads one line.
    WriteRaw("b.txt", "a\r\n");
    TextFileReader r(PathOf("b.txt"));
    EXPECT_FALSE(r.Eof());
    EXPECT_EQ(r.ReadLine(), "a");
    EXPECT_TRUE(r.Eof());
    // An empty file is at its end at once; a repeat-until-end loop still reads one (empty) line.
    WriteRaw("c.txt", "");
    TextFileReader e(PathOf("c.txt"));
    EXPECT_TRUE(e.Eof());
    std::string s = "x";
    do s = e.ReadLine(); while (!e.Eof());
    EXPECT_EQ(s, "");
    // An empty line in the middle is a line.
    WriteRaw("d.txt", "a\r\n\r\nb\r\n");
    EXPECT_EQ(ReadAllLines(PathOf("d.txt")), (std::vector<std::string>{"a", "", "b"}));
}

TEST_F(TextFiles, WritingUsesCrLfAnd1251) {
    WriteAllLines(PathOf("w.txt"), {"Враг", "", "10"});
    EXPECT_EQ(ReadRaw("w.txt"), "\xC2\xF0\xE0\xE3\r\n\r\n10\r\n");
}

TEST_F(TextFiles, MissingFilesAndBackslashPaths) {
    EXPECT_THROW(TextFileReader(PathOf("nope.dat")), EInOutError);
    try {
        TextFileReader r(PathOf("nope.dat"));
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("nope.dat: нет такого файла или папки"), std::string::npos)
            << Cp1251ToUtf8(e.what());
    }
    std::filesystem::create_directories(dir_ / "logs");
    std::string programPath = dir_.string() + "\\logs\\x.txt";
    WriteAllLines(programPath, {"1"});
    EXPECT_EQ(ReadRaw("logs/x.txt"), "1\r\n");
    EXPECT_TRUE(FileExists(programPath));
    EXPECT_TRUE(DirectoryExists(dir_.string() + "\\logs"));
    EXPECT_THROW(WriteAllLines(dir_.string() + "\\missing\\x.txt", {"1"}), EInOutError);
    // The drive Z: (in either case) is the host's root; other drives stay as they are.
    EXPECT_TRUE(FileExists("Z:" + programPath));
    EXPECT_TRUE(FileExists("z:" + programPath));
    EXPECT_EQ(HostPath("z:\\tmp\\a.txt"), "/tmp/a.txt");
    EXPECT_EQ(HostPath("C:\\tmp"), "C:/tmp");
    // The Win32 side puts its own mapping in; taking it out brings the default back.
    SetPathMapper([](const std::string& path) { return "/mapped/" + path; });
    EXPECT_EQ(HostPath("a.txt"), "/mapped/a.txt");
    SetPathMapper(nullptr);
    EXPECT_EQ(HostPath("z:\\tmp\\a.txt"), "/tmp/a.txt");
}

TEST_F(TextFiles, AFailedAtomicWriteLeavesThePreviousFileWhole) {
    WriteAllLines(PathOf("db.dat"), {"old", "data"}, true);
    EXPECT_EQ(ReadRaw("db.dat"), "old\r\ndata\r\n");
    // The temporary file cannot be made where a folder of its name stands.
    std::filesystem::create_directories(dir_ / "db.dat.tmp");
    EXPECT_THROW(WriteAllLines(PathOf("db.dat"), {"new"}, true), EInOutError);
    EXPECT_EQ(ReadRaw("db.dat"), "old\r\ndata\r\n");
}

TEST_F(TextFiles, OversizedFilesAreRefusedUnreadAndFailedWritesAreTold) {
    // A sparse file one byte over the bound: refused before any of it is read.
    {
        std::ofstream(PathOf("huge.dat"), std::ios::binary);
        std::filesystem::resize_file(dir_ / "huge.dat", kMaxTextFileBytes + 1);
    }
    try {
        TextFileReader reader(PathOf("huge.dat"));
        ADD_FAILURE() << "an oversized file was read";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("слишком велик (больше 64 МБ)"), std::string::npos)
            << Cp1251ToUtf8(e.what());
    }
    // The bound itself is still a file that is read.
    std::filesystem::resize_file(dir_ / "huge.dat", kMaxTextFileBytes);
    EXPECT_EQ(TextFileReader(PathOf("huge.dat")).ReadLine().size(), kMaxTextFileBytes);
    std::filesystem::remove(dir_ / "huge.dat");
    // A device that is always full takes the text into its buffer and fails
    // when it is flushed: the failure is told, in words, with the file's name.
    try {
        WriteAllLines("/dev/full", {"Раунд 1/8"});
        ADD_FAILURE() << "a write to a full device succeeded";
    } catch (const EInOutError& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("/dev/full"), std::string::npos);
        EXPECT_NE(text.find("нет места на диске; файл записан не полностью"), std::string::npos)
            << Cp1251ToUtf8(text);
    }
    // A save over a folder fails at the rename: told, and the temporary file is gone.
    std::filesystem::create_directories(dir_ / "folder.dat");
    try {
        WriteAllLines(PathOf("folder.dat"), {"1"}, true);
        ADD_FAILURE() << "a file replaced a folder";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("это папка, а не файл"), std::string::npos) << Cp1251ToUtf8(e.what());
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "folder.dat.tmp"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder.dat"));
}

TEST_F(TextFiles, SavesFollowLinksKeepPermissionsAndLeaveReadOnlyFilesAlone) {
    namespace fs = std::filesystem;
    WriteAllLines(PathOf("real.dat"), {"old"}, true);
    fs::permissions(dir_ / "real.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(dir_ / "real.dat", dir_ / "link.dat");

    WriteAllLines(PathOf("link.dat"), {"new"}, true);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.dat"));
    EXPECT_EQ(ReadRaw("real.dat"), "new\r\n");
    EXPECT_EQ(fs::status(dir_ / "real.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // Write-protected by the player: refused, whoever runs the program.
    fs::permissions(dir_ / "real.dat", fs::perms::owner_read | fs::perms::group_read);
    try {
        WriteAllLines(PathOf("real.dat"), {"newer"}, true);
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("только для чтения"), std::string::npos) << Cp1251ToUtf8(e.what());
    }
    EXPECT_EQ(ReadRaw("real.dat"), "new\r\n");
    EXPECT_EQ(fs::status(dir_ / "real.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(fs::exists(dir_ / "real.dat.tmp"));
}

TEST_F(TextFiles, AWriterLeftByAnExceptionWritesNothing) {
    WriteAllLines(PathOf("db.dat"), {"old"}, true);
    try {
        TextFileWriter writer(PathOf("db.dat"), true);
        writer.WriteLine("half");
        throw std::runtime_error("interrupted");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadRaw("db.dat"), "old\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "db.dat.tmp"));
    // Without an exception the destructor still writes what was collected.
    { TextFileWriter(PathOf("db.dat"), true).WriteLine("new"); }
    EXPECT_EQ(ReadRaw("db.dat"), "new\r\n");
}

TEST(WebLinks, OnlyWebAddressesReachTheBrowserTheRunChose) {
    // The environment names a browser that cannot start; the run's own choice wins over it.
    setenv("NORVIX_BROWSER", "/nonexistent/browser", 1);
    SetWebBrowserProgram("true");
    EXPECT_TRUE(OpenWebLink("http://host/build.zip"));
    for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "http://host/\"; rm -rf ~"})
        EXPECT_FALSE(OpenWebLink(refused)) << refused;
    SetWebBrowserProgram("");
    EXPECT_FALSE(OpenWebLink("http://host/build.zip"));  // the program could not be started
    unsetenv("NORVIX_BROWSER");
}
