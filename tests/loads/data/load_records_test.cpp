// The loads in the model file: every record and section written and read
// back field by field, the references that follow renames and merges, the
// files of earlier versions, and damaged records refused by name with the
// model left as it was.
#include "elements/jacketed_bend.h"
#include "loads/data/loads_fixture.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

using namespace loads_test;

namespace {

class LoadRecordsTest : public LoadsFileTest {
protected:
    // A model holding every kind of load record with values unlike the
    // defaults.
    void fill_model()
    {
        numtloads() = 10;
        PipeLoad a = pipe_load("L1", 350.0f, 150.0f);
        for (int k = 2; k <= NUM_LOAD_SETS; ++k) {
            a.temperature[static_cast<std::size_t>(k)] = 100.0f + 10.0f * k;
            a.pressure[static_cast<std::size_t>(k)] = 5.0f * k;
        }
        a.design_temperature = 400.0f;
        a.design_pressure = 200.0f;
        a.specific_gravity = 0.85f;
        a.added_weight = 1.25f;
        a.wind = 0;
        pipe_loads().push_back(a);
        pipe_loads().push_back(pipe_load("HOT", ENTERED_ZERO, ENTERED_ZERO));

        BeamLoad b = make_beam_load();
        b.name = "B1";
        b.temperature[3] = 250.0f;
        b.added_weight = 0.5f;
        b.wind = 1;
        beam_loads().push_back(b);

        WindData& w = wind_data();
        w.asce_on = true;
        w.asce = {2, 115.0f, 0.85f, EXPOSURE_D, HILL_ESCARPMENT, 1200.0f, 2400.0f, 360.0f, 600.0f, SURFACE_ROUGH, 0.9f};
        w.units = {1, 2, 2, PROFILE_VELOCITY};
        wind_load(1).asce = 1;
        wind_load(1).direction = {1.0f, 0.0f, 0.0f};
        wind_load(2).direction = {0.0f, 0.0f, -2.0f};
        wind_load(2).shape_factor = 0.7f;
        wind_load(2).height_given = 1;
        wind_load(2).structure_height = 600.0f;
        wind_load(2).velocity = curve({{0.0f, 80.0f}, {600.0f, 95.0f}, {1200.0f, 110.0f}});
        wind_load(3).direction = {1.0f, 0.0f, 1.0f};
        wind_load(3).pressure = curve({{ENTERED_ZERO, 0.15f}, {400.0f, 0.2f}});

        SeismicData& s = seismic_data();
        s.load = {{0.3f, 0.1f, 0.25f}, {1, 0, 1}, SEISMIC_SRSS};
        s.asce_on = true;
        s.asce = {3, SITE_C, 1.1f, 240.0f, 480.0f, 2.5f, 12.0f, 1.5f, 0.7f};

        Spectrum sp;
        sp.name = "SITE RESPONSE SPECTRUM NORTH 5%";
        sp.abscissa = ABSCISSA_PERIOD;
        sp.ordinate = ORDINATE_ACCELERATION;
        sp.interpolation = INTERPOLATE_LOG;
        sp.ordinate_unit = 3;
        sp.curve = curve({{0.03f, 0.4f}, {0.2f, 1.1f}, {2.0f, 0.3f}});
        spectra().append(sp);
        Spectrum sv;
        sv.name = "V";
        sv.ordinate = ORDINATE_VELOCITY;
        sv.ordinate_unit = 1;
        sv.curve = curve({{1.0f, 2.0f}});
        spectra().append(sv);
        Spectrum fs = make_force_spectrum();
        fs.name = "SLUG";
        fs.curve = curve({{1.0f, 1.0f}, {10.0f, 2.0f}});
        force_spectra().append(fs);

        time_function().push_back(curve({{0.0f, 0.0f}, {0.1f, 1.0f}, {0.5f, 0.0f}}));
        time_function().push_back(curve({{0.0f, 1.0f}}));
        time_history_options() = {0.002f, 2.5f, 0.02f, 0.03f, 1};

        const int h = row(0, ET_HYDROTEST_LOAD);
        element_of<HydrotestLoad>(h).specific_gravity = 1.05f;
        element_of<HydrotestLoad>(h).pressure = 1500.0f;
        element_of<HydrotestLoad>(h).temperature = 60.0f;
        from(10);
        const int f = row(20, ET_PIPE, 100, 0, 0, DT_FORCE);
        model().rows[f].load = "L1";
        data_of<ForceLoad>(f).values = {100.0f, -200.0f, 300.0f, -4000.0f, 5000.0f, 6000.0f};
        data_of<ForceLoad>(f).load_case = 3;
        const int m = row(30, ET_PIPE, 100, 0, 0, DT_CONC_MASS);
        data_of<ConcentratedMass>(m).weight = 850.0f;
        data_of<ConcentratedMass>(m).offset = {0.0f, 18.0f, -6.0f};
        const int t = row(40, ET_PIPE, 100, 0, 0, DT_TIME_VARYING_LOAD);
        data_of<TimeVaryingLoad>(t).function = 2;
        data_of<TimeVaryingLoad>(t).values = {0.0f, 0.0f, 1000.0f, 0.0f, 0.0f, -12.0f};
        const int hl = row(50, ET_PIPE, 100, 0, 0, DT_HARMONIC_LOAD);
        data_of<HarmonicLoad>(hl).frequency = 15.0f;
        data_of<HarmonicLoad>(hl).phase = 0.5f;
        data_of<HarmonicLoad>(hl).values = {0.0f, 100.0f, 0.0f};
        const int fsl = row(60, ET_PIPE, 100, 0, 0, DT_FORCE_SPECTRUM_LOAD);
        data_of<ForceSpectrumLoad>(fsl).spectrum = "SLUG";
        data_of<ForceSpectrumLoad>(fsl).values = {500.0f, 0.0f, -500.0f};
        const int beam = row(70, ET_BEAM, 0, 50, 0);
        model().rows[beam].load = "B1";
    }

    // Everything the loads hold, to compare before and after a file.
    struct Snapshot {
        std::vector<PipeLoad> pipe;
        std::vector<BeamLoad> beam;
        WindData wind;
        SeismicData seismic;
        SpectrumList spectra, force_spectra;
        TimeFunctions functions;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot snapshot()
    {
        return {{pipe_loads().begin(), pipe_loads().end()},
                {beam_loads().begin(), beam_loads().end()},
                wind_data(),
                seismic_data(),
                spectra(),
                force_spectra(),
                time_functions()};
    }
    static void clear_loads()
    {
        pipe_loads().clear();
        beam_loads().clear();
        wind_data() = WindData{};
        seismic_data() = SeismicData{};
        spectra().clear();
        force_spectra().clear();
        time_functions() = TimeFunctions{};
    }
};

}  // namespace

TEST_F(LoadRecordsTest, EveryLoadRecordComesBackFromTheModelFile)
{
    fill_model();
    const Snapshot before = snapshot();
    const std::string file = path("loads.mod");
    write_model_file(file);
    clear_loads();
    for (LayoutRow& r : model().rows)
        r.data.reset();
    read_model(file);

    const Snapshot after = snapshot();
    EXPECT_TRUE(after.pipe == before.pipe);
    EXPECT_TRUE(after.beam == before.beam);
    EXPECT_TRUE(after.wind == before.wind);
    EXPECT_TRUE(after.seismic == before.seismic);
    EXPECT_TRUE(after.spectra == before.spectra);
    EXPECT_TRUE(after.force_spectra == before.force_spectra);
    EXPECT_TRUE(after.functions == before.functions);
    // The long spectrum name keeps all 32 characters; the spare is not
    // written and comes back as the default input record.
    EXPECT_EQ(spectra()[1].name, "SITE RESPONSE SPECTRUM NORTH 5%");
    EXPECT_EQ(spectra().count(), 2);
    EXPECT_EQ(force_spectra()[force_spectra().count() + 1].ordinate, ORDINATE_FACTOR);

    const auto& h = element_of<HydrotestLoad>(1);
    EXPECT_FLOAT_EQ(h.specific_gravity, 1.05f);
    EXPECT_FLOAT_EQ(h.pressure, 1500.0f);
    EXPECT_FLOAT_EQ(h.temperature, 60.0f);
    const auto& f = data_of<ForceLoad>(3);
    EXPECT_EQ(f.values, (std::array<float, 6>{100.0f, -200.0f, 300.0f, -4000.0f, 5000.0f, 6000.0f}));
    EXPECT_EQ(f.load_case, 3);
    EXPECT_FLOAT_EQ(data_of<ConcentratedMass>(4).weight, 850.0f);
    EXPECT_EQ(data_of<ConcentratedMass>(4).offset, (std::array<float, 3>{0.0f, 18.0f, -6.0f}));
    EXPECT_EQ(data_of<TimeVaryingLoad>(5).function, 2);
    EXPECT_FLOAT_EQ(data_of<TimeVaryingLoad>(5).values[5], -12.0f);
    EXPECT_FLOAT_EQ(data_of<HarmonicLoad>(6).frequency, 15.0f);
    EXPECT_FLOAT_EQ(data_of<HarmonicLoad>(6).phase, 0.5f);
    EXPECT_FLOAT_EQ(data_of<HarmonicLoad>(6).values[1], 100.0f);
    EXPECT_EQ(data_of<ForceSpectrumLoad>(7).spectrum, "SLUG");
    EXPECT_FLOAT_EQ(data_of<ForceSpectrumLoad>(7).values[2], -500.0f);

    // Written again, the file is the same to the byte.
    const std::string again = path("again.mod");
    write_model_file(again);
    EXPECT_EQ(bytes_of(file), bytes_of(again));
    EXPECT_EQ(model().list(FORCE_ROWS).count, 1);
    EXPECT_EQ(model().list(HYDROTEST_ROWS).count, 1);
}

TEST_F(LoadRecordsTest, RenamesReachEveryPlaceThatNamesALoad)
{
    fill_model();
    const int j = row(80, ET_JACKETED_PIPE, 10, 0, 0);
    model().rows[j].load = "HOT";
    jacket_of(j).load = "L1";
    EXPECT_TRUE(name_in_use(PIPE_LOADS, "L1"));
    rename_entry(PIPE_LOADS, "L1", "OP");
    EXPECT_EQ(model().rows[3].load, "OP");
    EXPECT_EQ(jacket_of(j).load, "OP");
    EXPECT_EQ(load_index("OP"), 1);
    // The jacket dialogs list the loads by their names, in order.
    EXPECT_EQ(pipe_load_names(), (std::vector<std::string>{"OP", "HOT"}));
    // A beam row's Load names a beam load, never a pipe load of that name.
    pipe_loads().push_back(pipe_load("B1", 70.0f, 0.0f));
    rename_entry(PIPE_LOADS, "B1", "P9");
    EXPECT_EQ(model().rows[8].load, "B1");
    rename_entry(BEAM_LOADS, "B1", "BX");
    EXPECT_EQ(model().rows[8].load, "BX");
    EXPECT_EQ(beam_load_index("BX"), 1);
    EXPECT_EQ(beam_load_index(""), 0);
    // The force spectrum load follows its spectrum.
    rename_force_spectrum_references("SLUG", "SLUG2");
    EXPECT_EQ(data_of<ForceSpectrumLoad>(7).spectrum, "SLUG2");
    EXPECT_TRUE(force_spectrum_in_use("SLUG2"));
    EXPECT_FALSE(force_spectrum_in_use("SLUG"));
}

TEST_F(LoadRecordsTest, MergeRenamesClashesAndMovesTheMergedReferences)
{
    fill_model();
    const std::string file = path("other.mod");
    write_model_file(file);
    merge_model(file);
    // Each load set doubles; the merged records with taken names got "1",
    // "2"... and the merged rows name them.
    ASSERT_EQ(numloads(), 4);
    EXPECT_EQ(pipe_loads()[3].name, "1");
    EXPECT_EQ(pipe_loads()[4].name, "2");
    EXPECT_EQ(model().rows[8 + 3].load, "1");
    EXPECT_EQ(beam_loads()[2].name, "1");
    EXPECT_EQ(model().rows[8 + 8].load, "1");
    ASSERT_EQ(numforcespectra(), 2);
    EXPECT_EQ(force_spectra()[2].name, "1");
    EXPECT_EQ(data_of<ForceSpectrumLoad>(8 + 7).spectrum, "1");
    EXPECT_EQ(data_of<ForceSpectrumLoad>(7).spectrum, "SLUG");
    // The merged time-varying load names its function at its new number.
    ASSERT_EQ(numtimefunctions(), 4);
    EXPECT_EQ(data_of<TimeVaryingLoad>(8 + 5).function, 4);
    EXPECT_EQ(data_of<TimeVaryingLoad>(5).function, 2);
    // Wind and seismic data stay the model's own.
    EXPECT_EQ(seismic_g().combination, SEISMIC_SRSS);
}

namespace {

using MergeSaysWhat = LoadRecordsTest;

}  // namespace

// A model merged into itself: each load, beam load, spectrum and force
// spectrum of the merged file meets its own name in the model and takes the
// first number that its set leaves free, each time function moves on behind
// the model's two, and the merged rows meet the model at every node they
// name. The merge tells each of these.
TEST_F(MergeSaysWhat, LoadsSpectraAndTimeFunctionsItRenamedAndTheNodesItMeets)
{
    fill_model();
    const std::string file = path("other.mod");
    write_model_file(file);
    const MergeOutcome outcome = merge_model(file);
    std::set<std::string> told;
    for (const MergeRename& r : outcome.renames)
        told.insert(r.kind + " " + r.from + " -> " + r.to);
    EXPECT_EQ(told, (std::set<std::string>{"load L1 -> 1", "load HOT -> 2", "beam load B1 -> 1",
                                           "spectrum SITE RESPONSE SPECTRUM NORTH 5% -> 1", "spectrum V -> 2",
                                           "force spectrum SLUG -> 1", "time function 1 -> 3",
                                           "time function 2 -> 4"}));
    EXPECT_EQ(outcome.renames.size(), told.size());
    EXPECT_EQ(outcome.meeting_nodes, (std::vector<int32_t>{10, 20, 30, 40, 50, 60, 70}));
    // What it told is what it did.
    EXPECT_EQ(pipe_loads()[4].name, "2");
    EXPECT_EQ(data_of<TimeVaryingLoad>(8 + 5).function, 4);
}

TEST_F(LoadRecordsTest, DamagedRecordsAreRefusedByNameAndChangeNothing)
{
    struct Case {
        const char* what;
        std::function<void()> damage;
        std::string message;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Case> cases = {
        {"profile out of order", [] { wind_load(2).velocity = curve({{0.0f, 80.0f}, {600.0f, 95.0f}, {600.0f, 99.0f}}); },
         "Wind: Wind load 2 velocity profile: point 3: the abscissa is not above the one before it"},
        {"profile value", [nan] { wind_load(3).pressure = curve({{1.0f, nan}}); },
         "Wind: Wind load 3 pressure profile: point 1 is not a number"},
        {"time function", [] { time_function()[0] = curve({{0.2f, 1.0f}, {0.1f, 0.0f}}); },
         "Time functions: Time function 1: point 2: the abscissa is not above the one before it"},
        {"spectrum", [] { spectra()[2].curve = curve({{0.0f, 1.0f}}); },
         "Spectra: Spectrum V: point 1: the frequency is not above 0"},
        {"pipe load", [nan] { pipe_loads()[1].pressure[4] = nan; }, "Pipe loads: Load 1 (L1): P4 is invalid"},
        {"temperature", [] { pipe_loads()[2].temperature[2] = -500.0f; }, "Pipe loads: Load 2 (HOT): T2 is invalid"},
        {"beam load", [] { beam_loads()[1].wind = 2; }, "Beam loads: Beam load 1 (B1): Wind flag is invalid"},
        {"seismic", [] { seismic_g().combination = 3; }, "Seismic: The seismic combination is invalid"},
        {"options", [] { time_history_options().output_interval = 0.0f; }, "Time functions: Output interval is invalid"},
        {"hydrotest", [] { element_of<HydrotestLoad>(1).pressure = -1.0f; },
         "Layout rows: Row 1: Hydrotest load: Pressure is invalid"},
    };
    for (const Case& c : cases) {
        TearDown();
        reset_all();
        SetUp();
        fill_model();
        const std::string good = path("good.mod");
        write_model_file(good);
        const Snapshot before = snapshot();
        c.damage();
        const std::string bad = path("bad.mod");
        write_model_file(bad);
        read_model(good);
        const std::string text = thrown_text([&] { read_model(bad); });
        EXPECT_EQ(text, "Unable to read model file:\n" + bad + "\n" + c.message) << c.what;
        EXPECT_TRUE(snapshot() == before) << c.what;
    }
}

TEST_F(LoadRecordsTest, FilesOfEarlierVersionsHoldNoLoads)
{
    // A 10.21 file (framed) wrote a force row without a class as an empty
    // record and every loads section empty: it reads as a force of the
    // defaults.
    for (int id : {SECTION_PIPE_LOADS, SECTION_BEAM_LOADS, SECTION_WIND, SECTION_SEISMIC, SECTION_SPECTRA,
                   SECTION_FORCE_SPECTRA, SECTION_TIME_FUNCTIONS})
        unregister_model_section(id);
    set_data_factory(DT_FORCE, {});
    from(10);
    row(20, ET_PIPE, 50, 0, 0, DT_FORCE);
    const std::string file = path("old.mod");
    write_model_file(file);
    std::vector<unsigned char> bytes = bytes_of(file);
    // A 10.21 file has no section of the response-spectrum input: every
    // section is its int32 length and that many bytes.
    std::size_t at = MODEL_FILE_HEADER_SIZE;
    for (int id = 0; id < SECTION_RESPONSE_SPECTRUM; ++id) {
        int32_t length = 0;
        std::memcpy(&length, &bytes[at], 4);
        at += 4 + static_cast<std::size_t>(length);
    }
    int32_t length = 0;
    std::memcpy(&length, &bytes[at], 4);
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + 4 + length));
    bytes[11] = '1';
    bytes[12] = '0';
    bytes[13] = '2';
    bytes[14] = '1';
    put_bytes(file, bytes);
    install_loads();
    read_model(file);
    const auto& force = data_of<ForceLoad>(2);
    EXPECT_EQ(force.values, (std::array<float, 6>{}));
    EXPECT_EQ(force.load_case, FORCE_WITH_WEIGHT);
    EXPECT_EQ(numloads(), 0);
    EXPECT_FALSE(wind_load1_defined());

    // An unframed file of 10.00 with a force row cannot be read: its record
    // layout is not known.
    OldRow f;
    f.node = 10;
    f.etype = ET_FROM;
    f.dtype = DT_FORCE;
    put_bytes(file, old_model_file(1000, {f}));
    EXPECT_EQ(thrown_text([&] { read_model(file); }),
              "Unable to read model file:\n" + file +
                  "\nLayout rows: Row 1: This version of the program cannot read forces of a version 10.00 model file");
    // Nor one whose loads section holds records.
    put_bytes(file, old_model_file(1000, {}, CODE_NONE, {{SECTION_SEISMIC, 1}}));
    EXPECT_EQ(thrown_text([&] { read_model(file); }),
              "Unable to read model file:\n" + file +
                  "\nSeismic: This version of the program cannot read seismic data of a version 10.00 model file");
}

TEST_F(LoadRecordsTest, SpectrumNamesAreSixteenCharactersBeforeVersion600)
{
    Spectrum s;
    s.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    s.curve = curve({{1.0f, 0.5f}});
    spectra().append(s);
    const std::string file = path("list.bin");
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(file));
        write_spectrum_list(f);
        ASSERT_TRUE(f.close());
    }
    // Written with the 33-byte names of today, read at 600 it is the same;
    // a 500 reader takes 17 bytes of name and then misreads, so an old
    // file of that layout is built by hand.
    {
        BinFile f;
        ASSERT_TRUE(f.open_read(file));
        ModelFileVersionScope version(600);
        read_spectrum_list(f);
        ASSERT_EQ(numlibspectrums(), 1);
        EXPECT_EQ(library_spectrum(0).name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        EXPECT_EQ(library_spectrum(0).curve, s.curve);
    }
    Bytes b;
    b.i32(1);
    b.name("SIXTEEN CHARS AB", 17);
    b.u8(ABSCISSA_FREQUENCY);
    b.u8(ORDINATE_DISPLACEMENT);
    b.u8(INTERPOLATE_LINEAR);
    b.i32(3);
    b.i32(2);
    for (float v : {1.0f, 0.01f, 2.0f, 0.02f})
        b.f32(v);
    put_bytes(file, b.b);
    {
        BinFile f;
        ASSERT_TRUE(f.open_read(file));
        ModelFileVersionScope version(500);
        read_spectrum_list(f);
        ASSERT_EQ(numlibspectrums(), 1);
        EXPECT_EQ(library_spectrum(0).name, "SIXTEEN CHARS AB");
        EXPECT_EQ(library_spectrum(0).ordinate_unit, 3);
        EXPECT_EQ(f.remaining(), 0);
    }
    load_spectrum_library_into_model();
    EXPECT_EQ(numlibspectrums(), 0);
    ASSERT_EQ(numspectrums(), 1);
    EXPECT_EQ(spectra()[1].name, "SIXTEEN CHARS AB");
    // A count the bytes cannot hold empties the library and says so.
    b.b[0] = 9;
    put_bytes(file, b.b);
    BinFile f;
    ASSERT_TRUE(f.open_read(file));
    ModelFileVersionScope version(500);
    EXPECT_EQ(thrown_text([&] { read_spectrum_list(f); }), "The number of spectra (9) is out of range");
    EXPECT_EQ(numlibspectrums(), 0);
    clear_spectra();
    EXPECT_EQ(numspectrums(), 0);
}

TEST_F(LoadRecordsTest, TimeFunctionsKeepTheirLoadsThroughInsertAndDelete)
{
    for (int k = 0; k < 3; ++k)
        time_function().push_back(curve({{0.0f, static_cast<float>(k)}}));
    from(10);
    const int a = row(20, ET_PIPE, 10, 0, 0, DT_TIME_VARYING_LOAD);
    const int b = row(30, ET_PIPE, 10, 0, 0, DT_TIME_VARYING_LOAD);
    data_of<TimeVaryingLoad>(a).function = 1;
    data_of<TimeVaryingLoad>(b).function = 3;
    EXPECT_TRUE(time_function_in_use(3));
    EXPECT_FALSE(time_function_in_use(2));
    erase_time_function(2);
    EXPECT_EQ(data_of<TimeVaryingLoad>(b).function, 2);
    EXPECT_FLOAT_EQ(time_function()[1][0].y, 2.0f);
    insert_time_function(1);
    EXPECT_EQ(data_of<TimeVaryingLoad>(a).function, 2);
    EXPECT_EQ(data_of<TimeVaryingLoad>(b).function, 3);
    EXPECT_TRUE(time_function()[0].empty());

    TimeHistoryOptions o;
    EXPECT_EQ(time_history_options_fault(o), "");
    o.time_step = 0.5f;
    o.end_time = 0.1f;
    EXPECT_EQ(time_history_options_fault(o), "End time is invalid");
    o.end_time = 1.0f;
    EXPECT_EQ(time_history_options_fault(o), "Output interval is invalid");
    o.output_interval = 0.5f;
    o.damping = 1.5f;
    EXPECT_EQ(time_history_options_fault(o), "Damping ratio is invalid");
    EXPECT_EQ(time_function_fault(curve({{-0.1f, 0.0f}})), "point 1: the time is below 0");
}

TEST_F(LoadRecordsTest, TruncatedOrScrambledFilesGiveAMessageAndChangeNothing)
{
    // Every shorter file of a model with every load record, and files with
    // bytes of the loads' sections overwritten, are read: each is refused
    // with a message (or, for some overwritten values, read), never a crash.
    fill_model();
    const std::string good = path("good.mod");
    write_model_file(good);
    const std::vector<unsigned char> bytes = bytes_of(good);
    const Snapshot before = snapshot();
    const std::string bad = path("bad.mod");
    for (std::size_t size = 16; size < bytes.size(); size += 3) {
        put_bytes(bad, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)});
        EXPECT_NE(thrown_text([&] { read_model(bad); }), "<nothing thrown>") << size;
        EXPECT_TRUE(snapshot() == before) << size;
    }
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 400; ++round) {
        std::vector<unsigned char> scrambled = bytes;
        for (int k = 0; k < 3; ++k)
            scrambled[16 + next() % (scrambled.size() - 16)] = static_cast<unsigned char>(next() >> 24);
        put_bytes(bad, scrambled);
        try {
            read_model(bad);
        } catch (const MessageText&) {
        }
        read_model(good);
    }
    EXPECT_TRUE(snapshot() == before);
}

TEST_F(LoadRecordsTest, AFileWrittenWithoutTheLoadsReadsWithThem)
{
    // The loads' sections written empty (as a program without the loads
    // layer writes them) read as the defaults at today's version too.
    for (int id : {SECTION_PIPE_LOADS, SECTION_BEAM_LOADS, SECTION_WIND, SECTION_SEISMIC, SECTION_SPECTRA,
                   SECTION_FORCE_SPECTRA, SECTION_TIME_FUNCTIONS})
        unregister_model_section(id);
    from(10);
    const std::string file = path("bare.mod");
    write_model_file(file);
    install_loads();
    time_history_options().save_results = 1;
    read_model(file);
    EXPECT_TRUE(time_functions() == TimeFunctions{});
    EXPECT_TRUE(wind_data() == WindData{});
    EXPECT_EQ(numspectrums(), 0);
    // With the loads, options without functions come back too.
    time_history_options().damping = 0.02f;
    write_model_file(file);
    time_history_options() = {};
    read_model(file);
    EXPECT_FLOAT_EQ(time_history_options().damping, 0.02f);
    EXPECT_EQ(numtimefunctions(), 0);
}
