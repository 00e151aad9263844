// The results report of a large model printed to a PDF file, pages per
// second, against the same pages' texts written to a plain file.
//
// The model is the generated plant network (piping_network.h, its default
// options: a 12 in rack header with branches, bends at every turn, friction
// rests, guides with gaps and axial stops) of 6,900 layout rows, the size of
// one batch import, and 300 rows (300 alone in the brief pass, or the
// counts in KV_BENCH_PRINT_ROWS, comma-separated). In this process, on the Qt
// backend (Qt's offscreen platform without a display) with every subsystem
// of the program and in batch mode (no question waits for an answer), its
// batch file is imported, the model analysed and the results opened once.
// The report is the Print Results sheet's default: the model report, every
// load case and every part the results hold, with its table of contents.
//
// BM_PrintReportPdf/rows prints it as File > Print does to a PDF file: the
// pages made while the Printing dialog shows their progress and the windows
// are served between them, the file written beside its path and put in
// place. BM_PrintReportTextPages/rows lays the same pages out with the same
// printer's measures (its page measures the texts and draws nothing) and
// writes every text a page would draw to a plain file, a page a block: what
// the pages cost without the PDF's drawing. The counters give the pages and
// the pages a second.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "app/program_subsystems.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/ui/frame.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/shell.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "platform/null_surface.h"
#include "platform/printing.h"
#include "platform/qt/qt_printing.h"
#include "results/results_state.h"
#include "results/ui/results_report.h"
#include "results/ui/results_window.h"

#include "bench_setup.h"
#include "piping_network.h"
#include "qt_bench_backend.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;

fs::path bench_folder()
{
    return bench::scratch_folder("print");
}

// The program on the Qt backend, started once (a backend or a start-up that
// another benchmark of this process made is used as it is).
void start_program()
{
    static const bool started = [] {
        if (!backend_installed() || std::string(backend().name()) != "qt")
            bench::install_qt_backend(bench_folder() / "settings.ini");
        if (!app_started()) {
            set_program_folder(bench_folder().string());
            register_program_subsystems();
            app_startup();
            // The windows go before the window system at the end.
            std::atexit([] {
                app_shutdown();
                remove_backend();
            });
        }
        install_qt_print_service();
        return true;
    }();
    (void)started;
}

// The network of `rows` rows imported, analysed and its results open; the
// reason when it could not be made.
std::string open_network(int rows)
{
    static int open_rows = 0;
    static std::string failure;
    if (open_rows == rows)
        return failure;
    open_rows = rows;
    failure.clear();
    try {
        start_program();
        batch_mode() = true;
        if (results_open())
            terminate_results();
        piping_network::Options options;
        options.rows = rows;
        const fs::path batch = bench_folder() / ("network" + std::to_string(rows) + ".mbf");
        std::ofstream(batch, std::ios::binary) << piping_network::batch_text(options);
        init_model();
        if (!import_batch_model(main_frame().window, batch.string(), batch.string().size() - 3))
            return failure = "the import of the generated network failed";
        if (model_rebuild_needed())
            make_model();
        const RunOutcome outcome = run_analysis(*make_analysis_model(), RunCallbacks{});
        if (!outcome.completed)
            return failure = "the analysis failed: " + outcome.message;
        init_results();
        if (!results_open())
            return failure = "the results could not be opened";
    } catch (...) {
        failure = "set-up failed: " + bench::failure_text(std::current_exception());
    }
    return failure;
}

// A page that measures with a real one and writes the texts it is given,
// one a line, into the page's text.
class TextCapture final : public MeasuringSurface {
public:
    TextCapture(Surface& real, std::string& page) : MeasuringSurface(real), page_(page) {}
    void text(int, int, const std::string& text, TextAlign) override
    {
        page_ += text;
        page_ += '\n';
    }

private:
    std::string& page_;
};

// Pages whose texts go to a plain file, a form feed between pages.
class TextPagesDocument final : public PrintDocument {
public:
    TextPagesDocument(Surface& measure, const fs::path& path)
        : file_(std::fopen(path.c_str(), "wb")), capture_(measure, text_) {}
    ~TextPagesDocument() override
    {
        if (file_)
            std::fclose(file_);
    }
    bool open() const { return file_ != nullptr; }

    Surface& page() override { return capture_; }
    bool new_page() override
    {
        text_ += '\f';
        flush();
        ++pages_;
        return true;
    }
    bool finish() override
    {
        flush();
        const bool ok = file_ && std::fclose(file_) == 0 && !failed_;
        file_ = nullptr;
        return ok;
    }
    void abort() override
    {
        if (file_)
            std::fclose(file_);
        file_ = nullptr;
    }
    int page_number() const override { return pages_; }

private:
    void flush()
    {
        if (file_ && !text_.empty() && std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size())
            failed_ = true;
        text_.clear();
    }

    std::FILE* file_;
    std::string text_;
    TextCapture capture_;
    int pages_ = 1;
    bool failed_ = false;
};

// The network of the benchmark's size open; false when it could not be
// made (the benchmark is then skipped with the reason).
bool network_open(benchmark::State& state)
{
    const std::string failure = open_network(static_cast<int>(state.range(0)));
    if (!failure.empty())
        state.SkipWithError(failure.c_str());
    return failure.empty();
}

void count_pages(benchmark::State& state, int pages)
{
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PrintReportPdf(benchmark::State& state)
{
    if (!network_open(state))
        return;
    const int rows = static_cast<int>(state.range(0));
    const ReportJob job = results_report_job(default_report_selection());
    const fs::path pdf = bench_folder() / ("report" + std::to_string(rows) + ".pdf");
    int pages = 0;
    const PageRenderer render = [&job, &pages](PrintDocument& doc) {
        report_render_pages(doc, job);
        pages = doc.page_number();
    };
    for (auto _ : state) {
        bool printed = false;
        try {
            printed = print_to_pdf(0, pdf.string(), render);
        } catch (const MessageText& m) {
            state.SkipWithError(m.text.c_str());
            break;
        }
        if (!printed) {
            state.SkipWithError("the PDF file could not be written");
            break;
        }
    }
    count_pages(state, pages);
    std::error_code ignored;
    fs::remove(pdf, ignored);
}

void BM_PrintReportTextPages(benchmark::State& state)
{
    if (!network_open(state))
        return;
    const int rows = static_cast<int>(state.range(0));
    const ReportJob job = results_report_job(default_report_selection());
    const fs::path text = bench_folder() / ("report" + std::to_string(rows) + ".txt");
    const fs::path measure = bench_folder() / "measure.pdf";
    int pages = 0;
    for (auto _ : state) {
        // The printer of the PDF, whose page measures the texts.
        std::unique_ptr<PrintDocument> printer = print_service().open_pdf(printer_settings(), measure.string());
        if (!printer) {
            state.SkipWithError("the PDF printer could not be opened to measure with");
            break;
        }
        TextPagesDocument doc(printer->page(), text);
        bool written = false;
        try {
            written = doc.open() && report_render_pages(doc, job) && doc.finish();
        } catch (const MessageText& m) {
            state.SkipWithError(m.text.c_str());
            printer->abort();
            break;
        }
        printer->abort();
        if (!written) {
            state.SkipWithError("the text file could not be written");
            break;
        }
        pages = doc.page_number();
    }
    count_pages(state, pages);
    std::error_code ignored;
    fs::remove(text, ignored);
}
const bool registered = [] {
    for (auto [name, function] : {std::pair{"BM_PrintReportPdf", &BM_PrintReportPdf},
                                  std::pair{"BM_PrintReportTextPages", &BM_PrintReportTextPages}})
        for (int rows : bench::counts("KV_BENCH_PRINT_ROWS", "300,6900", "300", 100))
            benchmark::RegisterBenchmark(name, function)->Arg(rows)->Unit(benchmark::kMillisecond)->UseRealTime();
    return true;
}();

}  // namespace
