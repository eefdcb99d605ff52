// Memo lines reach the edit window in batches; whatever path they take,
// the lines, the text, the files and the window must agree exactly.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rtl/textfile.h"

using namespace vcl;
using vcltest::Pump;

namespace {

struct MemoFixture : ::testing::Test {
    void SetUp() override {
        form = NewForm<TForm>(nullptr);
        form->SetClientSize(420, 320);
        memo = new TMemo(form);
        memo->SetParent(form);
        memo->SetBounds(10, 10, 400, 300);
        memo->SetScrollBars(ssVertical);
        form->Show();
        Pump();
    }
    void TearDown() override { form->Free(); }

    std::string LogLine(int i) { return "    Корабль " + std::to_string(i) + " из 5000 Структура:" + std::to_string(i * 7); }

    // The vertical scroll range as the window keeps it, read without a
    // message to the memo (a message would bring it up to date first).
    int ScrollMax() {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE;
        GetScrollInfo(memo->Handle(), SB_VERT, &info);
        return info.nMax;
    }
    // Pumps until the window has caught up with `lines` lines, at most 3 s.
    bool WindowCatchesUp(int lines) {
        for (int i = 0; i < 300; ++i) {
            Pump();
            if (ScrollMax() >= lines - 1) return true;
            Sleep(10);
        }
        return false;
    }

    TForm* form = nullptr;
    TMemo* memo = nullptr;
};

}  // namespace

using Memo = MemoFixture;

namespace {

DWORD WINAPI SetTextFromAnotherThread(LPVOID window) {
    SendMessageW(static_cast<HWND>(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Флот\r\nЛинкор 5"));
    return 0;
}

}  // namespace

TEST_F(Memo, ManyAddedLinesReadBackExactlyAndTheLastIsInView) {
    TStrings* lines = memo->Lines();
    std::vector<std::string> expected;
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        expected.push_back(LogLine(i));
        lines->Add(expected.back());
        text += expected.back() + "\r\n";
    }
    EXPECT_EQ(lines->Count(), 5000);
    EXPECT_EQ(lines->Get(0), expected[0]);
    EXPECT_EQ(lines->Get(4999), expected[4999]);
    EXPECT_EQ(lines->Text(), text);
    EXPECT_THROW(lines->Get(5000), EListError);
    // The window holds every line (far beyond the edit control's default
    // limit of 30,000 characters) and shows the newest.
    EXPECT_EQ(memo->Text(), text);
    EXPECT_EQ(vcltest::MemoLines(memo), expected);
    EXPECT_GT(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 4950);

    // Lines added while the handler pumps messages reach the window without a read.
    for (int i = 0; i < 50; ++i) lines->Add(LogLine(5000 + i));
    EXPECT_TRUE(WindowCatchesUp(5050));
    EXPECT_EQ(lines->Get(5049), LogLine(5049));
    EXPECT_GT(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 5000);

    // A long batch reaches an empty window a part at a time, the program
    // answering between (also as the scroll bar comes up), and then whole.
    lines->Clear();
    Pump();
    for (int i = 0; i < 15000; ++i) lines->Add(LogLine(i));
    Sleep(150);
    Pump();
    EXPECT_LT(ScrollMax(), 14999);
    EXPECT_TRUE(WindowCatchesUp(15000));
}

TEST_F(Memo, ClearInTheMiddleOfABatchAndEditsOfEarlierLines) {
    TStrings* lines = memo->Lines();
    for (int i = 0; i < 300; ++i) lines->Add(LogLine(i));
    lines->Clear();
    lines->Add("Инициация модуля загрузки");
    lines->Add("Раунд 1/8");
    EXPECT_EQ(lines->Count(), 2);
    EXPECT_EQ(vcltest::MemoLines(memo), (std::vector<std::string>{"Инициация модуля загрузки", "Раунд 1/8"}));

    // Lines already in the window, then pending ones, changed in place.
    for (int i = 0; i < 3; ++i) lines->Add("строка " + std::to_string(i));
    lines->Put(0, "Инициация ядра");
    lines->Insert(1, "вставка");
    lines->Delete(2);  // "Раунд 1/8"
    lines->Put(4, "изменена");
    lines->Insert(lines->Count(), "конец");
    std::vector<std::string> expected{"Инициация ядра", "вставка", "строка 0", "строка 1", "изменена", "конец"};
    EXPECT_EQ(lines->ToVector(), expected);
    EXPECT_EQ(vcltest::MemoLines(memo), expected);
    EXPECT_THROW(lines->Insert(8, "x"), EListError);
    EXPECT_THROW(lines->Delete(-1), EListError);

    // A line with breaks in it becomes lines, as the window shows them.
    lines->Clear();
    lines->Add("a\r\nb");
    lines->Add("c\n");
    EXPECT_EQ(lines->Count(), 4);
    EXPECT_EQ(lines->ToVector(), vcltest::MemoLines(memo));
    EXPECT_EQ(lines->Get(3), "");

    // Bounded, it keeps the newest lines under one that counts the dropped
    // ones (the count's own line not among them), from the last clear on.
    memo->SetLineBound(10, [](uint64_t n) { return "пропущено " + std::to_string(n); });
    for (int i = 0; i < 25; ++i) {
        lines->Add(LogLine(i));
        if (i == 7) EXPECT_EQ(vcltest::MemoLines(memo).size(), 7u);  // the window holds some before a drop
    }
    expected = {"пропущено 21"};  // of the 4 + 25 lines
    for (int i = 17; i < 25; ++i) expected.push_back(LogLine(i));
    EXPECT_EQ(lines->ToVector(), expected);
    EXPECT_EQ(vcltest::MemoLines(memo), expected);
    lines->Clear();
    for (int i = 0; i < 11; ++i) lines->Add(LogLine(i));
    EXPECT_EQ(lines->Get(0), "пропущено 6");
}

// A battle log replaced by one as long leaves the scroll bars as they were:
// the text is painted again, the frame and its bars not; a log of another
// length moves the bars, and they are painted.
TEST_F(Memo, FrameIsPaintedAgainOnlyWhenTheScrollBarsChange) {
    int framePaints = 0, clientPaints = 0;
    const TWindowProcToken token = memo->ReplaceWindowProc([&](TMessage& m) {
        if (m.Msg == WM_NCPAINT) ++framePaints;
        if (m.Msg == WM_PAINT) ++clientPaints;
        memo->CallPreviousWindowProc(token, m);
    });
    TStrings* lines = memo->Lines();
    auto battle = [&](int number, int count) {
        lines->Clear();
        std::vector<std::string> written;
        for (int i = 0; i < count; ++i) written.push_back(LogLine(number * 1000 + i));
        for (const std::string& line : written) lines->Add(line);
        EXPECT_EQ(vcltest::MemoLines(memo), written);  // the read writes them into the window
        framePaints = clientPaints = 0;
        Pump();
        return written;
    };
    battle(1, 100);
    battle(2, 100);
    EXPECT_EQ(framePaints, 0);
    EXPECT_GT(clientPaints, 0);
    EXPECT_EQ(ScrollMax(), 100);  // and the empty line after the last break

    battle(3, 250);
    EXPECT_GT(framePaints, 0);
    EXPECT_EQ(ScrollMax(), 250);
    battle(4, 250);
    EXPECT_EQ(framePaints, 0);
    memo->RestoreWindowProc(token);
}

TEST_F(Memo, SavedFileHoldsEveryPendingLineIn1251WithCrLf) {
    const std::string path = "vcl_memo_batch.txt";
    TStrings* lines = memo->Lines();
    lines->Add("Симуляция");
    Pump();
    for (int i = 0; i < 2000; ++i) lines->Add(LogLine(i));
    lines->Add("");
    lines->SaveToFile(path);
    std::vector<std::string> onDisk = rtl::ReadAllLines(path);
    ASSERT_EQ(onDisk.size(), 2002u);
    EXPECT_EQ(onDisk[0], "Симуляция");
    EXPECT_EQ(onDisk[2000], LogLine(1999));
    EXPECT_EQ(onDisk[2001], "");
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char head[13] = {};
    ASSERT_EQ(fread(head, 1, 11, file), 11u);
    fclose(file);
    EXPECT_EQ(std::string(head, 11), "Симуляция\r\n");

    lines->Clear();
    lines->Add("старое");
    lines->LoadFromFile(path);
    EXPECT_EQ(lines->Count(), 2002);
    EXPECT_EQ(lines->ToVector(), onDisk);
    EXPECT_EQ(vcltest::MemoLines(memo), onDisk);
    remove(path.c_str());
}

TEST_F(Memo, LinesChangedWhileHiddenAreShownWhenTheMemoIsShown) {
    TStrings* lines = memo->Lines();
    lines->Add("до");
    Pump();
    memo->Hide();
    for (int i = 0; i < 400; ++i) lines->Add(LogLine(i));
    lines->Put(0, "после");
    Pump();
    EXPECT_EQ(lines->Count(), 401);
    EXPECT_EQ(lines->Get(0), "после");
    memo->Show();
    EXPECT_TRUE(WindowCatchesUp(401));
    std::vector<std::string> shown = vcltest::MemoLines(memo);
    ASSERT_EQ(shown.size(), 401u);
    EXPECT_EQ(shown[0], "после");
    EXPECT_EQ(shown[400], LogLine(399));
}

TEST_F(Memo, TextTypedOrSetDirectlyIsWhatTheLinesRead) {
    TStrings* lines = memo->Lines();
    lines->Add("будет заменено");
    vcltest::TypeText(memo, "Шпионский доклад");
    EXPECT_EQ(lines->Count(), 1);
    EXPECT_EQ(lines->Get(0), "Шпионский доклад");
    lines->Add("Флот");
    EXPECT_EQ(vcltest::MemoLines(memo), (std::vector<std::string>{"Шпионский доклад", "Флот"}));

    for (int i = 0; i < 10; ++i) lines->Add(LogLine(i));
    memo->SetText("a\r\nb");  // pending lines give way to the new text
    EXPECT_EQ(lines->ToVector(), (std::vector<std::string>{"a", "b"}));
    lines->Add("c");
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc\r\n");

    // Changing the scroll bars makes a new window with the same text.
    for (int i = 0; i < 10; ++i) lines->Add(LogLine(i));
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    EXPECT_EQ(lines->Count(), 13);
    EXPECT_EQ(vcltest::MemoLines(memo), lines->ToVector());

    // Focus comes to the memo while lines wait: what is typed then follows them.
    lines->Clear();
    for (int i = 0; i < 3; ++i) lines->Add(LogLine(i));
    memo->SetFocus();
    SendMessageW(memo->Handle(), WM_CHAR, '!', 0);
    EXPECT_EQ(vcltest::MemoLines(memo), (std::vector<std::string>{LogLine(0), LogLine(1), LogLine(2), "!"}));

    // Text set by another thread or program (a paste tool, an automation
    // tool) replaces what the lines read, read before or still pending.
    EXPECT_EQ(lines->Count(), 4);
    lines->Add("ждет");
    const HWND window = memo->Handle();
    HANDLE setter = CreateThread(nullptr, 0, SetTextFromAnotherThread, window, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &setter, FALSE, 5000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) Pump();
    CloseHandle(setter);
    EXPECT_EQ(lines->ToVector(), (std::vector<std::string>{"Флот", "Линкор 5"}));
}

namespace {

// The 24-bit pixels of a BMP file written by SaveScreenshot, top row first.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<unsigned char> bytes;
    COLORREF At(int x, int y) const {
        size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
        size_t at = 54 + stride * static_cast<size_t>(height - 1 - y) + static_cast<size_t>(x) * 3;
        return RGB(bytes[at + 2], bytes[at + 1], bytes[at]);
    }
};

Bitmap ReadBitmap(const std::string& path) {
    Bitmap bitmap;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bitmap;
    unsigned char c;
    while (fread(&c, 1, 1, file) == 1) bitmap.bytes.push_back(c);
    fclose(file);
    if (bitmap.bytes.size() < 54) return bitmap;
    memcpy(&bitmap.width, &bitmap.bytes[18], 4);
    memcpy(&bitmap.height, &bitmap.bytes[22], 4);
    return bitmap;
}

}  // namespace

TEST_F(Memo, ScreenshotShowsTheTitleBarWithItsCaptionAndNotWhatCoversTheWindow) {
    form->SetCaption("Симуляция");
    memo->Lines()->Add("Раунд 1/8");
    // Another window over the title bar, as the windows of tests running
    // at the same time may be.
    auto* cover = NewForm<TForm>(nullptr);
    cover->SetBorderStyle(bsNone);
    cover->SetColor(clRed);
    cover->SetBounds(form->Left() + 40, form->Top(), 200, 40);
    cover->SetFormStyle(fsStayOnTop);
    cover->Show();
    Pump();
    const std::string path = "vcl_memo_screenshot.bmp";
    ASSERT_TRUE(vcltest::SaveScreenshot(form, path));
    cover->Free();
    Bitmap shot = ReadBitmap(path);
    remove(path.c_str());
    ASSERT_EQ(shot.width, form->Width());
    ASSERT_EQ(shot.height, form->Height());
    // The title bar lies between the frame and the client area.
    POINT client = form->ClientToScreen(POINT{0, 0});
    int frame = client.x - form->Left();
    int titleTop = frame, titleBottom = client.y - form->Top() - 1;
    ASSERT_GT(titleBottom - titleTop, 10);
    int caption = 0, text = 0, covered = 0;
    for (int y = titleTop; y < titleBottom; ++y) {
        for (int x = frame; x < shot.width / 2; ++x) {
            COLORREF pixel = shot.At(x, y);
            if (pixel == GetSysColor(COLOR_ACTIVECAPTION)) ++caption;
            if (pixel == GetSysColor(COLOR_CAPTIONTEXT)) ++text;
            if (pixel == RGB(255, 0, 0)) ++covered;
        }
    }
    EXPECT_GT(caption, 20);
    EXPECT_GT(text, 20);  // the caption's letters
    EXPECT_EQ(covered, 0);
    // The client area: the memo's white inside.
    EXPECT_EQ(shot.At(client.x - form->Left() + 100, client.y - form->Top() + 150), GetSysColor(COLOR_WINDOW));
}

TEST_F(Memo, ANewFontColourRedrawsTheTextButTheSameFontIsNotGivenAgain) {
    for (int i = 0; i < 300; ++i) memo->Lines()->Add(LogLine(i));
    ASSERT_TRUE(WindowCatchesUp(300));
    int fontsGiven = 0;
    TWindowProcToken token = 0;
    token = memo->ReplaceWindowProc([&](TMessage& m) {
        fontsGiven += m.Msg == WM_SETFONT;
        memo->CallPreviousWindowProc(token, m);
    });
    auto inkOf = [&](COLORREF colour) {
        Pump();
        HDC dc = GetDC(memo->Handle());
        int ink = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) ink += GetPixel(dc, x, y) == colour;
        ReleaseDC(memo->Handle(), dc);
        return ink;
    };
    // Told the font it has again, an edit lays out all its text anew.
    memo->Font()->SetColor(clRed);
    EXPECT_EQ(fontsGiven, 0);
    EXPECT_GT(inkOf(RGB(255, 0, 0)), 50);
    // Another font does reach the window.
    memo->Font()->SetHeight(-20);
    EXPECT_EQ(fontsGiven, 1);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(memo->Handle(), WM_GETFONT, 0, 0)), memo->Font()->Handle());
    memo->RestoreWindowProc(token);
    EXPECT_EQ(memo->Lines()->Count(), 300);
}
