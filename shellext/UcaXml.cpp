// UcaXml: the bounded reader and editor of the custom-action file.
#include "UcaXml.h"

#include <cstring>

namespace {

bool fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

bool isNameChar(char c)
{
    return c != '\0' && std::strchr(" \t\r\n/>=\"'<", c) == nullptr;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::strchr(" \t\r\n", s.front()))
        s.remove_prefix(1);
    while (!s.empty() && std::strchr(" \t\r\n", s.back()))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::string UcaXml::escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UcaXml::unescape(std::string_view text)
{
    static const struct {
        const char* entity;
        char c;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool done = false;
        if (text[i] == '&')
            for (const auto& e : kEntities)
                if (text.substr(i, std::strlen(e.entity)) == e.entity) {
                    out += e.c;
                    i += std::strlen(e.entity);
                    done = true;
                    break;
                }
        if (!done)
            out += text[i++];
    }
    return out;
}

bool UcaXml::read(std::string_view text, Layout& layout, std::string* error)
{
    layout = Layout{};
    if (text.size() > kMaxBytes)
        return fail(error, "file too large");
    std::vector<std::string> stack;
    bool rootSeen = false, rootDone = false;
    Action current;
    size_t uniqueIdText = std::string::npos;
    size_t i = 0;
    const auto skipTo = [&](std::string_view end) {
        const size_t at = text.find(end, i);
        if (at == std::string_view::npos)
            return false;
        i = at + end.size();
        return true;
    };
    while (i < text.size()) {
        if (text[i] != '<') {
            if (stack.empty() && !std::strchr(" \t\r\n", text[i]) && !(i == 0 && text.substr(0, 3) == "\xEF\xBB\xBF"))
                return fail(error, "text outside the root element");
            i += (i == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") ? 3 : 1;
            continue;
        }
        const size_t tagStart = i;
        std::string_view rest = text.substr(i);
        if (rest.substr(0, 2) == "<?") {
            if (!skipTo("?>"))
                return fail(error, "unclosed processing instruction");
            continue;
        }
        if (rest.substr(0, 4) == "<!--") {
            if (!skipTo("-->"))
                return fail(error, "unclosed comment");
            continue;
        }
        if (rest.substr(0, 9) == "<![CDATA[") {
            if (stack.empty())
                return fail(error, "character data outside the root element");
            if (!skipTo("]]>"))
                return fail(error, "unclosed character data");
            continue;
        }
        if (rest.substr(0, 2) == "<!") {
            const size_t close = text.find('>', i);
            if (close == std::string_view::npos || text.substr(i, close - i).find('[') != std::string_view::npos)
                return fail(error, "unsupported document type declaration");
            i = close + 1;
            continue;
        }
        const bool endTag = rest.substr(0, 2) == "</";
        size_t p = i + (endTag ? 2 : 1);
        const size_t nameStart = p;
        while (p < text.size() && isNameChar(text[p]))
            ++p;
        const std::string name(text.substr(nameStart, p - nameStart));
        if (name.empty())
            return fail(error, "malformed tag");
        // Attributes: skip to '>' outside quotes.
        char quote = 0;
        while (p < text.size() && (quote || text[p] != '>')) {
            if (quote && text[p] == quote)
                quote = 0;
            else if (!quote && (text[p] == '"' || text[p] == '\''))
                quote = text[p];
            else if (!quote && text[p] == '<')
                return fail(error, "malformed tag");
            ++p;
        }
        if (p >= text.size())
            return fail(error, "unclosed tag");
        const bool emptyTag = !endTag && text[p - 1] == '/';
        i = p + 1;
        if (endTag) {
            if (stack.empty() || stack.back() != name)
                return fail(error, "mismatched end tag");
            if (stack.size() == 3 && name == "unique-id" && uniqueIdText != std::string::npos) {
                current.uniqueId = unescape(trim(text.substr(uniqueIdText, tagStart - uniqueIdText)));
                uniqueIdText = std::string::npos;
            }
            if (stack.size() == 2 && name == "action") {
                current.end = i;
                layout.actions.push_back(current);
            }
            if (stack.size() == 1) {
                layout.rootClose = tagStart;
                rootDone = true;
            }
            stack.pop_back();
            continue;
        }
        if (stack.empty()) {
            if (rootSeen || name != "actions")
                return fail(error, rootSeen ? "a second root element" : "the root is not <actions>");
            rootSeen = true;
            if (emptyTag) {
                layout.rootEmptyTag = true;
                layout.rootClose = tagStart;
                layout.rootEmptyTagEnd = i;
                rootDone = true;
                continue;
            }
        }
        if (emptyTag)
            continue;
        if (int(stack.size()) >= kMaxDepth)
            return fail(error, "elements nested too deeply");
        stack.push_back(name);
        if (stack.size() == 2 && name == "action")
            current = Action{tagStart, 0, {}};
        if (stack.size() == 3 && stack[1] == "action" && name == "unique-id")
            uniqueIdText = i;
    }
    if (!stack.empty())
        return fail(error, "unclosed element");
    if (!rootSeen || !rootDone)
        return fail(error, "no <actions> element");
    return true;
}

bool UcaXml::edit(std::string_view text, const std::string& uniqueId, const std::string& block, std::string& out,
                  std::string* error)
{
    if (trim(text).empty()) {
        out = block.empty() ? std::string(text)
                            : "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + block + "</actions>\n";
        return true;
    }
    Layout layout;
    if (!read(text, layout, error))
        return false;
    std::vector<const Action*> ours;
    for (const Action& a : layout.actions)
        if (a.uniqueId == uniqueId)
            ours.push_back(&a);
    if (!block.empty() && ours.size() == 1 && trim(text.substr(ours[0]->begin, ours[0]->end - ours[0]->begin)) == trim(block)) {
        out = std::string(text);
        return true;
    }
    std::string result;
    size_t copied = 0;
    for (const Action* a : ours) {
        // Take the action's own line with it: the blanks before it and one line end after.
        size_t from = a->begin;
        while (from > copied && (text[from - 1] == ' ' || text[from - 1] == '\t'))
            --from;
        size_t to = a->end;
        if (to < text.size() && text[to] == '\r')
            ++to;
        if (to < text.size() && text[to] == '\n')
            ++to;
        result.append(text.substr(copied, from - copied));
        copied = to;
    }
    const size_t insertAt = layout.rootClose;
    result.append(text.substr(copied, insertAt - copied));
    if (!block.empty()) {
        if (layout.rootEmptyTag) {
            result += "<actions>\n" + block + "</actions>";
            result.append(text.substr(layout.rootEmptyTagEnd));
            out = result;
            return true;
        }
        if (!result.empty() && result.back() != '\n')
            result += '\n';
        result += block;
    }
    result.append(text.substr(insertAt));
    out = result;
    return true;
}
