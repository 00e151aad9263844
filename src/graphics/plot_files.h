// The plot files: the current line view written as an HP-GL/2 plot in a PCL
// job (".plt"), an R12 DXF drawing (".dxf"), an Encapsulated PostScript
// page (".eps") or an enhanced metafile (".emf").
//
// Each writer is a device of the 2D drawing layer (Draw2DDevice): the common
// frame fits the view window to the writer's page, writes the file's head,
// draws the page frame and the title line, then lets the line view's normal
// drawing run, whose primitives come out as the file's records, and writes
// the file's end. The view (scale, window, sizes, render mode) is put back
// on every way out. Files are written to a temporary file beside the target
// and renamed into place, so a failed write keeps the file that was there.
//
// The files are deterministic: the same model, view and settings give the
// same bytes (EPS texts are measured with the Helvetica widths, not a screen
// font). Lines end with CR LF, numbers are written with a decimal point
// whatever the locale.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

enum class PlotFormat { Hpgl, Dxf, Eps, Emf };

// "PLT", "DXF", "EPS" or "EMF", as the messages name the formats.
const char* plot_format_name(PlotFormat format);
// The format of a file name's extension ("plt", "dxf", "eps", "emf", in any
// case); false for another.
bool plot_format_of_path(const std::string& path, PlotFormat& format);

// ---- Paper ------------------------------------------------------------------------------

// A paper of the Drawing Size dialog: its name and the drawing area of the
// HP-GL and of the DXF page in inches, width by height in landscape.
struct PaperSize {
    const char* name;
    float hpgl_width, hpgl_height;
    float dxf_width, dxf_height;
};
inline constexpr int PAPER_SIZE_COUNT = 10;
// Paper 0 "A Size (8.5 in x 11 in)" to 9 "A0 Size (841 mm x 1189 mm)"; any
// other index is paper 0.
const PaperSize& paper_size(int index);

// The Drawing Size setting (DRAWING_SIZE_DIALOG), read by the HP-GL and DXF
// writers; EPS pages are always 6.5 by 9.0 in.
struct DrawingSize {
    int paper = 0;
    bool portrait = false;
};
DrawingSize& drawing_size();

// The drawing area of a format's page in inches (portrait exchanges the sides).
void plot_page_size(PlotFormat format, const DrawingSize& size, float& width, float& height);

// ---- Writing ----------------------------------------------------------------------------

// Where a plot file's bytes go. write returns false when they could not be
// written; nothing further is asked of it then.
class PlotSink {
public:
    virtual ~PlotSink() = default;
    virtual bool write(const char* data, std::size_t size) = 0;
};

// A sink that keeps the bytes.
class StringPlotSink final : public PlotSink {
public:
    std::string bytes;
    bool write(const char* data, std::size_t size) override
    {
        bytes.append(data, size);
        return true;
    }
};

// Writes the current line view in the format into the sink. Throws the
// message text "Unable to write PLT file" (DXF, EPS, EMF alike) when the
// sink refuses bytes.
void write_plot(PlotFormat format, PlotSink& sink);
// The same into a file: "Unable to open PLT file for output" when the file
// cannot be made (nothing is left behind), "Unable to write PLT file" when
// a write or the close fails (the file that was there is kept). `through`
// may put a sink of its own between the writer and the file (the tests
// make one that fails).
using PlotSinkFilter = std::function<std::unique_ptr<PlotSink>(PlotSink& file)>;
void write_plot_file(PlotFormat format, const std::string& path, const PlotSinkFilter& through = {});
