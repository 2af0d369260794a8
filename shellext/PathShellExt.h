#pragma once
// The folder context-menu entry "search here": the selected folders are taken in
// (Initialize), one menu entry is offered (QueryContextMenu, text: language string 56),
// its help line given (GetCommandString, language string 81) and, when chosen, the main
// program is started with the folders (InvokeCommand).
//
// The program's parameter is "/path" followed by one argument: a double quote, the folders
// joined with one double quote between neighbours, then a space and a double quote. So
// /data gives the arguments  /path  "/data "  and /a plus /b give  /path  "/a"/b "  .
// A folder whose name holds a double quote cannot be carried by that argument: the
// selection is then refused, nothing is started. A folder ending in blanks gets a '/'
// appended (the same folder), because the program trims each entry.
//
// No shell is involved: the program is started directly with its argument vector, by the
// starter given to InvokeCommand (by default ProgramStarter, detached). One object per
// menu, used from one thread; no exceptions leave it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class PathShellExt {
public:
    // Flags of QueryContextMenu: only the default item is wanted.
    static constexpr unsigned kDefaultOnly = 0x1;
    // Request types of GetCommandString: the help text, as UTF-8 or (with kUnicode) UTF-16.
    static constexpr unsigned kHelpText = 0x1, kUnicode = 0x4;
    // Longest path read from the selection, in bytes without the terminator.
    static constexpr size_t kMaxPath = 4095;
    // Longest argument the program reads as its folder list (its own limit), in bytes.
    static constexpr size_t kMaxParameter = 4095;

    struct MenuItem {
        unsigned position = 0;
        unsigned commandId = 0;
        std::string text;  // UTF-8
    };
    // Starts `program` with `arguments` (argv[1..]) in `workingFolder`; true when started.
    using Starter = std::function<bool(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& workingFolder)>;

    // The selection: every path (null for one that cannot be read). kOk when all were
    // read; kInvalidArg when there are none or one could not be read (an empty, over-long
    // or unreadable path); the readable ones are kept in any case.
    int32_t Initialize(const std::vector<const char*>& paths);
    const std::vector<std::string>& paths() const { return m_paths; }

    // Inserts the one entry at `index` into `menu` with id `firstId`; none when the flags
    // ask for the default item only or no id is free (firstId > lastId). Returns the
    // success code with the number of items added.
    int32_t QueryContextMenu(std::vector<MenuItem>& menu, unsigned index, unsigned firstId, unsigned lastId,
                             unsigned flags) const;

    // Command 0, help-text types only (else kInvalidArg): copies the help text into
    // `buffer` of `bufferChars` units (char for UTF-8, char16_t with kUnicode), cut to fit
    // with its terminator (a UTF-8 cut never splits a character; UTF-16 never a pair).
    int32_t GetCommandString(uintptr_t command, unsigned type, void* buffer, unsigned bufferChars) const;

    // `verb` is a string verb (refused) or, when null, the command number `command`
    // (only 0 is ours). Starts the program with the "/path" arguments; kInvalidArg when
    // refused, when the selection is empty or cannot be carried, or when no program was
    // found; kOk when the start was handed over (a failed start is not reported, as the
    // file manager shows nothing either).
    int32_t InvokeCommand(const char* verb, uintptr_t command, const Starter& starter = {}) const;

    // Copies UTF-8 `text` into `buffer` of `bufferChars` (>= 1) units, as UTF-8 or (with
    // `unicode`) UTF-16, cut to fit with its terminator, never inside a character.
    static void copyText(const std::string& text, bool unicode, void* buffer, unsigned bufferChars);

    // The "/path" arguments for `folders`: {"/path", "\"" + joined + " \""}; empty when a
    // folder is empty or holds a double quote, or the joined text is too long.
    static std::vector<std::string> programArguments(const std::vector<std::string>& folders);

private:
    std::vector<std::string> m_paths;
};
