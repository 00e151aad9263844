// The subsystems the program installs at start-up, in their order: what
// main() runs before the shell starts, and what every tool that must behave
// as the program does (the fuzz targets) runs the same way.
#pragma once

// Registers every subsystem's installer and the installer of their windows
// with the shell (register_subsystem, register_window_installer); app_startup
// then runs them.
void register_program_subsystems();
