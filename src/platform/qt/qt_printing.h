// The Qt print service: QPrinter documents for the printer and for PDF files,
// the print, page-setup and preview dialogs, and page images. This header
// names no Qt type, so that the backend factory can install the service
// without pulling Qt in.
#pragma once

// Installs the Qt print service (print_service() from then on). Needs a
// running QApplication.
void install_qt_print_service();
