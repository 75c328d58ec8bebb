#include "engine/TextCase.h"

std::string LowerText(const std::string& utf8)
{
    std::string lower = utf8;
    for (char& c : lower)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}
