// PathShellExt: the logic of the folder context-menu entry.
#include "PathShellExt.h"

#include <cstring>

#include "ExtResult.h"
#include "ProgramStarter.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_Utf16.h"

namespace {
constexpr unsigned kMenuText = 56, kHelpTextId = 81;

bool endsWithBlank(const std::string& s)
{
    return !s.empty() && (s.back() == ' ' || s.back() == '\t');
}
}  // namespace

int32_t PathShellExt::Initialize(const std::vector<const char*>& paths)
{
    if (paths.empty())
        return ExtResult::kInvalidArg;
    m_paths.clear();
    int32_t result = ExtResult::kOk;
    for (const char* p : paths) {
        const size_t length = p ? ::strnlen(p, kMaxPath + 1) : 0;
        if (length == 0 || length > kMaxPath) {
            result = ExtResult::kInvalidArg;
            continue;
        }
        m_paths.emplace_back(p, length);
    }
    return result;
}

int32_t PathShellExt::QueryContextMenu(std::vector<MenuItem>& menu, unsigned index, unsigned firstId,
                                       unsigned lastId, unsigned flags) const
{
    if ((flags & kDefaultOnly) != 0 || firstId > lastId)
        return ExtResult::itemCount(0);
    MenuItem item;
    item.position = index;
    item.commandId = firstId;
    item.text = Tool_Resource::loadString(kMenuText);
    const size_t at = index < menu.size() ? index : menu.size();
    menu.insert(menu.begin() + std::ptrdiff_t(at), item);
    for (size_t i = 0; i < menu.size(); ++i)
        menu[i].position = unsigned(i);
    return ExtResult::itemCount(1);
}

int32_t PathShellExt::GetCommandString(uintptr_t command, unsigned type, void* buffer, unsigned bufferChars) const
{
    if (command != 0 || (type & ~kUnicode) != kHelpText || buffer == nullptr || bufferChars == 0)
        return ExtResult::kInvalidArg;
    copyText(Tool_Resource::loadString(kHelpTextId), (type & kUnicode) != 0, buffer, bufferChars);
    return ExtResult::kOk;
}

void PathShellExt::copyText(const std::string& text, bool unicode, void* buffer, unsigned bufferChars)
{
    if (unicode) {
        const std::string le = Tool_Utf16::utf8ToUtf16LE(text);
        size_t units = le.size() / 2;
        if (units > bufferChars - 1)
            units = bufferChars - 1;
        auto* out = static_cast<char16_t*>(buffer);
        for (size_t i = 0; i < units; ++i)
            out[i] = char16_t(uint8_t(le[2 * i]) | (uint8_t(le[2 * i + 1]) << 8));
        if (units > 0 && units < le.size() / 2 && out[units - 1] >= 0xD800 && out[units - 1] <= 0xDBFF)
            --units;  // never half a surrogate pair
        out[units] = 0;
        return;
    }
    size_t bytes = text.size() < bufferChars - 1 ? text.size() : bufferChars - 1;
    if (bytes < text.size())
        while (bytes > 0 && (uint8_t(text[bytes]) & 0xC0) == 0x80)
            --bytes;  // the cut lands before a continuation byte: drop the partial character
    auto* out = static_cast<char*>(buffer);
    std::memcpy(out, text.data(), bytes);
    out[bytes] = '\0';
}

std::vector<std::string> PathShellExt::programArguments(const std::vector<std::string>& folders)
{
    if (folders.empty())
        return {};
    std::string joined;
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::string& f = folders[i];
        if (f.empty() || f.find('"') != std::string::npos || f.find_first_of("\r\n") != std::string::npos)
            return {};
        if (i > 0)
            joined += '"';
        joined += f;
        if (endsWithBlank(f))
            joined += '/';
    }
    if (joined.size() > kMaxParameter)
        return {};
    return {"/path", "\"" + joined + " \""};
}

int32_t PathShellExt::InvokeCommand(const char* verb, uintptr_t command, const Starter& starter) const
{
    if (verb != nullptr || command != 0)
        return ExtResult::kInvalidArg;
    const std::vector<std::string> arguments = programArguments(m_paths);
    if (arguments.empty())
        return ExtResult::kInvalidArg;
    const std::string program = ProgramStarter::findProgram();
    if (program.empty())
        return ExtResult::kInvalidArg;
    if (starter)
        starter(program, arguments, ProgramStarter::folderOf(program));
    else
        ProgramStarter::start(program, arguments, ProgramStarter::folderOf(program));
    return ExtResult::kOk;
}
