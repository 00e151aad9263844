// The contacts of a load case solved together: which of the changes that a
// solution asks of the gaps, stops, rests and rod hangers (and of their
// friction between sticking and sliding) are made before the next one, and
// the check of the state a case converged to.
//
// Without friction the contacts make a linear complementarity problem: the
// pipe's energy is least subject to the stops' inequalities, and with the
// stops' stiffness k (the penalty of a rigid stop) its matrix W + I / k is
// positive definite (W the pipe's flexibility at the contacts), a P-matrix,
// so the state is unique. Changing every contact whose state a solution
// contradicts at once (a block principal pivot, the update each contact
// makes on its own) usually settles in a few solutions, but contacts that
// act on each other can go round a cycle. The block principal pivoting
// method of Judice and Pires keeps the block changes while they reduce the
// number of contradicted states and otherwise changes one state only, the
// last contradicted one in the case's order (Murty's rule), which ends for a
// P-matrix:
//   J. J. Judice, F. M. Pires, "A block principal pivoting algorithm for
//   large-scale strictly monotone linear complementarity problems",
//   Computers & Operations Research 21(5), 1994, 587-596;
//   K. G. Murty, "Note on a Bard-type scheme for solving the complementarity
//   problem", Opsearch 11, 1974, 123-130.
// A state seen before (other than the last one) is a cycle: the single
// changes take over at once. The friction's turns between sticking and
// sliding count among the contradicted states, so the same rule holds them
// back one by one when they go round; the friction's magnitude and
// direction follow each solution (support_analysis.h).
#pragma once

#include "supports/support_analysis.h"

#include <cstdint>
#include <string>
#include <vector>

// Forces below this (lb) are no force; a node closer than this to a limit
// (inch) has not passed it: the least tolerances, which grow with the
// model's forces and motions (contact_tolerances).
inline constexpr double CONTACT_FORCE_ZERO = 1.0e-6;
inline constexpr double CONTACT_POSITION_ZERO = 1.0e-9;

struct ContactTolerances {
    double force = CONTACT_FORCE_ZERO;
    double position = CONTACT_POSITION_ZERO;
};

struct ContactEntry {
    int row = 0;
    int dtype = 0;
    Contact contact;
};

// The case's contacts in row order and what the last plan allows.
struct ContactSet : RunState {
    std::vector<ContactEntry> entries;
    std::vector<int> entry_of_row;   // by row; -1 for none
    // By entry, three slots (the two directions and the friction): whether
    // the change the last solution asks may be made. Empty: every change.
    std::vector<char> allowed;
    ContactTolerances zero;
    // The pivoting rule's state: the fewest contradicted states so far and
    // the block changes left before single ones; the states seen.
    int fewest = -1;
    int block_tries = 0;
    bool single = false;
    std::vector<std::uint64_t> seen;
    // The solutions whose changes were held back to a single one.
    int single_changes = 0;

    void clear();
};

// Adds a contact of the current case (contact_reset calls it).
void contact_register(AnalysisRun& run, const Contact& contact, int dtype, int row);
// Empties the case's set (before the items are reset for a case).
void clear_contact_set(AnalysisRun& run);
// After a solution, before the items update: decides which changes are
// made (above). Returns the number of contradicted states.
int plan_contact_changes(AnalysisRun& run);
// Whether the contact of a row may make the change of slot 0, 1 (a
// direction) or 2 (its friction) that the last solution asks.
bool contact_change_allowed(const AnalysisRun& run, int row, int slot);
// The tolerances of the last plan (the least ones before any).
ContactTolerances contact_tolerances(const AnalysisRun& run);

// The check of a converged state, from the displacements of the run's
// solution and the forces the contacts report: each stop within its limits
// and pushing only where it is closed, towards the inside; the friction at
// most mu N, and against the slip where the contact slides. The tolerances
// are relative to the largest contact force and displacement of the case.
// Each failure names the item and its node.
std::vector<std::string> check_contact_states(AnalysisRun& run);
