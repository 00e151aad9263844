#include "supports/supports.h"

#include "model/model.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <memory>

namespace {

template <typename T>
void install_kind(int dtype)
{
    set_data_factory(dtype, [] { return std::make_unique<T>(); });
}

}  // namespace

void install_supports()
{
    install_kind<Anchor>(DT_ANCHOR);
    install_kind<Restraint>(DT_RESTRAINT);
    install_kind<SkewedRestraint>(DT_SKEWED_RESTRAINT);
    install_kind<Hanger>(DT_HANGER);
    install_kind<Guide>(DT_GUIDE);
    install_kind<LimitStop>(DT_LIMIT_STOP);
    install_kind<Nozzle>(DT_NOZZLE);
    install_kind<Snubber>(DT_SNUBBER);
    install_kind<GenericSupport>(DT_GENERIC_SUPPORT);
    // The layout names a rod hanger, a constant support and a user hanger
    // by their kinds; a catalogue spring is a "Hanger".
    auto previous = model_hooks().data_subtype_name;
    model_hooks().data_subtype_name = [previous](int dtype, int subtype) -> std::string {
        if (dtype == DT_HANGER)
            return subtype > HANGER_CATALOGUES ? hanger_type_name(subtype) : "";
        return previous ? previous(dtype, subtype) : std::string();
    };
}
