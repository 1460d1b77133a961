// The commands of the options dialog: menu entries, tool buttons and shortcuts share these.
#pragma once

enum OptionCommand : int {
    cmAddGroup = 200, cmModGroup, cmDelGroup, cmAddItem, cmModItem, cmDelItem,
    cmSaveShell, cmLoadShell, cmExp, cmNowProcess, cmModNode
};
