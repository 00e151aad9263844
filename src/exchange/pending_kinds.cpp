// The kinds whose classes this version has not got: their rows are refused
// with a message until the class can take the values.
#include "exchange/pending_kinds.h"

#include "framework/errors.h"

#include <string>

namespace {

[[noreturn]] void not_in_this_version(const char* kinds)
{
    throw MessageText(std::string(kinds) + " cannot be imported in this version");
}

}  // namespace

void apply_jacketed_pipe(LayoutRow&, const JacketedPipeItems&) { not_in_this_version("Jacketed pipes"); }
void apply_valve(LayoutRow&, const ValveItems&) { not_in_this_version("Valves"); }
void apply_bellows(LayoutRow&, const BellowsItems&) { not_in_this_version("Bellows"); }
void apply_slip_joint(LayoutRow&, const SlipJointItems&) { not_in_this_version("Slip joints"); }
void apply_hinge_joint(LayoutRow&, const HingeJointItems&) { not_in_this_version("Hinge joints"); }
void apply_ball_joint(LayoutRow&, const BallJointItems&) { not_in_this_version("Ball joints"); }
void apply_rigid_element(LayoutRow&, const RigidElementItems&) { not_in_this_version("Rigid elements"); }
void apply_elastic_element(LayoutRow&, const ElasticElementItems&) { not_in_this_version("Elastic elements"); }
void apply_beam(LayoutRow&, const BeamItems&) { not_in_this_version("Beams"); }
void apply_tie_rod(LayoutRow&, const TieRodItems&) { not_in_this_version("Tie rods"); }
void apply_flange(LayoutRow&, const FlangeItems&) { not_in_this_version("Flanges"); }
void apply_branch_sif(LayoutRow&, const BranchSifItems&) { not_in_this_version("Branch SIFs"); }
void apply_user_sif(LayoutRow&, const UserSifItems&) { not_in_this_version("User SIFs"); }
void apply_weld(LayoutRow&, const WeldItems&) { not_in_this_version("Welds"); }
void apply_spider(LayoutRow&, const SpiderItems&) { not_in_this_version("Spiders"); }
void apply_jacket_end_cap(LayoutRow&, const JacketEndCapItems&) { not_in_this_version("Jacket end caps"); }
void apply_threaded_joint(LayoutRow&, const ThreadedJointItems&) { not_in_this_version("Threaded joints"); }
