#include "loads/time_function.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "loads/load_file.h"
#include "loads/nodal_loads.h"
#include "model/layout_row.h"
#include "model/model.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

// Moves the function number of every time-varying load of `rows` by
// `shift` from `first` on. A number that no model can have (a damaged file
// may hold any) stays as it is, for the model check to refuse.
void renumber_loads(OneBased<LayoutRow>& rows, int first, int shift)
{
    for (LayoutRow& r : rows)
        if (auto* item = dynamic_cast<TimeVaryingLoad*>(r.data.get());
            item && item->function >= first && item->function <= MAX_TIME_FUNCTIONS)
            item->function += shift;
}

struct Contents final : SectionContents {
    TimeFunctions value;
    void install(Model&) override
    {
        time_functions() = std::move(value);
        notify_document_changed({DocumentChange::Cleared, SECTION_TIME_FUNCTIONS});
    }
    void check_merge(ModelMerge&) const override
    {
        if (numtimefunctions() + static_cast<long>(value.functions.size()) > MAX_TIME_FUNCTIONS)
            throw_message(
                c_format("The merged model would have more than %d time functions.", int{MAX_TIME_FUNCTIONS}));
    }
    void merge(ModelMerge& merge) override
    {
        const int offset = numtimefunctions();
        for (XYCurve& f : value.functions) {
            time_function().push_back(std::move(f));
            // Functions are named by their numbers, which move on behind the model's.
            const int number = numtimefunctions();
            if (offset > 0)
                merge.renames.push_back({"time function", std::to_string(number - offset), std::to_string(number)});
        }
        value.functions.clear();
        if (merge.rows && offset > 0)
            renumber_loads(*merge.rows, 1, offset);
    }
};

std::unique_ptr<SectionContents> read_section(BinFile& file)
{
    auto contents = std::make_unique<Contents>();
    const int32_t count = file.read_int();
    if (file.error() || count == 0)
        return contents;
    if (count < 0 || count > MAX_TIME_FUNCTIONS + 1 || !file.fits(count, 4))
        throw_message(c_format("The number of time functions (%lld) is out of range",
                               static_cast<long long>(count) - 1));
    if (!load_records_in_file())
        throw_old_load_records("time functions");
    TimeFunctions& t = contents->value;
    TimeHistoryOptions& o = t.options;
    o.time_step = file.read_float();
    o.end_time = file.read_float();
    o.output_interval = file.read_float();
    o.damping = file.read_float();
    o.save_results = file.read_byte();
    if (file.error())
        return contents;
    if (o.save_results > 1)
        throw_message("The Save results flag is invalid");
    if (const std::string fault = time_history_options_fault(o); !fault.empty())
        throw_message(fault);
    t.functions.resize(static_cast<std::size_t>(count - 1));
    for (int32_t k = 1; k < count && !file.error(); ++k) {
        XYCurve& f = t.functions[static_cast<std::size_t>(k - 1)];
        const std::string what = c_format("Time function %d", k);
        read_checked_curve(file, f, what, MAX_TIME_FUNCTION_POINTS);
        if (const std::string fault = time_function_fault(f); !fault.empty())
            throw_message(what + ": " + fault);
    }
    return contents;
}

void write_section(BinFile& file)
{
    const TimeFunctions& t = time_functions();
    file.write_int(static_cast<int32_t>(t.functions.size()) + 1);
    file.write_float(t.options.time_step);
    file.write_float(t.options.end_time);
    file.write_float(t.options.output_interval);
    file.write_float(t.options.damping);
    file.write_byte(t.options.save_results);
    for (const XYCurve& f : t.functions)
        write_curve(file, f);
}

}  // namespace

TimeFunctions& time_functions()
{
    return document().part<TimeFunctions>();
}

int numtimefunctions()
{
    return static_cast<int>(time_function().size());
}

TimeHistoryOptions& time_history_options()
{
    return time_functions().options;
}

std::string time_function_fault(const XYCurve& f)
{
    if (std::string fault = curve_fault(f); !fault.empty())
        return fault;
    if (!f.empty() && f[0].x < 0.0f)
        return "point 1: the time is below 0";
    return {};
}

std::string time_history_options_fault(const TimeHistoryOptions& o)
{
    auto positive = [](float v) { return std::isfinite(v) && v > 0.0f; };
    if (!positive(o.time_step))
        return "Time step is invalid";
    if (!positive(o.end_time) || o.end_time < o.time_step)
        return "End time is invalid";
    if (!positive(o.output_interval) || o.output_interval < o.time_step)
        return "Output interval is invalid";
    if (!std::isfinite(o.damping) || o.damping < 0.0f || o.damping > 1.0f)
        return "Damping ratio is invalid";
    return {};
}

bool time_function_in_use(int k)
{
    for (const LayoutRow& r : model().rows)
        if (const auto* item = dynamic_cast<const TimeVaryingLoad*>(r.data.get()); item && item->function == k)
            return true;
    return false;
}

void erase_time_function(int k)
{
    std::vector<XYCurve>& all = time_function();
    KV_ASSERT(k >= 1 && k <= numtimefunctions() && !time_function_in_use(k));
    all.erase(all.begin() + (k - 1));
    renumber_loads(model().rows, k + 1, -1);
}

void insert_time_function(int k)
{
    std::vector<XYCurve>& all = time_function();
    KV_ASSERT(k >= 1 && k <= numtimefunctions() + 1);
    all.insert(all.begin() + (k - 1), XYCurve{});
    renumber_loads(model().rows, k, 1);
}

void install_time_functions()
{
    ModelSectionOwner owner;
    owner.read = read_section;
    owner.write = write_section;
    owner.clear = [] {
        time_functions() = TimeFunctions{};
        notify_document_changed({DocumentChange::Cleared, SECTION_TIME_FUNCTIONS});
    };
    register_model_section(SECTION_TIME_FUNCTIONS, std::move(owner));
}
