#include "ProgramRootFolder.h"

#include <algorithm>
#include <cctype>

std::string ProgramRootFolder(const std::string &executablePath)
{
    std::string folder = executablePath;
    const auto cut = folder.find_last_of("/\\");
    folder = cut == std::string::npos ? std::string() : folder.substr(0, cut);
    const auto last = folder.find_last_of("/\\");
    std::string name = last == std::string::npos ? folder : folder.substr(last + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "bin" && last != std::string::npos)
        folder = folder.substr(0, last);
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\'))
        folder += '/';
    return folder;
}
