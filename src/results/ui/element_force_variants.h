// The pipe force variants of every code this version evaluates: the
// standard table (with B1 and B2 for ASME Class 2/3 in the cases that show
// them), the in/out-plane table, the no-code table and the BS 806 table,
// registered in that order (element_force_tables.h).
#pragma once

void register_standard_pipe_force_variants();

// The first lines of the local pipe forces in a text report: "Pipe element
// forces in local coordinates: " and the load case centred, then a rule.
void pipe_forces_text_title();
