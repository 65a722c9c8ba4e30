// voxel-render: exit statuses and messages, the raw frame's bytes, the PNG's
// pixels, and the decode of display-format pixels.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/pixel_decode.h"
#include "tools/landscape/bitmap_write.h"
#include "tools/landscape/landscape.h"
#include "tools/scratch_dir.h"
#include "tools/shared/cpu_support.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/render/terrain.h"

namespace {

struct run_result {
    int status;
    std::string out, err;
};

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

run_result run(const scratch_dir &dir, const std::string &args) {
    const std::string command = std::string(VOXEL_RENDER_PATH) + " " + args + " >" + dir.file("out.txt") +
                                " 2>" + dir.file("err.txt");
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir.file("out.txt")), slurp(dir.file("err.txt"))};
}

// A scratch folder holding the generated landscape.
struct landscape_dir : scratch_dir {
    landscape_dir() { EXPECT_TRUE(write_landscape(path)); }
};

// Renders in this process as voxel-render does, from the data folder.
struct in_process_frame {
    explicit in_process_frame(const std::string &dir, int depth, bool format_555, long frames) {
        char here[4096];
        EXPECT_NE(getcwd(here, sizeof here), nullptr);
        EXPECT_EQ(chdir(dir.c_str()), 0);
        render_options o;
        o.depth = depth;
        o.format_555 = format_555;
        std::string error;
        EXPECT_TRUE(load_landscape(o, &error)) << error;
        fly_frames(*find_render_path("standard"), depth, 1, frames, 1);
        EXPECT_EQ(chdir(here), 0);
    }
    ~in_process_frame() { release_terrain(); }
};

std::vector<uint8_t> read_png_rgb(const std::string &path, int *width, int *height) {
    std::vector<uint8_t> rgb;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        rgb.clear();
    *width = int(image.width);
    *height = int(image.height);
    return rgb;
}

TEST(voxel_render_arguments, bad_arguments_exit_2_with_one_line) {
    scratch_dir dir;
    const std::pair<const char *, const char *> cases[] = {
        {"--depth 12", "voxel-render: --depth must be 8, 16, 16-555, 24 or 32, not '12'\n"},
        {"--renderer fast", "voxel-render: --renderer must be standard, vector, avx2 or avx512, not 'fast'\n"},
        {"--threads 0", "voxel-render: --threads must be all or a whole number from 1 to 1024, not '0'\n"},
        {"--threads every", "voxel-render: --threads must be all or a whole number from 1 to 1024, not 'every'\n"},
        {"--frames 0", "voxel-render: --frames must be a whole number from 1 to 1000000, not '0'\n"},
        {"--variant fast", "voxel-render: --variant must be scalar-reads or gathers, not 'fast'\n"},
        {"--frames -3", "voxel-render: --frames must be a whole number from 1 to 1000000, not '-3'\n"},
        {"--frames", "voxel-render: --frames needs a value\n"},
        {"--bogus", "voxel-render: unknown argument '--bogus' (see --help)\n"},
        {"--data /nonexistent/folder",
         "voxel-render: /nonexistent/folder: cannot enter the data folder: No such file or directory\n"},
        {"--data /dev/null", "voxel-render: /dev/null: cannot enter the data folder: Not a directory\n"},
    };
    for (const auto &[args, message] : cases) {
        const run_result r = run(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err, message) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

TEST(voxel_render_files, missing_and_refused_files_are_named_with_the_reason) {
    landscape_dir dir;
    const std::string d = dir.path;
    auto expect_refusal = [&](const std::string &args, const std::string &message) {
        const run_result r = run(dir, "--data " + d + " " + args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(r.err, "voxel-render: " + d + "/" + message + "\n");
    };
    const std::string sky_file = slurp(dir.file("clouds.bmp"));
    std::vector<uint8_t> clouds(sky_file.begin(), sky_file.end());
    // Compressed sky.
    std::vector<uint8_t> rle = clouds;
    rle[30] = 1;
    write_bytes_file(dir.file("clouds.bmp"), rle);
    expect_refusal("", "clouds.bmp: compressed (RLE) bitmaps are not supported; convert with -compress None");
    // Not a bitmap at all.
    write_bytes_file(dir.file("clouds.bmp"), {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    expect_refusal("", "clouds.bmp: not a bitmap (the file does not begin with \"BM\")");
    // Cut short inside its rows.
    clouds.resize(5000);
    write_bytes_file(dir.file("clouds.bmp"), clouds);
    expect_refusal("", "clouds.bmp: the file is cut short: Failed to read row 7 of 512 of the bitmap data.");
    // A 24-bit colour map cannot be shown at 24 or 8 bits.
    write_bitmap_file(dir.file("heightc2.bmp"), make_bitmap(512, 512, 24));
    expect_refusal("--depth 24", "heightc2.bmp: has 24 bits per pixel; at this depth it must have 8");
    // A height map too small for the 512 x 512 world.
    write_bitmap_file(dir.file("heightd2.bmp"), make_bitmap(256, 256, 8));
    expect_refusal("", "heightd2.bmp: the height map needs at least 512 x 512 samples");
    std::remove(dir.file("heightd2.bmp").c_str());
    expect_refusal("", "heightd2.bmp: cannot open the file: No such file or directory");
}

TEST(voxel_render_output, raw_is_the_frame_buffer_rows_top_first_and_nothing_else) {
    landscape_dir dir;
    const char *depths[] = {"8", "16", "24", "32"};
    for (int depth = 0; depth < 4; ++depth) {
        const run_result r = run(dir, "--data " + dir.path + " --depth " + depths[depth] + " --frames 3 --raw " +
                                          dir.file("frame.raw"));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string raw = slurp(dir.file("frame.raw"));
        const size_t bpp = size_t(depth + 1);
        ASSERT_EQ(raw.size(), 512 * 512 * bpp);
        in_process_frame frame(dir.path, depth, false, 3);
        EXPECT_EQ(std::memcmp(raw.data(), frame_buffer, raw.size()), 0) << depths[depth];
        // The top row is sky, copied from the cloud image as it is.
        EXPECT_EQ(std::memcmp(raw.data(), cloud_image, 512 * bpp), 0) << depths[depth];
    }
}

TEST(voxel_render_output, png_shows_the_shifted_surface_decoded_at_every_depth) {
    landscape_dir dir;
    const std::pair<const char *, int> depths[] = {{"8", 0}, {"16", 1}, {"16-555", 1}, {"24", 2}, {"32", 3}};
    const std::vector<uint8_t> sky = make_sky();
    const std::array<landscape_rgb, 256> palette = landscape_palette();
    for (const auto &[name, depth] : depths) {
        const bool is_555 = std::strcmp(name, "16-555") == 0;
        const run_result r = run(dir, "--data " + dir.path + " --depth " + name + " --frames 2 --png " +
                                          dir.file("frame.png"));
        ASSERT_EQ(r.status, 0) << r.err;
        int width = 0, height = 0;
        const std::vector<uint8_t> png = read_png_rgb(dir.file("frame.png"), &width, &height);
        ASSERT_EQ(width, 512);
        ASSERT_EQ(height, 512);
        in_process_frame frame(dir.path, depth, is_555, 2);
        EXPECT_EQ(png, decode_surface(present_to_surface(depth), depth, is_555,
                                      display_palette(dir.file("heightc2.bmp").c_str()))) << name;
        // Pixel 3 of the top row shows sky pixel 3, or at 8 bits (a two-pixel
        // shift) sky pixel 1, in the sky's colours, rounded to 16 bits.
        const landscape_rgb want = palette[sky[depth == 0 ? 1 : 3 - (depth == 1 ? 1 : 0)]];
        const int slack = depth == 1 ? 8 : 0;
        const uint8_t *got = png.data() + 3 * 3;
        if (depth == 0 || depth == 1) {
            EXPECT_NEAR(got[0], want.red, slack) << name;
            EXPECT_NEAR(got[1], want.green, slack) << name;
            EXPECT_NEAR(got[2], want.blue, slack) << name;
        } else {
            // 24 and 32 bits: blue and green from the pixel before, red from its own.
            const landscape_rgb before = palette[sky[2]];
            EXPECT_EQ(got[0], want.red) << name;
            EXPECT_EQ(got[1], before.green) << name;
            EXPECT_EQ(got[2], before.blue) << name;
        }
    }
}

// The text with every run of digits replaced by one '9'.
std::string digits_as_9(const std::string &text) {
    std::string shape;
    for (char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) && !shape.empty() && shape.back() == '9'))
            shape += std::isdigit(static_cast<unsigned char>(c)) ? '9' : c;
    return shape;
}

// The text with the name after each "renderer=" replaced by "R" and after
// each "variant=" by "V".
std::string any_renderer(std::string text) {
    for (const std::string key : {"renderer=", "variant="})
        for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
            text.replace(at + key.size(), text.find_first_of(" \n", at) - at - key.size(), key == "renderer=" ? "R" : "V");
    return text;
}

// The --compare lines: one per path, a path this processor cannot run named
// with the reason, then the fastest on the threads asked for with the summary.
std::string comparison_shape(const std::string &frames, const std::string &on_cores) {
    std::string shape = "standard_ms=9.9 frames=" + frames + "\n";
    std::string summary;
    for (const render_path &path : render_paths) {
        if (path.lanes == 1)
            continue;
        if (!cpu_supports(path.needs)) {
            shape += std::string(path.name) + ": not supported here (" + cpu_missing(path.needs) + ")\n";
            continue;
        }
        shape += std::string(path.name) + "_ms=9.9 frames=" + frames + " speedup=9.9" +
                 (path.variant_count > 1 ? " variant=V\n" : "\n");
        summary += std::string(summary.empty() ? "" : ", ") + "9.9x from 9 lanes";
    }
    return shape + "fastest_ms=9.9 renderer=R threads=9 frames=" + frames + " speedup=9.9" +
           (on_cores.empty() ? "" : " gain=9.9 plain_gain=9.9") + " (" + summary + on_cores + ")\n";
}

TEST(voxel_render_output, timing_and_comparison_lines) {
    landscape_dir dir;
    run_result r = run(dir, "--data " + dir.path + " --frames 4 --time");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(digits_as_9(r.out), "frames=9 median_ms=9.9 min_ms=9.9\n");
    EXPECT_EQ(r.out.substr(0, 9), "frames=4 ");
    r = run(dir, "--data " + dir.path + " --frames 70 --time --threads 3 --renderer vector");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(digits_as_9(r.out), "frames=9 threads=9 median_ms=9.9 min_ms=9.9\n");
    EXPECT_EQ(r.out.substr(0, 19), "frames=70 threads=3");
    r = run(dir, "--data " + dir.path + " --frames 4 --compare --depth 16 --threads 2");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(any_renderer(digits_as_9(r.out)), digits_as_9(comparison_shape("9", ", 9.9x on 9 cores"))) << r.out;
    EXPECT_EQ(r.out.find("frames=4\n"), r.out.find('\n') - 8) << r.out;
    EXPECT_NE(r.out.find(" threads=2 frames=4 "), std::string::npos) << r.out;
}

// Without --frames each path is measured over whole loops of the flight (64
// frames), at least 320 frames and about a second.
TEST(voxel_render_output, comparison_measures_whole_loops_for_a_second_by_default) {
    landscape_dir dir;
    const run_result r = run(dir, "--data " + dir.path + " --compare --depth 8");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(any_renderer(digits_as_9(r.out)), digits_as_9(comparison_shape("9", ""))) << r.out;
    for (size_t at = r.out.find("frames="); at != std::string::npos; at = r.out.find("frames=", at + 1)) {
        const long frames = std::atol(r.out.c_str() + at + 7);
        EXPECT_GE(frames, 320) << r.out;
        EXPECT_EQ(frames % 64, 0) << r.out;
    }
}

// The frame left for the outputs is the chosen path's, on any number of
// threads, whatever ran before it.
TEST(voxel_render_output, raw_frame_of_every_renderer_and_thread_count_after_a_comparison) {
    landscape_dir dir;
    const std::string common = "--data " + dir.path + " --depth 24 --frames 66 --raw ";
    ASSERT_EQ(run(dir, common + dir.file("vector.raw") + " --renderer vector").status, 0);
    const std::string expected = slurp(dir.file("vector.raw"));
    for (const render_path &path : render_paths) {
        if (path.lanes == 1 || !cpu_supports(path.needs))
            continue;
        for (const std::string variant : {"", " --variant scalar-reads", " --variant gathers"}) {
            const run_result r = run(dir, common + dir.file("wide.raw") + " --renderer " + path.name +
                                              " --threads 3 --compare --frames 66" + variant);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(slurp(dir.file("wide.raw")) == expected) << path.name << variant;
        }
    }
}

TEST(voxel_render_output, without_an_output_option_it_says_what_it_drew) {
    landscape_dir dir;
    const run_result r = run(dir, "--data " + dir.path + " --depth 16-555 --frames 2 --threads 2 --renderer vector");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "voxel-render: drew 2 frames of 512 x 512 at 16 (5-5-5) bits with the vector renderer on 2 "
                     "threads and kept nothing (--raw FILE or --png FILE writes the last frame, --time or --compare "
                     "times them)\n");
}

TEST(voxel_render_output, an_output_that_cannot_be_written_is_status_1_with_file_and_reason) {
    landscape_dir dir;
    run_result r = run(dir, "--data " + dir.path + " --png /nonexistent/folder/f.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "voxel-render: /nonexistent/folder/f.png: cannot write the picture: No such file or directory\n");
    r = run(dir, "--data " + dir.path + " --raw " + dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "voxel-render: " + dir.path + ": cannot write the raw frame: Is a directory\n");
}

TEST(voxel_render_arguments, help_and_version_answer_on_stdout_with_status_0) {
    scratch_dir dir;
    run_result r = run(dir, "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: voxel-render [--data DIR]", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
    r = run(dir, "--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "voxel-render " DEMOS_VERSION "\n");
}

// Without --data the files are looked for as voxel looks for them: from an
// empty folder this build's own data/ is found; files in the current folder
// come first.
TEST(voxel_render_files, without_data_the_current_folder_then_the_build_tree_is_used) {
    scratch_dir dir;
    const std::string command = "cd " + dir.path + " && " + VOXEL_RENDER_PATH + " --raw here.raw 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << slurp(dir.file("err.txt"));
    EXPECT_EQ(slurp(dir.file("here.raw")).size(), 512u * 512u * 4u);
    ASSERT_TRUE(write_landscape(dir.path));
    ASSERT_TRUE(write_bytes_file(dir.file("clouds.bmp"), {'G', 'I', 'F'}));
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(slurp(dir.file("err.txt")),
              "voxel-render: clouds.bmp: not a bitmap (the file is shorter than a bitmap header)\n");
}

TEST(pixel_decode, display_pixels_in_each_format) {
    rgb_palette palette{};
    palette[77] = {1, 2, 3};
    const uint8_t index[1] = {77};
    EXPECT_EQ(decode_pixel(index, 8, false, palette).green, 2);
    const uint8_t red565[2] = {0x00, 0xF8}, green565[2] = {0xE0, 0x07}, blue565[2] = {0x1F, 0x00};
    EXPECT_EQ(decode_pixel(red565, 16, false, palette).red, 255);
    EXPECT_EQ(decode_pixel(red565, 16, false, palette).green, 0);
    EXPECT_EQ(decode_pixel(green565, 16, false, palette).green, 255);
    EXPECT_EQ(decode_pixel(blue565, 16, false, palette).blue, 255);
    const uint8_t red555[2] = {0x00, 0xFC}, green555[2] = {0xE0, 0x03};
    const rgb_colour r555 = decode_pixel(red555, 16, true, palette);
    EXPECT_EQ(r555.red, 255);  // bit 15 is not a colour bit
    EXPECT_EQ(r555.green, 0);
    EXPECT_EQ(decode_pixel(green555, 16, true, palette).green, 255);
    // 0x3102 is red 6, green 8, blue 2 in 5-6-5.
    const uint8_t mixed[2] = {0x02, 0x31};
    const rgb_colour m = decode_pixel(mixed, 16, false, palette);
    EXPECT_EQ(m.red, (6 << 3) | (6 >> 2));
    EXPECT_EQ(m.green, (8 << 2) | (8 >> 4));
    EXPECT_EQ(m.blue, (2 << 3) | (2 >> 2));
    const uint8_t bgrx[4] = {10, 20, 30, 40};
    EXPECT_EQ(decode_pixel(bgrx, 24, false, palette).red, 30);
    EXPECT_EQ(decode_pixel(bgrx, 32, false, palette).blue, 10);
    uint8_t row[6];
    decode_row(bgrx, 2, 16, false, palette, row);
    EXPECT_EQ(row[3], decode_pixel(bgrx + 2, 16, false, palette).red);
}

TEST(pixel_decode, static_colours_fill_only_the_reserved_entries) {
    rgb_palette palette;
    palette.fill({7, 7, 7});
    set_static_colours(palette);
    EXPECT_EQ(palette[1].red, 128);
    EXPECT_EQ(palette[9].blue, 240);
    EXPECT_EQ(palette[10].red, 7);
    EXPECT_EQ(palette[245].red, 7);
    EXPECT_EQ(palette[246].green, 251);
    EXPECT_EQ(palette[255].blue, 255);
}

}  // namespace
