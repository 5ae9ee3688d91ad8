// dictgen SOURCE.txt OUTPUT.bin
// Checks the UTF-8 dictionary source and writes the binary merged dictionary.
// Nothing is written when the source has an error.
#include "DictionarySource.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: dictgen SOURCE.txt OUTPUT.bin\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "dictgen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    CDictionarySource source;
    if (!source.Parse(text.str(), argv[1])) {
        for (const std::string& error : source.Errors()) std::cerr << error << "\n";
        std::remove(argv[2]);
        return 1;
    }

    const std::string bytes = source.Serialize();
    const std::string temp = std::string(argv[2]) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::cerr << "dictgen: cannot write " << temp << "\n";
            std::remove(temp.c_str());
            return 1;
        }
    }
    if (std::rename(temp.c_str(), argv[2]) != 0) {
        std::cerr << "dictgen: cannot write " << argv[2] << "\n";
        std::remove(temp.c_str());
        return 1;
    }
    size_t translations = 0;
    for (const auto& key : source.GetEntries()) translations += key.second.size();
    std::cout << "dictgen: " << source.GetEntries().size() << " keys, " << translations << " translations, "
              << bytes.size() << " bytes\n";
    return 0;
}
