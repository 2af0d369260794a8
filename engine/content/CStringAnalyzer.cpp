#include "content/CStringAnalyzer.h"

#include "tools/Tool_Text.h"

CStringAnalyzer::~CStringAnalyzer() = default;

bool CStringAnalyzer::isOPC(char ch) {
    switch (ch) {
    case OPC_AND:
    case OPC_OR:
    case OPC_XOR:
    case OPC_NOT:
    case OPC_HEX:
    case OPC_WW:
    case OPC_CS:
    case OPC_ASI:
    case OPC_UNI:
        return true;
    default:
        return false;
    }
}

bool CStringAnalyzer::chooseInTable(char ch, Analysis_Data& data) {
    switch (ch) {
    case OPC_AND: data.relation = 0; break;
    case OPC_OR: data.relation = 1; break;
    case OPC_XOR: data.relation = 2; break;
    case OPC_NOT: data.isNot = 1; break;
    case OPC_HEX: data.isHex = 1; break;
    case OPC_WW: data.isWholeWord = 1; break;
    case OPC_CS: data.isCaseSensitive = 1; break;
    case OPC_ASI: data.isUnicode = 0; break;
    case OPC_UNI: data.isUnicode = 1; break;
    default: break;
    }
    return true;
}

bool CStringAnalyzer::analysis(std::string text, Analysis_Data& data) {
    Tool_Text::trim(text);
    if (text.empty())
        return false;
    size_t i = 0;
    while (i < text.size() && isOPC(text[i])) {
        chooseInTable(text[i], data);
        ++i;
    }
    if (i < text.size())
        data.text = text.substr(i);
    return true;
}

void CStringAnalyzer::divideString(const std::string& src, std::string& ops, std::string& rest) {
    const std::string s = Tool_Text::trimmed(src);
    ops.clear();
    if (!s.empty() && isDivideChar(s[0])) {
        size_t i = 1;
        while (i < s.size() && (isDivideChar(s[i]) || s[i] == ' '))
            ++i;
        ops = s.substr(0, i);
        rest = s.substr(i);
    } else {
        rest = s;
    }
}
