// The pictures of the options dialog's commands (20 x 20 at 96 DPI, drawn for the DPI given): a
// light-blue folder tab for a group, a green child shape hanging below it for an item, and a
// mark for the command.
#pragma once

#include <windows.h>

#include "toolkit/ComCtrls.hpp"

enum OptionPicture : int {
    picAddGroup, picAddItem, picModGroup, picModItem, picDelGroup, picDelItem, picProcesses, picCount
};

UniqueHimagelist MakeOptionPictures(int dpi);
