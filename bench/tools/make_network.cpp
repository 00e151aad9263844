// Writes a generated piping network (piping_network.h) as a batch file:
//   korvane_network ROWS SEED [nofriction] [rigid] [mu=V] [gap=V] [stops=LO:HI] [spacing=F] [riserguides]
//     [nohangers]
//     [stacked] [guides=N] [stopsevery=N] [lightrests] > file.mbf
// or one of the small layouts or header trees of support_layouts.h:
//   korvane_network layout branch|riser|pump|uloop SEED MU [cold] > file.mbf
//   korvane_network tree ROWS SEED MU [cold] > file.mbf
#include "../piping_network.h"
#include "../support_layouts.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: korvane_network ROWS SEED [nofriction] [rigid] [mu=V] [gap=V] [stops=LO:HI] "
                             "[spacing=F] [riserguides] [nohangers] [stacked] [guides=N] [stopsevery=N] [lightrests]\n");
        return 1;
    }
    const std::string what = argv[1];
    if (what == "layout" && argc >= 5) {
        support_layouts::Options o;
        o.seed = std::strtoull(argv[3], nullptr, 10);
        o.mu = std::atof(argv[4]);
        o.contraction = argc > 5 && std::string(argv[5]) == "cold";
        bool known = false;
        for (support_layouts::Layout layout : support_layouts::LAYOUTS)
            if (support_layouts::layout_name(layout) == argv[2]) {
                o.layout = layout;
                known = true;
            }
        if (!known) {
            std::fprintf(stderr, "unknown layout %s\n", argv[2]);
            return 1;
        }
        std::fputs(support_layouts::batch_text(o).c_str(), stdout);
        return 0;
    }
    if (what == "tree" && argc >= 5) {
        const bool cold = argc > 5 && std::string(argv[5]) == "cold";
        std::fputs(support_layouts::tree_text(std::strtoull(argv[3], nullptr, 10), std::atof(argv[4]),
                                              std::atoi(argv[2]), cold)
                       .c_str(),
                   stdout);
        return 0;
    }
    piping_network::Options o;
    o.rows = std::atoi(argv[1]);
    o.seed = std::strtoull(argv[2], nullptr, 10);
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&a] { return std::atof(a.substr(a.find('=') + 1).c_str()); };
        if (a == "nofriction")
            o.friction = false;
        else if (a == "rigid")
            o.rigid = true;
        else if (a == "riserguides")
            o.riser_guides = true;
        else if (a == "nohangers")
            o.rod_hangers = false;
        else if (a == "stacked")
            o.stacked = true;
        else if (a == "lightrests")
            o.light_rests = true;
        else if (a.rfind("guides=", 0) == 0)
            o.guide_every = static_cast<int>(value());
        else if (a.rfind("stopsevery=", 0) == 0)
            o.stop_every = static_cast<int>(value());
        else if (a.rfind("mu=", 0) == 0)
            o.mu = value();
        else if (a.rfind("gap=", 0) == 0)
            o.guide_gap = value();
        else if (a.rfind("spacing=", 0) == 0)
            o.spacing = value();
        else if (a.rfind("stops=", 0) == 0) {
            const std::size_t colon = a.find(':');
            o.stop_lower = std::atof(a.substr(6, colon - 6).c_str());
            o.stop_upper = std::atof(a.substr(colon + 1).c_str());
        } else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 1;
        }
    }
    const std::string text = piping_network::batch_text(o);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
