#include "platform/IniFile.h"

#include "platform/AtomicFileWriter.h"
#include "platform/AsciiCase.h"
#include "platform/Utf8Sequence.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxFileBytes = 64u << 20;  // far above any profile file; guards memory

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A value enclosed in a matching pair of double or single quotes loses that one pair.
std::string unquoted(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// The text to write for `value` so that reading it back gives `value` again.
std::string quotedIfNeeded(std::string_view v) {
    const bool blankEnds = !v.empty() && (isBlank(v.front()) || isBlank(v.back()));
    const bool enclosed = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    if (blankEnds || enclosed)
        return "\"" + std::string(v) + "\"";
    return std::string(v);
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Length of `s` cut to at most `limit` bytes without splitting a UTF-8 sequence.
size_t utf8Cut(std::string_view s, size_t limit) {
    if (s.size() <= limit)
        return s.size();
    size_t cut = limit;
    // Step back over continuation bytes; if the lead before them announces more bytes than
    // fit, drop the whole sequence.
    size_t lead = cut;
    while (lead > 0 && Utf8Sequence::isContinuation(static_cast<unsigned char>(s[lead - 1])) && cut - lead < 3)
        --lead;
    if (lead > 0) {
        const size_t need = static_cast<size_t>(Utf8Sequence::leadLength(static_cast<unsigned char>(s[lead - 1])));
        if (need > 1 && (cut - (lead - 1)) < need)
            cut = lead - 1;
    }
    return cut;
}

}  // namespace

bool IniFile::load(const std::string& path) {
    m_path = path;
    m_lastError = 0;
    parse({});
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        m_lastError = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
        m_lastError = S_ISDIR(st.st_mode) ? EISDIR : (S_ISREG(st.st_mode) ? EFBIG : EINVAL);
        return false;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_lastError = errno;
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > kMaxFileBytes) {
            m_lastError = EFBIG;
            return false;
        }
    }
    parse(bytes);
    return true;
}

void IniFile::parse(std::string_view text) {
    m_lines.clear();
    m_bom = text.substr(0, 3) == "\xEF\xBB\xBF";
    if (m_bom)
        text.remove_prefix(3);
    m_crlf = false;
    m_finalNewline = text.empty() || text.back() == '\n';
    bool first = true;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view raw = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
            if (first)
                m_crlf = true;
        }
        first = false;
        Line line;
        line.raw = std::string(raw);
        const std::string_view t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            const size_t close = t.find(']');
            if (close != std::string_view::npos) {
                line.kind = Kind::Section;
                line.name = std::string(trim(t.substr(1, close - 1)));
            }
        } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
            const size_t eq = t.find('=');
            if (eq != std::string_view::npos) {
                line.kind = Kind::Key;
                line.name = std::string(trim(t.substr(0, eq)));
                line.value = unquoted(trim(t.substr(eq + 1)));
            }
        }
        m_lines.push_back(std::move(line));
    }
    rebuildIndex();
}

void IniFile::rebuildIndex() {
    m_firstSection.clear();
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::Section)
            m_firstSection.emplace(AsciiCase::folded(m_lines[i].name), i);
}

size_t IniFile::findSection(std::string_view section) const {
    const auto it = m_firstSection.find(AsciiCase::folded(trim(section)));
    return it == m_firstSection.end() ? std::string::npos : it->second;
}

size_t IniFile::sectionEnd(size_t sectionLine) const {
    size_t i = sectionLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

size_t IniFile::findKey(size_t sectionLine, std::string_view key) const {
    key = trim(key);
    const size_t end = sectionEnd(sectionLine);
    for (size_t i = sectionLine + 1; i < end; ++i)
        if (m_lines[i].kind == Kind::Key && AsciiCase::equalFolded(m_lines[i].name, key))
            return i;
    return std::string::npos;
}

std::optional<std::string> IniFile::getValue(std::string_view section, std::string_view key) const {
    const size_t s = findSection(section);
    if (s == std::string::npos)
        return std::nullopt;
    const size_t k = findKey(s, key);
    if (k == std::string::npos)
        return std::nullopt;
    return m_lines[k].value;
}

std::string IniFile::getString(std::string_view section, std::string_view key, std::string_view defaultValue,
                               size_t bufferSize) const {
    if (bufferSize == 0)
        return {};
    const auto value = getValue(section, key);
    const std::string_view text = value ? std::string_view(*value) : trim(defaultValue);
    return std::string(text.substr(0, utf8Cut(text, bufferSize - 1)));
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::Section && findSection(m_lines[i].name) == i)
            out.push_back(m_lines[i].name);
    return out;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const {
    std::vector<std::string> out;
    const size_t s = findSection(section);
    if (s == std::string::npos)
        return out;
    const size_t end = sectionEnd(s);
    for (size_t i = s + 1; i < end; ++i)
        if (m_lines[i].kind == Kind::Key && findKey(s, m_lines[i].name) == i)
            out.push_back(m_lines[i].name);
    return out;
}

bool IniFile::setValue(std::string_view section, std::string_view key, const char* value) {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty() || hasLineBreak(section) || hasLineBreak(key) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';' || key.front() == '#' || (value && hasLineBreak(value)))
        return false;

    const size_t s = findSection(section);
    if (!value) {
        if (s == std::string::npos)
            return true;
        for (size_t k; (k = findKey(s, key)) != std::string::npos;)
            m_lines.erase(m_lines.begin() + static_cast<long>(k));
        rebuildIndex();
        return true;
    }

    Line line;
    line.kind = Kind::Key;
    line.value = value;
    if (s != std::string::npos) {
        const size_t k = findKey(s, key);
        if (k != std::string::npos) {
            line.name = m_lines[k].name;
            line.raw = line.name + "=" + quotedIfNeeded(line.value);
            m_lines[k] = std::move(line);
            return true;
        }
        // After the section's last non-blank line, so blank separators stay in place.
        size_t at = sectionEnd(s);
        while (at > s + 1 && trim(m_lines[at - 1].raw).empty())
            --at;
        line.name = std::string(key);
        line.raw = line.name + "=" + quotedIfNeeded(line.value);
        m_lines.insert(m_lines.begin() + static_cast<long>(at), std::move(line));
        rebuildIndex();
        return true;
    }

    if (!m_lines.empty() && !trim(m_lines.back().raw).empty()) {
        m_lines.push_back(Line{});
    }
    Line header;
    header.kind = Kind::Section;
    header.name = std::string(section);
    header.raw = "[" + header.name + "]";
    m_lines.push_back(std::move(header));
    line.name = std::string(key);
    line.raw = line.name + "=" + quotedIfNeeded(line.value);
    m_lines.push_back(std::move(line));
    m_finalNewline = true;
    rebuildIndex();
    return true;
}

bool IniFile::deleteSection(std::string_view section) {
    bool removed = false;
    for (size_t s; (s = findSection(section)) != std::string::npos;) {
        m_lines.erase(m_lines.begin() + static_cast<long>(s), m_lines.begin() + static_cast<long>(sectionEnd(s)));
        rebuildIndex();
        removed = true;
    }
    return removed;
}

std::string IniFile::text() const {
    std::string out;
    if (m_bom)
        out += "\xEF\xBB\xBF";
    const char* eol = m_crlf ? "\r\n" : "\n";
    for (size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i].raw;
        if (i + 1 < m_lines.size() || m_finalNewline)
            out += eol;
    }
    return out;
}

bool IniFile::save() {
    m_lastError = writeFileAtomically(m_path, text());
    return m_lastError == 0;
}

int IniFile::writeFileAtomically(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return EINVAL;
    // Written beside the file a symbolic link points to, so that the link survives.
    AtomicFileWriter writer;
    if (!writer.open(path, AtomicFileWriter::Links::Follow) || !writer.write(bytes) || !writer.commit())
        return errno != 0 ? errno : EIO;
    return 0;
}

std::string IniFile::readProfileString(const std::string& path, std::string_view section, std::string_view key,
                                       std::string_view defaultValue, size_t bufferSize) {
    IniFile ini;
    ini.load(path);
    return ini.getString(section, key, defaultValue, bufferSize);
}

bool IniFile::writeProfileString(const std::string& path, std::string_view section, const char* key,
                                 const char* value) {
    IniFile ini;
    if (!ini.load(path) && ini.lastError() != ENOENT)
        return false;
    if (!key) {
        if (!ini.deleteSection(section))
            return true;
    } else if (!ini.setValue(section, key, value)) {
        return false;
    } else if (!value && ini.lastError() == ENOENT) {
        return true;  // deleting from a file that does not exist: nothing to write
    }
    return ini.save();
}
