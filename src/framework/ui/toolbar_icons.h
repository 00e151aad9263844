// The pictures of the tool-bar buttons, by icon name: the window system's
// own icon where one says the same (new, open, save, help, arrows, play,
// list views), else a small drawing of the program's own, made through the
// drawing surface so that it is as sharp in the small (16) as in the large
// (32) tool bar.
#pragma once

#include "platform/resources.h"

#include <string>
#include <vector>

struct ToolIcon {
    StandardIcon standard = StandardIcon::None;
    IconPainter paint = nullptr;
};

// The picture of an icon name; neither standard nor drawn for a name that
// has none.
ToolIcon tool_icon(const std::string& name);
// Every icon name that has a picture.
std::vector<std::string> tool_icon_names();
