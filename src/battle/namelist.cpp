#include "battle/namelist.h"

#include "battle/datatable.h"
#include "rtl/convert.h"
#include "rtl/textfile.h"

namespace battle {

NameList ReadNameList(const std::string& path) {
    RequireFile(path);
    rtl::TextFileReader reader(path);
    NameList list;
    auto damaged = [&](const std::string& why) {
        list.names.clear();
        list.message = "Файл " + path + " поврежден: " + why + " Список имен оставлен пустым.";
        return list;
    };
    if (reader.Eof()) return damaged("он пуст.");
    if (!rtl::PlainTextLine(reader.ReadLine())) return damaged("в строке 1 есть управляющие символы.");
    do {
        std::string name = reader.ReadLine();
        if (!rtl::PlainTextLine(name))
            return damaged("в строке " + rtl::IntToStr(reader.LineNumber()) + " есть управляющие символы.");
        if (static_cast<int>(list.names.size()) == kMaxListNames)
            return damaged("имен в нем больше " + rtl::IntToStr(kMaxListNames) + ".");
        list.names.push_back(std::move(name));
    } while (!reader.Eof());
    return list;
}

}  // namespace battle
