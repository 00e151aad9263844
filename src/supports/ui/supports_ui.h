// The support kinds with their input: install_supports_ui() installs the
// kinds (install_supports) with their dialogs, as the layout's dialogs of
// their data types, and their tables in the list window.
#pragma once

void install_supports_ui();
