#pragma once
// The one value the enabling of the main window's commands depends on. The main window
// fills it from the result list, the search and index controllers and its settings.
struct CommandState {
    int rowsInList = 0;     // rows in the result list
    int rowsSelected = 0;   // selected rows of the result list
    bool searchRunning = false;
    bool indexingRunning = false;
    bool patternEmpty = false;  // the type list of "PatternString" is empty
    bool modalDialogOpen = false;

    bool operator==(const CommandState&) const = default;
};
