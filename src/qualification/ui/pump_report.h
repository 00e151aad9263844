// The pump reports of the rotating-equipment report, written through the
// report lines (report_lines.h) to the current destination:
//
//   API 610 (11th ed.) / ISO 13709 Annex F for horizontal pumps: each
//   nozzle against Table 5 (F.1.1), ratios above 2 fail (F.1.2.a), between
//   1 and 2 the combined ratio of F.1.2.b, and for both nozzles the
//   resultants at the pump centre of F.1.2.c;
//   vertical inline pumps: F.1.1 against twice the side-nozzle loads, and
//   the nozzle stress check of F.2 where F.1.1 is exceeded;
//   ANSI/HI 9.6.2-2011 by pump type: end suction (Eq.1 to Eq.5), B73.2
//   vertical in-line, axial split case, vertical turbine short set.
//
// The evaluation (loads and allowables) is the report's, made when results
// were opened (rot_equip.h); the report only formats it.
#pragma once

#include "qualification/ui/report_lines.h"

struct PumpRecord;

// The standard of a pump's report: ANSI/HI 9.6.2 for an ANSI/HI pump, API
// 610 / ISO 13709 for every other.
const ReportStandard& pump_report_standard(const PumpRecord& pump);

// The report of pump `index` for entry `entry` (1-based) of the report's
// load-case list. A window report starts with an empty line list.
void pump_report(int index, int entry);

// The reports of every pump for every listed load case (printing), each
// named in the contents by its own standard.
void api610_report();
