#pragma once
// Which commands are enabled: one pure function of a CommandState. Menus, the toolbar, the
// tray menu and the accelerators all follow it. No widgets, no globals; cheap enough to be
// called after every change of the state.
#include <QHash>

#include "shell/CommandState.h"

class CommandEnabling {
public:
    // What the rules of the command table allow in `state`, for any command id (the range
    // ids of open-with entries, indexed paths and macros included). Ids with no rule are
    // allowed.
    static bool rulesAllow(int id, const CommandState& state);

    // Whether the program has an action for the command yet. Commands whose work arrives
    // later (index commands, macros) are registered but have none.
    static bool hasAction(int id);

    // The enabled flag: the command has an action and its rules allow it.
    static bool isEnabled(int id, const CommandState& state) { return hasAction(id) && rulesAllow(id, state); }

    // isEnabled for every id of `ids`.
    static QHash<int, bool> compute(const QList<int>& ids, const CommandState& state);
};
