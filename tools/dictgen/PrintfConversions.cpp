#include "PrintfConversions.h"

#include <cstring>

bool ExtractPrintfConversions(const std::string& text, std::vector<std::string>& out, std::string& error)
{
    size_t i = 0;
    while ((i = text.find('%', i)) != std::string::npos) {
        const size_t start = i++;
        if (i < text.size() && text[i] == '%') {
            out.push_back("%%");
            ++i;
            continue;
        }
        while (i < text.size() && strchr("-+ 0#", text[i])) ++i;
        if (i < text.size() && text[i] == '*') ++i;
        else while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        if (i < text.size() && text[i] == '.') {
            ++i;
            if (i < text.size() && text[i] == '*') ++i;
            else while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        }
        // Length modifiers, the Microsoft ones included (I, I32, I64, w).
        static const char* const kLengths[] = {"I64", "I32", "hh", "ll", "h", "l", "L", "I", "w", "z", "j", "t"};
        for (const char* length : kLengths) {
            if (text.compare(i, strlen(length), length) == 0) {
                i += strlen(length);
                break;
            }
        }
        if (i >= text.size() || !strchr("diouxXeEfgGaAcCsSpn", text[i])) {
            error = "incomplete printf conversion \"" + text.substr(start, i + 1 - start) + "\"";
            return false;
        }
        ++i;
        out.push_back(text.substr(start, i - start));
    }
    return true;
}
