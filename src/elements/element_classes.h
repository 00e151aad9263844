// The element classes of this layer and their installation: each kind's
// factory (Pipe, Bend, Miter, Jacketed pipe, Jacketed bend, Reducer, Cut
// pipe, Beam, Ball and Hinge joint, Rigid element, Valve, Bellows, Slip
// joint, Elastic element, Tie rod; the row attributes spider, end cap,
// flange, branch SIF, user SIF, weld and threaded joint), and the
// model hooks of the drawing radii of rows that the symbols read.
#pragma once

// Installs the factories and hooks; a second call changes nothing.
void install_element_classes();
