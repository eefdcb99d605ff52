#include "battle/langfile.h"

#include "battle/datatable.h"
#include "rtl/convert.h"
#include "rtl/textfile.h"

namespace battle {

LangCaptions ReadLangFile(const std::string& path) {
    RequireFile(path);
    rtl::TextFileReader reader(path);
    LangCaptions captions;
    while (static_cast<int>(captions.lines.size()) < kLangLineCount && !reader.Eof()) {
        captions.lines.push_back(reader.ReadLine());
        if (!rtl::PlainTextLine(captions.lines.back())) {
            captions.lines.clear();
            captions.message = "Файл " + path + " поврежден: в строке " + rtl::IntToStr(reader.LineNumber()) +
                               " есть управляющие символы. Подписи остались прежними.";
            return captions;
        }
    }
    if (static_cast<int>(captions.lines.size()) < kLangLineCount)
        captions.message = "Файл " + path + " неполон: подписей в нем " + rtl::IntToStr(captions.lines.size()) +
                           " из " + rtl::IntToStr(kLangLineCount) + ". Подписи со строки " +
                           rtl::IntToStr(captions.lines.size() + 1) + " остались прежними.";
    return captions;
}

}  // namespace battle
