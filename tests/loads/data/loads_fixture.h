// Loads tests: a model per test with the property sets and the loads layer
// installed, a scratch folder for model files, and records to fill it with.
#pragma once

#include "loads/beam_load.h"
#include "loads/hydrotest_load.h"
#include "loads/loads_install.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "loads/seismic.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/wind.h"
#include "materials/property_sets.h"
#include "model/data/model_file_fixture.h"

namespace loads_test {

inline PipeLoad pipe_load(const std::string& name, float t1, float p1)
{
    PipeLoad l = make_pipe_load();
    l.name = name;
    l.temperature[1] = t1;
    l.pressure[1] = p1;
    l.design_temperature = t1;
    l.design_pressure = p1;
    return l;
}

inline XYCurve curve(std::initializer_list<std::pair<float, float>> points)
{
    XYCurve c;
    for (const auto& [x, y] : points)
        c.push_back(x, y);
    return c;
}

template <typename T>
T& data_of(int row)
{
    return dynamic_cast<T&>(*model().rows[row].data);
}

template <typename T>
T& element_of(int row)
{
    return dynamic_cast<T&>(*model().rows[row].element);
}

class LoadsFileTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
        install_loads();
    }
};

}  // namespace loads_test
