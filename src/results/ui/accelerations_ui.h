// The "Accelerations: Response spectrum" result: the accelerations of every
// results node in the Response spectrum case (the case's second node
// block), X, Y and Z in g (in/s2 / 386.4). It prints as graphic pages and
// as a text report, whose CSV form makes the same calls.
#pragma once

class TableWindow;

void show_spectrum_accelerations();
TableWindow& spectrum_accelerations_table();
// Registers the show operation with the results window.
void install_spectrum_accelerations();
