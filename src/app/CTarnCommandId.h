#pragma once

// The menu commands and their identifiers.
enum CTarnCommandId : int {
    kCmdPaste = 40021,
    kCmdClear = 40022,
    kCmdPreferences = 40026,
    kCmdTransmitAll = 40027,
    kCmdReceiveAll = 40028,
    kCmdAbout = 40029,
    kCmdCut = 40030,
    kCmdCopy = 40031,
    kCmdNew = 40032,
    kCmdOpen = 40033,
    kCmdSave = 40034,
    kCmdSaveAs = 40035,
    kCmdExit = 40036,
};
