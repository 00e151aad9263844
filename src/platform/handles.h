// The handle types of the platform layer, apart from the backend interface,
// so that data modules can hold a window's number without the whole backend.
#pragma once

// Windows are numbered by the backend; 0 means none (the desktop).
using WindowId = int;
