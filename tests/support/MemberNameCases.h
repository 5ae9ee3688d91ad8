// Member names and whether they may be written below the extraction folder:
// one table that both the launcher's check (tests/extract) and the packing
// tool's check (tests/pack) run, so the two sides cannot drift apart. Names
// are code page 1252 bytes with '\' between folders.
#pragma once

#include <cctype>
#include <string>
#include <vector>

namespace quortest {

struct MemberNameCase {
    std::string name;
    bool safe;
};

// Windows opens a device, not a file, for a name whose part before the first
// dot, less trailing blanks, is one of these (in any letter case), whatever
// extension follows and in whatever folder. COM and LPT also take the
// superscript digits of code page 1252 (0xB9, 0xB2, 0xB3).
inline std::vector<std::string> ReservedDeviceNames() {
    std::vector<std::string> names = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    const std::string digits = "123456789\xB9\xB2\xB3";
    for (const char* port : {"COM", "LPT"})
        for (char d : digits) names.push_back(port + std::string(1, d));
    return names;
}

inline std::vector<MemberNameCase> MemberNameCases() {
    std::vector<MemberNameCase> cases;
    for (const std::string& device : ReservedDeviceNames()) {
        std::string lower = device, mixed = device;
        for (size_t i = 0; i < device.size(); ++i) {
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(device[i])));
            if (i % 2 == 1) mixed[i] = lower[i];
        }
        // Every form that reaches the device.
        for (const std::string& form : {device, lower, mixed, device + ".txt", lower + ".tar.gz", mixed + ".log.txt",
                                        device + " .txt", device + "  . .a.b", device + "..txt", "dir\\" + device,
                                        "a\\b\\" + lower + ".txt", device + "\\file.txt", mixed + ".d\\file.txt",
                                        "a\\" + device + " .x\\file"})
            cases.push_back({form, false});
        // Near misses: the name is no device when more stands before the first dot.
        for (const std::string& form : {device + "0.txt", device + "x", "x" + device + ".txt", device + "_.tar.gz",
                                        "a." + device, "dir.x\\a." + lower + ".txt", device + " x.txt"})
            cases.push_back({form, true});
    }
    // Ports without a number, or with one that names no device.
    for (const char* name : {"COM", "LPT", "COM0", "LPT0.txt", "COM10", "lpt\xBC", "COM\xB9\xB2", "CONIN", "CONOUT"})
        cases.push_back({name, true});
    // The rest of the rule: names that leave the folder, alias other names,
    // carry characters Windows refuses, or take the spool file's place.
    for (const char* name : {"", "\\abs.txt", "C:\\x.txt", "C:x", "file.txt:stream", "..", "..\\up.txt", "a\\..\\..\\up",
                             ".", ".\\x", "a\\\\b", "a\\", "trailing.", "trailing ", "dir.\\x", "dir \\x", "...",
                             "tab\there", "del\x7F", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "temp.htar", "TEMP.Htar",
                             "Temp.htar\\inside.txt", "temp~lcp.hta", "ABCDEF~1.TXT", "LONGFO~1\\x.txt"})
        cases.push_back({name, false});
    for (const char* name : {"setup.exe", "a\\b\\c.txt", ".hidden", "..name", "a..b", "dir\\temp.htar", "temp.htar.txt",
                             "caf\xE9 \x80.txt", "\xDE\xFE\\\xFF.txt", "a b\\c d.txt", "~lock.txt", "notes~draft.txt",
                             "a~b~c.text"})
        cases.push_back({name, true});
    return cases;
}

}  // namespace quortest
