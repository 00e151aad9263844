// The support kinds: anchor, restraint, skewed restraint, hanger, guide,
// limit stop, vessel nozzle, snubber and generic support. install_supports()
// makes them the data-item classes of their data types and names the hanger
// kinds in the layout.
#pragma once

void install_supports();
