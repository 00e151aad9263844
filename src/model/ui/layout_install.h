// Start-up of the layout window, the list window and the model editing
// commands.
#pragma once

// Registers the commands of the layout and list windows and the editing
// commands, and sets the model's hooks that redisplay the tables. The layout
// table becomes the client of the main frame, and the list view the client
// of the list frame, as soon as those frames exist: at once when they do,
// otherwise when the main loop starts.
void install_layout_subsystem();
// Makes the two clients now (the frames must exist) and adds the editing
// commands to the layout window's Edit menu.
void create_layout_windows();
