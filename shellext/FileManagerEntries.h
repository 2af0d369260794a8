#pragma once
// The "search here" entry of the file managers for the current user: a Dolphin service
// menu, a Nautilus script, a Nemo action, a Thunar custom action (in uca.xml), a Caja
// script and a PCManFM-Qt action, each starting `launcher` (the qdext program) with the
// selected folders.
//
// Where: below the data home ($XDG_DATA_HOME, else ~/.local/share): kio/servicemenus/
// quendrel-search.desktop (executable), nautilus/scripts/<menu text> and caja/scripts/
// <menu text> (executable shell scripts), nemo/actions/quendrel-search.nemo_action,
// file-manager/actions/quendrel-search.desktop; below the config home ($XDG_CONFIG_HOME,
// else ~/.config): Thunar/uca.xml. Every file of ours carries the line kMarker; the Thunar
// action has the unique id kThunarId.
//
// registerAll() writes only what differs (registering twice changes nothing);
// unregisterAll() removes only files that carry the marker and only the Thunar action of
// our id. Every write is crash-safe; uca.xml keeps every other action byte for byte and is
// left alone when it cannot be read. Both return false with the first failure's reason
// and still do the rest. Any thread; no exceptions.
#include <string>
#include <vector>

class FileManagerEntries {
public:
    static constexpr const char* kMarker = "X-Quendrel-Entry=qdext";
    static constexpr const char* kThunarId = "quendrel-qdext-search";

    enum class Manager { Dolphin, Nautilus, Nemo, Thunar, Caja, PcmanfmQt };
    static const std::vector<Manager>& managers();

    // `launcher`: the absolute path of qdext. The folders default to the environment's.
    FileManagerEntries(std::string launcher, std::string dataHome = {}, std::string configHome = {});

    bool registerAll(std::string* error = nullptr) const;
    bool unregisterAll(std::string* error = nullptr) const;
    // Every entry is in place as registerAll() writes it.
    bool isRegistered() const;
    // Some entry of ours is present.
    bool anyRegistered() const;

    // The file of a manager's entry (uca.xml for Thunar).
    std::string entryPath(Manager manager) const;
    // The whole file text of a manager's entry (for Thunar: the <action> block).
    std::string entryText(Manager manager) const;

    // One argument of a desktop-entry Exec line: double-quoted (with \ " ` $ escaped) when
    // it holds a reserved character, '%' doubled.
    static std::string quoteExecArgument(const std::string& argument);
    // A desktop-entry string value: backslashes, line ends and tabs escaped.
    static std::string escapeDesktopValue(const std::string& value);
    // A POSIX shell word in single quotes.
    static std::string shellQuote(const std::string& word);

private:
    bool registerThunar(std::string* error) const;
    bool unregisterThunar(std::string* error) const;

    std::string m_launcher;
    std::string m_dataHome;
    std::string m_configHome;
};
