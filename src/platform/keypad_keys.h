// Key codes of the numeric keypad's digits (the usual virtual-key numbers):
// keys of their own beside the digits of the main keyboard, so that an
// accelerator can take Ctrl+keypad 8 while Ctrl+8 stays free.
#pragma once

enum : int {
    KEY_NUMPAD0 = 0x60, KEY_NUMPAD1, KEY_NUMPAD2, KEY_NUMPAD3, KEY_NUMPAD4, KEY_NUMPAD5,
    KEY_NUMPAD6, KEY_NUMPAD7, KEY_NUMPAD8, KEY_NUMPAD9,
};
