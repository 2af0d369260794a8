#pragma once
// The numeric ids of the main window's commands. Menus, the toolbar, the tray menu and
// macros refer to a command by its id only; the ids are stored in macro files, so they
// never change.
namespace CommandIds {

// result files and search options
inline constexpr int OpenResult = 32771;
inline constexpr int SaveResult = 32772;
inline constexpr int ExportFileList = 32774;
inline constexpr int ExportCsv = 32775;
inline constexpr int SaveOptions = 32776;
inline constexpr int OpenOptions = 32777;
// working with the selected files
inline constexpr int Execute = 32778;
inline constexpr int ConfigureOpenWith = 32779;
inline constexpr int OpenContainingFolder = 32780;
inline constexpr int CopyNames = 32781;
inline constexpr int CopyPaths = 32782;
inline constexpr int CopyFullPaths = 32783;
inline constexpr int RemoveSelected = 32784;
inline constexpr int CopyFiles = 32785;
inline constexpr int RenameUpper = 32789;
inline constexpr int RenameLower = 32790;
inline constexpr int Rename = 32791;
inline constexpr int DeleteToTrash = 32792;
inline constexpr int DeletePermanently = 32793;
inline constexpr int InvertSelection = 32794;
inline constexpr int Statistics = 32795;
inline constexpr int Options = 32803;
inline constexpr int Help = 32804;
inline constexpr int RebuildAllIndexes = 32818;
inline constexpr int SearchImages = 32819;
inline constexpr int SearchMusic = 32820;
inline constexpr int SearchVideos = 32821;
inline constexpr int StopIndexing = 32822;
inline constexpr int RemoveAll = 32823;
inline constexpr int RebuildLocalPaths = 32827;
inline constexpr int SearchSpecifiedType = 32829;
inline constexpr int SaveMacro = 32834;
inline constexpr int ManageMacros = 32835;
inline constexpr int OpenPanel1 = 32836;  // ..32840: open and focus option panel 1..5
inline constexpr int OpenPanel5 = 32840;
inline constexpr int OpenAllPanels = 32841;
inline constexpr int SearchOrStop = 32843;
inline constexpr int NewSearch = 32844;
inline constexpr int MoveFiles = 32845;
inline constexpr int FocusResultList = 32846;
inline constexpr int FocusOptionSide = 32847;
inline constexpr int ViewIndexLog = 32848;
inline constexpr int CopyFilesAlt = 57634;  // Ctrl+Insert in the result list: the same as CopyFiles
inline constexpr int PrintSetup = 57606;
inline constexpr int Print = 57607;
inline constexpr int PrintPreview = 57609;
inline constexpr int SelectAll = 57642;
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;

// Ranges: one command per entry of a list that the user edits.
inline constexpr int OpenWithFirst = 62464;  // open-with entry (id - 62464)
inline constexpr int OpenWithLast = 62964;
inline constexpr int IndexPathFirst = 62976;  // index the single path (id - 62976)
inline constexpr int IndexPathLast = 63476;
inline constexpr int MacroFirst = 64000;  // run macro (id - 64000)
inline constexpr int MacroLast = 64512;
}  // namespace CommandIds
