// FileManagerEntries: installing and removing the file managers' entry.
#include "FileManagerEntries.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "UcaXml.h"
#include "platform/AtomicFileWriter.h"
#include "platform/XdgFolders.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kMenuText = 56, kHelpText = 81;
constexpr size_t kMaxEntryFile = 1u << 20;

void note(std::string* error, const std::string& what)
{
    if (error && error->empty())
        *error = what;
}

// The whole file, or nothing when missing, unreadable or larger than `limit` (`ok` false
// for anything but a readable file or a missing one).
std::string readFile(const std::string& path, bool& exists, bool& ok, size_t limit = kMaxEntryFile)
{
    exists = false;
    ok = true;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        ok = errno == ENOENT;
        return {};
    }
    exists = true;
    if (!S_ISREG(st.st_mode) || size_t(st.st_size) > limit) {
        ok = false;
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    ok = bool(in) || in.eof();
    return s.str();
}

bool writeFile(const std::string& path, const std::string& text, mode_t mode, std::string* error)
{
    const std::string folder = path.substr(0, path.find_last_of('/'));
    if (!XdgFolders::ensureFolder(folder)) {
        note(error, folder + ": " + std::strerror(errno ? errno : EACCES));
        return false;
    }
    AtomicFileWriter writer;
    if (!writer.open(path, AtomicFileWriter::Links::Follow) || !writer.write(text) || !writer.commit()) {
        note(error, path + ": " + std::strerror(errno));
        return false;
    }
    if (mode != 0 && ::chmod(writer.targetPath().empty() ? path.c_str() : writer.targetPath().c_str(), mode) != 0) {
        note(error, path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

bool isExecutable(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

std::string scriptName()
{
    std::string name = Tool_Resource::loadString(kMenuText);
    Tool_Resource::fixFileName(name);
    return name;
}
}  // namespace

const std::vector<FileManagerEntries::Manager>& FileManagerEntries::managers()
{
    static const std::vector<Manager> all = {Manager::Dolphin, Manager::Nautilus, Manager::Nemo,
                                             Manager::Thunar,  Manager::Caja,     Manager::PcmanfmQt};
    return all;
}

FileManagerEntries::FileManagerEntries(std::string launcher, std::string dataHome, std::string configHome)
    : m_launcher(std::move(launcher))
    , m_dataHome(dataHome.empty() ? XdgFolders::dataHome() : std::move(dataHome))
    , m_configHome(configHome.empty() ? XdgFolders::configHome() : std::move(configHome))
{
}

std::string FileManagerEntries::quoteExecArgument(const std::string& argument)
{
    std::string escaped;
    bool reserved = argument.empty();
    for (char c : argument) {
        if (std::strchr(" \t\n\"'\\><~|&;$*?#()`", c))
            reserved = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            escaped += '\\';
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    if (!reserved)
        return escaped;
    return '"' + escaped + '"';
}

std::string FileManagerEntries::escapeDesktopValue(const std::string& value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string FileManagerEntries::shellQuote(const std::string& word)
{
    std::string out = "'";
    for (char c : word) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string FileManagerEntries::entryPath(Manager m) const
{
    switch (m) {
    case Manager::Dolphin: return m_dataHome + "/kio/servicemenus/quendrel-search.desktop";
    case Manager::Nautilus: return m_dataHome + "/nautilus/scripts/" + scriptName();
    case Manager::Nemo: return m_dataHome + "/nemo/actions/quendrel-search.nemo_action";
    case Manager::Thunar: return m_configHome + "/Thunar/uca.xml";
    case Manager::Caja: return m_dataHome + "/caja/scripts/" + scriptName();
    case Manager::PcmanfmQt: return m_dataHome + "/file-manager/actions/quendrel-search.desktop";
    }
    return {};
}

std::string FileManagerEntries::entryText(Manager m) const
{
    const std::string name = escapeDesktopValue(Tool_Resource::loadString(kMenuText));
    const std::string help = escapeDesktopValue(Tool_Resource::loadString(kHelpText));
    const std::string exec = escapeDesktopValue(quoteExecArgument(m_launcher)) + " %F";
    switch (m) {
    case Manager::Dolphin:
        return "[Desktop Entry]\nType=Service\nMimeType=inode/directory;\nActions=quendrelSearch;\n"
               "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n" + std::string(kMarker) + "\n\n"
               "[Desktop Action quendrelSearch]\nName=" + name + "\nIcon=quendrel\nExec=" + exec + "\n";
    case Manager::Nautilus:
    case Manager::Caja:
        return "#!/bin/sh\n# " + std::string(kMarker) + "\n# " + Tool_Resource::loadString(kHelpText) +
               "\nexec " + shellQuote(m_launcher) + " \"$@\"\n";
    case Manager::Nemo:
        return "[Nemo Action]\nName=" + name + "\nComment=" + help + "\nExec=" + exec +
               "\nIcon-Name=quendrel\nSelection=notnone\nExtensions=dir;\n" + std::string(kMarker) + "\n";
    case Manager::PcmanfmQt:
        return "[Desktop Entry]\nType=Action\nName=" + name + "\nTooltip=" + help +
               "\nIcon=quendrel\nProfiles=folders;\n" + std::string(kMarker) + "\n\n"
               "[X-Action-Profile folders]\nMimeTypes=inode/directory;\nSelectionCount=>0\nExec=" + exec + "\n";
    case Manager::Thunar:
        return "<action>\n\t<icon>quendrel</icon>\n\t<name>" + UcaXml::escape(Tool_Resource::loadString(kMenuText)) +
               "</name>\n\t<unique-id>" + std::string(kThunarId) + "</unique-id>\n\t<command>" +
               UcaXml::escape(shellQuote(m_launcher) + " %F") + "</command>\n\t<description>" +
               UcaXml::escape(Tool_Resource::loadString(kHelpText)) +
               "</description>\n\t<patterns>*</patterns>\n\t<directories/>\n</action>\n";
    }
    return {};
}

bool FileManagerEntries::registerThunar(std::string* error) const
{
    const std::string path = entryPath(Manager::Thunar);
    bool exists = false, ok = true;
    const std::string text = readFile(path, exists, ok, UcaXml::kMaxBytes);
    if (!ok) {
        note(error, path + ": cannot be read");
        return false;
    }
    std::string edited, why;
    if (!UcaXml::edit(text, kThunarId, entryText(Manager::Thunar), edited, &why)) {
        note(error, path + ": " + why);
        return false;
    }
    if (exists && edited == text)
        return true;
    return writeFile(path, edited, 0, error);
}

bool FileManagerEntries::unregisterThunar(std::string* error) const
{
    const std::string path = entryPath(Manager::Thunar);
    bool exists = false, ok = true;
    const std::string text = readFile(path, exists, ok, UcaXml::kMaxBytes);
    if (!exists)
        return true;
    std::string edited, why;
    if (!ok || !UcaXml::edit(text, kThunarId, {}, edited, &why)) {
        note(error, path + ": " + (ok ? why : std::string("cannot be read")));
        return false;
    }
    return edited == text || writeFile(path, edited, 0, error);
}

bool FileManagerEntries::registerAll(std::string* error) const
{
    bool allOk = true;
    for (Manager m : managers()) {
        if (m == Manager::Thunar) {
            allOk = registerThunar(error) && allOk;
            continue;
        }
        const std::string path = entryPath(m);
        const std::string wanted = entryText(m);
        const bool executable = m == Manager::Dolphin || m == Manager::Nautilus || m == Manager::Caja;
        bool exists = false, ok = true;
        const std::string current = readFile(path, exists, ok);
        if (exists && ok && current == wanted && (!executable || isExecutable(path)))
            continue;
        if (exists && (!ok || current.find(kMarker) == std::string::npos)) {
            note(error, path + ": " + std::strerror(EEXIST));  // not ours: left alone
            allOk = false;
            continue;
        }
        allOk = writeFile(path, wanted, executable ? 0755 : 0644, error) && allOk;
    }
    return allOk;
}

bool FileManagerEntries::unregisterAll(std::string* error) const
{
    bool allOk = true;
    for (Manager m : managers()) {
        if (m == Manager::Thunar) {
            allOk = unregisterThunar(error) && allOk;
            continue;
        }
        const std::string path = entryPath(m);
        bool exists = false, ok = true;
        const std::string current = readFile(path, exists, ok);
        if (!exists || !ok || current.find(kMarker) == std::string::npos)
            continue;
        if (::unlink(path.c_str()) != 0) {
            note(error, path + ": " + std::strerror(errno));
            allOk = false;
        }
    }
    return allOk;
}

bool FileManagerEntries::isRegistered() const
{
    for (Manager m : managers()) {
        bool exists = false, ok = true;
        const std::string current = readFile(entryPath(m), exists, ok, UcaXml::kMaxBytes);
        if (!exists || !ok)
            return false;
        if (m == Manager::Thunar) {
            std::string edited;
            if (!UcaXml::edit(current, kThunarId, entryText(m), edited) || edited != current)
                return false;
        } else if (current != entryText(m)) {
            return false;
        }
    }
    return true;
}

bool FileManagerEntries::anyRegistered() const
{
    for (Manager m : managers()) {
        bool exists = false, ok = true;
        const std::string current = readFile(entryPath(m), exists, ok, UcaXml::kMaxBytes);
        if (!exists || !ok)
            continue;
        if (m == Manager::Thunar) {
            UcaXml::Layout layout;
            if (UcaXml::read(current, layout))
                for (const UcaXml::Action& a : layout.actions)
                    if (a.uniqueId == kThunarId)
                        return true;
        } else if (current.find(kMarker) != std::string::npos) {
            return true;
        }
    }
    return false;
}
